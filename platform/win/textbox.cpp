#include "platform/win/textbox.h"

#include <QCompleter>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QProxyStyle>
#include <QStringListModel>

namespace platform::forms {

namespace {

bool carriesLocalFiles(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return false;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return true;
    return false;
}

class LineEdit : public QLineEdit {
public:
    explicit LineEdit(QWidget* parent) : QLineEdit(parent) {}
    std::function<void(const QString&)>* textDropped = nullptr;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override
    {
        if (carriesLocalFiles(event->mimeData())) {
            event->ignore();
            return;
        }
        QLineEdit::dragEnterEvent(event);
    }
    void dragMoveEvent(QDragMoveEvent* event) override
    {
        if (carriesLocalFiles(event->mimeData())) {
            event->ignore();
            return;
        }
        QLineEdit::dragMoveEvent(event);
    }
    void dropEvent(QDropEvent* event) override
    {
        if (carriesLocalFiles(event->mimeData())) {
            event->ignore();
            return;
        }
        if (textDropped && *textDropped && event->mimeData() && event->mimeData()->hasText()) {
            event->acceptProposedAction();
            const QString text = event->mimeData()->text();
            (*textDropped)(text);
            return;
        }
        QLineEdit::dropEvent(event);
    }
};

// The application's style, masking a password with the box's own character
// and never showing the last typed one in clear.
class MaskStyle : public QProxyStyle {
public:
    explicit MaskStyle(QChar mask) : mask_(mask) {}

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return mask_.unicode();
        if (hint == SH_LineEdit_PasswordMaskDelay)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

private:
    QChar mask_;
};

// QLineEdit's own "no limit".
constexpr int kUnlimited = 32767;

} // namespace

TextBox::TextBox(Form& form, const QString& name, int index, Control* container)
    : Control(form, new LineEdit(parentWidgetFor(form, container)), name, index, container)
{
    static_cast<LineEdit*>(widget())->textDropped = &textDropped;
    changed_ = QObject::connect(lineEdit(), &QLineEdit::textChanged, lineEdit(), [this] {
        if (events().change)
            events().change();
    });
}

TextBox::~TextBox()
{
    // The widget outlives the control until its events are done.
    QObject::disconnect(changed_);
}

QLineEdit* TextBox::lineEdit() const
{
    return static_cast<QLineEdit*>(widget());
}

QString TextBox::text() const
{
    return lineEdit()->text();
}

void TextBox::setText(const QString& text)
{
    lineEdit()->setText(text);
}

int TextBox::selStart() const
{
    const QLineEdit* e = lineEdit();
    return e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
}

void TextBox::setSelStart(int start)
{
    lineEdit()->setCursorPosition(std::clamp(start, 0, static_cast<int>(text().size())));
}

int TextBox::selLength() const
{
    return static_cast<int>(lineEdit()->selectedText().size());
}

void TextBox::setSelLength(int length)
{
    const int start = selStart();
    const int len = std::clamp(length, 0, static_cast<int>(text().size()) - start);
    if (len == 0)
        lineEdit()->setCursorPosition(start);
    else
        lineEdit()->setSelection(start, len);
}

bool TextBox::locked() const
{
    return lineEdit()->isReadOnly();
}

void TextBox::setLocked(bool locked)
{
    lineEdit()->setReadOnly(locked);
}

QColor TextBox::backColor() const
{
    return lineEdit()->palette().color(QPalette::Base);
}

void TextBox::setBackColor(const QColor& color)
{
    QPalette p = lineEdit()->palette();
    p.setColor(QPalette::Base, color);
    p.setColor(QPalette::Window, color);
    lineEdit()->setPalette(p);
}

void TextBox::setBorderless(bool borderless)
{
    lineEdit()->setFrame(!borderless);
}

void TextBox::setCompletions(const QStringList& items)
{
    QCompleter* old = lineEdit()->completer();
    if (items.isEmpty()) {
        lineEdit()->setCompleter(nullptr);
    } else {
        auto* completer = new QCompleter(items, lineEdit());
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        completer->setCompletionMode(QCompleter::PopupCompletion);
        lineEdit()->setCompleter(completer);
    }
    if (old)
        old->deleteLater();
}

QStringList TextBox::completions() const
{
    const QCompleter* completer = lineEdit()->completer();
    const auto* model = completer ? qobject_cast<const QStringListModel*>(completer->model()) : nullptr;
    return model ? model->stringList() : QStringList();
}

void TextBox::setPasswordChar(const QString& character)
{
    passwordChar_ = character.left(1);
    QLineEdit* edit = lineEdit();
    QStyle* old = edit->style();
    if (passwordChar_.isEmpty()) {
        edit->setEchoMode(QLineEdit::Normal);
        edit->setStyle(nullptr);
    } else {
        auto* mask = new MaskStyle(passwordChar_.at(0));
        mask->setParent(edit);
        edit->setStyle(mask);
        edit->setEchoMode(QLineEdit::Password);
    }
    if (dynamic_cast<MaskStyle*>(old))
        old->deleteLater();
}

int TextBox::maxLength() const
{
    const int limit = lineEdit()->maxLength();
    return limit >= kUnlimited ? 0 : limit;
}

void TextBox::setMaxLength(int characters)
{
    lineEdit()->setMaxLength(characters <= 0 ? kUnlimited : characters);
}

void TextBox::copyPropertiesFrom(const Control& other)
{
    Control::copyPropertiesFrom(other);
    if (const auto* o = dynamic_cast<const TextBox*>(&other); o) {
        setLocked(o->locked());
        lineEdit()->setFrame(o->lineEdit()->hasFrame());
        setPasswordChar(o->passwordChar());
        setMaxLength(o->maxLength());
    }
}

} // namespace platform::forms
