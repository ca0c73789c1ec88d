// The editor component's own Find, Replace and Go-to-line dialogs, working
// on any text buffer of the editor contract.
#pragma once

#include "editortypes.h"

#include <QDialog>
#include <QPointer>

class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace Quorvant {

class ITextBuffer;

// The find text and options shared by the Find and Replace dialogs.
class SearchDialogBase : public QDialog
{
    Q_OBJECT
public:
    ITextBuffer *buffer() const { return m_buffer; }
    SearchOptions options() const;
    void setOptions(const SearchOptions &options);

protected:
    SearchDialogBase(ITextBuffer *buffer, QWidget *parent);

    // The find text row and the option groups, for the subclass's layout.
    QWidget *createOptionsBox();
    // false (after telling the user) when the options cannot be searched for.
    bool validate(const SearchOptions &o);
    void notFound(const QString &text);
    static void remember(QComboBox *combo, QStringList *history, const QString &text);

    QPointer<ITextBuffer> m_buffer;
    QComboBox *m_findText = nullptr;
    QCheckBox *m_caseSensitive = nullptr;
    QCheckBox *m_wholeWords = nullptr;
    QCheckBox *m_regex = nullptr;
    QRadioButton *m_forward = nullptr;
    QRadioButton *m_backward = nullptr;
    QRadioButton *m_fromCursor = nullptr;
    QRadioButton *m_entireScope = nullptr;
};

class FindDialog : public SearchDialogBase
{
    Q_OBJECT
public:
    explicit FindDialog(ITextBuffer *buffer, QWidget *parent = nullptr);

    // Searches once; closes on success, tells the user and stays otherwise.
    bool find();

private:
    QPushButton *m_findButton = nullptr;
};

class ReplaceDialog : public SearchDialogBase
{
    Q_OBJECT
public:
    explicit ReplaceDialog(ITextBuffer *buffer, QWidget *parent = nullptr);

    QString replacement() const;
    void setReplacement(const QString &text);

    // Replaces the selection when it is a match, then selects the next match.
    bool replace();
    // Replaces every match; closes when there was at least one.
    int replaceAll();

private:
    bool selectionIsMatch(const SearchOptions &o) const;
    void updateButtons();

    QComboBox *m_replaceText = nullptr;
    QPushButton *m_replaceButton = nullptr;
    QPushButton *m_replaceAllButton = nullptr;
};

class GoToLineDialog : public QDialog
{
    Q_OBJECT
public:
    explicit GoToLineDialog(ITextBuffer *buffer, QWidget *parent = nullptr);

    // Moves the caret to column 0 of the chosen line and closes.
    void goToLine();

private:
    QPointer<ITextBuffer> m_buffer;
    QSpinBox *m_line = nullptr;
};

// Modal entry points used by the main window. Nothing happens without a buffer.
void showSearchDialog(QWidget *parent, ITextBuffer *buffer);
void showReplaceDialog(QWidget *parent, ITextBuffer *buffer);
void showGoToLineDialog(QWidget *parent, ITextBuffer *buffer);
// Repeats the last search from the caret (the buffer's own, else the last one
// made in these dialogs); opens the Find dialog when there was none.
bool findNext(QWidget *parent, ITextBuffer *buffer);

// Forgets the find and replace histories and the last search of this run.
void resetSearchHistory();

} // namespace Quorvant
