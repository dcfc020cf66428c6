#include "menus/modcustommenu.h"

#include "menus/clspopupmenu.h"
#include "platform/win/inputstate.h"

#include <algorithm>

namespace hooks = platform::threadhooks;
namespace input = platform::inputstate;

hooks::HookHandle MenuHookHandle = 0;
std::vector<clsPopupMenu*> MenuHookClients;

void RegisterMenuHookClient(clsPopupMenu* client)
{
    if (MenuHookClients.empty() && MenuHookHandle == 0)
        MenuHookHandle = hooks::setHook(hooks::WH_KEYBOARD, MenuKeyboardProc);
    if (std::find(MenuHookClients.begin(), MenuHookClients.end(), client) != MenuHookClients.end())
        return;
    MenuHookClients.push_back(client);
}

void UnregisterMenuHookClient(clsPopupMenu* client)
{
    auto it = std::find(MenuHookClients.begin(), MenuHookClients.end(), client);
    if (it != MenuHookClients.end())
        MenuHookClients.erase(it);
    if (MenuHookClients.empty() && MenuHookHandle != 0) {
        hooks::unhook(MenuHookHandle);
        MenuHookHandle = 0;
    }
}

intptr_t MenuKeyboardProc(int nCode, uintptr_t wParam, intptr_t lParam)
{
    const auto data = static_cast<uint32_t>(lParam);
    if (nCode == hooks::HC_ACTION && !MenuHookClients.empty() && !(data & (1u << 31))) {
        // The modifiers held now; a Shift or Ctrl pressed and let go
        // earlier does not count.
        const bool shift = input::isDown(input::VK_SHIFT);
        const bool ctrl = input::isDown(input::VK_CONTROL);
        const bool alt = (data & (1u << 29)) != 0;
        const bool functionKey = wParam >= 112 && wParam <= 123;
        if (alt || ctrl || functionKey || wParam == 27 || wParam == 46) {
            const int mask = (alt ? 4 : 0) | (ctrl ? 2 : 0) | (shift ? 1 : 0);
            // The newest object first; a Click may end an object, so the
            // list is read afresh at every step.
            for (size_t i = MenuHookClients.size(); i > 0; --i) {
                if (i > MenuHookClients.size())
                    continue;
                clsPopupMenu* client = MenuHookClients[i - 1];
                if (client && client->FireAccelerator(static_cast<int>(wParam), mask))
                    return 1;
            }
        }
    }
    return hooks::callNextHook(MenuHookHandle, nCode, wParam, lParam);
}
