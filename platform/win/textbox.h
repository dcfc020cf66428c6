#pragma once

// A one-line text box: the text, the selection by 0-based start and length,
// a locked (read-only) state and its colours. Keys reach KeyDown and KeyUp
// with the old toolkit's codes before the box handles them; mouse input goes
// to the box itself. Local files dropped on it are refused (an address box
// takes typed text, not files).

#include "platform/win/control.h"

#include <QStringList>

#include <functional>

class QLineEdit;

namespace platform::forms {

class TextBox : public Control {
public:
    TextBox(Form& form, const QString& name, int index = -1, Control* container = nullptr);

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

    QLineEdit* lineEdit() const;

    // When set, a dropped text (no local files) is handed here instead of
    // being inserted where it was dropped.
    std::function<void(const QString& text)> textDropped;
    void copyPropertiesFrom(const Control& other) override;

protected:
    bool consumesMouse() const override { return false; }
};

} // namespace platform::forms
