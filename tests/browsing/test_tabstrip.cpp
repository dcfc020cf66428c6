// The tab strip, the current-tab display, the multi-view panes with their
// splitter bars and the menu bar's roll-over on the running main window,
// with real pages from a loopback server and real mouse input.

#include "app/browserprogram.h"
#include "browsing/currenttabdisplay.h"
#include "browsing/explorertabs.h"
#include "browsing/tabbrowsing.h"
#include "browsing/tabstaterecord.h"
#include "core/globals.h"
#include "core/skinbinding.h"
#include "core/settingsstore.h"
#include "core/shellnames.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/hovertracking.h"
#include "mainwindow/multiview.h"
#include "menus/clspopupmenu.h"
#include "menus/menubar.h"
#include "platform/web/browser.h"
#include "platform/base/com.h"
#include "platform/base/paths.h"
#include "platform/win/popupmenus.h"

#include "recordingservices.h"
#include "httpserver.h"
#include "pointerentry.h"
#include "testenv.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

const bool schemeRegistered = (platform::browser::prepareBeforeApplication(), true);
const QString kMorvane = QStringLiteral(Z5_STAGE_DIR "/Skin/SK_Morvane_1.dll");

QString screenshotFolder()
{
    const QString dir = qEnvironmentVariableIsSet("Z5_SCREENSHOT_DIR") ? qEnvironmentVariable("Z5_SCREENSHOT_DIR")
                                                                       : QStringLiteral(Z5_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    return dir;
}

bool showsPicture(const platform::forms::PictureBox& box, int16_t id)
{
    const auto expected = GetSkinPicture(id, 0);
    return expected && !box.picture().isNull() && box.picture().toImage() == expected->toImage();
}

// The pure rules: button captions, displayed addresses, blank tabs.
TEST(TabStripRules, CaptionsAddressesAndBlankTabs)
{
    const struct {
        const char* title;
        const char* caption;
    } captions[] = {
        {"", ""},
        {"Twelve chars", "Twelve chars"},
        {"Thirteen char", "Thirteen ch ..."},
        {"<img src=x>", "<img src=x>"},
    };
    for (const auto& c : captions)
        EXPECT_EQ(CurrentTabDisplay::ButtonCaption(QString::fromUtf8(c.title)), QString::fromUtf8(c.caption)) << c.title;

    const struct {
        const char* url;
        const char* shown;
    } addresses[] = {
        {"file:///tmp/My%20X/a.htm", "/tmp/My X/a.htm"},
        {"file:///tmp/%C3%A4%25/b.htm", "/tmp/\xC3\xA4%/b.htm"},
        {"http://127.0.0.1/a%20b", "http://127.0.0.1/a%20b"},
    };
    for (const auto& a : addresses)
        EXPECT_EQ(CurrentTabDisplay::DisplayAddress(QString::fromUtf8(a.url)), QString::fromUtf8(a.shown)) << a.url;

    const struct {
        int mode, tabs;
        QVector<int> added;
    } blanks[] = {
        {4, 1, {1, 2}}, {7, 2, {2}}, {5, 3, {}}, {8, 1, {1}}, {9, 2, {}},
        {10, 1, {1, 2, 3}}, {10, 2, {2, 3}}, {10, 3, {3}}, {1, 1, {}}, {0, 1, {}},
    };
    for (const auto& b : blanks)
        EXPECT_EQ(BlankTabsForViewMode(b.mode, b.tabs), b.added) << b.mode << " " << b.tabs;
}

class ProgramWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(schemeRegistered);
        ASSERT_EQ(platform::com::registerServer(kMorvane).status, platform::com::RegistrationStatus::Done);
        platform::paths::setProgramFolder(QStringLiteral(Z5_STAGE_DIR));
        SkinName = QStringLiteral("Morvane 1");
        LanguageFilePath = QStringLiteral(Z5_SOURCE_DIR "/data/Language/English.ini");
        SaveZ5Setting(HiveCurrentUser, QStringLiteral("DIS_MAXIMIZE"), QStringLiteral("False"));
        const char* colours[] = {"#ff0000", "#00c000", "#0000ff", "#ffd700"};
        for (int i = 0; i < 24; ++i) {
            const QByteArray body = "<html><head><title>" + titleOf(i).toHtmlEscaped().toUtf8()
                                    + "</title></head><body style='margin:0;background:" + QByteArray(colours[(i + i / 4) % 4])
                                    + "'></body></html>";
            server.serve(QStringLiteral("/p%1").arg(i), body);
        }
    }
    void TearDown() override
    {
        window = nullptr;
        program.reset();
        GroupOpening = 0;
    }

    static QString titleOf(int i)
    {
        switch (i) {
        case 0: return QStringLiteral("Twelve chars");
        case 1: return QStringLiteral("Thirteen char");
        case 2: return QStringLiteral("<img src=x>");
        default: return QStringLiteral("Page %1").arg(i);
        }
    }

    frmExplorer& open(double width = 9200, double height = 6675)
    {
        program = std::make_unique<BrowserProgram>(services, BrowserProgram::Parts{true, realMenus});
        window = &program->window();
        window->show();
        window->move(0, 0, width, height);
        window->window()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window->window(), 5000));
        window->Form_Resize();
        tabs = &program->tabs()->model();
        // The first tick opens the blank page in tab 0.
        EXPECT_TRUE(testenv::waitFor([&] { return window->TimerStage == 9; }, 10000));
        EXPECT_TRUE(testenv::pointerEntersFromElsewhere());
        QTest::mouseMove(handle(), centreOf(window->PicHolder[0]));
        return *window;
    }
    QWindow* handle() const { return window->window()->windowHandle(); }
    TabModel& model() const { return program->tabs()->tabModel(); }
    QPoint centreOf(const platform::forms::Control& c) const
    {
        return c.widget()->mapTo(window->window(), c.widget()->rect().center());
    }
    IBrowser* browserOf(int tab) const { return tabs->WBMAIN(model().TabBrowserMap().value(tab, -1)); }
    bool load(int tab, int page)
    {
        IBrowser* b = browserOf(tab);
        if (!b)
            return false;
        const QString url = server.address(QStringLiteral("/p%1").arg(page));
        b->navigate2(url);
        return testenv::waitFor([&] {
            return b->readyState() == platform::browser::ReadyComplete && b->locationURL() == url
                   && model().TabTitles().value(tab) == titleOf(page);
        }, 30000);
    }
    // Tabs 0 .. n-1, tab k showing page k; tab 0 stays current.
    void openPages(int n)
    {
        ASSERT_TRUE(load(0, 0));
        for (int k = 1; k < n; ++k) {
            tabs->NewTab(k, true, true);
            ASSERT_TRUE(load(k, k)) << k;
        }
        tabs->GoToTab(0);
    }
    // The window as wide as a strip with room for `buttons` tab buttons.
    void fitButtons(int buttons)
    {
        const double label = window->APPLabel[3].width();
        const double inner = buttons * window->cmdTabNum[0].width() + label + 200;
        window->move(0, 0, inner + window->SkinPiece[7].width() + window->SkinPiece[5].width(), window->height());
        window->Form_Resize();
    }
    int fit() const { return program->tabs()->TabButtonsThatFit(); }
    QStringList buttonCaptions() const
    {
        QStringList out;
        for (int i = 0; i < window->TabButtonsShown; ++i)
            out << window->cmdTabNum[i].centredText();
        return out;
    }

    ServiceSet services;
    RecordingServices fakes{services}; // the subsystems around the window; the tabs are the program's
    bool realMenus = false;            // the program's menus over the fakes
    testenv::HttpServer server;
    std::unique_ptr<BrowserProgram> program;
    frmExplorer* window = nullptr;
    TabBrowsing* tabs = nullptr;
};

TEST_F(ProgramWindow, TheStripShowsTitlesAndFollowsTheCurrentTab)
{
    frmExplorer& f = open(13500, 7000);
    openPages(8);
    EXPECT_EQ(f.APPLabel[3].caption(), QStringLiteral("... 8  "));
    ASSERT_GE(fit(), 8);
    EXPECT_EQ(buttonCaptions().mid(0, 4), (QStringList{QStringLiteral("Twelve chars"), QStringLiteral("Thirteen ch ..."),
                                                       QStringLiteral("<img src=x>"), QStringLiteral("Page 3")}));
    EXPECT_EQ(f.cmdTabNum[2].toolTipText(), QStringLiteral(" <img src=x> "));
    EXPECT_TRUE(showsPicture(f.cmdTabNum[0], 399));
    for (int i = 1; i < 8; ++i)
        EXPECT_TRUE(showsPicture(f.cmdTabNum[i], 400)) << i;
    const QRect strip(f.ImageBox[8].widget()->mapTo(f.window(), QPoint(0, 0)), f.ImageBox[8].widget()->size());
    EXPECT_TRUE(f.window()->grab(strip).save(screenshotFolder() + QStringLiteral("/z5-tabstrip-titles.png")));

    // Room for five buttons: the strip scrolls to keep the current tab shown.
    fitButtons(5);
    ASSERT_EQ(fit(), 5);
    EXPECT_EQ(f.TabButtonsShown, 5);
    tabs->GoToTab(6);
    EXPECT_EQ(f.TabButtonOffset, 2);
    EXPECT_EQ(buttonCaptions(), (QStringList{QStringLiteral("<img src=x>"), QStringLiteral("Page 3"), QStringLiteral("Page 4"),
                                             QStringLiteral("Page 5"), QStringLiteral("Page 6")}));
    EXPECT_TRUE(showsPicture(f.cmdTabNum[4], 399));
    EXPECT_TRUE(f.window()->grab(QRect(strip.topLeft(), QSize(f.window()->width(), strip.height())))
                    .save(screenshotFolder() + QStringLiteral("/z5-tabstrip-scrolled.png")));
    tabs->GoToTab(1);
    EXPECT_EQ(f.TabButtonOffset, 1);
    // Button 1 (tab 2) under the pointer, then left: its normal picture
    // comes back although its index is the current tab's number.
    QTest::mouseMove(handle(), centreOf(f.cmdTabNum[1]));
    EXPECT_EQ(f.Hover().HoverElementId(), 3101);
    EXPECT_TRUE(showsPicture(f.cmdTabNum[1], 401));
    f.Hover().SetHoverElement(f.Hover().HoverElementId());
    EXPECT_TRUE(showsPicture(f.cmdTabNum[1], 400));

    // A wider window shows every tab from the first: no button is left
    // standing for a tab past the last.
    tabs->GoToTab(7);
    EXPECT_EQ(f.TabButtonOffset, 3);
    fitButtons(8);
    EXPECT_EQ(f.TabButtonOffset, 0);
    EXPECT_EQ(buttonCaptions().size(), 8);
    EXPECT_EQ(buttonCaptions().last(), QStringLiteral("Page 7"));

    // Closing tabs at the end never leaves a button for a missing tab.
    fitButtons(5);
    tabs->GoToTab(7);
    EXPECT_EQ(f.TabButtonOffset, 3);
    for (int t : {7, 6, 5, 4}) {
        tabs->CloseTab(t, false);
        EXPECT_LE(f.TabButtonOffset, std::max(0, model().TabCount() - fit())) << t;
        EXPECT_LE(f.TabButtonOffset + f.TabButtonsShown, model().TabCount()) << t;
        for (int i = f.TabButtonsShown; i <= f.cmdTabNum.ubound(); ++i)
            EXPECT_FALSE(f.cmdTabNum[i].visible()) << i;
    }
    EXPECT_EQ(f.TabButtonOffset, 0);
    EXPECT_EQ(f.TabButtonsShown, 4);
}

TEST_F(ProgramWindow, AShellFolderNameShowsInCaptionAndAddressAndUpLeadsAboveIt)
{
    frmExplorer& f = open(12500, 7000);
    const QString dir = testenv::freshDir(QStringLiteral("a folder"));
    ASSERT_TRUE(testenv::writeFile(dir + QStringLiteral("/bin.htm"),
                                   "<html><head><title>recycle BIN</title></head><body></body></html>"));
    const QString desktop = GetSpecialFolder(5);
    ASSERT_TRUE(QDir().mkpath(desktop));
    IBrowser* b = browserOf(0);
    ASSERT_NE(b, nullptr);
    b->navigate2(QUrl::fromLocalFile(dir + QStringLiteral("/bin.htm")).toString());
    ASSERT_TRUE(testenv::waitFor([&] { return model().TabTitles().value(0) == QLatin1String("recycle BIN"); }, 30000));
    program->tabs()->RefreshCurrentTabChrome();
    EXPECT_EQ(f.caption(), QStringLiteral("recycle BIN"));
    EXPECT_EQ(f.WBTextBox[0].text(), QStringLiteral("recycle BIN")) << "the folder's name in place of its address";
    EXPECT_TRUE(f.WBTextBox[1].text().startsWith(QStringLiteral("recycle BIN"))) << f.WBTextBox[1].text().toStdString();

    // Up from the recycle bin is the desktop.
    program->tabs()->GoUpOneLevel();
    EXPECT_TRUE(testenv::waitFor([&] { return QUrl(b->locationURL()).toLocalFile().startsWith(desktop); }, 30000))
        << b->locationURL().toStdString();

    // An ordinary page shows its address and goes to its folder.
    ASSERT_TRUE(testenv::writeFile(dir + QStringLiteral("/page.htm"), "<html><head><title>page</title></head></html>"));
    b->navigate2(QUrl::fromLocalFile(dir + QStringLiteral("/page.htm")).toString());
    ASSERT_TRUE(testenv::waitFor([&] { return model().TabTitles().value(0) == QLatin1String("page"); }, 30000));
    program->tabs()->RefreshCurrentTabChrome();
    EXPECT_EQ(f.WBTextBox[0].text(), dir + QStringLiteral("/page.htm"));
    EXPECT_EQ(f.caption(), QStringLiteral("page"));
}

TEST_F(ProgramWindow, RealMouseOnTheStrip)
{
    realMenus = true; // the tab menu is the program's
    frmExplorer& f = open(12500, 7000);
    openPages(6);
    // Tab 1 gets a history while it is current: Back becomes possible there.
    // Tab 2 was never current and has none.
    tabs->GoToTab(1);
    ASSERT_TRUE(load(1, 10));
    ASSERT_TRUE(load(1, 1));
    ASSERT_TRUE(testenv::waitFor([&] { return f.cmdWBControl[2].enabled(); }, 5000));
    const QImage backEnabled = f.cmdWBControl[2].picture().toImage();
    tabs->GoToTab(2);
    EXPECT_FALSE(f.cmdWBControl[2].enabled());
    const QImage backDisabled = f.cmdWBControl[2].picture().toImage();
    EXPECT_NE(backEnabled, backDisabled);
    tabs->GoToTab(0);

    QTest::mouseMove(handle(), centreOf(f.cmdTabNum[1]));
    QTest::mouseClick(handle(), Qt::LeftButton, {}, centreOf(f.cmdTabNum[1]));
    EXPECT_EQ(model().CurrentTab(), 1);
    EXPECT_EQ(f.WBTextBox[0].text(), server.address(QStringLiteral("/p1")));
    EXPECT_EQ(f.caption(), QStringLiteral("Thirteen char"));
    EXPECT_EQ(f.WBTextBox[2].text(), QStringLiteral("2"));
    EXPECT_TRUE(f.cmdWBControl[2].enabled());
    EXPECT_EQ(f.cmdWBControl[2].picture().toImage(), backEnabled);
    EXPECT_TRUE(showsPicture(f.cmdTabNum[1], 399));
    EXPECT_TRUE(showsPicture(f.cmdTabNum[0], 400));

    QTest::mouseClick(handle(), Qt::LeftButton, {}, centreOf(f.cmdTabNum[2]));
    EXPECT_EQ(model().CurrentTab(), 2);
    EXPECT_EQ(f.caption(), QStringLiteral("<img src=x>"));
    EXPECT_FALSE(f.cmdWBControl[2].enabled());
    EXPECT_EQ(f.cmdWBControl[2].picture().toImage(), backDisabled);

    // A double click closes the tab under it.
    QTest::mouseDClick(handle(), Qt::LeftButton, {}, centreOf(f.cmdTabNum[3]));
    EXPECT_TRUE(testenv::waitFor([&] { return model().TabCount() == 5; }, 3000));
    EXPECT_FALSE(model().TabTitles().contains(QStringLiteral("Page 3")));

    // The close button closes the current tab.
    tabs->GoToTab(1);
    QTest::mouseClick(handle(), Qt::LeftButton, {}, centreOf(*f.cmdCloseTab));
    EXPECT_TRUE(testenv::waitFor([&] { return model().TabCount() == 4; }, 3000));
    EXPECT_FALSE(model().TabTitles().contains(QStringLiteral("Thirteen char")));
    EXPECT_EQ(f.APPLabel[3].caption(), QStringLiteral("... 4  "));

    // Right click on tab 2 ("Page 4"); while the menu is open a timer tick
    // closes tab 0; "Close" still closes "Page 4".
    ASSERT_EQ(model().TabTitles().value(2), QStringLiteral("Page 4"));
    bool picked = false;
    QTimer::singleShot(300, [&] {
        tabs->CloseTab(0, false);
        const auto popups = platform::menus::openPopups();
        if (popups.empty())
            return;
        QWidget* menu = popups.front();
        QTest::mouseClick(menu, Qt::LeftButton, {}, QPoint(menu->width() / 2, 8));
        picked = true;
    });
    QTest::mousePress(handle(), Qt::RightButton, {}, centreOf(f.cmdTabNum[2]));
    QTest::mouseRelease(handle(), Qt::RightButton, {}, centreOf(f.cmdTabNum[2]));
    ASSERT_TRUE(testenv::waitFor([&] { return picked; }, 5000));
    EXPECT_TRUE(testenv::waitFor([&] { return model().TabCount() == 2; }, 3000));
    EXPECT_EQ(model().TabTitles().mid(0, 2), (QStringList{QStringLiteral("<img src=x>"), QStringLiteral("Page 5")}));
}

TEST_F(ProgramWindow, AHeldNextTabButtonStepsOnUntilReleased)
{
    frmExplorer& f = open(12500, 7000);
    openPages(3);
    ASSERT_TRUE(f.cmdAppOpt[7].visible());
    const QPoint next = centreOf(f.cmdAppOpt[7]);
    // The tabs shown while the button is held; it comes up once the button
    // has stepped on twice after its first step (or after a long while).
    QList<int> shown{model().CurrentTab()};
    bool released = false;
    QElapsedTimer held;
    QTimer watch;
    watch.setInterval(5);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (shown.last() != model().CurrentTab())
            shown << model().CurrentTab();
        if (!released && (shown.size() >= 4 || held.elapsed() > 15000)) {
            released = true;
            QTest::mouseRelease(handle(), Qt::LeftButton, {}, next);
        }
    });
    QTest::mouseMove(handle(), next);
    held.start();
    watch.start();
    QTest::mousePress(handle(), Qt::LeftButton, {}, next);
    ASSERT_TRUE(testenv::waitFor([&] { return released; }, 30000));
    EXPECT_EQ(shown, (QList<int>{0, 1, 2, 0}));
    const int last = model().CurrentTab();
    QTest::qWait(500);
    EXPECT_EQ(model().CurrentTab(), last) << "released, it stops";
}

// The pane rectangles and the colour each pane shows.
TEST_F(ProgramWindow, ArrangeModesPlaceThePagesInTheirPanes)
{
    frmExplorer& f = open(9200, 6675);
    openPages(4);
    const double W = f.PicHolder[0].width();
    const double H = f.PicHolder[0].height();
    const double t = f.SPLITTER2[1].width();
    SetArrangeMode(f, QStringLiteral("A4"));
    EXPECT_EQ(f.Layout.ViewMode(), 4);
    EXPECT_EQ(f.Layout.PaneCount(), 3);
    const double X = (W - t) / 2, Y = (H - t) / 2;
    const PaneRect expected[3] = {
        {0, 0, static_cast<int32_t>(std::nearbyint(Y)), static_cast<int32_t>(std::nearbyint(X))},
        {0, static_cast<int32_t>(std::nearbyint(Y + f.SPLITTER2[2].height())), static_cast<int32_t>(std::nearbyint(H - Y - t)),
         static_cast<int32_t>(std::nearbyint(X))},
        {static_cast<int32_t>(std::nearbyint(X + t)), 0, static_cast<int32_t>(std::nearbyint(H)),
         static_cast<int32_t>(std::nearbyint(W - X - t))},
    };
    const QRgb colours[] = {qRgb(0xff, 0, 0), qRgb(0, 0xc0, 0), qRgb(0, 0, 0xff)};
    QTest::qWait(500);
    const QImage shot = f.window()->grab().toImage();
    shot.save(screenshotFolder() + QStringLiteral("/z5-multiview-a4.png"));
    const QPoint holder = f.PicHolder[0].widget()->mapTo(f.window(), QPoint(0, 0));
    for (int i = 0; i < 3; ++i) {
        const PaneRect& r = f.Layout.PaneRects()[i];
        EXPECT_EQ(r.Left, expected[i].Left) << i;
        EXPECT_EQ(r.Top, expected[i].Top) << i;
        EXPECT_EQ(r.Width, expected[i].Width) << i;
        EXPECT_EQ(r.Height, expected[i].Height) << i;
        const QPoint centre = holder + QPoint((r.Left + r.Width / 2) / 15, (r.Top + r.Height / 2) / 15);
        EXPECT_EQ(shot.pixel(centre), colours[i]) << "pane " << i;
    }
    EXPECT_TRUE(f.SPLITTER2[1].visible());
    EXPECT_TRUE(f.SPLITTER2[2].visible());

    // Grid: 20 tabs give 4 x 4 cells; tabs 16 to 19 are moved out of sight.
    for (int k = 4; k < 20; ++k) {
        tabs->NewTab(k, true, true);
        browserOf(k)->navigate2(server.address(QStringLiteral("/p%1").arg(k)));
    }
    for (int k = 4; k < 20; ++k)
        ASSERT_TRUE(testenv::waitFor([&] { return browserOf(k)->readyState() == platform::browser::ReadyComplete; }, 30000));
    SetArrangeMode(f, QStringLiteral("A1"));
    EXPECT_EQ(f.Layout.ViewMode(), 1);
    EXPECT_EQ(f.Layout.PaneRects().size(), 17);
    EXPECT_EQ(f.Layout.PaneRects()[5].Left, static_cast<int32_t>(std::nearbyint(W / 4)));
    EXPECT_EQ(f.Layout.PaneRects()[5].Top, static_cast<int32_t>(std::nearbyint(H / 4)));
    EXPECT_FALSE(f.SPLITTER2[1].visible());
    for (int k = 16; k < 20; ++k) {
        auto* view = dynamic_cast<platform::browser::Browser*>(browserOf(k));
        ASSERT_NE(view, nullptr);
        EXPECT_LE(view->width(), 60) << k;
    }
    QTest::qWait(300);
    f.window()->grab().save(screenshotFolder() + QStringLiteral("/z5-multiview-a1-20.png"));

    // Everything but one tab closed: "A0" pads three blank tabs.
    tabs->CloseTabs(1);
    ASSERT_EQ(model().TabCount(), 1);
    SetArrangeMode(f, QStringLiteral("A0"));
    EXPECT_EQ(f.Layout.ViewMode(), 10);
    EXPECT_EQ(model().TabCount(), 4);
    EXPECT_EQ(f.Layout.PaneCount(), 4);
    QTest::qWait(300);
    f.window()->grab().save(screenshotFolder() + QStringLiteral("/z5-multiview-a0.png"));

    // A key outside the commands keeps mode and panes.
    SetArrangeMode(f, QStringLiteral("B7"));
    EXPECT_EQ(f.Layout.ViewMode(), 10);
    EXPECT_EQ(f.Layout.PaneCount(), 4);
}

// The layout table on a holder of 8000 x 6000 twips with bars 60 thick,
// the split at its centre (X = Y = 2970).
TEST_F(ProgramWindow, PaneRectanglesOfEveryMode)
{
    frmExplorer& f = open(9200, 6675);
    f.PicHolder[0].move(f.PicHolder[0].left(), f.PicHolder[0].top(), 8000, 6000);
    f.SPLITTER2[1].setWidth(60);
    f.SPLITTER2[2].setHeight(60);
    f.SPLITTER2[3].setWidth(60);
    using R = PaneRect; // Left, Top, Height, Width
    const struct {
        int mode, tabs, panes, endMode;
        QVector<R> rects;
    } cases[] = {
        {4, 3, 3, 4, {{0, 0, 2970, 3970}, {0, 3030, 2970, 3970}, {4030, 0, 6000, 3970}}},
        {5, 3, 3, 5, {{0, 0, 6000, 3970}, {4030, 0, 2970, 3970}, {4030, 3030, 2970, 3970}}},
        {6, 3, 3, 6, {{0, 0, 2970, 8000}, {0, 3030, 2970, 3970}, {4030, 3030, 2970, 3970}}},
        {7, 3, 3, 7, {{0, 0, 2970, 3970}, {4030, 0, 2970, 3970}, {0, 3030, 2970, 8000}}},
        {8, 2, 2, 8, {{0, 0, 6000, 3970}, {4030, 0, 6000, 3970}}},
        {9, 2, 2, 9, {{0, 0, 2970, 8000}, {0, 3030, 2970, 8000}}},
        {10, 4, 4, 10, {{0, 0, 2970, 3970}, {4030, 0, 2970, 3970}, {0, 3030, 2970, 3970}, {4030, 3030, 2970, 3970}}},
        // Grid and tiles turn into splits for two to four tabs.
        {1, 2, 2, 8, {{0, 0, 6000, 3970}, {4030, 0, 6000, 3970}}},
        {1, 3, 3, 5, {{0, 0, 6000, 3970}, {4030, 0, 2970, 3970}, {4030, 3030, 2970, 3970}}},
        {2, 2, 2, 9, {{0, 0, 2970, 8000}, {0, 3030, 2970, 8000}}},
        {3, 2, 2, 8, {{0, 0, 6000, 3970}, {4030, 0, 6000, 3970}}},
        // Five tabs: a 2 x 3 grid whose sixth cell stays empty; tiles.
        {1, 5, 5, 1, {{0, 0, 3000, 2667}, {2667, 0, 3000, 2667}, {5333, 0, 3000, 2667}, {0, 3000, 3000, 2667},
                      {2667, 3000, 3000, 2667}, {5333, 3000, 3000, 2667}}},
        {2, 3, 3, 2, {{0, 0, 2000, 8000}, {0, 2000, 2000, 8000}, {0, 4000, 2000, 8000}}},
        {3, 4, 4, 3, {{0, 0, 6000, 2000}, {2000, 0, 6000, 2000}, {4000, 0, 6000, 2000}, {6000, 0, 6000, 2000}}},
    };
    for (const auto& c : cases) {
        f.Layout.SetViewMode(c.mode);
        f.Layout.SetSplitPos(0, f.Layout.SplitPosY());
        LayoutViewPanes(f, true, c.tabs, c.panes);
        EXPECT_EQ(f.Layout.ViewMode(), c.endMode) << c.mode << "/" << c.tabs;
        ASSERT_GE(f.Layout.PaneRects().size(), c.rects.size()) << c.mode << "/" << c.tabs;
        for (int i = 0; i < c.rects.size(); ++i) {
            const R& got = f.Layout.PaneRects()[i];
            const R& want = c.rects[i];
            EXPECT_TRUE(got.Left == want.Left && got.Top == want.Top && got.Height == want.Height && got.Width == want.Width)
                << "mode " << c.mode << " tabs " << c.tabs << " pane " << i << ": " << got.Left << "," << got.Top << ","
                << got.Height << "," << got.Width;
        }
    }

    // A split dragged to 3000 in a holder 8000 wide moves to 4500 at 12000;
    // a split beyond the holder snaps back to the middle.
    f.Layout.SetViewMode(8);
    LayoutViewPanes(f, true, 2, 2);
    f.SPLITTER2[3].setLeft(3000);
    LayoutViewPanes(f, false, 2, 2);
    f.PicHolder[0].setWidth(12000);
    LayoutViewPanes(f, false, 2, 2);
    EXPECT_EQ(f.SPLITTER2[3].left(), 4500);
    EXPECT_EQ(f.Layout.PaneRects()[1].Left, 4560);
    f.SPLITTER2[3].setLeft(20000);
    LayoutViewPanes(f, false, 2, 2);
    EXPECT_EQ(f.SPLITTER2[3].left(), (12000 - 60) / 2);

    // One pane: the browser overlaps the holder by 30 twips on every side;
    // a tab without a pane goes out of sight.
    f.Layout.SetPaneCount(1);
    const R whole = BrowserRectForPane(f, 3);
    EXPECT_TRUE(whole.Left == -30 && whole.Top == -30 && whole.Width == 12060 && whole.Height == 6060);
    f.Layout.SetPaneCount(20);
    f.Layout.SetViewMode(1);
    LayoutViewPanes(f, false, 20, 20);
    const R parked = BrowserRectForPane(f, 17);
    EXPECT_TRUE(parked.Left == -30 && parked.Top == -30 && parked.Width == 60 && parked.Height == 60);
}

TEST_F(ProgramWindow, SplitterDragsRelayOutAndClicksPickPanes)
{
    frmExplorer& f = open(9200, 6675);
    openPages(4);
    SetArrangeMode(f, QStringLiteral("A0"));
    ASSERT_EQ(f.Layout.ViewMode(), 10);
    auto& bar = f.SPLITTER2[1];
    auto& drag = f.SPLITTER2[3];
    const double W = f.PicHolder[0].width();
    const double t = bar.width();

    // Moving over the bar without a press moves nothing.
    const double before = drag.left();
    QTest::mouseMove(handle(), centreOf(bar));
    QTest::mouseMove(handle(), centreOf(bar) + QPoint(30, 0));
    EXPECT_EQ(drag.left(), before);

    // Press, move 40 pixels right, release (a quarter down the bar, away
    // from the crossing with the other bar).
    const auto onBar = [&] {
        return bar.widget()->mapTo(f.window(), QPoint(bar.widget()->width() / 2, bar.widget()->height() / 4));
    };
    const QPoint start = onBar();
    QTest::mousePress(handle(), Qt::LeftButton, {}, start);
    EXPECT_TRUE(f.Layout.SplitterDragging);
    EXPECT_TRUE(drag.visible());
    QTest::mouseMove(handle(), start + QPoint(40, 0));
    EXPECT_NEAR(drag.left(), before + 40 * 15, 60);
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, start + QPoint(40, 0));
    EXPECT_FALSE(f.Layout.SplitterDragging);
    EXPECT_FALSE(drag.visible());
    const double split = drag.left();
    EXPECT_EQ(bar.left(), split);
    EXPECT_EQ(f.Layout.PaneRects()[0].Width, static_cast<int32_t>(std::nearbyint(split)));
    EXPECT_EQ(f.Layout.PaneRects()[1].Left, static_cast<int32_t>(std::nearbyint(split + t)));
    QTest::qWait(200);
    f.window()->grab().save(screenshotFolder() + QStringLiteral("/z5-splitter-dragged.png"));

    // Past the right edge: clamped to the holder less the bar.
    const QPoint from = onBar();
    QTest::mousePress(handle(), Qt::LeftButton, {}, from);
    QTest::mouseMove(handle(), from + QPoint(2000, 0));
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, from + QPoint(2000, 0));
    EXPECT_EQ(drag.left(), W - t);
    // And past the left edge: 0.
    const QPoint from2 = onBar();
    QTest::mousePress(handle(), Qt::LeftButton, {}, from2);
    QTest::mouseMove(handle(), QPoint(-500, from2.y()));
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, QPoint(-500, from2.y()));
    EXPECT_EQ(drag.left(), 0);

    // A split at a third keeps its proportion when the window grows.
    drag.setLeft(W / 3);
    SetArrangeMode(f, QStringLiteral("unchanged")); // re-centres
    drag.setLeft(std::nearbyint(W / 3));
    LayoutViewPanes(f, false, model().TabCount(), f.Layout.PaneCount());
    window->move(0, 0, window->width() + 3000, window->height());
    window->Form_Resize();
    const double W2 = f.PicHolder[0].width();
    EXPECT_NEAR(drag.left(), std::nearbyint(W / 3) * W2 / W, 1);
    EXPECT_EQ(bar.left(), drag.left());

    // A real click in the third pane makes tab 2 current; a right click
    // there records the right button.
    model().SetCurrentTab(0);
    tabs->ActivateTab(0);
    auto* third = dynamic_cast<platform::browser::Browser*>(browserOf(2));
    ASSERT_NE(third, nullptr);
    QWidget* input = third->inputWidget();
    ASSERT_NE(input, nullptr);
    QTest::mouseMove(input, input->rect().center());
    QTest::mouseClick(input, Qt::LeftButton, {}, input->rect().center());
    EXPECT_TRUE(testenv::waitFor([&] { return model().CurrentTab() == 2; }, 3000));
    model().SetUserClickState(0);
    QTest::mouseClick(input, Qt::RightButton, {}, input->rect().center());
    EXPECT_TRUE(testenv::waitFor([&] { return model().UserClickState() == 3; }, 3000));

    // During a splitter drag, or while a group of shortcuts opens, a click
    // in a pane changes nothing.
    auto* first = dynamic_cast<platform::browser::Browser*>(browserOf(0));
    ASSERT_NE(first, nullptr);
    QWidget* firstInput = first->inputWidget();
    const std::function<void(bool)> busies[] = {[&](bool on) { f.Layout.SplitterDragging.set(on); },
                                                [](bool on) { GroupOpening = on ? -1 : 0; }};
    for (const auto& busy : busies) {
        busy(true);
        model().SetUserClickState(0);
        QTest::mouseClick(firstInput, Qt::LeftButton, {}, firstInput->rect().center());
        QTest::qWait(300);
        EXPECT_EQ(model().CurrentTab(), 2);
        EXPECT_EQ(model().UserClickState(), 0);
        busy(false);
    }

    // Single view: the click is recorded, the tab stays.
    tabs->GoToTab(1);
    auto* second = dynamic_cast<platform::browser::Browser*>(browserOf(1));
    ASSERT_NE(second, nullptr);
    QWidget* secondInput = second->inputWidget();
    model().SetUserClickState(0);
    QTest::mouseClick(secondInput, Qt::LeftButton, {}, secondInput->rect().center());
    EXPECT_TRUE(testenv::waitFor([&] { return model().UserClickState() == 2; }, 3000));
    EXPECT_EQ(model().CurrentTab(), 1);
}

// Menus of the bar as the menus subsystem shows them: a modal popup below
// the caption.
class BarMenus : public RecordingServices {
public:
    BarMenus(ServiceSet& set, frmExplorer*& window) : RecordingServices(set), window_(window) {}
    bool SubClassStatus() const override { return platform::menus::isTracking(); }
    void cmdMenu_MouseDown(int16_t index, int, int) override
    {
        opened << index;
        openedAt << ticks;
        if (platform::menus::isTracking())
            ++nested;
        clsPopupMenu menu;
        menu.sethwndOwner(window_->window());
        menu.AddItem(QStringLiteral("Item %1").arg(index), QStringLiteral("BAR"));
        ShowMenuBelowCaption(menu, window_->cmdMenu[index]);
        closed << index;
    }
    void EndMenuBarMode() override { ++ended; }
    QList<int> opened, closed;
    QList<int> openedAt; // the window's ticks so far
    int ticks = 0;
    int nested = 0;
    int ended = 0;

private:
    frmExplorer*& window_;
};

TEST_F(ProgramWindow, TheMenuBarRollsOverWithoutANestedMenuLoop)
{
    frmExplorer* raw = nullptr;
    BarMenus menus(services, raw);
    frmExplorer& f = open(9200, 6675);
    raw = &f;
    auto tick = std::move(f.AppTimer[0].onTimer);
    f.AppTimer[0].onTimer = [&menus, tick] {
        ++menus.ticks;
        tick();
    };
    int movedAt = -1;
    QTimer::singleShot(300, [&] {
        // File is open: the pointer on its own caption presses nothing;
        // then it goes onto "Edit".
        QTest::mouseMove(handle(), centreOf(f.cmdMenu[0]));
        QTimer::singleShot(250, [&] {
            movedAt = menus.ticks;
            QTest::mouseMove(handle(), centreOf(f.cmdMenu[1]));
        });
    });
    QTimer::singleShot(1100, [&] {
        // Edit is open now: the pointer between captions changes nothing;
        // then the menu is left.
        QTest::mouseMove(handle(), centreOf(f.PicHolder[0]));
        QTimer::singleShot(400, [] { platform::menus::endMenu(); });
    });
    QTest::mousePress(handle(), Qt::LeftButton, {}, centreOf(f.cmdMenu[0]));
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, centreOf(f.cmdMenu[0]));
    EXPECT_TRUE(testenv::waitFor([&] { return menus.closed.size() == 2 && f.MenuBarActive == 0; }, 5000));
    EXPECT_EQ(menus.opened, (QList<int>{0, 1}));
    EXPECT_EQ(menus.nested, 0);
    // At the window's next tick (or the one after, when the move reached the
    // window while a tick was under way).
    ASSERT_EQ(menus.openedAt.size(), 2);
    EXPECT_LE(menus.openedAt[1] - movedAt, 2);
    EXPECT_EQ(f.TimerStage, 9);
    EXPECT_EQ(f.OpenMenuIndex, 1);
    EXPECT_GE(menus.ended, 1);
}

} // namespace
