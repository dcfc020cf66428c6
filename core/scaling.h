#pragma once

// Scaling of windows designed at 15 twips per pixel to the screen's scale
// factor TwipsScale. Callers test TwipsScale against 1.0 themselves; the
// helpers scale unconditionally, so calling one twice scales twice.

#include <cstdint>

namespace platform::forms {
class Control;
class Form;
} // namespace platform::forms

// Each control's font size, Width and Height times TwipsScale, in the
// window's control order; positions and the window's own size stay.
void ScaleAllControls(platform::forms::Form& window);

// The window's Width, then Height, times TwipsScale; then each control moved
// to its Left, Top, Width and Height times TwipsScale in one step and its
// font size scaled.
void PlaceSplashControls(platform::forms::Form& window);

// Width and Height times TwipsScale in one Move; the position stays.
void ScaleWindowSize(platform::forms::Control& control);
void ScaleWindowSize(platform::forms::Form& window);

// The mouse pointer of the application's active window: 11 busy, 0 default.
// Nothing happens when no window of the application is active.
void SetMousePointer(int16_t pointer);
