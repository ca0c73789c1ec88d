#include "textfileformat.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Quorvant;

namespace {

struct RoundTripCase
{
    const char *name;
    QByteArray bytes;
    TextEncoding encoding;
    bool bom;
    LineEndStyle lineEnds;
};

class FileRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

} // namespace

TEST_P(FileRoundTrip, DecodesAndEncodesBackToTheSameBytes)
{
    const RoundTripCase &c = GetParam();
    const DecodedText decoded = decodeTextFile(c.bytes);
    EXPECT_EQ(decoded.format.encoding, c.encoding);
    EXPECT_EQ(decoded.format.byteOrderMark, c.bom);
    EXPECT_EQ(decoded.format.lineEnds, c.lineEnds);
    TextFileFormat format = decoded.format;
    EXPECT_EQ(encodeTextFile(decoded.text, &format), c.bytes);
    EXPECT_EQ(format, decoded.format);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, FileRoundTrip,
    ::testing::Values(
        RoundTripCase{"Utf8CrLf", "<p>caf\xC3\xA9</p>\r\n<br>\r\n", TextEncoding::Utf8, false, LineEndStyle::CRLF},
        RoundTripCase{"Utf8BomLf", "\xEF\xBB\xBF<p>\xE2\x82\xAC</p>\n\n", TextEncoding::Utf8, true, LineEndStyle::LF},
        RoundTripCase{"Cp1252", "<p>caf\xE9 \x80 \x93quoted\x94</p>\r\n", TextEncoding::Windows1252, false,
                      LineEndStyle::CRLF},
        // Unassigned bytes of Windows-1252 must survive as well.
        RoundTripCase{"Cp1252Unassigned", QByteArray("\x81\x8D\x8F\x90\x9D\xFF\r", 7), TextEncoding::Windows1252,
                      false, LineEndStyle::CR},
        RoundTripCase{"NulBytes", QByteArray("a\0b\nc", 5), TextEncoding::Utf8, false, LineEndStyle::LF},
        RoundTripCase{"Empty", QByteArray(), TextEncoding::Utf8, false, LineEndStyle::CRLF},
        RoundTripCase{"MixedLineEnds", "a\r\nb\nc\rd", TextEncoding::Utf8, false, LineEndStyle::CRLF},
        // A U+FEFF that begins the text after the mark is text, kept on save.
        RoundTripCase{"BomThenZeroWidthNoBreakSpace", "\xEF\xBB\xBF\xEF\xBB\xBF<p>\n", TextEncoding::Utf8, true,
                      LineEndStyle::LF}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(TextFileFormat, Utf8ValidationRejectsMalformedSequences)
{
    const struct { QByteArray bytes; bool valid; } cases[] = {
        {"plain ascii", true},
        {"\xC3\xA9", true},
        {"\xF0\x9F\x98\x80", true},
        {"\xC3", false},               // truncated
        {"\xC0\xAF", false},           // overlong
        {"\xED\xA0\x80", false},       // surrogate
        {"\xF4\x90\x80\x80", false},   // beyond U+10FFFF
        {"abcdefgh\xE9", false},       // Windows-1252 after the fast ASCII path
    };
    for (const auto &c : cases)
        EXPECT_EQ(isValidUtf8(c.bytes), c.valid) << c.bytes.toHex().constData();
}

TEST(TextFileFormat, Cp1252DocumentWithForeignCharacterIsSavedAsUtf8)
{
    TextFileFormat format{TextEncoding::Windows1252, false, LineEndStyle::CRLF};
    const QString text = QStringLiteral("caf\u00E9 \u4E2D");
    const QByteArray bytes = encodeTextFile(text, &format);
    EXPECT_EQ(format.encoding, TextEncoding::Utf8);
    EXPECT_EQ(QString::fromUtf8(bytes), text);
}

// Without a mark, a U+FEFF that begins the text would read back as one.
TEST(TextFileFormat, TextBeginningWithZeroWidthNoBreakSpaceGetsAMarkBeforeIt)
{
    const QString text = QChar(0xFEFF) + QStringLiteral("<p>\r\n");
    for (const TextEncoding encoding : {TextEncoding::Utf8, TextEncoding::Windows1252}) {
        TextFileFormat format{encoding, false, LineEndStyle::CRLF};
        const QByteArray bytes = encodeTextFile(text, &format);
        EXPECT_EQ(bytes, "\xEF\xBB\xBF\xEF\xBB\xBF<p>\r\n");
        EXPECT_EQ(format, (TextFileFormat{TextEncoding::Utf8, true, LineEndStyle::CRLF}));
        EXPECT_EQ(decodeTextFile(bytes).text, text);
    }
}

TEST(TextFileFormat, ConvertLineEndsNormalisesEveryStyle)
{
    EXPECT_EQ(convertLineEnds(QStringLiteral("a\r\nb\nc\rd"), LineEndStyle::CRLF), QStringLiteral("a\r\nb\r\nc\r\nd"));
    EXPECT_EQ(convertLineEnds(QStringLiteral("a\r\nb\r\n"), LineEndStyle::LF), QStringLiteral("a\nb\n"));
    EXPECT_EQ(convertLineEnds(QStringLiteral("\r\n\r\n"), LineEndStyle::CR), QStringLiteral("\r\r"));
}

TEST(TextFileFormat, AtomicWriteFailureLeavesOldFileWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.htm"));
    QString error;
    ASSERT_TRUE(writeFileAtomically(path, QByteArray("old"), &error));

    // A folder in the file's place, a missing folder, and a read-only folder.
    EXPECT_FALSE(writeFileAtomically(dir.path(), QByteArray("x"), &error));
    EXPECT_TRUE(error.contains(dir.path()));
    EXPECT_FALSE(writeFileAtomically(dir.filePath(QStringLiteral("missing/a.htm")), QByteArray("x"), &error));

    if (geteuid() != 0) {
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        EXPECT_FALSE(writeFileAtomically(path, QByteArray("new"), &error));
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    QByteArray back;
    ASSERT_TRUE(readWholeFile(path, &back, &error));
    EXPECT_EQ(back, "old");
}

TEST(TextFileFormat, AFailedWriteGivesTheSystemsReason)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.htm"));
    QString error;
    ASSERT_TRUE(writeFileAtomically(path, QByteArray("old"), &error));
    // A file size limit fails the write the way a full disk does: the system
    // refuses part-way and says why.
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const QByteArray big(64 * 1024, 'x');
    const QByteArray tail(10, 'y');
    const bool written = writeFileAtomically(path, {QByteArrayView(big), QByteArrayView(tail)}, &error);
    const QString parted = error;
    const bool writtenSmallBuffered = writeFileAtomically(path, QByteArray(6000, 'z'), &error);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_FALSE(writtenSmallBuffered);
    EXPECT_TRUE(parted.contains(QStringLiteral("File too large"))) << parted.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("File too large"))) << error.toStdString();
    EXPECT_FALSE(error.contains(QStringLiteral("Unknown error"))) << error.toStdString();
    QByteArray back;
    ASSERT_TRUE(readWholeFile(path, &back, &error));
    EXPECT_EQ(back, "old");
}

TEST(TextFileFormat, AFileWithSeveralLinksOrAnotherOwnerKeepsThem)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.htm"));
    const QString other = dir.filePath(QStringLiteral("other-name.htm"));
    QString error;
    ASSERT_TRUE(writeFileAtomically(path, QByteArray("old"), &error));
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()), 0);
    struct stat before{};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &before), 0);

    ASSERT_TRUE(writeFileAtomically(path, {QByteArrayView("new "), QByteArrayView("text")}, &error)) << error.toStdString();
    QByteArray back;
    ASSERT_TRUE(readWholeFile(other, &back, &error));
    EXPECT_EQ(back, "new text") << "the other link sees the saved text";
    struct stat after{};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_nlink, 2u);
    EXPECT_FALSE(QFile::exists(path + QStringLiteral("~"))) << "the backup copy goes after a good save";

    // A refused write puts the old text back.
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = limit;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = writeFileAtomically(path, QByteArray(64 * 1024, 'x'), &error);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_TRUE(error.contains(QStringLiteral("File too large"))) << error.toStdString();
    ASSERT_TRUE(readWholeFile(other, &back, &error));
    EXPECT_EQ(back, "new text");

    // A file owned by someone else keeps its owner (only root can hand one over).
    if (geteuid() == 0) {
        const QString theirs = dir.filePath(QStringLiteral("theirs.htm"));
        ASSERT_TRUE(writeFileAtomically(theirs, QByteArray("old"), &error));
        ASSERT_EQ(::chown(QFile::encodeName(theirs).constData(), 65534, 65534), 0);
        ASSERT_TRUE(writeFileAtomically(theirs, QByteArray("new"), &error));
        struct stat st{};
        ASSERT_EQ(::stat(QFile::encodeName(theirs).constData(), &st), 0);
        EXPECT_EQ(st.st_uid, 65534u);
        EXPECT_EQ(st.st_gid, 65534u);
        ASSERT_TRUE(readWholeFile(theirs, &back, &error));
        EXPECT_EQ(back, "new");
    }
}

TEST(TextFileFormat, ReadingAFolderOrMissingFileFailsWithAMessage)
{
    QTemporaryDir dir;
    QByteArray out = "stale";
    QString error;
    EXPECT_FALSE(readWholeFile(dir.path(), &out, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("folder")));
    EXPECT_FALSE(readWholeFile(dir.filePath(QStringLiteral("nope.htm")), &out, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(TextFileFormat, AReadWithALimitTakesFilesUpToItWholeAndRefusesBiggerOnes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Main.INI"));
    const auto write = [&](const QByteArray &bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    };
    QByteArray out;
    QString error;
    for (const qsizetype size : {0, 1, 99, 100}) {
        const QByteArray bytes(size, 'k');
        write(bytes);
        EXPECT_TRUE(readWholeFile(path, &out, &error, 100)) << size << qPrintable(error);
        EXPECT_EQ(out, bytes) << size;
    }
    write(QByteArray(101, 'k'));
    EXPECT_FALSE(readWholeFile(path, &out, &error, 100));
    EXPECT_TRUE(error.contains(QStringLiteral("larger than 100 bytes"))) << qPrintable(error);
    EXPECT_TRUE(out.isEmpty());
}

TEST(TextFileFormat, ListingBySuffixFindsWhatTheWildcardPatternFinds)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char *name : {"a.tag", "B.TAG", "c.Tag", ".tag", "c.tags", "tag", "d.tag.bak", "etag", "z.tag"}) {
        QFile f(dir.filePath(QLatin1String(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.tag")));
    const QDir folder(dir.path());
    for (const QDir::Filters filters : {QDir::Filters(QDir::Files), QDir::Files | QDir::Hidden, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot}) {
        SCOPED_TRACE(int(filters));
        const QFileInfoList wildcard = folder.entryInfoList({QStringLiteral("*.tag")}, filters, QDir::Name | QDir::IgnoreCase);
        const QFileInfoList ours = entriesEndingWith(folder, QStringLiteral(".tag"), filters, QDir::Name | QDir::IgnoreCase);
        QStringList expected, got;
        for (const QFileInfo &i : wildcard)
            expected.append(i.fileName());
        for (const QFileInfo &i : ours)
            got.append(i.fileName());
        EXPECT_FALSE(expected.isEmpty());
        EXPECT_EQ(got, expected);
    }
}
