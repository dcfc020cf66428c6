#include "mainwindow/bartoggles.h"

#include "core/globals.h"
#include "core/language.h"
#include "core/settingsstore.h"
#include "mainwindow/chromelayout.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/hovertracking.h"
#include "mainwindow/mainlayout.h"
#include "mainwindow/mediatoolbarlayout.h"
#include "mainwindow/menubarlayout.h"
#include "contracts/services.h"
#include "mainwindow/skinpictures.h"
#include "mainwindow/skinvalues.h"
#include "platform/win/delay.h"

namespace {

const QString kTooltips = QStringLiteral("OTHERS-TOOLTIPTEXT");

Flag flipped(Flag value)
{
    return value != 0 ? 0 : -1;
}

void saveFlag(const char* name, Flag value)
{
    SaveZ5Setting(HiveCurrentUser, QString::fromLatin1(name), value != 0 ? QStringLiteral("True") : QStringLiteral("False"));
}

void playlistHoverLook(frmExplorer& f)
{
    auto& button = f.cmdShowHide[showhide::SidePane];
    if (f.DisplayFlags[DisplaySidePane] == 0) {
        SetSkinPicture(button, skinpic::ShowSidePane + skinlook::Hover);
        button.setToolTipText(GetLangCaption(kTooltips, QStringLiteral("5001"), QStringLiteral("Show Playlist")));
    } else {
        SetSkinPicture(button, skinpic::HideSidePane + skinlook::Hover);
        button.setToolTipText(GetLangCaption(kTooltips, QStringLiteral("5000"), QStringLiteral("Hide Playlist")));
    }
}

void fullChromeLayout(frmExplorer& f)
{
    ApplySkinLayout(f);
    ApplyMenuBarStates(f);
    LayoutMainWindow(f);
}

} // namespace

void cmdShowHide_Click(frmExplorer& f, int index)
{
    switch (index) {
    case showhide::SidePane:
        TogglePlayList(f, 1);
        playlistHoverLook(f);
        break;
    case showhide::TopBar: ToggleTopBar(f); break;
    case showhide::BottomBar: ToggleBottomBar(f); break;
    case showhide::MenuRow: ToggleMenuBar(f); break;
    case showhide::MediaRow: ToggleMediaControlCenter(f); break;
    default: break;
    }
}

void cmdShowHide_MouseMove(frmExplorer& f, int index)
{
    const int16_t code = static_cast<int16_t>(1001 + index);
    if (f.Hover().HoverElementId() == code || index < 0 || index > 4)
        return;
    f.Hover().Enter(code);
    f.trace("hover", code);
    auto& button = f.cmdShowHide[index];
    switch (index) {
    case showhide::SidePane: playlistHoverLook(f); break;
    case showhide::TopBar: SetSkinPicture(button, skinpic::ShowTopBar + skinlook::Hover); break;
    case showhide::BottomBar: SetSkinPicture(button, skinpic::ShowBottomBar + skinlook::Hover); break;
    case showhide::MenuRow:
        SetSkinPicture(button, (f.DisplayFlags[DisplayMenuRow] == 0 ? skinpic::ShowMenuRow : skinpic::HideMenuRow)
                                   + skinlook::Hover);
        break;
    case showhide::MediaRow:
        SetSkinPicture(button, (f.DisplayFlags[DisplayMediaRow] == 0 ? skinpic::ShowMediaRow : skinpic::HideMediaRow)
                                   + skinlook::Hover);
        break;
    default: break;
    }
}

void TogglePlayList(frmExplorer& f, int16_t mode)
{
    f.trace("TogglePlayList", mode);
    Flag& pane = f.DisplayFlags[DisplaySidePane];
    if (mode == 1)
        pane = flipped(pane);
    else if (mode == 2)
        pane = -1;
    else if (mode == 3)
        pane = 0;
    if (pane != 0 && (mode == 1 || mode == 2))
        f.services().Tabs().BindDocumentEvents();
    else if (pane == 0 && (mode == 1 || mode == 3))
        f.services().Tabs().ReleaseDocumentEvents();
    saveFlag("DIS_PLAYLIST", pane);
    LayoutBody(f);
    if (pane != 0)
        f.services().Lists().SelectCurrentListItem();
}

void ToggleTopBar(frmExplorer& f)
{
    f.trace("ToggleTopBar");
    f.DisplayFlags[DisplayTopBar] = flipped(f.DisplayFlags[DisplayTopBar]);
    saveFlag("DIS_TOOLBAR1", f.DisplayFlags[DisplayTopBar]);
    fullChromeLayout(f);
}

void ToggleBottomBar(frmExplorer& f)
{
    f.trace("ToggleBottomBar");
    f.DisplayFlags[DisplayBottomBar] = flipped(f.DisplayFlags[DisplayBottomBar]);
    saveFlag("DIS_TOOLBAR2", f.DisplayFlags[DisplayBottomBar]);
    fullChromeLayout(f);
}

void ToggleMenuBar(frmExplorer& f)
{
    f.trace("ToggleMenuBar");
    Flag& menu = f.DisplayFlags[DisplayMenuRow];
    menu = flipped(menu);
    saveFlag("DIS_MENUBAR1", menu);
    for (int i = 0; i <= menucaption::Last; ++i)
        f.cmdMenu[i].setVisible(menu != 0);
    LayoutMenuBar(f);
    SetSkinPicture(f.cmdShowHide[showhide::MenuRow],
                   (menu != 0 ? skinpic::HideMenuRow : skinpic::ShowMenuRow) + skinlook::Hover);
}

void ToggleMediaControlCenter(frmExplorer& f)
{
    f.trace("ToggleMediaControlCenter");
    Flag& media = f.DisplayFlags[DisplayMediaRow];
    media = flipped(media);
    saveFlag("DIS_MENUBAR2", media);
    LayoutMediaControlCenter(f);
    SetSkinPicture(f.cmdShowHide[showhide::MediaRow],
                   (media != 0 ? skinpic::HideMediaRow : skinpic::ShowMediaRow) + skinlook::Hover);
}

void ToggleTabBar(frmExplorer& f)
{
    f.trace("ToggleTabBar");
    f.DisplayFlags[DisplayTabBar] = flipped(f.DisplayFlags[DisplayTabBar]);
    saveFlag("DIS_TABCTBAR", f.DisplayFlags[DisplayTabBar]);
    LayoutMainWindow(f);
}

void ToggleTextColorBar(frmExplorer& f)
{
    f.trace("ToggleTextColorBar");
    Flag& bar = f.DisplayFlags[DisplayColorBar];
    bar = flipped(bar);
    saveFlag("DIS_COLORBAR", bar);
    if (bar != 0)
        ShowTextColorBar(f);
    else
        HideTextColorBar(f);
}

void ToggleImageInfo(frmExplorer& f)
{
    f.trace("ToggleImageInfo");
    f.services().Tabs().SetStatusMessage(QString(), -1, -1);
    f.DisplayFlags[DisplayImageInfo] = flipped(f.DisplayFlags[DisplayImageInfo]);
    saveFlag("DIS_IMAGEINF", f.DisplayFlags[DisplayImageInfo]);
}

void ToggleHideAll(frmExplorer& f, bool show)
{
    f.trace("ToggleHideAll", show ? 1 : 0);
    if (!show) {
        f.DisplayFlags[DisplayPaneKeptByHideAll] = f.DisplayFlags[DisplaySidePane];
        f.DisplayFlags[DisplaySidePane] = 0;
    } else {
        f.DisplayFlags[DisplaySidePane] = f.DisplayFlags[DisplayPaneKeptByHideAll];
    }
    f.DisplayFlags[DisplayTopBar] = show ? -1 : 0;
    f.DisplayFlags[DisplayBottomBar] = show ? -1 : 0;
    f.LockControl(true);
    fullChromeLayout(f);
    f.LockControl(false);
}

void ShowInfoPanel(frmExplorer& f)
{
    f.DisplayFlags[DisplayInfoEnlarged] = -1;
    f.PicHolder[picholder::Body].setHeight(NonNegative(f.scaleHeight() - SkinTwips(157)));
}

void HideInfoPanel(frmExplorer& f)
{
    f.DisplayFlags[DisplayInfoEnlarged] = 0;
    f.PicHolder[picholder::Body].setHeight(f.scaleHeight() + 60);
}

void ToggleInfoPanel(frmExplorer& f)
{
    const auto busy = f.InfoPanelBusy.tryHold();
    if (!busy)
        return;
    if (f.DisplayFlags[DisplayInfoEnlarged] == 0) {
        ShowInfoPanel(f);
        platform::Delay(100);
    } else if (IsCursorOverControl(f, f.PicHolder[picholder::Body])) {
        HideInfoPanel(f);
        platform::Delay(100);
    }
}
