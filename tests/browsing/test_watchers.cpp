// The tick's tab watchers, the document sinks and the page tools over fake
// browsers: popup bursts, status frames, the scroll fix, mail links, page
// source, translation and list files.

#include "browsing/documentsinks.h"
#include "browsing/pagetools.h"
#include "browsing/tabstaterecord.h"
#include "browsing/tabwatchers.h"
#include "core/shellnames.h"
#include "platform/base/paths.h"
#include "platform/base/registry.h"

#include "fakes.h"
#include "testenv.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QUrl>

#include <gtest/gtest.h>

#include <thread>

namespace {

struct Tab {
    QString url;
    int role; // PopupRole
};

struct WatchFixture : TabsFixture {
    WatchFixture() : watchers(state, *tabs) {}
    void openTabs(const std::vector<Tab>& list)
    {
        for (const Tab& t : list) {
            open({t.url});
            tabBrowser(model.TabCount() - 1)->tagText = QStringLiteral("%1|1|0|0|0|-1").arg(t.role);
        }
    }
    QStringList urls() const
    {
        QStringList out;
        for (int t = 0; t < model.TabCount(); ++t)
            out << tabBrowser(t)->location;
        return out;
    }
    TabWatchers watchers;
};

} // namespace

TEST(PopupBurst, TheLaterDuplicatePopupClosesAndTheUsersOwnTabsStay)
{
    const struct {
        const char* name;
        std::vector<Tab> tabs; // after tab 0 ("http://home/")
        int current;
        bool burst;
        QStringList left;
    } cases[] = {
        {"later duplicate closes", {{"http://x/", 2}, {"http://y/", 2}, {"http://x/", 2}}, 0, true,
         {"http://home/", "http://x/", "http://y/"}},
        {"the current duplicate stays, the earlier closes", {{"http://x/", 2}, {"http://y/", 2}, {"http://x/", 2}}, 3,
         true, {"http://home/", "http://y/", "http://x/"}},
        {"the user's own later tab stays", {{"http://x/", 2}, {"http://x/", 0}}, 0, true,
         {"http://home/", "http://x/"}},
        {"the user's own earlier tab stays", {{"http://x/", 0}, {"http://x/", 2}, {"http://x/", 2}}, 0, true,
         {"http://home/", "http://x/", "http://x/"}},
        {"the user's tab without an address is no popup to wait for", {{"", 0}, {"http://x/", 2}}, 0, true,
         {"http://home/", "", "http://x/"}},
        {"no burst, nothing closes", {{"http://x/", 2}, {"http://x/", 2}}, 0, false,
         {"http://home/", "http://x/", "http://x/"}},
        {"only the last five tabs are compared",
         {{"http://x/", 2}, {"http://x/", 2}, {"http://a/", 0}, {"http://b/", 0}, {"http://c/", 0}, {"http://d/", 0}},
         0, true, {"http://home/", "http://x/", "http://x/", "http://a/", "http://b/", "http://c/", "http://d/"}},
        {"three copies leave one", {{"http://x/", 2}, {"http://x/", 2}, {"http://x/", 2}}, 0, true,
         {"http://home/", "http://x/"}},
    };
    for (const auto& c : cases) {
        WatchFixture f;
        f.tabBrowser(0)->navigate2(QStringLiteral("http://home/"));
        f.openTabs(c.tabs);
        f.model.SetCurrentTab(c.current);
        f.model.SetPopupBurstFlag(c.burst ? -1 : 0);
        f.watchers.CloseDuplicatePopupTabs();
        EXPECT_EQ(f.urls(), c.left) << c.name;
        EXPECT_EQ(f.model.PopupBurstFlag(), 0) << c.name;
    }
}

TEST(PopupBurst, PopupsWithoutAnAddressAreWaitedForUntilTheBurstSettles)
{
    WatchFixture f;
    f.tabBrowser(0)->navigate2(QStringLiteral("http://home/"));
    f.openTabs({{"", 2}, {"", 2}, {"", 2}});
    f.model.SetPopupBurstFlag(-1);
    // The tick right after the burst: the popups have tabs but no addresses.
    f.watchers.CloseDuplicatePopupTabs();
    EXPECT_EQ(f.model.TabCount(), 4);
    EXPECT_NE(f.model.PopupBurstFlag(), 0) << "looked at again on the next tick";
    // A later tick: the addresses have come.
    f.tabBrowser(1)->location = QStringLiteral("http://x/");
    f.tabBrowser(2)->location = QStringLiteral("http://y/");
    f.watchers.CloseDuplicatePopupTabs();
    EXPECT_NE(f.model.PopupBurstFlag(), 0);
    f.tabBrowser(3)->location = QStringLiteral("http://x/");
    f.watchers.CloseDuplicatePopupTabs();
    EXPECT_EQ(f.urls(), (QStringList{"http://home/", "http://x/", "http://y/"}));
    EXPECT_EQ(f.model.PopupBurstFlag(), 0);

    // A popup whose address never comes: once no tab has come for a while
    // the burst has settled and the others are compared.
    WatchFixture g;
    g.tabBrowser(0)->navigate2(QStringLiteral("http://home/"));
    g.openTabs({{"http://x/", 2}, {"", 2}, {"http://x/", 2}});
    g.model.SetPopupBurstFlag(-1);
    for (int tick = 0; tick < 1000 && g.model.PopupBurstFlag() != 0; ++tick)
        g.watchers.CloseDuplicatePopupTabs();
    EXPECT_EQ(g.model.PopupBurstFlag(), 0);
    EXPECT_EQ(g.urls(), (QStringList{"http://home/", "http://x/", ""}));
}

TEST(StatusFrames, ChangedFramesReloadAndTheThirdReloadsAllInOrder)
{
    const QString program = testenv::freshDir(QStringLiteral("prog fä"));
    platform::paths::setProgramFolder(program);
    QDir(program).mkpath(QStringLiteral("Data"));
    const QString base = program + QStringLiteral("/Data/DL one");
    for (const char* part : {".HTM", "F1.HTM", "F2.HTM", "F3.HTM"})
        testenv::writeFile(base + QString::fromLatin1(part), "x");
    WatchFixture f;
    f.tabBrowser(0)->navigate2(QUrl::fromLocalFile(base + QStringLiteral(".HTM")).toString(QUrl::FullyEncoded));
    f.open({QStringLiteral("http://elsewhere/")});
    f.model.SetCurrentTab(0);
    FakeBrowser& page = *f.tabBrowser(0);
    // Which frames a tick reloaded, in order.
    auto tick = [&] {
        page.scripts.clear();
        f.watchers.RefreshDownloadStatusFrames();
        QStringList frames;
        for (const QString& s : page.scripts)
            for (const char* id : {"\"F1\"", "\"F2\"", "\"F3\""})
                if (s.contains(QString::fromLatin1(id)))
                    frames << QString::fromLatin1(id).mid(1, 2);
        return frames;
    };
    EXPECT_EQ(tick(), (QStringList{"F1", "F2", "F3", "F2", "F1"}));
    EXPECT_TRUE(page.scripts[0].contains(QUrl::fromLocalFile(base + "F1.HTM").toString(QUrl::FullyEncoded)));
    EXPECT_TRUE(tick().isEmpty());

    // Two writes within one second both show; a size change alone shows.
    testenv::writeFile(base + "F1.HTM", "first");
    EXPECT_EQ(tick(), QStringList{"F1"});
    testenv::writeFile(base + "F1.HTM", "second");
    EXPECT_EQ(tick(), QStringList{"F1"});
    QFile touched(base + "F3.HTM");
    ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
    ASSERT_TRUE(touched.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime));
    touched.close();
    EXPECT_EQ(tick(), (QStringList{"F3", "F2", "F1"}));

    // The stop acknowledgement is taken and the pause flag cleared.
    testenv::writeFile(base + ".Z5C2", "");
    f.state.PendingListPauses[QFileInfo(base).fileName()] = QDeadlineTimer(60000);
    tick();
    EXPECT_FALSE(QFile::exists(base + ".Z5C2"));
    EXPECT_TRUE(f.state.PendingListPauses.empty());

    // A status page in a background tab is not polled.
    testenv::writeFile(base + ".Z5C2", "");
    f.state.PendingListPauses[QFileInfo(base).fileName()] = QDeadlineTimer(60000);
    testenv::writeFile(base + "F2.HTM", "third");
    f.model.SetCurrentTab(1);
    f.watchers.RefreshDownloadStatusFrames();
    EXPECT_TRUE(QFile::exists(base + ".Z5C2"));
    EXPECT_EQ(f.state.PendingListPauses.size(), 1u);
    f.model.SetCurrentTab(0);
    EXPECT_EQ(tick(), QStringList{"F2"});
    // A missing frame file is a change too, and the stamp is kept.
    QFile::remove(base + "F2.HTM");
    EXPECT_EQ(tick(), QStringList{"F2"});
    EXPECT_TRUE(tick().isEmpty());
    platform::paths::setProgramFolder(QString());
}

TEST(ScrollFix, RunsInSingleViewUntilThePageIsComplete)
{
    const struct {
        const char* name;
        int panes;
        int mark;
        platform::browser::ReadyState state;
        bool scripted;
        int markAfter;
    } cases[] = {
        {"due and complete", 1, 2, platform::browser::ReadyComplete, true, 1},
        {"due while loading", 1, 2, platform::browser::ReadyInteractive, true, 2},
        {"not due", 1, 1, platform::browser::ReadyComplete, false, 1},
        {"multi-view waits", 2, 2, platform::browser::ReadyComplete, false, 2},
    };
    for (const auto& c : cases) {
        WatchFixture f;
        f.state.Layout.SetPaneCount(c.panes);
        FakeBrowser& b = *f.tabBrowser(0);
        b.scrollFixMark = c.mark;
        b.state = c.state;
        f.watchers.FixScrollOfCurrentPage();
        EXPECT_EQ(!b.scripts.isEmpty(), c.scripted) << c.name;
        EXPECT_EQ(b.scrollFixMark, c.markAfter) << c.name;
    }
}

TEST(DocumentSinks, BindFollowsTheCurrentTabAndEventsReachTheWindowState)
{
    TabsFixture f;
    f.open({QStringLiteral("http://a/")});
    DocumentSinks sinks(f.state, *f.tabs);
    int listDrags = 0;
    sinks.startListDrag = [&] { ++listDrags; };
    f.model.SetCurrentTab(1);
    FakeBrowser& first = *f.tabBrowser(1);
    sinks.BindDocumentEvents();
    EXPECT_EQ(first.binds, QList<int>{4});
    first.browserEvents().documentMouseDown(QStringLiteral("<b>bold</b>"));
    EXPECT_EQ(sinks.ClickedElementHtml, QStringLiteral("<b>bold</b>"));
    first.browserEvents().documentDragStart();
    EXPECT_EQ(listDrags, 0);
    sinks.ListPaneReady = true;
    first.browserEvents().documentDragStart();
    EXPECT_EQ(listDrags, 1);
    f.model.SetUserClickState(2);
    first.browserEvents().windowScroll();
    EXPECT_EQ(f.model.UserClickState(), 0);

    // Another tab: the first page is let go and no longer reports.
    f.model.SetCurrentTab(0);
    sinks.BindDocumentEvents();
    EXPECT_EQ(first.releases, 1);
    EXPECT_FALSE(first.browserEvents().documentMouseDown);
    EXPECT_EQ(f.tabBrowser(0)->binds, QList<int>{4});
    // Nothing during start-up.
    f.state.NavigationHeld.set(true);
    sinks.BindDocumentEvents();
    EXPECT_EQ(f.tabBrowser(0)->binds.size(), 1);
    f.state.NavigationHeld.set(false);
    sinks.ReleaseDocumentEvents();
    EXPECT_EQ(f.tabBrowser(0)->releases, 1);
}

TEST(PageTools, MailLinksAreEncodedAsMailAddressesAndBlankPagesSendNothing)
{
    const struct {
        QString title;
        QString url;
        QString expected;
    } cases[] = {
        {"Plain", "http://h/a?b=1&c=2#top",
         "mailto:?subject=Plain&body=Plain%20-%20http%3A%2F%2Fh%2Fa%3Fb%3D1%26c%3D2%23top"},
        {"Say \"hi\" / now?", "http://h/",
         "mailto:?subject=Say%20%27hi%27%20-%20now&body=Say%20%27hi%27%20-%20now%20-%20http%3A%2F%2Fh%2F"},
        {"Grüße", "http://h/", "mailto:?subject=Gre&body=Gre%20-%20http%3A%2F%2Fh%2F"},
        {"a&b=c", "http://h/?q=\"x\"", "mailto:?subject=a%26b%3Dc&body=a%26b%3Dc%20-%20http%3A%2F%2Fh%2F%3Fq%3D%27x%27"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PageTools::MailtoAddress(c.title, c.url), c.expected) << c.title.toStdString();

    TabsFixture f;
    PageTools tools(f.state, *f.tabs);
    QStringList opened;
    tools.openAddress = [&](const QString& a) {
        opened << a;
        return true;
    };
    f.model.SetTabTitle(0, QStringLiteral("Page"));
    f.tabBrowser(0)->navigate2(QStringLiteral("file:///opt/z5/Common/Z5_BlankPage.HTM"));
    tools.MailPageLink();
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(tools.IsCurrentTabBlank());
    f.tabBrowser(0)->navigate2(QStringLiteral("http://h/#x"));
    EXPECT_FALSE(tools.IsCurrentTabBlank());
    tools.MailPageLink();
    EXPECT_EQ(opened, QStringList{"mailto:?subject=Page&body=Page%20-%20http%3A%2F%2Fh%2F%23x"});
}

TEST(PageTools, PageSourceIsWrittenAsUtf8UnderTheTitleAndOpenedWithAnArgumentList)
{
    EXPECT_EQ(PageTools::SourceFilePath(QStringLiteral("/t"), QStringLiteral("Über: a/b")), QStringLiteral("/t/ber a-b.txt"));
    EXPECT_EQ(PageTools::SourceFilePath(QStringLiteral("/t"), QStringLiteral("")), QStringLiteral("/t/Page source.txt"));
    EXPECT_EQ(PageTools::SourceFilePath(QStringLiteral("/t"), QStringLiteral("***")), QStringLiteral("/t/Page source.txt"));

    TabsFixture f;
    PageTools tools(f.state, *f.tabs);
    QList<QStringList> started;
    tools.startProgram = [&](const QString& program, const QStringList& args) {
        started << (QStringList{program} + args);
        return true;
    };
    FakeBrowser& b = *f.tabBrowser(0);
    b.navigate2(QStringLiteral("http://h/"));
    b.title = QStringLiteral("Grüße; rm -rf x");
    b.scriptAnswer = [](const QString&) { return QStringLiteral("<head></head><body>Grüße ✓</body>"); };
    tools.ViewPageSource();
    ASSERT_EQ(started.size(), 1);
    const QString path = QDir(GetTempFolder()).filePath(QStringLiteral("Gre; rm -rf x.txt"));
    b.title = QStringLiteral("Grüße; rm -rf x");
    EXPECT_EQ(started[0].mid(1), QStringList{path});
    EXPECT_EQ(started[0][0], PageTools::EditorProgram());
    EXPECT_EQ(testenv::readFile(path), QByteArray("<head></head><body>Gr\xc3\xbc\xc3\x9f" "e \xe2\x9c\x93</body>\n"));
}

TEST(PageTools, TranslationEntriesOfTheNameChainTheirPrefixes)
{
    const QStringList lines = {"; services", "-", "", "  One = http://t1/?u=  ", "Two=http://t2/", "One=http://t3/",
                               "one=http://lower/", "no equals sign"};
    EXPECT_EQ(PageTools::TranslationPrefixes(lines, QStringLiteral("One")),
              (QStringList{"http://t1/?u=", "http://t3/"}));
    EXPECT_TRUE(PageTools::TranslationPrefixes(lines, QStringLiteral("Three")).isEmpty());

    const QString program = testenv::freshDir(QStringLiteral("prog"));
    platform::paths::setProgramFolder(program);
    QDir(program).mkpath(QStringLiteral("Common"));
    testenv::writeFile(program + "/Common/Z5_LIST_TRANSLATION.INI", "One=http://t1/?u=\r\nOne=http://t3/\r\n");
    TabsFixture f;
    PageTools tools(f.state, *f.tabs);
    QList<QStringList> started;
    tools.startProgram = [&](const QString& p, const QStringList& args) {
        started << (QStringList{p} + args);
        return true;
    };
    FakeBrowser& b = *f.tabBrowser(0);
    b.navigate2(QStringLiteral("http://go/?to=http://inner/page"));
    b.navigated.clear();
    tools.TranslatePage(QStringLiteral("One"));
    EXPECT_EQ(b.navigated,
              (QStringList{"http://t1/?u=http://inner/page", "http://t3/http://t1/?u=http://inner/page"}));

    // Editing the list makes a per-user copy first, which translation reads from then on.
    tools.EditListFile(0);
    ASSERT_EQ(started.size(), 1);
    const QString copy = started[0].value(1);
    EXPECT_TRUE(copy.endsWith(QStringLiteral("/Z5/Z5_LIST_TRANSLATION.INI")));
    EXPECT_EQ(testenv::readFile(copy), testenv::readFile(program + "/Common/Z5_LIST_TRANSLATION.INI"));
    testenv::writeFile(copy, "One=http://mine/");
    b.navigate2(QStringLiteral("http://page/"));
    b.navigated.clear();
    tools.TranslatePage(QStringLiteral("One"));
    EXPECT_EQ(b.navigated, QStringList{"http://mine/http://page/"});
    platform::paths::setProgramFolder(QString());
}

TEST(PageTools, TheImageViewerMovesToTheCurrentTab)
{
    TabsFixture f;
    f.open({QStringLiteral("http://a/"), QStringLiteral("http://b/")});
    f.state.TabButtonOffset = 1;
    f.state.ListViewerBrowser[3] = -1;
    f.model.SetCurrentTab(1);
    ShowImageViewerTab(f.state, *f.tabs, f.chrome, f.services);
    EXPECT_EQ(f.state.ListViewerBrowser[3], f.model.TabBrowserMap()[1]);
    EXPECT_EQ(f.tabs->GetTabState(f.model.TabBrowserMap()[1], FieldViewKind), 3);
    EXPECT_EQ(f.log.count("PrepareFetchSlots"), 1);
    EXPECT_FALSE(f.log.has("UpdateTabTitle"));
    EXPECT_FALSE(f.log.has("LayoutImageViewer")) << "one image per view";

    // Again on the same tab: no other tab changes.
    ShowImageViewerTab(f.state, *f.tabs, f.chrome, f.services);
    EXPECT_FALSE(f.log.has("UpdateTabTitle"));

    // To tab 2 with four images a view: tab 1 is a page tab again, its caption redrawn.
    f.model.SetCurrentTab(2);
    f.state.ImagesPerView = 4;
    ShowImageViewerTab(f.state, *f.tabs, f.chrome, f.services);
    EXPECT_EQ(f.tabs->GetTabState(f.model.TabBrowserMap()[1], FieldViewKind), 1);
    EXPECT_EQ(f.tabs->GetTabState(f.model.TabBrowserMap()[2], FieldViewKind), 3);
    EXPECT_EQ(f.log.count("UpdateTabTitle(0)"), 1);
    EXPECT_EQ(f.log.count("ClearViewerImages"), 1);
    EXPECT_EQ(f.log.count("LayoutImageViewer"), 1);

    // Back to one image a view: the cells are still rebuilt for the tab.
    f.model.SetCurrentTab(1);
    f.state.ImagesPerView = 1;
    ShowImageViewerTab(f.state, *f.tabs, f.chrome, f.services);
    EXPECT_EQ(f.log.count("LayoutImageViewer"), 2);
}

TEST(PageTools, OfficeProgramsStartWithThePageAddressAndWithoutTheirSwitches)
{
    namespace reg = platform::registry;
    auto registerServer = [](const QString& progId, const QString& clsid, const QString& command) {
        reg::writeValue(reg::Hive::LocalMachine, QStringLiteral("SOFTWARE\\Classes\\") + progId + QStringLiteral("\\CLSID"),
                        QString(), reg::Value::string(clsid));
        reg::writeValue(reg::Hive::LocalMachine,
                        QStringLiteral("Software\\Classes\\CLSID\\") + clsid + QStringLiteral("\\LocalServer32"), QString(),
                        reg::Value::string(command));
    };
    registerServer(QStringLiteral("Word.Application"), QStringLiteral("{W}"), QStringLiteral("/opt/office/word /automation"));
    registerServer(QStringLiteral("Excel.Application"), QStringLiteral("{E}"), QStringLiteral("/opt/office/excel"));
    TabsFixture f;
    PageTools tools(f.state, *f.tabs);
    QList<QStringList> started;
    tools.startProgram = [&](const QString& p, const QStringList& args) {
        started << (QStringList{p} + args);
        return true;
    };
    f.tabBrowser(0)->navigate2(QStringLiteral("http://h/doc?a=1&b=2"));
    for (int number : {5, 1, 3, 0, 6})
        tools.OpenInOfficeProgram(number);
    // No synchronisation program on this system: nothing starts.
    tools.SynchronizeOfflinePages();
    EXPECT_EQ(started, (QList<QStringList>{{"/opt/office/word", "http://h/doc?a=1&b=2"},
                                           {"/opt/office/excel", "http://h/doc?a=1&b=2"}}));
}
