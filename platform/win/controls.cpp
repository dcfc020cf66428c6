#include "platform/win/controls.h"

#include "platform/win/twips.h"

#include <QLabel>
#include <QPainter>

namespace platform::forms {

namespace {

// A widget that draws a picture, at its top-left corner or stretched.
class PictureWidget : public QWidget {
public:
    explicit PictureWidget(QWidget* parent) : QWidget(parent) {}

    QPixmap picture;
    bool stretch = false;
    QColor back;
    QString text; // drawn centred over the picture, clipped to the widget

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        if (back.isValid())
            p.fillRect(rect(), back);
        if (!picture.isNull()) {
            if (stretch)
                p.drawPixmap(rect(), picture);
            else
                p.drawPixmap(0, 0, picture);
        }
        if (!text.isEmpty()) {
            p.setClipRect(rect());
            p.setPen(palette().color(QPalette::WindowText));
            p.setFont(font());
            p.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text);
        }
    }
};

PictureWidget* pictureWidget(QWidget* w)
{
    return static_cast<PictureWidget*>(w);
}

} // namespace

// ---- Label ----

Label::Label(Form& form, const QString& name, int index, Control* container)
    : Control(form, new QLabel(parentWidgetFor(form, container)), name, index, container)
{
    label()->setTextFormat(Qt::PlainText);
    label()->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTransparent(true);
}

QLabel* Label::label() const
{
    return static_cast<QLabel*>(widget());
}

QString Label::caption() const
{
    return caption_;
}

void Label::setCaption(const QString& caption)
{
    caption_ = caption;
    showCaption();
}

void Label::setUseMnemonic(bool on)
{
    useMnemonic_ = on;
    showCaption();
}

void Label::showCaption()
{
    if (!useMnemonic_ || !caption_.contains(QLatin1Char('&'))) {
        label()->setTextFormat(Qt::PlainText);
        label()->setText(caption_);
        sizeChanged();
        return;
    }
    // The caption as escaped rich text with the marked letter underlined.
    QString html;
    for (qsizetype i = 0; i < caption_.size(); ++i) {
        QString ch = caption_.at(i);
        bool underline = false;
        if (caption_.at(i) == QLatin1Char('&')) {
            if (i + 1 >= caption_.size())
                break;
            ++i;
            ch = caption_.at(i);
            underline = caption_.at(i) != QLatin1Char('&');
        }
        ch = ch.toHtmlEscaped().replace(QLatin1Char(' '), QStringLiteral("&nbsp;"));
        html += underline ? QStringLiteral("<u>") + ch + QStringLiteral("</u>") : ch;
    }
    label()->setTextFormat(Qt::RichText);
    label()->setText(html);
    sizeChanged();
}

void Label::setAutoSize(bool autoSize)
{
    autoSize_ = autoSize;
    sizeChanged();
}

bool Label::wordWrap() const
{
    return label()->wordWrap();
}

void Label::setWordWrap(bool wrap)
{
    label()->setWordWrap(wrap);
    sizeChanged();
}

void Label::setAlignment(Alignment alignment)
{
    const Qt::Alignment h = alignment == Alignment::Left    ? Qt::AlignLeft
                            : alignment == Alignment::Right ? Qt::AlignRight
                                                            : Qt::AlignHCenter;
    label()->setAlignment(h | Qt::AlignTop);
}

void Label::setTransparent(bool transparent)
{
    label()->setAutoFillBackground(!transparent);
}

void Label::setBackColor(const QColor& color)
{
    QPalette p = label()->palette();
    p.setColor(QPalette::Window, color);
    label()->setPalette(p);
    setTransparent(false);
}

void Label::sizeChanged()
{
    if (!autoSize_ || fitting_)
        return;
    fitting_ = true;
    if (label()->wordWrap()) {
        const int h = label()->heightForWidth(std::max(1, label()->width()));
        setSizeFromContent(width(), toTwipsY(h));
    } else {
        const QSize hint = label()->sizeHint();
        setSizeFromContent(toTwipsX(hint.width()), toTwipsY(hint.height()));
    }
    fitting_ = false;
}

void Label::copyPropertiesFrom(const Control& other)
{
    Control::copyPropertiesFrom(other);
    if (const auto* o = dynamic_cast<const Label*>(&other); o) {
        label()->setWordWrap(o->label()->wordWrap());
        label()->setAlignment(o->label()->alignment());
        label()->setAutoFillBackground(o->label()->autoFillBackground());
        caption_ = o->caption_;
        useMnemonic_ = o->useMnemonic_;
        autoSize_ = o->autoSize_;
        showCaption();
        sizeChanged();
    }
}

// ---- PictureBox ----

PictureBox::PictureBox(Form& form, const QString& name, int index, Control* container)
    : Control(form, new PictureWidget(parentWidgetFor(form, container)), name, index, container)
{
    setTabStop(true);
}

const QPixmap& PictureBox::picture() const
{
    return pictureWidget(widget())->picture;
}

void PictureBox::setPicture(const QPixmap& picture)
{
    pictureWidget(widget())->picture = picture;
    if (autoSize_ && !picture.isNull())
        setSizeFromContent(toTwipsX(picture.width()), toTwipsY(picture.height()));
    widget()->update();
}

void PictureBox::setAutoSize(bool autoSize)
{
    autoSize_ = autoSize;
    if (autoSize_ && !picture().isNull())
        setSizeFromContent(toTwipsX(picture().width()), toTwipsY(picture().height()));
}

void PictureBox::setTabStop(bool tabStop)
{
    widget()->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

void PictureBox::setBackColor(const QColor& color)
{
    pictureWidget(widget())->back = color;
    widget()->update();
}

const QString& PictureBox::centredText() const
{
    return pictureWidget(widget())->text;
}

void PictureBox::setCentredText(const QString& text)
{
    pictureWidget(widget())->text = text;
    widget()->update();
}

void PictureBox::copyPropertiesFrom(const Control& other)
{
    Control::copyPropertiesFrom(other);
    if (const auto* o = dynamic_cast<const PictureBox*>(&other); o) {
        pictureWidget(widget())->back = pictureWidget(o->widget())->back;
        pictureWidget(widget())->text = pictureWidget(o->widget())->text;
        widget()->setFocusPolicy(o->widget()->focusPolicy());
        autoSize_ = o->autoSize_;
        setPicture(o->picture());
    }
}

// ---- Image ----

Image::Image(Form& form, const QString& name, int index, Control* container)
    : Control(form, new PictureWidget(parentWidgetFor(form, container)), name, index, container)
{
    widget()->setFocusPolicy(Qt::NoFocus);
}

const QPixmap& Image::picture() const
{
    return pictureWidget(widget())->picture;
}

void Image::setPicture(const QPixmap& picture)
{
    pictureWidget(widget())->picture = picture;
    if (!stretch_ && !picture.isNull())
        setSizeFromContent(toTwipsX(picture.width()), toTwipsY(picture.height()));
    widget()->update();
}

void Image::setStretch(bool stretch)
{
    stretch_ = stretch;
    pictureWidget(widget())->stretch = stretch;
    if (!stretch_ && !picture().isNull())
        setSizeFromContent(toTwipsX(picture().width()), toTwipsY(picture().height()));
    widget()->update();
}

void Image::copyPropertiesFrom(const Control& other)
{
    Control::copyPropertiesFrom(other);
    if (const auto* o = dynamic_cast<const Image*>(&other); o) {
        stretch_ = o->stretch_;
        pictureWidget(widget())->stretch = stretch_;
        setPicture(o->picture());
    }
}

} // namespace platform::forms
