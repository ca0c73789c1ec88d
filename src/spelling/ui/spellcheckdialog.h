// The spell-check dialog: not modal, it asks about one word at a time of a
// document (or its selection), shows the word selected in the editor, and
// puts the corrections back as one undo step when the check ends. While it
// runs the document is read-only, so the answers always fit the text.
#pragma once

#include "editortypes.h"
#include "spellsession.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace Quorvant {

class ITextBuffer;
class TSpellChecker;

class TSpellCheckDialog : public QDialog
{
    Q_OBJECT
public:
    TSpellCheckDialog(TSpellChecker &checker, QWidget *parent = nullptr);
    ~TSpellCheckDialog() override;

    // Checks the selection of buffer, or all of it when nothing is selected.
    void start(ITextBuffer *buffer);
    bool running() const { return m_session != nullptr; }
    // Where the word asked about lies on screen (global), to keep clear of it.
    std::function<QRect(CaretPoint)> wordRect;
    // Called after corrections went into the document.
    std::function<void()> documentChanged;

    QLineEdit *changeTo() const { return m_changeTo; }
    QListWidget *suggestionList() const { return m_suggestions; }
    QString currentWord() const;

    void ignore();
    void ignoreAll();
    void change();
    void changeAll();
    void addWord();
    void cancel();

Q_SIGNALS:
    // The check is over (done, cancelled or its document gone); the user's
    // word list and options may have changed during it.
    void checkEnded();

protected:
    void closeEvent(QCloseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    void ask();
    void finish(bool cancelled);
    CaretPoint pointAt(qsizetype offset) const;
    void optionsToggled();
    void keepClearOf(const QRect &word);

    TSpellChecker &m_checker;
    std::unique_ptr<TSpellSession> m_session;
    QPointer<ITextBuffer> m_buffer;
    bool m_wasReadOnly = false;
    CaretPoint m_caret;
    CaretPoint m_base;             // where the checked text starts in the buffer
    QList<qsizetype> m_lineStarts; // of the checked text
    QLabel *m_reason = nullptr;
    QLineEdit *m_word = nullptr;
    QLineEdit *m_changeTo = nullptr;
    QListWidget *m_suggestions = nullptr;
    QPushButton *m_change = nullptr;
    QPushButton *m_changeAllButton = nullptr;
    QPushButton *m_ignoreAllButton = nullptr;
    QPushButton *m_add = nullptr;
    QList<QCheckBox *> m_optionBoxes;
    QPoint m_userPlace;
    bool m_placedByUser = false;
    bool m_placing = false;
};

} // namespace Quorvant
