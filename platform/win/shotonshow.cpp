#include "platform/win/shotonshow.h"

#include "platform/win/form.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPixmap>
#include <QPointer>
#include <QSaveFile>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace platform::shotonshow {

namespace {

constexpr int kMaxWaitMs = 60000;

int boundedMs(const char* name)
{
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok ? std::clamp(v, 0, kMaxWaitMs) : 0;
}

void writeLayout(QWidget* window, const QString& file)
{
    const forms::Form* form = forms::Form::fromWidget(window);
    if (!form)
        return;
    // The window itself first: its twips and its place on the screen.
    const QRect frame = window->geometry();
    QByteArray out = "(window)\t1\t1\t" + QByteArray::number(form->left()) + ' ' + QByteArray::number(form->top())
                     + ' ' + QByteArray::number(form->width()) + ' ' + QByteArray::number(form->height()) + '\t'
                     + QByteArray::number(frame.x()) + ' ' + QByteArray::number(frame.y()) + ' '
                     + QByteArray::number(frame.width()) + ' ' + QByteArray::number(frame.height()) + '\n';
    for (const forms::Control* c : form->controls()) {
        QWidget* w = c->widget();
        const QPoint at = w->mapTo(window, QPoint(0, 0));
        const QString name = c->index() >= 0 ? c->name() + QLatin1Char('(') + QString::number(c->index()) + QLatin1Char(')')
                                             : c->name();
        out += name.toUtf8() + '\t' + (c->visible() ? "1" : "0") + '\t' + (w->isVisibleTo(window) ? "1" : "0") + '\t'
               + QByteArray::number(c->left()) + ' ' + QByteArray::number(c->top()) + ' '
               + QByteArray::number(c->width()) + ' ' + QByteArray::number(c->height()) + '\t'
               + QByteArray::number(at.x()) + ' ' + QByteArray::number(at.y()) + ' ' + QByteArray::number(w->width())
               + ' ' + QByteArray::number(w->height()) + '\n';
    }
    QSaveFile f(file);
    if (f.open(QIODevice::WriteOnly) && f.write(out) == out.size())
        f.commit();
}

} // namespace

void install()
{
    const QString file = qEnvironmentVariable("PLATFORM_SHOT_FILE");
    if (file.isEmpty())
        return;
    const bool exitAfter = qEnvironmentVariable("PLATFORM_EXIT_AFTER_SHOT") == QLatin1String("1");
    const QString layoutFile = qEnvironmentVariable("PLATFORM_LAYOUT_FILE");
    const int delayMs = boundedMs("PLATFORM_SHOT_DELAY_MS");
    const bool closeAfter = qEnvironmentVariableIsSet("PLATFORM_CLOSE_AFTER_MS");
    const int closeMs = boundedMs("PLATFORM_CLOSE_AFTER_MS");
    auto* timer = new QTimer(qApp);
    timer->setInterval(100);
    auto seenFor = std::make_shared<int>(0);
    auto shownSince = std::make_shared<QElapsedTimer>();
    QObject::connect(timer, &QTimer::timeout, qApp, [=] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible() || w->windowType() == Qt::ToolTip)
                continue;
            if (!shownSince->isValid())
                shownSince->start();
            // Give the window a few ticks to lay out and paint, and the time asked for.
            if (++*seenFor < 5 || shownSince->elapsed() < delayMs)
                return;
            timer->stop();
            const QPixmap shot = w->grab();
            QSaveFile out(file);
            if (out.open(QIODevice::WriteOnly) && shot.save(&out, "PNG"))
                out.commit();
            if (!layoutFile.isEmpty())
                writeLayout(w, layoutFile);
            if (exitAfter) {
                QApplication::quit();
            } else if (closeAfter) {
                QPointer<QWidget> target(w);
                QTimer::singleShot(closeMs, qApp, [target] {
                    // Closing the top-level window goes through the platform
                    // window, as the window manager's request does.
                    if (target && target->windowHandle())
                        target->windowHandle()->close();
                });
            }
            return;
        }
    });
    timer->start();
}

} // namespace platform::shotonshow
