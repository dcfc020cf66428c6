#include "core/globals.h"
#include "core/hooksubclass.h"
#include "platform/base/paths.h"
#include "tests/platform/windowsystem.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include "testenv.h"

#include <gtest/gtest.h>

#include <vector>

using namespace platform::winproc;

namespace {

constexpr uint32_t kMsg = 0x0400;

std::vector<std::string> journal;

struct Client : clsISubclass {
    std::string name;
    int32_t mode;
    intptr_t answer;
    uint32_t seenCurrent = 0;
    Client(std::string n, int32_t m, intptr_t a) : name(std::move(n)), mode(m), answer(a) {}
    int32_t MsgResponse() override { return mode; }
    intptr_t WindowProc(QWidget*, uint32_t, uintptr_t, intptr_t) override
    {
        seenCurrent = CurrentMsgResponse();
        journal.push_back(name);
        return answer;
    }
};

// A window whose own procedure answers 99 and notes that it ran.
struct Window {
    QWidget w;
    WindowProc base;
    Window()
    {
        setWindowProc(&w, [](QWidget*, uint32_t, uintptr_t, intptr_t) -> intptr_t {
            journal.push_back("old");
            return 99;
        });
        base = windowProc(&w);
    }
};

} // namespace

TEST(Subclass, ClientsRunInAttachOrderWithTheirResponseModes)
{
    struct Case {
        int32_t firstMode, lastMode;
        std::vector<std::string> order;
        intptr_t result;
    } cases[] = {
        {0, 0, {"c1", "c2"}, 2},
        {2, 0, {"old", "c1", "c2"}, 2},
        {0, 1, {"c1", "c2", "old"}, 99},
        // The previous procedure runs once per message, even when both ends ask for it.
        {2, 1, {"old", "c1", "c2"}, 2},
    };
    for (const Case& c : cases) {
        Window win;
        Client c1("c1", c.firstMode, 1), c2("c2", c.lastMode, 2);
        ASSERT_FALSE(AttachMessage(&c1, &win.w, kMsg));
        ASSERT_FALSE(AttachMessage(&c2, &win.w, kMsg));
        journal.clear();
        EXPECT_EQ(sendMessage(&win.w, kMsg, 0, 0), c.result);
        EXPECT_EQ(journal, c.order);
        EXPECT_EQ(c1.seenCurrent, kMsg);
        // Another message has no client: only the previous procedure.
        journal.clear();
        EXPECT_EQ(sendMessage(&win.w, kMsg + 1, 0, 0), 99);
        EXPECT_EQ(journal, std::vector<std::string>{"old"});
        DetachMessage(&c1, &win.w, kMsg);
        DetachMessage(&c2, &win.w, kMsg);
    }
}

TEST(Subclass, DetachingTheLastClientRestoresThePreviousProcedure)
{
    Window win;
    Client a("a", 0, 5), b("b", 0, 6);
    ASSERT_FALSE(AttachMessage(&a, &win.w, kMsg));
    ASSERT_FALSE(AttachMessage(&b, &win.w, kMsg + 1));
    DetachMessage(&a, &win.w, kMsg);
    journal.clear();
    EXPECT_EQ(sendMessage(&win.w, kMsg + 1, 0, 0), 6) << "one attachment left: still subclassed";
    // Detaching again, or from a message the client never had, leaves b's
    // attachment in place.
    DetachMessage(&a, &win.w, kMsg);
    DetachMessage(&a, &win.w, kMsg + 1);
    DetachMessage(&a, &win.w, kMsg + 2);
    EXPECT_EQ(sendMessage(&win.w, kMsg + 1, 0, 0), 6) << "b is still attached";
    DetachMessage(&b, &win.w, kMsg + 1);
    journal.clear();
    EXPECT_EQ(sendMessage(&win.w, kMsg + 1, 0, 0), 99);
    EXPECT_EQ(journal, std::vector<std::string>{"old"});

    // A client that answers for itself may still call the window's own handling.
    struct Polite : clsISubclass {
        intptr_t WindowProc(QWidget* h, uint32_t m, uintptr_t w, intptr_t l) override
        {
            return CallOldWindowProc(h, m, w, l) + 1;
        }
    } polite;
    ASSERT_FALSE(AttachMessage(&polite, &win.w, kMsg));
    EXPECT_EQ(sendMessage(&win.w, kMsg, 0, 0), 100);
    DetachMessage(&polite, &win.w, kMsg);
}

TEST(Subclass, AttachErrorsCarryTheirNumbersAndDescriptions)
{
    QCoreApplication::setApplicationName(QStringLiteral("Z5"));
    Window win;
    Client a("a", 0, 0);
    ASSERT_FALSE(AttachMessage(&a, &win.w, kMsg));
    const auto twice = AttachMessage(&a, &win.w, kMsg);
    ASSERT_TRUE(twice);
    EXPECT_EQ(twice->Number, int32_t(0x80040000u | 13082u));
    EXPECT_EQ(twice->Source, QStringLiteral("Z5.WindowProc"));
    EXPECT_EQ(twice->Description, QStringLiteral("Message already handled by another class"));
    // The refused attachment is not counted: one detach restores the window.
    DetachMessage(&a, &win.w, kMsg);
    journal.clear();
    sendMessage(&win.w, kMsg, 0, 0);
    EXPECT_EQ(journal, std::vector<std::string>{"old"});

    const auto invalid = AttachMessage(&a, nullptr, kMsg);
    ASSERT_TRUE(invalid);
    EXPECT_EQ(invalid->Number, int32_t(0x80040000u | 13083u));
    EXPECT_EQ(invalid->Description, QStringLiteral("Invalid window"));

    const struct {
        int32_t number;
        const char* description;
    } texts[] = {{13081, "Can't subclass window"},
                 {13082, "Message already handled by another class"},
                 {13083, "Invalid window"},
                 {13084, "Can't modify external window"}};
    for (const auto& t : texts) {
        const SubclassError e = MakeSubclassError(t.number);
        EXPECT_EQ(e.Number, int32_t(0x80040000u | uint32_t(t.number)));
        EXPECT_EQ(e.Description, QString::fromLatin1(t.description));
    }
    const SubclassError small = MakeSubclassError(5);
    EXPECT_EQ(small.Number, 5);
    EXPECT_TRUE(small.Source.isEmpty());
    EXPECT_TRUE(small.Description.isEmpty());
}

TEST(Subclass, TheSystemCloseCommandOnlyFlagsCloseRequested)
{
    QWidget main;
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main, 5000));
    CloseRequested = 0;
    SubclassMainWindow(&main);

    testenv::closeFromWindowManager(main.windowHandle());
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(CloseRequested, -1);

    CloseRequested = 0;
    sendMessage(&main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(CloseRequested, -1);

    // The program's own close (the unload) still closes.
    CloseRequested = 0;
    main.close();
    EXPECT_FALSE(main.isVisible());
    EXPECT_EQ(CloseRequested, 0);

    UnsubclassMainWindow(&main);
    main.show();
    testenv::closeFromWindowManager(main.windowHandle());
    EXPECT_FALSE(main.isVisible());
}

// ---- Thread hooks ----------------------------------------------------------

namespace {

struct HookClient : clsIWindowsHook {
    std::string name;
    bool consume = false;
    HookClient(std::string n) : name(std::move(n)) {}
    void HookProc(int32_t, uintptr_t, intptr_t, bool& bConsume) override
    {
        journal.push_back(name);
        EXPECT_EQ(CurrentHookType, WH_MOUSE);
        bConsume = consume;
    }
};

} // namespace

TEST(ThreadHook, SubscribersInOrderConsumeReuseOfSlotsAndUnhook)
{
    HookClient c1("c1"), c2("c2"), c3("c3"), c4("c4");
    ASSERT_TRUE(InstallThreadHook(&c1, WH_MOUSE));
    ASSERT_TRUE(InstallThreadHook(&c2, WH_MOUSE));
    ASSERT_TRUE(InstallThreadHook(&c2, WH_MOUSE)) << "a second install of the same client";
    ASSERT_TRUE(InstallThreadHook(&c3, WH_MOUSE));
    EXPECT_NE(HookHandles[WH_MOUSE + 1], 0u);

    journal.clear();
    EXPECT_EQ(HookDispatcher(WH_MOUSE, 0, 0, 0), 0);
    EXPECT_EQ(journal, (std::vector<std::string>{"c1", "c2", "c3"}));
    EXPECT_EQ(CurrentHookType, 0);

    c1.consume = true;
    journal.clear();
    EXPECT_EQ(HookDispatcher(WH_MOUSE, 0, 0, 0), 1);
    EXPECT_EQ(journal, std::vector<std::string>{"c1"});
    c1.consume = false;

    // The freed slot of c2 goes to c4, which then runs in c2's place.
    RemoveThreadHook(&c2, WH_MOUSE);
    EXPECT_EQ(HookSubscribers[1].Client, nullptr);
    EXPECT_EQ(HookSubscribers[1].HookType, -2);
    ASSERT_TRUE(InstallThreadHook(&c4, WH_MOUSE));
    EXPECT_EQ(HookSubscribers.size(), 3u);
    journal.clear();
    HookDispatcher(WH_MOUSE, 0, 0, 0);
    EXPECT_EQ(journal, (std::vector<std::string>{"c1", "c4", "c3"}));

    for (HookClient* c : {&c1, &c3, &c4})
        RemoveThreadHook(c, WH_MOUSE);
    EXPECT_EQ(HookHandles[WH_MOUSE + 1], 0u) << "the last client unhooks the hook";
    ASSERT_TRUE(InstallThreadHook(&c1, WH_MOUSE));
    EXPECT_NE(HookHandles[WH_MOUSE + 1], 0u) << "and the next one installs it again";
    RemoveThreadHook(&c1, WH_MOUSE);

    EXPECT_FALSE(InstallThreadHook(&c1, WH_CBT));
    for (const HookSubscriber& s : HookSubscribers)
        EXPECT_NE(s.Client, &c1);
}

TEST(ThreadHook, AConsumedMouseNotificationReachesNoWidget)
{
    struct Counter : QWidget {
        int presses = 0;
        void mousePressEvent(QMouseEvent*) override { ++presses; }
    } w;
    w.resize(100, 100);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w, 5000));
    HookClient first("first"), second("second");
    first.consume = true;
    ASSERT_TRUE(InstallThreadHook(&first, WH_MOUSE));
    ASSERT_TRUE(InstallThreadHook(&second, WH_MOUSE));
    QTest::mouseMove(w.windowHandle(), QPoint(10, 10));
    journal.clear();
    QTest::mousePress(w.windowHandle(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(w.presses, 0);
    EXPECT_EQ(journal, std::vector<std::string>{"first"});
    first.consume = false;
    QTest::mouseRelease(w.windowHandle(), Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mousePress(w.windowHandle(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(w.presses, 1);
    QTest::mouseRelease(w.windowHandle(), Qt::LeftButton, {}, QPoint(10, 10));
    RemoveThreadHook(&first, WH_MOUSE);
    RemoveThreadHook(&second, WH_MOUSE);
}

// ---- Dialog hook -----------------------------------------------------------

TEST(DialogHook, ActsOnEveryTopLevelWindowAtItsActivation)
{
    const QString folder = QDir::tempPath() + QStringLiteral("/prog");
    QDir().mkpath(folder + QStringLiteral("/Common"));
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::blue);
    ASSERT_TRUE(icon.save(folder + QStringLiteral("/Common/Z5_1_16.ico"), "ICO"));
    platform::paths::setProgramFolder(folder);

    QWidget main;
    InstallDialogHook(&main);
    EXPECT_TRUE(CbtHookActive);

    struct Case {
        const char* title;
        const char* label;
        int16_t groupOpening;
        bool closed;
        const char* titleAfter;
    } cases[] = {
        {"Internet Explorer Script Error", "", 0, true, nullptr},
        {"Error", "Stack overflow at line: 12", 0, true, nullptr},
        {"Error", "A long text that goes on and on past fifty letters: Stack overflow at line", 0, false, "Error"},
        {"Web Page Dialog", "", 0, false, "Web Page Dialog"},
        {"Web Page Dialog", "", -1, true, nullptr},
        {"Microsoft INTERNET EXPLORER", "", 0, false, "Z5 Browser"},
        {"Other window", "", 0, false, "Other window"},
    };
    for (const Case& c : cases) {
        GroupOpening = c.groupOpening;
        QWidget w;
        w.setWindowTitle(QString::fromLatin1(c.title));
        auto* layout = new QVBoxLayout(&w);
        layout->addWidget(new QLabel(QString::fromLatin1(c.label)));
        w.show();
        w.activateWindow();
        EXPECT_TRUE(testenv::waitFor([&] { return QApplication::activeWindow() == &w || !w.isVisible(); })) << c.title;
        EXPECT_EQ(!w.isVisible(), c.closed) << c.title;
        if (!c.closed) {
            EXPECT_EQ(w.windowTitle(), QString::fromLatin1(c.titleAfter));
            EXPECT_FALSE(w.windowIcon().isNull()) << "the program's small icon";
        }
    }
    GroupOpening = 0;

    // A message box: its text label, not its icon label, is the static text.
    {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Error"), QStringLiteral("Stack overflow at line: 3"));
        box.show();
        box.activateWindow();
        EXPECT_TRUE(testenv::waitFor([&] { return !box.isVisible(); }));
    }

    RemoveDialogHook();
    EXPECT_FALSE(CbtHookActive);
    QWidget after;
    after.setWindowTitle(QStringLiteral("Internet Explorer Script Error"));
    after.show();
    after.activateWindow();
    EXPECT_TRUE(testenv::waitFor([&] { return QApplication::activeWindow() == &after; }));
    EXPECT_TRUE(after.isVisible());
}
