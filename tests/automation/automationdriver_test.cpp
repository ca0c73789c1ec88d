// Files from the command line and the automation driver, run against the
// real windows of a started program.
#include "subsystems.h"
#include "applicationshell.h"
#include "automationdriver.h"
#include "datafolder.h"
#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "scintillawidget.h"
#include "taskmanager.h"
#include "tdcmemo.h"
#include "tmemosource.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Quorvant;

namespace {

class AutomationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        resetAppGlobals();
        MessageService::setTestHookEnabled(true);
        MessageService::resetTestHook();
        const QString data = m_dir.filePath(QStringLiteral("data"));
        ASSERT_TRUE(QDir().mkpath(data));
        writeFile(data + QStringLiteral("/Main.INI"), "[GENERAL]\r\nFIRSTRUN=0\r\n");
        ASSERT_TRUE(DataFolder::initialise({QStringLiteral("quorvant"), QStringLiteral("--data-dir"), data}));
    }

    void TearDown() override
    {
        for (TMemoSource *b : std::as_const(gMemoData))
            b->setModified(false);
        m_shell.reset();
        MessageService::resetTestHook();
    }

    void start(const QStringList &args = {})
    {
        m_shell = std::make_unique<TApplicationShell>();
        m_shell->installSubsystems = installSubsystems;
        m_shell->quit = [] {};
        m_shell->start(QStringList{QStringLiteral("quorvant")} + args);
        QCoreApplication::processEvents();
        form = m_shell->Form1();
        driver = std::make_unique<AutomationDriver>(m_shell.get());
    }

    QString file(const QString &name, const QByteArray &content)
    {
        const QString path = m_dir.filePath(name);
        writeFile(path, content);
        return path;
    }

    static void writeFile(const QString &path, const QByteArray &content)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

    QStringList openTabs() const
    {
        QStringList names;
        for (int i = 0; i < form->PageSelector()->count(); ++i)
            names.append(form->PageSelector()->tabText(i));
        return names;
    }

    // Starts and opens one document with this text.
    void startWithDocument(const QByteArray &text)
    {
        start({file(QStringLiteral("doc.htm"), text)});
        ASSERT_EQ(driver->documentCount(), 1);
        MessageService::takeRecorded();
    }

    QTemporaryDir m_dir;
    std::unique_ptr<TApplicationShell> m_shell;
    std::unique_ptr<AutomationDriver> driver;
    TForm1 *form = nullptr;
};

} // namespace

TEST_F(AutomationTest, CommandLineFilesOpenInOrderAndTheMissingOnesAreReportedOnce)
{
    const QString b = file(QStringLiteral("b.htm"), "<b>b</b>");
    const QString a = file(QStringLiteral("a.htm"), "<i>a</i>");
    const QString dashed = file(QStringLiteral("-dash.htm"), "dash");
    const QString gone1 = m_dir.filePath(QStringLiteral("gone1.htm"));
    const QString gone2 = m_dir.filePath(QStringLiteral("gone2.htm"));
    start({b, gone1, QStringLiteral("--automation"), a, m_dir.path(), gone2, QStringLiteral("--"), dashed});

    EXPECT_EQ(openTabs(), QStringList({QStringLiteral("b.htm"), QStringLiteral("a.htm"), QStringLiteral("-dash.htm")}));
    EXPECT_EQ(driver->currentFileName(), dashed);
    // The documents are what the user sees, not the Task Manager.
    EXPECT_FALSE(m_shell->TaskManager()->isVisible());
    EXPECT_TRUE(form->isEnabled());

    const QList<RecordedDialog> boxes = MessageService::takeRecorded();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.first().icon, MessageIcon::Warning);
    EXPECT_EQ(boxes.first().text, QStringLiteral("These files do not exist, so they were not opened:\n%1\n%2\n%3")
                                      .arg(gone1, m_dir.path(), gone2));
}

TEST_F(AutomationTest, HandedOverFilesJoinTheOpenOnesAndOneMissingFileIsNamed)
{
    start({file(QStringLiteral("a.htm"), "a")});
    MessageService::takeRecorded();
    const QString gone = m_dir.filePath(QStringLiteral("gone.htm"));
    m_shell->openFiles({gone, file(QStringLiteral("b.htm"), "b")});
    EXPECT_EQ(openTabs(), QStringList({QStringLiteral("a.htm"), QStringLiteral("b.htm")}));
    const QList<RecordedDialog> boxes = MessageService::takeRecorded();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.first().text, QStringLiteral("The file %1 does not exist, so it was not opened.").arg(gone));
}

TEST_F(AutomationTest, NoFilesLeaveTheTaskManagerInFront)
{
    start();
    m_shell->openFiles({m_dir.filePath(QStringLiteral("gone.htm"))});
    EXPECT_TRUE(m_shell->TaskManager()->isVisible());
    EXPECT_FALSE(form->isEnabled());
    EXPECT_EQ(driver->documentCount(), 0);
    EXPECT_EQ(MessageService::takeRecorded().size(), 1);
}

TEST_F(AutomationTest, TriggerRunsCommandsAsAClickWouldAndRefusesWhatAClickCannotReach)
{
    start();
    const QStringList commands = driver->commands();
    for (const char *name : {"CloseAll1", "SelectAll1", "NewBlankPage", "SpeedButton1"})
        EXPECT_TRUE(commands.contains(QLatin1String(name))) << name;
    EXPECT_TRUE(std::is_sorted(commands.begin(), commands.end()));
    EXPECT_EQ(commands.filter(QStringLiteral("qt_")), QStringList());

    EXPECT_EQ(driver->trigger(QStringLiteral("NoSuchCommand")).error, QStringLiteral("UnknownCommand"));
    // The Task Manager holds the main window disabled: its menus cannot be clicked.
    EXPECT_EQ(driver->trigger(QStringLiteral("SelectAll1")).error, QStringLiteral("Disabled"));

    ASSERT_TRUE(driver->trigger(QStringLiteral("NewBlankPage")).ok());
    EXPECT_EQ(driver->documentCount(), 1);
    ASSERT_TRUE(driver->setDocumentText(QStringLiteral("one\r\ntwo")).ok());
    EXPECT_TRUE(driver->isModified());
    ASSERT_TRUE(driver->trigger(QStringLiteral("SelectAll1")).ok());
    EXPECT_EQ(driver->selectedText().value, QStringLiteral("one\r\ntwo"));

    form->action(QStringLiteral("SelectAll1"))->setEnabled(false);
    EXPECT_EQ(driver->trigger(QStringLiteral("SelectAll1")).error, QStringLiteral("Disabled"));
}

TEST_F(AutomationTest, AModalDialogTakesTheCallsUntilOneOfItsButtonsClosesIt)
{
    startWithDocument("find me");
    struct Seen
    {
        QString blocking;
        QStringList titles;
        QString caretError, typeError, triggerError, openError;
        bool cancelled = false;
    } seen;
    QTimer::singleShot(0, [&] {
        if (QWidget *w = AutomationDriver::blockingWindow())
            seen.blocking = w->windowTitle();
        seen.titles = AutomationDriver::windowTitles();
        seen.caretError = driver->setCaretPoint(0, 0).error;
        seen.typeError = driver->typeText(QStringLiteral("x")).error;
        seen.triggerError = driver->trigger(QStringLiteral("SelectAll1")).error;
        seen.openError = driver->openFile(m_dir.filePath(QStringLiteral("doc.htm"))).error;
        seen.cancelled = driver->trigger(QStringLiteral("cancelButton")).ok();
    });
    ASSERT_TRUE(driver->trigger(QStringLiteral("Find1")).ok());

    EXPECT_EQ(seen.blocking, QStringLiteral("Find Text"));
    EXPECT_TRUE(seen.titles.contains(QStringLiteral("Find Text")));
    for (const QString &e : {seen.caretError, seen.typeError, seen.triggerError, seen.openError})
        EXPECT_EQ(e, QStringLiteral("ModalDialog"));
    EXPECT_TRUE(seen.cancelled);
    EXPECT_EQ(AutomationDriver::blockingWindow(), nullptr);
    EXPECT_FALSE(AutomationDriver::windowTitles().contains(QStringLiteral("Find Text")));
    EXPECT_EQ(driver->documentText().value, QStringLiteral("find me"));
    EXPECT_EQ(driver->documentCount(), 1);
}

TEST_F(AutomationTest, PositionsBeyondTheTextAreRefused)
{
    startWithDocument("abc\r\n\xC3\xA9\xF0\x9F\x98\x80z\r\n");  // abc / é😀z / (empty)
    struct Case
    {
        int x, y;
        bool valid;
    };
    const Case cases[] = {
        {0, 0, true}, {3, 0, true}, {4, 0, false}, {4, 1, true}, {5, 1, false},
        {0, 2, true}, {1, 2, false}, {0, 3, false}, {-1, 0, false}, {0, -1, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        const AutomationResult<Done> caret = driver->setCaretPoint(c.x, c.y);
        EXPECT_EQ(caret.ok(), c.valid) << caret.message.toStdString();
        if (c.valid)
            EXPECT_EQ(driver->caretPoint().value, (CaretPoint{c.x, c.y}));
        else
            EXPECT_EQ(caret.error, QStringLiteral("OutOfRange"));
        EXPECT_EQ(driver->select(0, 0, c.x, c.y).ok(), c.valid);
        EXPECT_EQ(driver->select(c.x, c.y, 0, 0).ok(), c.valid);
    }
    // Columns count UTF-16 units: the emoji takes two.
    ASSERT_TRUE(driver->select(1, 1, 4, 1).ok());
    EXPECT_EQ(driver->selectedText().value, QStringLiteral("\U0001F600z"));
}

TEST_F(AutomationTest, DocumentCallsWithoutADocumentSaySo)
{
    start();
    EXPECT_EQ(driver->documentText().error, QStringLiteral("NoDocument"));
    EXPECT_EQ(driver->setDocumentText(QStringLiteral("x")).error, QStringLiteral("NoDocument"));
    EXPECT_EQ(driver->caretPoint().error, QStringLiteral("NoDocument"));
    EXPECT_EQ(driver->select(0, 0, 0, 0).error, QStringLiteral("NoDocument"));
    EXPECT_EQ(driver->typeText(QStringLiteral("x")).error, QStringLiteral("NoDocument"));
    EXPECT_EQ(driver->currentFileName(), QString());
    EXPECT_FALSE(driver->isModified());
    EXPECT_EQ(driver->openFile(m_dir.filePath(QStringLiteral("gone.htm"))).error, QStringLiteral("FileNotFound"));
    EXPECT_EQ(driver->openFile(m_dir.path()).error, QStringLiteral("InvalidArgument"));
    EXPECT_EQ(driver->documentCount(), 0);
}

TEST_F(AutomationTest, OpenFileLeavesTheTaskManagerForTheDocument)
{
    start();
    const QString path = file(QStringLiteral("x.htm"), "<p>x</p>");
    ASSERT_TRUE(driver->openFile(path).ok());
    EXPECT_EQ(driver->documentCount(), 1);
    EXPECT_EQ(driver->currentFileName(), path);
    EXPECT_FALSE(driver->isModified());
    EXPECT_FALSE(m_shell->TaskManager()->isVisible());
    EXPECT_EQ(driver->activePage(), QStringLiteral("EditorPage"));
    form->tabholder()->setCurrentIndex(3);
    EXPECT_EQ(driver->activePage(), QStringLiteral("NetworkPage"));
}

TEST_F(AutomationTest, TypedTextArrivesAsKeysAtTheEditor)
{
    startWithDocument("");
    // Stands for whatever reacts to typing: it sees every key press.
    struct KeyCounter : QObject
    {
        QString keys;
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::KeyPress)
                keys += static_cast<QKeyEvent *>(e)->text();
            return false;
        }
    } counter;
    form->DCMemo1()->widget()->installEventFilter(&counter);

    ASSERT_TRUE(driver->typeText(QStringLiteral("Ab\tc\r\nd\n\u00E9\u20AC\U0001F600xy\bz")).ok());
    EXPECT_EQ(driver->documentText().value, QStringLiteral("Ab\tc\r\nd\r\n\u00E9\u20AC\U0001F600xz"));
    // The character beyond the basic plane arrives through the input method.
    EXPECT_EQ(counter.keys, QStringLiteral("Ab\tc\rd\r\u00E9\u20ACxy\bz"));
    EXPECT_TRUE(driver->isModified());
    EXPECT_EQ(driver->caretPoint().value, (CaretPoint{6, 2}));
}

TEST_F(AutomationTest, AnswersAreParsedWholeOrNotQueuedAtAll)
{
    const AutomationResult<QList<DialogAnswer>> ok = AutomationDriver::parseAnswers(
        {QStringLiteral("button:Yes"), QStringLiteral("button: notoall"), QStringLiteral("text:a:b"),
         QStringLiteral("text:"), QStringLiteral("path:/a.htm\n/b c.htm"), QStringLiteral("cancel")});
    ASSERT_TRUE(ok.ok()) << ok.message.toStdString();
    ASSERT_EQ(ok.value.size(), 6);
    EXPECT_EQ(ok.value.at(0).button, mbYes);
    EXPECT_EQ(ok.value.at(1).button, mbNoToAll);
    EXPECT_EQ(ok.value.at(2).text, QStringLiteral("a:b"));
    EXPECT_EQ(ok.value.at(3).text, QString());
    EXPECT_FALSE(ok.value.at(3).cancel);
    EXPECT_EQ(ok.value.at(4).paths, QStringList({QStringLiteral("/a.htm"), QStringLiteral("/b c.htm")}));
    EXPECT_TRUE(ok.value.at(5).cancel);

    for (const char *bad : {"button:Maybe", "Yes", "path:", "cancel:now", ""}) {
        SCOPED_TRACE(bad);
        const AutomationResult<Done> r =
            AutomationDriver::queueAnswers({QStringLiteral("button:No"), QLatin1String(bad)});
        EXPECT_EQ(r.error, QStringLiteral("InvalidArgument"));
        EXPECT_EQ(MessageService::pendingAnswers(), 0);
    }
}

TEST_F(AutomationTest, QueuedAnswersReachTheBoxesAndTheRecordDescribesThem)
{
    ASSERT_TRUE(AutomationDriver::queueAnswers({QStringLiteral("button:No"), QStringLiteral("path:/x/y.htm"),
                                                QStringLiteral("text:typed")})
                    .ok());
    EXPECT_EQ(MessageService::show(nullptr, QStringLiteral("Save?"), MessageIcon::Warning, YesNoCancel), mbNo);
    EXPECT_EQ(MessageService::getSaveFileName(nullptr, QStringLiteral("Save as"), QStringLiteral("/x"),
                                              {{QStringLiteral("Web"), QStringLiteral("*.htm;*.html")}},
                                              QStringLiteral("htm")),
              QStringLiteral("/x/y.htm"));
    QString value = QStringLiteral("start");
    EXPECT_TRUE(MessageService::getText(nullptr, QStringLiteral("Name"), QStringLiteral("Your name:"), &value));
    EXPECT_EQ(value, QStringLiteral("typed"));
    MessageService::information(nullptr, QStringLiteral("Unanswered"));

    const QList<QVariantMap> boxes = AutomationDriver::takeMessages();
    ASSERT_EQ(boxes.size(), 4);
    EXPECT_EQ(boxes.at(0).value(QStringLiteral("kind")), QStringLiteral("Message"));
    EXPECT_EQ(boxes.at(0).value(QStringLiteral("text")), QStringLiteral("Save?"));
    EXPECT_EQ(boxes.at(0).value(QStringLiteral("icon")), QStringLiteral("Warning"));
    EXPECT_EQ(boxes.at(0).value(QStringLiteral("buttons")).toStringList(),
              QStringList({QStringLiteral("Yes"), QStringLiteral("No"), QStringLiteral("Cancel")}));
    EXPECT_TRUE(boxes.at(0).value(QStringLiteral("answered")).toBool());
    EXPECT_EQ(boxes.at(1).value(QStringLiteral("kind")), QStringLiteral("SaveFile"));
    EXPECT_EQ(boxes.at(1).value(QStringLiteral("title")), QStringLiteral("Save as"));
    EXPECT_EQ(boxes.at(1).value(QStringLiteral("directory")), QStringLiteral("/x"));
    EXPECT_EQ(boxes.at(1).value(QStringLiteral("filters")).toStringList(),
              QStringList{QStringLiteral("Web (*.htm *.html)")});
    EXPECT_EQ(boxes.at(1).value(QStringLiteral("defaultSuffix")), QStringLiteral("htm"));
    EXPECT_EQ(boxes.at(2).value(QStringLiteral("kind")), QStringLiteral("Input"));
    EXPECT_EQ(boxes.at(2).value(QStringLiteral("text")), QStringLiteral("Your name:"));
    EXPECT_EQ(boxes.at(2).value(QStringLiteral("initialText")), QStringLiteral("start"));
    EXPECT_EQ(boxes.at(3).value(QStringLiteral("buttons")).toStringList(), QStringList{QStringLiteral("OK")});
    EXPECT_FALSE(boxes.at(3).value(QStringLiteral("answered")).toBool());
    EXPECT_TRUE(AutomationDriver::takeMessages().isEmpty());
}
