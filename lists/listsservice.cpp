#include "lists/listsservice.h"

#include "lists/favorites.h"
#include "lists/listfiledeletion.h"
#include "lists/listoperations.h"
#include "lists/listpanebuttons.h"
#include "lists/listpanedisplay.h"
#include "lists/listpanelayout.h"
#include "lists/listplaysteps.h"
#include "lists/liststores.h"
#include "lists/listviewevents.h"
#include "lists/pagelinks.h"
#include "lists/playlistfiles.h"
#include "lists/snippetview.h"
#include "lists/websnippets.h"
#include "mainwindow/frmexplorer.h"
#include "platform/win/listview.h"

ListsService::ListsService(frmExplorer& window, ServiceSet& services)
    : window_(window), stores_(std::make_unique<ListStores>(window.ListItemCount)),
      display_(std::make_unique<ListPaneDisplay>(window, services, *stores_)),
      layout_(std::make_unique<ListPaneLayout>(window, *display_)),
      ops_(std::make_unique<ListOperations>(window, services, *stores_, *display_)),
      playlists_(std::make_unique<PlaylistFiles>(window, services, *stores_, *ops_, *display_)),
      buttons_(std::make_unique<ListPaneButtons>(window, services, *display_, *ops_)),
      links_(std::make_unique<PageLinks>(window, services, *stores_, *ops_)),
      snippets_(std::make_unique<WebSnippets>(window, services, *stores_, *ops_, *links_)),
      snippetView_(std::make_unique<SnippetView>(window, services, *stores_, *snippets_)),
      favorites_(std::make_unique<Favorites>(window, services, *links_)),
      playSteps_(std::make_unique<ListPlaySteps>(window, services, *stores_, *display_)),
      events_(std::make_unique<ListViewEvents>(window, services, *stores_, *ops_, *display_)),
      deletion_(std::make_unique<ListFileDeletion>(window, *stores_, *ops_))
{
    snippets_->showSnippet = [this](const QString& path) { snippetView_->ShowSnippetViewPage(0, path); };
}

ListsService::~ListsService()
{
    events_.reset();
    // The pane's lists show rows that go with this object.
    for (int k = 1; k <= 6; ++k)
        if (platform::forms::ListView* list = window_.ListView.at(k))
            list->setRows(nullptr);
}

QStringList ListsService::MethodsNotBuiltYet() const
{
    return {};
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
void ListsService::DeleteSelectedToRecycleBin(int16_t kind) { deletion_->DeleteSelectedToRecycleBin(kind); }
void ListsService::LoadItemsIntoListView_Final(int16_t kind) { ops_->LoadItemsIntoListView_Final(kind); }
void ListsService::OpenPlaylistDialog() { playlists_->OpenPlaylistDialog(); }
void ListsService::LoadPlaylistFile(const QString& path) { playlists_->LoadPlaylistFile(path); }

int16_t ListsService::SavePlaylistFile(const QString& fileName, bool quiet, bool saveAs)
{
    return playlists_->SavePlaylistFile(fileName, quiet, saveAs);
}

void ListsService::AddPageLinksToList(int16_t kind, int16_t mode, int16_t filter)
{
    links_->AddPageLinksToList(kind, mode, filter);
}

void ListsService::AddClipboardLinksToList(int16_t kind) { links_->AddClipboardLinksToList(kind); }
void ListsService::OpenGroupFolder(int16_t mode, const QString& folder) { favorites_->OpenGroupFolder(mode, folder); }
void ListsService::SelectGroupFolder() { favorites_->SelectGroupFolder(); }
void ListsService::AddToFavorites(int16_t mode) { favorites_->AddToFavorites(mode); }
void ListsService::AddSelectionLinksToFolder(int16_t mode) { favorites_->AddSelectionLinksToFolder(mode); }
void ListsService::CreateDesktopShortcut() { favorites_->CreateDesktopShortcut(); }

void ListsService::WriteUrlShortcut(const QString& url, const QString& path, bool withIcon)
{
    favorites_->WriteUrlShortcut(url, path, withIcon);
}

void ListsService::CaptureSelectionAsSnippet() { snippets_->CaptureSelectionAsSnippet(); }
void ListsService::ShowSnippetViewPage(int16_t mode, const QString& path) { snippetView_->ShowSnippetViewPage(mode, path); }

void ListsService::RewriteSnippetFile(const QString& source, QString& target, const QString& name,
                                      const QString& comment, bool replaceComment, bool move)
{
    snippets_->RewriteSnippetFile(source, target, name, comment, replaceComment, move);
}

void ListsService::HandleSnippetPageEvent(int16_t browserIndex, const QString& url)
{
    snippetView_->HandleSnippetPageEvent(browserIndex, url);
}

void ListsService::StopAllFetches()
{
    window_.services().Downloads().StopAllFetches();
}

void ListsService::NextImageListItem()
{
    playSteps_->NextImageListItem();
}

void ListsService::ShowImageListItem()
{
    playSteps_->ShowImageListItem();
}

void ListsService::ShowSnippetListItem()
{
    playSteps_->ShowSnippetListItem();
}

void ListsService::ShowLinkListItem()
{
    playSteps_->ShowLinkListItem();
}

void ListsService::OpenLinkItem(int32_t index)
{
    playSteps_->OpenLinkItem(index);
}
