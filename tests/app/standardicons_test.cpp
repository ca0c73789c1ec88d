#include "standardicons.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

using namespace Quorvant;

TEST(StandardIconsTest, DrawsTheStylesPictureFromOneSharedSmallCopy)
{
    const QIcon full = QApplication::style()->standardIcon(QStyle::SP_DialogSaveButton);
    int styleLargest = 0;
    for (const QSize &size : full.availableSizes())
        styleLargest = qMax(styleLargest, size.width());
    ASSERT_GT(styleLargest, 32) << "the style should offer a large picture for this to test anything";

    const QIcon first = standardIcon(QStyle::SP_DialogSaveButton);
    const QIcon second = standardIcon(QStyle::SP_DialogSaveButton);
    EXPECT_FALSE(first.isNull());
    for (const int size : {16, 20, 32}) {
        SCOPED_TRACE(size);
        const QPixmap ours = first.pixmap(size, size);
        ASSERT_FALSE(ours.isNull());
        EXPECT_EQ(ours.toImage().convertToFormat(QImage::Format_ARGB32),
                  full.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32));
    }
    EXPECT_FALSE(first.pixmap(16, 16, QIcon::Disabled).isNull());

    int kept = 0;
    for (const QSize &size : first.availableSizes())
        kept = qMax(kept, size.width());
    EXPECT_GT(kept, 0);
    EXPECT_LE(kept, 32);
    // Both icons draw from the one copy.
    EXPECT_EQ(first.pixmap(16, 16).cacheKey(), second.pixmap(16, 16).cacheKey());
    EXPECT_NE(standardIcon(QStyle::SP_DialogOpenButton).pixmap(16, 16).toImage(), first.pixmap(16, 16).toImage());
}
