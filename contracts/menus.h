#pragma once

// What the other subsystems ask of the popup menus and commands.

#include <QString>

#include <cstdint>

class QWidget;

class IMenusService {
public:
    virtual ~IMenusService() = default;
    virtual const char* implementationName() const = 0;

    // Creates the window's popup-menu object, owned by the given window.
    virtual void CreatePopupMenu(QWidget* ownerWindow) = 0;
    // True while a popup is tracking.
    virtual bool SubClassStatus() const = 0;
    // The menu-bar caption pressed: opens that menu (0 File .. 4 Window).
    virtual void cmdMenu_MouseDown(int16_t index, int button, int shift) = 0;
    virtual void ShowHelpMenu() = 0;
    virtual void ShowUserListMenu(int16_t list) = 0;
    virtual void ShowCloseTabMenu() = 0;
    virtual void ShowGoToTabMenu() = 0;
    virtual void ShowFavoritesMenu() = 0;
    virtual void ShowHistoryMenu() = 0;
    virtual void ShowTabListMenu() = 0;
    // The media toolbar's menu, beside its first button.
    virtual void ShowMediaMenu() = 0;
    // The side pane's menus: the playlist menu and the snippet view's format
    // menu beside a button (twips of the window's client area), the list
    // edit menu at a point.
    virtual void ShowPlaylistMenu(int32_t left, int32_t top, int32_t width, int32_t height) = 0;
    virtual void ShowPlaylistFormatMenu(int32_t left, int32_t top, int32_t width, int32_t height) = 0;
    virtual void ShowListViewEditMenu(float x, float y) = 0;
    // While a menu-bar popup is open: follow the mouse along the bar; once
    // it closed: leave menu-bar mode.
    virtual void RollOverMenuBar() = 0;
    virtual void EndMenuBarMode() = 0;
    // The holder of the menu image list is built anew with the next skin.
    virtual void UnloadMenuImageHolder() = 0;
    // The tooltips of the skinned buttons from the language file.
    virtual void SetButtonTooltips() = 0;
    // The menu of a tab button ("Close", "Clear"), shown with its top-left
    // at (left, bottom), keeping clear of the button's rectangle; the key of
    // the chosen command ("OPTION0" close, "OPTION1" clear), "" when none.
    virtual QString ShowTabMenu(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
};
