// The booking store, the reminders it makes, and the local project files.
#include "bookingstoreadapter.h"
#include "tbookingsystem.h"
#include "tlocalprojects.h"
#include "treminders.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Quorvant;

namespace {

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

class BookingTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString folder() const { return dir.path(); }
    QString cfg() const { return dir.filePath(QStringLiteral("Network.Cfg")); }
};

TEST_F(BookingTest, RecordsAreExactly360BytesWithLengthPrefixedFields)
{
    TBookingSystem store(folder());
    const QString user26 = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    ASSERT_TRUE(store.AddInfo(QStringLiteral("Site"), QStringLiteral("index.htm"), user26));
    const QByteArray bytes = readAll(cfg());
    ASSERT_EQ(bytes.size(), 360);
    EXPECT_EQ(uchar(bytes[0]), 4);
    EXPECT_EQ(bytes.mid(1, 4), "Site");
    EXPECT_EQ(uchar(bytes[52]), 9);
    EXPECT_EQ(bytes.mid(53, 9), "index.htm");
    EXPECT_EQ(uchar(bytes[308]), 26);
    EXPECT_EQ(bytes.mid(309, 26), user26.toUtf8());
    ASSERT_EQ(store.records().size(), 1);
    EXPECT_EQ(store.records()[0].UserName, user26);
}

TEST_F(BookingTest, LongValuesAreCutToTheFieldAtACharacterBoundary)
{
    TBookingSystem store(folder());
    const QString longProject = QString(50, u'p') + QStringLiteral("éé");  // 54 bytes in UTF-8
    ASSERT_TRUE(store.AddInfo(longProject, QString(300, u'f'), QString(80, u'u')));
    const TBookings b = store.records().value(0);
    EXPECT_EQ(b.ProjectName, QString(50, u'p'));  // the é that would cross byte 51 is dropped whole
    EXPECT_EQ(b.FileName.size(), 255);
    EXPECT_EQ(b.UserName.size(), 51);
}

TEST_F(BookingTest, LengthBytesBeyondTheirFieldAreClampedWhenRead)
{
    QByteArray record(360, 'x');
    record[0] = char(200);  // the project field declares 51 at most
    record[52] = char(3);
    record.replace(53, 3, "a.h");
    record[308] = char(255);
    writeAll(cfg(), record);
    const TBookings b = TBookingSystem(folder()).records().value(0);
    EXPECT_EQ(b.ProjectName, QString(51, u'x'));
    EXPECT_EQ(b.FileName, QStringLiteral("a.h"));
    EXPECT_EQ(b.UserName, QString(51, u'x'));
}

TEST_F(BookingTest, TwiceBookedIsRemovedWholeAndTheFileGoes)
{
    TBookingSystem store(folder());
    ASSERT_TRUE(store.AddInfo(QStringLiteral("Site"), QStringLiteral("a.htm"), QStringLiteral("ann")));
    ASSERT_TRUE(store.AddInfo(QStringLiteral("Site"), QStringLiteral("a.htm"), QStringLiteral("bob")));
    EXPECT_EQ(readAll(cfg()).size(), 720);
    EXPECT_TRUE(store.BookedOut(QStringLiteral("SITE"), QStringLiteral("A.HTM")));
    EXPECT_FALSE(store.BookedOut(QString(), QStringLiteral("a.htm")));
    EXPECT_FALSE(store.BookedOut(QStringLiteral("Site"), QStringLiteral("b.htm")));
    EXPECT_TRUE(store.RemoveRecord(QStringLiteral("site"), QStringLiteral("A.htm"), QStringLiteral("zed")));
    EXPECT_FALSE(QFile::exists(cfg()));
    EXPECT_FALSE(store.RemoveRecord(QStringLiteral("site"), QStringLiteral("A.htm"), {}));
    EXPECT_FALSE(store.BookedOut(QStringLiteral("Site"), QStringLiteral("a.htm")));
}

TEST_F(BookingTest, RemoveKeepsOthersInOrderAndDropsATornTail)
{
    TBookingSystem store(folder());
    for (const char *f : {"1.htm", "2.htm", "3.htm"})
        ASSERT_TRUE(store.AddInfo(QStringLiteral("P"), QLatin1String(f), QStringLiteral("u")));
    QFile file(cfg());
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("torn");
    file.close();
    EXPECT_EQ(store.records().size(), 3);
    EXPECT_TRUE(store.RemoveRecord(QStringLiteral("P"), QStringLiteral("2.htm"), {}));
    EXPECT_EQ(readAll(cfg()).size(), 720);
    const QList<TBookings> left = store.records();
    ASSERT_EQ(left.size(), 2);
    EXPECT_EQ(left[0].FileName, QStringLiteral("1.htm"));
    EXPECT_EQ(left[1].FileName, QStringLiteral("3.htm"));
    // A record added after a torn tail still starts on a record boundary.
    writeAll(cfg(), readAll(cfg()) + "xy");
    ASSERT_TRUE(store.AddInfo(QStringLiteral("P"), QStringLiteral("4.htm"), {}));
    EXPECT_EQ(readAll(cfg()).size(), 1080);
    EXPECT_EQ(store.records().value(2).FileName, QStringLiteral("4.htm"));
}

TEST_F(BookingTest, AnotherProgramHoldingTheLockKeepsWritesOut)
{
    QLockFile other(cfg() + QStringLiteral(".lock"));
    ASSERT_TRUE(other.tryLock(0));
    QStringList lines;
    TBookingSystem store(folder(), [&lines](const QString &l) { lines << l; });
    // The holder is this process, so the lock is not stale: the write waits, then fails.
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(store.AddInfo(QStringLiteral("P"), QStringLiteral("a"), {}));
    EXPECT_FALSE(QFile::exists(cfg()));
    EXPECT_FALSE(lines.isEmpty());
    other.unlock();
    EXPECT_TRUE(store.AddInfo(QStringLiteral("P"), QStringLiteral("a"), {}));
}

TEST_F(BookingTest, AFailedWriteIsReported)
{
    writeAll(dir.filePath(QStringLiteral("plain")), "x");
    TBookingSystem store(dir.filePath(QStringLiteral("plain")));  // a folder under a plain file
    EXPECT_FALSE(store.AddInfo(QStringLiteral("P"), QStringLiteral("a"), {}));
}

TEST_F(BookingTest, RemindersHoldOneLinePerBookingAndTheAdapterBooks)
{
    TBookingStoreAdapter adapter(folder());
    Network::NetworkBookings &net = adapter;
    net.addBooking(QStringLiteral("Site"), QStringLiteral("a.htm"), QStringLiteral("ann"));
    net.addBooking(QStringLiteral("Blog"), QStringLiteral("b.htm"), QStringLiteral("ann"));
    TReminders reminders(folder());
    reminders.ClearAllReminders();
    TBookingSystem(folder()).MakeRemindersForBookedOutFiles();
    QStringList lines;
    ASSERT_TRUE(reminders.readReminders(&lines));
    EXPECT_EQ(lines, QStringList({QStringLiteral("File Still Booked Out! Project: \"Site\" FileName: \"a.htm\""),
                                  QStringLiteral("File Still Booked Out! Project: \"Blog\" FileName: \"b.htm\"")}));
    EXPECT_TRUE(readAll(reminders.RemindersFileName()).endsWith("\"b.htm\"\r\n"));
    net.removeBooking(QStringLiteral("Site"), QStringLiteral("a.htm"), {});
    net.removeBooking(QStringLiteral("Blog"), QStringLiteral("b.htm"), {});
    reminders.ClearAllReminders();
    TBookingSystem(folder()).MakeRemindersForBookedOutFiles();
    EXPECT_FALSE(QFile::exists(reminders.RemindersFileName()));
    EXPECT_FALSE(reminders.readReminders(&lines));
    EXPECT_TRUE(reminders.AddToReminders(QString()));
    EXPECT_FALSE(QFile::exists(reminders.RemindersFileName()));
}

// --- Local projects ---

class ProjectTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
};

TEST_F(ProjectTest, HeaderAndRowsRoundTripIncludingCommasQuotesAndLineBreaks)
{
    TLocalProjects store(dir.path());
    QList<TProjectRow> rows;
    ASSERT_TRUE(store.NewProjectFile(QStringLiteral("Site.QPJ"), &rows, QStringLiteral("Site"),
                                     QStringLiteral("Business"), QStringLiteral("HTML 4"),
                                     QStringLiteral("first line\r\nsecond, with comma")));
    rows = {{QStringLiteral("a,b.htm"), QStringLiteral("Creating"), QStringLiteral("/home/ann/x,y/a,b.htm")},
            {QStringLiteral("\"q\".htm"), QStringLiteral("said \"done\""), QStringLiteral("/p/\"q\".htm")},
            {QStringLiteral("plain.htm"), QStringLiteral("1/2 Complete"), QStringLiteral("/p/plain.htm")}};
    ASSERT_TRUE(store.SaveProjectFile(QStringLiteral("Site.QPJ"), rows));
    const QByteArray bytes = readAll(dir.filePath(QStringLiteral("Projects/Site.QPJ")));
    EXPECT_TRUE(bytes.startsWith(QStringLiteral("Site\u009EBusiness\u009EHTML 4\u009E\"first").toUtf8()));
    EXPECT_TRUE(bytes.endsWith("plain.htm,1/2 Complete,/p/plain.htm\r\n")) << "plain rows stay as they were";

    TLocalProjects again(dir.path());
    QList<TProjectRow> read;
    ASSERT_TRUE(again.LoadProjectFile(dir.filePath(QStringLiteral("Projects/Site.QPJ")), &read));
    EXPECT_EQ(read, rows);
    EXPECT_EQ(again.CurrentProjectName, QStringLiteral("Site"));
    EXPECT_EQ(again.CurrentWebsiteType, QStringLiteral("Business"));
    EXPECT_EQ(again.CurrentLanguage, QStringLiteral("HTML 4"));
    EXPECT_EQ(again.CurrentNotes, QStringLiteral("first line\r\nsecond, with comma"));
}

TEST_F(ProjectTest, OlderUnquotedFilesReadAsBefore)
{
    QDir().mkpath(dir.filePath(QStringLiteral("Projects")));
    const QString path = dir.filePath(QStringLiteral("Projects/Old.QPJ"));
    writeAll(path, QStringLiteral("Old\u009EPersonal\u009EXHTML\u009Enotes\r\n"
                                  "a.htm,Complete,/x/a.htm\r\n"
                                  "b.htm,\"open quote,/x/b.htm\r\n"
                                  "c.htm\r\n")
                       .toUtf8());
    TLocalProjects store(dir.path());
    QList<TProjectRow> rows;
    ASSERT_TRUE(store.LoadProjectFile(path, &rows));
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0], (TProjectRow{QStringLiteral("a.htm"), QStringLiteral("Complete"), QStringLiteral("/x/a.htm")}));
    EXPECT_EQ(rows[1], (TProjectRow{QStringLiteral("b.htm"), QStringLiteral("\"open quote"), QStringLiteral("/x/b.htm")}));
    EXPECT_EQ(rows[2], (TProjectRow{QStringLiteral("c.htm"), {}, {}}));
    EXPECT_EQ(store.CurrentNotes, QStringLiteral("notes"));
}

TEST_F(ProjectTest, TitlesThatLeaveTheFolderAndFailedWritesAreRefused)
{
    TLocalProjects store(dir.path());
    QList<TProjectRow> rows{{QStringLiteral("keep"), {}, {}}};
    for (const char *name : {"..", "../escape.QPJ", "a/b.QPJ", "."})
        EXPECT_FALSE(store.NewProjectFile(QLatin1String(name), &rows, QStringLiteral("x"), {}, {}, {})) << name;
    EXPECT_EQ(rows.size(), 1) << "a refused project leaves the list alone";
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("escape.QPJ"))));
    EXPECT_FALSE(store.NewProjectFile(QStringLiteral("ok.QPJ"), &rows, QString(), {}, {}, {}));
    EXPECT_FALSE(store.NewProjectFile(QStringLiteral("ok.QPJ"), nullptr, QStringLiteral("x"), {}, {}, {}));

    writeAll(dir.filePath(QStringLiteral("file")), "x");
    TLocalProjects underFile(dir.filePath(QStringLiteral("file")));
    EXPECT_FALSE(underFile.NewProjectFile(QStringLiteral("ok.QPJ"), &rows, QStringLiteral("x"), {}, {}, {}));
    EXPECT_FALSE(underFile.SaveProjectFile(QStringLiteral("ok.QPJ"), rows));
    EXPECT_FALSE(store.SaveProjectFile(QString(), rows));
    QList<TProjectRow> read;
    EXPECT_FALSE(store.LoadProjectFile(dir.filePath(QStringLiteral("missing.QPJ")), &read));
}

} // namespace
