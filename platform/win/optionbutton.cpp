#include "platform/win/optionbutton.h"

#include <QRadioButton>

namespace platform::forms {

namespace {

// Exclusivity is the group's, not Qt's: a click never clears the button.
class RoundButton : public QRadioButton {
public:
    explicit RoundButton(QWidget* parent) : QRadioButton(parent) { setAutoExclusive(false); }

protected:
    void nextCheckState() override
    {
        if (!isChecked())
            setChecked(true);
    }
};

} // namespace

OptionButton::OptionButton(Form& form, const QString& name, int index, Control* container)
    : ButtonControl(form, new RoundButton(parentWidgetFor(form, container)), name, index, container)
{
    setValueWatch(QObject::connect(button(), &QAbstractButton::toggled, button(), [this](bool on) {
        if (!on)
            return;
        clearGroup();
        raiseClick();
    }));
}

void OptionButton::clearGroup()
{
    QWidget* holder = widget()->parentWidget();
    if (!holder)
        return;
    const auto siblings = holder->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
    for (QRadioButton* other : siblings) {
        if (other == button() || !other->isChecked())
            continue;
        // Only the group's members: the widget of an unloaded button, still
        // waiting to go, is none.
        if (dynamic_cast<OptionButton*>(Control::fromWidget(other)))
            other->setChecked(false);
    }
}

bool OptionButton::value() const
{
    return button()->isChecked();
}

void OptionButton::setValue(bool selected)
{
    button()->setChecked(selected);
}

} // namespace platform::forms
