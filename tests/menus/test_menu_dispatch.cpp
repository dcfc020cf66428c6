#include "core/globals.h"
#include "core/shellnames.h"
#include "mainwindow/explorerstate.h"
#include "menus/menucommands.h"
#include "menus/menuoperations.h"
#include "platform/base/paths.h"
#include "tests/support/recordingservices.h"
#include "tests/support/testenv.h"

#include <QDir>

#include <gtest/gtest.h>

#include <iostream>
#include <set>

namespace {

// Records every call as "name(args)".
class RecordingHost : public IMenuCommandHost {
public:
    ExplorerState st;
    QStringList calls;
    int current = 2;
    ExplorerState& state() override { return st; }
    void saveSetting(const QString& n, const QString& v) override { calls << QStringLiteral("save(%1=%2)").arg(n, v); }
    void openNewTab() override { calls << "openNewTab()"; }
    void closeTab(int t) override { calls << QStringLiteral("closeTab(%1)").arg(t); }
    void closeTabs(int m) override { calls << QStringLiteral("closeTabs(%1)").arg(m); }
    void goToTab(int t) override { calls << QStringLiteral("goToTab(%1)").arg(t); }
    void selectTabFromMenu(int t) override { calls << QStringLiteral("selectTabFromMenu(%1)").arg(t); }
    void clearTabs(bool all, int t) override { calls << QStringLiteral("clearTabs(%1,%2)").arg(all).arg(t); }
    int currentTab() const override { return current; }
    int tabMenuTab() const override { return 5; }
    void pageCommand(PageCommand c) override { calls << QStringLiteral("page(%1)").arg(static_cast<int>(c)); }
    void setTextSize(int z) override { calls << QStringLiteral("textSize(%1)").arg(z); }
    void navigateText(const QString& t, bool noHistory) override
    {
        calls << QStringLiteral("navigate(%1,%2)").arg(t).arg(noHistory);
    }
    void openStartPage() override { calls << "openStartPage()"; }
    void stopBrowsing() override { calls << "stop()"; }
    void refreshPage() override { calls << "refresh()"; }
    void openSearchPage() override { calls << "openSearchPage()"; }
    void toggleBar(const QString& k) override { calls << QStringLiteral("toggle(%1)").arg(k); }
    void setArrangeMode(const QString& k) override { calls << QStringLiteral("arrange(%1)").arg(k); }
    void reapplySkin() override { calls << "reapplySkin()"; }
    void startProgram(const QString& p) override { calls << QStringLiteral("start(%1)").arg(p); }
    void showMessage(const QString& t) override { calls << QStringLiteral("message(%1)").arg(t); }
    void clearHistory() override { calls << "clearHistory()"; }
    void showAbout() override { calls << "about()"; }
    void openPreferences() override { calls << "preferences()"; }
    void flipDisplayOption(int n) override { calls << QStringLiteral("flipOption(%1)").arg(n); }
    void makeDefaultBrowser() override { calls << "makeDefault()"; }
    void organizeFavorites() override { calls << "organize()"; }
    void mailPageLink() override { calls << "mailPageLink()"; }
    void openInOfficeProgram(int n) override { calls << QStringLiteral("office(%1)").arg(n); }
    void toggleWorkOffline() override { calls << "toggleWorkOffline()"; }
    void viewPageSource() override { calls << "viewPageSource()"; }
    void translatePage(const QString& name) override { calls << QStringLiteral("translate(%1)").arg(name); }
    void editListFile(int n) override { calls << QStringLiteral("editListFile(%1)").arg(n); }
    void synchronizeOfflinePages() override { calls << "synchronize()"; }
    void showImageViewerTab() override { calls << "showImageViewerTab()"; }
    void quickListLookup(int n, const QString& name) override { calls << QStringLiteral("quickList(%1,%2)").arg(n).arg(name); }
    void deferred(const QString& op) override { calls << QStringLiteral("deferred:%1").arg(op); }
};

} // namespace

TEST(MenuDispatch, RowsReachTheirTargets)
{
    const QString program = testenv::freshDir("program");
    platform::paths::setProgramFolder(program);
    const struct {
        const char* menu;
        const char* key;
        const char* caption;
        QStringList calls;
    } cases[] = {
        {"FILE", "FILE_NEW", "", {"openNewTab()"}},
        {"FILE", "FILE_SAVEAS", "", {"page(8)"}},
        {"FILE", "FILE_PRINT", "", {"page(5)"}},
        {"FILE", "FILE_PRINTPREVIEW", "", {"page(6)"}},
        {"FILE", "FILE_PROPERTIES", "", {"page(9)"}},
        {"FILE", "FILE_CLOSEOPTION0", "", {"closeTab(2)"}},
        {"FILE", "FILE_CLOSEOPTION3", "", {"closeTabs(3)"}},
        {"FILE", "FILE_EDIT4", "", {"office(4)"}},
        {"FILE", "FILE_SEND1", "", {"mailPageLink()"}},
        {"FILE", "FILE_WORKOFFLINE", "", {"toggleWorkOffline()"}},
        {"EDIT", "EDIT_CUT", "", {"page(0)"}},
        {"EDIT", "EDIT_COPY", "", {"page(1)"}},
        {"EDIT", "EDIT_PASTE", "", {"page(2)"}},
        {"EDIT", "EDIT_SELECTALL", "", {"page(3)"}},
        {"EDIT", "EDIT_FIND", "", {"page(4)"}},
        {"EDIT", "EDIT_REFERENCES", "", {"preferences()"}},
        {"VIEW", "VIEW_TBAR2", "", {"toggle(VIEW_TBAR2)"}},
        {"VIEW", "VIEW_TEXTSIZE0", "", {"textSize(4)"}},
        {"VIEW", "VIEW_TEXTSIZE4", "", {"textSize(0)"}},
        {"VIEW", "VIEW_CLEAR", "", {"clearTabs(0,-1)"}},
        {"VIEW", "VIEW_CLEARALL", "", {"clearTabs(1,-1)"}},
        {"VIEW", "VIEW_SKIN", "Blue Sky", {"save(Z5_SKINNAME=Blue Sky)", "reapplySkin()"}},
        {"VIEW", "VIEW_LANGUAGE", "German",
         {"save(Z5_LANGUAGE=German)", "message(Restart Z5 is required for the changes to take affect)"}},
        {"VIEW", "VIEW_DELETESKIN", "", {"start(\\Tool\\Z5SkinRemoval.exe)"}},
        {"VIEW", "VIEW_ENCODE1", "", {}},
        {"VIEW", "VIEW_SOURC", "", {"viewPageSource()"}},
        {"TOOL", "TOOL_POPUP3", "", {"save(OPT_POPUPCONTROL=3)"}},
        {"TOOL", "TOOL_POPUP1", "", {}},
        {"TOOL", "TOOL_DOWNLOAD5", "", {"flipOption(5)"}},
        {"TOOL", "TOOL_DEFAULTBROWSER", "", {"makeDefault()"}},
        {"TOOL", "TOOL_FILEUTILITIES", "", {}},
        {"TOOL", "TOOL_TRANSLATE", "French", {"translate(French)"}},
        {"TOOL", "TOOL_MODIFYLIST", "", {"editListFile(0)"}},
        {"TOOL", "TOOL_SYNCHRONIZE", "", {"synchronize()"}},
        {"WINDOW1", "NEW", "", {"start(\\Z5.exe)"}},
        {"WINDOW1", "A0", "", {"arrange(A0)"}},
        {"WINDOW1", "3", "", {"goToTab(2)"}},
        {"WINDOW1", "x3", "", {}},
        {"WINDOW1", "40000", "", {}},
        {"WINDOW1", "0", "", {}},
        {"WINDOW2", "12", "", {"selectTabFromMenu(11)"}},
        {"TABCLOSE", "2", "", {"closeTab(1)"}},
        {"TABCLOSE", "CLOSEOPTION0", "", {"closeTab(2)"}},
        {"TABCLOSE", "CLOSEOPTION1", "", {"closeTabs(1)"}},
        {"TABCLOSE", "-1", "", {}},
        {"TABACTIVATE", "32767", "", {"goToTab(32766)"}},
        {"TABACTIVATE", "32768", "", {}},
        {"TABHANDLE", "OPTION0", "", {"closeTab(5)"}},
        {"TABHANDLE", "OPTION1", "", {"clearTabs(0,5)"}},
        {"HISTORY", "CLEARHISTORY", "", {"clearHistory()"}},
        {"HISTORY", "", "http://127.0.0.1/a", {"navigate(http://127.0.0.1/a,1)"}},
        {"FAVORITES", "FAV_SORTDES", "", {"save(OPT_FAVORITESSORTORDER=1)"}},
        {"FAVORITES", "ORGFAVORITES", "", {"organize()"}},
        {"MHELP", "MHELP_PL6", "", {"about()"}},
        {"MHELP", "MHELP_PL0", "", {"navigate(" + platform::paths::programPath("\\HELP\\Index.htm") + ",1)"}},
        {"MLISTVIEWEDIT", "MLISTVIEWEDIT3", "", {"deferred:ClearCurrentList(True)"}},
        {"MOPTION", "MOPTION_MOD2", "", {"editListFile(2)"}},
        {"MOPTION", "MOPTION_EXE3", "Work", {"quickList(3,Work)"}},
        {"MMEDIA", "MMEDIA_VIEWSTAT", "Music", {"navigate(" + platform::paths::programPath("\\Data\\Music.HTM") + ",0)"}},
        {"MMEDIA", "MMEDIA_VIEWSTAT", "../x", {}},
        {"MMEDIA", "MMEDIA_VIEWSTAT", "a\\..\\..\\b", {}},
        {"MMEDIA", "MMEDIA_VIEWSET6", "", {"showImageViewerTab()"}},
        {"MPLAYLIST", "MPLAYLIST_CMODE4", "", {"toggle(SHOW_SIDEPANE)", "deferred:ShowCurrentList(4)"}},
        {"MPLAYLIST", "MPLAYLIST_CMODE3_5", "", {"deferred:AddAllFilesInFolder(3)"}},
        {"MPLAYLIST", "MPLAYLIST_CMODE4_4", "", {"deferred:ShowSnippetViewPage(1)"}},
        {"MPLAYLIST", "MPLAYLIST_CMODE6_5", "", {"deferred:StartListDownload(6, True, 1)"}},
        {"MPLAYLIST", "MPLAYLIST_CMODE5_6", "", {}},
        {"MPLAYLIST", "MPLAYLIST_PLCLOSE", "", {"toggle(VIEW_PLAYLIST)"}},
        {"file", "FILE_NEW", "", {}},
        {"FILE", "file_new", "", {}},
        {"NOSUCH", "FILE_NEW", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.menu) + " " + c.key + " " + c.caption);
        RecordingHost h;
        DispatchMenuCommand(h, {c.menu, c.key, QString::fromUtf8(c.caption), {}});
        EXPECT_EQ(h.calls, c.calls);
    }
}

TEST(MenuDispatch, StateRowsWriteTextSettings)
{
    RecordingHost h;
    h.st.FavoritesFolderFirst = -1;
    DispatchMenuCommand(h, {"FAVORITES", "FAV_FOLDER1ST", {}, {}});
    DispatchMenuCommand(h, {"FAVORITES", "FAV_FOLDER1ST", {}, {}});
    EXPECT_EQ(h.calls, (QStringList{"save(OPT_FAVORITESFOLDER1ST=False)", "save(OPT_FAVORITESFOLDER1ST=True)"}));
    EXPECT_NE(h.st.FavoritesFolderFirst, 0);
    DispatchMenuCommand(h, {"TOOL", "TOOL_POPUP4", {}, {}});
    EXPECT_EQ(h.st.PopupControlMode, 4);
    DispatchMenuCommand(h, {"FAVORITES", "FAV_SORTDES", {}, {}});
    EXPECT_EQ(h.st.FavoritesSortOrder, 1);
    DispatchMenuCommand(h, {"MMEDIA", "MMEDIA_REPEAT2", {}, {}});
    DispatchMenuCommand(h, {"MMEDIA", "MMEDIA_SHUFFL1", {}, {}});
    EXPECT_NE(h.st.RepeatFlags[2], 0);
    EXPECT_NE(h.st.ShuffleFlags[1], 0);
    DispatchMenuCommand(h, {"MPLAYLIST", "MPLAYLIST_CMODE4", {}, {}});
    EXPECT_EQ(h.st.CurrentListKind, 4);
    h.st.CollectionFormat = "111111";
    DispatchMenuCommand(h, {"MPLAYLIST", "MPLAYLIST_FORMAT3", {}, {}});
    EXPECT_EQ(h.st.CollectionFormat, "110111");
    DispatchMenuCommand(h, {"MPLAYLIST", "MPLAYLIST_FORMAT3", {}, {}});
    EXPECT_EQ(h.st.CollectionFormat, "111111");
    h.st.CollectionFormat = "117111";
    DispatchMenuCommand(h, {"MPLAYLIST", "MPLAYLIST_FORMAT3", {}, {}});
    EXPECT_EQ(h.st.CollectionFormat, "110111");
    CloseRequested = 0;
    DispatchMenuCommand(h, {"FILE", "FILE_CLOSE", {}, {}});
    EXPECT_NE(CloseRequested, 0);
    CloseRequested = 0;
}

TEST(MenuDispatch, FavoritesOpenTheirShortcutsOnly)
{
    const QString fav = platform::paths::toLocal(GetSpecialFolder(1));
    ASSERT_FALSE(fav.isEmpty());
    QDir(fav).mkpath("News");
    QDir(fav).mkpath(QString::fromUtf8("Straße"));
    testenv::writeFile(fav + "/News/Good.url", "[InternetShortcut]\r\nURL=http://127.0.0.1:9/good\r\n");
    testenv::writeFile(fav + "/News/NoUrl.url", "[InternetShortcut]\r\nIconIndex=0\r\n");
    const struct {
        const char* path;
        QStringList calls;
    } cases[] = {
        {"News\\Good", {"navigate(http://127.0.0.1:9/good,1)"}},
        {"News\\NoUrl", {}},
        {"News\\Missing", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        RecordingHost h;
        DispatchMenuCommand(h, {"FAVORITES", "", "x", c.path});
        EXPECT_EQ(h.calls, c.calls);
    }
    // OPEN ALL hands the folder of its level to the next timer tick.
    RecordingHost h;
    DispatchMenuCommand(h, {"FAVORITES", "OPEN ALL", "OPEN ALL", "News\\OPEN ALL"});
    EXPECT_EQ(h.st.PendingUrl, GetSpecialFolder(1) + "\\News\\");
    DispatchMenuCommand(h, {"FAVORITES", "OPEN ALL", "OPEN ALL", QString::fromUtf8("Straße\\OPEN ALL")});
    EXPECT_EQ(h.st.PendingUrl, GetSpecialFolder(1) + QString::fromUtf8("\\Straße\\"));
    DispatchMenuCommand(h, {"FAVORITES", "OPEN ALL", "OPEN ALL", "OPEN ALL"});
    EXPECT_EQ(h.st.PendingUrl, GetSpecialFolder(1) + "\\");
    EXPECT_TRUE(h.calls.isEmpty());
}

// Lists the operations whose rows still end in a subsystem that is not in
// the program yet (they only reach the host's deferred call).
TEST(MenuDispatch, PrintsTheOperationsStillServedByAStandIn)
{
    std::set<std::string> ops;
    for (const CommandRow& r : CommandRows()) {
        RecordingHost h;
        const QString key = r.key == "*" ? QStringLiteral("1") : r.key;
        r.run(h, {r.menuName, key, "caption", {}});
        for (const QString& c : h.calls)
            if (c.startsWith("deferred:"))
                ops.insert(QString(r.menuName + " " + r.key + " -> " + c.mid(9)).toStdString());
    }
    std::cout << "Menu rows still served by a stand-in:\n";
    for (const std::string& s : ops)
        std::cout << "  " << s << "\n";
    EXPECT_FALSE(ops.empty());
}

// A row that defers its work names an operation the running program knows:
// one it does not know is dropped, and the row does nothing when picked.
TEST(MenuDispatch, EveryDeferredOperationReachesAService)
{
    // Opening the system's internet options has no counterpart here.
    const QStringList unserved = {"InternetOptions"};
    for (const CommandRow& r : CommandRows()) {
        RecordingHost h;
        r.run(h, {r.menuName, r.key == "*" ? QStringLiteral("1") : r.key, "caption", {}});
        for (const QString& c : h.calls) {
            if (!c.startsWith("deferred:"))
                continue;
            const QString op = c.mid(9);
            if (unserved.contains(ParseMenuOperation(op).name))
                continue;
            ServiceSet set;
            RecordingServices services(set);
            ExplorerState state;
            EXPECT_TRUE(RunMenuOperation(set, state, op)) << QString(r.menuName + " " + r.key + " -> " + op).toStdString();
            EXPECT_FALSE(services.calls.isEmpty()) << op.toStdString();
        }
    }
}
