#pragma once

// The tabs of the running program on the main window: the browsers, the tab
// model, the strip and the current-tab display, the watchers, page tools and
// navigation, served to the other subsystems as the tabs service and to the
// tab model as the window around it. The browser of the shown tab fills the
// body of the chrome (PicHolder(0)), which holds every tab browser.

#include "browsing/browserarray.h"
#include "browsing/currenttabdisplay.h"
#include "browsing/documentsinks.h"
#include "browsing/handoff.h"
#include "browsing/navigation.h"
#include "browsing/pagetools.h"
#include "browsing/tabbrowsing.h"
#include "browsing/tabchrome.h"
#include "browsing/tabstrip.h"
#include "browsing/tabwatchers.h"
#include "contracts/services.h"

#include <QObject>
#include <QPointF>
#include <QPointer>

#include <optional>

class FindBar;
class frmExplorer;

// The browsers of the window, each press inside a page reported to the
// window as a click in the browser area.
class ClickingBrowsers : public IBrowserHost {
public:
    ClickingBrowsers(frmExplorer& window, platform::forms::Control* holder);
    IBrowser* loadBrowser(int index) override;
    bool unloadBrowser(int index) override { return array_.unloadBrowser(index); }
    IBrowser* browser(int index) const override { return array_.browser(index); }
    IBrowser* popupCatcher() override { return array_.popupCatcher(); }

private:
    IBrowser* watch(IBrowser* b);
    frmExplorer& window_;
    BrowserArray array_;
};

class ExplorerTabs : public ITabsService, public ITabChrome, public QObject {
public:
    // Built after the window's controls and before the window loads; the
    // media, lists and downloads are reached through the set.
    ExplorerTabs(frmExplorer& window, ServiceSet& services);
    ~ExplorerTabs() override;

    const char* implementationName() const override { return "browsing"; }

    TabModel& tabModel() { return model_; }
    TabBrowsing& model() { return tabs_; }
    TabStrip& strip() { return strip_; }

    // ---- What the menus ask of the tabs ----
    int16_t TabCount() const override { return model_.TabCount(); }
    int16_t CurrentTab() const override { return model_.CurrentTab(); }
    int16_t TabBrowserMap(int16_t tab) const override;
    QString TabTitle(int16_t tab) const override;
    QString TabLocation(int16_t tab) const override;
    int16_t TabOfBrowser(int16_t browserIndex) const override;
    IBrowser* CurrentBrowser() const override { return tabs_.CurrentBrowser(); }
    int16_t GetTabState(int16_t browserIndex, int16_t field) const override;
    void NavigateInNewTab(const QString& url) override;
    void CloseTab(int16_t tab, bool activateOpener) override { tabs_.CloseTab(tab, activateOpener); }
    void CloseTabs(int16_t mode) override { tabs_.CloseTabs(mode); }
    void GoToTab(int16_t tab) override { tabs_.GoToTab(tab); }
    void SelectTabFromMenu(int16_t tab) override { tabs_.SelectTabFromMenu(tab); }
    void ClearTabs(bool all, int16_t tab) override { tabs_.ClearTabs(all, tab); }
    void OpenWB_StartPage(int16_t mode) override;
    void OpenSearchPage() override { nav_.OpenSearchPage(); }

    // ---- What the window asks of the tabs ----
    void ActivateTab(int16_t tab) override { tabs_.ActivateTab(tab); }
    void SelectTab(int16_t tab) override { tabs_.SelectTab(tab); }
    void SetUserClickState(uint8_t code) override { model_.SetUserClickState(code); }
    void BeginUnload() override { tabs_.ClosingTabs.set(true); }
    void SwitchToAdjacentTab(int16_t direction, bool once) override { tabs_.SwitchToAdjacentTab(direction, once); }
    void SetStatusMessage(const QString& text, int16_t browserIndex, int16_t tabNumber) override
    {
        tabs_.SetStatusMessage(text, browserIndex, tabNumber);
    }
    void ShowBusyIndicator() override { tabs_.ShowBusyIndicator(); }
    void SetTabStateRecord(int16_t browserIndex, const QString& record) override;
    void UnloadBrowser(int16_t browserIndex) override;
    // Serves the window and the tab model alike.
    void LayoutViewPanes(bool showSplitters, int16_t tabCount, int16_t paneCount) override;
    void EnsureTabsForViewMode(bool activate) override;
    void BindDocumentEvents() override { sinks_.BindDocumentEvents(); }
    void ReleaseDocumentEvents() override { sinks_.ReleaseDocumentEvents(); }
    void CloseDuplicatePopupTabs() override { watchers_.CloseDuplicatePopupTabs(); }
    void RefreshDownloadStatusFrames() override { watchers_.RefreshDownloadStatusFrames(); }
    void FixScrollOfCurrentPage() override { watchers_.FixScrollOfCurrentPage(); }
    void StopEverything() override;
    void MailPageLink() override { tools_.MailPageLink(); }
    void EditListFile(int16_t index) override { tools_.EditListFile(index); }
    void OpenInOfficeProgram(int16_t number) override { tools_.OpenInOfficeProgram(number); }
    void TranslatePage(const QString& name) override { tools_.TranslatePage(name); }
    void ToggleWorkOffline() override { tools_.ToggleWorkOffline(); }
    void ViewPageSource() override { tools_.ViewPageSource(); }
    bool IsCurrentTabBlank() override { return tools_.IsCurrentTabBlank(); }
    void SynchronizeOfflinePages() override { tools_.SynchronizeOfflinePages(); }
    void ShowImageViewerTab() override;
    void GoBack() override;
    void GoForward() override { nav_.GoForward(); }
    void StopBrowsing() override { nav_.StopBrowsing(); }
    void RefreshPage() override { nav_.RefreshPage(); }
    void GoUpOneLevel() override { nav_.GoUpOneLevel(); }
    void OpenMyFolder() override { nav_.OpenMyFolder(); }
    void OpenMail() override { nav_.OpenMail(); }
    void NavigateAddressText(bool newTab, bool interpret, bool noHistory) override
    {
        nav_.NavigateAddressText(newTab, interpret, noHistory);
    }
    void ReadHandOffFiles() override;
    void OpenFileDialogCommand() override;
    void OpenNewTab() override { nav_.OpenNewTab(); }
    void ReopenClosedTab() override { tabs_.ReopenClosedTab(); }
    void QuickListLookup(int16_t list, const QString& name) override { nav_.QuickListLookup(list, name); }
    void NavigateCurrentTab(const QString& url) override;
    IBrowser* Browser(int16_t browserIndex) const override { return tabs_.WBMAIN(browserIndex); }
    void SetTabState(int16_t browserIndex, int16_t field, int16_t value) override
    {
        tabs_.SetTabState(browserIndex, field, value);
    }
    void SetTabTitle(int16_t tab, const QString& title) override { model_.SetTabTitle(tab, title); }
    void RefreshTabsShown() override
    {
        display_.RefreshCurrentTabChrome();
        display_.RefreshTabButtons(true);
    }
    void NewTab(int16_t tab) override { tabs_.NewTab(tab, true, true); }
    bool WaitUntilReady(int16_t tab, int32_t limitMs) override { return tabs_.WaitUntilReady(tab, limitMs); }
    void EnsureUsableTab() override { tabs_.EnsureUsableTab(); }
    void SetBusyIndicator(uint8_t state) override;
    bool GroupStopRequested() const override { return tabs_.GroupStopFlag != 0; }
    void ClearGroupStop() override { tabs_.GroupStopFlag = 0; }
    void SetProgressBrowser(int16_t browserIndex) override { tabs_.ProgressBrowser = browserIndex; }
    int16_t LastFittingTab() const override;
    QString ClickedElementHtml() const override { return sinks_.ClickedElementHtml; }
    // The page documents' events (the program wires the page drag to the lists).
    DocumentSinks& sinks() { return sinks_; }
    void RunPageKey(int16_t keyCode) override;
    void LayoutTabStrip(LayoutRect& rect) override;

    // ---- What the tab model asks of the window ----
    void PlaceBrowsersInPanes(int tab) override;
    void BringSplittersToFront() override;
    void EndSplitterDrag() override;
    void SetStatusLine(const QString& text) override;
    void SetBusyPicture(const QPixmap& picture) override;
    void SetProgressBar(double max, double value) override;
    void SetListTimer(int timer, bool enabled) override;
    bool IsFullScreen() override;
    void ResetTabStripForCloseAll() override { display_.ResetForCloseAll(); }
    void ShowTabCount(int count) override { display_.ShowTabCount(count); }
    void RefreshTabButtons(int hideExtra) override { display_.RefreshTabButtons(hideExtra != 0); }
    void RefreshCurrentTabChrome() override { display_.RefreshCurrentTabChrome(); }
    void UpdateTabTitle(int button) override { display_.UpdateTabTitle(button); }
    void ShowMediaStateStatus() override { tabs_.ShowMediaStateStatus(); }
    void ScrollTabStripToCurrent() override { strip_.ScrollTabStripToCurrent(); }
    int TabButtonsThatFit() override { return strip_.TabButtonsFit(); }
    void SetBackButtonState(bool enable) override { display_.SetBackButtonState(enable); }
    void SetForwardButtonState(bool enable) override { display_.SetForwardButtonState(enable); }
    // At the first new title after Enter: what the address box holds then.
    void AddTypedUrl() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    IBrowser* currentBrowser() const;
    // The colour bar (ImageBox 7) and the page icon (ImageBox 2); the
    // other picture buttons keep the handlers they had.
    void wirePageButtons();
    void dragPageIcon(double x, double y);
    void wireAddressBox();
    void wireAddressDropDown();
    void dropDownArrowPressed();
    // The typed addresses into ListView(0), newest on top; their number.
    int FillTypedUrlList();
    void HideAddressDropDown();
    // A page the program wrote for itself is deleted once the current tab
    // has left it.
    // before: where the tab was when it was sent to the page; a tab that
    // moved on from there and does not show the page has left it, even when
    // it passed the page between two looks.
    void DeleteWhenLeft(const QString& page, const QString& before);

    frmExplorer& window_;
    ServiceSet& services_;
    ClickingBrowsers browsers_;
    TabModel model_;
    TabBrowsing tabs_;
    TabStrip strip_;
    CurrentTabDisplay display_;
    TabWatchers watchers_;
    PageTools tools_;
    DocumentSinks sinks_;
    std::optional<QPointF> iconPress_;
    // The drop-down list is being filled and shown.
    BusyFlag dropDownOpening_;
    Navigation nav_;
    HandOffReader handOff_;
    QPointer<FindBar> findBar_; // a child of the page holder
};
