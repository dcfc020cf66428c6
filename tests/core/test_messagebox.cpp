#include "core/globals.h"
#include "core/messagebox.h"
#include "core/resourcepictures.h"
#include "platform/win/prompt.h"

#include "testenv.h"
#include "windowtesting.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

using namespace platform::forms;
using windowtesting::centreInWindow;
using windowtesting::inWindow;

namespace {

frmMessage2* openBox()
{
    auto* box = dynamic_cast<frmMessage2*>(Form::fromWidget(QApplication::activeModalWidget()));
    return box && box->isVisible() ? box : nullptr;
}

// Runs ShowMessage while act drives the open box with real input; a guard
// closes the box should the act not end it, so the test never blocks.
int16_t answerWhile(int16_t buttons, const std::function<void(frmMessage2&, QWindow*)>& act, int16_t imageType = 0)
{
    bool acted = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        frmMessage2* box = openBox();
        if (acted || !box)
            return;
        acted = true;
        poll.stop();
        EXPECT_TRUE(QTest::qWaitForWindowActive(box->window(), 5000));
        act(*box, box->window()->windowHandle());
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        ADD_FAILURE() << "the box stayed open";
        if (frmMessage2* box = openBox())
            box->hide();
    });
    poll.start();
    guard.start(15000);
    const int16_t answer = ShowMessage(QStringLiteral("A message"), buttons, imageType);
    EXPECT_TRUE(acted);
    return answer;
}

void click(QWindow* w, const Control& c, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseMove(w, centreInWindow(c));
    QTest::mouseClick(w, button, {}, centreInWindow(c));
}

bool sameFace(const PictureBox& button, int bitmap)
{
    return button.picture().cacheKey() == ProgramBitmap(bitmap).cacheKey();
}

} // namespace

TEST(MessageBox, EachButtonAnswersItsNumber)
{
    struct Case {
        int16_t buttons;
        int index;
        int16_t answer;
    } cases[] = {{1, 2, 1}, {2, 0, 3}, {2, 1, 2}, {3, 0, 3}, {3, 1, 2}, {3, 2, 1}};
    for (const Case& c : cases) {
        const int16_t answer = answerWhile(c.buttons, [&](frmMessage2& box, QWindow* w) { click(w, box.cmdButton1[c.index]); });
        EXPECT_EQ(answer, c.answer) << c.buttons << " buttons, button " << c.index;
        EXPECT_EQ(DialogCancelled, c.answer);
    }
}

TEST(MessageBox, KeysActOnTheFocusedButton)
{
    struct Case {
        int16_t buttons;
        std::vector<Qt::Key> keys;
        int16_t answer;
    } cases[] = {
        {1, {Qt::Key_Return}, 1},
        {2, {Qt::Key_Return}, 3},               // the first button has the focus
        {2, {Qt::Key_Down, Qt::Key_Return}, 2}, // Down moves on like Tab
        {3, {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Enter}, 2},
        {3, {Qt::Key_Up, Qt::Key_Return}, 1},   // Up from the first wraps to the last
        {2, {Qt::Key_Escape}, 1},
    };
    for (const Case& c : cases) {
        const int16_t answer = answerWhile(c.buttons, [&](frmMessage2&, QWindow* w) {
            for (Qt::Key k : c.keys) {
                QTest::keyClick(w, k);
                QCoreApplication::processEvents(); // the queued Tab of an arrow key
            }
        });
        EXPECT_EQ(answer, c.answer) << c.buttons << " buttons, " << c.keys.size() << " keys";
    }
}

TEST(MessageBox, ClosingTheWindowOrClickingItsPicturesAnswersOne)
{
    EXPECT_EQ(answerWhile(2, [](frmMessage2& box, QWindow*) { box.window()->close(); }), 1);
    for (int picture : {0, 1, 2})
        EXPECT_EQ(answerWhile(3, [&](frmMessage2& box, QWindow* w) { click(w, box.DisplayImage[picture]); }), 1) << picture;
    // A right click on a button does nothing; the box then closes with 1.
    EXPECT_EQ(answerWhile(2, [](frmMessage2& box, QWindow* w) {
                  click(w, box.cmdButton1[0], Qt::RightButton);
                  EXPECT_TRUE(box.isVisible());
                  box.window()->close();
              }),
              1);
    // A click on a caption is a click on its button.
    EXPECT_EQ(answerWhile(2, [](frmMessage2& box, QWindow* w) { click(w, box.cmdCaption[1]); }), 2);
}

TEST(MessageBox, APressDraggedOffTheButtonDoesNothingUnlessItComesBack)
{
    ASSERT_FALSE(ProgramBitmap(101).isNull());
    ASSERT_NE(ProgramBitmap(101).cacheKey(), ProgramBitmap(104).cacheKey());
    const int16_t answer = answerWhile(2, [](frmMessage2& box, QWindow* w) {
        PictureBox& yes = box.cmdButton1[0];
        const QPoint outside = inWindow(yes, {-40, -20});
        QTest::mouseMove(w, centreInWindow(yes));
        EXPECT_TRUE(sameFace(yes, 102)); // hover
        QTest::mousePress(w, Qt::LeftButton, {}, centreInWindow(yes));
        EXPECT_TRUE(sameFace(yes, 104)); // pressed
        QTest::mouseMove(w, outside);
        EXPECT_TRUE(sameFace(yes, 102)); // held off the focused button
        QTest::mouseRelease(w, Qt::LeftButton, {}, outside);
        EXPECT_TRUE(box.isVisible());
        EXPECT_TRUE(sameFace(yes, 103));

        // Pressed again, off and back on: the release then acts.
        QTest::mouseMove(w, centreInWindow(yes));
        QTest::mousePress(w, Qt::LeftButton, {}, centreInWindow(yes));
        QTest::mouseMove(w, outside);
        QTest::mouseMove(w, centreInWindow(yes));
        EXPECT_TRUE(sameFace(yes, 104));
        QTest::mouseRelease(w, Qt::LeftButton, {}, centreInWindow(yes));
    });
    EXPECT_EQ(answer, 3);
}

TEST(MessageBox, ButtonsAreCentredAtEachScale)
{
    struct Case {
        float scale;
        int16_t buttons;
        std::vector<double> lefts; // of buttons 0, 1, 2; -1 hidden
    } cases[] = {
        {1.0f, 1, {-1, -1, 2400}},
        {1.0f, 2, {1590, 3210, -1}},
        {1.0f, 3, {780, 2400, 4020}},
        {1.25f, 1, {-1, -1, 2212.5}},
        {1.25f, 2, {1215, 3210, -1}},
        {1.25f, 3, {217.5, 2212.5, 4207.5}},
        {1.0f, 0, {-1, -1, -1}},
        {1.0f, 4, {-1, -1, -1}},
    };
    for (const Case& c : cases) {
        windowtesting::ScaleFactor scale(c.scale);
        frmMessage2 box;
        box.setNumOfButtons(c.buttons);
        box.load();
        EXPECT_EQ(box.scaleWidth(), 6300);
        for (int i = 0; i <= 2; ++i) {
            const PictureBox& b = box.cmdButton1[i];
            EXPECT_EQ(b.width(), 1500 * c.scale);
            EXPECT_EQ(b.height(), 345 * c.scale);
            EXPECT_EQ(b.visible(), c.lefts[i] >= 0) << c.scale << "/" << c.buttons << "/" << i;
            if (c.lefts[i] >= 0) {
                EXPECT_EQ(b.left(), c.lefts[i]) << c.scale << "/" << c.buttons << "/" << i;
            }
            // Captions are centred on their buttons.
            const auto& cap = box.cmdCaption[i];
            EXPECT_EQ(cap.left(), (b.width() - cap.width()) / 2);
            EXPECT_EQ(cap.top(), (box.cmdButton1[0].height() - box.cmdCaption[0].height()) / 2 - 15);
        }
    }
}

TEST(MessageBox, CaptionsComeFromTheLanguageFileAndNumbersMustBeNumeric)
{
    const QString dir = testenv::freshDir(QStringLiteral("lang"));
    const QString file = dir + QStringLiteral("/Test.ini");
    testenv::writeFile(file, "[BUTTON]\r\n4101=Gut\r\n4103=Ja\r\n4104=Nein\r\n");
    const QString saved = LanguageFilePath;
    LanguageFilePath = file;
    {
        frmMessage2 box;
        box.setNumOfButtons(QStringLiteral("1"));
        box.setNumOfButtons(QStringLiteral("two")); // not numeric: kept
        box.setImageType(QStringLiteral("x"));
        box.setMessage(QStringLiteral("text"));
        box.load();
        EXPECT_EQ(box.NumOfButtons(), 1);
        EXPECT_EQ(box.ImageType(), 0);
        EXPECT_EQ(box.cmdCaption[0].caption(), QStringLiteral("Ja"));
        EXPECT_EQ(box.cmdCaption[1].caption(), QStringLiteral("Nein"));
        EXPECT_EQ(box.cmdCaption[2].caption(), QStringLiteral("Gut")); // the one-button layout says OK
        EXPECT_EQ(box.Label[1].caption(), QStringLiteral("text"));
    }
    {
        // The seam sees the captions of the layout asked for.
        QStringList choices;
        platform::prompt::setResponder([&](const platform::prompt::Prompt& p) -> std::optional<platform::prompt::Answer> {
            choices = p.choices;
            return platform::prompt::Answer{true, 3, {}};
        });
        EXPECT_EQ(ShowMessage(QStringLiteral("q"), 3, 1), 3);
        EXPECT_EQ(choices, (QStringList{QStringLiteral("Ja"), QStringLiteral("Nein"), QStringLiteral("Cancel")}));
        platform::prompt::setResponder({});
    }
    LanguageFilePath = saved;
}

TEST(MessageBox, TheSeamsAnswerOtherThanYesOrNoReadsAsOne)
{
    for (int code : {0, 1, 2, 3, 4, -1}) {
        platform::prompt::setResponder([code](const platform::prompt::Prompt&) -> std::optional<platform::prompt::Answer> {
            return platform::prompt::Answer{true, code, {}};
        });
        EXPECT_EQ(ShowMessage(QStringLiteral("q"), 2, 0), (code == 2 || code == 3) ? code : 1) << code;
    }
    platform::prompt::setResponder({});
}

TEST(MessageBox, PicturesFollowTheImageType)
{
    for (int16_t type : {0, 1, 2, 3, 4, -1}) {
        frmMessage2 box;
        box.setImageType(type);
        box.setNumOfButtons(int16_t(1));
        box.load();
        const bool shown = type >= 0 && type <= 3;
        EXPECT_EQ(box.DisplayImage[0].picture().isNull(), !shown) << type;
        if (shown) {
            EXPECT_EQ(box.DisplayImage[0].picture().cacheKey(), ResourcePicture(101 + type, QStringLiteral("MESSAGE")).cacheKey());
            EXPECT_EQ(box.DisplayImage[0].width(), 480);
        }
        EXPECT_FALSE(box.DisplayImage[1].picture().isNull());
        EXPECT_EQ(box.DisplayImage[2].picture().cacheKey(), box.DisplayImage[1].picture().cacheKey());
        EXPECT_TRUE(box.cmdButton1[2].picture().cacheKey() == box.cmdButton1[0].picture().cacheKey());
    }
}

TEST(MessageBox, ScreenshotsOfEachPictureTypeAndButtonSet)
{
    const QString texts[] = {
        QStringLiteral("The page was saved."),
        QStringLiteral("The file could not be opened. Check that the file exists and that you may read it."),
        QStringLiteral("Do you want to remove all items of the list?"),
        QStringLiteral("The download is still running. Stop it and close the window?"),
    };
    for (int16_t type = 0; type <= 3; ++type) {
        for (int16_t buttons = 1; buttons <= 3; ++buttons) {
            frmMessage2 box;
            box.setImageType(type);
            box.setNumOfButtons(buttons);
            box.setMessage(texts[type]);
            box.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(box.window(), 5000));
            EXPECT_TRUE(windowtesting::saveScreenshot(
                box.window(), QStringLiteral("message-type%1-buttons%2.png").arg(type).arg(buttons)));
            box.unload();
        }
    }
}
