#pragma once

// The skinned push button: a picture box showing one of the program bitmaps
// 101 (normal), 102 (hover), 103 (focused) and 104 (pressed), with a caption
// label lying on it. One family drives every button of a window (a control
// array of picture boxes and one of captions with the same indexes); the
// windows differ only in the action a completed click calls.

#include "platform/controlarray.h"
#include "platform/controls.h"

#include <functional>

class SkinnedButtonFamily {
public:
    using Action = std::function<void(int index)>;

    // Wires the handlers of both arrays; action runs on a completed click
    // (mouse released over the button, or Enter released on it).
    SkinnedButtonFamily(platform::forms::ControlArray<platform::forms::PictureBox>& buttons,
                        platform::forms::ControlArray<platform::forms::Label>& captions, Action action);

    // A button is held down by the mouse or Enter.
    bool ButtonPressed = false;
    // The pointer left the button while it was tracked.
    bool PointerOutside = false;

    void GotFocus(int index);
    void LostFocus(int index);
    void MouseDown(int index, int button, int shift, double x, double y);
    void MouseMove(int index, int button, int shift, double x, double y);
    void MouseUp(int index, int button, int shift, double x, double y);
    void KeyDown(int index, int keyCode, int shift);
    void KeyUp(int index, int keyCode, int shift);

private:
    void showFace(int index, int bitmap);
    bool focusTagged(int index) const;

    platform::forms::ControlArray<platform::forms::PictureBox>& buttons_;
    Action action_;
};
