#include "platform/win/winproc.h"
#include "tests/platform/windowsystem.h"

#include <QIcon>
#include <QPixmap>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <vector>

using namespace platform::winproc;

namespace {

struct Shown {
    QWidget w;
    Shown()
    {
        w.resize(200, 100);
        w.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&w, 5000));
    }
};

struct Seen {
    uint32_t msg;
    uintptr_t wParam;
    intptr_t lParam;
};

} // namespace

TEST(WindowProc, EventMessagesReachTheWidgetOnlyWhenTheChainCallsOn)
{
    Shown s;
    std::vector<Seen> seen;
    bool passOn = false;
    WindowProc previous;
    previous = setWindowProc(&s.w, [&](QWidget* w, uint32_t msg, uintptr_t wp, intptr_t lp) -> intptr_t {
        if (msg != WM_ACTIVATE && msg != WM_MOUSEMOVE)
            seen.push_back({msg, wp, lp});
        return passOn ? callWindowProc(previous, w, msg, wp, lp) : 0;
    });
    EXPECT_FALSE(previous) << "a window starts with its own handling";

    // The user's close command arrives as WM_SYSCOMMAND; refused, the window stays.
    testenv::closeFromWindowManager(s.w.windowHandle());
    EXPECT_TRUE(s.w.isVisible());
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].msg, WM_SYSCOMMAND);
    EXPECT_EQ(seen[0].wParam, SC_CLOSE);

    seen.clear();
    QTest::mousePress(s.w.windowHandle(), Qt::RightButton, Qt::ShiftModifier, QPoint(12, 34));
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back().msg, WM_RBUTTONDOWN);
    EXPECT_EQ(seen.back().wParam, MK_RBUTTON | MK_SHIFT);
    EXPECT_EQ(seen.back().lParam, makeLParam(12, 34));
    QTest::mouseRelease(s.w.windowHandle(), Qt::RightButton, {}, QPoint(12, 34));

    // Passed on, the close command becomes WM_CLOSE and the window closes.
    seen.clear();
    passOn = true;
    testenv::closeFromWindowManager(s.w.windowHandle());
    EXPECT_FALSE(s.w.isVisible());
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].msg, WM_SYSCOMMAND);
    EXPECT_EQ(seen[1].msg, WM_CLOSE);
    setWindowProc(&s.w, previous);
}

TEST(WindowProc, SentMessagesAreCarriedOutByTheWindowsOwnHandling)
{
    Shown s;
    const QString title = QStringLiteral("Titled");
    EXPECT_EQ(sendMessage(&s.w, WM_SETTEXT, 0, reinterpret_cast<intptr_t>(&title)), 1);
    EXPECT_EQ(s.w.windowTitle(), title);
    QPixmap pm(16, 16);
    pm.fill(Qt::red);
    const QIcon icon(pm);
    sendMessage(&s.w, WM_SETICON, 0, reinterpret_cast<intptr_t>(&icon));
    EXPECT_FALSE(s.w.windowIcon().isNull());

    int closes = 0;
    WindowProc previous;
    previous = setWindowProc(&s.w, [&](QWidget* w, uint32_t msg, uintptr_t wp, intptr_t lp) {
        if (msg == WM_CLOSE)
            ++closes;
        return callWindowProc(previous, w, msg, wp, lp);
    });
    sendMessage(&s.w, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(s.w.isVisible());
    EXPECT_EQ(closes, 1) << "one WM_CLOSE, not one more for the close event";

    // Giving back the previous procedure removes this one.
    setWindowProc(&s.w, previous);
    EXPECT_FALSE(windowProc(&s.w));
    bool okNull = true;
    setWindowProc(nullptr, previous, &okNull);
    EXPECT_FALSE(okNull);
}
