#pragma once

// The drop-down combo box with a text field: a list of entries and an edit
// field the user may type into or fill by choosing an entry. Click is the
// choice of an entry from the list (by mouse or keys), never typing.

#include "platform/win/control.h"

#include <QMetaObject>
#include <QString>

class QComboBox;

namespace platform::forms {

class ComboBox : public Control {
public:
    ComboBox(Form& form, const QString& name, int index = -1, Control* container = nullptr);
    ~ComboBox() override;

    // The edit field.
    QString text() const;
    void setText(const QString& text);

    // The list: AddItem appends, Clear empties the list and the field.
    void addItem(const QString& item);
    void clear();
    int listCount() const;
    QString list(int index) const; // "" outside the list

    // The list part, shown below the field while it is dropped down.
    QWidget* listView() const;

protected:
    // The field and its button take the mouse themselves.
    bool consumesMouse() const override { return false; }

private:
    QComboBox* combo() const;
    QMetaObject::Connection chosen_;
};

} // namespace platform::forms
