// Starts the program: the splash window, the windows and long-lived objects
// in their fixed order, the function keys; and takes everything down again
// when the Task Manager finally closes.
#pragma once

#include "debugmenu.h"
#include "mainwindow.h"
#include "taskmanager.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>

class QSplashScreen;

namespace Quorvant {

class FunctionKeyFilter;

class TApplicationShell : public QObject
{
    Q_OBJECT
public:
    explicit TApplicationShell(QObject *parent = nullptr);
    ~TApplicationShell() override;

    static TApplicationShell *instance();

    // Runs the start sequence up to the message loop; the Task Manager is
    // shown once the loop runs. Files named in args open as documents.
    void start(const QStringList &args);
    // True once the Task Manager has been shown and the files of the command
    // line opened: from then on the windows take commands.
    bool hasStarted() const { return m_phase == StartPhase::Started; }
    // Opens the files as documents in this order and brings the window to the
    // front; the ones that do not exist are reported together in one box.
    // Files handed over while the program starts open with those of its
    // command line.
    void openFiles(const QStringList &files);

    TTaskManager *TaskManager() const { return m_taskManager; }
    QWidget *MnuJavaScript() const { return m_javaScript; }
    QWidget *MnuDHTML() const { return m_dhtml; }
    QWidget *MnuObjectTree() const { return m_objectTree; }
    // Built on first use.
    QWidget *OptionsMenu();
    QWidget *OptionsMenuIfBuilt() const { return m_optionsMenu; }
    TDebugMenu *DebugMenu() const { return m_debugMenu; }
    TForm1 *Form1() const { return m_form1; }
    FunctionKeyFilter *functionKeys() const { return m_keys; }

    // The splash texts in the order they were shown (for tests and logs).
    QStringList splashMessages() const { return m_splashMessages; }
    // The object names of the top-level windows in creation order.
    QStringList creationOrder() const { return m_creationOrder; }

    // Shows the Task Manager (start, File > "Re-Open Task Manager").
    void showTaskManager();
    // The Task Manager's final close: frees the long-lived objects in order
    // and ends the event loop.
    void finalClose();

    // Called when the process should end (QCoreApplication::quit by default).
    std::function<void()> quit;
    // Adds the subsystems' menus, pages and commands to the main window once
    // it is built, before it is shown.
    std::function<void(TForm1 &)> installSubsystems;

private:
    void splashStep(const QString &text);
    QWidget *createEmptyWindow(const char *objectName, const QString &caption);
    void installFunctionKeys();
    void finishStart(const QStringList &files);
    void reportStartupAndQuit();

    QSplashScreen *m_splash = nullptr;
    QPointer<TTaskManager> m_taskManager;
    QPointer<QWidget> m_javaScript;
    QPointer<QWidget> m_dhtml;
    QPointer<QWidget> m_objectTree;
    QPointer<QWidget> m_optionsMenu;
    QPointer<TDebugMenu> m_debugMenu;
    QPointer<TForm1> m_form1;
    FunctionKeyFilter *m_keys = nullptr;
    QStringList m_splashMessages;
    QStringList m_creationOrder;
    // Files handed over before the Task Manager was first shown.
    QStringList m_filesHandedOverAtStart;
    enum class StartPhase { BuildingWindows, OpeningFiles, Started };
    StartPhase m_phase = StartPhase::BuildingWindows;
    bool m_finalClosed = false;
};

} // namespace Quorvant
