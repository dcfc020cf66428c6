#include "platform/shotonshow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QSaveFile>
#include <QTimer>
#include <QWidget>

namespace platform::shotonshow {

void install()
{
    const QString file = qEnvironmentVariable("PLATFORM_SHOT_FILE");
    if (file.isEmpty())
        return;
    const bool exitAfter = qEnvironmentVariable("PLATFORM_EXIT_AFTER_SHOT") == QLatin1String("1");
    // PLATFORM_SHOT_DELAY_MS: the shot waits that long after the window
    // shows (pages can load meanwhile); at least half a second.
    bool delayOk = false;
    const int delayMs = qEnvironmentVariableIntValue("PLATFORM_SHOT_DELAY_MS", &delayOk);
    const int ticks = delayOk && delayMs > 500 ? delayMs / 100 : 5;
    auto* timer = new QTimer(qApp);
    timer->setInterval(100);
    auto seenFor = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, qApp, [=] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible() || w->windowType() == Qt::ToolTip)
                continue;
            // Give the window a few ticks to lay out and paint.
            if (++*seenFor < ticks)
                return;
            timer->stop();
            const QPixmap shot = w->grab();
            QSaveFile out(file);
            if (out.open(QIODevice::WriteOnly) && shot.save(&out, "PNG"))
                out.commit();
            if (exitAfter)
                QApplication::quit();
            return;
        }
    });
    timer->start();
}

} // namespace platform::shotonshow
