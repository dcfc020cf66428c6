#include "core/scaling.h"

#include "core/globals.h"
#include "platform/win/control.h"
#include "platform/win/form.h"

using platform::forms::Control;
using platform::forms::Form;

namespace {

// Products are single-precision, as the values were.
double scaled(double value)
{
    return static_cast<double>(static_cast<float>(value) * TwipsScale);
}

void scaleFont(Control& control)
{
    if (const auto size = control.fontSize())
        control.setFontSize(scaled(*size));
}

} // namespace

void ScaleAllControls(Form& window)
{
    // A copy: the list is the window's control order at the start.
    const std::vector<Control*> controls = window.controls();
    for (Control* control : controls) {
        scaleFont(*control);
        control->setWidth(scaled(control->width()));
        control->setHeight(scaled(control->height()));
    }
}

void PlaceSplashControls(Form& window)
{
    window.setWidth(scaled(window.width()));
    window.setHeight(scaled(window.height()));
    const std::vector<Control*> controls = window.controls();
    for (Control* control : controls) {
        const double left = scaled(control->left());
        const double top = scaled(control->top());
        const double height = scaled(control->height());
        const double width = scaled(control->width());
        control->move(left, top, width, height);
        scaleFont(*control);
    }
}

void ScaleWindowSize(Control& control)
{
    control.move(control.left(), control.top(), scaled(control.width()), scaled(control.height()));
}

void ScaleWindowSize(Form& window)
{
    window.setWidth(scaled(window.width()));
    window.setHeight(scaled(window.height()));
}

void SetMousePointer(int16_t pointer)
{
    if (Form* active = Form::activeForm())
        active->setMousePointer(pointer);
}
