#pragma once

// What the other subsystems ask of the lists pane, playlists and
// collections. List kinds: 1 audio, 2 video, 3 image, 4 web snippet, 5 link,
// 6 download file.

#include "contracts/layoutrect.h"

#include <QString>

namespace platform::forms {
class ListRows;
}

#include <cstdint>

class IListsService {
public:
    virtual ~IListsService() = default;
    virtual const char* implementationName() const = 0;

    // ---- The address drop-down (ListView(0)) ----
    virtual void HideAddressDropDown() = 0;
    // Width of column 1 of the drop-down list.
    virtual void SetAddressDropDownColumnWidth(float twips) = 0;

    // ---- The pane ----
    // With keepRect false the rectangle is first reset to the frame's inner
    // area; a shown pane takes its width off the rectangle's left side.
    virtual void ShowListPane(bool keepRect, LayoutRect& rect) = 0;
    // Unloads the lists and their buttons when all six lists are empty.
    virtual void HideListPaneControls() = 0;
    // Brings the list of CurrentListKind forward.
    virtual void ShowCurrentList() = 0;
    virtual void SelectCurrentListItem() = 0;
    // cmdPLControl(button), 0 to 14; state 0 normal.
    virtual void SetListButtonPicture(int16_t button, int16_t state) = 0;
    virtual void UpdatePlaylistButtons() = 0;

    // ---- Play steps of the image, web-snippet and link lists ----
    // The single image at the image list's current index.
    virtual void NextImageListItem() = 0;
    // The viewer page that starts at the image list's current index.
    virtual void ShowImageListItem() = 0;
    virtual void ShowSnippetListItem() = 0;
    virtual void ShowLinkListItem() = 0;
    // A row of the link list shown in the current tab.
    virtual void OpenLinkItem(int32_t index) = 0;
    // Every background fetch of the image viewer stops.
    virtual void StopAllFetches() = 0;

    // ---- Rows ----
    // The rows of list kind 1-6 (they live as long as the lists service);
    // nullptr for any other kind.
    virtual platform::forms::ListRows* ListItems(int16_t kind) = 0;
    // The current list's count and selected row in the pane's two labels;
    // showSelectedPath: the selected row's path or address in the status line.
    virtual void ShowListCount(bool showSelectedPath) = 0;
    virtual void AddFilesFromDialog(int16_t kind) = 0;
    virtual void AddAllFilesInFolder(int16_t kind) = 0;
    virtual void AddItemManually(int16_t kind) = 0;
    // The current page (title and address) to the link list.
    virtual void AddPageAddress() = 0;
    // Links of the current page into the list; a and b go to the collector.
    virtual void AddPageLinksToList(int16_t kind, int16_t a, int16_t b) = 0;
    virtual void AddClipboardLinksToList(int16_t kind) = 0;
    virtual void SelectAllListItems() = 0;
    virtual void RemoveSelectedItems() = 0;
    // ask: MESSAGE 9013 first, stopping on No.
    virtual void ClearCurrentList(bool ask) = 0;
    virtual void DeleteSelectedToRecycleBin(int16_t kind) = 0;
    // Counts, column widths and buttons after rows were added.
    virtual void LoadItemsIntoListView_Final(int16_t kind) = 0;

    // ---- Playlist files ----
    virtual void OpenPlaylistDialog() = 0;
    // A playlist or download list into the list of its kind, made current.
    virtual void LoadPlaylistFile(const QString& path) = 0;
    // The current list as a playlist file, asking for a name when none is
    // given or saveAs is set; 1 when it could not be written.
    virtual int16_t SavePlaylistFile(const QString& fileName, bool flag, bool saveAs) = 0;

    // ---- Groups, favorites and shortcuts ----
    // Every Internet shortcut of the folder in a tab of its own; mode 1 with
    // "" the remembered group folder.
    virtual void OpenGroupFolder(int16_t mode, const QString& folder) = 0;
    virtual void SelectGroupFolder() = 0;
    // mode 1 the page, 2 a group.
    virtual void AddToFavorites(int16_t mode) = 0;
    // mode 1 the Favorites folder, 2 any folder.
    virtual void AddSelectionLinksToFolder(int16_t mode) = 0;
    virtual void CreateDesktopShortcut() = 0;
    virtual void WriteUrlShortcut(const QString& url, const QString& path, bool withIcon) = 0;

    // ---- Web snippets ----
    virtual void CaptureSelectionAsSnippet() = 0;
    // mode 0 the one file given in the current tab; 1 all, 2 the selected
    // files, 3 the selected files merged.
    virtual void ShowSnippetViewPage(int16_t mode, const QString& path) = 0;
    virtual void RewriteSnippetFile(const QString& source, QString& target, const QString& name,
                                    const QString& comment, bool replaceComment, bool move) = 0;
};
