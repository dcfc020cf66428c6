#pragma once

// The recording fake of every subsystem interface: each call is appended
// to one log as "Name" or "Name(args)". Installed into a service set for the
// life of the object; a log given to it is shared with other recorders, so
// their calls keep one order.

#include "contracts/services.h"

#include <QMap>
#include <QStringList>
#include <QVector>

#include <array>
#include <functional>

// One log of calls, "Name(args)".
struct CallLog {
    QStringList calls;
    void add(const QString& c) { calls << c; }
    int count(const QString& c) const { return calls.count(c); }
    bool has(const QString& prefix) const
    {
        for (const QString& c : calls)
            if (c.startsWith(prefix))
                return true;
        return false;
    }
};

class RecordingServices : public ITabsService, public IMenusService, public IListsService, public IMediaService,
                          public IDownloadsService, public IDialogsService {
public:
    explicit RecordingServices(ServiceSet& set) : RecordingServices(set, ownLog_) {}
    RecordingServices(ServiceSet& set, CallLog& log) : set_(set), log_(log), calls(log.calls)
    {
        set_.SetTabs(this);
        set_.SetMenus(this);
        set_.SetLists(this);
        set_.SetMedia(this);
        set_.SetDownloads(this);
        set_.SetDialogs(this);
    }
    ~RecordingServices() override
    {
        if (&set_.Tabs() == this)
            set_.SetTabs(nullptr);
        if (&set_.Menus() == this)
            set_.SetMenus(nullptr);
        if (&set_.Lists() == this)
            set_.SetLists(nullptr);
        if (&set_.Media() == this)
            set_.SetMedia(nullptr);
        if (&set_.Downloads() == this)
            set_.SetDownloads(nullptr);
        if (&set_.Dialogs() == this)
            set_.SetDialogs(nullptr);
    }
    RecordingServices(const RecordingServices&) = delete;
    RecordingServices& operator=(const RecordingServices&) = delete;

private:
    CallLog ownLog_;
    ServiceSet& set_;
    CallLog& log_;

public:
    QStringList& calls;
    // Run inside OpenWB_StartPage (a routine that waits, as a prompt does).
    std::function<void()> onOpenStartPage;
    bool audioStopped = false;
    bool videoStopped = false;
    // The command addresses handed to the downloads.
    QStringList pageEvents;
    QList<int16_t> pageEventBrowsers;
    // The tabs the fake answers for: tab t on browser tabBrowsers[t].
    QVector<int16_t> tabBrowsers{0};
    int16_t currentTab = 0;
    // The current tab's browser and page, and the titles of the tabs.
    platform::browser::IBrowser* currentBrowser = nullptr;
    bool currentTabBlank = true;
    QStringList tabTitles;
    QStringList tabLocations;
    // Browsers by index; NewTab asks makeBrowser for the new tab's one.
    QMap<int16_t, platform::browser::IBrowser*> browsers;
    std::function<platform::browser::IBrowser*(int16_t browserIndex)> makeBrowser;
    bool waitTimesOut = false;
    bool groupStop = false;
    int16_t lastFittingTab = 9;
    QString clickedElementHtml;
    // The rows the lists answer with, by list kind (none unless set).
    std::array<platform::forms::ListRows*, 7> listItems{};

    const char* implementationName() const override { return "recording fake"; }

    // Tabs
    int16_t TabCount() const override { return static_cast<int16_t>(tabBrowsers.size()); }
    int16_t CurrentTab() const override { return currentTab; }
    int16_t TabBrowserMap(int16_t tab) const override { return tabBrowsers.value(tab, -1); }
    QString TabTitle(int16_t tab) const override { return tabTitles.value(tab); }
    QString TabLocation(int16_t tab) const override { return tabLocations.value(tab); }
    int16_t TabOfBrowser(int16_t browser) const override { return static_cast<int16_t>(tabBrowsers.lastIndexOf(browser)); }
    platform::browser::IBrowser* CurrentBrowser() const override { return currentBrowser; }
    int16_t GetTabState(int16_t, int16_t) const override { return 0; }
    void NavigateInNewTab(const QString& url) override { add(QStringLiteral("NavigateInNewTab(%1)").arg(url)); }
    void CloseTab(int16_t t, bool) override { rec("CloseTab", t); }
    void CloseTabs(int16_t m) override { rec("CloseTabs", m); }
    void GoToTab(int16_t t) override { rec("GoToTab", t); }
    void SelectTabFromMenu(int16_t t) override { rec("SelectTabFromMenu", t); }
    void ClearTabs(bool all, int16_t t) override { add(QStringLiteral("ClearTabs(%1,%2)").arg(all).arg(t)); }
    void OpenWB_StartPage(int16_t mode) override
    {
        rec("OpenWB_StartPage", mode);
        if (onOpenStartPage)
            onOpenStartPage();
    }
    void OpenSearchPage() override { rec("OpenSearchPage"); }
    void RunPageKey(int16_t k) override { rec("RunPageKey", k); }
    void ActivateTab(int16_t t) override { rec("ActivateTab", t); }
    void SelectTab(int16_t t) override
    {
        currentTab = t;
        rec("SelectTab", t);
    }
    void SetUserClickState(uint8_t code) override { rec("SetUserClickState", code); }
    void BeginUnload() override { rec("BeginUnload"); }
    void BindDocumentEvents() override { rec("BindDocumentEvents"); }
    void ReleaseDocumentEvents() override { rec("ReleaseDocumentEvents"); }
    void CloseDuplicatePopupTabs() override { rec("CloseDuplicatePopupTabs"); }
    void RefreshDownloadStatusFrames() override { rec("RefreshDownloadStatusFrames"); }
    void FixScrollOfCurrentPage() override { rec("FixScrollOfCurrentPage"); }
    void GoBack() override { rec("GoBack"); }
    void GoForward() override { rec("GoForward"); }
    void StopBrowsing() override { rec("StopBrowsing"); }
    void RefreshPage() override { rec("RefreshPage"); }
    void GoUpOneLevel() override { rec("GoUpOneLevel"); }
    void OpenMyFolder() override { rec("OpenMyFolder"); }
    void OpenMail() override { rec("OpenMail"); }
    void NavigateAddressText(bool, bool, bool) override { rec("NavigateAddressText"); }
    void ReadHandOffFiles() override { rec("ReadHandOffFiles"); }
    void OpenFileDialogCommand() override { rec("OpenFileDialogCommand"); }
    void SetStatusMessage(const QString& text, int16_t b, int16_t t) override
    {
        add(QStringLiteral("SetStatusMessage(%1,%2,%3)").arg(text).arg(b).arg(t));
    }
    void ShowBusyIndicator() override { rec("ShowBusyIndicator"); }
    void SwitchToAdjacentTab(int16_t d, bool once) override
    {
        add(QStringLiteral("SwitchToAdjacentTab(%1,%2)").arg(d).arg(once ? "once" : "held"));
    }
    void SetTabStateRecord(int16_t b, const QString& r) override
    {
        add(QStringLiteral("SetTabStateRecord(%1,%2)").arg(b).arg(r));
    }
    void UnloadBrowser(int16_t b) override { rec("UnloadBrowser", b); }
    void LayoutTabStrip(LayoutRect&) override { rec("LayoutTabStrip"); }
    void LayoutViewPanes(bool, int16_t, int16_t) override { rec("LayoutViewPanes"); }
    void EnsureTabsForViewMode(bool) override { rec("EnsureTabsForViewMode"); }
    void StopEverything() override { rec("StopEverything"); }
    void MailPageLink() override { rec("MailPageLink"); }
    void EditListFile(int16_t i) override { rec("EditListFile", i); }
    void OpenInOfficeProgram(int16_t n) override { rec("OpenInOfficeProgram", n); }
    void TranslatePage(const QString& name) override { add(QStringLiteral("TranslatePage(%1)").arg(name)); }
    void ToggleWorkOffline() override { rec("ToggleWorkOffline"); }
    void ViewPageSource() override { rec("ViewPageSource"); }
    void SynchronizeOfflinePages() override { rec("SynchronizeOfflinePages"); }
    void ShowImageViewerTab() override { rec("ShowImageViewerTab"); }
    bool IsCurrentTabBlank() override
    {
        rec("IsCurrentTabBlank");
        return currentTabBlank;
    }
    void OpenNewTab() override { rec("OpenNewTab"); }
    void ReopenClosedTab() override { rec("ReopenClosedTab"); }
    void QuickListLookup(int16_t l, const QString& name) override
    {
        add(QStringLiteral("QuickListLookup(%1,%2)").arg(l).arg(name));
    }
    void NavigateCurrentTab(const QString& url) override { add(QStringLiteral("NavigateCurrentTab(%1)").arg(url)); }
    platform::browser::IBrowser* Browser(int16_t b) const override { return browsers.value(b, nullptr); }
    void SetTabState(int16_t b, int16_t field, int16_t value) override
    {
        add(QStringLiteral("SetTabState(%1,%2,%3)").arg(b).arg(field).arg(value));
    }
    void SetTabTitle(int16_t t, const QString& title) override
    {
        while (tabTitles.size() <= t)
            tabTitles << QString();
        tabTitles[t] = title;
    }
    void RefreshTabsShown() override { rec("RefreshTabsShown"); }
    // The new tab gets the lowest browser index not in use; makeBrowser
    // gives its browser.
    void NewTab(int16_t t) override
    {
        int16_t b = 0;
        while (tabBrowsers.contains(b))
            ++b;
        tabBrowsers.resize(t + 1);
        tabBrowsers[t] = b;
        if (makeBrowser)
            browsers[b] = makeBrowser(b);
        rec("NewTab", t);
    }
    bool WaitUntilReady(int16_t t, int32_t limit) override
    {
        add(QStringLiteral("WaitUntilReady(%1,%2)").arg(t).arg(limit));
        return waitTimesOut;
    }
    void EnsureUsableTab() override { rec("EnsureUsableTab"); }
    void SetBusyIndicator(uint8_t state) override { rec("SetBusyIndicator", state); }
    bool GroupStopRequested() const override { return groupStop; }
    void ClearGroupStop() override { groupStop = false; }
    void SetProgressBrowser(int16_t b) override { rec("SetProgressBrowser", b); }
    int16_t LastFittingTab() const override { return lastFittingTab; }
    QString ClickedElementHtml() const override { return clickedElementHtml; }
    void UpdateTabTitle(int button) override { add(QStringLiteral("UpdateTabTitle(%1)").arg(button)); }
    void RefreshCurrentTabChrome() override { rec("RefreshCurrentTabChrome"); }
    void ShowMediaStateStatus() override { rec("ShowMediaStateStatus"); }

    // Menus
    void CreatePopupMenu(QWidget*) override { rec("CreatePopupMenu"); }
    bool SubClassStatus() const override { return false; }
    void cmdMenu_MouseDown(int16_t i, int, int) override { rec("cmdMenu_MouseDown", i); }
    void ShowHelpMenu() override { rec("ShowHelpMenu"); }
    void ShowUserListMenu(int16_t l) override { rec("ShowUserListMenu", l); }
    void ShowCloseTabMenu() override { rec("ShowCloseTabMenu"); }
    void ShowGoToTabMenu() override { rec("ShowGoToTabMenu"); }
    void ShowFavoritesMenu() override { rec("ShowFavoritesMenu"); }
    void ShowHistoryMenu() override { rec("ShowHistoryMenu"); }
    void ShowTabListMenu() override { rec("ShowTabListMenu"); }
    void ShowMediaMenu() override { rec("ShowMediaMenu"); }
    void ShowPlaylistMenu(int32_t, int32_t, int32_t, int32_t) override { rec("ShowPlaylistMenu"); }
    void ShowPlaylistFormatMenu(int32_t, int32_t, int32_t, int32_t) override { rec("ShowPlaylistFormatMenu"); }
    void ShowListViewEditMenu(float, float) override { rec("ShowListViewEditMenu"); }
    void RollOverMenuBar() override { rec("RollOverMenuBar"); }
    void EndMenuBarMode() override { rec("EndMenuBarMode"); }
    void UnloadMenuImageHolder() override { rec("UnloadMenuImageHolder"); }
    void SetButtonTooltips() override { rec("SetButtonTooltips"); }
    QString ShowTabMenu(int32_t, int32_t, int32_t, int32_t) override
    {
        rec("ShowTabMenu");
        return {};
    }

    // Lists
    void HideAddressDropDown() override { rec("HideAddressDropDown"); }
    void SetAddressDropDownColumnWidth(float) override {}
    void ShowListPane(bool, LayoutRect&) override { rec("ShowListPane"); }
    void HideListPaneControls() override { rec("HideListPaneControls"); }
    void ShowCurrentList() override { rec("ShowCurrentList"); }
    void SelectCurrentListItem() override { rec("SelectCurrentListItem"); }
    void SetListButtonPicture(int16_t b, int16_t s) override
    {
        add(QStringLiteral("SetListButtonPicture(%1,%2)").arg(b).arg(s));
    }
    void UpdatePlaylistButtons() override { rec("UpdatePlaylistButtons"); }
    void NextImageListItem() override { rec("NextImageListItem"); }
    void ShowImageListItem() override { rec("ShowImageListItem"); }
    void ShowSnippetListItem() override { rec("ShowSnippetListItem"); }
    void ShowLinkListItem() override { rec("ShowLinkListItem"); }
    void OpenLinkItem(int32_t i) override { rec("OpenLinkItem", i); }
    // Both the lists' and the downloads' fetches.
    void StopAllFetches() override { rec("StopAllFetches"); }
    platform::forms::ListRows* ListItems(int16_t k) override { return k >= 0 && k <= 6 ? listItems[static_cast<size_t>(k)] : nullptr; }
    void ShowListCount(bool showPath) override { rec("ShowListCount", showPath); }
    void AddFilesFromDialog(int16_t k) override { rec("AddFilesFromDialog", k); }
    void AddAllFilesInFolder(int16_t k) override { rec("AddAllFilesInFolder", k); }
    void AddItemManually(int16_t k) override { rec("AddItemManually", k); }
    void AddPageAddress() override { rec("AddPageAddress"); }
    void AddPageLinksToList(int16_t k, int16_t a, int16_t b) override
    {
        add(QStringLiteral("AddPageLinksToList(%1,%2,%3)").arg(k).arg(a).arg(b));
    }
    void AddClipboardLinksToList(int16_t k) override { rec("AddClipboardLinksToList", k); }
    void SelectAllListItems() override { rec("SelectAllListItems"); }
    void RemoveSelectedItems() override { rec("RemoveSelectedItems"); }
    void ClearCurrentList(bool ask) override { rec("ClearCurrentList", ask); }
    void DeleteSelectedToRecycleBin(int16_t k) override { rec("DeleteSelectedToRecycleBin", k); }
    void LoadItemsIntoListView_Final(int16_t k) override { rec("LoadItemsIntoListView_Final", k); }
    void OpenPlaylistDialog() override { rec("OpenPlaylistDialog"); }
    void LoadPlaylistFile(const QString& path) override { add(QStringLiteral("LoadPlaylistFile(%1)").arg(path)); }
    int16_t SavePlaylistFile(const QString& name, bool, bool saveAs) override
    {
        add(QStringLiteral("SavePlaylistFile(%1,%2)").arg(name).arg(saveAs));
        return 0;
    }
    void OpenGroupFolder(int16_t m, const QString& f) override
    {
        add(QStringLiteral("OpenGroupFolder(%1,%2)").arg(m).arg(f));
    }
    void SelectGroupFolder() override { rec("SelectGroupFolder"); }
    void AddToFavorites(int16_t m) override { rec("AddToFavorites", m); }
    void AddSelectionLinksToFolder(int16_t m) override { rec("AddSelectionLinksToFolder", m); }
    void CreateDesktopShortcut() override { rec("CreateDesktopShortcut"); }
    void WriteUrlShortcut(const QString& url, const QString& path, bool) override
    {
        add(QStringLiteral("WriteUrlShortcut(%1,%2)").arg(url, path));
    }
    void CaptureSelectionAsSnippet() override { rec("CaptureSelectionAsSnippet"); }
    void ShowSnippetViewPage(int16_t m, const QString& path) override
    {
        add(QStringLiteral("ShowSnippetViewPage(%1,%2)").arg(m).arg(path));
    }
    void RewriteSnippetFile(const QString& source, QString&, const QString&, const QString&, bool, bool) override
    {
        add(QStringLiteral("RewriteSnippetFile(%1)").arg(source));
    }
    void HandleSnippetPageEvent(int16_t b, const QString& url) override
    {
        add(QStringLiteral("HandleSnippetPageEvent(%1,%2)").arg(b).arg(url));
    }

    // Media
    void ApplyMixerVolume(int32_t v) override { rec("ApplyMixerVolume", v); }
    void StopAllPlayers() override { rec("StopAllPlayers"); }
    void StopAudio() override { rec("StopAudio"); }
    void StopVideo() override { rec("StopVideo"); }
    void CloseAudioPlayer() override { rec("CloseAudioPlayer"); }
    void MediaTimerTick(int16_t k) override { rec("MediaTimerTick", k); }
    bool IsAudioStopped() override { return audioStopped; }
    bool IsVideoStopped() override { return videoStopped; }
    void OnAudioItemEnded() override { rec("OnAudioItemEnded"); }
    void OnVideoItemEnded() override { rec("OnVideoItemEnded"); }
    void PlayPreviousItem(int16_t m) override { rec("PlayPreviousItem", m); }
    void PlayNextItem(int16_t m) override { rec("PlayNextItem", m); }
    void PlaySelectedItem(int16_t m) override { rec("PlaySelectedItem", m); }
    void PauseList(int16_t s, int16_t k) override { add(QStringLiteral("PauseList(%1,%2)").arg(s).arg(k)); }
    void StopList(int16_t k) override { rec("StopList", k); }
    void CloseVideoPlayer() override { rec("CloseVideoPlayer"); }
    void PrepareVideoView() override { rec("PrepareVideoView"); }
    void PlaceVideoView() override { rec("PlaceVideoView"); }
    void StopImageList() override { rec("StopImageList"); }
    void LayoutImageViewer() override { rec("LayoutImageViewer"); }
    void RelayoutImageViewer() override { rec("RelayoutImageViewer"); }
    void ClearViewerImages() override { rec("ClearViewerImages"); }
    void OnViewerImagesLoaded() override { rec("OnViewerImagesLoaded"); }
    void SetPageScrollOn() override { rec("SetPageScrollOn"); }
    void HideImageViewer() override { rec("HideImageViewer"); }
    void ShowViewerImage(int16_t c, const QString& path, int32_t w, int32_t h) override
    {
        add(QStringLiteral("ShowViewerImage(%1,%2,%3,%4)").arg(c).arg(path).arg(w).arg(h));
    }
    void ClearViewerImage(int16_t c) override { rec("ClearViewerImage", c); }
    void ShowMediaToolbarForKind(int16_t k) override { rec("ShowMediaToolbarForKind", k); }
    void HideMediaToolbar() override { rec("HideMediaToolbar"); }
    void RefreshMediaButtonPictures() override { rec("RefreshMediaButtonPictures"); }
    void SetMediaButtonPicture(int16_t i, int16_t s) override
    {
        add(QStringLiteral("SetMediaButtonPicture(%1,%2)").arg(i).arg(s));
    }
    void SetMediaButtonToolTip(int16_t i) override { rec("SetMediaButtonToolTip", i); }
    void UpdateTransportButtons() override { rec("UpdateTransportButtons"); }
    void DragVolumeKnob(uint8_t m, float x) override { add(QStringLiteral("DragVolumeKnob(%1,%2)").arg(m).arg(x)); }
    void DragPositionKnob(uint8_t m, float x) override
    {
        add(QStringLiteral("DragPositionKnob(%1,%2)").arg(m).arg(x));
    }
    void SetSliderTrackPictures(bool empty) override { rec("SetSliderTrackPictures", empty); }
    uint8_t SpecialFolderDisplayName(const QString& name) override
    {
        add(QStringLiteral("SpecialFolderDisplayName(%1)").arg(name));
        return 0;
    }

    // Downloads
    void HandlePageEvent(const QString& url, int16_t browserIndex, const QString&) override
    {
        pageEventBrowsers << browserIndex;
        pageEvents << url;
        add(QStringLiteral("HandlePageEvent(%1)").arg(url));
    }
    void StartListDownload(int16_t k, bool all, int32_t from) override
    {
        add(QStringLiteral("StartListDownload(%1,%2,%3)").arg(k).arg(all).arg(from));
    }
    void ShowDownloadSetup(int16_t k) override { rec("ShowDownloadSetup", k); }
    void ClearDownloadStatusList() override { rec("ClearDownloadStatusList"); }
    void PrepareFetchSlots() override { rec("PrepareFetchSlots"); }
    void StartFetchSlot(int16_t s, int32_t i) override { add(QStringLiteral("StartFetchSlot(%1,%2)").arg(s).arg(i)); }
    void ResetFetchProgress() override { rec("ResetFetchProgress"); }
    void TabPageLoaded(int16_t browserIndex, const QString& url) override
    {
        add(QStringLiteral("TabPageLoaded(%1,%2)").arg(browserIndex).arg(url));
    }

    // Dialogs
    void SaveContentList() override { rec("SaveContentList"); }
    void ShowReferences() override { rec("ShowReferences"); }
    void ShowInputDialog(int16_t m, int16_t l) override { add(QStringLiteral("ShowInputDialog(%1,%2)").arg(m).arg(l)); }

private:
    void add(const QString& call) { log_.add(call); }
    void rec(const char* name) { add(QString::fromLatin1(name)); }
    void rec(const char* name, int arg)
    {
        add(QString::fromLatin1(name) + QLatin1Char('(') + QString::number(arg) + QLatin1Char(')'));
    }
};
