// The result viewer "Quorvant: Quick-View": shows a text (HTML Tidy's
// report, the clipboard) and, after a tidy run, offers the tidied page.
#pragma once

#include <QDialog>

class QsciScintilla;
class QPushButton;

namespace Quorvant {

class TMnuQuickView : public QDialog
{
    Q_OBJECT
public:
    explicit TMnuQuickView(QWidget *parent = nullptr);

    // Scintilla shows a whole tidied page at once where a text edit would lay
    // out every line first.
    QsciScintilla *Memo1() const { return m_memo; }
    QPushButton *doneButton() const { return m_done; }

    QString text() const;
    void setText(const QString &text);
    // Replaces the text with the clipboard's text.
    void LoadClipBoard();

    // Set after a tidy run whose page was read back: closing the viewer then
    // shows that page and asks whether it replaces the document.
    bool Tidy = false;
    void setTidyPage(const QString &page) { m_page = page; }

    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

Q_SIGNALS:
    // The answer to the question on closing (only when Tidy is set).
    void tidyAnswered(bool keep);

private:
    void ShowTidyMenus();

    QsciScintilla *m_memo;
    QPushButton *m_done;
    QString m_page;
    bool m_asked = false;
};

} // namespace Quorvant
