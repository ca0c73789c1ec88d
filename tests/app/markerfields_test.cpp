#include "markerfields.h"

#include <gtest/gtest.h>

using namespace Quorvant;

namespace {

QByteArray bytesOf(const char *s)
{
    return QByteArray(s);
}

QStringList texts(std::initializer_list<const char *> utf8)
{
    QStringList out;
    for (const char *s : utf8)
        out << QString::fromUtf8(s);
    return out;
}

MarkerFormat headerFormat(int maxFields = 0)
{
    MarkerFormat f;
    f.markers = "\x9E";
    f.markerCharacters = "\x9E";
    f.maxFields = maxFields;
    f.quotedFields = true;
    return f;
}

} // namespace

TEST(MarkerFieldsTest, OldCurrentAndMixedRecordsPartWhereTheyWereWritten)
{
    const struct
    {
        const char *what;
        QByteArray record;
        int maxFields;
        QStringList expected;
    } cases[] = {
        {"8-bit, single marker bytes", bytesOf("Shop\x9E" "Business\x9EHTML 4\x9ESpring sale"), 0,
         texts({"Shop", "Business", "HTML 4", "Spring sale"})},
        {"8-bit text decodes as Windows-1252", bytesOf("Caf\xE9\x9EGr\xFC\xDF" "e\x9E\x80"), 0,
         texts({"Café", "Grüße", "€"})},
        {"the marker as a UTF-8 character", bytesOf("Shop\xC2\x9E" "Business\xC2\x9EHTML 4\xC2\x9E" "Gr\xC3\xBC\xC3\x9F" "e"),
         0, texts({"Shop", "Business", "HTML 4", "Grüße"})},
        {"UTF-8 fields, single marker bytes, 0x9E inside characters",
         bytesOf("\xD0\x9E\xD0\xBB\xD0\xB5\xD0\xB3\x9E\xC5\x9E" "EN\x9E\xD7\x9E"), 0, texts({"Олег", "ŞEN", "מ"})},
        {"marker character form and an 8-bit field in one record", bytesOf("Site\xC2\x9E" "Caf\xE9\xC2\x9EOK"), 0,
         texts({"Site", "Café", "OK"})},
        {"8-bit field ending in a lead byte, told by another 8-bit field",
         bytesOf("Spa\xDF\x9EPersonal\x9EHTML 4\x9E" "Cr\xEApes"), 0, texts({"Spaß", "Personal", "HTML 4", "Crêpes"})},
        {"8-bit field ending in a lead byte, told by the field count", bytesOf("Spa\xDF\x9EPersonal\x9EHTML 4\x9E"), 4,
         texts({"Spaß", "Personal", "HTML 4", ""})},
        {"UTF-8 with the field count met", bytesOf("\xC5\x9E" "EN\x9E" "B\x9EH\x9EN"), 4, texts({"ŞEN", "B", "H", "N"})},
        {"the last field takes the rest", bytesOf("a\x9E" "b\x9E" "c\x9E" "d\x9E" "e"), 4,
         texts({"a", "b", "c", "dže"})},
        {"quoted fields hold markers, quotes and line ends", bytesOf("\"a\xC2\x9E\"\"b\"\"\"\x9E\"x\r\ny\"\x9E" "c"), 0,
         texts({"a\xC2\x9E\"b\"", "x\r\ny", "c"})},
        {"a quote that does not end its field is text", bytesOf("\"x\"y\x9E\"open\x9E" "z"), 0,
         texts({"\"x\"y", "\"open", "z"})},
        {"empty record", QByteArray(), 0, texts({""})},
    };
    for (const auto &c : cases) {
        const QList<MarkerField> fields = splitMarkerFields(c.record, headerFormat(c.maxFields));
        EXPECT_EQ(markerFieldTexts(fields), c.expected) << c.what;
    }
}

TEST(MarkerFieldsTest, FieldsTellTheirMarkerAndKeepTheirBytes)
{
    MarkerFormat snippets;
    snippets.markers = "\x9E\xFE";
    const QList<MarkerField> title = splitMarkerFields("\x9E" "Bold", snippets);
    ASSERT_EQ(title.size(), 2);
    EXPECT_EQ(title[0].marker, '\x9E');
    EXPECT_TRUE(title[0].bytes.isEmpty());
    EXPECT_EQ(title[1].text(), QStringLiteral("Bold"));
    EXPECT_EQ(title[1].marker, 0);

    // 0xFE is never part of UTF-8; a 0xFE inside a 8-bit body is a marker too.
    const QList<MarkerField> body = splitMarkerFields("<b \xC3\xA9>\xFE</b>\xFE\xE9", snippets);
    ASSERT_EQ(body.size(), 3);
    EXPECT_EQ(body[0].bytes, QByteArray("<b \xC3\xA9>"));
    EXPECT_EQ(body[0].text(), QStringLiteral("<b é>"));
    EXPECT_EQ(body[0].marker, '\xFE');
    EXPECT_EQ(body[2].text(), QStringLiteral("é"));

    // Only the markers named as characters are read in their UTF-8 form: þ stays a letter.
    EXPECT_EQ(splitMarkerFields("\xC3\xBE", snippets).size(), 1);
    snippets.markerCharacters = "\xFE";
    EXPECT_EQ(splitMarkerFields("a\xC3\xBE" "b", snippets).value(0).marker, '\xFE');

    MarkerFormat bytewise = headerFormat();
    bytewise.split = MarkerSplit::EveryMarkerByte;
    EXPECT_EQ(splitMarkerFields("\xC5\x9E" "EN", bytewise).size(), 2);
}

TEST(MarkerFieldsTest, RecordsAreReadLineByLineWithQuotedLineEnds)
{
    MarkerFormat rows;
    rows.markers = ",";
    rows.quotedFields = true;
    rows.maxFields = 3;
    const QByteArray file("a.htm,Creating,/x/a.htm\r\n\"b\r\nc\",\"1,2\",/x/a,b.htm\nlast\r");
    qsizetype pos = 0;
    EXPECT_EQ(markerFieldTexts(readMarkerRecord(file, &pos, rows)), texts({"a.htm", "Creating", "/x/a.htm"}));
    EXPECT_EQ(pos, 25);
    EXPECT_EQ(markerFieldTexts(readMarkerRecord(file, &pos, rows)), texts({"b\r\nc", "1,2", "/x/a,b.htm"}));
    EXPECT_EQ(markerFieldTexts(readMarkerRecord(file, &pos, rows)), texts({"last"}));
    EXPECT_EQ(pos, file.size());
}

TEST(MarkerFieldsTest, WrittenFieldsAreUtf8BetweenSingleMarkerBytesAndReadBackWhole)
{
    const MarkerFormat format = headerFormat(4);
    const QStringList fields = texts({"Олег Straße", "\"quoted\"", "a\xC2\x9E" "b", "two\r\nlines ž"});
    const QByteArray written = joinMarkerFields(fields, '\x9E', format);
    EXPECT_EQ(written, QByteArray("\xD0\x9E\xD0\xBB\xD0\xB5\xD0\xB3 Stra\xC3\x9F" "e\x9E"
                                  "\"\"\"quoted\"\"\"\x9E"
                                  "\"a\xC2\x9E" "b\"\x9E"
                                  "\"two\r\nlines \xC5\xBE\""));
    qsizetype pos = 0;
    EXPECT_EQ(markerFieldTexts(readMarkerRecord(written + "\r\nnext", &pos, format)), fields);
    EXPECT_EQ(pos, written.size() + 2);

    EXPECT_FALSE(fieldNeedsQuotes(QStringLiteral("ŞEN Олег"), format)) << "0x9E inside a character is no marker";
    EXPECT_TRUE(fieldNeedsQuotes(QStringLiteral("a,b"), MarkerFormat{",", {}, 0, false, MarkerSplit::Detect}));
}

TEST(MarkerFieldsTest, Utf8SequencesAreTakenOnlyWhenWholeAndValid)
{
    const struct
    {
        QByteArray bytes;
        qsizetype length;
    } cases[] = {
        {"a", 0},         {"\xC5\x9E", 2},         {"\xC5", 0},         {"\xC0\x80", 0},
        {"\xE2\x82\xAC", 3}, {"\xE0\x80\x80", 0}, {"\xED\xA0\x80", 0}, {"\xF0\x9F\x98\x80", 4},
        {"\xF4\x90\x80\x80", 0}, {"\xE2\x82" "a", 0}, {"\x9E", 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(utf8SequenceLength(c.bytes, 0), c.length) << c.bytes.toHex().constData();
}
