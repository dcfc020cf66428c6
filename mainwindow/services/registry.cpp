#include "mainwindow/services/registry.h"

#include "mainwindow/services/nullservices.h"

namespace services {

namespace {

template <typename I, typename Null>
struct Slot {
    I* current = nullptr;
    I& get()
    {
        static Null stand_in;
        return current ? *current : stand_in;
    }
};

Slot<ITabsService, NullTabs> tabs;
Slot<IMenusService, NullMenus> menus;
Slot<IListsService, NullLists> lists;
Slot<IMediaService, NullMedia> media;
Slot<IDownloadsService, NullDownloads> downloads;
Slot<IDialogsService, NullDialogs> dialogs;

QStringList split(const char* names)
{
    return QString::fromLatin1(names).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

} // namespace

ITabsService& Tabs() { return tabs.get(); }
IMenusService& Menus() { return menus.get(); }
IListsService& Lists() { return lists.get(); }
IMediaService& Media() { return media.get(); }
IDownloadsService& Downloads() { return downloads.get(); }
IDialogsService& Dialogs() { return dialogs.get(); }

void SetTabs(ITabsService* impl) { tabs.current = impl; }
void SetMenus(IMenusService* impl) { menus.current = impl; }
void SetLists(IListsService* impl) { lists.current = impl; }
void SetMedia(IMediaService* impl) { media.current = impl; }
void SetDownloads(IDownloadsService* impl) { downloads.current = impl; }
void SetDialogs(IDialogsService* impl) { dialogs.current = impl; }

std::vector<InterfaceListing> CurrentImplementations()
{
    const auto name = [](const auto& impl) { return QString::fromLatin1(impl.implementationName()); };
    return {
        {QStringLiteral("ITabsService"), name(Tabs()),
         split("ActivateTab BindDocumentEvents ReleaseDocumentEvents CloseDuplicatePopupTabs FixScrollOfCurrentPage "
               "GoBack GoForward StopBrowsing RefreshPage GoUpOneLevel OpenMyFolder OpenMail OpenSearchPage "
               "NavigateAddressText OpenWB_StartPage ReadHandOffFiles SetStatusMessage ShowBusyIndicator "
               "SwitchToAdjacentTab SetTabStateRecord UnloadBrowser LayoutTabStrip LayoutViewPanes "
               "EnsureTabsForViewMode StopEverything MailPageLink EditListFile OpenInOfficeProgram TranslatePage "
               "ToggleWorkOffline ViewPageSource IsCurrentTabBlank SynchronizeOfflinePages ShowImageViewerTab "
               "OpenNewTab GoToTab CloseTab CloseTabs ReopenClosedTab QuickListLookup RunPageKey NavigateCurrentTab")},
        {QStringLiteral("IMenusService"), name(Menus()),
         split("CreatePopupMenu SubClassStatus cmdMenu_MouseDown ShowHelpMenu ShowUserListMenu ShowCloseTabMenu "
               "ShowGoToTabMenu ShowFavoritesMenu ShowHistoryMenu ShowTabListMenu ShowMediaMenu ShowPlaylistMenu ShowPlaylistFormatMenu ShowListViewEditMenu RollOverMenuBar EndMenuBarMode "
               "UnloadMenuImageHolder SetButtonTooltips")},
        {QStringLiteral("IListsService"), name(Lists()),
         split("HideAddressDropDown OpenGroupFolder SelectCurrentListItem SetListButtonPicture ShowCurrentList "
               "ShowListPane ShowSnippetListItem ShowLinkListItem StopAllFetches SetAddressDropDownColumnWidth")},
        {QStringLiteral("IMediaService"), name(Media()),
         split("ApplyMixerVolume MediaTimerTick IsAudioStopped IsVideoStopped OnAudioItemEnded OnVideoItemEnded "
               "NextImageListItem ShowImageListItem ShowMediaToolbarForKind HideMediaToolbar "
               "RefreshMediaButtonPictures SetMediaButtonPicture StopAllPlayers")},
        {QStringLiteral("IDownloadsService"), name(Downloads()), split("RefreshDownloadStatusFrames")},
        {QStringLiteral("IDialogsService"), name(Dialogs()), split("SaveContentList")},
    };
}

} // namespace services
