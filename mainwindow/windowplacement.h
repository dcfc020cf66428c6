#pragma once

// The borderless window's placements: over the desktop work area
// (maximised) or at the remembered normal rectangle, checked against the
// work area first.

#include <cstdint>

class frmExplorer;

void MaximizeRestoreWindow(frmExplorer& f, bool maximize);

// True: NormalWindowRect := the window's own rectangle (twips, rounded).
// False: the minimum size, centred on the window's current size.
void SaveNormalWindowRect(frmExplorer& f, bool fromWindow);

// Non-zero: the whole screen, the page holder over the window; 0: back to
// the work area or the normal rectangle with the chrome of the normal view.
void ToggleFullScreen(frmExplorer& f, int16_t mode);

// The Maximize / Restore Down caption button.
void ToggleMaximized(frmExplorer& f);
