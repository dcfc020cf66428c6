// The hold-to-repeat loop on a clock the test moves by hand.

#include "platform/base/holdrepeat.h"

#include "virtualclock.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Loop {
    testenv::VirtualClock clock;
    platform::HoldRepeat hold{clock.timer()};
    std::vector<int64_t> steps;
    int finished = 0;
    bool holding = true;
    int stepsLeft = 1000;

    void start(int first, int interval)
    {
        hold.start(
            {first, interval},
            [this] {
                steps.push_back(clock.now());
                return --stepsLeft > 0;
            },
            [this] { return holding; }, [this] { ++finished; });
    }
};

} // namespace

TEST(HoldRepeat, StepsAtOnceAfterTheFirstDelayThenAtTheIntervalUntilTheStepHasNoMoreToDo)
{
    Loop l;
    l.stepsLeft = 5;
    l.start(100, 10);
    EXPECT_EQ(l.steps, (std::vector<int64_t>{0}));
    l.clock.advance(99);
    EXPECT_EQ(l.steps.size(), 1u);
    l.clock.advance(1000);
    EXPECT_EQ(l.steps, (std::vector<int64_t>{0, 100, 110, 120, 130}));
    EXPECT_EQ(l.finished, 1);
    EXPECT_FALSE(l.hold.running());
    EXPECT_FALSE(l.clock.pending());
}

TEST(HoldRepeat, EndsWithoutAnotherStepOnReleaseOrLeavingAndEndsAtOnceWhenTheFirstStepDoesNothing)
{
    {
        Loop l;
        l.start(100, 10);
        l.clock.advance(125);
        l.holding = false; // released or left between two ticks
        l.clock.advance(100);
        EXPECT_EQ(l.steps, (std::vector<int64_t>{0, 100, 110, 120}));
        EXPECT_EQ(l.finished, 1);
    }
    {
        Loop l;
        l.start(100, 10);
        l.clock.advance(105);
        l.hold.stop(); // the release handler
        EXPECT_EQ(l.finished, 1);
        l.hold.stop();
        l.clock.advance(100);
        EXPECT_EQ(l.steps.size(), 2u);
        EXPECT_EQ(l.finished, 1) << "the end is reported once";
    }
    {
        Loop l;
        l.stepsLeft = 1; // nothing to move: no wait at all
        l.start(100, 10);
        EXPECT_EQ(l.steps.size(), 1u);
        EXPECT_EQ(l.finished, 1);
        EXPECT_FALSE(l.clock.pending());
    }
    {
        Loop l;
        l.holding = false; // the button was up before the press was handled
        l.start(100, 10);
        EXPECT_EQ(l.steps.size(), 1u);
        EXPECT_EQ(l.finished, 1);
    }
}

TEST(HoldRepeat, ANewHoldEndsThePreviousAndAnUnloadEndsItSilently)
{
    testenv::VirtualClock clock;
    int firstEnded = 0;
    int secondSteps = 0;
    auto hold = std::make_unique<platform::HoldRepeat>(clock.timer());
    hold->start({5, 5}, [] { return true; }, [] { return true; }, [&] { ++firstEnded; });
    hold->start({5, 5}, [&] { return ++secondSteps < 100; }, [] { return true; }, [&] { ADD_FAILURE(); });
    EXPECT_EQ(firstEnded, 1);
    clock.advance(20);
    EXPECT_EQ(secondSteps, 5);
    hold.reset();
    EXPECT_FALSE(clock.pending());

    // A step may end its own loop.
    platform::HoldRepeat self(clock.timer());
    int ran = 0;
    self.start({5, 5}, [&] {
        ++ran;
        self.stop();
        return true;
    }, [] { return true; });
    clock.advance(50);
    EXPECT_EQ(ran, 1);
}
