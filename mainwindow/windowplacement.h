#pragma once

// The borderless window's placements: over the desktop work area
// (maximised) or at the remembered normal rectangle, checked against the
// work area first.

class frmExplorer;

void MaximizeRestoreWindow(frmExplorer& f, bool maximize);
