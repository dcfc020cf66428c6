#pragma once

// The skinned chrome: frame pieces, caption, navigation, show/hide and
// quick-launch buttons, the info strip and the status line, placed from the
// window's inside size, the bar flags and the skin's layout numbers.

#include <cstdint>

class frmExplorer;

// Picture bases (normal state) of the navigation and quick-launch buttons.
int16_t NavButtonBase(int index);
int16_t AppButtonBase(int index);

void ApplySkinLayout(frmExplorer& f);
// The Menu row, then the Media Control Center row.
void ApplyMenuBarStates(frmExplorer& f);
void SetTopBarButtonsVisible(frmExplorer& f, bool visible);
void SetBottomBarButtonsVisible(frmExplorer& f, bool visible);
// state 0 normal, 1 hover, 2 pressed, 3 disabled.
void SetNavButtonPicture(frmExplorer& f, int16_t index, int16_t state);
void SetAppButtonPicture(frmExplorer& f, int16_t index, int16_t state);
