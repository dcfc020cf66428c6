#pragma once

// A headless test aid: with PLATFORM_SHOT_FILE=<png> in the environment, the
// first top-level window that becomes visible is grabbed into that file once
// it has painted (or PLATFORM_SHOT_DELAY_MS milliseconds after it showed, so
// pages can load); with PLATFORM_EXIT_AFTER_SHOT=1 the application then quits.
// Without the variables nothing happens.

namespace platform::shotonshow {

void install();

} // namespace platform::shotonshow
