// The tab model on fake browsers: creating, closing, reopening and switching
// tabs, and the guards the closing routines set.

#include "fakes.h"

#include "browsing/explorertabs.h"
#include "browsing/tabstaterecord.h"
#include "core/globals.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

const QString kBlankSuffix = QStringLiteral("Z5_BlankPage.HTM");

} // namespace

TEST(TabLifecycle, NewTabTakesTheLowestFreeBrowserIndex)
{
    TabsFixture f;
    f.open({"http://a/", "http://b/", "http://c/"});
    EXPECT_EQ(f.map(), QList<int>({0, 1, 2, 3}));
    f.tabs->CloseTab(2, false); // browser 2 goes
    EXPECT_EQ(f.map(), QList<int>({0, 1, 3}));
    f.tabs->NewTab(f.model.TabCount(), false, true);
    EXPECT_EQ(f.map(), QList<int>({0, 1, 3, 2}));
    EXPECT_EQ(f.host.fake(2)->tagText, kInitialTabState);
    EXPECT_FALSE(f.host.fake(2)->visibleFlag);
    EXPECT_TRUE(f.host.fake(2)->navigated.isEmpty()) << "the caller navigates";
    EXPECT_EQ(f.model.TabTitles().size(), f.model.TabCount() + 1);
    EXPECT_EQ(f.log.calls.last(), "ShowTabCount(4)");

    // A tab that gets a new browser gives its old one up.
    f.host.fake(2)->tagText = "2|1|0|0|0|1";
    const int loads = f.host.loads;
    f.tabs->NewTab(3, true, false);
    EXPECT_EQ(f.map(), QList<int>({0, 1, 3, 2}));
    EXPECT_EQ(f.host.unloaded.last(), 2);
    EXPECT_EQ(f.host.loads, loads + 1);
    EXPECT_EQ(f.host.fake(2)->tagText, kInitialTabState);
    EXPECT_EQ(f.host.browsers.size(), 4u);
}

TEST(TabLifecycle, CloseMatrix)
{
    struct Case {
        const char* what;
        int extraTabs;      // tabs opened after tab 0 (browser 0 showing a page)
        int current;
        int close;
        bool activateOpener;
        std::function<void(TabsFixture&)> arrange;
        QList<int> map;
        int currentAfter;
    };
    auto popupOf = [](int popupBrowser, int opener) {
        return [=](TabsFixture& f) {
            f.host.fake(opener)->tagText = "1|1|0|0|0|-1|" + QString::number(popupBrowser);
            f.host.fake(popupBrowser)->tagText = "2|1|0|0|0|" + QString::number(opener);
        };
    };
    const Case cases[] = {
        {"closing a tab before the current one", 3, 2, 0, false, nullptr, {1, 2, 3}, 2},
        {"closing the current last tab, no opener", 3, 3, 3, true, nullptr, {0, 1, 2}, 2},
        {"closing a current popup activates its opener", 3, 3, 3, true, popupOf(3, 1), {0, 1, 2}, 1},
        {"the opener is found by browser after renumbering", 3, 3, 2, true,
         [&](TabsFixture& f) {
             popupOf(3, 2)(f);
             f.tabs->CloseTab(0, false); // tabs now 1, 2, 3; current stays 3 -> clamps
             f.model.SetCurrentTab(2);
         },
         {1, 2}, 1},
        {"a stale opener counts as none", 3, 3, 3, true,
         [](TabsFixture& f) { f.host.fake(3)->tagText = "2|1|0|0|0|9"; }, {0, 1, 2}, 2},
        {"closing a background tab keeps the current tab number", 3, 1, 3, true, nullptr, {0, 1, 2}, 1},
    };
    for (const Case& c : cases) {
        TabsFixture f;
        f.host.fake(0)->navigate2("http://zero/");
        QStringList urls;
        for (int i = 1; i <= c.extraTabs; ++i)
            urls << QStringLiteral("http://t%1/").arg(i);
        f.open(urls);
        f.model.SetCurrentTab(c.current);
        if (c.arrange)
            c.arrange(f);
        f.tabs->CloseTab(c.close, c.activateOpener);
        EXPECT_EQ(f.map(), c.map) << c.what;
        EXPECT_EQ(f.model.CurrentTab(), c.currentAfter) << c.what;
        EXPECT_EQ(f.tabs->ProgressBrowser, c.map.value(c.currentAfter)) << c.what;
        EXPECT_EQ(f.state.PopupControlMode, 0) << c.what;
        // Every browser the map names is loaded; every other one but 0 is not.
        for (const auto& [index, b] : f.host.browsers)
            EXPECT_TRUE(index == 0 || c.map.contains(index)) << c.what << ": browser " << index << " left loaded";
    }
}

TEST(TabLifecycle, TheLastTabEndsOnBrowserZeroShowingTheBlankPage)
{
    {
        TabsFixture f; // blank page in browser 0: nothing to close
        f.host.fake(0)->navigate2(f.tabs->BlankPageUrl);
        f.log.calls.clear();
        f.tabs->CloseTab(0, true);
        EXPECT_TRUE(f.log.calls.isEmpty());
    }
    {
        TabsFixture f; // a page in browser 0: it is blanked, hidden, reset
        f.host.fake(0)->navigate2("http://page/");
        f.host.fake(0)->tagText = "1|1|0|0|3|-1|4";
        f.tabs->CloseTab(0, true);
        EXPECT_EQ(f.map(), QList<int>({0}));
        EXPECT_TRUE(f.host.fake(0)->navigated.last().endsWith(kBlankSuffix));
        EXPECT_EQ(f.host.fake(0)->tagText, kInitialTabState);
        EXPECT_GE(f.host.fake(0)->stops, 1) << "nothing keeps playing";
    }
    {
        TabsFixture f; // the only tab on browser 3: unloaded, tab 0 is browser 0
        f.open({"http://a/", "http://b/", "http://c/"});
        f.model.SetCurrentTab(3);
        f.tabs->CloseTabs(3);
        ASSERT_EQ(f.map(), QList<int>({3}));
        f.tabs->CloseTab(0, true);
        EXPECT_EQ(f.map(), QList<int>({0}));
        EXPECT_EQ(f.model.TabCount(), 1);
        EXPECT_EQ(f.host.browsers.size(), 1u);
    }
}

TEST(TabLifecycle, ClosedTabRing)
{
    TabsFixture f;
    f.open({"http://p1.test/", "http://p2.test/", "http://p3.test/", "http://p4.test/", "http://p5.test/",
            "http://p6.test/"});
    // Closing a background tab records nothing.
    f.tabs->CloseTab(1, false);
    EXPECT_TRUE(f.model.ClosedTabUrls()[0].isEmpty());
    // A tab still loading records nothing either.
    f.model.SetCurrentTab(1);
    f.tabBrowser(1)->state = platform::browser::ReadyLoading;
    f.tabs->CloseTab(1, false);
    EXPECT_TRUE(f.model.ClosedTabUrls()[0].isEmpty());
    f.open({"http://p7.test/", "http://p8.test/", "http://p9.test/", "http://p10.test/"});
    for (int i = 0; i < 6; ++i) {
        f.model.SetCurrentTab(f.model.TabCount() - 1);
        f.tabs->CloseTab(f.model.CurrentTab(), false);
    }
    EXPECT_EQ(f.model.ClosedTabUrls(), QStringList({"http://p5.test/", "http://p6.test/", "http://p7.test/", "http://p8.test/",
                                              "http://p9.test/"}));
    QStringList reopened;
    for (int i = 0; i < 6; ++i) {
        f.tabs->ReopenClosedTab();
        reopened << f.tabBrowser(f.model.CurrentTab())->navigated.last();
    }
    EXPECT_EQ(reopened, QStringList({"http://p5.test/", "http://p6.test/", "http://p7.test/", "http://p8.test/",
                                     "http://p9.test/", "http://p5.test/"}));

    // With two addresses kept the third use wraps to the newest.
    TabsFixture g;
    g.open({"http://a/", "http://b/"});
    for (int i = 0; i < 2; ++i) {
        g.model.SetCurrentTab(g.model.TabCount() - 1);
        g.tabs->CloseTab(g.model.CurrentTab(), false);
    }
    reopened.clear();
    for (int i = 0; i < 3; ++i) {
        g.tabs->ReopenClosedTab();
        reopened << g.tabBrowser(g.model.CurrentTab())->navigated.last();
    }
    EXPECT_EQ(reopened, QStringList({"http://a/", "http://b/", "http://a/"}));

    // Without the option nothing is kept and reopening does nothing.
    TabsFixture h;
    h.state.ClosedTabRingEnabled = 0;
    h.model = TabModel(); // no ring made
    h.open({"http://a/"});
    h.model.SetCurrentTab(1);
    h.tabs->CloseTab(1, false);
    h.tabs->ReopenClosedTab();
    EXPECT_TRUE(h.model.ClosedTabUrls().isEmpty());
}

TEST(TabLifecycle, CloseTabsModes)
{
    struct Case {
        int mode;
        int current;
        QList<int> map;
    };
    const Case cases[] = {{1, 2, {0}}, {2, 3, {0}}, {3, 2, {2}}};
    for (const Case& c : cases) {
        TabsFixture f;
        f.host.fake(0)->navigate2("http://zero/");
        f.open({"http://a/", "http://b/", "http://c/"});
        f.model.SetCurrentTab(c.current);
        // Browser 1 opened browser 3 and the kept tab in mode 3 (2) opened 1.
        f.host.fake(2)->tagText = "1|1|0|0|0|-1|1";
        f.host.fake(1)->tagText = "2|1|0|0|0|2";
        f.state.PopupControlMode = 3;
        f.tabs->CloseTabs(c.mode);
        EXPECT_EQ(f.map(), c.map) << "mode " << c.mode;
        EXPECT_EQ(f.model.TabCount(), 1);
        EXPECT_EQ(f.model.CurrentTab(), 0);
        EXPECT_EQ(f.state.PopupControlMode, 3) << "restored";
        EXPECT_FALSE(f.tabs->ClosingTabs);
        EXPECT_EQ(f.tabs->BusyState[0], 1);
        if (c.mode == 3) {
            // The kept tab no longer lists the closed popup as its child.
            EXPECT_EQ(f.host.fake(2)->tagText, "1|1|0|0|0|-1");
            // Browser 0's tab was closed: hidden, blank, reset.
            EXPECT_FALSE(f.host.fake(0)->visibleFlag);
            EXPECT_TRUE(f.host.fake(0)->navigated.last().endsWith(kBlankSuffix));
            EXPECT_EQ(f.host.fake(0)->tagText, kInitialTabState);
        } else if (c.mode == 1) {
            EXPECT_TRUE(f.host.fake(0)->navigated.last().endsWith(kBlankSuffix));
        } else {
            EXPECT_EQ(f.host.fake(0)->location, "http://zero/") << "tab 0 is kept as it is";
        }
        EXPECT_EQ(f.host.browsers.size(), c.mode == 3 ? 2u : 1u);
    }
}

TEST(TabLifecycle, GuardsComeBackAfterAFailure)
{
    {
        TabsFixture f;
        f.open({"http://a/", "http://b/"});
        f.state.PopupControlMode = 4;
        f.host.throwOnUnload = true;
        f.tabs->CloseTabs(1);
        EXPECT_EQ(f.state.PopupControlMode, 4);
        EXPECT_FALSE(f.tabs->ClosingTabs);
        EXPECT_EQ(f.tabs->BusyState[0], 1);
        f.tabs->ReleaseTabBrowser(2);
        EXPECT_EQ(f.state.PopupControlMode, 4);
    }
    {
        TabsFixture f;
        f.open({"http://a/"});
        f.chrome.throwOnBusyPicture = false;
        f.chrome.duringActivation = [&] { throw std::runtime_error("injected"); };
        EXPECT_THROW(f.tabs->GoToTab(1), std::runtime_error);
        EXPECT_FALSE(f.tabs->SwitchingTab) << "a later GoToTab still works";
        f.chrome.duringActivation = nullptr;
        f.tabs->GoToTab(0);
        EXPECT_EQ(f.model.CurrentTab(), 0);
    }
    {
        // The application closing ends the unload loop; the guards still
        // come back.
        TabsFixture f;
        f.open({"http://a/", "http://b/", "http://c/"});
        f.state.PopupControlMode = 1;
        CloseRequested = -1;
        f.tabs->CloseTabs(2);
        CloseRequested = 0;
        EXPECT_EQ(f.host.unloaded, QList<int>({3}));
        EXPECT_EQ(f.state.PopupControlMode, 1);
        EXPECT_FALSE(f.tabs->ClosingTabs);
    }
}

// A popup setting chosen from the menu while tabs close is the one kept;
// popups asked for meanwhile are refused.
TEST(TabLifecycle, ThePopupSettingChosenWhileTabsCloseIsKept)
{
    TabsFixture f;
    f.open({"http://a/", "http://b/"});
    f.state.PopupControlMode = 0;
    int passes = 0;
    bool refused = false;
    f.tabs->doEvents = [&] {
        if (++passes != 2)
            return;
        f.state.PopupControlMode = 4;
        refused = f.tabBrowser(1)->requestWindow("http://popup/").cancel;
    };
    f.tabs->CloseTabs(1);
    EXPECT_TRUE(refused);
    EXPECT_EQ(f.state.PopupControlMode, 4);
    EXPECT_EQ(f.model.TabCount(), 1);
}

TEST(TabLifecycle, SwitchingAndGoingToTabs)
{
    TabsFixture f;
    f.open({"http://a/", "http://b/"});
    f.state.ButtonReleased = -1;
    const struct {
        int from;
        int direction;
        int to;
    } steps[] = {{0, 8, 2}, {2, 7, 0}, {1, 7, 2}, {1, 8, 0}};
    for (const auto& s : steps) {
        f.model.SetCurrentTab(s.from);
        f.tabs->SwitchToAdjacentTab(s.direction, true);
        EXPECT_EQ(f.model.CurrentTab(), s.to) << s.from << " dir " << s.direction;
        EXPECT_EQ(f.tabs->ProgressBrowser, f.model.TabBrowserMap()[s.to]);
    }

    // A second GoToTab arriving while an activation runs is ignored.
    int nested = 0;
    f.chrome.duringActivation = [&] {
        ++nested;
        f.tabs->GoToTab(0);
    };
    f.state.Layout.SetViewMode(2);
    f.state.Layout.SetPaneCount(4);
    f.tabs->GoToTab(2);
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(f.model.CurrentTab(), 2);
    EXPECT_EQ(f.state.Layout.ViewMode(), 0);
    EXPECT_EQ(f.state.Layout.PaneCount(), 1);
    EXPECT_TRUE(f.host.fake(2)->visibleFlag);
    EXPECT_FALSE(f.tabs->SwitchingTab);
}

TEST(TabLifecycle, WaitsAreBounded)
{
    TabsFixture f;
    f.open({"http://a/"});
    f.tabBrowser(1)->state = platform::browser::ReadyLoading;
    int passes = 0;
    f.tabs->doEvents = [&] {
        if (++passes == 3)
            f.tabBrowser(1)->state = platform::browser::ReadyComplete;
    };
    EXPECT_FALSE(f.tabs->WaitUntilReady(1, 1000));
    EXPECT_EQ(passes, 3);
    f.tabBrowser(1)->state = platform::browser::ReadyLoading;
    f.tabs->doEvents = [] {};
    EXPECT_TRUE(f.tabs->WaitUntilReady(1, 20)) << "timed out";
    passes = 0;
    f.tabs->doEvents = [&] { ++passes; };
    f.tabs->Delay(0);
    EXPECT_EQ(passes, 0);
    f.tabs->Delay(12);
    EXPECT_EQ(passes, 3);
}

TEST(TabLifecycle, ViewerTabsClearingAndMenus)
{
    TabsFixture f;
    f.open({"http://a/", "http://b/", "http://c/"});
    // Tab 1 shows the video player, tab 2 the image viewer.
    f.state.ListViewerBrowser[2] = 1;
    f.state.ListViewerBrowser[3] = 2;
    f.host.fake(1)->tagText = "0|2|0|0|0|-1";
    f.host.fake(2)->tagText = "0|3|0|0|0|-1";

    f.model.SetCurrentTab(1);
    f.tabs->EnsureUsableTab();
    EXPECT_EQ(f.log.count("CloseVideoPlayer"), 1);
    EXPECT_EQ(f.tabs->GetTabState(1, FieldViewKind), 1);

    // Showing the image viewer's tab switches the side list to it.
    f.tabs->SelectTabFromMenu(2);
    EXPECT_EQ(f.state.CurrentListKind, 3);
    EXPECT_EQ(f.log.count("RelayoutImageViewer"), 1);
    // In multi-view a tab already in a pane only refreshes the chrome.
    f.state.Layout.SetPaneCount(3);
    f.state.Layout.SetViewMode(2);
    f.log.calls.clear();
    f.tabs->SelectTabFromMenu(1);
    EXPECT_EQ(f.model.CurrentTab(), 1);
    EXPECT_EQ(f.state.Layout.PaneCount(), 3);
    EXPECT_FALSE(f.log.has("PlaceBrowsersInPanes"));
    f.tabs->SelectTabFromMenu(3);
    EXPECT_EQ(f.state.Layout.PaneCount(), 1);
    EXPECT_EQ(f.state.Layout.ViewMode(), 0);

    f.state.ListPlayState[2] = 2;
    ASSERT_EQ(f.state.ListViewerBrowser[2], 1);
    f.log.calls.clear();
    f.tabs->StopMediaAndTimers();
    // The video view ends whole (its area hidden and unmarked), not only
    // its tab's state.
    EXPECT_EQ(f.log.count("CloseVideoPlayer"), 1);
    EXPECT_EQ(f.state.ListViewerBrowser[3], -1);
    EXPECT_EQ(f.state.ListViewerBrowser[2], -1);
    EXPECT_EQ(f.tabs->GetTabState(2, FieldViewKind), 1);
    EXPECT_EQ(f.state.ListPlayState[2], 0);
    for (const char* call : {"SetListTimer(3,0)", "SetListTimer(4,0)", "SetListTimer(5,0)", "StopAudio", "StopVideo",
                             "StopAllFetches", "UpdateTransportButtons", "UpdatePlaylistButtons"})
        EXPECT_EQ(f.log.count(call), 1) << call;

    f.tabs->StopAllTabBrowsers();
    for (int t = 0; t < 4; ++t)
        EXPECT_EQ(f.tabBrowser(t)->stops, 1);

    // Clearing keeps the tabs and leaves the children's opener in place.
    f.host.fake(1)->tagText = "1|1|0|0|0|-1|3";
    f.host.fake(3)->tagText = "2|1|0|0|0|1";
    f.model.SetTabTitle(1, "B");
    f.tabs->ClearTabs(false, 1);
    EXPECT_EQ(f.host.fake(1)->tagText, kInitialTabState);
    EXPECT_EQ(f.host.fake(3)->tagText, "2|1|0|0|0|1");
    EXPECT_EQ(f.model.TabTitles()[1], "");
    f.tabs->ClearTabs(true, -1);
    EXPECT_EQ(f.model.TabCount(), 4);
    for (int t = 0; t < 4; ++t)
        EXPECT_TRUE(f.tabBrowser(t)->navigated.last().endsWith(kBlankSuffix));
}
