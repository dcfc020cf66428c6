#include "core/skinnedbutton.h"

#include "core/resourcepictures.h"

using platform::forms::Control;
using platform::forms::ControlArray;
using platform::forms::Label;
using platform::forms::PictureBox;

namespace {

constexpr int kKeyEnter = 13;
constexpr int kKeyUp = 38;
constexpr int kKeyDown = 40;

const QString& focusTag()
{
    static const QString tag = QStringLiteral("F");
    return tag;
}

} // namespace

SkinnedButtonFamily::SkinnedButtonFamily(ControlArray<PictureBox>& buttons, ControlArray<Label>& captions, Action action,
                                         int firstFace, Bitmaps bitmaps)
    : buttons_(buttons), action_(std::move(action)), firstFace_(firstFace), bitmaps_(std::move(bitmaps))
{
    if (!bitmaps_)
        bitmaps_ = [](int id) -> const QPixmap& { return ProgramBitmap(id); };
    auto& b = buttons.events();
    b.gotFocus = [this](int i) { GotFocus(i); };
    b.lostFocus = [this](int i) { LostFocus(i); };
    b.mouseDown = [this](int i, int bt, int s, double x, double y) { MouseDown(i, bt, s, x, y); };
    b.mouseMove = [this](int i, int bt, int s, double x, double y) { MouseMove(i, bt, s, x, y); };
    b.mouseUp = [this](int i, int bt, int s, double x, double y) { MouseUp(i, bt, s, x, y); };
    b.keyDown = [this](int i, int k, int s) { KeyDown(i, k, s); };
    b.keyUp = [this](int i, int k, int s) { KeyUp(i, k, s); };
    // The caption hands its mouse events to the button of its index as they are.
    auto& c = captions.events();
    c.mouseDown = b.mouseDown;
    c.mouseMove = b.mouseMove;
    c.mouseUp = b.mouseUp;
}

void SkinnedButtonFamily::showFace(int index, Face face)
{
    if (PictureBox* button = buttons_.at(index))
        button->setPicture(bitmaps_(firstFace_ + face));
}

bool SkinnedButtonFamily::focusTagged(int index) const
{
    const PictureBox* button = buttons_.at(index);
    return button && button->tag() == focusTag();
}

void SkinnedButtonFamily::GotFocus(int index)
{
    showFace(index, ButtonPressed ? Pressed : Focused);
    if (PictureBox* button = buttons_.at(index))
        button->setTag(focusTag());
}

void SkinnedButtonFamily::LostFocus(int index)
{
    showFace(index, Normal);
    if (PictureBox* button = buttons_.at(index))
        button->setTag(QString());
}

void SkinnedButtonFamily::MouseDown(int index, int button, int, double, double)
{
    if (button == platform::forms::RightButton)
        return;
    showFace(index, Pressed);
    ButtonPressed = true;
}

void SkinnedButtonFamily::MouseMove(int index, int, int, double x, double y)
{
    PictureBox* button = buttons_.at(index);
    if (!button)
        return;
    const bool inside = x >= 0 && x <= button->width() && y >= 0 && y <= button->height();
    if (inside) {
        if (ButtonPressed && PointerOutside) {
            // Back over the button while it is held.
            showFace(index, focusTagged(index) ? Pressed : Normal);
        } else if (Control::capture() != button) {
            button->setCapture();
            showFace(index, Hover);
        }
        PointerOutside = false;
        return;
    }
    if (PointerOutside)
        return;
    if (ButtonPressed) {
        showFace(index, focusTagged(index) ? Hover : Normal);
    } else {
        Control::releaseCapture();
        showFace(index, focusTagged(index) ? Focused : Normal);
    }
    PointerOutside = true;
}

void SkinnedButtonFamily::MouseUp(int index, int button, int, double, double)
{
    if (button == platform::forms::RightButton)
        return;
    showFace(index, Normal);
    if (!PointerOutside && action_)
        action_(index);
    showFace(index, Focused);
    ButtonPressed = false;
}

void SkinnedButtonFamily::KeyDown(int index, int keyCode, int)
{
    if (keyCode == kKeyUp)
        platform::forms::sendTabKey(true);
    else if (keyCode == kKeyDown)
        platform::forms::sendTabKey(false);
    else if (keyCode == kKeyEnter)
        MouseDown(index, platform::forms::LeftButton, 0, 1, 1);
}

void SkinnedButtonFamily::KeyUp(int index, int keyCode, int)
{
    if (keyCode != kKeyEnter)
        return;
    PointerOutside = false;
    MouseUp(index, platform::forms::LeftButton, 0, 1, 1);
}
