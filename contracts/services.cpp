#include "contracts/services.h"

#include "contracts/partlybuilt.h"
#include "contracts/standins.h"

namespace {

template <typename I, typename StandIn>
I& orStandIn(I* impl)
{
    static StandIn standIn;
    return impl ? *impl : standIn;
}

QStringList split(const char* names)
{
    return QString::fromLatin1(names).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

} // namespace

ITabsService& ServiceSet::Tabs() const { return orStandIn<ITabsService, StandInTabs>(tabs_); }
IMenusService& ServiceSet::Menus() const { return orStandIn<IMenusService, StandInMenus>(menus_); }
IListsService& ServiceSet::Lists() const { return orStandIn<IListsService, StandInLists>(lists_); }
IMediaService& ServiceSet::Media() const { return orStandIn<IMediaService, StandInMedia>(media_); }
IDownloadsService& ServiceSet::Downloads() const { return orStandIn<IDownloadsService, StandInDownloads>(downloads_); }
IDialogsService& ServiceSet::Dialogs() const { return orStandIn<IDialogsService, StandInDialogs>(dialogs_); }

std::vector<ServiceSet::Listing> ServiceSet::Implementations() const
{
    const auto name = [](const auto& impl) { return QString::fromLatin1(impl.implementationName()); };
    std::vector<Listing> out = {
        {QStringLiteral("ITabsService"), name(Tabs()),
         split("TabCount CurrentTab TabBrowserMap TabTitle TabLocation TabOfBrowser CurrentBrowser GetTabState NavigateInNewTab CloseTab CloseTabs GoToTab SelectTabFromMenu ClearTabs "
               "OpenWB_StartPage OpenSearchPage RunPageKey MailPageLink EditListFile OpenInOfficeProgram TranslatePage "
               "ToggleWorkOffline ViewPageSource SynchronizeOfflinePages ShowImageViewerTab QuickListLookup ActivateTab SelectTab SetUserClickState BeginUnload BindDocumentEvents ReleaseDocumentEvents "
               "CloseDuplicatePopupTabs RefreshDownloadStatusFrames FixScrollOfCurrentPage GoBack GoForward "
               "StopBrowsing RefreshPage GoUpOneLevel OpenMyFolder OpenMail NavigateAddressText ReadHandOffFiles OpenFileDialogCommand "
               "SetStatusMessage ShowBusyIndicator SwitchToAdjacentTab SetTabStateRecord UnloadBrowser LayoutTabStrip "
               "LayoutViewPanes EnsureTabsForViewMode StopEverything IsCurrentTabBlank OpenNewTab ReopenClosedTab "
               "NavigateCurrentTab Browser SetTabState SetTabTitle RefreshTabsShown NewTab WaitUntilReady "
               "EnsureUsableTab SetBusyIndicator GroupStopRequested ClearGroupStop SetProgressBrowser LastFittingTab "
               "ClickedElementHtml UpdateTabTitle RefreshCurrentTabChrome ShowMediaStateStatus")},
        {QStringLiteral("IMenusService"), name(Menus()),
         split("CreatePopupMenu SubClassStatus cmdMenu_MouseDown ShowHelpMenu ShowUserListMenu ShowCloseTabMenu "
               "ShowGoToTabMenu ShowFavoritesMenu ShowHistoryMenu ShowTabListMenu ShowMediaMenu ShowPlaylistMenu "
               "ShowPlaylistFormatMenu ShowListViewEditMenu RollOverMenuBar EndMenuBarMode UnloadMenuImageHolder "
               "SetButtonTooltips ShowTabMenu")},
        {QStringLiteral("IListsService"), name(Lists()),
         split("HideAddressDropDown SetAddressDropDownColumnWidth ShowListPane HideListPaneControls ShowCurrentList "
               "SelectCurrentListItem SetListButtonPicture UpdatePlaylistButtons NextImageListItem ShowImageListItem "
               "ShowSnippetListItem ShowLinkListItem OpenLinkItem StopAllFetches ListItems ShowListCount AddFilesFromDialog "
               "AddAllFilesInFolder AddItemManually AddPageAddress AddPageLinksToList AddClipboardLinksToList "
               "SelectAllListItems RemoveSelectedItems ClearCurrentList DeleteSelectedToRecycleBin "
               "LoadItemsIntoListView_Final OpenPlaylistDialog LoadPlaylistFile SavePlaylistFile OpenGroupFolder "
               "SelectGroupFolder AddToFavorites AddSelectionLinksToFolder CreateDesktopShortcut WriteUrlShortcut "
               "CaptureSelectionAsSnippet ShowSnippetViewPage RewriteSnippetFile HandleSnippetPageEvent")},
        {QStringLiteral("IMediaService"), name(Media()),
         split("ApplyMixerVolume StopAllPlayers StopAudio StopVideo CloseAudioPlayer MediaTimerTick IsAudioStopped IsVideoStopped "
               "OnAudioItemEnded OnVideoItemEnded PlayPreviousItem PlayNextItem PlaySelectedItem PauseList StopList "
               "CloseVideoPlayer PrepareVideoView PlaceVideoView StopImageList LayoutImageViewer RelayoutImageViewer "
               "ClearViewerImages OnViewerImagesLoaded SetPageScrollOn HideImageViewer ShowViewerImage ClearViewerImage "
               "ShowMediaToolbarForKind HideMediaToolbar "
               "RefreshMediaButtonPictures SetMediaButtonPicture SetMediaButtonToolTip UpdateTransportButtons "
               "DragVolumeKnob DragPositionKnob SetSliderTrackPictures SpecialFolderDisplayName")},
        {QStringLiteral("IDownloadsService"), name(Downloads()),
         split("HandlePageEvent StartListDownload ShowDownloadSetup ClearDownloadStatusList PrepareFetchSlots "
               "StartFetchSlot ResetFetchProgress StopAllFetches TabPageLoaded")},
        {QStringLiteral("IDialogsService"), name(Dialogs()), split("SaveContentList ShowReferences ShowInputDialog")},
    };
    // What each one still serves as a stand-in: all of it for the stand-in
    // itself, the methods a subsystem built in steps names.
    const auto notBuilt = [](const auto& impl) {
        const auto* partly = dynamic_cast<const PartlyBuilt*>(&impl);
        return partly ? partly->MethodsNotBuiltYet() : QStringList();
    };
    const QStringList notBuiltLists[] = {notBuilt(Tabs()),     notBuilt(Menus()),     notBuilt(Lists()),
                                         notBuilt(Media()),    notBuilt(Downloads()), notBuilt(Dialogs())};
    for (size_t i = 0; i < out.size(); ++i)
        out[i].standIns = out[i].implementation == QLatin1String("null") ? out[i].methods : notBuiltLists[i];
    return out;
}

QStringList ServiceSet::StandInMethods() const
{
    QStringList out;
    for (const Listing& l : Implementations())
        for (const QString& m : l.standIns)
            out << l.interfaceName + QStringLiteral("::") + m;
    return out;
}
