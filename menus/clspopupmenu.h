#pragma once

// The popup menu behind every menu of the browser. It keeps its own list of
// items (indexes from 1, in the order they were added), builds a tree of
// owner-drawn popup menus from it, shows it modally, draws every item in
// the program's menu look and tells its owner which item was chosen and
// which sub-menu is about to open. Item shortcuts written after a TAB in a
// caption are answered by the menus' keyboard hook (modcustommenu).
//
// Command identifiers start at 2049 after every Clear; an item that gets
// children is known by its sub-menu handle from then on, and identifiers
// never collide with sub-menu handles.

#include "core/hooksubclass.h"
#include "platform/win/imagelist.h"
#include "platform/win/popupmenus.h"

#include <QFont>
#include <QPointer>
#include <QWidget>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QPainter;
class clsNCMetrics;

class clsPopupMenu : public clsISubclass {
public:
    using MenuHandle = platform::menus::MenuHandle;

    struct MenuItemRecord {
        QString menuName;
        QString rawCaption;
        QString text;          // the caption before the TAB, one leading "-" cut; "-" for a separator
        QString mnemonic;      // upper-case character after the first "&"
        QString shortcutText;  // after the TAB, trimmed
        int16_t modifierMask = 0; // Shift 1, Ctrl 2, Alt 4
        int16_t keyCode = 0;
        uintptr_t createdId = 0;
        uintptr_t currentId = 0; // the created ID, or the sub-menu handle once the item has children
        int32_t itemData = 0;
        uintptr_t parentHandle = 0;
        int32_t iconIndex = -1;
        bool enabled = true;
        MenuHandle holdingMenu = 0;
        int32_t shortcutColumn = 0;
        int16_t removalMark = 0;
        QString key;
    };

    struct Events {
        // An item was chosen (after the menu has closed) or its shortcut pressed.
        std::function<void(int32_t itemNumber)> Click;
        // A sub-menu is about to open; the number of the item that owns it.
        std::function<void(int32_t parentItemNumber)> InitPopupMenu;
    };

    clsPopupMenu();
    ~clsPopupMenu() override;
    clsPopupMenu(const clsPopupMenu&) = delete;
    clsPopupMenu& operator=(const clsPopupMenu&) = delete;

    Events& events() { return events_; }

    bool SubClassStatus() const { return subclassStatus_; }
    int32_t ItemForID(uintptr_t id) const;
    int32_t Count() const { return static_cast<int32_t>(items_.size()); }
    // Clears the menu and measures with the fonts of the owner's desktop.
    void sethwndOwner(QWidget* hWndA);
    QWidget* hwndOwner() const { return owner_; }
    void setImageList(std::shared_ptr<platform::forms::ImageList> vImageList) { imageList_ = std::move(vImageList); }

    int32_t AddItem(const QString& sCaption, const QString& sMenuName = QString(), int32_t lItemData = 0,
                    int32_t lParentIndex = 0, int32_t lIconIndex = -1, bool bEnabled = true,
                    const QString& sKey = QString());
    QString ItemKey(int32_t lIndex) const;
    QString MenuName(int32_t lIndex) const;
    void setItemData(int32_t lIndex, int32_t lItemData);
    QString HierarchyPath(int32_t lIndex, int32_t lStartLevel, const QString& sSeparator) const;
    QString Caption(int32_t lIndex) const;
    void Clear();
    // Positions in twips of the owner's client area; the index of the
    // chosen item, 0 when none was chosen or the menu is empty.
    int32_t ShowPopupMenu(int32_t lLeft, int32_t lTop, int32_t lExcludeLeft = 0, int32_t lExcludeTop = 0,
                          int32_t lExcludeRight = 0, int32_t lExcludeBottom = 0, bool bTryToKeepLeft = true);
    void DestroySubClass();
    // Removes every item below the item (an index, or a key); the item's
    // index, 0 when it is not found.
    int32_t ClearSubMenusOfItem(const QVariant& vKey);

    // Raises Click for the first item whose shortcut is the key with exactly
    // these modifiers; false when none matches. While a menu is open the
    // menu closes first and Click follows once its loop has ended.
    bool FireAccelerator(int keyCode, int mask);

    // Read access to an item's record (nullptr out of range) and to the
    // measured item height.
    const MenuItemRecord* Record(int32_t lIndex) const;
    int32_t StandardItemHeight() const { return standardItemHeight_; }
    QFont MenuFont() const { return menuFont_; }

    // The window-procedure client.
    int32_t MsgResponse() override;
    intptr_t WindowProc(QWidget* hWnd, uint32_t iMsg, uintptr_t wParam, intptr_t lParam) override;

private:
    MenuItemRecord* record(int32_t lIndex);
    uintptr_t NewItemID();
    bool IsItemIDFree(uintptr_t id) const;
    void SetItemText(MenuItemRecord& r, const QString& caption);
    static void ParseShortcutText(MenuItemRecord& r, const QString& text);
    uint32_t ItemMenuFlags(const MenuItemRecord& r) const;
    void CreateMenuItem(int32_t index);
    int32_t IndexOfItemID(uintptr_t id) const { return ItemForID(id); }
    int32_t ItemIndexFromKey(const QVariant& vKey) const;
    void RemoveMenuItem(int32_t index);

    void AttachSubClass(QWidget* hWnd);
    void LoadMenuFonts();
    bool MeasureMenuItem(platform::menus::MeasureItemInfo& mi);
    bool DrawMenuItem(const platform::menus::DrawItemInfo& di);
    void FillIconColumn(QPainter& p, const QRect& item) const;
    QRect PlaceItemText(QPainter& p, const MenuItemRecord& r, QRect rect) const;
    void DrawItemText(QPainter& p, const MenuItemRecord& r, const QRect& rect) const;
    void OnMenuCommand(uintptr_t id);
    void OnInitMenuPopup(MenuHandle menu);
    intptr_t OnMenuChar(MenuHandle menu, QChar character) const;
    void raiseClick(int32_t index);

    Events events_;
    std::vector<MenuItemRecord> items_; // items_[0] is index 1
    uintptr_t nextItemId_ = 2048;
    std::vector<MenuHandle> subMenuHandles_;
    QPointer<QWidget> owner_;
    QWidget* subclassedWindow_ = nullptr;  // identity of the subclassed window
    QPointer<QWidget> subclassedAlive_;    // null once that window is gone
    bool subclassStatus_ = false;
    QFont menuFont_;
    int32_t standardItemHeight_ = 22;
    std::shared_ptr<platform::forms::ImageList> imageList_;
    std::unique_ptr<clsNCMetrics> metrics_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true); // for work queued until a menu has closed
};

// The caption of an item whose text comes from data (a list's name, a
// favourite, a page's title): shown as it is. Its "&" is doubled, so it
// marks no shortcut; a TAB becomes a blank and a leading "-" is kept, so
// neither starts a shortcut column nor is cut. Caption and HierarchyPath
// give the text back as it was.
QString MenuCaptionFromData(const QString& text);
