#include "platform/win/combobox.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

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
        if (style_ == ComboStyle::DropDown)
            raiseClick();
    });
    indexChanged_ = QObject::connect(combo(), &QComboBox::currentIndexChanged, combo(), [this](int now) {
        if (style_ != ComboStyle::DropDownList || now == shownIndex_)
            return;
        shownIndex_ = now;
        raiseClick();
    });
}

ComboBox::~ComboBox()
{
    // The widget outlives the control until its events are done.
    QObject::disconnect(chosen_);
    QObject::disconnect(indexChanged_);
}

QComboBox* ComboBox::combo() const
{
    return static_cast<QComboBox*>(widget());
}

void ComboBox::raiseClick()
{
    if (events().click)
        events().click();
}

void ComboBox::setStyle(ComboStyle style)
{
    if (style == style_)
        return;
    const QSignalBlocker quiet(combo());
    style_ = style;
    combo()->setEditable(style == ComboStyle::DropDown);
    if (style == ComboStyle::DropDown)
        combo()->setCompleter(nullptr);
    shownIndex_ = combo()->currentIndex();
}

QString ComboBox::text() const
{
    return combo()->currentText();
}

void ComboBox::setText(const QString& text)
{
    if (style_ == ComboStyle::DropDown) {
        combo()->setEditText(text);
        return;
    }
    const int found = combo()->findText(text, Qt::MatchFixedString);
    if (found >= 0)
        setListIndex(found);
}

void ComboBox::addItem(const QString& item)
{
    // An entry added to an empty list must neither fill the field nor be chosen.
    const QSignalBlocker quiet(combo());
    const QString field = text();
    const int chosen = combo()->currentIndex();
    combo()->addItem(item);
    if (combo()->currentIndex() != chosen)
        combo()->setCurrentIndex(chosen);
    if (style_ == ComboStyle::DropDown)
        combo()->setEditText(field);
}

void ComboBox::clear()
{
    combo()->clear();
    if (style_ == ComboStyle::DropDown)
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

int ComboBox::listIndex() const
{
    const int index = combo()->currentIndex();
    if (style_ == ComboStyle::DropDown && index >= 0 && combo()->itemText(index) != combo()->currentText())
        return -1;
    return index;
}

bool ComboBox::setListIndex(int index)
{
    if (index < -1 || index >= combo()->count())
        return false;
    if (style_ == ComboStyle::DropDownList) {
        combo()->setCurrentIndex(index); // Click comes with the change
        return true;
    }
    const bool changed = index != listIndex();
    {
        const QSignalBlocker quiet(combo());
        combo()->setCurrentIndex(index);
        if (index < 0)
            combo()->clearEditText();
    }
    if (changed)
        raiseClick();
    return true;
}

QWidget* ComboBox::listView() const
{
    return combo()->view();
}

} // namespace platform::forms
