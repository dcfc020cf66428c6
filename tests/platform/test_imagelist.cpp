#include "platform/win/imagelist.h"
#include "platform/win/twips.h"

#include <QPainter>

#include <gtest/gtest.h>

TEST(ImageList, PicturesByPositionDrawnAtTwipPositions)
{
    platform::forms::setTwipsPerPixel(15, 15);
    platform::forms::ImageList list(4, 4);
    QImage red(4, 4, QImage::Format_ARGB32);
    red.fill(Qt::transparent);
    red.setPixelColor(1, 1, Qt::red);
    QImage big(8, 8, QImage::Format_ARGB32);
    big.fill(Qt::blue);
    EXPECT_EQ(list.add(red), 1);
    EXPECT_EQ(list.add(big), 2);
    EXPECT_EQ(list.picture(2).size(), QSize(4, 4)); // made the list's size
    EXPECT_TRUE(list.picture(0).isNull());
    EXPECT_TRUE(list.picture(3).isNull());

    const struct {
        int index;
        int style;
        bool drawn;
        QColor atCorner; // the pixel at the picture's corner (3, 2)
        QColor atDot;    // the picture's own pixel (4, 3)
    } cases[] = {
        {1, platform::forms::ImageList::Transparent, true, Qt::green, Qt::red},
        {1, platform::forms::ImageList::Normal, true, Qt::white, Qt::red},
        {2, platform::forms::ImageList::Transparent, true, Qt::blue, Qt::blue},
        {0, platform::forms::ImageList::Transparent, false, Qt::green, Qt::green},
        {3, platform::forms::ImageList::Transparent, false, Qt::green, Qt::green},
    };
    for (const auto& c : cases) {
        QImage canvas(10, 10, QImage::Format_ARGB32);
        canvas.fill(Qt::green);
        QPainter p(&canvas);
        EXPECT_EQ(list.draw(c.index, p, 3 * 15, 2 * 15, c.style), c.drawn) << c.index;
        p.end();
        EXPECT_EQ(canvas.pixelColor(3, 2), c.atCorner) << c.index << " " << c.style;
        EXPECT_EQ(canvas.pixelColor(4, 3), c.atDot) << c.index << " " << c.style;
    }
    platform::forms::setTwipsPerPixel(0, 0);
}
