#pragma once

// The lists pane, playlists and collections of one window, served to the
// other subsystems as the lists service. The rows of the six lists live
// here for the window's life; the pane's controls come and go. What is
// not built yet answers as the stand-in does.

#include "contracts/partlybuilt.h"
#include "contracts/standins.h"

#include <memory>

class Favorites;
class frmExplorer;
class ListFileDeletion;
class ListOperations;
class ListPaneButtons;
class ListPaneDisplay;
class ListPaneLayout;
class ListPlaySteps;
class ListStores;
class ListViewEvents;
class PageLinks;
class PlaylistFiles;
class SnippetView;
class WebSnippets;
class ServiceSet;

class ListsService : public StandInLists, public PartlyBuilt {
public:
    // Built after the window's controls and before the window loads.
    ListsService(frmExplorer& window, ServiceSet& services);
    ~ListsService() override;
    ListsService(const ListsService&) = delete;
    ListsService& operator=(const ListsService&) = delete;

    const char* implementationName() const override { return "lists"; }
    QStringList MethodsNotBuiltYet() const override;

    ListStores& stores() { return *stores_; }
    ListPaneDisplay& display() { return *display_; }
    ListPaneLayout& layout() { return *layout_; }
    ListOperations& operations() { return *ops_; }
    PlaylistFiles& playlists() { return *playlists_; }
    ListPaneButtons& buttons() { return *buttons_; }
    PageLinks& pageLinks() { return *links_; }
    WebSnippets& snippets() { return *snippets_; }
    SnippetView& snippetView() { return *snippetView_; }
    Favorites& favorites() { return *favorites_; }
    ListPlaySteps& playSteps() { return *playSteps_; }
    ListViewEvents& listEvents() { return *events_; }
    ListFileDeletion& deletion() { return *deletion_; }

    void HideAddressDropDown() override;
    void SetAddressDropDownColumnWidth(float twips) override;
    void ShowListPane(bool keepRect, LayoutRect& rect) override;
    void HideListPaneControls() override;
    void ShowCurrentList() override;
    void SelectCurrentListItem() override;
    void SetListButtonPicture(int16_t button, int16_t state) override;
    void UpdatePlaylistButtons() override;
    platform::forms::ListRows* ListItems(int16_t kind) override;
    void ShowListCount(bool showSelectedPath) override;
    void AddFilesFromDialog(int16_t kind) override;
    void AddAllFilesInFolder(int16_t kind) override;
    void AddItemManually(int16_t kind) override;
    void AddPageAddress() override;
    void SelectAllListItems() override;
    void RemoveSelectedItems() override;
    void ClearCurrentList(bool ask) override;
    void DeleteSelectedToRecycleBin(int16_t kind) override;
    void LoadItemsIntoListView_Final(int16_t kind) override;
    void OpenPlaylistDialog() override;
    void LoadPlaylistFile(const QString& path) override;
    int16_t SavePlaylistFile(const QString& fileName, bool quiet, bool saveAs) override;
    void AddPageLinksToList(int16_t kind, int16_t mode, int16_t filter) override;
    void AddClipboardLinksToList(int16_t kind) override;
    void OpenGroupFolder(int16_t mode, const QString& folder) override;
    void SelectGroupFolder() override;
    void AddToFavorites(int16_t mode) override;
    void AddSelectionLinksToFolder(int16_t mode) override;
    void CreateDesktopShortcut() override;
    void WriteUrlShortcut(const QString& url, const QString& path, bool withIcon) override;
    void CaptureSelectionAsSnippet() override;
    void ShowSnippetViewPage(int16_t mode, const QString& path) override;
    void RewriteSnippetFile(const QString& source, QString& target, const QString& name, const QString& comment,
                            bool replaceComment, bool move) override;
    void HandleSnippetPageEvent(int16_t browserIndex, const QString& url) override;
    void StopAllFetches() override;
    void NextImageListItem() override;
    void ShowImageListItem() override;
    void ShowSnippetListItem() override;
    void ShowLinkListItem() override;
    void OpenLinkItem(int32_t index) override;

private:
    frmExplorer& window_;
    std::unique_ptr<ListStores> stores_;
    std::unique_ptr<ListPaneDisplay> display_;
    std::unique_ptr<ListPaneLayout> layout_;
    std::unique_ptr<ListOperations> ops_;
    std::unique_ptr<PlaylistFiles> playlists_;
    std::unique_ptr<ListPaneButtons> buttons_;
    std::unique_ptr<PageLinks> links_;
    std::unique_ptr<WebSnippets> snippets_;
    std::unique_ptr<SnippetView> snippetView_;
    std::unique_ptr<Favorites> favorites_;
    std::unique_ptr<ListPlaySteps> playSteps_;
    std::unique_ptr<ListViewEvents> events_;
    std::unique_ptr<ListFileDeletion> deletion_;
};
