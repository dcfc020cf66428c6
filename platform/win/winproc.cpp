#include "platform/win/winproc.h"

#include "platform/win/inputstate.h"

#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <map>
#include <vector>

namespace platform::winproc {

namespace {

class ProcFilter;

struct Entry {
    WindowProc proc;
    ProcFilter* filter = nullptr;
};

// A message being dispatched; for one that comes from an event, whether the
// window's own handling was called on.
struct Dispatch {
    QWidget* window = nullptr;
    uint32_t msg = 0;
    bool fromEvent = false;
    bool defaultRan = false;
};

std::map<QWidget*, Entry>& entries()
{
    static std::map<QWidget*, Entry> map;
    return map;
}

std::vector<Dispatch>& dispatches()
{
    static std::vector<Dispatch> stack;
    return stack;
}

// Windows being closed by a WM_CLOSE message: their close event is that
// message already.
std::vector<QWidget*>& closingByMessage()
{
    static std::vector<QWidget*> list;
    return list;
}

// Runs the window's procedure for a message that comes from an event;
// true when the window's own handling was called on.
bool dispatchEventMessage(QWidget* w, uint32_t msg, uintptr_t wParam, intptr_t lParam)
{
    auto it = entries().find(w);
    if (it == entries().end())
        return true;
    const WindowProc proc = it->second.proc;
    dispatches().push_back({w, msg, true, false});
    callWindowProc(proc, w, msg, wParam, lParam);
    const bool ran = dispatches().back().defaultRan;
    dispatches().pop_back();
    return ran;
}

uintptr_t mouseKeys(const QSinglePointEvent& e)
{
    uintptr_t keys = 0;
    if (e.buttons().testFlag(Qt::LeftButton))
        keys |= MK_LBUTTON;
    if (e.buttons().testFlag(Qt::RightButton))
        keys |= MK_RBUTTON;
    if (e.buttons().testFlag(Qt::MiddleButton))
        keys |= MK_MBUTTON;
    if (e.modifiers().testFlag(Qt::ShiftModifier))
        keys |= MK_SHIFT;
    if (e.modifiers().testFlag(Qt::ControlModifier))
        keys |= MK_CONTROL;
    return keys;
}

uint32_t mouseMessageOf(const QMouseEvent& e)
{
    if (e.type() == QEvent::MouseMove)
        return WM_MOUSEMOVE;
    uint32_t base = WM_LBUTTONDOWN;
    if (e.button() == Qt::RightButton)
        base = WM_RBUTTONDOWN;
    else if (e.button() == Qt::MiddleButton)
        base = WM_MBUTTONDOWN;
    else if (e.button() != Qt::LeftButton)
        return 0;
    if (e.type() == QEvent::MouseButtonRelease)
        return base + 1;
    if (e.type() == QEvent::MouseButtonDblClick)
        return base + 2;
    return base;
}

class ProcFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* obj, QEvent* e) override
    {
        if (!obj->isWidgetType())
            return false;
        auto* w = static_cast<QWidget*>(obj);
        switch (e->type()) {
        case QEvent::Close: {
            auto& closing = closingByMessage();
            if (std::find(closing.begin(), closing.end(), w) != closing.end())
                return false;
            bool pass = false;
            if (e->spontaneous()) {
                // The user's close command; its own handling sends WM_CLOSE.
                pass = dispatchEventMessage(w, WM_SYSCOMMAND, SC_CLOSE, 0) &&
                       dispatchEventMessage(w, WM_CLOSE, 0, 0);
            } else {
                pass = dispatchEventMessage(w, WM_CLOSE, 0, 0);
            }
            if (!pass)
                e->ignore();
            return !pass;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove: {
            const auto* me = static_cast<QMouseEvent*>(e);
            const uint32_t msg = mouseMessageOf(*me);
            if (!msg)
                return false;
            const QPoint p = me->position().toPoint();
            return !dispatchEventMessage(w, msg, mouseKeys(*me), makeLParam(p.x(), p.y()));
        }
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            const auto* ke = static_cast<QKeyEvent*>(e);
            const bool alt = ke->modifiers().testFlag(Qt::AltModifier);
            uint32_t msg = e->type() == QEvent::KeyPress ? WM_KEYDOWN : WM_KEYUP;
            if (alt)
                msg += WM_SYSKEYDOWN - WM_KEYDOWN;
            return !dispatchEventMessage(w, msg, static_cast<uintptr_t>(inputstate::virtualKey(*ke)),
                                         static_cast<intptr_t>(inputstate::keyData(*ke)));
        }
        case QEvent::WindowActivate:
        case QEvent::WindowDeactivate:
            if (w->isWindow())
                dispatchEventMessage(w, WM_ACTIVATE, e->type() == QEvent::WindowActivate ? 1 : 0, 0);
            return false;
        default:
            return false;
        }
    }
};

void forget(QWidget* w)
{
    entries().erase(w);
}

} // namespace

WindowProc setWindowProc(QWidget* window, WindowProc proc, bool* ok)
{
    if (ok)
        *ok = false;
    if (!window || window->thread() != QThread::currentThread())
        return {};
    if (ok)
        *ok = true;
    auto& map = entries();
    auto it = map.find(window);
    WindowProc previous = it != map.end() ? it->second.proc : WindowProc{};
    if (!proc) {
        if (it != map.end()) {
            window->removeEventFilter(it->second.filter);
            delete it->second.filter;
            map.erase(it);
        }
        return previous;
    }
    if (it == map.end()) {
        Entry entry;
        entry.filter = new ProcFilter(window);
        window->installEventFilter(entry.filter);
        QObject::connect(window, &QObject::destroyed, [window] { forget(window); });
        it = map.emplace(window, std::move(entry)).first;
    }
    it->second.proc = std::move(proc);
    return previous;
}

WindowProc windowProc(QWidget* window)
{
    auto it = entries().find(window);
    return it != entries().end() ? it->second.proc : WindowProc{};
}

intptr_t callWindowProc(const WindowProc& proc, QWidget* window, uint32_t msg, uintptr_t wParam, intptr_t lParam)
{
    if (proc)
        return proc(window, msg, wParam, lParam);
    return defWindowProc(window, msg, wParam, lParam);
}

intptr_t defWindowProc(QWidget* window, uint32_t msg, uintptr_t wParam, intptr_t lParam)
{
    auto& stack = dispatches();
    if (!stack.empty() && stack.back().fromEvent && stack.back().window == window && stack.back().msg == msg) {
        stack.back().defaultRan = true; // the event goes on to the widget
        return 0;
    }
    if (!window)
        return 0;
    switch (msg) {
    case WM_CLOSE: {
        auto& closing = closingByMessage();
        closing.push_back(window);
        window->close();
        closing.erase(std::find(closing.begin(), closing.end(), window));
        return 0;
    }
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE)
            return sendMessage(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_SETTEXT:
        if (lParam)
            window->setWindowTitle(*reinterpret_cast<const QString*>(lParam));
        return 1;
    case WM_SETICON:
        if (lParam)
            window->setWindowIcon(*reinterpret_cast<const QIcon*>(lParam));
        return 0;
    default:
        return 0;
    }
}

intptr_t sendMessage(QWidget* window, uint32_t msg, uintptr_t wParam, intptr_t lParam)
{
    if (!window)
        return 0;
    dispatches().push_back({window, msg, false, false});
    const intptr_t result = callWindowProc(windowProc(window), window, msg, wParam, lParam);
    dispatches().pop_back();
    return result;
}

void postMessage(QWidget* window, uint32_t msg, uintptr_t wParam, intptr_t lParam)
{
    if (!window)
        return;
    QPointer<QWidget> guard(window);
    QTimer::singleShot(0, window, [guard, msg, wParam, lParam] {
        if (guard)
            sendMessage(guard.data(), msg, wParam, lParam);
    });
}

} // namespace platform::winproc
