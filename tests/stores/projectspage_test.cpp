// The "Projects" page, the new project dialog and the reminders, driven
// through the real main window offscreen.
#include "appglobals.h"
#include "datafolder.h"
#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "subsystems.h"
#include "tbookingsystem.h"
#include "tnewprojectdialog.h"
#include "tprojectspage.h"
#include "treminderswindow.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace Quorvant;

namespace {

// Runs the event loop until pred holds or ms have passed.
template<typename Pred>
bool waitUntil(Pred pred, int ms)
{
    QDeadlineTimer deadline(ms);
    while (!pred()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(10);
    }
    return true;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QStringList recordedTexts()
{
    QStringList texts;
    for (const RecordedDialog &d : MessageService::takeRecorded())
        texts << d.text;
    return texts;
}

class ProjectsPageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        DataFolder::setPath(dir.path());
        resetAppGlobals();
        MessageService::setTestHookEnabled(true);
        MessageService::resetTestHook();
    }
    void TearDown() override
    {
        window.reset();
        EXPECT_EQ(MessageService::pendingAnswers(), 0);
        MessageService::resetTestHook();
    }
    void makeWindow()
    {
        window = std::make_unique<TForm1>();
        installSubsystems(*window);
        window->show();
        // Built when first shown, as the user opens it.
        QWidget *sidePage = window->sidebar()->findChild<QWidget *>(QStringLiteral("ProjectsPage"));
        ASSERT_EQ(window->findChild<TProjectsPage *>(), nullptr);
        window->sidebar()->setCurrentWidget(sidePage);
        page = window->findChild<TProjectsPage *>();
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(window->sidebar()->findChild<QWidget *>(QStringLiteral("ProjectsPage"))->isAncestorOf(page));
    }
    QAction *act(const char *name) { return page->findChild<QAction *>(QLatin1String(name)); }
    // The Reminders window once it shows (at start-up), or nullptr after 2 s.
    static TRemindersWindow *waitForRemindersWindow()
    {
        TRemindersWindow *shown = nullptr;
        waitUntil([&] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *r = qobject_cast<TRemindersWindow *>(w); r && r->isVisible())
                    shown = r;
            return shown != nullptr;
        }, 2000);
        return shown;
    }
    TNewProjectDialog *createThroughDialog(const QString &name, const QString &notes)
    {
        act("NewProjectButton")->trigger();
        auto *dialog = qobject_cast<TNewProjectDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return nullptr;
        dialog->nameEdit()->setText(name);
        dialog->languageBox()->setCurrentText(QStringLiteral("XHTML"));
        dialog->notesEdit()->setPlainText(notes);
        dialog->pressDone();
        return dialog;
    }
    QString projectFile(const QString &name) const { return dir.filePath(QStringLiteral("Projects/") + name); }
    void selectRow(int i) { page->list()->setCurrentItem(page->list()->topLevelItem(i)); }

    QTemporaryDir dir;
    std::unique_ptr<TForm1> window;
    TProjectsPage *page = nullptr;
};

TEST_F(ProjectsPageTest, CreateAddChangeTodoAndReopen)
{
    makeWindow();
    EXPECT_FALSE(act("AddFileButton")->isEnabled());
    // An empty name keeps the dialog open.
    QPointer<TNewProjectDialog> dialog = createThroughDialog(QString(), {});
    ASSERT_TRUE(dialog);
    EXPECT_EQ(recordedTexts(), QStringList{QStringLiteral("You must provide a project title.")});
    EXPECT_TRUE(dialog->isVisible());
    dialog->nameEdit()->setText(QStringLiteral("Site"));
    dialog->notesEdit()->setPlainText(QStringLiteral("two\nlines"));
    dialog->pressDone();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(dialog);
    EXPECT_EQ(page->projectField()->text(), QStringLiteral("Site.QPJ"));
    EXPECT_TRUE(act("AddFileButton")->isEnabled());

    // Adding needs a saved document.
    window->documents()->blankDocument();
    act("AddFileButton")->trigger();
    EXPECT_EQ(recordedTexts(), QStringList{QStringLiteral("You must save your page before you can add it to a project.")});
    const QString a = dir.filePath(QStringLiteral("a,b.htm"));
    const QString c = dir.filePath(QStringLiteral("c.htm"));
    writeAll(a, "<p>a</p>");
    writeAll(c, "<p>c</p>");
    ASSERT_TRUE(window->documents()->OpenFile(a));
    act("Addcurrentfiletoproject1")->trigger();
    ASSERT_TRUE(window->documents()->OpenFile(c));
    act("AddFileButton")->trigger();
    ASSERT_EQ(page->list()->topLevelItemCount(), 2);
    EXPECT_EQ(page->list()->topLevelItem(0)->text(1), QStringLiteral("Creating"));

    selectRow(0);
    act("Todo12Complete")->trigger();
    selectRow(1);
    MessageService::queueAnswer(DialogAnswer::typed(QStringLiteral("Waiting, on images")));
    act("TodoCustom")->trigger();
    const RecordedDialog input = MessageService::takeRecorded().value(0);
    EXPECT_EQ(input.title, QStringLiteral("Custom Project Note"));
    EXPECT_EQ(input.initialText, QStringLiteral("Creating"));

    // The custom state is in the file at once; header values from creation stay.
    const QByteArray saved = readAll(projectFile(QStringLiteral("Site.QPJ")));
    EXPECT_TRUE(saved.contains("\"Waiting, on images\"")) << saved.constData();
    EXPECT_TRUE(saved.startsWith("Site\x9E" "Business\x9EXHTML\x9E\"two\r\nlines\"\r\n")) << saved.constData();

    act("CloseProject1")->trigger();
    EXPECT_TRUE(page->projectField()->text().isEmpty());
    EXPECT_EQ(page->list()->topLevelItemCount(), 0);
    MessageService::queueAnswer(DialogAnswer::file(projectFile(QStringLiteral("Site.QPJ"))));
    act("OpenProject1")->trigger();
    EXPECT_EQ(MessageService::takeRecorded().value(0).directory, dir.filePath(QStringLiteral("Projects")));
    ASSERT_EQ(page->list()->topLevelItemCount(), 2) << "the notes' second line is no extra row";
    EXPECT_EQ(page->list()->topLevelItem(0)->text(1), QStringLiteral("1/2 Complete"));
    EXPECT_EQ(page->list()->topLevelItem(0)->text(2), a) << "a comma in the path keeps the row whole";
    EXPECT_EQ(page->list()->topLevelItem(1)->text(1), QStringLiteral("Waiting, on images"));
    EXPECT_EQ(page->store().CurrentNotes, QStringLiteral("two\r\nlines"));

    // Removal is saved at once.
    selectRow(0);
    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    act("RemoveFileButton")->trigger();
    EXPECT_EQ(page->list()->topLevelItemCount(), 1);
    EXPECT_FALSE(readAll(projectFile(QStringLiteral("Site.QPJ"))).contains("a,b.htm"));
    MessageService::takeRecorded();

    // Open selected file: an open one is shown, a closed one opens, a vanished one says so.
    TDocumentSet *documents = window->documents();
    documents->blankDocument();
    const int open = documents->PagesOpen();
    selectRow(0);
    act("Openselectedfile1")->trigger();
    EXPECT_EQ(documents->PagesOpen(), open) << "no second copy of an open file";
    EXPECT_EQ(documents->currentIndex(), documents->indexOfFile(c));
    documents->close();
    ASSERT_EQ(documents->indexOfFile(c), -1);
    act("OpenFileButton")->trigger();
    EXPECT_EQ(documents->PagesOpen(), open);
    EXPECT_EQ(documents->currentIndex(), documents->indexOfFile(c));
    EXPECT_TRUE(recordedTexts().isEmpty());
    QFile::remove(c);
    act("OpenFileButton")->trigger();
    EXPECT_EQ(recordedTexts(), QStringList{QStringLiteral(
                                   "The file you selected no longer exists or we were unable to open the file.")});
}

TEST_F(ProjectsPageTest, MessagesWithoutProjectOrSelection)
{
    makeWindow();
    page->addCurrentFile();
    page->setTodo(QStringLiteral("Complete"));
    page->customTodo();
    page->openSelectedFile();
    page->removeSelectedFile();
    MessageService::queueAnswer(DialogAnswer::file(dir.filePath(QStringLiteral("none.QPJ"))));
    page->openProject();
    QStringList texts = recordedTexts();
    texts.removeAt(5);  // the file dialog
    EXPECT_EQ(texts, (QStringList{
                         QStringLiteral("You must create or load a project before you can add a file to it."),
                         QStringLiteral("You must select a project item before you can rename its \"todo\" list item."),
                         QStringLiteral("You must select a project item before you can rename its \"todo\" list item."),
                         QStringLiteral("You must select a file to open from the current project"),
                         QStringLiteral("You must select a project file before you can remove it"),
                         QStringLiteral("Unable to open selected project file."),
                     }));
}

TEST_F(ProjectsPageTest, ExistingNamesAskBadTitlesAreRefusedFailedWritesReported)
{
    makeWindow();
    writeAll(projectFile(QStringLiteral("Old.QPJ")), "Old\r\n");
    QPointer<TNewProjectDialog> dialog = createThroughDialog(QStringLiteral("Old"), {});
    MessageService::queueAnswer(DialogAnswer::pressed(mbNo));
    ASSERT_TRUE(dialog);
    // The first press went unanswered (No by default): nothing replaced, dialog open.
    EXPECT_EQ(readAll(projectFile(QStringLiteral("Old.QPJ"))), "Old\r\n");
    EXPECT_TRUE(dialog->isVisible());
    dialog->pressDone();
    EXPECT_EQ(readAll(projectFile(QStringLiteral("Old.QPJ"))), "Old\r\n");
    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    dialog->pressDone();
    EXPECT_TRUE(readAll(projectFile(QStringLiteral("Old.QPJ"))).startsWith("Old\x9E"));
    const QList<RecordedDialog> asked = MessageService::takeRecorded();
    ASSERT_EQ(asked.size(), 3);
    EXPECT_EQ(asked[0].buttons, YesNo);

    dialog = createThroughDialog(QStringLiteral(".."), {});
    ASSERT_TRUE(dialog);
    dialog->close();
    dialog = createThroughDialog(QStringLiteral("../up"), {});
    ASSERT_TRUE(dialog);
    dialog->close();
    EXPECT_EQ(MessageService::takeRecorded().size(), 2);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("up.QPJ"))));

    // A project whose folder became a plain file: the save says it failed.
    selectRow(0);
    QDir(dir.filePath(QStringLiteral("Projects"))).removeRecursively();
    writeAll(dir.filePath(QStringLiteral("Projects")), "x");
    page->setTodo(QStringLiteral("Complete"));
    const QList<RecordedDialog> failed = MessageService::takeRecorded();
    ASSERT_FALSE(failed.isEmpty());
    EXPECT_EQ(failed.last().icon, MessageIcon::Error);
}

TEST_F(ProjectsPageTest, DamagedLinesAreReportedOnceAndKeptInTheFile)
{
    makeWindow();
    QDir().mkpath(dir.filePath(QStringLiteral("Projects")));
    const QByteArray garbage("\x01\x02\x00\xFF,\x03,\x04", 8);
    writeAll(projectFile(QStringLiteral("Bad.QPJ")),
             "Shop\x9E" "Business\x9EHTML 4\x9ESpring sale\r\na.htm,Creating,/x/a.htm\r\n" + garbage + "\r\n");
    MessageService::queueAnswer(DialogAnswer::file(projectFile(QStringLiteral("Bad.QPJ"))));
    act("OpenProjectButton")->trigger();
    MessageService::takeRecorded();
    ASSERT_EQ(page->list()->topLevelItemCount(), 1);
    EXPECT_EQ(page->store().CurrentNotes, QStringLiteral("Spring sale"));
    EXPECT_EQ(window->StatusBar1()->currentMessage(),
              QStringLiteral("Bad.QPJ: line 3 is not a valid entry and was skipped."));

    selectRow(0);
    act("TodoComplete")->trigger();
    EXPECT_EQ(readAll(projectFile(QStringLiteral("Bad.QPJ"))),
              "Shop\x9E" "Business\x9EHTML 4\x9ESpring sale\r\na.htm,Complete,/x/a.htm\r\n" + garbage + "\r\n");
    EXPECT_TRUE(recordedTexts().isEmpty());
}

TEST_F(ProjectsPageTest, RemindersThatAreNoReminderAreReportedAtStart)
{
    writeAll(dir.filePath(QStringLiteral("Reminders.Dat")),
             QByteArray("File Still Booked Out! Project: \"Site\" FileName: \"a.htm\"\r\n\x01\x02\x03\r\n"));
    makeWindow();
    TRemindersWindow *shown = waitForRemindersWindow();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->list()->topLevelItemCount(), 1);
    EXPECT_EQ(window->StatusBar1()->currentMessage(),
              QStringLiteral("Reminders.Dat: line 2 is not a valid entry and was skipped."));
    shown->close();
}

TEST_F(ProjectsPageTest, RemindersShowAtStartAndAreRewrittenAtClose)
{
    TBookingSystem bookings(dir.path());
    ASSERT_TRUE(bookings.AddInfo(QStringLiteral("Site"), QStringLiteral("a.htm"), QStringLiteral("ann")));
    ASSERT_TRUE(bookings.AddInfo(QStringLiteral("Site"), QStringLiteral("b.htm"), QStringLiteral("ann")));
    makeWindow();
    QCoreApplication::processEvents();
    EXPECT_EQ(window->findChild<TRemindersWindow *>(), nullptr);
    bool anyReminders = false;
    for (QWidget *w : QApplication::topLevelWidgets())
        anyReminders = anyReminders || qobject_cast<TRemindersWindow *>(w);
    EXPECT_FALSE(anyReminders) << "no Reminders.Dat, no window";
    ASSERT_TRUE(window->close());
    const QString reminders = dir.filePath(QStringLiteral("Reminders.Dat"));
    EXPECT_EQ(readAll(reminders), "File Still Booked Out! Project: \"Site\" FileName: \"a.htm\"\r\n"
                                  "File Still Booked Out! Project: \"Site\" FileName: \"b.htm\"\r\n");
    window.reset();

    makeWindow();
    TRemindersWindow *shown = waitForRemindersWindow();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->windowTitle(), QStringLiteral("Reminders!"));
    ASSERT_EQ(shown->list()->topLevelItemCount(), 2);
    EXPECT_EQ(shown->list()->topLevelItem(1)->text(0),
              QStringLiteral("File Still Booked Out! Project: \"Site\" FileName: \"b.htm\""));
    EXPECT_TRUE(shown->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(QFile::exists(reminders)) << "left in place until the next close";

    EXPECT_TRUE(bookings.RemoveRecord(QStringLiteral("site"), QStringLiteral("a.htm"), {}));
    EXPECT_TRUE(bookings.RemoveRecord(QStringLiteral("site"), QStringLiteral("b.htm"), {}));
    ASSERT_TRUE(window->close());
    EXPECT_FALSE(QFile::exists(reminders));
}

} // namespace
