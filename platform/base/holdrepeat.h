#pragma once

// Hold-to-repeat: a step that runs once at the press, again after a first
// delay and then at an interval, for as long as the hold holds (the button
// is down and the pointer on it). The loop ends when a step reports that
// nothing more can be done, when the hold is found released or left at a
// tick, or when it is stopped (the release, the control's unload). No event
// loop runs inside a step: the waits are timer ticks on the caller's loop.
//
// The ticks come from a RepeatTimer: a QTimer in the program, a clock the
// test advances by hand in tests.

#include <functional>
#include <memory>

namespace platform {

class RepeatTimer {
public:
    virtual ~RepeatTimer() = default;
    // One shot after milliseconds; a start while one is pending replaces it.
    virtual void start(int milliseconds) = 0;
    virtual void stop() = 0;
    // Set by the owner: runs when the shot is due.
    std::function<void()> fired;
};

// A single-shot QTimer (precise timing) on the thread's event loop.
std::unique_ptr<RepeatTimer> makeQtRepeatTimer();

class HoldRepeat {
public:
    struct Timing {
        int firstDelayMs = 0; // before the second step
        int intervalMs = 0;   // between the later steps
    };
    // One step; false when nothing more can be done (the loop ends).
    using Step = std::function<bool()>;
    // The hold still holds: the button down and the pointer on the control.
    using Holding = std::function<bool()>;

    explicit HoldRepeat(std::unique_ptr<RepeatTimer> timer = nullptr);
    ~HoldRepeat();
    HoldRepeat(const HoldRepeat&) = delete;
    HoldRepeat& operator=(const HoldRepeat&) = delete;

    // Runs the first step at once and, while it and the hold go on, repeats
    // it on the timing; finished runs once when the loop ends, however it
    // ends. A start while a loop runs ends that loop first.
    void start(Timing timing, Step step, Holding holding, std::function<void()> finished = {});
    // Ends the loop now (release, unload); nothing when none runs.
    void stop();
    bool running() const { return running_; }

private:
    void tick();
    void finish();

    std::unique_ptr<RepeatTimer> timer_;
    Timing timing_;
    Step step_;
    Holding holding_;
    std::function<void()> finished_;
    bool running_ = false;
};

} // namespace platform
