#pragma once

// One skinned element at a time shows its hover look; its code is kept as
// the HoverElementId. Codes: 1000 address drop-down, 1001-1005 cmdShowHide,
// 1010-1024 list buttons, 1030-1045 media buttons, 1080-1088 cmdAppOpt,
// 1095 cmdCloseTab, 2000-2009 cmdWBControl, 2010-2013 cmdFormControl,
// 2025 address drop-down arrow, 3000-3004 cmdMenu, 3100-3199 tab buttons,
// 3200 text colour bar. Also the skin's colours and pictures, applied at
// load and again after the user picks another skin.

#include <QString>

#include <cstdint>

class frmExplorer;

namespace platform::forms {
class Control;
}

// The control's rectangle on the screen holds the mouse pointer.
bool IsCursorOverControl(frmExplorer& f, const platform::forms::Control& control);

class HoverTracking {
public:
    explicit HoverTracking(frmExplorer& window) : f(window) {}
    HoverTracking(const HoverTracking&) = delete;
    HoverTracking& operator=(const HoverTracking&) = delete;

    // The element under the pointer, -1 for none.
    int16_t HoverElementId() const { return hoverElementId_; }
    // Records the element entered; the element has drawn its hover look.
    void SetHoverElementId(int16_t code) { hoverElementId_ = code; }
    // The element's normal look back; HoverElementId := -1.
    void SetHoverElement(int16_t code);
    // The element the pointer has left gets its normal look back.
    void CheckHoverLeave(int16_t code);
    // The MouseMove protocol of an element that draws its own hover look:
    // the previous one restored, this one recorded; false when it is the
    // element recorded already.
    bool Enter(int16_t code);
    // The same with the hover look of cmdAppOpt, cmdWBControl,
    // cmdFormControl and cmdMenu.
    void HoverEnter(int16_t code);

    void ApplySkinColors();
    void ApplySkinPictures();
    void ApplyProgressBarColors();
    // Binds the skin named in "Z5_SKINNAME" and re-applies colours, pictures
    // and layout. A skin that cannot be bound keeps the current one, shows
    // message 9004 and puts the current name back in the setting; false then.
    bool ReapplySkin();

    // The skin's menu-bar caption colours: normal, hover, open.
    const QString& MenuCaptionColor() const { return menuCaptionColor_; }
    const QString& MenuCaptionHoverColor() const { return menuCaptionHoverColor_; }
    const QString& MenuCaptionOpenColor() const { return menuCaptionOpenColor_; }
    // SkinPiece(4) to (7) stretch their pictures to their size.
    bool FrameStretch() const { return frameStretch_; }

private:
    frmExplorer& f;
    int16_t hoverElementId_ = -1;
    QString menuCaptionColor_;
    QString menuCaptionHoverColor_;
    QString menuCaptionOpenColor_;
    bool frameStretch_ = false;
};
