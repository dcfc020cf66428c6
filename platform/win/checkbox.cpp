#include "platform/win/checkbox.h"

#include <QCheckBox>

namespace platform::forms {

namespace {

// A box the user only ticks or clears; the greyed state comes from code.
class TickBox : public QCheckBox {
public:
    explicit TickBox(QWidget* parent) : QCheckBox(parent) {}

protected:
    void nextCheckState() override
    {
        setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        setTristate(false);
    }
};

QCheckBox* tickBox(QAbstractButton* button)
{
    return static_cast<QCheckBox*>(button);
}

} // namespace

CheckBox::CheckBox(Form& form, const QString& name, int index, Control* container)
    : ButtonControl(form, new TickBox(parentWidgetFor(form, container)), name, index, container)
{
    setValueWatch(QObject::connect(tickBox(button()), &QCheckBox::stateChanged, button(), [this](int) { raiseClick(); }));
}

int CheckBox::value() const
{
    switch (tickBox(button())->checkState()) {
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    default: return 0;
    }
}

bool CheckBox::setValue(int value)
{
    QCheckBox* box = tickBox(button());
    switch (value) {
    case 0: box->setCheckState(Qt::Unchecked); break;
    case 1: box->setCheckState(Qt::Checked); break;
    case 2: box->setCheckState(Qt::PartiallyChecked); break;
    default: return false;
    }
    if (value != 2)
        box->setTristate(false);
    return true;
}

} // namespace platform::forms
