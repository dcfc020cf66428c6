#pragma once

// Keys and gestures of the main window: the keys polled by the housekeeping
// tick (Escape, F1-F12 with the user's function-key records, the boss key),
// the Ctrl and Alt combinations of the key handler and the right-button
// gestures.

#include <QString>

#include <cstdint>

class frmExplorer;

// Every housekeeping tick: the hover check, the boss key, then the keys.
void PollHotKeys(frmExplorer& f);
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
void RunShortcut(frmExplorer& f, int n);
// The built-in command n of the function-key table.
void RunShortcutCommand(frmExplorer& f, int command, int functionKey);

// Whether a window hidden by the boss key could be shown again: only where
// the key state is seen while no window of the program has the focus.
bool BossKeySeenWhileHidden();

void KeyHandle_KeyPressed(frmExplorer& f, int16_t keyCode, int16_t shift);
void MouseGestures_MouseGesture(frmExplorer& f, int32_t gestureType, bool& acceptGesture);

// Connects the key handler and the gesture object created at Load.
void ConnectKeysAndGestures(frmExplorer& f);
