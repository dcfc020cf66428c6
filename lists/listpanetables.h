#pragma once

// What the side pane shows for each list kind (1 audio, 2 video, 3 image,
// 4 web snippet, 5 link, 6 download file): its name, the skin pictures and
// tooltips of its fifteen buttons and how many of buttons 1-9 it uses.

#include <QString>

#include <cstdint>

namespace listpane {

inline constexpr int kButtonCount = 15; // cmdPLControl(0) to (14)

// Buttons 1 to N carry the kind's commands; the rest of 7-9 are hidden.
int ButtonsUsed(int kind);

// The first picture (state 0) of button 0-14 for the kind; 0 when the kind
// has no such button. Button 10 (sort) is 284 ascending and 287 descending;
// buttons 11-14 have four states (the fourth disabled), the others three.
int16_t ButtonPicture(int button, int kind, int sortOrder);

// The list's name ("MENU-03" "030201" ... "030206").
QString ListName(int kind);
// The tooltip text of button 1-9 for the kind, unpadded ("" for none).
QString ButtonTooltip(int button, int kind);
// The tooltip text of buttons 0 and 10-14, the same for every kind.
QString FixedButtonTooltip(int button);

} // namespace listpane
