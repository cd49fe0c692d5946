#include "platform/ui/icon_glyphs.h"
#include "platform/ui/icon_library.h"
#include "platform/ui/ui_test_support.h"

#include <QImage>
#include <gtest/gtest.h>

namespace platterly::ui {
namespace {

QImage imageOf(const QPixmap& pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

TEST(IconLibrary, TheProgramsOwnPicturesAreTwentyEightDistinctIconsOfSixteenPixels)
{
    const IconLibrary icons(IconLibrary::Source::BundledOnly);
    QImage blank(16, 16, QImage::Format_ARGB32);
    blank.fill(Qt::transparent);
    std::vector<QImage> images = {blank};
    for (int number = 1; number <= kIconCount; ++number) {
        SCOPED_TRACE(number);
        ASSERT_FALSE(icons.icon(number).isNull());
        const QPixmap pixmap = icons.pixmap(number);
        EXPECT_EQ(pixmap.size(), QSize(16, 16));
        const QImage image = imageOf(pixmap);
        // Something is drawn, and no picture is another's.
        for (size_t other = 0; other < images.size(); ++other)
            EXPECT_NE(image, images[other]) << "same picture as icon " << other;
        images.push_back(image);
    }
    // A number outside the range gives the ordinary file icon.
    const QImage file = imageOf(icons.pixmap(static_cast<int>(IconNumber::File)));
    for (int number : {0, -1, kIconCount + 1, 100}) {
        SCOPED_TRACE(number);
        EXPECT_EQ(imageOf(icons.pixmap(number)), file);
        EXPECT_EQ(imageOf(drawBundledIcon(number)), file);
    }
}

TEST(IconLibrary, ThemeIconsWhereAvailableStillGiveEveryNumberASixteenPixelIcon)
{
    const IconLibrary icons;
    for (int number = 0; number <= kIconCount + 1; ++number) {
        SCOPED_TRACE(number);
        EXPECT_FALSE(icons.icon(number).isNull());
        EXPECT_EQ(icons.pixmap(number).size(), QSize(16, 16));
    }
    // Whatever the theme, the disc of a title node and a folder never look alike.
    EXPECT_NE(imageOf(icons.pixmap(static_cast<int>(IconNumber::Disc))),
              imageOf(icons.pixmap(static_cast<int>(IconNumber::Folder))));
    EXPECT_EQ(icons.icon(IconNumber::Folder).cacheKey(), icons.icon(2).cacheKey());
}

} // namespace
} // namespace platterly::ui
