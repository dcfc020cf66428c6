#include "core/keyhandle.h"

#include "platform/win/inputstate.h"

clsKeyHandle::clsKeyHandle(QObject* parent)
    : QObject(parent)
{
}

clsKeyHandle::~clsKeyHandle()
{
    Detach();
}

void clsKeyHandle::Attach()
{
    if (attached)
        return;
    InstallThreadHook(this, WH_KEYBOARD);
    attached = true;
}

void clsKeyHandle::Detach()
{
    if (!attached)
        return;
    RemoveThreadHook(this, WH_KEYBOARD);
    attached = false;
}

void clsKeyHandle::HookProc(int32_t /*nCode*/, uintptr_t wParam, intptr_t lParam, bool& bConsume)
{
    using namespace platform::inputstate;
    bConsume = false;
    QWidget* active = activeWindow();
    if (!active || (scoped && active != window) || (static_cast<uint32_t>(lParam) & 0x80000000u) != 0)
        return;
    int16_t shift = 0;
    if (asyncKeyState(VK_CONTROL) != 0)
        shift = 2;
    if (asyncKeyState(VK_MENU) != 0)
        shift = static_cast<int16_t>(shift | 4);
    const auto keyCode = static_cast<int16_t>(wParam);
    if (shift == 4) {
        consumeCurrent = false;
        Q_EMIT KeyPressed(keyCode, 4);
        bConsume = consumeCurrent;
        consumeCurrent = false;
    } else if (shift == 2) {
        Q_EMIT KeyPressed(keyCode, 2);
        bConsume = true;
    }
}
