#include "platform/win/popupmenus.h"
#include "platform/win/winproc.h"

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QWheelEvent>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace pm = platform::menus;

TEST(PopupMenus, PlacesMenusOnTheScreenAndOffTheExcludedRectangle)
{
    const QRect screen(0, 0, 800, 600);
    const QSize size(150, 100);
    const struct {
        const char* what;
        QPoint point;
        std::optional<QRect> exclude;
        bool verticalFirst;
        QPoint expected;
    } cases[] = {
        {"at the point", {100, 200}, std::nullopt, false, {100, 200}},
        {"below a caption row", {100, 200}, QRect(QPoint(-700, 180), QPoint(899, 199)), false, {100, 200}},
        {"above the row without room below", {100, 560}, QRect(QPoint(-700, 540), QPoint(899, 559)), false,
         {100, 440}},
        {"upward from a band to the screen's foot", {300, 400}, QRect(QPoint(-500, 400), QPoint(1099, 999)), false,
         {300, 300}},
        {"turned at the right edge", {760, 100}, std::nullopt, false, {610, 100}},
        {"beside a button first", {50, 50}, QRect(QPoint(50, 50), QPoint(79, 79)), false, {80, 50}},
        {"below a button first", {50, 50}, QRect(QPoint(50, 50), QPoint(79, 79)), true, {50, 80}},
        {"left of a button at the right edge", {700, 50}, QRect(QPoint(700, 50), QPoint(729, 79)), false,
         {550, 50}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pm::placePopup(size, c.point, c.exclude, c.verticalFirst, screen).topLeft(), c.expected) << c.what;
    // Taller than the screen: kept inside from the top.
    EXPECT_EQ(pm::placePopup(QSize(150, 700), QPoint(10, 300), std::nullopt, false, screen).top(), 0);
}

TEST(PopupMenus, ItemsAreFoundByCommandThroughSubMenusAndMenusGoWithTheirParents)
{
    const pm::MenuHandle root = pm::createPopupMenu();
    const pm::MenuHandle sub = pm::createPopupMenu();
    const pm::MenuHandle deeper = pm::createPopupMenu();
    ASSERT_TRUE(pm::appendMenu(root, pm::MF_OWNERDRAW, 2049, 11));
    ASSERT_TRUE(pm::appendMenu(root, pm::MF_OWNERDRAW, 2050, 12));
    ASSERT_TRUE(pm::appendMenu(sub, pm::MF_OWNERDRAW, 2051, 13));
    ASSERT_TRUE(pm::appendMenu(deeper, pm::MF_OWNERDRAW, 2052, 14));
    ASSERT_TRUE(pm::modifyMenu(root, 2050, pm::MF_OWNERDRAW | pm::MF_POPUP, sub, 12));
    ASSERT_TRUE(pm::modifyMenu(root, 2051, pm::MF_OWNERDRAW | pm::MF_POPUP, deeper, 13)); // found in sub
    EXPECT_FALSE(pm::appendMenu(root, pm::MF_POPUP, 12345, 0)); // no such sub-menu

    EXPECT_EQ(pm::subMenu(root, sub, pm::MF_BYCOMMAND), sub);
    EXPECT_EQ(pm::subMenu(root, 1, pm::MF_BYPOSITION), sub);
    EXPECT_EQ(pm::subMenu(sub, deeper, pm::MF_BYCOMMAND), deeper);
    EXPECT_EQ(pm::itemData(root, 2052, pm::MF_BYCOMMAND), 14u);
    EXPECT_TRUE(pm::setItemData(root, 2052, pm::MF_BYCOMMAND, 99));
    EXPECT_EQ(pm::itemData(deeper, 0, pm::MF_BYPOSITION), 99u);
    EXPECT_FALSE(pm::itemData(root, 2050, pm::MF_BYCOMMAND).has_value()); // now known by its sub-menu

    // Taken out, a sub-menu stays; destroyed, a menu takes its sub-menus along.
    EXPECT_TRUE(pm::removeMenu(root, deeper, pm::MF_BYCOMMAND));
    EXPECT_EQ(pm::itemCount(sub), 0);
    EXPECT_TRUE(pm::isMenu(deeper));
    EXPECT_TRUE(pm::destroyMenu(root));
    EXPECT_FALSE(pm::isMenu(root));
    EXPECT_FALSE(pm::isMenu(sub));
    EXPECT_TRUE(pm::isMenu(deeper));
    EXPECT_TRUE(pm::destroyMenu(deeper));
    EXPECT_FALSE(pm::destroyMenu(deeper));
    EXPECT_EQ(pm::itemCount(deeper), -1);
}

TEST(PopupMenus, DestroyingTheShownMenuEndsTheTracking)
{
    QWidget owner;
    owner.resize(200, 200);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    const pm::MenuHandle root = pm::createPopupMenu();
    pm::appendMenu(root, pm::MF_OWNERDRAW, 2049, 0);
    pm::appendMenu(root, pm::MF_OWNERDRAW, 2050, 0);
    bool shown = false;
    QTimer::singleShot(50, [&] {
        shown = pm::openPopups().size() == 1;
        pm::destroyMenu(root);
    });
    EXPECT_EQ(pm::trackPopupMenuEx(root, pm::TPM_RETURNCMD, owner.mapToGlobal(QPoint(10, 10)), &owner), 0u);
    EXPECT_TRUE(shown);
    EXPECT_FALSE(pm::isTracking());
    EXPECT_TRUE(pm::openPopups().empty());

    // Without the return flag the choice reaches the owner as a command.
    const pm::MenuHandle again = pm::createPopupMenu();
    pm::appendMenu(again, pm::MF_OWNERDRAW, 2049, 0);
    std::vector<uintptr_t> commands;
    platform::winproc::setWindowProc(&owner, [&](QWidget* w, uint32_t msg, uintptr_t wp, intptr_t lp) {
        if (msg == platform::winproc::WM_COMMAND)
            commands.push_back(wp);
        return platform::winproc::defWindowProc(w, msg, wp, lp);
    });
    QTimer::singleShot(50, [&] {
        if (!pm::openPopups().empty())
            QTest::keyClick(pm::openPopups().front()->windowHandle(), Qt::Key_Down);
        if (!pm::openPopups().empty())
            QTest::keyClick(pm::openPopups().front()->windowHandle(), Qt::Key_Return);
    });
    EXPECT_EQ(pm::trackPopupMenuEx(again, 0, owner.mapToGlobal(QPoint(10, 10)), &owner), 1u);
    EXPECT_EQ(commands, std::vector<uintptr_t>{2049});
    platform::winproc::setWindowProc(&owner, {});
    pm::destroyMenu(again);
}

TEST(PopupMenus, AMenuTallerThanTheScreenFitsItAndScrollsToEveryItem)
{
    QWidget owner;
    owner.resize(200, 200);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    const QRect screen = owner.screen()->availableGeometry();
    // Unmeasured items are 18 pixels high: twice the screen's height of them.
    const int count = 2 * screen.height() / 18;
    const pm::MenuHandle root = pm::createPopupMenu();
    for (int i = 0; i < count; ++i)
        pm::appendMenu(root, pm::MF_OWNERDRAW, static_cast<uintptr_t>(2049 + i), 0);
    const auto shows = [](int item) {
        const auto levels = pm::openItemRects();
        return !levels.empty() && item < static_cast<int>(levels[0].size()) && !levels[0][static_cast<size_t>(item)].isEmpty();
    };
    QRect window;
    bool firstShown = false, lastShownAtFirst = true, lastShownAfterEnd = false, firstShownAfterWheel = false;
    QTimer::singleShot(50, [&] {
        const auto popups = pm::openPopups();
        if (popups.empty())
            return;
        window = popups.front()->geometry();
        firstShown = shows(0);
        lastShownAtFirst = shows(count - 1);
        QTest::keyClick(popups.front()->windowHandle(), Qt::Key_End);
        lastShownAfterEnd = shows(count - 1);
        QWheelEvent up(QPointF(10, 40), popups.front()->mapToGlobal(QPointF(10, 40)), QPoint(), QPoint(0, 120 * 400),
                       Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(popups.front(), &up);
        firstShownAfterWheel = shows(0);
        // Return chooses the selected item, the last, though the wheel scrolled it away.
        QTest::keyClick(popups.front()->windowHandle(), Qt::Key_Return);
    });
    EXPECT_EQ(pm::trackPopupMenuEx(root, pm::TPM_RETURNCMD, owner.mapToGlobal(QPoint(10, 10)), &owner),
              static_cast<uintptr_t>(2049 + count - 1));
    EXPECT_TRUE(screen.contains(window)) << window.top() << " " << window.height();
    EXPECT_TRUE(firstShown);
    EXPECT_FALSE(lastShownAtFirst);
    EXPECT_TRUE(lastShownAfterEnd);
    EXPECT_TRUE(firstShownAfterWheel);
    pm::destroyMenu(root);
}
