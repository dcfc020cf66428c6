#pragma once

// Window-state services of the desktop: the minimised / maximised state of a
// top-level window, the work area of the screen a window is on, and the
// taskbar's state. The taskbar provider answers "always on top, not
// auto-hidden" (no desktop here reports otherwise) and can be replaced by
// tests.

#include <QPoint>
#include <QRect>

#include <functional>
#include <optional>

class QWidget;

namespace platform::windows {

// WindowState codes: 0 normal, 1 minimised, 2 maximised.
enum WindowStateCode { StateNormal = 0, StateMinimized = 1, StateMaximized = 2 };

int windowState(const QWidget* window);
void setWindowState(QWidget* window, int state);

// The work area (the screen less its panels) of the window's screen, in
// pixels; the primary screen's for a window not placed yet.
QRect workArea(const QWidget* window);

// Taskbar state codes: 1 auto-hide, 2 always on top.
inline constexpr int TaskbarAutoHide = 1;
inline constexpr int TaskbarAlwaysOnTop = 2;

struct TaskbarProvider {
    std::function<int()> state;
    // True when an auto-hidden bar sits on that edge: 0 left, 1 top, 2 right, 3 bottom.
    std::function<bool(int edge)> autoHideBarOn;
};

int taskbarState();
bool autoHideBarOn(int edge);
// An empty provider restores the default one.
void setTaskbarProvider(TaskbarProvider provider);

// The whole screen the window is on, in pixels (the primary screen's for a
// window not placed yet).
QRect screenGeometry(const QWidget* window);

// Hands a move or a resize of the top-level window to the window system
// (its own interactive loop). Edges of a resize: or'ed Qt::Edge values.
// Where the window system cannot (no window manager, offscreen), the window
// follows the pointer itself from pressAt (global pixels; the pointer's
// position when not given) until the button is released.
// The window system's loop follows the left button; with another button
// held the window follows the pointer itself.
bool startSystemMove(QWidget* window, std::optional<QPoint> pressAt = std::nullopt,
                     Qt::MouseButton button = Qt::LeftButton);
bool startSystemResize(QWidget* window, Qt::Edges edges, std::optional<QPoint> pressAt = std::nullopt,
                       Qt::MouseButton button = Qt::LeftButton);

// Tests replace the hand-over: each request is reported instead of being
// passed on (edges 0 for a move). An empty recorder restores the real one.
using SystemMoveRecorder = std::function<void(QWidget* window, bool move, Qt::Edges edges)>;
void setSystemMoveRecorder(SystemMoveRecorder recorder);

} // namespace platform::windows
