#pragma once

// What the main window asks of the tabs and web browsing.

#include "mainwindow/services/layoutrect.h"

#include <QString>

#include <cstdint>

class ITabsService {
public:
    virtual ~ITabsService() = default;
    // "null" for the do-nothing stand-in, another name for a real one.
    virtual const char* implementationName() const = 0;

    virtual void ActivateTab(int16_t tab) = 0;
    virtual void BindDocumentEvents() = 0;
    virtual void ReleaseDocumentEvents() = 0;
    virtual void CloseDuplicatePopupTabs() = 0;
    virtual void FixScrollOfCurrentPage() = 0;
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    virtual void StopBrowsing() = 0;
    virtual void RefreshPage() = 0;
    virtual void GoUpOneLevel() = 0;
    virtual void OpenMyFolder() = 0;
    virtual void OpenMail() = 0;
    virtual void OpenSearchPage() = 0;
    virtual void NavigateAddressText(bool newTab, bool flag2, bool flag3) = 0;
    // mode 1 the command-line argument, 2 the start-page setting, 3 the start-page address.
    virtual void OpenWB_StartPage(int16_t mode) = 0;
    virtual void ReadHandOffFiles() = 0;
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
    // The multi-view arrangement of the holder (LayoutViewPanes, EnsureTabsForViewMode).
    virtual void LayoutViewPanes(bool recentre, int16_t tabCount, int16_t paneCount) = 0;
    virtual void EnsureTabsForViewMode(bool flag) = 0;

    // Page tools of the current tab.
    virtual void StopEverything() = 0;
    virtual void MailPageLink() = 0;
    // index 0 the translation list, 1-4 the folder, mail, start-page and search lists.
    virtual void EditListFile(int16_t index) = 0;
    // number 1-5: Excel, FrontPage, PowerPoint, Publisher, Word.
    virtual void OpenInOfficeProgram(int16_t number) = 0;
    virtual void TranslatePage(const QString& name) = 0;
    virtual void ToggleWorkOffline() = 0;
    virtual void ViewPageSource() = 0;
    virtual bool IsCurrentTabBlank() = 0;
    virtual void SynchronizeOfflinePages() = 0;
    virtual void ShowImageViewerTab() = 0;
    // Tab commands of the keys, gestures and buttons.
    virtual void OpenNewTab() = 0;
    virtual void GoToTab(int16_t tab) = 0;
    virtual void CloseTab(int16_t tab) = 0;
    // 1 all tabs, 2 all but the first, 3 all but the current.
    virtual void CloseTabs(int16_t mode) = 0;
    virtual void ReopenClosedTab() = 0;
    // Opens the entry `name` of quick list 1-4 (folders, mail, start pages, searches).
    virtual void QuickListLookup(int16_t list, const QString& name) = 0;
    // A Ctrl+letter page command on the current page (key codes of P, S,
    // F, A, X, C, V); nothing on the blank page.
    virtual void RunPageKey(int16_t keyCode) = 0;
    // The current tab's browser goes to url.
    virtual void NavigateCurrentTab(const QString& url) = 0;
};
