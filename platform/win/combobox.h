#pragma once

// The combo box, in two styles. The drop-down combo (the default) has an
// edit field the user may type into or fill by choosing an entry; its Click
// is the choice of an entry from the list (by mouse or keys) or a change of
// ListIndex by code, never typing. The drop-down list has no edit field:
// Text is the chosen entry ("" while none is), and Click is raised on every
// change of ListIndex, by the user or by code (Clear included).

#include "platform/win/control.h"

#include <QMetaObject>
#include <QString>

class QComboBox;

namespace platform::forms {

enum class ComboStyle { DropDown = 0, DropDownList = 2 };

class ComboBox : public Control {
public:
    ComboBox(Form& form, const QString& name, int index = -1, Control* container = nullptr);
    ~ComboBox() override;

    // Set once, as the window is built.
    void setStyle(ComboStyle style);
    ComboStyle style() const { return style_; }

    // The edit field, or the chosen entry of a drop-down list. Setting the
    // text of a drop-down list chooses the entry of that text (ignoring case);
    // a text no entry has changes nothing.
    QString text() const;
    void setText(const QString& text);

    // The list: AddItem appends (never choosing an entry), Clear empties the
    // list and the field.
    void addItem(const QString& item);
    void clear();
    int listCount() const;
    QString list(int index) const; // "" outside the list

    // The chosen entry, -1 for none (in a drop-down combo also when the field
    // holds another text than the entry's). Setting -1 clears the choice and
    // the field; an index outside the list is refused (false).
    int listIndex() const;
    bool setListIndex(int index);

    // The list part, shown below the field while it is dropped down.
    QWidget* listView() const;

protected:
    // The field and its button take the mouse themselves.
    bool consumesMouse() const override { return false; }
    bool clicksOnRelease() const override { return false; }

private:
    QComboBox* combo() const;
    void raiseClick();
    ComboStyle style_ = ComboStyle::DropDown;
    int shownIndex_ = -1; // the drop-down list's ListIndex last reported by Click
    QMetaObject::Connection chosen_;
    QMetaObject::Connection indexChanged_;
};

} // namespace platform::forms
