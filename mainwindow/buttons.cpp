#include "mainwindow/buttons.h"

#include "mainwindow/chromelayout.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/hovertracking.h"
#include "contracts/services.h"
#include "mainwindow/skinpictures.h"
#include "mainwindow/skinvalues.h"
#include "mainwindow/windowframe.h"
#include "mainwindow/windowplacement.h"
#include "platform/win/windowservices.h"

#include <QCoreApplication>
#include <QWidget>
#include <QWindow>

namespace {

constexpr int16_t kFormControlBase[4] = {skinpic::Move, skinpic::Minimize, skinpic::Maximize, skinpic::Close};

int16_t formControlBase(const frmExplorer& f, int index)
{
    if (index == formbutton::Maximize && f.DisplayFlags[DisplayMaximised] != 0)
        return skinpic::RestoreDown;
    return kFormControlBase[index];
}

} // namespace

void cmdWBControl_MouseDown(frmExplorer& f, int index)
{
    f.ButtonReleased = 0;
    if (index != navbutton::TabNumber)
        SetNavButtonPicture(f, static_cast<int16_t>(index), 2);
    switch (index) {
    case navbutton::Favorites: f.services().Menus().ShowFavoritesMenu(); break;
    case navbutton::History: f.services().Menus().ShowHistoryMenu(); break;
    case navbutton::TabList: f.services().Menus().ShowTabListMenu(); break;
    default: break;
    }
}

void cmdWBControl_MouseUp(frmExplorer& f, int index)
{
    f.ButtonReleased = -1;
    if (index != navbutton::TabNumber && IsCursorOverControl(f, f.cmdWBControl[index]))
        SetNavButtonPicture(f, static_cast<int16_t>(index), 1);
}

void cmdWBControl_Click(frmExplorer& f, int index)
{
    auto& tabs = f.services().Tabs();
    switch (index) {
    case navbutton::Back: tabs.GoBack(); break;
    case navbutton::Forward: tabs.GoForward(); break;
    case navbutton::Stop: tabs.StopBrowsing(); break;
    case navbutton::Refresh: tabs.RefreshPage(); break;
    case navbutton::Go: tabs.NavigateAddressText(false, true, true); break;
    case navbutton::Up: tabs.GoUpOneLevel(); break;
    default: break;
    }
}

void cmdAppOpt_MouseDown(frmExplorer& f, int index, int button)
{
    f.ButtonReleased = 0;
    SetAppButtonPicture(f, static_cast<int16_t>(index), 2);
    auto& tabs = f.services().Tabs();
    if (index >= 1 && index <= 4 && button == 2) {
        f.services().Menus().ShowUserListMenu(static_cast<int16_t>(index));
        return;
    }
    switch (index) {
    case quickbutton::Help: f.services().Menus().ShowHelpMenu(); break;
    case quickbutton::MyFolder: tabs.OpenMyFolder(); break;
    case quickbutton::Mail: tabs.OpenMail(); break;
    case quickbutton::StartPage: tabs.OpenWB_StartPage(3); break;
    case quickbutton::Search: tabs.OpenSearchPage(); break;
    case quickbutton::CloseTabMenu: f.services().Menus().ShowCloseTabMenu(); break;
    case quickbutton::GoToTabMenu: f.services().Menus().ShowGoToTabMenu(); break;
    // Held, the next and previous buttons step on.
    case quickbutton::NextTab: tabs.SwitchToAdjacentTab(7, false); break;
    case quickbutton::PreviousTab: tabs.SwitchToAdjacentTab(8, false); break;
    default: break;
    }
}

void cmdAppOpt_MouseUp(frmExplorer& f, int index)
{
    f.ButtonReleased = -1;
    if (IsCursorOverControl(f, f.cmdAppOpt[index]))
        SetAppButtonPicture(f, static_cast<int16_t>(index), 1);
}

void cmdFormControl_MouseDown(frmExplorer& f, int index)
{
    f.ButtonReleased = 0;
    const bool maximised = f.DisplayFlags[DisplayMaximised] != 0;
    // A maximised window does not move.
    if (index == formbutton::Move && maximised)
        return;
    SetSkinPicture(f.cmdFormControl[index], static_cast<int16_t>(formControlBase(f, index) + 2));
    if (index == formbutton::Move) {
        QCoreApplication::processEvents();
        StartWindowDrag(f);
    }
}

void cmdFormControl_MouseUp(frmExplorer& f, int index)
{
    f.ButtonReleased = -1;
    if (index == formbutton::Move && f.DisplayFlags[DisplayMaximised] != 0)
        return;
    if (IsCursorOverControl(f, f.cmdFormControl[index]))
        SetSkinPicture(f.cmdFormControl[index], static_cast<int16_t>(formControlBase(f, index) + 1));
}

void cmdFormControl_Click(frmExplorer& f, int index)
{
    switch (index) {
    case formbutton::Minimize: platform::windows::setWindowState(f.window(), platform::windows::StateMinimized); break;
    case formbutton::Maximize:
        // The picture and tooltip follow the new state.
        f.LockControl(true);
        f.Placement().ToggleMaximized();
        f.LockControl(false);
        break;
    case formbutton::Close: f.unload(); break;
    default: break;
    }
}

void WireSkinnedButtons(frmExplorer& f)
{
    // Refresh in front of Up, which shares its place, until a folder shows.
    f.cmdWBControl[navbutton::Refresh].zOrder(0);
    f.cmdWBControl.events().mouseDown = [&f](int i, int, int, double, double) { cmdWBControl_MouseDown(f, i); };
    f.cmdWBControl.events().mouseUp = [&f](int i, int, int, double, double) { cmdWBControl_MouseUp(f, i); };
    f.cmdWBControl.events().click = [&f](int i) { cmdWBControl_Click(f, i); };
    f.cmdAppOpt.events().mouseDown = [&f](int i, int button, int, double, double) { cmdAppOpt_MouseDown(f, i, button); };
    f.cmdAppOpt.events().mouseUp = [&f](int i, int, int, double, double) { cmdAppOpt_MouseUp(f, i); };
    f.cmdFormControl.events().mouseDown = [&f](int i, int, int, double, double) { cmdFormControl_MouseDown(f, i); };
    f.cmdFormControl.events().mouseUp = [&f](int i, int, int, double, double) { cmdFormControl_MouseUp(f, i); };
    f.cmdFormControl.events().click = [&f](int i) { cmdFormControl_Click(f, i); };
}
