#pragma once

// The do-nothing stand-ins of the subsystems not built yet: every call does
// nothing and every question answers "no" (false, not stopped).

#include "mainwindow/services/registry.h"

namespace services {

class NullTabs : public ITabsService {
public:
    const char* implementationName() const override { return "null"; }
    void ActivateTab(int16_t) override {}
    void BindDocumentEvents() override {}
    void ReleaseDocumentEvents() override {}
    void CloseDuplicatePopupTabs() override {}
    void FixScrollOfCurrentPage() override {}
    void GoBack() override {}
    void GoForward() override {}
    void StopBrowsing() override {}
    void RefreshPage() override {}
    void GoUpOneLevel() override {}
    void OpenMyFolder() override {}
    void OpenMail() override {}
    void OpenSearchPage() override {}
    void NavigateAddressText(bool, bool, bool) override {}
    void OpenWB_StartPage(int16_t) override {}
    void ReadHandOffFiles() override {}
    void SetStatusMessage(const QString&, int16_t, int16_t) override {}
    void ShowBusyIndicator() override {}
    void SwitchToAdjacentTab(int16_t, bool) override {}
    void SetTabStateRecord(int16_t, const QString&) override {}
    void UnloadBrowser(int16_t) override {}
    void LayoutTabStrip(LayoutRect&) override {}
    void LayoutViewPanes(bool, int16_t, int16_t) override {}
    void EnsureTabsForViewMode(bool) override {}
    void StopEverything() override {}
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
    void GoToTab(int16_t) override {}
    void CloseTab(int16_t) override {}
    void CloseTabs(int16_t) override {}
    void ReopenClosedTab() override {}
    void QuickListLookup(int16_t, const QString&) override {}
    void RunPageKey(int16_t) override {}
    void NavigateCurrentTab(const QString&) override {}
};

class NullMenus : public IMenusService {
public:
    const char* implementationName() const override { return "null"; }
    void CreatePopupMenu(void*) override {}
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
};

class NullLists : public IListsService {
public:
    const char* implementationName() const override { return "null"; }
    void HideAddressDropDown() override {}
    void OpenGroupFolder(int16_t, const QString&) override {}
    void SelectCurrentListItem() override {}
    void SetListButtonPicture(int16_t, int16_t) override {}
    void ShowCurrentList() override {}
    void ShowListPane(bool, LayoutRect&) override {}
    void ShowSnippetListItem() override {}
    void ShowLinkListItem() override {}
    void StopAllFetches() override {}
    void SetAddressDropDownColumnWidth(float) override {}
};

class NullMedia : public IMediaService {
public:
    const char* implementationName() const override { return "null"; }
    void ApplyMixerVolume(int32_t) override {}
    void MediaTimerTick(int16_t) override {}
    bool IsAudioStopped() override { return false; }
    bool IsVideoStopped() override { return false; }
    void OnAudioItemEnded() override {}
    void OnVideoItemEnded() override {}
    void NextImageListItem() override {}
    void ShowImageListItem() override {}
    void ShowMediaToolbarForKind(int16_t) override {}
    void HideMediaToolbar() override {}
    void RefreshMediaButtonPictures() override {}
    void SetMediaButtonPicture(int16_t, int16_t) override {}
    void StopAllPlayers() override {}
};

class NullDownloads : public IDownloadsService {
public:
    const char* implementationName() const override { return "null"; }
    void RefreshDownloadStatusFrames() override {}
};

class NullDialogs : public IDialogsService {
public:
    const char* implementationName() const override { return "null"; }
    void SaveContentList() override {}
};

} // namespace services
