#include "platform/win/inputstate.h"
#include "platform/win/threadhooks.h"
#include "platform/win/winproc.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <vector>

using namespace platform;
using namespace platform::winproc;

namespace {

// Records the input events a widget receives.
class Recorder : public QWidget {
public:
    std::vector<QEvent::Type> events;
    std::vector<Qt::MouseButton> buttons;
    bool acceptInput = false;

protected:
    bool event(QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ContextMenu:
            events.push_back(e->type());
            if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonRelease)
                buttons.push_back(static_cast<QMouseEvent*>(e)->button());
            if (acceptInput)
                e->accept();
            else
                e->ignore();
            return acceptInput;
        default:
            return QWidget::event(e);
        }
    }
};

// A top-level window with a child inside a frame, shown and active; the
// child ignores input so that Qt hands it on to its parents.
struct Scene {
    Recorder top;
    Recorder* frame = new Recorder;
    Recorder* child = new Recorder;

    Scene()
    {
        top.resize(300, 200);
        auto* outer = new QVBoxLayout(&top);
        outer->addWidget(frame);
        auto* inner = new QVBoxLayout(frame);
        inner->addWidget(child);
        child->setFocusPolicy(Qt::StrongFocus);
        top.show();
        top.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&top, 5000));
        child->setFocus();
    }
    QWindow* window() { return top.windowHandle(); }
    QPoint inChild() { return child->mapTo(&top, child->rect().center()); }
};

struct Notification {
    int type;
    uintptr_t wParam;
    QWidget* window;
};

struct HookGuard {
    threadhooks::HookHandle handle;
    ~HookGuard() { threadhooks::unhook(handle); }
};

} // namespace

TEST(ThreadHooks, OneNotificationPerInputEventWhateverTheReceivers)
{
    Scene scene;
    std::vector<Notification> seen;
    HookGuard mouse{threadhooks::setHook(threadhooks::WH_MOUSE, [&](int, uintptr_t w, intptr_t l) {
        seen.push_back({threadhooks::WH_MOUSE, w, reinterpret_cast<threadhooks::MouseHookInfo*>(l)->window});
        return intptr_t(0);
    })};
    HookGuard keys{threadhooks::setHook(threadhooks::WH_KEYBOARD, [&](int, uintptr_t w, intptr_t) {
        seen.push_back({threadhooks::WH_KEYBOARD, w, nullptr});
        return intptr_t(0);
    })};
    ASSERT_NE(mouse.handle, 0u);

    // Through the window system: the window, then the child, then its parents.
    QTest::mouseClick(scene.window(), Qt::LeftButton, {}, scene.inChild());
    // Straight to the widget, as tests and some tools send input.
    QTest::mouseClick(scene.child, Qt::LeftButton);
    QTest::keyClick(scene.window(), Qt::Key_B);
    QTest::keyClick(scene.child, Qt::Key_B);
    QTest::keyClick(scene.child, Qt::Key_B);

    std::vector<Notification> expected = {
        {threadhooks::WH_MOUSE, WM_LBUTTONDOWN, scene.child}, {threadhooks::WH_MOUSE, WM_LBUTTONUP, scene.child},
        {threadhooks::WH_MOUSE, WM_LBUTTONDOWN, scene.child}, {threadhooks::WH_MOUSE, WM_LBUTTONUP, scene.child},
        {threadhooks::WH_KEYBOARD, 'B', nullptr},             {threadhooks::WH_KEYBOARD, 'B', nullptr},
        {threadhooks::WH_KEYBOARD, 'B', nullptr},             {threadhooks::WH_KEYBOARD, 'B', nullptr},
        {threadhooks::WH_KEYBOARD, 'B', nullptr},             {threadhooks::WH_KEYBOARD, 'B', nullptr},
    };
    // Moves may come between, as the pointer travels: leave them out.
    std::vector<Notification> got;
    for (const Notification& n : seen)
        if (!(n.type == threadhooks::WH_MOUSE && n.wParam == WM_MOUSEMOVE))
            got.push_back(n);
    ASSERT_EQ(got.size(), expected.size());
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].type, expected[i].type) << i;
        EXPECT_EQ(got[i].wParam, expected[i].wParam) << i;
        if (expected[i].window) {
            EXPECT_EQ(got[i].window, expected[i].window) << i;
        }
    }
    // The widgets still got every event, handed up the chain.
    EXPECT_EQ(std::count(scene.child->events.begin(), scene.child->events.end(), QEvent::KeyPress), 3);
    EXPECT_EQ(std::count(scene.top.events.begin(), scene.top.events.end(), QEvent::KeyPress), 3);
}

TEST(ThreadHooks, ChainRunsNewestFirstAndASwallowedInputReachesNoWidget)
{
    Scene scene;
    std::vector<int> order;
    bool swallow = false;
    threadhooks::HookHandle older = 0;
    threadhooks::HookHandle newer = 0;
    HookGuard a{older = threadhooks::setHook(threadhooks::WH_KEYBOARD, [&](int c, uintptr_t w, intptr_t l) {
        order.push_back(1);
        return swallow ? intptr_t(1) : threadhooks::callNextHook(older, c, w, l);
    })};
    HookGuard b{newer = threadhooks::setHook(threadhooks::WH_KEYBOARD, [&](int c, uintptr_t w, intptr_t l) {
        order.push_back(2);
        return threadhooks::callNextHook(newer, c, w, l);
    })};

    QTest::keyPress(scene.window(), Qt::Key_X);
    EXPECT_EQ(order, (std::vector<int>{2, 1}));
    EXPECT_EQ(scene.child->events, (std::vector<QEvent::Type>{QEvent::KeyPress}));

    swallow = true;
    order.clear();
    scene.child->events.clear();
    scene.top.events.clear();
    QTest::keyPress(scene.window(), Qt::Key_Y);
    QTest::keyPress(scene.child, Qt::Key_Y);
    EXPECT_EQ(order, (std::vector<int>{2, 1, 2, 1}));
    EXPECT_TRUE(scene.child->events.empty());
    EXPECT_TRUE(scene.top.events.empty());

    EXPECT_EQ(threadhooks::setHook(4, [](int, uintptr_t, intptr_t) { return intptr_t(0); }), 0u);
}

TEST(ThreadHooks, HeldRightPressIsDeliveredBeforeItsReleaseUnlessTheReleaseIsSwallowed)
{
    Scene scene;
    bool swallowRelease = false;
    HookGuard mouse{threadhooks::setHook(threadhooks::WH_MOUSE, [&](int, uintptr_t w, intptr_t) {
        return intptr_t(w == WM_RBUTTONUP && swallowRelease ? 1 : 0);
    })};
    threadhooks::holdRightButtonPress(true);
    scene.child->acceptInput = true;

    QTest::mousePress(scene.window(), Qt::RightButton, {}, scene.inChild());
    EXPECT_TRUE(scene.child->events.empty()) << "the press waits for its release";
    EXPECT_TRUE(inputstate::isDown(inputstate::VK_RBUTTON));
    QTest::mouseRelease(scene.window(), Qt::RightButton, {}, scene.inChild());
    EXPECT_EQ(scene.child->events, (std::vector<QEvent::Type>{QEvent::MouseButtonPress, QEvent::ContextMenu,
                                                                QEvent::MouseButtonRelease}));

    scene.child->events.clear();
    swallowRelease = true;
    QTest::mousePress(scene.window(), Qt::RightButton, {}, scene.inChild());
    QTest::mouseRelease(scene.window(), Qt::RightButton, {}, scene.inChild());
    EXPECT_TRUE(scene.child->events.empty());

    // Other buttons are never held.
    QTest::mousePress(scene.window(), Qt::LeftButton, {}, scene.inChild());
    EXPECT_EQ(scene.child->events, (std::vector<QEvent::Type>{QEvent::MouseButtonPress}));
    QTest::mouseRelease(scene.window(), Qt::LeftButton, {}, scene.inChild());
    threadhooks::holdRightButtonPress(false);
}

TEST(InputState, TracksKeysAndButtonsAndForgetsThemWhenTheApplicationLosesFocus)
{
    Scene scene;
    using namespace platform::inputstate;
    QTest::keyPress(scene.window(), Qt::Key_Control);
    QTest::keyPress(scene.window(), Qt::Key_F5, Qt::ControlModifier);
    EXPECT_TRUE(isDown(VK_CONTROL));
    EXPECT_TRUE(isDown(0x74));
    // Bit 15: down now; bit 0: pressed since the previous question.
    EXPECT_EQ(asyncKeyState(0x74), int16_t(0x8001));
    EXPECT_EQ(asyncKeyState(0x74), int16_t(0x8000));
    QTest::keyRelease(scene.window(), Qt::Key_F5, Qt::ControlModifier);
    EXPECT_EQ(asyncKeyState(0x74), 0);

    QTest::keyPress(scene.window(), Qt::Key_F6, Qt::ControlModifier);
    QTest::keyRelease(scene.window(), Qt::Key_F6, Qt::ControlModifier);
    EXPECT_EQ(asyncKeyState(0x75), 1) << "a press between two questions is not lost";

    QTest::mousePress(scene.window(), Qt::LeftButton, {}, QPoint(20, 30));
    EXPECT_TRUE(isDown(VK_LBUTTON));
    EXPECT_EQ(cursorPos(), scene.window()->mapToGlobal(QPoint(20, 30)));

    QApplicationStateChangeEvent inactive(Qt::ApplicationInactive);
    QCoreApplication::sendEvent(qApp, &inactive);
    EXPECT_FALSE(isDown(VK_CONTROL));
    EXPECT_FALSE(isDown(VK_LBUTTON));
    EXPECT_EQ(asyncKeyState(VK_CONTROL), 0);
    QTest::mouseRelease(scene.window(), Qt::LeftButton, {}, QPoint(20, 30));
}

TEST(InputState, VirtualKeysAndKeyData)
{
    struct Case {
        int key;
        Qt::KeyboardModifiers mods;
        int vk;
    } cases[] = {
        {Qt::Key_N, {}, 78},        {Qt::Key_7, {}, 0x37},     {Qt::Key_F1, {}, 0x70},
        {Qt::Key_F12, {}, 0x7B},    {Qt::Key_Control, {}, 17}, {Qt::Key_Alt, {}, 18},
        {Qt::Key_Return, {}, 13},   {Qt::Key_Left, {}, 37},    {Qt::Key_Delete, {}, 46},
        {Qt::Key_7, Qt::KeypadModifier, 0x67}, {Qt::Key_Plus, Qt::KeypadModifier, 0x6B},
        {Qt::Key_Comma, {}, 0xBC},  {Qt::Key_unknown, {}, 0},
    };
    for (const Case& c : cases) {
        QKeyEvent e(QEvent::KeyPress, c.key, c.mods);
        EXPECT_EQ(inputstate::virtualKey(e), c.vk) << c.key;
    }
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F, Qt::AltModifier);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_F, {}, QString(), true);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_F, {});
    EXPECT_EQ(inputstate::keyData(press), 0x20000001u);
    EXPECT_EQ(inputstate::keyData(repeat), 0x40000001u);
    EXPECT_EQ(inputstate::keyData(release), 0xC0000001u);
}
