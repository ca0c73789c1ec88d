// The HTML5 page writers: a STYLE element in the HEAD instead of BODY
// attributes, rewritten in place, read back, and one undo step.
#include "csstext.h"
#include "html5page.h"
#include "mediamarkup.h"
#include "memoryeditor.h"
#include "toolkitglobals.h"

#include <gtest/gtest.h>

namespace Quorvant::Test {
namespace {

class Html5PageTest : public ::testing::Test
{
protected:
    void SetUp() override { resetToolkitGlobals(); }
    void TearDown() override { resetToolkitGlobals(); }
    MemoryTextBuffer buffer;
};

TEST_F(Html5PageTest, PropertiesMoveIntoOneStyleElementAndLeaveOneBodyWithItsOtherAttributes)
{
    const QString page = QStringLiteral("<html><head>\r\n<title>Old</title>\r\n</head>\r\n"
                                        "<body bgcolor=\"#FFFFFF\" onload=\"go()\" link=\"Blue\" scroll=no>\r\n<p>x</p>\r\n</body></html>");
    buffer.setText(page);
    PageProperties p = readHtml5PageProperties(&buffer);
    EXPECT_EQ(p.bgColor, QStringLiteral("#FFFFFF"));
    p.title = QStringLiteral("Fish & Chips");
    p.textColor = QStringLiteral("not a colour");
    p.background = QStringLiteral("my picture's.png");
    p.underlineLinks = false;
    writeHtml5PageProperties(&buffer, p);
    const QString written = QStringLiteral(
        "<html><head>\r\n<title>Fish &amp; Chips</title>\r\n<style id=\"page-properties\">\r\n"
        "  body { background-color: #FFFFFF; background-image: url('my%20picture\\'s.png'); overflow: hidden; }\r\n"
        "  a:link { color: Blue; }\r\n"
        "  a { text-decoration: none; }\r\n"
        "</style>\r\n</head>\r\n<body onload=\"go()\">\r\n<p>x</p>\r\n</body></html>");
    EXPECT_EQ(buffer.text().toStdString(), written.toStdString());

    // Read back and written again: the same page, with still one element.
    writeHtml5PageProperties(&buffer, readHtml5PageProperties(&buffer));
    EXPECT_EQ(buffer.text().toStdString(), written.toStdString());

    buffer.undo();
    EXPECT_EQ(buffer.text().toStdString(), written.toStdString());
    buffer.undo();
    EXPECT_EQ(buffer.text().toStdString(), page.toStdString());
}

TEST_F(Html5PageTest, MarginsWithoutAHeadGoAtTheCaretAndAreReplacedNotRepeated)
{
    buffer.setText(QStringLiteral("<p>x</p>"));
    buffer.setCaretPoint({0, 0});
    writeHtml5Margins(&buffer, 1, 2, 3, 4);
    writeHtml5Margins(&buffer, 5, 6, 7, 8);
    EXPECT_EQ(buffer.text(), QStringLiteral("<style id=\"page-margins\">\r\n  body { margin: 5px 8px 7px 6px; }\r\n</style>\r\n<p>x</p>"));
    EXPECT_EQ(buffer.text().count(QStringLiteral("<body"), Qt::CaseInsensitive), 0);
}

TEST_F(Html5PageTest, GotoTargetListsClassicNamesAndHtml5Ids)
{
    buffer.setText(QStringLiteral("<a name=\"top\">\r\n<p><A ID=\"Tom_&amp;_Jerry\"></a> <a name=\"later\">\r\n<a id=\"\">"));
    EXPECT_EQ(documentTargets(&buffer), (QStringList{QStringLiteral("top"), QStringLiteral("Tom_&amp;_Jerry")}));
}

TEST(CssText, TypedValuesBecomeValidCssOrNothing)
{
    EXPECT_EQ(cssColor(QStringLiteral(" #a0B ")), QStringLiteral("#a0B"));
    EXPECT_EQ(cssColor(QStringLiteral("FF0000")), QStringLiteral("#FF0000"));
    EXPECT_EQ(cssColor(QStringLiteral("Navy")), QStringLiteral("Navy"));
    for (const char *bad : {"rot", "#12", "\"red\"", "red;x", ""})
        EXPECT_EQ(cssColor(QLatin1String(bad)), QString()) << bad;
    EXPECT_EQ(cssLength(QStringLiteral("12")), QStringLiteral("12px"));
    EXPECT_EQ(cssLength(QStringLiteral("0")), QStringLiteral("0"));
    EXPECT_EQ(cssLength(QStringLiteral("50%")), QStringLiteral("50%"));
    EXPECT_EQ(cssLength(QStringLiteral("1.5em")), QStringLiteral("1.5em"));
    for (const char *bad : {"-3", "1,5em", "12&", "wide"})
        EXPECT_EQ(cssLength(QLatin1String(bad)), QString()) << bad;
    EXPECT_EQ(cssString(QStringLiteral("it's \\ \"x\"\r\ny")), QStringLiteral("'it\\'s \\\\ \"x\"\\A y'"));
    EXPECT_EQ(urlText(QStringLiteral("a b\"<>|%zz%20#x#y")), QStringLiteral("a%20b%22%3C%3E%7C%25zz%20#x%23y"));
    EXPECT_EQ(urlText(QStringLiteral("gr\u00f6\u00dfe.png?a=1&b=2")), QStringLiteral("gr\u00f6\u00dfe.png?a=1&b=2"));
}

} // namespace
} // namespace Quorvant::Test
