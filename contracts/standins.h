#pragma once

// The do-nothing stand-ins of the subsystems, one per interface: a service
// set answers through them until the real subsystem is set. Every call does
// nothing and every question answers "no" (false, not stopped, none).

#include "contracts/dialogs.h"
#include "contracts/downloads.h"
#include "contracts/lists.h"
#include "contracts/media.h"
#include "contracts/menus.h"
#include "contracts/tabs.h"

class StandInTabs : public ITabsService {
public:
    const char* implementationName() const override { return "null"; }
    int16_t TabCount() const override { return 0; }
    int16_t CurrentTab() const override { return 0; }
    int16_t TabBrowserMap(int16_t) const override { return -1; }
    QString TabTitle(int16_t) const override { return {}; }
    QString TabLocation(int16_t) const override { return {}; }
    int16_t TabOfBrowser(int16_t) const override { return -1; }
    platform::browser::IBrowser* CurrentBrowser() const override { return nullptr; }
    int16_t GetTabState(int16_t, int16_t) const override { return 0; }
    void NavigateInNewTab(const QString&) override {}
    void CloseTab(int16_t, bool) override {}
    void CloseTabs(int16_t) override {}
    void GoToTab(int16_t) override {}
    void SelectTabFromMenu(int16_t) override {}
    void ClearTabs(bool, int16_t) override {}
    void OpenWB_StartPage(int16_t) override {}
    void OpenSearchPage() override {}
    void RunPageKey(int16_t) override {}
    void ActivateTab(int16_t) override {}
    void SelectTab(int16_t) override {}
    void SetUserClickState(uint8_t) override {}
    void BeginUnload() override {}
    void BindDocumentEvents() override {}
    void ReleaseDocumentEvents() override {}
    void CloseDuplicatePopupTabs() override {}
    void RefreshDownloadStatusFrames() override {}
    void FixScrollOfCurrentPage() override {}
    void GoBack() override {}
    void GoForward() override {}
    void StopBrowsing() override {}
    void RefreshPage() override {}
    void GoUpOneLevel() override {}
    void OpenMyFolder() override {}
    void OpenMail() override {}
    void NavigateAddressText(bool, bool, bool) override {}
    void ReadHandOffFiles() override {}
    void OpenFileDialogCommand() override {}
    void SetStatusMessage(const QString&, int16_t, int16_t) override {}
    void ShowBusyIndicator() override {}
    void SwitchToAdjacentTab(int16_t, bool) override {}
    void SetTabStateRecord(int16_t, const QString&) override {}
    void UnloadBrowser(int16_t) override {}
    void LayoutTabStrip(LayoutRect&) override {}
    void LayoutViewPanes(bool, int16_t, int16_t) override {}
    void EnsureTabsForViewMode(bool) override {}
    void StopEverything() override {}
    platform::browser::IBrowser* Browser(int16_t) const override { return nullptr; }
    void SetTabState(int16_t, int16_t, int16_t) override {}
    void SetTabTitle(int16_t, const QString&) override {}
    void RefreshTabsShown() override {}
    void NewTab(int16_t) override {}
    bool WaitUntilReady(int16_t, int32_t) override { return false; }
    void EnsureUsableTab() override {}
    void SetBusyIndicator(uint8_t) override {}
    bool GroupStopRequested() const override { return false; }
    void ClearGroupStop() override {}
    void SetProgressBrowser(int16_t) override {}
    int16_t LastFittingTab() const override { return -1; }
    QString ClickedElementHtml() const override { return {}; }
    void MailPageLink() override {}
    void EditListFile(int16_t) override {}
    void OpenInOfficeProgram(int16_t) override {}
    void TranslatePage(const QString&) override {}
    void ToggleWorkOffline() override {}
    void ViewPageSource() override {}
    bool IsCurrentTabBlank() override { return true; }
    void SynchronizeOfflinePages() override {}
    void ShowImageViewerTab() override {}
    void OpenNewTab() override {}
    void ReopenClosedTab() override {}
    void QuickListLookup(int16_t, const QString&) override {}
    void NavigateCurrentTab(const QString&) override {}
    void UpdateTabTitle(int) override {}
    void RefreshCurrentTabChrome() override {}
    void ShowMediaStateStatus() override {}
};

class StandInMenus : public IMenusService {
public:
    const char* implementationName() const override { return "null"; }
    void CreatePopupMenu(QWidget*) override {}
    bool SubClassStatus() const override { return false; }
    void cmdMenu_MouseDown(int16_t, int, int) override {}
    void ShowHelpMenu() override {}
    void ShowUserListMenu(int16_t) override {}
    void ShowCloseTabMenu() override {}
    void ShowGoToTabMenu() override {}
    void ShowFavoritesMenu() override {}
    void ShowHistoryMenu() override {}
    void ShowTabListMenu() override {}
    void ShowMediaMenu() override {}
    void ShowPlaylistMenu(int32_t, int32_t, int32_t, int32_t) override {}
    void ShowPlaylistFormatMenu(int32_t, int32_t, int32_t, int32_t) override {}
    void ShowListViewEditMenu(float, float) override {}
    void RollOverMenuBar() override {}
    void EndMenuBarMode() override {}
    void UnloadMenuImageHolder() override {}
    void SetButtonTooltips() override {}
    QString ShowTabMenu(int32_t, int32_t, int32_t, int32_t) override { return {}; }
};

class StandInLists : public IListsService {
public:
    const char* implementationName() const override { return "null"; }
    void HideAddressDropDown() override {}
    void SetAddressDropDownColumnWidth(float) override {}
    void ShowListPane(bool, LayoutRect&) override {}
    void HideListPaneControls() override {}
    void ShowCurrentList() override {}
    void SelectCurrentListItem() override {}
    void SetListButtonPicture(int16_t, int16_t) override {}
    void UpdatePlaylistButtons() override {}
    void NextImageListItem() override {}
    void ShowImageListItem() override {}
    void ShowSnippetListItem() override {}
    void ShowLinkListItem() override {}
    void OpenLinkItem(int32_t) override {}
    void StopAllFetches() override {}
    platform::forms::ListRows* ListItems(int16_t) override { return nullptr; }
    void ShowListCount(bool) override {}
    void AddFilesFromDialog(int16_t) override {}
    void AddAllFilesInFolder(int16_t) override {}
    void AddItemManually(int16_t) override {}
    void AddPageAddress() override {}
    void AddPageLinksToList(int16_t, int16_t, int16_t) override {}
    void AddClipboardLinksToList(int16_t) override {}
    void SelectAllListItems() override {}
    void RemoveSelectedItems() override {}
    void ClearCurrentList(bool) override {}
    void DeleteSelectedToRecycleBin(int16_t) override {}
    void LoadItemsIntoListView_Final(int16_t) override {}
    void OpenPlaylistDialog() override {}
    void LoadPlaylistFile(const QString&) override {}
    int16_t SavePlaylistFile(const QString&, bool, bool) override { return 1; }
    void OpenGroupFolder(int16_t, const QString&) override {}
    void SelectGroupFolder() override {}
    void AddToFavorites(int16_t) override {}
    void AddSelectionLinksToFolder(int16_t) override {}
    void CreateDesktopShortcut() override {}
    void WriteUrlShortcut(const QString&, const QString&, bool) override {}
    void CaptureSelectionAsSnippet() override {}
    void ShowSnippetViewPage(int16_t, const QString&) override {}
    void RewriteSnippetFile(const QString&, QString&, const QString&, const QString&, bool, bool) override {}
    void HandleSnippetPageEvent(int16_t, const QString&) override {}
};

class StandInMedia : public IMediaService {
public:
    const char* implementationName() const override { return "null"; }
    void ApplyMixerVolume(int32_t) override {}
    void StopAllPlayers() override {}
    void StopAudio() override {}
    void StopVideo() override {}
    void CloseAudioPlayer() override {}
    void MediaTimerTick(int16_t) override {}
    bool IsAudioStopped() override { return false; }
    bool IsVideoStopped() override { return false; }
    void OnAudioItemEnded() override {}
    void OnVideoItemEnded() override {}
    void PlayPreviousItem(int16_t) override {}
    void PlayNextItem(int16_t) override {}
    void PlaySelectedItem(int16_t) override {}
    void PauseList(int16_t, int16_t) override {}
    void StopList(int16_t) override {}
    void CloseVideoPlayer() override {}
    void PrepareVideoView() override {}
    void PlaceVideoView() override {}
    void StopImageList() override {}
    void LayoutImageViewer() override {}
    void RelayoutImageViewer() override {}
    void ClearViewerImages() override {}
    void OnViewerImagesLoaded() override {}
    void SetPageScrollOn() override {}
    void HideImageViewer() override {}
    void ShowViewerImage(int16_t, const QString&, int32_t, int32_t) override {}
    void ClearViewerImage(int16_t) override {}
    void ShowMediaToolbarForKind(int16_t) override {}
    void HideMediaToolbar() override {}
    void RefreshMediaButtonPictures() override {}
    void SetMediaButtonPicture(int16_t, int16_t) override {}
    void SetMediaButtonToolTip(int16_t) override {}
    void UpdateTransportButtons() override {}
    void DragVolumeKnob(uint8_t, float) override {}
    void DragPositionKnob(uint8_t, float) override {}
    void SetSliderTrackPictures(bool) override {}
    uint8_t SpecialFolderDisplayName(const QString&) override { return 0; }
};

class StandInDownloads : public IDownloadsService {
public:
    const char* implementationName() const override { return "null"; }
    void HandlePageEvent(const QString&, int16_t, const QString&) override {}
    void StartListDownload(int16_t, bool, int32_t) override {}
    void ShowDownloadSetup(int16_t) override {}
    void ClearDownloadStatusList() override {}
    void PrepareFetchSlots() override {}
    void StartFetchSlot(int16_t, int32_t) override {}
    void ResetFetchProgress() override {}
    void StopAllFetches() override {}
    void TabPageLoaded(int16_t, const QString&) override {}
};

class StandInDialogs : public IDialogsService {
public:
    const char* implementationName() const override { return "null"; }
    void SaveContentList() override {}
    void ShowReferences() override {}
    void ShowInputDialog(int16_t, int16_t) override {}
};
