#pragma once

// A check box: a small box with its caption beside it. Value is 0 (clear),
// 1 (ticked) or 2 (greyed, set by code only); a click or the space bar ticks
// a clear or greyed box and clears a ticked one. Click is raised on every
// change of Value, by the user or by code, and only then.

#include "platform/win/buttoncontrol.h"

namespace platform::forms {

class CheckBox : public ButtonControl {
public:
    CheckBox(Form& form, const QString& name, int index = -1, Control* container = nullptr);

    int value() const;
    // Any other value than 0, 1 or 2 is refused (false) and nothing changes.
    bool setValue(int value);
};

} // namespace platform::forms
