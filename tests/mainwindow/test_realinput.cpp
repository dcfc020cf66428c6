// The real browser program on a real X server with a window manager, driven
// by real mouse and keyboard input (XTest) as a user would drive it: the
// frame, the menus opened by keys and buttons, long menus, tooltips, the
// arrange commands, the boss key and short key taps. What the program shows
// is read from the X server (window geometry, screenshots) and from the
// program's own probe answers (layout, menu and tooltip state).

#include "platform/base/paths.h"
#include "platform/base/registry.h"

#include "httpserver.h"
#include "mediafiles.h"
#include "nginxserver.h"
#include "playlistsample.h"
#include "stagedprogram.h"
#include "testenv.h"
#include "xsession.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QUrl>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <set>

#include <csignal>

namespace reg = platform::registry;

namespace {

const QString kSettings = QStringLiteral("Software\\Keldo\\Z5 Browser");

// One answer of the program's probe.
struct Probe {
    QRect window;                       // the main window on the screen
    QRectF windowTwips;                 // the form's twips
    std::map<QString, QRectF> twips;    // the controls' twips
    bool shown = false;
    std::map<QString, QRect> controls;  // pixels of the window
    std::map<QString, bool> visible;
    QMap<QString, QString> texts;
    bool tracking = false;
    std::vector<QRect> popups;
    std::map<std::pair<int, int>, QRect> items; // (level, index): screen rectangle
    QString tooltip;
    QString focus;
    std::map<QString, int> pictures;   // skin picture numbers shown
    std::set<QString> disabled;
    struct List {
        int rowHeight = 0;
        QString selected; // "1,2,3"
        QString firstText;
        int firstVisible = 0;
    };
    std::map<QString, List> lists;

    // The middle of a control on the screen.
    QPoint centre(const QString& name) const { return window.topLeft() + controls.at(name).center(); }
    int tabCount() const { return texts.value(QStringLiteral("APPLabel(3)")).remove(QStringLiteral("...")).trimmed().toInt(); }
};

QRect rectOf(const QString& text)
{
    const QStringList p = text.split(QLatin1Char(' '));
    return p.size() == 4 ? QRect(p[0].toInt(), p[1].toInt(), p[2].toInt(), p[3].toInt()) : QRect();
}

QRectF twipsOf(const QString& text)
{
    const QStringList p = text.split(QLatin1Char(' '));
    return p.size() == 4 ? QRectF(p[0].toDouble(), p[1].toDouble(), p[2].toDouble(), p[3].toDouble()) : QRectF();
}

Probe parseProbe(const QByteArray& answer)
{
    Probe r;
    for (const QString& line : QString::fromUtf8(answer).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList f = line.split(QLatin1Char('\t'));
        if (f[0] == QLatin1String("(window)") && f.size() == 5) {
            r.window = rectOf(f[4]);
            r.windowTwips = twipsOf(f[3]);
        }
        else if (f[0] == QLatin1String("(shown)") && f.size() == 2)
            r.shown = f[1] == QLatin1String("1");
        else if (f[0] == QLatin1String("(text)") && f.size() == 3)
            r.texts[f[1]] = f[2];
        else if (f[0] == QLatin1String("(menus)") && f.size() == 3)
            r.tracking = f[1] == QLatin1String("1");
        else if (f[0] == QLatin1String("(popup)") && f.size() == 2)
            r.popups.push_back(rectOf(f[1]));
        else if (f[0] == QLatin1String("(item)") && f.size() == 4)
            r.items[{f[1].toInt(), f[2].toInt()}] = rectOf(f[3]);
        else if (f[0] == QLatin1String("(tooltip)") && f.size() == 2)
            r.tooltip = f[1];
        else if (f[0] == QLatin1String("(focus)") && f.size() == 2)
            r.focus = f[1];
        else if (f[0] == QLatin1String("(picture)") && f.size() == 3)
            r.pictures[f[1]] = f[2].toInt();
        else if (f[0] == QLatin1String("(disabled)") && f.size() == 2)
            r.disabled.insert(f[1]);
        else if (f[0] == QLatin1String("(list)") && f.size() == 7)
            r.lists[f[1]] = {f[2].toInt(), f[3], f[4], f[6].toInt()};
        else if (f.size() == 5 && !f[0].startsWith(QLatin1Char('('))) {
            r.controls[f[0]] = rectOf(f[4]);
            r.twips[f[0]] = twipsOf(f[3]);
            r.visible[f[0]] = f[2] == QLatin1String("1");
        }
    }
    return r;
}

void keepShot(const QImage& shot, const QString& name)
{
    const QString dir = qEnvironmentVariable("Z5_SCREENSHOT_DIR", QStringLiteral(Z5_BINARY_DIR "/screenshots"));
    QDir().mkpath(dir);
    shot.save(dir + QLatin1Char('/') + name);
}

class RealInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        x = std::make_unique<testenv::XSession>(options());
        ASSERT_TRUE(x->ok()) << "no X server with a window manager";
        QString fonts;
        ASSERT_TRUE(testenv::installProgramCopy(prog, fonts));
        work = testenv::freshDir(QStringLiteral("work"));
        probes = testenv::freshDir(QStringLiteral("probes"));
        setUserSetting(QStringLiteral("DIS_MAXIMIZE"), QStringLiteral("False"));
        // 800 x 600 pixels at 100, 100.
        setUserSetting(QStringLiteral("WIN_L"), QStringLiteral("1500"));
        setUserSetting(QStringLiteral("WIN_T"), QStringLiteral("1500"));
        setUserSetting(QStringLiteral("WIN_W"), QStringLiteral("12000"));
        setUserSetting(QStringLiteral("WIN_H"), QStringLiteral("9000"));
    }

    void TearDown() override
    {
        if (program) {
            program->kill();
            program->waitForFinished(10000);
        }
        program.reset();
        x.reset();
    }

    virtual testenv::XSession::Options options() const { return {}; }

    void setUserSetting(const QString& name, const QString& value, const QString& sub = {})
    {
        reg::writeValue(reg::Hive::CurrentUser, sub.isEmpty() ? kSettings : kSettings + QLatin1Char('\\') + sub, name,
                        reg::Value::string(value));
    }

    // Starts Z5.exe on the X display and waits until its first tick ran.
    testing::AssertionResult start(const QStringList& args = {})
    {
        program = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), x->display());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("PLATFORM_PROGRAM_DIR"), prog);
        if (answerPrompts)
            env.insert(QStringLiteral("PLATFORM_PROMPT_LOG"), work + QStringLiteral("/prompts.txt"));
        env.insert(QStringLiteral("PLATFORM_PROBE_DIR"), probes);
        for (auto it = extraEnv.begin(); it != extraEnv.end(); ++it)
            env.insert(it.key(), it.value());
        program->setProcessEnvironment(env);
        program->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program->start(QStringLiteral(Z5_STAGE_DIR "/Z5.exe"), args);
        if (!program->waitForStarted(30000))
            return testing::AssertionFailure() << "Z5.exe did not start";
        const bool ready = testenv::waitFor(
            [&] {
                const Probe p = probe();
                // Shown, its first tick run, and holding the keyboard.
                return p.shown && p.tabCount() == 1 && !p.focus.isEmpty()
                       && x->mainWindowOf(program->processId()).has_value();
            },
            60000);
        if (!ready)
            return testing::AssertionFailure() << "the window never came up";
        return testing::AssertionSuccess();
    }

    // Asks the running program for its state; an empty probe when it does
    // not answer.
    Probe probe()
    {
        const QString name = QStringLiteral("p%1").arg(++asked);
        const QString answer = probes + QLatin1Char('/') + name + QStringLiteral(".txt");
        testenv::writeFile(probes + QStringLiteral("/ask-") + name, {});
        if (!testenv::waitFor([&] { return QFile::exists(answer); }, 20000))
            return {};
        Probe p = parseProbe(testenv::readFile(answer));
        if (const auto w = x->mainWindowOf(program->processId()))
            p.window = *w;
        return p;
    }

    // Waits until the probe satisfies the condition; the last probe.
    template <typename F>
    Probe waitProbe(F condition, int ms = 20000)
    {
        Probe last;
        testenv::waitFor(
            [&] {
                last = probe();
                return condition(last);
            },
            ms);
        return last;
    }

    // A menu stays closed: it closed, and no popup is tracking over a second of ticks.
    testing::AssertionResult staysClosed(const char* what)
    {
        if (!waitProbe([](const Probe& q) { return !q.tracking && q.popups.empty(); }, 10000).popups.empty())
            return testing::AssertionFailure() << what << ": the menu did not close";
        for (int i = 0; i < 8; ++i) {
            QTest::qWait(150);
            const Probe p = probe();
            if (p.tracking || !p.popups.empty())
                return testing::AssertionFailure() << what << ": a menu is open again";
        }
        return testing::AssertionSuccess();
    }

    // The screen once it stopped changing (a page painted, a caret aside).
    QImage stableGrab()
    {
        QImage last = x->grab();
        for (int i = 0; i < 20; ++i) {
            QTest::qWait(300);
            QImage now = x->grab();
            if (now == last)
                break;
            last = std::move(now);
        }
        return last;
    }

    // A menu opened and is on the screen (so that keys reach it).
    testing::AssertionResult opensMenu(const char* what)
    {
        const Probe p = waitProbe([](const Probe& q) { return q.tracking && !q.popups.empty(); }, 10000);
        if (!p.tracking)
            return testing::AssertionFailure() << what << ": no menu opened";
        const QRect menu = p.popups.front();
        const bool mapped = testenv::XSession::waitUntil(
            [&] {
                const std::vector<QRect> up = x->popupsOf(program->processId());
                return std::find(up.begin(), up.end(), menu) != up.end();
            },
            10000);
        if (!mapped)
            return testing::AssertionFailure() << what << ": the menu never showed on the screen";
        QTest::qWait(150);
        return testing::AssertionSuccess();
    }

    std::unique_ptr<testenv::XSession> x;
    std::unique_ptr<QProcess> program;
    QString prog, work, probes;
    int asked = 0;
    // Every prompt answered at once and logged; false: the dialogs show.
    bool answerPrompts = true;
    // More of the program's environment.
    QMap<QString, QString> extraEnv;
};

class RealInputSmallScreen : public RealInput {
protected:
    testenv::XSession::Options options() const override { return {QSize(600, 400), true}; }
};

} // namespace

TEST_F(RealInput, FrameDragsOfEveryEdgeAndCornerStopAtTheMinimumAndTheCloseButtonStillCloses)
{
    ASSERT_TRUE(start());
    const int minW = 613;
    const int minH = 445;
    const struct {
        const char* name;
        const char* piece;
        QPoint grab;  // inside the piece, from its top-left (negative: from its right or bottom)
        QPoint shrink;
    } drags[] = {
        {"left", "SkinPiece(7)", QPoint(2, 40), QPoint(500, 0)},
        {"right", "SkinPiece(5)", QPoint(2, 40), QPoint(-500, 0)},
        {"top", "SkinPiece(4)", QPoint(60, 2), QPoint(0, 400)},
        {"bottom", "SkinPiece(6)", QPoint(60, -3), QPoint(0, -400)},
        {"top-left", "SkinPiece(0)", QPoint(2, 2), QPoint(500, 400)},
        {"top-right", "SkinPiece(1)", QPoint(-3, 2), QPoint(-500, 400)},
        {"bottom-right", "SkinPiece(2)", QPoint(-3, -3), QPoint(-500, -400)},
        {"bottom-left", "SkinPiece(3)", QPoint(2, -3), QPoint(500, -400)},
    };
    const QRect start(100, 100, 800, 600);
    for (const auto& d : drags) {
        for (const int steps : {3, 40}) {
            SCOPED_TRACE(std::string(d.name) + (steps == 3 ? " fast" : " slow"));
            // Back to the starting size through the window's own edge.
            Probe p = probe();
            ASSERT_TRUE(p.controls.count(QString::fromLatin1(d.piece)));
            if (p.window != start) {
                x->moveResize(program->processId(), start);
                p = waitProbe([&](const Probe& q) { return q.window == start && q.controls.at(QStringLiteral("SkinPiece(2)")).right() == start.width() - 1; }, 10000);
                ASSERT_EQ(p.window, start);
            }
            const QRect piece = p.controls.at(QString::fromLatin1(d.piece)).translated(p.window.topLeft());
            const QPoint from(d.grab.x() >= 0 ? piece.left() + d.grab.x() : piece.right() + 1 + d.grab.x(),
                              d.grab.y() >= 0 ? piece.top() + d.grab.y() : piece.bottom() + 1 + d.grab.y());
            x->drag(from, from + d.shrink, 1, steps, steps == 3 ? 10 : 25);
            // A busy machine may take a while to carry the drag out; once the
            // window is at its minimum it must stay there.
            const QSize expected(d.shrink.x() ? minW : start.width(), d.shrink.y() ? minH : start.height());
            waitProbe([&](const Probe& q) { return q.window.size() == expected; }, 10000);
            QTest::qWait(400);
            p = probe();
            EXPECT_EQ(p.window.size(), expected);
            // The chrome fits the window: the Close button is inside it.
            const QRect close = p.controls.at(QStringLiteral("cmdFormControl(3)"));
            EXPECT_LE(close.right(), p.window.width() - 1);
            EXPECT_TRUE(p.visible[QStringLiteral("cmdFormControl(3)")]);
        }
    }
    keepShot(x->grab(), QStringLiteral("realinput-minimum-window.png"));
    const Probe p = probe();
    x->click(p.centre(QStringLiteral("cmdFormControl(3)")));
    ASSERT_TRUE(program->waitForFinished(30000));
    EXPECT_EQ(program->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program->exitCode(), 0);
}

TEST_F(RealInput, ARightButtonDragOnTheTitleMovesTheWindow)
{
    ASSERT_TRUE(start());
    const Probe before = probe();
    // The title between the tab-list button and the caption buttons.
    const QRect title = before.controls.at(QStringLiteral("SkinPiece(4)")).translated(before.window.topLeft());
    const int left = before.controls.at(QStringLiteral("cmdWBControl(8)")).right() + before.window.left();
    const int right = before.controls.at(QStringLiteral("cmdFormControl(0)")).left() + before.window.left();
    const QPoint from((left + right) / 2, title.top() + title.height() / 2);
    x->drag(from, from + QPoint(120, 80), 3);
    const Probe after = waitProbe([&](const Probe& q) { return q.window.topLeft() != before.window.topLeft(); }, 10000);
    EXPECT_EQ(after.window.topLeft(), before.window.topLeft() + QPoint(120, 80));
    EXPECT_EQ(after.window.size(), before.window.size());
}

TEST_F(RealInputSmallScreen, TheRestoredWindowKeepsItsCaptionButtonsOnTheScreen)
{
    ASSERT_TRUE(start());
    const Probe p = probe();
    keepShot(x->grab(), QStringLiteral("realinput-small-screen.png"));
    EXPECT_GE(p.window.top(), 0);
    for (int i = 0; i <= 3; ++i) {
        const QRect button = p.controls.at(QStringLiteral("cmdFormControl(%1)").arg(i)).translated(p.window.topLeft());
        EXPECT_TRUE(QRect(QPoint(0, 0), x->screenSize()).contains(button)) << i;
    }
}

TEST_F(RealInput, AMenuOpenedWithAltClosesForGoodHoweverItIsLeft)
{
    testenv::HttpServer server;
    server.serve("/page.html", "<html><body style='background:#eeeeee'><p>page</p></body></html>");
    ASSERT_TRUE(start({server.address("/page.html")}));
    ASSERT_TRUE(testenv::waitFor([&] { return server.requestsFor("/page.html") >= 1; }, 30000));
    Probe p = probe();
    const QPoint address = p.centre(QStringLiteral("WBTextBox(0)"));
    const QPoint page = p.window.topLeft() + p.controls.at(QStringLiteral("PicHolder(0)")).center();

    // Escape, with the focus nowhere in particular, in the address box and on the page.
    const struct {
        const char* where;
        std::optional<QPoint> focus;
    } places[] = {{"no focus", std::nullopt}, {"address box", address}, {"page", page}};
    for (const auto& place : places) {
        SCOPED_TRACE(place.where);
        if (place.focus) {
            x->click(*place.focus);
            QTest::qWait(300);
        }
        const QImage before = stableGrab();
        x->keys({XK_Alt_L, XK_f});
        ASSERT_TRUE(opensMenu("Alt+F"));
        const Probe open = probe();
        ASSERT_FALSE(open.popups.empty());
        const QRect menu = open.popups.front();
        x->keys({XK_Escape});
        EXPECT_TRUE(staysClosed("after Escape"));
        // Where the menu was, the screen shows what it showed before.
        const QImage after = x->grab();
        int changed = 0;
        for (int y = menu.top(); y <= menu.bottom(); ++y)
            for (int x0 = menu.left(); x0 <= menu.right(); ++x0)
                changed += before.pixel(x0, y) != after.pixel(x0, y);
        EXPECT_LT(changed, menu.width() * menu.height() / 100);
        keepShot(after, QStringLiteral("realinput-alt-escape-%1.png").arg(QString::fromLatin1(place.where).replace(' ', '-')));
    }

    // A click outside the menu.
    x->keys({XK_Alt_L, XK_v});
    ASSERT_TRUE(opensMenu("Alt+V"));
    x->click(page);
    EXPECT_TRUE(staysClosed("after a click outside"));

    // A command chosen from the menu: View's Refresh, by its letter-free click.
    x->keys({XK_Alt_L, XK_v});
    ASSERT_TRUE(opensMenu("Alt+V again"));
    p = probe();
    ASSERT_FALSE(p.items.empty());
    const QRect last = std::prev(p.items.end())->second;
    x->click(last.center());
    EXPECT_TRUE(staysClosed("after a command"));

    // A key that opens a menu types nothing into the address box.
    x->click(address);
    x->keys({XK_Control_L, XK_a});
    x->keys({XK_a});
    x->keys({XK_b});
    ASSERT_TRUE(testenv::waitFor([&] { return probe().texts.value(QStringLiteral("WBTextBox(0)")) == QLatin1String("ab"); }, 10000));
    for (const KeySym letter : {XK_f, XK_v, XK_w}) {
        x->keys({XK_Alt_L, letter});
        ASSERT_TRUE(opensMenu("Alt and a letter in the address box"));
        x->keys({XK_Escape});
        EXPECT_TRUE(staysClosed("after Escape"));
    }
    EXPECT_EQ(probe().texts.value(QStringLiteral("WBTextBox(0)")), QStringLiteral("ab"));
}

TEST_F(RealInput, EveryClickOnAMenuButtonOpensItsMenu)
{
    testenv::HttpServer server;
    server.serve("/fav.html", "<html><body>fav</body></html>");
    const QString favorites = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Z5/Favorites");
    QDir().mkpath(favorites);
    ASSERT_TRUE(testenv::writeFile(favorites + QStringLiteral("/Fav.url"),
                                   "[InternetShortcut]\r\nURL=" + server.address("/fav.html").toUtf8() + "\r\n"));
    ASSERT_TRUE(start());
    const Probe p = probe();

    // History, Escape, History again without moving the pointer.
    const QPoint history = p.centre(QStringLiteral("cmdWBControl(1)"));
    x->moveTo(history);
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        x->buttonDown();
        QTest::qWait(60);
        x->buttonUp();
        ASSERT_TRUE(opensMenu("History"));
        x->keys({XK_Escape});
        ASSERT_TRUE(staysClosed("History after Escape"));
    }

    // A Favorites shortcut chosen, then Favorites again, three times.
    const QPoint favoritesButton = p.centre(QStringLiteral("cmdWBControl(0)"));
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        x->click(favoritesButton);
        ASSERT_TRUE(opensMenu("Favorites"));
        const Probe open = probe();
        const QRect last = std::prev(open.items.end())->second;
        x->click(last.center());
        ASSERT_TRUE(testenv::waitFor([&] { return server.requestsFor("/fav.html") >= round + 1; }, 30000));
        ASSERT_TRUE(staysClosed("Favorites after a choice"));
    }
}

TEST_F(RealInput, EveryMenuBarMenuOpensAtItsCaptionsBottomEdgeTheFirstTimeAndLater)
{
    ASSERT_TRUE(start());
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i <= 4; ++i) {
            SCOPED_TRACE(testing::Message() << "round " << round << ", caption " << i);
            const Probe before = probe();
            const QRect caption = before.controls.at(QStringLiteral("cmdMenu(%1)").arg(i)).translated(before.window.topLeft());
            x->click(caption.center());
            ASSERT_TRUE(opensMenu("caption"));
            const Probe open = probe();
            ASSERT_FALSE(open.popups.empty());
            EXPECT_EQ(open.popups.front().top(), caption.bottom() + 1);
            x->keys({XK_Escape});
            ASSERT_TRUE(staysClosed("caption after Escape"));
        }
    }
}

TEST_F(RealInput, AFavoritesMenuTallerThanTheScreenScrollsToItsLastItem)
{
    testenv::HttpServer server;
    const QString favorites = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Z5/Favorites");
    QDir().mkpath(favorites);
    for (int i = 0; i < 400; ++i) {
        const QString path = QStringLiteral("/f%1.html").arg(i, 3, 10, QLatin1Char('0'));
        server.serve(path, "<html><body>f</body></html>");
        ASSERT_TRUE(testenv::writeFile(favorites + QStringLiteral("/Site %1.url").arg(i, 3, 10, QLatin1Char('0')),
                                       "[InternetShortcut]\r\nURL=" + server.address(path).toUtf8() + "\r\n"));
    }
    ASSERT_TRUE(start());
    const Probe p = probe();
    x->click(p.centre(QStringLiteral("cmdWBControl(0)")));
    ASSERT_TRUE(opensMenu("Favorites"));
    Probe open = probe();
    ASSERT_EQ(open.popups.size(), 1u);
    const QRect menu = open.popups.front();
    EXPECT_TRUE(QRect(QPoint(0, 0), x->screenSize()).contains(menu)) << menu.y() << " " << menu.height();
    keepShot(x->grab(), QStringLiteral("realinput-long-menu-top.png"));
    // The wheel brings the last shortcut into view.
    const int lastIndex = std::prev(open.items.end())->first.second;
    const int count = static_cast<int>(open.items.size());
    EXPECT_LT(count, 400) << "the whole menu shows at once";
    x->moveTo(menu.center());
    for (int i = 0; i < 60 && !probe().items.count({0, 403}); ++i)
        x->wheel(false, 5);
    open = probe();
    keepShot(x->grab(), QStringLiteral("realinput-long-menu-scrolled.png"));
    // The items after the two sort commands, the separators and the two
    // group commands: the last shortcut is the menu's last item.
    ASSERT_GT(lastIndex, 0);
    const QRect last = std::prev(open.items.end())->second;
    ASSERT_TRUE(menu.contains(last));
    x->click(last.center());
    EXPECT_TRUE(testenv::waitFor([&] { return server.requestsFor("/f399.html") == 1; }, 30000))
        << server.log().join(", ").toStdString();
    // Resting on the top arrow scrolls back up.
    x->click(p.centre(QStringLiteral("cmdWBControl(0)")));
    ASSERT_TRUE(opensMenu("Favorites again"));
    open = probe();
    const QRect again = open.popups.front();
    x->moveTo(QPoint(again.center().x(), again.bottom() - 4));
    ASSERT_TRUE(testenv::waitFor([&] { return probe().items.count({0, 300}) == 1; }, 30000)) << "the bottom arrow scrolls";
    x->keys({XK_Escape});
}

TEST_F(RealInput, EveryNavigationButtonShowsItsTooltip)
{
    ASSERT_TRUE(start());
    const Probe p = probe();
    const struct {
        const char* control;
        const char* tip;
    } buttons[] = {
        {"cmdWBControl(0)", " Favorites "}, {"cmdWBControl(1)", " History "}, {"cmdWBControl(2)", " Back "},
        {"cmdWBControl(5)", " Refresh "},   {"cmdWBControl(6)", " Go To "},   {"cmdFormControl(3)", " Close "},
    };
    for (const auto& b : buttons) {
        SCOPED_TRACE(b.control);
        // Away first, until no tooltip shows.
        x->moveTo(p.window.bottomRight() + QPoint(40, 40));
        ASSERT_TRUE(waitProbe([](const Probe& q) { return q.tooltip.isEmpty(); }, 10000).tooltip.isEmpty());
        const QPoint at = p.centre(QString::fromLatin1(b.control));
        x->moveTo(at - QPoint(2, 2));
        QTest::qWait(50);
        x->moveTo(at);
        const Probe shown = waitProbe([&](const Probe& q) { return q.tooltip == QLatin1String(b.tip); }, 10000);
        EXPECT_EQ(shown.tooltip, QString::fromLatin1(b.tip));
    }
}

TEST_F(RealInput, TheBossKeyHidesAndShowsTheWindow)
{
    setUserSetting(QStringLiteral("F7"), QStringLiteral("|0|10|"), QStringLiteral("KeyBoard"));
    ASSERT_TRUE(start());
    x->keys({XK_F7}, 60);
    const Probe hidden = waitProbe([](const Probe& q) { return !q.shown; }, 10000);
    EXPECT_FALSE(hidden.shown);
    EXPECT_FALSE(x->mainWindowOf(program->processId()).has_value());
    QTest::qWait(500);
    x->keys({XK_F7}, 60);
    const Probe back = waitProbe([](const Probe& q) { return q.shown; }, 10000);
    EXPECT_TRUE(back.shown);
    EXPECT_TRUE(x->mainWindowOf(program->processId()).has_value());
}

TEST_F(RealInput, ShortKeyTapsEachRunTheirCommandOnce)
{
    setUserSetting(QStringLiteral("F8"), QStringLiteral("|0|14|"), QStringLiteral("KeyBoard"));
    ASSERT_TRUE(start());
    // Each tap once its tab is up: a new tab ignores keys while it opens.
    for (int i = 1; i <= 5; ++i) {
        x->keys({XK_Control_L, XK_n}, 20);
        EXPECT_EQ(waitProbe([i](const Probe& q) { return q.tabCount() > i; }, 20000).tabCount(), i + 1) << "tap " << i;
        QTest::qWait(300);
        EXPECT_EQ(probe().tabCount(), i + 1) << "one tab per tap";
    }

    // Hide All held for 180 ms (about two polls) hides the bars once.
    ASSERT_TRUE(probe().visible[QStringLiteral("cmdMenu(0)")]);
    x->keys({XK_F8}, 180);
    QTest::qWait(1000);
    const Probe after = probe();
    EXPECT_FALSE(after.visible.at(QStringLiteral("cmdMenu(0)")));
    EXPECT_FALSE(after.visible.at(QStringLiteral("cmdWBControl(2)")));
    keepShot(x->grab(), QStringLiteral("realinput-hide-all.png"));
}

namespace {

// A pane as a part of the page holder: left, top, width, height in
// fractions of the holder.
struct Share {
    double l, t, w, h;
};

// The browsers that show as panes, in the holder's fractions.
std::vector<QRectF> panesOf(const Probe& p)
{
    const QRect holder = p.controls.at(QStringLiteral("PicHolder(0)"));
    std::vector<QRectF> out;
    for (const auto& [name, r] : p.controls) {
        if (!name.startsWith(QLatin1String("WBMAIN(")) || !p.visible.at(name) || r.width() < 40 || r.height() < 40)
            continue;
        const QRect inside = r.intersected(holder);
        out.emplace_back((inside.left() - holder.left()) / double(holder.width()),
                         (inside.top() - holder.top()) / double(holder.height()), inside.width() / double(holder.width()),
                         inside.height() / double(holder.height()));
    }
    return out;
}

// Every pane of the layout holds a browser (browsers of tabs outside the
// panes keep their last place, under the panes).
testing::AssertionResult laidOutAs(const std::vector<QRectF>& panes, const std::vector<Share>& expected)
{
    for (const Share& e : expected) {
        bool found = false;
        for (const QRectF& r : panes)
            found = found || (std::abs(r.left() - e.l) < 0.03 && std::abs(r.top() - e.t) < 0.03
                              && std::abs(r.width() - e.w) < 0.03 && std::abs(r.height() - e.h) < 0.03);
        if (!found) {
            auto failure = testing::AssertionFailure();
            failure << "no pane at " << e.l << "," << e.t << " " << e.w << "x" << e.h << "; browsers:";
            for (const QRectF& r : panes)
                failure << " " << r.left() << "," << r.top() << " " << r.width() << "x" << r.height();
            return failure;
        }
    }
    return testing::AssertionSuccess();
}

} // namespace

TEST_F(RealInput, EachArrangeCommandLaysOutItsPanesAndASplitterDragMovesThem)
{
    testenv::HttpServer server;
    const char* colours[4] = {"#d02020", "#20a040", "#2040d0", "#e0c020"};
    for (int i = 0; i < 4; ++i)
        server.serve(QStringLiteral("/c%1.html").arg(i),
                     QByteArray("<html><body style='margin:0;background:") + colours[i] + "'></body></html>");
    setUserSetting(QStringLiteral("RUNONEINSTANCEONLY"), QStringLiteral("1"));
    ASSERT_TRUE(start({server.address("/c0.html")}));
    // The other three pages reach the window as a later start hands them over.
    const QString handOff = platform::paths::privateTempFolder() + QStringLiteral("/Z5Temp");
    QDir().mkpath(handOff);
    for (int i = 1; i < 4; ++i) {
        ASSERT_TRUE(testenv::writeFile(handOff + QStringLiteral("/%1").arg(i), server.address(QStringLiteral("/c%1.html").arg(i)).toUtf8() + "\r\n"));
        ASSERT_TRUE(testenv::waitFor([&] { return probe().tabCount() == i + 1; }, 30000)) << i;
    }
    ASSERT_TRUE(testenv::waitFor([&] { return server.requestsFor("/c3.html") >= 1; }, 30000));
    QTest::qWait(1500);

    // Window menu: 2 Auto, 3 Tile Horizontally, 4 Tile Vertically, 6 the
    // special modes; in those: 0 A8, 1 A9, 3 A4, 4 A5, 5 A6, 6 A7, 8 A0.
    const double h = 0.5;
    const struct {
        const char* name;
        int item;
        int special; // -1: a top-level item
        std::vector<Share> panes;
    } commands[] = {
        {"auto", 2, -1, {{0, 0, h, h}, {h, 0, h, h}, {0, h, h, h}, {h, h, h, h}}},
        {"tile-horizontally", 3, -1, {{0, 0, 1, .25}, {0, .25, 1, .25}, {0, .5, 1, .25}, {0, .75, 1, .25}}},
        {"tile-vertically", 4, -1, {{0, 0, .25, 1}, {.25, 0, .25, 1}, {.5, 0, .25, 1}, {.75, 0, .25, 1}}},
        {"left-right", 6, 0, {{0, 0, h, 1}, {h, 0, h, 1}}},
        {"top-bottom", 6, 1, {{0, 0, 1, h}, {0, h, 1, h}}},
        {"two-left-one-right", 6, 3, {{0, 0, h, h}, {0, h, h, h}, {h, 0, h, 1}}},
        {"one-left-two-right", 6, 4, {{0, 0, h, 1}, {h, 0, h, h}, {h, h, h, h}}},
        {"one-top-two-bottom", 6, 5, {{0, 0, 1, h}, {0, h, h, h}, {h, h, h, h}}},
        {"two-top-one-bottom", 6, 6, {{0, 0, h, h}, {h, 0, h, h}, {0, h, 1, h}}},
        {"four", 6, 8, {{0, 0, h, h}, {h, 0, h, h}, {0, h, h, h}, {h, h, h, h}}},
    };
    for (const auto& c : commands) {
        SCOPED_TRACE(c.name);
        const Probe before = probe();
        x->click(before.centre(QStringLiteral("cmdMenu(4)")));
        ASSERT_TRUE(opensMenu("Window"));
        Probe open = probe();
        ASSERT_TRUE(open.items.count({0, c.item}));
        x->click(open.items.at({0, c.item}).center());
        if (c.special >= 0) {
            open = waitProbe([&](const Probe& q) { return q.items.count({1, c.special}) == 1; }, 10000);
            ASSERT_TRUE(open.items.count({1, c.special}));
            x->click(open.items.at({1, c.special}).center());
        }
        ASSERT_TRUE(staysClosed("after an arrange command"));
        const Probe after = waitProbe([&](const Probe& q) { return laidOutAs(panesOf(q), c.panes); }, 10000);
        EXPECT_TRUE(laidOutAs(panesOf(after), c.panes));
        const QImage shot = x->grab();
        keepShot(shot, QStringLiteral("realinput-arrange-%1.png").arg(QString::fromLatin1(c.name)));
        // Tab n shows in pane n: the middle of each pane has its page's colour.
        const QRect holder = after.controls.at(QStringLiteral("PicHolder(0)")).translated(after.window.topLeft());
        for (size_t i = 0; i < c.panes.size(); ++i) {
            const Share& pane = c.panes[i];
            const QPoint middle(holder.left() + qRound(holder.width() * (pane.l + pane.w / 2)),
                                holder.top() + qRound(holder.height() * (pane.t + pane.h / 2)));
            EXPECT_EQ(shot.pixelColor(middle), QColor(QString::fromLatin1(colours[i]))) << "pane " << i;
        }
    }

    // Left and right, then the bar between them dragged 120 pixels right.
    const Probe before = probe();
    x->click(before.centre(QStringLiteral("cmdMenu(4)")));
    ASSERT_TRUE(opensMenu("Window"));
    x->click(probe().items.at({0, 6}).center());
    const Probe special = waitProbe([&](const Probe& q) { return q.items.count({1, 0}) == 1; }, 10000);
    x->click(special.items.at({1, 0}).center());
    ASSERT_TRUE(staysClosed("after Left, Right"));
    const Probe split = waitProbe([&](const Probe& q) { return panesOf(q).size() == 2; }, 10000);
    const QRect holder = split.controls.at(QStringLiteral("PicHolder(0)"));
    const QPoint bar = split.centre(QStringLiteral("SPLITTER2(1)"));
    x->drag(bar, bar + QPoint(120, 0));
    const Probe moved = waitProbe(
        [&](const Probe& q) { return laidOutAs(panesOf(q), {{0, 0, 0.5 + 120.0 / holder.width(), 1}, {0.5 + 120.0 / holder.width(), 0, 0.5 - 120.0 / holder.width(), 1}}); },
        10000);
    EXPECT_TRUE(laidOutAs(panesOf(moved), {{0, 0, 0.5 + 120.0 / holder.width(), 1}, {0.5 + 120.0 / holder.width(), 0, 0.5 - 120.0 / holder.width(), 1}}));
    keepShot(x->grab(), QStringLiteral("realinput-splitter-dragged.png"));
}

TEST_F(RealInput, TheSplitBarDraggedPastAnEdgeOfTheHolderStopsAtThatEdge)
{
    // Maximised: past the holder's right edge lies the window's own edge.
    setUserSetting(QStringLiteral("DIS_MAXIMIZE"), QStringLiteral("True"));
    testenv::HttpServer server;
    server.serve("/page.html", "<html><body style='margin:0;background:#20a040'><p>page</p></body></html>");
    ASSERT_TRUE(start({server.address("/page.html")}));
    ASSERT_TRUE(testenv::waitFor([&] { return server.requestsFor("/page.html") >= 1; }, 30000));
    // Window menu, the special modes (item 6), Left, Right (their item 0).
    x->click(probe().centre(QStringLiteral("cmdMenu(4)")));
    ASSERT_TRUE(opensMenu("Window"));
    x->click(probe().items.at({0, 6}).center());
    const Probe special = waitProbe([&](const Probe& q) { return q.items.count({1, 0}) == 1; }, 10000);
    ASSERT_TRUE(special.items.count({1, 0})) << "the Left, Right item";
    x->click(special.items.at({1, 0}).center());
    ASSERT_TRUE(staysClosed("after Left, Right"));
    const Probe split = waitProbe([&](const Probe& q) { return panesOf(q).size() == 2; }, 10000);
    ASSERT_EQ(panesOf(split).size(), 2u);
    const QString bar = QStringLiteral("SPLITTER2(1)");
    ASSERT_TRUE(split.controls.count(bar)) << "no vertical split bar";
    const QRect holder = split.controls.at(QStringLiteral("PicHolder(0)")).translated(split.window.topLeft());
    const double holderTwips = split.twips.at(QStringLiteral("PicHolder(0)")).width();
    const double barTwips = split.twips.at(bar).width();
    const double twipsPerPixel = holderTwips / holder.width();

    const int window = split.window.right();
    const struct {
        const char* what;
        int releaseX;     // where the pointer is let go
        bool right;
        double expected;  // the split, in twips of the holder
    } drags[] = {
        {"over the window's right edge", window - 1, true, holderTwips - barTwips},
        {"back to the middle", holder.center().x(), true, -1},
        {"past the window's right edge", window + 60, true, holderTwips - barTwips},
        {"back to the middle again", holder.center().x(), true, -1},
        {"just past the holder's right edge", holder.right() + 2, true, holderTwips - barTwips},
        {"past the holder's left edge", holder.left() - 60, false, 0},
    };
    for (const auto& d : drags) {
        SCOPED_TRACE(d.what);
        // Each drag starts from where the previous one left the bar.
        const QPoint from = probe().centre(bar);
        x->drag(from, QPoint(d.releaseX, from.y()));
        if (d.expected < 0) {
            // Not at an edge: the drag only sets up the next one.
            const Probe back = waitProbe([&](const Probe& q) { return panesOf(q).size() == 2; }, 10000);
            ASSERT_EQ(panesOf(back).size(), 2u) << "the split did not come back";
            continue;
        }
        const double expected = d.expected;
        const Probe after = waitProbe(
            [&](const Probe& q) { return std::abs(q.twips.at(bar).left() - expected) <= twipsPerPixel; }, 10000);
        EXPECT_NEAR(after.twips.at(bar).left(), expected, twipsPerPixel);
        // One pane fills the holder but for the bar (its browser reaches a
        // little past the pane's edges, under the holder's rim); the other is gone.
        const std::vector<QRectF> panes = panesOf(after);
        keepShot(x->grab(), QStringLiteral("realinput-split-%1.png").arg(QString::fromLatin1(d.what).replace(' ', '-').remove('\'')));
        ASSERT_EQ(panes.size(), 1u) << panes.size() << " panes show";
        EXPECT_GE(panes.front().width(), 1.0 - barTwips / holderTwips);
        EXPECT_LE(panes.front().left(), d.right ? 0.0 : barTwips / holderTwips);
    }
}

TEST_F(RealInput, TheListsPaneShowsEachKindItsEdgeStopsAtBothLimitsAndAPlaylistGoesThroughItsDialogsUnchanged)
{
    setUserSetting(QStringLiteral("DIS_PLAYLIST"), QStringLiteral("True"));
    answerPrompts = false;
    const QString dir = testenv::freshDir(QStringLiteral("lists"));
    const QString original = dir + QStringLiteral("/big.z5p");
    const QString copy = dir + QStringLiteral("/copy.z5p");
    const QByteArray bytes = testenv::bigPlaylist(10000);
    ASSERT_TRUE(testenv::writeFile(original, bytes));
    ASSERT_TRUE(start());
    const auto visibleButtons = [](const Probe& p) {
        int n = 0;
        for (int i = 0; i <= 14; ++i)
            n += p.visible.count(QStringLiteral("cmdPLControl(%1)").arg(i)) && p.visible.at(QStringLiteral("cmdPLControl(%1)").arg(i));
        return n;
    };
    const QString pane = QStringLiteral("APPLabel(4)");
    Probe p = waitProbe([&](const Probe& q) { return q.visible.count(pane) && q.visible.at(pane); });
    ASSERT_TRUE(p.visible.count(pane) && p.visible.at(pane)) << "the pane shows";

    // The kind button steps through the six lists in turn; each shows its
    // own buttons (15 for images and snippets, 12 for links, 14 else).
    const std::vector<int> perKind = {14, 14, 15, 15, 12, 14};
    std::vector<int> seen;
    for (int step = 0; step < 6; ++step) {
        p = probe();
        seen.push_back(visibleButtons(p));
        keepShot(stableGrab(), QStringLiteral("realinput-lists-step%1.png").arg(step));
        x->click(p.centre(QStringLiteral("cmdPLControl(1)")));
        QTest::qWait(300);
    }
    bool inTurn = false;
    for (size_t start = 0; start < 6 && !inTurn; ++start) {
        inTurn = true;
        for (size_t k = 0; k < 6; ++k)
            inTurn = inTurn && seen[k] == perKind[(start + k) % 6];
    }
    EXPECT_TRUE(inTurn) << testing::PrintToString(seen);

    // The edge dragged to the far left stops at the least width, to the far
    // right where 1000 twips of the body are left to the page.
    p = probe();
    const QPoint grip = p.centre(QStringLiteral("SPLITTER1"));
    x->drag(grip, QPoint(p.window.left() + 2, grip.y()));
    p = waitProbe([&](const Probe& q) { return q.twips.at(pane).width() == 2880; }, 10000);
    EXPECT_EQ(p.twips.at(pane).width(), 2880) << "the least width";
    const QPoint left = p.centre(QStringLiteral("SPLITTER1"));
    x->drag(left, QPoint(p.window.right() - 2, left.y()));
    const auto bodyLess1000 = [&](const Probe& q) {
        return q.windowTwips.width() - q.twips.at(QStringLiteral("SkinPiece(7)")).width()
               - q.twips.at(QStringLiteral("SkinPiece(5)")).width() - 1000;
    };
    p = waitProbe([&](const Probe& q) { return q.twips.at(pane).width() == bodyLess1000(q); }, 10000);
    EXPECT_EQ(p.twips.at(pane).width(), bodyLess1000(p));
    keepShot(stableGrab(), QStringLiteral("realinput-lists-wide.png"));
    x->drag(p.centre(QStringLiteral("SPLITTER1")), p.centre(QStringLiteral("PicHolder(0)")) - QPoint(200, 0));
    QTest::qWait(500);

    // The pane's show/hide button hides and shows it.
    x->click(probe().centre(QStringLiteral("cmdShowHide(0)")));
    p = waitProbe([&](const Probe& q) { return !q.visible.at(pane); }, 10000);
    EXPECT_FALSE(p.visible.at(pane));
    x->click(p.centre(QStringLiteral("cmdShowHide(0)")));
    p = waitProbe([&](const Probe& q) { return q.visible.at(pane); }, 10000);
    ASSERT_TRUE(p.visible.at(pane));

    // The playlist menu's Open: the path typed into the picker, then Enter.
    // Items of that menu: 0 the kinds, 2 Open, 4 Save, 5 Save As.
    const auto menuItem = [&](int item) -> testing::AssertionResult {
        x->click(probe().centre(QStringLiteral("cmdPLControl(0)")));
        if (testing::AssertionResult open = opensMenu("the playlist menu"); !open)
            return open;
        const Probe m = probe();
        if (!m.items.count({0, item}))
            return testing::AssertionFailure() << "no item " << item;
        x->click(m.items.at({0, item}).center());
        return testing::AssertionSuccess();
    };
    const auto answerPicker = [&](const QString& path) -> testing::AssertionResult {
        // The picker is a second window of the program, holding the keyboard.
        const bool up = testenv::XSession::waitUntil([&] { return x->windowsOf(program->processId()).size() >= 2; }, 20000);
        if (!up)
            return testing::AssertionFailure() << "no file picker";
        QTest::qWait(1000);
        x->type(path);
        QTest::qWait(200);
        x->keys({XK_Return});
        return testing::AssertionSuccess();
    };
    ASSERT_TRUE(menuItem(2));
    ASSERT_TRUE(answerPicker(original));
    QTest::qWait(3000);
    keepShot(stableGrab(), QStringLiteral("realinput-lists-loaded.png"));
    ASSERT_TRUE(menuItem(5));
    ASSERT_TRUE(answerPicker(copy));
    ASSERT_TRUE(testenv::waitFor([&] { return QFile(copy).size() == bytes.size(); }, 30000)) << "Save As wrote the list";
    EXPECT_TRUE(testenv::readFile(copy) == bytes) << "the saved list is the opened one, byte for byte";
}

// A playlist with a 4 MB row opened from the playlist menu: the window
// answers at once, the clean rows are there and one message names the file
// and the rows left out. A playlist holding NUL bytes loads its rows.
TEST_F(RealInput, APlaylistWithAFourMegabyteRowOrNulBytesLoadsItsCleanRowsAndTheWindowAnswers)
{
    setUserSetting(QStringLiteral("DIS_PLAYLIST"), QStringLiteral("True"));
    const QString dir = testenv::freshDir(QStringLiteral("lists"));
    const QByteArray head = "%1\r\n1\r\n1\r\n101000\r\n\r\n\r\n\r\n\r\n";
    const QString longRow = dir + QStringLiteral("/long row.z5p");
    ASSERT_TRUE(testenv::writeFile(longRow, QByteArray(head).replace("%1", "1") + "huge," + QByteArray(4 << 20, 'x')
                                                + "\r\nclean row,/m/clean.mp3\r\n"));
    const QString nuls = dir + QStringLiteral("/nuls.z5p");
    ASSERT_TRUE(testenv::writeFile(nuls, QByteArray(head).replace("%1", "2")
                                             + QByteArray("nul\0 row,/m/nul\0.avi\r\n", 22)));
    const QString answers = work + QStringLiteral("/answers.txt");
    ASSERT_TRUE(testenv::writeFile(answers, ("open\t" + longRow + "\nopen\t" + nuls + "\n").toUtf8()));
    extraEnv[QStringLiteral("PLATFORM_PROMPT_ANSWERS")] = answers;
    ASSERT_TRUE(start());
    const QString pane = QStringLiteral("APPLabel(4)");
    Probe p = waitProbe([&](const Probe& q) { return q.visible.count(pane) && q.visible.at(pane); });
    ASSERT_TRUE(p.visible.count(pane) && p.visible.at(pane)) << "the lists pane";

    // The playlist menu's Open (item 2); the picker answers with the file.
    const auto openFromMenu = [&]() -> testing::AssertionResult {
        x->click(probe().centre(QStringLiteral("cmdPLControl(0)")));
        if (testing::AssertionResult open = opensMenu("the playlist menu"); !open)
            return open;
        const Probe m = probe();
        if (!m.items.count({0, 2}))
            return testing::AssertionFailure() << "the playlist menu has no Open item";
        x->click(m.items.at({0, 2}).center());
        return testing::AssertionSuccess();
    };
    // Whether the window (a probe is answered by its event loop) shows the
    // text as the list's first row within the bound, asking again and again.
    const auto firstRowWithin = [&](const QString& list, const QString& text, int ms) {
        QElapsedTimer clock;
        clock.start();
        QString seen = QStringLiteral("(no answer)");
        while (clock.elapsed() < ms) {
            const QString name = QStringLiteral("a%1").arg(++asked);
            const QString answer = probes + QLatin1Char('/') + name + QStringLiteral(".txt");
            testenv::writeFile(probes + QStringLiteral("/ask-") + name, {});
            if (!testenv::waitFor([&] { return QFile::exists(answer); }, std::max<int>(1, ms - clock.elapsed())))
                break;
            const Probe q = parseProbe(testenv::readFile(answer));
            seen = q.lists.count(list) ? q.lists.at(list).firstText : QStringLiteral("(no %1)").arg(list);
            if (seen == text)
                return testing::AssertionSuccess();
        }
        return testing::AssertionFailure() << "last seen: " << seen.toStdString();
    };

    ASSERT_TRUE(openFromMenu());
    EXPECT_TRUE(firstRowWithin(QStringLiteral("ListView(1)"), QStringLiteral("clean row"), 1000))
        << "the window answers within a second with the clean row";
    keepShot(stableGrab(), QStringLiteral("realinput-lists-longrow.png"));
    const auto prompts = [&] { return QString::fromUtf8(testenv::readFile(work + QStringLiteral("/prompts.txt"))); };
    ASSERT_TRUE(testenv::waitFor([&] { return prompts().contains(QLatin1String("message\t")); }, 10000));
    EXPECT_EQ(prompts().count(QLatin1String("message\t")), 1) << prompts().toStdString();
    EXPECT_TRUE(prompts().contains(QStringLiteral("1 rows of the playlist %1 were left out").arg(longRow)))
        << prompts().toStdString();

    ASSERT_TRUE(openFromMenu());
    p = waitProbe([](const Probe& q) { return q.lists.count(QStringLiteral("ListView(2)")); }, 10000);
    ASSERT_TRUE(p.lists.count(QStringLiteral("ListView(2)"))) << "the video list shows";
    EXPECT_EQ(p.lists.at(QStringLiteral("ListView(2)")).firstText, QStringLiteral("nul row"));
    EXPECT_EQ(prompts().count(QLatin1String("message\t")), 1) << "nothing more to tell";
}

// A pick from the address drop-down with the mouse: the tab goes to the
// picked address and the keyboard is in the address box again.
TEST_F(RealInput, APickFromTheAddressDropDownGoesThereAndLeavesTheKeyboardInTheAddressBox)
{
    testenv::HttpServer server;
    for (const char* page : {"/start.html", "/a.html", "/b.html"})
        server.serve(QString::fromLatin1(page), "<html><body style='background:#eeeeee'><p>page</p></body></html>");
    const QString typedKey = QStringLiteral("Software\\Microsoft\\Internet Explorer\\TypedURLs");
    reg::writeValue(reg::Hive::CurrentUser, typedKey, QStringLiteral("url1"), reg::Value::string(server.address("/a.html")));
    reg::writeValue(reg::Hive::CurrentUser, typedKey, QStringLiteral("url2"), reg::Value::string(server.address("/b.html")));
    ASSERT_TRUE(start({server.address("/start.html")}));
    ASSERT_TRUE(testenv::waitFor([&] { return server.requestsFor("/start.html") >= 1; }, 30000));
    Probe p = probe();
    // The keyboard on the page first.
    x->click(p.window.topLeft() + p.controls.at(QStringLiteral("PicHolder(0)")).center());
    QTest::qWait(300);
    x->click(p.centre(QStringLiteral("ImageBox(3)")));
    const QString dropDown = QStringLiteral("ListView(0)");
    p = waitProbe([&](const Probe& q) { return q.visible.count(dropDown) && q.visible.at(dropDown) && q.lists.count(dropDown); },
                  10000);
    ASSERT_TRUE(p.visible.count(dropDown) && p.visible.at(dropDown)) << "the drop-down " << dropDown.toStdString();
    // The second row holds the address the first does not.
    const QString first = p.lists.at(dropDown).firstText;
    ASSERT_TRUE(first == server.address("/a.html") || first == server.address("/b.html")) << first.toStdString();
    const QString second = server.address(first.endsWith(QLatin1String("/a.html")) ? "/b.html" : "/a.html");
    const QString secondPath = QUrl(second).path();
    const QRect list = p.controls.at(dropDown).translated(p.window.topLeft());
    const int rowHeight = std::max(p.lists.at(dropDown).rowHeight, 8);
    x->moveTo(QPoint(list.center().x(), list.top() + rowHeight / 2 + 2));
    QTest::qWait(150);
    x->click(QPoint(list.center().x(), list.top() + rowHeight + rowHeight / 2 + 2));
    ASSERT_TRUE(testenv::waitFor([&] { return server.requestsFor(secondPath) >= 1; }, 30000)) << "the picked page";
    // Once the page has come, the box shows its address and still holds
    // the keyboard: typing goes into it.
    const QString box = QStringLiteral("WBTextBox(0)");
    p = waitProbe([&](const Probe& q) { return !q.visible.at(dropDown) && q.texts.value(box) == second; }, 20000);
    EXPECT_FALSE(p.visible.at(dropDown)) << "the drop-down closed";
    EXPECT_EQ(p.texts.value(box).toStdString(), second.toStdString());
    EXPECT_EQ(p.focus.toStdString(), box.toStdString()) << "the keyboard is in the address box";
    x->keys({XK_End});
    x->type(QStringLiteral("typed"));
    const QString typed = second + QStringLiteral("typed");
    p = waitProbe([&](const Probe& q) { return q.texts.value(box) == typed; }, 10000);
    EXPECT_EQ(p.texts.value(box).toStdString(), typed.toStdString());
}

namespace {

// The runs of the program exe now: each its process id and its arguments
// after the program's name, as /proc holds them.
std::map<qint64, QStringList> runsOf(const QString& exe)
{
    std::map<qint64, QStringList> out;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number)
            continue;
        QFile f(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            continue;
        QByteArray bytes;
        for (QByteArray chunk; !(chunk = f.read(4096)).isEmpty();)
            bytes += chunk;
        QStringList args;
        for (const QByteArray& a : bytes.split('\0'))
            args << QString::fromLocal8Bit(a);
        if (bytes.endsWith('\0'))
            args.removeLast();
        if (!args.isEmpty() && args.first() == exe)
            out[pid] = args.mid(1);
    }
    return out;
}

// The download manager runs of the program folder now.
std::map<qint64, QStringList> downloadRuns(const QString& prog)
{
    return runsOf(prog + QStringLiteral("/Tool/Z5DownLoad.exe"));
}

// Where the picture shows on the screen (its centre), looked for inside area.
std::optional<QPoint> findPicture(const QImage& screen, const QImage& picture, const QRect& area)
{
    const QImage pic = picture.convertToFormat(QImage::Format_RGB32);
    const QRect within = area.intersected(screen.rect());
    const auto near = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) <= 24 && std::abs(qGreen(a) - qGreen(b)) <= 24 && std::abs(qBlue(a) - qBlue(b)) <= 24;
    };
    for (int y = within.top(); y + pic.height() <= within.bottom() + 1; ++y) {
        for (int x = within.left(); x + pic.width() <= within.right() + 1; ++x) {
            bool same = true;
            for (int py = 0; py < pic.height() && same; ++py)
                for (int px = 0; px < pic.width() && same; ++px)
                    same = near(screen.pixel(x + px, y + py), pic.pixel(px, py));
            if (same)
                return QPoint(x + pic.width() / 2, y + pic.height() / 2);
        }
    }
    return std::nullopt;
}

class RealDownloads : public RealInput {
protected:
    void SetUp() override
    {
        RealInput::SetUp();
        setUserSetting(QStringLiteral("DIS_PLAYLIST"), QStringLiteral("True"));
        www = testenv::freshDir(QStringLiteral("www"));
        target = testenv::freshDir(QStringLiteral("target"));
        lists = testenv::freshDir(QStringLiteral("lists"));
        setUserSetting(QStringLiteral("Z5_DOWNLOADLIST"), QString());
        // The download manager works only for a folder that holds the browser.
        testenv::writeFile(prog + QStringLiteral("/Z5.exe"), "");
    }
    void TearDown() override
    {
        for (const auto& run : downloadRuns(prog))
            ::kill(static_cast<pid_t>(run.first), SIGKILL);
        RealInput::TearDown();
    }

    QString data(const QString& file) const { return prog + QStringLiteral("/Data/") + file; }

    // A download list file of the served files, each to the target folder.
    QString writeList(const QString& name, const QStringList& files)
    {
        QByteArray text = "6\r\n1\r\n0\r\n101000\r\n\r\n\r\n\r\n\r\n";
        for (const QString& f : files)
            text += (f + QLatin1Char(',') + nginx.base() + QLatin1Char('/') + f + QStringLiteral(",,") + target + QLatin1Char(',')).toUtf8() + "\r\n";
        const QString path = lists + QLatin1Char('/') + name;
        testenv::writeFile(path, text);
        return path;
    }

    // The status bar's button of that picture on the screen, once it shows.
    std::optional<QPoint> statusButton(const char* picture, int ms = 30000)
    {
        const QImage pic(prog + QStringLiteral("/Common/") + QLatin1String(picture));
        std::optional<QPoint> at;
        testenv::waitFor(
            [&] {
                const Probe p = probe();
                const QRect view = p.controls.count(QStringLiteral("PicHolder(0)"))
                                       ? p.controls.at(QStringLiteral("PicHolder(0)")).translated(p.window.topLeft())
                                       : p.window;
                at = findPicture(x->grab(), pic, view);
                return at.has_value();
            },
            ms);
        return at;
    }

    QString listed()
    {
        reg::resetCache();
        const auto v = reg::readValue(reg::Hive::CurrentUser, kSettings, QStringLiteral("Z5_DOWNLOADLIST"));
        return v ? v->text : QString();
    }

    testenv::NginxServer nginx;
    QString www, target, lists;
};

} // namespace

TEST_F(RealDownloads, DownloadAllHandsTheListToTheManagerAndTheStatusBarPausesAndResumesItByClicks)
{
    const QStringList files = {QStringLiteral("one.bin"), QStringLiteral("two.bin"), QStringLiteral("three.bin")};
    std::map<QString, QByteArray> served;
    for (int i = 0; i < files.size(); ++i) {
        QByteArray bytes(700 * 1024, Qt::Uninitialized);
        QRandomGenerator(50u + static_cast<quint32>(i)).fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
        served[files[i]] = bytes;
        ASSERT_TRUE(testenv::writeFile(www + QLatin1Char('/') + files[i], served[files[i]]));
    }
    ASSERT_TRUE(nginx.start(www, QStringLiteral("limit_rate 120k;")));
    // A list of another run, of the same minute's kind of name: no command reaches it.
    const QString other = QStringLiteral("0101 0101AM - other");
    for (const QString& suffix : {QStringLiteral(".Z5P"), QStringLiteral(".LOG"), QStringLiteral(".HTM")})
        ASSERT_TRUE(testenv::writeFile(data(other + suffix), "x"));
    const QString playlist = writeList(QStringLiteral("a|b #1 %20 é.z5p"), files);
    ASSERT_TRUE(start({playlist}));

    // The list opened from the command line shows in the pane; Download All.
    const QString pane = QStringLiteral("APPLabel(4)");
    Probe p = waitProbe([&](const Probe& q) { return q.visible.count(pane) && q.visible.at(pane) && q.visible.at(QStringLiteral("cmdPLControl(6)")); });
    ASSERT_TRUE(p.visible.count(pane) && p.visible.at(pane));
    x->click(p.centre(QStringLiteral("cmdPLControl(6)")));

    std::map<qint64, QStringList> runs;
    ASSERT_TRUE(testenv::waitFor([&] { return !(runs = downloadRuns(prog)).empty(); }, 30000)) << "no download manager started";
    ASSERT_EQ(runs.size(), 1u);
    const QStringList names = listed().split(QLatin1Char('|'), Qt::SkipEmptyParts);
    ASSERT_EQ(names.size(), 1) << listed().toStdString();
    const QString name = names[0];
    EXPECT_TRUE(name.endsWith(QStringLiteral(" - a_b #1 %20 é"))) << name.toStdString();
    EXPECT_EQ(runs.begin()->second, QStringList{name + QStringLiteral("||||||||||0")});

    // The status tab shows the running list: Pause in its bar, clicked mid-file.
    const std::optional<QPoint> pause = statusButton("Z5_Pause.bmp");
    keepShot(x->grab(), QStringLiteral("realdownloads-running.png"));
    ASSERT_TRUE(pause) << "the status bar's Pause never showed";
    x->click(*pause);
    ASSERT_TRUE(testenv::waitFor([&] { return downloadRuns(prog).empty(); }, 30000)) << "the run did not end on Pause";
    EXPECT_FALSE(QFile::exists(data(other + QStringLiteral(".Z5C1")))) << "the other list was asked too";
    EXPECT_TRUE(testenv::waitFor([&] { return !QFile::exists(data(name + QStringLiteral(".Z5C2"))); }, 20000))
        << "the poll takes the run's answer";
    EXPECT_LT(QFileInfo(target + QStringLiteral("/three.bin")).size(), served[files[2]].size()) << "paused before the end";

    // Resume in the bar of the paused list starts a new run that completes it.
    const std::optional<QPoint> resume = statusButton("Z5_Resume.bmp");
    ASSERT_TRUE(resume) << "the status bar's Resume never showed";
    keepShot(x->grab(), QStringLiteral("realdownloads-paused.png"));
    x->click(*resume);
    ASSERT_TRUE(testenv::waitFor([&] { return !(runs = downloadRuns(prog)).empty(); }, 30000)) << "no run on Resume";
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs.begin()->second, QStringList{name + QStringLiteral("||||||||||1")});
    ASSERT_TRUE(testenv::waitFor([&] { return downloadRuns(prog).empty(); }, 120000)) << "the resumed run never ended";
    for (const QString& f : files)
        EXPECT_TRUE(QCryptographicHash::hash(testenv::readFile(target + QLatin1Char('/') + f), QCryptographicHash::Sha256)
                    == QCryptographicHash::hash(served[f], QCryptographicHash::Sha256))
            << f.toStdString();
    const QString f1 = QString::fromUtf8(testenv::readFile(data(name + QStringLiteral("F1.HTM"))));
    EXPECT_TRUE(f1.contains(QStringLiteral("3 of 3"))) << f1.toStdString();
    EXPECT_TRUE(statusButton("Z5_Close.bmp").has_value());
    QTest::qWait(1500);
    keepShot(x->grab(), QStringLiteral("realdownloads-completed.png"));
    for (const QString& suffix : {QStringLiteral(".Z5P"), QStringLiteral(".LOG"), QStringLiteral(".HTM")})
        EXPECT_EQ(testenv::readFile(data(other + suffix)), "x") << suffix.toStdString();
}

// The audio list and the media toolbar under the real mouse: a double click
// plays row 2; Play/Pause pauses and plays again with its hover pictures;
// the transport buttons' states at the first, a middle and the last row;
// Fast Forward held runs to the end; Move Up held carries three rows to the
// top; the position knob dragged to the middle seeks there at the release;
// the volume knob dragged is kept at exit; an emptied list disables them all.
TEST_F(RealInput, TheAudioListAndTheMediaToolbarUnderTheMouse)
{
    setUserSetting(QStringLiteral("DIS_PLAYLIST"), QStringLiteral("True"));
    setUserSetting(QStringLiteral("DIS_MENUBAR2"), QStringLiteral("True"));
    setUserSetting(QStringLiteral("VolumePosP1"), QStringLiteral("0.5"));
    extraEnv[QStringLiteral("PLATFORM_PROMPT_CODE")] = QStringLiteral("3"); // messages answered Yes
    const QString dir = testenv::freshDir(QStringLiteral("clips"));
    QByteArray list = "1\r\n1\r\n1\r\n000000\r\n\r\n\r\n\r\n\r\n";
    for (int i = 1; i <= 50; ++i) {
        const QString name = QStringLiteral("clip%1.wav").arg(i, 2, 10, QLatin1Char('0'));
        if (i <= 3) {
            ASSERT_TRUE(testmedia::writeWav(dir + QLatin1Char('/') + name, 5000));
        }
        list += (name + QLatin1Char(',') + dir + QLatin1Char('/') + name + QStringLiteral("\r\n")).toUtf8();
    }
    ASSERT_TRUE(testenv::writeFile(dir + QStringLiteral("/audio.z5p"), list));
    ASSERT_TRUE(start({dir + QStringLiteral("/audio.z5p")}));
    const QString audio = QStringLiteral("ListView(1)");
    Probe p = waitProbe([&](const Probe& q) { return q.texts.value(QStringLiteral("APPLabel(1)")) == QLatin1String("50") && q.lists.count(audio); });
    ASSERT_EQ(p.texts.value(QStringLiteral("APPLabel(1)")), QStringLiteral("50"));
    const auto rowCentre = [&](const Probe& q, int row) {
        const Probe::List& l = q.lists.at(audio);
        const QRect r = q.controls.at(audio);
        return q.window.topLeft() + QPoint(r.left() + 30, r.top() + 1 + (row - l.firstVisible) * l.rowHeight + l.rowHeight / 2);
    };
    const auto status = [](const Probe& q) { return q.texts.value(QStringLiteral("WBTextBox(1)")); };
    const auto play = QStringLiteral("cmdMediaControl(2)");

    // A double click on row 2 plays item 2; the button shows Pause.
    const QPoint row2 = rowCentre(p, 2);
    x->moveTo(row2);
    QTest::qWait(100);
    x->click(row2);
    testenv::XSession::pause(80);
    x->click(row2);
    p = waitProbe([&](const Probe& q) { return status(q) == QLatin1String("Playing"); }, 20000);
    ASSERT_EQ(status(p), QStringLiteral("Playing"));
    EXPECT_EQ(p.texts.value(QStringLiteral("APPLabel(0)")), QStringLiteral("2"));
    EXPECT_EQ(p.pictures[play], 510);
    keepShot(stableGrab(), QStringLiteral("realinput-media-playing.png"));

    // Play/Pause: paused with the Play hover picture, then playing with the
    // Pause hover picture.
    x->click(p.centre(play));
    p = waitProbe([&](const Probe& q) { return status(q) == QLatin1String("Paused"); }, 10000);
    EXPECT_EQ(status(p), QStringLiteral("Paused"));
    EXPECT_EQ(p.pictures[play], 507);
    x->click(p.centre(play));
    p = waitProbe([&](const Probe& q) { return status(q) == QLatin1String("Playing"); }, 10000);
    EXPECT_EQ(status(p), QStringLiteral("Playing"));
    EXPECT_EQ(p.pictures[play], 511);

    // The position knob dragged to the middle of its track while item 2
    // plays: the item goes on from about 2.5 s.
    const QString knob = QStringLiteral("cmdMediaControl(15)");
    const QRect track = p.controls.at(QStringLiteral("ImageBox(5)"));
    const QPoint middle = p.window.topLeft() + QPoint(track.center().x(), p.controls.at(knob).center().y());
    x->drag(p.centre(knob), middle, 1, 10, 15);
    QTest::qWait(1500);
    p = probe();
    const double knobAt = (p.twips.at(knob).left() - p.twips.at(QStringLiteral("ImageBox(5)")).left())
                          / (p.twips.at(QStringLiteral("ImageBox(5)")).width() - p.twips.at(knob).width());
    EXPECT_GT(knobAt, 0.4) << "the knob after a tick, from about the middle";
    EXPECT_LT(knobAt, 0.85);
    EXPECT_EQ(status(p), QStringLiteral("Playing"));

    // The volume knob dragged to the far right.
    const QString volume = QStringLiteral("cmdMediaControl(14)");
    const QRect volumeTrack = p.controls.at(QStringLiteral("ImageBox(4)"));
    x->drag(p.centre(volume), p.window.topLeft() + QPoint(volumeTrack.right() + 20, p.controls.at(volume).center().y()), 1, 10, 15);
    QTest::qWait(300);

    // The transport states at the first, a middle and the last row.
    struct State {
        int row;
        std::set<int> off;
        const char* shot;
    } states[] = {{1, {3, 4, 5}, "realinput-media-first.png"}, {2, {5}, "realinput-media-middle.png"}};
    const auto off = [](const Probe& q) {
        std::set<int> out;
        for (int i = 2; i <= 7; ++i)
            if (q.disabled.count(QStringLiteral("cmdMediaControl(%1)").arg(i)))
                out.insert(i);
        return out;
    };
    for (const State& s : states) {
        p = probe();
        x->click(rowCentre(p, s.row));
        p = waitProbe([&](const Probe& q) { return off(q) == s.off; }, 10000);
        EXPECT_EQ(off(p), s.off) << "row " << s.row;
        keepShot(stableGrab(), QString::fromLatin1(s.shot));
    }

    // Fast Forward held from the first row runs to the last and stops there;
    // the release off the button runs nothing.
    p = probe();
    x->click(rowCentre(p, 1));
    QTest::qWait(300);
    p = probe();
    const QPoint ff = p.centre(QStringLiteral("cmdMediaControl(7)"));
    x->moveTo(ff);
    testenv::XSession::pause(100);
    x->buttonDown();
    testenv::XSession::pause(1500);
    x->moveTo(p.centre(QStringLiteral("ImageBox(5)")) + QPoint(0, -40));
    testenv::XSession::pause(300);
    x->buttonUp();
    p = waitProbe([&](const Probe& q) { return off(q) == std::set<int>{5, 6, 7}; }, 10000);
    EXPECT_EQ(off(p), (std::set<int>{5, 6, 7})) << "at the last row";
    EXPECT_EQ(p.lists.at(audio).selected, QStringLiteral("50"));
    keepShot(stableGrab(), QStringLiteral("realinput-media-last.png"));

    // Three rows at the bottom selected (a click and a Shift click), Move
    // Up held: the block goes to the top by itself.
    x->click(rowCentre(p, 48));
    QTest::qWait(200);
    x->keyDown(XK_Shift_L);
    x->click(rowCentre(p, 50));
    x->keyUp(XK_Shift_L);
    p = waitProbe([&](const Probe& q) { return q.lists.at(audio).selected == QLatin1String("48,49,50"); }, 5000);
    ASSERT_EQ(p.lists.at(audio).selected, QStringLiteral("48,49,50"));
    const QPoint up = p.centre(QStringLiteral("cmdPLControl(11)"));
    x->moveTo(up);
    testenv::XSession::pause(100);
    x->buttonDown();
    testenv::XSession::pause(2000);
    x->buttonUp();
    p = waitProbe([&](const Probe& q) { return q.lists.at(audio).selected == QLatin1String("1,2,3"); }, 5000);
    EXPECT_EQ(p.lists.at(audio).selected, QStringLiteral("1,2,3"));
    EXPECT_EQ(p.lists.at(audio).firstText, QStringLiteral("clip48.wav"));
    keepShot(stableGrab(), QStringLiteral("realinput-lists-movedup.png"));

    // Clear Playlist (answered Yes): every transport button off.
    x->click(p.centre(QStringLiteral("cmdPLControl(14)")));
    p = waitProbe([&](const Probe& q) { return q.texts.value(QStringLiteral("APPLabel(1)")).isEmpty(); }, 10000);
    EXPECT_EQ(off(p), (std::set<int>{2, 3, 4, 5, 6, 7}));
    keepShot(stableGrab(), QStringLiteral("realinput-media-empty.png"));

    // At exit the volume is kept.
    x->click(p.centre(QStringLiteral("cmdFormControl(3)")));
    ASSERT_TRUE(program->waitForFinished(30000));
    const auto kept = reg::readValue(reg::Hive::CurrentUser, kSettings, QStringLiteral("VolumePosP1"));
    ASSERT_TRUE(kept.has_value());
    EXPECT_GT(kept->text.toDouble(), 0.9) << kept->text.toStdString();
}

// Buttons 2-9 of the lists pane clicked for each of the six lists: each
// release runs its list's command (the file pickers, the folder and entry
// dialogs and the download setup seen through the prompts and windows they
// open), and the program is left as it was.
TEST_F(RealInput, ThePaneButtonsOfEveryListRunTheirCommandsOnRealClicks)
{
    setUserSetting(QStringLiteral("DIS_PLAYLIST"), QStringLiteral("True"));
    ASSERT_TRUE(start());
    const QString log = work + QStringLiteral("/prompts.txt");
    const auto prompts = [&] {
        QStringList kinds;
        for (const QString& line : QString::fromUtf8(testenv::readFile(log)).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            kinds << line.section(QLatin1Char('\t'), 0, 0);
        return kinds;
    };
    const std::map<QString, int> kinds = {{QStringLiteral("Audio List"), 1},     {QStringLiteral("Video List"), 2},
                                          {QStringLiteral("Image List"), 3},     {QStringLiteral("Web-Snippet List"), 4},
                                          {QStringLiteral("Link List"), 5},      {QStringLiteral("Download File List"), 6}};
    // What each button shows of its command: a prompt of that kind, a
    // window of its own ("window"), a menu ("menu"), or nothing to see ("").
    const std::map<int, std::vector<QString>> seen = {
        {1, {"", "", "open", "input", "input", "", "window", ""}},
        {2, {"", "", "open", "input", "input", "", "window", ""}},
        {3, {"", "", "", "open", "input", "input", "", "window"}},
        // The snippet captured by button 2 is selected: Delete asks first.
        {4, {"", "open", "input", "", "", "", "message", "menu"}},
        {5, {"", "", "open", "input", "input", "", "", ""}},
        {6, {"", "", "", "input", "", "", "window", ""}},
    };
    std::set<int> visited;
    // The change of list shows the list's name in the status line.
    const QString status = QStringLiteral("WBTextBox(1)");
    Probe p = waitProbe([&](const Probe& q) { return q.visible.count(QStringLiteral("cmdPLControl(1)")) > 0; });
    for (int step = 0; step < 6; ++step) {
        x->click(p.centre(QStringLiteral("cmdPLControl(1)")));
        p = waitProbe([&](const Probe& q) { return kinds.count(q.texts.value(status).trimmed()) > 0; }, 10000);
        ASSERT_TRUE(kinds.count(p.texts.value(status).trimmed())) << p.texts.value(status).toStdString();
        const int kind = kinds.at(p.texts.value(status).trimmed());
        visited.insert(kind);
        for (int b = 2; b <= 9; ++b) {
            const QString name = QStringLiteral("cmdPLControl(%1)").arg(b);
            const QString want = seen.at(kind)[static_cast<size_t>(b - 2)];
            if (!p.visible.count(name) || !p.visible.at(name)) {
                EXPECT_TRUE(want.isEmpty()) << "kind " << kind << " button " << b << " hidden";
                continue;
            }
            const int before = static_cast<int>(prompts().size());
            x->click(p.centre(name));
            if (want == QLatin1String("window")) {
                EXPECT_TRUE(testenv::XSession::waitUntil([&] { return x->windowsOf(program->processId()).size() >= 2; }, 10000))
                    << "kind " << kind << " button " << b;
                QTest::qWait(500);
                x->keys({XK_Escape});
                EXPECT_TRUE(testenv::XSession::waitUntil([&] { return x->windowsOf(program->processId()).size() == 1; }, 10000));
            } else if (want == QLatin1String("menu")) {
                EXPECT_TRUE(opensMenu("the view-format menu"));
                x->keys({XK_Escape});
                EXPECT_TRUE(staysClosed("the view-format menu"));
            } else {
                QTest::qWait(400);
            }
            const QStringList now = prompts();
            if (want == QLatin1String("open") || want == QLatin1String("input") || want == QLatin1String("message"))
                EXPECT_TRUE(now.size() > before && now.last() == want)
                    << "kind " << kind << " button " << b << ": " << now.mid(before).join(QLatin1Char(',')).toStdString();
            else
                EXPECT_EQ(now.size(), before) << "kind " << kind << " button " << b << ": " << now.mid(before).join(QLatin1Char(',')).toStdString();
            p = probe();
        }
        p = probe();
    }
    EXPECT_EQ(visited.size(), 6u);
    EXPECT_EQ(x->windowsOf(program->processId()).size(), 1u);
}

// The Media menu opened from the media toolbar's menu button by a real
// click, Clear Status picked in its View Download Status submenu and
// answered Yes: every listed download list and an unlisted one of the same
// kind of name lose their files, the value that lists them is emptied, and
// the playlists and other files kept in Data stay.
TEST_F(RealDownloads, ClearStatusFromTheMediaMenuButtonClearsTheListsAndKeepsPlaylists)
{
    setUserSetting(QStringLiteral("DIS_MENUBAR2"), QStringLiteral("True"));
    extraEnv[QStringLiteral("PLATFORM_PROMPT_CODE")] = QStringLiteral("3"); // answered Yes
    const QStringList names = {QStringLiteral("0301 0905AM"), QStringLiteral("0301 0905AM - Music"),
                               QStringLiteral("0101 0101AM - orphan")};
    const QStringList suffixes = {QStringLiteral(".Z5P"), QStringLiteral(".LOG"), QStringLiteral(".HTM"), QStringLiteral("F1.HTM")};
    for (const QString& n : names)
        for (const QString& suffix : suffixes)
            ASSERT_TRUE(testenv::writeFile(data(n + suffix), "x"));
    ASSERT_TRUE(testenv::writeFile(data(QStringLiteral("Music.z5p")), "1\r\n"));
    ASSERT_TRUE(testenv::writeFile(data(QStringLiteral("notes.txt")), "x"));
    setUserSetting(QStringLiteral("Z5_DOWNLOADLIST"), QLatin1Char('|') + names[0] + QLatin1Char('|') + names[1]);
    ASSERT_TRUE(start());

    const QString button = QStringLiteral("cmdMediaControl(0)");
    Probe p = waitProbe([&](const Probe& q) { return q.visible.count(button) && q.visible.at(button); });
    ASSERT_TRUE(p.visible.count(button) && p.visible.at(button)) << "the media toolbar's menu button never showed";
    x->click(p.centre(button));
    ASSERT_TRUE(opensMenu("the Media menu"));
    // Row 21 of the menu is View Download Status (after the three lists'
    // headings, rows and separators); its submenu holds the two listed
    // names, a separator and Clear Status.
    p = probe();
    ASSERT_TRUE(p.items.count({0, 21}));
    x->click(p.items.at({0, 21}).center());
    p = waitProbe([](const Probe& q) { return q.items.count({1, 3}) > 0; }, 10000);
    ASSERT_TRUE(p.items.count({1, 3})) << "the View Download Status submenu never opened";
    keepShot(stableGrab(), QStringLiteral("realdownloads-clearstatus-menu.png"));
    x->click(p.items.at({1, 3}).center());

    EXPECT_TRUE(testenv::waitFor(
        [&] {
            for (const QString& n : names)
                for (const QString& suffix : suffixes)
                    if (QFile::exists(data(n + suffix)))
                        return false;
            return true;
        },
        30000))
        << "the download lists' files stayed";
    EXPECT_TRUE(QString::fromUtf8(testenv::readFile(work + QStringLiteral("/prompts.txt"))).contains(QStringLiteral("CLEAR STATUS LIST")));
    EXPECT_EQ(listed(), QString());
    EXPECT_FALSE(QFile::exists(data(names[0] + QStringLiteral(".Z5C1"))));
    EXPECT_EQ(testenv::readFile(data(QStringLiteral("Music.z5p"))), "1\r\n");
    EXPECT_EQ(testenv::readFile(data(QStringLiteral("notes.txt"))), "x");
    EXPECT_TRUE(staysClosed("the Media menu"));
}

TEST_F(RealInput, CtrlOThenATypedPathAndEnterOpensTheFileWithoutAClick)
{
    const QString page = work + QStringLiteral("/typed.html");
    ASSERT_TRUE(testenv::writeFile(page, "<html><head><title>Typed</title></head><body>typed</body></html>"));
    answerPrompts = false;
    ASSERT_TRUE(start());
    // Keys wait while the first tab opens: Ctrl+O again until the dialog
    // shows as a second window.
    const auto dialogShows = [&] {
        int managed = 0;
        for (const auto& w : x->windowsOf(program->processId()))
            managed += w.viewable && !w.overrideRedirect;
        return managed >= 2;
    };
    for (int i = 0; i < 10 && !dialogShows(); ++i) {
        x->keys({XK_Control_L, XK_o});
        testenv::XSession::waitUntil(dialogShows, 2000);
    }
    keepShot(stableGrab(), QStringLiteral("realinput-open-dialog.png"));
    ASSERT_TRUE(dialogShows()) << "Ctrl+O showed no Open dialog";
    // The Open dialog takes the keyboard in its text box.
    const Probe p = waitProbe([](const Probe& q) { return q.focus == QLatin1String("Text1(0)"); }, 10000);
    ASSERT_EQ(p.focus, QStringLiteral("Text1(0)")) << "the Open dialog's text box never took the focus";
    x->type(page);
    x->keys({XK_Return});
    const auto address = [](const Probe& q) { return q.texts.value(QStringLiteral("WBTextBox(0)")); };
    EXPECT_TRUE(address(waitProbe([&](const Probe& q) { return address(q).endsWith(QLatin1String("typed.html")); }))
                    .endsWith(QLatin1String("typed.html")));
}

namespace {

// The share of pixels of a region that are not black, and whether two
// pictures of it differ.
double lit(const QImage& shot, const QRect& r)
{
    int n = 0, on = 0;
    for (int y = r.top(); y <= r.bottom(); y += 4)
        for (int x = r.left(); x <= r.right(); x += 4) {
            ++n;
            on += qGray(shot.pixel(x, y)) > 40;
        }
    return n ? double(on) / n : 0;
}

} // namespace

// A video played and stopped with Escape, then the image list played in
// the same tab, then a video double-clicked again: the video comes in
// front of the viewer (its pixels show and move in the tab's place) and the
// slide show stops stepping; the arrow keys steer the video (Left pauses,
// Right plays, Down and Up change the item) with the focus in the list or
// on the video.
TEST_F(RealInput, AVideoPlayedAgainAfterEscapeComesInFrontOfTheViewerAndTheArrowsSteerIt)
{
    setUserSetting(QStringLiteral("DIS_PLAYLIST"), QStringLiteral("True"));
    setUserSetting(QStringLiteral("DIS_MENUBAR2"), QStringLiteral("True"));
    setUserSetting(QStringLiteral("RUNONEINSTANCEONLY"), QStringLiteral("1"));
    const QString dir = testenv::freshDir(QStringLiteral("clips"));
    // Moving colour bars, twenty seconds.
    for (const QString& name : {QStringLiteral("one.avi"), QStringLiteral("two.avi")})
        ASSERT_TRUE(testmedia::gstEncode(dir + QLatin1Char('/') + name,
                                         QStringLiteral("videotestsrc pattern=smpte horizontal-speed=6 num-buffers=200 ! "
                                                        "video/x-raw,width=320,height=240,framerate=10/1 ! jpegenc ! avimux")))
            << "gst-launch-1.0 with jpegenc and avimux is needed";
    QByteArray videos = "2\r\n1\r\n1\r\n000000\r\n\r\n\r\n\r\n\r\n";
    for (const QString& name : {QStringLiteral("one.avi"), QStringLiteral("two.avi")})
        videos += (name + QLatin1Char(',') + dir + QLatin1Char('/') + name + QStringLiteral("\r\n")).toUtf8();
    ASSERT_TRUE(testenv::writeFile(dir + QStringLiteral("/videos.z5p"), videos));
    // Sixty pictures a second apart: the slide show steps for a minute.
    QByteArray images = "3\r\n1\r\n1\r\n000000\r\n\r\n\r\n\r\n\r\n";
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(testmedia::writeMarkedPicture(dir + QStringLiteral("/p%1.png").arg(i), QColor::fromHsv(i * 100, 200, 220), "PNG"));
    for (int i = 0; i < 60; ++i)
        images += QStringLiteral("p%1.png,%2/p%3.png\r\n").arg(i).arg(dir).arg(i % 3).toUtf8();
    ASSERT_TRUE(testenv::writeFile(dir + QStringLiteral("/images.z5p"), images));

    // The image list from the command line, the video list handed over by
    // a second start, as opening the two files does.
    ASSERT_TRUE(start({dir + QStringLiteral("/images.z5p")}));
    QProcess second;
    second.setProcessEnvironment(program->processEnvironment());
    second.start(QStringLiteral(Z5_STAGE_DIR "/Z5.exe"), {dir + QStringLiteral("/videos.z5p")});
    ASSERT_TRUE(second.waitForFinished(60000));
    const QString videoList = QStringLiteral("ListView(2)");
    const QString imageList = QStringLiteral("ListView(3)");
    const auto shows = [](const Probe& q, const QString& control) { return q.visible.count(control) && q.visible.at(control); };
    Probe p = waitProbe([&](const Probe& q) { return shows(q, videoList) && q.texts.value(QStringLiteral("APPLabel(1)")) == QLatin1String("2"); });
    ASSERT_TRUE(shows(p, videoList)) << "the video list ListView(2) shows with its two items";

    const auto status = [](const Probe& q) { return q.texts.value(QStringLiteral("WBTextBox(1)")); };
    const auto rowCentre = [&](const Probe& q, const QString& list, int row) {
        const Probe::List& l = q.lists.at(list);
        const QRect r = q.controls.at(list);
        return q.window.topLeft() + QPoint(r.left() + 30, r.top() + 1 + (row - l.firstVisible) * l.rowHeight + l.rowHeight / 2);
    };
    const auto doubleClick = [&](QPoint at) {
        x->moveTo(at);
        QTest::qWait(100);
        x->click(at);
        testenv::XSession::pause(80);
        x->click(at);
    };
    // The kind button (cmdPLControl(1)) steps to the next list until the
    // list of count items is on show.
    const auto stepTo = [&](const QString& list, const char* count) {
        for (int i = 0; i < 6; ++i) {
            p = probe();
            if (p.texts.value(QStringLiteral("APPLabel(1)")) == QLatin1String(count) && p.lists.count(list))
                return true;
            if (!p.controls.count(QStringLiteral("cmdPLControl(1)")))
                return false;
            x->click(p.centre(QStringLiteral("cmdPLControl(1)")));
            QTest::qWait(400);
        }
        p = probe();
        return p.texts.value(QStringLiteral("APPLabel(1)")) == QLatin1String(count) && p.lists.count(list);
    };
    const QString area = QStringLiteral("PicHolder(2)");
    const QString holder = QStringLiteral("PicHolder(3)");

    // A video plays in the tab; Escape stops it.
    doubleClick(rowCentre(p, videoList, 1));
    p = waitProbe([&](const Probe& q) { return status(q) == QLatin1String("Playing") && shows(q, area); }, 30000);
    ASSERT_TRUE(shows(p, area)) << "the video area PicHolder(2) shows the first video";
    x->keys({XK_Escape}, 60);
    p = waitProbe([&](const Probe& q) { return status(q) == QLatin1String("Stopped"); }, 10000);
    ASSERT_EQ(status(p), QStringLiteral("Stopped"));

    // The image list plays in the same tab.
    ASSERT_TRUE(stepTo(imageList, "60")) << "the image list ListView(3) never showed";
    doubleClick(rowCentre(p, imageList, 1));
    p = waitProbe([&](const Probe& q) { return status(q) == QLatin1String("Playing") && shows(q, QStringLiteral("WBIMGH(0)")); }, 30000);
    ASSERT_TRUE(shows(p, QStringLiteral("WBIMGH(0)"))) << "the image viewer's cell WBIMGH(0) shows";

    // A video again: it shows in front, its pixels lit and moving.
    ASSERT_TRUE(stepTo(videoList, "2"));
    doubleClick(rowCentre(p, videoList, 1));
    p = waitProbe([&](const Probe& q) { return status(q) == QLatin1String("Playing") && shows(q, area); }, 30000);
    ASSERT_TRUE(shows(p, area)) << "the video area PicHolder(2) shows the second play";
    ASSERT_TRUE(p.controls.count(holder));
    const QRect video = p.controls.at(holder).translated(p.window.topLeft()).intersected(
        p.controls.at(area).translated(p.window.topLeft()));
    ASSERT_FALSE(video.isEmpty());
    QImage before, after;
    const bool moving = testenv::waitFor(
        [&] {
            before = x->grab();
            QTest::qWait(500);
            after = x->grab();
            return lit(after, video) > 0.5 && before.copy(video) != after.copy(video);
        },
        15000);
    keepShot(after, QStringLiteral("realinput-video-after-escape.png"));
    EXPECT_TRUE(moving) << "the video shows in the tab: lit " << lit(after, video);

    // The arrows steer the video, the focus in the list.
    const QString knob = QStringLiteral("cmdMediaControl(15)");
    x->keys({XK_Left}, 150);
    p = waitProbe([&](const Probe& q) { return status(q) == QLatin1String("Paused"); }, 10000);
    EXPECT_EQ(status(p), QStringLiteral("Paused")) << "Left pauses";
    const double pausedAt = p.twips.at(knob).left();
    const QImage still = x->grab().copy(video);
    QTest::qWait(2500);
    p = probe();
    EXPECT_EQ(p.twips.at(knob).left(), pausedAt) << "the position stays while paused";
    EXPECT_EQ(x->grab().copy(video), still) << "the picture stays while paused";
    // The focus on the video.
    x->click(video.center());
    QTest::qWait(300);
    x->keys({XK_Right}, 150);
    p = waitProbe([&](const Probe& q) { return status(q) == QLatin1String("Playing"); }, 10000);
    EXPECT_EQ(status(p), QStringLiteral("Playing")) << "Right plays";
    x->keys({XK_Down}, 40);
    p = waitProbe([&](const Probe& q) { return q.texts.value(QStringLiteral("APPLabel(0)")) == QLatin1String("2"); }, 10000);
    EXPECT_EQ(p.texts.value(QStringLiteral("APPLabel(0)")), QStringLiteral("2")) << "Down plays the next item";
    x->keys({XK_Up}, 150);
    p = waitProbe([&](const Probe& q) { return q.texts.value(QStringLiteral("APPLabel(0)")) == QLatin1String("1"); }, 10000);
    EXPECT_EQ(p.texts.value(QStringLiteral("APPLabel(0)")), QStringLiteral("1")) << "Up plays the previous item";

    // The slide show stopped stepping when the video came in front.
    ASSERT_TRUE(stepTo(imageList, "60"));
    const QString at = p.texts.value(QStringLiteral("APPLabel(0)"));
    QTest::qWait(3000);
    p = probe();
    EXPECT_EQ(p.texts.value(QStringLiteral("APPLabel(0)")), at) << "the slide show does not step on";
}

// The slide show's delay box right of the full-screen button: it reads
// "2.0" for a list whose delay is 2, drawn where it lies, and the number
// rises while the pointer holds the box's right button down.
TEST_F(RealInput, TheDelayBoxShowsTheListsDelayAndFollowsTheHeldButton)
{
    setUserSetting(QStringLiteral("DIS_PLAYLIST"), QStringLiteral("True"));
    setUserSetting(QStringLiteral("DIS_MENUBAR2"), QStringLiteral("True"));
    const QString dir = testenv::freshDir(QStringLiteral("pictures"));
    QByteArray images = "3\r\n1\r\n2\r\n000000\r\n\r\n\r\n\r\n\r\n";
    for (int i = 0; i < 3; ++i) {
        const QString name = QStringLiteral("p%1.png").arg(i);
        ASSERT_TRUE(testmedia::writeMarkedPicture(dir + QLatin1Char('/') + name, QColor::fromHsv(i * 100, 200, 220), "PNG"));
        images += (name + QLatin1Char(',') + dir + QLatin1Char('/') + name + QStringLiteral("\r\n")).toUtf8();
    }
    ASSERT_TRUE(testenv::writeFile(dir + QStringLiteral("/images.z5p"), images));
    ASSERT_TRUE(start({dir + QStringLiteral("/images.z5p")}));
    const QString label = QStringLiteral("APPLabel(2)");
    const auto delay = [&](const Probe& q) { return q.texts.value(label); };
    Probe p = waitProbe([&](const Probe& q) { return q.visible.count(label) && q.visible.at(label) && delay(q) == QLatin1String("2.0"); });
    ASSERT_TRUE(p.visible.count(label) && p.visible.at(label)) << "the delay label APPLabel(2) shows";
    EXPECT_EQ(delay(p), QStringLiteral("2.0"));
    const QRect box = p.controls.at(label).translated(p.window.topLeft());
    ASSERT_GT(box.height(), 0) << "the delay label has a height";
    ASSERT_GT(box.width(), 0);
    // The number is drawn, light on the dark box, between its two buttons.
    const QString less = QStringLiteral("cmdMediaControl(12)");
    const QString more = QStringLiteral("cmdMediaControl(13)");
    ASSERT_TRUE(p.controls.count(less) && p.controls.count(more)) << "the delay buttons cmdMediaControl(12) and (13)";
    const QRect middle(QPoint(p.controls.at(less).translated(p.window.topLeft()).right() + 1, box.top()),
                       QPoint(p.controls.at(more).translated(p.window.topLeft()).left() - 1, box.bottom()));
    ASSERT_FALSE(middle.isEmpty());
    const auto brightest = [](const QImage& shot, const QRect& r) {
        int most = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x0 = r.left(); x0 <= r.right(); ++x0)
                most = std::max(most, qGray(shot.pixel(x0, y)));
        return most;
    };
    const QImage first = stableGrab();
    keepShot(first.copy(box.adjusted(-8, -16, 8, 8)).scaled(box.width() * 8 + 128, box.height() * 8 + 192),
             QStringLiteral("realinput-delay-box.png"));
    EXPECT_GT(brightest(first, middle), 150) << "the delay's number is drawn";

    // The right button held: the number rises while it is held and stays
    // where the release left it.
    x->moveTo(p.centre(more));
    testenv::XSession::pause(100);
    x->buttonDown();
    const Probe held = waitProbe([&](const Probe& q) { return delay(q).toDouble() >= 3.0; }, 10000);
    const QImage during = x->grab();
    x->buttonUp();
    EXPECT_GE(delay(held).toDouble(), 3.0) << "the number rises while the button is held";
    EXPECT_NE(during.copy(middle), first.copy(middle)) << "the drawn number follows";
    QTest::qWait(300);
    p = probe();
    const QString released = delay(p);
    QTest::qWait(500);
    EXPECT_EQ(delay(probe()), released) << "the release ends the rise";
    EXPECT_GT(released.toDouble(), 2.0);
}

TEST_F(RealInput, ARightClickOnARowOpensAMenuThatStaysAndKeepsTheSelection)
{
    setUserSetting(QStringLiteral("DIS_PLAYLIST"), QStringLiteral("True"));
    const QString dir = testenv::freshDir(QStringLiteral("five"));
    QByteArray list = "1\r\n1\r\n1\r\n000000\r\n\r\n\r\n\r\n\r\n";
    for (int i = 1; i <= 5; ++i)
        list += QStringLiteral("clip%1.wav,%2/clip%1.wav\r\n").arg(i).arg(dir).toUtf8();
    ASSERT_TRUE(testenv::writeFile(dir + QStringLiteral("/five.z5p"), list));
    ASSERT_TRUE(start({dir + QStringLiteral("/five.z5p")}));
    const QString audio = QStringLiteral("ListView(1)");
    Probe p = waitProbe([&](const Probe& q) { return q.texts.value(QStringLiteral("APPLabel(1)")) == QLatin1String("5") && q.lists.count(audio); });
    ASSERT_TRUE(p.lists.count(audio)) << "the audio list ListView(1) never showed its 5 rows";
    const Probe::List& l = p.lists.at(audio);
    const QRect r = p.controls.at(audio);
    const QPoint row1 = p.window.topLeft() + QPoint(r.left() + 30, r.top() + 1 + (1 - l.firstVisible) * l.rowHeight + l.rowHeight / 2);

    x->moveTo(row1);
    QTest::qWait(100);
    x->click(row1);
    p = waitProbe([&](const Probe& q) { return q.lists.count(audio) && q.lists.at(audio).selected == QLatin1String("1"); }, 10000);
    ASSERT_EQ(p.lists.at(audio).selected, QStringLiteral("1"));

    // An ordinary right click: press and release where the menu opens.
    x->click(row1, 3);
    ASSERT_TRUE(opensMenu("the list's right-button menu"));
    QTest::qWait(800);
    p = probe();
    EXPECT_TRUE(p.tracking && !p.popups.empty()) << "the menu did not stay open";
    EXPECT_EQ(p.lists.at(audio).selected, QStringLiteral("1")) << "the release chose an item";
    keepShot(stableGrab(), QStringLiteral("realinput-list-rightclick.png"));
    x->keys({XK_Escape});
    EXPECT_TRUE(staysClosed("the list's right-button menu"));
    EXPECT_EQ(probe().lists.at(audio).selected, QStringLiteral("1"));
}

TEST_F(RealInput, TheButtonsOfASnippetPageWithFramesWorkAndAFramesCommandIsRefused)
{
    testenv::HttpServer server;
    const QString path = work + QStringLiteral("/framed.z5s");
    const QString close = QStringLiteral("EVENT:Z5_VIEWSP_CLOSE-") + QString::fromLatin1(QUrl::toPercentEncoding(path, "/"));
    // The web frame fills itself with a link to the top and tries its own
    // script on a click as well.
    server.serve("/frame.html", ("<html><body style='margin:0'><a target='_top' href='" + close
                                 + "' style='display:block;width:100%;height:100%'>frame</a><script>"
                                   "document.addEventListener('click',function(){top.location.href='"
                                 + close + "';});</script></body></html>").toUtf8());
    ASSERT_TRUE(testenv::writeFile(path, ("framed\r\nwith frames\r\nhttp://s/\r\nDec 08, 2026 01:18 AM\r\n"
                                          "<HTML><BODY><iframe style='width:400px;height:200px;border:0' src='"
                                          + server.address("/frame.html")
                                          + "'></iframe><iframe src='data:text/html,<p>data</p>'></iframe>"
                                            "<iframe srcdoc='<p>srcdoc</p>'></iframe></BODY></HTML>\r\n").toUtf8()));
    ASSERT_TRUE(start({path}));
    ASSERT_TRUE(testenv::waitFor([&] { return server.requestsFor("/frame.html") == 1; }, 20000)) << "the web frame never loaded";
    QTest::qWait(1000);
    Probe p = probe();
    ASSERT_TRUE(p.controls.count(QStringLiteral("PicHolder(0)"))) << "no page holder PicHolder(0)";
    // The page's own buttons sit in the right column of its header rows
    // (25 pixels high, 1 apart): Close, Save As, Edit.
    const QRect page = p.controls.at(QStringLiteral("PicHolder(0)")).translated(p.window.topLeft());
    const auto button = [&](int row) { return QPoint(page.right() - 14, page.top() + 12 + 25 * row); };
    keepShot(stableGrab(), QStringLiteral("realinput-snippet-frames.png"));
    const QString log = work + QStringLiteral("/prompts.txt");

    // A click in the web frame: its command is refused, the page stays.
    x->click(QPoint(page.left() + 200, page.top() + 4 * 26 + 100));
    QTest::qWait(1500);
    EXPECT_EQ(server.requestsFor("/frame.html"), 1) << "the frame navigated";
    EXPECT_FALSE(QString::fromUtf8(testenv::readFile(log)).contains(QStringLiteral("Edit Web Snippet")));

    // Edit asks for the input dialog (the prompt log answers it).
    x->click(button(2));
    EXPECT_TRUE(testenv::waitFor([&] { return QString::fromUtf8(testenv::readFile(log)).contains(QStringLiteral("input\tEdit Web Snippet")); }, 10000))
        << "Edit opened no dialog";

    // Close: the only tab closes and its page with the header goes.
    const QRect header(page.topLeft(), QSize(page.width(), 100));
    const QImage shown = x->grab().copy(header);
    x->click(button(0));
    EXPECT_TRUE(testenv::waitFor([&] { return x->grab().copy(header) != shown; }, 10000)) << "Close left the snippet page";
    keepShot(stableGrab(), QStringLiteral("realinput-snippet-closed.png"));
}

TEST_F(RealInput, NewWindowChosenFromAMenuOpenedWithAltLeavesNoMenuOpen)
{
    // The program folder holds the program that New Window starts.
    const QString exe = prog + QStringLiteral("/Z5.exe");
    ASSERT_TRUE(QFile::copy(QStringLiteral(Z5_STAGE_DIR "/Z5.exe"), exe));
    testenv::HttpServer server;
    server.serve("/page.html", "<html><body style='background:#eeeeee'><p>page</p></body></html>");
    ASSERT_TRUE(start({server.address("/page.html")}));
    ASSERT_TRUE(testenv::waitFor([&] { return server.requestsFor("/page.html") >= 1; }, 30000));
    const qint64 first = program->processId();
    // The keys go to the page.
    x->click(probe().centre(QStringLiteral("PicHolder(0)")));
    QTest::qWait(300);
    x->keys({XK_Alt_L, XK_w});
    ASSERT_TRUE(opensMenu("Alt+W"));
    const Probe open = probe();
    ASSERT_TRUE(open.items.count({0, 0})) << "the New Window item";
    x->click(open.items.at({0, 0}).center());

    // The new window comes up in a process of its own.
    qint64 second = 0;
    const bool started = testenv::waitFor(
        [&] {
            for (const auto& [pid, args] : runsOf(exe))
                if (x->mainWindowOf(pid))
                    second = pid;
            return second != 0;
        },
        60000);
    struct Ender {
        qint64& pid;
        ~Ender()
        {
            if (pid > 0)
                ::kill(static_cast<pid_t>(pid), SIGKILL);
        }
    } ender{second};
    ASSERT_TRUE(started) << "no new window came up";
    // Both programs answer the probe now: the X server alone tells.
    for (int i = 0; i < 15; ++i) {
        if (!x->popupsOf(first).empty()) {
            ADD_FAILURE() << "a menu is still open in the first window, " << i * 150 << " ms after the new one showed";
            break;
        }
        QTest::qWait(150);
    }
    keepShot(x->grab(), QStringLiteral("realinput-alt-new-window.png"));
}
