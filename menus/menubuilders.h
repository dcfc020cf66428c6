#pragma once

// The menus of the main window as builders: each fills the popup-menu
// object from a table of items and the state it reads (MenuState), which
// the service gathers from the window as the menu opens and tests write by
// hand. Every command key a builder gives is a row of the dispatcher.

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>

class clsPopupMenu;

// Shared icon numbers of the menu icon strip.
namespace menuicon {
inline constexpr int32_t None = -1;
inline constexpr int32_t Folder = 1;
inline constexpr int32_t Group = 2;
inline constexpr int32_t CurrentTab = 3;
inline constexpr int32_t OtherTab = 4;
inline constexpr int32_t OfflineFile = 4;
inline constexpr int32_t OpenAll = 5;
inline constexpr int32_t Off = 6;
inline constexpr int32_t Check = 7;
inline constexpr int32_t Radio = 8;
inline constexpr int32_t Title = 50;
inline constexpr int32_t Bullet = 51;
} // namespace menuicon

struct MenuState {
    // The current page.
    bool pageShown = false;
    bool canCut = false;
    bool canCopy = false;
    bool canPaste = false;
    bool workOffline = false;
    // Excel, FrontPage, PowerPoint, Publisher, Word installed.
    std::array<bool, 5> office{};
    // View: DisplayFlags 0 top bar, 1 bottom bar, 2 side pane, 3 tab bar,
    // 6 menu row, 7 media row, 8 colour bar.
    std::array<bool, 11> display{};
    int zoom = 2; // 0 smallest .. 4 largest
    QStringList skinFiles; // "SK_*.dll" names in listing order
    QString skinName;
    QStringList languageFiles; // "*.ini" names in listing order
    QString languageName;
    // Tools.
    std::array<bool, 5> displayOptions{};
    int popupMode = 0;
    int listKind = 1;
    bool isDefaultBrowser = false;
    QString translationList; // local path of the list file read
    // Favorites.
    int favoritesSortOrder = 0;
    bool favoritesFolderFirst = true;
    QString favoritesFolder; // local path
    // Tabs: captions of tabs 1..n (already "n : text"), the current one 0-based.
    QStringList tabCaptions;
    int currentTab = 0;
    int viewMode = 0;
    // Media: RepeatFlags 1-3, SingleFlags and ShuffleFlags 1-2.
    std::array<bool, 4> repeat{};
    std::array<bool, 3> single{};
    std::array<bool, 3> shuffle{};
    bool autoImageResize = true;
    int imagesPerView = 1;
    bool fullScreen = false;
    bool imageListPlaying = false;
    int imageListCount = 0;
    QString downloadLists; // "|name|name", the newest first
    // The current list: saved or loaded from a file, filled in bulk, items.
    bool listSaved = false;
    bool listFilled = false;
    int listCount = 0;
    QString collectionFormat = QStringLiteral("111111");
};

// The text a tab is listed with: its number, " : " and its title or the
// name of the view it shows (kind 2 video player, 3 image viewer, 6
// download status, blank titles of pages "Blank Page").
QString TabCaption(int tabNumber, const QString& title, int viewKind);

// Builders: clear the menu and add the items.
void BuildFileMenu(clsPopupMenu& m, const MenuState& s);
void BuildEditMenu(clsPopupMenu& m, const MenuState& s);
void BuildViewMenu(clsPopupMenu& m, const MenuState& s);
void BuildToolsMenu(clsPopupMenu& m, const MenuState& s);
void BuildWindowMenu(clsPopupMenu& m, const MenuState& s);
void BuildTabListMenu(clsPopupMenu& m, const MenuState& s);
void BuildCloseTabMenu(clsPopupMenu& m, const MenuState& s);
void BuildGoToTabMenu(clsPopupMenu& m, const MenuState& s);
void BuildHelpMenu(clsPopupMenu& m);
void BuildListEditMenu(clsPopupMenu& m);
// False when the list file cannot be opened: then no menu is shown.
bool BuildUserListMenu(clsPopupMenu& m, int list, const QString& localPath);
void BuildFavoritesMenu(clsPopupMenu& m, const MenuState& s);
void BuildHistoryMenu(clsPopupMenu& m);
void BuildMediaMenu(clsPopupMenu& m, const MenuState& s);
void BuildPlaylistMenu(clsPopupMenu& m, const MenuState& s);
void BuildPlaylistFormatMenu(clsPopupMenu& m, const MenuState& s);

// Appends the tab list under the menu name: one item per tab, grouped by
// tens under "Tab No." heads from ten tabs on.
void AddTabListItems(clsPopupMenu& m, const MenuState& s, const QString& menuName);

// Lazy filling of the Favorites tree: the folder's entries as the children
// of item parent (0 the top level). Nothing changes for an empty folder.
void LoadFavoritesFolder(clsPopupMenu& m, int32_t parent, const QString& localFolder, const MenuState& s);
// The folder's visible entries sorted by upper-cased name, with their
// folder flags.
struct FolderEntry {
    QString name;
    bool isFolder = false;
};
QVector<FolderEntry> ListFolderEntries(const QString& localFolder, int sortOrder);

// History: the levels of a view. mode 0 by date, 1 by site, 2 today;
// viewKey "" the first level, else a date or a site. today as "yyyyMMdd".
void LoadHistoryView(clsPopupMenu& m, int32_t parent, int mode, const QString& viewKey, const QStringList& stamped,
                     const QStringList& plain, const QString& today);
// The view mode an opening History sub-menu selects (its path from the
// first level), or -1 for a date or site below a view; key gets the view key.
int HistoryViewForPath(const QString& path, QString& key);
