// The controls dialogs are built from: check boxes, option buttons, the
// combo box in both styles and the text box's change event, password mask
// and length limit, driven by real mouse and key input and by code.

#include "platform/win/checkbox.h"
#include "platform/win/combobox.h"
#include "platform/win/controlarray.h"
#include "platform/win/controls.h"
#include "platform/win/form.h"
#include "platform/win/optionbutton.h"
#include "platform/win/textbox.h"

#include "testenv.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

using namespace platform::forms;

namespace {

// A shown window for the controls under test, unloaded at the end.
struct Dialog {
    Dialog()
    {
        form.setWidth(6000);
        form.setHeight(3600);
    }
    ~Dialog() { form.unload(); }
    void show()
    {
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.window(), 5000));
    }
    QWindow* window() const { return form.window()->windowHandle(); }
    QPoint at(const Control& c, QPoint local) const { return c.widget()->mapTo(c.widget()->window(), local); }
    // A click at the control's left end, where a box or button is drawn.
    void clickAtLeft(const Control& c) const
    {
        const QPoint p = at(c, {8, c.widget()->height() / 2});
        QTest::mouseMove(window(), p);
        QTest::mouseClick(window(), Qt::LeftButton, {}, p);
    }
    void key(Qt::Key key) const { QTest::keyClick(window(), key); }

    Form form;
};

} // namespace

TEST(DialogControls, ACheckBoxClicksOnEveryChangeOfValueByCodeOrUser)
{
    Dialog d;
    CheckBox box(d.form, QStringLiteral("box"));
    box.move(300, 300, 3000, 300);
    box.setCaption(QStringLiteral("Offline"));
    std::vector<int> clicks; // the Value each Click saw
    box.events().click = [&] { clicks.push_back(box.value()); };
    d.show();

    const struct {
        int set;
        bool taken;
        std::vector<int> clicks;
    } byCode[] = {{1, true, {1}}, {1, true, {}}, {2, true, {2}}, {0, true, {0}}, {0, true, {}}, {3, false, {}}, {-1, false, {}}};
    for (const auto& c : byCode) {
        clicks.clear();
        EXPECT_EQ(box.setValue(c.set), c.taken) << c.set;
        EXPECT_EQ(clicks, c.clicks) << c.set;
    }
    EXPECT_EQ(box.value(), 0);

    // The user ticks and clears; a greyed box becomes ticked; the space bar
    // does what a click does. One Click for each, none for the release.
    clicks.clear();
    d.clickAtLeft(box);
    d.clickAtLeft(box);
    box.setValue(2);
    d.clickAtLeft(box);
    d.key(Qt::Key_Space);
    d.key(Qt::Key_Space);
    EXPECT_EQ(clicks, (std::vector<int>{1, 0, 2, 1, 0, 1}));
    EXPECT_EQ(box.caption(), QStringLiteral("Offline"));
}

TEST(DialogControls, OptionButtonsAreExclusivePerContainerAndClickWhenSelected)
{
    Dialog d;
    PictureBox panel(d.form, QStringLiteral("panel"));
    panel.move(300, 1500, 4500, 1400);
    OptionButton a(d.form, QStringLiteral("a"));
    OptionButton b(d.form, QStringLiteral("b"));
    a.move(300, 300, 2400, 300);
    b.move(300, 750, 2400, 300);
    ControlArray<OptionButton> inPanel(d.form, QStringLiteral("Option0"), &panel);
    inPanel.create(0)->move(150, 150, 2400, 300);
    inPanel.create(1)->move(150, 600, 2400, 300);
    // Who clicked, and the Values of a, b, Option0(0), Option0(1) as its Click saw them.
    std::vector<QString> log;
    const auto values = [&] {
        return QStringLiteral("%1%2%3%4").arg(int(a.value())).arg(int(b.value())).arg(int(inPanel[0].value())).arg(int(inPanel[1].value()));
    };
    a.events().click = [&] { log.push_back(QStringLiteral("a ") + values()); };
    b.events().click = [&] { log.push_back(QStringLiteral("b ") + values()); };
    inPanel.events().click = [&](int i) { log.push_back(QStringLiteral("opt%1 ").arg(i) + values()); };
    d.show();
    EXPECT_EQ(values(), QStringLiteral("0000")) << "none is selected until one is chosen";

    d.clickAtLeft(a);
    d.clickAtLeft(a);          // a selected button stays selected, without Click
    d.clickAtLeft(inPanel[1]); // the panel's group leaves the form's alone
    d.clickAtLeft(b);
    inPanel[0].setValue(true); // by code too
    inPanel[0].setValue(true); // no change, no Click
    b.setValue(false);         // never a Click for False; the group may have none
    a.setFocus();
    d.key(Qt::Key_Space);
    const std::vector<QString> expected{QStringLiteral("a 1000"), QStringLiteral("opt1 1001"), QStringLiteral("b 0101"),
                                        QStringLiteral("opt0 0110"), QStringLiteral("a 1010")};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(values(), QStringLiteral("1010"));
}

TEST(DialogControls, AListComboBoxClicksOnEveryChangeOfListIndex)
{
    Dialog d;
    ComboBox keys(d.form, QStringLiteral("keys"));
    keys.setStyle(ComboStyle::DropDownList);
    keys.move(300, 300, 2400, 315);
    std::vector<std::pair<int, QString>> clicks; // ListIndex and Text as each Click saw them
    keys.events().click = [&] { clicks.emplace_back(keys.listIndex(), keys.text()); };
    for (const char* k : {"F1", "F2", "F3", "F4"})
        keys.addItem(QString::fromLatin1(k));
    d.show();
    EXPECT_EQ(keys.widget()->findChild<QLineEdit*>(), nullptr) << "no edit field";
    EXPECT_TRUE(clicks.empty()) << "filling the list chooses nothing";
    EXPECT_EQ(keys.listIndex(), -1);
    EXPECT_EQ(keys.text(), QString());

    EXPECT_TRUE(keys.setListIndex(2));
    EXPECT_TRUE(keys.setListIndex(2));
    EXPECT_FALSE(keys.setListIndex(4));
    EXPECT_FALSE(keys.setListIndex(-2));
    keys.setText(QStringLiteral("f1")); // chooses the entry of that text, ignoring case
    keys.setText(QStringLiteral("F9")); // no such entry: nothing changes
    EXPECT_EQ(keys.text(), QStringLiteral("F1"));

    // The user: an arrow key on the closed box, then a choice in the list.
    keys.setFocus();
    d.key(Qt::Key_Down);
    d.clickAtLeft(keys);
    auto* view = qobject_cast<QAbstractItemView*>(keys.listView());
    ASSERT_TRUE(testenv::waitFor([&] { return view->isVisible(); })) << "the list did not drop down";
    const QRect row = view->visualRect(view->model()->index(3, 0));
    QTest::qWait(QApplication::doubleClickInterval() + 50); // a release at once belongs to the opening click
    QTest::mouseMove(view->viewport(), row.center());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row.center());
    ASSERT_TRUE(testenv::waitFor([&] { return !view->isVisible(); }));

    keys.clear();
    const std::vector<std::pair<int, QString>> expected{
        {2, QStringLiteral("F3")}, {0, QStringLiteral("F1")}, {1, QStringLiteral("F2")}, {3, QStringLiteral("F4")}, {-1, QString()}};
    EXPECT_EQ(clicks, expected);
    EXPECT_EQ(keys.listCount(), 0);
}

TEST(DialogControls, ADropDownComboClicksOnAChoiceNeverOnTyping)
{
    Dialog d;
    ComboBox field(d.form, QStringLiteral("field"));
    field.move(300, 300, 2400, 315);
    std::vector<std::pair<int, QString>> clicks;
    field.events().click = [&] { clicks.emplace_back(field.listIndex(), field.text()); };
    field.addItem(QStringLiteral("alpha"));
    field.addItem(QStringLiteral("beta"));
    d.show();
    EXPECT_EQ(field.text(), QString()) << "filling the list leaves the field as it was";
    EXPECT_EQ(field.listIndex(), -1);

    field.setListIndex(1);
    EXPECT_EQ(field.text(), QStringLiteral("beta"));
    d.clickAtLeft(field); // into the field: no choice
    auto* edit = field.widget()->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("gamma"));
    EXPECT_EQ(field.text(), QStringLiteral("gamma"));
    EXPECT_EQ(field.listIndex(), -1) << "a typed text is no entry";
    field.setListIndex(-1);
    EXPECT_EQ(field.text(), QString());
    const std::vector<std::pair<int, QString>> expected{{1, QStringLiteral("beta")}};
    EXPECT_EQ(clicks, expected);
}

TEST(DialogControls, ATextBoxRaisesChangeOnEveryChangeOfItsText)
{
    Dialog d;
    ControlArray<TextBox> boxes(d.form, QStringLiteral("General_TextBox"));
    boxes.create(0)->move(300, 300, 2400, 315);
    boxes.create(1)->move(300, 900, 2400, 315);
    std::vector<QString> log;
    boxes.events().change = [&](int i) { log.push_back(QStringLiteral("%1:%2").arg(i).arg(boxes[i].text())); };
    d.show();

    boxes[0].setText(QStringLiteral("2.5"));
    boxes[0].setText(QStringLiteral("2.5")); // the same text: no change
    boxes[1].setText(QString());             // empty already
    boxes[1].setFocus();
    QTest::keyClicks(boxes[1].lineEdit(), QStringLiteral("ab"));
    d.key(Qt::Key_Backspace);
    const std::vector<QString> expected{QStringLiteral("0:2.5"), QStringLiteral("1:a"), QStringLiteral("1:ab"), QStringLiteral("1:a")};
    EXPECT_EQ(log, expected);
}

TEST(DialogControls, APasswordBoxMasksItsTextAndTakesAtMostItsLength)
{
    Dialog d;
    TextBox password(d.form, QStringLiteral("password"));
    password.move(300, 300, 3000, 315);
    password.setPasswordChar(QStringLiteral("*"));
    password.setMaxLength(20);
    d.show();
    password.setFocus();
    QTest::keyClicks(password.lineEdit(), QStringLiteral("s3cret"));
    EXPECT_EQ(password.text(), QStringLiteral("s3cret"));
    EXPECT_EQ(password.lineEdit()->displayText(), QStringLiteral("******")) << "masked at once, the last one too";
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(password.lineEdit());
    ASSERT_NE(accessible, nullptr);
    EXPECT_FALSE(accessible->text(QAccessible::Value).contains(QStringLiteral("s3cret")));
    EXPECT_FALSE(accessible->text(QAccessible::Name).contains(QStringLiteral("s3cret")));

    QApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::keyClick(password.lineEdit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(password.lineEdit(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("before")) << "a password is never copied out";

    // Typing and pasting stop at the limit; a text set by code is cut to it.
    QTest::keyClick(password.lineEdit(), Qt::Key_End);
    QTest::keyClicks(password.lineEdit(), QStringLiteral("0123456789abcdef"));
    EXPECT_EQ(password.text(), QStringLiteral("s3cret0123456789abcd"));
    password.setText(QString());
    QApplication::clipboard()->setText(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ"));
    QTest::keyClick(password.lineEdit(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(password.text(), QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
    password.setText(QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ(password.text().size(), 20);
    EXPECT_EQ(password.maxLength(), 20);

    password.setMaxLength(0);
    EXPECT_EQ(password.maxLength(), 0);
    password.setText(QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ(password.text().size(), 26);
    password.setPasswordChar(QString());
    EXPECT_EQ(password.lineEdit()->displayText(), password.text());
}
