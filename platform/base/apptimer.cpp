#include "platform/base/apptimer.h"

#include <QTimer>

namespace platform::forms {

Timer::Timer(Form&, const QString& name, int index, Control*)
    : name_(name), index_(index), timer_(std::make_unique<QTimer>())
{
    timer_->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer_.get(), &QTimer::timeout, timer_.get(), [this] {
        if (onTimer)
            onTimer();
    });
}

Timer::~Timer() = default;

void Timer::setInterval(int milliseconds)
{
    interval_ = milliseconds < 0 ? 0 : milliseconds;
    restart();
}

void Timer::setEnabled(bool enabled)
{
    enabled_ = enabled;
    restart();
}

void Timer::copyPropertiesFrom(const Timer& other)
{
    interval_ = other.interval_;
    enabled_ = other.enabled_;
    restart();
}

void Timer::restart()
{
    if (enabled_ && interval_ > 0)
        timer_->start(interval_);
    else
        timer_->stop();
}

} // namespace platform::forms
