// Commands that rewrite the document: case, line breaks, lists, comments,
// character count, strip all tags, paste as a table.
#include "toolkitglobals.h"
#include "toolkittestsupport.h"
#include "transformations.h"

namespace Quorvant::Test {
namespace {

TEST(TextLines, SplitAndJoin)
{
    EXPECT_EQ(SplitTextLines(""), QStringList());
    EXPECT_EQ(SplitTextLines("a"), QStringList({"a"}));
    EXPECT_EQ(SplitTextLines("a\r\n"), QStringList({"a"}));
    EXPECT_EQ(SplitTextLines("a\r\nb\rc\nd"), QStringList({"a", "b", "c", "d"}));
    EXPECT_EQ(SplitTextLines("a\n\nb"), QStringList({"a", "", "b"}));
    EXPECT_EQ(SplitTextLines("\r\n"), QStringList({""}));
    EXPECT_EQ(SplitTextLines("a\n\r"), QStringList({"a", ""}));
    EXPECT_EQ(JoinTextLines({}), "");
    EXPECT_EQ(JoinTextLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
}

TEST(StripAllTagsText, RemovesTagsAndLinesLeftEmpty)
{
    struct Case
    {
        QString text;
        QString expected;
    };
    const Case cases[] = {
        {"Hello <b>World</b>", "Hello World"},
        {"<p>\r\nText", "Text"},
        {"line\r\nend <br>", "line\r\nend "},
        {"a > b <i>c</i>", "a > b c"},
        {"<img\r\nsrc=\"x.gif\">after", "after"},
        {"one\r\n\r\n\r\ntwo", "one\r\ntwo"},
        {"<script>\r\nvar a = 1;\r\n</script>", "var a = 1;"},
        {"<!-- a -->x", "x"},
        {"", ""},
        {"<", ""},
        {"<<<", ""},
        {">>", ">>"},
        {"text <unclosed\r\nstill inside\r\nmore", "text "},
        {"a\r\n<p>\r\n", "a\r\n"},
        {"a\nb\rc", "a\r\nb\r\nc"},
        {"<p>\r\n\r\n", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(StripAllTagsText(c.text), c.expected) << c.text.toStdString();
}

TEST(AsciiCase, OnlyAsciiLettersChange)
{
    EXPECT_EQ(AsciiCaseConverted(QString::fromUtf8("café"), true), QString::fromUtf8("CAFé"));
    EXPECT_EQ(AsciiCaseConverted(QString::fromUtf8("ÉCOLE <B>"), false), QString::fromUtf8("École <b>"));
    EXPECT_EQ(AsciiCaseConverted("a1-z_Z", true), "A1-Z_Z");
}

class Transformations : public BufferTest
{
};

TEST_P(Transformations, SelectionCommands)
{
    struct Case
    {
        const char *name;
        void (*command)(ITextBuffer *);
        QString document;
        QString expected;
    };
    const Case cases[] = {
        {"upper", [](ITextBuffer *b) { ConvertSelectedTextCase(b, true); }, QString::fromUtf8("x {café} y"),
         QString::fromUtf8("x CAFé| y")},
        {"lower", [](ITextBuffer *b) { ConvertSelectedTextCase(b, false); }, "{<B>Bold</B>\r\nX}", "<b>bold</b>\r\nx|"},
        {"line breaks in a line", AddLineBreaks, "{foo} bar", "foo<BR>\r\n| bar"},
        {"line breaks over lines", AddLineBreaks, "{a\r\n\r\nb\r\n}c", "a<BR>\r\n<BR>\r\nb<BR>\r\n|c"},
        {"unordered list", [](ITextBuffer *b) { ConvertSelectedTextToList(b, false); }, "{one\r\ntwo}",
         "<UL>\r\n<LI>one\r\n<LI>two\r\n\r\n</UL>|"},
        {"ordered list", [](ITextBuffer *b) { ConvertSelectedTextToList(b, true); }, "x{one\r\n\r\n}y",
         "x<OL>\r\n<LI>one\r\n<LI>\r\n\r\n</OL>|y"},
        {"comment", CommentSelectedText, "a{b}c", "a<!--{b|}-->c"},
    };
    for (const Case &c : cases) {
        setMarked(buffer(), c.document);
        c.command(buffer());
        EXPECT_EQ(marked(buffer()), c.expected) << c.name;
        // The text changed, so the document is modified; one undo step.
        EXPECT_TRUE(buffer()->isModified()) << c.name;
        buffer()->undo();
        EXPECT_EQ(buffer()->text(), unmarked(c.document)) << c.name;
    }
}

TEST_P(Transformations, WithoutASelectionNothingChanges)
{
    void (*const commands[])(ITextBuffer *) = {
        [](ITextBuffer *b) { ConvertSelectedTextCase(b, true); },
        [](ITextBuffer *b) { ConvertSelectedTextCase(b, false); },
        AddLineBreaks,
        [](ITextBuffer *b) { ConvertSelectedTextToList(b, false); },
        [](ITextBuffer *b) { ConvertSelectedTextToList(b, true); },
    };
    for (auto command : commands) {
        setMarked(buffer(), QStringLiteral("ab|c"));
        command(buffer());
        EXPECT_EQ(marked(buffer()), QStringLiteral("ab|c"));
        EXPECT_FALSE(buffer()->isModified());
    }
    setMarked(buffer(), QStringLiteral("ab|c"));
    CommentSelectedText(buffer());
    EXPECT_EQ(marked(buffer()), QStringLiteral("ab<!--|-->c"));
}

TEST_P(Transformations, ACaseThatIsAlreadyRightChangesNothing)
{
    setMarked(buffer(), QStringLiteral("a{BC1}"));
    ConvertSelectedTextCase(buffer(), true);
    EXPECT_EQ(marked(buffer()), QStringLiteral("a{BC1|}"));
    EXPECT_FALSE(buffer()->isModified());
}

TEST_P(Transformations, CharacterCount)
{
    setMarked(buffer(), QStringLiteral("{ab\r\ncd\r\n}ef"));
    EXPECT_EQ(CharacterCount(buffer()), 8);
    EXPECT_EQ(CharacterCountMessage(buffer()), QStringLiteral("Character Count: 8"));
    setMarked(buffer(), QStringLiteral("ab|"));
    EXPECT_EQ(CharacterCountMessage(buffer()), QStringLiteral("Character Count: 0"));
    setMarked(buffer(), QString::fromUtf8("{é\U0001F600}"));
    EXPECT_EQ(CharacterCount(buffer()), 2);
    EXPECT_EQ(CharacterCount(nullptr), 0);
}

TEST_P(Transformations, StripAllTagsFromTheDocument)
{
    setMarked(buffer(), QStringLiteral("<html>\r\n<body>\r\nHello <b>World</b>\r\n<img\r\nsrc=\"x.gif\">after\r\n</body>|"));
    StripAllTags(buffer());
    EXPECT_EQ(buffer()->text(), QStringLiteral("Hello World\r\nafter"));
    EXPECT_TRUE(buffer()->isModified());
    // Undo brings the tags back, though the warning does not promise it.
    buffer()->undo();
    EXPECT_EQ(buffer()->text(), QStringLiteral("<html>\r\n<body>\r\nHello <b>World</b>\r\n<img\r\nsrc=\"x.gif\">after\r\n</body>"));

    setMarked(buffer(), QStringLiteral("no tags|"));
    StripAllTags(buffer());
    EXPECT_EQ(buffer()->text(), QStringLiteral("no tags"));
    EXPECT_FALSE(buffer()->isModified());

    setMarked(buffer(), QStringLiteral("|"));
    StripAllTags(buffer());
    EXPECT_EQ(buffer()->text(), QString());
    StripAllTags(nullptr);

    // A final line break stays; empty lines go.
    setMarked(buffer(), QStringLiteral("<p>x</p>\r\n\r\ny<br>\r\n|"));
    StripAllTags(buffer());
    EXPECT_EQ(buffer()->text(), QStringLiteral("x\r\ny\r\n"));
    setMarked(buffer(), QStringLiteral("\r\n\r\n|"));
    StripAllTags(buffer());
    EXPECT_EQ(buffer()->text(), QString());
}

TEST_P(Transformations, PasteAndConvertToTables)
{
    setMarked(buffer(), QStringLiteral("|"));
    PasteAndConvertToTables(buffer(), QStringLiteral("a\r\nb\r\n"));
    EXPECT_EQ(marked(buffer()), QStringLiteral("<table>\r\n    <tr><td>a</td></tr>\r\n    <tr><td>b</td></tr>\r\n</table>|"));
    // The whole table is one undo step.
    buffer()->undo();
    EXPECT_EQ(buffer()->text(), QString());

    gInsertTagsInLowercase = false;
    setMarked(buffer(), QStringLiteral("x{sel}y"));
    PasteAndConvertToTables(buffer(), QStringLiteral("Mixed\tCase"));
    EXPECT_EQ(marked(buffer()), QStringLiteral("x<TABLE>\r\n    <TR><TD>Mixed\tCase</TD></TR>\r\n</TABLE>{sel|}y"));

    setMarked(buffer(), QStringLiteral("|"));
    PasteAndConvertToTables(buffer(), QString());
    EXPECT_EQ(marked(buffer()), QStringLiteral("<TABLE>\r\n</TABLE>|"));
}

QUORVANT_BOTH_BUFFERS(Transformations);

} // namespace
} // namespace Quorvant::Test
