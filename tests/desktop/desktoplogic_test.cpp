// The logic of the desktop features without windows: telling a changed file
// from an untouched one, the recovery file format, the session folders and
// the writer's order.
#include "diskchangecheck.h"
#include "desktoptestsupport.h"
#include "recoveryentry.h"
#include "recoverystore.h"
#include "recoverywriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>

using namespace Quorvant;

namespace {

using Test::readBytes;
using Test::writeBytes;

// The stamp a document takes right after reading the file.
DiskStamp stampAfterReading(const QString &path)
{
    const QByteArray bytes = readBytes(path);
    return DiskStamp::afterIo({path, bytes.size(), contentHash(bytes)});
}

void setMtime(const QString &path, const DiskStamp &like)
{
    struct timespec times[2];
    times[0].tv_sec = like.mtimeNs / 1000000000;
    times[0].tv_nsec = like.mtimeNs % 1000000000;
    times[1] = times[0];
    ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

} // namespace

TEST(ContentHash, SameBytesSameHashHoweverSplit)
{
    QByteArray bytes(200 * 1024 + 17, 'x');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 31 + 7);
    const quint64 whole = contentHash(bytes);
    for (qsizetype cut : {qsizetype(0), qsizetype(3), qsizetype(65536), qsizetype(65537), bytes.size()}) {
        const QByteArrayView a(bytes.constData(), cut), b(bytes.constData() + cut, bytes.size() - cut);
        EXPECT_EQ(contentHash({a, b}), whole) << cut;
    }
    QByteArray other = bytes;
    other[150000] = char(other[150000] ^ 1);
    EXPECT_NE(contentHash(other), whole);
}

class DiskChangeCheckTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString file() const { return dir.filePath(QStringLiteral("page.htm")); }
};

TEST_F(DiskChangeCheckTest, TellsChangesFromTouchesByTheBytes)
{
    struct Case
    {
        const char *what;
        std::function<void(const QString &)> act;
        DiskChangeCheck::Result expected;
    } cases[] = {
        {"nothing", [](const QString &) {}, DiskChangeCheck::Result::Unchanged},
        {"touched only",
         [](const QString &p) { QFile f(p); ASSERT_TRUE(f.open(QIODevice::ReadWrite)); f.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime); },
         DiskChangeCheck::Result::Unchanged},
        {"same size rewritten", [](const QString &p) { writeBytes(p, "<p>two</p>"); }, DiskChangeCheck::Result::Changed},
        {"longer", [](const QString &p) { writeBytes(p, "<p>one</p> and more"); }, DiskChangeCheck::Result::Changed},
        {"replaced by rename, same bytes",
         [](const QString &p) { writeBytes(p + QStringLiteral(".new"), "<p>one</p>"); QFile::remove(p); QFile::rename(p + QStringLiteral(".new"), p); },
         DiskChangeCheck::Result::Unchanged},
        {"replaced by rename, other bytes",
         [](const QString &p) { writeBytes(p + QStringLiteral(".new"), "<p>new</p>"); QFile::remove(p); QFile::rename(p + QStringLiteral(".new"), p); },
         DiskChangeCheck::Result::Changed},
        {"deleted", [](const QString &p) { QFile::remove(p); }, DiskChangeCheck::Result::Missing},
    };
    for (const Case &c : cases) {
        writeBytes(file(), "<p>one</p>");
        const DiskStamp known = stampAfterReading(file());
        c.act(file());
        const DiskChangeCheck::Outcome outcome = DiskChangeCheck::check(known);
        EXPECT_EQ(int(outcome.result), int(c.expected)) << c.what;
        if (c.expected == DiskChangeCheck::Result::Unchanged) {
            // The new stamp stands for the same bytes.
            EXPECT_EQ(int(DiskChangeCheck::check(outcome.now).result), int(DiskChangeCheck::Result::Unchanged)) << c.what;
        }
    }
}

TEST_F(DiskChangeCheckTest, AWriteInTheSameClockTickIsStillNoticed)
{
    writeBytes(file(), "<p>one</p>");
    const DiskStamp known = stampAfterReading(file());
    ASSERT_TRUE(known.racy);
    // Same size, same inode, and the time put back as it was: only the
    // bytes differ.
    writeBytes(file(), "<p>two</p>");
    setMtime(file(), known);
    EXPECT_EQ(int(DiskChangeCheck::check(known).result), int(DiskChangeCheck::Result::Changed));
}

TEST_F(DiskChangeCheckTest, AFileThatAppearsWhereNoneWasIsAChange)
{
    DiskStamp none = DiskStamp::ofFile(file());
    ASSERT_FALSE(none.exists);
    EXPECT_EQ(int(DiskChangeCheck::check(none).result), int(DiskChangeCheck::Result::Unchanged));
    writeBytes(file(), "x");
    EXPECT_EQ(int(DiskChangeCheck::check(none).result), int(DiskChangeCheck::Result::Changed));
}

namespace {

TRecoveryEntry sampleEntry()
{
    TRecoveryEntry e;
    e.id = QStringLiteral("doc-1");
    e.fileName = QStringLiteral("/home/ann/a b/caf\u00e9\n%.htm");
    e.format = {TextEncoding::Windows1252, false, LineEndStyle::LF};
    e.savedAt = QDateTime::fromMSecsSinceEpoch(1765000000123, Qt::UTC);
    e.disk.exists = true;
    e.disk.size = 42;
    e.disk.mtimeNs = 1765000000123456789;
    e.disk.inode = 99;
    e.disk.device = 7;
    e.disk.hash = 0xFEDCBA9876543210ull;
    e.disk.hashKnown = true;
    e.text = QByteArray("<p>caf\xC3\xA9</p>\n\n\nline\r\n");
    return e;
}

} // namespace

TEST(RecoveryEntry, RoundTripsEveryField)
{
    const TRecoveryEntry e = sampleEntry();
    TRecoveryEntry back;
    QString why;
    ASSERT_TRUE(TRecoveryEntry::decode(e.header() + e.text, &back, &why)) << qPrintable(why);
    EXPECT_EQ(back.fileName, e.fileName);
    EXPECT_EQ(back.format, e.format);
    EXPECT_EQ(back.savedAt, e.savedAt);
    EXPECT_EQ(back.text, e.text);
    EXPECT_EQ(back.disk.size, 42);
    EXPECT_EQ(back.disk.mtimeNs, e.disk.mtimeNs);
    EXPECT_EQ(back.disk.hash, e.disk.hash);
    EXPECT_TRUE(back.disk.hashKnown);
    EXPECT_EQ(back.disk.path, e.fileName);
    EXPECT_EQ(back.caption(), QStringLiteral("caf\u00e9\n%.htm"));
}

TEST(RecoveryEntry, RefusesCutOrGarbledFiles)
{
    const TRecoveryEntry e = sampleEntry();
    const QByteArray whole = e.header() + e.text;
    QByteArray flipped = whole;
    flipped[flipped.size() - 3] = 'X';
    const QByteArray cases[] = {
        whole.left(whole.size() - 1),      // cut in the text
        whole.left(e.header().size() - 5), // cut in the header
        whole + "more",                    // longer than said
        flipped,                           // same length, other bytes
        QByteArray("QUORVANT RECOVERY 2\n") + whole.mid(whole.indexOf('\n') + 1),
        QByteArray(),
    };
    for (const QByteArray &bytes : cases) {
        QString why;
        EXPECT_FALSE(TRecoveryEntry::decode(bytes, nullptr, &why)) << bytes.left(40).constData();
        EXPECT_FALSE(why.isEmpty());
    }
}

TEST(RecoveryStore, TwoRunningProgramsNeverClaimEachOthersEntries)
{
    QTemporaryDir data;
    TRecoveryStore first(data.path()), second(data.path());
    QString error;
    ASSERT_TRUE(first.openSession(&error)) << qPrintable(error);
    ASSERT_TRUE(second.openSession(&error)) << qPrintable(error);
    EXPECT_NE(first.sessionFolder(), second.sessionFolder());
    TRecoveryEntry e = sampleEntry();
    ASSERT_TRUE(first.writeEntry(e, &error));
    ASSERT_TRUE(second.writeEntry(e, &error));
    // Both sessions are held by live programs.
    EXPECT_TRUE(second.claimOrphans().isEmpty());
    EXPECT_TRUE(first.claimOrphans().isEmpty());
    EXPECT_TRUE(QFile::exists(QDir(first.sessionFolder()).filePath(QStringLiteral("doc-1.qrec"))));
}

TEST(RecoveryStore, FindsItsFolderWhateverItsLetterCase)
{
    QTemporaryDir data;
    EXPECT_EQ(TRecoveryStore::folderIn(data.path()), QDir(data.path()).filePath(QStringLiteral("Recovery")));
    ASSERT_TRUE(QDir(data.path()).mkdir(QStringLiteral("RECOVERY")));
    EXPECT_EQ(TRecoveryStore::folderIn(data.path()), QDir(data.path()).filePath(QStringLiteral("RECOVERY")));
}

TEST(RecoveryStore, ASessionWithoutItsOwnerIsOfferedOnceAndGoesWhenEmpty)
{
    QTemporaryDir data;
    // An ended program's session: its folder is there, its lock is not held.
    const QString ended = QDir(TRecoveryStore::folderIn(data.path())).filePath(QStringLiteral("1-ended"));
    ASSERT_TRUE(QDir().mkpath(ended));
    TRecoveryEntry a = sampleEntry(), b = sampleEntry();
    b.savedAt = a.savedAt.addSecs(-60);
    b.text = "older";
    writeBytes(QDir(ended).filePath(QStringLiteral("doc-1.qrec")), a.header() + a.text);
    writeBytes(QDir(ended).filePath(QStringLiteral("doc-2.qrec")), b.header() + b.text);
    writeBytes(QDir(ended).filePath(QStringLiteral("doc-3.qrec")), (a.header() + a.text).left(30));

    TRecoveryStore mine(data.path()), other(data.path());
    ASSERT_TRUE(mine.openSession(nullptr));
    ASSERT_TRUE(other.openSession(nullptr));
    QStringList problems;
    const QList<TRecoveryEntry> found = mine.claimOrphans(&problems);
    ASSERT_EQ(found.size(), 2);
    EXPECT_EQ(found.at(0).text, QByteArray("older"));  // oldest first
    EXPECT_EQ(found.at(1).text, a.text);
    EXPECT_EQ(problems.size(), 1);
    EXPECT_FALSE(QFile::exists(QDir(ended).filePath(QStringLiteral("doc-3.qrec"))));
    // A second program starting meanwhile finds the session taken.
    EXPECT_TRUE(other.claimOrphans().isEmpty());

    mine.discardOrphan(found.at(0));
    EXPECT_TRUE(QDir(ended).exists());
    mine.discardOrphan(found.at(1));
    EXPECT_FALSE(QDir(ended).exists());
    EXPECT_FALSE(QFile::exists(ended + QStringLiteral(".lock")));
}

TEST(RecoveryWriter, WritesInOrderAndARemovalWins)
{
    QTemporaryDir data;
    auto store = std::make_shared<TRecoveryStore>(data.path());
    ASSERT_TRUE(store->openSession(nullptr));
    const QString session = store->sessionFolder();
    {
        TRecoveryWriter writer(store);
        QList<quint64> written;
        QObject::connect(&writer, &TRecoveryWriter::written, [&](const QString &, quint64 h) { written.append(h); });
        TRecoveryEntry e = sampleEntry();
        for (int i = 0; i < 20; ++i) {
            e.text = QByteArray::number(i);
            writer.write(e);
        }
        writer.waitUntilIdle();
        TRecoveryEntry back;
        ASSERT_TRUE(TRecoveryEntry::decode(readBytes(QDir(session).filePath(QStringLiteral("doc-1.qrec"))), &back, nullptr));
        EXPECT_EQ(back.text, QByteArray("19"));

        e.id = QStringLiteral("doc-2");
        writer.write(e);
        writer.remove(QStringLiteral("doc-2"));
        writer.remove(QStringLiteral("doc-1"));
        writer.waitUntilIdle();
        EXPECT_TRUE(QDir(session).entryList(QDir::Files).isEmpty());
        QCoreApplication::processEvents();
        ASSERT_FALSE(written.isEmpty());
        EXPECT_EQ(written.last(), contentHash(QByteArray("19")));
    }
    store.reset();
    // A program that ends cleanly leaves nothing behind.
    EXPECT_FALSE(QDir(session).exists());
}

TEST(RecoveryWriter, EndsPromptlyWhileEveryProcessorIsBusy)
{
    // One processor for this thread and the ones it starts, kept busy by
    // loops at the normal share, as a build beside the program keeps it.
    cpu_set_t all;
    ASSERT_EQ(sched_getaffinity(0, sizeof all, &all), 0);
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(sched_getcpu(), &one);
    ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);

    QTemporaryDir data;
    auto store = std::make_shared<TRecoveryStore>(data.path());
    ASSERT_TRUE(store->openSession(nullptr));
    auto writer = std::make_unique<TRecoveryWriter>(store);
    writer->write(sampleEntry());
    writer->waitUntilIdle();

    std::atomic<bool> busy{true};
    std::vector<std::thread> loops;
    for (int i = 0; i < 8; ++i)
        loops.emplace_back([&busy] {
            while (busy.load(std::memory_order_relaxed)) {
            }
        });
    QElapsedTimer ending;
    ending.start();
    writer->remove(sampleEntry().id);
    writer.reset();
    const qint64 ms = ending.elapsed();
    busy = false;
    for (std::thread &t : loops)
        t.join();
    sched_setaffinity(0, sizeof all, &all);
    // At the lowest priority the writer took 1 to 2 s here; at the normal
    // share it takes about a tenth of a second.
    constexpr qint64 kPromptEndMs = 750;
    EXPECT_LT(ms, kPromptEndMs) << "the writer took " << ms << " ms to finish and end";
    EXPECT_TRUE(QDir(store->sessionFolder()).entryList(QDir::Files).isEmpty());
}
