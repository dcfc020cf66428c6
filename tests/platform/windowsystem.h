#pragma once

// The close command of the window manager, as a test sends it: Qt's own
// window-system entry point (not in the public headers), which delivers a
// spontaneous close event exactly as a real "close window" request does.

#include <QWindow>

class QWindowSystemInterface {
public:
    struct SynchronousDelivery {};
    template <typename Delivery>
    static bool handleCloseEvent(QWindow* window);
};

namespace testenv {
inline void closeFromWindowManager(QWindow* window)
{
    QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(window);
}
} // namespace testenv
