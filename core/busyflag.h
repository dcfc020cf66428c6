#pragma once

// A named busy flag: set while the routine it belongs to runs (or, for a
// latch, from the moment one routine sets it until another clears it), so
// that the routine is not started again from an event it lets run, and
// other routines can see it. A Hold sets the flag and, on every way out of
// its scope, gives it back the value it found.

#include <optional>
#include <utility>

class BusyFlag {
public:
    bool isSet() const { return set_; }
    explicit operator bool() const { return set_; }
    // For a latch set and cleared by different routines.
    void set(bool value) { set_ = value; }

    class Hold {
    public:
        explicit Hold(BusyFlag& flag) : flag_(&flag), before_(flag.set_) { flag.set_ = true; }
        Hold(Hold&& other) noexcept : flag_(std::exchange(other.flag_, nullptr)), before_(other.before_) {}
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
        Hold& operator=(Hold&&) = delete;
        ~Hold()
        {
            if (flag_)
                flag_->set_ = before_;
        }

    private:
        BusyFlag* flag_;
        bool before_;
    };

    // A hold of the flag, or nothing when it is set already.
    [[nodiscard]] std::optional<Hold> tryHold()
    {
        if (set_)
            return std::nullopt;
        return std::optional<Hold>(std::in_place, *this);
    }

private:
    bool set_ = false;
};
