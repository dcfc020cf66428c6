#include "platform/win/combobox.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>

namespace platform::forms {

ComboBox::ComboBox(Form& form, const QString& name, int index, Control* container)
    : Control(form, new QComboBox(parentWidgetFor(form, container)), name, index, container)
{
    combo()->setEditable(true);
    combo()->setInsertPolicy(QComboBox::NoInsert);
    combo()->setFocusPolicy(Qt::StrongFocus);
    // No completion of typed text from the list: the field holds what was typed.
    combo()->setCompleter(nullptr);
    chosen_ = QObject::connect(combo(), &QComboBox::activated, combo(), [this](int) {
        if (events().click)
            events().click();
    });
}

ComboBox::~ComboBox()
{
    // The widget outlives the control until its events are done.
    QObject::disconnect(chosen_);
}

QComboBox* ComboBox::combo() const
{
    return static_cast<QComboBox*>(widget());
}

QString ComboBox::text() const
{
    return combo()->currentText();
}

void ComboBox::setText(const QString& text)
{
    combo()->setEditText(text);
}

void ComboBox::addItem(const QString& item)
{
    // An entry added to an empty list must not fill the field.
    const QString field = text();
    combo()->addItem(item);
    setText(field);
}

void ComboBox::clear()
{
    combo()->clear();
    combo()->clearEditText();
}

int ComboBox::listCount() const
{
    return combo()->count();
}

QString ComboBox::list(int index) const
{
    if (index < 0 || index >= combo()->count())
        return QString();
    return combo()->itemText(index);
}

QWidget* ComboBox::listView() const
{
    return combo()->view();
}

} // namespace platform::forms
