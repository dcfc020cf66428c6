#pragma once

// What the other subsystems ask of the tabs and web browsing. Tab numbers
// are 0-based and change when a tab before them closes; browser indexes
// (WBMAIN) never do.

#include "contracts/layoutrect.h"

#include <QString>

#include <cstdint>

namespace platform::browser {
class IBrowser;
}

// The part the menus use: the current page, the tab kinds their captions
// show and the tab commands of their items.
class ITabCommands {
public:
    virtual ~ITabCommands() = default;

    virtual int16_t TabCount() const = 0;
    virtual int16_t CurrentTab() const = 0;
    // The browser of the tab (TabBrowserMap); -1 for no such tab.
    virtual int16_t TabBrowserMap(int16_t tab) const = 0;
    virtual QString TabTitle(int16_t tab) const = 0;
    // The address of the tab's page; "" for no such tab.
    virtual QString TabLocation(int16_t tab) const = 0;
    // The tab of the browser, searched from the last tab down; -1 for none.
    virtual int16_t TabOfBrowser(int16_t browserIndex) const = 0;

    // The current tab's browser; nullptr when there is none.
    virtual platform::browser::IBrowser* CurrentBrowser() const = 0;
    // One field of a browser's tab state record; 0 when it has none.
    virtual int16_t GetTabState(int16_t browserIndex, int16_t field) const = 0;
    // A tab at the end loads the address and becomes the current one.
    virtual void NavigateInNewTab(const QString& url) = 0;
    // activateOpener: the tab's opener becomes current when it still exists.
    virtual void CloseTab(int16_t tab, bool activateOpener) = 0;
    // 1 all tabs, 2 all but the first, 3 all but the current.
    virtual void CloseTabs(int16_t mode) = 0;
    // Makes the tab current, leaving multi-view.
    virtual void GoToTab(int16_t tab) = 0;
    // A tab chosen from a menu: in multi-view a tab of a pane only becomes
    // the current one.
    virtual void SelectTabFromMenu(int16_t tab) = 0;
    // Every tab, or the one given, back to the blank page.
    virtual void ClearTabs(bool all, int16_t tab) = 0;
    // mode 1 the command-line argument, 2 the start-page setting, 3 the start-page address.
    virtual void OpenWB_StartPage(int16_t mode) = 0;
    virtual void OpenSearchPage() = 0;
    // A Ctrl+letter page command on the current page (key codes of P, S,
    // F, A, X, C, V); nothing on the blank page. F opens the find bar.
    virtual void RunPageKey(int16_t keyCode) = 0;

    // The page tools and quick lists of the menus' items.
    virtual void MailPageLink() = 0;
    // index 0 the translation list, 1-4 the folder, mail, start-page and search lists.
    virtual void EditListFile(int16_t index) = 0;
    // number 1-5: Excel, FrontPage, PowerPoint, Publisher, Word.
    virtual void OpenInOfficeProgram(int16_t number) = 0;
    virtual void TranslatePage(const QString& name) = 0;
    virtual void ToggleWorkOffline() = 0;
    virtual void ViewPageSource() = 0;
    virtual void SynchronizeOfflinePages() = 0;
    virtual void ShowImageViewerTab() = 0;
    // Opens the entry `name` of quick list 1-4 (folders, mail, start pages, searches).
    virtual void QuickListLookup(int16_t list, const QString& name) = 0;
};

class ITabsService : public ITabCommands {
public:
    // "null" for the do-nothing stand-in, another name for a real one.
    virtual const char* implementationName() const = 0;

    virtual void ActivateTab(int16_t tab) = 0;
    // The tab becomes the current one and is activated.
    virtual void SelectTab(int16_t tab) = 0;
    // A press in the browser area: 2 left, 3 right.
    virtual void SetUserClickState(uint8_t code) = 0;
    // The window is going: from now on the tabs stay quiet (no status text,
    // no busy picture, no popups, no navigation but the blank page).
    virtual void BeginUnload() = 0;
    virtual void BindDocumentEvents() = 0;
    virtual void ReleaseDocumentEvents() = 0;
    // Tick routines of the housekeeping timer.
    virtual void CloseDuplicatePopupTabs() = 0;
    virtual void RefreshDownloadStatusFrames() = 0;
    virtual void FixScrollOfCurrentPage() = 0;
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    virtual void StopBrowsing() = 0;
    virtual void RefreshPage() = 0;
    virtual void GoUpOneLevel() = 0;
    virtual void OpenMyFolder() = 0;
    virtual void OpenMail() = 0;
    virtual void NavigateAddressText(bool newTab, bool flag2, bool flag3) = 0;
    virtual void ReadHandOffFiles() = 0;
    // The Open command: the input dialog asks for an address or a file,
    // which opens by its kind.
    virtual void OpenFileDialogCommand() = 0;
    virtual void SetStatusMessage(const QString& text, int16_t browserIndex, int16_t tabNumber) = 0;
    virtual void ShowBusyIndicator() = 0;
    // direction 7 the next tab, 8 the previous; once false steps on while a
    // button is held (until ButtonReleased).
    virtual void SwitchToAdjacentTab(int16_t direction, bool once) = 0;
    // The tab browser WBMAIN(0)'s state record.
    virtual void SetTabStateRecord(int16_t browserIndex, const QString& record) = 0;
    // Unloads the browser WBMAIN(index) (never index 0).
    virtual void UnloadBrowser(int16_t browserIndex) = 0;
    // Shows or hides the tab strip and fits its buttons into the rectangle.
    virtual void LayoutTabStrip(LayoutRect& rect) = 0;
    // The multi-view arrangement of the holder, each pane filled by its
    // tab's browser; blank tabs added until every pane has one.
    virtual void LayoutViewPanes(bool showSplitters, int16_t tabCount, int16_t paneCount) = 0;
    virtual void EnsureTabsForViewMode(bool flag) = 0;

    // Page tools of the current tab.
    virtual void StopEverything() = 0;
    virtual bool IsCurrentTabBlank() = 0;
    // Tab commands of the keys, gestures and buttons.
    virtual void OpenNewTab() = 0;
    virtual void ReopenClosedTab() = 0;
    // The current tab's browser goes to url.
    virtual void NavigateCurrentTab(const QString& url) = 0;

    // ---- What the page collections use ----
    // WBMAIN(browserIndex); nullptr when it is not loaded.
    virtual platform::browser::IBrowser* Browser(int16_t browserIndex) const = 0;
    virtual void SetTabState(int16_t browserIndex, int16_t field, int16_t value) = 0;
    virtual void SetTabTitle(int16_t tab, const QString& title) = 0;
    // The current tab's chrome and the tab buttons drawn again.
    virtual void RefreshTabsShown() = 0;
    // Tab n becomes the last tab (TabCount n + 1) with an empty title and a
    // loaded, visible browser.
    virtual void NewTab(int16_t tab) = 0;
    // Waits, events running, until the tab's page is complete (false), the
    // limit has passed (true) or the window closes (false).
    virtual bool WaitUntilReady(int16_t tab, int32_t limitMs) = 0;
    // The current tab back from a viewer to page mode.
    virtual void EnsureUsableTab() = 0;
    // The busy picture: 2 busy, 1 idle.
    virtual void SetBusyIndicator(uint8_t state) = 0;
    // Set by the Stop command and by closing several tabs.
    virtual bool GroupStopRequested() const = 0;
    virtual void ClearGroupStop() = 0;
    // The browser whose loading the progress bar follows.
    virtual void SetProgressBrowser(int16_t browserIndex) = 0;
    // The last tab whose button fits the tab strip.
    virtual int16_t LastFittingTab() const = 0;
    // The outerHTML of the element under the last press in the current page.
    virtual QString ClickedElementHtml() const = 0;

    // What the viewers of the lists ask of the tabs.
    // Redraws the caption of the tab button (tab number - TabButtonOffset).
    virtual void UpdateTabTitle(int button) = 0;
    // The captions, buttons, address and status of the current tab again.
    virtual void RefreshCurrentTabChrome() = 0;
    // "Stopped", "Paused" or "Playing" for the current list in the status line.
    virtual void ShowMediaStateStatus() = 0;
};
