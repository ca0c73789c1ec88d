// Files bigger than one piece load in pieces straight into the buffer: what
// straddles a piece boundary (a character, a CR LF) comes out whole, and a
// byte that is not UTF-8 anywhere makes the whole file Windows-1252.
#include "textfileformat.h"
#include "tmemosource.h"

#include <QFile>
#include <QTemporaryDir>

#include <malloc.h>

#include <gtest/gtest.h>

using namespace Quorvant;

namespace {

constexpr qint64 Piece = TMemoSource::LoadPieceBytes;

// ASCII filler up to offset, then tail.
QByteArray filledTo(qint64 offset, const QByteArray &tail)
{
    QByteArray bytes(offset, 'x');
    for (qint64 i = 99; i < offset; i += 100)
        bytes[i] = '\n';
    return bytes + tail;
}

struct Case
{
    const char *name;
    QByteArray bytes;
    TextEncoding encoding;
    LineEndStyle lineEnds;
    bool bom = false;
};

class PieceLoad : public ::testing::TestWithParam<Case>
{
protected:
    QString write(const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("in.htm"));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QTemporaryDir m_dir;
};

TEST_P(PieceLoad, TheFileComesBackByteForByte)
{
    const Case &c = GetParam();
    TMemoSource buffer;
    QString error;
    QList<qint64> reported;
    bool readOnlyMeanwhile = true;
    ASSERT_TRUE(buffer.loadFromFile(write(c.bytes), &error, [&](qint64 done, qint64 total) {
        EXPECT_EQ(total, c.bytes.size());
        reported.append(done);
        readOnlyMeanwhile = readOnlyMeanwhile && buffer.isReadOnly();
    })) << qPrintable(error);
    EXPECT_EQ(buffer.fileFormat().encoding, c.encoding);
    EXPECT_EQ(buffer.fileFormat().lineEnds, c.lineEnds);
    EXPECT_EQ(buffer.fileFormat().byteOrderMark, c.bom);
    EXPECT_FALSE(buffer.isReadOnly());
    EXPECT_FALSE(buffer.isModified());
    EXPECT_TRUE(readOnlyMeanwhile) << "nothing but the load writes while it runs";
    // One report between pieces, each further than the last (a load that
    // starts again as Windows-1252 counts again from the start).
    ASSERT_FALSE(reported.isEmpty());
    for (int i = 0; i < reported.size(); ++i) {
        EXPECT_GT(reported[i], 0);
        EXPECT_LT(reported[i], c.bytes.size());
        if (i > 0 && c.encoding == TextEncoding::Utf8)
            EXPECT_GT(reported[i], reported[i - 1]);
    }

    const QString out = m_dir.filePath(QStringLiteral("out.htm"));
    ASSERT_TRUE(buffer.saveToFile(out, &error)) << qPrintable(error);
    EXPECT_TRUE(read(out) == c.bytes) << "the saved file differs";
}

INSTANTIATE_TEST_SUITE_P(
    AcrossPieces, PieceLoad,
    ::testing::Values(
        // A euro sign (3 bytes) and a smiley (4 bytes) cut by the piece boundary.
        Case{"utf8_split_characters",
             filledTo(Piece - 1, "\xE2\x82\xAC ") + filledTo(Piece - 2, "\xF0\x9F\x98\x80 end\n"),
             TextEncoding::Utf8, LineEndStyle::LF},
        // Valid for the first piece; a Latin-1 e-acute near the end.
        Case{"latin1_byte_late", filledTo(Piece + 1000, "caf\xE9\r\n"), TextEncoding::Windows1252, LineEndStyle::LF},
        // The first line end is a CR LF whose CR ends the first piece.
        Case{"crlf_cut_by_the_boundary", QByteArray(Piece - 1, 'y') + "\r\n" + QByteArray(Piece, 'z'),
             TextEncoding::Utf8, LineEndStyle::CRLF},
        // ... and a lone CR there.
        Case{"cr_cut_by_the_boundary", QByteArray(Piece - 1, 'y') + "\rz" + QByteArray(Piece, 'z'),
             TextEncoding::Utf8, LineEndStyle::CR},
        // A byte order mark, and a sequence left open at the very end.
        Case{"bom_kept", "\xEF\xBB\xBF" + filledTo(Piece + 10, "\xC3\xA9"), TextEncoding::Utf8, LineEndStyle::LF,
             true},
        Case{"truncated_sequence_at_the_end", filledTo(Piece + 10, "\xE2\x82"), TextEncoding::Windows1252,
             LineEndStyle::LF}),
    [](const ::testing::TestParamInfo<Case> &info) { return std::string(info.param.name); });

TEST(PieceLoadSmall, AFileOfOnePieceLoadsWithoutReports)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("small.htm"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<p>caf\xC3\xA9</p>\r\n");
    f.close();
    TMemoSource buffer;
    QString error;
    int reports = 0;
    ASSERT_TRUE(buffer.loadFromFile(path, &error, [&](qint64, qint64) { ++reports; }));
    EXPECT_EQ(reports, 0) << "a small file never runs the event loop";
    EXPECT_EQ(buffer.text(), QStringLiteral("<p>caf\u00E9</p>\r\n"));
    EXPECT_EQ(buffer.longestLoadedLine(), 13) << "the bytes before the LF";
}

// Heap in use (glibc): the small blocks and the big ones mapped on their own.
qint64 heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks + info.hblkhd);
}

TEST(PieceLoadSmall, ABigFileIsHeldOnceWithBoundedRoom)
{
    // Lines of 1000 bytes: the line index stays small beside the text.
    constexpr qint64 Size = 32 * 1024 * 1024;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.htm"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        const QByteArray line = QByteArray(999, 'x') + '\n';
        for (qint64 written = 0; written < Size; written += line.size())
            ASSERT_EQ(f.write(line.left(Size - written)), qMin<qint64>(line.size(), Size - written));
    }
    TMemoSource buffer;
    QString error;
    const qint64 before = heapInUse();
    ASSERT_TRUE(buffer.loadFromFile(path, &error, [](qint64, qint64) {})) << qPrintable(error);
    const qint64 grown = heapInUse() - before;
    ASSERT_EQ(buffer.byteLength(), Size);
    // The editor keeps the text and one style byte for each of its bytes,
    // each with room for the first edits; nothing else of that size stays.
    EXPECT_LE(grown, 2 * (Size + TMemoSource::LoadRoomBytes) + 1024 * 1024) << grown / 1024 << " KiB";
}

// Without a mark, a U+FEFF that begins the text would read back as one; a
// Windows-1252 file has no byte for it and is saved as UTF-8.
TEST(PieceLoadSmall, TextBeginningWithZeroWidthNoBreakSpaceIsSavedWithAMarkBeforeIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.htm"));
    const QString firstLine = QChar(0xFEFF) + QStringLiteral("<p>caf\u00E9</p>");
    const QString text = firstLine + QStringLiteral("\r\n");
    for (const TextEncoding encoding : {TextEncoding::Utf8, TextEncoding::Windows1252}) {
        SCOPED_TRACE(int(encoding));
        TMemoSource buffer;
        buffer.setText(text);
        buffer.setFileFormat({encoding, false, LineEndStyle::CRLF});
        EXPECT_EQ(buffer.text(), text);
        EXPECT_EQ(buffer.line(0), firstLine);
        QString error;
        ASSERT_TRUE(buffer.saveToFile(path, &error)) << qPrintable(error);
        EXPECT_EQ(buffer.fileFormat(), (TextFileFormat{TextEncoding::Utf8, true, LineEndStyle::CRLF}));

        TMemoSource again;
        ASSERT_TRUE(again.loadFromFile(path, &error)) << qPrintable(error);
        EXPECT_EQ(again.text(), text);
        EXPECT_EQ(again.line(0), firstLine);
        EXPECT_TRUE(again.fileFormat().byteOrderMark);
    }
}

} // namespace
