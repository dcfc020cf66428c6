#include "platform/win/inputstate.h"

#include "platform/win/displaykeys.h"
#include "platform/win/threadhooks.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QWidget>

#include <array>
#include <optional>

namespace platform::inputstate {

namespace {

struct KeyState {
    bool down = false;
    bool pressedSinceAsked = false;
};

std::array<KeyState, 256> keys;
std::optional<QPoint> lastPos;

int punctuationKey(int key)
{
    switch (key) {
    case Qt::Key_Semicolon: case Qt::Key_Colon: return 0xBA;
    case Qt::Key_Equal: case Qt::Key_Plus: return 0xBB;
    case Qt::Key_Comma: case Qt::Key_Less: return 0xBC;
    case Qt::Key_Minus: case Qt::Key_Underscore: return 0xBD;
    case Qt::Key_Period: case Qt::Key_Greater: return 0xBE;
    case Qt::Key_Slash: case Qt::Key_Question: return 0xBF;
    case Qt::Key_QuoteLeft: case Qt::Key_AsciiTilde: return 0xC0;
    case Qt::Key_BracketLeft: case Qt::Key_BraceLeft: return 0xDB;
    case Qt::Key_Backslash: case Qt::Key_Bar: return 0xDC;
    case Qt::Key_BracketRight: case Qt::Key_BraceRight: return 0xDD;
    case Qt::Key_Apostrophe: case Qt::Key_QuoteDbl: return 0xDE;
    default: return 0;
    }
}

} // namespace

int virtualKey(const QKeyEvent& event)
{
    const int key = event.key();
    const bool keypad = event.modifiers().testFlag(Qt::KeypadModifier);
    if (keypad && key >= Qt::Key_0 && key <= Qt::Key_9)
        return 0x60 + (key - Qt::Key_0);
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
        return key; // the same numbers as the virtual keys
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 0x70 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace: return 0x08;
    case Qt::Key_Tab: case Qt::Key_Backtab: return 0x09;
    case Qt::Key_Clear: return 0x0C;
    case Qt::Key_Return: case Qt::Key_Enter: return 0x0D;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: case Qt::Key_AltGr: return VK_MENU;
    case Qt::Key_Pause: return 0x13;
    case Qt::Key_CapsLock: return 0x14;
    case Qt::Key_Escape: return 0x1B;
    case Qt::Key_Space: return 0x20;
    case Qt::Key_PageUp: return 0x21;
    case Qt::Key_PageDown: return 0x22;
    case Qt::Key_End: return 0x23;
    case Qt::Key_Home: return 0x24;
    case Qt::Key_Left: return 0x25;
    case Qt::Key_Up: return 0x26;
    case Qt::Key_Right: return 0x27;
    case Qt::Key_Down: return 0x28;
    case Qt::Key_Print: return 0x2C;
    case Qt::Key_Insert: return 0x2D;
    case Qt::Key_Delete: return 0x2E;
    case Qt::Key_Help: return 0x2F;
    case Qt::Key_Meta: return 0x5B;
    case Qt::Key_Menu: return 0x5D;
    case Qt::Key_Asterisk: return keypad ? 0x6A : 0;
    case Qt::Key_NumLock: return 0x90;
    case Qt::Key_ScrollLock: return 0x91;
    default: break;
    }
    if (keypad) {
        switch (key) {
        case Qt::Key_Plus: return 0x6B;
        case Qt::Key_Minus: return 0x6D;
        case Qt::Key_Period: case Qt::Key_Comma: return 0x6E;
        case Qt::Key_Slash: return 0x6F;
        default: break;
        }
    }
    return punctuationKey(key);
}

uint32_t keyData(const QKeyEvent& event)
{
    uint32_t data = 1;
    if (event.modifiers().testFlag(Qt::AltModifier) || isDown(VK_MENU))
        data |= 1u << 29;
    if (event.type() == QEvent::KeyRelease)
        data |= (1u << 30) | (1u << 31);
    else if (event.isAutoRepeat())
        data |= 1u << 30;
    return data;
}

int16_t asyncKeyState(int vk)
{
    threadhooks::ensureInputFilter();
    if (vk < 0 || vk >= static_cast<int>(keys.size()))
        return 0;
    KeyState& k = keys[static_cast<size_t>(vk)];
    // The program's own windows see the key while one of them has the
    // keyboard; while none has, the display's state is the truth (a release
    // made after the window went never reached it).
    bool down = k.down;
    if (vk > VK_MBUTTON && !QApplication::activeWindow()) {
        down = displaykeys::keyDown(vk).value_or(down);
        if (displaykeys::takePress(vk))
            k.pressedSinceAsked = true;
    }
    int16_t result = down ? static_cast<int16_t>(0x8000) : int16_t(0);
    if (k.pressedSinceAsked)
        result = static_cast<int16_t>(result | 1);
    k.pressedSinceAsked = false;
    return result;
}

bool isDown(int vk)
{
    threadhooks::ensureInputFilter();
    return vk >= 0 && vk < static_cast<int>(keys.size()) && keys[static_cast<size_t>(vk)].down;
}

QPoint cursorPos()
{
    return lastPos ? *lastPos : QCursor::pos();
}

QWidget* activeWindow()
{
    return QApplication::activeWindow();
}

void setDown(int vk, bool down)
{
    if (vk <= 0 || vk >= static_cast<int>(keys.size()))
        return;
    KeyState& k = keys[static_cast<size_t>(vk)];
    if (down && !k.down)
        k.pressedSinceAsked = true;
    k.down = down;
}

void notePress(int vk)
{
    if (vk > 0 && vk < static_cast<int>(keys.size()))
        keys[static_cast<size_t>(vk)].pressedSinceAsked = true;
}

bool seesKeysWhileHidden()
{
    return displaykeys::available();
}

void watchWhileHidden(int vk, bool on)
{
    if (displaykeys::available())
        displaykeys::watchKey(vk, on);
}

void setCursorPos(const QPoint& globalPos)
{
    lastPos = globalPos;
}

void clear()
{
    keys.fill(KeyState{});
}

} // namespace platform::inputstate
