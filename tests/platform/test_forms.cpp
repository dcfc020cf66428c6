#include "platform/base/apptimer.h"
#include "platform/win/controlarray.h"
#include "platform/win/controls.h"
#include "platform/win/form.h"
#include "platform/win/twips.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

using namespace platform::forms;

namespace {

QPixmap filled(int w, int h)
{
    QPixmap p(w, h);
    p.fill(Qt::red);
    return p;
}

// A point of a control in its window's coordinates, for input sent to the window.
QPoint inWindow(const Control& c, QPoint local)
{
    return c.widget()->mapTo(c.widget()->window(), local);
}

struct Shown {
    explicit Shown(Form& f) : form(f)
    {
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.window(), 5000));
    }
    ~Shown() { form.unload(); }
    Form& form;
};

} // namespace

TEST(FormsTwips, GeometryIsKeptAsSetAndRoundedHalfToEvenAtTheWidget)
{
    Form form;
    Label label(form, QStringLiteral("lbl"));
    struct Case {
        double twips;
        int pixels;
    } cases[] = {{0, 0}, {100, 7}, {22.5, 2}, {37.5, 2}, {52.5, 4}, {1500, 100}, {-22.5, -2}};
    for (const Case& c : cases) {
        label.move(c.twips, c.twips, 1500, 345);
        EXPECT_EQ(label.left(), c.twips);
        EXPECT_EQ(label.top(), c.twips);
        EXPECT_EQ(label.widget()->x(), c.pixels) << c.twips;
        EXPECT_EQ(label.widget()->y(), c.pixels) << c.twips;
    }
    EXPECT_EQ(label.widget()->width(), 100);
    EXPECT_EQ(label.widget()->height(), 23);

    // A screen of 12 twips per pixel places the same twips on more pixels.
    setTwipsPerPixel(12, 12);
    label.setWidth(1500);
    EXPECT_EQ(label.width(), 1500);
    EXPECT_EQ(label.widget()->width(), 125);
    setTwipsPerPixel(0, 0);
    EXPECT_EQ(twipsPerPixelX(), 15); // the offscreen screen has 96 dpi
}

TEST(FormsControls, AnImageSizesItselfToItsPictureUnlessItStretches)
{
    Form form;
    Image image(form, QStringLiteral("img"));
    image.move(30, 45, 3000, 3000);
    image.setPicture(filled(32, 20));
    EXPECT_EQ(image.width(), 480);
    EXPECT_EQ(image.height(), 300);
    EXPECT_EQ(image.left(), 30);
    EXPECT_FALSE(image.fontSize().has_value()); // an image has no font
    EXPECT_FALSE(image.setFontSize(12));

    Image stretched(form, QStringLiteral("img2"));
    stretched.setStretch(true);
    stretched.move(0, 0, 3000, 1500);
    stretched.setPicture(filled(32, 20));
    EXPECT_EQ(stretched.width(), 3000);
    EXPECT_EQ(stretched.height(), 1500);

    PictureBox box(form, QStringLiteral("pic"));
    box.move(0, 0, 600, 600);
    box.setPicture(filled(100, 23));
    EXPECT_EQ(box.width(), 600); // a picture box keeps its size unless it auto-sizes
    box.setAutoSize(true);
    EXPECT_EQ(box.width(), 1500);
    EXPECT_EQ(box.height(), 345);
}

TEST(FormsControls, AnAutoSizedLabelFollowsItsTextAndAWrappedOneOnlyGrowsDown)
{
    Form form;
    Label label(form, QStringLiteral("lbl"));
    label.setAutoSize(true);
    label.setCaption(QStringLiteral("Yes"));
    const double shortWidth = label.width();
    label.setCaption(QStringLiteral("A much longer caption"));
    EXPECT_GT(label.width(), shortWidth);
    EXPECT_GT(label.height(), 0);

    Label wrapped(form, QStringLiteral("wrapped"));
    wrapped.move(0, 0, 1500, 100);
    wrapped.setWordWrap(true);
    wrapped.setAutoSize(true);
    wrapped.setCaption(QStringLiteral("one two three four five six seven eight nine ten eleven twelve"));
    EXPECT_EQ(wrapped.width(), 1500);
    EXPECT_GT(wrapped.height(), 3 * label.height());
}

TEST(FormsControls, PropertiesReadBackAsWritten)
{
    Form form;
    PictureBox box(form, QStringLiteral("pic"));
    box.setTag(QStringLiteral("F"));
    box.setToolTipText(QStringLiteral("tip"));
    box.setForeColor(QColor(1, 2, 3));
    box.setEnabled(false);
    box.setVisible(false);
    EXPECT_EQ(box.tag(), QStringLiteral("F"));
    EXPECT_EQ(box.toolTipText(), QStringLiteral("tip"));
    EXPECT_EQ(box.foreColor(), QColor(1, 2, 3));
    EXPECT_FALSE(box.widget()->isEnabled());
    EXPECT_FALSE(box.visible());
    ASSERT_TRUE(box.setFontSize(11.5));
    EXPECT_DOUBLE_EQ(*box.fontSize(), 11.5);

    // ZOrder 0 brings to the front, 1 sends to the back.
    Label a(form, QStringLiteral("a"));
    Label b(form, QStringLiteral("b"));
    auto order = [&] { return form.surface()->children().indexOf(a.widget()) < form.surface()->children().indexOf(b.widget()); };
    EXPECT_TRUE(order());
    a.zOrder(0);
    EXPECT_FALSE(order());
    a.zOrder(1);
    EXPECT_TRUE(order());
}

TEST(FormsControlArray, MembersLoadWithTheFirstMembersPropertiesAndUnloadByIndex)
{
    Form form;
    ControlArray<Label> labels(form, QStringLiteral("Label"));
    Label* first = labels.create(0);
    ASSERT_NE(first, nullptr);
    first->move(120, 240, 1500, 300);
    first->setTag(QStringLiteral("t"));
    first->setCaption(QStringLiteral("caption"));
    EXPECT_EQ(labels.create(0), nullptr); // taken
    EXPECT_EQ(labels.create(-1), nullptr);

    Label* loaded = labels.load(5);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->index(), 5);
    EXPECT_EQ(loaded->left(), 120);
    EXPECT_EQ(loaded->width(), 1500);
    EXPECT_EQ(loaded->tag(), QStringLiteral("t"));
    EXPECT_EQ(loaded->caption(), QStringLiteral("caption"));
    EXPECT_FALSE(loaded->visible());
    EXPECT_EQ(labels.count(), 2);
    EXPECT_EQ(labels.lbound(), 0);
    EXPECT_EQ(labels.ubound(), 5);
    EXPECT_EQ(form.controls().size(), 2u);

    EXPECT_TRUE(labels.unload(5));
    EXPECT_FALSE(labels.unload(5));
    EXPECT_FALSE(labels.exists(5));
    EXPECT_EQ(labels.ubound(), 0);
    EXPECT_EQ(form.controls().size(), 1u);
}

TEST(FormsControlArray, EventsCarryTheMembersIndexAndAMemberMayUnloadItself)
{
    Form form;
    form.setWidth(6000);
    form.setHeight(3000);
    ControlArray<PictureBox> boxes(form, QStringLiteral("box"));
    for (int i : {0, 3, 4, 5}) {
        PictureBox* b = boxes.create(i);
        b->move(300 + 1800 * (i ? i - 2 : 0), 300, 1500, 600);
    }
    std::vector<int> clicked;
    boxes.events().click = [&](int index) { clicked.push_back(index); };
    // Unloading inside its own event must be safe, whichever event it is.
    boxes.events().mouseUp = [&](int index, int, int, double, double) {
        if (index == 3)
            boxes.unload(3);
    };
    boxes.events().mouseDown = [&](int index, int, int, double, double) {
        if (index == 4)
            boxes.unload(4);
    };
    boxes.events().mouseMove = [&](int index, int, int, double, double) {
        if (index == 5)
            boxes.unload(5);
    };
    Shown shown(form);
    QWindow* w = form.window()->windowHandle();
    QTest::mouseClick(w, Qt::LeftButton, {}, inWindow(boxes[0], {10, 10}));
    QTest::mouseClick(w, Qt::LeftButton, {}, inWindow(boxes[3], {10, 10}));
    QTest::mouseClick(w, Qt::LeftButton, {}, inWindow(boxes[4], {10, 10}));
    QTest::mouseMove(w, inWindow(boxes[5], {10, 10}));
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicked, std::vector<int>{0});
    EXPECT_FALSE(boxes.exists(3));
    EXPECT_FALSE(boxes.exists(4));
    EXPECT_FALSE(boxes.exists(5));
    EXPECT_EQ(Control::capture(), nullptr);
}

TEST(FormsEvents, MouseEventsAreInTwipsAndAPressCapturesTheHoldingControl)
{
    Form form;
    form.setWidth(6000);
    form.setHeight(3000);
    PictureBox box(form, QStringLiteral("box"));
    box.move(1500, 750, 1500, 600);
    Label caption(form, QStringLiteral("caption"), -1, &box);
    caption.move(150, 150, 600, 200);
    std::vector<std::tuple<QString, int, double, double>> seen;
    Control* captureAtDown = nullptr;
    box.events().mouseDown = [&](int b, int, double x, double y) { seen.emplace_back(QStringLiteral("down"), b, x, y); };
    box.events().mouseMove = [&](int b, int, double x, double y) { seen.emplace_back(QStringLiteral("move"), b, x, y); };
    box.events().mouseUp = [&](int b, int, double x, double y) { seen.emplace_back(QStringLiteral("up"), b, x, y); };
    caption.events().mouseDown = [&](int, int, double, double) { captureAtDown = Control::capture(); };
    Shown shown(form);
    QWindow* w = form.window()->windowHandle();
    QTest::mouseMove(w, inWindow(box, {4, 6}));
    seen.clear();

    QTest::mousePress(w, Qt::RightButton, {}, inWindow(box, {4, 6}));
    QTest::mouseMove(w, inWindow(box, {200, 6})); // outside: still the box's
    QTest::mouseRelease(w, Qt::RightButton, {}, inWindow(box, {200, 6}));
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], std::make_tuple(QStringLiteral("down"), 2, 60.0, 90.0));
    EXPECT_EQ(seen[1], std::make_tuple(QStringLiteral("move"), 2, 3000.0, 90.0));
    EXPECT_EQ(seen[2], std::make_tuple(QStringLiteral("up"), 2, 3000.0, 90.0));
    EXPECT_EQ(Control::capture(), nullptr);

    // A press on a label lying on the box captures the mouse for the box.
    QTest::mousePress(w, Qt::LeftButton, {}, inWindow(caption, {2, 2}));
    EXPECT_EQ(captureAtDown, &box);
    QTest::mouseRelease(w, Qt::LeftButton, {}, inWindow(caption, {2, 2}));
    EXPECT_EQ(Control::capture(), nullptr);

    // An explicit capture brings moves from outside the control.
    seen.clear();
    box.setCapture();
    EXPECT_EQ(Control::capture(), &box);
    QTest::mouseMove(w, QPoint(5, 5));
    ASSERT_FALSE(seen.empty());
    EXPECT_LT(std::get<2>(seen.back()), 0);
    Control::releaseCapture();
    EXPECT_EQ(Control::capture(), nullptr);

    // The window itself reports the same button codes: the one pressed or
    // released, and on a move the ones held.
    std::vector<std::tuple<QString, int>> onForm;
    form.events().mouseDown = [&](int b, int, double, double) { onForm.emplace_back(QStringLiteral("down"), b); };
    form.events().mouseMove = [&](int b, int, double, double) { onForm.emplace_back(QStringLiteral("move"), b); };
    form.events().mouseUp = [&](int b, int, double, double) { onForm.emplace_back(QStringLiteral("up"), b); };
    QTest::mouseMove(w, QPoint(8, 8));
    onForm.clear();
    QTest::mousePress(w, Qt::MiddleButton, {}, QPoint(8, 8));
    QTest::mouseMove(w, QPoint(12, 9));
    QTest::mouseRelease(w, Qt::MiddleButton, {}, QPoint(12, 9));
    const std::vector<std::tuple<QString, int>> expected{
        {QStringLiteral("down"), 4}, {QStringLiteral("move"), 4}, {QStringLiteral("up"), 4}};
    EXPECT_EQ(onForm, expected);
}

TEST(FormsEvents, KeysArriveWithTheOldCodesAndTabMovesTheFocus)
{
    struct Case {
        int qt;
        int code;
    } keys[] = {{Qt::Key_Return, 13}, {Qt::Key_Enter, 13}, {Qt::Key_Escape, 27}, {Qt::Key_Up, 38},
                {Qt::Key_Down, 40},  {Qt::Key_A, 65},      {Qt::Key_F1, 112},    {Qt::Key_F12, 123},
                {Qt::Key_Delete, 46}, {Qt::Key_Space, 32}, {Qt::Key_5, 53},      {Qt::Key_yen, 0}};
    for (const Case& c : keys)
        EXPECT_EQ(keyCode(c.qt), c.code) << c.qt;
    EXPECT_EQ(shiftState(Qt::ShiftModifier | Qt::AltModifier), 5);

    Form form;
    ControlArray<PictureBox> boxes(form, QStringLiteral("box"));
    std::vector<QString> log;
    for (int i = 0; i < 3; ++i)
        boxes.create(i)->move(300 + 1800 * i, 300, 1500, 600);
    boxes[1].setVisible(false); // hidden controls are passed over
    boxes.events().gotFocus = [&](int i) { log.push_back(QStringLiteral("got%1").arg(i)); };
    boxes.events().lostFocus = [&](int i) { log.push_back(QStringLiteral("lost%1").arg(i)); };
    boxes.events().keyDown = [&](int i, int code, int shift) { log.push_back(QStringLiteral("down%1:%2:%3").arg(i).arg(code).arg(shift)); };
    boxes.events().keyUp = [&](int i, int code, int) { log.push_back(QStringLiteral("up%1:%2").arg(i).arg(code)); };
    Shown shown(form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.window(), 5000));
    boxes[0].setFocus();
    QWindow* w = form.window()->windowHandle();
    QTest::keyClick(w, Qt::Key_Return, Qt::ShiftModifier);
    sendTabKey(false);
    QCoreApplication::processEvents();
    EXPECT_TRUE(boxes[2].hasFocus());
    sendTabKey(true);
    QCoreApplication::processEvents();
    EXPECT_TRUE(boxes[0].hasFocus());
    const std::vector<QString> expected{QStringLiteral("got0"), QStringLiteral("down0:16:1"), QStringLiteral("down0:13:1"),
                                        QStringLiteral("up0:13"), QStringLiteral("up0:16"), QStringLiteral("lost0"), QStringLiteral("got2"), QStringLiteral("lost2"),
                                        QStringLiteral("got0")};
    EXPECT_EQ(log, expected);
}

TEST(FormsForm, AModalShowReturnsWhenTheWindowHidesAndTimersRunMeanwhile)
{
    Form form;
    int loads = 0;
    form.events().load = [&] { ++loads; };
    Timer tick(form, QStringLiteral("tick"));
    int ticks = 0;
    tick.setInterval(5);
    tick.onTimer = [&] {
        if (++ticks == 3)
            form.hide();
    };
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] { form.hide(); });
    guard.start(10000);
    form.showModal();
    EXPECT_EQ(ticks, 3);
    EXPECT_TRUE(guard.isActive()); // returned by the timer, not the guard
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(loads, 1);
    EXPECT_TRUE(form.loaded());
}

TEST(FormsForm, TheCloseButtonAsksQueryUnloadWhichMayCancel)
{
    Form form;
    bool cancel = true;
    std::vector<int> modes;
    int unloads = 0;
    int loads = 0;
    form.events().load = [&] { ++loads; };
    form.events().queryUnload = [&](bool& c, int mode) {
        modes.push_back(mode);
        c = cancel;
    };
    form.events().unload = [&] { ++unloads; };
    Shown shown(form);
    form.window()->close();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(unloads, 0);
    cancel = false;
    form.window()->close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.loaded());
    EXPECT_EQ(unloads, 1);
    EXPECT_EQ(modes, (std::vector<int>{UnloadFromControlMenu, UnloadFromControlMenu}));
    form.show(); // loads again
    EXPECT_EQ(loads, 2);
}

TEST(FormsForm, SizeIsTheInsideInTwipsAndTheWindowsPointerFollowsItsCode)
{
    Form form;
    form.setBorderStyle(BorderStyle::FixedDialog);
    form.setWidth(6300);
    form.setHeight(2760);
    EXPECT_EQ(form.scaleWidth(), 6300);
    EXPECT_EQ(form.window()->width(), 420);
    EXPECT_EQ(form.window()->height(), 184);
    form.setMousePointer(11);
    EXPECT_EQ(form.window()->cursor().shape(), Qt::WaitCursor);
    form.setMousePointer(0);
    EXPECT_EQ(form.window()->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(Form::fromWidget(form.window()), &form);
}

TEST(FormsTimer, ATimerTicksWhileEnabledWithAnIntervalAndStopsOtherwise)
{
    Form form;
    ControlArray<Timer> timers(form, QStringLiteral("AppTimer"));
    Timer* t = timers.create(0);
    std::vector<int> ticks;
    timers.events().timer = [&](int index) { ticks.push_back(index); };
    t->setInterval(0); // no interval: no ticks
    QTest::qWait(30);
    EXPECT_TRUE(ticks.empty());
    t->setInterval(5);
    QElapsedTimer clock;
    clock.start();
    while (ticks.size() < 2 && clock.elapsed() < 5000)
        QTest::qWait(5);
    EXPECT_GE(ticks.size(), 2u);
    EXPECT_EQ(ticks.front(), 0);
    t->setEnabled(false);
    ticks.clear();
    QTest::qWait(30);
    EXPECT_TRUE(ticks.empty());

    Timer* copy = timers.load(2); // a loaded timer takes interval and enabled flag
    EXPECT_EQ(copy->interval(), 5);
    EXPECT_FALSE(copy->enabled());
}
