// Start-up, the Task Manager and shutdown, driven through the real windows.
#include "subsystems.h"
#include "applicationshell.h"
#include "datafolder.h"
#include "documentset.h"
#include "functionkeys.h"
#include "messageservice.h"
#include "scintillawidget.h"
#include "setuptools.h"
#include "templatesform.h"
#include "tdcmemo.h"
#include "tmemosource.h"
#include "veskfilesystems.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QWindow>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace Quorvant;

namespace {

class ShellTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        resetAppGlobals();
        MessageService::setTestHookEnabled(true);
        MessageService::resetTestHook();
        ASSERT_TRUE(DataFolder::initialise({QStringLiteral("quorvant"), QStringLiteral("--data-dir"), dataPath()}));
    }

    void TearDown() override
    {
        for (TMemoSource *b : std::as_const(gMemoData))
            b->setModified(false);
        m_shell.reset();
        MessageService::resetTestHook();
    }

    QString dataPath() const { return m_dir.filePath(QStringLiteral("data")); }

    // Starts the program and lets the message loop show the Task Manager.
    void start()
    {
        m_shell = std::make_unique<TApplicationShell>();
        m_shell->installSubsystems = installSubsystems;
        m_shell->quit = [this] { ++m_quits; };
        m_shell->start({QStringLiteral("quorvant")});
        QCoreApplication::processEvents();
        form = m_shell->Form1();
        tm = m_shell->TaskManager();
    }

    QPushButton *tmButton(const char *name) const { return tm->findChild<QPushButton *>(QLatin1String(name)); }
    void trigger(const char *name) { form->action(QLatin1String(name))->trigger(); }

    static QStringList messages()
    {
        QStringList out;
        for (const RecordedDialog &r : MessageService::takeRecorded())
            out.append(r.kind == DialogKind::Message ? r.text : r.title);
        return out;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<TApplicationShell> m_shell;
    TForm1 *form = nullptr;
    TTaskManager *tm = nullptr;
    int m_quits = 0;
};

} // namespace

TEST_F(ShellTest, StartsInOrderAndShowsTheTaskManagerOverADisabledMainWindow)
{
    ASSERT_TRUE(TSetupTools().SaveHalvornNetworkSettings(QStringLiteral("halvorn.example.net")));
    start();
    EXPECT_EQ(m_shell->splashMessages(),
              QStringList({QStringLiteral("Initialising Executable..."), QStringLiteral("Creating Task Manager..."),
                           QStringLiteral("Initialising Javascript Parser..."), QStringLiteral("Initialising DHTML Parser..."),
                           QStringLiteral("Creating Javascript Object Tree..."), QStringLiteral("Populating Task Manager..."),
                           QStringLiteral("Loading Program Settings..."), QStringLiteral("Activating Debug Environment..."),
                           QStringLiteral("Creating Active Objects...")}));
    EXPECT_EQ(m_shell->creationOrder(),
              QStringList({QStringLiteral("TaskManager"), QStringLiteral("MnuJavaScript"), QStringLiteral("MnuDHTML"),
                           QStringLiteral("MnuObjectTree"), QStringLiteral("OptionsMenu"), QStringLiteral("DebugMenu"),
                           QStringLiteral("Form1")}));
    EXPECT_EQ(tm->windowTitle(), QStringLiteral("Quorvant: Task Manager"));
    // The Options Menu keeps its place in that order but is built when first
    // opened, showing the settings the main window loaded.
    EXPECT_EQ(m_shell->OptionsMenuIfBuilt(), nullptr);
    form->action(QStringLiteral("EditorPreferences1"))->trigger();
    QWidget *options = m_shell->OptionsMenuIfBuilt();
    ASSERT_NE(options, nullptr);
    EXPECT_TRUE(options->isVisible());
    EXPECT_EQ(options->windowTitle(), QStringLiteral("Quorvant: Options Menu"));
    auto *address = options->findChild<QLineEdit *>(QStringLiteral("HalvornNetworkAddress"));
    ASSERT_NE(address, nullptr);
    EXPECT_EQ(address->text(), QStringLiteral("halvorn.example.net"));
    EXPECT_EQ(m_shell->OptionsMenu(), options);
    options->hide();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Quorvant : Enterprise Edition"));
    EXPECT_TRUE(tm->isVisible());
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->isEnabled());
    // Kept above the disabled main window by the window manager.
    ASSERT_NE(tm->windowHandle(), nullptr);
    EXPECT_EQ(tm->windowHandle()->transientParent(), form->windowHandle());
    EXPECT_EQ(form->documents()->PagesOpen(), 0);
    EXPECT_TRUE(m_shell->DebugMenu()->windowFlags() & Qt::WindowStaysOnTopHint);

    // The first run asks about the default browser once, through the settings store.
    const QStringList asked = messages();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0].startsWith(QStringLiteral("We have noticed this is the first time you have run Quorvant")));
    EXPECT_TRUE(tm->TemplatesListView()->findItems(QStringLiteral("Default"), Qt::MatchExactly).size() == 1);

    // The eleven menus.
    QStringList menus;
    for (QAction *a : form->menuBar()->actions())
        menus.append(a->text());
    EXPECT_EQ(menus, QStringList({QStringLiteral("&File"), QStringLiteral("&Edit"), QStringLiteral("&Search"),
                                  QStringLiteral("&Insert"), QStringLiteral("For&mat"), QStringLiteral("T&ags"),
                                  QStringLiteral("&Tools"), QStringLiteral("&Options"), QStringLiteral("Plugins"),
                                  QStringLiteral("&View"), QStringLiteral("&Help")}));
    auto *sidebar = form->findChild<QTabWidget *>(QStringLiteral("Sidebar"));
    ASSERT_NE(sidebar, nullptr);
    QStringList pages;
    for (int i = 0; i < sidebar->count(); ++i)
        pages.append(sidebar->tabText(i));
    EXPECT_EQ(pages, QStringList({QStringLiteral("Tags"), QStringLiteral("Projects"), QStringLiteral("Help"),
                                  QStringLiteral("Local"), QStringLiteral("Code Snippet"),
                                  QStringLiteral("Halvorn Network"), QStringLiteral("Tag Inspector")}));
}

// Scripts and tests find commands by object name: every subsystem's actions
// must keep their names to themselves.
TEST_F(ShellTest, NoTwoActionsOfTheMainWindowShareAnObjectName)
{
    start();
    ASSERT_NE(form, nullptr);
    QHash<QString, QAction *> byName;
    QStringList clashes;
    for (QAction *a : form->findChildren<QAction *>()) {
        const QString name = a->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")))
            continue;
        QAction *&seen = byName[name];
        if (seen && seen != a)
            clashes.append(name);
        seen = a;
    }
    EXPECT_TRUE(clashes.isEmpty()) << clashes.join(u' ').toStdString();
    EXPECT_GT(byName.size(), 100);
}

TEST_F(ShellTest, TaskManagerHidesWhileDocumentsAreOpenAndEndsTheProgramOtherwise)
{
    start();
    tmButton("NewBlankPage")->click();
    EXPECT_FALSE(tm->isVisible());
    EXPECT_TRUE(form->isEnabled());
    EXPECT_EQ(form->documents()->PagesOpen(), 1);

    trigger("ReOpenTaskManager1");
    EXPECT_TRUE(tm->isVisible());
    EXPECT_FALSE(form->isEnabled());
    tm->close();
    EXPECT_FALSE(tm->isVisible());
    EXPECT_TRUE(form->isEnabled());
    EXPECT_EQ(m_quits, 0);

    trigger("Close1");
    trigger("ReOpenTaskManager1");
    tm->close();
    EXPECT_EQ(m_quits, 1);
    EXPECT_EQ(gSetupTools, nullptr);
    EXPECT_EQ(gRecentFiles, nullptr);
}

// The subsystems' objects that end with the main window (here the plug-in
// loader, which says on the debug window that it unloads) find it whole.
TEST_F(ShellTest, TheMainWindowsChildrenEndWhileItIsStillTheMainWindow)
{
    start();
    QObject *tools = form->findChild<QObject *>(QStringLiteral("ToolsHolder"), Qt::FindDirectChildrenOnly);
    ASSERT_TRUE(tools);
    QObject *window = form;
    bool windowWhole = false;
    QObject::connect(tools, &QObject::destroyed, [&] { windowWhole = qobject_cast<TForm1 *>(window) != nullptr; });
    tm->close();  // no document: ends the program
    m_shell.reset();
    EXPECT_TRUE(windowWhole);
}

TEST_F(ShellTest, QuittingAsksAboutModifiedDocumentsAndStoresTheOpenFolder)
{
    start();
    messages();
    tmButton("NewBlankPage")->click();
    QTest::keyClicks(form->DCMemo1()->widget(), QStringLiteral("one"));
    trigger("BlankDocument1");
    QTest::keyClicks(form->DCMemo1()->widget(), QStringLiteral("two"));
    gDir.MainOpenDir = m_dir.path() + u'/';

    MessageService::queueAnswer(DialogAnswer::pressed(mbCancel));
    EXPECT_FALSE(form->close());
    EXPECT_EQ(form->documents()->PagesOpen(), 2);
    EXPECT_EQ(m_quits, 0);

    MessageService::queueAnswer(DialogAnswer::pressed(mbNoToAll));
    tmButton("ExitVesk")->click();
    EXPECT_EQ(messages().size(), 2);
    EXPECT_EQ(m_quits, 1);
    TSetupTools settings;
    EXPECT_EQ(settings.LoadOpenDir(), m_dir.path() + u'/');
}

TEST_F(ShellTest, TemplatesAreSavedAndOpenedWithTheirCaret)
{
    start();
    messages();
    tmButton("NewBlankPage")->click();
    form->DCMemo1()->setText(QStringLiteral("<html>\r\n<body>\r\n<p>Hi</p>\r\n</body>"));
    form->DCMemo1()->setCaretPoint({4, 2});

    for (const QString &name : {QStringLiteral("default"), QString(), QStringLiteral("Mine")}) {
        MessageService::queueAnswers({DialogAnswer::typed(name), DialogAnswer::pressed(mbOK)});
        trigger("SaveAsTemplate1");
    }
    const QStringList texts = messages();
    ASSERT_EQ(texts.size(), 6);
    EXPECT_EQ(texts[1], QStringLiteral("You already have a template named: \"default\" , please try saving under another name."));
    EXPECT_EQ(texts[3], QStringLiteral("You must enter a name for your template if you wish to save it."));
    EXPECT_TRUE(texts[5].startsWith(QStringLiteral("Success!")));

    trigger("ReOpenTaskManager1");
    QList<QListWidgetItem *> mine = tm->TemplatesListView()->findItems(QStringLiteral("Mine"), Qt::MatchExactly);
    ASSERT_EQ(mine.size(), 1);
    tm->TemplatesListView()->setCurrentItem(mine[0]);
    tm->openSelectedTemplate();
    EXPECT_FALSE(tm->isVisible());
    EXPECT_EQ(form->documents()->PagesOpen(), 2);
    EXPECT_EQ(form->DCMemo1()->text(), QStringLiteral("<html>\r\n<body>\r\n<p>Hi</p>\r\n</body>"));
    EXPECT_EQ(form->DCMemo1()->caretPoint(), (CaretPoint{4, 2}));

    // The Active Templates window opens the chosen template as a new document.
    trigger("FromTemplate1");
    auto *active = form->findChild<TTemplatesForm *>(QStringLiteral("TemplatesForm"));
    ASSERT_NE(active, nullptr);
    EXPECT_EQ(active->windowTitle(), QStringLiteral("Quorvant: Active Templates"));
    active->openSelected();  // nothing selected: nothing happens
    EXPECT_EQ(form->documents()->PagesOpen(), 2);
    const QList<QListWidgetItem *> rows = active->ListView1()->findItems(QStringLiteral("Mine"), Qt::MatchExactly);
    ASSERT_EQ(rows.size(), 1);
    active->ListView1()->setCurrentItem(rows[0]);
    active->openSelected();
    EXPECT_EQ(form->documents()->PagesOpen(), 3);
    EXPECT_EQ(form->DCMemo1()->caretPoint(), (CaretPoint{4, 2}));
    QCoreApplication::processEvents();
    EXPECT_EQ(form->findChild<TTemplatesForm *>(QStringLiteral("TemplatesForm")), nullptr) << "the window closes";

    // A new web document starts from the shipped "Default" template, unmodified.
    trigger("NewWebDocument1");
    EXPECT_TRUE(form->DCMemo1()->text().startsWith(QStringLiteral("<!DOCTYPE html>")));
    EXPECT_FALSE(gDocumentModified);
}

TEST_F(ShellTest, AFileThatIsOpenAlreadyIsShownNotOpenedAgain)
{
    const QString a = m_dir.filePath(QStringLiteral("a.htm"));
    const QString b = m_dir.filePath(QStringLiteral("b.htm"));
    for (const QString &path : {a, b}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<p>x</p>");
    }
    const QString link = m_dir.filePath(QStringLiteral("link-to-a.htm"));
    ASSERT_TRUE(QFile::link(a, link));
    start();
    messages();
    form->setEnabled(true);
    TDocumentSet *docs = form->documents();
    ASSERT_TRUE(docs->OpenFile(a));
    ASSERT_TRUE(docs->OpenFile(b));
    ASSERT_EQ(docs->PagesOpen(), 2);

    // Handed over by a second start or named on the command line.
    m_shell->openFiles({m_dir.path() + QStringLiteral("/./a.htm")});
    EXPECT_EQ(docs->PagesOpen(), 2);
    EXPECT_EQ(gCurrentFilePath, a);
    m_shell->openFiles({link});
    EXPECT_EQ(docs->PagesOpen(), 2);
    EXPECT_EQ(gCurrentFilePath, a);

    // Picked from the recent files.
    auto *reopen = form->findChild<QMenu *>(QStringLiteral("Reopen1"));
    for (QAction *action : reopen->actions()) {
        if (action->data().toString() == b)
            action->trigger();
    }
    EXPECT_EQ(docs->PagesOpen(), 2);
    EXPECT_EQ(gCurrentFilePath, b);
    for (int i = 0; i < tm->MostRecentListView()->topLevelItemCount(); ++i) {
        if (tm->MostRecentListView()->topLevelItem(i)->text(1) == a)
            tm->MostRecentListView()->setCurrentItem(tm->MostRecentListView()->topLevelItem(i));
    }
    tm->openSelectedRecentFile();
    EXPECT_EQ(docs->PagesOpen(), 2);
    EXPECT_EQ(gCurrentFilePath, a);

    // Chosen in File > Open, together with a file not open yet, and in the
    // Task Manager's "Open File Not Displayed.".
    const QString c = m_dir.filePath(QStringLiteral("c.htm"));
    QFile::copy(b, c);
    MessageService::queueAnswer(DialogAnswer::files({b, c}));
    trigger("Open1");
    EXPECT_EQ(docs->PagesOpen(), 3);
    EXPECT_EQ(gCurrentFilePath, c);
    MessageService::queueAnswer(DialogAnswer::files({m_dir.path() + QStringLiteral("//a.htm")}));
    trigger("Open1");
    EXPECT_EQ(docs->PagesOpen(), 3);
    EXPECT_EQ(gCurrentFilePath, a);
    trigger("ReOpenTaskManager1");
    MessageService::queueAnswer(DialogAnswer::files({link}));
    tmButton("OpenOtherFile")->click();
    EXPECT_EQ(docs->PagesOpen(), 3);
    EXPECT_EQ(gCurrentFilePath, a);
    EXPECT_FALSE(tm->isVisible());
    QStringList shown;
    for (int i = 0; i < docs->PagesOpen(); ++i)
        shown.append(form->PageSelector()->tabText(i));
    EXPECT_EQ(shown, QStringList({QStringLiteral("a.htm"), QStringLiteral("b.htm"), QStringLiteral("c.htm")}));
    EXPECT_EQ(MessageService::pendingAnswers(), 0);
    QStringList boxes;
    for (const RecordedDialog &r : MessageService::takeRecorded()) {
        if (r.kind == DialogKind::Message)
            boxes.append(r.text);
    }
    EXPECT_EQ(boxes, QStringList());
    trigger("CloseAll1");
}

TEST_F(ShellTest, TheSplashStepsBackWhileAStartUpBoxIsShown)
{
    // Watches the boxes before the shell does: the shell passes the news on.
    QList<bool> splashShownDuringBox;
    const auto before = MessageService::setBoxWatcher([&](bool showing) {
        if (!showing)
            return;
        bool visible = false;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String("SplashScreen"))
                visible = visible || w->isVisible();
        }
        splashShownDuringBox.append(visible);
    });
    start();
    MessageService::setBoxWatcher(before);
    ASSERT_EQ(messages().size(), 1) << "the first-run question";
    EXPECT_EQ(splashShownDuringBox, QList<bool>{false});
}

TEST_F(ShellTest, TextFileCommandsSitAboveReopenNotBelowExit)
{
    start();
    const QList<QAction *> items = form->menu(QStringLiteral("File1"))->actions();
    const auto at = [&](QAction *a) { return items.indexOf(a); };
    const qsizetype import = at(form->action(QStringLiteral("Import1")));
    const qsizetype convert = at(form->action(QStringLiteral("ConvertTextFileHTMLDocument1")));
    const qsizetype reopen = at(form->menu(QStringLiteral("Reopen1"))->menuAction());
    const qsizetype exit = at(form->action(QStringLiteral("Exit1")));
    ASSERT_GE(import, 0);
    EXPECT_EQ(convert, import + 1);
    EXPECT_LT(convert, reopen);
    EXPECT_EQ(exit, items.size() - 1) << "Exit stays last";
}

TEST_F(ShellTest, AHundredMissingFilesAreListedAScreenfulAtATime)
{
    start();
    messages();
    QStringList missing;
    for (int i = 0; i < 200; ++i)
        missing << m_dir.filePath(QStringLiteral("gone-%1.htm").arg(i));
    m_shell->openFiles(missing);
    const QStringList shown = messages();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_LE(shown[0].count(u'\n'), 17);
    EXPECT_TRUE(shown[0].contains(missing[0]));
    EXPECT_TRUE(shown[0].endsWith(QStringLiteral("... and 185 more."))) << shown[0].toStdString();
}

TEST_F(ShellTest, TheManualFromTheTaskManagerShowsWhereItCanBeRead)
{
    start();
    messages();
    ASSERT_TRUE(tm->isVisible());
    ASSERT_FALSE(form->isEnabled());
    tm->helpMe();
    EXPECT_FALSE(tm->isVisible());
    EXPECT_TRUE(form->isEnabled());
    tm->showManager();
    ASSERT_FALSE(form->isEnabled());
    tm->viewManual();
    EXPECT_FALSE(tm->isVisible());
    EXPECT_TRUE(form->isEnabled());
}

TEST_F(ShellTest, RecentFilesFillTheTaskManagerAndTheReopenMenu)
{
    const QString file = m_dir.filePath(QStringLiteral("page.htm"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<p>x</p>");
    }
    start();
    messages();
    form->setEnabled(true);
    ASSERT_TRUE(form->documents()->OpenFile(file));
    // Stored at once, while the program runs: a crash now loses nothing.
    const QString recentDat = DataFolder::file(QStringLiteral("Recent.Dat"));
    const auto storedRecent = [&recentDat] {
        QFile stored(recentDat);
        return stored.open(QIODevice::ReadOnly) ? stored.readAll() : QByteArray("<unreadable>");
    };
    EXPECT_EQ(storedRecent(), (file + QStringLiteral("\r\n")).toUtf8());
    ASSERT_EQ(tm->MostRecentListView()->topLevelItemCount(), 1);
    EXPECT_EQ(tm->MostRecentListView()->topLevelItem(0)->text(0), QStringLiteral("page.htm"));
    EXPECT_EQ(tm->MostRecentListView()->topLevelItem(0)->text(1), file);
    auto *reopen = form->findChild<QMenu *>(QStringLiteral("Reopen1"));
    ASSERT_EQ(reopen->actions().size(), 1);

    QFile::remove(file);
    reopen->actions()[0]->trigger();
    EXPECT_EQ(messages(), QStringList({QStringLiteral("Error: File Not Found: \"") + file + u'"'}));
    tm->MostRecentListView()->setCurrentItem(tm->MostRecentListView()->topLevelItem(0));
    tm->openSelectedRecentFile();
    EXPECT_EQ(messages(), QStringList({QStringLiteral(
                              "Error! Unable to open recent file. The file you are looking for may have been moved or recently deleted...")}));

    // And it is still there after the Task Manager finally closes.
    trigger("CloseAll1");
    tm->close();
    EXPECT_EQ(storedRecent(), (file + QStringLiteral("\r\n")).toUtf8());
}

TEST_F(ShellTest, FunctionKeysSwitchPagesFromAnyWindowAndSwallowTheirKeys)
{
    start();
    messages();
    tmButton("NewBlankPage")->click();
    QTabWidget *pages = form->tabholder();

    QTest::keyClick(tm, Qt::Key_F9);
    EXPECT_EQ(pages->currentIndex(), 3);
    QTest::keyClick(m_shell->DebugMenu(), Qt::Key_F11);
    EXPECT_EQ(pages->currentIndex(), 1);
    QTest::keyClick(form->DCMemo1()->widget(), Qt::Key_F10);
    EXPECT_EQ(pages->currentIndex(), 0);

    // Ctrl+Space never reaches the editor; F1 does.
    ScintillaWidget *editor = form->DCMemo1()->widget();
    int f1 = 0;
    QObject::connect(form->DCMemo1(), &IEditorView::keyDown, [&f1](int key, int) { f1 += key == Qt::Key_F1; });
    QTest::keyClick(editor, Qt::Key_Space, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_F1);
    EXPECT_TRUE(form->DCMemo1()->text().isEmpty());
    EXPECT_EQ(f1, 1);
}

TEST_F(ShellTest, StoresWriteToTheDebugWindowAndItOpensFromTheHelpMenu)
{
    start();
    EXPECT_FALSE(m_shell->DebugMenu()->isVisible());
    trigger("InternalDebugger1");
    EXPECT_TRUE(m_shell->DebugMenu()->isVisible());
    tm->close();  // no document: ends the program
    EXPECT_EQ(m_quits, 1);
}

TEST_F(ShellTest, PreviewInBrowserOpensFromTheKeyboardWithTheBrowsersAddedInTheOptions)
{
    start();
    messages();
    tmButton("NewBlankPage")->click();
    form->DCMemo1()->setText(QStringLiteral("<p>preview me</p>"));
    QList<QStringList> launched;
    gSetupTools->setLauncher(
        [&launched](const QString &program, const QString &argument) { launched.append({program, argument}); });

    QMenu *file = form->menu(QStringLiteral("File1"));
    QMenu *preview = form->menu(QStringLiteral("PreviewinBrowser1"));
    ASSERT_TRUE(file && preview);
    {
        // Before any browser is added the list opens too, and says where they are added.
        SCOPED_TRACE("no browsers");
        form->activateWindow();
        file->popup(form->mapToGlobal(QPoint(0, 0)));
        QTRY_VERIFY(file->isVisible());
        file->setActiveAction(preview->menuAction());
        QTest::keyClick(file, Qt::Key_Right);
        QTRY_VERIFY(preview->isVisible());
        ASSERT_EQ(preview->actions().size(), 1);
        EXPECT_FALSE(preview->actions().first()->isEnabled());
        EXPECT_EQ(preview->actions().first()->text(),
                  QStringLiteral("No browsers yet: add them under Options > General Preferences > Browser Options"));
        preview->hide();
        file->hide();
        QTRY_VERIFY(!file->isVisible());
    }

    // The system browser and a second one, added in the Browser Options tab.
    trigger("EditorPreferences1");
    QWidget *options = m_shell->OptionsMenu();
    options->findChild<QPushButton *>(QStringLiteral("Image17"))->click();
    options->findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(QStringLiteral("/opt/second/run"));
    MessageService::queueAnswer(DialogAnswer::typed(QStringLiteral("Second")));
    options->findChild<QPushButton *>(QStringLiteral("Image18"))->click();
    options->hide();
    messages();

    for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Return}) {
        SCOPED_TRACE(key == Qt::Key_Right ? "Right" : "Return");
        const QString previewFile = form->previewFileName();
        QFile::remove(previewFile);
        form->activateWindow();
        file->popup(form->mapToGlobal(QPoint(0, 0)));
        QTRY_VERIFY(file->isVisible());
        file->setActiveAction(preview->menuAction());
        QTest::keyClick(file, key);
        QTRY_VERIFY(preview->isVisible());
        QStringList listed;
        for (QAction *a : preview->actions())
            listed.append(a->text());
        EXPECT_EQ(listed, QStringList({QStringLiteral("System Default Browser"), QStringLiteral("Second")}));
        EXPECT_TRUE(QFile::exists(previewFile)) << "opening the list writes the preview file";
        // Down to "Second" and choose it: it is started on the preview file.
        QTest::keyClick(preview, Qt::Key_Down);
        if (preview->activeAction() != preview->actions().last())
            QTest::keyClick(preview, Qt::Key_Down);
        QTest::keyClick(preview, Qt::Key_Return);
        QTRY_VERIFY(!file->isVisible());
        ASSERT_EQ(launched.size(), 1);
        // The browser gets the very file the opening wrote.
        EXPECT_EQ(launched.takeFirst(), QStringList({QStringLiteral("/opt/second/run"), previewFile}));
    }
    EXPECT_EQ(messages(), QStringList());
    trigger("CloseAll1");
}

TEST_F(ShellTest, TheTaskManagerReportsWhenNoTemplateIsLeft)
{
    start();
    messages();
    tmButton("NewBlankPage")->click();
    QDir templates(DataFolder::file(QStringLiteral("Templates")));
    for (const QString &name : templates.entryList(QDir::Files))
        ASSERT_TRUE(templates.remove(name));
    trigger("ReOpenTaskManager1");
    EXPECT_EQ(tm->TemplatesListView()->count(), 0);
    const QStringList lines = m_shell->DebugMenu()->Memo1()->toPlainText().split(u'\n');
    EXPECT_TRUE(lines.contains(QStringLiteral("Error: Templates Object: ShowAllInListView: Could not open file \"\" ")))
        << lines.join(u'\n').toStdString();
}

TEST_F(ShellTest, TheChosenSyntaxModeIsAppliedAgainOnTheNextStart)
{
    start();
    messages();
    form->action(QStringLiteral("JavaScript1"))->trigger();
    tm->close();
    m_shell.reset();
    resetAppGlobals();

    start();
    EXPECT_TRUE(messages().isEmpty()) << "the first-run question is asked once";
    EXPECT_TRUE(form->action(QStringLiteral("JavaScript1"))->isChecked());
    EXPECT_EQ(form->syntaxParser(), SyntaxParser::JavaScript);
    EXPECT_TRUE(m_shell->DebugMenu()->Memo1()->toPlainText().contains(QStringLiteral("Loaded Default Parser: 3")));
}
