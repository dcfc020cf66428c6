#include "platform/win/form.h"

#include "platform/win/twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QWindow>

namespace platform::forms {

class FormWindow;

namespace {

// The last window that took the activation as windows do; a window shown
// without activating never replaces it.
QPointer<FormWindow>& lastActivating()
{
    static QPointer<FormWindow> window;
    return window;
}

} // namespace

class FormWindow : public QWidget {
public:
    explicit FormWindow(Form& form) : QWidget(nullptr, Qt::Window), form_(form)
    {
        setAttribute(Qt::WA_DeleteOnClose, false);
        setMouseTracking(true);
    }

    Form& form() const { return form_; }
    QPixmap picture;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        if (form_.backColor_.isValid())
            p.fillRect(rect(), form_.backColor_);
        if (!picture.isNull())
            p.drawPixmap(0, 0, picture);
    }

    void closeEvent(QCloseEvent* event) override
    {
        // The window's close button asks like the old control menu did.
        event->ignore();
        form_.unload(UnloadFromControlMenu);
    }

    void resizeEvent(QResizeEvent*) override { form_.windowResized(width(), height()); }
    void moveEvent(QMoveEvent*) override { form_.windowMoved(x(), y()); }

    void changeEvent(QEvent* event) override
    {
        if (event->type() == QEvent::ActivationChange) {
            if (isActiveWindow() && form_.activates_)
                lastActivating() = this;
            const auto& handler = isActiveWindow() ? form_.events_.activate : form_.events_.deactivate;
            if (handler)
                handler();
        }
        QWidget::changeEvent(event);
    }

    void keyPressEvent(QKeyEvent* event) override { key(event, form_.events_.keyDown); }
    void keyReleaseEvent(QKeyEvent* event) override
    {
        if (!event->isAutoRepeat())
            key(event, form_.events_.keyUp);
    }

    void mousePressEvent(QMouseEvent* event) override { mouse(event, form_.events_.mouseDown, event->button()); }
    void mouseMoveEvent(QMouseEvent* event) override { mouse(event, form_.events_.mouseMove, event->buttons()); }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        const bool inside = rect().contains(event->position().toPoint());
        mouse(event, form_.events_.mouseUp, event->button());
        if (inside && event->button() == Qt::LeftButton && form_.events_.click)
            form_.events_.click();
    }

private:
    void key(QKeyEvent* event, const KeyHandler& handler)
    {
        const int code = keyCode(event->key());
        if (handler && code != 0)
            handler(code, shiftState(event->modifiers()));
    }

    void mouse(QMouseEvent* event, const MouseHandler& handler, Qt::MouseButtons buttons)
    {
        if (!handler)
            return;
        handler(buttonsCode(buttons), shiftState(event->modifiers()), toTwipsX(event->position().x()), toTwipsY(event->position().y()));
    }

    Form& form_;
};

Form::Form() : window_(std::make_unique<FormWindow>(*this))
{
    surface_ = window_.get();
    setBorderStyle(border_);
    applyGeometry();
}

Form::~Form()
{
    endModal();
    // Controls that outlive the form (members of a derived form are gone by
    // now) must not reach back into it.
    controls_.clear();
}

QWidget* Form::window() const
{
    return window_.get();
}

QWidget* Form::surface() const
{
    return surface_;
}

void Form::removeControl(Control* control)
{
    std::erase(controls_, control);
}

void Form::applyGeometry()
{
    const int w = std::max(1, toPixelsX(width_));
    const int h = std::max(1, toPixelsY(height_));
    const bool fixed = border_ != BorderStyle::Sizable && border_ != BorderStyle::SizableToolWindow
                       && !(border_ == BorderStyle::None && sizableWithoutBorder_);
    if (fixed) {
        window_->setFixedSize(w, h);
    } else {
        const QSize least(minWidth_ > 0 ? toPixelsX(minWidth_) : 0, minHeight_ > 0 ? toPixelsY(minHeight_) : 0);
        window_->setMinimumSize(least);
        window_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        window_->resize(std::max(w, least.width()), std::max(h, least.height()));
    }
    if (placed_)
        window_->move(toPixelsX(left_), toPixelsY(top_));
}

void Form::windowResized(int pixelWidth, int pixelHeight)
{
    // Sizes set in twips stay exactly as set; only a size the user gave the
    // window is read back from its pixels.
    if (pixelWidth != toPixelsX(width_))
        width_ = toTwipsX(pixelWidth);
    if (pixelHeight != toPixelsY(height_))
        height_ = toTwipsY(pixelHeight);
    if (loaded_ && events_.resize)
        events_.resize();
}

void Form::windowMoved(int pixelX, int pixelY)
{
    // As with the size: a place the window system gave the window (a move or
    // a resize from the left or top edge) is read back; one set in twips
    // stays exactly as set.
    if (!placed_ || !window_->isVisible())
        return;
    if (pixelX != toPixelsX(left_))
        left_ = toTwipsX(pixelX);
    if (pixelY != toPixelsY(top_))
        top_ = toTwipsY(pixelY);
}

void Form::setLeft(double twips)
{
    move(twips);
}

void Form::setTop(double twips)
{
    move(left_, twips);
}

void Form::setWidth(double twips)
{
    width_ = twips;
    applyGeometry();
}

void Form::setHeight(double twips)
{
    height_ = twips;
    applyGeometry();
}

void Form::move(double left, std::optional<double> top, std::optional<double> width, std::optional<double> height)
{
    left_ = left;
    if (top)
        top_ = *top;
    if (width)
        width_ = *width;
    if (height)
        height_ = *height;
    placed_ = true;
    applyGeometry();
}

QString Form::caption() const
{
    return window_->windowTitle();
}

void Form::setCaption(const QString& caption)
{
    window_->setWindowTitle(caption);
}

QString Form::name() const
{
    return window_->objectName();
}

void Form::setName(const QString& name)
{
    window_->setObjectName(name);
}

void Form::setBorderStyle(BorderStyle style)
{
    border_ = style;
    Qt::WindowFlags flags = Qt::Window;
    switch (style) {
    case BorderStyle::None:
        flags |= Qt::FramelessWindowHint;
        break;
    case BorderStyle::FixedDialog:
        flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
        break;
    case BorderStyle::FixedToolWindow:
    case BorderStyle::SizableToolWindow:
        flags = Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
        break;
    case BorderStyle::FixedSingle:
    case BorderStyle::Sizable:
        break;
    }
    const bool shown = window_->isVisible();
    window_->setWindowFlags(flags);
    applyGeometry();
    if (shown)
        window_->show();
}

void Form::setSizableWithoutBorder(bool on)
{
    sizableWithoutBorder_ = on;
    applyGeometry();
}

void Form::setMinimumSize(double width, double height)
{
    minWidth_ = width;
    minHeight_ = height;
    applyGeometry();
}

void Form::setBackColor(const QColor& color)
{
    backColor_ = color;
    window_->update();
}

void Form::setPicture(const QPixmap& picture)
{
    window_->picture = picture;
    window_->update();
}

void Form::setMousePointer(int code)
{
    const auto shape = cursorOfPointer(code);
    mousePointer_ = shape ? code : 0;
    if (shape)
        window_->setCursor(*shape);
    else
        window_->unsetCursor();
}

void Form::load()
{
    if (loaded_)
        return;
    loaded_ = true;
    if (events_.load)
        events_.load();
}

void Form::placeOnFirstShow(Form* owner)
{
    if (placed_ || startUp_ == StartUpPosition::Manual) {
        placed_ = true;
        applyGeometry();
        return;
    }
    QRect area;
    if (startUp_ == StartUpPosition::CenterOwner && owner && owner->window_->isVisible())
        area = owner->window_->frameGeometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    const QSize size = window_->size();
    const QPoint at = area.center() - QPoint(size.width() / 2, size.height() / 2);
    left_ = toTwipsX(at.x());
    top_ = toTwipsY(at.y());
    placed_ = true;
    applyGeometry();
}

void Form::show()
{
    load();
    if (!loaded_)
        return; // the Load event unloaded the form
    placeOnFirstShow(activeForm());
    window_->show();
    window_->raise();
    if (activates_)
        window_->activateWindow();
}

void Form::setShowWithoutActivating(bool on)
{
    activates_ = !on;
    window_->setAttribute(Qt::WA_ShowWithoutActivating, on);
    window_->setWindowFlag(Qt::WindowDoesNotAcceptFocus, on);
}

void Form::showModal(Form* owner)
{
    if (modalLoop_)
        return;
    load();
    if (!loaded_)
        return;
    if (!owner)
        owner = activeForm();
    if (owner == this)
        owner = nullptr;
    if (startUp_ == StartUpPosition::CenterScreen && owner)
        startUp_ = StartUpPosition::CenterOwner;
    placeOnFirstShow(owner);
    window_->setWindowModality(Qt::ApplicationModal);
    if (owner) {
        window_->winId();
        if (window_->windowHandle() && owner->window_->windowHandle())
            window_->windowHandle()->setTransientParent(owner->window_->windowHandle());
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
    QEventLoop loop;
    modalLoop_ = &loop;
    loop.exec(QEventLoop::DialogExec);
    modalLoop_ = nullptr;
    window_->setWindowModality(Qt::NonModal);
}

void Form::endModal()
{
    if (modalLoop_)
        modalLoop_->quit();
}

void Form::hide()
{
    window_->hide();
    endModal();
}

bool Form::isVisible() const
{
    return window_->isVisible();
}

bool Form::unload(int unloadMode)
{
    if (loaded_ && events_.queryUnload) {
        bool cancel = false;
        events_.queryUnload(cancel, unloadMode);
        if (cancel)
            return false;
    }
    const bool wasLoaded = loaded_;
    loaded_ = false;
    if (wasLoaded && events_.unload)
        events_.unload();
    hide();
    return true;
}

Form* Form::activeForm()
{
    Form* form = fromWidget(QApplication::activeWindow());
    if (form && !form->activates_) {
        // Some window systems activate it anyway: the window the user works
        // in stays the active one.
        FormWindow* previous = lastActivating();
        return previous && previous->isVisible() ? &previous->form() : nullptr;
    }
    return form;
}

Form* Form::fromWidget(const QWidget* window)
{
    auto* fw = dynamic_cast<const FormWindow*>(window);
    return fw ? &fw->form() : nullptr;
}

} // namespace platform::forms
