#pragma once

// Waiting while the program stays responsive: the one bounded wait that
// processes pending events (input, timers, paints) until the time is up.

namespace platform {

// The longest wait Delay makes, whatever it is asked for.
inline constexpr int kMaxDelayMilliseconds = 60000;

// Waits milliseconds (negative or not-a-number: no wait; above the bound:
// the bound) while pending events run. Never call it inside a callback of
// the web engine.
void Delay(float milliseconds);

} // namespace platform
