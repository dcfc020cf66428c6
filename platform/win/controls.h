#pragma once

// The standard controls of the forms model: label, picture box and image.

#include "platform/win/control.h"

#include <QPixmap>

class QLabel;

namespace platform::forms {

enum class Alignment { Left, Right, Center };

// A text on the window. With AutoSize the label takes the size of its text
// (with WordWrap only its height grows, its width stays as set).
class Label : public Control {
public:
    Label(Form& form, const QString& name, int index = -1, Control* container = nullptr);

    QString caption() const;
    void setCaption(const QString& caption);
    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool autoSize);
    bool wordWrap() const;
    void setWordWrap(bool wrap);
    // UseMnemonic: an "&" in the caption underlines the next character
    // ("&&" shows one "&"); off, the caption shows as it is.
    bool useMnemonic() const { return useMnemonic_; }
    void setUseMnemonic(bool on);
    void setAlignment(Alignment alignment);
    // BackStyle: a transparent label shows what lies under it.
    void setTransparent(bool transparent);
    void setBackColor(const QColor& color);

    void copyPropertiesFrom(const Control& other) override;

protected:
    void sizeChanged() override;
    bool windowless() const override { return true; }

private:
    QLabel* label() const;
    void showCaption();
    QString caption_;
    bool useMnemonic_ = false;
    bool autoSize_ = false;
    bool fitting_ = false;
};

// A picture box: draws its picture at its top-left corner, holds other
// controls, and takes the keyboard focus (TabStop) unless told otherwise.
class PictureBox : public Control {
public:
    PictureBox(Form& form, const QString& name, int index = -1, Control* container = nullptr);

    const QPixmap& picture() const;
    void setPicture(const QPixmap& picture);
    // AutoSize: the box takes the size of its picture.
    void setAutoSize(bool autoSize);
    void setTabStop(bool tabStop);
    void setBackColor(const QColor& color);
    // A line of text drawn over the picture, centred in the box in the
    // control's ForeColor and cut at the box's edges; "" draws none.
    const QString& centredText() const;
    void setCentredText(const QString& text);

    void copyPropertiesFrom(const Control& other) override;

private:
    bool autoSize_ = false;
};

// An image: a windowless picture that sizes itself to its picture unless it
// stretches the picture to its own size. It has no font and no focus.
class Image : public Control {
public:
    Image(Form& form, const QString& name, int index = -1, Control* container = nullptr);

    const QPixmap& picture() const;
    void setPicture(const QPixmap& picture);
    bool stretch() const { return stretch_; }
    void setStretch(bool stretch);

    bool hasFont() const override { return false; }
    void copyPropertiesFrom(const Control& other) override;

protected:
    bool windowless() const override { return true; }

private:
    bool stretch_ = false;
};

} // namespace platform::forms
