// The main window's skinned chrome in this process: layout from the skin,
// bars shown and hidden by real clicks, hover tracking, re-skinning, the
// minimum size, the timers and the window's end.

#include "core/globals.h"
#include "core/settingsstore.h"
#include "core/skinbinding.h"
#include "mainwindow/apptimers.h"
#include "mainwindow/bartoggles.h"
#include "mainwindow/chromelayout.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/hovertracking.h"
#include "mainwindow/mediatoolbarlayout.h"
#include "mainwindow/menubarlayout.h"
#include "mainwindow/skinvalues.h"
#include "mainwindow/temppages.h"
#include "mainwindow/windowplacement.h"
#include "platform/base/com.h"
#include "platform/win/delay.h"
#include "platform/base/paths.h"
#include "platform/base/registry.h"
#include "platform/win/twips.h"
#include "platform/win/windowservices.h"

#include "recordingservices.h"
#include "pointerentry.h"
#include "testenv.h"
#include "../platform/windowsystem.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QApplication>
#include <cmath>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

#include <memory>
#include <set>

// Readable values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace com = platform::com;
namespace reg = platform::registry;
using platform::forms::Control;
using platform::forms::Image;

namespace {

const QString kMorvane = QStringLiteral(Z5_STAGE_DIR "/Skin/SK_Morvane_1.dll");
const QString kBlueSky = QStringLiteral(Z5_TEST_SKIN_DIR "/SK_Blue_Sky.dll");
const QString kSettings = QStringLiteral("Software\\Keldo\\Z5 Browser");

QString storedSetting(const QString& name)
{
    reg::resetCache(); // read back from the hive file
    const auto v = reg::readValue(reg::Hive::CurrentUser, kSettings, name);
    return v ? v->text : QStringLiteral("<none>");
}

void setSetting(const QString& name, const QString& value)
{
    SaveZ5Setting(HiveCurrentUser, name, value);
}

bool showsPicture(const Image& image, int16_t id)
{
    const auto expected = GetSkinPicture(id, 0);
    return expected && !image.picture().isNull() && image.picture().toImage() == expected->toImage();
}

QString screenshotFolder()
{
    const QString dir = qEnvironmentVariableIsSet("Z5_SCREENSHOT_DIR") ? qEnvironmentVariable("Z5_SCREENSHOT_DIR")
                                                                       : QStringLiteral(Z5_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    return dir;
}

struct Geometry {
    double left, top, width, height;
};

Geometry geometryOf(const Control& c)
{
    return {c.left(), c.top(), c.width(), c.height()};
}

class Chrome : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(com::registerServer(kMorvane).status, com::RegistrationStatus::Done);
        ASSERT_EQ(com::registerServer(kBlueSky).status, com::RegistrationStatus::Done);
        SkinName = QStringLiteral("Morvane 1");
        LanguageFilePath = QStringLiteral(Z5_SOURCE_DIR "/data/Language/English.ini");
        setSetting(QStringLiteral("DIS_MAXIMIZE"), QStringLiteral("False"));
    }

    // The window loaded and shown, laid out at the size asked.
    frmExplorer& open(double width = 9200, double height = 6675)
    {
        window = std::make_unique<frmExplorer>(services);
        window->show();
        window->move(0, 0, width, height);
        window->window()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window->window(), 5000));
        EXPECT_TRUE(QTest::qWaitForWindowActive(window->window(), 5000));
        window->Form_Resize();
        // The pointer enters the window from another one, as it does for a
        // user: test input sent before any window was entered is dropped.
        EXPECT_TRUE(testenv::pointerEntersFromElsewhere());
        QTest::mouseMove(handle(), centreOf(window->PicHolder[0]));
        return *window;
    }

    QWindow* handle() const { return window->window()->windowHandle(); }
    QPoint centreOf(const Control& c) const { return c.widget()->mapTo(window->window(), c.widget()->rect().center()); }

    ServiceSet services;
    RecordingServices fakes{services};
    std::unique_ptr<frmExplorer> window;
};

} // namespace

TEST_F(Chrome, EveryPieceIsPlacedFromTheSkinNumbersAtEachSizeAndScale)
{
    struct Case {
        const char* name;
        float scale;
        double width, height;
        std::function<Control&(frmExplorer&)> control;
        Geometry expected;
    };
    using F = frmExplorer;
    const Case cases[] = {
        // At 15 twips per pixel, 9200 x 6675.
        {"top-right corner", 1.0f, 9200, 6675, [](F& f) -> Control& { return f.SkinPiece[1]; }, {8000, 0, 1200, 450}},
        {"bottom-right corner", 1.0f, 9200, 6675, [](F& f) -> Control& { return f.SkinPiece[2]; }, {9020, 5925, 180, 750}},
        {"right edge", 1.0f, 9200, 6675, [](F& f) -> Control& { return f.SkinPiece[5]; }, {9125, 450, 75, 5475}},
        {"bottom edge", 1.0f, 9200, 6675, [](F& f) -> Control& { return f.SkinPiece[6]; }, {0, 5925, 9020, 750}},
        {"close button", 1.0f, 9200, 6675, [](F& f) -> Control& { return f.cmdFormControl[3]; }, {8850, 75, 255, 270}},
        {"tab list button", 1.0f, 9200, 6675, [](F& f) -> Control& { return f.cmdWBControl[8]; }, {7640, 75, 300, 300}},
        {"go button", 1.0f, 9200, 6675, [](F& f) -> Control& { return f.cmdWBControl[6]; }, {6740, 75, 300, 300}},
        {"tab number box", 1.0f, 9200, 6675, [](F& f) -> Control& { return f.WBTextBox[2]; }, {7070, 120, 540, 200}},
        {"help button", 1.0f, 9200, 6675, [](F& f) -> Control& { return f.cmdAppOpt[0]; }, {8725, 6197.5, 375, 480}},
        {"search button", 1.0f, 9200, 6675, [](F& f) -> Control& { return f.cmdAppOpt[4]; }, {7065, 6197.5, 390, 480}},
        {"previous tab", 1.0f, 9200, 6675, [](F& f) -> Control& { return f.cmdAppOpt[8]; }, {6830, 5925, 450, 270}},
        {"close tab", 1.0f, 9200, 6675, [](F& f) -> Control& { return *f.cmdCloseTab; }, {7280, 5925, 450, 270}},
        {"status line", 1.0f, 9200, 6675, [](F& f) -> Control& { return f.WBTextBox[1]; }, {400, 5950, 4510, 225}},
        {"info strip", 1.0f, 9200, 6675, [](F& f) -> Control& { return f.ImageBox[8]; }, {75, 5655, 9050, 270}},
        {"body", 1.0f, 9200, 6675, [](F& f) -> Control& { return f.PicHolder[0]; }, {75, 450, 9050, 5475}},
        {"side pane button", 1.0f, 9200, 6675, [](F& f) -> Control& { return f.cmdShowHide[0]; }, {0, 3015, 120, 645}},
        {"media row button", 1.0f, 9200, 6675, [](F& f) -> Control& { return f.cmdShowHide[4]; }, {75, 6375, 90, 150}},
        // A larger window.
        {"close button, wide", 1.0f, 10500, 7500, [](F& f) -> Control& { return f.cmdFormControl[3]; }, {10150, 75, 255, 270}},
        {"help button, wide", 1.0f, 10500, 7500, [](F& f) -> Control& { return f.cmdAppOpt[0]; }, {10025, 7022.5, 375, 480}},
        {"status line, wide", 1.0f, 10500, 7500, [](F& f) -> Control& { return f.WBTextBox[1]; }, {400, 6775, 5810, 225}},
        {"body, wide", 1.0f, 10500, 7500, [](F& f) -> Control& { return f.PicHolder[0]; }, {75, 450, 10350, 6300}},
        // At scale 1.25 (19 twips per pixel, the nearest whole number):
        // scaled offsets grow with the pictures, offsets used as read stay.
        {"close button, 1.25", 1.25f, 11500, 8344, [](F& f) -> Control& { return f.cmdFormControl[3]; }, {11055.25, 93.75, 323, 342}},
        {"tab list, 1.25", 1.25f, 11500, 8344, [](F& f) -> Control& { return f.cmdWBControl[8]; }, {9525, 93.75, 380, 380}},
        {"first caption, 1.25", 1.25f, 11500, 8344, [](F& f) -> Control& { return f.cmdMenu[0]; }, {275, 187.5, -1, 382.5}},
        {"status line, 1.25", 1.25f, 11500, 8344, [](F& f) -> Control& { return f.WBTextBox[1]; }, {400, 7419, -1, -1}},
        {"help button, 1.25", 1.25f, 11500, 8344, [](F& f) -> Control& { return f.cmdAppOpt[0]; }, {10925, 7736.875, 475, 608}},
        {"menu button, 1.25", 1.25f, 11500, 8344, [](F& f) -> Control& { return f.cmdShowHide[3]; }, {225, 150, 114, 190}},
    };
    for (const Case& c : cases) {
        const float savedScale = TwipsScale;
        TwipsScale = c.scale;
        const int tpp = c.scale == 1.0f ? 15 : 19;
        platform::forms::setTwipsPerPixel(tpp, tpp);
        frmExplorer& f = open(c.width, c.height);
        const Geometry g = geometryOf(c.control(f));
        EXPECT_DOUBLE_EQ(g.left, c.expected.left) << c.name;
        EXPECT_DOUBLE_EQ(g.top, c.expected.top) << c.name;
        if (c.expected.width >= 0) {
            EXPECT_DOUBLE_EQ(g.width, c.expected.width) << c.name;
        }
        if (c.expected.height >= 0) {
            EXPECT_DOUBLE_EQ(g.height, c.expected.height) << c.name;
        }
        if (c.scale != 1.0f && std::string(c.name) == "close button, 1.25") {
            // The grab shows the skin's pictures where the scaled layout put them.
            const QImage shot = f.window()->grab().toImage();
            EXPECT_TRUE(shot.save(screenshotFolder() + QStringLiteral("/z5-chrome-scale125.png")));
            const std::pair<Control*, int16_t> probes[] = {
                {&f.cmdWBControl[8], 197}, {&f.cmdFormControl[3], 216}, {&f.cmdAppOpt[2], 273}, {&f.cmdShowHide[3], 137}};
            for (const auto& [control, id] : probes) {
                const QRect at(centreOf(*control) - control->widget()->rect().center(), control->widget()->size());
                EXPECT_EQ(shot.copy(at).convertToFormat(QImage::Format_RGB32),
                          GetSkinPicture(id, 0)->toImage().convertToFormat(QImage::Format_RGB32))
                    << control->name().toStdString() << control->index();
            }
        }
        window.reset();
        platform::forms::setTwipsPerPixel(0, 0);
        TwipsScale = savedScale;
    }
}

TEST_F(Chrome, TheRowsFollowTheirNeighbours)
{
    frmExplorer& f = open();
    // Captions edge to edge after the unscaled start, the strip under them,
    // the navigation row after the strip's end piece.
    EXPECT_DOUBLE_EQ(f.cmdMenu[0].left(), 275);
    for (int i = 1; i <= 4; ++i)
        EXPECT_DOUBLE_EQ(f.cmdMenu[i].left(), f.cmdMenu[i - 1].left() + f.cmdMenu[i - 1].width());
    double captions = 0;
    for (int i = 0; i <= 4; ++i)
        captions += f.cmdMenu[i].width();
    EXPECT_DOUBLE_EQ(f.SkinPiece[8].width(), captions);
    const double x = f.SkinPiece[9].left() + f.SkinPiece[9].width();
    for (int k = 0; k <= 4; ++k)
        EXPECT_DOUBLE_EQ(f.cmdWBControl[k].left(), x + k * 300);
    EXPECT_DOUBLE_EQ(f.cmdWBControl[9].left(), f.cmdWBControl[5].left());
    EXPECT_DOUBLE_EQ(f.PicHolder[1].left(), f.cmdWBControl[5].left() + 400);
    EXPECT_DOUBLE_EQ(f.PicHolder[1].width(), f.cmdWBControl[6].left() - 100 - f.PicHolder[1].left());
    EXPECT_DOUBLE_EQ(f.ImageBox[3].left(), f.PicHolder[1].width() - f.ImageBox[3].width());
}

TEST_F(Chrome, ANarrowAddressRowHidesTheHolderOrOnlyTheBox)
{
    frmExplorer& f = open();
    struct Case {
        double room; // N6.Left - 100 - holder.Left
        bool holder;
        bool box;
    };
    // The box starts 330 twips into the holder; the arrow takes 225.
    const Case cases[] = {{225, false, false}, {226, true, false}, {755, true, false}, {756, true, true}};
    for (const Case& c : cases) {
        f.WBTextBox[0].setVisible(true);
        const double holderLeft = f.cmdWBControl[5].left() + 400;
        f.cmdWBControl[6].setLeft(holderLeft + 100 + c.room);
        LayoutAddressRow(f);
        EXPECT_EQ(f.PicHolder[1].visible(), c.holder) << c.room;
        if (c.holder) {
            EXPECT_EQ(f.WBTextBox[0].visible(), c.box) << c.room;
        }
    }
}

TEST_F(Chrome, TheStatusLineShowsFromFifteenHundredTwipsOfRoom)
{
    frmExplorer& f = open();
    f.Layout.LayoutLock.set(true); // keep the window below its minimum for this test
    const struct {
        double width;
        bool shown;
    } cases[] = {{6190, true}, {6189, false}, {2000, false}};
    for (const auto& c : cases) {
        f.setWidth(c.width);
        ApplySkinLayout(f);
        EXPECT_EQ(f.WBTextBox[1].visible(), c.shown) << c.width;
        if (c.shown) {
            EXPECT_DOUBLE_EQ(f.WBTextBox[1].width(), 1500);
        }
    }
}

TEST_F(Chrome, WithoutASkinTheWindowStaysUsableAndNothingGetsANegativeSize)
{
    SkinName = QStringLiteral("No Such Skin");
    frmExplorer& f = open();
    EXPECT_TRUE(SkinObject.isNull());
    f.Layout.LayoutLock.set(true);
    f.setWidth(1000); // far below what the chrome needs
    ApplySkinLayout(f);
    ApplyMenuBarStates(f);
    for (const Control* c : f.controls()) {
        EXPECT_GE(c->width(), 0) << c->name().toStdString() << c->index();
        EXPECT_GE(c->height(), 0) << c->name().toStdString() << c->index();
    }
    EXPECT_TRUE(f.window()->isVisible());
}

TEST_F(Chrome, EachBarSettingChoosesItsPicturesAndButtons)
{
    struct Case {
        const char* setting;
        const char* value;
        std::vector<std::pair<int, int16_t>> pieces;             // SkinPiece index, picture
        std::vector<std::pair<int, int16_t>> showHidePictures;   // cmdShowHide index, picture
        std::vector<std::function<Control&(frmExplorer&)>> shown;
        std::vector<std::function<Control&(frmExplorer&)>> hidden;
    };
    using F = frmExplorer;
    const Case cases[] = {
        {"DIS_TOOLBAR1", "True", {{0, 104}, {1, 110}, {4, 117}, {8, 105}, {9, 106}}, {{3, 137}},
         {[](F& f) -> Control& { return f.SkinPiece[8]; }, [](F& f) -> Control& { return f.cmdWBControl[0]; }},
         {[](F& f) -> Control& { return f.cmdShowHide[1]; }}},
        {"DIS_TOOLBAR1", "False", {{0, 109}, {1, 111}, {4, 118}}, {{1, 147}},
         {[](F& f) -> Control& { return f.cmdShowHide[1]; }},
         {[](F& f) -> Control& { return f.SkinPiece[8]; }, [](F& f) -> Control& { return f.SkinPiece[9]; },
          [](F& f) -> Control& { return f.cmdWBControl[0]; }, [](F& f) -> Control& { return f.cmdFormControl[3]; },
          [](F& f) -> Control& { return f.cmdMenu[0]; }, [](F& f) -> Control& { return f.PicHolder[1]; },
          [](F& f) -> Control& { return f.cmdShowHide[3]; }}},
        {"DIS_TOOLBAR2", "False", {{2, 113}, {6, 121}, {3, 116}}, {{2, 141}},
         {[](F& f) -> Control& { return f.cmdShowHide[2]; }},
         {[](F& f) -> Control& { return f.cmdAppOpt[0]; }, [](F& f) -> Control& { return f.cmdAppOpt[4]; },
          [](F& f) -> Control& { return f.cmdShowHide[4]; }}},
        {"DIS_MENUBAR1", "False", {{0, 108}}, {{3, 139}},
         {[](F& f) -> Control& { return f.cmdWBControl[0]; }},
         {[](F& f) -> Control& { return f.SkinPiece[8]; }, [](F& f) -> Control& { return f.SkinPiece[9]; },
          [](F& f) -> Control& { return f.cmdMenu[0]; }, [](F& f) -> Control& { return f.cmdMenu[4]; }}},
        {"DIS_MENUBAR2", "False", {{3, 115}}, {{4, 135}}, {}, {}},
        {"DIS_MENUBAR2", "True", {{3, 114}}, {{4, 133}}, {}, {}},
    };
    for (const Case& c : cases) {
        for (const char* name : {"DIS_TOOLBAR1", "DIS_TOOLBAR2", "DIS_MENUBAR1", "DIS_MENUBAR2"})
            setSetting(QString::fromLatin1(name), QStringLiteral("True"));
        setSetting(QStringLiteral("DIS_MENUBAR2"), QStringLiteral("False"));
        setSetting(QString::fromLatin1(c.setting), QString::fromLatin1(c.value));
        frmExplorer& f = open();
        const std::string what = std::string(c.setting) + "=" + c.value;
        for (const auto& [index, id] : c.pieces)
            EXPECT_TRUE(showsPicture(f.SkinPiece[index], id)) << what << " piece " << index << " picture " << id;
        for (const auto& [index, id] : c.showHidePictures)
            EXPECT_TRUE(showsPicture(f.cmdShowHide[index], id)) << what << " show/hide " << index << " picture " << id;
        for (const auto& get : c.shown)
            EXPECT_TRUE(get(f).visible()) << what << " " << get(f).name().toStdString() << get(f).index();
        for (const auto& get : c.hidden)
            EXPECT_FALSE(get(f).visible()) << what << " " << get(f).name().toStdString() << get(f).index();
        if (std::string(c.setting) == "DIS_MENUBAR1") {
            EXPECT_DOUBLE_EQ(f.cmdWBControl[0].left(), f.SkinPiece[0].width()) << what;
        }
        window.reset();
    }
}

TEST_F(Chrome, TheMenuAndMediaButtonsCarryTheirTooltips)
{
    frmExplorer& f = open();
    EXPECT_EQ(f.cmdShowHide[3].toolTipText(), QStringLiteral(" Hide Menu "));
    EXPECT_EQ(f.cmdShowHide[4].toolTipText(), QStringLiteral(" Show Media Control Toolbar "));
    ToggleMenuBar(f);
    ToggleMediaControlCenter(f);
    EXPECT_EQ(f.cmdShowHide[3].toolTipText(), QStringLiteral(" Show Menu "));
    EXPECT_EQ(f.cmdShowHide[4].toolTipText(), QStringLiteral(" Hide Media Control Toolbar "));
    EXPECT_EQ(f.cmdFormControl[2].toolTipText(), QStringLiteral(" Maximize "));
}

TEST_F(Chrome, TheMediaRowPlacesTheButtonsEachListKindUses)
{
    frmExplorer& f = open();
    for (int i = 1; i <= 15; ++i)
        ASSERT_NE(f.cmdMediaControl.load(i), nullptr);
    // Widths that tell the buttons apart.
    for (int i = 0; i <= 15; ++i)
        f.cmdMediaControl[i].setWidth(100 + i);
    const struct {
        int16_t kind;
        bool fullScreen;
        std::set<int> placed;
    } cases[] = {
        {1, false, {0, 1, 2, 3, 4, 5, 6, 7, 14, 15}},
        {2, false, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 15}},
        {3, false, {0, 1, 2, 3, 4, 6, 7, 8, 12, 13}},
        {4, false, {0, 1, 2, 3, 4, 6, 7, 12, 13}},
        {5, false, {0, 1, 2, 3, 4, 6, 7, 12, 13}},
        {6, false, {0, 1, 2, 3, 7}},
        {6, true, {0, 2, 3, 7}},
    };
    const double gap = 100;
    for (const auto& c : cases) {
        for (int i = 0; i <= 15; ++i)
            f.cmdMediaControl[i].move(-7, -7);
        f.Placement().SetFullScreenMode(c.fullScreen ? -1 : 0);
        LayoutMediaToolbar(f, c.kind);
        std::set<int> placed;
        for (int i = 0; i <= 15; ++i)
            if (f.cmdMediaControl[i].left() != -7)
                placed.insert(i);
        EXPECT_EQ(placed, c.placed) << "kind " << c.kind << (c.fullScreen ? " full screen" : "");
        const auto& m = f.cmdMediaControl;
        const double start = c.fullScreen ? 2 * gap : f.cmdShowHide[4].left() + f.cmdShowHide[4].width() + gap;
        EXPECT_DOUBLE_EQ(m[0].left(), start) << c.kind;
        if (c.kind == 3) {
            EXPECT_DOUBLE_EQ(m[8].left(), m[7].left() + m[7].width() + gap);
            EXPECT_DOUBLE_EQ(f.ImageBox[1].left(), m[8].left() + m[8].width() + gap);
            EXPECT_DOUBLE_EQ(m[13].left(), f.ImageBox[1].left() + f.ImageBox[1].width() - m[12].width());
        }
        if (c.fullScreen) {
            EXPECT_DOUBLE_EQ(f.ImageBox[9].left(), m[7].left() + m[7].width() + gap);
            EXPECT_DOUBLE_EQ(f.APPLabel[0].width(), (f.ImageBox[9].width() - gap) / 2);
        }
    }
    f.Placement().SetFullScreenMode(0);

    // The knobs: the volume by its fraction, a position never moved at the left bound.
    f.VolumeFraction[1] = 0.5f;
    f.PositionFraction[1] = 0.9f;
    f.PositionKnobX[1] = 0;
    LayoutMediaToolbar(f, 1);
    EXPECT_FLOAT_EQ(f.VolumeTrack[3], static_cast<float>(f.ImageBox[4].width() - f.cmdMediaControl[14].width() - 100));
    EXPECT_FLOAT_EQ(f.VolumeKnobX[1], f.VolumeTrack[0] + f.VolumeTrack[3] / 2);
    EXPECT_DOUBLE_EQ(f.cmdMediaControl[14].left(), f.VolumeKnobX[1]);
    EXPECT_FLOAT_EQ(f.PositionKnobX[1], f.PositionTrack[0]);

    // Only what was loaded at run time can be unloaded by name.
    UnloadNamedControl(f, QStringLiteral("cmdMediaControl"), 5);
    UnloadNamedControl(f, QStringLiteral("cmdMediaControl"), 0);
    UnloadNamedControl(f, QStringLiteral("ImageBox"), 6);
    UnloadNamedControl(f, QStringLiteral("cmdmediacontrol"), 6);
    EXPECT_FALSE(f.cmdMediaControl.exists(5));
    EXPECT_TRUE(f.cmdMediaControl.exists(0));
    EXPECT_TRUE(f.cmdMediaControl.exists(6));
    EXPECT_TRUE(f.ImageBox.exists(6));
}

TEST_F(Chrome, ClicksOnTheShowHideButtonsWriteTheirSettingAndRunTheirRelayout)
{
    frmExplorer& f = open();
    // Only what the clicks call: a tick of the window that a busy machine
    // lets fall inside a click would add the calls of its housekeeping.
    f.AppTimer[0].setEnabled(false);
    QStringList steps;
    f.Trace = [&steps](const QString& step, int) {
        if (step != QLatin1String("hover") && step != QLatin1String("restore"))
            steps << step;
    };
    const QStringList full = {QStringLiteral("ApplySkinLayout"), QStringLiteral("ApplyMenuBarStates"),
                              QStringLiteral("LayoutMenuBar"), QStringLiteral("LayoutAddressRow"),
                              QStringLiteral("LayoutMediaControlCenter"), QStringLiteral("LayoutMainWindow"),
                              QStringLiteral("LayoutMenuBar"), QStringLiteral("LayoutAddressRow"),
                              QStringLiteral("LayoutMediaControlCenter")};
    struct Case {
        int button;
        const char* setting;
        const char* written;
        QStringList relayout;
        QStringList serviceCalls;
    };
    const Case cases[] = {
        {3, "DIS_MENUBAR1", "False", {QStringLiteral("ToggleMenuBar"), QStringLiteral("LayoutMenuBar"), QStringLiteral("LayoutAddressRow")}, {}},
        {3, "DIS_MENUBAR1", "True", {QStringLiteral("ToggleMenuBar"), QStringLiteral("LayoutMenuBar"), QStringLiteral("LayoutAddressRow")}, {}},
        {4, "DIS_MENUBAR2", "True", {QStringLiteral("ToggleMediaControlCenter"), QStringLiteral("LayoutMediaControlCenter")},
         {QStringLiteral("ShowMediaToolbarForKind(1)")}},
        {0, "DIS_PLAYLIST", "True", {QStringLiteral("TogglePlayList"), QStringLiteral("LayoutBody")},
         {QStringLiteral("BindDocumentEvents"), QStringLiteral("ShowListPane"), QStringLiteral("LayoutViewPanes"),
          QStringLiteral("EnsureTabsForViewMode"), QStringLiteral("SelectCurrentListItem")}},
        {0, "DIS_PLAYLIST", "False", {QStringLiteral("TogglePlayList"), QStringLiteral("LayoutBody")},
         {QStringLiteral("ReleaseDocumentEvents"), QStringLiteral("ShowListPane"), QStringLiteral("LayoutViewPanes"),
          QStringLiteral("EnsureTabsForViewMode")}},
        {1, "DIS_TOOLBAR1", "True", QStringList{QStringLiteral("ToggleTopBar")} + full, {}},
        {2, "DIS_TOOLBAR2", "True", QStringList{QStringLiteral("ToggleBottomBar")} + full, {}},
    };
    for (const Case& c : cases) {
        // The Top and Bottom Bars' own buttons show only while their bar is hidden.
        if (c.button == 1)
            ToggleTopBar(f);
        if (c.button == 2)
            ToggleBottomBar(f);
        ASSERT_TRUE(f.cmdShowHide[c.button].visible()) << c.button;
        steps.clear();
        fakes.calls.clear();
        QTest::mouseClick(handle(), Qt::LeftButton, {}, centreOf(f.cmdShowHide[c.button]));
        EXPECT_EQ(storedSetting(QString::fromLatin1(c.setting)), QString::fromLatin1(c.written)) << c.button;
        EXPECT_EQ(steps, c.relayout) << c.button;
        QStringList relevant;
        for (const QString& call : fakes.calls)
            if (call != QLatin1String("HideMediaToolbar") || c.button == 4)
                relevant << call;
        if (!c.serviceCalls.isEmpty()) {
            EXPECT_EQ(relevant, c.serviceCalls) << c.button;
        }
        // The side pane's button stays in its hover look of the new state.
        if (c.button == 0) {
            const bool shown = f.DisplayFlags[DisplaySidePane] != 0;
            EXPECT_TRUE(showsPicture(f.cmdShowHide[0], shown ? 144 : 146));
            EXPECT_EQ(f.cmdShowHide[0].toolTipText(), shown ? QStringLiteral(" Hide Playlist ") : QStringLiteral(" Show Playlist "));
        }
    }
}

TEST_F(Chrome, MovingFromOneButtonToTheNextRestoresTheFirstBeforeLightingTheSecond)
{
    frmExplorer& f = open();
    QStringList steps;
    f.Trace = [&steps](const QString& step, int code) {
        if (step == QLatin1String("hover") || step == QLatin1String("restore"))
            steps << step + QLatin1Char(' ') + QString::number(code);
    };
    QTest::mouseMove(handle(), centreOf(f.cmdAppOpt[2]));
    EXPECT_EQ(f.Hover().HoverElementId(), 1082);
    EXPECT_TRUE(showsPicture(f.cmdAppOpt[2], 274));
    const QImage firstLit = f.window()->grab().toImage();

    QTest::mouseMove(handle(), centreOf(f.cmdWBControl[4]));
    EXPECT_EQ(f.Hover().HoverElementId(), 2004);
    EXPECT_TRUE(showsPicture(f.cmdAppOpt[2], 273));
    EXPECT_TRUE(showsPicture(f.cmdWBControl[4], 180));
    const QImage secondLit = f.window()->grab().toImage();
    // In the grabs: the first button lit, then normal again.
    const QRect first(centreOf(f.cmdAppOpt[2]) - QPoint(5, 5), QSize(10, 10));
    EXPECT_NE(firstLit.copy(first), secondLit.copy(first));

    // The tab number box takes no hover look but gives the last one back.
    // (its middle holds the tab number: the pointer goes onto its edge)
    QTest::mouseMove(handle(), f.cmdWBControl[7].widget()->mapTo(f.window(), QPoint(1, 1)));
    EXPECT_EQ(f.Hover().HoverElementId(), -1);
    EXPECT_TRUE(showsPicture(f.cmdWBControl[4], 179));

    // A show/hide button, then away onto the body: the tick restores it.
    QTest::mouseMove(handle(), centreOf(f.cmdShowHide[3]));
    EXPECT_TRUE(showsPicture(f.cmdShowHide[3], 138));
    QTest::mouseMove(handle(), centreOf(f.PicHolder[0]));
    f.TimerStage = 9;
    f.AppTimer_Timer(0);
    EXPECT_TRUE(showsPicture(f.cmdShowHide[3], 137));
    EXPECT_EQ(f.Hover().HoverElementId(), -1);

    EXPECT_EQ(steps, (QStringList{QStringLiteral("restore -1"), QStringLiteral("hover 1082"),
                                  QStringLiteral("restore 1082"), QStringLiteral("hover 2004"),
                                  QStringLiteral("restore 2004"), QStringLiteral("restore -1"),
                                  QStringLiteral("hover 1004"), QStringLiteral("restore 1004")}));
}

TEST_F(Chrome, ALeftDisabledNavigationButtonShowsItsDisabledPicture)
{
    frmExplorer& f = open();
    f.cmdWBControl[2].setEnabled(false);
    f.Hover().SetHoverElementId(2002);
    f.Hover().SetHoverElement(2002);
    EXPECT_TRUE(showsPicture(f.cmdWBControl[2], 174));
    f.cmdWBControl[3].setEnabled(true);
    f.Hover().SetHoverElement(2003);
    EXPECT_TRUE(showsPicture(f.cmdWBControl[3], 175));
}

TEST_F(Chrome, AResizeBelowTheMinimumSnapsBackAndAMinimisedWindowDoesNoLayout)
{
    for (const float scale : {1.0f, 1.25f}) {
        const float savedScale = TwipsScale;
        TwipsScale = scale;
        const int tpp = scale == 1.0f ? 15 : 19;
        platform::forms::setTwipsPerPixel(tpp, tpp);
        frmExplorer& f = open(10000, 9000);
        f.window()->resize(100, 80); // as the user drags the frame
        testenv::waitFor([&] { return f.width() == f.MinFormWidth && f.height() == f.MinFormHeight; }, 2000);
        EXPECT_DOUBLE_EQ(f.width(), scale == 1.0f ? 9200 : 11500);
        EXPECT_DOUBLE_EQ(f.height(), scale == 1.0f ? 6675 : 8344);
        EXPECT_EQ(f.window()->size(), QSize(platform::forms::toPixelsX(f.width()), platform::forms::toPixelsY(f.height())));
        window.reset();
        platform::forms::setTwipsPerPixel(0, 0);
        TwipsScale = savedScale;
    }
    frmExplorer& f = open();
    QStringList steps;
    f.Trace = [&steps](const QString& step, int) { steps << step; };
    platform::windows::setWindowState(f.window(), platform::windows::StateMinimized);
    f.Form_Resize();
    EXPECT_TRUE(steps.isEmpty());
}

TEST_F(Chrome, ReskinningChangesPicturesAndColoursAndKeepsTheHoveredElement)
{
    frmExplorer& f = open();
    QTest::mouseMove(handle(), centreOf(f.cmdAppOpt[1]));
    ASSERT_EQ(f.Hover().HoverElementId(), 1081);
    const QImage before = f.window()->grab().toImage();
    EXPECT_TRUE(before.save(screenshotFolder() + QStringLiteral("/z5-chrome-morvane-1.png")));
    const QColor statusBefore = f.WBTextBox[1].backColor();

    setSetting(QStringLiteral("Z5_SKINNAME"), QStringLiteral("Blue Sky"));
    ASSERT_TRUE(f.Hover().ReapplySkin());
    QTest::qWait(50);
    EXPECT_EQ(SkinName, QStringLiteral("Blue Sky"));
    EXPECT_EQ(f.Hover().HoverElementId(), 1081);
    const QImage after = f.window()->grab().toImage();
    EXPECT_NE(before, after);
    EXPECT_TRUE(after.save(screenshotFolder() + QStringLiteral("/z5-chrome-blue-sky.png")));
    EXPECT_TRUE(showsPicture(f.SkinPiece[0], 104));
    EXPECT_TRUE(showsPicture(f.cmdWBControl[0], 185));
    EXPECT_NE(f.WBTextBox[1].backColor(), statusBefore);
    EXPECT_EQ(f.WBTextBox[1].backColor(), ColorFromSkinText(QStringLiteral("&HE8C38F")));
    EXPECT_EQ(f.WBProgressBar->barColor(), ColorFromSkinText(QStringLiteral("&H2F9AF5")));
    // The bar that page loads and the image fetcher fill lies over its band.
    EXPECT_EQ(f.WBProgressBar->left(), f.ImageBox[imagebox::ProgressBand].left());
    EXPECT_EQ(f.WBProgressBar->top(), f.ImageBox[imagebox::ProgressBand].top());
    EXPECT_EQ(PopupMenuColor, QStringLiteral("&HFBF8F4"));

    // The next move elsewhere restores the kept element in the new skin.
    QTest::mouseMove(handle(), centreOf(f.cmdAppOpt[3]));
    EXPECT_TRUE(showsPicture(f.cmdAppOpt[1], 270));
}

TEST_F(Chrome, ReskinningToASkinThatCannotBeBoundKeepsTheSkinAndSays9004)
{
    const QString log = testenv::freshDir(QStringLiteral("prompts")) + QStringLiteral("/log.txt");
    qputenv("PLATFORM_PROMPT_LOG", log.toUtf8());
    frmExplorer& f = open();
    const QImage before = f.window()->grab().toImage();
    setSetting(QStringLiteral("Z5_SKINNAME"), QStringLiteral("Not There"));
    EXPECT_FALSE(f.Hover().ReapplySkin());
    EXPECT_EQ(SkinName, QStringLiteral("Morvane 1"));
    EXPECT_FALSE(SkinObject.isNull());
    EXPECT_EQ(GetSkinString(101), QStringLiteral("&HB77B5E"));
    EXPECT_EQ(storedSetting(QStringLiteral("Z5_SKINNAME")), QStringLiteral("Morvane 1"));
    EXPECT_TRUE(QString::fromUtf8(testenv::readFile(log)).contains(QStringLiteral("SKIN FILE is missing or corrupted")));
    EXPECT_EQ(f.window()->grab().toImage(), before);
    qunsetenv("PLATFORM_PROMPT_LOG");
}

TEST_F(Chrome, HideAllKeepsThePaneStateAndWritesNothing)
{
    frmExplorer& f = open();
    f.DisplayFlags[DisplaySidePane] = -1;
    ToggleHideAll(f, false);
    ToggleHideAll(f, false); // twice from the menu: the pane's kept state is now hidden
    EXPECT_EQ(f.DisplayFlags[DisplayPaneKeptByHideAll], 0);
    EXPECT_EQ(f.DisplayFlags[DisplayTopBar], 0);
    EXPECT_EQ(storedSetting(QStringLiteral("DIS_TOOLBAR1")), QStringLiteral("<none>"));
    ToggleHideAll(f, true);
    EXPECT_EQ(f.DisplayFlags[DisplayTopBar], -1);
    EXPECT_EQ(f.DisplayFlags[DisplayBottomBar], -1);
    EXPECT_EQ(f.DisplayFlags[DisplaySidePane], 0);
}

TEST_F(Chrome, TheProgressBarCoversItsBandOnlyWhileItFills)
{
    frmExplorer& f = open(12000, 7000);
    QWidget* bar = f.WBProgressBar->widget();
    QWidget* band = f.ImageBox[imagebox::ProgressBand].widget();
    ASSERT_EQ(bar->geometry().topLeft(), band->geometry().topLeft());
    const QRect area = bar->geometry().intersected(band->geometry());
    ASSERT_FALSE(area.isEmpty()) << "the progress bar has no room over its band";
    auto shown = [&] { return f.window()->grab(area).toImage().convertToFormat(QImage::Format_RGB32); };
    // What the window shows there without the bar: the band's picture.
    const bool wasVisible = bar->isVisible();
    bar->hide();
    const QImage bandAlone = shown();
    bar->setVisible(wasVisible);
    const QColor bar132 = f.WBProgressBar->barColor();
    const QColor back131 = f.WBProgressBar->backColor();
    const struct {
        const char* what;
        int maximum, value;
        bool filling;
    } steps[] = {
        {"at rest", 100, 0, false},
        {"a page loading", 100, 40, true},
        {"the page complete", 100, 100, false},
        {"the fetcher under way", 5000, 1200, true},
        {"the fetcher reset", 5000, 0, false},
        {"a fetch of unknown length", 0, 0, false},
    };
    for (const auto& s : steps) {
        f.WBProgressBar->setMaximum(s.maximum);
        f.WBProgressBar->setValue(s.value);
        const QImage now = shown();
        now.save(screenshotFolder() + QStringLiteral("/z5-chrome-progress-%1.png").arg(QString::fromLatin1(s.what).replace(' ', '-')));
        EXPECT_EQ(f.WBProgressBar->visible(), s.filling) << s.what;
        if (s.filling) {
            const int filled = f.WBProgressBar->filledWidth(area.width());
            EXPECT_EQ(now.pixelColor(filled / 2, area.height() / 2), bar132) << s.what;
            EXPECT_EQ(now.pixelColor((filled + area.width()) / 2, area.height() / 2), back131) << s.what;
        } else {
            EXPECT_TRUE(now == bandAlone) << s.what << ": the band's own picture shows";
        }
    }
}

TEST_F(Chrome, TheColourBarNarrowsTheStatusLine)
{
    frmExplorer& f = open(12000, 7000);
    const double wide = f.WBTextBox[1].width();
    ToggleTextColorBar(f);
    EXPECT_EQ(storedSetting(QStringLiteral("DIS_COLORBAR")), QStringLiteral("True"));
    EXPECT_TRUE(f.ImageBox[7].visible());
    EXPECT_DOUBLE_EQ(f.ImageBox[7].left(), f.ImageBox[6].left() - f.ImageBox[7].width() - 360);
    EXPECT_DOUBLE_EQ(f.WBTextBox[1].width(), f.ImageBox[6].left() - 360 - f.ImageBox[7].width() - 400 - 120);
    EXPECT_LT(f.WBTextBox[1].width(), wide);
    ToggleTextColorBar(f);
    EXPECT_FALSE(f.ImageBox[7].visible());
    EXPECT_DOUBLE_EQ(f.WBTextBox[1].width(), f.ImageBox[6].left() - 360 - 400 - 120);
}

TEST_F(Chrome, ToggleImageInfoClearsTheStatusFirstAndRelaysNothing)
{
    frmExplorer& f = open();
    QStringList steps;
    f.Trace = [&steps](const QString& step, int) { steps << step; };
    fakes.calls.clear();
    ToggleImageInfo(f);
    EXPECT_EQ(fakes.calls, QStringList{QStringLiteral("SetStatusMessage(,-1,-1)")});
    EXPECT_EQ(steps, QStringList{QStringLiteral("ToggleImageInfo")});
    EXPECT_EQ(storedSetting(QStringLiteral("DIS_IMAGEINF")), QStringLiteral("False"));
}

TEST_F(Chrome, TheFirstTickOpensTheStartPageAndTakesTheWindowItself)
{
    frmExplorer& f = open();
    ASSERT_TRUE(testenv::waitFor([&] { return f.TimerStage == 9; }));
    EXPECT_EQ(f.MainHwnd, reinterpret_cast<quintptr>(f.window()));
    EXPECT_TRUE(fakes.calls.contains(QStringLiteral("SetTabStateRecord(0,0|1|0|0|0|-1)")));
    EXPECT_TRUE(fakes.calls.contains(QStringLiteral("OpenWB_StartPage(2)")));
    EXPECT_TRUE(fakes.calls.contains(QStringLiteral("SetButtonTooltips")));
    EXPECT_FALSE(f.NavigationHeld);
}

TEST_F(Chrome, TheFirstTickOffersTypedAddressesOnlyWhenAutoCompleteIsOn)
{
    CreateRegistryKey(HiveCurrentUser, QStringLiteral("Software\\Microsoft\\Internet Explorer\\TypedURLs"));
    ASSERT_TRUE(WriteTypedUrl(QStringLiteral("url1"), QStringLiteral("http://typed.example/")));
    ASSERT_TRUE(WriteTypedUrl(QStringLiteral("url2"), QStringLiteral("http://second.example/a")));
    ASSERT_TRUE(WriteTypedUrl(QStringLiteral("url4"), QStringLiteral("http://after-a-gap.example/")));
    for (const char* option : {"0", "1"}) {
        setSetting(QStringLiteral("USETXTAUTOCOMPLETE"), QString::fromLatin1(option));
        frmExplorer& f = open();
        ASSERT_TRUE(testenv::waitFor([&] { return f.TimerStage == 9; }));
        const QStringList offered = f.WBTextBox[0].completions();
        if (QString::fromLatin1(option) == QLatin1String("1")) {
            EXPECT_EQ(offered, (QStringList{QStringLiteral("http://typed.example/"), QStringLiteral("http://second.example/a")}));
        } else {
            EXPECT_TRUE(offered.isEmpty());
        }
        window.reset();
    }
}

TEST_F(Chrome, ATickDuringAWaitInsideAnEarlierTickDoesNotReenterIt)
{
    int depth = 0;
    int deepest = 0;
    fakes.onOpenStartPage = [&] {
        ++depth;
        deepest = std::max(deepest, depth);
        platform::Delay(450); // a prompt open for several ticks
        --depth;
    };
    frmExplorer& f = open();
    ASSERT_TRUE(testenv::waitFor([&] { return f.TimerStage == 9; }));
    QTest::qWait(300);
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(fakes.calls.count(QStringLiteral("OpenWB_StartPage(2)")), 1);
}

TEST_F(Chrome, HousekeepingAndPlayerTicksCallTheirRoutinesInOrder)
{
    frmExplorer& f = open();
    f.AppTimer[0].setEnabled(false);
    struct Case {
        const char* name;
        std::function<void(frmExplorer&, RecordingServices&)> arrange;
        int timer;
        QStringList expected;
    };
    const Case cases[] = {
        {"housekeeping, one instance off", [](frmExplorer& w, RecordingServices&) {
             w.TimerStage = 9;
             w.GeneralOptionBytes[OptRunOneInstanceOnly] = 0;
             w.TickCounter = 9;
         }, 0, {QStringLiteral("CloseDuplicatePopupTabs"), QStringLiteral("RefreshDownloadStatusFrames"), QStringLiteral("FixScrollOfCurrentPage")}},
        {"housekeeping, tenth tick reads hand-offs, pending folder opens", [](frmExplorer& w, RecordingServices&) {
             w.TimerStage = 9;
             w.GeneralOptionBytes[OptRunOneInstanceOnly] = 1;
             w.TickCounter = 9;
             w.PendingUrl = QStringLiteral("C:\\Group");
         }, 0, {QStringLiteral("ReadHandOffFiles"), QStringLiteral("OpenGroupFolder(2,C:\\Group)"), QStringLiteral("CloseDuplicatePopupTabs"),
                QStringLiteral("RefreshDownloadStatusFrames"), QStringLiteral("FixScrollOfCurrentPage")}},
        {"lists stage", [](frmExplorer& w, RecordingServices&) { w.TimerStage = 2; }, 0, {QStringLiteral("ShowCurrentList")}},
        {"menu stage, popup closed", [](frmExplorer& w, RecordingServices&) { w.TimerStage = 1; }, 0, {QStringLiteral("EndMenuBarMode")}},
        {"nothing playing", [](frmExplorer& w, RecordingServices&) {
             w.ListPlayState[1] = 1;
             w.ListPlayState[2] = 1;
         }, 2, {}},
        {"audio in front", [](frmExplorer& w, RecordingServices& s) {
             w.ListPlayState[1] = 2;
             w.CurrentListKind = 1;
             w.ButtonReleased = -1;
             s.audioStopped = true;
         }, 2, {QStringLiteral("MediaTimerTick(1)")}},
        {"audio behind the image list ended", [](frmExplorer& w, RecordingServices& s) {
             w.ListPlayState[1] = 2;
             w.CurrentListKind = 3;
             w.ButtonReleased = 0;
             s.audioStopped = true;
         }, 2, {QStringLiteral("OnAudioItemEnded")}},
        {"image slide show", [](frmExplorer& w, RecordingServices&) {
             w.ListPlayState[3] = 2;
             w.ImagesPerView = 1;
         }, 3, {QStringLiteral("NextImageListItem")}},
        {"multi-image view steps to its next page", [](frmExplorer& w, RecordingServices&) {
             w.ListPlayState[3] = 2;
             w.ImagesPerView = 2;
         }, 3, {QStringLiteral("ShowImageListItem")}},
        {"link list not playing", [](frmExplorer& w, RecordingServices&) { w.ListPlayState[5] = 1; }, 5, {}},
        {"snippet list", [](frmExplorer& w, RecordingServices&) { w.ListPlayState[4] = 2; }, 4, {QStringLiteral("ShowSnippetListItem")}},
    };
    for (const Case& c : cases) {
        c.arrange(f, fakes);
        fakes.calls.clear();
        f.AppTimer_Timer(c.timer);
        EXPECT_EQ(fakes.calls, c.expected) << c.name;
        fakes.audioStopped = false;
    }
}

TEST_F(Chrome, TheSlideShowDelayComesFromTheDelayLabel)
{
    frmExplorer& f = open();
    const struct {
        const char* caption;
        int interval;
        float delay;
    } cases[] = {{"0", 55, 0.055f}, {"2.5", 2500, 2.5f}, {"abc", 55, 0.055f}, {"-3", 55, 0.055f}};
    for (const auto& c : cases) {
        f.APPLabel[2].setCaption(QString::fromLatin1(c.caption));
        SetAutoAdvanceDelay(f, 4);
        EXPECT_EQ(f.AppTimer[4].interval(), c.interval) << c.caption;
        EXPECT_FLOAT_EQ(f.ListDelayTime[4], c.delay) << c.caption;
    }
}

TEST_F(Chrome, AWindowManagerCloseEndsTheWindowAtTheNextTickWithTheSettingsWrittenFirst)
{
    frmExplorer& f = open();
    ASSERT_TRUE(testenv::waitFor([&] { return f.TimerStage == 9; }));
    // Pages of this run, of another live instance and of an ended run.
    const QString temp = platform::paths::privateTempFolder();
    const QString ownStem = QFileInfo(platform::paths::toLocal(f.TempPagePrefix)).fileName();
    ASSERT_TRUE(ownStem.startsWith(QStringLiteral("~Z5_")));
    const QString own = temp + QLatin1Char('/') + ownStem + QStringLiteral("1.htm");
    const QString other = temp + QStringLiteral("/~Z5_0000001a.htm");
    ASSERT_TRUE(testenv::writeFile(own, "mine"));
    ASSERT_TRUE(testenv::writeFile(other, "theirs"));
    TempPageLock otherLive(TempPageLockPath(QStringLiteral("~Z5_0000001")));
    ASSERT_TRUE(otherLive.held());

    QString settingWhenHidden;
    struct HideWatch : QObject {
        QString* seen;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Hide && seen->isEmpty())
                *seen = storedSetting(QStringLiteral("WIN_W"));
            return false;
        }
    } watch;
    watch.seen = &settingWhenHidden;
    f.window()->installEventFilter(&watch);
    SavedMasterVolume = -1;
    fakes.calls.clear();

    // The window's ticks from the request on: the first one ends it.
    int ticks = 0;
    auto tick = std::move(f.AppTimer[0].onTimer);
    f.AppTimer[0].onTimer = [&ticks, tick] {
        ++ticks;
        tick();
    };
    testenv::closeFromWindowManager(handle());
    EXPECT_EQ(CloseRequested, -1);
    EXPECT_TRUE(f.window()->isVisible()) << "the close request itself closes nothing";
    ASSERT_TRUE(testenv::waitFor([&] { return !f.window()->isVisible(); }, 10000));
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(settingWhenHidden, QStringLiteral("9200"));
    EXPECT_FALSE(QFile::exists(own));
    EXPECT_TRUE(QFile::exists(other));
    EXPECT_FALSE(fakes.calls.join(QLatin1Char(' ')).contains(QStringLiteral("ApplyMixerVolume")))
        << "a volume the program never changed is left alone";
    EXPECT_TRUE(fakes.calls.contains(QStringLiteral("StopAllPlayers")));
    EXPECT_FALSE(f.AppTimer[0].enabled());
}

TEST_F(Chrome, UnloadGivesBackAVolumeTheProgramChangedAndUnloadsEveryBrowserButTheFirst)
{
    frmExplorer& f = open();
    SavedMasterVolume = 4000;
    fakes.tabBrowsers = QVector<int16_t>{0, 2, 5};
    fakes.calls.clear();
    f.unload();
    EXPECT_TRUE(fakes.calls.contains(QStringLiteral("ApplyMixerVolume(4000)")));
    EXPECT_TRUE(fakes.calls.contains(QStringLiteral("UnloadBrowser(2)")));
    EXPECT_TRUE(fakes.calls.contains(QStringLiteral("UnloadBrowser(5)")));
    EXPECT_FALSE(fakes.calls.contains(QStringLiteral("UnloadBrowser(0)")));
}

TEST_F(Chrome, LoadDeletesLeftoversOfEndedRunsOnly)
{
    const QString temp = platform::paths::privateTempFolder();
    const QString ended = temp + QStringLiteral("/~Z5_0000002x.htm");
    const QString live = temp + QStringLiteral("/~Z5_0000003x.htm");
    ASSERT_TRUE(testenv::writeFile(ended, "old"));
    ASSERT_TRUE(testenv::writeFile(live, "live"));
    TempPageLock liveLock(TempPageLockPath(QStringLiteral("~Z5_0000003")));
    ASSERT_TRUE(liveLock.held());
    open();
    EXPECT_FALSE(QFile::exists(ended));
    EXPECT_TRUE(QFile::exists(live));
}

TEST(SkinValues, ColoursAreBlueGreenRedAndAnythingElseIsBlack)
{
    const struct {
        const char* text;
        QColor colour;
    } cases[] = {
        {"&HB77B5E", QColor(0x5E, 0x7B, 0xB7)}, {"&H0000FF", QColor(0xFF, 0, 0)}, {"&H0", QColor(0, 0, 0)},
        {"&hFF0000", QColor(0, 0, 0xFF)},       {"junk", QColor(0, 0, 0)},          {"", QColor(0, 0, 0)},
        {"-5", QColor(0, 0, 0)},                {"&H1FFFFFFFF", QColor(0, 0, 0)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ColorFromSkinText(QString::fromLatin1(c.text)), c.colour) << c.text;
}

TEST_F(Chrome, TheRestoredWindowTakesTheRememberedRectangleOnlyWhenItFitsTheWorkArea)
{
    frmExplorer& f = open();
    const QRect work = platform::windows::workArea(f.window());
    const double Wt = work.width() * 15.0;
    const double Ht = work.height() * 15.0;
    // Rounded half to even, as whole numbers were.
    const double centredLeft = std::nearbyint((Wt - 9200) / 2);
    const double centredTop = std::nearbyint((Ht - 6675) / 2);
    const struct {
        const char* name;
        WindowRectTwips remembered;
        Geometry expected;
    } cases[] = {
        {"first start", {0, 0, 0, 0}, {centredLeft, centredTop, 9200, 6675}},
        {"fits", {300, 600, 9500, 7000}, {300, 600, 9500, 7000}},
        {"left of the screen", {-15, 0, 9500, 7000}, {centredLeft, centredTop, 9200, 6675}},
        {"below the minimum", {0, 0, 9000, 7000}, {centredLeft, centredTop, 9200, 6675}},
        {"the whole work area", {0, 0, static_cast<int32_t>(Wt), static_cast<int32_t>(Ht)}, {centredLeft, centredTop, 9200, 6675}},
        {"as wide but lower", {0, 0, static_cast<int32_t>(Wt), static_cast<int32_t>(Ht) - 15}, {0, 0, Wt, Ht - 15}},
        {"out at the bottom", {0, static_cast<int32_t>(Ht) - 6000, 9500, 7000}, {centredLeft, centredTop, 9200, 6675}},
    };
    for (const auto& c : cases) {
        f.NormalWindowRect = c.remembered;
        f.Placement().MaximizeRestoreWindow(false);
        EXPECT_DOUBLE_EQ(f.left(), c.expected.left) << c.name;
        EXPECT_DOUBLE_EQ(f.top(), c.expected.top) << c.name;
        EXPECT_DOUBLE_EQ(f.width(), c.expected.width) << c.name;
        EXPECT_DOUBLE_EQ(f.height(), c.expected.height) << c.name;
        EXPECT_EQ(f.cmdFormControl[2].toolTipText(), QStringLiteral(" Maximize ")) << c.name;
    }
    // Maximised over the work area; an auto-hidden bar at the bottom keeps a pixel free.
    f.Placement().MaximizeRestoreWindow(true);
    EXPECT_DOUBLE_EQ(f.width(), Wt);
    EXPECT_DOUBLE_EQ(f.height(), Ht);
    EXPECT_EQ(f.cmdFormControl[2].toolTipText(), QStringLiteral(" Restore Down "));
    platform::windows::setTaskbarProvider({[] { return platform::windows::TaskbarAutoHide; }, [](int edge) { return edge == 3; }});
    f.Placement().MaximizeRestoreWindow(true);
    EXPECT_DOUBLE_EQ(f.top(), (work.top() - 1) * 15.0);
    EXPECT_DOUBLE_EQ(f.height(), Ht - 15);
    platform::windows::setTaskbarProvider({});
}

TEST_F(Chrome, MenuCaptionsDropTheirMnemonicsUnlessAskedForThem)
{
    frmExplorer& f = open();
    // The shipped language file writes the captions with "&".
    EXPECT_EQ(f.cmdMenu[0].caption().trimmed(), QStringLiteral("File"));
    EXPECT_EQ(f.cmdMenu[4].caption().trimmed(), QStringLiteral("Window"));
    f.SetMenuBarCaptions(true);
    EXPECT_EQ(f.cmdMenu[0].caption().trimmed(), QStringLiteral("&File"));
    f.SetMenuBarCaptions(false);
    EXPECT_EQ(f.cmdMenu[2].caption().trimmed(), QStringLiteral("View"));
}

TEST_F(Chrome, AMaximisedWindowEndsKeepingItsNormalRectangleAndItsPageLock)
{
    frmExplorer& f = open();
    // Maximised from a normal rectangle of its own.
    f.NormalWindowRect = WindowRectTwips{600, 450, 9600, 7200};
    f.DisplayFlags[DisplayMaximised] = -1;
    f.move(0, 0, 15000, 11000);
    const QString lock = TempPageLockPath(QFileInfo(platform::paths::toLocal(f.TempPagePrefix)).fileName());
    ASSERT_TRUE(QFile::exists(lock));
    f.unload();
    const struct {
        const char* name;
        const char* value;
    } saved[] = {{"WIN_L", "600"}, {"WIN_T", "450"}, {"WIN_W", "9600"}, {"WIN_H", "7200"}};
    for (const auto& s : saved)
        EXPECT_EQ(ReadZ5Setting(HiveCurrentUser, QString::fromLatin1(s.name), QString()), QString::fromLatin1(s.value))
            << s.name;
    window.reset();
    EXPECT_FALSE(QFile::exists(lock)) << "a run that ended leaves no page lock behind";
}
