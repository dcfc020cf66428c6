// The tab model alone: its starting state, the array rules the tab
// operations rely on, and the ring of closed tabs.

#include "browsing/tabmodel.h"

#include <gtest/gtest.h>

TEST(TabModel, StartsWithOneTabOnBrowserZeroAndEntriesForOneMore)
{
    const TabModel m;
    EXPECT_EQ(m.TabCount(), 1);
    EXPECT_EQ(m.CurrentTab(), 0);
    EXPECT_EQ(m.TabBrowserMap(), (QVector<int16_t>{0, 0}));
    EXPECT_EQ(m.TabTitles(), (QStringList{QString(), QString()}));
    EXPECT_TRUE(m.ClosedTabUrls().isEmpty());
    EXPECT_EQ(m.PopupBurstFlag(), 0);
    EXPECT_EQ(m.UserClickState(), 0);
}

TEST(TabModel, TabsGrowShrinkAndMoveDownWithTheirTitles)
{
    TabModel m;
    m.SetTabBrowser(3, 7); // beyond the map: it grows
    EXPECT_EQ(m.TabBrowserMap().size(), 4);
    m.SetTabCount(4);
    EXPECT_EQ(m.TabBrowserMap(), (QVector<int16_t>{0, 0, 0, 7, 0}));
    EXPECT_EQ(m.TabTitles().size(), 5);
    for (int t = 1; t <= 2; ++t)
        m.SetTabBrowser(t, static_cast<int16_t>(t));
    const QStringList titles{"zero", "one", "two", "three"};
    for (int t = 0; t < 4; ++t)
        m.SetTabTitle(t, titles[t]);
    m.SetTabTitle(9, "nowhere"); // no such tab: nothing
    EXPECT_EQ(m.TabOfBrowser(7), 3);
    EXPECT_EQ(m.TabOfBrowser(9), -1);
    // Browsers in use within the tabs only count.
    EXPECT_EQ(m.FindFreeBrowserIndex(), 3);

    m.RemoveTab(1);
    EXPECT_EQ(m.TabCount(), 3);
    EXPECT_EQ(m.TabBrowserMap(), (QVector<int16_t>{0, 2, 7, 7})) << "the spare entry keeps what moved out";
    EXPECT_EQ(m.TabTitles().mid(0, 3), (QStringList{"zero", "two", "three"}));
    m.RemoveTab(5); // no such tab
    EXPECT_EQ(m.TabCount(), 3);
    EXPECT_EQ(m.FindFreeBrowserIndex(), 1);
    m.SetTabCount(1);
    EXPECT_EQ(m.TabBrowserMap(), (QVector<int16_t>{0, 2}));
    EXPECT_EQ(m.TabTitles(), (QStringList{"zero", "two"}));
}

TEST(TabModel, TheClosedTabRingKeepsTheFiveNewestAndReopensNewestFirst)
{
    TabModel m;
    EXPECT_EQ(m.NextClosedTabUrl(), QString()) << "no ring yet";
    m.MakeClosedTabRing();
    EXPECT_EQ(m.ClosedTabUrls(), QStringList(5, QString()));
    EXPECT_EQ(m.NextClosedTabUrl(), QString()) << "an empty ring";
    for (int i = 1; i <= 6; ++i)
        m.PushClosedTabUrl(QStringLiteral("http://p%1/").arg(i));
    EXPECT_EQ(m.ClosedTabUrls(), (QStringList{"http://p6/", "http://p5/", "http://p4/", "http://p3/", "http://p2/"}));
    QStringList reopened;
    for (int i = 0; i < 6; ++i)
        reopened << m.NextClosedTabUrl();
    EXPECT_EQ(reopened, (QStringList{"http://p6/", "http://p5/", "http://p4/", "http://p3/", "http://p2/",
                                     "http://p6/"}));
    // A new close starts again at the newest; an empty entry wraps early.
    TabModel two;
    two.PushClosedTabUrl("http://a/");
    two.PushClosedTabUrl("http://b/");
    EXPECT_EQ(two.NextClosedTabUrl(), "http://b/");
    EXPECT_EQ(two.NextClosedTabUrl(), "http://a/");
    EXPECT_EQ(two.NextClosedTabUrl(), "http://b/");
    two.PushClosedTabUrl("http://c/");
    EXPECT_EQ(two.NextClosedTabUrl(), "http://c/");
}
