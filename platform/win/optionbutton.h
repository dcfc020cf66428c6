#pragma once

// An option button: a round button with its caption beside it. The option
// buttons of one container (a picture box, or the form itself) form a group
// in which at most one is selected; none is until the user or the code
// selects one. A click or the space bar selects a button (a selected one
// stays selected); selecting one clears the others of its group. Click is
// raised when Value becomes True, by the user or by code, once the group was
// cleared; never when it becomes False.

#include "platform/win/buttoncontrol.h"

namespace platform::forms {

class OptionButton : public ButtonControl {
public:
    OptionButton(Form& form, const QString& name, int index = -1, Control* container = nullptr);

    bool value() const;
    void setValue(bool selected);

private:
    void clearGroup();
};

} // namespace platform::forms
