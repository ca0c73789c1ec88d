// The tag database: attribute lists, choice values, Tag Insight, completion
// and the grid's reading and rebuilding of the tag at the caret.
#include "memoryeditor.h"
#include "tagdatabase.h"
#include "taglibtestsupport.h"
#include "toolkitglobals.h"

namespace Quorvant::Test {
namespace {

const QStringList Info{
    R"x(FONT="String(SIZE),ColorSelect(COLOR),ComboBox(FACE),ENDTAG(</FONT>)")x",
    R"x(IMG="FileSelect(SRC),String(ALT)")x",
    R"x(A="FileSelect(HREF),ComboBox(TARGET),endtag(</A>)")x",
    R"x(=nameless line)x",
    R"x(BR="String(CLEAR)")x",
    R"x(font="String(ID),Broken,String(),ENDTAG(</ignored>)")x",
};
const QStringList Data{
    "FONT(FACE)", "{", "Arial", "}",
    "A(TARGET)", "{", "_blank", "_top", "}",
    "font(face)", "{", "Verdana", "{", " Two words ", "}",
    "SELECT(SIZE(extra))", "{", "5", "}",
    "FONT(SIZE)", "{", "1", "2",
};

class TagDatabase : public ::testing::Test
{
protected:
    void SetUp() override
    {
        resetToolkitGlobals();
        db.LoadLines(Info, Data);
    }
    void TearDown() override { resetToolkitGlobals(); }
    TTagDatabase db;
    MemoryTextBuffer buffer;
};

TEST_F(TagDatabase, LoadNeedsBothFiles)
{
    TTagDatabase empty;
    QStringList lines;
    EXPECT_FALSE(empty.Load(QStringLiteral("/nonexistent/TagInfo.Dat"), QStringLiteral("/nonexistent/TagData.Dat")));
    EXPECT_FALSE(empty.isActive());
    setWithCaret(&buffer, "|");
    EXPECT_TRUE(empty.InsightFor(&buffer).Entries.isEmpty());
}

TEST_F(TagDatabase, AttributesOfEveryLineNamingTheTag)
{
    const TTagAttributes font = db.AttributesFor("Font");
    EXPECT_EQ(font.TagsToList, (QStringList{"SIZE", "COLOR", "FACE", "ID"}));
    EXPECT_EQ(font.TagsStyle, (QStringList{"String", "ColorSelect", "ComboBox", "String"}));
    EXPECT_EQ(db.AttributesFor("a").TagsToList, (QStringList{"HREF", "TARGET"}));
    EXPECT_TRUE(db.AttributesFor("TABLE").TagsToList.isEmpty());
    EXPECT_TRUE(db.AttributesFor("").TagsToList.isEmpty());
    EXPECT_EQ(db.AllTagNames(), (QStringList{"FONT", "IMG", "A", "BR", "font"}));
}

TEST_F(TagDatabase, EndTagComesFromTheFirstLineOnly)
{
    EXPECT_EQ(db.EndTagFor("font"), "</FONT>");
    EXPECT_EQ(db.EndTagFor("A"), "</A>");  // the style in any letter case
    EXPECT_EQ(db.EndTagFor("BR"), "");
    EXPECT_EQ(db.EndTagFor("/font"), "");
}

TEST_F(TagDatabase, ChoiceValuesOfEveryMatchingBlock)
{
    struct Case
    {
        QString tag, attribute;
        QStringList values;
    };
    const Case cases[] = {
        {"FONT", "FACE", {"Arial", "Verdana", " Two words "}},
        {"a", "target", {"_blank", "_top"}},
        {"SELECT", "SIZE", {"5"}},
        {"FONT", "SIZE", {"1", "2"}},  // an unclosed block runs to the end
        {"FONT", "COLOR", {}},
        {"", "FACE", {}},
        {"FONT", "", {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(db.LoadComboBoxData(c.tag, c.attribute), c.values) << c.tag.toStdString() << c.attribute.toStdString();
}

TEST(TagText, NameAndLastTag)
{
    const std::pair<QString, QString> names[] = {
        {"<font size=2>", "font"}, {"</b>", "/b"}, {"<br>", "br"}, {"<a=b>", "a"}, {"x <b <i", "i"}, {"", ""}, {"<", ""}};
    for (const auto &[text, name] : names)
        EXPECT_EQ(TTagDatabase::FindMainTag(text), name) << text.toStdString();

    const std::pair<QString, QString> last[] = {
        {R"(  <font size="2">)", R"(<font size="2">)"},
        {"<b>bold", "<b>"},
        {"<b>x<i", ""},           // a '<' before any '>'
        {"no tag", ""},
        {"a > b", ""},            // a '>' without '<'
        {"<a><b>", "<b>"},
        {R"(<a title="x>y">)", R"(<a title="x>y">)"},
    };
    for (const auto &[text, tag] : last)
        EXPECT_EQ(TTagDatabase::GetLastTag(text), tag) << text.toStdString();
}

TEST_F(TagDatabase, CompletionEndTag)
{
    const std::pair<QString, QString> cases[] = {
        {R"(<font size="2">)", "</FONT>"},
        {"</font>", ""},
        {"<br>", ""},
        {"<table>", ""},
        {"text <FONT>", "</FONT>"},
        {"<font", ""},
        {R"(<a title="x>y">)", ""},  // not one clean tag
    };
    for (const auto &[left, end] : cases)
        EXPECT_EQ(db.CompletionEndTag(left), end) << left.toStdString();
}

TEST_F(TagDatabase, CompletionInsertsAfterTheCaretInTheTagCase)
{
    setWithCaret(&buffer, R"(<font size="2">|text)");
    EXPECT_EQ(db.RunTagCompletion(&buffer), "</FONT>");
    EXPECT_EQ(withCaret(&buffer), R"(<font size="2">|</font>text)");
    EXPECT_TRUE(buffer.isModified());

    gInsertTagsInLowercase = false;
    setWithCaret(&buffer, "<font>|");
    db.RunTagCompletion(&buffer);
    EXPECT_EQ(withCaret(&buffer), "<font>|</FONT>");

    setWithCaret(&buffer, "</font>|");
    EXPECT_EQ(db.RunTagCompletion(&buffer), "");
    EXPECT_EQ(withCaret(&buffer), "</font>|");
}

TEST_F(TagDatabase, InsightListsAllTagsOutsideATagAndAttributesInside)
{
    struct Case
    {
        QString doc;
        bool all;
        QStringList entries;
        bool space;
    };
    const QStringList all{"FONT", "IMG", "A", "BR", "font"};
    const Case cases[] = {
        {"|", true, all, false},
        {"<b>text|", true, all, false},
        {"<font|", false, {"SIZE", "COLOR", "FACE", "ID"}, true},
        {"<font |", false, {"SIZE", "COLOR", "FACE", "ID"}, false},
        {R"(<img src="a.gif"| alt="">)", false, {"SRC", "ALT"}, true},
        {"<table |", false, {}, false},
        {"<|", false, {}, false},
    };
    for (const Case &c : cases) {
        setWithCaret(&buffer, c.doc);
        const TInsightList list = db.InsightFor(&buffer);
        EXPECT_EQ(list.ShowAllTags, c.all) << c.doc.toStdString();
        EXPECT_EQ(list.Entries, c.entries) << c.doc.toStdString();
        EXPECT_EQ(list.InsightSpace, c.space) << c.doc.toStdString();
    }
}

TEST_F(TagDatabase, ChoosingAnInsightEntry)
{
    setWithCaret(&buffer, "|");
    db.InsertInsightEntry(&buffer, db.InsightFor(&buffer), "FONT");
    EXPECT_EQ(withCaret(&buffer), "<font>|</font>");

    setWithCaret(&buffer, "|");
    db.InsertInsightEntry(&buffer, db.InsightFor(&buffer), "IMG");  // no end tag known
    EXPECT_EQ(withCaret(&buffer), "<img>|");

    // The attribute keeps the database's letter case: no '<', no case change.
    setWithCaret(&buffer, "<font|");
    db.InsertInsightEntry(&buffer, db.InsightFor(&buffer), "SIZE");
    EXPECT_EQ(withCaret(&buffer), R"(<font SIZE="|")");

    setWithCaret(&buffer, "<font |>");
    db.InsertInsightEntry(&buffer, db.InsightFor(&buffer), "FACE");
    EXPECT_EQ(withCaret(&buffer), R"(<font FACE="|">)");
}

TEST(CaretTag, InsideWhenTheLastLessThanFollowsTheLastGreaterThan)
{
    struct Case
    {
        QString line;
        int x;
        bool inside;
        QString text;
    };
    const Case cases[] = {
        {"<font size=2>text", 5, true, "<font size=2>"},
        {"<font size=2>text", 12, true, "<font size=2>"},  // caret just before '>'
        {"<font size=2 <b>x", 3, true, "<font size=2 "},  // an unclosed tag ends at the next tag
        {"<font size=2>text", 14, false, ""},
        {"<b>x<i class", 12, true, "<i class"},
        {R"(<a title="a>b" href=x>text)", 17, true, R"(<a title="a>b" href=x>)"},  // '>' in a value
        {R"(<a title="a>b" href=x>text)", 12, true, R"(<a title="a>b" href=x>)"},  // caret in the value
        {R"(<a title='x<y' id=1>z)", 16, true, R"(<a title='x<y' id=1>)"},
        {R"(<a title="a>b" href=x>text)", 23, false, ""},
        {R"(<img alt="open src=x>)", 5, true, R"(<img alt="open src=x>)"},  // unclosed quote
        {"<b>", 4, false, ""},  // beyond the end
        {"", 0, false, ""},
    };
    for (const Case &c : cases) {
        const TCaretTag t = CaretTag(c.line, c.x);
        EXPECT_EQ(t.Inside, c.inside) << c.line.toStdString() << " " << c.x;
        EXPECT_EQ(t.TagText, c.text) << c.line.toStdString() << " " << c.x;
    }
}

TEST(TagValueItems, SplitsAtBlanksOutsideQuotes)
{
    EXPECT_EQ(TTagDatabase::TagValueItems(R"(<font size="2" color=red>)"),
              (QStringList{R"(size="2")", "", " color=red>"}));
    EXPECT_TRUE(TTagDatabase::TagValueItems("<font>").isEmpty());
    EXPECT_TRUE(TTagDatabase::TagValueItems("<font").isEmpty());
}

TEST_F(TagDatabase, GridShowsTheValuesOfTheTag)
{
    struct Case
    {
        QString tag;
        QList<TGridRow> rows;
    };
    const Case cases[] = {
        {R"(<img src="a.gif" alt="two words">)", {{"SRC", "a.gif"}, {"ALT", "two words"}}},
        {R"(<a href="page.asp?id=1&x=2">)", {{"HREF", "page.asp?id=1&x=2"}, {"TARGET", ""}}},
        {R"(<font size = "3">)", {{"SIZE", ""}, {"COLOR", ""}, {"FACE", ""}, {"ID", ""}}},
        {"<font face='Arial Black' size=1 size=2 color>",
         {{"SIZE", "1"}, {"COLOR", ""}, {"FACE", "Arial Black"}, {"ID", ""}}},
        // Quoted values are read whole: blanks and '>' inside them are text.
        {R"(<img alt="a > b" src='x y.gif'>)", {{"SRC", "x y.gif"}, {"ALT", "a > b"}}},
        {"<img alt=don't src=a.gif>", {{"SRC", "a.gif"}, {"ALT", "don't"}}},
        {"<table border=1>", {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(db.GridRowsFor(c.tag), c.rows) << c.tag.toStdString();
    QStringList styles;
    db.GridRowsFor("<a>", &styles);
    EXPECT_EQ(styles, (QStringList{"FileSelect", "ComboBox"}));
}

TEST(RebuildTagLine, WritesTheGridBackIntoTheTagAtTheCaret)
{
    using Rows = QList<TGridRow>;
    struct Case
    {
        const char *name;
        QString line;
        int x;
        QString tag;
        Rows rows;
        QString expected;  // empty: nothing changes
    };
    const Case cases[] = {
        {"colour chosen", "<font size=2>text", 3, "font", {{"SIZE", "2"}, {"COLOR", "Red"}, {"FACE", ""}},
         R"(<font size="2" color="Red">text)"},
        {"only value cleared", R"(a <font size="2"> b)", 4, "font", {{"SIZE", ""}}, "a <font> b"},
        {"blanks only drop the attribute", R"(<font size="2">)", 2, "font", {{"SIZE", "   "}}, "<font>"},
        {"surrounding blanks kept", "<font>", 2, "font", {{"SIZE", " 3 "}}, R"(<font size=" 3 ">)"},
        {"unclosed at the line end", R"(x <font size="2")", 5, "font", {{"SIZE", "4"}}, R"(x <font size="4">)"},
        {"unclosed before the next tag", R"(<font size="2" <b>bold</b>)", 3, "font", {{"SIZE", "4"}},
         R"(<font size="4"><b>bold</b>)"},
        {"unlisted attributes kept", R"x(<font size=2 onclick="go(1, 2)" data-x = 'a b'>)x", 3, "font",
         {{"SIZE", "5"}, {"COLOR", ""}}, R"x(<font size="5" onclick="go(1, 2)" data-x = 'a b'>)x"},
        {"self-closing slash kept", "<br />", 2, "br", {{"CLEAR", "all"}}, R"(<br clear="all" />)"},
        {"single-quoted value rewritten whole", "<div class='a b'>", 3, "div", {{"CLASS", "a b c"}},
         R"(<div class="a b c">)"},
        {"'>' inside a quoted value", R"(<a title="a>b" href=x>text)", 2, "a", {{"HREF", "y"}, {"TITLE", "a>b"}},
         R"(<a href="y" title="a>b">text)"},
        {"a value holding a double quote", "<img>", 2, "img", {{"ALT", "say \"hi\""}},
         R"(<img alt='say "hi"'>)"},
        {"caret outside the tag", "<font size=2>text", 15, "font", {{"SIZE", "3"}}, ""},
        {"another tag at the caret", "<b>text", 2, "font", {{"SIZE", "3"}}, ""},
        {"tag without rows", "<table border=1>", 3, "table", {}, ""},
        {"nothing to change", R"(<font size="2">)", 3, "font", {{"SIZE", "2"}}, ""},
    };
    for (const Case &c : cases) {
        QString out;
        const bool changed = TTagDatabase::RebuildTagLine(c.line, c.x, c.tag, c.rows, &out);
        EXPECT_EQ(changed, !c.expected.isEmpty()) << c.name;
        if (changed) {
            EXPECT_EQ(out, c.expected) << c.name;
        }
    }
    // With tags in upper case the names follow; values and unlisted attributes stay as written.
    InsertInLowerCase(false);
    QString out;
    EXPECT_TRUE(TTagDatabase::RebuildTagLine(R"(<font size="2" data-x='a b'>)", 3, "font", {{"SIZE", "3"}, {"COLOR", "Red"}}, &out));
    EXPECT_EQ(out, R"(<FONT SIZE="3" COLOR="Red" data-x='a b'>)");
    resetToolkitGlobals();
}

TEST_F(TagDatabase, WriteNewTagChangesOnlyTheTagAndMarksTheDocument)
{
    setWithCaret(&buffer, "<p>first</p>\r\n<font s|ize=2>text\r\nlast");
    ASSERT_TRUE(TTagDatabase::WriteNewTag(&buffer, "font", {{"SIZE", "2"}, {"COLOR", "Red"}}));
    EXPECT_EQ(withCaret(&buffer), "<p>first</p>\r\n<font s|ize=\"2\" color=\"Red\">text\r\nlast");
    EXPECT_TRUE(buffer.isModified());
    buffer.undo();
    EXPECT_EQ(buffer.text(), "<p>first</p>\r\n<font size=2>text\r\nlast");

    setWithCaret(&buffer, "<b>|text");
    EXPECT_FALSE(TTagDatabase::WriteNewTag(&buffer, "font", {{"SIZE", "2"}}));
    EXPECT_FALSE(buffer.isModified());
}

} // namespace
} // namespace Quorvant::Test
