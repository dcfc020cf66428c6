#include "mainwindow/mediatoolbarlayout.h"

#include "core/globals.h"
#include "core/language.h"
#include "mainwindow/frmexplorer.h"
#include "contracts/services.h"
#include "mainwindow/skinpictures.h"
#include "mainwindow/skinvalues.h"
#include "mainwindow/windowplacement.h"

#include "platform/win/twips.h"

#include <QFontMetrics>
#include <QWidget>

#include <vector>

namespace {

using platform::forms::Control;

// Left, Top of one media button that exists.
void place(frmExplorer& f, int index, double x, double y)
{
    if (Control* c = f.cmdMediaControl.at(index))
        c->move(x, y);
}

double widthOf(frmExplorer& f, int index)
{
    const Control* c = f.cmdMediaControl.at(index);
    return c ? c->width() : 0;
}

// The height of one line of a label's text, in twips.
double lineHeight(const Control& label)
{
    return platform::forms::toTwipsY(QFontMetrics(label.widget()->font()).height());
}

// Places the buttons at (x, top), each after the one before, and returns
// the running Left.
double row(frmExplorer& f, std::initializer_list<int> buttons, double x, double top)
{
    for (int b : buttons) {
        place(f, b, x, top);
        x += widthOf(f, b);
    }
    return x;
}

// Fills one slider's track fields from its track and knob controls.
void trackGeometry(std::array<float, 5>& track, double s, double trackWidth, double knobWidth, double pad)
{
    const double travel = trackWidth - knobWidth - 2 * pad;
    track[0] = static_cast<float>(s + pad);
    track[1] = static_cast<float>(s + travel + pad);
    track[2] = static_cast<float>(knobWidth / 2);
    track[3] = static_cast<float>(travel);
    track[4] = static_cast<float>(knobWidth);
}

} // namespace

void LayoutMediaControlCenter(frmExplorer& f)
{
    f.trace("LayoutMediaControlCenter");
    const QString section = QStringLiteral("OTHERS-TOOLTIPTEXT");
    const bool bottomBar = f.DisplayFlags[DisplayBottomBar] != 0;
    auto& showHide = f.cmdShowHide[showhide::MediaRow];
    if (f.DisplayFlags[DisplayMediaRow] == 0) {
        SetSkinPicture(f.SkinPiece[skinpiece::BottomLeft], bottomBar ? skinpic::BottomLeftMediaRowHidden : skinpic::BottomLeftBottomBarHidden);
        f.services().Media().HideMediaToolbar();
        SetSkinPicture(showHide, skinpic::ShowMediaRow);
        showHide.setToolTipText(
            GetLangCaption(section, QStringLiteral("5007"), QStringLiteral("Show Media Control Toolbar")));
    } else {
        if (!bottomBar) {
            SetSkinPicture(f.SkinPiece[skinpiece::BottomLeft], skinpic::BottomLeftBottomBarHidden);
            f.services().Media().HideMediaToolbar();
        } else {
            SetSkinPicture(f.SkinPiece[skinpiece::BottomLeft], skinpic::BottomLeftMediaRowShown);
            f.services().Media().ShowMediaToolbarForKind(f.CurrentListKind);
        }
        SetSkinPicture(showHide, skinpic::HideMediaRow);
        showHide.setToolTipText(
            GetLangCaption(section, QStringLiteral("5006"), QStringLiteral("Hide Media Control Toolbar")));
    }
}

void LayoutMediaToolbar(frmExplorer& f, int16_t kind)
{
    f.trace("LayoutMediaToolbar", kind);
    const bool fullScreen = f.Placement().FullScreenMode() != 0;
    const double gap = SkinTwips(126);
    const double base = f.SkinPiece[skinpiece::Bottom].top();
    double x = fullScreen ? gap : f.cmdShowHide[showhide::MediaRow].left() + f.cmdShowHide[showhide::MediaRow].width();
    x += gap;

    const double top0 = f.cmdAppOpt[quickbutton::Help].top();
    x = row(f, {0}, x, top0);
    if (!fullScreen)
        x = row(f, {1}, x, top0);
    x += gap;

    const double top = base + SkinTwips(139);
    x = row(f, {2}, x, top) + gap;

    const double labelTop = top + SkinTwips(111);
    if (kind == 1 || kind == 2) {
        x = row(f, {3, 4, 5, 6, 7}, x, top);
        if (kind == 2)
            x = row(f, {9, 10, 11, 8}, x, top);
        // The sliders: volume, then position.
        const int k = kind;
        double s = x + gap;
        const double tTrack = base + SkinTwips(140);
        const double tKnob = base + SkinTwips(141);
        const double pad = SkinTwips(144);
        auto& volume = f.ImageBox[imagebox::VolumeTrack];
        volume.move(s, tTrack);
        trackGeometry(f.VolumeTrack, s, volume.width(), widthOf(f, 14), pad);
        f.VolumeKnobX[k] = f.VolumeTrack[0] + f.VolumeTrack[3] * f.VolumeFraction[k];
        place(f, 14, f.VolumeKnobX[k], tKnob);

        s += volume.width() + gap;
        auto& position = f.ImageBox[imagebox::PositionTrack];
        position.move(s, tTrack);
        trackGeometry(f.PositionTrack, s, position.width(), widthOf(f, 15), pad);
        f.PositionKnobX[k] = f.PositionKnobX[k] == 0 ? f.PositionTrack[0]
                                                      : f.PositionTrack[0] + f.PositionTrack[3] * f.PositionFraction[k];
        place(f, 15, f.PositionKnobX[k], tKnob);
        x = s + position.width();
    } else if (kind >= 3 && kind <= 5) {
        x = row(f, {3, 4, 6, 7}, x, top) + gap;
        if (kind == 3)
            x = row(f, {8}, x, top);
        // The delay display.
        const double d = x + gap;
        auto& display = f.ImageBox[imagebox::DelayDisplay];
        display.move(d, top);
        // The delay's number: one line of text across the box, in front
        // of the box and behind its two buttons.
        auto& delay = f.APPLabel[applabel::Delay];
        delay.move(d, labelTop, display.width(), lineHeight(delay));
        delay.zOrder(0);
        place(f, 12, d, top);
        place(f, 13, d + display.width() - widthOf(f, 12), top);
        for (int b : {12, 13})
            if (Control* c = f.cmdMediaControl.at(b))
                c->zOrder(0);
        x = d + display.width();
    } else if (kind == 6) {
        x = row(f, {3, 7}, x, top);
    }

    if (fullScreen) {
        x += gap;
        auto& panel = f.ImageBox[imagebox::TimePanel];
        panel.move(x, top);
        const double half = (panel.width() - gap) / 2;
        f.APPLabel[applabel::ListItemNumber].move(x, labelTop, NonNegative(half));
        x += half + gap;
        f.APPLabel[applabel::ListItemCount].move(x, labelTop, NonNegative(half));
    }
}

void UnloadNamedControl(frmExplorer& f, const QString& name, int16_t index)
{
    // Only members loaded at run time can go; the window's own members
    // (index 0 of the media buttons) stay, as unloading them never could.
    if (name != f.cmdMediaControl.name() || index <= 0)
        return;
    const std::vector<Control*> controls = f.controls();
    for (const Control* c : controls)
        if (c->name() == name && c->index() == index)
            f.cmdMediaControl.unload(index);
}
