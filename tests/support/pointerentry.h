#pragma once

// Real mouse input under the offscreen platform is dropped until the pointer
// has entered some window: a test moves it through a throwaway window first,
// as a user's pointer comes from elsewhere.

#include <QPoint>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace testenv {

inline bool pointerEntersFromElsewhere()
{
    QWidget elsewhere;
    elsewhere.resize(50, 50);
    elsewhere.show();
    if (!QTest::qWaitForWindowExposed(&elsewhere))
        return false;
    QTest::mouseMove(elsewhere.windowHandle(), QPoint(10, 10));
    return true;
}

} // namespace testenv
