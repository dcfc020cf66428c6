#pragma once

// The menu bar of the main window: five caption labels "cmdMenu" (0 File,
// 1 Edit, 2 View, 3 Tools, 4 Window) on the top bar, and the language texts
// of the window's button tooltips.

#include <QString>

#include <cstdint>
#include <functional>

namespace platform::forms {
class Control;
class Form;
}
class clsPopupMenu;

// The captions' colours in the skin's "&H" notation (skin strings 122-124).
struct MenuBarCaptionColors {
    QString normal;
    QString hover;
    QString pressed;
};

// The code of a caption in the window's hover tracking: 3000 + its index.
inline constexpr int16_t kMenuBarHoverBase = 3000;

// Puts the language texts on cmdMenu(0) to cmdMenu(4), with their "&"
// mnemonics underlined when showMnemonics is true, else without any "&".
void SetMenuBarCaptions(platform::forms::Form& form, bool showMnemonics);

// The press of a caption before its menu is built: ButtonReleased := 0 and
// the caption takes the pressed colour.
void PressMenuBarCaption(platform::forms::Form& form, int index, const MenuBarCaptionColors& colours,
                         int16_t& buttonReleased);

// The mouse over a caption: when it is not the element under the mouse
// already, the element left gets its normal look (setHoverElement with its
// code), the caption becomes the hovered element and takes the hover
// colour, and pending events are processed. False when nothing changed.
bool HoverMenuBarCaption(platform::forms::Form& form, int index, const MenuBarCaptionColors& colours,
                         int16_t& hoverElementId, const std::function<void(int16_t)>& setHoverElement);

// Shows the menu with its left-top corner at the caption's lower-left
// corner, keeping clear of the caption's row across the screen (above the
// row when there is no room below); the chosen item's index, 0 for none.
int32_t ShowMenuBelowCaption(clsPopupMenu& menu, const platform::forms::Control& caption);

// Gives the window's buttons, labels and pictures their tooltips from the
// language file (one blank before and after each text) and sets
// TimerStage := 9. Controls the window does not have are passed over.
void SetButtonTooltips(platform::forms::Form& form, int16_t& timerStage);
