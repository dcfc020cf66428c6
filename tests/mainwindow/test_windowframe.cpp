// The skinned frame of the main window in this process: real presses on the
// frame pieces hand moves and resizes to the window system (recorded here),
// the pointer takes the sizing shapes, and the window maximises, restores
// and goes full screen and back.

#include "core/globals.h"
#include "core/settingsstore.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/windowframe.h"
#include "mainwindow/windowplacement.h"
#include "platform/base/com.h"
#include "platform/win/windowservices.h"

#include "recordingservices.h"
#include "pointerentry.h"
#include "testenv.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace com = platform::com;
namespace win = platform::windows;

namespace {

const QString kMorvane = QStringLiteral(Z5_STAGE_DIR "/Skin/SK_Morvane_1.dll");

// Keeps a picture of the window where the build's screenshots go.
bool saveShot(QWidget* window, const QString& name)
{
    const QString dir = qEnvironmentVariableIsSet("Z5_SCREENSHOT_DIR") ? qEnvironmentVariable("Z5_SCREENSHOT_DIR")
                                                                       : QStringLiteral(Z5_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    return window->grab().save(QDir(dir).filePath(name));
}

struct Request {
    bool move = false;
    Qt::Edges edges;
};

class WindowFrame : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(com::registerServer(kMorvane).status, com::RegistrationStatus::Done);
        SkinName = QStringLiteral("Morvane 1");
        LanguageFilePath = QStringLiteral(Z5_SOURCE_DIR "/data/Language/English.ini");
        SaveZ5Setting(HiveCurrentUser, QStringLiteral("DIS_MAXIMIZE"), QStringLiteral("False"));
        win::setSystemMoveRecorder([this](QWidget*, bool move, Qt::Edges edges) { requests.push_back({move, edges}); });
    }
    void TearDown() override
    {
        win::setSystemMoveRecorder({});
        win::setTaskbarProvider({});
    }

    frmExplorer& open()
    {
        window = std::make_unique<frmExplorer>(services);
        window->show();
        window->move(0, 0, 12000, 9000);
        window->window()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window->window(), 5000));
        window->Form_Resize();
        EXPECT_TRUE(testenv::pointerEntersFromElsewhere());
        return *window;
    }

    QWindow* handle() const { return window->window()->windowHandle(); }
    // An x (twips) of piece i where the piece itself is hit at both heights:
    // other chrome lies over parts of the title bar.
    double freeX(int i, double y1, double y2) const
    {
        QWidget* piece = window->SkinPiece[i].widget();
        for (int px = 0; px < piece->width(); px += 4) {
            const auto hit = [&](double y) {
                return window->window()->childAt(piece->mapTo(window->window(), QPoint(px, int(y / 15)))) == piece;
            };
            if (hit(y1) && hit(y2))
                return px * 15.0;
        }
        return -1;
    }
    // The window point of x, y twips inside piece i; the piece must be the
    // widget a user hits there.
    QPoint at(int i, double x, double y) const
    {
        QWidget* piece = window->SkinPiece[i].widget();
        const QPoint local(static_cast<int>(std::floor(x / 15.0)), static_cast<int>(std::floor(y / 15.0)));
        const QPoint p = piece->mapTo(window->window(), local);
        EXPECT_EQ(window->window()->childAt(p), piece) << "piece " << i << " at " << x << "," << y;
        return p;
    }

    ServiceSet services;
    RecordingServices fakes{services};
    std::unique_ptr<frmExplorer> window;
    std::vector<Request> requests;
};

} // namespace

TEST(FrameRules, HitCodesAndPointersFollowTheSizingBand)
{
    // Piece sizes: corners 1200 x 450, edges as wide as the window.
    const struct {
        const char* name;
        int index;
        double x, y, w, h, title;
        int hit, pointer;
    } cases[] = {
        {"top-left corner", 0, 50, 50, 1200, 450, 450, 13, 8},
        {"top-left, top band", 0, 150, 50, 1200, 450, 450, 12, 7},
        {"top-left, left band", 0, 50, 150, 1200, 450, 450, 10, 9},
        {"top-left inside", 0, 100, 100, 1200, 450, 450, 0, 0},
        {"top-right corner", 1, 1150, 50, 1200, 450, 450, 14, 6},
        {"top-right, right band", 1, 1150, 300, 1200, 450, 450, 11, 9},
        {"top-right below the band drags", 1, 500, 200, 1200, 600, 450, 2, 0},
        {"top-right below the title", 1, 500, 500, 1200, 600, 450, 0, 0},
        {"top-right, top band", 1, 500, 50, 1200, 450, 450, 12, 7},
        {"bottom-right corner", 2, 170, 700, 180, 750, 450, 17, 8},
        {"bottom-right, bottom band", 2, 10, 700, 180, 750, 450, 15, 7},
        {"bottom-right, right band", 2, 170, 300, 180, 750, 450, 11, 9},
        {"bottom-left corner", 3, 50, 700, 180, 750, 450, 16, 6},
        {"bottom-left, left band", 3, 50, 300, 180, 750, 450, 10, 9},
        {"bottom-left inside", 3, 150, 300, 180, 750, 450, 0, 0},
        {"title top band", 4, 3000, 99, 8000, 450, 450, 12, 7},
        {"title drags", 4, 3000, 100, 8000, 450, 450, 2, 0},
        {"menu strip below the title height", 8, 300, 460, 2000, 500, 450, 0, 0},
        {"further title piece drags", 9, 300, 200, 2000, 450, 450, 2, 0},
        {"right edge", 5, 10, 2000, 75, 5000, 450, 11, 9},
        {"bottom edge band", 6, 4000, 700, 9000, 750, 450, 15, 7},
        {"bottom edge above the band", 6, 4000, 649, 9000, 750, 450, 0, 0},
        {"left edge", 7, 10, 2000, 75, 5000, 450, 10, 9},
        {"no such piece", 10, 10, 10, 75, 75, 450, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FrameHitCode(c.index, c.x, c.y, c.w, c.h, c.title), c.hit) << c.name;
        EXPECT_EQ(FramePointer(c.index, c.x, c.y, c.w, c.h), c.pointer) << c.name;
    }
}

TEST_F(WindowFrame, RealPressesOnThePiecesHandOverResizesAndMovesAndPointersFollow)
{
    frmExplorer& f = open();
    const auto& p = f.SkinPiece;
    const double w1 = p[1].width(), w2 = p[2].width(), h2 = p[2].height(), h3 = p[3].height();
    const double h6 = p[6].height();
    const double titleX = freeX(4, 20, 200);
    ASSERT_GE(titleX, 0);
    const struct {
        const char* name;
        int index;
        double x, y;
        Qt::MouseButton button;
        bool move;
        Qt::Edges edges;
        Qt::CursorShape cursor;
    } cases[] = {
        {"top-left corner", 0, 20, 20, Qt::LeftButton, false, Qt::TopEdge | Qt::LeftEdge, Qt::SizeFDiagCursor},
        {"top-left, left band", 0, 20, 200, Qt::LeftButton, false, Qt::LeftEdge, Qt::SizeHorCursor},
        {"top-right corner", 1, w1 - 20, 20, Qt::LeftButton, false, Qt::TopEdge | Qt::RightEdge, Qt::SizeBDiagCursor},
        {"top-right, right band, right button", 1, w1 - 20, 200, Qt::RightButton, false, Qt::RightEdge,
         Qt::SizeHorCursor},
        {"bottom-right corner", 2, w2 - 20, h2 - 20, Qt::LeftButton, false, Qt::BottomEdge | Qt::RightEdge,
         Qt::SizeFDiagCursor},
        {"bottom-left corner", 3, 20, h3 - 20, Qt::MiddleButton, false, Qt::BottomEdge | Qt::LeftEdge,
         Qt::SizeBDiagCursor},
        {"title bar top band", 4, titleX, 20, Qt::LeftButton, false, Qt::TopEdge, Qt::SizeVerCursor},
        {"title bar", 4, titleX, 200, Qt::LeftButton, true, {}, Qt::ArrowCursor},
        {"right edge", 5, 30, 2000, Qt::LeftButton, false, Qt::RightEdge, Qt::SizeHorCursor},
        {"bottom edge band", 6, 3000, h6 - 20, Qt::LeftButton, false, Qt::BottomEdge, Qt::SizeVerCursor},
        {"left edge", 7, 30, 2000, Qt::LeftButton, false, Qt::LeftEdge, Qt::SizeHorCursor},
    };
    for (const auto& c : cases) {
        requests.clear();
        const QPoint point = at(c.index, c.x, c.y);
        QTest::mouseMove(handle(), point);
        QApplication::processEvents();
        EXPECT_EQ(p[c.index].widget()->cursor().shape(), c.cursor) << c.name;
        QTest::mousePress(handle(), c.button, {}, point);
        QTest::mouseRelease(handle(), c.button, {}, point);
        ASSERT_EQ(requests.size(), 1u) << c.name;
        EXPECT_EQ(requests[0].move, c.move) << c.name;
        EXPECT_EQ(requests[0].edges, c.edges) << c.name;
        EXPECT_FALSE(f.Placement().FrameHandOver) << c.name;
    }

    // Inside the bottom edge, above its band: nothing.
    requests.clear();
    QTest::mouseClick(handle(), Qt::LeftButton, {}, at(6, 3000, h6 - 200));
    EXPECT_TRUE(requests.empty());

    // Maximised: no press acts, every pointer is the default one.
    f.DisplayFlags[DisplayMaximised] = -1;
    for (const auto& c : cases) {
        const QPoint point = at(c.index, c.x, c.y);
        QTest::mouseMove(handle(), point);
        QApplication::processEvents();
        EXPECT_EQ(p[c.index].widget()->cursor().shape(), Qt::ArrowCursor) << c.name;
        QTest::mouseClick(handle(), c.button, {}, point);
    }
    EXPECT_TRUE(requests.empty());
}

TEST_F(WindowFrame, TheMoveCaptionButtonMovesAndTheMaximiseButtonToggles)
{
    frmExplorer& f = open();
    QTest::mouseClick(handle(), Qt::LeftButton, {},
                      f.cmdFormControl[0].widget()->mapTo(f.window(), f.cmdFormControl[0].widget()->rect().center()));
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].move);

    f.move(600, 450, 10000, 8000);
    const QRect work = win::workArea(f.window());
    QTest::mouseClick(handle(), Qt::LeftButton, {},
                      f.cmdFormControl[2].widget()->mapTo(f.window(), f.cmdFormControl[2].widget()->rect().center()));
    EXPECT_NE(f.DisplayFlags[DisplayMaximised], 0);
    EXPECT_DOUBLE_EQ(f.width(), work.width() * 15.0);
    EXPECT_DOUBLE_EQ(f.height(), work.height() * 15.0);
    EXPECT_EQ(f.NormalWindowRect.Left, 600);
    EXPECT_EQ(f.NormalWindowRect.Width, 10000);
    f.Placement().ToggleMaximized();
    EXPECT_EQ(f.DisplayFlags[DisplayMaximised], 0);
    EXPECT_DOUBLE_EQ(f.left(), 600);
    EXPECT_DOUBLE_EQ(f.top(), 450);
    EXPECT_DOUBLE_EQ(f.width(), 10000);
    EXPECT_DOUBLE_EQ(f.height(), 8000);
}

TEST_F(WindowFrame, AutoHiddenTaskbarsLeaveOnePixelOnTheirEdge)
{
    frmExplorer& f = open();
    const QRect work = win::workArea(f.window());
    const struct {
        const char* name;
        int state;
        int edge;
        QRect expected;
    } cases[] = {
        {"always on top", win::TaskbarAlwaysOnTop, 3, work},
        {"left", win::TaskbarAutoHide, 0, work.adjusted(1, 0, 0, 0)},
        {"top", win::TaskbarAutoHide, 1, work.adjusted(0, 1, 0, 0)},
        {"right", win::TaskbarAutoHide, 2, work.adjusted(0, 0, -1, 0)},
        {"bottom", win::TaskbarAutoHide, 3, QRect(work.left(), work.top() - 1, work.width(), work.height() - 1)},
    };
    for (const auto& c : cases) {
        win::setTaskbarProvider({[s = c.state] { return s; }, [e = c.edge](int edge) { return edge == e; }});
        f.Placement().MaximizeRestoreWindow(true);
        EXPECT_DOUBLE_EQ(f.left(), c.expected.left() * 15.0) << c.name;
        EXPECT_DOUBLE_EQ(f.top(), c.expected.top() * 15.0) << c.name;
        EXPECT_DOUBLE_EQ(f.width(), c.expected.width() * 15.0) << c.name;
        EXPECT_DOUBLE_EQ(f.height(), c.expected.height() * 15.0) << c.name;
    }
}

TEST_F(WindowFrame, FullScreenCoversTheScreenAndLeavingRestoresThePlacementAndTheLabels)
{
    frmExplorer& f = open();
    const QRect screen = win::screenGeometry(f.window());
    const QRect work = win::workArea(f.window());
    for (const bool maximised : {false, true}) {
        f.DisplayFlags[DisplayMaximised] = 0;
        f.move(300, 600, 10500, 7500);
        if (maximised)
            f.Placement().ToggleMaximized();
        f.APPLabel[0].move(1234, 2345, 3456, 456);
        f.APPLabel[1].move(111, 222, 333, 444);
        const double left = f.left(), top = f.top(), width = f.width(), height = f.height();

        f.Placement().ToggleFullScreen(-1);
        EXPECT_NE(f.Placement().FullScreenMode(), 0);
        EXPECT_DOUBLE_EQ(f.width(), screen.width() * 15.0);
        EXPECT_DOUBLE_EQ(f.height(), screen.height() * 15.0);
        EXPECT_DOUBLE_EQ(f.PicHolder[0].left(), -30);
        EXPECT_DOUBLE_EQ(f.PicHolder[0].width(), f.width() + 60);
        EXPECT_DOUBLE_EQ(f.PicHolder[0].height(), f.height() + 60);
        EXPECT_FALSE(f.cmdAppOpt[0].visible());
        EXPECT_FALSE(f.cmdShowHide[4].visible());
        EXPECT_EQ(f.Layout.PaneCount(), 1);
        if (!maximised) {
            EXPECT_EQ(f.NormalWindowRect.Width, 10500);
            EXPECT_TRUE(saveShot(f.window(), QStringLiteral("z5-fullscreen.png")));
        }

        // Leaving twice: the second time finds nothing kept and moves no label.
        for (int leave = 0; leave < 2; ++leave) {
            f.Placement().ToggleFullScreen(0);
            EXPECT_EQ(f.Placement().FullScreenMode(), 0);
            EXPECT_DOUBLE_EQ(f.left(), maximised ? work.left() * 15.0 : left) << leave;
            EXPECT_DOUBLE_EQ(f.top(), maximised ? work.top() * 15.0 : top) << leave;
            EXPECT_DOUBLE_EQ(f.width(), maximised ? work.width() * 15.0 : width) << leave;
            EXPECT_DOUBLE_EQ(f.height(), maximised ? work.height() * 15.0 : height) << leave;
            EXPECT_DOUBLE_EQ(f.APPLabel[0].left(), 1234) << leave;
            EXPECT_DOUBLE_EQ(f.APPLabel[0].top(), 2345) << leave;
            EXPECT_DOUBLE_EQ(f.APPLabel[0].width(), 3456) << leave;
            EXPECT_DOUBLE_EQ(f.APPLabel[0].height(), 456) << leave;
            EXPECT_DOUBLE_EQ(f.APPLabel[1].left(), 111) << leave;
            EXPECT_DOUBLE_EQ(f.APPLabel[1].height(), 444) << leave;
            EXPECT_TRUE(f.cmdAppOpt[0].visible());
            // The page holder is back inside the frame, also when the work
            // area is the whole screen and the size did not change.
            EXPECT_GT(f.PicHolder[0].left(), 0) << leave;
            EXPECT_LT(f.PicHolder[0].width(), f.width()) << leave;
        }
        EXPECT_TRUE(saveShot(
            f.window(), QStringLiteral("z5-fullscreen-left-%1.png").arg(maximised ? "maximised" : "normal")));
    }
}

TEST_F(WindowFrame, SavingTheMinimumRectangleCentresItOnTheWindow)
{
    frmExplorer& f = open();
    f.move(0, 0, 12001, 9000);
    f.Placement().SaveNormalWindowRect(false);
    EXPECT_EQ(f.NormalWindowRect.Width, f.MinFormWidth);
    EXPECT_EQ(f.NormalWindowRect.Height, f.MinFormHeight);
    // (12001 - 9200) / 2 = 1400.5, to the even neighbour.
    EXPECT_EQ(f.NormalWindowRect.Left, 1400);
    EXPECT_EQ(f.NormalWindowRect.Top, static_cast<int32_t>(std::nearbyint((9000 - f.MinFormHeight) / 2.0)));
}

TEST_F(WindowFrame, WhereTheWindowSystemTakesNoRequestTheWindowFollowsThePointer)
{
    win::setSystemMoveRecorder({});
    frmExplorer& f = open();
    const QRect before = f.window()->geometry();
    const auto& corner = f.SkinPiece[2];
    // Drag the bottom-right corner 40 pixels right and 30 down.
    const QPoint press = at(2, corner.width() - 20, corner.height() - 20);
    QTest::mousePress(handle(), Qt::LeftButton, {}, press);
    QTest::mouseMove(handle(), press + QPoint(40, 30));
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, press + QPoint(40, 30));
    EXPECT_TRUE(testenv::waitFor([&] { return f.window()->geometry().size() == before.size() + QSize(40, 30); }, 3000));
    EXPECT_EQ(f.window()->geometry().topLeft(), before.topLeft());
    EXPECT_DOUBLE_EQ(f.SkinPiece[5].left() + f.SkinPiece[5].width(), f.width()) << "laid out at the new size";

    // Drag the title bar: the window moves, its size stays.
    const QRect sized = f.window()->geometry();
    const QPoint title = at(4, freeX(4, 200, 200), 200);
    QTest::mousePress(handle(), Qt::LeftButton, {}, title);
    QTest::mouseMove(handle(), title + QPoint(25, 15));
    // The pointer stays where it went: on the moved window, that is the
    // point it was pressed at.
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, title);
    EXPECT_TRUE(testenv::waitFor([&] { return f.window()->geometry().topLeft() == sized.topLeft() + QPoint(25, 15); }, 3000));
    EXPECT_EQ(f.window()->geometry().size(), sized.size());
    // After the release the pointer moves the window no more.
    QTest::mouseMove(handle(), title + QPoint(60, 60));
    QApplication::processEvents();
    EXPECT_EQ(f.window()->geometry().topLeft(), sized.topLeft() + QPoint(25, 15));
}
