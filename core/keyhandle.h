#pragma once

// The key handler: reports key presses made with Ctrl or Alt held, whatever
// widget of the program has the focus (the page included). Ctrl
// combinations are swallowed; Alt combinations are reported and passed on.
// A client of the keyboard thread hook.

#include "core/hooksubclass.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <cstdint>

class clsKeyHandle : public QObject, public clsIWindowsHook {
    Q_OBJECT
public:
    explicit clsKeyHandle(QObject* parent = nullptr);
    ~clsKeyHandle() override;

    void Attach();
    void Detach();
    bool Attached() const { return attached; }
    // Only keys pressed while window is the active one are looked at: a
    // key pressed in another window of the program (a dialog's text box)
    // reaches that window untouched. Unset, every window's keys are.
    void SetWindow(QWidget* only)
    {
        window = only;
        scoped = only != nullptr;
    }

    void HookProc(int32_t nCode, uintptr_t wParam, intptr_t lParam, bool& bConsume) override;

    // Called by a KeyPressed handler that acted on the key: the keystroke
    // goes no further (an Alt key that opened a menu types no letter).
    void ConsumeKey() { consumeCurrent = true; }

Q_SIGNALS:
    // KeyCode: the virtual-key code; Shift: 2 for Ctrl, 4 for Alt.
    void KeyPressed(int16_t KeyCode, int16_t Shift);

private:
    bool attached = false;
    bool consumeCurrent = false;
    QPointer<QWidget> window;
    bool scoped = false;
};
