#include "platform/win/control.h"

#include "platform/win/form.h"
#include "platform/win/twips.h"

#include <QApplication>
#include <QTextDocument>
#include <QEvent>
#include <QFocusEvent>
#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextDocument>

namespace platform::forms {

namespace {

QHash<const QWidget*, Control*>& controlOfWidget()
{
    static QHash<const QWidget*, Control*> map;
    return map;
}

// The control that holds the mouse because a button was pressed on it, as
// the old system captured the mouse for a control from a press to the release.
Control* pressedControl = nullptr;

} // namespace

int keyCode(int qtKey)
{
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey; // same codes as the old toolkit
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    default: return 0;
    }
}

int buttonsCode(Qt::MouseButtons buttons)
{
    int code = 0;
    if (buttons & Qt::LeftButton)
        code |= LeftButton;
    if (buttons & Qt::RightButton)
        code |= RightButton;
    if (buttons & Qt::MiddleButton)
        code |= MiddleButton;
    return code;
}

int shiftState(Qt::KeyboardModifiers modifiers)
{
    int code = 0;
    if (modifiers & Qt::ShiftModifier)
        code |= ShiftMask;
    if (modifiers & Qt::ControlModifier)
        code |= CtrlMask;
    if (modifiers & Qt::AltModifier)
        code |= AltMask;
    return code;
}

// Turns the widget's Qt events into the control's events.
class ControlFilter : public QObject {
public:
    explicit ControlFilter(Control& control) : QObject(control.widget()), control_(control) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != control_.widget())
            return false;
        ControlEvents& ev = control_.events_;
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* me = static_cast<QMouseEvent*>(event);
            // The handler may unload the control: nothing of it is read after.
            const bool consume = control_.consumesMouse();
            if (consume)
                pressedControl = control_.windowless() ? control_.container() : &control_;
            if (ev.mouseDown)
                ev.mouseDown(buttonsCode(me->button()), shiftState(me->modifiers()), twipsX(me), twipsY(me));
            return consume;
        }
        case QEvent::MouseMove: {
            auto* me = static_cast<QMouseEvent*>(event);
            const bool consume = control_.consumesMouse();
            if (ev.mouseMove)
                ev.mouseMove(buttonsCode(me->buttons()), shiftState(me->modifiers()), twipsX(me), twipsY(me));
            return consume;
        }
        case QEvent::MouseButtonRelease: {
            auto* me = static_cast<QMouseEvent*>(event);
            QWidget* w = control_.widget();
            const bool inside = w->rect().contains(me->position().toPoint());
            const bool consume = control_.consumesMouse();
            const std::shared_ptr<bool> alive = control_.alive_;
            if (ev.mouseUp)
                ev.mouseUp(buttonsCode(me->button()), shiftState(me->modifiers()), twipsX(me), twipsY(me));
            // A handler may have unloaded the control: touch nothing of it then.
            if (!*alive)
                return true;
            if (inside && me->button() == Qt::LeftButton && ev.click && control_.clicksOnRelease())
                ev.click();
            if (me->buttons() == Qt::NoButton) {
                pressedControl = nullptr;
                if (QWidget::mouseGrabber() == w)
                    w->releaseMouse();
            }
            return consume;
        }
        case QEvent::MouseButtonDblClick: {
            const bool consume = control_.consumesMouse();
            if (ev.dblClick)
                ev.dblClick();
            return consume;
        }
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            auto* ke = static_cast<QKeyEvent*>(event);
            // Tab moves the focus and is never seen by the control; a held
            // key repeats its KeyDown but ends with one KeyUp.
            if (ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab)
                return false;
            if (event->type() == QEvent::KeyRelease && ke->isAutoRepeat())
                return false;
            const KeyHandler& handler = event->type() == QEvent::KeyPress ? ev.keyDown : ev.keyUp;
            const int code = keyCode(ke->key());
            if (handler && code != 0)
                handler(code, shiftState(ke->modifiers()));
            return false;
        }
        case QEvent::FocusIn:
            // Switching between windows keeps the control's focus as it was.
            if (!control_.focused_) {
                control_.focused_ = true;
                if (ev.gotFocus)
                    ev.gotFocus();
            }
            return false;
        case QEvent::FocusOut: {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
                return false;
            if (control_.focused_) {
                control_.focused_ = false;
                if (ev.lostFocus)
                    ev.lostFocus();
            }
            return false;
        }
        case QEvent::Hide:
            if (QWidget::mouseGrabber() == control_.widget())
                control_.widget()->releaseMouse();
            return false;
        default:
            return false;
        }
    }

private:
    static double twipsX(const QMouseEvent* me) { return toTwipsX(me->position().x()); }
    static double twipsY(const QMouseEvent* me) { return toTwipsY(me->position().y()); }

    Control& control_;
};

Control::Control(Form& form, QWidget* widget, const QString& name, int index, Control* container)
    : form_(form), widget_(widget), name_(name), index_(index), container_(container)
{
    widget->setObjectName(index >= 0 ? name + QLatin1Char('(') + QString::number(index) + QLatin1Char(')') : name);
    widget->setMouseTracking(true);
    controlOfWidget().insert(widget, this);
    filter_ = new ControlFilter(*this);
    widget->installEventFilter(filter_);
    form_.addControl(this);
    applyGeometry();
    widget->show();
}

Control::~Control()
{
    *alive_ = false;
    if (pressedControl == this)
        pressedControl = nullptr;
    form_.removeControl(this);
    controlOfWidget().remove(widget_);
    widget_->removeEventFilter(filter_);
    if (QWidget::mouseGrabber() == widget_)
        widget_->releaseMouse();
    // The control may go inside one of its own events: its widget goes once
    // the event is done.
    widget_->hide();
    widget_->deleteLater();
}

QWidget* Control::parentWidgetFor(Form& form, Control* container)
{
    return container ? container->widget() : form.surface();
}

Control* Control::fromWidget(const QWidget* widget)
{
    return controlOfWidget().value(widget, nullptr);
}

void Control::applyGeometry()
{
    const int x = toPixelsX(left_);
    const int y = toPixelsY(top_);
    const int w = std::max(0, toPixelsX(width_));
    const int h = std::max(0, toPixelsY(height_));
    widget_->setGeometry(x, y, w, h);
    sizeChanged();
}

void Control::setLeft(double twips)
{
    left_ = twips;
    applyGeometry();
}

void Control::setTop(double twips)
{
    top_ = twips;
    applyGeometry();
}

void Control::setWidth(double twips)
{
    width_ = twips;
    applyGeometry();
}

void Control::setHeight(double twips)
{
    height_ = twips;
    applyGeometry();
}

void Control::move(double left, std::optional<double> top, std::optional<double> width, std::optional<double> height)
{
    left_ = left;
    if (top)
        top_ = *top;
    if (width)
        width_ = *width;
    if (height)
        height_ = *height;
    applyGeometry();
}

void Control::setSizeFromContent(double width, double height)
{
    width_ = width;
    height_ = height;
    applyGeometry();
}

void Control::setVisible(bool visible)
{
    visible_ = visible;
    widget_->setVisible(visible);
}

void Control::setEnabled(bool enabled)
{
    enabled_ = enabled;
    widget_->setEnabled(enabled);
}

void Control::setToolTipText(const QString& text)
{
    toolTip_ = text;
    // Escaped and wrapped, so the tooltip shows the very characters given
    // (blanks at the ends included) however they look like markup.
    widget_->setToolTip(text.isEmpty() ? QString() : Qt::convertFromPlainText(text, Qt::WhiteSpacePre));
}

std::optional<Qt::CursorShape> cursorOfPointer(int code)
{
    switch (code) {
    case 1: return Qt::ArrowCursor;
    case 2: return Qt::CrossCursor;
    case 3: return Qt::IBeamCursor;
    case 5:
    case 15: return Qt::SizeAllCursor;
    case 6: return Qt::SizeBDiagCursor;
    case 7: return Qt::SizeVerCursor;
    case 8: return Qt::SizeFDiagCursor;
    case 9: return Qt::SizeHorCursor;
    case 10: return Qt::UpArrowCursor;
    case 11: return Qt::WaitCursor;
    case 12: return Qt::ForbiddenCursor;
    case 13: return Qt::BusyCursor;
    case 99: return Qt::PointingHandCursor;
    default: return std::nullopt;
    }
}

void Control::setMousePointer(int code)
{
    mousePointer_ = code;
    if (const auto shape = cursorOfPointer(code))
        widget_->setCursor(*shape);
    else
        widget_->unsetCursor();
}

QColor Control::foreColor() const
{
    return widget_->palette().color(QPalette::Active, QPalette::WindowText);
}

void Control::setForeColor(const QColor& color)
{
    // A disabled control keeps the greyed text of the style, as the old
    // toolkit drew it whatever the colour.
    QPalette p = widget_->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::WindowText, color);
        p.setColor(group, QPalette::Text, color);
    }
    widget_->setPalette(p);
}

std::optional<double> Control::fontSize() const
{
    if (!hasFont())
        return std::nullopt;
    return widget_->font().pointSizeF();
}

bool Control::setFontSize(double points)
{
    if (!hasFont() || points <= 0)
        return false;
    QFont f = widget_->font();
    f.setPointSizeF(points);
    setFont(f);
    return true;
}

QFont Control::font() const
{
    return widget_->font();
}

void Control::setFont(const QFont& font)
{
    if (hasFont()) {
        widget_->setFont(font);
        sizeChanged();
    }
}

void Control::zOrder(int position)
{
    if (position == 0)
        widget_->raise();
    else
        widget_->lower();
}

void Control::setFocus()
{
    widget_->setFocus(Qt::OtherFocusReason);
}

bool Control::hasFocus() const
{
    return focused_;
}

void Control::setCapture()
{
    if (QWidget::mouseGrabber() != widget_)
        widget_->grabMouse();
}

void Control::releaseCapture()
{
    pressedControl = nullptr;
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
}

Control* Control::capture()
{
    if (QWidget* grabber = QWidget::mouseGrabber())
        return fromWidget(grabber);
    return pressedControl;
}

void sendTabKey(bool backwards)
{
    QWidget* target = QApplication::focusWidget();
    if (!target)
        return;
    const Qt::KeyboardModifiers mods = backwards ? Qt::ShiftModifier : Qt::NoModifier;
    const int key = backwards ? Qt::Key_Backtab : Qt::Key_Tab;
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, key, mods));
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, key, mods));
}

void Control::copyPropertiesFrom(const Control& other)
{
    left_ = other.left_;
    top_ = other.top_;
    width_ = other.width_;
    height_ = other.height_;
    setEnabled(other.enabled_);
    tag_ = other.tag_;
    setToolTipText(other.toolTip_);
    setMousePointer(other.mousePointer_);
    widget_->setPalette(other.widget_->palette());
    if (hasFont())
        widget_->setFont(other.widget_->font());
    applyGeometry();
}

} // namespace platform::forms
