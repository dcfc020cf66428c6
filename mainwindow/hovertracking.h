#pragma once

// One skinned element at a time shows its hover look; its code is kept in
// HoverElementId. Codes: 1000 address drop-down, 1001-1005 cmdShowHide,
// 1010-1024 list buttons, 1030-1045 media buttons, 1080-1088 cmdAppOpt,
// 1095 cmdCloseTab, 2000-2009 cmdWBControl, 2010-2013 cmdFormControl,
// 2025 address drop-down arrow, 3000-3004 cmdMenu, 3100-3199 tab buttons,
// 3200 text colour bar. Also the skin's colours and pictures, applied at
// load and again after the user picks another skin.

#include <cstdint>

class frmExplorer;

namespace platform::forms {
class Control;
}

// The control's rectangle on the screen holds the mouse pointer.
bool IsCursorOverControl(frmExplorer& f, const platform::forms::Control& control);
// The element's normal look back; HoverElementId := -1.
void SetHoverElement(frmExplorer& f, int16_t code);
// The element the pointer has left gets its normal look back.
void CheckHoverLeave(frmExplorer& f, int16_t code);
// The MouseMove protocol of an element: the previous one restored, then
// this one's hover look (cmdAppOpt, cmdWBControl, cmdFormControl, cmdMenu).
void HoverEnter(frmExplorer& f, int16_t code);

void ApplySkinColors(frmExplorer& f);
void ApplySkinPictures(frmExplorer& f);
void ApplyProgressBarColors(frmExplorer& f);
// Binds the skin named in "Z5_SKINNAME" and re-applies colours, pictures and
// layout. A skin that cannot be bound keeps the current one, shows message
// 9004 and puts the current name back in the setting; false then.
bool ReapplySkin(frmExplorer& f);
