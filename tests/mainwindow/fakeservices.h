#pragma once

// A recording stand-in for every subsystem the main window calls: each call
// is appended to `calls` as "Name(args)". Installed for the life of the
// object.

#include "mainwindow/services/registry.h"

#include <QStringList>

#include <functional>

class RecordingServices : public ITabsService, public IMenusService, public IListsService, public IMediaService,
                          public IDownloadsService, public IDialogsService {
public:
    RecordingServices()
    {
        services::SetTabs(this);
        services::SetMenus(this);
        services::SetLists(this);
        services::SetMedia(this);
        services::SetDownloads(this);
        services::SetDialogs(this);
    }
    ~RecordingServices() override
    {
        services::SetTabs(nullptr);
        services::SetMenus(nullptr);
        services::SetLists(nullptr);
        services::SetMedia(nullptr);
        services::SetDownloads(nullptr);
        services::SetDialogs(nullptr);
    }

    QStringList calls;
    // Run inside OpenWB_StartPage (a routine that waits, as a prompt does).
    std::function<void()> onOpenStartPage;
    bool audioStopped = false;
    bool videoStopped = false;

    const char* implementationName() const override { return "recording fake"; }

    // Tabs
    void ActivateTab(int16_t t) override { rec("ActivateTab", t); }
    void BindDocumentEvents() override { rec("BindDocumentEvents"); }
    void ReleaseDocumentEvents() override { rec("ReleaseDocumentEvents"); }
    void CloseDuplicatePopupTabs() override { rec("CloseDuplicatePopupTabs"); }
    void FixScrollOfCurrentPage() override { rec("FixScrollOfCurrentPage"); }
    void GoBack() override { rec("GoBack"); }
    void GoForward() override { rec("GoForward"); }
    void StopBrowsing() override { rec("StopBrowsing"); }
    void RefreshPage() override { rec("RefreshPage"); }
    void GoUpOneLevel() override { rec("GoUpOneLevel"); }
    void OpenMyFolder() override { rec("OpenMyFolder"); }
    void OpenMail() override { rec("OpenMail"); }
    void OpenSearchPage() override { rec("OpenSearchPage"); }
    void NavigateAddressText(bool, bool, bool) override { rec("NavigateAddressText"); }
    void OpenWB_StartPage(int16_t mode) override
    {
        rec("OpenWB_StartPage", mode);
        if (onOpenStartPage)
            onOpenStartPage();
    }
    void ReadHandOffFiles() override { rec("ReadHandOffFiles"); }
    void SetStatusMessage(const QString& text, int16_t b, int16_t t) override
    {
        calls << QStringLiteral("SetStatusMessage(%1,%2,%3)").arg(text).arg(b).arg(t);
    }
    void ShowBusyIndicator() override { rec("ShowBusyIndicator"); }
    void SwitchToAdjacentTab(int16_t d, bool once) override
    {
        calls << QStringLiteral("SwitchToAdjacentTab(%1, %2)").arg(d).arg(once ? "once" : "held");
    }
    void SetTabStateRecord(int16_t b, const QString& r) override
    {
        calls << QStringLiteral("SetTabStateRecord(%1,%2)").arg(b).arg(r);
    }
    void UnloadBrowser(int16_t b) override { rec("UnloadBrowser", b); }
    void LayoutTabStrip(LayoutRect&) override { rec("LayoutTabStrip"); }
    void LayoutViewPanes(bool, int16_t, int16_t) override { rec("LayoutViewPanes"); }
    void EnsureTabsForViewMode(bool) override { rec("EnsureTabsForViewMode"); }
    void StopEverything() override { rec("StopEverything"); }
    void MailPageLink() override { rec("MailPageLink"); }
    void EditListFile(int16_t i) override { rec("EditListFile", i); }
    void OpenInOfficeProgram(int16_t n) override { rec("OpenInOfficeProgram", n); }
    void TranslatePage(const QString& name) override { calls << QStringLiteral("TranslatePage(%1)").arg(name); }
    void ToggleWorkOffline() override { rec("ToggleWorkOffline"); }
    void ViewPageSource() override { rec("ViewPageSource"); }
    void SynchronizeOfflinePages() override { rec("SynchronizeOfflinePages"); }
    void ShowImageViewerTab() override { rec("ShowImageViewerTab"); }
    bool IsCurrentTabBlank() override
    {
        rec("IsCurrentTabBlank");
        return true;
    }
    void OpenNewTab() override { rec("OpenNewTab"); }
    void GoToTab(int16_t t) override { rec("GoToTab", t); }
    void CloseTab(int16_t t) override { rec("CloseTab", t); }
    void CloseTabs(int16_t m) override { rec("CloseTabs", m); }
    void ReopenClosedTab() override { rec("ReopenClosedTab"); }
    void QuickListLookup(int16_t l, const QString& name) override
    {
        calls << QStringLiteral("QuickListLookup(%1,%2)").arg(l).arg(name);
    }
    void RunPageKey(int16_t k) override { rec("RunPageKey", k); }
    void NavigateCurrentTab(const QString& url) override { calls << QStringLiteral("NavigateCurrentTab(%1)").arg(url); }

    // Menus
    void CreatePopupMenu(void*) override { rec("CreatePopupMenu"); }
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

    // Lists
    void HideAddressDropDown() override { rec("HideAddressDropDown"); }
    void OpenGroupFolder(int16_t m, const QString& f) override
    {
        calls << QStringLiteral("OpenGroupFolder(%1,%2)").arg(m).arg(f);
    }
    void SelectCurrentListItem() override { rec("SelectCurrentListItem"); }
    void SetListButtonPicture(int16_t b, int16_t s) override
    {
        calls << QStringLiteral("SetListButtonPicture(%1,%2)").arg(b).arg(s);
    }
    void ShowCurrentList() override { rec("ShowCurrentList"); }
    void ShowListPane(bool, LayoutRect&) override { rec("ShowListPane"); }
    void ShowSnippetListItem() override { rec("ShowSnippetListItem"); }
    void ShowLinkListItem() override { rec("ShowLinkListItem"); }
    void StopAllFetches() override { rec("StopAllFetches"); }
    void SetAddressDropDownColumnWidth(float) override {}

    // Media
    void ApplyMixerVolume(int32_t v) override { rec("ApplyMixerVolume", v); }
    void MediaTimerTick(int16_t k) override { rec("MediaTimerTick", k); }
    bool IsAudioStopped() override { return audioStopped; }
    bool IsVideoStopped() override { return videoStopped; }
    void OnAudioItemEnded() override { rec("OnAudioItemEnded"); }
    void OnVideoItemEnded() override { rec("OnVideoItemEnded"); }
    void NextImageListItem() override { rec("NextImageListItem"); }
    void ShowImageListItem() override { rec("ShowImageListItem"); }
    void ShowMediaToolbarForKind(int16_t k) override { rec("ShowMediaToolbarForKind", k); }
    void HideMediaToolbar() override { rec("HideMediaToolbar"); }
    void RefreshMediaButtonPictures() override { rec("RefreshMediaButtonPictures"); }
    void SetMediaButtonPicture(int16_t i, int16_t s) override
    {
        calls << QStringLiteral("SetMediaButtonPicture(%1,%2)").arg(i).arg(s);
    }
    void StopAllPlayers() override { rec("StopAllPlayers"); }

    // Downloads, dialogs
    void RefreshDownloadStatusFrames() override { rec("RefreshDownloadStatusFrames"); }
    void SaveContentList() override { rec("SaveContentList"); }

private:
    void rec(const char* name) { calls << QString::fromLatin1(name); }
    void rec(const char* name, int arg) { calls << QString::fromLatin1(name) + QLatin1Char('(') + QString::number(arg) + QLatin1Char(')'); }
};
