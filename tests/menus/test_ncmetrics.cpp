#include "menus/clsncmetrics.h"

#include <QApplication>
#include <QFont>

#include <gtest/gtest.h>

namespace fonts = platform::systemfonts;

TEST(MenuFonts, HandlesAreKeptUntilTheMetricsAreReadAgain)
{
    clsNCMetrics metrics;
    ASSERT_TRUE(metrics.GetMetrics());
    const auto first = metrics.FontHandle(clsNCMetrics::MenuFont);
    ASSERT_NE(first, 0u);
    EXPECT_EQ(metrics.FontHandle(clsNCMetrics::MenuFont), first);
    EXPECT_NE(metrics.FontHandle(clsNCMetrics::CaptionFont), first);
    for (int bad : {0, 7, -1})
        EXPECT_EQ(metrics.FontHandle(bad), 0u);

    ASSERT_TRUE(metrics.GetMetrics());
    const auto second = metrics.FontHandle(clsNCMetrics::MenuFont);
    EXPECT_NE(second, first);
    EXPECT_FALSE(fonts::fontOf(first).has_value());
    EXPECT_TRUE(fonts::fontOf(second).has_value());
    metrics.ClearUp();
    EXPECT_FALSE(fonts::fontOf(second).has_value());
}

TEST(MenuFonts, TheMenuFontFollowsTheDesktopAndBoldensOneStep)
{
    const QFont saved = QApplication::font("QMenu");
    const struct {
        int weight;
        int bold;
    } cases[] = {{400, 700}, {700, 900}, {900, 900}};
    for (const auto& c : cases) {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(15);
        f.setWeight(static_cast<QFont::Weight>(c.weight));
        QApplication::setFont(f, "QMenu");
        clsNCMetrics metrics;
        ASSERT_TRUE(metrics.GetMetrics());
        const auto menu = fonts::fontOf(metrics.FontHandle(clsNCMetrics::MenuFont));
        ASSERT_TRUE(menu.has_value());
        EXPECT_EQ(menu->pixelSize(), 15);
        EXPECT_EQ(menu->weight(), c.weight);
        const auto bold = metrics.BoldenedFontHandle(clsNCMetrics::MenuFont);
        ASSERT_TRUE(fonts::fontOf(bold).has_value());
        EXPECT_EQ(fonts::fontOf(bold)->weight(), c.bold);
        EXPECT_EQ(fonts::fontOf(bold)->pixelSize(), 15);
        // Not kept by the object: the caller deletes it.
        metrics.ClearUp();
        EXPECT_TRUE(fonts::deleteFont(bold));
    }
    clsNCMetrics metrics;
    const auto stray = metrics.BoldenedFontHandle(9);
    EXPECT_EQ(fonts::fontOf(stray)->weight(), 700);
    fonts::deleteFont(stray);
    QApplication::setFont(saved, "QMenu");
}
