#pragma once

// The Media Control Center row of the Bottom Bar: its pictures and show/hide
// button, and the left-to-right placement of the media buttons, sliders and
// delay display for a list kind.

#include <QString>

#include <cstdint>

class frmExplorer;

void LayoutMediaControlCenter(frmExplorer& f);
// kind: 1 audio, 2 video, 3 image, 4 web snippet, 5 link, 6 download file.
void LayoutMediaToolbar(frmExplorer& f, int16_t kind);
// Unloads every control of the window with that name and index.
void UnloadNamedControl(frmExplorer& f, const QString& name, int16_t index);
