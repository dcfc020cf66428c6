#include "core/keyhandle.h"
#include "core/mousegestures.h"
#include "platform/win/inputstate.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QShortcut>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include "testenv.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

struct ActiveWindow {
    QWidget w;
    ActiveWindow()
    {
        w.resize(400, 300);
        w.show();
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w, 5000));
    }
};

std::vector<QPoint> path(std::initializer_list<QPoint> points)
{
    return std::vector<QPoint>(points);
}

} // namespace

TEST(MouseGestures, ClassificationOfPaths)
{
    struct Case {
        std::vector<QPoint> points;
        int32_t code;
    } cases[] = {
        {path({{100, 100}, {100, 100}}), 0},             // a click
        {path({{100, 100}, {108, 92}}), 0},              // 8 pixels on each axis are no movement
        {path({{100, 100}, {100, 40}}), 1},              // up
        {path({{100, 100}, {100, 160}}), 2},             // down
        {path({{100, 100}, {160, 100}}), 4},             // right
        {path({{100, 100}, {40, 100}}), 8},              // left
        {path({{300, 100}, {100, 120}}), 8},             // 200 left, 20 down: ratio 10
        {path({{100, 100}, {110, 30}}), 16},             // 70 up, 10 right: a ratio of 7 keeps both axes
        // 200 left and 40 down move on both axes; the bulge decides.
        {path({{300, 100}, {200, 130}, {100, 140}}), 1024},
        {path({{300, 100}, {250, 100}, {200, 100}, {150, 110}, {100, 140}}), 64},
        // up and right
        {path({{100, 300}, {300, 100}}), 16},
        {path({{100, 300}, {100, 100}, {150, 100}, {200, 100}, {300, 100}}), 256},
        // up and left
        {path({{300, 300}, {100, 100}}), 128},
        {path({{300, 300}, {300, 100}, {250, 100}, {200, 100}, {100, 100}}), 2048},
        // down and right
        {path({{100, 100}, {100, 300}, {200, 300}, {300, 300}}), 512},
        {path({{100, 100}, {200, 100}, {300, 100}, {300, 200}, {300, 300}}), 32},
        // The line's y at x = 7 is 29 * 7 / 14 = 14.5 exactly, rounded half to
        // even to 14: the middle points lie on the line, not above it.
        {path({{0, 0}, {7, 14}, {7, 14}, {7, 14}, {14, 29}}), 512},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(clsMouseGestures::ClassifyGesture(cases[i].points), cases[i].code) << "case " << i;
}

namespace {

// Feeds the hook entry as the input state stands at each notification.
struct Driver {
    clsMouseGestures g;
    std::vector<std::array<int32_t, 5>> raised;
    bool accept = true;
    Driver()
    {
        QObject::connect(&g, &clsMouseGestures::MouseGesture,
                         [this](int32_t code, int32_t x1, int32_t y1, int32_t x2, int32_t y2, bool& ok) {
                             raised.push_back({code, x1, y1, x2, y2});
                             ok = accept;
                         });
    }
    bool step(bool rightDown, QPoint pos)
    {
        inputstate::setDown(inputstate::VK_RBUTTON, rightDown);
        inputstate::setCursorPos(pos);
        bool consume = false;
        g.HookProc(0, 0x200, 0, consume);
        return consume;
    }
    // A stroke from the first to the last point; the answer of the release.
    bool stroke(std::initializer_list<QPoint> points)
    {
        bool consumed = false;
        for (const QPoint& p : points)
            consumed = step(true, p);
        EXPECT_FALSE(consumed) << "presses and moves pass";
        return step(false, *(points.end() - 1));
    }
    void idle()
    {
        for (int i = 0; i < 10; ++i)
            step(false, {0, 0});
    }
};

} // namespace

TEST(MouseGestures, HookEntryTracksTheRightButtonAndReportsOnRelease)
{
    ActiveWindow win;
    Driver d;
    // The first ten notifications without the right button are consumed.
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(d.step(false, {i, i})) << i;
    EXPECT_FALSE(d.step(false, {5, 5}));

    EXPECT_TRUE(d.stroke({{300, 100}, {250, 102}, {150, 101}, {100, 100}}));
    ASSERT_EQ(d.raised.size(), 1u);
    EXPECT_EQ(d.raised[0], (std::array<int32_t, 5>{8, 300, 100, 100, 100}));
    EXPECT_EQ(d.g.GestureCode(), 8);
    EXPECT_FALSE(d.g.Tracking());
    // After a release, ten more are consumed.
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(d.step(false, {0, 0}));
    EXPECT_FALSE(d.step(false, {0, 0}));

    // Not accepted: the release passes, so the page's menu may open.
    d.accept = false;
    EXPECT_FALSE(d.stroke({{100, 300}, {100, 100}}));
    EXPECT_EQ(d.raised.back()[0], 1);
    d.idle();
    d.accept = true;

    // A click without movement is no gesture.
    const size_t before = d.raised.size();
    EXPECT_FALSE(d.stroke({{50, 50}, {53, 55}}));
    EXPECT_EQ(d.raised.size(), before);
    d.idle();

    // A cleared bit hides its gesture; no types at all stop recognition.
    d.g.setGestureTypes(4095 & ~8);
    EXPECT_FALSE(d.stroke({{300, 100}, {100, 100}}));
    EXPECT_EQ(d.raised.size(), before);
    d.idle();
    EXPECT_TRUE(d.stroke({{100, 100}, {300, 100}}));
    EXPECT_EQ(d.raised.back()[0], 4);
    d.idle();
    d.g.setGestureTypes(0);
    EXPECT_FALSE(d.stroke({{100, 100}, {300, 100}}));
    EXPECT_EQ(d.raised.size(), before + 1);
}

TEST(MouseGestures, ButtonsAfterAStrokeAndInputOutsideTheAreaPassUntouched)
{
    ActiveWindow win;
    Driver d;
    // In the swallowed stretch after attaching, a click still passes.
    bool consume = true;
    d.g.HookProc(0, 0x201, 0, consume); // a left-button press
    EXPECT_FALSE(consume);
    EXPECT_TRUE(d.step(false, {1, 1})) << "moves are still swallowed";
    d.idle();

    // With an area, a stroke begun outside it is none and nothing is swallowed.
    QWidget page;
    QWidget frame;
    d.g.SetArea([&page](const QWidget* w) { return w == &page; });
    const auto notify = [&](bool rightDown, QPoint pos, QWidget* over) {
        platform::inputstate::setDown(platform::inputstate::VK_RBUTTON, rightDown);
        platform::inputstate::setCursorPos(pos);
        platform::threadhooks::MouseHookInfo info;
        info.pt = pos;
        info.window = over;
        bool c = false;
        d.g.HookProc(0, 0x200, reinterpret_cast<intptr_t>(&info), c);
        return c;
    };
    EXPECT_FALSE(notify(true, {300, 100}, &frame));
    EXPECT_FALSE(notify(true, {100, 100}, &page)) << "the stroke stays outside though it crosses the page";
    EXPECT_FALSE(notify(false, {100, 100}, &page));
    EXPECT_TRUE(d.raised.empty());
    for (int i = 0; i < 12; ++i)
        EXPECT_FALSE(notify(false, {i, i}, &frame)) << i;
    // Begun in the area, it is a stroke.
    EXPECT_FALSE(notify(true, {300, 100}, &page));
    EXPECT_FALSE(notify(true, {100, 100}, &frame));
    EXPECT_TRUE(notify(false, {100, 100}, &frame));
    ASSERT_EQ(d.raised.size(), 1u);
    EXPECT_EQ(d.raised[0][0], 8);
}

TEST(KeyHandle, ReportsCtrlAndAltCombinations)
{
    ActiveWindow win;
    clsKeyHandle k;
    std::vector<std::pair<int16_t, int16_t>> raised;
    QObject::connect(&k, &clsKeyHandle::KeyPressed, [&](int16_t code, int16_t shift) {
        raised.push_back({code, shift});
    });
    const struct {
        bool ctrl, alt;
        int vk;
        bool release;
        int16_t shift; // 0: nothing raised
        bool consumed;
    } cases[] = {
        {true, false, 78, false, 2, true},   // Ctrl+N: reported and swallowed
        {false, true, 70, false, 4, false},  // Alt+F: reported and passed on
        {true, true, 46, false, 0, false},   // Ctrl+Alt+Del: nothing
        {false, false, 65, false, 0, false}, // plain A
        {true, false, 78, true, 0, false},   // releases are not looked at
        {true, false, 17, false, 2, true},   // Ctrl's own press
    };
    for (const auto& c : cases) {
        inputstate::clear();
        inputstate::setDown(inputstate::VK_CONTROL, c.ctrl);
        inputstate::setDown(inputstate::VK_MENU, c.alt);
        raised.clear();
        bool consume = false;
        k.HookProc(0, uintptr_t(c.vk), c.release ? intptr_t(0xC0000001u) : intptr_t(1), consume);
        EXPECT_EQ(consume, c.consumed) << c.vk;
        if (c.shift) {
            EXPECT_EQ(raised, (std::vector<std::pair<int16_t, int16_t>>{{int16_t(c.vk), c.shift}}));
        } else {
            EXPECT_TRUE(raised.empty()) << c.vk;
        }
    }
    inputstate::clear();
}

TEST(KeyHandle, ACtrlCombinationIsSeenOnceAndNeverReachesTheFocusedWidget)
{
    ActiveWindow win;
    auto* layout = new QVBoxLayout(&win.w);
    auto* frame = new QWidget;
    layout->addWidget(frame);
    auto* inner = new QVBoxLayout(frame);
    auto* edit = new QLineEdit;
    inner->addWidget(edit);
    edit->setFocus();
    int shortcuts = 0;
    auto* shortcut = new QShortcut(QKeySequence(QStringLiteral("Ctrl+N")), &win.w);
    QObject::connect(shortcut, &QShortcut::activated, [&] { ++shortcuts; });

    clsKeyHandle k;
    k.Attach();
    std::vector<std::pair<int16_t, int16_t>> raised;
    QObject::connect(&k, &clsKeyHandle::KeyPressed, [&](int16_t code, int16_t shift) {
        raised.push_back({code, shift});
    });

    using Raised = std::vector<std::pair<int16_t, int16_t>>;
    QTest::keyClick(win.w.windowHandle(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(raised, (Raised{{17, 2}, {78, 2}}));
    QTest::keyClick(edit, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(raised, (Raised{{17, 2}, {78, 2}, {17, 2}, {78, 2}}));
    EXPECT_EQ(shortcuts, 0);

    raised.clear();
    QTest::keyClick(win.w.windowHandle(), Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(raised, (Raised{{18, 4}, {70, 4}}));
    QTest::keyClick(win.w.windowHandle(), Qt::Key_A);
    EXPECT_EQ(edit->text(), QStringLiteral("fa")) << "Alt keys and plain keys reach the widget";

    k.Detach();
    QTest::keyClick(win.w.windowHandle(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(shortcuts, 1);
}

// Bound to one window, the handler leaves another window's keys alone: a
// dialog's text box selects, copies and pastes with its own Ctrl keys, and
// its Alt keys open none of the bound window's menus.
TEST(KeyHandle, AnotherWindowOfTheProgramKeepsItsCtrlAndAltKeys)
{
    QWidget main;
    main.resize(300, 200);
    main.show();
    clsKeyHandle k;
    k.SetWindow(&main);
    k.Attach();
    std::vector<std::pair<int16_t, int16_t>> raised;
    QObject::connect(&k, &clsKeyHandle::KeyPressed, [&](int16_t code, int16_t shift) { raised.push_back({code, shift}); });

    ActiveWindow dialog;
    auto* edit = new QLineEdit(&dialog.w);
    edit->setText(QStringLiteral("proxy.example"));
    edit->show();
    edit->setFocus();
    edit->setCursorPosition(5);
    QTest::keyClick(dialog.w.windowHandle(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(edit->selectedText(), QStringLiteral("proxy.example"));
    QTest::keyClick(dialog.w.windowHandle(), Qt::Key_F, Qt::AltModifier);
    EXPECT_TRUE(raised.empty());

    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main, 5000));
    QTest::keyClick(main.windowHandle(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(raised.back(), (std::pair<int16_t, int16_t>{78, 2})) << "the bound window's keys are still seen";
    k.Detach();
    inputstate::clear();
}
