// Attributes as the wizards write them, and the hand-over of their pieces.
#include "attributetext.h"
#include "memoryeditor.h"
#include "toolkitglobals.h"
#include "wizardhtml.h"

#include <gtest/gtest.h>

namespace Quorvant::Test {
namespace {

TEST(WizardHtml, AttributeValuesKeepTheirQuotesClosed)
{
    EXPECT_EQ(htmlAttribute(QStringLiteral("Width"), QStringLiteral(" 50% ")), QStringLiteral(" Width=\" 50% \""));
    EXPECT_EQ(htmlAttribute(QStringLiteral("ALT"), QString()), QStringLiteral(" ALT=\"\""));
    EXPECT_EQ(optionalAttribute(QStringLiteral("ALT"), QString()), QString());
    struct Case { const char16_t *typed; const char16_t *written; };
    const Case cases[] = {
        {u"Plasma cloud \"test\"", u" ALT=\"Plasma cloud &quot;test&quot;\""},
        {u"rye & sourdough?", u" ALT=\"rye &amp; sourdough?\""},
        {u"a<b>", u" ALT=\"a&lt;b>\""},
        {u"caf&eacute; &amp; &#233; &#xE9; & more", u" ALT=\"caf&eacute; &amp; &#233; &#xE9; &amp; more\""},
        {u"Gr\u00fc\u00dfe 'x' \U0001F600", u" ALT=\"Gr\u00fc\u00dfe 'x' \U0001F600\""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(optionalAttribute(QStringLiteral("ALT"), QString::fromUtf16(c.typed)), QString::fromUtf16(c.written));
}

TEST(WizardHtml, TextScriptStringsAndMailtoParts)
{
    EXPECT_EQ(elementText(QStringLiteral("Fish & \"chips\" <b> &amp;")), QStringLiteral("Fish &amp; \"chips\" &lt;b> &amp;"));
    EXPECT_EQ(scriptStringText(QStringLiteral("it's C:\\dir\r\n</script>")),
              QStringLiteral("it\\'s C:\\\\dir\\r\\n<\\/script>"));
    struct Case { const char16_t *typed; const char *encoded; };
    const Case cases[] = {
        {u"rye & sourdough?", "rye%20%26%20sourdough%3F"},
        {u"Line 1\r\nLine 2", "Line%201%0D%0ALine%202"},
        {u"100% #1 a=b/c \"q\" <x>", "100%25%20%231%20a%3Db%2Fc%20%22q%22%20%3Cx%3E"},
        {u"ann+list@example.org", "ann+list@example.org"},
        {u"Gr\u00fc\u00dfe \U0001F600", "Gr%C3%BC%C3%9Fe%20%F0%9F%98%80"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(mailtoText(QString::fromUtf16(c.typed)), QLatin1String(c.encoded));
}

TEST(WizardHtml, PiecesLandInOrderAsOneUndoStep)
{
    const bool lower = gInsertTagsInLowercase;
    gInsertTagsInLowercase = false;
    MemoryTextBuffer buffer;
    buffer.setText(QStringLiteral("ab"));
    buffer.setCaretPoint({1, 0});
    insertPieces(&buffer, {QStringLiteral("<table>"), QStringLiteral("<tr>"), QStringLiteral("</tr></table>")});
    EXPECT_EQ(buffer.text(), QStringLiteral("a<TABLE><TR></TR></TABLE>b"));
    ASSERT_TRUE(buffer.canUndo());
    buffer.undo();
    EXPECT_EQ(buffer.text(), QStringLiteral("ab"));
    insertPieces(nullptr, {QStringLiteral("x")});  // no document: nothing to do, no crash
    gInsertTagsInLowercase = lower;
}

} // namespace
} // namespace Quorvant::Test
