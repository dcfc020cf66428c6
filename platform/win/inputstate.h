#pragma once

// The input state of the application: which keys and mouse buttons are held,
// which were pressed since they were last asked about, and where the pointer
// was last seen. It is fed by the application-wide input filter of
// threadhooks (once per input event) and cleared when the application loses
// the focus, since releases made elsewhere never reach it.

#include <QPoint>

#include <cstdint>

class QKeyEvent;
class QWidget;

namespace platform::inputstate {

// Virtual-key codes the product tests by number.
inline constexpr int VK_LBUTTON = 0x01;
inline constexpr int VK_RBUTTON = 0x02;
inline constexpr int VK_MBUTTON = 0x04;
inline constexpr int VK_SHIFT = 0x10;
inline constexpr int VK_CONTROL = 0x11;
inline constexpr int VK_MENU = 0x12; // Alt

// The virtual-key code of a key event's key (0 when it has none).
int virtualKey(const QKeyEvent& event);
// The key data of a key notification: repeat count 1 in bits 0-15, bit 29
// when Alt is held, bit 30 when the key was already down (a repeat), bit 31
// when the key is being released.
uint32_t keyData(const QKeyEvent& event);

// As the old asynchronous key state: bit 15 (0x8000) when the key or button
// is down now, bit 0 when it was pressed since the previous call for it
// (that bit is cleared by the call). A key press counts, the window
// system's repeats of a held key included, so a tap made between two calls
// is reported once by the next. 0 means neither. Where the window system
// tells the key state of the whole display (X11), a key held while no
// window of the program has the keyboard is down as well.
int16_t asyncKeyState(int virtualKey);
bool isDown(int virtualKey);
// True where keys can be seen while every window of the program is hidden
// (the key state of the whole display is known).
bool seesKeysWhileHidden();
// Where that is so, a watched key's presses are caught between calls while
// no window of the program has the keyboard (bit 0 of asyncKeyState).
void watchWhileHidden(int virtualKey, bool on);

// The screen position of the last mouse event, or the cursor position when
// none has been seen.
QPoint cursorPos();

// The application's active window (null when it has none).
QWidget* activeWindow();

// Feeding (threadhooks does this; tests may too).
void setDown(int virtualKey, bool down);
// A key press or a repeat of a held key: reported by the next asyncKeyState.
void notePress(int virtualKey);
void setCursorPos(const QPoint& globalPos);
void clear();

} // namespace platform::inputstate
