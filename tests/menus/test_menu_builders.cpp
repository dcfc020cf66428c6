#include "menus/clspopupmenu.h"
#include "menus/menubuilders.h"
#include "menus/menucommands.h"
#include "core/quicklist.h"
#include "core/shellnames.h"
#include "platform/base/paths.h"
#include "tests/menus/menusnapshot.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>

using namespace menusnapshot;

namespace {

using Builder = std::function<void(clsPopupMenu&, const MenuState&)>;

struct Expect {
    const char* key;
    const char* caption; // "" to match any caption of the key
    int icon;
    bool enabled;
};

struct BuilderCase {
    const char* name;
    Builder build;
    std::function<void(MenuState&)> state;
    std::vector<Expect> expect;
};

MenuState tabs(int count, int current)
{
    MenuState s;
    for (int i = 1; i <= count; ++i)
        s.tabCaptions << TabCaption(i, QStringLiteral("Page %1").arg(i), 1);
    s.currentTab = current;
    return s;
}

} // namespace

TEST(MenuBuilders, ItemsFollowTheStateTheyRead)
{
    const auto none = [](MenuState&) {};
    const std::vector<BuilderCase> cases = {
        {"file on the blank page", BuildFileMenu, none,
         {{"FILE_NEW", "&New\tCtrl+N", 12, true},
          {"FILE_SAVEAS", "", 15, false},
          {"FILE_PRINT", "&Print ...\tCtrl+P", 17, false},
          {"FILE_PRINTPREVIEW", "", 19, false},
          {"FILE_PAGESETUP", "", -1, false},
          {"FILE_PROPERTIES", "", 21, false},
          {"FILE_OPENSELECTED", "", -1, false},
          {"FILE_WORKOFFLINE", "", -1, true},
          {"FILE_CLOSEOPTION0", "Close Current", 10, true},
          {"FILE_CLOSE", "&Close", 11, true}}},
        {"file on a page, offline, Word only", BuildFileMenu,
         [](MenuState& s) {
             s.pageShown = s.workOffline = s.canCopy = true;
             s.office[4] = true;
         },
         {{"FILE_SAVEAS", "", 14, true},
          {"FILE_PRINT", "", 16, true},
          {"FILE_PROPERTIES", "", 20, true},
          {"FILE_OPENSELECTED", "", -1, true},
          {"FILE_WORKOFFLINE", "", 7, true},
          {"FILE_EDIT5", "Edit with Microsoft Word", 26, true},
          {"FILE_EDIT1", nullptr, 0, false}}},
        {"edit with copy but not cut", BuildEditMenu,
         [](MenuState& s) {
             s.pageShown = true;
             s.canCopy = true;
         },
         {{"EDIT_CUT", "", 28, false},
          {"EDIT_COPY", "&Copy\tCtrl+C", 29, true},
          {"EDIT_PASTE", "", 32, false},
          {"EDIT_SELECTALL", "", -1, true},
          {"EDIT_FIND", "", 33, true},
          {"EDIT_REFERENCES", "", -1, true}}},
        {"edit on the blank page", BuildEditMenu, none,
         {{"EDIT_SELECTALL", "", -1, false}, {"EDIT_FIND", "", 34, false}}},
        {"view: top bar shown, bottom hidden, largest text, two skins", BuildViewMenu,
         [](MenuState& s) {
             s.display[0] = true;
             s.zoom = 4;
             s.skinFiles = QStringList{"SK_Morvane_1.dll", "SK_Blue_Sky_Dark.dll"};
             s.skinName = "Morvane 1";
             s.languageFiles = QStringList{"English.ini", "german.ini"};
             s.languageName = "German";
         },
         {{"VIEW_TBAR1", "", 7, true},
          {"VIEW_TBAR2", "", 6, true},
          {"VIEW_HIDEALL", "", -1, true},
          {"VIEW_TEXTSIZE0", "Largest", 8, true},
          {"VIEW_TEXTSIZE2", "Medium", 6, true},
          {"VIEW_SKIN", "Morvane 1", 8, true},
          {"VIEW_SKIN", "Blue Sky Dark", 6, true},
          {"VIEW_DELETESKIN", "", 51, true},
          {"VIEW_LANGUAGE", "german", 6, true},
          {"VIEW_STOP", "Stop\tESC", 37, true},
          {"VIEW_ENCODE1", "Encode 1", -1, true}}},
        {"view with one skin", BuildViewMenu, [](MenuState& s) { s.skinFiles = QStringList{"SK_Morvane_1.dll"}; },
         {{"VIEW_DELETESKIN", "", 51, false}, {"VIEW_TEXTSIZE2", "", 8, true}}},
        {"tools: popup mode 1, link list, default browser", BuildToolsMenu,
         [](MenuState& s) {
             s.popupMode = 1;
             s.listKind = 5;
             s.isDefaultBrowser = true;
             s.displayOptions = {true, false, true, false, true};
         },
         {{"TOOL_POPUP0", "", 6, true},
          {"TOOL_POPUP3", "", 6, true},
          {"MPLAYLIST_CMODE5", "Link", 8, true},
          {"MPLAYLIST_CMODE1", "", 6, true},
          {"TOOL_DOWNLOAD1", "", 7, true},
          {"TOOL_DOWNLOAD2", "", 6, true},
          {"TOOL_FILEUTILITIES", "", -1, false},
          {"TOOL_DEFAULTBROWSER", "", -1, false},
          {"TOOL_MODIFYLIST", "", 49, true}}},
        {"tools: popup mode 3", BuildToolsMenu, [](MenuState& s) { s.popupMode = 3; },
         {{"TOOL_POPUP3", "", 8, true}, {"TOOL_POPUP0", "", 6, true}, {"TOOL_DEFAULTBROWSER", "", -1, true}}},
        {"window in tile vertically", BuildWindowMenu,
         [](MenuState& s) {
             s = tabs(2, 1);
             s.viewMode = 3;
         },
         {{"NEW", "New Window", 12, true},
          {"A3", "Tile Vertically", 8, true},
          {"A1", "", 6, true},
          {"A8", "", 42, true},
          {"2", "2 : Page 2", 3, true},
          {"1", "1 : Page 1", 4, true}}},
        {"window in a special mode", BuildWindowMenu,
         [](MenuState& s) {
             s = tabs(1, 0);
             s.viewMode = 8;
         },
         {{"A1", "", 6, true}, {"A2", "", 6, true}, {"A3", "", 6, true}, {"A8", "", 42, true}}},
        {"help", [](clsPopupMenu& m, const MenuState&) { BuildHelpMenu(m); }, none,
         {{"MHELP_PL0", "Contents and Index", 51, true}, {"MHELP_PL6", "About Z5 Browser", 51, true}}},
        {"list edit", [](clsPopupMenu& m, const MenuState&) { BuildListEditMenu(m); }, none,
         {{"MLISTVIEWEDIT2", "Remove Selected Items", -1, true}}},
        {"media: four per view, image list not playing, nothing downloaded", BuildMediaMenu,
         [](MenuState& s) {
             s.imagesPerView = 4;
             s.imageListCount = 3;
             s.repeat[3] = true;
             s.shuffle[2] = true;
         },
         {{"MMEDIA_REPEAT3", "Repeat", 7, true},
          {"MMEDIA_REPEAT1", "Repeat", 6, true},
          {"MMEDIA_SHUFFL2", "Shuffle", 7, true},
          {"MMEDIA_RESIZE", "", 3, false},
          {"MMEDIA_VIEWSET4", "View set of 4", 8, true},
          {"MMEDIA_VIEWSET8", "", 6, true},
          {"MMEDIA_IINFO", "", 6, true},
          {"", "View Download Status", -1, false},
          {"MMEDIA_VIEWSTAT", nullptr, 0, false}}},
        {"media: image list playing, full screen", BuildMediaMenu,
         [](MenuState& s) {
             s.imageListCount = 3;
             s.imageListPlaying = true;
             s.fullScreen = true;
         },
         {{"MMEDIA_RESIZE", "", 7, false},
          {"", "View By Set ...", -1, false},
          {"MMEDIA_VIEWSET1", nullptr, 0, false},
          {"MMEDIA_IINFO", nullptr, 0, false},
          {"", "View Download Status", 0, false}}},
        {"media: download lists", BuildMediaMenu, [](MenuState& s) { s.downloadLists = "lost|Music|Films"; },
         {{"MMEDIA_VIEWSTAT", "Music", -1, true},
          {"MMEDIA_VIEWSTAT", "Films", -1, true},
          {"MMEDIA_VIEWSTAT", "lost", 0, false},
          {"MMEDIA_CLEARSTAT", "Clear Status", 51, true},
          {"", "View By Set ...", -1, false}}},
        {"playlist: a fresh link list", BuildPlaylistMenu, [](MenuState& s) { s.listKind = 5; },
         {{"", "LINK LIST", 50, true},
          {"MPLAYLIST_CMODE5", "Link List", 8, true},
          {"MPLAYLIST_CMODE1", "Audio List", 6, true},
          {"MPLAYLIST_SAVE", "", -1, false},
          {"MPLAYLIST_SAVEAS", "", -1, false},
          {"MPLAYLIST_PLCLEAR", "", -1, false},
          {"", "OPTIONS", 9, false},
          {"MPLAYLIST_CMODE5_5", "Add Manually ...", -1, true},
          {"MPLAYLIST_CMODE5_6", nullptr, 0, false},
          {"MPLAYLIST_CMODE1_1", nullptr, 0, false}}},
        {"playlist: an image list saved and filled", BuildPlaylistMenu,
         [](MenuState& s) {
             s.listKind = 3;
             s.listSaved = s.listFilled = true;
             s.listCount = 4;
         },
         {{"MPLAYLIST_SAVE", "", -1, true},
          {"MPLAYLIST_SAVEAS", "", -1, true},
          {"MPLAYLIST_PLCLEAR", "", -1, true},
          {"MPLAYLIST_CMODE3_5", "Add All Files In Folder ...", -1, true},
          {"MPLAYLIST_CMODE3_6", "Add Manually ...", -1, true},
          {"MPLAYLIST_CMODE3_8", "Download Setup ...", -1, true}}},
        {"playlist: snippets with the header off", BuildPlaylistMenu,
         [](MenuState& s) {
             s.listKind = 4;
             s.collectionFormat = "011111";
         },
         {{"", "View Setup", -1, true},
          {"MPLAYLIST_FORMAT1", "Show Header", 6, true},
          {"MPLAYLIST_FORMAT3", "Show Name", 6, false},
          {"MPLAYLIST_FORMAT6", "Show Created Date", 6, false},
          {"MPLAYLIST_FORMAT2", "Show Border", 7, true}}},
        {"format menu with the header on", BuildPlaylistFormatMenu, [](MenuState& s) { s.collectionFormat = "100000"; },
         {{"MPLAYLIST_FORMAT1", "Show Header", 7, true},
          {"MPLAYLIST_FORMAT4", "Show Comment", 6, true},
          {"MPLAYLIST_FORMAT2", "Show Border", 6, true}}},
        {"close tab", BuildCloseTabMenu, [](MenuState& s) { s = tabs(3, 0); },
         {{"1", "1 : Page 1", 3, true},
          {"CLOSEOPTION0", "Close Current", 10, true},
          {"CLOSEOPTION1", "Close All", 51, true}}},
    };
    for (const BuilderCase& c : cases) {
        SCOPED_TRACE(c.name);
        MenuState s;
        c.state(s);
        clsPopupMenu m;
        c.build(m, s);
        for (const Expect& e : c.expect) {
            SCOPED_TRACE(e.key);
            const Item it = byKey(m, QString::fromLatin1(e.key), e.caption ? QString::fromUtf8(e.caption) : QString());
            if (!e.caption || (e.icon == 0 && !e.enabled)) {
                EXPECT_EQ(it.index, 0) << "item should be absent";
                continue;
            }
            ASSERT_NE(it.index, 0);
            if (*e.caption) {
                EXPECT_EQ(it.caption, QString::fromUtf8(e.caption));
            }
            EXPECT_EQ(it.icon, e.icon);
            EXPECT_EQ(it.enabled, e.enabled);
        }
    }
}

TEST(MenuBuilders, OrderOfTheFixedMenusAndTheirHeads)
{
    clsPopupMenu m;
    BuildFileMenu(m, MenuState{});
    // Nothing of Office installed: the Edit head is greyed and empty.
    const QVector<Item> top = childrenOf(m, 0);
    EXPECT_EQ(captions(top),
              (QStringList{"&New\tCtrl+N", "-", "&Open ...\tCtrl+0", "Open Group ...", "Open Links in Selected Area", "-",
                           "Edit", "-", "Save Page &As ...", "-", "Page Set&up ...", "&Print ...\tCtrl+P",
                           "Print Pre&view ...", "-", "Send", "-", "Properties", "Work Offline", "-", "Close Tab", "-",
                           "&Close"}));
    EXPECT_FALSE(top[6].enabled);
    EXPECT_TRUE(childrenOf(m, top[6].index).isEmpty());
    EXPECT_EQ(captions(childrenOf(m, top[19].index)),
              (QStringList{"Close Current", "-", "Close All", "Close All - Except First Tab",
                           "Close All - Except Current Tab"}));

    MenuState s;
    s.skinFiles = QStringList{"SK_A.dll"};
    BuildViewMenu(m, s);
    const QVector<Item> view = childrenOf(m, 0);
    const Item textSize = byKey(m, "VIEW_TEXTSIZE0");
    EXPECT_EQ(captions(childrenOf(m, textSize.parent)),
              (QStringList{"Largest", "Larger", "Medium", "Smaller", "Smallest"}));
    // No separator between the Text Size and Encoding heads.
    const qsizetype at = captions(view).indexOf("Text Size");
    EXPECT_EQ(view[at + 1].caption, "Encoding");
    EXPECT_FALSE(view[at + 1].enabled);

    BuildHelpMenu(m);
    EXPECT_EQ(captions(take(m)), (QStringList{"Contents and Index", "Contact Technical Support", "-", "Online Support",
                                              "Check for Updates", "-", "Z5 Web Site", "Keldo Home Page", "-",
                                              "About Z5 Browser"}));
    BuildCloseTabMenu(m, tabs(1, 0));
    EXPECT_EQ(captions(take(m)),
              (QStringList{"CLOSE TAB ...", "-", "1 : Page 1", "-", "Close Current", "-",
                           "Close All - except the Current Tab", "Close All - except the First Tab", "Close All"}));
}

TEST(MenuBuilders, EveryKeyABuilderGivesHasADispatcherRow)
{
    MenuState s = tabs(12, 3);
    s.skinFiles = QStringList{"SK_A.dll", "SK_B.dll"};
    s.languageFiles = QStringList{"English.ini"};
    s.office.fill(true);
    std::function<void(const clsPopupMenu&)> checkKeys;
    const std::vector<std::function<void(clsPopupMenu&)>> builders = {
        [&](clsPopupMenu& m) { BuildFileMenu(m, s); },     [&](clsPopupMenu& m) { BuildEditMenu(m, s); },
        [&](clsPopupMenu& m) { BuildViewMenu(m, s); },     [&](clsPopupMenu& m) { BuildToolsMenu(m, s); },
        [&](clsPopupMenu& m) { BuildWindowMenu(m, s); },   [&](clsPopupMenu& m) { BuildTabListMenu(m, s); },
        [&](clsPopupMenu& m) { BuildCloseTabMenu(m, s); }, [&](clsPopupMenu& m) { BuildGoToTabMenu(m, s); },
        [&](clsPopupMenu& m) { BuildHelpMenu(m); },        [&](clsPopupMenu& m) { BuildListEditMenu(m); },
        [&](clsPopupMenu& m) { BuildFavoritesMenu(m, s); }, [&](clsPopupMenu& m) { BuildHistoryMenu(m); },
        [&](clsPopupMenu& m) {
            MenuState media = s;
            media.imageListCount = 2;
            media.downloadLists = "|a";
            BuildMediaMenu(m, media);
        },
        [&](clsPopupMenu& m) {
            for (int k = 1; k <= 6; ++k) {
                MenuState pl = s;
                pl.listKind = k;
                BuildPlaylistMenu(m, pl);
                if (k < 6)
                    checkKeys(m);
            }
        },
    };
    // Keys that open sub-menus of the History tree run nothing.
    const QStringList noCommand = {"VIEW_ENCODE1", "TOOL_FILEUTILITIES", "TOOL_ADVANCEDPLSETUP", "VIEWORDER0",
                                   "VIEWORDER1", "VIEWORDER2"};
    int checked = 0;
    const auto keysOf = [&](const clsPopupMenu& m) {
        for (const Item& it : take(m)) {
            if (it.menuName.isEmpty() || noCommand.contains(it.key))
                continue;
            bool found = false;
            for (const CommandRow& r : CommandRows())
                if (r.menuName == it.menuName && (r.key == it.key || r.key == "*"))
                    found = true;
            EXPECT_TRUE(found) << it.menuName.toStdString() << " " << it.key.toStdString();
            ++checked;
        }
    };
    checkKeys = keysOf;
    for (const auto& build : builders) {
        clsPopupMenu m;
        build(m);
        keysOf(m);
    }
    EXPECT_GT(checked, 0);
}

TEST(MenuBuilders, TabListsGroupByTens)
{
    const struct {
        int count;
        int current;
        QStringList top; // captions on the top level
    } cases[] = {
        {1, 0, {"1 : Page 1"}},
        {9, 8, {"1 : Page 1", "2 : Page 2", "3 : Page 3", "4 : Page 4", "5 : Page 5", "6 : Page 6", "7 : Page 7",
                "8 : Page 8", "9 : Page 9"}},
        {10, 0, {"Tab No.01 - 10"}},
        {25, 11, {"Tab No.01 - 10", "Tab No.11 - 20", "21 : Page 21", "22 : Page 22", "23 : Page 23", "24 : Page 24",
                  "25 : Page 25"}},
        {100, 99, {"Tab No.001 - 010", "Tab No.011 - 020", "Tab No.021 - 030", "Tab No.031 - 040", "Tab No.041 - 050",
                   "Tab No.051 - 060", "Tab No.061 - 070", "Tab No.071 - 080", "Tab No.081 - 090",
                   "Tab No.091 - 100"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        clsPopupMenu m;
        BuildTabListMenu(m, tabs(c.count, c.current));
        EXPECT_EQ(captions(childrenOf(m, 0)), c.top);
        int tabItems = 0;
        for (const Item& it : take(m)) {
            if (it.menuName != "WINDOW2")
                continue;
            ++tabItems;
            EXPECT_EQ(it.icon, it.key == QString::number(c.current + 1) ? 3 : 4) << it.key.toStdString();
            if (c.count >= 10 && it.key.toInt() <= (c.count / 10) * 10) {
                EXPECT_NE(it.parent, 0);
            }
        }
        EXPECT_EQ(tabItems, c.count);
    }
    // Tab captions by kind.
    EXPECT_EQ(TabCaption(3, "x", 2), "3 : Video Player");
    EXPECT_EQ(TabCaption(4, "x", 3), "4 : Image Viewer");
    EXPECT_EQ(TabCaption(1, "", 1), "1 : Blank Page");
    EXPECT_EQ(TabCaption(2, "", 0), "2 : ");
}

TEST(MenuBuilders, FavoritesFromAFolderTree)
{
    const QString root = testenv::freshDir("fav");
    for (const char* dir : {"news", "Zeta", "Alpha", ".hidden", "Empty"})
        QDir(root).mkpath(dir);
    for (const char* file : {"beta.url", "Apple.url", ".secret.url", "news/Daily.url", "noext"})
        testenv::writeFile(root + "/" + file, "[InternetShortcut]\nURL=http://127.0.0.1/\n");
    const struct {
        int sort;
        bool foldersFirst;
        QStringList top;
    } cases[] = {
        {0, true, {"OPEN ALL", "-", "Alpha", "Empty", "news", "Zeta", "Apple", "beta", "noext"}},
        {1, true, {"OPEN ALL", "-", "Zeta", "news", "Empty", "Alpha", "noext", "beta", "Apple"}},
        {0, false, {"OPEN ALL", "-", "Apple", "beta", "noext", "Alpha", "Empty", "news", "Zeta"}},
    };
    for (const auto& c : cases) {
        MenuState s;
        s.favoritesFolder = root;
        s.favoritesSortOrder = c.sort;
        s.favoritesFolderFirst = c.foldersFirst;
        clsPopupMenu m;
        BuildFavoritesMenu(m, s);
        QVector<Item> top = childrenOf(m, 0);
        ASSERT_GE(top.size(), 2);
        EXPECT_EQ(top[0].caption, "FAVORITES");
        EXPECT_EQ(captions(top.mid(2)), c.top);
    }
    // A folder opens lazily; an empty one keeps its greyed placeholder, and a
    // refill after a new shortcut shows it.
    MenuState s;
    s.favoritesFolder = root;
    clsPopupMenu m;
    BuildFavoritesMenu(m, s);
    const Item empty = byKey(m, "", "Empty");
    ASSERT_NE(empty.index, 0);
    LoadFavoritesFolder(m, empty.index, root + "/Empty", s);
    QVector<Item> under = childrenOf(m, empty.index);
    ASSERT_EQ(under.size(), 1);
    EXPECT_EQ(under[0].caption, "<Empty>");
    EXPECT_FALSE(under[0].enabled);
    testenv::writeFile(root + "/Empty/Fresh.url", "[InternetShortcut]\nURL=http://127.0.0.1/\n");
    LoadFavoritesFolder(m, empty.index, root + "/Empty", s);
    EXPECT_EQ(captions(childrenOf(m, empty.index)), (QStringList{"OPEN ALL", "-", "Fresh"}));
    LoadFavoritesFolder(m, empty.index, root + "/Empty", s);
    EXPECT_EQ(captions(childrenOf(m, empty.index)), (QStringList{"OPEN ALL", "-", "Fresh"}));
    EXPECT_EQ(m.HierarchyPath(byKey(m, "", "Fresh").index, 1, "\\"), "Empty\\Fresh");
}

TEST(MenuBuilders, HistoryViews)
{
    const QString today = "20261210";
    QStringList stamped; // newest first
    for (int day = 30; day >= 1; --day)
        for (int h = 2; h >= 1; --h)
            stamped << QStringLiteral("202611%1%2%3http://a.test/p%4-%5")
                           .arg(day, 2, 10, QLatin1Char('0'))
                           .arg(h, 2, 10, QLatin1Char('0'))
                           .arg("0000")
                           .arg(day)
                           .arg(h);
    stamped.prepend("20261210083000http://today.test/late");
    stamped.insert(1, "20261210070000http://today.test/early");
    const QStringList plain = {"http://b.test/1", "http://b.test/2", "http://b.testing/x", "https://c.test/"};
    clsPopupMenu m;
    BuildHistoryMenu(m);
    const Item byDate = byKey(m, "VIEWORDER0");
    LoadHistoryView(m, byDate.index, 0, "", stamped, plain, today);
    const QVector<Item> days = childrenOf(m, byDate.index);
    ASSERT_EQ(days.size(), 31);
    EXPECT_EQ(days[0].caption, "12102026");
    EXPECT_EQ(days[1].caption, "11302026");
    LoadHistoryView(m, days[1].index, 0, "11302026", stamped, plain, today);
    EXPECT_EQ(captions(childrenOf(m, days[1].index)), (QStringList{"http://a.test/p30-2", "http://a.test/p30-1"}));

    const Item todayView = byKey(m, "VIEWORDER2");
    LoadHistoryView(m, todayView.index, 2, "", stamped, plain, today);
    EXPECT_EQ(captions(childrenOf(m, todayView.index)),
              (QStringList{"http://today.test/late", "http://today.test/early"}));

    const Item bySite = byKey(m, "VIEWORDER1");
    LoadHistoryView(m, bySite.index, 1, "", stamped, plain, today);
    EXPECT_EQ(captions(childrenOf(m, bySite.index)), (QStringList{"http://b.test", "http://b.testing", "https://c.test"}));
    const Item b = byKey(m, "", "http://b.test");
    LoadHistoryView(m, b.index, 1, "http://b.test", stamped, plain, today);
    EXPECT_EQ(captions(childrenOf(m, b.index)), (QStringList{"http://b.test/1", "http://b.test/2", "http://b.testing/x"}));

    // The cap: never more than 100 dates on a level.
    QStringList many;
    for (int i = 0; i < 150; ++i)
        many << QDate(2026, 1, 1).addDays(-i).toString("yyyyMMdd") + "000000http://x.test/";
    LoadHistoryView(m, byDate.index, 0, "", many, plain, today);
    EXPECT_EQ(childrenOf(m, byDate.index).size(), 100);

    // An empty history leaves the enabled placeholder of the view.
    BuildHistoryMenu(m);
    const Item fresh = byKey(m, "VIEWORDER0");
    LoadHistoryView(m, fresh.index, 0, "", {}, {}, today);
    const QVector<Item> placeholder = childrenOf(m, fresh.index);
    ASSERT_EQ(placeholder.size(), 1);
    EXPECT_TRUE(placeholder[0].enabled);

    QString key;
    EXPECT_EQ(HistoryViewForPath("View by Site", key), 1);
    EXPECT_EQ(HistoryViewForPath("View by Date\\11302026", key), -1);
    EXPECT_EQ(key, "11302026");
}

// Every menu caption built from data shows its text as it is: an "&" marks
// no shortcut, and the commands read the text back unchanged.
TEST(MenuBuilders, CaptionsFromDataShowTheirTextAsItIs)
{
    const QString text = QStringLiteral("a & b &c");
    const QString shown = QStringLiteral("a && b &&c");
    const QString read = text;
    const QString program = testenv::freshDir("program");
    platform::paths::setProgramFolder(program);
    QDir(program).mkpath("Common");
    testenv::writeFile(program + "/Common/Z5_LIST_FOLDER.INI", (text + "=/home/w\n").toUtf8());
    const QString fav = testenv::freshDir("fav");
    QDir(fav).mkpath(text);
    testenv::writeFile(fav + "/" + text + "/" + text + ".url", "[InternetShortcut]\nURL=http://127.0.0.1/\n");
    const struct {
        const char* menu;
        std::function<void(clsPopupMenu&)> build;
        QString caption; // as the menu holds it
        QString asRead;  // as the command reads it
    } cases[] = {
        {"View Download Status", [&](clsPopupMenu& m) {
             MenuState s;
             s.downloadLists = "|" + text;
             BuildMediaMenu(m, s);
         }, shown, read},
        {"Window", [&](clsPopupMenu& m) {
             MenuState s;
             s.tabCaptions << TabCaption(1, text, 1);
             BuildWindowMenu(m, s);
         }, "1 : " + shown, "1 : " + read},
        {"Favorites folder", [&](clsPopupMenu& m) {
             MenuState s;
             s.favoritesFolder = fav;
             BuildFavoritesMenu(m, s);
         }, shown, read},
        {"Favorites shortcut", [&](clsPopupMenu& m) {
             MenuState s;
             s.favoritesFolder = fav;
             BuildFavoritesMenu(m, s);
             LoadFavoritesFolder(m, byKey(m, "", shown).index, fav + "/" + text, s);
         }, shown, read},
        {"History", [&](clsPopupMenu& m) {
             BuildHistoryMenu(m);
             LoadHistoryView(m, byKey(m, "VIEWORDER2").index, 2, "", {"20261210083000" + text}, {}, "20261210");
         }, shown, read},
        {"User list", [&](clsPopupMenu& m) { BuildUserListMenu(m, 1, ResolveQuickListPath(1)); }, shown, read},
        {"A TAB", [&](clsPopupMenu& m) {
             MenuState s;
             s.downloadLists = "|x\ty";
             BuildMediaMenu(m, s);
         }, "x y", "x y"},
        {"A leading dash", [&](clsPopupMenu& m) {
             MenuState s;
             s.downloadLists = "|-x";
             BuildMediaMenu(m, s);
         }, "--x", "-x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.menu);
        clsPopupMenu m;
        c.build(m);
        int32_t found = 0;
        for (int32_t i = m.Count(); i >= 1 && found == 0; --i)
            if (m.Record(i)->rawCaption.endsWith(c.caption))
                found = i;
        ASSERT_NE(found, 0) << "no item shows " << c.caption.toStdString();
        EXPECT_EQ(m.Record(found)->mnemonic, "");
        EXPECT_EQ(m.Record(found)->shortcutText, "");
        EXPECT_TRUE(m.Caption(found).endsWith(c.asRead)) << m.Caption(found).toStdString();
    }
    // A favourite's path, which its command opens, is the folder's own.
    clsPopupMenu m;
    MenuState s;
    s.favoritesFolder = fav;
    BuildFavoritesMenu(m, s);
    const int32_t folder = byKey(m, "", shown).index;
    LoadFavoritesFolder(m, folder, fav + "/" + text, s);
    const QVector<Item> inside = childrenOf(m, folder);
    ASSERT_FALSE(inside.isEmpty());
    EXPECT_EQ(m.HierarchyPath(inside.last().index, 1, "\\"), text + "\\" + text);
    EXPECT_EQ(MenuCaptionFromData("-"), "-") << "a lone dash stays a dash";
}

TEST(MenuBuilders, QuickListsRoundTripAndUserCopyFirst)
{
    const QString program = testenv::freshDir("program");
    platform::paths::setProgramFolder(program);
    QDir(program).mkpath("Common");
    const QByteArray shared = "; comment\n\n Work = /home/w\n-\nMail page=http://127.0.0.1/\n;x\n dup =1\ndup=2\n"
                              " ;semi=3\nbroken line\nLater=never\n";
    testenv::writeFile(program + "/Common/Z5_LIST_FOLDER.INI", shared);
    clsPopupMenu m;
    ASSERT_TRUE(BuildUserListMenu(m, 1, ResolveQuickListPath(1)));
    EXPECT_EQ(captions(take(m)),
              (QStringList{"Modify FOLDER LIST ...", "-", "Work", "-", "Mail page", "dup", "dup", ";semi"}));
    // Every caption shown is found by the lookup that runs when it is chosen.
    for (const Item& it : take(m)) {
        if (it.key != "MOPTION_EXE1")
            continue;
        const QVector<QuickListLine> found = QuickListLookup(1, it.caption);
        ASSERT_FALSE(found.isEmpty()) << it.caption.toStdString();
        EXPECT_EQ(found.size(), it.caption == "dup" ? 2 : 1);
    }
    // A user copy wins over the shared one; a missing list shows no menu.
    const QString user = platform::paths::toLocal(GetSpecialFolder(8) + "\\Z5");
    QDir().mkpath(user);
    EXPECT_EQ(ResolveQuickListPath(1), platform::paths::programPath("\\Common\\Z5_LIST_FOLDER.INI"));
    testenv::writeFile(user + "/Z5_LIST_FOLDER.INI", "Mine=1\n");
    ASSERT_TRUE(BuildUserListMenu(m, 1, ResolveQuickListPath(1)));
    EXPECT_EQ(captions(take(m)), (QStringList{"Modify FOLDER LIST ...", "-", "Mine"}));
    EXPECT_FALSE(BuildUserListMenu(m, 2, ResolveQuickListPath(2)));
    // The Tools menu's translation list uses the same reader.
    MenuState s;
    s.translationList = program + "/Common/Z5_LIST_FOLDER.INI";
    BuildToolsMenu(m, s);
    const Item modify = byKey(m, "TOOL_MODIFYLIST");
    EXPECT_EQ(captions(childrenOf(m, modify.parent)),
              (QStringList{"Work", "-", "Mail page", "dup", "dup", ";semi", "-", "Modify Translation List ..."}));
}
