#include "browsing/tabbrowsing.h"

#include "browsing/tabstaterecord.h"
#include "core/cleanup.h"
#include "core/contentfilter.h"
#include "core/fileclasses.h"
#include "core/globals.h"
#include "core/language.h"
#include "core/shellnames.h"
#include "core/skinbinding.h"
#include "mainwindow/skinpictures.h"
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

bool isWebAddress(const QString& url)
{
    const QString scheme = QUrl(url).scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
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

TabBrowsing::TabBrowsing(TabModel& model, ExplorerState& state, IBrowserHost& host, ITabChrome& chrome,
                         const ServiceSet& services)
    : m_(model), st_(state), host_(host), chrome_(chrome), services_(services)
{
    BusyState.fill(1);
    BlankPageUrl = platform::paths::programFolder() + QStringLiteral("\\Common\\Z5_BlankPage.HTM");
    busyPicture = [](int16_t id) { return GetSkinPicture(id, 0); };
    if (st_.ClosedTabRingEnabled)
        m_.MakeClosedTabRing();
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
    for (int i = 0; i < m_.TabBrowserMap().size(); ++i) {
        if (IBrowser* b = host_.browser(m_.TabBrowserMap()[i]))
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
    if (m_.CurrentTab() < 0 || m_.CurrentTab() >= m_.TabBrowserMap().size())
        return nullptr;
    return host_.browser(m_.TabBrowserMap()[m_.CurrentTab()]);
}

void TabBrowsing::DoEvents()
{
    if (doEvents)
        doEvents();
    else
        QCoreApplication::processEvents();
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
    if (tab < 0 || tab >= m_.TabCount())
        return;
    const int b = m_.TabBrowserMap()[tab];
    UnlinkTabRelations(b);
    if (IBrowser* br = host_.browser(b)) {
        br->setTag(kInitialTabState);
        br->navigate2(BlankPageUrl);
    }
    if (tab == m_.CurrentTab())
        SetStatusMessage(QString(), -1, -1);
}

// ---- Tab lifecycle ------------------------------------------------------

void TabBrowsing::NewTab(int n, bool visible, bool showCount)
{
    if (n < 0)
        return;
    if (n > 0) {
        // A tab that gets a new browser gives its old one up: no browser is
        // left loaded without a tab.
        if (n < m_.TabCount() && m_.TabBrowserMap()[n] > 0) {
            UnlinkTabRelations(m_.TabBrowserMap()[n]);
            host_.unloadBrowser(m_.TabBrowserMap()[n]);
            m_.SetTabBrowser(n, 0);
        }
        m_.SetTabBrowser(n, static_cast<int16_t>(m_.FindFreeBrowserIndex()));
    }
    m_.SetTabCount(n + 1);
    m_.SetTabTitle(n, QString());
    const int b = m_.TabBrowserMap()[n];
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
            if (visible && n != m_.CurrentTab())
                if (IBrowser* current = CurrentBrowser(); current && current != br)
                    current->bringToFront();
        }
    }
    if (showCount)
        chrome_.ShowTabCount(m_.TabCount());
}

void TabBrowsing::ActivateTab(int n)
{
    if (n < 0 || n >= m_.TabCount())
        return;
    ScopeExit done([this] { SwitchingTab.set(false); });
    const int b = m_.TabBrowserMap()[n];
    IBrowser* br = host_.browser(b);
    if (br)
        br->setVisible(true);
    chrome_.ScrollTabStripToCurrent();
    chrome_.RefreshTabButtons(0);
    if (n == m_.CurrentTab()) {
        chrome_.RefreshCurrentTabChrome();
        if (br && br->scrollFixMark == 1)
            br->scrollFixMark = 2;
        services_.Media().SetPageScrollOn();
    }
    chrome_.PlaceBrowsersInPanes(n);
    if (br)
        br->bringToFront();
    if (b == st_.ListViewerBrowser[2]) {
        st_.CurrentListKind = 2;
        services_.Media().PlaceVideoView();
        services_.Lists().ShowCurrentList();
    } else if (b == st_.ListViewerBrowser[3]) {
        st_.CurrentListKind = 3;
        services_.Media().RelayoutImageViewer();
        services_.Lists().ShowCurrentList();
    }
    ProgressBrowser = static_cast<int16_t>(b);
    if (st_.Layout.ViewMode() >= 4)
        chrome_.BringSplittersToFront();
}

void TabBrowsing::SelectTab(int n)
{
    m_.SetCurrentTab(n);
    ActivateTab(n);
}

void TabBrowsing::GoToTab(int n)
{
    if (SwitchingTab)
        return;
    SwitchingTab.set(true);
    ScopeExit done([this] { SwitchingTab.set(false); });
    st_.Layout.SetSingleView();
    SelectTab(n);
}

void TabBrowsing::SelectTabFromMenu(int n)
{
    m_.SetCurrentTab(n);
    if (st_.Layout.PaneCount() == 1) {
        ActivateTab(n);
    } else if (n < st_.Layout.PaneCount()) {
        chrome_.RefreshCurrentTabChrome();
        chrome_.RefreshTabButtons(0);
    } else {
        st_.Layout.SetSingleView();
        ActivateTab(n);
    }
}

void TabBrowsing::SwitchToAdjacentTab(int direction, bool once)
{
    if (m_.TabCount() == 1)
        return;
    bool first = true;
    double wait = 250;
    for (;;) {
        if (IBrowser* cur = CurrentBrowser())
            cur->stop();
        int t = m_.CurrentTab();
        if (direction == 7) {
            t = t + 1 >= m_.TabCount() ? 0 : t + 1;
        } else {
            t = t - 1 < 0 ? m_.TabCount() - 1 : t - 1;
        }
        const int b = m_.TabBrowserMap()[t];
        IBrowser* br = host_.browser(b);
        m_.SetCurrentTab(t);
        if (br)
            br->setVisible(true);
        chrome_.ScrollTabStripToCurrent();
        chrome_.RefreshTabButtons(0);
        chrome_.RefreshCurrentTabChrome();
        if (br && br->scrollFixMark == 1)
            br->scrollFixMark = 2;
        if (first) {
            st_.Layout.SetSingleView();
            chrome_.PlaceBrowsersInPanes(t);
            first = false;
        }
        if (br)
            br->bringToFront();
        if (b == st_.ListViewerBrowser[2]) {
            st_.CurrentListKind = 2;
            services_.Media().PlaceVideoView();
            services_.Lists().ShowCurrentList();
        } else if (b == st_.ListViewerBrowser[3]) {
            st_.CurrentListKind = 3;
            services_.Media().RelayoutImageViewer();
            services_.Lists().ShowCurrentList();
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
    if (tab < 0 || tab >= m_.TabCount())
        return;
    const int b = m_.TabBrowserMap()[tab];
    if (b == st_.ListViewerBrowser[2])
        services_.Media().CloseVideoPlayer();
    if (b == st_.ListViewerBrowser[3])
        services_.Media().StopImageList();
    if (b == 0 && m_.TabCount() == 1) {
        const IBrowser* b0 = host_.browser(0);
        if (!b0 || IsBlankPageUrl(b0->locationURL()))
            return;
    }
    UnlinkTabRelations(b);
    IBrowser* br = host_.browser(b);
    if (!br || !br->isVisible()) {
        ReleaseTabBrowser(tab);
    } else {
        if (st_.ClosedTabRingEnabled && tab == m_.CurrentTab() && br->readyState() == platform::browser::ReadyComplete)
            m_.PushClosedTabUrl(br->locationURL());
        if (tab == m_.CurrentTab() && activateOpener) {
            const int opener = GetTabState(b, FieldOpenerBrowser);
            ReleaseTabBrowser(tab);
            // An opener whose tab is gone counts as none.
            const int openerTab = opener > -1 ? TabOfBrowser(opener) : -1;
            if (openerTab > -1)
                m_.SetCurrentTab(openerTab);
            else if (m_.CurrentTab() > m_.TabCount() - 1)
                m_.SetCurrentTab(m_.TabCount() - 1);
            ActivateTab(m_.CurrentTab());
        } else {
            ReleaseTabBrowser(tab);
            if (st_.Layout.ViewMode() > 3)
                st_.Layout.SetViewMode(1);
            if (tab <= st_.Layout.PaneCount() && st_.Layout.PaneCount() > 1) {
                st_.Layout.SetPaneCount(st_.Layout.PaneCount() - 1);
                chrome_.LayoutViewPanes(true, m_.TabCount(), st_.Layout.PaneCount());
                chrome_.EnsureTabsForViewMode(true);
                BusyState[0] = 1;
                ShowBusyIndicator();
            }
            if (m_.CurrentTab() >= m_.TabCount() - 1)
                m_.SetCurrentTab(m_.TabCount() - 1);
            ActivateTab(m_.CurrentTab());
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
    if (tab < 0 || tab >= m_.TabCount())
        return;
    // Popups are refused while the browser goes; the user's popup setting
    // is left as it is.
    const BusyFlag::Hold releasing(releasingTab_);
    try {
        unloadClosedBrowser(m_.TabBrowserMap()[tab]);
        if (m_.TabCount() == 1) {
            st_.Layout.SetPaneCount(1);
            m_.SetCurrentTab(0);
            m_.SetTabBrowser(0, 0);
            m_.SetTabTitle(0, QString());
            m_.SetTabCount(1);
        } else {
            m_.RemoveTab(tab);
        }
        chrome_.ShowTabCount(m_.TabCount());
    } catch (...) {
        // Stops at the first failure.
    }
}

void TabBrowsing::CloseTabs(int mode)
{
    GroupStopFlag = -1;
    DoEvents();
    st_.Layout.SetSingleView();
    chrome_.ResetTabStripForCloseAll();
    chrome_.ShowTabCount(1);
    SetStatusMessage(GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9027"),
                                   QStringLiteral("Closing ... Please wait")));
    BusyState[0] = 4;
    ShowBusyIndicator();
    bool finished = false;
    {
        // Every exit clears the closing flag; popups are refused meanwhile.
        const BusyFlag::Hold closing(ClosingTabs);
        ScopeExit restore([this, &finished] {
            if (!finished) {
                BusyState[0] = 1;
                ShowBusyIndicator();
            }
        });
        DoEvents();
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
    services_.Downloads().ResetFetchProgress();
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
        const int b = m_.TabBrowserMap()[i];
        UnlinkTabRelations(b);
        unloadClosedBrowser(b);
    };
    if (mode == 1) {
        StopMediaAndTimers();
        if (IBrowser* b = host_.browser(m_.TabBrowserMap()[0]))
            b->navigate2(BlankPageUrl);
        DoEvents();
        SelectTab(0);
        DoEvents();
        m_.SetUserClickState(0);
        for (int i = m_.TabCount() - 1; i >= 0; --i) {
            if (m_.TabBrowserMap()[i] > 0) {
                closeTabBrowser(i);
                if (closing())
                    return false;
            }
        }
        m_.SetTabBrowser(0, 0);
        m_.SetTabTitle(0, QString());
        IBrowser* b0 = host_.browser(0);
        if (b0 && !IsBlankPageUrl(b0->locationURL()))
            b0->navigate2(BlankPageUrl);
        DoEvents();
        SelectTab(0);
        DoEvents();
        if (b0)
            b0->setTag(kInitialTabState);
    } else if (mode == 2) {
        if (st_.ListViewerBrowser[2] >= 0 && st_.ListViewerBrowser[2] != m_.TabBrowserMap()[0])
            services_.Media().CloseVideoPlayer();
        if (st_.ListViewerBrowser[3] >= 0 && st_.ListViewerBrowser[3] != m_.TabBrowserMap()[0])
            services_.Media().StopImageList();
        if (m_.TabCount() == 1)
            return true;
        SelectTab(0);
        DoEvents();
        for (int i = m_.TabCount() - 1; i >= 1; --i) {
            closeTabBrowser(i);
            if (closing())
                return false;
        }
    } else if (mode == 3) {
        const int current = m_.CurrentTab();
        const int kept = m_.TabBrowserMap()[current];
        if (st_.ListViewerBrowser[2] >= 0 && st_.ListViewerBrowser[2] != kept)
            services_.Media().CloseVideoPlayer();
        if (st_.ListViewerBrowser[3] >= 0 && st_.ListViewerBrowser[3] != kept)
            services_.Media().StopImageList();
        if (m_.TabCount() == 1)
            return true;
        for (int i = m_.TabCount() - 1; i >= 0; --i) {
            if (i == current)
                continue;
            closeTabBrowser(i);
            if (closing())
                return false;
        }
        m_.SetTabBrowser(0, kept);
        m_.SetTabTitle(0, m_.TabTitles()[current]);
    } else {
        return true;
    }
    m_.SetTabCount(1);
    m_.SetCurrentTab(0);
    return true;
}

void TabBrowsing::ClearTabs(bool all, int tab)
{
    auto clear = [this](int t) {
        if (t < 0 || t >= m_.TabCount())
            return;
        if (IBrowser* b = host_.browser(m_.TabBrowserMap()[t])) {
            b->navigate2(BlankPageUrl);
            b->setTag(kInitialTabState);
        }
        m_.SetTabTitle(t, QString());
    };
    if (all) {
        for (int t = m_.TabCount() - 1; t >= 0; --t)
            clear(t);
    } else {
        clear(tab < 0 ? m_.CurrentTab() : tab);
    }
    chrome_.RefreshTabButtons(0);
    chrome_.RefreshCurrentTabChrome();
    services_.Downloads().ResetFetchProgress();
    BusyState[0] = 1;
    ShowBusyIndicator();
}

void TabBrowsing::ReopenClosedTab()
{
    const QString url = m_.NextClosedTabUrl();
    if (url.isEmpty())
        return;
    if (IBrowser* b = CurrentBrowser())
        b->navigate2(url);
}

void TabBrowsing::RelayoutTabPanes(int n)
{
    chrome_.PlaceBrowsersInPanes(n);
    if (n < 0 || n >= m_.TabCount())
        return;
    const int b = m_.TabBrowserMap()[n];
    if (b == st_.ListViewerBrowser[2])
        services_.Media().PlaceVideoView();
    else if (b == st_.ListViewerBrowser[3])
        services_.Media().RelayoutImageViewer();
}

void TabBrowsing::EnsureUsableTab()
{
    const int b = m_.TabBrowserMap().value(m_.CurrentTab(), 0);
    if (b == st_.ListViewerBrowser[2])
        services_.Media().CloseVideoPlayer();
    else if (b == st_.ListViewerBrowser[3])
        services_.Media().StopImageList();
    SetTabState(b, FieldViewKind, 1);
}

void TabBrowsing::StopAllTabBrowsers()
{
    for (int t = m_.TabCount() - 1; t >= 0; --t) {
        if (IBrowser* b = host_.browser(m_.TabBrowserMap()[t]))
            b->stop();
    }
}

void TabBrowsing::StopMediaAndTimers()
{
    for (int k = 1; k <= 5; ++k)
        st_.ListPlayState[k] = 0;
    for (int timer = 3; timer <= 5; ++timer)
        chrome_.SetListTimer(timer, false);
    services_.Media().StopAudio();
    services_.Media().StopVideo();
    services_.Downloads().StopAllFetches();
    // The video view ends whole: its area hidden and unmarked, so the next
    // video takes a tab and comes in front again.
    if (st_.ListViewerBrowser[2] >= 0)
        services_.Media().CloseVideoPlayer();
    for (int k = 2; k <= 5; ++k) {
        const int16_t b = st_.ListViewerBrowser[k];
        if (b >= 0) {
            SetTabState(b, FieldViewKind, 1);
            st_.ListViewerBrowser[k] = -1;
            const int t = TabOfBrowser(b);
            if (t >= st_.TabButtonOffset && t < st_.TabButtonOffset + chrome_.TabButtonsThatFit())
                chrome_.UpdateTabTitle(t - st_.TabButtonOffset);
        }
    }
    ShowMediaStateStatus();
    services_.Media().UpdateTransportButtons();
    services_.Lists().UpdatePlaylistButtons();
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
        if (tab >= 0 && tab < m_.TabCount()) {
            if (const IBrowser* b = host_.browser(m_.TabBrowserMap()[tab]);
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
    if (st_.NavigationHeld) {
        r.cancel = true;
        return;
    }
    // 2. The command channel: always refused; delivered, after the engine's
    //    call has returned, only when a user's click on a page sent it (never
    //    a script alone, a form, a redirect, the history or the program's own
    //    navigation) and either every document of that page is one of the
    //    program's local pages, whichever frame navigated, or (the snippet
    //    view page) the command bears the page's own token.
    if (url.left(9).compare(QLatin1String("EVENT:Z5_"), Qt::CaseInsensitive) == 0) {
        r.cancel = true;
        if (r.kind == platform::browser::NavigationKind::Link && IsLocalProgramPage(r.pageUrl))
            later(alive_, [this, index, url, page = r.pageUrl] { deliverPageCommand(index, url, page); });
        return;
    }
    IBrowser* b = host_.browser(index);
    if (!b) {
        r.cancel = true;
        return;
    }
    // The web-folder page the Open dialog wrote sends its tab to the typed
    // address; the engine lets no local page do that by itself, so the tab
    // is sent there on the page's behalf.
    if (r.topLevel && r.kind != platform::browser::NavigationKind::Typed && isWebAddress(url) && IsLocalProgramPage(r.pageUrl)
        && r.pageUrl.endsWith(QLatin1String("OpenWebFolderPage.htm"))) {
        r.cancel = true;
        later(alive_, [this, index, url] {
            if (IBrowser* target = host_.browser(index))
                target->navigate2(url);
        });
        return;
    }
    // 3. Viewer tabs are not tested further.
    if (!isPageKind(GetTabState(index, FieldViewKind)))
        return;
    // 4. Silent while groups open or tabs close.
    b->setSilent(false);
    if (GroupOpening)
        b->setSilent(true);
    if (ClosingTabs) {
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
        services_.Media().CloseVideoPlayer();
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
        if (m_.UserClickState() == 2 || m_.UserClickState() == 3) {
            const int t = TabOfBrowser(index);
            if (t > -1) {
                st_.Layout.SetSingleView();
                SelectTab(t);
            }
        }
        chrome_.ShowTabCount(m_.TabCount());
        chrome_.RefreshTabButtons(-1);
        m_.SetUserClickState(0);
    }
    // 11. A real navigation consumes the click.
    if (m_.UserClickState() != 0) {
        if (url.left(10).compare(QLatin1String("JAVASCRIPT"), Qt::CaseInsensitive) != 0 && url != b->locationURL())
            m_.SetUserClickState(0);
    }
    // 12. The content filter.
    if (IsUrlBlocked(url))
        r.cancel = true;
}

void TabBrowsing::deliverPageCommand(int index, const QString& url, const QString& pageUrl)
{
    IBrowser* b = host_.browser(index);
    if (!b)
        return;
    // The snippet view page's commands go to the lists that wrote it. Its
    // snippets may hold frames of any origin (captured pages often do), so
    // its documents cannot all be proved local; each of its commands carries
    // the page's own token instead, which only the page's script knows and
    // the lists check. This runs after the engine's call, so the lists may
    // open a modal window.
    if (url.left(15).compare(QLatin1String("EVENT:Z5_VIEWSP"), Qt::CaseInsensitive) == 0) {
        services_.Lists().HandleSnippetPageEvent(static_cast<int16_t>(index), url);
        return;
    }
    b->documentAddresses([weak = std::weak_ptr<bool>(alive_), this, index, url,
                          pageUrl](const std::optional<QStringList>& documents) {
        const auto alive = weak.lock();
        if (!alive || !*alive || !documents || documents->isEmpty())
            return;
        for (const QString& d : *documents)
            if (!IsLocalProgramPage(d) && !isEmptyFrame(d))
                return;
        // The downloads may open a modal window: after the engine's callback.
        later(alive_, [this, index, url, pageUrl] {
            services_.Downloads().HandlePageEvent(url, static_cast<int16_t>(index), pageUrl);
        });
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
    if (ClosingTabs || GroupOpening) {
        r.cancel = true;
        return;
    }
    if (!isPageKind(GetTabState(index, FieldViewKind))) {
        r.cancel = true;
        return;
    }
    int mode = popupMode();
    if (m_.UserClickState() != 0 && mode >= 1)
        mode = 0;
    const QString refused = GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9025"),
                                          QStringLiteral("POPUP is not allowed"));
    switch (mode) {
    case 0: {
        if (GetTabState(index, FieldPopupRole) == 1) {
            if (m_.UserClickState() != 0) {
                SetTabState(index, FieldPopupCount, 0);
            } else {
                const int count = GetTabState(index, FieldPopupCount) + 1;
                if (count > 1)
                    m_.SetPopupBurstFlag(-1);
                if (count > 5) {
                    r.cancel = true;
                    return;
                }
                SetTabState(index, FieldPopupCount, static_cast<int16_t>(count));
            }
        }
        const int n = m_.TabCount();
        NewTab(n, true, false);
        const int b = m_.TabBrowserMap()[n];
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

int TabBrowsing::popupMode() const
{
    return releasingTab_ || ClosingTabs ? 2 : st_.PopupControlMode;
}

void TabBrowsing::WBBACK_BeforeNavigate2(NavigationRequest& r)
{
    IBrowser* catcher = host_.popupCatcher();
    if (r.url.startsWith(QLatin1String("res://"), Qt::CaseInsensitive)) {
        r.cancel = true;
        return;
    }
    if (!catcher || popupMode() != 4 || catcher->loopbackMark != QLatin1String("LOOPBACK")) {
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
    services_.Downloads().TabPageLoaded(static_cast<int16_t>(index), url);
    const int16_t v = GetTabState(index, FieldViewKind);
    const int t = TabOfBrowser(index);
    if (v == 4) {
        if (loadOfListStep(4, index))
            chrome_.SetListTimer(4, true);
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
        services_.Downloads().ResetFetchProgress();
    if (t == m_.CurrentTab()) {
        BusyState[0] = 1;
        ShowBusyIndicator();
        if (st_.DisplayFlags[DisplaySidePane])
            chrome_.BindDocumentEvents();
    }
    if (v == 5 && loadOfListStep(5, index))
        chrome_.SetListTimer(5, true);
}

bool TabBrowsing::loadOfListStep(int kind, int index)
{
    // A page the user reaches from the one shown (a link clicked in a
    // snippet or a linked page) leaves the slide interval running.
    if (st_.ListStepBrowser[kind] != index)
        return false;
    st_.ListStepBrowser[kind] = -1;
    return st_.ListPlayState[kind] == 2;
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
    if (index != m_.TabBrowserMap().value(m_.CurrentTab(), -1))
        return;
    LastStatusText = text;
    SetStatusMessage(text, index, -1);
    if (ProgressBrowser != index) {
        services_.Downloads().ResetFetchProgress();
        ProgressBrowser = static_cast<int16_t>(index);
    }
}

void TabBrowsing::WBMAIN_TitleChange(int index, const QString& title)
{
    if (!isPageKind(GetTabState(index, FieldViewKind)))
        return;
    // The desktop folder and the trash go by their places' names.
    const IBrowser* browser = WBMAIN(index);
    const QString shown = browser ? ShownLocationName(browser->locationURL(), title) : title;
    const QString text = IsBlankPageUrl(shown) ? QString() : shown;
    if (text == LastPageTitle)
        return;
    LastPageTitle = text;
    if (TypedAddressPending) {
        chrome_.AddTypedUrl();
        TypedAddressPending = 0;
    }
    const int t = TabOfBrowser(index);
    if (t > -1) {
        m_.SetTabTitle(t, text);
        if (t >= st_.TabButtonOffset && t < st_.TabButtonOffset + chrome_.TabButtonsThatFit())
            chrome_.UpdateTabTitle(t - st_.TabButtonOffset);
        if (t == m_.CurrentTab())
            chrome_.RefreshCurrentTabChrome();
    }
}

void TabBrowsing::WBMAIN_CommandStateChange(int index, int command, bool enable)
{
    if (GetTabState(index, FieldViewKind) == 3)
        return;
    const bool current = index == m_.TabBrowserMap().value(m_.CurrentTab(), -1);
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
        if (m_.UserClickState() == 0)
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
    if (GroupOpening || ClosingTabs || chrome_.IsFullScreen())
        return;
    const int t = TabOfBrowser(index);
    if (t < 0)
        return;
    if (m_.UserClickState() != 0)
        m_.SetCurrentTab(t);
    if (m_.CurrentTab() == t) {
        if (m_.UserClickState() != 0)
            ActivateTab(m_.CurrentTab());
        if (st_.DisplayFlags[DisplaySidePane])
            chrome_.BindDocumentEvents();
    }
}

void TabBrowsing::SetStatusMessage(const QString& text, int browserIndex, int tabNumber)
{
    if (ClosingTabs)
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
    if (ClosingTabs || GroupOpening)
        return;
    int16_t picture = 0;
    switch (BusyState[0]) {
    case 1: picture = skinpic::BusyIdle; break;
    case 2: picture = skinpic::BusyLoading; break;
    case 3: picture = skinpic::BusyPaused; break;
    case 4: picture = skinpic::BusyStopped; break;
    default: return;
    }
    if (!busyPicture)
        return;
    if (const auto p = busyPicture(picture))
        chrome_.SetBusyPicture(*p);
}
