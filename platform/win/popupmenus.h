#pragma once

// Popup menus as the program's menu code knows them: menus are handles that
// hold items (command identifier or sub-menu, flags, item data), built with
// append/modify/remove and shown modally by trackPopupMenuEx.
//
// Every item is owner-drawn: the menu asks its owner window for each item's
// size (WM_MEASUREITEM) and has the owner paint it (WM_DRAWITEM), both sent
// through the window's procedure chain (platform/winproc). Around the
// tracking the owner also gets WM_INITMENUPOPUP before a menu opens (the
// root included), WM_MENUSELECT when the selection moves and WM_MENUCHAR for
// a typed character. A popup item's identifier is its sub-menu handle, as
// with the old system, and lookups by command search sub-menus as well.
//
// The menus run in a modal loop of their own: trackPopupMenuEx returns only
// when the menu has closed. A disabled item may be highlighted but is never
// chosen, and a disabled popup item does not open.

#include <QPoint>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QPainter;
class QWidget;

namespace platform::menus {

using MenuHandle = uintptr_t; // 0: none

// Item flags.
inline constexpr uint32_t MF_BYCOMMAND = 0x0000;
inline constexpr uint32_t MF_GRAYED = 0x0001;
inline constexpr uint32_t MF_DISABLED = 0x0002;
inline constexpr uint32_t MF_POPUP = 0x0010;
inline constexpr uint32_t MF_OWNERDRAW = 0x0100;
inline constexpr uint32_t MF_BYPOSITION = 0x0400;
inline constexpr uint32_t MF_SEPARATOR = 0x0800;
inline constexpr uint32_t MF_SYSMENU = 0x2000;

// Tracking flags.
inline constexpr uint32_t TPM_VERTICAL = 0x0040;
inline constexpr uint32_t TPM_RETURNCMD = 0x0100;

// Owner drawing.
inline constexpr uint32_t ODT_MENU = 1;
inline constexpr uint32_t ODS_SELECTED = 0x0001;
inline constexpr uint32_t ODS_GRAYED = 0x0002;
inline constexpr uint32_t ODS_DISABLED = 0x0004;

// Menu loop notifications the program sends its owner windows.
inline constexpr uint32_t WM_ENTERMENULOOP = 0x0211;
inline constexpr uint32_t WM_EXITMENULOOP = 0x0212;

// Answers to WM_MENUCHAR (high word; low word: the item's position).
inline constexpr int MNC_IGNORE = 0;
inline constexpr int MNC_CLOSE = 1;
inline constexpr int MNC_EXECUTE = 2;
inline constexpr int MNC_SELECT = 3;

// lParam of WM_MEASUREITEM: the owner fills in width and height (pixels).
struct MeasureItemInfo {
    uint32_t ctlType = ODT_MENU;
    uint32_t ctlId = 0;
    uintptr_t itemId = 0;
    int itemWidth = 0;
    int itemHeight = 0;
    uintptr_t itemData = 0;
};

// lParam of WM_DRAWITEM: the owner paints the item rectangle with the
// painter. Coordinates are those of the menu's drawing area, whose items
// start at x 0. The pen colour the owner leaves is the colour of the
// sub-menu arrow that the menu draws after it.
struct DrawItemInfo {
    uint32_t ctlType = ODT_MENU;
    uint32_t ctlId = 0;
    uintptr_t itemId = 0;
    uint32_t itemAction = 0;
    uint32_t itemState = 0;
    MenuHandle menu = 0;
    QPainter* painter = nullptr;
    QRect rcItem;
    uintptr_t itemData = 0;
};

// Makes an empty popup menu.
MenuHandle createPopupMenu();
// Destroys the menu and, as the old system did, every sub-menu its items
// hold. A menu on the screen closes with it (the root ends the tracking).
bool destroyMenu(MenuHandle menu);
bool isMenu(MenuHandle menu);
// Number of items; -1 for a handle that is no menu.
int itemCount(MenuHandle menu);

// Appends an item: idOrSubMenu is the command identifier, or with MF_POPUP
// the sub-menu handle (which then also is the item's identifier).
bool appendMenu(MenuHandle menu, uint32_t flags, uintptr_t idOrSubMenu, uintptr_t itemData);
// Changes an item found by command (searched in sub-menus too) or, with
// MF_BYPOSITION, by position.
bool modifyMenu(MenuHandle menu, uintptr_t item, uint32_t flags, uintptr_t idOrSubMenu, uintptr_t itemData);
// Takes an item out of its menu; a sub-menu it held is not destroyed.
bool removeMenu(MenuHandle menu, uintptr_t item, uint32_t flags);
// The sub-menu of an item (0 when it has none or is not found).
MenuHandle subMenu(MenuHandle menu, uintptr_t item, uint32_t flags);
std::optional<uintptr_t> itemData(MenuHandle menu, uintptr_t item, uint32_t flags);
bool setItemData(MenuHandle menu, uintptr_t item, uint32_t flags, uintptr_t data);

// Shows the menu with its left-top corner at the screen point, keeping clear
// of the exclusion rectangle when one is given (right and bottom edges
// exclusive), and tracks it until it closes. With TPM_RETURNCMD the chosen
// identifier is returned (0: none); without it the choice goes to the owner
// as WM_COMMAND after the menu has closed and the result is 1 when an item
// was chosen. 0 at once while another menu is tracked or for an empty menu.
uintptr_t trackPopupMenuEx(MenuHandle menu, uint32_t flags, QPoint screenPoint, QWidget* owner,
                           const QRect* exclude = nullptr);
// Closes the menu being tracked without a choice.
void endMenu();
// Runs the work once the menu being tracked has closed, just before
// trackPopupMenuEx returns (at once when no menu is tracked).
void whenMenuClosed(std::function<void()> work);
bool isTracking();
// The menu windows on the screen, the root first.
std::vector<QWidget*> openPopups();
// The items of each menu window on the screen, the root first: screen
// rectangles of the items that show (none for an item scrolled out of view).
std::vector<std::vector<QRect>> openItemRects();

// Where a menu of the size goes: its left-top corner at the point, moved
// inside the screen area; with an exclusion rectangle it is moved off that
// rectangle, sideways first or, with verticalFirst, below and then above
// first, taking the first place that fits the screen.
QRect placePopup(QSize size, QPoint point, const std::optional<QRect>& exclude, bool verticalFirst,
                 const QRect& screen);

} // namespace platform::menus
