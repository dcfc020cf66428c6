#pragma once

// A clock the test moves by hand, for the timers of hold-to-repeat loops:
// advance() fires every shot that falls due, in time order, each at its
// own moment, so a test sees when each step ran without waiting.

#include "platform/base/holdrepeat.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace testenv {

class VirtualClock {
public:
    int64_t now() const { return now_; }

    // A timer on this clock (the clock must outlive it).
    std::unique_ptr<platform::RepeatTimer> timer()
    {
        auto t = std::make_unique<Timer>(*this);
        timers_.push_back(t.get());
        return t;
    }

    // Moves the clock on by milliseconds, firing what falls due.
    void advance(int64_t ms)
    {
        const int64_t until = now_ + ms;
        for (;;) {
            Timer* next = nullptr;
            for (Timer* t : timers_)
                if (t->due >= 0 && t->due <= until && (!next || t->due < next->due))
                    next = t;
            if (!next)
                break;
            now_ = next->due;
            next->due = -1;
            if (next->fired)
                next->fired();
        }
        now_ = until;
    }

    // A shot is pending.
    bool pending() const
    {
        return std::any_of(timers_.begin(), timers_.end(), [](const Timer* t) { return t->due >= 0; });
    }

private:
    struct Timer : platform::RepeatTimer {
        explicit Timer(VirtualClock& c) : clock(c) {}
        ~Timer() override { clock.timers_.erase(std::find(clock.timers_.begin(), clock.timers_.end(), this)); }
        void start(int ms) override { due = clock.now_ + std::max(0, ms); }
        void stop() override { due = -1; }
        VirtualClock& clock;
        int64_t due = -1;
    };

    int64_t now_ = 0;
    std::vector<Timer*> timers_;
};

} // namespace testenv
