#include "platform/base/holdrepeat.h"

#include <QTimer>

namespace platform {

namespace {

class QtRepeatTimer : public RepeatTimer {
public:
    QtRepeatTimer()
    {
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (fired)
                fired();
        });
    }
    void start(int milliseconds) override { timer_.start(std::max(0, milliseconds)); }
    void stop() override { timer_.stop(); }

private:
    QTimer timer_;
};

} // namespace

std::unique_ptr<RepeatTimer> makeQtRepeatTimer()
{
    return std::make_unique<QtRepeatTimer>();
}

HoldRepeat::HoldRepeat(std::unique_ptr<RepeatTimer> timer) : timer_(timer ? std::move(timer) : makeQtRepeatTimer())
{
    timer_->fired = [this] { tick(); };
}

HoldRepeat::~HoldRepeat()
{
    // An unload ends the loop without its finishing step: what it would
    // refresh goes with the owner.
    timer_->stop();
    timer_->fired = nullptr;
}

void HoldRepeat::start(Timing timing, Step step, Holding holding, std::function<void()> finished)
{
    stop();
    timing_ = timing;
    step_ = std::move(step);
    holding_ = std::move(holding);
    finished_ = std::move(finished);
    running_ = true;
    // A copy: a step that ends the loop must not destroy what runs.
    const Step current = step_;
    const bool more = current && current();
    if (!running_)
        return; // the step itself ended the loop
    if (!more || !holding_ || !holding_()) {
        finish();
        return;
    }
    timer_->start(timing_.firstDelayMs);
}

void HoldRepeat::tick()
{
    if (!running_)
        return;
    if (!holding_ || !holding_()) {
        finish();
        return;
    }
    const Step current = step_;
    const bool more = current();
    if (!running_)
        return;
    if (!more || !holding_()) {
        finish();
        return;
    }
    timer_->start(timing_.intervalMs);
}

void HoldRepeat::stop()
{
    if (running_)
        finish();
}

void HoldRepeat::finish()
{
    timer_->stop();
    running_ = false;
    // The callbacks may start another loop: take them out first.
    auto finished = std::move(finished_);
    finished_ = nullptr;
    step_ = nullptr;
    holding_ = nullptr;
    if (finished)
        finished();
}

} // namespace platform
