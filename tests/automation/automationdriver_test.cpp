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
#include "widgetdriver.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QFile>
#include <QKeyEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

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
        beginStart(args);
        QCoreApplication::processEvents();
    }

    // The start up to the message loop, which has yet to show the Task Manager.
    void beginStart(const QStringList &args = {})
    {
        m_shell = std::make_unique<TApplicationShell>();
        m_shell->installSubsystems = installSubsystems;
        m_shell->quit = [] {};
        m_shell->start(QStringList{QStringLiteral("quorvant")} + args);
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

TEST_F(AutomationTest, WhileStartingCallsThatActWaitAndDocumentsOpenedMeanwhileKeepTheWindow)
{
    const QString path = file(QStringLiteral("early.htm"), "<p>early</p>");
    const struct
    {
        const char *how;
        std::function<void()> open;
    } ways[] = {
        {"handed over by a second start", [&] { m_shell->openFiles({path}); }},
        {"opened by the program itself", [&] { ASSERT_TRUE(form->documents()->OpenFile(path)); }},
    };
    for (const auto &way : ways) {
        SCOPED_TRACE(way.how);
        beginStart();
        EXPECT_EQ(driver->readyToAct().error, QStringLiteral("NotReady"));
        EXPECT_EQ(driver->openFile(path).error, QStringLiteral("NotReady"));
        // Before the message loop shows the Task Manager.
        way.open();
        QCoreApplication::processEvents();
        EXPECT_TRUE(driver->readyToAct().ok());
        EXPECT_EQ(driver->documentCount(), 1);
        EXPECT_EQ(driver->currentFileName(), path);
        EXPECT_FALSE(m_shell->TaskManager()->isVisible());
        EXPECT_TRUE(form->isEnabled());
        EXPECT_TRUE(driver->trigger(QStringLiteral("SelectAll1")).ok());
        m_shell.reset();
        resetAppGlobals();
    }
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

TEST_F(AutomationTest, CommandsOfPagesNeverShownAnswerAsTheyDidBeforeTheyWereShown)
{
    start();
    ASSERT_TRUE(driver->trigger(QStringLiteral("NewBlankPage")).ok());
    // A button of a bar page nobody opened is there, and hidden; an item of a
    // drop-down menu on a hidden tag bar runs.
    const QStringList commands = driver->commands();
    for (const char *name : {"BlinkBLINKButton1", "BASEDocumentbaseaddress1", "PropertiesMenu1"})
        EXPECT_TRUE(commands.contains(QLatin1String(name))) << name;
    EXPECT_EQ(driver->trigger(QStringLiteral("BlinkBLINKButton1")).error, QStringLiteral("Hidden"));
    ASSERT_TRUE(driver->trigger(QStringLiteral("BASEDocumentbaseaddress1")).ok());
    EXPECT_TRUE(driver->documentText().value.contains(QStringLiteral("<base href=\"")));
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
    ASSERT_TRUE(driver->openFile(path).ok()) << "a file open already is shown";
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

TEST_F(AutomationTest, AKeyChordActsOnceAsAKeyFromTheKeyboardDoes)
{
    startWithDocument("<p>one</p>");
    ASSERT_TRUE(QFile::remove(DataFolder::file(QStringLiteral("Help/Internal.Dat"))));
    form->DCMemo1()->setFocus();
    // F1 on a tag with no help installed: the help key's box, once for each
    // press, though the editor passes the key on to the windows around it.
    for (int press = 1; press <= 2; ++press) {
        ASSERT_TRUE(WidgetDriver::key(QStringLiteral("F1")).ok());
        const QList<RecordedDialog> boxes = MessageService::takeRecorded();
        ASSERT_EQ(boxes.size(), 1) << "press " << press;
        EXPECT_EQ(boxes.first().icon, MessageIcon::Error);
    }
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
    MessageService::plain(nullptr, QStringLiteral("No icon"));

    const QList<QVariantMap> boxes = AutomationDriver::takeMessages();
    ASSERT_EQ(boxes.size(), 5);
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
    EXPECT_EQ(boxes.at(3).value(QStringLiteral("icon")), QStringLiteral("Information"));
    EXPECT_EQ(boxes.at(4).value(QStringLiteral("icon")), QStringLiteral("None"));
    EXPECT_TRUE(AutomationDriver::takeMessages().isEmpty());
}

TEST_F(AutomationTest, SetDocumentTextKeepsTheModifiedFlagWhenAsked)
{
    startWithDocument("saved");
    ASSERT_FALSE(driver->isModified());
    ASSERT_TRUE(driver->setDocumentText(QStringLiteral("restored"), true).ok());
    EXPECT_EQ(driver->documentText().value, QStringLiteral("restored"));
    EXPECT_FALSE(driver->isModified());
    ASSERT_TRUE(driver->setDocumentText(QStringLiteral("edited")).ok());
    EXPECT_TRUE(driver->isModified());
    // A document already modified stays so.
    ASSERT_TRUE(driver->setDocumentText(QStringLiteral("again"), true).ok());
    EXPECT_TRUE(driver->isModified());
}

TEST_F(AutomationTest, FieldsAreSetAsAUserWouldAndUnreachableOnesAreNamed)
{
    startWithDocument("<p>x</p>");
    // A dialog of the program's own kind: fields, a hidden one, a disabled one.
    QDialog dialog(form);
    dialog.setWindowTitle(QStringLiteral("Fields"));
    auto *layout = new QVBoxLayout(&dialog);
    auto *edit = new QLineEdit(&dialog);
    edit->setObjectName(QStringLiteral("Edit1"));
    auto *check = new QCheckBox(QStringLiteral("&Wrap"), &dialog);
    check->setObjectName(QStringLiteral("Wrap"));
    auto *combo = new QComboBox(&dialog);
    combo->setObjectName(QStringLiteral("Choice"));
    combo->addItems({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    auto *spin = new QSpinBox(&dialog);
    spin->setObjectName(QStringLiteral("Width"));
    spin->setRange(1, 16);
    auto *hidden = new QLineEdit(&dialog);
    hidden->setObjectName(QStringLiteral("Hidden1"));
    auto *off = new QLineEdit(&dialog);
    off->setObjectName(QStringLiteral("Off1"));
    off->setEnabled(false);
    for (QWidget *w : {static_cast<QWidget *>(edit), static_cast<QWidget *>(check), static_cast<QWidget *>(combo),
                       static_cast<QWidget *>(spin), static_cast<QWidget *>(hidden), static_cast<QWidget *>(off)})
        layout->addWidget(w);
    hidden->hide();
    QStringList edited;
    QObject::connect(edit, &QLineEdit::textEdited, [&](const QString &t) { edited << t; });
    int toggled = 0, activated = -1, finished = 0;
    QObject::connect(check, &QCheckBox::toggled, [&] { ++toggled; });
    QObject::connect(combo, &QComboBox::activated, [&](int i) { activated = i; });
    QObject::connect(spin, &QSpinBox::editingFinished, [&] { ++finished; });

    struct Seen
    {
        QStringList errors;
        QVariant text, checked, index, value;
        QStringList names;
        RowsInfo rows;
    } seen;
    QTimer::singleShot(0, [&] {
        auto err = [&](const AutomationResult<Done> &r) { seen.errors << r.error + u' ' + r.message; };
        err(WidgetDriver::setProperty(QStringLiteral("Edit1"), QStringLiteral("text"), QStringLiteral("hello")));
        err(WidgetDriver::setProperty(QStringLiteral("Wrap"), QStringLiteral("checked"), true));
        err(WidgetDriver::setProperty(QStringLiteral("Choice"), QStringLiteral("currentText"), QStringLiteral("three")));
        err(WidgetDriver::setProperty(QStringLiteral("Width"), QStringLiteral("value"), QStringLiteral("4")));
        err(WidgetDriver::setProperty(QStringLiteral("Hidden1"), QStringLiteral("text"), QStringLiteral("x")));
        err(WidgetDriver::setProperty(QStringLiteral("Off1"), QStringLiteral("text"), QStringLiteral("x")));
        err(WidgetDriver::setProperty(QStringLiteral("Nowhere"), QStringLiteral("text"), QStringLiteral("x")));
        err(WidgetDriver::setProperty(QStringLiteral("Width"), QStringLiteral("value"), 99));
        err(WidgetDriver::setProperty(QStringLiteral("Choice"), QStringLiteral("currentText"), QStringLiteral("four")));
        // The main window is behind the dialog.
        err(WidgetDriver::selectPage(QStringLiteral("Sidebar"), 0));
        seen.text = WidgetDriver::property(QStringLiteral("Edit1"), QStringLiteral("text")).value;
        seen.checked = WidgetDriver::property(QStringLiteral("Wrap"), QStringLiteral("checked")).value;
        seen.index = WidgetDriver::property(QStringLiteral("Choice"), QStringLiteral("currentIndex")).value;
        seen.value = WidgetDriver::property(QStringLiteral("Width"), QStringLiteral("value")).value;
        for (const WidgetInfo &w : WidgetDriver::widgets({}).value)
            seen.names << w.name + u'|' + w.flags;
        seen.rows = WidgetDriver::rows(QStringLiteral("Choice")).value;
        dialog.accept();
    });
    dialog.exec();

    ASSERT_EQ(seen.errors.size(), 10);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(seen.errors.at(i), QStringLiteral(" ")) << i;
    EXPECT_EQ(seen.errors.at(4), QStringLiteral("Hidden Hidden1 is hidden."));
    EXPECT_EQ(seen.errors.at(5), QStringLiteral("Disabled Off1 is disabled now."));
    EXPECT_EQ(seen.errors.at(6), QStringLiteral("NotFound There is no widget called Nowhere."));
    EXPECT_TRUE(seen.errors.at(7).startsWith(QStringLiteral("OutOfRange"))) << seen.errors.at(7).toStdString();
    EXPECT_TRUE(seen.errors.at(8).startsWith(QStringLiteral("OutOfRange"))) << seen.errors.at(8).toStdString();
    EXPECT_TRUE(seen.errors.at(9).startsWith(QStringLiteral("ModalDialog"))) << seen.errors.at(9).toStdString();
    EXPECT_EQ(edited, QStringList{QStringLiteral("hello")});
    EXPECT_EQ(toggled, 1);
    EXPECT_EQ(activated, 2);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(seen.text.toString(), QStringLiteral("hello"));
    EXPECT_TRUE(seen.checked.toBool());
    EXPECT_EQ(seen.index.toInt(), 2);
    EXPECT_EQ(seen.value.toInt(), 4);
    EXPECT_TRUE(seen.names.contains(QStringLiteral("Edit1|enabled,visible"))) << seen.names.join(u' ').toStdString();
    EXPECT_TRUE(seen.names.contains(QStringLiteral("Wrap|enabled,visible,checked")));
    EXPECT_FALSE(seen.names.filter(QStringLiteral("Hidden1")).size());
    // Only the dialog is listed while it is open.
    EXPECT_FALSE(seen.names.filter(QStringLiteral("Sidebar")).size());
    EXPECT_EQ(seen.rows.rows.size(), 3);
    EXPECT_EQ(seen.rows.current, 2);
}

TEST_F(AutomationTest, ListsTabsAndMenusAreReadAndPicked)
{
    startWithDocument("<p>one</p>");
    // The tag lists: picking a list fills the tags, a double click places one.
    ASSERT_TRUE(WidgetDriver::selectRow(QStringLiteral("ListView3"), 0).ok());
    const RowsInfo tags = WidgetDriver::rows(QStringLiteral("ListView1")).value;
    ASSERT_GT(tags.rows.size(), 1);
    EXPECT_EQ(WidgetDriver::selectRow(QStringLiteral("ListView1"), int(tags.rows.size())).error, QStringLiteral("OutOfRange"));
    ASSERT_TRUE(driver->setDocumentText(QString()).ok());
    ASSERT_TRUE(WidgetDriver::activateRow(QStringLiteral("ListView1"), 1).ok());
    EXPECT_TRUE(driver->documentText().value.startsWith(tags.rows.at(1).at(3))) << driver->documentText().value.toStdString();

    const QList<MenuItemInfo> items = WidgetDriver::menuItems(QStringLiteral("TagListPopup")).value;
    ASSERT_FALSE(items.isEmpty());
    EXPECT_EQ(items.first().caption, QStringLiteral("Insert current tag"));
    ASSERT_TRUE(driver->setDocumentText(QString()).ok());
    ASSERT_TRUE(WidgetDriver::selectRow(QStringLiteral("ListView1"), 0).ok());
    ASSERT_TRUE(WidgetDriver::popupMenu(QStringLiteral("ListView1"), {QStringLiteral("Insert current tag")}).ok());
    EXPECT_TRUE(driver->documentText().value.startsWith(tags.rows.at(0).at(3)));
    EXPECT_EQ(WidgetDriver::popupMenu(QStringLiteral("ListView1"), {QStringLiteral("Nothing")}).error, QStringLiteral("NotFound"));
    EXPECT_EQ(AutomationDriver::blockingWindow(), nullptr);

    const RowsInfo pages = WidgetDriver::rows(QStringLiteral("Sidebar")).value;
    const int inspector = int(pages.rows.indexOf(QStringList{QStringLiteral("Tag Inspector")}));
    ASSERT_GE(inspector, 0);
    ASSERT_TRUE(WidgetDriver::selectPage(QStringLiteral("Sidebar"), inspector).ok());
    EXPECT_EQ(form->sidebar()->currentIndex(), inspector);
    EXPECT_EQ(WidgetDriver::selectPage(QStringLiteral("Sidebar"), 99).error, QStringLiteral("OutOfRange"));

    EXPECT_EQ(driver->tabs().value, openTabs());
    EXPECT_EQ(driver->currentTab().value, 0);
    EXPECT_EQ(driver->syntaxMode().value, QStringLiteral("HTML"));
    EXPECT_EQ(WidgetDriver::key(QStringLiteral("no+such+chord")).error, QStringLiteral("InvalidArgument"));
}
