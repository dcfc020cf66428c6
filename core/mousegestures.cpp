#include "core/mousegestures.h"

#include "platform/win/inputstate.h"
#include "platform/base/vbrt.h"

#include <cmath>
#include <cstdlib>
#include <limits>

using platform::inputstate::VK_RBUTTON;

namespace {

constexpr uint32_t kButtonDown = platform::winproc::WM_RBUTTONDOWN; // 516
constexpr uint32_t kMove = platform::winproc::WM_MOUSEMOVE;         // 512
constexpr uint32_t kButtonUp = platform::winproc::WM_RBUTTONUP;     // 517

// Whether more of the points lie above the straight line from the first to
// the last point than below it. The line's y is (y1 - yN) * (x - x1) as a
// 32-bit product, divided by (x1 - xN), plus y1: in that order, so that a
// value that lands exactly on .5 is not pushed off it by an inexact slope
// before it is rounded half to even. A product or an intercept that no
// longer fits a 32-bit number ends the count with what was reached.
bool moreAboveThanBelow(const std::vector<QPoint>& points)
{
    const QPoint first = points.front();
    const QPoint last = points.back();
    const int64_t rise = static_cast<int64_t>(first.y()) - last.y();
    const int64_t run = static_cast<int64_t>(first.x()) - last.x();
    int above = 0;
    int below = 0;
    for (const QPoint& p : points) {
        const int64_t product = rise * (static_cast<int64_t>(p.x()) - first.x());
        if (product < std::numeric_limits<int32_t>::min() || product > std::numeric_limits<int32_t>::max())
            break;
        const double yl = vb::roundHalfEven(static_cast<double>(product) / static_cast<double>(run) + first.y());
        if (!std::isfinite(yl) || yl < std::numeric_limits<int32_t>::min() || yl > std::numeric_limits<int32_t>::max())
            break;
        if (p.y() < static_cast<int32_t>(yl))
            ++above;
        else
            ++below;
    }
    return above > below;
}

} // namespace

clsMouseGestures::clsMouseGestures(QObject* parent)
    : QObject(parent)
{
}

clsMouseGestures::~clsMouseGestures()
{
    Detach();
}

void clsMouseGestures::Attach()
{
    if (attached)
        return;
    if (!InstallThreadHook(this, WH_MOUSE))
        return;
    attached = true;
    idleCount = 0;
    // Linux opens a context menu on the press: it waits for the release,
    // which the gesture may swallow.
    platform::threadhooks::holdRightButtonPress(true);
    if (area)
        platform::threadhooks::setRightButtonHoldArea(area);
}

void clsMouseGestures::Detach()
{
    if (!attached)
        return;
    RemoveThreadHook(this, WH_MOUSE);
    attached = false;
    platform::threadhooks::holdRightButtonPress(false);
    if (area)
        platform::threadhooks::setRightButtonHoldArea({});
}

void clsMouseGestures::SetArea(std::function<bool(const QWidget*)> inArea)
{
    area = std::move(inArea);
    if (attached)
        platform::threadhooks::setRightButtonHoldArea(area);
}

void clsMouseGestures::HookProc(int32_t /*nCode*/, uintptr_t wParam, intptr_t lParam, bool& bConsume)
{
    if (!platform::inputstate::activeWindow())
        return;
    uint32_t msg = 0;
    const bool buttonDown = platform::inputstate::asyncKeyState(VK_RBUTTON) != 0;
    if (pressOutside) {
        // A press outside the area is no stroke, up to its release.
        pressOutside = buttonDown;
        return;
    }
    // Input outside the area is none of the gestures' business: never
    // consumed, and a press there is no stroke up to its release.
    if (!rightDown && area) {
        const auto* info = reinterpret_cast<const platform::threadhooks::MouseHookInfo*>(lParam);
        if (!info || !area(info->window)) {
            pressOutside = buttonDown;
            return;
        }
    }
    if (buttonDown) {
        if (!rightDown) {
            rightDown = true;
            msg = kButtonDown;
        } else {
            msg = kMove;
        }
    } else if (rightDown) {
        rightDown = false;
        idleCount = 0;
        msg = kButtonUp;
    } else if (idleCount < 10) {
        ++idleCount;
        // The notifications after a stroke are swallowed, but never a
        // button: a click made then still reaches its page or control.
        bConsume = wParam == kMove;
        return;
    }
    bConsume = handleGestureMessage(msg);
}

bool clsMouseGestures::handleGestureMessage(uint32_t msg)
{
    if (gestureTypes <= 0)
        return false;
    if (msg == kButtonDown && !tracking) {
        points.assign(1, platform::inputstate::cursorPos());
        tracking = true;
    } else if (msg == kMove && tracking) {
        points.push_back(platform::inputstate::cursorPos());
    } else if (msg == kButtonUp && tracking) {
        if (evaluate()) {
            platform::winproc::postMessage(platform::inputstate::activeWindow(), kButtonUp, 0, 0x7FFF7FFF);
            return true;
        }
    }
    return false;
}

bool clsMouseGestures::evaluate()
{
    tracking = false;
    points.push_back(platform::inputstate::cursorPos());
    gestureCode = ClassifyGesture(points);
    if (gestureCode == 0 || (gestureCode & gestureTypes) == 0)
        return false;
    bool accept = false;
    const QPoint first = points.front();
    const QPoint last = points.back();
    Q_EMIT MouseGesture(gestureCode, first.x(), first.y(), last.x(), last.y(), accept);
    return accept;
}

int32_t clsMouseGestures::ClassifyGesture(const std::vector<QPoint>& path)
{
    if (path.size() < 2)
        return 0;
    const int64_t dy = static_cast<int64_t>(path.front().y()) - path.back().y(); // > 0: upwards
    const int64_t dx = static_cast<int64_t>(path.front().x()) - path.back().x(); // > 0: leftwards
    bool vertical = std::llabs(dy) > 8;
    bool horizontal = std::llabs(dx) > 8;
    if (vertical && horizontal) {
        const double ax = static_cast<double>(std::llabs(dx));
        const double ay = static_cast<double>(std::llabs(dy));
        if (ax / ay > 7.0)
            vertical = false;
        else if (ay / ax > 7.0)
            horizontal = false;
    }
    const bool up = dy > 0;
    const bool right = dx < 0;
    if (vertical && !horizontal)
        return up ? 1 : 2;
    if (horizontal && !vertical)
        return right ? 4 : 8;
    if (!vertical)
        return 0;
    // Both axes: the flags are up (V+) or down (V-) and right (H); the
    // bulge of the path decides between the two codes of each pair.
    const bool above = moreAboveThanBelow(path);
    if (up)
        return right ? (above ? 256 : 16) : (above ? 2048 : 128);
    return right ? (above ? 32 : 512) : (above ? 64 : 1024);
}
