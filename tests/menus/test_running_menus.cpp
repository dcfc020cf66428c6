// The menus of the assembled main window in this process: real clicks on
// the menu bar, the tabs and pages of the window behind the commands, and a
// picture of every menu.

#include "app/browserprogram.h"
#include "browsing/findbar.h"
#include "browsing/explorertabs.h"
#include "browsing/tabbrowsing.h"
#include "core/cleanup.h"
#include "core/globals.h"
#include "core/settingsstore.h"
#include "core/shellnames.h"
#include "mainwindow/frmexplorer.h"
#include "menus/clspopupmenu.h"
#include "menus/menusservice.h"
#include "menus/pagecommands.h"
#include "platform/web/browser.h"
#include "platform/base/com.h"
#include "platform/base/paths.h"
#include "platform/win/prompt.h"

#include "httpserver.h"
#include "menusnapshot.h"
#include "menutesting.h"
#include "pointerentry.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

using namespace menutesting;

namespace {

const bool schemeRegistered = (platform::browser::prepareBeforeApplication(), true);

class RunningMenus : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(schemeRegistered);
        prog = testenv::freshDir(QStringLiteral("Z5"));
        for (const char* sub : {"Common", "Language", "Skin", "Help", "Data"})
            testenv::copyTree(QStringLiteral(Z5_STAGE_DIR "/") + sub, prog + "/" + sub);
        platform::paths::setProgramFolder(prog);
        ASSERT_EQ(platform::com::registerServer(prog + "/Skin/SK_Morvane_1.dll").status,
                  platform::com::RegistrationStatus::Done);
        SkinName = QStringLiteral("Morvane 1");
        LanguageName = QStringLiteral("English");
        LanguageFilePath = prog + "/Language/English.ini";
        SaveZ5Setting(HiveCurrentUser, QStringLiteral("DIS_MAXIMIZE"), QStringLiteral("False"));
        program = std::make_unique<BrowserProgram>(services);
        window = &program->window();
        menus = program->menus();
        window->show();
        window->move(0, 0, 12000, 8000);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window->window(), 5000));
        window->Form_Resize();
        ASSERT_TRUE(testenv::pointerEntersFromElsewhere());
        ASSERT_TRUE(testenv::waitFor([&] { return model().TabCount() >= 1; }, 10000));
    }
    void TearDown() override
    {
        platform::prompt::setResponder({});
        if (window)
            window->unload();
        window = nullptr;
        menus = nullptr;
        program.reset();
    }

    QWindow* handle() const { return window->window()->windowHandle(); }
    TabModel& model() const { return program->tabs()->tabModel(); }
    QPoint centreOf(const platform::forms::Control& c) const
    {
        return c.widget()->mapTo(window->window(), c.widget()->rect().center());
    }
    // A picture of the window with the open menus, then the menus close.
    Step shoot(const QString& name)
    {
        return [this, name] {
            screenPicture(window->window()).save(screenshotDir() + "/menu_" + name + ".png");
            return true;
        };
    }
    int firstRowY() const { return 2 + window->CustomMenu->StandardItemHeight() / 2; }

    QString prog;
    ServiceSet services;
    std::unique_ptr<BrowserProgram> program;
    frmExplorer* window = nullptr;
    MenusService* menus = nullptr;
};

} // namespace

TEST_F(RunningMenus, AClickOnFileNewOpensATab)
{
    const int before = model().TabCount();
    {
        Script script({levels(1), shoot("file"), click(0, firstRowY())});
        QTest::mousePress(handle(), Qt::LeftButton, {}, centreOf(window->cmdMenu[0]));
        QTest::mouseRelease(handle(), Qt::LeftButton, {}, centreOf(window->cmdMenu[0]));
        EXPECT_TRUE(testenv::waitFor([&] { return script.finished(); }, 10000));
    }
    EXPECT_TRUE(testenv::waitFor([&] { return model().TabCount() == before + 1; }, 10000));
    EXPECT_EQ(model().CurrentTab(), before);
}

TEST_F(RunningMenus, TheFavoritesAndHistoryButtonsOpenTheirMenus)
{
    const struct {
        int button;
        const char* title;
    } cases[] = {{0, "FAVORITES"}, {1, "HISTORY"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        QString first;
        Script script({levels(1), check([&] { first = window->CustomMenu->Caption(1); }), key(Qt::Key_Escape)});
        QTest::mousePress(handle(), Qt::LeftButton, {}, centreOf(window->cmdWBControl[c.button]));
        QTest::mouseRelease(handle(), Qt::LeftButton, {}, centreOf(window->cmdWBControl[c.button]));
        EXPECT_TRUE(testenv::waitFor([&] { return script.finished(); }, 10000));
        EXPECT_EQ(first, QString::fromLatin1(c.title));
    }
}

TEST_F(RunningMenus, TabRowsCheckTheTabStillExistsWhenTheyRun)
{
    IMenuCommandHost* host = menus;
    ASSERT_TRUE(host);
    host->openNewTab();
    host->openNewTab();
    ASSERT_EQ(model().TabCount(), 3);
    // The menu listed tab 3; by the time the row runs it may be gone.
    DispatchMenuCommand(*host, {"TABCLOSE", "3", "3 : ", {}});
    ASSERT_TRUE(testenv::waitFor([&] { return model().TabCount() == 2; }, 10000));
    QTest::qWait(200); // the close settles on the tab it shows next
    const int current = model().CurrentTab();
    for (const char* menu : {"TABCLOSE", "TABACTIVATE", "WINDOW1", "WINDOW2"})
        DispatchMenuCommand(*host, {menu, "3", "3 : ", {}});
    QTest::qWait(100);
    EXPECT_EQ(model().TabCount(), 2);
    EXPECT_EQ(model().CurrentTab(), current);
    DispatchMenuCommand(*host, {"TABACTIVATE", "1", "1 : ", {}});
    EXPECT_EQ(model().CurrentTab(), 0);
}

TEST_F(RunningMenus, EveryMenuShows)
{
    // A few tabs, a user list and a favourite to list.
    QDir().mkpath(platform::paths::toLocal(GetSpecialFolder(1)));
    testenv::writeFile(platform::paths::toLocal(GetSpecialFolder(1)) + "/Site.url", "[InternetShortcut]\nURL=http://127.0.0.1:9/\n");
    testenv::writeFile(prog + "/Common/Z5_LIST_FOLDER.INI", "Work=/tmp\n-\nHome=/\n");
    IMenuCommandHost* host = menus;
    ASSERT_TRUE(host);
    host->openNewTab();
    host->openNewTab();
    const struct {
        const char* name;
        std::function<void()> open;
    } cases[] = {
        {"file", [&] { menus->cmdMenu_MouseDown(0, 1, 0); }},
        {"edit", [&] { menus->cmdMenu_MouseDown(1, 1, 0); }},
        {"view", [&] { menus->cmdMenu_MouseDown(2, 1, 0); }},
        {"tools", [&] { menus->cmdMenu_MouseDown(3, 1, 0); }},
        {"window", [&] { menus->cmdMenu_MouseDown(4, 1, 0); }},
        {"favorites", [&] { menus->ShowFavoritesMenu(); }},
        {"history", [&] { menus->ShowHistoryMenu(); }},
        {"help", [&] { menus->ShowHelpMenu(); }},
        {"closetab", [&] { menus->ShowCloseTabMenu(); }},
        {"gototab", [&] { menus->ShowGoToTabMenu(); }},
        {"tablist", [&] { menus->ShowTabListMenu(); }},
        {"userlist", [&] { menus->ShowUserListMenu(1); }},
        {"media", [&] { menus->ShowMediaMenu(); }},
        {"playlist", [&] { menus->ShowPlaylistMenu(6000, 3000, 300, 300); }},
        {"listedit", [&] { menus->ShowListViewEditMenu(6000, 3000); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QRect shown;
        Script script({levels(1), check([&] {
                                   if (QWidget* w = popup(0))
                                       shown = w->geometry();
                               }), shoot(c.name), key(Qt::Key_Escape)});
        c.open();
        EXPECT_TRUE(script.finished());
        EXPECT_FALSE(shown.isEmpty());
        // Help and Close Tab open upward from their buttons.
        if (QByteArrayView(c.name) == "help" || QByteArrayView(c.name) == "closetab") {
            const int button = QByteArrayView(c.name) == "help" ? 0 : 5;
            QWidget* b = window->cmdAppOpt[button].widget();
            if (b->isVisible()) {
                EXPECT_LE(shown.bottom(), b->mapToGlobal(QPoint(0, 0)).y() + 1);
            }
        }
        menus->EndMenuBarMode();
    }
}

// Names from data keep their "&" in the menus: "a & b", no letter underlined.
TEST_F(RunningMenus, NamesFromDataShowTheirAmpersand)
{
    const QString name = QStringLiteral("a & b");
    SaveZ5Setting(HiveCurrentUser, QStringLiteral("Z5_DOWNLOADLIST"), "|" + name);
    const QString favorites = platform::paths::toLocal(GetSpecialFolder(1));
    QDir().mkpath(favorites);
    testenv::writeFile(favorites + "/" + name + ".url", "[InternetShortcut]\nURL=http://127.0.0.1:9/\n");
    testenv::HttpServer server;
    server.serve("/amp.html", "<html><head><title>a &amp; b</title></head><body>page</body></html>");
    // The window opens its start page once it has loaded: a navigation
    // asked before that is replaced by it, so ask again until the page shows.
    const auto titled = [&] { return model().TabTitles().value(model().CurrentTab()) == name; };
    for (int i = 0; i < 10 && !titled(); ++i) {
        services.Tabs().NavigateCurrentTab(server.address("/amp.html"));
        testenv::waitFor(titled, 3000);
    }
    ASSERT_TRUE(titled()) << "the tab's title is " << model().TabTitles().value(model().CurrentTab()).toStdString();
    const struct {
        const char* name;
        std::function<void()> open;
        std::vector<Step> toList; // from the open menu to the one listing the name
    } cases[] = {
        {"window", [&] { menus->cmdMenu_MouseDown(4, 1, 0); }, {}},
        {"favorites", [&] { menus->ShowFavoritesMenu(); }, {}},
        // View Download Status is the media menu's last item.
        {"viewdownloadstatus", [&] { menus->ShowMediaMenu(); }, {key(Qt::Key_Up), key(Qt::Key_Right), levels(2)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QStringList shown;
        std::vector<Step> steps{levels(1)};
        steps.insert(steps.end(), c.toList.begin(), c.toList.end());
        steps.push_back(check([&] {
            const clsPopupMenu& menu = *window->CustomMenu;
            for (int32_t i = 1; i <= menu.Count(); ++i)
                if (menu.Caption(i).endsWith(name))
                    shown << menu.Caption(i) + "|" + menu.Record(i)->mnemonic;
        }));
        steps.push_back(shoot(QStringLiteral("ampersand_") + QLatin1String(c.name)));
        steps.push_back(key(Qt::Key_Escape));
        if (!c.toList.empty())
            steps.push_back(key(Qt::Key_Escape)); // the sub-menu, then its menu
        Script script(std::move(steps));
        c.open();
        EXPECT_TRUE(testenv::waitFor([&] { return script.finished(); }, 10000));
        ASSERT_FALSE(shown.isEmpty()) << "no item shows " << name.toStdString();
        for (const QString& item : shown)
            EXPECT_TRUE(item.endsWith(name + "|")) << item.toStdString();
        menus->EndMenuBarMode();
        platform::menus::endMenu();
    }
}

TEST_F(RunningMenus, AFavouriteNavigatesAndHistoryListsTheVisitAndFindAsksForAWord)
{
    testenv::HttpServer server;
    server.serve("/fav.html", "<html><head><title>Fav</title></head><body>findme here</body></html>");
    const QString favorites = platform::paths::toLocal(GetSpecialFolder(1));
    QDir().mkpath(favorites);
    testenv::writeFile(favorites + "/Site.url", "[InternetShortcut]\nURL=" + server.address("/fav.html").toUtf8() + "\n");
    {
        // The title's sub-menu head, OPEN ALL, then the shortcut.
        Script script({levels(1), key(Qt::Key_Down), key(Qt::Key_Down), key(Qt::Key_Down), key(Qt::Key_Return)});
        menus->ShowFavoritesMenu();
        EXPECT_TRUE(script.finished());
    }
    ASSERT_TRUE(testenv::waitFor([&] { return server.requestsFor("/fav.html") == 1; }, 30000));
    ASSERT_TRUE(testenv::waitFor([&] { return model().TabTitles().value(model().CurrentTab()) == "Fav"; }, 30000));
    // The visit is in the history store.
    int32_t count = 0;
    EXPECT_TRUE(testenv::waitFor(
        [&] { return ListVisitedHistory(false, false, count).contains(server.address("/fav.html")); }, 10000));

    // The History menu lists it when its views open, as the menu fills them.
    clsPopupMenu& menu = *window->CustomMenu;
    BuildHistoryMenu(menu);
    for (const char* view : {"VIEWORDER2", "VIEWORDER0"}) {
        const int32_t at = menusnapshot::byKey(menu, view).index;
        menu.events().InitPopupMenu(at);
        const QStringList listed = menusnapshot::captions(menusnapshot::childrenOf(menu, at));
        if (QByteArrayView(view) == "VIEWORDER2") {
            EXPECT_TRUE(listed.contains(server.address("/fav.html"))) << listed.join(' ').toStdString();
        } else {
            ASSERT_FALSE(listed.isEmpty());
            EXPECT_EQ(listed[0], QDate::currentDate().toString("MMddyyyy"));
        }
    }

    // Edit > Find opens the find bar of the page.
    IBrowser* page = services.Tabs().CurrentBrowser();
    ASSERT_NE(page, nullptr);
    {
        Script script({levels(1), shoot("edit_on_page"), typeText("f")});
        menus->cmdMenu_MouseDown(1, 1, 0);
        EXPECT_TRUE(script.finished());
    }
    FindBar* bar = nullptr;
    ASSERT_TRUE(testenv::waitFor(
        [&] {
            for (QWidget* w : window->PicHolder[0].widget()->findChildren<QWidget*>())
                if (auto* found = dynamic_cast<FindBar*>(w))
                    bar = found;
            return bar && bar->isVisible();
        },
        5000));
    QTest::keyClicks(bar->box(), "findme");
    QTest::keyClick(bar->box(), Qt::Key_Return);
    EXPECT_TRUE(testenv::waitFor([&] { return bar->resultText() == "1 matches"; }, 10000)) << bar->resultText().toStdString();
    screenPicture(window->window()).save(screenshotDir() + "/menu_findbar.png");
}
