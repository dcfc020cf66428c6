#include "menus/clspopupmenu.h"
#include "platform/win/popupmenus.h"

#include <gtest/gtest.h>

namespace pm = platform::menus;

TEST(PopupMenuModel, IdentifiersStartAbove2048AndParentsAreKnownByTheirSubMenu)
{
    clsPopupMenu menu;
    for (int round = 0; round < 2; ++round) {
        menu.Clear();
        EXPECT_EQ(menu.AddItem("One"), 1);
        EXPECT_EQ(menu.AddItem("Two"), 2);
        EXPECT_EQ(menu.AddItem("Three"), 3);
        for (int i = 1; i <= 3; ++i) {
            EXPECT_EQ(menu.Record(i)->createdId, 2048u + static_cast<uintptr_t>(i));
            EXPECT_EQ(menu.ItemForID(2048u + static_cast<uintptr_t>(i)), i);
        }
        const int32_t child = menu.AddItem("Child", "M", 0, 2);
        const uintptr_t handle = menu.Record(2)->currentId;
        EXPECT_TRUE(pm::isMenu(handle));
        EXPECT_EQ(menu.ItemForID(2050), 0);
        EXPECT_EQ(menu.ItemForID(handle), 2);
        EXPECT_EQ(menu.Record(child)->parentHandle, handle);
        EXPECT_EQ(menu.Record(child)->holdingMenu, handle);
        EXPECT_EQ(menu.Record(child)->createdId, 2052u);
        EXPECT_EQ(pm::itemCount(menu.Record(1)->holdingMenu), 3);
    }
    const uintptr_t root = menu.Record(1)->holdingMenu;
    const uintptr_t sub = menu.Record(2)->currentId;
    menu.Clear();
    EXPECT_EQ(menu.Count(), 0);
    EXPECT_FALSE(pm::isMenu(root));
    EXPECT_FALSE(pm::isMenu(sub));
}

TEST(PopupMenuModel, CaptionsSplitIntoTextMnemonicAndShortcut)
{
    const struct {
        const char* caption;
        const char* text;
        const char* mnemonic;
        const char* shortcut;
        int mask;
        int key;
    } cases[] = {
        {"&Open ...\tCtrl+O", "&Open ...", "O", "Ctrl+O", 0, 79},
        {"Back\tAlt+Left Arrow", "Back", "", "Alt+Left Arrow", 4, 37},
        {"Mix\tShift+Alt+x", "Mix", "", "Shift+Alt+x", 5, 88},
        {"Stop\tESC", "Stop", "", "ESC", 0, 0},
        {"Leave\tEsc", "Leave", "", "Esc", 0, 27},
        {"Go\t Enter ", "Go", "", "Enter", 0, 13},
        {"Up\tUp Arrow", "Up", "", "Up Arrow", 0, 38},
        {"Reload\tF5", "Reload", "", "F5", 0, 0},
        {"Remove\t.", "Remove", "", ".", 0, 46},
        {"Full\t{", "Full", "", "{", 0, 123},
        {"Later\tA+Alt+B", "Later", "", "A+Alt+B", 4, 66},
        {"Open\t&x", "Open", "X", "&x", 0, 0},
        {"Fish && &Chips", "Fish & &Chips", "C", "", 0, 0}, // "&&" is one "&", never a shortcut
        {"R&&D", "R&D", "", "", 0, 0},
        {"Tools&", "Tools&", "", "", 0, 0},
        {"-", "-", "", "", 0, 0},
        {"-Word", "Word", "", "", 0, 0},
        {"-&Heading\tAlt+H", "&Heading", "H", "Alt+H", 4, 72},
    };
    clsPopupMenu menu;
    for (const auto& c : cases) {
        const int32_t i = menu.AddItem(QString::fromUtf8(c.caption));
        const auto* r = menu.Record(i);
        EXPECT_EQ(r->rawCaption, QString::fromUtf8(c.caption));
        EXPECT_EQ(menu.Caption(i), QString::fromUtf8(c.text)) << c.caption;
        EXPECT_EQ(r->mnemonic, QString::fromUtf8(c.mnemonic)) << c.caption;
        EXPECT_EQ(r->shortcutText, QString::fromUtf8(c.shortcut)) << c.caption;
        EXPECT_EQ(r->modifierMask, c.mask) << c.caption;
        EXPECT_EQ(r->keyCode, c.key) << c.caption;
    }
}

TEST(PopupMenuModel, KeysNamesAndPathsOfItems)
{
    clsPopupMenu menu;
    const int32_t top = menu.AddItem("&Favorites", "FAVORITES", 7, 0, 1, true, "FAV");
    const int32_t folder = menu.AddItem("News", "FAVORITES", 0, top, 1, true, "");
    const int32_t page = menu.AddItem("Daily &Paper\tAlt+P", "FAVORITES", 0, folder, 3, false, "OPEN");
    EXPECT_EQ(menu.ItemKey(page), "OPEN");
    EXPECT_EQ(menu.MenuName(top), "FAVORITES");
    EXPECT_EQ(menu.Record(top)->itemData, 7);
    EXPECT_EQ(pm::itemData(menu.Record(top)->holdingMenu, menu.Record(top)->currentId, pm::MF_BYCOMMAND), 7u);
    for (int32_t bad : {0, -1, 4}) {
        EXPECT_EQ(menu.ItemKey(bad), "");
        EXPECT_EQ(menu.MenuName(bad), "");
        EXPECT_EQ(menu.Caption(bad), "");
        EXPECT_EQ(menu.HierarchyPath(bad, 1, "\\"), "");
        menu.setItemData(bad, 5); // nothing to change
    }
    const struct {
        int32_t level;
        const char* path;
    } paths[] = {{1, "&Favorites\\News\\Daily &Paper"}, {2, "News\\Daily &Paper"}, {3, "Daily &Paper"}, {4, ""}};
    for (const auto& p : paths)
        EXPECT_EQ(menu.HierarchyPath(page, p.level, "\\"), QString::fromUtf8(p.path)) << p.level;
    EXPECT_EQ(menu.HierarchyPath(folder, 1, " > "), "&Favorites > News");

    // A parent index that names no item makes a top-level item.
    const int32_t stray = menu.AddItem("Stray", "", 0, 99);
    EXPECT_EQ(menu.Record(stray)->parentHandle, 0u);
    EXPECT_EQ(menu.Record(stray)->holdingMenu, menu.Record(1)->holdingMenu);
}

TEST(PopupMenuModel, ClearingASubMenuKeepsItAndReusesIdentifiers)
{
    clsPopupMenu menu;
    for (int i = 1; i <= 11; ++i)
        menu.AddItem(QStringLiteral("Item %1").arg(i));
    const int32_t folder = menu.AddItem("Folder", "", 0, 0, 1, true, "OPEN ALL"); // index 12
    const int32_t placeholder = menu.AddItem("(empty)", "", 0, folder);
    const int32_t deep = menu.AddItem("Deeper", "", 0, placeholder);
    menu.AddItem("Deepest", "", 0, deep);
    const int32_t after = menu.AddItem("After", "", 0, 0, -1, true, "AFTER");
    const uintptr_t sub = menu.Record(folder)->currentId;
    const uintptr_t deepMenu = menu.Record(placeholder)->currentId;
    ASSERT_TRUE(pm::isMenu(deepMenu));

    EXPECT_EQ(menu.ClearSubMenusOfItem(QStringLiteral("NO SUCH KEY")), 0);
    EXPECT_EQ(menu.ClearSubMenusOfItem(QVariant(99)), 0);
    // "12" is an index, not a key.
    EXPECT_EQ(menu.ClearSubMenusOfItem(QStringLiteral("12")), folder);
    EXPECT_EQ(menu.Count(), 13);
    EXPECT_TRUE(pm::isMenu(sub));
    EXPECT_EQ(pm::itemCount(sub), 0);
    EXPECT_FALSE(pm::isMenu(deepMenu));
    EXPECT_EQ(menu.ItemForID(sub), folder);
    EXPECT_EQ(menu.ItemKey(13), "AFTER");
    (void)after;

    // New children go into the same sub-menu with identifiers above those in use.
    const uintptr_t largest = menu.Record(13)->createdId;
    const int32_t fresh = menu.AddItem("Fresh", "", 0, folder);
    EXPECT_EQ(menu.Record(fresh)->holdingMenu, sub);
    EXPECT_GT(menu.Record(fresh)->createdId, largest);
    EXPECT_EQ(menu.HierarchyPath(fresh, 1, "\\"), "Folder\\Fresh");

    EXPECT_EQ(menu.ClearSubMenusOfItem(QStringLiteral("OPEN ALL")), folder);
    EXPECT_EQ(menu.Count(), 13);
}
