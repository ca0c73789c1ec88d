// The desktop features on the real main window: files dropped from a file
// manager, changes other programs make to open files, recovery and its
// offer in the Task Manager, the live preview.
#include "appglobals.h"
#include "applicationshell.h"
#include "browserpage.h"
#include "datafolder.h"
#include "desktoptexts.h"
#include "desktoptestsupport.h"
#include "diskchangemonitor.h"
#include "documentset.h"
#include "filedropfilter.h"
#include "inifile.h"
#include "livepreview.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "recoverykeeper.h"
#include "recoveryoffer.h"
#include "recoverystore.h"
#include "recoverywriter.h"
#include "scintillawidget.h"
#include "setuptools.h"
#include "subsystems.h"
#include "taskmanager.h"
#include "tdcmemo.h"
#include "tmemosource.h"

#include <QAction>
#include <QCheckBox>
#include <QDockWidget>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileSystemWatcher>
#include <QMimeData>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

#include <gtest/gtest.h>

#include <thread>

#include <fcntl.h>
#include <sys/stat.h>

using namespace Quorvant;

namespace {

using Test::readBytes;
using Test::writeBytes;

// As an editor that saves through a temporary file does.
void replaceByRename(const QString &path, const QByteArray &bytes)
{
    writeBytes(path + QStringLiteral(".tmp~"), bytes);
    QFile::remove(path);
    ASSERT_TRUE(QFile::rename(path + QStringLiteral(".tmp~"), path));
}

QByteArray numberedLines(int count, const char *word)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += QByteArray(word) + ' ' + QByteArray::number(i) + "\r\n";
    return out;
}

QStringList messages()
{
    QStringList out;
    for (const RecordedDialog &r : MessageService::takeRecorded())
        out.append(r.text);
    return out;
}

class DesktopWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QDir().mkpath(dataPath());
        writeBytes(QDir(dataPath()).filePath(QStringLiteral("Main.INI")), "[GENERAL]\r\nFIRSTRUN=0\r\n");
        DataFolder::setPath(dataPath());
        resetAppGlobals();
        MessageService::setTestHookEnabled(true);
        MessageService::resetTestHook();
    }
    void TearDown() override
    {
        for (TMemoSource *b : std::as_const(gMemoData))
            b->setModified(false);
        m_window.reset();
        m_shell.reset();
        gSetupTools = nullptr;
        m_settings.reset();
        MessageService::resetTestHook();
    }
    void openWindow()
    {
        m_settings = std::make_unique<TSetupTools>();
        gSetupTools = m_settings.get();
        m_window = std::make_unique<TForm1>();
        installSubsystems(*m_window);
        m_window->resize(900, 600);
        m_window->show();
        form = m_window.get();
    }
    // page.htm open with "<p>disk</p>" on disk and "<p>mine</p>" typed over it.
    void openEditedPage()
    {
        writeBytes(file("page.htm"), "<p>disk</p>");
        ASSERT_TRUE(docs()->OpenFile(file("page.htm")));
        buffer()->setText(QStringLiteral("<p>mine</p>"));
        docs()->markModified();
    }
    QString dataPath() const { return m_dir.filePath(QStringLiteral("data")); }
    QString file(const char *name) const { return m_dir.filePath(QLatin1String(name)); }
    TDocumentSet *docs() const { return form->documents(); }
    TMemoSource *buffer() const { return docs()->currentBuffer(); }
    TRecoveryKeeper *keeper() const { return form->findChild<TRecoveryKeeper *>(); }
    // The window comes to the front again, and the queued check runs.
    void activate()
    {
        QEvent e(QEvent::WindowActivate);
        QCoreApplication::sendEvent(form, &e);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    void drop(QWidget *on, const QList<QUrl> &urls)
    {
        QMimeData mime;
        mime.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(on, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(on, &dropped);
    }
    QStringList sessionEntries() const
    {
        return QDir(keeper()->store()->sessionFolder()).entryList({QStringLiteral("*.qrec")}, QDir::Files);
    }
    // A session of a program that ended without cleaning up.
    void plantOrphan(const QList<TRecoveryEntry> &entries)
    {
        const QString ended = QDir(TRecoveryStore::folderIn(dataPath())).filePath(QStringLiteral("4242-ended"));
        ASSERT_TRUE(QDir().mkpath(ended));
        for (const TRecoveryEntry &e : entries)
            writeBytes(QDir(ended).filePath(e.id + QStringLiteral(".qrec")), e.header() + e.text);
    }
    // An untitled document the ended program kept just now.
    void plantUntitledOrphan(const char *id, const QByteArray &text)
    {
        TRecoveryEntry untitled;
        untitled.id = QLatin1String(id);
        untitled.savedAt = QDateTime::currentDateTimeUtc();
        untitled.text = text;
        plantOrphan({untitled});
    }

    QTemporaryDir m_dir;
    std::unique_ptr<TSetupTools> m_settings;
    std::unique_ptr<TForm1> m_window;
    std::unique_ptr<TApplicationShell> m_shell;
    TForm1 *form = nullptr;
};

} // namespace

TEST_F(DesktopWindowTest, DroppedFilesOpenInOrderOnceEachAndFoldersAreRefused)
{
    openWindow();
    writeBytes(file("a.htm"), "<p>a</p>");
    writeBytes(file("b.htm"), "<p>b</p>");
    QDir().mkpath(file("folder"));
    docs()->blankDocument();
    drop(form->DCMemo1()->widget()->viewport(),
         {QUrl::fromLocalFile(file("a.htm")), QUrl::fromLocalFile(file("folder")), QUrl::fromLocalFile(file("b.htm"))});
    ASSERT_EQ(docs()->PagesOpen(), 3);
    EXPECT_EQ(form->PageSelector()->tabText(1), QStringLiteral("a.htm"));
    EXPECT_EQ(form->PageSelector()->tabText(2), QStringLiteral("b.htm"));
    EXPECT_EQ(buffer()->text(), QStringLiteral("<p>b</p>"));
    EXPECT_EQ(messages(), QStringList{DesktopText::folderDropped(file("folder"))});
    // Dropped again, on another part of the window: shown, not opened twice.
    drop(form->tabholder(), {QUrl::fromLocalFile(file("a.htm"))});
    EXPECT_EQ(docs()->PagesOpen(), 3);
    EXPECT_EQ(docs()->currentIndex(), 1);
    // Text dropped on the editor is still the editor's.
    EXPECT_TRUE(TFileDropFilter::localPaths(nullptr).isEmpty());
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://example.org/x.htm"))});
    EXPECT_TRUE(TFileDropFilter::localPaths(&web).isEmpty());
}

TEST_F(DesktopWindowTest, AnUnmodifiedDocumentFollowsItsFileKeepingCaretAndScroll)
{
    openWindow();
    writeBytes(file("page.htm"), numberedLines(400, "old"));
    writeBytes(file("other.htm"), numberedLines(400, "other"));
    ASSERT_TRUE(docs()->OpenFile(file("page.htm")));
    buffer()->setCaretPoint({2, 300});
    ScintillaWidget *view = form->DCMemo1()->widget();
    view->SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, 280);
    ASSERT_TRUE(docs()->OpenFile(file("other.htm")));
    TMemoSource *hidden = buffer();
    hidden->setCaretPoint({1, 120});
    form->PageSelector()->setCurrentIndex(0);

    // Replaced the way other editors save, which a file watcher can miss:
    // the window's activation alone must notice it.
    form->findChild<TDiskChangeMonitor *>()->findChild<QFileSystemWatcher *>()->blockSignals(true);
    QCoreApplication::processEvents();
    replaceByRename(file("page.htm"), numberedLines(400, "new"));
    replaceByRename(file("other.htm"), numberedLines(400, "NEW"));
    activate();
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_TRUE(buffer()->text().startsWith(QStringLiteral("new 0\r\n")));
    EXPECT_FALSE(buffer()->isModified());
    EXPECT_FALSE(gDocumentModified);
    EXPECT_EQ(buffer()->caretPoint(), (CaretPoint{2, 300}));
    EXPECT_EQ(view->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE), 280);
    EXPECT_TRUE(hidden->text().startsWith(QStringLiteral("NEW 0\r\n")));
    EXPECT_EQ(hidden->caretPoint(), (CaretPoint{1, 120}));
    EXPECT_TRUE(form->StatusBar1()->currentMessage().contains(QStringLiteral("reloaded")))
        << qPrintable(form->StatusBar1()->currentMessage());

    // Touched without a change: nothing happens.
    QFile f(file("page.htm"));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.setFileTime(QDateTime::currentDateTime().addSecs(30), QFileDevice::FileModificationTime);
    f.close();
    buffer()->setCaretPoint({0, 10});
    activate();
    EXPECT_EQ(buffer()->caretPoint(), (CaretPoint{0, 10}));
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(DesktopWindowTest, AModifiedDocumentAsksAndKeepingMineIsAskedOnce)
{
    openWindow();
    ASSERT_NO_FATAL_FAILURE(openEditedPage());

    writeBytes(file("page.htm"), "<p>theirs</p>");
    MessageService::queueAnswer(DialogAnswer::pressed(mbNo));
    activate();
    EXPECT_EQ(messages(), QStringList{DesktopText::changedWhileModified(file("page.htm"))});
    EXPECT_EQ(buffer()->text(), QStringLiteral("<p>mine</p>"));
    activate();
    EXPECT_TRUE(messages().isEmpty());
    // The question was answered for that version: the save goes ahead.
    EXPECT_EQ(docs()->save(), SaveResult::Saved);
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(readBytes(file("page.htm")), QByteArray("<p>mine</p>"));

    docs()->markModified();
    writeBytes(file("page.htm"), "<p>theirs again</p>");
    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    activate();
    EXPECT_EQ(messages().size(), 1);
    EXPECT_EQ(buffer()->text(), QStringLiteral("<p>theirs again</p>"));
    EXPECT_FALSE(buffer()->isModified());
}

TEST_F(DesktopWindowTest, SaveAsksBeforeWritingOverAFileChangedElsewhere)
{
    openWindow();
    struct Case
    {
        const char *what;
        std::function<void(const QString &)> change;
    } cases[] = {
        {"rewritten in place", [](const QString &p) { writeBytes(p, "<p>THEIRS</p>"); }},
        {"replaced by rename", [](const QString &p) { replaceByRename(p, "<p>theirs, renamed</p>"); }},
        {"appended to", [](const QString &p) { QFile f(p); ASSERT_TRUE(f.open(QIODevice::Append)); f.write("<!-- build -->"); }},
    };
    for (const Case &c : cases) {
        ASSERT_NO_FATAL_FAILURE(openEditedPage()) << c.what;
        c.change(file("page.htm"));
        const QByteArray theirs = readBytes(file("page.htm"));

        MessageService::queueAnswer(DialogAnswer::pressed(mbNo));
        EXPECT_EQ(docs()->save(), SaveResult::Cancelled) << c.what;
        EXPECT_EQ(messages(), QStringList{DesktopText::changedBeforeSave(file("page.htm"))}) << c.what;
        EXPECT_EQ(readBytes(file("page.htm")), theirs) << c.what;
        EXPECT_TRUE(gDocumentModified) << c.what;

        MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
        EXPECT_EQ(docs()->save(), SaveResult::Saved) << c.what;
        EXPECT_EQ(messages().size(), 1) << c.what;
        EXPECT_EQ(readBytes(file("page.htm")), QByteArray("<p>mine</p>")) << c.what;
        // Saved over knowingly: the next save has nothing to ask.
        docs()->markModified();
        EXPECT_EQ(docs()->save(), SaveResult::Saved) << c.what;
        EXPECT_TRUE(messages().isEmpty()) << c.what;
        docs()->CloseSelectedPage();
    }
}

TEST_F(DesktopWindowTest, AChangeRightAfterASaveIsNeverOverwrittenWithoutTheQuestion)
{
    // Another program writes the same number of bytes in place straight
    // after each save, often within the same tick of the file system's
    // clock, so size, time and inode can all look as the save left them.
    openWindow();
    writeBytes(file("page.htm"), "mine-0000");
    ASSERT_TRUE(docs()->OpenFile(file("page.htm")));
    for (int i = 1; i <= 100; ++i) {
        const QByteArray mine = QByteArray("mine-") + QByteArray::number(i).rightJustified(4, '0');
        const QByteArray theirs = QByteArray("ext!-") + QByteArray::number(i).rightJustified(4, '0');
        buffer()->setText(QString::fromLatin1(mine));
        docs()->markModified();
        ASSERT_EQ(docs()->save(), SaveResult::Saved) << i;
        ASSERT_TRUE(messages().isEmpty()) << i;
        std::thread other([&] {
            QFile f(file("page.htm"));
            if (f.open(QIODevice::ReadWrite)) {
                f.write(theirs);
                f.close();
            }
        });
        other.join();
        buffer()->setText(QString::fromLatin1(mine) + QStringLiteral("+"));
        docs()->markModified();
        MessageService::queueAnswer(DialogAnswer::pressed(mbNo));
        EXPECT_EQ(docs()->save(), SaveResult::Cancelled) << i;
        EXPECT_EQ(messages().size(), 1) << i;
        ASSERT_EQ(readBytes(file("page.htm")), theirs) << i;
        // Taken over by the user's version for the next round.
        MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
        buffer()->setText(QString::fromLatin1(mine));
        ASSERT_EQ(docs()->save(), SaveResult::Saved) << i;
        messages();
    }
}

TEST_F(DesktopWindowTest, TheFileJustSavedIsNotReadBackYetAChangeInTheSameTickIsNoticedNext)
{
    openWindow();
    ASSERT_NO_FATAL_FAILURE(openEditedPage());
    // The window's first activation and the pass after the load are over.
    activate();
    ASSERT_EQ(docs()->save(), SaveResult::Saved);
    struct stat saved{};
    ASSERT_EQ(::stat(QFile::encodeName(file("page.htm")).constData(), &saved), 0);
    // Another program writes as many bytes in place, and the file keeps the
    // time the save left: only its bytes tell.
    QFile f(file("page.htm"));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_EQ(f.write("<p>them</p>"), 11);
    f.close();
    const struct timespec times[2] = {saved.st_atim, saved.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(file("page.htm")).constData(), times, 0), 0);
    // The pass the save started looks at the other documents only: the saved
    // file is not read back.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(buffer()->text(), QStringLiteral("<p>mine</p>"));
    // The next check reads it, as its stamp was taken in the same tick.
    activate();
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(buffer()->text(), QStringLiteral("<p>them</p>"));
    EXPECT_FALSE(buffer()->isModified());
}

TEST_F(DesktopWindowTest, AChangeLandingWhileSaveWritesIsAskedAboutBeforeTheFileIsReplaced)
{
    openWindow();
    ASSERT_NO_FATAL_FAILURE(openEditedPage());
    // The other program writes after the question's check, while Save
    // writes its temporary file.
    const auto guard = docs()->fileStillAsConfirmed;
    ASSERT_TRUE(guard);
    int changes = 0;
    docs()->fileStillAsConfirmed = [&](TMemoSource *b, const QString &path) {
        if (changes++ == 0)
            writeBytes(path, "<p>theirs, during the save</p>");
        return guard(b, path);
    };
    MessageService::queueAnswer(DialogAnswer::pressed(mbNo));
    EXPECT_EQ(docs()->save(), SaveResult::Cancelled);
    EXPECT_EQ(messages(), QStringList{DesktopText::changedBeforeSave(file("page.htm"))});
    EXPECT_EQ(readBytes(file("page.htm")), QByteArray("<p>theirs, during the save</p>"));
    EXPECT_TRUE(gDocumentModified);

    // The file back as the document knows it: the save starts without a
    // question and stops for the change during the write, and Yes replaces it.
    changes = 0;
    writeBytes(file("page.htm"), "<p>disk</p>");
    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    EXPECT_EQ(docs()->save(), SaveResult::Saved);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(messages(), QStringList{DesktopText::changedBeforeSave(file("page.htm"))});
    EXPECT_EQ(readBytes(file("page.htm")), QByteArray("<p>mine</p>"));
    docs()->fileStillAsConfirmed = guard;
}

TEST_F(DesktopWindowTest, AFileDeletedOnDiskLeavesItsDocumentModified)
{
    openWindow();
    writeBytes(file("page.htm"), "<p>kept</p>");
    ASSERT_TRUE(docs()->OpenFile(file("page.htm")));
    QFile::remove(file("page.htm"));
    activate();
    EXPECT_TRUE(gDocumentModified);
    EXPECT_TRUE(buffer()->isModified());
    EXPECT_EQ(messages(), QStringList{DesktopText::deletedOnDisk(file("page.htm"))});
    activate();
    EXPECT_TRUE(messages().isEmpty());
    // Saving writes the file again without a question.
    EXPECT_EQ(docs()->save(), SaveResult::Saved);
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(readBytes(file("page.htm")), QByteArray("<p>kept</p>"));
}

TEST_F(DesktopWindowTest, ModifiedDocumentsAreKeptUntilSavedOrClosed)
{
    openWindow();
    ASSERT_TRUE(keeper() && keeper()->isActive());
    writeBytes(file("page.htm"), "<p>disk</p>\n");
    ASSERT_TRUE(docs()->OpenFile(file("page.htm")));
    docs()->blankDocument();
    buffer()->insertString(QStringLiteral("untitled text"));
    docs()->markModified();
    form->PageSelector()->setCurrentIndex(0);
    buffer()->setText(QStringLiteral("<p>typed</p>\r\n"));
    docs()->markModified();
    keeper()->writeDue();
    keeper()->writer()->waitUntilIdle();
    ASSERT_EQ(sessionEntries().size(), 2);

    QList<TRecoveryEntry> kept;
    for (const QString &name : sessionEntries()) {
        TRecoveryEntry e;
        ASSERT_TRUE(TRecoveryEntry::decode(readBytes(QDir(keeper()->store()->sessionFolder()).filePath(name)), &e, nullptr));
        kept.append(e);
    }
    std::sort(kept.begin(), kept.end(), [](const auto &a, const auto &b) { return a.fileName > b.fileName; });
    EXPECT_EQ(kept.at(0).fileName, file("page.htm"));
    // In the document's own line ends, with its encoding recorded.
    EXPECT_EQ(kept.at(0).text, QByteArray("<p>typed</p>\n"));
    EXPECT_EQ(kept.at(0).format.lineEnds, LineEndStyle::LF);
    EXPECT_TRUE(kept.at(0).disk.hashKnown);
    EXPECT_EQ(kept.at(1).fileName, QString());
    EXPECT_EQ(kept.at(1).text, QByteArray("untitled text"));

    EXPECT_EQ(docs()->save(), SaveResult::Saved);
    keeper()->writer()->waitUntilIdle();
    EXPECT_EQ(sessionEntries().size(), 1);
    form->PageSelector()->setCurrentIndex(1);
    MessageService::queueAnswer(DialogAnswer::pressed(mbNo));
    docs()->close();
    keeper()->writer()->waitUntilIdle();
    EXPECT_TRUE(sessionEntries().isEmpty());
}

TEST_F(DesktopWindowTest, RecoveredDocumentsOpenModifiedOrAreDeclined)
{
    writeBytes(file("page.htm"), "<p>on disk</p>");
    TRecoveryEntry titled;
    titled.id = QStringLiteral("doc-1");
    titled.fileName = file("page.htm");
    titled.format = {TextEncoding::Windows1252, false, LineEndStyle::LF};
    titled.savedAt = QDateTime::currentDateTimeUtc().addSecs(-30);
    titled.disk = DiskStamp::afterIo({file("page.htm"), 14, contentHash(QByteArray("<p>on disk</p>"))});
    titled.text = "<p>recovered \xC3\xA9</p>\n<p>line 2</p>";
    TRecoveryEntry untitled = titled;
    untitled.id = QStringLiteral("doc-2");
    untitled.fileName.clear();
    untitled.format = {};
    untitled.savedAt = titled.savedAt.addSecs(10);
    untitled.text = "never saved";
    plantOrphan({titled, untitled});

    openWindow();
    auto *offer = form->findChild<TRecoveryOffer *>();
    ASSERT_NE(offer, nullptr);
    ASSERT_EQ(offer->list()->topLevelItemCount(), 2);
    EXPECT_EQ(offer->list()->topLevelItem(0)->text(0), QStringLiteral("page.htm"));
    EXPECT_EQ(offer->list()->topLevelItem(1)->text(0), QStringLiteral("Untitled"));

    offer->list()->setCurrentItem(offer->list()->topLevelItem(0));
    offer->restoreSelected();
    ASSERT_EQ(docs()->PagesOpen(), 1);
    EXPECT_EQ(buffer()->text(), QStringLiteral("<p>recovered \u00e9</p>\r\n<p>line 2</p>"));
    EXPECT_EQ(gCurrentFilePath, file("page.htm"));
    EXPECT_EQ(form->PageSelector()->tabText(0), QStringLiteral("page.htm"));
    EXPECT_TRUE(gDocumentModified);
    EXPECT_EQ(buffer()->fileFormat().encoding, TextEncoding::Windows1252);
    // Its file did not change since: saving asks nothing and keeps the encoding.
    EXPECT_EQ(docs()->save(), SaveResult::Saved);
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(readBytes(file("page.htm")), QByteArray("<p>recovered \xE9</p>\n<p>line 2</p>"));

    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    offer->list()->setCurrentItem(offer->list()->topLevelItem(0));
    offer->discardSelected();
    EXPECT_EQ(messages(), QStringList{DesktopText::discardRecovered(QStringLiteral("Untitled"))});
    EXPECT_EQ(docs()->PagesOpen(), 1);
    EXPECT_EQ(offer->offered(), 0);
    keeper()->writer()->waitUntilIdle();
    EXPECT_FALSE(QDir(QDir(TRecoveryStore::folderIn(dataPath())).filePath(QStringLiteral("4242-ended"))).exists());
}

TEST_F(DesktopWindowTest, ARestoredDocumentIsKeptByTheNewProgramBeforeTheOldCopyGoes)
{
    plantUntitledOrphan("doc-7", "keep me");
    openWindow();
    auto *offer = form->findChild<TRecoveryOffer *>();
    ASSERT_NE(offer, nullptr);
    offer->restoreAll();
    keeper()->writer()->waitUntilIdle();
    ASSERT_EQ(sessionEntries().size(), 1);
    TRecoveryEntry mine;
    ASSERT_TRUE(TRecoveryEntry::decode(
        readBytes(QDir(keeper()->store()->sessionFolder()).filePath(sessionEntries().first())), &mine, nullptr));
    EXPECT_EQ(mine.text, QByteArray("keep me"));
}

TEST_F(DesktopWindowTest, TheTaskManagerOffersRecoveryAfterACrash)
{
    plantUntitledOrphan("doc-1", "from before the crash");
    m_shell = std::make_unique<TApplicationShell>();
    m_shell->installSubsystems = installSubsystems;
    m_shell->quit = [] {};
    m_shell->start({QStringLiteral("quorvant")});
    QCoreApplication::processEvents();
    form = m_shell->Form1();
    TTaskManager *tm = m_shell->TaskManager();
    auto *offer = tm->findChild<TRecoveryOffer *>();
    ASSERT_NE(offer, nullptr);
    EXPECT_TRUE(tm->isVisible());
    EXPECT_TRUE(offer->isVisible());
    EXPECT_FALSE(form->isEnabled());
    offer->restoreAll();
    EXPECT_FALSE(tm->isVisible());
    EXPECT_TRUE(form->isEnabled());
    EXPECT_EQ(docs()->currentBuffer()->text(), QStringLiteral("from before the crash"));
}

TEST_F(DesktopWindowTest, LivePreviewFollowsTypingWithoutTouchingTheUsersFile)
{
    openWindow();
    auto *live = form->findChild<TLivePreview *>();
    ASSERT_NE(live, nullptr);
    QAction *menuItem = form->action(QStringLiteral("LivePreview1"));
    ASSERT_NE(menuItem, nullptr);
    EXPECT_EQ(menuItem->text(), QStringLiteral("Live preview"));
    QCheckBox *box = form->previewPage()->findChild<QCheckBox *>(QStringLiteral("LivePreviewCheckBox"));
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(live->isOn());

    menuItem->trigger();
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(IniFile(TSetupTools::mainIniPath()).readBool(TLivePreview::iniSection(), TLivePreview::iniKey(), false));

    writeBytes(file("index.htm"), "<p>saved</p>");
    ASSERT_TRUE(docs()->OpenFile(file("index.htm")));
    form->tabholder()->setCurrentIndex(1);
    QCoreApplication::processEvents();
    live->setDelay(10);
    form->DCMemo1()->setSelText(QStringLiteral("<h1>typed</h1>"));
    const QString preview = form->previewFileName();
    EXPECT_EQ(QFileInfo(preview).fileName(), QStringLiteral("Preview.Htm"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return readBytes(preview).startsWith("<h1>typed</h1>"); }, 3000));
    EXPECT_EQ(readBytes(file("index.htm")), QByteArray("<p>saved</p>"));

    // Off: typing leaves the preview as it was.
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_FALSE(menuItem->isChecked());
    EXPECT_FALSE(IniFile(TSetupTools::mainIniPath()).readBool(TLivePreview::iniSection(), TLivePreview::iniKey(), true));
    form->DCMemo1()->setSelText(QStringLiteral("more"));
    QTest::qWait(100);
    EXPECT_FALSE(readBytes(preview).contains("more"));
    // On the editor page the preview shows in a pane beside it, following
    // the typing there.
    live->setOn(true);
    form->tabholder()->setCurrentIndex(0);
    QCoreApplication::processEvents();
    ASSERT_NE(live->besidePane(), nullptr);
    EXPECT_TRUE(live->besidePane()->isVisible());
    form->DCMemo1()->setSelText(QStringLiteral("beside"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return readBytes(preview).contains("beside"); }, 3000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return live->paneUrl() == QUrl::fromLocalFile(preview); }, 3000));
    EXPECT_NE(live->besideBrowser(), nullptr);
    EXPECT_EQ(readBytes(file("index.htm")), QByteArray("<p>saved</p>"));
    // The Preview page itself takes over; off, the pane goes.
    form->tabholder()->setCurrentIndex(1);
    EXPECT_FALSE(live->besidePane()->isVisible());
    form->tabholder()->setCurrentIndex(2);
    EXPECT_FALSE(live->besidePane()->isVisible());
    form->tabholder()->setCurrentIndex(0);
    EXPECT_TRUE(live->besidePane()->isVisible());
    menuItem->trigger();
    EXPECT_FALSE(live->besidePane()->isVisible());
    form->DCMemo1()->setSelText(QStringLiteral("hidden"));
    QTest::qWait(100);
    EXPECT_FALSE(readBytes(preview).contains("hidden"));
}
