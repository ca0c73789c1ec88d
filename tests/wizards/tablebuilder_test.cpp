// The HTML of the custom table and the quick table.
#include "markupreader.h"
#include "tablebuilder.h"

#include <gtest/gtest.h>

namespace Quorvant::Test {
namespace {

QString joined(const QStringList &pieces)
{
    return pieces.join(QString());
}

TEST(TableBuilder, DefaultsGiveOneEmptyCellIndented)
{
    EXPECT_EQ(joined(customTablePieces(TTableSettings{})),
              QStringLiteral("<TABLE>\r\n  <TR>\r\n      <TD></TD>\r\n  </TR>\r\n</TABLE>"));
}

TEST(TableBuilder, WorkedExampleWithCaptionAndCellWidth)
{
    TTableSettings s;
    s.rows = 1;
    s.columns = 2;
    s.width = QStringLiteral("80");
    s.percent = true;
    s.cellPadding = QStringLiteral("4");
    s.borderWidth = QStringLiteral("1");
    s.caption = QStringLiteral("Totals");
    s.captionAlignment = QStringLiteral("TOP");
    TTableCell name;
    name.text = QStringLiteral("Name");
    name.record.Width = QStringLiteral("30");
    TTableCell sum;
    sum.text = QStringLiteral("Sum");
    s.cells = {{name, sum}};
    const QStringList pieces = customTablePieces(s);
    EXPECT_EQ(pieces.first(), QStringLiteral("<TABLE WIDTH=\"80%\" CELLPADDING=\"4\" BORDER=\"1\">"));
    EXPECT_EQ(joined(pieces).split(QStringLiteral("\r\n")),
              QStringList({QStringLiteral("<TABLE WIDTH=\"80%\" CELLPADDING=\"4\" BORDER=\"1\">"),
                           QStringLiteral("  <CAPTION ALIGN=\"TOP\">Totals</CAPTION>"), QStringLiteral("  <TR>"),
                           QStringLiteral("      <TD Width=\"30\">Name</TD>"), QStringLiteral("      <TD>Sum</TD>"),
                           QStringLiteral("  </TR>"), QStringLiteral("</TABLE>")}));
}

TEST(TableBuilder, TableAttributesInOrderAndOnlyUnderTheirConditions)
{
    TTableSettings s;
    s.percent = true;  // with neither width nor height: nothing
    s.cellSpacing = QStringLiteral("2");
    s.cellAlignment = QStringLiteral("CENTER");
    s.useBackgroundColor = true;
    s.backgroundColor = QStringLiteral("Red");
    s.useBorderColor = true;  // checked, but no colour was ever chosen
    s.useBackgroundImage = true;  // checked, no file: written empty
    s.useLightDarkBorder = true;
    s.lightBorderColor = QStringLiteral("#FFFFF0");
    s.captionAlignment = QStringLiteral("TOP");  // without caption text
    const QStringList pieces = customTablePieces(s);
    EXPECT_EQ(pieces.at(0), QStringLiteral("<TABLE CELLSPACING=\"2\" ALIGN=\"CENTER\" BGCOLOR=\"Red\" BACKGROUND=\"\""
                                           " BORDERCOLORLIGHT=\"#FFFFF0\">"));
    EXPECT_EQ(pieces.at(1), QStringLiteral("\r\n  <CAPTION ALIGN=\"TOP\"></CAPTION>"));

    s.useBackgroundColor = false;  // unchecked boxes write nothing, whatever they hold
    s.useLightDarkBorder = false;
    s.useBackgroundImage = false;
    s.width = QStringLiteral("50");
    s.height = QStringLiteral("20");
    EXPECT_EQ(customTablePieces(s).at(0),
              QStringLiteral("<TABLE WIDTH=\"50%\" HEIGHT=\"20%\" CELLSPACING=\"2\" ALIGN=\"CENTER\">"));
}

TEST(TableBuilder, CellOptionsAndText)
{
    struct Case { TCD options; QString text; QString expected; };
    const Case cases[] = {
        {{}, {}, QStringLiteral("<TD></TD>")},
        {{QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("40"), QStringLiteral("10"), QStringLiteral("#1A2B3C")},
         QStringLiteral("x"), QStringLiteral("<TD RowSpan=\"2\" ColSpan=\"3\" Width=\"40\" Height=\"10\" BGColor=\"#1A2B3C\">x</TD>")},
        {{{}, {}, {}, {}, QStringLiteral("ScrollBar")}, {}, QStringLiteral("<TD></TD>")},
        // Values keep their quotes closed; the cell's text is the user's markup.
        {{{}, {}, QStringLiteral("a<&\"b"), {}, {}}, QStringLiteral("1 < 2 & 3\r\nline two"),
         QStringLiteral("<TD Width=\"a&lt;&amp;&quot;b\">1 < 2 & 3\r\nline two</TD>")},
    };
    for (const Case &c : cases) {
        const TCD &o = c.options;
        EXPECT_EQ(MakeTableSource(c.text, o.RowSpan, o.ColSpan, o.Width, o.Height, o.BgColor), c.expected);
    }
}

TEST(TableBuilder, LargestTableHasFortyThousandCells)
{
    TTableSettings s;
    s.rows = MaxTableRows;
    s.columns = MaxTableColumns;
    const QString html = joined(customTablePieces(s));
    EXPECT_EQ(html.count(QStringLiteral("<TD></TD>")), 40000);
    EXPECT_EQ(html.count(QStringLiteral("<TR>")), 200);
    EXPECT_TRUE(html.endsWith(QStringLiteral("  </TR>\r\n</TABLE>")));
}

TEST(TableBuilder, QuickTableHasNoAttributesAndSevenSpacesBeforeCells)
{
    EXPECT_EQ(joined(quickTablePieces(1, 2)).split(QStringLiteral("\r\n")),
              QStringList({QStringLiteral("<TABLE>"), QStringLiteral("<TR>"), QStringLiteral("       <TD></TD>"),
                           QStringLiteral("       <TD></TD>"), QStringLiteral("</TR>"), QStringLiteral("</TABLE>")}));
    const QString five = joined(quickTablePieces(5, 5));
    EXPECT_EQ(five.count(QStringLiteral("<TR>")), 5);
    EXPECT_EQ(five.count(QStringLiteral("<TD></TD>")), 25);
}

// A cell spanning columns or rows takes the places of the cells it covers:
// every row still holds as many columns as the table.
TEST(TableBuilder, SpannedCellsAreNotWritten)
{
    auto table = [](int rows, int columns, const QList<std::tuple<int, int, const char *, const char *>> &spans) {
        TTableSettings s;
        s.rows = rows;
        s.columns = columns;
        s.cells = QList<QList<TTableCell>>(rows, QList<TTableCell>(columns));
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c)
                s.cells[r][c].text = QStringLiteral("%1%2").arg(QChar(u'a' + r)).arg(c);
        }
        for (const auto &[r, c, rowSpan, colSpan] : spans) {
            s.cells[r][c].record.RowSpan = QLatin1String(rowSpan);
            s.cells[r][c].record.ColSpan = QLatin1String(colSpan);
        }
        // Each row's cells, as "text" or "text:rowspan/colspan".
        QStringList rowsWritten;
        for (const QString &row : joined(customTablePieces(s)).split(QStringLiteral("<TR>")).mid(1)) {
            QStringList cells;
            for (qsizetype i = row.indexOf(QLatin1String("<TD")); i >= 0; i = row.indexOf(QLatin1String("<TD"), i + 1)) {
                const ReadTag td = readStartTag(row, i);
                const QString text = row.mid(td.end, row.indexOf(QLatin1String("</TD>"), td.end) - td.end);
                cells << (td.attributes.isEmpty() ? text : text + u':' + td.value(QStringLiteral("RowSpan")) + u'/'
                                                               + td.value(QStringLiteral("ColSpan")));
            }
            rowsWritten << cells.join(u' ');
        }
        return rowsWritten;
    };
    struct Case { int rows, columns; QList<std::tuple<int, int, const char *, const char *>> spans; QStringList written; };
    const Case cases[] = {
        {1, 3, {{0, 0, "", "2"}}, {QStringLiteral("a0:/2 a2")}},
        {3, 2, {{0, 1, "2", ""}}, {QStringLiteral("a0 a1:2/"), QStringLiteral("b0"), QStringLiteral("c0 c1")}},
        // A block over rows and columns.
        {3, 3, {{0, 0, "2", "2"}}, {QStringLiteral("a0:2/2 a2"), QStringLiteral("b2"), QStringLiteral("c0 c1 c2")}},
        // Spans reaching past the table cover only what is there; a span
        // that is no whole number above 1 covers nothing.
        {2, 2, {{1, 0, "5", "9"}, {0, 0, "x", " 1 "}}, {QStringLiteral("a0:x/ 1  a1"), QStringLiteral("b0:5/9")}},
        // A cell covered by another is not written with its own spans.
        {2, 3, {{0, 0, "2", ""}, {1, 0, "", "3"}, {0, 1, "", "2"}}, {QStringLiteral("a0:2/ a1:/2"), QStringLiteral("b1 b2")}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(table(c.rows, c.columns, c.spans), c.written);
}

// Every field of the table dialog, holding what a user may type, reads back
// from the TABLE, CAPTION or TD tag as typed.
TEST(TypedValues, TableDialog)
{
    auto table = [](void (*set)(TTableSettings &, const QString &)) {
        return [set](const QString &typed) {
            TTableSettings s;
            s.cells = {{TTableCell{}}};
            set(s, typed);
            return joined(customTablePieces(s));
        };
    };
    auto read = [](const char *tag, const char *name) {
        return [tag, name](const QString &html) { return attributeOf(html, QLatin1String(tag), QLatin1String(name)); };
    };
    expectEveryFieldReadsBack({
        {"width", table([](TTableSettings &s, const QString &v) { s.width = v; }), read("TABLE", "WIDTH")},
        {"height", table([](TTableSettings &s, const QString &v) { s.height = v; }), read("TABLE", "HEIGHT")},
        {"cell spacing", table([](TTableSettings &s, const QString &v) { s.cellSpacing = v; }), read("TABLE", "CELLSPACING")},
        {"cell padding", table([](TTableSettings &s, const QString &v) { s.cellPadding = v; }), read("TABLE", "CELLPADDING")},
        {"cell alignment", table([](TTableSettings &s, const QString &v) { s.cellAlignment = v; }), read("TABLE", "ALIGN")},
        {"border width", table([](TTableSettings &s, const QString &v) { s.borderWidth = v; }), read("TABLE", "BORDER")},
        {"background colour", table([](TTableSettings &s, const QString &v) { s.useBackgroundColor = true; s.backgroundColor = v; }),
         read("TABLE", "BGCOLOR")},
        {"border colour", table([](TTableSettings &s, const QString &v) { s.useBorderColor = true; s.borderColor = v; }),
         read("TABLE", "BORDERCOLOR")},
        {"background image", table([](TTableSettings &s, const QString &v) { s.useBackgroundImage = true; s.backgroundImage = v; }),
         read("TABLE", "BACKGROUND")},
        {"light border", table([](TTableSettings &s, const QString &v) { s.useLightDarkBorder = true; s.lightBorderColor = v; }),
         read("TABLE", "BORDERCOLORLIGHT")},
        {"dark border", table([](TTableSettings &s, const QString &v) { s.useLightDarkBorder = true; s.darkBorderColor = v; }),
         read("TABLE", "BORDERCOLORDARK")},
        {"caption alignment", table([](TTableSettings &s, const QString &v) { s.captionAlignment = v; }), read("CAPTION", "ALIGN")},
        {"row span", table([](TTableSettings &s, const QString &v) { s.cells[0][0].record.RowSpan = v; }), read("TD", "RowSpan")},
        {"column span", table([](TTableSettings &s, const QString &v) { s.cells[0][0].record.ColSpan = v; }), read("TD", "ColSpan")},
        {"cell width", table([](TTableSettings &s, const QString &v) { s.cells[0][0].record.Width = v; }), read("TD", "Width")},
        {"cell height", table([](TTableSettings &s, const QString &v) { s.cells[0][0].record.Height = v; }), read("TD", "Height")},
        {"cell colour", table([](TTableSettings &s, const QString &v) { s.cells[0][0].record.BgColor = v; }), read("TD", "BGColor")},
    });
}

} // namespace
} // namespace Quorvant::Test
