// The wizards' colour box: no colour until one is chosen.
#include "colorswatch.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace Quorvant::Test {
namespace {

TEST(ColorSwatch, CancelledChooserLeavesNoColourAndNoText)
{
    TColorSwatch swatch;
    TColorSwatch::setChooserForTests([](QWidget *, const QColor &) { return std::optional<QColor>(); });
    QSignalSpy chosen(&swatch, &TColorSwatch::colorChosen);
    swatch.click();
    EXPECT_FALSE(swatch.hasColor());
    EXPECT_EQ(swatch.htmlColor(), QString());
    EXPECT_EQ(chosen.count(), 0);

    TColorSwatch::setChooserForTests([](QWidget *, const QColor &) { return std::optional<QColor>(QColor(255, 0, 0)); });
    swatch.click();
    EXPECT_EQ(swatch.htmlColor(), QStringLiteral("Red"));
    EXPECT_EQ(chosen.count(), 1);
    swatch.setColor(QColor(0x1a, 0x2b, 0x3c));
    EXPECT_EQ(swatch.htmlColor(), QStringLiteral("#1A2B3C"));
    swatch.clearColor();
    EXPECT_FALSE(swatch.hasColor());
    TColorSwatch::setChooserForTests({});
}

} // namespace
} // namespace Quorvant::Test
