#pragma once

// Window handles for the media commands: a command names the window a video
// plays in by a number ("parent n"). A widget is given its number here and
// keeps it while it lives; the number is dropped when the widget dies, so a
// stale number finds nothing. No native window is made for it.

#include <QtGlobal>

class QWidget;

namespace platform::widgethandles {

// The widget's number (the same one on every call), never 0.
quintptr handleOf(QWidget* widget);
// The live widget with that number, or nullptr.
QWidget* widgetOf(quintptr handle);

} // namespace platform::widgethandles
