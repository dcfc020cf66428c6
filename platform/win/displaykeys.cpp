#include "platform/win/displaykeys.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>

#include <map>

// After Qt: the X headers define names Qt uses.
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace platform::displaykeys {

namespace {

Display* x11Display()
{
    auto* app = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return app ? app->display() : nullptr;
}

// The X key symbols of a virtual key (the keys the program polls).
std::pair<KeySym, KeySym> keySymsOf(int vk)
{
    if (vk >= 0x70 && vk <= 0x87)
        return {XK_F1 + (vk - 0x70), NoSymbol};
    if (vk >= 'A' && vk <= 'Z')
        return {XK_a + (vk - 'A'), NoSymbol};
    if (vk >= '0' && vk <= '9')
        return {XK_0 + (vk - '0'), NoSymbol};
    switch (vk) {
    case 0x10: return {XK_Shift_L, XK_Shift_R};
    case 0x11: return {XK_Control_L, XK_Control_R};
    case 0x12: return {XK_Alt_L, XK_Alt_R};
    case 0x1B: return {XK_Escape, NoSymbol};
    case 0x20: return {XK_space, NoSymbol};
    case 0x25: return {XK_Left, NoSymbol};
    case 0x26: return {XK_Up, NoSymbol};
    case 0x27: return {XK_Right, NoSymbol};
    case 0x28: return {XK_Down, NoSymbol};
    default: return {NoSymbol, NoSymbol};
    }
}

constexpr int kSampleMs = 15;

struct Watched {
    bool down = false;
    bool pressed = false;
};

std::map<int, Watched>& watched()
{
    static std::map<int, Watched> keys;
    return keys;
}

QTimer* sampler()
{
    static QPointer<QTimer> timer;
    if (!timer && qApp) {
        timer = new QTimer(qApp);
        timer->setInterval(kSampleMs);
        QObject::connect(timer, &QTimer::timeout, [] {
            for (auto& [vk, w] : watched()) {
                const bool down = keyDown(vk).value_or(false);
                if (down && !w.down)
                    w.pressed = true;
                w.down = down;
            }
        });
    }
    return timer;
}

} // namespace

void watchKey(int vk, bool on)
{
    if (on)
        watched()[vk] = Watched{keyDown(vk).value_or(false), false};
    else
        watched().erase(vk);
    if (QTimer* t = sampler()) {
        if (watched().empty())
            t->stop();
        else if (!t->isActive())
            t->start();
    }
}

bool takePress(int vk)
{
    const auto it = watched().find(vk);
    if (it == watched().end() || !it->second.pressed)
        return false;
    it->second.pressed = false;
    return true;
}

bool available()
{
    return x11Display() != nullptr;
}

std::optional<bool> keyDown(int vk)
{
    Display* display = x11Display();
    const auto [first, second] = keySymsOf(vk);
    if (!display || first == NoSymbol)
        return std::nullopt;
    // One query of the server serves the calls of a few milliseconds (a
    // poll asks for many keys at once).
    static char keymap[32] = {};
    static QElapsedTimer age;
    if (!age.isValid() || age.elapsed() > 5) {
        XQueryKeymap(display, keymap);
        age.start();
    }
    const auto down = [&](KeySym sym) {
        if (sym == NoSymbol)
            return false;
        const KeyCode code = XKeysymToKeycode(display, sym);
        return code != 0 && (keymap[code / 8] & (1 << (code % 8))) != 0;
    };
    return down(first) || down(second);
}

} // namespace platform::displaykeys
