#pragma once

// A one-line text box: the text, the selection by 0-based start and length,
// a locked (read-only) state and its colours. Change is raised on every
// change of the text, typed or set by code. Keys reach KeyDown and KeyUp
// with the old toolkit's codes before the box handles them; mouse input goes
// to the box itself. Local files dropped on it are refused (an address box
// takes typed text, not files).

#include "platform/win/control.h"

#include <QMetaObject>
#include <QStringList>

#include <functional>

class QLineEdit;

namespace platform::forms {

class TextBox : public Control {
public:
    TextBox(Form& form, const QString& name, int index = -1, Control* container = nullptr);
    ~TextBox() override;

    QString text() const;
    void setText(const QString& text);
    int selStart() const;
    void setSelStart(int start);
    int selLength() const;
    void setSelLength(int length);
    bool locked() const;
    void setLocked(bool locked);
    QColor backColor() const;
    void setBackColor(const QColor& color);
    // No frame drawn round the text (BorderStyle 0).
    void setBorderless(bool borderless);
    // Texts offered below the box while typing (those that begin with what
    // was typed, case-blind); an empty list offers nothing.
    void setCompletions(const QStringList& items);
    QStringList completions() const;
    // PasswordChar: every character of the text shows as this one ("" shows
    // the text itself). While it is set the text cannot be copied or dragged
    // out, and what the box shows, or reports to assistive tools, is masked.
    QString passwordChar() const { return passwordChar_; }
    void setPasswordChar(const QString& character);
    // The most characters the user may type or paste; 0 for no limit. A
    // longer text set by code is cut to it, and so is the text already held
    // when the limit is set.
    int maxLength() const;
    void setMaxLength(int characters);

    QLineEdit* lineEdit() const;

    // When set, a dropped text (no local files) is handed here instead of
    // being inserted where it was dropped.
    std::function<void(const QString& text)> textDropped;
    void copyPropertiesFrom(const Control& other) override;

protected:
    bool consumesMouse() const override { return false; }

private:
    QString passwordChar_;
    QMetaObject::Connection changed_;
};

} // namespace platform::forms
