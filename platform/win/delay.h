#pragma once

// Waiting while the program stays responsive: the one bounded wait that
// processes pending events (input, timers, paints) until the time is up.

#include <functional>

namespace platform {

// The longest wait Delay makes, whatever it is asked for.
inline constexpr int kMaxDelayMilliseconds = 60000;

// Waits milliseconds (negative or not-a-number: no wait; above the bound:
// the bound) while pending events run. Never call it inside a callback of
// the web engine.
void Delay(float milliseconds);

// Processes pending events until done() is true or milliseconds have
// passed (at most the bound of Delay); true when done() became true. Never
// call it inside a callback of the web engine.
bool WaitUntil(const std::function<bool()>& done, int milliseconds);

} // namespace platform
