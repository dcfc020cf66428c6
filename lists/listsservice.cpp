#include "lists/listsservice.h"

#include "lists/favorites.h"
#include "lists/listoperations.h"
#include "lists/listpanebuttons.h"
#include "lists/listpanedisplay.h"
#include "lists/listpanelayout.h"
#include "lists/liststores.h"
#include "lists/playlistfiles.h"
#include "mainwindow/frmexplorer.h"
#include "platform/win/listview.h"

ListsService::ListsService(frmExplorer& window, ServiceSet& services)
    : window_(window), stores_(std::make_unique<ListStores>(window.ListItemCount)),
      display_(std::make_unique<ListPaneDisplay>(window, services, *stores_)),
      layout_(std::make_unique<ListPaneLayout>(window, *display_)),
      ops_(std::make_unique<ListOperations>(window, services, *stores_, *display_)),
      playlists_(std::make_unique<PlaylistFiles>(window, services, *stores_, *ops_, *display_)),
      buttons_(std::make_unique<ListPaneButtons>(window, services, *display_, *ops_)),
      favorites_(std::make_unique<Favorites>(services))
{
}

ListsService::~ListsService()
{
    // The pane's lists show rows that go with this object.
    for (int k = 1; k <= 6; ++k)
        if (platform::forms::ListView* list = window_.ListView.at(k))
            list->setRows(nullptr);
}

QStringList ListsService::MethodsNotBuiltYet() const
{
    return QStringLiteral("NextImageListItem ShowImageListItem ShowSnippetListItem ShowLinkListItem OpenLinkItem "
                          "StopAllFetches AddPageLinksToList AddClipboardLinksToList DeleteSelectedToRecycleBin "
                          "OpenGroupFolder SelectGroupFolder AddSelectionLinksToFolder CreateDesktopShortcut "
                          "WriteUrlShortcut CaptureSelectionAsSnippet ShowSnippetViewPage RewriteSnippetFile")
        .split(QLatin1Char(' '));
}

void ListsService::HideAddressDropDown() { display_->HideAddressDropDown(); }

void ListsService::SetAddressDropDownColumnWidth(float twips)
{
    if (platform::forms::ListView* dropDown = window_.ListView.at(0))
        dropDown->setColumnWidth(0, twips);
}

void ListsService::ShowListPane(bool keepRect, LayoutRect& rect) { layout_->ShowListPane(keepRect, rect); }
void ListsService::HideListPaneControls() { display_->HideListPaneControls(); }
void ListsService::ShowCurrentList() { display_->ShowCurrentList(); }
void ListsService::SelectCurrentListItem() { display_->SelectCurrentListItem(); }
void ListsService::SetListButtonPicture(int16_t button, int16_t state) { display_->SetListButtonPicture(button, state); }
void ListsService::UpdatePlaylistButtons() { display_->UpdatePlaylistButtons(); }
platform::forms::ListRows* ListsService::ListItems(int16_t kind) { return stores_->at(kind); }
void ListsService::ShowListCount(bool showSelectedPath) { display_->ShowListCount(showSelectedPath); }
void ListsService::AddFilesFromDialog(int16_t kind) { playlists_->AddFilesFromDialog(kind); }
void ListsService::AddAllFilesInFolder(int16_t kind) { playlists_->AddAllFilesInFolder(kind); }
void ListsService::AddItemManually(int16_t kind) { ops_->AddItemManually(kind); }
void ListsService::AddPageAddress() { ops_->AddPageAddress(); }
void ListsService::SelectAllListItems() { ops_->SelectAllListItems(); }
void ListsService::RemoveSelectedItems() { ops_->RemoveSelectedItems(); }
void ListsService::ClearCurrentList(bool ask) { ops_->ClearCurrentList(ask); }
void ListsService::LoadItemsIntoListView_Final(int16_t kind) { ops_->LoadItemsIntoListView_Final(kind); }
void ListsService::OpenPlaylistDialog() { playlists_->OpenPlaylistDialog(); }
void ListsService::LoadPlaylistFile(const QString& path) { playlists_->LoadPlaylistFile(path); }

int16_t ListsService::SavePlaylistFile(const QString& fileName, bool quiet, bool saveAs)
{
    return playlists_->SavePlaylistFile(fileName, quiet, saveAs);
}

void ListsService::AddToFavorites(int16_t mode) { favorites_->AddToFavorites(mode); }
