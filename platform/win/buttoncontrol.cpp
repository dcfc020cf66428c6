#include "platform/win/buttoncontrol.h"

#include <QAbstractButton>

namespace platform::forms {

ButtonControl::ButtonControl(Form& form, QAbstractButton* button, const QString& name, int index, Control* container)
    : Control(form, button, name, index, container)
{
}

ButtonControl::~ButtonControl()
{
    QObject::disconnect(valueWatch_);
}

QAbstractButton* ButtonControl::button() const
{
    return static_cast<QAbstractButton*>(widget());
}

void ButtonControl::raiseClick()
{
    if (events().click)
        events().click();
}

QString ButtonControl::caption() const
{
    return button()->text();
}

void ButtonControl::setCaption(const QString& caption)
{
    button()->setText(caption);
}

void ButtonControl::copyPropertiesFrom(const Control& other)
{
    Control::copyPropertiesFrom(other);
    if (const auto* o = dynamic_cast<const ButtonControl*>(&other); o)
        setCaption(o->caption());
}

} // namespace platform::forms
