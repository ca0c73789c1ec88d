// Attributes as the wizards write them, and the hand-over of their pieces.
#include "memoryeditor.h"
#include "toolkitglobals.h"
#include "wizardhtml.h"

#include <gtest/gtest.h>

namespace Quorvant::Test {
namespace {

TEST(WizardHtml, AttributesAreWrittenAsTyped)
{
    EXPECT_EQ(htmlAttribute(QStringLiteral("Width"), QStringLiteral(" 50% ")), QStringLiteral(" Width=\" 50% \""));
    EXPECT_EQ(htmlAttribute(QStringLiteral("ALT"), QString()), QStringLiteral(" ALT=\"\""));
    EXPECT_EQ(optionalAttribute(QStringLiteral("ALT"), QString()), QString());
    EXPECT_EQ(optionalAttribute(QStringLiteral("ALT"), QStringLiteral("a\"b")), QStringLiteral(" ALT=\"a\"b\""));
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
