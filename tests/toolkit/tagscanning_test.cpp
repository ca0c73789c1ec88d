// Tag scanning primitives: fields, attribute values, the word and the tag at
// the caret, the page title, and the small string helpers.
#include "memoryeditor.h"
#include "tagscanning.h"
#include "toolkittestsupport.h"

using namespace Qt::StringLiterals;

namespace Quorvant::Test {
namespace {

TEST(GetValue, FieldsOfADelimitedString)
{
    struct Case
    {
        int position;
        QChar delimiter;
        QString source;
        QString expected;
    };
    const Case cases[] = {
        {0, u'|', "a", ""},  // shorter than 2 characters
        {0, u'|', "", ""},
        {0, u'|', "ab|cd", "ab"},
        {1, u'|', "ab|cd", "cd"},
        {2, u'|', "ab|cd", ""},
        {-1, u'|', "ab|cd", ""},
        {1, u'|', "ab||cd", ""},
        {2, u'|', "ab||cd", "cd"},
        {0, u'|', "abcd", "abcd"},
        {1, u'|', "abcd", ""},
        {0, u'|', "|x", ""},
        {1, u'|', "x|", ""},
        {1, u'=', "SIZE=\"2\"", "\"2\""},  // no unquoting
        {1, u',', " a , b ", " b "},       // no trimming
    };
    for (const Case &c : cases)
        EXPECT_EQ(GetValue(c.position, c.delimiter, c.source), c.expected)
            << c.position << " of " << c.source.toStdString();
}

TEST(GetTagValue, AttributeValues)
{
    struct Case
    {
        QString source;
        QString name;
        QString expected;
    };
    const Case cases[] = {
        {R"(<BODY BGCOLOR="#FFFFFF" TEXT="#000000">)", "bgcolor", "#FFFFFF"},
        {R"(<BODY BGCOLOR="#FFFFFF" TEXT="#000000">)", "TEXT", "#000000"},
        // The name matches whole: LINK does not find VLINK.
        {R"(<body vlink="red" link="blue">)", "LINK", "blue"},
        {R"(<body alink="x" vlink="red">)", "LINK", ""},
        // A double-quoted value is read whole.
        {R"(<img alt="a b">)", "alt", "a b"},
        {R"(<img alt="two words" src=x.gif>)", "ALT", "two words"},
        {R"(<a href="page.asp?id=1&x=2">)", "href", "page.asp?id=1&x=2"},
        {R"(<a title="a>b" href=x>)", "title", "a>b"},
        {R"(<a title="">)", "title", ""},
        // Names inside another attribute's value are not attributes.
        {R"(<img alt="width=5" width="10">)", "width", "10"},
        {"<img alt='width=5' width=10>", "width", "10"},
        // Unquoted values end at a blank or '>'; single quotes stay.
        {"<font size=2 color=red>", "size", "2"},
        {"<font color=red>", "color", "red"},
        {"<font face='Arial Black'>", "face", "'Arial"},
        {"<a href=page.asp?id=1>", "href", "page.asp?id=1"},
        {"bgcolor=red", "bgcolor", "red"},
        // Blanks around '=' and line breaks inside a tag.
        {R"(<font size = "3">)", "size", "3"},
        {"<a\r\nhref=\"x\">", "href", "x"},
        // No value, no name, the tag's own name, unterminated quotes.
        {"<input checked>", "checked", ""},
        {"<option selected value=\"x\">", "selected", ""},
        {"<body>", "body", ""},
        {R"(<img src="a.gif">)", "alt", ""},
        {R"(<img alt="open)", "alt", "open"},
        {R"(<img alt="open> src=x)", "alt", "open"},
        {"<img alt=", "alt", ""},
        {"", "alt", ""},
        {"<img alt=x>", "", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(GetTagValue(c.source, c.name), c.expected) << c.name.toStdString() << " in " << c.source.toStdString();
}

class TagAtCursor : public BufferTest
{
};

TEST_P(TagAtCursor, WordUnderTheCaret)
{
    struct Case
    {
        QString document;
        QString expected;
    };
    const Case cases[] = {
        {R"(<ta|ble border="1">)", "table"},
        {R"(<table bor|der="1">)", R"("1")"},
        {"<b>|", "b"},
        {"|<b>", "b"},
        {"text |more", "text"},
        {"|", ""},
        {"<p>\r\n|", ""},
        {"abc|", "abc"},
        {"a=b|c d", "bc"},
        {"first\r\n<i|mg src=x>", "img"},
        // Columns past an emoji, a combining accent, CJK text.
        {u"\U0001F600 <fo|nt size=2>"_s, "font"},
        {u"e\u0301<ta|ble>"_s, "table"},
        {u"\u6F22\u5B57 <b|r>"_s, "br"},
    };
    for (const Case &c : cases) {
        setMarked(buffer(), c.document);
        EXPECT_EQ(GetTagAtCursor(buffer()), c.expected) << c.document.toStdString();
        EXPECT_EQ(marked(buffer()), c.document) << "the caret must not move";
    }
}

TEST_P(TagAtCursor, NullBufferIsEmpty)
{
    EXPECT_EQ(GetTagAtCursor(nullptr), QString());
}

QUORVANT_BOTH_BUFFERS(TagAtCursor);

class TagAtCaret : public BufferTest
{
};

TEST_P(TagAtCaret, FindsAndSelectsTheTagAroundTheCaret)
{
    struct Case
    {
        QString document;
        QString expected;
        QString afterSelect;  // the document after SelectIt true
    };
    const Case cases[] = {
        {"<|b>", "<b>", "{<b>|}"},
        {"x <b|r> y", "<br>", "x {<br>|} y"},
        {"<a|\r\nhref=\"x\">text", "<a\r\nhref=\"x\">", "{<a\r\nhref=\"x\">|}text"},
        {"<a\r\n|href=\"x\">", "<a\r\nhref=\"x\">", "{<a\r\nhref=\"x\">|}"},
        {"<a\r\n\r\nhref=\"x\"\r\n|>", "<a\r\n\r\nhref=\"x\"\r\n>", "{<a\r\n\r\nhref=\"x\"\r\n>|}"},
        // '<' does not stop the forward search.
        {"<a |<b>", "<a <b>", "{<a <b>|}"},
        {"<|>", "<>", "{<>|}"},
        {"|<b>", "", "|<b>"},            // start of the document first
        {"<b>|", "", "<b>|"},            // directly after a '>'
        {"<b>|text", "", "<b>|text"},
        {"<b|", "", "<b|"},              // no '>' after the caret
        {"<b|\r\nno end", "", "<b|\r\nno end"},
        {"|", "", "|"},
        {"plain |text", "", "plain |text"},
        {"<<|<", "", "<<|<"},
        {"<b>\r\n|", "", "<b>\r\n|"},
        {u"\U0001F600 <font s|ize=2> x"_s, "<font size=2>", u"\U0001F600 {<font size=2>|} x"_s},
        {u"\U0001F600\U0001F600<|b>"_s, "<b>", u"\U0001F600\U0001F600{<b>|}"_s},
        {u"e\u0301 <i|>\u00E9"_s, "<i>", u"e\u0301 {<i>|}\u00E9"_s},
        {u"\u6F22\u5B57<a hr|ef=x>\u6F22"_s, "<a href=x>", u"\u6F22\u5B57{<a href=x>|}\u6F22"_s},
    };
    for (const Case &c : cases) {
        setMarked(buffer(), c.document);
        EXPECT_EQ(GetTagAtCaret(buffer(), false), c.expected) << c.document.toStdString();
        EXPECT_EQ(marked(buffer()), c.document) << "the caret goes back, nothing stays selected";

        setMarked(buffer(), c.document);
        EXPECT_EQ(GetTagAtCaret(buffer(), true), c.expected) << c.document.toStdString();
        EXPECT_EQ(marked(buffer()), c.afterSelect) << c.document.toStdString();
        EXPECT_FALSE(buffer()->isModified());
    }
}

TEST_P(TagAtCaret, AnEarlierSelection)
{
    // Found without SelectIt: the caret goes back and the selection is gone.
    setMarked(buffer(), QStringLiteral("<a {href}=x>"));
    EXPECT_EQ(GetTagAtCaret(buffer(), false), QStringLiteral("<a href=x>"));
    EXPECT_EQ(marked(buffer()), QStringLiteral("<a href|=x>"));
    // Not found: the selection stays as it was.
    setMarked(buffer(), QStringLiteral("<b>{|text}"));
    EXPECT_EQ(GetTagAtCaret(buffer(), true), QString());
    EXPECT_EQ(marked(buffer()), QStringLiteral("<b>{|text}"));
}

TEST_P(TagAtCaret, CaretBeyondTheLineEndReadsNothingOutOfRange)
{
    // The buffer clamps the caret; the scan is bounded by the line anyway.
    buffer()->setText(QStringLiteral("<b\r\nc>"));
    buffer()->setCaretPoint({50, 0});
    EXPECT_EQ(GetTagAtCaret(buffer(), true), QStringLiteral("<b\r\nc>"));
}

TEST_P(TagAtCaret, OneLineWithoutTagsOfAnyLength)
{
    const QString text(200000, u'x');
    buffer()->setText(text + QStringLiteral("\r\n") + text);
    buffer()->setCaretPoint({100000, 1});
    EXPECT_EQ(GetTagAtCaret(buffer(), true), QString());
    EXPECT_EQ(buffer()->caretPoint(), (CaretPoint{100000, 1}));
}

TEST_P(TagAtCaret, SelectTagAtCaretCommand)
{
    setMarked(buffer(), QStringLiteral("<p>\r\n<img s|rc=\"a.gif\">after"));
    SelectTagAtCaret(buffer());
    EXPECT_EQ(marked(buffer()), QStringLiteral("<p>\r\n{<img src=\"a.gif\">|}after"));
}

TEST_P(TagAtCaret, NullBuffer)
{
    EXPECT_EQ(GetTagAtCaret(nullptr, true), QString());
}

QUORVANT_BOTH_BUFFERS(TagAtCaret);

// A buffer whose caret can stand where the editors never put it, to show
// that the scanners stay within the lines whatever they are told.
class UnclampedCaretBuffer : public MemoryTextBuffer
{
public:
    CaretPoint caretPoint() const override { return m_reported ? m_caret : MemoryTextBuffer::caretPoint(); }
    void report(CaretPoint p)
    {
        m_caret = p;
        m_reported = true;
    }
    void setCaretPoint(CaretPoint p) override
    {
        m_reported = false;
        MemoryTextBuffer::setCaretPoint(p);
    }
    void setSelection(SelectionRect r) override
    {
        m_reported = false;
        MemoryTextBuffer::setSelection(r);
    }

private:
    CaretPoint m_caret;
    bool m_reported = false;
};

TEST(ScannersOutOfRange, CaretsOutsideTheText)
{
    UnclampedCaretBuffer b;
    b.setText(QStringLiteral("<a b\r\nc=d>"));
    struct Case
    {
        CaretPoint caret;
        QString atCursor;
        QString atCaret;
    };
    const Case cases[] = {
        {{40, 0}, "b", "<a b\r\nc=d>"},  // beyond the end of the first line
        {{40, 1}, "", ""},                 // beyond the last '>'
        {{0, 5}, "", ""},                  // below the last line
        {{-3, 0}, "a", ""},
        {{2, -1}, "", ""},
    };
    for (const Case &c : cases) {
        b.report(c.caret);
        EXPECT_EQ(GetTagAtCursor(&b), c.atCursor) << c.caret.x << "," << c.caret.y;
        b.report(c.caret);
        EXPECT_EQ(GetTagAtCaret(&b, false), c.atCaret) << c.caret.x << "," << c.caret.y;
    }
}

class PageTitle : public BufferTest
{
};

TEST_P(PageTitle, TextOfTheFirstTitleElement)
{
    struct Case
    {
        QString document;
        QString expected;
        QString selected;  // the document after SelectIt true
    };
    const Case cases[] = {
        {"|<html><body>x</body></html>", "", "|<html><body>x</body></html>"},
        {"|", "", "|"},
        {"|<title>A</title>", "A", "{<title>A</title>|}"},
        {"|<TITLE>My page</TITLE>", "My page", "{<TITLE>My page</TITLE>|}"},
        {"|<head><TiTlE>x</tItLe></head>", "x", "<head>{<TiTlE>x</tItLe>|}</head>"},
        {"|<TITLE>\r\nLong\r\nTitle</TITLE>", "LongTitle", "{<TITLE>\r\nLong\r\nTitle</TITLE>|}"},
        {"|<TITLE>\r\n\r\nA\r\n\r\nB</TITLE>x", "AB", "{<TITLE>\r\n\r\nA\r\n\r\nB</TITLE>|}x"},
        // The title ends at its end tag: '>' and '<' inside are text.
        {"|<TITLE>a > b</TITLE>", "a > b", "{<TITLE>a > b</TITLE>|}"},
        {"|<TITLE>a<b>c</TITLE>", "a<b>c", "{<TITLE>a<b>c</TITLE>|}"},
        {"|<TITLE></TITLE>", "", "{<TITLE></TITLE>|}"},
        // Only the exact start tag is found.
        {"|<TITLE id=x>A</TITLE>", "", "|<TITLE id=x>A</TITLE>"},
        {"|< TITLE>A</TITLE>", "", "|< TITLE>A</TITLE>"},
        {"|<title>one</title><title>two</title>", "one", "{<title>one</title>|}<title>two</title>"},
        // No end tag: the title runs to the next '<' and the span stops there.
        {"|<title>Open\r\n</head>\r\n<body>", "Open", "{<title>Open\r\n|}</head>\r\n<body>"},
        {"|<title>Open to the end", "Open to the end", "{<title>Open to the end|}"},
        {"|<title>", "", "{<title>|}"},
    };
    for (const Case &c : cases) {
        setMarked(buffer(), c.document);
        EXPECT_EQ(GetPageTitle(buffer(), false), c.expected) << c.document.toStdString();
        EXPECT_EQ(marked(buffer()), c.document) << "nothing may change";
        EXPECT_EQ(GetPageTitle(buffer(), true), c.expected);
        EXPECT_EQ(marked(buffer()), c.selected) << c.document.toStdString();
    }
}

TEST_P(PageTitle, ReplacingTheSpanLeavesNothingOfTheOldTitle)
{
    setMarked(buffer(), QStringLiteral("<head><title>a > b</title></head>"));
    ASSERT_EQ(GetPageTitle(buffer(), true), QStringLiteral("a > b"));
    buffer()->setSelText(QStringLiteral("<title>New</title>"));
    EXPECT_EQ(buffer()->text(), QStringLiteral("<head><title>New</title></head>"));
}

TEST_P(PageTitle, FindPageTitleGivesTheSpan)
{
    setMarked(buffer(), QStringLiteral("<html>\r\n  <title>T</title>"));
    const PageTitleInfo info = FindPageTitle(buffer());
    EXPECT_TRUE(info.found);
    EXPECT_EQ(info.title, QStringLiteral("T"));
    EXPECT_EQ(info.start, (CaretPoint{2, 1}));
    EXPECT_EQ(info.end, (CaretPoint{18, 1}));
}

QUORVANT_BOTH_BUFFERS(PageTitle);

class MarkNavigateTest : public BufferTest
{
};

TEST_P(MarkNavigateTest, SelectsBetweenThePointsWithTheCaretAtTheSecond)
{
    setMarked(buffer(), QStringLiteral("abc\r\ndef"));
    MarkNavigate(buffer(), {1, 0}, {2, 1});
    EXPECT_EQ(marked(buffer()), QStringLiteral("a{bc\r\nde|}f"));
    MarkNavigate(buffer(), {2, 1}, {1, 0});
    EXPECT_EQ(marked(buffer()), QStringLiteral("a{|bc\r\nde}f"));
    MarkNavigate(buffer(), {99, 0}, {99, 9});  // clamped to the text
    EXPECT_EQ(marked(buffer()), QStringLiteral("abc{\r\ndef|}"));
}

QUORVANT_BOTH_BUFFERS(MarkNavigateTest);

TEST(StringHelpers, ChopString)
{
    EXPECT_EQ(ChopString("abcdef", 3), "abc");
    EXPECT_EQ(ChopString("ab", 3), "ab");
    EXPECT_EQ(ChopString("abc", 3), "abc");
    EXPECT_EQ(ChopString("ab", 0), "");
    EXPECT_EQ(ChopString("ab", -4), "");
}

TEST(StringHelpers, RemoveCharAndCountEnters)
{
    EXPECT_EQ(RemoveCharFromStr(u'"', R"("a"b")"), "ab");
    EXPECT_EQ(RemoveCharFromStr(u'x', ""), "");
    EXPECT_EQ(EntersInString("a\r\nb\r\nc"), 2);
    EXPECT_EQ(EntersInString("a\nb\n"), 0);
    EXPECT_EQ(EntersInString("\r\r"), 2);
}

TEST(StringHelpers, IsOnlyNumbers)
{
    EXPECT_TRUE(IsOnlyNumbers(""));
    EXPECT_TRUE(IsOnlyNumbers("0123456789"));
    EXPECT_FALSE(IsOnlyNumbers("12a"));
    EXPECT_FALSE(IsOnlyNumbers("-1"));
    EXPECT_FALSE(IsOnlyNumbers("1.5"));
    EXPECT_FALSE(IsOnlyNumbers(" 1"));
    EXPECT_FALSE(IsOnlyNumbers(QString::fromUtf8("\u0663")));  // an Arabic-Indic digit
}

TEST(StringHelpers, StringListItemExists)
{
    const QStringList browsers{"Opera", "NetScape"};
    const QStringList none;
    EXPECT_TRUE(StringListItemExists("netscape", &browsers));
    EXPECT_TRUE(StringListItemExists("OPERA", &browsers));
    EXPECT_FALSE(StringListItemExists("Net", &browsers));
    EXPECT_FALSE(StringListItemExists("netscape", nullptr));
    EXPECT_FALSE(StringListItemExists("", &none));
    // Only ASCII letters fold.
    const QStringList accented{QString::fromUtf8("café")};
    EXPECT_TRUE(StringListItemExists(QString::fromUtf8("CAFé"), &accented));
    EXPECT_FALSE(StringListItemExists(QString::fromUtf8("CAFÉ"), &accented));
}

} // namespace
} // namespace Quorvant::Test
