#include "platform/win/windowservices.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace platform::windows {

namespace {

TaskbarProvider& provider()
{
    static TaskbarProvider p;
    return p;
}

SystemMoveRecorder& moveRecorder()
{
    static SystemMoveRecorder r;
    return r;
}

// Moves or sizes a window with the pointer until the button is released,
// for window systems that take no such request.
class PointerMoveResize : public QObject {
public:
    PointerMoveResize(QWidget* window, bool move, Qt::Edges edges, QPoint origin)
        : window_(window), move_(move), edges_(edges), origin_(origin), start_(window->geometry())
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        QWidget* w = window_.data();
        if (event->type() == QEvent::MouseMove && w) {
            const QPoint d = static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - origin_;
            QRect r = start_;
            if (move_) {
                r.moveTopLeft(start_.topLeft() + d);
            } else {
                // The opposite edge stays; the window keeps its minimum size.
                const QSize least = w->minimumSize().expandedTo(QSize(1, 1));
                if (edges_ & Qt::LeftEdge)
                    r.setLeft(std::min(start_.left() + d.x(), start_.right() + 1 - least.width()));
                if (edges_ & Qt::RightEdge)
                    r.setRight(std::max(start_.right() + d.x(), start_.left() + least.width() - 1));
                if (edges_ & Qt::TopEdge)
                    r.setTop(std::min(start_.top() + d.y(), start_.bottom() + 1 - least.height()));
                if (edges_ & Qt::BottomEdge)
                    r.setBottom(std::max(start_.bottom() + d.y(), start_.top() + least.height() - 1));
            }
            if (r != w->geometry())
                w->setGeometry(r);
        } else if (event->type() == QEvent::MouseButtonRelease || !w) {
            qApp->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    QPointer<QWidget> window_;
    bool move_;
    Qt::Edges edges_;
    QPoint origin_;
    QRect start_;
};

bool handOver(QWidget* window, bool move, Qt::Edges edges, std::optional<QPoint> pressAt, Qt::MouseButton button)
{
    QWidget* top = window->window();
    if (moveRecorder()) {
        moveRecorder()(top, move, edges);
        return true;
    }
    QWindow* handle = button == Qt::LeftButton ? top->windowHandle() : nullptr;
    if (handle) {
        if (move ? handle->startSystemMove() : handle->startSystemResize(edges))
            return true;
    }
    new PointerMoveResize(top, move, edges, pressAt.value_or(QCursor::pos()));
    return true;
}

} // namespace

int windowState(const QWidget* window)
{
    if (!window)
        return StateNormal;
    const Qt::WindowStates s = window->windowState();
    if (s & Qt::WindowMinimized)
        return StateMinimized;
    if (s & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return StateMaximized;
    return StateNormal;
}

void setWindowState(QWidget* window, int state)
{
    if (!window)
        return;
    Qt::WindowStates s = window->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    if (state == StateMinimized)
        s |= Qt::WindowMinimized;
    else if (state == StateMaximized)
        s |= Qt::WindowMaximized;
    window->setWindowState(s);
}

QRect workArea(const QWidget* window)
{
    const QScreen* screen = window ? window->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

int taskbarState()
{
    return provider().state ? provider().state() : TaskbarAlwaysOnTop;
}

bool autoHideBarOn(int edge)
{
    return provider().autoHideBarOn ? provider().autoHideBarOn(edge) : false;
}

void setTaskbarProvider(TaskbarProvider p)
{
    provider() = std::move(p);
}

QRect screenGeometry(const QWidget* window)
{
    const QScreen* screen = window ? window->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect();
}

bool startSystemMove(QWidget* window, std::optional<QPoint> pressAt, Qt::MouseButton button)
{
    return window && handOver(window, true, {}, pressAt, button);
}

bool startSystemResize(QWidget* window, Qt::Edges edges, std::optional<QPoint> pressAt, Qt::MouseButton button)
{
    return window && edges && handOver(window, false, edges, pressAt, button);
}

void setSystemMoveRecorder(SystemMoveRecorder recorder)
{
    moveRecorder() = std::move(recorder);
}

} // namespace platform::windows
