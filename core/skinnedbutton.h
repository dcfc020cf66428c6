#pragma once

// The skinned push button: a picture box showing one of four consecutive
// bitmaps of its program, normal N, hover N+1, focused N+2 and pressed N+3
// (the browser's 101 to 104 unless told otherwise), with a caption label
// lying on it. One family drives every button of a window (a control
// array of picture boxes and one of captions with the same indexes); the
// windows differ only in the action a completed click calls.

#include "platform/win/controlarray.h"
#include "platform/win/controls.h"

#include <QPixmap>

#include <functional>

class SkinnedButtonFamily {
public:
    using Action = std::function<void(int index)>;
    // The program's bitmap of an identifier.
    using Bitmaps = std::function<const QPixmap&(int id)>;

    // Wires the handlers of both arrays; action runs on a completed click
    // (mouse released over the button, or Enter released on it). The faces
    // are bitmaps firstFace to firstFace + 3 of bitmaps (by default the
    // browser's own).
    SkinnedButtonFamily(platform::forms::ControlArray<platform::forms::PictureBox>& buttons,
                        platform::forms::ControlArray<platform::forms::Label>& captions, Action action,
                        int firstFace = 101, Bitmaps bitmaps = {});

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
    enum Face { Normal, Hover, Focused, Pressed };
    void showFace(int index, Face face);
    bool focusTagged(int index) const;

    platform::forms::ControlArray<platform::forms::PictureBox>& buttons_;
    Action action_;
    int firstFace_;
    Bitmaps bitmaps_;
};
