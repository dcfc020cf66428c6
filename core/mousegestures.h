#pragma once

// Mouse gestures: strokes drawn with the right mouse button held down over
// any window of the program, classified into twelve codes when the button
// is released. A client of the mouse thread hook.

#include "core/hooksubclass.h"

#include <QObject>
#include <QPoint>

class QWidget;

#include <cstdint>
#include <functional>
#include <vector>

class clsMouseGestures : public QObject, public clsIWindowsHook {
    Q_OBJECT
public:
    explicit clsMouseGestures(QObject* parent = nullptr);
    ~clsMouseGestures() override;

    // Bit mask of the codes that are reported; 4095 (all twelve) at creation.
    int32_t GestureTypes() const { return gestureTypes; }
    void setGestureTypes(int32_t value) { gestureTypes = value; }

    // Where strokes count: only strokes begun on a widget the predicate
    // accepts (the page area), so that a right-button press elsewhere (the
    // frame, the buttons) acts as a press at once. Empty: everywhere.
    void SetArea(std::function<bool(const QWidget*)> inArea);

    void Attach();
    void Detach();
    bool Attached() const { return attached; }
    bool Tracking() const { return tracking; }
    int32_t GestureCode() const { return gestureCode; }

    void HookProc(int32_t nCode, uintptr_t wParam, intptr_t lParam, bool& bConsume) override;

    // The code of a recorded path (screen pixels, first to last point):
    // 1 up, 2 down, 4 right, 8 left; the codes 16 to 2048 for strokes on
    // both axes; 0 for no gesture.
    static int32_t ClassifyGesture(const std::vector<QPoint>& points);

Q_SIGNALS:
    // acceptGesture: set to true by the handler that carried out an action.
    void MouseGesture(int32_t gestureType, int32_t xGestureStart, int32_t yGestureStart, int32_t xGestureEnd,
                      int32_t yGestureEnd, bool& acceptGesture);

private:
    bool handleGestureMessage(uint32_t msg);
    bool evaluate();

    int32_t gestureTypes = 4095;
    bool attached = false;
    bool tracking = false;
    bool rightDown = false;
    bool pressOutside = false; // the right button went down outside the area
    std::function<bool(const QWidget*)> area;
    int32_t idleCount = 0;
    std::vector<QPoint> points;
    int32_t gestureCode = 0;
};
