#include "core/globals.h"
#include "menus/clspopupmenu.h"
#include "menus/menubar.h"
#include "platform/win/controlarray.h"
#include "platform/win/controls.h"
#include "platform/win/form.h"
#include "skinlib/art/artpalette.h"

#include "menutesting.h"
#include "testenv.h"

#include <QLabel>
#include <QTextDocument>

#include <gtest/gtest.h>

using namespace platform::forms;
using namespace menutesting;

namespace {

QString languageFile(const QByteArray& text)
{
    const QString path = testenv::freshDir(QStringLiteral("lang")) + QStringLiteral("/English.ini");
    testenv::writeFile(path, text);
    return path;
}

// A small window with a top bar holding the five menu-bar captions and a
// few of the main window's buttons and labels.
struct BarForm : Form {
    PictureBox TopBar{*this, QStringLiteral("TopBar")};
    ControlArray<Label> cmdMenu{*this, QStringLiteral("cmdMenu")};
    ControlArray<Image> cmdAppOpt{*this, QStringLiteral("cmdAppOpt")};
    ControlArray<Image> cmdWBControl{*this, QStringLiteral("cmdWBControl")};
    ControlArray<Image> cmdShowHide{*this, QStringLiteral("cmdShowHide")};
    ControlArray<Label> APPLabel{*this, QStringLiteral("APPLabel")};
    PictureBox cmdCloseTab{*this, QStringLiteral("cmdCloseTab")};

    BarForm()
    {
        setBorderStyle(BorderStyle::None);
        setWidth(7200);
        setHeight(3000);
        TopBar.move(0, 0, 7200, 600);
        for (int i = 0; i < 5; ++i)
            cmdMenu.create(i, &TopBar)->move(150 + i * 900, 300, 840, 255);
        for (int i = 0; i <= 8; ++i)
            cmdAppOpt.create(i)->move(150 + i * 300, 900, 270, 270);
        for (int i = 0; i <= 9; ++i)
            cmdWBControl.create(i)->move(150 + i * 300, 1500, 270, 270);
        for (int i = 0; i <= 4; ++i)
            cmdShowHide.create(i)->move(150 + i * 300, 2100, 270, 270);
        for (int i = 0; i <= 3; ++i)
            APPLabel.create(i)->move(3600 + i * 600, 2100, 500, 255);
        cmdCloseTab.move(6000, 900, 270, 270);
    }
};

} // namespace

TEST(MenuBar, CaptionsWithAndWithoutMnemonics)
{
    BarForm form;
    const struct {
        const char* what;
        QByteArray file;
        bool mnemonics;
        std::array<const char*, 5> captions;
    } cases[] = {
        {"defaults", "", false, {"File   ", "Edit   ", "View   ", "Tools   ", "Window "}},
        {"defaults after Alt", "", true, {"&File   ", "&Edit   ", "&View   ", "&Tools   ", "&Window "}},
        {"language texts", "[MENUNAME]\n01=&Datei\n03=A&nsicht\n05=Fen&ster\n", false,
         {"Datei   ", "Edit   ", "Ansicht   ", "Tools   ", "Fenster "}},
        {"language texts after Alt", "[MENUNAME]\n01=&Datei\n03=A&nsicht\n05=Fen&ster\n", true,
         {"&Datei   ", "&Edit   ", "A&nsicht   ", "&Tools   ", "Fen&ster "}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LanguageFilePath = c.file.isEmpty() ? QStringLiteral("/nonexistent/English.ini") : languageFile(c.file);
        SetMenuBarCaptions(form, c.mnemonics);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(form.cmdMenu[i].caption(), QString::fromUtf8(c.captions[static_cast<size_t>(i)]));
    }
    // The marked letter shows underlined, the "&" itself not at all.
    const auto* shown = static_cast<QLabel*>(form.cmdMenu[4].widget());
    EXPECT_EQ(shown->textFormat(), Qt::RichText);
    EXPECT_TRUE(shown->text().contains(QStringLiteral("Fen<u>s</u>ter")));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.window()));
    EXPECT_TRUE(form.TopBar.widget()->grab().save(screenshotDir() + QStringLiteral("/menubar_mnemonics.png")));
    SetMenuBarCaptions(form, false);
    EXPECT_EQ(static_cast<QLabel*>(form.cmdMenu[0].widget())->text(), QStringLiteral("Datei   "));
}

TEST(MenuBar, PressAndHoverColoursOfTheCaptions)
{
    BarForm form;
    const MenuBarCaptionColors colours{QStringLiteral("&HFFFFFF"), QStringLiteral("&H00FF00"),
                                       QStringLiteral("&HC0C0C0")};
    int16_t hover = -1;
    std::vector<int16_t> leftElements;
    auto setHoverElement = [&](int16_t code) {
        leftElements.push_back(code);
        if (code >= kMenuBarHoverBase && code < kMenuBarHoverBase + 5)
            form.cmdMenu[code - kMenuBarHoverBase].setForeColor(skinart::colourFromSkinString(colours.normal));
    };
    const QColor normal = skinart::colourFromSkinString(colours.normal);
    const QColor over = skinart::colourFromSkinString(colours.hover);
    for (int i = 0; i < 5; ++i)
        form.cmdMenu[i].setForeColor(normal);

    const struct {
        int index;
        bool changes;
        int16_t left;
    } moves[] = {{0, true, -1}, {0, false, 0}, {1, true, 3000}, {1, false, 0}, {1, false, 0}, {4, true, 3001}};
    for (const auto& m : moves) {
        leftElements.clear();
        EXPECT_EQ(HoverMenuBarCaption(form, m.index, colours, hover, setHoverElement), m.changes);
        EXPECT_EQ(hover, kMenuBarHoverBase + m.index);
        EXPECT_EQ(leftElements, m.changes ? std::vector<int16_t>{m.left} : std::vector<int16_t>{});
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(form.cmdMenu[i].foreColor(), i == m.index ? over : normal) << m.index << " " << i;
    }

    int16_t released = -1;
    PressMenuBarCaption(form, 2, colours, released);
    EXPECT_EQ(released, 0);
    EXPECT_EQ(form.cmdMenu[2].foreColor(), skinart::colourFromSkinString(colours.pressed));
}

TEST(MenuBar, TooltipsFromTheLanguageFileAsPlainText)
{
    BarForm form;
    LanguageFilePath = languageFile("[BUTTON]\n4001=<b>Help</b> & more\n[MENUNAME]\n07=Verlauf\n");
    int16_t timerStage = 1;
    SetButtonTooltips(form, timerStage);
    EXPECT_EQ(timerStage, 9);
    const struct {
        Control* control;
        const char* tip;
    } cases[] = {
        {&form.cmdAppOpt[0], " <b>Help</b> & more "},
        {&form.cmdAppOpt[1], " Open My Folder "}, // the language reader trims its default
        {&form.cmdAppOpt[8], " Previous Tab "},
        {&form.cmdCloseTab, " Close current Tab "},
        {&form.cmdWBControl[0], " Favorites "},
        {&form.cmdWBControl[1], " Verlauf "},
        {&form.cmdWBControl[3], " Forward "},
        {&form.cmdWBControl[7], ""},
        {&form.cmdWBControl[9], " Up "},
        {&form.cmdShowHide[0], ""},
        {&form.cmdShowHide[2], " Show Bottom Toolbar "},
        {&form.APPLabel[3], " Number of Open Tabs "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.control->toolTipText(), QString::fromUtf8(c.tip)) << c.tip;
    // What the language file holds is shown as written, never as markup.
    QTextDocument shown;
    shown.setHtml(form.cmdAppOpt[0].widget()->toolTip());
    EXPECT_EQ(shown.toPlainText().replace(QChar(0xA0), QLatin1Char(' ')), QStringLiteral(" <b>Help</b> & more "));
}

TEST(MenuBar, PressingACaptionOpensItsMenuAtTheLowerLeftCorner)
{
    LanguageFilePath = QStringLiteral("/nonexistent/English.ini");
    const struct {
        const char* what;
        double formTop; // twips
        bool below;
    } cases[] = {{"room below", 1500, true}, {"at the bottom of the screen", 11000, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        BarForm form;
        form.move(1500, c.formTop);
        SetMenuBarCaptions(form, false);
        clsPopupMenu menu;
        menu.sethwndOwner(form.window());
        std::vector<int32_t> clicks;
        menu.events().Click = [&](int32_t i) { clicks.push_back(i); };
        QRect shownAt;
        form.cmdMenu[0].events().mouseDown = [&](int, int, double, double) {
            menu.Clear();
            for (int i = 1; i <= 6; ++i)
                menu.AddItem(QStringLiteral("Item %1").arg(i), "FILE", 0, 0, -1, true, QStringLiteral("K%1").arg(i));
            Script script({levels(1), check([&] {
                               if (QWidget* w = popup(0))
                                   shownAt = w->geometry();
                           }),
                           key(Qt::Key_Down), key(Qt::Key_Return)});
            ShowMenuBelowCaption(menu, form.cmdMenu[0]);
        };
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.window()));
        QWidget* caption = form.cmdMenu[0].widget();
        const QPoint inWindow = caption->mapTo(form.window(), caption->rect().center());
        QTest::mousePress(form.window()->windowHandle(), Qt::LeftButton, {}, inWindow);
        QTest::mouseRelease(form.window()->windowHandle(), Qt::LeftButton, {}, inWindow);
        EXPECT_EQ(clicks, std::vector<int32_t>{1});
        const QPoint lowerLeft = caption->mapToGlobal(QPoint(0, caption->height()));
        ASSERT_TRUE(shownAt.isValid());
        EXPECT_EQ(shownAt.left(), lowerLeft.x());
        if (c.below)
            EXPECT_EQ(shownAt.top(), lowerLeft.y());
        else
            EXPECT_EQ(shownAt.bottom(), caption->mapToGlobal(QPoint(0, 0)).y() - 1);
    }
}
