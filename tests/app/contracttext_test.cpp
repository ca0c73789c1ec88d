#include "attributetext.h"
#include "skippedlines.h"

#include <gtest/gtest.h>

using namespace Quorvant;

TEST(AttributeTextTest, EscapesWhatWouldEndOrBreakAQuotedValue)
{
    const struct
    {
        const char *typed;
        const char *written;
    } cases[] = {
        {"", ""},
        {"Plasma cloud \"test\"", "Plasma cloud &quot;test&quot;"},
        {"rye & sourdough?", "rye &amp; sourdough?"},
        {"a<b>c", "a&lt;b>c"},
        {"caf&eacute; &#233; &#xE9; &#XE9;", "caf&eacute; &#233; &#xE9; &#XE9;"},
        {"&", "&amp;"},
        {"&;", "&amp;;"},
        {"&#;", "&amp;#;"},
        {"&#x;", "&amp;#x;"},
        {"&#12a;", "&amp;#12a;"},
        {"&eacute", "&amp;eacute"},
        {"&1abc;", "&amp;1abc;"},
        {"it's 'quoted'", "it's 'quoted'"},
        {"Grüße 日本 😀", "Grüße 日本 😀"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(attributeText(QString::fromUtf8(c.typed)), QString::fromUtf8(c.written)) << c.typed;
}

TEST(SkippedLinesTest, NamesTheFileAndEveryLineOnce)
{
    SkippedLines none{QStringLiteral("Themes.Dat"), {}};
    EXPECT_TRUE(skippedLinesText(none).isEmpty());
    EXPECT_EQ(skippedLinesText({QStringLiteral("Themes.Dat"), {3}}),
              QStringLiteral("Themes.Dat: line 3 is not a valid entry and was skipped."));
    EXPECT_EQ(skippedLinesText({QStringLiteral("Reminders.Dat"), {2, 5, 9}}),
              QStringLiteral("Reminders.Dat: lines 2, 5 and 9 are not valid entries and were skipped."));
    SkippedLines many{QStringLiteral("a.qpj"), {}};
    for (int line = 1; line <= 12; ++line)
        many.add(line);
    EXPECT_EQ(skippedLinesText(many),
              QStringLiteral("a.qpj: lines 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 and 2 more are not valid entries and were skipped."));
}
