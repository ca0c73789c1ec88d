// The "Code Snippet" page of the sidebar: the list of snippets, a read-only
// preview of the selected one, and the commands that create, edit, delete,
// insert, import and export them.
#pragma once

#include "tcodesnippits.h"

#include <QWidget>

class QAction;
class QMenu;
class QsciScintilla;

namespace Quorvant {

class TForm1;
class TMnuCodeSnippet;
class TSnippetList;

class TCodeSnippetPage : public QWidget
{
    Q_OBJECT
public:
    TCodeSnippetPage(TForm1 &form, const QString &dataFile, QWidget *parent = nullptr);
    ~TCodeSnippetPage() override;

    TCodeSnippits &store() { return m_store; }
    TSnippetList *list() const { return m_list; }
    QsciScintilla *preview() const { return m_preview; }
    QMenu *previewMenu() const { return m_menu; }

    void refreshList();
    void showPreview();
    // The commands; the dialog ones return the dialog they opened.
    TMnuCodeSnippet *createSnippet();
    TMnuCodeSnippet *editSnippet();
    void deleteSnippet();
    void insertSelected();
    void exportSnippets();
    void importSnippets();

private:
    void showNames(const QStringList &names);
    // A row's stored text, read afresh.
    QString bodyOfRow(int row);
    QString selectedBody();
    TMnuCodeSnippet *openDialog();
    bool saveFromDialog(const QString &name, const QString &part1, const QString &part2);

    TForm1 &m_form;
    TCodeSnippits m_store;
    TSnippetList *m_list;
    QsciScintilla *m_preview;
    QMenu *m_menu;
    // The row being edited, -1 while creating.
    int m_editRow = -1;
};

} // namespace Quorvant
