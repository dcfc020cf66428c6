#include "mainwindow/hovertracking.h"

#include "core/globals.h"
#include "core/language.h"
#include "core/messagebox.h"
#include "core/settingsstore.h"
#include "core/skinbinding.h"
#include "mainwindow/chromelayout.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/mainlayout.h"
#include "contracts/services.h"
#include "mainwindow/skinvalues.h"
#include "platform/win/inputstate.h"

namespace {

bool inRange(int code, int first, int last)
{
    return code >= first && code <= last;
}

// The control an element code stands for (nullptr for none or a control
// this window does not hold).
platform::forms::Control* controlOf(frmExplorer& f, int code)
{
    if (inRange(code, 1001, 1005))
        return f.cmdShowHide.at(code - 1001);
    if (inRange(code, 1030, 1045))
        return f.cmdMediaControl.at(code - 1030);
    if (inRange(code, 1080, 1088))
        return f.cmdAppOpt.at(code - 1080);
    if (code == 1095)
        return f.cmdCloseTab.get();
    if (inRange(code, 2000, 2009))
        return f.cmdWBControl.at(code - 2000);
    if (inRange(code, 2010, 2013))
        return f.cmdFormControl.at(code - 2010);
    if (code == 2025)
        return f.ImageBox.at(3);
    if (inRange(code, 3000, 3004))
        return f.cmdMenu.at(code - 3000);
    if (inRange(code, 3100, 3199))
        return f.cmdTabNum.at(code - 3100);
    if (code == 3200)
        return f.ImageBox.at(7);
    return nullptr;
}

} // namespace

bool IsCursorOverControl(frmExplorer& /*f*/, const platform::forms::Control& control)
{
    const QWidget* w = control.widget();
    if (!w || !w->isVisible())
        return false;
    const QRect onScreen(w->mapToGlobal(QPoint(0, 0)), w->size());
    return onScreen.contains(platform::inputstate::cursorPos());
}

void SetHoverElement(frmExplorer& f, int16_t code)
{
    f.trace("restore", code);
    if (code == 1000) {
        f.services().Lists().HideAddressDropDown();
        f.AddressDropDownOpen = false;
    } else if (inRange(code, 1001, 1005)) {
        const int i = code - 1001;
        static constexpr int16_t normal[5][2] = {{145, 143}, {147, 147}, {141, 141}, {139, 137}, {135, 133}};
        const int flag = i == 0 ? DisplaySidePane : i == 3 ? DisplayMenuRow : i == 4 ? DisplayMediaRow : -1;
        const bool shown = flag >= 0 && f.DisplayFlags[flag] != 0;
        SetSkinPicture(f.cmdShowHide[i], normal[i][shown ? 1 : 0]);
    } else if (inRange(code, 1010, 1024)) {
        f.services().Lists().SetListButtonPicture(static_cast<int16_t>(code - 1010), 0);
    } else if (inRange(code, 1030, 1045)) {
        const int i = code - 1030;
        const platform::forms::Control* c = f.cmdMediaControl.at(i);
        if (!inRange(i, 3, 7) || (c && c->enabled()))
            f.services().Media().SetMediaButtonPicture(static_cast<int16_t>(i), 0);
        if (i == 14)
            f.VolumeKnobGlide.set(false);
        if (i == 15)
            f.PositionKnobGlide.set(false);
    } else if (inRange(code, 1080, 1088)) {
        SetAppButtonPicture(f, static_cast<int16_t>(code - 1080), 0);
    } else if (code == 1095) {
        SetSkinPicture(*f.cmdCloseTab, 396);
    } else if (inRange(code, 2000, 2009)) {
        const int i = code - 2000;
        if (i != 7) {
            const bool disabled = (i == 2 || i == 3) && !f.cmdWBControl[i].enabled();
            SetNavButtonPicture(f, static_cast<int16_t>(i), disabled ? 3 : 0);
        }
    } else if (inRange(code, 2010, 2013)) {
        static constexpr int16_t normal[4] = {204, 207, 210, 216};
        const int i = code - 2010;
        SetSkinPicture(f.cmdFormControl[i], i == 2 && f.DisplayFlags[DisplayMaximised] != 0 ? 213 : normal[i]);
    } else if (code == 2025) {
        SetSkinPicture(f.ImageBox[3], 200);
    } else if (inRange(code, 3000, 3004)) {
        f.cmdMenu[code - 3000].setForeColor(ColorFromSkinText(f.MenuCaptionColor));
    } else if (inRange(code, 3100, 3199)) {
        // Button i stands for tab i + TabButtonOffset.
        if (code - 3100 + f.TabButtonOffset != f.services().Tabs().CurrentTab())
            if (auto* tab = f.cmdTabNum.at(code - 3100))
                SetSkinPicture(*tab, 400);
    } else if (code == 3200) {
        f.ColorBarMarker->setVisible(false);
    }
    f.HoverElementId = -1;
}

void CheckHoverLeave(frmExplorer& f, int16_t code)
{
    if (code < 0)
        return;
    if (code == 1000) {
        // The drop-down list belongs to the lists pane; the address row is ours.
        if (!IsCursorOverControl(f, f.PicHolder[1]))
            SetHoverElement(f, code);
        return;
    }
    // An element whose control this window does not hold (yet) cannot be
    // tested: it keeps its look until another element is entered.
    platform::forms::Control* c = controlOf(f, code);
    if (c && !IsCursorOverControl(f, *c))
        SetHoverElement(f, code);
}

void HoverEnter(frmExplorer& f, int16_t code)
{
    if (f.HoverElementId == code)
        return;
    SetHoverElement(f, f.HoverElementId);
    f.HoverElementId = code;
    f.trace("hover", code);
    if (inRange(code, 1080, 1088)) {
        SetAppButtonPicture(f, static_cast<int16_t>(code - 1080), 1);
    } else if (inRange(code, 2000, 2009)) {
        SetNavButtonPicture(f, static_cast<int16_t>(code - 2000), 1);
    } else if (inRange(code, 2010, 2013)) {
        const int i = code - 2010;
        const bool maximised = f.DisplayFlags[DisplayMaximised] != 0;
        static constexpr int16_t hover[4] = {205, 208, 211, 217};
        if (i == 0 && maximised)
            return;
        SetSkinPicture(f.cmdFormControl[i], i == 2 && maximised ? 214 : hover[i]);
    } else if (inRange(code, 3000, 3004)) {
        f.cmdMenu[code - 3000].setForeColor(ColorFromSkinText(f.MenuCaptionHoverColor));
    }
}

void ApplySkinColors(frmExplorer& f)
{
    f.trace("ApplySkinColors");
    f.FrameStretch = GetSkinString(116) == QLatin1String("T");
    for (int i = 4; i <= 7; ++i)
        f.SkinPiece[i].setStretch(f.FrameStretch);
    auto& status = f.WBTextBox[1];
    status.setForeColor(SkinColor(102));
    status.setBackColor(SkinColor(103));
    f.MenuCaptionColor = GetSkinString(122);
    f.MenuCaptionHoverColor = GetSkinString(123);
    f.MenuCaptionOpenColor = GetSkinString(124);
    PopupMenuColor = GetSkinString(121);
    for (int i = 0; i <= 4; ++i)
        f.cmdMenu[i].setForeColor(ColorFromSkinText(f.MenuCaptionColor));
    f.WBTextBox[2].setForeColor(SkinColor(125));
    f.WBTextBox[2].setBackColor(SkinColor(133));
    f.APPLabel[0].setForeColor(SkinColor(127));
    f.APPLabel[1].setForeColor(SkinColor(127));
    f.APPLabel[3].setForeColor(SkinColor(136));
    f.cmdCloseTab->setForeColor(SkinColor(136));
    f.ColorBarMarker->setBackColor(SkinColor(153));
}

void ApplySkinPictures(frmExplorer& f)
{
    f.trace("ApplySkinPictures");
    SetSkinPicture(f.cmdShowHide[0], f.DisplayFlags[DisplaySidePane] != 0 ? 143 : 145);
    SetSkinPicture(f.cmdShowHide[1], 147);
    SetSkinPicture(f.cmdShowHide[2], 141);
    SetSkinPicture(f.cmdFormControl[0], 204);
    SetSkinPicture(f.cmdFormControl[1], 207);
    SetSkinPicture(f.cmdFormControl[3], 216);
    SetSkinPicture(f.cmdFormControl[2], f.DisplayFlags[DisplayMaximised] != 0 ? 213 : 210);
    for (int i = 0; i <= 9; ++i)
        SetNavButtonPicture(f, static_cast<int16_t>(i), i == 2 || i == 3 ? 3 : 0);
    SetSkinPicture(f.ImageBox[1], 128);
    SetSkinPicture(f.ImageBox[4], 411);
    SetSkinPicture(f.ImageBox[5], 416);
    SetSkinPicture(f.ImageBox[9], 130);
    SetStretchedPicture(*f.SPLITTER1, 125); // its own width, the pane's height
    SetSkinPicture(f.cmdShowHide[3], f.cmdMenu[0].visible() ? 137 : 139);
    for (int i = 0; i <= 8; ++i)
        SetAppButtonPicture(f, static_cast<int16_t>(i), 0);
    SetSkinPicture(*f.cmdCloseTab, 396);
    SetSkinPicture(f.ImageBox[2], 203);
    SetSkinPicture(f.ImageBox[3], 200);
    SetSkinPicture(f.ImageBox[6], 127);
    SetSkinPicture(f.ImageBox[7], 131);
    SetStretchedPicture(f.ImageBox[8], 132);
    f.services().Menus().UnloadMenuImageHolder();
}

void ApplyProgressBarColors(frmExplorer& f)
{
    f.trace("ApplyProgressBarColors");
    f.WBProgressBar->setBarColor(SkinColor(132));
    f.WBProgressBar->setBackColor(SkinColor(131));
}

bool ReapplySkin(frmExplorer& f)
{
    f.trace("ReapplySkin");
    const QString previousName = SkinName;
    const platform::com::Object previousSkin = SkinObject;
    SkinName = ReadZ5Setting(HiveCurrentUser, QStringLiteral("Z5_SKINNAME"), previousName);
    if (!BindSkinLibrary()) {
        // The skin in use stays, and so does its name for the next start.
        SkinName = previousName;
        SkinObject = previousSkin;
        SaveZ5Setting(HiveCurrentUser, QStringLiteral("Z5_SKINNAME"), previousName);
        ShowMessage(GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9004"),
                                  QStringLiteral("SKIN FILE is missing or corrupted")),
                    1, 0);
        return false;
    }
    ApplySkinColors(f);
    ApplySkinPictures(f);
    f.services().Media().RefreshMediaButtonPictures();
    ApplyProgressBarColors(f);
    f.services().Tabs().ShowBusyIndicator();
    f.LockControl(true);
    ApplySkinLayout(f);
    ApplyMenuBarStates(f);
    LayoutMainWindow(f);
    f.LockControl(false);
    return true;
}
