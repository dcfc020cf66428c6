#pragma once

// The borderless window's placements: over the desktop work area
// (maximised) or at the remembered normal rectangle, checked against the
// work area first; the full-screen view; and the flag the frame's resize
// holds while it hands the window to the window system.

#include "core/busyflag.h"

#include <cstdint>

class frmExplorer;

class WindowPlacement {
public:
    explicit WindowPlacement(frmExplorer& window) : f(window) {}
    WindowPlacement(const WindowPlacement&) = delete;
    WindowPlacement& operator=(const WindowPlacement&) = delete;

    void MaximizeRestoreWindow(bool maximize);
    // True: NormalWindowRect := the window's own rectangle (twips, rounded).
    // False: the minimum size, centred on the window's current size.
    void SaveNormalWindowRect(bool fromWindow);
    // Non-zero: the whole screen, the page holder over the window; 0: back
    // to the work area or the normal rectangle with the chrome of the
    // normal view.
    void ToggleFullScreen(int16_t mode);
    // The Maximize / Restore Down caption button.
    void ToggleMaximized();

    // -1 while the full-screen view is on, else 0; ToggleFullScreen keeps it.
    int16_t FullScreenMode() const { return fullScreenMode_; }
    // For a layout made as the full-screen view would make it.
    void SetFullScreenMode(int16_t mode) { fullScreenMode_ = mode; }

    // A resize of the frame is being handed to the window system.
    BusyFlag FrameHandOver;

private:
    frmExplorer& f;
    int16_t fullScreenMode_ = 0;
};
