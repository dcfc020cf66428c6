#include "core/mousegestures.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWebEngineView>
#include <QWidget>

#include "testenv.h"

#include <gtest/gtest.h>

namespace {

struct MenuWidget : QWidget {
    int menus = 0;
    void contextMenuEvent(QContextMenuEvent* e) override
    {
        ++menus;
        e->accept();
    }
};

struct MenuView : QWebEngineView {
    int menus = 0;
    void contextMenuEvent(QContextMenuEvent* e) override
    {
        ++menus;
        e->accept();
    }
};

// The gesture client as the main window uses it: every gesture accepted.
struct Gestures {
    clsMouseGestures g;
    std::vector<int32_t> codes;
    Gestures()
    {
        QObject::connect(&g, &clsMouseGestures::MouseGesture,
                         [this](int32_t code, int32_t, int32_t, int32_t, int32_t, bool& accept) {
                             codes.push_back(code);
                             accept = true;
                         });
        g.Attach();
    }
};

// Real input through the window system: press, moves, release.
void draw(QWindow* window, std::initializer_list<QPoint> points)
{
    const QPoint first = *points.begin();
    QTest::mouseMove(window, first);
    QTest::mousePress(window, Qt::RightButton, {}, first);
    for (const QPoint& p : points)
        QTest::mouseMove(window, p);
    QTest::mouseRelease(window, Qt::RightButton, {}, *(points.end() - 1));
}

void showActive(QWidget& w)
{
    w.resize(500, 400);
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w, 5000));
}

} // namespace

TEST(GestureInput, OverAWidgetAGestureHidesTheContextMenuAndAClickOpensIt)
{
    MenuWidget w;
    showActive(w);
    Gestures gestures;

    draw(w.windowHandle(), {{400, 200}, {300, 205}, {200, 203}, {100, 200}});
    EXPECT_EQ(gestures.codes, std::vector<int32_t>{8});
    EXPECT_EQ(w.menus, 0);

    draw(w.windowHandle(), {{100, 350}, {100, 250}, {100, 150}, {200, 100}, {300, 60}, {400, 50}});
    EXPECT_EQ(gestures.codes, (std::vector<int32_t>{8, 256}));
    EXPECT_EQ(w.menus, 0);

    draw(w.windowHandle(), {{250, 250}});
    EXPECT_EQ(gestures.codes.size(), 2u);
    EXPECT_EQ(w.menus, 1) << "a right click without movement opens the menu at the release";

    gestures.g.Detach();
    draw(w.windowHandle(), {{250, 250}});
    EXPECT_EQ(w.menus, 2);
}

TEST(GestureInput, OverAWebPageAGestureHidesTheContextMenuAndAClickOpensIt)
{
    QWidget top;
    auto* layout = new QVBoxLayout(&top);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* view = new MenuView;
    layout->addWidget(view);
    QSignalSpy loaded(view, &QWebEngineView::loadFinished);
    view->setHtml(QStringLiteral("<html><body style='margin:0;height:100vh'><p>Page</p></body></html>"));
    showActive(top);
    ASSERT_TRUE(testenv::waitFor([&] { return loaded.count() > 0; }, 30000));
    ASSERT_TRUE(loaded.first().first().toBool());
    ASSERT_TRUE(view->focusProxy() != nullptr);

    Gestures gestures;
    // The input goes to the view's focus proxy, the widget under the pointer.
    draw(top.windowHandle(), {{250, 350}, {250, 250}, {252, 150}, {250, 50}});
    EXPECT_EQ(gestures.codes, std::vector<int32_t>{1});

    // A click without movement: the page asks for its menu. Chromium answers
    // input in order, so a menu that the gesture had let through would have
    // been asked for first.
    draw(top.windowHandle(), {{200, 200}});
    ASSERT_TRUE(testenv::waitFor([&] { return view->menus > 0; }, 20000)) << "the page's context menu";
    QTest::qWait(200);
    EXPECT_EQ(view->menus, 1);
    EXPECT_EQ(gestures.codes.size(), 1u);
}
