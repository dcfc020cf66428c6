#include "browsing/tabbrowsing.h"

#include "browsing/tabstaterecord.h"
#include "core/cleanup.h"
#include "core/contentfilter.h"
#include "core/fileclasses.h"
#include "core/globals.h"
#include "core/language.h"
#include "core/skinbinding.h"
#include "platform/base/vbrt.h"
#include "platform/base/paths.h"
#include "platform/web/wininet.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <utility>

namespace {

// Runs its action when the scope ends, however it ends.
template <typename F>
class ScopeExit {
public:
    explicit ScopeExit(F f) : f_(std::move(f)) {}
    ~ScopeExit() { f_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    F f_;
};

bool isPageKind(int16_t viewKind)
{
    return viewKind == 1 || viewKind == 5;
}

// javascript: and vbscript: addresses, the only ones the script exceptions
// of the gate apply to.
bool isScriptAddress(const QString& url)
{
    const QString t = url.trimmed();
    return t.startsWith(QLatin1String("javascript:"), Qt::CaseInsensitive)
           || t.startsWith(QLatin1String("vbscript:"), Qt::CaseInsensitive);
}

// Navigations a page's own document asked for.
bool isSentByPage(platform::browser::NavigationKind kind)
{
    using platform::browser::NavigationKind;
    return kind == NavigationKind::Link || kind == NavigationKind::Form || kind == NavigationKind::Other;
}

// A frame whose document its parent made (about:blank, srcdoc).
bool isEmptyFrame(const QString& url)
{
    return url == QLatin1String("about:blank") || url == QLatin1String("about:srcdoc");
}

bool isBelow(const QString& path, const QString& folder)
{
    const QString f = QFileInfo(folder).canonicalFilePath();
    return !f.isEmpty() && path.startsWith(f + QLatin1Char('/'));
}

// Runs f on the next turn of the event loop unless the tabs are gone.
template <typename F>
void later(const std::shared_ptr<bool>& alive, F f)
{
    QTimer::singleShot(0, qApp, [weak = std::weak_ptr<bool>(alive), f = std::move(f)]() mutable {
        if (auto a = weak.lock(); a && *a)
            f();
    });
}

} // namespace

TabBrowsing::TabBrowsing(ExplorerState& state, IBrowserHost& host, IWindowChrome& chrome, IMediaPlayer& media,
                         IListsPane& lists, IDownloads& downloads)
    : st_(state), host_(host), chrome_(chrome), media_(media), lists_(lists), downloads_(downloads)
{
    BusyState.fill(1);
    BlankPageUrl = platform::paths::programFolder() + QStringLiteral("\\Common\\Z5_BlankPage.HTM");
    busyPicture = [](int16_t id) { return GetSkinPicture(id, 0); };
    if (st_.ClosedTabRingEnabled && st_.ClosedTabUrls.size() < 5)
        st_.ClosedTabUrls = QStringList(5, QString());
    if (st_.TabBrowserMap.size() < st_.TabCount + 1)
        resizeTabArrays();
    // Nothing the content filter lists is requested, whichever page of the
    // profile asks (tabs, hidden browsers, windows left to the engine, their
    // pictures, scripts and connections).
    platform::wininet::setAddressFilter([](const QString& url) { return IsUrlBlocked(url); });
    if (IBrowser* b0 = host_.browser(0))
        wire(0, b0);
    if (IBrowser* catcher = host_.popupCatcher()) {
        catcher->browserEvents().beforeNavigate2 = [this](NavigationRequest& r) { WBBACK_BeforeNavigate2(r); };
        catcher->browserEvents().newWindow2 = [](NewWindowRequest& r) { r.cancel = true; };
    }
}

TabBrowsing::~TabBrowsing()
{
    *alive_ = false;
    for (int i = 0; i < st_.TabBrowserMap.size(); ++i) {
        if (IBrowser* b = host_.browser(st_.TabBrowserMap[i]))
            b->browserEvents() = platform::browser::BrowserEvents{};
    }
    if (IBrowser* b0 = host_.browser(0))
        b0->browserEvents() = platform::browser::BrowserEvents{};
    if (IBrowser* catcher = host_.popupCatcher())
        catcher->browserEvents() = platform::browser::BrowserEvents{};
}

void TabBrowsing::wire(int index, IBrowser* b)
{
    auto& e = b->browserEvents();
    e.beforeNavigate2 = [this, index](NavigationRequest& r) { WBMAIN_BeforeNavigate2(index, r); };
    e.newWindow2 = [this, index](NewWindowRequest& r) { WBMAIN_NewWindow2(index, r); };
    e.documentComplete = [this, index](const QString& url, bool top) { WBMAIN_DocumentComplete(index, url, top); };
    e.downloadBegin = [this] { WBMAIN_DownloadBegin(); };
    e.downloadComplete = [this] { WBMAIN_DownloadComplete(); };
    e.progressChange = [this, index](int p, int max) { WBMAIN_ProgressChange(index, p, max); };
    e.statusTextChange = [this, index](const QString& t) { WBMAIN_StatusTextChange(index, t); };
    e.titleChange = [this, index](const QString& t) { WBMAIN_TitleChange(index, t); };
    e.commandStateChange = [this, index](int c, bool en) { WBMAIN_CommandStateChange(index, c, en); };
    e.windowClosing = [this, index](bool& cancel) {
        cancel = true;
        WBMAIN_WindowClosing(index);
    };
    e.windowSetRect = [this, index] { WBMAIN_WindowSetRect(index); };
    e.gotFocus = [this, index] { WBMAIN_GotFocus(index); };
}

IBrowser* TabBrowsing::CurrentBrowser() const
{
    if (st_.CurrentTab < 0 || st_.CurrentTab >= st_.TabBrowserMap.size())
        return nullptr;
    return host_.browser(st_.TabBrowserMap[st_.CurrentTab]);
}

void TabBrowsing::DoEvents()
{
    if (doEvents)
        doEvents();
    else
        QCoreApplication::processEvents();
}

void TabBrowsing::resizeTabArrays()
{
    const int size = std::max<int>(1, st_.TabCount + 1);
    st_.TabBrowserMap.resize(size);
    while (st_.TabTitles.size() < size)
        st_.TabTitles.append(QString());
    while (st_.TabTitles.size() > size)
        st_.TabTitles.removeLast();
}

// ---- State record -------------------------------------------------------

int16_t TabBrowsing::GetTabState(int browser, int field) const
{
    const IBrowser* b = host_.browser(browser);
    return b ? TabStateFieldOf(b->tag(), field) : 0;
}

void TabBrowsing::SetTabState(int browser, int field, int16_t value)
{
    if (IBrowser* b = host_.browser(browser))
        b->setTag(TabStateWithField(b->tag(), field, value));
}

void TabBrowsing::RemoveChildBrowser(int opener, int child)
{
    if (IBrowser* b = host_.browser(opener))
        b->setTag(TabStateWithoutChild(b->tag(), static_cast<int16_t>(child)));
}

void TabBrowsing::UnlinkTabRelations(int browser)
{
    const IBrowser* b = host_.browser(browser);
    if (!b)
        return;
    const QStringList parts = b->tag().split(QLatin1Char('|'));
    const int16_t opener = TabStateFieldOf(b->tag(), FieldOpenerBrowser);
    if (parts.size() > FieldOpenerBrowser && opener > -1)
        RemoveChildBrowser(opener, browser);
    for (int i = FieldFirstChild; i < parts.size(); ++i) {
        const int16_t child = TabStateFieldOf(b->tag(), i);
        // Only a child that still names this browser as its opener.
        if (child != browser && GetTabState(child, FieldOpenerBrowser) == browser)
            SetTabState(child, FieldOpenerBrowser, -1);
    }
}

void TabBrowsing::ResetTab(int tab)
{
    if (tab < 0 || tab >= st_.TabCount)
        return;
    const int b = st_.TabBrowserMap[tab];
    UnlinkTabRelations(b);
    if (IBrowser* br = host_.browser(b)) {
        br->setTag(kInitialTabState);
        br->navigate2(BlankPageUrl);
    }
    if (tab == st_.CurrentTab)
        SetStatusMessage(QString(), -1, -1);
}

// ---- Tab lifecycle ------------------------------------------------------

int TabBrowsing::FindFreeBrowserIndex() const
{
    int k = 1;
    for (;;) {
        bool used = false;
        for (int t = 0; t < st_.TabCount && t < st_.TabBrowserMap.size(); ++t)
            used = used || st_.TabBrowserMap[t] == k;
        if (!used)
            return k;
        ++k;
    }
}

int TabBrowsing::TabOfBrowser(int browser) const
{
    for (int t = std::min<int>(st_.TabCount, st_.TabBrowserMap.size()) - 1; t >= 0; --t) {
        if (st_.TabBrowserMap[t] == browser)
            return t;
    }
    return -1;
}

void TabBrowsing::NewTab(int n, bool visible, bool showCount)
{
    if (n < 0)
        return;
    if (n > 0) {
        if (n >= st_.TabBrowserMap.size())
            st_.TabBrowserMap.resize(n + 1);
        // A tab that gets a new browser gives its old one up: no browser is
        // left loaded without a tab.
        if (n < st_.TabCount && st_.TabBrowserMap[n] > 0) {
            UnlinkTabRelations(st_.TabBrowserMap[n]);
            host_.unloadBrowser(st_.TabBrowserMap[n]);
            st_.TabBrowserMap[n] = 0;
        }
        st_.TabBrowserMap[n] = static_cast<int16_t>(FindFreeBrowserIndex());
    }
    st_.TabCount = static_cast<int16_t>(n + 1);
    resizeTabArrays();
    st_.TabTitles[n] = QString();
    const int b = st_.TabBrowserMap[n];
    if (b >= 1) {
        IBrowser* br = host_.browser(b);
        if (!br) {
            br = host_.loadBrowser(b);
            if (br)
                wire(b, br);
        }
        if (br) {
            br->setVisible(visible);
            br->setTag(kInitialTabState);
            // A new tab that is not the current one opens behind it.
            if (visible && n != st_.CurrentTab)
                if (IBrowser* current = CurrentBrowser(); current && current != br)
                    current->bringToFront();
        }
    }
    if (showCount)
        chrome_.ShowTabCount(st_.TabCount);
}

void TabBrowsing::ActivateTab(int n)
{
    if (n < 0 || n >= st_.TabCount)
        return;
    ScopeExit done([this] { st_.BusyFlags[6] = 0; });
    const int b = st_.TabBrowserMap[n];
    IBrowser* br = host_.browser(b);
    if (br)
        br->setVisible(true);
    chrome_.ScrollTabStripToCurrent();
    chrome_.RefreshTabButtons(0);
    if (n == st_.CurrentTab) {
        chrome_.RefreshCurrentTabChrome();
        if (br && br->scrollFixMark == 1)
            br->scrollFixMark = 2;
        media_.SetPageScrollOn();
    }
    chrome_.PlaceBrowsersInPanes(n);
    if (br)
        br->bringToFront();
    if (b == st_.ListViewerBrowser[2]) {
        st_.CurrentListKind = 2;
        media_.PlaceVideoView();
        lists_.ShowCurrentList();
    } else if (b == st_.ListViewerBrowser[3]) {
        st_.CurrentListKind = 3;
        media_.RelayoutImageViewer();
        lists_.ShowCurrentList();
    }
    ProgressBrowser = static_cast<int16_t>(b);
    if (st_.ViewMode >= 4)
        chrome_.BringSplittersToFront();
}

void TabBrowsing::GoToTab(int n)
{
    if (st_.BusyFlags[6])
        return;
    st_.BusyFlags[6] = -1;
    ScopeExit done([this] { st_.BusyFlags[6] = 0; });
    st_.ViewMode = 0;
    st_.PaneCount = 1;
    st_.CurrentTab = static_cast<int16_t>(n);
    ActivateTab(n);
}

void TabBrowsing::SelectTabFromMenu(int n)
{
    st_.CurrentTab = static_cast<int16_t>(n);
    if (st_.PaneCount == 1) {
        ActivateTab(n);
    } else if (n < st_.PaneCount) {
        chrome_.RefreshCurrentTabChrome();
        chrome_.RefreshTabButtons(0);
    } else {
        st_.ViewMode = 0;
        st_.PaneCount = 1;
        ActivateTab(n);
    }
}

void TabBrowsing::SwitchToAdjacentTab(int direction, bool once)
{
    if (st_.TabCount == 1)
        return;
    bool first = true;
    double wait = 250;
    for (;;) {
        if (IBrowser* cur = CurrentBrowser())
            cur->stop();
        int t = st_.CurrentTab;
        if (direction == 7) {
            t = t + 1 >= st_.TabCount ? 0 : t + 1;
        } else {
            t = t - 1 < 0 ? st_.TabCount - 1 : t - 1;
        }
        const int b = st_.TabBrowserMap[t];
        IBrowser* br = host_.browser(b);
        st_.CurrentTab = static_cast<int16_t>(t);
        if (br)
            br->setVisible(true);
        chrome_.ScrollTabStripToCurrent();
        chrome_.RefreshTabButtons(0);
        chrome_.RefreshCurrentTabChrome();
        if (br && br->scrollFixMark == 1)
            br->scrollFixMark = 2;
        if (first) {
            st_.ViewMode = 0;
            st_.PaneCount = 1;
            chrome_.PlaceBrowsersInPanes(t);
            first = false;
        }
        if (br)
            br->bringToFront();
        if (b == st_.ListViewerBrowser[2]) {
            st_.CurrentListKind = 2;
            media_.PlaceVideoView();
            lists_.ShowCurrentList();
        } else if (b == st_.ListViewerBrowser[3]) {
            st_.CurrentListKind = 3;
            media_.RelayoutImageViewer();
            lists_.ShowCurrentList();
        }
        chrome_.RefreshCurrentTabChrome();
        ProgressBrowser = static_cast<int16_t>(b);
        if (!st_.ButtonReleased) {
            Delay(wait);
            wait = 55;
        }
        if (once || st_.ButtonReleased || CloseRequested)
            return;
    }
}

void TabBrowsing::CloseTab(int tab, bool activateOpener)
{
    if (tab < 0 || tab >= st_.TabCount)
        return;
    const int b = st_.TabBrowserMap[tab];
    if (b == st_.ListViewerBrowser[2])
        media_.CloseVideoPlayer();
    if (b == st_.ListViewerBrowser[3])
        media_.StopImageList();
    if (b == 0 && st_.TabCount == 1) {
        const IBrowser* b0 = host_.browser(0);
        if (!b0 || IsBlankPageUrl(b0->locationURL()))
            return;
    }
    UnlinkTabRelations(b);
    IBrowser* br = host_.browser(b);
    if (!br || !br->isVisible()) {
        ReleaseTabBrowser(tab);
    } else {
        if (st_.ClosedTabRingEnabled && tab == st_.CurrentTab && br->readyState() == platform::browser::ReadyComplete
            && st_.ClosedTabUrls.size() >= 5) {
            for (int i = 4; i > 0; --i)
                st_.ClosedTabUrls[i] = st_.ClosedTabUrls[i - 1];
            st_.ClosedTabUrls[0] = br->locationURL();
            st_.ClosedTabCursor = 0;
        }
        if (tab == st_.CurrentTab && activateOpener) {
            const int opener = GetTabState(b, FieldOpenerBrowser);
            ReleaseTabBrowser(tab);
            // An opener whose tab is gone counts as none.
            const int openerTab = opener > -1 ? TabOfBrowser(opener) : -1;
            if (openerTab > -1)
                st_.CurrentTab = static_cast<int16_t>(openerTab);
            else if (st_.CurrentTab > st_.TabCount - 1)
                st_.CurrentTab = static_cast<int16_t>(st_.TabCount - 1);
            ActivateTab(st_.CurrentTab);
        } else {
            ReleaseTabBrowser(tab);
            if (st_.ViewMode > 3)
                st_.ViewMode = 1;
            if (tab <= st_.PaneCount && st_.PaneCount > 1) {
                st_.PaneCount = static_cast<int16_t>(st_.PaneCount - 1);
                chrome_.LayoutViewPanes(true, st_.TabCount, st_.PaneCount);
                chrome_.EnsureTabsForViewMode(true);
                BusyState[0] = 1;
                ShowBusyIndicator();
            }
            if (st_.CurrentTab >= st_.TabCount - 1)
                st_.CurrentTab = static_cast<int16_t>(st_.TabCount - 1);
            ActivateTab(st_.CurrentTab);
        }
    }
    chrome_.RefreshTabButtons(0);
    BusyState[0] = 1;
    ShowBusyIndicator();
}

// Browser 0 is never unloaded: when its tab goes it is hidden, stopped, sent
// to the blank page and given a fresh record, so nothing keeps playing.
void TabBrowsing::unloadClosedBrowser(int browser)
{
    IBrowser* br = host_.browser(browser);
    if (browser < 1) {
        if (br) {
            br->setVisible(false);
            br->stop();
            br->navigate2(BlankPageUrl);
            br->setTag(kInitialTabState);
        }
        return;
    }
    if (br)
        br->setVisible(false);
    host_.unloadBrowser(browser);
}

void TabBrowsing::ReleaseTabBrowser(int tab)
{
    if (tab < 0 || tab >= st_.TabCount)
        return;
    const uint8_t savedMode = st_.PopupControlMode;
    st_.PopupControlMode = 2;
    ScopeExit restore([this, savedMode] { st_.PopupControlMode = savedMode; });
    try {
        unloadClosedBrowser(st_.TabBrowserMap[tab]);
        if (st_.TabCount == 1) {
            st_.PaneCount = 1;
            st_.CurrentTab = 0;
            st_.TabBrowserMap[0] = 0;
            st_.TabTitles[0] = QString();
        } else {
            st_.TabCount = static_cast<int16_t>(st_.TabCount - 1);
            for (int i = tab; i <= st_.TabCount - 1; ++i) {
                st_.TabBrowserMap[i] = st_.TabBrowserMap[i + 1];
                st_.TabTitles[i] = st_.TabTitles[i + 1];
            }
        }
        resizeTabArrays();
        chrome_.ShowTabCount(st_.TabCount);
    } catch (...) {
        // Stops at the first failure; the guard restores the popup mode.
    }
}

void TabBrowsing::CloseTabs(int mode)
{
    GroupStopFlag = -1;
    DoEvents();
    st_.ViewMode = 0;
    st_.PaneCount = 1;
    chrome_.ResetTabStripForCloseAll();
    chrome_.ShowTabCount(1);
    SetStatusMessage(GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9027"),
                                   QStringLiteral("Closing ... Please wait")));
    BusyState[0] = 4;
    ShowBusyIndicator();
    st_.BusyFlags[4] = -1;
    const uint8_t savedMode = st_.PopupControlMode;
    bool finished = false;
    {
        // Every exit gives back the popup mode and the closing flag.
        ScopeExit restore([this, savedMode, &finished] {
            st_.PopupControlMode = savedMode;
            st_.BusyFlags[4] = 0;
            if (!finished) {
                BusyState[0] = 1;
                ShowBusyIndicator();
            }
        });
        DoEvents();
        st_.PopupControlMode = 2;
        try {
            finished = closeTabsBody(mode);
        } catch (...) {
            finished = false;
        }
        if (!finished)
            return;
    }
    chrome_.RefreshCurrentTabChrome();
    chrome_.UpdateTabTitle(0);
    downloads_.ResetFetchProgress();
    SetStatusMessage(GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9028"), QStringLiteral("Done")));
    BusyState[0] = 1;
    ShowBusyIndicator();
}

// Steps 5 to 8 of CloseTabs; false when it ended early (the application is
// closing).
bool TabBrowsing::closeTabsBody(int mode)
{
    auto closing = [this] { return CloseRequested != 0; };
    // Unloads the browser of tab i, cutting its popup links first.
    auto closeTabBrowser = [this](int i) {
        const int b = st_.TabBrowserMap[i];
        UnlinkTabRelations(b);
        unloadClosedBrowser(b);
    };
    if (mode == 1) {
        StopMediaAndTimers();
        if (IBrowser* b = host_.browser(st_.TabBrowserMap[0]))
            b->navigate2(BlankPageUrl);
        DoEvents();
        st_.CurrentTab = 0;
        ActivateTab(0);
        DoEvents();
        st_.UserClickState = 0;
        for (int i = st_.TabCount - 1; i >= 0; --i) {
            if (st_.TabBrowserMap[i] > 0) {
                closeTabBrowser(i);
                if (closing())
                    return false;
            }
        }
        st_.TabBrowserMap[0] = 0;
        st_.TabTitles[0] = QString();
        IBrowser* b0 = host_.browser(0);
        if (b0 && !IsBlankPageUrl(b0->locationURL()))
            b0->navigate2(BlankPageUrl);
        DoEvents();
        st_.CurrentTab = 0;
        ActivateTab(0);
        DoEvents();
        if (b0)
            b0->setTag(kInitialTabState);
    } else if (mode == 2) {
        if (st_.ListViewerBrowser[2] >= 0 && st_.ListViewerBrowser[2] != st_.TabBrowserMap[0])
            media_.CloseVideoPlayer();
        if (st_.ListViewerBrowser[3] >= 0 && st_.ListViewerBrowser[3] != st_.TabBrowserMap[0])
            media_.StopImageList();
        if (st_.TabCount == 1)
            return true;
        st_.CurrentTab = 0;
        ActivateTab(0);
        DoEvents();
        for (int i = st_.TabCount - 1; i >= 1; --i) {
            closeTabBrowser(i);
            if (closing())
                return false;
        }
    } else if (mode == 3) {
        const int current = st_.CurrentTab;
        const int kept = st_.TabBrowserMap[current];
        if (st_.ListViewerBrowser[2] >= 0 && st_.ListViewerBrowser[2] != kept)
            media_.CloseVideoPlayer();
        if (st_.ListViewerBrowser[3] >= 0 && st_.ListViewerBrowser[3] != kept)
            media_.StopImageList();
        if (st_.TabCount == 1)
            return true;
        for (int i = st_.TabCount - 1; i >= 0; --i) {
            if (i == current)
                continue;
            closeTabBrowser(i);
            if (closing())
                return false;
        }
        st_.TabBrowserMap[0] = static_cast<int16_t>(kept);
        st_.TabTitles[0] = st_.TabTitles[current];
    } else {
        return true;
    }
    st_.TabCount = 1;
    st_.CurrentTab = 0;
    resizeTabArrays();
    return true;
}

void TabBrowsing::ClearTabs(bool all, int tab)
{
    auto clear = [this](int t) {
        if (t < 0 || t >= st_.TabCount)
            return;
        if (IBrowser* b = host_.browser(st_.TabBrowserMap[t])) {
            b->navigate2(BlankPageUrl);
            b->setTag(kInitialTabState);
        }
        st_.TabTitles[t] = QString();
    };
    if (all) {
        for (int t = st_.TabCount - 1; t >= 0; --t)
            clear(t);
    } else {
        clear(tab < 0 ? st_.CurrentTab : tab);
    }
    chrome_.RefreshTabButtons(0);
    chrome_.RefreshCurrentTabChrome();
    downloads_.ResetFetchProgress();
    BusyState[0] = 1;
    ShowBusyIndicator();
}

void TabBrowsing::ReopenClosedTab()
{
    if (st_.ClosedTabUrls.size() < 5 || st_.ClosedTabUrls[0].isEmpty())
        return;
    if (st_.ClosedTabCursor >= 5 || st_.ClosedTabCursor < 0)
        st_.ClosedTabCursor = 0;
    IBrowser* b = CurrentBrowser();
    if (st_.ClosedTabUrls[st_.ClosedTabCursor].isEmpty()) {
        if (b)
            b->navigate2(st_.ClosedTabUrls[0]);
        st_.ClosedTabCursor = 1;
    } else {
        if (b)
            b->navigate2(st_.ClosedTabUrls[st_.ClosedTabCursor]);
        st_.ClosedTabCursor = static_cast<int16_t>(st_.ClosedTabCursor + 1);
    }
}

void TabBrowsing::RelayoutTabPanes(int n)
{
    chrome_.PlaceBrowsersInPanes(n);
    if (n < 0 || n >= st_.TabCount)
        return;
    const int b = st_.TabBrowserMap[n];
    if (b == st_.ListViewerBrowser[2])
        media_.PlaceVideoView();
    else if (b == st_.ListViewerBrowser[3])
        media_.RelayoutImageViewer();
}

void TabBrowsing::EnsureUsableTab()
{
    const int b = st_.TabBrowserMap.value(st_.CurrentTab, 0);
    if (b == st_.ListViewerBrowser[2])
        media_.CloseVideoPlayer();
    else if (b == st_.ListViewerBrowser[3])
        media_.StopImageList();
    SetTabState(b, FieldViewKind, 1);
}

void TabBrowsing::StopAllTabBrowsers()
{
    for (int t = st_.TabCount - 1; t >= 0; --t) {
        if (IBrowser* b = host_.browser(st_.TabBrowserMap[t]))
            b->stop();
    }
}

void TabBrowsing::StopMediaAndTimers()
{
    for (int k = 1; k <= 5; ++k)
        st_.ListPlayState[k] = 0;
    for (int timer = 3; timer <= 5; ++timer)
        media_.SetListTimer(timer, false);
    media_.StopAudio();
    media_.StopVideo();
    downloads_.StopAllFetches();
    for (int k = 2; k <= 5; ++k) {
        if (st_.ListViewerBrowser[k] >= 0) {
            SetTabState(st_.ListViewerBrowser[k], FieldViewKind, 1);
            st_.ListViewerBrowser[k] = -1;
        }
    }
    ShowMediaStateStatus();
    media_.UpdateTransportButtons();
    lists_.UpdatePlaylistButtons();
}

bool TabBrowsing::WaitUntilReady(int tab, double limitMs)
{
    const int limit = vb::toInt32(limitMs).value_or(0);
    int elapsed = 0;
    while (!CloseRequested) {
        if (elapsed >= limit)
            return true;
        QThread::msleep(5);
        elapsed += 5;
        DoEvents();
        if (tab >= 0 && tab < st_.TabCount) {
            if (const IBrowser* b = host_.browser(st_.TabBrowserMap[tab]);
                b && b->readyState() == platform::browser::ReadyComplete)
                return false;
        }
    }
    return false;
}

void TabBrowsing::Delay(double ms)
{
    double count = 0;
    while (count < ms) {
        QThread::msleep(5);
        count += 5;
        DoEvents();
    }
}

// ---- Browser events -----------------------------------------------------

bool TabBrowsing::IsLocalProgramPage(const QString& pageUrl)
{
    const QUrl url(pageUrl);
    if (!url.isLocalFile())
        return false;
    const QString path = QFileInfo(url.toLocalFile()).canonicalFilePath();
    if (path.isEmpty())
        return false;
    const QString program = platform::paths::programFolder();
    if (isBelow(path, program + QStringLiteral("/Data")) || isBelow(path, program + QStringLiteral("/Help")))
        return true;
    const QString temp = platform::paths::privateTempFolder();
    return !temp.isEmpty() && isBelow(path, temp) && IsTempPageName(QFileInfo(path).fileName());
}

void TabBrowsing::WBMAIN_BeforeNavigate2(int index, NavigationRequest& request)
{
    try {
        gate(index, request);
    } catch (...) {
        request.cancel = true; // the gate fails closed
    }
}

void TabBrowsing::gate(int index, NavigationRequest& r)
{
    const QString& url = r.url;
    // 1. Start-up.
    if (st_.BusyFlags[0]) {
        r.cancel = true;
        return;
    }
    // 2. The command channel: always refused; delivered, after the engine's
    //    call has returned, only when a page sent it (never a redirect, the
    //    history or the program's own navigation) and every document of that
    //    page is one of the program's local pages, whichever frame navigated.
    if (url.left(9).compare(QLatin1String("EVENT:Z5_"), Qt::CaseInsensitive) == 0) {
        r.cancel = true;
        if (isSentByPage(r.kind) && IsLocalProgramPage(r.pageUrl))
            later(alive_, [this, index, url] { deliverPageCommand(index, url); });
        return;
    }
    IBrowser* b = host_.browser(index);
    if (!b) {
        r.cancel = true;
        return;
    }
    // 3. Viewer tabs are not tested further.
    if (!isPageKind(GetTabState(index, FieldViewKind)))
        return;
    // 4. Silent while groups open or tabs close.
    b->setSilent(false);
    if (GroupOpening)
        b->setSilent(true);
    if (st_.BusyFlags[4]) {
        b->setSilent(true);
        if (!IsBlankPageUrl(url) && index > 0) {
            r.cancel = true;
            return;
        }
    }
    // 5.-6.
    if (IsEmptyAddress(url)) {
        r.cancel = true;
        return;
    }
    if (IsBlankPageUrl(url))
        return;
    // 7.-8.
    if (index == st_.ListViewerBrowser[2])
        media_.CloseVideoPlayer();
    BusyState[0] = 2;
    ShowBusyIndicator();
    // 9. Script addresses that close or refresh windows.
    if (isScriptAddress(url)) {
        if (url.contains(QLatin1String(".close")))
            return;
        if (url.contains(QLatin1String("refreshwindow"))) {
            r.cancel = true;
            return;
        }
    }
    // 10. A popup tab comes to the front after a user click.
    if (GetTabState(index, FieldPopupRole) == 2 && r.topLevel) {
        if (st_.UserClickState == 2 || st_.UserClickState == 3) {
            const int t = TabOfBrowser(index);
            if (t > -1) {
                st_.ViewMode = 0;
                st_.PaneCount = 1;
                st_.CurrentTab = static_cast<int16_t>(t);
                ActivateTab(t);
            }
        }
        chrome_.ShowTabCount(st_.TabCount);
        chrome_.RefreshTabButtons(-1);
        st_.UserClickState = 0;
    }
    // 11. A real navigation consumes the click.
    if (st_.UserClickState != 0) {
        if (url.left(10).compare(QLatin1String("JAVASCRIPT"), Qt::CaseInsensitive) != 0 && url != b->locationURL())
            st_.UserClickState = 0;
    }
    // 12. The content filter.
    if (IsUrlBlocked(url))
        r.cancel = true;
}

void TabBrowsing::deliverPageCommand(int index, const QString& url)
{
    IBrowser* b = host_.browser(index);
    if (!b)
        return;
    b->documentAddresses([weak = std::weak_ptr<bool>(alive_), this, url](const std::optional<QStringList>& documents) {
        const auto alive = weak.lock();
        if (!alive || !*alive || !documents || documents->isEmpty())
            return;
        for (const QString& d : *documents)
            if (!IsLocalProgramPage(d) && !isEmptyFrame(d))
                return;
        downloads_.HandlePageEvent(url);
    });
}

void TabBrowsing::WBMAIN_NewWindow2(int index, NewWindowRequest& request)
{
    try {
        newWindow(index, request);
    } catch (...) {
        request.adopt = nullptr;
        request.cancel = true;
    }
}

void TabBrowsing::newWindow(int index, NewWindowRequest& r)
{
    if (st_.BusyFlags[4] || GroupOpening) {
        r.cancel = true;
        return;
    }
    if (!isPageKind(GetTabState(index, FieldViewKind))) {
        r.cancel = true;
        return;
    }
    int mode = st_.PopupControlMode;
    if (st_.UserClickState != 0 && mode >= 1)
        mode = 0;
    const QString refused = GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9025"),
                                          QStringLiteral("POPUP is not allowed"));
    switch (mode) {
    case 0: {
        if (GetTabState(index, FieldPopupRole) == 1) {
            if (st_.UserClickState != 0) {
                SetTabState(index, FieldPopupCount, 0);
            } else {
                const int count = GetTabState(index, FieldPopupCount) + 1;
                if (count > 1)
                    st_.PopupBurstFlag = -1;
                if (count > 5) {
                    r.cancel = true;
                    return;
                }
                SetTabState(index, FieldPopupCount, static_cast<int16_t>(count));
            }
        }
        const int n = st_.TabCount;
        NewTab(n, true, false);
        const int b = st_.TabBrowserMap[n];
        IBrowser* opener = host_.browser(index);
        IBrowser* popup = host_.browser(b);
        if (!opener || !popup) {
            r.cancel = true;
            return;
        }
        SetTabState(index, FieldPopupRole, 1);
        opener->setTag(opener->tag() + QLatin1Char('|') + QString::number(b));
        SetTabState(b, FieldPopupRole, 2);
        SetTabState(b, FieldOpenerBrowser, static_cast<int16_t>(index));
        r.adopt = popup;
        return;
    }
    case 1:
        return;
    case 2:
        r.cancel = true;
        SetStatusMessage(refused, index, -1);
        return;
    case 3:
        if (IBrowser* catcher = host_.popupCatcher()) {
            catcher->setTag(QString());
            r.adopt = catcher;
        } else {
            r.cancel = true;
        }
        SetStatusMessage(refused, index, -1);
        return;
    case 4:
        if (IBrowser* catcher = host_.popupCatcher()) {
            catcher->loopbackMark = QStringLiteral("LOOPBACK");
            catcher->setTag(QString::number(index));
            r.adopt = catcher;
        } else {
            r.cancel = true;
        }
        return;
    default:
        return;
    }
}

void TabBrowsing::WBBACK_BeforeNavigate2(NavigationRequest& r)
{
    IBrowser* catcher = host_.popupCatcher();
    if (r.url.startsWith(QLatin1String("res://"), Qt::CaseInsensitive)) {
        r.cancel = true;
        return;
    }
    if (!catcher || st_.PopupControlMode != 4 || catcher->loopbackMark != QLatin1String("LOOPBACK")) {
        // The hidden browser loads the page itself: the content filter holds
        // there as in every tab.
        if (IsUrlBlocked(r.url))
            r.cancel = true;
        return;
    }
    bool ok = false;
    const int target = catcher->tag().toInt(&ok);
    catcher->setTag(QString());
    catcher->loopbackMark.clear();
    r.cancel = true;
    if (!ok)
        return;
    const QString url = r.url;
    // The opener's tab loads the address once the engine's call is done.
    later(alive_, [this, target, url] {
        if (TabOfBrowser(target) > -1) {
            if (IBrowser* b = host_.browser(target))
                b->navigate2(url);
        }
    });
}

void TabBrowsing::WBMAIN_DocumentComplete(int index, const QString& url, bool topLevel)
{
    if (IsBlankPageUrl(url))
        return;
    chrome_.EndSplitterDrag();
    if (!topLevel)
        return;
    const int16_t v = GetTabState(index, FieldViewKind);
    const int t = TabOfBrowser(index);
    if (v == 4) {
        if (st_.ListPlayState[4] == 2)
            media_.SetListTimer(4, true);
        return;
    }
    if (!isPageKind(v))
        return;
    RecordVisitedAddress(url);
    if (GetTabState(index, FieldPopupRole) == 1)
        SetTabState(index, FieldPopupCount, 0);
    if (IBrowser* b = host_.browser(index)) {
        if (b->scrollFixMark == 1)
            b->scrollFixMark = 2;
        else
            b->runScript(QStringLiteral("if (document.body) document.body.setAttribute(\"scroll\", \"yes\");"));
    }
    if (index == ProgressBrowser)
        downloads_.ResetFetchProgress();
    if (t == st_.CurrentTab) {
        BusyState[0] = 1;
        ShowBusyIndicator();
        if (st_.DisplayFlags[DisplaySidePane])
            chrome_.BindDocumentEvents();
    }
    if (v == 5 && st_.ListPlayState[5] == 2)
        media_.SetListTimer(5, true);
}

void TabBrowsing::WBMAIN_DownloadBegin()
{
    BusyState[0] = 2;
    ShowBusyIndicator();
}

void TabBrowsing::WBMAIN_DownloadComplete()
{
    BusyState[0] = 1;
    ShowBusyIndicator();
}

namespace {

bool showsProgress(const QString& u)
{
    return !IsBlankPageUrl(u) && !GetDataPagePath(u) && !GetHelpPagePath(u) && !IsSnippetFile(u);
}

} // namespace

void TabBrowsing::WBMAIN_ProgressChange(int index, int progress, int progressMax)
{
    if (!isPageKind(GetTabState(index, FieldViewKind)))
        return;
    const IBrowser* b = host_.browser(index);
    if (b && showsProgress(b->locationURL()) && index == ProgressBrowser)
        chrome_.SetProgressBar(progressMax, progress);
}

void TabBrowsing::WBMAIN_StatusTextChange(int index, const QString& text)
{
    if (!isPageKind(GetTabState(index, FieldViewKind)) || text == LastStatusText)
        return;
    const IBrowser* b = host_.browser(index);
    if (!b || !showsProgress(b->locationURL()))
        return;
    if (index != st_.TabBrowserMap.value(st_.CurrentTab, -1))
        return;
    LastStatusText = text;
    SetStatusMessage(text, index, -1);
    if (ProgressBrowser != index) {
        downloads_.ResetFetchProgress();
        ProgressBrowser = static_cast<int16_t>(index);
    }
}

void TabBrowsing::WBMAIN_TitleChange(int index, const QString& title)
{
    if (!isPageKind(GetTabState(index, FieldViewKind)))
        return;
    const QString text = IsBlankPageUrl(title) ? QString() : title;
    if (text == LastPageTitle)
        return;
    LastPageTitle = text;
    if (TypedAddressPending) {
        chrome_.AddTypedUrl();
        TypedAddressPending = 0;
    }
    const int t = TabOfBrowser(index);
    if (t > -1) {
        st_.TabTitles[t] = text;
        if (t >= st_.TabButtonOffset && t < st_.TabButtonOffset + chrome_.TabButtonsThatFit())
            chrome_.UpdateTabTitle(t - st_.TabButtonOffset);
        if (t == st_.CurrentTab)
            chrome_.RefreshCurrentTabChrome();
    }
}

void TabBrowsing::WBMAIN_CommandStateChange(int index, int command, bool enable)
{
    if (GetTabState(index, FieldViewKind) == 3)
        return;
    const bool current = index == st_.TabBrowserMap.value(st_.CurrentTab, -1);
    using namespace platform::browser;
    if (command == CmdStateUpdate) {
        if (!current)
            return;
        if (const IBrowser* b = host_.browser(index)) {
            CanCopy = (b->queryStatusWB(CmdCopy) & CmdEnabled) != 0;
            CanCut = (b->queryStatusWB(CmdCut) & CmdEnabled) != 0;
            CanPaste = (b->queryStatusWB(CmdPaste) & CmdEnabled) != 0;
        }
    } else if (command == CmdStateForward && current) {
        chrome_.SetForwardButtonState(enable);
    } else if (command == CmdStateBack && current) {
        chrome_.SetBackButtonState(enable);
    }
}

void TabBrowsing::WBMAIN_WindowClosing(int index)
{
    // The engine's call returns first; then the queue is drained once and,
    // after a user click, the page's tab closes.
    later(alive_, [this, index] {
        DoEvents();
        if (st_.UserClickState == 0)
            return;
        const int t = TabOfBrowser(index);
        if (t > -1)
            CloseTab(t, true);
    });
}

void TabBrowsing::WBMAIN_WindowSetRect(int index)
{
    if (IBrowser* b = host_.browser(index))
        b->scrollFixMark = 1;
}

void TabBrowsing::WBMAIN_GotFocus(int index)
{
    if (GroupOpening || st_.BusyFlags[4] || st_.FullScreenMode)
        return;
    const int t = TabOfBrowser(index);
    if (t < 0)
        return;
    if (st_.UserClickState != 0)
        st_.CurrentTab = static_cast<int16_t>(t);
    if (st_.CurrentTab == t) {
        if (st_.UserClickState != 0)
            ActivateTab(st_.CurrentTab);
        if (st_.DisplayFlags[DisplaySidePane])
            chrome_.BindDocumentEvents();
    }
}

void TabBrowsing::SetStatusMessage(const QString& text, int browserIndex, int tabNumber)
{
    if (st_.BusyFlags[4])
        return;
    QString t = text;
    if (IsTempPageName(t) || GetHelpPagePath(t)
        || t == GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9028"), QStringLiteral("Done")))
        t.clear();
    if (!t.isEmpty()) {
        if (browserIndex >= 0) {
            const int tab = TabOfBrowser(browserIndex);
            if (tab > -1)
                t += QStringLiteral(" : ") + QString::number(tab + 1);
        } else if (tabNumber > -1) {
            t += QStringLiteral(" : ") + QString::number(tabNumber + 1);
        }
    }
    chrome_.SetStatusLine(t);
}

void TabBrowsing::ShowMediaStateStatus()
{
    const int kind = st_.CurrentListKind;
    int s = kind >= 1 && kind <= 6 ? st_.ListPlayState[kind] : -1;
    if (kind < 1 || kind > 6 || st_.ListCurrentItem[kind] == 0)
        s = -1;
    QString text;
    switch (s) {
    case 0:
        BusyState[0] = 4;
        text = GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9029"), QStringLiteral("Stopped"));
        break;
    case 1:
        BusyState[0] = 3;
        text = GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9033"), QStringLiteral("Paused"));
        break;
    case 2:
        BusyState[0] = 2;
        text = GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9034"), QStringLiteral("Playing"));
        break;
    default:
        BusyState[0] = 1;
        break;
    }
    ShowBusyIndicator();
    SetStatusMessage(text, -1, -1);
}

void TabBrowsing::ShowBusyIndicator()
{
    if (st_.BusyFlags[4] || GroupOpening)
        return;
    int16_t picture = 0;
    switch (BusyState[0]) {
    case 1: picture = 149; break;
    case 2: picture = 150; break;
    case 3: picture = 151; break;
    case 4: picture = 152; break;
    default: return;
    }
    if (!busyPicture)
        return;
    if (const auto p = busyPicture(picture))
        chrome_.SetBusyPicture(*p);
}
