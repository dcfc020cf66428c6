#pragma once

// Showing and hiding the parts of the chrome. Every toggle flips its display
// flag, writes the setting at once and relays out exactly what it touches.

#include <cstdint>

class frmExplorer;

void cmdShowHide_Click(frmExplorer& f, int index);
void cmdShowHide_MouseMove(frmExplorer& f, int index);
// mode 1 flips, 2 shows, 3 hides the side pane.
void TogglePlayList(frmExplorer& f, int16_t mode);
void ToggleTopBar(frmExplorer& f);
void ToggleBottomBar(frmExplorer& f);
void ToggleMenuBar(frmExplorer& f);
void ToggleMediaControlCenter(frmExplorer& f);
void ToggleTabBar(frmExplorer& f);
void ToggleTextColorBar(frmExplorer& f);
void ToggleImageInfo(frmExplorer& f);
void ToggleHideAll(frmExplorer& f, bool show);
void ShowInfoPanel(frmExplorer& f);
void HideInfoPanel(frmExplorer& f);
void ToggleInfoPanel(frmExplorer& f);
