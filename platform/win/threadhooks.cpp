#include "platform/win/threadhooks.h"

#include "platform/win/inputstate.h"
#include "platform/win/winproc.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <QWindow>

#include <list>
#include <memory>
#include <vector>

namespace platform::threadhooks {

namespace {

struct Hook {
    HookHandle handle = 0;
    int type = 0;
    HookProc proc;
};

// One input event as it travels through its receivers.
struct InputRecord {
    const QEvent* event = nullptr;
    QEvent::Type type = QEvent::None;
    quint64 timestamp = 0;
    QPointer<QObject> lastReceiver;
    bool lastWasWindow = false;
    // mouse
    QPointF globalPos;
    Qt::MouseButton button = Qt::NoButton;
    // keys
    int key = 0;
    Qt::KeyboardModifiers modifiers;
    bool autoRepeat = false;
    bool awaitingKeyPress = false; // a shortcut check that its key press may follow
    bool swallowed = false;
    bool valid = false;
};

struct HeldPress {
    std::unique_ptr<QEvent> event;
    QPointer<QObject> receiver;
};

class InputFilter;

struct State {
    std::list<Hook> hooks; // newest first within each type
    HookHandle nextHandle = 1;
    InputFilter* filter = nullptr;
    InputRecord record;
    HeldPress held;
    int holdCount = 0;
    std::function<bool(const QWidget*)> holdArea;
    bool replaying = false;
};

State& state()
{
    static State s;
    return s;
}

std::list<Hook>::iterator findHook(HookHandle handle)
{
    auto& hooks = state().hooks;
    for (auto it = hooks.begin(); it != hooks.end(); ++it)
        if (it->handle == handle)
            return it;
    return hooks.end();
}

// Calls the chain of the type from its newest hook.
intptr_t runChain(int type, int code, uintptr_t wParam, intptr_t lParam)
{
    for (const Hook& h : state().hooks) {
        if (h.type == type) {
            const HookProc proc = h.proc; // the hook may remove itself
            return proc ? proc(code, wParam, lParam) : 0;
        }
    }
    return 0;
}

bool hasHooks(int type)
{
    for (const Hook& h : state().hooks)
        if (h.type == type)
            return true;
    return false;
}

bool isMouseInput(QEvent::Type t)
{
    return t == QEvent::MouseButtonPress || t == QEvent::MouseButtonRelease ||
           t == QEvent::MouseButtonDblClick || t == QEvent::MouseMove || t == QEvent::Wheel;
}

bool isKeyInput(QEvent::Type t)
{
    return t == QEvent::KeyPress || t == QEvent::KeyRelease || t == QEvent::ShortcutOverride;
}

uint32_t mouseMessage(const QEvent* e)
{
    using namespace platform::winproc;
    if (e->type() == QEvent::Wheel)
        return WM_MOUSEWHEEL;
    const auto* me = static_cast<const QMouseEvent*>(e);
    if (e->type() == QEvent::MouseMove)
        return WM_MOUSEMOVE;
    uint32_t base = WM_LBUTTONDOWN;
    if (me->button() == Qt::RightButton)
        base = WM_RBUTTONDOWN;
    else if (me->button() == Qt::MiddleButton)
        base = WM_MBUTTONDOWN;
    if (e->type() == QEvent::MouseButtonRelease)
        return base + 1;
    if (e->type() == QEvent::MouseButtonDblClick)
        return base + 2;
    return base;
}

bool isAncestor(const QObject* maybeAncestor, const QObject* child)
{
    if (!maybeAncestor || !child || !maybeAncestor->isWidgetType() || !child->isWidgetType())
        return false;
    for (const QWidget* w = static_cast<const QWidget*>(child)->parentWidget(); w; w = w->parentWidget())
        if (w == maybeAncestor)
            return true;
    return false;
}

// Whether this receipt continues the input event of the record.
bool continuesRecord(QObject* receiver, QEvent* e)
{
    InputRecord& r = state().record;
    if (!r.valid)
        return false;
    const auto* ie = static_cast<const QInputEvent*>(e);
    const bool moved = !r.lastReceiver.isNull() && receiver != r.lastReceiver.data();
    // The same event object handed on: from the window to a widget, or up
    // to a parent.
    if (moved && e == r.event && e->type() == r.type && ie->timestamp() == r.timestamp &&
        (r.lastWasWindow || isAncestor(receiver, r.lastReceiver.data())))
        return true;
    // The window translates a mouse event into a new one for the widget.
    if (moved && r.lastWasWindow && receiver->isWidgetType() && e->type() == r.type && isMouseInput(e->type()) &&
        e->type() != QEvent::Wheel) {
        const auto* me = static_cast<const QMouseEvent*>(e);
        if (me->timestamp() == r.timestamp && me->globalPosition() == r.globalPos && me->button() == r.button)
            return true;
    }
    // The key press that follows its shortcut check.
    if (r.awaitingKeyPress && e->type() == QEvent::KeyPress) {
        const auto* ke = static_cast<const QKeyEvent*>(e);
        if (ke->key() == r.key && ke->modifiers() == r.modifiers && ke->isAutoRepeat() == r.autoRepeat) {
            r.awaitingKeyPress = false;
            r.type = QEvent::KeyPress;
            return true;
        }
    }
    return false;
}

void startRecord(QObject* receiver, QEvent* e)
{
    InputRecord r;
    r.valid = true;
    r.event = e;
    r.type = e->type();
    r.timestamp = static_cast<const QInputEvent*>(e)->timestamp();
    r.lastReceiver = receiver;
    r.lastWasWindow = receiver->isWindowType();
    if (isMouseInput(e->type()) && e->type() != QEvent::Wheel) {
        const auto* me = static_cast<const QMouseEvent*>(e);
        r.globalPos = me->globalPosition();
        r.button = me->button();
    } else if (isKeyInput(e->type())) {
        const auto* ke = static_cast<const QKeyEvent*>(e);
        r.key = ke->key();
        r.modifiers = ke->modifiers();
        r.autoRepeat = ke->isAutoRepeat();
        r.awaitingKeyPress = e->type() == QEvent::ShortcutOverride;
    }
    state().record = std::move(r);
}

void syncModifiers(Qt::KeyboardModifiers mods, int ownKey)
{
    using namespace platform::inputstate;
    const struct {
        Qt::KeyboardModifier mod;
        int vk;
    } table[] = {{Qt::ShiftModifier, VK_SHIFT}, {Qt::ControlModifier, VK_CONTROL}, {Qt::AltModifier, VK_MENU}};
    for (const auto& m : table)
        if (m.vk != ownKey)
            setDown(m.vk, mods.testFlag(m.mod));
}

// Brings the input state up to date with a new input event.
void feedInputState(QEvent* e)
{
    using namespace platform::inputstate;
    if (isKeyInput(e->type())) {
        const auto* ke = static_cast<const QKeyEvent*>(e);
        const int vk = virtualKey(*ke);
        syncModifiers(ke->modifiers(), vk);
        if (vk) {
            setDown(vk, e->type() != QEvent::KeyRelease);
            // Each press counts, a held key's repeats too.
            if (e->type() != QEvent::KeyRelease)
                notePress(vk);
        }
        return;
    }
    const auto* ie = static_cast<const QSinglePointEvent*>(e);
    syncModifiers(ie->modifiers(), 0);
    const Qt::MouseButtons b = ie->buttons();
    setDown(VK_LBUTTON, b.testFlag(Qt::LeftButton));
    setDown(VK_RBUTTON, b.testFlag(Qt::RightButton));
    setDown(VK_MBUTTON, b.testFlag(Qt::MiddleButton));
    setCursorPos(ie->globalPosition().toPoint());
}

// The widget mouse input is meant for: the receiver, or for a window the
// widget under the point (screen pixels).
QWidget* inputTarget(QObject* receiver, QPoint global)
{
    if (receiver->isWidgetType())
        return static_cast<QWidget*>(receiver);
    if (!receiver->isWindowType())
        return nullptr;
    auto* window = static_cast<QWindow*>(receiver);
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->windowHandle() == window) {
            QWidget* child = top->childAt(window->mapFromGlobal(global));
            return child ? child : top;
        }
    }
    return nullptr;
}

// The hooks' verdict on a new input event: true swallows it.
bool notifyHooks(QObject* receiver, QEvent* e)
{
    using namespace platform::inputstate;
    if (isKeyInput(e->type())) {
        if (!hasHooks(WH_KEYBOARD))
            return false;
        const auto* ke = static_cast<const QKeyEvent*>(e);
        return runChain(WH_KEYBOARD, HC_ACTION, static_cast<uintptr_t>(virtualKey(*ke)),
                        static_cast<intptr_t>(keyData(*ke))) != 0;
    }
    if (!hasHooks(WH_MOUSE))
        return false;
    MouseHookInfo info;
    info.pt = static_cast<const QSinglePointEvent*>(e)->globalPosition().toPoint();
    info.window = inputTarget(receiver, info.pt);
    return runChain(WH_MOUSE, HC_ACTION, mouseMessage(e), reinterpret_cast<intptr_t>(&info)) != 0;
}

void dropHeldPress()
{
    state().held = HeldPress{};
}

void replayHeldPress()
{
    State& s = state();
    HeldPress held = std::move(s.held);
    s.held = HeldPress{};
    if (!held.event || held.receiver.isNull())
        return;
    s.replaying = true;
    QCoreApplication::sendEvent(held.receiver.data(), held.event.get());
    s.replaying = false;
}

bool inHoldArea(QObject* receiver, const QMouseEvent* e)
{
    const State& s = state();
    return !s.holdArea || s.holdArea(inputTarget(receiver, e->globalPosition().toPoint()));
}

bool handleInput(QObject* receiver, QEvent* e)
{
    State& s = state();
    if (s.replaying || !(receiver->isWidgetType() || receiver->isWindowType()))
        return false;
    if (continuesRecord(receiver, e)) {
        s.record.lastReceiver = receiver;
        s.record.lastWasWindow = receiver->isWindowType();
        s.record.event = e;
        if (s.record.swallowed && e->type() == QEvent::ShortcutOverride)
            e->accept();
        return s.record.swallowed;
    }
    // Input from the user; a shortcut check is made for key input only,
    // whoever sends the key.
    if (!e->spontaneous() && e->type() != QEvent::ShortcutOverride)
        return false;
    startRecord(receiver, e);
    feedInputState(e);

    const bool rightButton = (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonRelease ||
                              e->type() == QEvent::MouseButtonDblClick) &&
                             static_cast<QMouseEvent*>(e)->button() == Qt::RightButton;
    if (rightButton && e->type() == QEvent::MouseButtonDblClick && s.held.event) {
        s.record.swallowed = true; // belongs to the press held back
        return true;
    }

    // A hook may pump events (a command that lets pending messages run):
    // the input handled meanwhile must not make the rest of this event's
    // way through its receivers look like new input.
    const InputRecord ours = s.record;
    bool swallow = notifyHooks(receiver, e);
    s.record = ours;
    if (rightButton && e->type() == QEvent::MouseButtonPress) {
        dropHeldPress();
        if (!swallow && s.holdCount > 0 && inHoldArea(receiver, static_cast<QMouseEvent*>(e))) {
            s.held.event.reset(e->clone());
            s.held.receiver = receiver;
            swallow = true;
        }
    } else if (rightButton && e->type() == QEvent::MouseButtonRelease) {
        if (swallow)
            dropHeldPress();
        else
            replayHeldPress();
    }
    s.record.swallowed = swallow;
    if (swallow && e->type() == QEvent::ShortcutOverride)
        e->accept(); // no shortcut may act on a swallowed key
    return swallow;
}

class InputFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* receiver, QEvent* e) override
    {
        const QEvent::Type t = e->type();
        if (isMouseInput(t) || isKeyInput(t))
            return handleInput(receiver, e);
        if (t == QEvent::WindowActivate && receiver->isWidgetType() &&
            static_cast<QWidget*>(receiver)->isWindow()) {
            if (hasHooks(WH_CBT))
                runChain(WH_CBT, HCBT_ACTIVATE, reinterpret_cast<uintptr_t>(receiver), 0);
            return false;
        }
        if ((t == QEvent::ApplicationStateChange &&
             static_cast<QApplicationStateChangeEvent*>(e)->applicationState() != Qt::ApplicationActive) ||
            t == QEvent::ApplicationDeactivate) {
            inputstate::clear();
            dropHeldPress();
            state().record = InputRecord{};
        }
        return false;
    }
};

} // namespace

void ensureInputFilter()
{
    State& s = state();
    if (s.filter || !qApp || QThread::currentThread() != qApp->thread())
        return;
    s.filter = new InputFilter(qApp);
    qApp->installEventFilter(s.filter);
}

// The tracker must see input from the start, not from its first question.
Q_COREAPP_STARTUP_FUNCTION(ensureInputFilter)

HookHandle setHook(int type, HookProc proc)
{
    if ((type != WH_KEYBOARD && type != WH_CBT && type != WH_MOUSE) || !proc || !qApp ||
        QThread::currentThread() != qApp->thread())
        return 0;
    ensureInputFilter();
    State& s = state();
    Hook h;
    h.handle = s.nextHandle++;
    h.type = type;
    h.proc = std::move(proc);
    s.hooks.push_front(std::move(h));
    return s.hooks.front().handle;
}

bool unhook(HookHandle hook)
{
    auto it = findHook(hook);
    if (it == state().hooks.end())
        return false;
    state().hooks.erase(it);
    return true;
}

intptr_t callNextHook(HookHandle hook, int code, uintptr_t wParam, intptr_t lParam)
{
    auto& hooks = state().hooks;
    auto it = findHook(hook);
    if (it == hooks.end())
        return 0;
    const int type = it->type;
    for (++it; it != hooks.end(); ++it) {
        if (it->type == type) {
            const HookProc proc = it->proc;
            return proc ? proc(code, wParam, lParam) : 0;
        }
    }
    return 0;
}

void setRightButtonHoldArea(std::function<bool(const QWidget*)> inArea)
{
    state().holdArea = std::move(inArea);
}

void holdRightButtonPress(bool hold)
{
    State& s = state();
    s.holdCount += hold ? 1 : -1;
    if (s.holdCount <= 0) {
        s.holdCount = 0;
        replayHeldPress();
    }
}

} // namespace platform::threadhooks
