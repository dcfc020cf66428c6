#include "mainwindow/buttons.h"

#include "mainwindow/chromelayout.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/hovertracking.h"
#include "contracts/services.h"
#include "mainwindow/skinvalues.h"
#include "mainwindow/windowframe.h"
#include "mainwindow/windowplacement.h"
#include "platform/win/windowservices.h"

#include <QCoreApplication>
#include <QWidget>
#include <QWindow>

namespace {

constexpr int16_t kFormControlBase[4] = {204, 207, 210, 216};

int16_t formControlBase(const frmExplorer& f, int index)
{
    if (index == 2 && f.DisplayFlags[DisplayMaximised] != 0)
        return 213;
    return kFormControlBase[index];
}

} // namespace

void cmdWBControl_MouseDown(frmExplorer& f, int index)
{
    f.ButtonReleased = 0;
    if (index != 7)
        SetNavButtonPicture(f, static_cast<int16_t>(index), 2);
    switch (index) {
    case 0: f.services().Menus().ShowFavoritesMenu(); break;
    case 1: f.services().Menus().ShowHistoryMenu(); break;
    case 8: f.services().Menus().ShowTabListMenu(); break;
    default: break;
    }
}

void cmdWBControl_MouseUp(frmExplorer& f, int index)
{
    f.ButtonReleased = -1;
    if (index != 7 && IsCursorOverControl(f, f.cmdWBControl[index]))
        SetNavButtonPicture(f, static_cast<int16_t>(index), 1);
}

void cmdWBControl_Click(frmExplorer& f, int index)
{
    auto& tabs = f.services().Tabs();
    switch (index) {
    case 2: tabs.GoBack(); break;
    case 3: tabs.GoForward(); break;
    case 4: tabs.StopBrowsing(); break;
    case 5: tabs.RefreshPage(); break;
    case 6: tabs.NavigateAddressText(false, true, true); break;
    case 9: tabs.GoUpOneLevel(); break;
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
    case 0: f.services().Menus().ShowHelpMenu(); break;
    case 1: tabs.OpenMyFolder(); break;
    case 2: tabs.OpenMail(); break;
    case 3: tabs.OpenWB_StartPage(3); break;
    case 4: tabs.OpenSearchPage(); break;
    case 5: f.services().Menus().ShowCloseTabMenu(); break;
    case 6: f.services().Menus().ShowGoToTabMenu(); break;
    // Held, the next and previous buttons step on.
    case 7: tabs.SwitchToAdjacentTab(7, false); break;
    case 8: tabs.SwitchToAdjacentTab(8, false); break;
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
    if (index == 0 && maximised)
        return;
    SetSkinPicture(f.cmdFormControl[index], static_cast<int16_t>(formControlBase(f, index) + 2));
    if (index == 0) {
        QCoreApplication::processEvents();
        StartWindowDrag(f);
    }
}

void cmdFormControl_MouseUp(frmExplorer& f, int index)
{
    f.ButtonReleased = -1;
    if (index == 0 && f.DisplayFlags[DisplayMaximised] != 0)
        return;
    if (IsCursorOverControl(f, f.cmdFormControl[index]))
        SetSkinPicture(f.cmdFormControl[index], static_cast<int16_t>(formControlBase(f, index) + 1));
}

void cmdFormControl_Click(frmExplorer& f, int index)
{
    switch (index) {
    case 1: platform::windows::setWindowState(f.window(), platform::windows::StateMinimized); break;
    case 2:
        // The picture and tooltip follow the new state.
        f.LockControl(true);
        ToggleMaximized(f);
        f.LockControl(false);
        break;
    case 3: f.unload(); break;
    default: break;
    }
}

void WireSkinnedButtons(frmExplorer& f)
{
    // Refresh in front of Up, which shares its place, until a folder shows.
    f.cmdWBControl[5].zOrder(0);
    f.cmdWBControl.events().mouseDown = [&f](int i, int, int, double, double) { cmdWBControl_MouseDown(f, i); };
    f.cmdWBControl.events().mouseUp = [&f](int i, int, int, double, double) { cmdWBControl_MouseUp(f, i); };
    f.cmdWBControl.events().click = [&f](int i) { cmdWBControl_Click(f, i); };
    f.cmdAppOpt.events().mouseDown = [&f](int i, int button, int, double, double) { cmdAppOpt_MouseDown(f, i, button); };
    f.cmdAppOpt.events().mouseUp = [&f](int i, int, int, double, double) { cmdAppOpt_MouseUp(f, i); };
    f.cmdFormControl.events().mouseDown = [&f](int i, int, int, double, double) { cmdFormControl_MouseDown(f, i); };
    f.cmdFormControl.events().mouseUp = [&f](int i, int, int, double, double) { cmdFormControl_MouseUp(f, i); };
    f.cmdFormControl.events().click = [&f](int i) { cmdFormControl_Click(f, i); };
}
