#include "core/globals.h"
#include "mainwindow/explorerstate.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/hovertracking.h"
#include "mainwindow/shortcuts.h"

#include <gtest/gtest.h>

TEST(ExplorerState, InitializeGivesTheStartingState)
{
    ExplorerState s;
    s.NavigationHeld.set(false);
    s.PositionKnobGlide.set(true);
    CloseRequested = -1;
    s.Initialize(1.0f);
    EXPECT_EQ(s.Layout.PaneCount(), 1);
    EXPECT_EQ(s.Layout.ViewMode(), 0);
    EXPECT_EQ(s.FixScrollTab, -1);
    EXPECT_EQ(s.ImagesPerView, 1);
    EXPECT_EQ(CloseRequested, 0);
    EXPECT_TRUE(s.NavigationHeld);
    for (const BusyFlag* flag : {&s.DownloadPausePending, &s.PositionKnobGlide, &s.VolumeKnobGlide})
        EXPECT_FALSE(*flag);
    EXPECT_EQ(s.DisplayFlags[DisplayImageInfo], -1);
    EXPECT_EQ(s.DisplayFlags[DisplayInfoEnlarged], 0);
    EXPECT_EQ(SavedMasterVolume, -1);
    for (int k = 1; k <= 6; ++k) {
        EXPECT_EQ(s.ListViewerBrowser[k], -1) << k;
        EXPECT_EQ(s.ListPlayState[k], 1) << k;
        EXPECT_EQ(s.ListItemCount[k], 0) << k;
        EXPECT_EQ(s.ListCurrentItem[k], 0) << k;
        EXPECT_EQ(ListDownloadOptions[k], QStringLiteral("101000")) << k;
    }
}

TEST(ExplorerState, MinimumSizeGrowsWithTheScreenScale)
{
    const struct {
        float scale;
        int16_t width, height, title;
    } cases[] = {
        {1.0f, 9200, 6675, 2880},
        {1.25f, 11500, 8344, 3600},
        {1.5f, 13800, 10012, 4320}, // 10012.5 rounds to even
    };
    for (const auto& c : cases) {
        ExplorerState s;
        s.Initialize(c.scale);
        EXPECT_EQ(s.MinFormWidth, c.width) << c.scale;
        EXPECT_EQ(s.MinFormHeight, c.height) << c.scale;
        EXPECT_EQ(s.MinPaneWidth, c.title) << c.scale;
    }
}

// The parts of the window that keep their own state start as Initialize
// leaves the rest: nothing hovered, no boss key, the single view.
TEST(ExplorerState, TheWindowsPartsStartWithNothingHoveredAndOnePane)
{
    ServiceSet services;
    frmExplorer window(services);
    EXPECT_EQ(window.Hover().HoverElementId(), -1);
    EXPECT_EQ(window.Input().BossKeyCode(), 0);
    EXPECT_EQ(window.Layout.PaneCount(), 1);
}
