#include "wiretext.h"

#include <gtest/gtest.h>

using namespace Quorvant::Network;

TEST(WireTextTest, ValidUtf8IsReadAsUtf8AndAnythingElseAsWindows1252)
{
    EXPECT_EQ(decodeWireText("\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F" "2024"), QStringLiteral(u"äöüß2024"));
    // The same words from a client sending 8-bit text.
    EXPECT_EQ(decodeWireText("\xE4\xF6\xFC\xDF" "2024"), QStringLiteral(u"äöüß2024"));
    EXPECT_EQ(decodeWireText("\xE9\xE8\xEA\xE0" "2024"), QStringLiteral(u"éèêà2024"));
    EXPECT_EQ(decodeWireText("\x80 \x9F"), QStringLiteral(u"€ Ÿ"));
    // Two different 8-bit passwords never become one.
    EXPECT_NE(decodeWireText("\xE4\xF6\xFC\xDF"), decodeWireText("\xE9\xE8\xEA\xE0"));
}

TEST(WireTextTest, NamesThatCouldDeceiveAreRefused)
{
    struct Case
    {
        QString name;
        NameKind kind;
        bool accepted;
    };
    const Case cases[] = {
        {QStringLiteral("alice"), NameKind::User, true},
        {QStringLiteral(u"Zoë Brontë"), NameKind::User, true},
        {QStringLiteral("Project 2024: plans"), NameKind::Project, true},
        {QStringLiteral("index.html"), NameKind::File, true},
        {QString(), NameKind::Room, false},
        {QStringLiteral(" alice"), NameKind::User, false},
        {QStringLiteral("alice "), NameKind::Room, false},
        {QStringLiteral(u"alice\u00A0"), NameKind::Project, false},
        {QStringLiteral("al\tice"), NameKind::File, false},
        {QStringLiteral("alice\r\nbob"), NameKind::Room, false},
        {QStringLiteral(u"evil\u202Etxt.html"), NameKind::File, false},
        {QStringLiteral(u"zero\u200Bwidth"), NameKind::Project, false},
        {QStringLiteral(u"two\u2028lines"), NameKind::User, false},
        {QStringLiteral(u"tag\U000E0041"), NameKind::Room, false},
        {QStringLiteral("bob: hi"), NameKind::User, false},
        {QStringLiteral("bob: hi"), NameKind::Room, true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(isAcceptableName(c.name, c.kind), c.accepted) << c.name.toStdString();
    EXPECT_FALSE(nameProblem(QStringLiteral("bob:"), NameKind::User).isEmpty());
}

TEST(WireTextTest, AChatMessageStaysOneLine)
{
    EXPECT_EQ(oneLineChatText(QStringLiteral("hi\r\nalice: I am not bob")), QStringLiteral("hi  alice: I am not bob"));
    EXPECT_EQ(oneLineChatText(QStringLiteral(u"a\u2028b\u202Ec\U000E0041d\x7F")), QStringLiteral(u"a b c d "));
    EXPECT_EQ(oneLineChatText(QStringLiteral(u"plain text, ünïcode 😀")), QStringLiteral(u"plain text, ünïcode 😀"));
}
