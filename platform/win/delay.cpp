#include "platform/win/delay.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <algorithm>
#include <cmath>

namespace platform {

void Delay(float milliseconds)
{
    if (!(milliseconds > 0) || !QCoreApplication::instance())
        return;
    const int ms = std::isfinite(milliseconds) ? static_cast<int>(std::min<float>(milliseconds, kMaxDelayMilliseconds))
                                               : kMaxDelayMilliseconds;
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
        if (!deadline.hasExpired())
            QThread::msleep(static_cast<unsigned long>(std::min<qint64>(5, deadline.remainingTime())));
    }
}

bool WaitUntil(const std::function<bool()>& done, int milliseconds)
{
    if (done())
        return true;
    if (!QCoreApplication::instance())
        return false;
    QDeadlineTimer deadline(std::clamp(milliseconds, 0, kMaxDelayMilliseconds));
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents,
                                        static_cast<int>(std::clamp<qint64>(deadline.remainingTime(), 1, 5)));
        if (done())
            return true;
    }
    return done();
}

} // namespace platform
