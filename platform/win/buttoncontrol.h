#pragma once

// What check boxes and option buttons share: a button with a caption beside
// it, drawn over whatever lies under the control (a form's or picture box's
// picture shows through), whose Click follows its value instead of a mouse
// release.

#include "platform/win/control.h"

#include <QMetaObject>

class QAbstractButton;

namespace platform::forms {

class ButtonControl : public Control {
public:
    ~ButtonControl() override;

    // An "&" underlines the next character, which with Alt clicks the button.
    QString caption() const;
    void setCaption(const QString& caption);

    void copyPropertiesFrom(const Control& other) override;

protected:
    ButtonControl(Form& form, QAbstractButton* button, const QString& name, int index, Control* container);
    QAbstractButton* button() const;
    // The button's signal that raises Click; dropped when the control goes,
    // as its widget outlives it until its events are done.
    void setValueWatch(QMetaObject::Connection connection) { valueWatch_ = connection; }
    void raiseClick();

    bool consumesMouse() const override { return false; }
    bool clicksOnRelease() const override { return false; }

private:
    QMetaObject::Connection valueWatch_;
};

} // namespace platform::forms
