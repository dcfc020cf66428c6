#include "platform/windowservices.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

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

bool startSystemMove(QWidget* window)
{
    if (!window)
        return false;
    QWidget* top = window->window();
    if (moveRecorder()) {
        moveRecorder()(top, true, {});
        return true;
    }
    QWindow* handle = top->windowHandle();
    return handle && handle->startSystemMove();
}

bool startSystemResize(QWidget* window, Qt::Edges edges)
{
    if (!window || !edges)
        return false;
    QWidget* top = window->window();
    if (moveRecorder()) {
        moveRecorder()(top, false, edges);
        return true;
    }
    QWindow* handle = top->windowHandle();
    return handle && handle->startSystemResize(edges);
}

void setSystemMoveRecorder(SystemMoveRecorder recorder)
{
    moveRecorder() = std::move(recorder);
}

} // namespace platform::windows
