#include "core/globals.h"
#include "core/scaling.h"
#include "platform/win/controls.h"
#include "platform/win/form.h"

#include "windowtesting.h"

#include <QTest>

#include <gtest/gtest.h>

using namespace platform::forms;

TEST(ScalingHelpers, EachHelperScalesWhatItsRuleSaysAndNothingElse)
{
    windowtesting::ScaleFactor scale(1.25f);
    struct Case {
        const char* helper;
        double left, top, width, height;
    } cases[] = {
        {"ScaleWindowSize", 600, 320, 1500, 450},
        {"PlaceSplashControls", 750, 400, 1500, 450},
        {"ScaleAllControls", 600, 320, 1500, 450},
    };
    for (const Case& c : cases) {
        Form form;
        form.setWidth(4800);
        form.setHeight(3600);
        PictureBox button(form, QStringLiteral("button"));
        button.move(600, 320, 1200, 360);
        button.setFontSize(8);
        const QString helper = QLatin1String(c.helper);
        if (helper == QLatin1String("ScaleWindowSize"))
            ScaleWindowSize(button);
        else if (helper == QLatin1String("PlaceSplashControls"))
            PlaceSplashControls(form);
        else
            ScaleAllControls(form);
        EXPECT_EQ(button.left(), c.left) << c.helper;
        EXPECT_EQ(button.top(), c.top) << c.helper;
        EXPECT_EQ(button.width(), c.width) << c.helper;
        EXPECT_EQ(button.height(), c.height) << c.helper;
        // Only the splash placement scales the window itself; only
        // ScaleWindowSize leaves the font.
        const bool windowScaled = helper == QLatin1String("PlaceSplashControls");
        EXPECT_EQ(form.width(), windowScaled ? 6000 : 4800) << c.helper;
        EXPECT_EQ(form.height(), windowScaled ? 4500 : 3600) << c.helper;
        EXPECT_DOUBLE_EQ(*button.fontSize(), helper == QLatin1String("ScaleWindowSize") ? 8 : 10) << c.helper;
    }
}

TEST(ScalingHelpers, ControlsWithoutAFontStillScaleAndTwoCallsScaleTwice)
{
    windowtesting::ScaleFactor scale(1.25f);
    Form form;
    Image picture(form, QStringLiteral("img"));
    picture.setStretch(true);
    picture.move(90, 30, 480, 480);
    Label label(form, QStringLiteral("lbl"));
    label.move(10, 20, 1000, 200);
    label.setFontSize(8);
    ScaleAllControls(form);
    EXPECT_EQ(picture.width(), 600);
    EXPECT_EQ(picture.left(), 90);
    EXPECT_EQ(label.width(), 1250);
    EXPECT_EQ(label.left(), 10);
    EXPECT_EQ(label.top(), 20);
    ScaleAllControls(form);
    EXPECT_EQ(picture.width(), 750);
    EXPECT_DOUBLE_EQ(*label.fontSize(), 12.5);

    // The window's own size under ScaleWindowSize; its position stays.
    form.move(1500, 1500, 4000, 2000);
    ScaleWindowSize(form);
    EXPECT_EQ(form.width(), 5000);
    EXPECT_EQ(form.height(), 2500);
    EXPECT_EQ(form.left(), 1500);
}

TEST(ScalingHelpers, TheMousePointerGoesToTheActiveWindowOnly)
{
    SetMousePointer(11); // no active window: nothing happens
    Form form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.window(), 5000));
    SetMousePointer(11);
    EXPECT_EQ(form.mousePointer(), 11);
    EXPECT_EQ(form.window()->cursor().shape(), Qt::WaitCursor);
    SetMousePointer(0);
    EXPECT_EQ(form.mousePointer(), 0);
    form.unload();
}
