// Find in files: the walk, the content search and the dialog on the real
// main window, offscreen.
#include "mainwindowtest.h"
#include "appglobals.h"
#include "datafolder.h"
#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "subsystems.h"
#include "tfindinfilefrm.h"
#include "tfindinfiles.h"
#include "tmemosource.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>
#include <chrono>
#include <thread>
#include <sys/stat.h>

using namespace Quorvant;

namespace {

void put(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class FindTreeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        root = dir.filePath(QStringLiteral("site"));
        put(root + QStringLiteral("/b.htm"), "<p>Hello World</p>");
        put(root + QStringLiteral("/a.htm"), "nothing here");
        put(root + QStringLiteral("/notes.txt"), "hello");
        put(root + QStringLiteral("/sub1/c.htm"), "HELLO world");
        put(root + QStringLiteral("/sub2/d.HTM"), "caf\xe9 hello");  // Windows-1252
        put(root + QStringLiteral("/.hidden/e.htm"), "hello");
        put(root + QStringLiteral("/ro/f.htm"), "hello");
        ASSERT_EQ(::chmod(QFile::encodeName(root + QStringLiteral("/ro")).constData(), 0555), 0);
        ASSERT_TRUE(QFile::link(root + QStringLiteral("/sub1"), root + QStringLiteral("/linked")));
        ASSERT_TRUE(QFile::link(root + QStringLiteral("/b.htm"), root + QStringLiteral("/link.htm")));
        ASSERT_EQ(::mkfifo(QFile::encodeName(root + QStringLiteral("/pipe.htm")).constData(), 0644), 0);
    }
    void TearDown() override { ::chmod(QFile::encodeName(root + QStringLiteral("/ro")).constData(), 0755); }

    QStringList walk(const QString &pattern, bool inDir)
    {
        QStringList files;
        TFindInFiles::StopFlag stop{false};
        TFindInFiles::FileSearch(root, pattern, inDir, &files, stop);
        for (QString &f : files)
            f = QDir(root).relativeFilePath(f);
        return files;
    }

    QTemporaryDir dir;
    QString root;
};

TEST_F(FindTreeTest, WalkListsFilesBeforeSubfoldersAndSkipsLinksSpecialsHiddenAndReadOnly)
{
    EXPECT_EQ(walk(QStringLiteral("*.htm"), true),
              QStringList({QStringLiteral("a.htm"), QStringLiteral("b.htm"), QStringLiteral("sub1/c.htm"),
                           QStringLiteral("sub2/d.HTM")}));
    EXPECT_EQ(walk(QStringLiteral("*.htm"), false), QStringList({QStringLiteral("a.htm"), QStringLiteral("b.htm")}));
    EXPECT_EQ(walk(QStringLiteral("NOTES.TXT"), true), QStringList{QStringLiteral("notes.txt")});
    EXPECT_TRUE(walk(QString(), true).isEmpty());
}

TEST_F(FindTreeTest, ContentSearchCasesEncodingsAndSpecialFiles)
{
    TFindInFiles::StopFlag stop{false};
    using R = TFindInFiles::TextResult;
    const struct { const char *file; const char *text; bool matchCase; R expected; } cases[] = {
        {"/b.htm", "hello world", false, R::Found},
        {"/b.htm", "hello world", true, R::NotFound},
        {"/b.htm", "Hello World", true, R::Found},
        {"/sub2/d.HTM", "CAFÉ", false, R::NotFound},  // only ASCII letters fold
        {"/sub2/d.HTM", "café", true, R::Found},
        {"/pipe.htm", "x", false, R::Unreadable},
        {"/link.htm", "Hello", true, R::Unreadable},
        {"/missing.htm", "x", false, R::Unreadable},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TFindInFiles::SearchFileForText(root + QLatin1String(c.file), QString::fromUtf8(c.text), c.matchCase, stop),
                  c.expected)
            << c.file << " " << c.text;

    // A match across the boundary of the pieces the file is read in, and a
    // stop seen before the file is read.
    QByteArray big(3 << 20, 'x');
    big.replace((1 << 20) - 3, 6, "needle");
    put(dir.filePath(QStringLiteral("big.htm")), big);
    EXPECT_EQ(TFindInFiles::SearchFileForText(dir.filePath(QStringLiteral("big.htm")), QStringLiteral("NEEDLE"), false, stop),
              R::Found);
    stop = true;
    EXPECT_EQ(TFindInFiles::SearchFileForText(dir.filePath(QStringLiteral("big.htm")), QStringLiteral("NEEDLE"), false, stop),
              R::Stopped);

    // A stop while a huge file is being read ends the read inside the file.
    QFile sparse(dir.filePath(QStringLiteral("huge.htm")));
    ASSERT_TRUE(sparse.open(QIODevice::WriteOnly));
    ASSERT_TRUE(sparse.resize(qint64(8) << 30));
    sparse.close();
    TFindInFiles::StopFlag midway{false};
    std::thread stopper([&midway] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        midway = true;
    });
    EXPECT_EQ(TFindInFiles::SearchFileForText(sparse.fileName(), QStringLiteral("NEEDLE"), false, midway), R::Stopped);
    stopper.join();
}

TEST_F(FindTreeTest, EngineStopsAndIgnoresASecondStart)
{
    for (int i = 0; i < 200; ++i)
        put(root + QStringLiteral("/many/%1.htm").arg(i), QByteArray(64 << 10, 'y'));
    TFindInFiles engine;
    QSignalSpy finished(&engine, &TFindInFiles::finished);
    QSignalSpy found(&engine, &TFindInFiles::found);
    ASSERT_TRUE(engine.FindInFiles(QStringLiteral("zzz"), root, QStringLiteral("*.htm"), true, false));
    EXPECT_FALSE(engine.FindInFiles(QStringLiteral("zzz"), root, QStringLiteral("*.htm"), true, false));
    engine.StopSearch();
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_TRUE(finished.first().first().toBool());
    EXPECT_FALSE(engine.RunningSearch());
    EXPECT_EQ(found.size(), 0);
    // An empty text lists every file found, in walk order.
    ASSERT_TRUE(engine.FindInFiles(QString(), root, QStringLiteral("*.htm"), false, false));
    ASSERT_TRUE(finished.wait(5000));
    ASSERT_EQ(found.size(), 2);
    EXPECT_EQ(found[0][0].toString(), QStringLiteral("a.htm"));
    EXPECT_EQ(found[1][1].toString(), root + QStringLiteral("/b.htm"));
    EXPECT_EQ(engine.FileList().size(), 2);
}

class FindDialogTest : public FindTreeTest
{
protected:
    void SetUp() override
    {
        FindTreeTest::SetUp();
        DataFolder::setPath(dir.filePath(QStringLiteral("data")));
        resetAppGlobals();
        window = Quorvant::Test::openMainWindow();
        window->action(QStringLiteral("Findinfiles1"))->trigger();
        dialog = qobject_cast<TFindInFileFrm *>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Find In Files..."));
        dialog->setChosenFolder(root);
    }
    void TearDown() override
    {
        delete dialog.data();
        window.reset();
        MessageService::resetTestHook();
        FindTreeTest::TearDown();
    }
    QStringList rows()
    {
        QStringList r;
        for (int i = 0; i < dialog->results()->topLevelItemCount(); ++i)
            r << dialog->results()->topLevelItem(i)->text(0);
        return r;
    }
    void searchAndWait()
    {
        QSignalSpy finished(dialog->engine(), &TFindInFiles::finished);
        dialog->findChild<QPushButton *>(QStringLiteral("SearchButton"))->click();
        ASSERT_TRUE(finished.wait(5000));
    }

    std::unique_ptr<TForm1> window;
    QPointer<TFindInFileFrm> dialog;
};

TEST_F(FindDialogTest, SearchListsHitsAndDoubleClickOpensAtTheFirstMatch)
{
    ASSERT_EQ(dialog->chosenFolder(), root);
    dialog->patternBox()->setCurrentText(QStringLiteral("*.htm"));
    dialog->textEdit()->setText(QStringLiteral("WORLD"));
    searchAndWait();
    EXPECT_EQ(rows(), QStringList({QStringLiteral("b.htm"), QStringLiteral("c.htm"),
                                   QStringLiteral("Search finished: 2 matches in 4 files.")}));
    EXPECT_TRUE(dialog->statusLine()->text().isEmpty());

    dialog->matchCaseBox()->setChecked(true);
    searchAndWait();
    EXPECT_EQ(rows(), QStringList({QStringLiteral("Search Produced No Results..."),
                                   QStringLiteral("Search finished: 0 matches in 4 files.")}));
    dialog->matchCaseBox()->setChecked(false);
    dialog->textEdit()->setText(QStringLiteral("world"));
    searchAndWait();

    // A hit in a file that is open already shows that document.
    ASSERT_TRUE(window->documents()->OpenFile(root + QStringLiteral("/b.htm")));
    const int pagesOpen = window->documents()->PagesOpen();
    QTreeWidgetItem *hit = dialog->results()->topLevelItem(0);
    dialog->results()->setCurrentItem(hit);
    emit dialog->results()->itemDoubleClicked(hit, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(dialog) << "the dialog closes";
    EXPECT_EQ(window->documents()->PagesOpen(), pagesOpen);
    EXPECT_EQ(gCurrentFilePath, root + QStringLiteral("/b.htm"));
    TMemoSource *buffer = window->documents()->currentBuffer();
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->selText(), QStringLiteral("World"));
}

TEST_F(FindDialogTest, EmptyPatternFindsNothingAndAVanishedHitIsReported)
{
    searchAndWait();
    EXPECT_EQ(rows(), QStringList({QStringLiteral("Search Produced No Results..."),
                                   QStringLiteral("Search finished: 0 matches in 0 files.")}));
    dialog->patternBox()->setCurrentText(QStringLiteral("a.htm"));
    searchAndWait();
    ASSERT_EQ(rows(), QStringList({QStringLiteral("a.htm"), QStringLiteral("Search finished: 1 match in 1 file.")}));
    QFile::remove(root + QStringLiteral("/a.htm"));
    dialog->openResult(dialog->results()->topLevelItem(0));
    const QList<RecordedDialog> boxes = MessageService::takeRecorded();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Error! Unable to open selected file in editor."));
}

TEST_F(FindDialogTest, TypedStarFindsEveryFileAndTheEndSaysHowMany)
{
    QLineEdit *typed = dialog->patternBox()->lineEdit();
    ASSERT_NE(typed, nullptr);
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    typed->setFocus();
    QTest::keyClicks(typed, QStringLiteral("*"));
    EXPECT_EQ(dialog->patternBox()->currentText(), QStringLiteral("*"));
    searchAndWait();
    EXPECT_EQ(dialog->patternBox()->currentText(), QStringLiteral("*"));
    EXPECT_EQ(rows(), QStringList({QStringLiteral("a.htm"), QStringLiteral("b.htm"), QStringLiteral("notes.txt"),
                                   QStringLiteral("c.htm"), QStringLiteral("d.HTM"),
                                   QStringLiteral("Search finished: 5 matches in 5 files.")}));

    // The closing row is no file: a double-click opens nothing.
    QTreeWidgetItem *last = dialog->results()->topLevelItem(dialog->results()->topLevelItemCount() - 1);
    EXPECT_FALSE(last->flags() & Qt::ItemIsSelectable);
    const int open = window->documents()->PagesOpen();
    emit dialog->results()->itemDoubleClicked(last, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(MessageService::takeRecorded().isEmpty());
    EXPECT_EQ(window->documents()->PagesOpen(), open);
}

TEST_F(FindDialogTest, AStoppedSearchSaysSoWithItsCount)
{
    for (int i = 0; i < 300; ++i)
        put(root + QStringLiteral("/many/%1.htm").arg(i), QByteArray(256 << 10, 'y'));
    dialog->patternBox()->setCurrentText(QStringLiteral("*.htm"));
    dialog->textEdit()->setText(QStringLiteral("hello"));
    QSignalSpy finished(dialog->engine(), &TFindInFiles::finished);
    dialog->search();
    dialog->findChild<QPushButton *>(QStringLiteral("StopButton"))->click();
    ASSERT_TRUE(finished.wait(5000));
    const QStringList r = rows();
    ASSERT_FALSE(r.isEmpty());
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^Search stopped: (\\d+) match(es)? in (\\d+) files?\\.$")).match(r.last());
    ASSERT_TRUE(m.hasMatch()) << r.last().toStdString();
    const int searched = finished.first().at(1).toInt();
    EXPECT_EQ(m.captured(3).toInt(), searched);
    EXPECT_LT(searched, 300) << "the stop came too late to test anything";
}

TEST_F(FindDialogTest, ClosingDuringASearchStopsItSafely)
{
    for (int i = 0; i < 300; ++i)
        put(root + QStringLiteral("/many/%1.htm").arg(i), QByteArray(256 << 10, 'y'));
    dialog->patternBox()->setCurrentText(QStringLiteral("*.htm"));
    dialog->textEdit()->setText(QStringLiteral("never there"));
    QPointer<TFindInFiles> engine = dialog->engine();
    dialog->search();
    ASSERT_TRUE(engine->RunningSearch());
    dialog->search();  // ignored while running
    dialog->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(dialog);
    EXPECT_FALSE(engine);
    QTest::qWait(50);  // queued reports for the closed dialog are dropped
}

} // namespace
