// The Task Manager: the start window and principal window of the program,
// offering new pages, templates, recent files and help.
#pragma once

#include "debugout.h"

#include <QWidget>

#include <memory>

class QListWidget;
class QMenu;
class QTreeWidget;

namespace Quorvant {

class TApplicationShell;
class TRecentFiles;

class TTaskManager : public QWidget
{
    Q_OBJECT
public:
    explicit TTaskManager(TApplicationShell *shell);
    ~TTaskManager() override;

    // Shows the window: disables the main window, creates the recent files
    // store the first time, refills the templates list.
    void showManager();
    // Enables the main window and hides this window (after a command that
    // brought the user to a document).
    void leaveForDocument();
    // The final close: frees the long-lived objects this window owns.
    void freeLongLivedObjects();

    // A region other parts of the program fill (e.g. with an offer shown
    // at start-up): a row below the lists, across the whole window.
    void addPanel(QWidget *panel);

    TRecentFiles *recentFiles() const { return m_recent.get(); }
    QListWidget *TemplatesListView() const { return m_templates; }
    QTreeWidget *MostRecentListView() const { return m_mostRecent; }

    // The commands.
    void createDefaultPage();
    void createBlankPage();
    void openFileNotDisplayed();
    void openSelectedTemplate();
    void deleteSelectedTemplate();
    void openSelectedRecentFile();
    void helpMe();
    void viewManual();
    void setupWebsite();
    void exitProgram();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void refillTemplates();
    void refillRecent();
    DebugOut debugTarget() const;

    TApplicationShell *m_shell;
    QListWidget *m_templates = nullptr;
    QTreeWidget *m_mostRecent = nullptr;
    QMenu *m_templatesMenu = nullptr;
    std::unique_ptr<TRecentFiles> m_recent;
};

} // namespace Quorvant
