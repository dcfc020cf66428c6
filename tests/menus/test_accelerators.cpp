#include "menus/clspopupmenu.h"
#include "menus/modcustommenu.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A window with a text box that has the focus and notes the key presses
// that reach it, the modifier keys left out.
class TextBox : public QLineEdit {
public:
    std::vector<int> pressed;

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        const int k = e->key();
        if (k != Qt::Key_Shift && k != Qt::Key_Control && k != Qt::Key_Alt && k != Qt::Key_Meta)
            pressed.push_back(k);
        QLineEdit::keyPressEvent(e);
    }
};

struct Scene {
    QWidget top;
    TextBox* box = new TextBox;
    Scene()
    {
        auto* layout = new QVBoxLayout(&top);
        layout->addWidget(box);
        top.resize(300, 80);
        top.show();
        top.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&top, 5000));
        box->setFocus();
    }
    QWindow* window() { return top.windowHandle(); }
};

} // namespace

TEST(MenuAccelerators, KeysOfTheLastMenuFireThroughTheApplicationFilter)
{
    Scene scene;
    clsPopupMenu menu;
    std::vector<int32_t> clicks;
    menu.events().Click = [&](int32_t i) { clicks.push_back(i); };
    menu.AddItem("&Back\tAlt+Left Arrow", "VIEW", 0, 0, -1, true, "BACK");
    menu.AddItem("&Copy\tCtrl+C", "EDIT", 0, 0, -1, true, "COPY");
    menu.AddItem("Remove\t.", "LIST", 0, 0, -1, true, "REMOVE");
    menu.AddItem("Full Screen\t{", "VIEW", 0, 0, -1, true, "FULL");
    menu.AddItem("Leave\tEsc", "VIEW", 0, 0, -1, false, "LEAVE"); // disabled, fires all the same
    menu.AddItem("Stop\tESC", "VIEW", 0, 0, -1, true, "STOP");

    const struct {
        const char* what;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int32_t fired; // 0: none, the key reaches the text box
    } cases[] = {
        {"Alt+Left", Qt::Key_Left, Qt::AltModifier, 1},
        {"Shift+Alt+Left", Qt::Key_Left, Qt::AltModifier | Qt::ShiftModifier, 0},
        {"Ctrl+C", Qt::Key_C, Qt::ControlModifier, 0},
        {"a full stop typed", Qt::Key_Period, {}, 0},
        {"Delete", Qt::Key_Delete, {}, 3},
        {"an opening brace typed", Qt::Key_BraceLeft, Qt::ShiftModifier, 0},
        {"F12", Qt::Key_F12, {}, 4},
        {"Escape", Qt::Key_Escape, {}, 5},
        {"a letter alone", Qt::Key_C, {}, 0},
        {"F5 (no item names it)", Qt::Key_F5, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        clicks.clear();
        scene.box->pressed.clear();
        // Press and release: the release is never offered.
        QTest::keyClick(scene.window(), c.key, c.mods);
        if (c.fired) {
            EXPECT_EQ(clicks, std::vector<int32_t>{c.fired});
            EXPECT_TRUE(scene.box->pressed.empty());
        } else {
            EXPECT_TRUE(clicks.empty());
            EXPECT_EQ(scene.box->pressed, std::vector<int>{c.key});
        }
    }
    EXPECT_EQ(scene.box->text(), QStringLiteral(".{c"));

    // A Shift let go earlier does not count at the next key.
    clicks.clear();
    QTest::keyClick(scene.window(), Qt::Key_Shift, Qt::ShiftModifier);
    QTest::keyClick(scene.window(), Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(clicks, std::vector<int32_t>{1});

    // A held key repeats.
    clicks.clear();
    QTest::simulateEvent(scene.window(), true, Qt::Key_Delete, {}, QString(), false);
    QTest::simulateEvent(scene.window(), true, Qt::Key_Delete, {}, QString(), true);
    QTest::simulateEvent(scene.window(), false, Qt::Key_Delete, {}, QString(), false);
    EXPECT_EQ(clicks, (std::vector<int32_t>{3, 3}));

    // After Clear nothing answers.
    menu.Clear();
    clicks.clear();
    QTest::keyClick(scene.window(), Qt::Key_Delete);
    EXPECT_TRUE(clicks.empty());
}

TEST(MenuAccelerators, TheNewestObjectAnswersFirstAndTheHookGoesWithTheLast)
{
    Scene scene;
    ASSERT_TRUE(MenuHookClients.empty());
    std::vector<std::string> fired;
    auto older = std::make_unique<clsPopupMenu>();
    older->AddItem("Back\tAlt+Left Arrow");
    older->AddItem("Home\tAlt+Enter");
    older->events().Click = [&](int32_t) { fired.push_back("older"); };
    EXPECT_NE(MenuHookHandle, 0u);
    auto newer = std::make_unique<clsPopupMenu>();
    newer->AddItem("Previous\tAlt+Left Arrow");
    newer->events().Click = [&](int32_t) { fired.push_back("newer"); };
    RegisterMenuHookClient(newer.get()); // a second registration changes nothing
    EXPECT_EQ(MenuHookClients.size(), 2u);

    QTest::keyClick(scene.window(), Qt::Key_Left, Qt::AltModifier);
    QTest::keyClick(scene.window(), Qt::Key_Return, Qt::AltModifier);
    EXPECT_EQ(fired, (std::vector<std::string>{"newer", "older"}));

    newer.reset();
    fired.clear();
    QTest::keyClick(scene.window(), Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(fired, std::vector<std::string>{"older"});
    EXPECT_NE(MenuHookHandle, 0u);
    older.reset();
    EXPECT_EQ(MenuHookHandle, 0u);
    EXPECT_TRUE(MenuHookClients.empty());
    fired.clear();
    QTest::keyClick(scene.window(), Qt::Key_Left, Qt::AltModifier);
    EXPECT_TRUE(fired.empty());
}
