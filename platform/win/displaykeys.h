#pragma once

// The key state of the whole display, where the window system tells it
// (X11): a key held while no window of the program has the keyboard.

#include <optional>

namespace platform::displaykeys {

// True when the application runs on a display whose key state is known.
bool available();
// Whether the key of the virtual-key code is down on the display; nullopt
// where that is not known (no such display, or a key without a symbol).
std::optional<bool> keyDown(int virtualKey);

// While a key is watched its state is sampled every few milliseconds, so a
// press shorter than the caller's own poll is still seen by takePress.
void watchKey(int virtualKey, bool on);
// A press of a watched key seen since the previous call for it.
bool takePress(int virtualKey);

} // namespace platform::displaykeys
