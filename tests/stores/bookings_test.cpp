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
using namespace Qt::StringLiterals;

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

QStringList texts(std::initializer_list<const char *> utf8)
{
    QStringList out;
    for (const char *s : utf8)
        out << QString::fromUtf8(s);
    return out;
}

QStringList header(const TLocalProjects &store)
{
    return {store.CurrentProjectName, store.CurrentWebsiteType, store.CurrentLanguage, store.CurrentNotes};
}

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
    EXPECT_TRUE(bytes.startsWith("Site\x9E" "Business\x9EHTML 4\x9E\"first")) << bytes.constData();
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

// Files of older tools (8-bit text, the byte 0x9E between header fields),
// of earlier versions (UTF-8, the separator as the character U+009E, quoted
// fields) and mixtures read whole, and a save keeps every field.
TEST_F(ProjectTest, OldCurrentAndMixedFilesReadWholeAndSaveWithTheSingleSeparatorByte)
{
    const struct
    {
        const char *what;
        QByteArray file;
        QStringList header;
        QList<TProjectRow> rows;
    } cases[] = {
        {"8-bit",
         "Shop\x9E" "Business\x9EHTML 4\x9ESpring sale\r\n"
         "index.htm,Complete,/site/index.htm\r\n"
         "caf\xE9.htm,1/2 Complete,/site/caf\xE9.htm\r\n",
         texts({"Shop", "Business", "HTML 4", "Spring sale"}),
         {{u"index.htm"_s, u"Complete"_s, u"/site/index.htm"_s}, {u"café.htm"_s, u"1/2 Complete"_s, u"/site/café.htm"_s}}},
        {"8-bit, a name ending in a letter UTF-8 would take for a lead byte, a path with a comma",
         "Spa\xDF\x9EPersonal\x9EXHTML\x9E\r\n"
         "a.htm,Creating,/x/a,b.htm\n",
         texts({"Spaß", "Personal", "XHTML", ""}),
         {{u"a.htm"_s, u"Creating"_s, u"/x/a,b.htm"_s}}},
        {"8-bit, 0x9E typed in the notes",
         "Shop\x9E" "Business\x9EHTML 4\x9E" "Dvo\x9E\xE1k\r\n",
         texts({"Shop", "Business", "HTML 4", "Dvo\xC5\xBE\xC3\xA1k"}), {}},
        {"UTF-8 with the separator as a character, quoted fields",
         "Site\xC2\x9E" "Business\xC2\x9EXHTML\xC2\x9E\"two\r\nlines\"\r\n"
         "\"a,b.htm\",Creating,\"/x/a,b.htm\"\r\n"
         "Gr\xC3\xBC\xC3\x9F" "e.htm,\"Waiting, on \"\"images\"\"\",/x/Gr\xC3\xBC\xC3\x9F" "e.htm\r\n",
         texts({"Site", "Business", "XHTML", "two\r\nlines"}),
         {{u"a,b.htm"_s, u"Creating"_s, u"/x/a,b.htm"_s},
          {u"Grüße.htm"_s, u"Waiting, on \"images\""_s, u"/x/Grüße.htm"_s}}},
        {"UTF-8 between single separator bytes, 0x9E inside characters",
         "\xD0\x9E\xD0\xBB\xD0\xB5\xD0\xB3\x9E\xC5\x9E" "irket\x9EHTML 4\x9E\xD7\x9E\r\n"
         "\xD0\x9E.htm,Complete,/x/\xD0\x9E.htm\r\n",
         texts({"Олег", "Şirket", "HTML 4", "מ"}),
         {{u"О.htm"_s, u"Complete"_s, u"/x/О.htm"_s}}},
        {"mixed: UTF-8 header with the separator as a character, 8-bit notes and rows",
         "Site\xC2\x9E" "Business\xC2\x9EHTML 4\xC2\x9E" "Cr\xEApes\r\n"
         "caf\xE9.htm,Complete,/x/caf\xE9.htm\r\n"
         "Gr\xC3\xBC\xC3\x9F" "e.htm,Creating,/x/Gr\xC3\xBC\xC3\x9F" "e.htm\r\n",
         texts({"Site", "Business", "HTML 4", "Crêpes"}),
         {{u"café.htm"_s, u"Complete"_s, u"/x/café.htm"_s}, {u"Grüße.htm"_s, u"Creating"_s, u"/x/Grüße.htm"_s}}},
    };
    QDir().mkpath(dir.filePath(QStringLiteral("Projects")));
    const QString path = dir.filePath(QStringLiteral("Projects/P.QPJ"));
    for (const auto &c : cases) {
        writeAll(path, c.file);
        TLocalProjects store(dir.path());
        QList<TProjectRow> rows;
        ASSERT_TRUE(store.LoadProjectFile(path, &rows)) << c.what;
        EXPECT_EQ(header(store), c.header) << c.what;
        EXPECT_EQ(rows, c.rows) << c.what;
        EXPECT_TRUE(store.skippedLines().isEmpty()) << c.what;

        ASSERT_TRUE(store.SaveProjectFile(QStringLiteral("P.QPJ"), rows)) << c.what;
        const QByteArray saved = readAll(path);
        const QByteArray headerStart = c.header[0].toUtf8() + '\x9E' + c.header[1].toUtf8() + '\x9E'
                                       + c.header[2].toUtf8() + '\x9E';
        EXPECT_TRUE(saved.startsWith(headerStart)) << c.what << ": " << saved.toHex(' ').constData();
        EXPECT_FALSE(saved.contains("\xC2\x9E")) << c.what << ": the separator is the single byte";
        TLocalProjects again(dir.path());
        QList<TProjectRow> reread;
        ASSERT_TRUE(again.LoadProjectFile(path, &reread)) << c.what;
        EXPECT_EQ(header(again), c.header) << c.what;
        EXPECT_EQ(reread, c.rows) << c.what;
    }
}

TEST_F(ProjectTest, LinesThatAreNoRowAreSkippedReportedAndKeptBySaves)
{
    QDir().mkpath(dir.filePath(QStringLiteral("Projects")));
    const QString path = dir.filePath(QStringLiteral("Projects/Bad.QPJ"));
    const QByteArray garbage("\x01\x7F\x00\xFF\x02,x,y", 9);
    writeAll(path, "Site\x9E" "Business\x9EHTML 4\x9Enotes\r\n"
                   "a.htm,Complete,/x/a.htm\r\n"
                   + garbage + "\r\n"
                   "second line of old notes\r\n"
                   "\r\n"
                   // Reads as empty text, but is no blank line.
                   "\xEF\xBB\xBF\r\n"
                   "b.htm,Creating,/x/b.htm\r\n");
    TLocalProjects store(dir.path());
    QList<TProjectRow> rows;
    ASSERT_TRUE(store.LoadProjectFile(path, &rows));
    EXPECT_EQ(rows, (QList<TProjectRow>{{u"a.htm"_s, u"Complete"_s, u"/x/a.htm"_s},
                                        {u"b.htm"_s, u"Creating"_s, u"/x/b.htm"_s}}));
    EXPECT_EQ(store.skippedLines().fileName, QStringLiteral("Bad.QPJ"));
    EXPECT_EQ(store.skippedLines().lineNumbers, (QList<int>{3, 4, 6}));

    // The lines the program could not read are written back after the rows, byte for byte.
    rows.removeFirst();
    ASSERT_TRUE(store.SaveProjectFile(QStringLiteral("Bad.QPJ"), rows));
    EXPECT_EQ(readAll(path), "Site\x9E" "Business\x9EHTML 4\x9Enotes\r\n"
                             "b.htm,Creating,/x/b.htm\r\n"
                             + garbage + "\r\n"
                             "second line of old notes\r\n"
                             "\xEF\xBB\xBF\r\n");
    ASSERT_TRUE(store.LoadProjectFile(path, &rows));
    EXPECT_EQ(store.skippedLines().lineNumbers, (QList<int>{3, 4, 5}));

    // A byte order mark is no part of the name.
    writeAll(path, "\xEF\xBB\xBF" "Site\x9E" "Business\x9EHTML 4\x9Enotes\r\n");
    ASSERT_TRUE(store.LoadProjectFile(path, &rows));
    EXPECT_EQ(store.CurrentProjectName, QStringLiteral("Site"));

    // A header of garbage is skipped too; a new project starts with nothing skipped.
    writeAll(path, QByteArray("\x03\x04\x9E\x05\r\nc.htm,Complete,/x/c.htm\r\n"));
    ASSERT_TRUE(store.LoadProjectFile(path, &rows));
    EXPECT_EQ(header(store), QStringList(4, QString()));
    EXPECT_EQ(rows.size(), 1);
    EXPECT_EQ(store.skippedLines().lineNumbers, QList<int>{1});
    ASSERT_TRUE(store.NewProjectFile(QStringLiteral("New.QPJ"), &rows, QStringLiteral("New"), {}, {}, {}));
    EXPECT_TRUE(store.skippedLines().isEmpty());
    EXPECT_EQ(readAll(dir.filePath(QStringLiteral("Projects/New.QPJ"))), "New\x9E\x9E\x9E\r\n");
}

TEST_F(ProjectTest, RemindersSkipLinesThatAreNoReminderAndDecodeEachLine)
{
    const QString path = dir.filePath(QStringLiteral("Reminders.Dat"));
    writeAll(path, QByteArray("File Still Booked Out! Project: \"Caf\xE9\" FileName: \"a.htm\"\r\n")
                       + QByteArray("\x01\x02\xFF\x00junk\r\n", 10) + "\r\n" + "Gr\xC3\xBC\xC3\x9F" "e\n");
    TReminders reminders(dir.path());
    QStringList lines;
    SkippedLines skipped;
    ASSERT_TRUE(reminders.readReminders(&lines, &skipped));
    EXPECT_EQ(lines, texts({"File Still Booked Out! Project: \"Café\" FileName: \"a.htm\"", "Grüße"}));
    EXPECT_EQ(skipped.fileName, QStringLiteral("Reminders.Dat"));
    EXPECT_EQ(skipped.lineNumbers, QList<int>{2});

    // What the program writes is always a reminder line.
    reminders.ClearAllReminders();
    ASSERT_TRUE(reminders.AddToReminders(QStringLiteral("a\tb\x01" "c\r\nd")));
    ASSERT_TRUE(reminders.readReminders(&lines, &skipped));
    EXPECT_EQ(lines, QStringList{QStringLiteral("a b c  d")});
    EXPECT_TRUE(skipped.isEmpty());
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
