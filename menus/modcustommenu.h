#pragma once

// One thread keyboard hook for all popup-menu objects: a key press that
// matches the shortcut of an item of the menu an object built last raises
// that item's Click, whether or not a menu is open. The hook exists while at
// least one object is registered.

#include "platform/win/threadhooks.h"

#include <cstdint>
#include <vector>

class clsPopupMenu;

extern platform::threadhooks::HookHandle MenuHookHandle;
// The registered objects in registration order; the list does not own them
// (an object leaves it when it ends).
extern std::vector<clsPopupMenu*> MenuHookClients;

void RegisterMenuHookClient(clsPopupMenu* client);
void UnregisterMenuHookClient(clsPopupMenu* client);

// The hook procedure: wParam the virtual-key code, lParam the key data.
intptr_t MenuKeyboardProc(int nCode, uintptr_t wParam, intptr_t lParam);
