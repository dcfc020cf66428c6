// The main window with its real tabs against a loopback server: keys typed
// into the address box, clicks on the navigation buttons, function and Ctrl
// keys through the thread hook, a right-button gesture.

#include "app/browserprogram.h"
#include "browsing/explorertabs.h"
#include "core/globals.h"
#include "core/settingsstore.h"
#include "core/shellnames.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/shortcuts.h"
#include "platform/web/browser.h"
#include "platform/base/com.h"
#include "platform/base/paths.h"
#include "platform/win/prompt.h"
#include "platform/win/shell.h"

#include "httpserver.h"
#include "testenv.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <QDropEvent>
#include <QTest>
#include <QWebEngineView>
#include <QWindow>

#include <gtest/gtest.h>

#include <cmath>

#include <unistd.h>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace com = platform::com;

namespace {

const bool schemeRegistered = (platform::browser::prepareBeforeApplication(), true);
const QString kMorvane = QStringLiteral(Z5_STAGE_DIR "/Skin/SK_Morvane_1.dll");

QByteArray page(const char* title, const char* body = "")
{
    return QByteArray("<html><head><title>") + title + "</title></head><body style='margin:0;height:100vh'>" + body
           + "</body></html>";
}

// Releases N and Ctrl as soon as the press of N reaches the window, from
// the next turn of whatever event loop runs then.
class QuickRelease : public QObject {
public:
    explicit QuickRelease(QWindow* window) : window_(window) { qApp->installEventFilter(this); }
    ~QuickRelease() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (!armed_ && (e->type() == QEvent::ShortcutOverride || e->type() == QEvent::KeyPress)
            && static_cast<QKeyEvent*>(e)->key() == Qt::Key_N) {
            armed_ = true;
            QTimer::singleShot(0, this, [this] {
                QTest::keyRelease(window_, Qt::Key_N, Qt::ControlModifier);
                QTest::keyRelease(window_, Qt::Key_Control);
            });
        }
        return false;
    }

private:
    QWindow* window_;
    bool armed_ = false;
};

class WindowNavigation : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(schemeRegistered);
        ASSERT_EQ(com::registerServer(kMorvane).status, com::RegistrationStatus::Done);
        SkinName = QStringLiteral("Morvane 1");
        LanguageFilePath = QStringLiteral(Z5_SOURCE_DIR "/data/Language/English.ini");
        prog = testenv::freshDir(QStringLiteral("prog fä"));
        testenv::copyTree(QStringLiteral(Z5_STAGE_DIR "/Common"), prog + QStringLiteral("/Common"));
        platform::paths::setProgramFolder(prog);
        for (const char* p : {"/a.html", "/b.html", "/x.html", "/search"})
            server.serve(QString::fromLatin1(p), page(p + 1, "<p>a findable word</p>"));
        // Searches go to the loopback server.
        SaveZ5Setting(HiveCurrentUser, QStringLiteral("DEFAULTSEARCH"), server.address("/search"));
        testenv::writeFile(prog + QStringLiteral("/Common/Z5_LIST_SEARCHQUERY.INI"),
                           "; test\r\n127.0.0.1=" + server.address("/search?q=").toUtf8() + "\r\n");
        SaveZ5Setting(HiveCurrentUser, QStringLiteral("DIS_MAXIMIZE"), QStringLiteral("False"));
        SaveZ5Setting(HiveCurrentUser, QStringLiteral("OPENLINKWITHNEWTAB"), QStringLiteral("0"));
        program = std::make_unique<BrowserProgram>(services, BrowserProgram::Parts{true, false});
        window = &program->window();
        window->show();
        // The start-up tick would open this test program's own arguments.
        window->TimerStage = 9;
        window->MainHwnd = reinterpret_cast<quintptr>(window->window());
        services.Tabs().SetTabStateRecord(0, QStringLiteral("0|1|0|0|0|-1"));
        window->move(0, 0, 12000, 8000);
        window->window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window->window(), 5000));
        ASSERT_TRUE(QTest::qWaitForWindowActive(window->window(), 5000));
        window->Form_Resize();
        // The pointer enters the window from another one, as a user's does:
        // mouse input sent before any window was entered is dropped.
        QWidget elsewhere;
        elsewhere.resize(50, 50);
        elsewhere.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&elsewhere));
        QTest::mouseMove(elsewhere.windowHandle(), QPoint(10, 10));
        // The gesture object swallows the first ten mouse notifications
        // after it is attached, as it does after every gesture.
        for (int i = 0; i < 12; ++i)
            QTest::mouseMove(handle(), centreOf(window->PicHolder[0]) + QPoint(i, i));
        window->window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window->window(), 5000));
    }

    void TearDown() override
    {
        window = nullptr;
        program.reset();
    }

    QWindow* handle() const { return window->window()->windowHandle(); }
    TabModel& model() const { return program->tabs()->tabModel(); }
    QPoint centreOf(const platform::forms::Control& c) const
    {
        return c.widget()->mapTo(window->window(), c.widget()->rect().center());
    }
    void click(const platform::forms::Control& c)
    {
        QTest::mouseClick(c.widget(), Qt::LeftButton, {}, c.widget()->rect().center());
    }

    // Types text into the address box with real keys, then Enter.
    void typeAddress(const QString& text)
    {
        QLineEdit* box = window->WBTextBox[0].lineEdit();
        QTest::mouseClick(box, Qt::LeftButton);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }

    // The address the shown tab's page has.
    QString shownUrl() const
    {
        const QWebEngineView* v = topView();
        return v ? v->url().toString(QUrl::FullyEncoded) : QString();
    }
    // The visible view in front of the others.
    QWebEngineView* topView() const
    {
        QWebEngineView* top = nullptr;
        for (QWebEngineView* v : window->window()->findChildren<QWebEngineView*>())
            if (v->isVisible() && v->parentWidget())
                if (!top || v->parentWidget()->children().indexOf(v) > top->parentWidget()->children().indexOf(top))
                    top = v;
        return top;
    }
    bool waitForRequests(const QString& path, int n, int ms = 20000)
    {
        return testenv::waitFor([&] { return server.requestsFor(path) >= n; }, ms);
    }
    bool waitForUrl(const QString& url, int ms = 20000)
    {
        return testenv::waitFor([&] { return shownUrl() == url; }, ms);
    }

    testenv::HttpServer server;
    QString prog;
    ServiceSet services;
    std::unique_ptr<BrowserProgram> program;
    frmExplorer* window = nullptr;
};

} // namespace

TEST_F(WindowNavigation, TypedAddressesAndSearchesReachTheServer)
{
    typeAddress(QStringLiteral("127.0.0.1:%1/x.html").arg(server.port()));
    ASSERT_TRUE(waitForRequests("/x.html", 1)) << server.log().join(", ").toStdString();
    ASSERT_TRUE(testenv::waitFor([] { return !ReadTypedUrl(QStringLiteral("url1")).isEmpty(); }, 20000))
        << "the typed address is kept once its title arrives";
    EXPECT_TRUE(ReadTypedUrl(QStringLiteral("url1")).endsWith(QStringLiteral("/x.html")));
    EXPECT_TRUE(ReadTypedUrl(QStringLiteral("url2")).isEmpty());

    const struct {
        const char* typed;
        const char* query;
    } searches[] = {{"two words", "q=two+words"}, {"C# a&b", "q=C%23+a%26b"}};
    for (const auto& s : searches) {
        typeAddress(QString::fromUtf8(s.typed));
        EXPECT_TRUE(testenv::waitFor([&] { return server.requested(QString::fromLatin1(s.query)); }, 20000))
            << s.typed << ": " << server.log().join(", ").toStdString();
    }
}

TEST_F(WindowNavigation, ANamedHostWithAPortTypedWithoutASchemeIsRequested)
{
    typeAddress(QStringLiteral("localhost:%1/x.html").arg(server.port()));
    EXPECT_TRUE(waitForRequests("/x.html", 1)) << server.log().join(", ").toStdString();
}

TEST_F(WindowNavigation, CtrlEnterCompletesTheBoxBeforeTheKeyIsReleased)
{
    const struct {
        const char* typed;
        const char* shown;
    } cases[] = {
        {"example", "http://www.example.com"},
        {"www.example.org", "http://www.example.org.com"},
        {"https://site.com", "www.https://site.com"},
        {"  ", "  "},
    };
    QLineEdit* box = window->WBTextBox[0].lineEdit();
    for (const auto& c : cases) {
        QTest::mouseClick(box, Qt::LeftButton);
        box->setText(QString::fromLatin1(c.typed));
        QTest::keyPress(box, Qt::Key_Return, Qt::ControlModifier);
        EXPECT_EQ(box->text(), QString::fromLatin1(c.shown)) << c.typed;
        // Nothing leaves this machine: the box is emptied before the release
        // that would navigate.
        box->clear();
        QTest::keyRelease(box, Qt::Key_Return, Qt::ControlModifier);
    }
    QTest::qWait(300);
    EXPECT_TRUE(server.log().isEmpty());
}

TEST_F(WindowNavigation, NavigationButtonsByRealClicks)
{
    typeAddress(server.address("/a.html"));
    ASSERT_TRUE(waitForUrl(server.address("/a.html")));
    click(window->cmdWBControl[5]); // Refresh
    ASSERT_TRUE(waitForRequests("/a.html", 2)) << "Refresh asks the server again";

    typeAddress(server.address("/b.html"));
    ASSERT_TRUE(waitForUrl(server.address("/b.html")));
    click(window->cmdWBControl[2]); // Back
    EXPECT_TRUE(waitForUrl(server.address("/a.html")));
    click(window->cmdWBControl[3]); // Forward
    EXPECT_TRUE(waitForUrl(server.address("/b.html")));

    window->WBTextBox[0].setText(server.address("/x.html"));
    click(window->cmdWBControl[6]); // Go
    EXPECT_TRUE(waitForRequests("/x.html", 1));
    EXPECT_TRUE(waitForUrl(server.address("/x.html")));

    click(window->cmdWBControl[4]); // Stop: nothing breaks, the page stays
    EXPECT_EQ(shownUrl(), server.address("/x.html"));

    const QString root = testenv::freshDir(QStringLiteral("up"));
    ASSERT_TRUE(QDir(root).mkpath(QStringLiteral("d/e")));
    const QString e = QUrl::fromLocalFile(root + QStringLiteral("/d/e/")).toString(QUrl::FullyEncoded);
    typeAddress(e);
    ASSERT_TRUE(waitForUrl(e));
    click(window->cmdWBControl[9]); // Up
    EXPECT_TRUE(waitForUrl(QUrl::fromLocalFile(root + QStringLiteral("/d/")).toString(QUrl::FullyEncoded)));
}

// The desktop folder and the trash show as the places they are, in the
// caption and the address box; Up follows the places: nothing above the
// desktop, the desktop above the trash and above a top folder.
TEST_F(WindowNavigation, TheDesktopAndTheTrashGoByTheirNamesAndUpFollowsThePlaces)
{
    const QString desktopPath = GetSpecialFolder(5);
    const std::optional<QString> trashPath = platform::shell::specialFolderPath(platform::shell::csidl::BitBucket);
    ASSERT_FALSE(desktopPath.isEmpty());
    ASSERT_TRUE(trashPath);
    ASSERT_TRUE(QDir().mkpath(desktopPath));
    ASSERT_TRUE(QDir().mkpath(*trashPath));
    const auto folderUrl = [](const QString& path) {
        return QUrl::fromLocalFile(path + QLatin1Char('/')).toString(QUrl::FullyEncoded);
    };
    const QString desktop = folderUrl(desktopPath);
    const QString trash = folderUrl(*trashPath);
    QLineEdit* box = window->WBTextBox[0].lineEdit();
    const auto showsName = [&](const QString& name) {
        return testenv::waitFor([&] { return window->caption() == name && box->text() == name; }, 20000);
    };
    const auto up = [&] { click(window->cmdWBControl[9]); };

    typeAddress(trash);
    ASSERT_TRUE(waitForUrl(trash));
    EXPECT_TRUE(showsName(QStringLiteral("Recycle Bin"))) << QString(window->caption() + QStringLiteral(" | ") + box->text()).toStdString();
    up();
    ASSERT_TRUE(waitForUrl(desktop)) << "the desktop is above the trash: " << shownUrl().toStdString();
    EXPECT_TRUE(showsName(QStringLiteral("Desktop"))) << QString(window->caption() + QStringLiteral(" | ") + box->text()).toStdString();
    up();
    QTest::qWait(500);
    EXPECT_EQ(shownUrl(), desktop) << "nothing is above the desktop";

    // A folder right below the root: its parent is "file:///", so Up leads
    // to the desktop.
    const QString top = QLatin1Char('/') + testenv::freshDir(QStringLiteral("top")).section(QLatin1Char('/'), 1, 1);
    typeAddress(folderUrl(top));
    ASSERT_TRUE(waitForUrl(folderUrl(top)));
    up();
    EXPECT_TRUE(waitForUrl(desktop)) << shownUrl().toStdString();
    EXPECT_TRUE(showsName(QStringLiteral("Desktop"))) << QString(window->caption() + QStringLiteral(" | ") + box->text()).toStdString();
    // A folder inside the desktop is a folder like any other.
    ASSERT_TRUE(QDir().mkpath(desktopPath + QStringLiteral("/inside")));
    typeAddress(folderUrl(desktopPath + QStringLiteral("/inside")));
    ASSERT_TRUE(waitForUrl(folderUrl(desktopPath + QStringLiteral("/inside"))));
    EXPECT_TRUE(testenv::waitFor([&] { return box->text() == desktopPath + QStringLiteral("/inside/"); }, 20000))
        << box->text().toStdString();
}

// "about:" addresses are opened as typed, never searched for.
TEST_F(WindowNavigation, AboutBlankTypedInTheAddressBoxOpensTheBlankPage)
{
    typeAddress(server.address("/a.html"));
    ASSERT_TRUE(waitForUrl(server.address("/a.html")));
    typeAddress(QStringLiteral("about:blank"));
    EXPECT_TRUE(waitForUrl(QStringLiteral("about:blank"))) << shownUrl().toStdString();
    EXPECT_EQ(server.requestsFor(QStringLiteral("/search")), 0) << server.log().join(", ").toStdString();
}

TEST_F(WindowNavigation, BackOnAPopupTabWithoutHistoryGoesToItsOpener)
{
    typeAddress(server.address("/a.html"));
    ASSERT_TRUE(waitForUrl(server.address("/a.html")));
    QTest::keyClick(handle(), Qt::Key_N, Qt::ControlModifier);
    ASSERT_TRUE(testenv::waitFor([&] { return model().TabCount() == 2 && model().CurrentTab() == 1; }));
    // The new tab as a page's popup: opened by browser 0.
    services.Tabs().SetTabStateRecord(model().TabBrowserMap()[1], QStringLiteral("2|1|0|0|0|0"));
    click(window->cmdWBControl[2]);
    EXPECT_TRUE(testenv::waitFor([&] { return model().CurrentTab() == 0; }));
}

TEST_F(WindowNavigation, KeysThroughTheHook)
{
    typeAddress(server.address("/a.html"));
    ASSERT_TRUE(waitForUrl(server.address("/a.html")));
    ASSERT_EQ(window->KeyMap[4], QStringLiteral("|0|17|"));
    // F5 held over a tick of the housekeeping timer refreshes.
    QTest::keyPress(handle(), Qt::Key_F5);
    QTest::qWait(250);
    QTest::keyRelease(handle(), Qt::Key_F5);
    EXPECT_TRUE(waitForRequests("/a.html", 2)) << server.log().join(", ").toStdString();

    QTest::keyPress(handle(), Qt::Key_Escape);
    QTest::qWait(250);
    QTest::keyRelease(handle(), Qt::Key_Escape);
    EXPECT_TRUE(testenv::waitFor([&] { return window->WBTextBox[1].text() == QStringLiteral("Stopped"); }));

    // Ctrl+A and Ctrl+C act on the address box that has the focus.
    QLineEdit* box = window->WBTextBox[0].lineEdit();
    box->setFocus();
    box->setText(QStringLiteral("copied text"));
    box->deselect();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(box->selectedText(), QStringLiteral("copied text"));

    const int tabs = model().TabCount();
    QTest::keyClick(handle(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_TRUE(testenv::waitFor([&] { return model().TabCount() == tabs + 1; }));
}

TEST_F(WindowNavigation, AQuickCtrlNOpensOneTab)
{
    typeAddress(server.address("/a.html"));
    ASSERT_TRUE(waitForUrl(server.address("/a.html")));
    const int tabs = model().TabCount();
    // A short press: the keys come up while the new tab is being made (it
    // lets pending input run), their releases already waiting when the
    // press is handled.
    QuickRelease release(handle());
    QTest::keyPress(handle(), Qt::Key_N, Qt::ControlModifier);
    ASSERT_TRUE(testenv::waitFor([&] { return model().TabCount() > tabs; }));
    QTest::qWait(300);
    EXPECT_EQ(model().TabCount(), tabs + 1);
}

TEST_F(WindowNavigation, GestureEightGoesBack)
{
    typeAddress(server.address("/a.html"));
    ASSERT_TRUE(waitForUrl(server.address("/a.html")));
    typeAddress(server.address("/b.html"));
    ASSERT_TRUE(waitForUrl(server.address("/b.html")));
    ASSERT_NE(window->Input().MouseGestures(), nullptr);
    const QPoint c = centreOf(window->PicHolder[0]);
    const QPoint points[] = {c + QPoint(150, 0), c + QPoint(50, 3), c + QPoint(-50, 2), c + QPoint(-150, 0)};
    QTest::mouseMove(handle(), points[0]);
    QTest::mousePress(handle(), Qt::RightButton, {}, points[0]);
    for (const QPoint& p : points)
        QTest::mouseMove(handle(), p);
    QTest::mouseRelease(handle(), Qt::RightButton, {}, points[3]);
    EXPECT_TRUE(waitForUrl(server.address("/a.html")));
}

TEST_F(WindowNavigation, PrintSaveAndFindKeysActOnTheShownPageOnly)
{
    const QString pdf = testenv::freshDir(QStringLiteral("print")) + QStringLiteral("/page.pdf");
    QStringList prompts;
    platform::prompt::setResponder([&](const platform::prompt::Prompt& p) {
        prompts << p.kind;
        platform::prompt::Answer a;
        a.accepted = true;
        a.text = pdf;
        return std::optional<platform::prompt::Answer>(a);
    });
    // On the blank page the page keys do nothing.
    QTest::keyClick(handle(), Qt::Key_P, Qt::ControlModifier);
    QTest::keyClick(handle(), Qt::Key_F, Qt::ControlModifier);
    QTest::qWait(200);
    EXPECT_TRUE(prompts.isEmpty());

    typeAddress(server.address("/a.html"));
    ASSERT_TRUE(waitForUrl(server.address("/a.html")));
    QTest::keyClick(handle(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(prompts, QStringList{QStringLiteral("print")});
    ASSERT_TRUE(testenv::waitFor([&] { return QFileInfo(pdf).size() > 0; }, 20000));
    EXPECT_TRUE(testenv::readFile(pdf).startsWith("%PDF"));

    const QString saved = QFileInfo(pdf).absolutePath() + QStringLiteral("/saved.html");
    platform::prompt::setResponder([&](const platform::prompt::Prompt& p) {
        prompts << p.kind;
        platform::prompt::Answer a;
        a.accepted = true;
        a.text = saved;
        return std::optional<platform::prompt::Answer>(a);
    });
    QTest::keyClick(handle(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(prompts.last(), QStringLiteral("save"));
    EXPECT_TRUE(testenv::waitFor([&] { return testenv::readFile(saved).contains("findable"); }, 20000));

    QTest::keyClick(handle(), Qt::Key_F, Qt::ControlModifier);
    auto* focused = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(focused, nullptr);
    ASSERT_NE(focused, window->WBTextBox[0].lineEdit()) << "the find bar's box has the focus";
    EXPECT_TRUE(focused->isVisible());
    QTest::keyClicks(focused, QStringLiteral("findable"));
    QTest::keyClick(focused, Qt::Key_Return);
    const auto barShows = [&](const QString& text) {
        return testenv::waitFor([&] {
            for (QLabel* l : focused->parentWidget()->findChildren<QLabel*>())
                if (l->text() == text)
                    return true;
            return false;
        }, 10000);
    };
    EXPECT_TRUE(barShows(QStringLiteral("1 matches")));
    const QString shots = qEnvironmentVariable("Z5_SCREENSHOT_DIR", QStringLiteral(Z5_BINARY_DIR "/screenshots"));
    QDir().mkpath(shots);
    QTest::qWait(200);
    window->window()->grab().save(shots + QStringLiteral("/z5-find-bar.png"));
    QTest::keyClicks(focused, QStringLiteral("zz"));
    QTest::keyClick(focused, Qt::Key_Return);
    EXPECT_TRUE(barShows(QStringLiteral("Not found")));
    QTest::keyClick(focused, Qt::Key_Escape);
    EXPECT_FALSE(focused->isVisible());
    platform::prompt::setResponder({});
}

TEST_F(WindowNavigation, TheDropDownListsTypedAddressesNewestFirstAndAPickNavigates)
{
    platform::forms::ListView& list = window->ListView[0];
    click(window->ImageBox[3]);
    EXPECT_FALSE(list.visible()) << "no typed addresses: nothing to show";

    typeAddress(server.address("/a.html"));
    ASSERT_TRUE(waitForUrl(server.address("/a.html")));
    typeAddress(server.address("/b.html"));
    ASSERT_TRUE(waitForUrl(server.address("/b.html")));
    ASSERT_TRUE(testenv::waitFor([] { return !ReadTypedUrl(QStringLiteral("url2")).isEmpty(); }));

    click(window->ImageBox[3]);
    ASSERT_TRUE(list.visible());
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.itemText(1), server.address("/b.html")) << "url2 above url1";
    EXPECT_EQ(list.itemText(2), server.address("/a.html"));
    EXPECT_EQ(list.left(), std::round(window->PicHolder[1].left()));
    EXPECT_NEAR(list.top(), window->PicHolder[1].top() + window->PicHolder[1].height(), 1);
    const QString dir = qEnvironmentVariable("Z5_SCREENSHOT_DIR", QStringLiteral(Z5_BINARY_DIR "/screenshots"));
    QDir().mkpath(dir);
    QTest::qWait(100);
    window->window()->grab().save(dir + QStringLiteral("/z5-address-dropdown.png"));

    // A click on the lower entry goes there in this tab.
    QTreeView* tree = list.tree();
    const QRect row = tree->visualRect(tree->model()->index(1, 0));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_FALSE(list.visible());
    EXPECT_TRUE(waitForUrl(server.address("/a.html")));
    EXPECT_EQ(model().TabCount(), 1);
    // The keyboard is back in the address box, which shows the address.
    EXPECT_EQ(QApplication::focusWidget(), window->WBTextBox[0].lineEdit());
    EXPECT_EQ(window->WBTextBox[0].text(), server.address("/a.html"));
}

TEST_F(WindowNavigation, DroppedTextNavigatesAndDroppedFilesAreRefused)
{
    QLineEdit* box = window->WBTextBox[0].lineEdit();
    const auto drop = [&](QMimeData* data) {
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data, Qt::LeftButton, {});
        QApplication::sendEvent(box, &enter);
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, {});
        QApplication::sendEvent(box, &dropped);
    };
    QMimeData file;
    const QString page = testenv::freshDir(QStringLiteral("drop")) + QStringLiteral("/p.html");
    testenv::writeFile(page, "<html><title>p</title></html>");
    file.setUrls({QUrl::fromLocalFile(page)});
    file.setText(page);
    drop(&file);
    QTest::qWait(300);
    EXPECT_TRUE(box->text().isEmpty()) << "a local file is not taken";

    QMimeData text;
    text.setText(server.address("/x.html"));
    drop(&text);
    EXPECT_EQ(box->text(), server.address("/x.html"));
    EXPECT_TRUE(waitForRequests("/x.html", 1));
}

TEST_F(WindowNavigation, QuickLaunchButtonsOpenTheirSettings)
{
    const QString folder = testenv::freshDir(QStringLiteral("my folder"));
    SaveZ5Setting(HiveCurrentUser, QStringLiteral("DEFAULTFOLDER"), folder);
    SaveZ5Setting(HiveCurrentUser, QStringLiteral("DEFAULTMAIL"), server.address("/b.html"));
    SaveZ5Setting(HiveCurrentUser, QStringLiteral("STARTPAGE"), QStringLiteral("00||%1||").arg(server.address("/x.html")));
    const struct {
        int button;
        QString url;
    } cases[] = {
        {1, QUrl::fromLocalFile(folder + QStringLiteral("/")).toString(QUrl::FullyEncoded)},
        {2, server.address("/b.html")},
        {3, server.address("/x.html")}, // the home address whatever the flags
        {4, server.address("/search")},
    };
    for (const auto& c : cases) {
        QTest::mouseClick(window->cmdAppOpt[c.button].widget(), Qt::LeftButton);
        EXPECT_TRUE(waitForUrl(c.url)) << c.button << " " << shownUrl().toStdString();
    }
    EXPECT_EQ(model().TabCount(), 1);
}

TEST_F(WindowNavigation, FunctionKeyProgramsGetNoShellAndTheBossKeyKeepsTheWindow)
{
    const QString dir = testenv::freshDir(QStringLiteral("f key"));
    const QString script = dir + QStringLiteral("/run me;.sh");
    const QString out = dir + QStringLiteral("/out.txt");
    ASSERT_TRUE(testenv::writeFile(script, "#!/bin/sh\necho \"$#:$0\" > \"$(dirname \"$0\")/out.txt\"\n"));
    QFile::setPermissions(script, QFile::permissions(script) | QFileDevice::ExeOwner);
    window->KeyMap[1] = QStringLiteral("|2|%1|").arg(script);
    window->KeyMap[9] = QStringLiteral("|0|10|");
    QTest::keyPress(handle(), Qt::Key_F2);
    QTest::qWait(250);
    QTest::keyRelease(handle(), Qt::Key_F2);
    ASSERT_TRUE(testenv::waitFor([&] { return QFile::exists(out); }, 10000));
    EXPECT_EQ(testenv::readFile(out).trimmed(), ("0:" + script).toUtf8());

    // Nothing could see the key once every window of the program is hidden.
    QTest::keyPress(handle(), Qt::Key_F10);
    QTest::qWait(250);
    QTest::keyRelease(handle(), Qt::Key_F10);
    EXPECT_TRUE(window->window()->isVisible());
    EXPECT_EQ(window->Input().BossKeyCode(), 0);
}

TEST_F(WindowNavigation, WithLinksInNewTabsADropFromAPageOpensATabButGoNever)
{
    window->GeneralOptionBytes[OptOpenLinkWithNewTab] = 1;
    QLineEdit* box = window->WBTextBox[0].lineEdit();
    const auto dropText = [&](const QString& text) {
        QMimeData data;
        data.setText(text);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(box, &enter);
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(box, &dropped);
    };
    dropText(server.address("/a.html"));
    ASSERT_TRUE(waitForUrl(server.address("/a.html")));
    EXPECT_EQ(model().TabCount(), 1) << "the blank tab takes the first address";

    window->WBTextBox[0].setText(server.address("/b.html"));
    click(window->cmdWBControl[6]);
    ASSERT_TRUE(waitForUrl(server.address("/b.html")));
    EXPECT_EQ(model().TabCount(), 1) << "Go stays in its tab";

    dropText(server.address("/x.html"));
    EXPECT_TRUE(testenv::waitFor([&] { return model().TabCount() == 2 && model().CurrentTab() == 1; }));
    EXPECT_TRUE(waitForUrl(server.address("/x.html")));
}

TEST_F(WindowNavigation, TheOpenCommandOpensWhatTheDialogGivesByItsKind)
{
    const QString dir = testenv::freshDir(QStringLiteral("open these"));
    ASSERT_TRUE(testenv::writeFile(dir + QStringLiteral("/a page.html"), page("local page")));
    ASSERT_TRUE(testenv::writeFile(dir + QStringLiteral("/site.url"),
                                   "[InternetShortcut]\r\nURL=" + server.address("/b.html").toUtf8() + "\r\n"));
    ASSERT_TRUE(testenv::writeFile(dir + QStringLiteral("/pics.z5p"),
                                   "3\r\n1\r\n1\r\n101000\r\n\r\n\r\n\r\n\r\none.png,/p/one.png\r\ntwo.png,/p/two.png\r\n"));
    QStringList answers;
    QStringList prompts;
    platform::prompt::setResponder([&](const platform::prompt::Prompt& p) -> std::optional<platform::prompt::Answer> {
        if (p.kind != QLatin1String("input"))
            return std::nullopt;
        prompts << p.title;
        if (answers.isEmpty())
            return platform::prompt::Answer{};
        platform::prompt::Answer a{true, 0, {}};
        a.paths = answers.takeFirst().split(QLatin1Char('|'));
        return a;
    });
    // Ctrl+O with a typed local path holding blanks.
    answers << dir + QStringLiteral("/a page.html");
    QTest::keyClick(handle(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(prompts, QStringList{QStringLiteral("Open")});
    EXPECT_TRUE(waitForUrl(QUrl::fromLocalFile(dir + QStringLiteral("/a page.html")).toString(QUrl::FullyEncoded)));

    // A shortcut goes to its address, in this tab.
    const int tabs = model().TabCount();
    answers << dir + QStringLiteral("/site.url");
    services.Tabs().OpenFileDialogCommand();
    EXPECT_TRUE(waitForUrl(server.address("/b.html")));
    EXPECT_EQ(model().TabCount(), tabs);

    // A playlist goes to its list, which shows.
    window->DisplayFlags[DisplaySidePane] = 0;
    answers << dir + QStringLiteral("/pics.z5p");
    services.Tabs().OpenFileDialogCommand();
    EXPECT_NE(window->DisplayFlags[DisplaySidePane], 0);
    EXPECT_EQ(window->CurrentListKind, 3);
    ASSERT_NE(services.Lists().ListItems(3), nullptr);
    EXPECT_EQ(services.Lists().ListItems(3)->count(), 2);
    EXPECT_TRUE(window->ListView.exists(3) && window->ListView[3].visible());
    EXPECT_EQ(window->ListView[3].itemText(2), QStringLiteral("two.png"));

    // A web folder: the page written for it leads to the address and goes.
    answers << server.address("/x.html") + QStringLiteral("|1");
    services.Tabs().OpenFileDialogCommand();
    EXPECT_TRUE(waitForRequests("/x.html", 1));
    const QStringList pages = QDir(platform::paths::privateTempFolder()).entryList({QStringLiteral("~Z5_*OpenWebFolderPage.htm")});
    EXPECT_TRUE(testenv::waitFor([&] {
        return QDir(platform::paths::privateTempFolder()).entryList({QStringLiteral("~Z5_*OpenWebFolderPage.htm")}).isEmpty();
    }, 10000)) << pages.join(QLatin1Char(' ')).toStdString();

    // Cancelled: nothing happens.
    const QString before = shownUrl();
    services.Tabs().OpenFileDialogCommand();
    QTest::qWait(200);
    EXPECT_EQ(shownUrl(), before);
    platform::prompt::setResponder({});
}

TEST_F(WindowNavigation, AHandedOverPlaylistLoadsWithoutATab)
{
    const QString dir = testenv::freshDir(QStringLiteral("handed"));
    ASSERT_TRUE(testenv::writeFile(dir + QStringLiteral("/songs.Z5P"),
                                   "1\r\n2\r\n1\r\n101000\r\n\r\n\r\n\r\n\r\na.mp3\r\nb.mp3\r\nc.mp3\r\n"));
    const int folder = platform::paths::openPrivateSubfolder(QStringLiteral("Z5Temp"));
    ASSERT_GE(folder, 0);
    const QString handOff = platform::paths::privateTempFolder() + QStringLiteral("/Z5Temp");
    ::close(folder);
    ASSERT_TRUE(testenv::writeFile(handOff + QStringLiteral("/1"), (dir + QStringLiteral("/songs.Z5P")).toUtf8()));
    const int tabs = model().TabCount();
    services.Tabs().ReadHandOffFiles();
    EXPECT_EQ(model().TabCount(), tabs);
    EXPECT_FALSE(QFile::exists(handOff + QStringLiteral("/1")));
    EXPECT_EQ(window->CurrentListKind, 1);
    ASSERT_NE(services.Lists().ListItems(1), nullptr);
    EXPECT_EQ(services.Lists().ListItems(1)->count(), 3);
    EXPECT_EQ(window->ListCurrentItem[1], 2);
    EXPECT_NE(window->DisplayFlags[DisplaySidePane], 0);
}
