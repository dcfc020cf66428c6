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
#include "mainwindow/skinpictures.h"
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
        return f.ImageBox.at(imagebox::DropDownArrow);
    if (inRange(code, 3000, 3004))
        return f.cmdMenu.at(code - 3000);
    if (inRange(code, 3100, 3199))
        return f.cmdTabNum.at(code - 3100);
    if (code == 3200)
        return f.ImageBox.at(imagebox::ColourBar);
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

void HoverTracking::SetHoverElement(int16_t code)
{
    f.trace("restore", code);
    if (code == 1000) {
        f.services().Lists().HideAddressDropDown();
        f.AddressDropDownOpen = false;
    } else if (inRange(code, 1001, 1005)) {
        const int i = code - 1001;
        // By showhide index: the picture while the bar is hidden, and shown.
        static constexpr int16_t normal[5][2] = {{skinpic::ShowSidePane, skinpic::HideSidePane},
                                                 {skinpic::ShowTopBar, skinpic::ShowTopBar},
                                                 {skinpic::ShowBottomBar, skinpic::ShowBottomBar},
                                                 {skinpic::ShowMenuRow, skinpic::HideMenuRow},
                                                 {skinpic::ShowMediaRow, skinpic::HideMediaRow}};
        const int flag = i == showhide::SidePane  ? DisplaySidePane
                         : i == showhide::MenuRow  ? DisplayMenuRow
                         : i == showhide::MediaRow ? DisplayMediaRow
                                                   : -1;
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
        SetSkinPicture(*f.cmdCloseTab, skinpic::CloseTab);
    } else if (inRange(code, 2000, 2009)) {
        const int i = code - 2000;
        if (i != navbutton::TabNumber) {
            const bool disabled = (i == navbutton::Back || i == navbutton::Forward) && !f.cmdWBControl[i].enabled();
            SetNavButtonPicture(f, static_cast<int16_t>(i), disabled ? 3 : 0);
        }
    } else if (inRange(code, 2010, 2013)) {
        static constexpr int16_t normal[4] = {skinpic::Move, skinpic::Minimize, skinpic::Maximize, skinpic::Close};
        const int i = code - 2010;
        const bool restore = i == formbutton::Maximize && f.DisplayFlags[DisplayMaximised] != 0;
        SetSkinPicture(f.cmdFormControl[i], restore ? int16_t{skinpic::RestoreDown} : normal[i]);
    } else if (code == 2025) {
        SetSkinPicture(f.ImageBox[imagebox::DropDownArrow], skinpic::DropDownArrow);
    } else if (inRange(code, 3000, 3004)) {
        f.cmdMenu[code - 3000].setForeColor(ColorFromSkinText(menuCaptionColor_));
    } else if (inRange(code, 3100, 3199)) {
        // Button i stands for tab i + TabButtonOffset.
        if (code - 3100 + f.TabButtonOffset != f.services().Tabs().CurrentTab())
            if (auto* tab = f.cmdTabNum.at(code - 3100))
                SetSkinPicture(*tab, skinpic::TabButton);
    } else if (code == 3200) {
        f.ColorBarMarker->setVisible(false);
    }
    hoverElementId_ = -1;
}

void HoverTracking::CheckHoverLeave(int16_t code)
{
    if (code < 0)
        return;
    if (code == 1000) {
        // The drop-down closes once the pointer is on neither it nor the
        // address row.
        const platform::forms::Control* dropDown = f.ListView.at(0);
        if (!IsCursorOverControl(f, f.PicHolder[picholder::AddressRow]) && !(dropDown && IsCursorOverControl(f, *dropDown)))
            SetHoverElement(code);
        return;
    }
    // An element whose control this window does not hold (yet) cannot be
    // tested: it keeps its look until another element is entered.
    platform::forms::Control* c = controlOf(f, code);
    if (c && !IsCursorOverControl(f, *c))
        SetHoverElement(code);
}

bool HoverTracking::Enter(int16_t code)
{
    if (hoverElementId_ == code)
        return false;
    SetHoverElement(hoverElementId_);
    hoverElementId_ = code;
    return true;
}

void HoverTracking::HoverEnter(int16_t code)
{
    if (!Enter(code))
        return;
    f.trace("hover", code);
    if (inRange(code, 1080, 1088)) {
        SetAppButtonPicture(f, static_cast<int16_t>(code - 1080), 1);
    } else if (inRange(code, 2000, 2009)) {
        SetNavButtonPicture(f, static_cast<int16_t>(code - 2000), 1);
    } else if (inRange(code, 2010, 2013)) {
        const int i = code - 2010;
        const bool maximised = f.DisplayFlags[DisplayMaximised] != 0;
        static constexpr int16_t hover[4] = {skinpic::Move + skinlook::Hover, skinpic::Minimize + skinlook::Hover,
                                             skinpic::Maximize + skinlook::Hover, skinpic::Close + skinlook::Hover};
        if (i == formbutton::Move && maximised)
            return;
        SetSkinPicture(f.cmdFormControl[i], i == formbutton::Maximize && maximised ? skinpic::RestoreDown + skinlook::Hover : hover[i]);
    } else if (inRange(code, 3000, 3004)) {
        f.cmdMenu[code - 3000].setForeColor(ColorFromSkinText(menuCaptionHoverColor_));
    }
}

void HoverTracking::ApplySkinColors()
{
    f.trace("ApplySkinColors");
    frameStretch_ = GetSkinString(116) == QLatin1String("T");
    for (int i = skinpiece::Top; i <= skinpiece::Left; ++i)
        f.SkinPiece[i].setStretch(frameStretch_);
    auto& status = f.WBTextBox[wbtextbox::Status];
    status.setForeColor(SkinColor(102));
    status.setBackColor(SkinColor(103));
    menuCaptionColor_ = GetSkinString(122);
    menuCaptionHoverColor_ = GetSkinString(123);
    menuCaptionOpenColor_ = GetSkinString(124);
    PopupMenuColor = GetSkinString(121);
    for (int i = 0; i <= menucaption::Last; ++i)
        f.cmdMenu[i].setForeColor(ColorFromSkinText(menuCaptionColor_));
    f.WBTextBox[wbtextbox::TabNumber].setForeColor(SkinColor(125));
    f.WBTextBox[wbtextbox::TabNumber].setBackColor(SkinColor(133));
    f.APPLabel[applabel::ListItemNumber].setForeColor(SkinColor(127));
    f.APPLabel[applabel::ListItemCount].setForeColor(SkinColor(127));
    f.APPLabel[applabel::Delay].setForeColor(SkinColor(127));
    f.APPLabel[applabel::TabCount].setForeColor(SkinColor(136));
    f.cmdCloseTab->setForeColor(SkinColor(136));
    f.ColorBarMarker->setBackColor(SkinColor(153));
}

void HoverTracking::ApplySkinPictures()
{
    f.trace("ApplySkinPictures");
    SetSkinPicture(f.cmdShowHide[showhide::SidePane], f.DisplayFlags[DisplaySidePane] != 0 ? skinpic::HideSidePane : skinpic::ShowSidePane);
    SetSkinPicture(f.cmdShowHide[showhide::TopBar], skinpic::ShowTopBar);
    SetSkinPicture(f.cmdShowHide[showhide::BottomBar], skinpic::ShowBottomBar);
    SetSkinPicture(f.cmdFormControl[formbutton::Move], skinpic::Move);
    SetSkinPicture(f.cmdFormControl[formbutton::Minimize], skinpic::Minimize);
    SetSkinPicture(f.cmdFormControl[formbutton::Close], skinpic::Close);
    SetSkinPicture(f.cmdFormControl[formbutton::Maximize], f.DisplayFlags[DisplayMaximised] != 0 ? skinpic::RestoreDown : skinpic::Maximize);
    for (int i = 0; i <= navbutton::Last; ++i)
        SetNavButtonPicture(f, static_cast<int16_t>(i),
                            i == navbutton::Back || i == navbutton::Forward ? skinlook::Disabled : skinlook::Normal);
    SetSkinPicture(f.ImageBox[imagebox::DelayDisplay], skinpic::DelayDisplay);
    SetSkinPicture(f.ImageBox[imagebox::VolumeTrack], skinpic::VolumeTrack);
    SetSkinPicture(f.ImageBox[imagebox::PositionTrack], skinpic::PositionTrack);
    SetSkinPicture(f.ImageBox[imagebox::TimePanel], skinpic::TimePanel);
    SetStretchedPicture(*f.SPLITTER1, skinpic::Splitter); // its own width, the pane's height
    SetSkinPicture(f.cmdShowHide[showhide::MenuRow], f.cmdMenu[menucaption::File].visible() ? skinpic::HideMenuRow : skinpic::ShowMenuRow);
    for (int i = 0; i <= quickbutton::Last; ++i)
        SetAppButtonPicture(f, static_cast<int16_t>(i), 0);
    SetSkinPicture(*f.cmdCloseTab, skinpic::CloseTab);
    SetSkinPicture(f.ImageBox[imagebox::PageIcon], skinpic::PageIcon);
    SetSkinPicture(f.ImageBox[imagebox::DropDownArrow], skinpic::DropDownArrow);
    SetSkinPicture(f.ImageBox[imagebox::ProgressBand], skinpic::ProgressBand);
    SetSkinPicture(f.ImageBox[imagebox::ColourBar], skinpic::ColourBar);
    SetStretchedPicture(f.ImageBox[imagebox::TabStrip], skinpic::TabStrip);
    f.services().Menus().UnloadMenuImageHolder();
}

void HoverTracking::ApplyProgressBarColors()
{
    f.trace("ApplyProgressBarColors");
    f.WBProgressBar->setBarColor(SkinColor(132));
    f.WBProgressBar->setBackColor(SkinColor(131));
}

bool HoverTracking::ReapplySkin()
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
    ApplySkinColors();
    ApplySkinPictures();
    f.services().Media().RefreshMediaButtonPictures();
    ApplyProgressBarColors();
    f.services().Tabs().ShowBusyIndicator();
    f.LockControl(true);
    ApplySkinLayout(f);
    ApplyMenuBarStates(f);
    LayoutMainWindow(f);
    f.LockControl(false);
    return true;
}
