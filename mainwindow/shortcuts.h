#pragma once

// Keys and gestures of the main window: the keys polled by the housekeeping
// tick (Escape, F1-F12 with the user's function-key records, the boss key),
// the Ctrl and Alt combinations of the key handler and the right-button
// gestures.

#include "core/busyflag.h"

#include <QString>

#include <cstdint>
#include <memory>

class clsKeyHandle;
class clsMouseGestures;
class frmExplorer;

// The arrow keys steer the current list: it has items (or the window is
// full screen), and a viewer of the video or image list shows in the
// current tab or the image viewer shows several images.
bool CanUseMediaKeys(const frmExplorer& f);

// The key was pressed since the previous poll (a repeat of a held key
// counts as a press) and, when key2 > 0, key2 is held now.
bool IsKeyDown(int key1, int key2 = 0);

// The record of function key F(n+1): "|type|value|". Type 0 a built-in
// command 0-17, 1 an address for the current tab, 2 a program to start,
// anything else nothing.
struct ShortcutRecord {
    int type = 3;
    QString value;
};
ShortcutRecord ParseShortcutRecord(const QString& record);

// Whether a window hidden by the boss key could be shown again: only where
// the key state is seen while no window of the program has the focus.
bool BossKeySeenWhileHidden();

class Shortcuts {
public:
    explicit Shortcuts(frmExplorer& window);
    ~Shortcuts();
    Shortcuts(const Shortcuts&) = delete;
    Shortcuts& operator=(const Shortcuts&) = delete;

    // At Load: the key handler and, when they are in use, the mouse
    // gestures, hooked and connected to the window.
    void Attach(bool gestures);
    // At Unload: both unhooked.
    void Detach();
    clsKeyHandle* KeyHandle() const { return keys_.get(); }
    // nullptr while gestures are not in use.
    clsMouseGestures* MouseGestures() const { return gestures_.get(); }
    // The function key that hid the window (112 F1 .. 123 F12), 0 for none.
    int16_t BossKeyCode() const { return bossKeyCode_; }

    // Every housekeeping tick: the hover check, the boss key, then the keys.
    void PollHotKeys();
    void RunShortcut(int n);
    // The built-in command n of the function-key table.
    void RunShortcutCommand(int command, int functionKey);
    void KeyHandle_KeyPressed(int16_t keyCode, int16_t shift);
    void MouseGestures_MouseGesture(int32_t gestureType, bool& acceptGesture);

    // A function key's action runs (it may let events run): the next one
    // waits.
    BusyFlag ShortcutRunning;

private:
    frmExplorer& f;
    std::unique_ptr<clsKeyHandle> keys_;
    std::unique_ptr<clsMouseGestures> gestures_;
    int16_t bossKeyCode_ = 0;
};
