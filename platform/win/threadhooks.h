#pragma once

// Thread hooks: procedures that see the keyboard and mouse input of the
// user-interface thread before any widget does, and the activation of its
// top-level windows.
//
// One application-wide event filter turns input events into notifications.
// Qt hands one input event to several receivers (the window, the widget
// under the pointer or with the focus, its parents, a shortcut check before
// a key press); hooks are notified once per input event, at its first
// receipt, and their verdict holds for every later receipt of the same
// event. Only input that comes from the user (spontaneous events) is seen.
//
// Hooks of one type form a chain, the newest first; a hook passes a
// notification on with callNextHook. A non-zero answer of the chain swallows
// the input: no widget receives it.

#include <QPoint>

#include <cstdint>
#include <functional>

class QWidget;

namespace platform::threadhooks {

inline constexpr int WH_KEYBOARD = 2;
inline constexpr int WH_CBT = 5;
inline constexpr int WH_MOUSE = 7;

inline constexpr int HC_ACTION = 0;
inline constexpr int HCBT_ACTIVATE = 5;

// What a mouse notification's lParam points to (valid during the call).
struct MouseHookInfo {
    QPoint pt;               // screen position
    QWidget* window = nullptr; // the widget the input is meant for, if any
};

// Notifications (code, wParam, lParam):
// - WH_KEYBOARD: HC_ACTION, the virtual-key code, the key data
//   (inputstate::keyData: bit 31 set for a release).
// - WH_MOUSE: HC_ACTION, the mouse message (winproc WM_MOUSEMOVE ...), the
//   address of a MouseHookInfo.
// - WH_CBT: HCBT_ACTIVATE, the address of the top-level QWidget that has
//   just been activated, 0. The answer is not looked at.
using HookProc = std::function<intptr_t(int code, uintptr_t wParam, intptr_t lParam)>;
using HookHandle = uintptr_t; // 0: none

// Installs a hook of the type (keyboard, CBT or mouse) on the calling thread,
// which must be the application's thread; 0 for any other type or thread.
HookHandle setHook(int type, HookProc proc);
bool unhook(HookHandle hook);
// Passes a notification on to the hook installed before `hook`; 0 at the
// end of the chain.
intptr_t callNextHook(HookHandle hook, int code, uintptr_t wParam, intptr_t lParam);

// While at least one holder asks for it, a right-button press that no hook
// swallowed is held back from its widget (Linux opens a context menu on the
// press) and delivered just before the matching release, unless the hooks
// swallow that release. Calls are counted: each true needs its false.
void holdRightButtonPress(bool hold);
// Where presses are held back: only presses meant for a widget the
// predicate accepts (an empty predicate: everywhere).
void setRightButtonHoldArea(std::function<bool(const QWidget*)> inArea);

// Installs the application-wide filter; done when the application object
// is created (and by setHook and the input-state queries if it was not).
void ensureInputFilter();

} // namespace platform::threadhooks
