// The HTML of the custom table and the quick table.
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

TEST(TableBuilder, CellOptionsAndTextAreWrittenAsTyped)
{
    struct Case { TCD options; QString text; QString expected; };
    const Case cases[] = {
        {{}, {}, QStringLiteral("<TD></TD>")},
        {{QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("40"), QStringLiteral("10"), QStringLiteral("#1A2B3C")},
         QStringLiteral("x"), QStringLiteral("<TD RowSpan=\"2\" ColSpan=\"3\" Width=\"40\" Height=\"10\" BGColor=\"#1A2B3C\">x</TD>")},
        {{{}, {}, {}, {}, QStringLiteral("ScrollBar")}, {}, QStringLiteral("<TD></TD>")},
        {{{}, {}, QStringLiteral("a<&\"b"), {}, {}}, QStringLiteral("1 < 2 & 3\r\nline two"),
         QStringLiteral("<TD Width=\"a<&\"b\">1 < 2 & 3\r\nline two</TD>")},
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

} // namespace
} // namespace Quorvant::Test
