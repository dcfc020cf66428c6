#include "core/aboutbox.h"
#include "core/globals.h"
#include "core/resourcepictures.h"
#include "core/waitwindow.h"
#include "platform/win/prompt.h"

#include "testenv.h"
#include "windowtesting.h"

#include <QApplication>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

using namespace platform::forms;
using windowtesting::centreInWindow;

TEST(WaitWindow, ShowingTwiceKeepsOneWindowWithTheSecondText)
{
    Form main;
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.window(), 5000));
    ShowWaitWindow(true, QStringLiteral("first"));
    frmMessage1* first = WaitWindow();
    ASSERT_NE(first, nullptr);
    ShowWaitWindow(true, QStringLiteral("Remove History ...."));
    EXPECT_EQ(WaitWindow(), first);
    EXPECT_EQ(first->Message(), QStringLiteral("Remove History ...."));
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(first->DisplayImage[0].picture().isNull());
    EXPECT_FALSE(first->DisplayImage[1].picture().isNull());
    EXPECT_TRUE(QTest::qWaitForWindowExposed(first->window(), 5000));
    EXPECT_TRUE(windowtesting::saveScreenshot(first->window(), QStringLiteral("wait-window.png")));

    // The notice leaves the activation where it was: the busy pointer is
    // the working window's, and it goes back with the notice.
    EXPECT_EQ(Form::activeForm(), &main);
    EXPECT_EQ(main.mousePointer(), 11);
    ShowWaitWindow(false, QString());
    EXPECT_EQ(WaitWindow(), nullptr);
    EXPECT_EQ(main.mousePointer(), 0);
    main.unload();
}

TEST(WaitWindow, HidingWithoutAWindowStillRestoresThePointer)
{
    Form main;
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.window(), 5000));
    main.setMousePointer(11);
    ShowWaitWindow(false, QString());
    EXPECT_EQ(main.mousePointer(), 0);
    EXPECT_EQ(WaitWindow(), nullptr);
    main.unload();
}

// A program that ends while the notice is still open: the window must go
// with the application object, not after it at the very end of the process.
// The case runs itself again as a child that leaves the window open.
TEST(WaitWindow, AProgramEndingWithTheWindowOpenEndsCleanly)
{
    if (qEnvironmentVariableIsSet("Z5_TEST_WAIT_CHILD")) {
        ShowWaitWindow(true, QStringLiteral("left open"));
        ASSERT_NE(WaitWindow(), nullptr);
        return;
    }
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("Z5_TEST_WAIT_CHILD"), QStringLiteral("1"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=WaitWindow.AProgramEndingWithTheWindowOpenEndsCleanly")});
    ASSERT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardError().toStdString();
}

TEST(AboutBox, ShowsVersionAndBuildWithEnglishWordsWhenTheSectionIsMissing)
{
    const QString file = testenv::freshDir(QStringLiteral("lang")) + QStringLiteral("/Other.ini");
    testenv::writeFile(file, "[BUTTON]\r\n4101=OK\r\n");
    const QString saved = LanguageFilePath;
    LanguageFilePath = file;
    frmSplash box;
    box.load();
    EXPECT_EQ(box.Label[1].caption(), QStringLiteral("Version 2.0"));
    EXPECT_EQ(box.Label[2].caption(), QStringLiteral("Build 785"));
    EXPECT_FALSE(box.cmdOK.visible()); // only the menu's About shows it
    testenv::writeFile(file, "[FORM-SPLASH]\r\n6301=Fassung\r\n6302=Bau\r\n");
    frmSplash translated;
    translated.load();
    EXPECT_EQ(translated.Label[1].caption(), QStringLiteral("Fassung 2.0"));
    EXPECT_EQ(translated.Label[2].caption(), QStringLiteral("Bau 785"));
    LanguageFilePath = saved;
}

namespace {

// Opens the about box as the menu does and plays with its button; then a
// click on the button or on the window closes it.
void playWithTheAboutBox(bool onButton)
{
    {
        bool checked = false;
        QTimer::singleShot(0, [&] {
            auto* box = dynamic_cast<frmSplash*>(Form::fromWidget(QApplication::activeModalWidget()));
            ASSERT_NE(box, nullptr);
            ASSERT_TRUE(QTest::qWaitForWindowActive(box->window(), 5000));
            QWindow* w = box->window()->windowHandle();
            const auto face = [&](int id) { return box->cmdOK.picture().cacheKey() == ProgramBitmap(id).cacheKey(); };
            EXPECT_TRUE(box->cmdOK.visible());
            EXPECT_TRUE(face(124));
            // A move to where the pointer already is (an earlier box left it
            // there) is no move at all: start from elsewhere.
            QTest::mouseMove(w, QPoint(10, 10));
            QTest::mouseMove(w, centreInWindow(box->cmdOK));
            EXPECT_TRUE(face(125));
            EXPECT_TRUE(box->Hovering);
            QTest::mouseMove(w, QPoint(10, 10));
            EXPECT_TRUE(face(124));
            EXPECT_FALSE(box->Hovering);
            if (onButton) {
                EXPECT_TRUE(windowtesting::saveScreenshot(box->window(), QStringLiteral("about-box.png")));
                QTest::mouseMove(w, centreInWindow(box->cmdOK));
                QTest::mousePress(w, Qt::LeftButton, {}, centreInWindow(box->cmdOK));
                EXPECT_TRUE(face(126));
                QTest::mouseRelease(w, Qt::LeftButton, {}, centreInWindow(box->cmdOK));
            } else {
                QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(30, 150));
            }
            checked = true;
        });
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] {
            ADD_FAILURE() << "the about box stayed open";
            if (Form* f = Form::fromWidget(QApplication::activeModalWidget()))
                f->hide();
        });
        guard.start(15000);
        ShowAboutBox();
        EXPECT_TRUE(checked);
        EXPECT_TRUE(guard.isActive());
    }
}

} // namespace

TEST(AboutBox, TheButtonFollowsThePointerAndItsClickCloses)
{
    playWithTheAboutBox(true);
}

TEST(AboutBox, AClickOnTheWindowCloses)
{
    playWithTheAboutBox(false);
}

TEST(AboutBox, TheSeamAnswersForTheWindow)
{
    QString kind;
    platform::prompt::setResponder([&](const platform::prompt::Prompt& p) -> std::optional<platform::prompt::Answer> {
        kind = p.kind;
        return platform::prompt::Answer{};
    });
    ShowAboutBox();
    platform::prompt::setResponder({});
    EXPECT_EQ(kind, QStringLiteral("about"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}
