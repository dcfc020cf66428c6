#pragma once

// Window procedures: every window can be given a procedure that sees its
// messages before the window's own handling. The messages come from the
// window's events (close requests, mouse, keyboard, activation) or are sent
// by code with sendMessage. A procedure replaces the previous one and keeps
// it to call on (a chain, as with subclassing); the end of every chain is
// the window's own handling (defWindowProc).
//
// For a message that comes from an event, "the window's own handling" means
// that the event goes on to the widget once the procedure returns; when no
// procedure of the chain calls on to it, the event is swallowed (a close
// request is refused). For a message sent with sendMessage the window's own
// handling acts at once (WM_CLOSE closes the window, WM_SYSCOMMAND with
// SC_CLOSE sends WM_CLOSE, WM_SETTEXT and WM_SETICON set title and icon).

#include <QPoint>

#include <cstdint>
#include <functional>

class QWidget;
class QKeyEvent;

namespace platform::winproc {

// Message numbers, as the product knows them.
inline constexpr uint32_t WM_ACTIVATE = 0x0006;
inline constexpr uint32_t WM_SETTEXT = 0x000C;
inline constexpr uint32_t WM_CLOSE = 0x0010;
inline constexpr uint32_t WM_DRAWITEM = 0x002B;
inline constexpr uint32_t WM_MEASUREITEM = 0x002C;
inline constexpr uint32_t WM_SETICON = 0x0080;
inline constexpr uint32_t WM_KEYDOWN = 0x0100;
inline constexpr uint32_t WM_KEYUP = 0x0101;
inline constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
inline constexpr uint32_t WM_SYSKEYUP = 0x0105;
inline constexpr uint32_t WM_COMMAND = 0x0111;
inline constexpr uint32_t WM_SYSCOMMAND = 0x0112;
inline constexpr uint32_t WM_INITMENUPOPUP = 0x0117;
inline constexpr uint32_t WM_MENUSELECT = 0x011F;
inline constexpr uint32_t WM_MENUCHAR = 0x0120;
inline constexpr uint32_t WM_MOUSEMOVE = 0x0200;
inline constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
inline constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
inline constexpr uint32_t WM_RBUTTONUP = 0x0205;
inline constexpr uint32_t WM_RBUTTONDBLCLK = 0x0206;
inline constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
inline constexpr uint32_t WM_MBUTTONUP = 0x0208;
inline constexpr uint32_t WM_MBUTTONDBLCLK = 0x0209;
inline constexpr uint32_t WM_MOUSEWHEEL = 0x020A;

inline constexpr uintptr_t SC_CLOSE = 0xF060;

// Button flags of mouse messages (wParam).
inline constexpr uintptr_t MK_LBUTTON = 0x0001;
inline constexpr uintptr_t MK_RBUTTON = 0x0002;
inline constexpr uintptr_t MK_SHIFT = 0x0004;
inline constexpr uintptr_t MK_CONTROL = 0x0008;
inline constexpr uintptr_t MK_MBUTTON = 0x0010;

// A window procedure: (window, message, wParam, lParam) -> result. An empty
// WindowProc stands for the window's own handling.
using WindowProc = std::function<intptr_t(QWidget*, uint32_t, uintptr_t, intptr_t)>;

// Gives the window a new procedure and returns the previous one (empty when
// the window had none). Setting an empty procedure gives the window back its
// own handling. False in ok when the window cannot be given a procedure
// (null, or owned by another thread).
WindowProc setWindowProc(QWidget* window, WindowProc proc, bool* ok = nullptr);
// The window's current procedure (empty: its own handling).
WindowProc windowProc(QWidget* window);

// Calls proc, or the window's own handling when proc is empty.
intptr_t callWindowProc(const WindowProc& proc, QWidget* window, uint32_t msg, uintptr_t wParam,
                        intptr_t lParam);
// The window's own handling of a message.
intptr_t defWindowProc(QWidget* window, uint32_t msg, uintptr_t wParam, intptr_t lParam);

// Sends a message through the window's procedure at once.
intptr_t sendMessage(QWidget* window, uint32_t msg, uintptr_t wParam, intptr_t lParam);
// Sends it from the event loop (nothing when the window is gone by then).
void postMessage(QWidget* window, uint32_t msg, uintptr_t wParam, intptr_t lParam);

// lParam of mouse messages: x in the low and y in the high 16 bits.
inline intptr_t makeLParam(int x, int y)
{
    return static_cast<intptr_t>((static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16) |
                                 static_cast<uint16_t>(x));
}

} // namespace platform::winproc
