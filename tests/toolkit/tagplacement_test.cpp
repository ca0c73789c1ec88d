// Tag case and ptext, the one insertion routine, on both editor buffers.
#include "tagplacement.h"
#include "toolkitglobals.h"
#include "toolkittestsupport.h"

using namespace Qt::StringLiterals;

namespace Quorvant::Test {
namespace {

TEST(SetTagCase, ConvertsOnlyTagTextOutsideDoubleQuotes)
{
    struct Case
    {
        QString tag;
        bool lower;
        QString expected;
    };
    const Case cases[] = {
        {R"(<A HREF="Index.htm">)", true, R"(<a href="Index.htm">)"},
        {R"(<a href="page.htm">)", false, R"(<A HREF="page.htm">)"},
        {"Hello <B>World</B>", true, "Hello <b>World</b>"},
        {"&Eacute;", true, "&Eacute;"},
        {"Explanation Line", false, "Explanation Line"},
        {"<A HREF='Index.htm'>", true, "<a href='index.htm'>"},
        {R"(<IMG ALT="open SRC=X>)", true, R"(<img alt="open SRC=X>)"},
        {R"(He said "<B>" <I>)", true, R"(He said "<B>" <i>)"},
        {"<TABLE BORDER=\"1\">", true, "<table border=\"1\">"},
        {QString::fromUtf8("<ÉTÉ>"), true, QString::fromUtf8("<été>")},
        {"<b>x</b>", false, "<B>x</B>"},
        {"a > b <C>", true, "a > b <c>"},
        {"", true, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SetTagCase(c.tag, c.lower), c.expected) << c.tag.toStdString();
}

class Ptext : public BufferTest
{
};

TEST_P(Ptext, InsertsAroundTheSelectionOrAtTheCaret)
{
    struct Case
    {
        const char *name;
        QString document;
        QString beg;
        QString fin;
        bool lower;
        QString expected;
    };
    const Case cases[] = {
        {"empty line, lower case", "|", R"(<TABLE BORDER="1">)", "</TABLE>", true, R"(<table border="1">|</table>)"},
        {"upper case", "|", R"(<a href="page.htm">)", "", false, R"(<A HREF="page.htm">|)"},
        {"caret in a line", "ab|cd", "<b>", "</b>", true, "ab<b>|</b>cd"},
        {"start tag on a selection", "x {abc} y", "<", ">", true, "x <{abc|}> y"},
        {"selection made backwards", "x {|abc} y", "<b>", "</b>", true, "x <b>{abc|}</b> y"},
        {"word", "{word}", "<B>", "</B>", true, "<b>{word|}</b>"},
        {"three lines", "a{bc\r\ndef\r\ngh}i", "<div>", "</div>", true, "a<div>{bc\r\ndef\r\ngh|}</div>i"},
        {"whole lines", "{one\r\ntwo\r\n}three", "<p>", "</p>", true, "<p>{one\r\ntwo\r\n|}</p>three"},
        {"no end text", "a{bc}d", "<br>", "", true, "a<br>{bc|}d"},
        {"no start text", "a{bc}d", "", "<br>", true, "a{bc|}<br>d"},
        {"line break first, no selection", "ab|", "\r\n<BR>", "", true, "ab\r\n<br>|"},
        {"line break first, selection", "a{bc}d", "\r\n<BR>", "</X>", true, "a\r\n<br>{bc|}</x>d"},
        {"line break first, multi-line selection", "a{b\r\nc}d", "\r\n<BR>", "</X>", true, "a\r\n<br>{b\r\nc|}</x>d"},
        {"end text over lines", "x|y", "<ul>", "\r\n</ul>", true, "x<ul>|\r\n</ul>y"},
        {"both over lines", "|", "<ul>\r\n<li>", "\r\n</ul>", true, "<ul>\r\n<li>|\r\n</ul>"},
        {"the selection keeps its case", "{Mixed <B>Case</B>}", "<I>", "</I>", true, "<i>{Mixed <B>Case</B>|}</i>"},
        {"caret on the last line", "a\r\nb|", "<hr>", "", true, "a\r\nb<hr>|"},
        {"after an emoji", u"\U0001F600 |x"_s, "<b>", "</b>", true, u"\U0001F600 <b>|</b>x"_s},
        {"around CJK text after a combining accent", u"e\u0301{\u6F22\u5B57}"_s, "<i>", "</i>", true,
         u"e\u0301<i>{\u6F22\u5B57|}</i>"_s},
    };
    for (const Case &c : cases) {
        gInsertTagsInLowercase = c.lower;
        setMarked(buffer(), c.document);
        ptext(buffer(), c.beg, c.fin);
        EXPECT_EQ(marked(buffer()), c.expected) << c.name;
        EXPECT_TRUE(buffer()->isModified()) << c.name;
        // One undo step brings the document back.
        buffer()->undo();
        EXPECT_EQ(buffer()->text(), unmarked(c.document)) << c.name;
        EXPECT_FALSE(buffer()->isModified()) << c.name;
    }
}

TEST_P(Ptext, NoCaseChangeInsertsTheTextsAsGiven)
{
    gNoCaseChange = true;
    setMarked(buffer(), QStringLiteral("|"));
    ptext(buffer(), QStringLiteral("<SCRIPT Language=\"JavaScript\">"), QStringLiteral("</Script>"));
    EXPECT_EQ(marked(buffer()), QStringLiteral("<SCRIPT Language=\"JavaScript\">|</Script>"));
}

TEST_P(Ptext, ConsecutiveCallsBuildOneInsertion)
{
    // Without a selection each call continues at the caret.
    setMarked(buffer(), QStringLiteral("|"));
    ptext(buffer(), QStringLiteral("<UL>"), QString());
    ptext(buffer(), QStringLiteral("\r\n<LI>"), QString());
    ptext(buffer(), QStringLiteral("\r\n</UL>"), QString());
    EXPECT_EQ(marked(buffer()), QStringLiteral("<ul>\r\n<li>\r\n</ul>|"));

    // With a selection each call wraps the same, still selected, text.
    setMarked(buffer(), QStringLiteral("{x}"));
    ptext(buffer(), QStringLiteral("<B>"), QStringLiteral("</B>"));
    ptext(buffer(), QStringLiteral("<I>"), QStringLiteral("</I>"));
    EXPECT_EQ(marked(buffer()), QStringLiteral("<b><i>{x|}</i></b>"));
}

TEST_P(Ptext, EmptyTextsChangeNothing)
{
    setMarked(buffer(), QStringLiteral("a|b"));
    ptext(buffer(), QString(), QString());
    EXPECT_EQ(marked(buffer()), QStringLiteral("a|b"));
    EXPECT_FALSE(buffer()->isModified());
}

TEST_P(Ptext, ReadOnlyAndNullBuffersAreLeftAlone)
{
    setMarked(buffer(), QStringLiteral("a{b}c"));
    buffer()->setReadOnly(true);
    ptext(buffer(), QStringLiteral("<b>"), QStringLiteral("</b>"));
    EXPECT_EQ(marked(buffer()), QStringLiteral("a{b|}c"));
    EXPECT_FALSE(buffer()->isModified());
    ptext(nullptr, QStringLiteral("<b>"), QString());
}

TEST_P(Ptext, StartAndEndTagCommands)
{
    setMarked(buffer(), QStringLiteral("x {abc} y"));
    InsertStartTag(buffer());
    EXPECT_EQ(marked(buffer()), QStringLiteral("x <{abc|}> y"));
    setMarked(buffer(), QStringLiteral("|"));
    InsertEndTag(buffer());
    EXPECT_EQ(marked(buffer()), QStringLiteral("</|>"));
}

TEST_P(Ptext, PlacingTagLibraryRows)
{
    struct Case
    {
        QString start;
        QString end;
        QString expected;
        bool focus;
    };
    const Case cases[] = {
        {"<B>", "</B>", "<b>|</b>", false},
        {"N/A", "<HR>", "<hr>|", true},
        {"<BR>", "N/A", "<br>|", true},
        {"N/A", "N/A", "N/A|", true},
    };
    for (const Case &c : cases) {
        setMarked(buffer(), QStringLiteral("|"));
        EXPECT_EQ(PlaceSelectedTag(buffer(), c.start, c.end), c.focus) << c.start.toStdString();
        EXPECT_EQ(marked(buffer()), c.expected) << c.start.toStdString();
    }

    setMarked(buffer(), QStringLiteral("|"));
    EXPECT_FALSE(PlaceExtendedTag(buffer(), QStringLiteral("N/A")));
    EXPECT_FALSE(PlaceExtendedTag(buffer(), QString()));
    EXPECT_EQ(marked(buffer()), QStringLiteral("|"));
    EXPECT_TRUE(PlaceExtendedTag(buffer(), QStringLiteral("<TABLE BORDER=1>")));
    EXPECT_EQ(marked(buffer()), QStringLiteral("<table border=1>|"));
}

QUORVANT_BOTH_BUFFERS(Ptext);

} // namespace
} // namespace Quorvant::Test
