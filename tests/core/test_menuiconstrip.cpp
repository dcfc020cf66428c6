#include "core/menuiconstrip.h"
#include "core/waitwindow.h"

#include <QColor>
#include <QDir>
#include <QPainter>
#include <QImage>

#include <gtest/gtest.h>

namespace {

bool blank(const QImage& img)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y).alpha() > 0)
                return false;
    return true;
}

// Every visible pixel without colour of its own.
bool grey(const QImage& img)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.alpha() > 40 && c.hsvSaturation() > 30)
                return false;
        }
    return true;
}

} // namespace

TEST(MenuIconStrip, FiftyOneDistinctPicturesSharedWithTheWaitWindow)
{
    const auto strip = MenuIconStrip();
    ASSERT_EQ(strip->count(), 51);
    EXPECT_EQ(strip->imageWidth(), 16);
    for (int i = 1; i <= 51; ++i) {
        const QImage img = strip->picture(i);
        ASSERT_EQ(img.size(), QSize(16, 16)) << i;
        EXPECT_FALSE(blank(img)) << i;
        for (int j = 1; j < i; ++j)
            EXPECT_NE(img, strip->picture(j)) << i << " looks like " << j;
    }
    // The disabled twins of the File and Edit commands are grey; their
    // coloured pictures are not.
    for (int coloured : {14, 16, 18, 20, 27, 29, 31, 33}) {
        EXPECT_FALSE(grey(strip->picture(coloured))) << coloured;
        EXPECT_TRUE(grey(strip->picture(coloured + 1))) << coloured + 1;
    }
    frmMessage1 form;
    EXPECT_EQ(form.MenuImgList, strip);

    // The strip at twice its size, for a look.
    QImage sheet(17 * 34, 3 * 34, QImage::Format_RGB32);
    sheet.fill(QColor(0xEC, 0xEC, 0xEC));
    QPainter p(&sheet);
    for (int i = 1; i <= 51; ++i)
        p.drawImage(QRect(((i - 1) % 17) * 34 + 1, ((i - 1) / 17) * 34 + 1, 32, 32), strip->picture(i));
    p.end();
    const QString env = qEnvironmentVariable("Z5_SCREENSHOT_DIR");
    const QString dir = env.isEmpty() ? QStringLiteral(Z5_BINARY_DIR "/screenshots") : env;
    QDir().mkpath(dir);
    EXPECT_TRUE(sheet.save(dir + QStringLiteral("/menu_icon_strip.png")));
}
