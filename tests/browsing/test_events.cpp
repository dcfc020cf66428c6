// The tab browsers' events on fake browsers: the navigation gate, popup
// control, window closing, titles, the status line and the busy picture.

#include "fakes.h"

#include "browsing/tabstaterecord.h"
#include "core/globals.h"
#include "platform/base/paths.h"

#include "testenv.h"

#include <QCoreApplication>
#include <QDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

// A program folder whose path holds a blank and a non-ASCII letter, with a
// page in Data and one in Help.
struct ProgramFolder {
    ProgramFolder()
    {
        root = testenv::freshDir(QStringLiteral("prog fä"));
        QDir(root).mkpath("Data");
        QDir(root).mkpath("Help");
        QDir(root).mkpath("Other");
        testenv::writeFile(root + "/Data/list.HTM", "<html></html>");
        testenv::writeFile(root + "/Help/Index.htm", "<html></html>");
        testenv::writeFile(root + "/Other/page.htm", "<html></html>");
        platform::paths::setProgramFolder(root);
    }
    QString page(const QString& rel) const { return QUrl::fromLocalFile(root + rel).toString(QUrl::FullyEncoded); }
    QString root;
};

void turnEventLoop()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

} // namespace

TEST(NavigationGate, CommandsComeOnlyFromLocalProgramPages)
{
    ProgramFolder prog;
    const QString temp = platform::paths::privateTempFolder();
    testenv::writeFile(temp + "/~Z5_1234561.htm", "<html></html>");
    testenv::writeFile(temp + "/other.htm", "<html></html>");
    testenv::writeFile(prog.root + "/Data/frame.HTM", "<html></html>");
    using Kind = platform::browser::NavigationKind;
    const QString data = prog.page("/Data/list.HTM");
    const struct {
        const char* what;
        QString url;
        QString page; // the page the tab shows
        Kind kind = Kind::Link;
        std::optional<QStringList> documents = std::nullopt; // the page's documents, when not the page alone
        bool unreadableFrame = false;
        bool delivered = false;
    } cases[] = {
        {"Data page", "EVENT:Z5_DLSTAT_PAUSE", data, Kind::Link, {}, false, true},
        {"lower case from a Help page", "event:z5_dlstat_pause", prog.page("/Help/Index.htm"), Kind::Link, {}, false, true},
        {"temporary page", "EVENT:Z5_X", QUrl::fromLocalFile(temp + "/~Z5_1234561.htm").toString(), Kind::Link, {},
         false, true},
        {"a script of a Data page", "EVENT:Z5_X", data, Kind::Other},
        {"a form of a Data page", "EVENT:Z5_X", data, Kind::Form},
        {"a Data page with its own frames and an empty one", "EVENT:Z5_X", data, Kind::Link,
         QStringList{data, prog.page("/Data/frame.HTM"), "about:blank"}, false, true},
        {"http page", "EVENT:Z5_DLSTAT_PAUSE", "http://127.0.0.1:1/a.html"},
        {"another file of the program folder", "EVENT:Z5_DLSTAT_PAUSE", prog.page("/Other/page.htm")},
        {"out of Data by ..", "EVENT:Z5_DLSTAT_PAUSE", prog.page("/Data/../Other/page.htm")},
        {"other temporary file", "EVENT:Z5_X", QUrl::fromLocalFile(temp + "/other.htm").toString()},
        {"no page yet", "EVENT:Z5_X", ""},
        {"a redirect while a Data page shows", "EVENT:Z5_DLSTAT_STOP", data, Kind::Redirect},
        {"an address typed while a Data page shows", "EVENT:Z5_DLSTAT_STOP", data, Kind::Typed},
        {"the history of a Data page", "EVENT:Z5_X", data, Kind::BackForward},
        {"a reload of a Data page", "EVENT:Z5_X", data, Kind::Reload},
        {"another file framed by a Data page", "EVENT:Z5_X", data, Kind::Link,
         QStringList{data, prog.page("/Other/page.htm")}},
        {"a web page framed by a Data page", "EVENT:Z5_X", data, Kind::Link, QStringList{data, "http://127.0.0.1:1/"}},
        {"a frame that cannot be read", "EVENT:Z5_X", data, Kind::Link, {}, true},
    };
    for (const auto& c : cases) {
        TabsFixture f;
        f.open({"http://a/"});
        platform::browser::FakeBrowser* b = f.tabBrowser(1);
        b->tagText = "0|3|0|0|0|-1"; // any view kind may send
        b->location = c.page;
        b->documents = c.documents;
        b->unreadableFrame = c.unreadableFrame;
        EXPECT_FALSE(b->gate(c.url, true, QString(), c.kind)) << c.what;
        EXPECT_TRUE(f.fakes.pageEvents.isEmpty()) << c.what << ": delivered inside the engine's call";
        turnEventLoop();
        EXPECT_EQ(f.fakes.pageEvents, c.delivered ? QStringList({c.url}) : QStringList()) << c.what;
    }
}

TEST(NavigationGate, TheSnippetViewPagesCommandsGoToTheListsWhateverFramesThePageHolds)
{
    // The lists check the page's token; the gate asks only for a click on a
    // temporary page of the program.
    ProgramFolder prog;
    const QString temp = platform::paths::privateTempFolder();
    testenv::writeFile(temp + "/~Z5_1234561.htm", "<html></html>");
    const QString page = QUrl::fromLocalFile(temp + "/~Z5_1234561.htm").toString();
    const QString command = "EVENT:Z5_VIEWSP_EDIT-token-/s/a.z5s";
    using Kind = platform::browser::NavigationKind;
    const struct {
        const char* what;
        QString page;
        Kind kind;
        std::optional<QStringList> documents;
        bool unreadableFrame;
        bool delivered;
    } cases[] = {
        {"a web frame", page, Kind::Link, QStringList{page, "http://127.0.0.1:1/"}, false, true},
        {"a frame that cannot be read", page, Kind::Link, std::nullopt, true, true},
        {"a script of the page", page, Kind::Other, std::nullopt, false, false},
        {"a web page", "http://127.0.0.1:1/a.html", Kind::Link, std::nullopt, false, false},
    };
    for (const auto& c : cases) {
        TabsFixture f;
        f.open({"http://a/"});
        platform::browser::FakeBrowser* b = f.tabBrowser(1);
        b->tagText = "0|3|0|0|0|-1";
        b->location = c.page;
        b->documents = c.documents;
        b->unreadableFrame = c.unreadableFrame;
        EXPECT_FALSE(b->gate(command, true, QString(), c.kind)) << c.what;
        EXPECT_EQ(f.fakes.calls.count("HandleSnippetPageEvent(1," + command + ")"), 0) << c.what << ": inside the engine's call";
        turnEventLoop();
        EXPECT_EQ(f.fakes.calls.count("HandleSnippetPageEvent(1," + command + ")"), c.delivered ? 1 : 0) << c.what;
        EXPECT_TRUE(f.fakes.pageEvents.isEmpty()) << c.what;
    }
}

TEST(NavigationGate, TestsInOrder)
{
    FilterList = QStringLiteral("|blocked.example|pw|");
    struct Case {
        const char* what;
        std::function<void(TabsFixture&)> arrange;
        int browser;
        QString url;
        bool passes;
    };
    const Case cases[] = {
        {"start-up refuses even the blank page", [](TabsFixture& f) { f.state.NavigationHeld.set(true); }, 1,
         "file:///p/Common/Z5_BlankPage.HTM", false},
        {"EVENT: followed by another name is an ordinary address", nullptr, 1, "event:Z6_X", true},
        {"a viewer tab is not filtered", [](TabsFixture& f) { f.tabBrowser(1)->tagText = "0|2|0|0|0|-1"; }, 1,
         "http://blocked.example/", true},
        {"an empty record is no page", [](TabsFixture& f) { f.tabBrowser(1)->tagText.clear(); }, 1,
         "http://blocked.example/", true},
        {"while tabs close other browsers are refused", [](TabsFixture& f) { f.tabs->ClosingTabs.set(true); }, 1,
         "http://a/", false},
        {"while tabs close they may load the blank page", [](TabsFixture& f) { f.tabs->ClosingTabs.set(true); }, 1,
         "file:///p/Common/Z5_BlankPage.HTM", true},
        {"while tabs close browser 0 may navigate", [](TabsFixture& f) { f.tabs->ClosingTabs.set(true); }, 0,
         "http://a/", true},
        {"empty address", nullptr, 1, "http:///", false},
        {"blank", nullptr, 1, "  ", false},
        {"listed site", nullptr, 1, "http://BLOCKED.example/x", false},
        {"listed site with script and .close in it", nullptr, 1, "http://blocked.example/?a=javascript.close", false},
        {"script address closing a window", nullptr, 1, "javascript:window.close()", true},
        {"script address refreshing a window", nullptr, 1, "javascript:refreshwindow()", false},
        {"an http address naming refreshwindow is only filtered", nullptr, 1, "http://ok.example/script/refreshwindow",
         true},
        {"a missing browser fails closed", nullptr, 7, "http://a/", false},
        {"HTTP:/// anywhere", nullptr, 1, "http://a/?u=HTTP:///", false},
    };
    for (const Case& c : cases) {
        TabsFixture f;
        f.open({"http://a/"});
        if (c.arrange)
            c.arrange(f);
        NavigationRequest r;
        r.url = c.url;
        f.tabs->WBMAIN_BeforeNavigate2(c.browser, r);
        EXPECT_EQ(!r.cancel, c.passes) << c.what;
    }
    FilterList.clear();
}

TEST(NavigationGate, SilentAndBusyPictureAndClicks)
{
    TabsFixture f;
    f.open({"http://a/"});
    GroupOpening = -1;
    EXPECT_TRUE(f.tabBrowser(1)->gate("http://b/"));
    EXPECT_TRUE(f.tabBrowser(1)->silentFlag);
    GroupOpening = 0;
    EXPECT_TRUE(f.tabBrowser(1)->gate("http://b/"));
    EXPECT_FALSE(f.tabBrowser(1)->silentFlag);
    EXPECT_EQ(f.tabs->BusyState[0], 2);
    EXPECT_EQ(f.chrome.busyPictureWidth, 150);

    // A click is kept by a script link or a reload of the same address and
    // consumed by a real navigation.
    f.model.SetUserClickState(2);
    EXPECT_TRUE(f.tabBrowser(1)->gate("javascript:void(0)"));
    EXPECT_TRUE(f.tabBrowser(1)->gate(f.tabBrowser(1)->location));
    EXPECT_EQ(f.model.UserClickState(), 2);
    EXPECT_TRUE(f.tabBrowser(1)->gate("http://c/"));
    EXPECT_EQ(f.model.UserClickState(), 0);

    // A popup tab's first navigation after a click brings it to the front.
    f.open({"http://popup/"});
    f.tabBrowser(2)->tagText = "2|1|0|0|0|1";
    f.model.SetUserClickState(3);
    f.state.Layout.SetPaneCount(2);
    EXPECT_TRUE(f.tabBrowser(2)->gate("javascript:frame()", false));
    EXPECT_EQ(f.model.CurrentTab(), 0) << "a frame does not";
    EXPECT_EQ(f.model.UserClickState(), 3);
    EXPECT_TRUE(f.tabBrowser(2)->gate("http://popup/next", true));
    EXPECT_EQ(f.model.CurrentTab(), 2);
    EXPECT_EQ(f.state.Layout.PaneCount(), 1);
    EXPECT_EQ(f.model.UserClickState(), 0);
}

TEST(PopupControl, Modes)
{
    const QString refused = QStringLiteral("POPUP is not allowed : 2");
    struct Case {
        int mode;
        uint8_t click;
        bool newTab;
        bool cancelled;
        bool caught;
        QString status;
    };
    const Case cases[] = {
        {0, 0, true, false, false, ""},      {1, 0, false, false, false, ""},
        {2, 0, false, true, false, refused}, {3, 0, false, false, true, refused},
        {4, 0, false, false, true, ""},      {2, 2, true, false, false, ""},
        {3, 3, true, false, false, ""},      {4, 2, true, false, false, ""},
        {7, 0, false, false, false, ""},
    };
    for (const Case& c : cases) {
        TabsFixture f;
        f.open({"http://opener/"});
        f.state.PopupControlMode = static_cast<uint8_t>(c.mode);
        f.model.SetUserClickState(c.click);
        const NewWindowRequest r = f.tabBrowser(1)->requestWindow("http://popup/");
        const std::string what = "mode " + std::to_string(c.mode) + " click " + std::to_string(c.click);
        EXPECT_EQ(r.cancel, c.cancelled) << what;
        EXPECT_EQ(f.model.TabCount(), c.newTab ? 3 : 2) << what;
        EXPECT_EQ(r.adopt == &f.host.catcher, c.caught) << what;
        EXPECT_EQ(f.chrome.status, c.status) << what;
        if (c.newTab) {
            EXPECT_EQ(r.adopt, f.host.fake(2)) << what;
            EXPECT_EQ(f.host.fake(1)->tagText, "1|1|0|0|0|-1|2") << what;
            EXPECT_EQ(f.host.fake(2)->tagText, "2|1|0|0|0|1") << what;
            EXPECT_TRUE(f.host.fake(2)->visibleFlag) << what;
            EXPECT_EQ(f.model.CurrentTab(), 0) << what << ": not made current here";
        }
        if (c.caught && c.mode == 4) {
            EXPECT_EQ(f.host.catcher.loopbackMark, "LOOPBACK");
            EXPECT_EQ(f.host.catcher.tagText, "1");
        }
    }
}

TEST(PopupControl, BurstsAreCountedPerPageLoad)
{
    TabsFixture f;
    f.open({"http://opener/"});
    int opened = 0;
    for (int i = 0; i < 7; ++i) {
        const NewWindowRequest r = f.tabBrowser(1)->requestWindow(QStringLiteral("http://p%1/").arg(i));
        if (!r.cancel)
            ++opened;
        EXPECT_EQ(f.model.PopupBurstFlag() != 0, i >= 2) << "popup " << i + 1;
    }
    EXPECT_EQ(opened, 6) << "the seventh is refused";
    // The page's next load starts the count again; a click resets it.
    f.tabs->WBMAIN_DocumentComplete(1, "http://opener/", true);
    EXPECT_EQ(f.tabs->GetTabState(1, FieldPopupCount), 0);
    f.model.SetUserClickState(2);
    for (int i = 0; i < 7; ++i)
        EXPECT_FALSE(f.tabBrowser(1)->requestWindow("http://q/").cancel);
    EXPECT_EQ(f.tabs->GetTabState(1, FieldPopupCount), 0);
    // Viewer tabs and closing tabs open none.
    f.tabBrowser(1)->tagText = "1|3|0|0|0|-1";
    EXPECT_TRUE(f.tabBrowser(1)->requestWindow("http://q/").cancel);
}

TEST(PopupControl, LoopBackLoadsThePopupIntoItsOpener)
{
    TabsFixture f;
    f.open({"http://opener/"});
    f.state.PopupControlMode = 4;
    ASSERT_EQ(f.tabBrowser(1)->requestWindow("http://popup/").adopt, &f.host.catcher);
    EXPECT_FALSE(f.host.catcher.gate("http://popup/"));
    EXPECT_EQ(f.host.catcher.loopbackMark, "");
    EXPECT_EQ(f.host.catcher.tagText, "");
    EXPECT_TRUE(f.host.fake(1)->navigated.size() == 1) << "not inside the engine's call";
    turnEventLoop();
    EXPECT_EQ(f.host.fake(1)->navigated.last(), "http://popup/");
    // Mode 3 keeps the popup in the catcher.
    f.state.PopupControlMode = 3;
    f.tabBrowser(1)->requestWindow("http://swallowed/");
    EXPECT_TRUE(f.host.catcher.gate("http://swallowed/"));
    EXPECT_FALSE(f.host.catcher.gate("res://x/"));
}

TEST(BrowserEvents, WindowClosing)
{
    TabsFixture f;
    f.open({"http://opener/"});
    f.state.PopupControlMode = 0;
    f.tabBrowser(1)->requestWindow("http://popup/");
    ASSERT_EQ(f.model.TabCount(), 3);
    bool cancel = false;
    // Without a user click the page keeps its tab.
    f.host.fake(2)->browserEvents().windowClosing(cancel);
    EXPECT_TRUE(cancel);
    turnEventLoop();
    EXPECT_EQ(f.model.TabCount(), 3);
    // After a click it closes on the next turn and its opener becomes current.
    f.model.SetCurrentTab(2);
    f.model.SetUserClickState(2);
    f.host.fake(2)->browserEvents().windowClosing(cancel);
    EXPECT_EQ(f.model.TabCount(), 3) << "not inside the engine's call";
    turnEventLoop();
    EXPECT_EQ(f.model.TabCount(), 2);
    EXPECT_EQ(f.model.CurrentTab(), 1);
    EXPECT_EQ(f.host.fake(1)->tagText, "1|1|0|0|0|-1");
    // A browser without a tab: nothing.
    f.tabs->WBMAIN_WindowClosing(9);
    turnEventLoop();
    EXPECT_EQ(f.model.TabCount(), 2);
}

TEST(BrowserEvents, TitlesStatusAndCommandStates)
{
    TabsFixture f;
    f.open({"http://a/", "http://b/"});
    f.model.SetCurrentTab(2);
    f.tabs->WBMAIN_TitleChange(2, "Page B");
    EXPECT_EQ(f.model.TabTitles()[2], "Page B");
    EXPECT_EQ(f.log.count("UpdateTabTitle(2)"), 1);
    EXPECT_EQ(f.log.count("RefreshCurrentTabChrome"), 1);
    f.tabs->WBMAIN_TitleChange(2, "Page B");
    EXPECT_EQ(f.log.count("UpdateTabTitle(2)"), 1) << "the same title twice does nothing";
    f.tabs->WBMAIN_TitleChange(1, "C:/x/Common/Z5_BlankPage.HTM");
    EXPECT_EQ(f.model.TabTitles()[1], "");
    f.chrome.fit = 1;
    f.state.TabButtonOffset = 1;
    f.tabs->WBMAIN_TitleChange(0, "before the first button");
    EXPECT_FALSE(f.log.has("UpdateTabTitle(-1)"));

    const struct {
        QString text;
        int browser;
        int tab;
        QString shown;
    } statuses[] = {
        {"Loading", 2, -1, "Loading : 3"}, {"Loading", -1, 0, "Loading : 1"}, {"Plain", -1, -1, "Plain"},
        {"Done", 2, -1, ""}, {"file:///x/~Z5_1.htm", -1, -1, ""}, {"Loading", 9, -1, "Loading"},
    };
    for (const auto& s : statuses) {
        f.tabs->SetStatusMessage(s.text, s.browser, s.tab);
        EXPECT_EQ(f.chrome.status, s.shown) << s.text.toStdString();
    }
    f.tabs->ClosingTabs.set(true);
    f.tabs->SetStatusMessage("x");
    EXPECT_EQ(f.chrome.status, "Loading");
    f.tabs->ClosingTabs.set(false);

    // Only the current tab's browser changes the edit flags and buttons.
    f.tabBrowser(2)->commandStatus = platform::browser::CmdSupported;
    f.tabs->WBMAIN_CommandStateChange(1, -1, true);
    EXPECT_FALSE(f.tabs->CanCopy);
    f.tabBrowser(1)->commandStatus = platform::browser::CmdSupported;
    f.tabBrowser(2)->commandStatus = platform::browser::CmdSupported | platform::browser::CmdEnabled;
    f.tabs->WBMAIN_CommandStateChange(2, -1, true);
    EXPECT_TRUE(f.tabs->CanCopy && f.tabs->CanCut && f.tabs->CanPaste);
    f.tabs->WBMAIN_CommandStateChange(1, 2, true);
    EXPECT_FALSE(f.log.has("SetBackButtonState"));
    f.tabs->WBMAIN_CommandStateChange(2, 2, true);
    f.tabs->WBMAIN_CommandStateChange(2, 1, false);
    EXPECT_EQ(f.log.count("SetBackButtonState(1)"), 1);
    EXPECT_EQ(f.log.count("SetForwardButtonState(0)"), 1);
}

TEST(BusyIndicator, PictureFollowsTheState)
{
    TabsFixture f;
    const struct {
        uint8_t state;
        int picture;
    } cases[] = {{1, 149}, {2, 150}, {3, 151}, {4, 152}, {9, 152}};
    for (const auto& c : cases) {
        f.tabs->BusyState[0] = c.state;
        f.tabs->ShowBusyIndicator();
        EXPECT_EQ(f.chrome.busyPictureWidth, c.picture) << int(c.state);
    }
    f.tabs->BusyState[0] = 1;
    f.tabs->ClosingTabs.set(true);
    f.tabs->ShowBusyIndicator();
    EXPECT_EQ(f.chrome.busyPictureWidth, 152);
    f.tabs->ClosingTabs.set(false);
    GroupOpening = -1;
    f.tabs->ShowBusyIndicator();
    EXPECT_EQ(f.chrome.busyPictureWidth, 152);
    GroupOpening = 0;
    // The skin has no picture: the box keeps its own.
    f.tabs->busyPicture = [](int16_t) { return std::optional<QPixmap>(); };
    f.tabs->ShowBusyIndicator();
    EXPECT_EQ(f.chrome.busyPictureWidth, 152);
}

TEST(BrowserEvents, DocumentCompleteAndProgress)
{
    TabsFixture f;
    f.open({"http://a/", "http://b/"});
    f.model.SetCurrentTab(1);
    f.tabs->ProgressBrowser = 1;
    f.state.DisplayFlags[DisplaySidePane] = -1;
    f.host.fake(1)->tagText = "1|1|0|0|4|-1|2";
    f.host.fake(1)->scrollFixMark = 1;
    f.tabs->BusyState[0] = 2;
    f.tabs->WBMAIN_DocumentComplete(1, "http://a/", false);
    EXPECT_EQ(f.tabs->GetTabState(1, FieldPopupCount), 4) << "a frame ends it";
    EXPECT_EQ(f.log.count("EndSplitterDrag"), 1);
    f.tabs->WBMAIN_DocumentComplete(1, "http://a/", true);
    EXPECT_EQ(f.tabs->GetTabState(1, FieldPopupCount), 0);
    EXPECT_EQ(f.host.fake(1)->scrollFixMark, 2);
    EXPECT_TRUE(f.host.fake(1)->scripts.isEmpty());
    EXPECT_EQ(f.tabs->BusyState[0], 1);
    EXPECT_EQ(f.log.count("BindDocumentEvents"), 1);
    EXPECT_EQ(f.log.count("ResetFetchProgress"), 1);
    EXPECT_EQ(f.log.count("TabPageLoaded(1,http://a/)"), 1) << "only the top-level document tells the downloads";
    f.tabs->WBMAIN_DocumentComplete(1, "http://a/", true);
    EXPECT_EQ(f.host.fake(1)->scripts.size(), 1) << "the body gets its scroll bar";
    // A background tab leaves the busy picture alone; the blank page does nothing.
    f.tabs->BusyState[0] = 2;
    f.tabs->WBMAIN_DocumentComplete(2, "http://b/", true);
    EXPECT_EQ(f.tabs->BusyState[0], 2);
    f.log.calls.clear();
    f.tabs->WBMAIN_DocumentComplete(1, "file:///p/Common/Z5_BlankPage.HTM", true);
    EXPECT_TRUE(f.log.calls.isEmpty());
    // A snippet view or a link item restarts its list's timer while the
    // list plays, on the load its step started only: a page the user
    // reaches from it later, a load in another tab, or a list that does
    // not play leave the timer alone.
    struct Load {
        const char* name;
        int kind;
        int stepBrowser; // the browser the step navigated (-1 none)
        int loaded;
        bool playing;
        int arms;        // how many of two loads in a row arm the timer
    } loads[] = {
        {"the step's snippet view", 4, 2, 2, true, 1},
        {"the step's link item", 5, 2, 2, true, 1},
        {"no step started it", 5, -1, 2, true, 0},
        {"another tab's load", 4, 1, 2, true, 0},
        {"the list is paused", 5, 2, 2, false, 0},
    };
    for (const Load& l : loads) {
        SCOPED_TRACE(l.name);
        f.log.calls.clear();
        f.host.fake(2)->tagText = l.kind == 4 ? "0|4|0|0|0|-1" : "0|5|0|0|0|-1";
        f.state.ListPlayState[l.kind] = l.playing ? 2 : 1;
        f.state.ListStepBrowser[l.kind] = static_cast<int16_t>(l.stepBrowser);
        f.tabs->WBMAIN_DocumentComplete(l.loaded, "http://b/", true);
        f.tabs->WBMAIN_DocumentComplete(l.loaded, "http://b/clicked.html", true);
        EXPECT_EQ(f.log.count(QStringLiteral("SetListTimer(%1,1)").arg(l.kind)), l.arms);
    }

    // Progress shows for the followed browser only, never for local pages.
    f.log.calls.clear();
    f.tabs->WBMAIN_ProgressChange(1, 30, 100);
    f.tabs->WBMAIN_ProgressChange(2, 40, 100);
    EXPECT_EQ(f.log.calls, QStringList({"SetProgressBar(100,30)"}));
    f.host.fake(1)->location = "file:///p/Common/Z5_BlankPage.HTM";
    f.tabs->WBMAIN_ProgressChange(1, 50, 100);
    EXPECT_EQ(f.log.calls.size(), 1);
    // Status texts of the current tab only, each once.
    f.host.fake(1)->location = "http://a/";
    f.tabs->WBMAIN_StatusTextChange(2, "http://other/");
    f.tabs->WBMAIN_StatusTextChange(1, "http://link/");
    f.tabs->WBMAIN_StatusTextChange(1, "http://link/");
    EXPECT_EQ(f.log.count("SetStatusLine(http://link/ : 2)"), 1);
    EXPECT_FALSE(f.log.has("SetStatusLine(http://other/"));
}

TEST(BrowserEvents, FocusAfterAClickMakesTheTabCurrent)
{
    TabsFixture f;
    f.open({"http://a/", "http://b/"});
    f.tabs->WBMAIN_GotFocus(2);
    EXPECT_EQ(f.model.CurrentTab(), 0);
    f.model.SetUserClickState(2);
    f.tabs->WBMAIN_GotFocus(2);
    EXPECT_EQ(f.model.CurrentTab(), 2);
    EXPECT_EQ(f.tabs->ProgressBrowser, 2);
    f.chrome.fullScreen = true;
    f.tabs->WBMAIN_GotFocus(1);
    EXPECT_EQ(f.model.CurrentTab(), 2);
    f.chrome.fullScreen = false;
    f.tabs->WBMAIN_WindowSetRect(1);
    EXPECT_EQ(f.host.fake(1)->scrollFixMark, 1);
}
