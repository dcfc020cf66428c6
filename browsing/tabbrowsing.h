#pragma once

// The tabs of the main window: one browser per tab (the control array
// WBMAIN, browser 0 never unloaded), each with its state record; creating,
// showing, switching, emptying, closing and reopening tabs; the browsers'
// event procedures with the navigation gate, popup control and the command
// channel of local program pages; the status line and the busy indicator.
//
// Tab numbers change when a tab before them closes; browser indexes never
// do, so every link between tabs holds browser indexes.

#include "browsing/tabchrome.h"
#include "browsing/tabmodel.h"
#include "contracts/services.h"
#include "core/busyflag.h"
#include "mainwindow/explorerstate.h"
#include "platform/win/ibrowser.h"

#include <QPixmap>
#include <QString>

#include <array>
#include <functional>
#include <optional>

using platform::browser::IBrowser;
using platform::browser::NavigationRequest;
using platform::browser::NewWindowRequest;

// The browsers: WBMAIN by index, and the hidden popup catcher WBBACK(0).
class IBrowserHost {
public:
    virtual ~IBrowserHost() = default;
    // Loads a new member (hidden, properties of the lowest member); nullptr
    // when the index is taken.
    virtual IBrowser* loadBrowser(int index) = 0;
    virtual bool unloadBrowser(int index) = 0;
    virtual IBrowser* browser(int index) const = 0; // nullptr when not loaded
    virtual IBrowser* popupCatcher() = 0;
};

class TabBrowsing {
public:
    // The tabs' data is the model's, which outlives these. The media, lists
    // and downloads are reached through the set as each call is made, so
    // that a subsystem set later is the one called.
    TabBrowsing(TabModel& model, ExplorerState& state, IBrowserHost& host, ITabChrome& chrome,
                const ServiceSet& services);
    ~TabBrowsing();
    TabBrowsing(const TabBrowsing&) = delete;
    TabBrowsing& operator=(const TabBrowsing&) = delete;

    TabModel& model() const { return m_; }
    IBrowser* WBMAIN(int index) const { return host_.browser(index); }
    IBrowser* CurrentBrowser() const;

    // ---- State record ----
    int16_t GetTabState(int browser, int field) const;
    void SetTabState(int browser, int field, int16_t value);
    void RemoveChildBrowser(int opener, int child);
    void UnlinkTabRelations(int browser);
    void ResetTab(int tab);

    // ---- Tab lifecycle ----
    void NewTab(int n, bool visible, bool showCount);
    void ActivateTab(int n);
    // Tab n becomes the current one and is activated.
    void SelectTab(int n);
    void GoToTab(int n);
    void SelectTabFromMenu(int n);
    void SwitchToAdjacentTab(int direction, bool once);
    void CloseTab(int tab, bool activateOpener);
    void ReleaseTabBrowser(int tab);
    void CloseTabs(int mode);
    void ClearTabs(bool all, int tab);
    void ReopenClosedTab();
    int TabOfBrowser(int browser) const { return m_.TabOfBrowser(browser); }
    void RelayoutTabPanes(int n);
    void EnsureUsableTab();
    void StopAllTabBrowsers();
    void StopMediaAndTimers();
    bool WaitUntilReady(int tab, double limitMs);
    void Delay(double ms);

    // ---- Browser events ----
    void WBMAIN_BeforeNavigate2(int index, NavigationRequest& request);
    void WBMAIN_NewWindow2(int index, NewWindowRequest& request);
    void WBMAIN_DocumentComplete(int index, const QString& url, bool topLevel);
    void WBMAIN_DownloadBegin();
    void WBMAIN_DownloadComplete();
    void WBMAIN_ProgressChange(int index, int progress, int progressMax);
    void WBMAIN_StatusTextChange(int index, const QString& text);
    void WBMAIN_TitleChange(int index, const QString& text);
    void WBMAIN_CommandStateChange(int index, int command, bool enable);
    void WBMAIN_WindowClosing(int index);
    void WBMAIN_WindowSetRect(int index); // WindowSetLeft, -Top, -Width, -Height
    void WBMAIN_GotFocus(int index);
    // The popup catcher's gate: a loop-back popup goes to its opener's tab.
    void WBBACK_BeforeNavigate2(NavigationRequest& request);

    void SetStatusMessage(const QString& text, int browserIndex = -1, int tabNumber = -1);
    void ShowMediaStateStatus();
    void ShowBusyIndicator();

    // True for a page allowed to send commands: a file below the program
    // folder's Data or Help folder, or one of the program's temporary pages.
    static bool IsLocalProgramPage(const QString& pageUrl);

    // Form state these procedures keep.
    int16_t ProgressBrowser = 0;
    QString LastStatusText;
    QString LastPageTitle;
    Flag TypedAddressPending = 0;
    bool CanCut = false;
    bool CanCopy = false;
    bool CanPaste = false;
    std::array<uint8_t, 7> BusyState{};
    Flag GroupStopFlag = 0;
    // Set while several tabs close (CloseTabs) and from the window's unload
    // on: the browsers are silent, only browser 0 or the blank page may
    // navigate, popups are refused, status line and busy picture stay.
    BusyFlag ClosingTabs;
    // Set by GoToTab until its tab is shown: a second switch waits.
    BusyFlag SwitchingTab;
    QString BlankPageUrl;

    // Seams for tests.
    std::function<std::optional<QPixmap>(int16_t id)> busyPicture; // GetSkinPicture(id, 0)
    std::function<void()> doEvents;                              // processes pending events

private:
    // True once for the top-level load that the snippet or link list's
    // step (kind 4 or 5) started in browser index, while the list plays.
    bool loadOfListStep(int kind, int index);
    void wire(int index, IBrowser* browser);
    void gate(int index, NavigationRequest& request);
    // Hands a page's command to the lists (a snippet view page's, which
    // prove it by the page's token) or to the downloads once every document
    // of the browser's page proves to be a local program page.
    void deliverPageCommand(int index, const QString& url, const QString& pageUrl);
    void newWindow(int index, NewWindowRequest& request);
    void unloadClosedBrowser(int browser);
    // The popup setting as it applies now: refused (2) while tabs close.
    int popupMode() const;
    void DoEvents();
    bool closeTabsBody(int mode);

    TabModel& m_;
    ExplorerState& st_;
    IBrowserHost& host_;
    ITabChrome& chrome_;
    const ServiceSet& services_;
    // Set while a closed tab's browser goes.
    BusyFlag releasingTab_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
