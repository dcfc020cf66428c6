// The colour bar and the page icon: cells under the pointer, and a real
// click on the bar of the running window colouring the selection of an
// editable page; the page icon's shortcut file.

#include "browsing/tabbrowsing.h"
#include "browsing/colourbar.h"
#include "app/browserprogram.h"
#include "browsing/explorertabs.h"
#include "core/globals.h"
#include "core/settingsstore.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/menubarlayout.h"
#include "mainwindow/windowplacement.h"
#include "platform/web/browser.h"
#include "platform/base/com.h"
#include "platform/base/paths.h"

#include "pointerentry.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <cmath>

namespace {

const bool schemeRegistered = (platform::browser::prepareBeforeApplication(), true);

} // namespace

TEST(ColourBar, CellsAreCentredAndTheLeftMarginIsNoCell)
{
    const struct {
        const char* name;
        double width, n, x;
        std::optional<int> cell;
        QString colour;
    } cases[] = {
        {"no margin, first twip", 2600, 26, 1, 0, "White"},
        {"no margin, on the margin", 2600, 26, 0, std::nullopt, ""},
        {"no margin, red", 2600, 26, 2150, 21, "Red"},
        {"no margin, last", 2600, 26, 2599, 25, "Black"},
        {"margin boundary", 3000, 30, 200, std::nullopt, ""},
        {"just right of the margin", 3000, 30, 201, 0, "White"},
        {"right of the last cell", 3000, 30, 2850, 26, ""},
        {"no cells", 3000, 0, 500, std::nullopt, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ColourCellAt(c.width, c.n, c.x), c.cell) << c.name;
        EXPECT_EQ(ColourCellName(c.cell.value_or(-1)), c.colour) << c.name;
    }
    EXPECT_EQ(ColourCellName(9), "Silver");
    EXPECT_EQ(ColourCellName(14), "Orange");
}

TEST(PageIcon, TheShortcutIsWrittenOnlyWhenAskedAndAlwaysHasAName)
{
    const QString folder = testenv::freshDir(QStringLiteral("tmp"));
    const struct {
        QString url;
        QString title;
        QString file; // "" when no file is offered
    } cases[] = {
        {"http://h/a?b=1", "A page", "A page.url"},
        {"http://h/", "", "Shortcut.url"},
        {"http://h/", "???", "Shortcut.url"},
        {"http://h/", "a/b: c", "a-b c.url"},
        {"file:///opt/z5/Common/Z5_BlankPage.HTM", "Blank", ""},
        {"", "Nothing", ""},
    };
    for (const auto& c : cases) {
        UrlShortcutData data(c.url, c.title, folder);
        if (c.file.isEmpty()) {
            EXPECT_TRUE(data.formats().isEmpty()) << c.title.toStdString();
            EXPECT_TRUE(data.urls().isEmpty());
            continue;
        }
        const QString path = QDir(folder).filePath(c.file);
        EXPECT_EQ(data.shortcutPath(), path);
        EXPECT_FALSE(QFile::exists(path)) << "written before a drop asked for it";
        EXPECT_EQ(data.urls(), QList<QUrl>{QUrl::fromLocalFile(path)});
        EXPECT_EQ(testenv::readFile(path), "[InternetShortcut]\r\nURL=" + c.url.toUtf8() + "\r\n");
        QFile::remove(path);
    }
}

TEST(ColourBar, ARealClickOnTheRedCellColoursTheSelectionOfAnEditablePage)
{
    ASSERT_TRUE(schemeRegistered);
    const QString prog = testenv::freshDir(QStringLiteral("prog"));
    QDir(prog).mkpath(QStringLiteral("Common"));
    QFile::copy(QStringLiteral(Z5_SOURCE_DIR "/data/Common/Z5_BlankPage.HTM"), prog + "/Common/Z5_BlankPage.HTM");
    platform::paths::setProgramFolder(prog);
    ASSERT_EQ(platform::com::registerServer(QStringLiteral(Z5_STAGE_DIR "/Skin/SK_Morvane_1.dll")).status,
              platform::com::RegistrationStatus::Done);
    SkinName = QStringLiteral("Morvane 1");
    LanguageFilePath = QStringLiteral(Z5_SOURCE_DIR "/data/Language/English.ini");
    SaveZ5Setting(HiveCurrentUser, QStringLiteral("DIS_MAXIMIZE"), QStringLiteral("False"));
    ServiceSet services;
    auto program = std::make_unique<BrowserProgram>(services, BrowserProgram::Parts{true, false});
    frmExplorer& f = program->window();
    f.show();
    f.move(0, 0, 12000, 9000);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.window(), 5000));
    f.Form_Resize();
    // The pointer comes in from another window, as a user's does.
    ASSERT_TRUE(testenv::pointerEntersFromElsewhere());
    // The first tick has sent the first tab to the blank page; the test's
    // page comes after it.
    ASSERT_TRUE(testenv::waitFor([&] { return f.TimerStage == 9; }, 10000));
    f.DisplayFlags[DisplayColorBar] = -1;
    ShowTextColorBar(f);
    ASSERT_TRUE(f.ImageBox[7].visible());

    const QString page = prog + "/edit.html";
    testenv::writeFile(page, "<html><body><div id='d' contenteditable='true'>colour me</div></body></html>");
    // The view of the current tab's browser (the holder holds the popup catcher too).
    TabBrowsing* model = &program->tabs()->model();
    auto* current = dynamic_cast<platform::browser::Browser*>(model->WBMAIN(0));
    ASSERT_NE(current, nullptr);
    QWebEngineView* view = current->view();
    ASSERT_NE(view, nullptr);
    bool loaded = false;
    QObject::connect(view->page(), &QWebEnginePage::loadFinished, view, [&](bool ok) { loaded = ok; });
    view->page()->load(QUrl::fromLocalFile(page));
    ASSERT_TRUE(testenv::waitFor([&] { return loaded; }, 30000));
    program->tabs()->tabModel().SetCurrentTab(0);
    auto value = [&](const QString& script) {
        QVariant v;
        bool done = false;
        view->page()->runJavaScript(script, [&](const QVariant& r) {
            v = r;
            done = true;
        });
        testenv::waitFor([&] { return done; }, 10000);
        return v.toString();
    };
    value("var d=document.getElementById('d');d.focus();var r=document.createRange();r.selectNodeContents(d);"
          "var s=getSelection();s.removeAllRanges();s.addRange(r);'ok'");

    // The red cell: 21 of 26 (skin string 149), no margin.
    const double width = f.ImageBox[7].width();
    const double cell = width / 26;
    QWidget* bar = f.ImageBox[7].widget();
    const QPoint red(static_cast<int>(std::floor((21.5 * cell) / 15)), bar->height() / 2);
    QTest::mouseMove(bar->window()->windowHandle(), bar->mapTo(bar->window(), red));
    EXPECT_TRUE(testenv::waitFor([&] { return f.ColorBarMarker->visible(); }, 3000));
    EXPECT_DOUBLE_EQ(f.ColorBarMarker->left(), f.ImageBox[7].left() + 21 * cell);
    EXPECT_DOUBLE_EQ(f.ColorBarMarker->width(), cell);
    QTest::mouseClick(bar->window()->windowHandle(), Qt::LeftButton, {}, bar->mapTo(bar->window(), red));
    EXPECT_FALSE(f.ColorBarMarker->visible());
    EXPECT_TRUE(testenv::waitFor(
        [&] { return value("var e=document.getElementById('d').firstElementChild;e?getComputedStyle(e).color:''")
                     == "rgb(255, 0, 0)"; },
        10000));
    // A right click colours the background.
    QTest::mouseClick(bar->window()->windowHandle(), Qt::RightButton, {},
                      bar->mapTo(bar->window(), QPoint(static_cast<int>(std::floor(23.5 * cell / 15)), red.y())));
    EXPECT_TRUE(testenv::waitFor([&] { return value("document.getElementById('d').innerHTML").contains("background"); },
                                 10000));

    // Stopping everything leaves full screen and says so.
    f.Placement().ToggleFullScreen(-1);
    ASSERT_NE(f.Placement().FullScreenMode(), 0);
    services.Tabs().StopEverything();
    EXPECT_EQ(f.Placement().FullScreenMode(), 0);
    EXPECT_EQ(f.WBTextBox[1].text(), "Stopped");
    program.reset();
    platform::paths::setProgramFolder(QString());
}
