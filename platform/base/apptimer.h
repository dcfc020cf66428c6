#pragma once

// The timer control: a timer of a form that raises its Timer event every
// Interval milliseconds while it is Enabled. An interval of 0 stops it;
// enabling it again or changing the interval restarts the count.

#include <QString>

#include <functional>
#include <memory>

class QTimer;

namespace platform::forms {

class Form;
class Control;

class Timer {
public:
    Timer(Form& form, const QString& name, int index = -1, Control* container = nullptr);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    const QString& name() const { return name_; }
    int index() const { return index_; }

    int interval() const { return interval_; }
    void setInterval(int milliseconds);
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);

    // What a control array's Load copies: Interval and Enabled.
    void copyPropertiesFrom(const Timer& other);

    std::function<void()> onTimer;

private:
    void restart();

    QString name_;
    int index_;
    int interval_ = 0;
    bool enabled_ = true;
    std::unique_ptr<QTimer> timer_;
};

} // namespace platform::forms
