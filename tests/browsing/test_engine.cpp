// The tabs on the real browser control against a loopback server: popups
// from real clicks, the command channel, the content filter, many tabs
// opened and closed, a page closing its own window.

#include "fakes.h"

#include "browsing/browserarray.h"
#include "browsing/documentsinks.h"
#include "browsing/pagetools.h"
#include "browsing/tabwatchers.h"
#include "core/connection.h"
#include "browsing/tabstaterecord.h"
#include "core/globals.h"
#include "platform/win/form.h"
#include "platform/base/paths.h"

#include "httpserver.h"
#include "testenv.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QUrl>
#include <QDateTime>
#include <QSet>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <gtest/gtest.h>

namespace {

// The command scheme is known to the engine only when registered before
// the application object exists.
const bool schemeRegistered = (platform::browser::prepareBeforeApplication(), true);

// Every name below "example" reaches the loopback server, so that the
// filter's rows can tell a listed host from another by name.
const bool namesReachTheServer = [] {
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            qgetenv("QTWEBENGINE_CHROMIUM_FLAGS") + " \"--host-resolver-rules=MAP *.example 127.0.0.1\"");
    return true;
}();

// Places the shown tab's browser over the whole form.
class PaneChrome : public RecordingChrome {
public:
    PaneChrome(CallLog& log, platform::forms::Form& form) : RecordingChrome(log), form_(form) {}
    void PlaceBrowsersInPanes(int tab) override
    {
        RecordingChrome::PlaceBrowsersInPanes(tab);
        if (tabs && tab >= 0 && tab < tabs->model().TabCount())
            if (IBrowser* b = tabs->WBMAIN(tabs->model().TabBrowserMap()[tab]))
                b->place(0, 0, form_.scaleWidth(), form_.scaleHeight());
    }
    TabBrowsing* tabs = nullptr;

private:
    platform::forms::Form& form_;
};

const QByteArray kButtonStyle = "style='position:fixed;left:0;top:0;width:100%;height:100%;margin:0'";

class EngineTabs : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(schemeRegistered);
        ASSERT_TRUE(namesReachTheServer);
        prog = testenv::freshDir(QStringLiteral("prog fä"));
        QDir(prog).mkpath("Common");
        QDir(prog).mkpath("Data");
        QDir(prog).mkpath("Other");
        QFile::copy(QStringLiteral(Z5_SOURCE_DIR "/data/Common/Z5_BlankPage.HTM"), prog + "/Common/Z5_BlankPage.HTM");
        platform::paths::setProgramFolder(prog);
        state.Initialize(1.0f);
        state.NavigationHeld.set(false);
        state.ClosedTabRingEnabled = -1;
        form.setWidth(9000);
        form.setHeight(6000);
        browsers = std::make_unique<BrowserArray>(form);
        tabs = std::make_unique<TabBrowsing>(model, state, *browsers, chrome, services);
        chrome.tabs = tabs.get();
        tabs->busyPicture = [](int16_t) { return std::optional<QPixmap>(); };
        member(0).setTag(kInitialTabState);
        form.show();
        tabs->ActivateTab(0);
    }
    void TearDown() override
    {
        tabs.reset();
        browsers.reset();
        FilterList.clear();
        GroupOpening = 0;
    }

    // WBMAIN(index), which must be loaded.
    platform::browser::Browser& member(int index) const
    {
        auto* b = browsers->control(index);
        if (!b)
            throw std::out_of_range("no browser");
        return *b;
    }
    platform::browser::Browser& browser(int tab) const { return member(model.TabBrowserMap()[tab]); }
    // Navigates a tab's browser and waits for the page.
    bool load(int tab, const QString& url)
    {
        platform::browser::Browser& b = browser(tab);
        b.navigate2(url);
        return testenv::waitFor([&] { return b.readyState() == platform::browser::ReadyComplete && b.locationURL() == url; },
                                30000);
    }
    // A real left click in the middle of the page of a tab.
    void clickMiddle(int tab)
    {
        platform::browser::Browser& b = browser(tab);
        QWidget* input = b.inputWidget();
        QTest::mouseClick(input, Qt::LeftButton, {}, input->rect().center());
    }
    // Clicks the middle of a tab's page until its gate sees a navigation to
    // an address containing text (the page may still be drawing at first);
    // false when none came.
    bool clickUntilNavigation(int tab, const QString& text)
    {
        return gateSees(tab, text, [&](const std::function<bool()>& seen) { clickUntil(tab, seen); });
    }
    // Clicks the middle of a tab's page until done() holds (a page still
    // drawing may miss the first click); false when it never did.
    bool clickUntil(int tab, const std::function<bool()>& done)
    {
        for (int attempt = 0; attempt < 20 && !done(); ++attempt) {
            clickMiddle(tab);
            testenv::waitFor(done, 1000);
        }
        return done();
    }
    // Runs drive, handing it the question whether the tab's gate has seen a
    // navigation to an address containing text; true when it has.
    bool gateSees(int tab, const QString& text, const std::function<void(const std::function<bool()>& seen)>& drive)
    {
        auto& events = browser(tab).browserEvents();
        auto inner = events.beforeNavigate2;
        bool seen = false;
        events.beforeNavigate2 = [&seen, inner, text](NavigationRequest& r) {
            seen = seen || r.url.contains(text);
            inner(r);
        };
        drive([&] { return seen; });
        events.beforeNavigate2 = inner;
        return seen;
    }
    // Navigates a tab's browser and waits until its gate has seen the address.
    bool navigateUntilSeen(int tab, const QString& url, const QString& text)
    {
        return gateSees(tab, text, [&](const std::function<bool()>& seen) {
            browser(tab).navigate2(url);
            testenv::waitFor(seen, 30000);
        });
    }
    // An address of the loopback server under another host name.
    QString at(const QString& host, const QString& path) const
    {
        return QStringLiteral("http://%1:%2%3").arg(host).arg(server.port()).arg(path);
    }
    int liveViews() const { return form.surface()->findChildren<QWebEngineView*>().size(); }
    QString dataPage(const QString& name, const QByteArray& html)
    {
        testenv::writeFile(prog + "/Data/" + name, html);
        return QUrl::fromLocalFile(prog + "/Data/" + name).toString(QUrl::FullyEncoded);
    }

    QString prog;
    testenv::HttpServer server;
    CallLog log;
    TabModel model;
    ExplorerState state;
    platform::forms::Form form;
    PaneChrome chrome{log, form};
    ServiceSet services;
    RecordingServices fakes{services, log};
    std::unique_ptr<BrowserArray> browsers;
    std::unique_ptr<TabBrowsing> tabs;
};

} // namespace

TEST_F(EngineTabs, PageTitleAndStateFollowTheLoad)
{
    server.serve("/a.html", "<html><head><title>Page A</title></head><body>a</body></html>");
    ASSERT_TRUE(load(0, server.address("/a.html")));
    EXPECT_TRUE(testenv::waitFor([&] { return model.TabTitles()[0] == "Page A"; }));
    EXPECT_EQ(browser(0).locationName(), "Page A");
    EXPECT_EQ(tabs->BusyState[0], 1);
    EXPECT_EQ(server.requestsFor("/a.html"), 1);
}

TEST_F(EngineTabs, PopupsFromRealClicksFollowThePopupSetting)
{
    server.serve("/opener.html", "<html><body style='margin:0'><button " + kButtonStyle
                                     + " onclick=\"window.open('/popup.html')\">open</button></body></html>");
    server.serve("/popup.html", "<html><head><title>Popup</title></head><body>popup</body></html>");
    enum Outcome { NewTab, OwnWindow, Refused };
    const struct {
        uint8_t mode;
        Outcome outcome;
    } cases[] = {{0, NewTab}, {2, Refused}, {1, OwnWindow}};
    for (const auto& c : cases) {
        state.PopupControlMode = c.mode;
        chrome.status.clear();
        const int tabsBefore = model.TabCount();
        const int requestsBefore = server.requestsFor("/popup.html");
        ASSERT_TRUE(load(0, server.address("/opener.html")));
        ASSERT_TRUE(clickUntil(0, [&] {
            return !chrome.status.isEmpty() || server.requestsFor("/popup.html") > requestsBefore;
        }));
        if (c.outcome == Refused) {
            EXPECT_EQ(chrome.status, "POPUP is not allowed : 1");
            QTest::qWait(500);
            EXPECT_EQ(model.TabCount(), tabsBefore);
            EXPECT_EQ(server.requestsFor("/popup.html"), requestsBefore) << "the popup's address is never requested";
            continue;
        }
        ASSERT_TRUE(testenv::waitFor([&] { return server.requestsFor("/popup.html") > requestsBefore; }, 30000));
        if (c.outcome == OwnWindow) {
            EXPECT_EQ(model.TabCount(), tabsBefore);
            QWidget* own = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (qobject_cast<QWebEngineView*>(w) && w->isVisible())
                    own = w;
            ASSERT_NE(own, nullptr);
            EXPECT_EQ(own->parentWidget(), form.window()) << "it goes with the program's window";
            continue;
        }
        ASSERT_EQ(model.TabCount(), tabsBefore + 1);
        const int popup = model.TabBrowserMap()[model.TabCount() - 1];
        EXPECT_EQ(member(popup).tag(), "2|1|0|0|0|0");
        EXPECT_EQ(browser(0).tag(), "1|1|0|0|0|-1|" + QString::number(popup));
        EXPECT_TRUE(testenv::waitFor([&] { return model.TabTitles()[model.TabCount() - 1] == "Popup"; }, 30000));
        EXPECT_EQ(model.CurrentTab(), 0) << "no click was seen by the window: the popup opens behind";
        EXPECT_TRUE(browser(0).widget()->isVisible());
    }
}

TEST_F(EngineTabs, TheSeventhPopupOfABurstIsRefused)
{
    QByteArray burst = "<html><body><script>";
    for (int i = 1; i <= 7; ++i)
        burst += "window.open('/p" + QByteArray::number(i) + ".html');";
    burst += "</script></body></html>";
    server.serve("/burst.html", burst);
    for (int i = 1; i <= 7; ++i)
        server.serve("/p" + QString::number(i) + ".html", "<html><body>p</body></html>");
    ASSERT_TRUE(load(0, server.address("/burst.html")));
    ASSERT_TRUE(testenv::waitFor([&] { return server.requestsFor("/p6.html") == 1; }, 30000));
    QTest::qWait(500);
    EXPECT_EQ(model.TabCount(), 7);
    EXPECT_EQ(server.requestsFor("/p7.html"), 0);
    EXPECT_NE(model.PopupBurstFlag(), 0);
}

TEST_F(EngineTabs, CommandLinksReachTheDownloadsOnlyFromDataPages)
{
    const QByteArray link = "<html><body style='margin:0'><a id='l' href='EVENT:Z5_DLSTAT_PAUSE' " + kButtonStyle
                            + ">pause</a></body></html>";
    server.serve("/link.html", link);
    server.serve("/frameset.html", "<html><frameset cols='100%'><frame id='F1' name='F1' src='/link.html'></frameset></html>");
    const QString local = dataPage("status.HTM", link);
    const QString localFrames = dataPage("frames.HTM", "<html><frameset cols='100%'><frame id='F1' name='F1' "
                                                       "src='status.HTM'></frameset></html>");
    testenv::writeFile(prog + "/Other/link.htm", link);
    const QString foreignFramed = dataPage("foreign.HTM", "<html><frameset cols='100%'><frame id='F1' name='F1' "
                                                          "src='../Other/link.htm'></frameset></html>");
    const struct {
        QString page;
        int delivered;
    } cases[] = {
        {local, 1},
        {localFrames, 1},
        {server.address("/link.html"), 0},
        {server.address("/frameset.html"), 0},
        {foreignFramed, 0}, // a file from outside Data framed by a Data page
    };
    for (const auto& c : cases) {
        fakes.pageEvents.clear();
        ASSERT_TRUE(load(0, c.page)) << c.page.toStdString();
        ASSERT_TRUE(clickUntilNavigation(0, "Z5_DLSTAT_PAUSE")) << c.page.toStdString();
        QTest::qWait(300); // the command is delivered on a later turn
        EXPECT_EQ(fakes.pageEvents.size(), c.delivered) << c.page.toStdString();
        EXPECT_EQ(browser(0).locationURL(), c.page) << "nothing loads";
        EXPECT_FALSE(server.requested("EVENT"));
    }

    // An address typed into a tab that shows a Data page, which the server
    // sends on to a command.
    fakes.pageEvents.clear();
    server.redirect("/to-command", "EVENT:Z5_DLSTAT_STOP");
    ASSERT_TRUE(load(0, local));
    ASSERT_TRUE(navigateUntilSeen(0, server.address("/to-command"), "Z5_DLSTAT_STOP"));
    QTest::qWait(300);
    EXPECT_EQ(server.requestsFor("/to-command"), 1);
    EXPECT_TRUE(fakes.pageEvents.isEmpty()) << "a redirect delivers nothing";
}

TEST_F(EngineTabs, LocalPagesLeadToTheWebButLoadNothingFromIt)
{
    server.serve("/web.html", "<html><body>web</body></html>");
    server.serve("/picture.png", "x", "image/png");
    const QByteArray link = "<html><body style='margin:0'><img src='" + server.address("/picture.png").toUtf8()
                            + "'><a href='" + server.address("/web.html").toUtf8() + "' " + kButtonStyle
                            + ">web</a></body></html>";
    const struct {
        const char* what;
        QString page;
    } cases[] = {
        {"a Data page", dataPage("links.HTM", link)},
        {"a frame of a Data page", dataPage("linkframes.HTM", "<html><frameset cols='100%'><frame id='F1' name='F1' "
                                                              "src='links.HTM'></frameset></html>")},
    };
    for (const auto& c : cases) {
        const int before = server.requestsFor("/web.html");
        ASSERT_TRUE(load(0, c.page)) << c.what;
        EXPECT_TRUE(clickUntil(0, [&] { return server.requestsFor("/web.html") > before; })) << c.what;
    }
    EXPECT_EQ(server.requestsFor("/picture.png"), 0) << "what a local page shows stays local";
}

TEST_F(EngineTabs, ListedSitesAreNeverRequested)
{
    server.serve("/a.html", "<html><body>a</body></html>");
    server.serve("/secret.html", "<html><body>secret</body></html>");
    server.serve("/linker.html", "<html><body style='margin:0'><a href='/secret.html?a=javascript.close' "
                                     + kButtonStyle + ">go</a></body></html>");
    FilterList = "|127.0.0.1:" + QString::number(server.port()) + "/secret|pw|";
    for (const QString& path : {QStringLiteral("/secret.html"), QStringLiteral("/secret.html?a=javascript.close")}) {
        browser(0).navigate2(server.address(path));
        QTest::qWait(700);
    }
    ASSERT_TRUE(load(0, server.address("/linker.html")));
    ASSERT_TRUE(clickUntilNavigation(0, "secret"));
    QTest::qWait(500);
    EXPECT_EQ(server.requestsFor("/secret.html"), 0) << server.log().join(", ").toStdString();
    EXPECT_EQ(browser(0).locationURL(), server.address("/linker.html"));

    // During start-up nothing loads.
    state.NavigationHeld.set(true);
    browser(0).navigate2(server.address("/a.html"));
    QTest::qWait(1000);
    EXPECT_EQ(server.requestsFor("/a.html"), 0);
}

// A listed word with a letter outside ASCII is found in paths as typed and
// as sent percent-encoded: neither the tab's address nor the page's
// pictures reach the server.
TEST_F(EngineTabs, AListedWordIsFoundInPathsTypedAndEncoded)
{
    FilterList = QStringLiteral("|b\u00fccher||");
    server.serve("/page.html", "<html><body><img src='/b\u00fccher-path.png'><img src='/b%C3%BCcher.png'>"
                               "<img src='/C-shown.png'></body></html>");
    const auto cher = [this] {
        int n = 0;
        for (const QString& line : server.log())
            n += line.contains(QStringLiteral("cher"), Qt::CaseInsensitive) ? 1 : 0;
        return n;
    };
    for (const QString& path : {QStringLiteral("/b\u00fccher-path.html"), QStringLiteral("/b%C3%BCcher.html")})
        ASSERT_TRUE(navigateUntilSeen(0, server.address(path), QStringLiteral("cher"))) << path.toStdString();
    ASSERT_TRUE(load(0, server.address("/page.html")));
    ASSERT_TRUE(testenv::waitFor([&] { return server.requestsFor("/C-shown.png") == 1; }, 30000))
        << server.log().join(", ").toStdString();
    QTest::qWait(300);
    EXPECT_EQ(cher(), 0) << server.log().join(", ").toStdString();
}

TEST_F(EngineTabs, ListedHostsAreNeverRequestedByAnyPageOrPart)
{
    // A site listed as a user types it and one listed in its ASCII form.
    FilterList = QStringLiteral("|listed.example||b\u00fccher.example||xn--mnchen-3ya.example||");
    const QString port = QString::number(server.port());
    // The paths tell the rows apart: "/L-..." asked of a listed host, "/C-..." of
    // an unlisted one, which is every row's control.
    auto expectRow = [&](const QString& what, const QString& listed, const QString& control, bool controlRequested) {
        EXPECT_EQ(server.requestsFor(listed), 0) << what.toStdString() << ": " << server.log().join(", ").toStdString();
        if (controlRequested)
            EXPECT_GE(server.requestsFor(control), 1) << what.toStdString() << " (control)";
        else
            EXPECT_EQ(server.requestsFor(control), 0) << what.toStdString() << " (control)";
    };

    // Both spellings of both entries, typed as addresses.
    const struct {
        const char* what;
        QString host;
    } spellings[] = {
        {"a Unicode entry, Unicode address", QStringLiteral("b\u00fccher.example")},
        {"a Unicode entry, ASCII address", QStringLiteral("xn--bcher-kva.example")},
        {"an ASCII entry, Unicode address", QStringLiteral("m\u00fcnchen.example")},
        {"an ASCII entry, ASCII address", QStringLiteral("xn--mnchen-3ya.example")},
    };
    auto ace = [](const QString& host) { return QString::fromLatin1(QUrl::toAce(host)); };
    for (const auto& c : spellings) {
        const QString path = "/L-" + ace(c.host);
        ASSERT_TRUE(navigateUntilSeen(0, at(c.host, path), path)) << c.what;
        QTest::qWait(300);
    }
    server.serve("/C-spelling", "<html><body>c</body></html>");
    ASSERT_TRUE(load(0, at("buecher.example", "/C-spelling")));
    QTest::qWait(300);
    for (const auto& c : spellings)
        expectRow(QString::fromUtf8(c.what), "/L-" + ace(c.host), "/C-spelling", true);

    // Every kind of request a page makes; the service worker's own requests
    // come from a page of a secure origin.
    const QStringList kinds = {"image", "script", "stylesheet", "prefetch", "fetch",
                               "xhr", "beacon", "websocket", "idn-image"};
    QByteArray sub = "<html><head>";
    for (const char* side : {"listed", "open"}) {
        const QByteArray base = "http://" + QByteArray(side) + ".example:" + port.toUtf8() + "/"
                                + (QByteArray(side) == "listed" ? "L-" : "C-");
        sub += "<link rel=stylesheet href='" + base + "stylesheet'><link rel=prefetch href='" + base + "prefetch'>"
               "<script src='" + base + "script'></script>";
    }
    sub += "</head><body><img src='http://listed.example:" + port.toUtf8() + "/L-image'><img src='http://open.example:"
           + port.toUtf8() + "/C-image'><img src='http://b\u00fccher.example:" + port.toUtf8()
           + "/L-idn-image'><img src='http://open.example:" + port.toUtf8() + "/C-idn-image'><script>"
             "for (const side of ['listed', 'open']) {"
             "  const base = 'http://' + side + '.example:" + port.toUtf8() + "/' + (side == 'listed' ? 'L-' : 'C-');"
             "  fetch(base + 'fetch').catch(() => 0);"
             "  const x = new XMLHttpRequest(); x.open('GET', base + 'xhr'); x.send();"
             "  navigator.sendBeacon(base + 'beacon', 'x');"
             "  try { new WebSocket('ws://' + side + '.example:" + port.toUtf8() + "/' + (side == 'listed' ? 'L-' : 'C-')"
             "    + 'websocket'); } catch (e) {}"
             "}</script></body></html>";
    server.serve("/sub.html", sub);
    server.serve("/worker.html", "<html><body><script>navigator.serviceWorker.register('/worker.js');</script></body></html>");
    server.serve("/worker.js", "self.addEventListener('install', e => e.waitUntil(Promise.all(["
                               "fetch('http://listed.example:" + port.toUtf8() + "/L-serviceworker').catch(() => 0),"
                               "fetch('http://open.example:" + port.toUtf8() + "/C-serviceworker').catch(() => 0)])));",
                 "text/javascript");
    ASSERT_TRUE(load(0, at("open.example", "/sub.html")));
    ASSERT_TRUE(load(0, server.address("/worker.html")));
    ASSERT_TRUE(testenv::waitFor([&] {
        for (const QString& k : kinds + QStringList{"serviceworker"})
            if (server.requestsFor("/C-" + k) == 0)
                return false;
        return true;
    }, 30000)) << server.log().join(", ").toStdString();
    QTest::qWait(300);
    for (const QString& k : kinds + QStringList{"serviceworker"})
        expectRow(k, "/L-" + k, "/C-" + k, true);

    // Popups in every mode reaching a listed host directly, through a page
    // whose script goes there, or by a redirect.
    enum Way { Direct, Hop, Redirect, Control };
    for (uint8_t mode = 0; mode <= 4; ++mode) {
        state.PopupControlMode = mode;
        const QString m = QString::number(mode);
        auto target = [&](Way way) -> QString {
            switch (way) {
            case Direct: return at("listed.example", "/L-popup-" + m + "-direct");
            case Hop: return at("open.example", "/hop-" + m + ".html");
            case Redirect: return at("open.example", "/redirect-" + m);
            case Control: break;
            }
            return at("open.example", "/C-popup-" + m);
        };
        server.serve("/hop-" + m + ".html", "<html><body><script>location.href = '"
                                                + at("listed.example", "/L-popup-" + m + "-hop").toUtf8()
                                                + "';</script></body></html>");
        server.redirect("/redirect-" + m, at("listed.example", "/L-popup-" + m + "-redirect").toUtf8());
        server.serve("/C-popup-" + m, "<html><body>control</body></html>");
        // Each opener in a tab of its own, which it keeps while its popup opens.
        for (Way way : {Direct, Hop, Redirect, Control}) {
            const QString opener = "/opener-" + m + "-" + QString::number(way) + ".html";
            server.serve(opener, "<html><body><script>window.open('" + target(way).toUtf8() + "');</script></body></html>");
            const int tab = model.TabCount();
            tabs->NewTab(tab, true, true);
            if (mode == 4) {
                // The hidden browser takes one popup at a time: it sends each
                // back into its opener's tab before the next opens.
                const QString path = QUrl(target(way)).path();
                ASSERT_TRUE(navigateUntilSeen(tab, at("open.example", opener), path)) << opener.toStdString();
            } else {
                browser(tab).navigate2(at("open.example", opener));
            }
            ASSERT_TRUE(testenv::waitFor([&] { return server.requestsFor(opener) > 0; }, 30000)) << opener.toStdString();
        }
        // Mode 2 refuses every popup: nothing opens, the control neither.
        const bool opens = mode != 2;
        for (const QString& shown : QStringList{"/C-popup-" + m, "/hop-" + m + ".html", "/redirect-" + m}) {
            if (opens) {
                EXPECT_TRUE(testenv::waitFor([&] { return server.requestsFor(shown) > 0; }, 30000))
                    << shown.toStdString() << " in mode " << m.toStdString();
            }
        }
        QTest::qWait(700);
        for (const char* way : {"direct", "hop", "redirect"})
            expectRow("popup mode " + m + " " + way, "/L-popup-" + m + "-" + way, "/C-popup-" + m, opens);
        tabs->CloseTabs(1);
    }
}

TEST_F(EngineTabs, TwelveTabsOpenedClosedAndReopened)
{
    for (int i = 1; i <= 12; ++i)
        server.serve("/t" + QString::number(i) + ".html",
                     "<html><head><title>T" + QByteArray::number(i) + "</title></head><body>t</body></html>");
    ASSERT_TRUE(load(0, server.address("/t1.html")));
    for (int i = 2; i <= 12; ++i) {
        const int n = model.TabCount();
        tabs->NewTab(n, true, true);
        model.SetCurrentTab(n);
        tabs->ActivateTab(n);
        ASSERT_TRUE(load(n, server.address("/t" + QString::number(i) + ".html")));
    }
    ASSERT_EQ(model.TabCount(), 12);
    EXPECT_EQ(liveViews(), 12 + 1) << "the tabs and the popup catcher";

    // Mixed order: a background tab, the current last one, a current one
    // in the middle, then browser 0's tab.
    tabs->CloseTab(3, false);
    tabs->CloseTab(model.CurrentTab(), true);
    model.SetCurrentTab(6);
    tabs->ActivateTab(6);
    tabs->CloseTab(6, false);
    tabs->CloseTab(0, false);
    ASSERT_EQ(model.TabCount(), 8);
    const QString keptUrl = browser(model.CurrentTab()).locationURL();
    tabs->CloseTabs(3);
    EXPECT_EQ(model.TabCount(), 1);
    EXPECT_EQ(browser(0).locationURL(), keptUrl);
    QTest::qWait(300); // views go once their events are done
    EXPECT_EQ(liveViews(), 1 + 1 + 1) << "the kept tab, browser 0 and the catcher";
    // Browser 0 has no tab: hidden, on the blank page, nothing playing.
    platform::browser::Browser* b0 = &member(0);
    EXPECT_FALSE(b0->visible());
    EXPECT_TRUE(testenv::waitFor([&] { return b0->locationURL().endsWith("Z5_BlankPage.HTM"); }, 30000));
    EXPECT_EQ(b0->tag(), kInitialTabState);
    for (QWebEngineView* v : form.surface()->findChildren<QWebEngineView*>())
        EXPECT_FALSE(v->page()->recentlyAudible());

    // Two current tabs were closed with their pages loaded.
    EXPECT_EQ(model.ClosedTabUrls()[0], server.address("/t8.html"));
    EXPECT_EQ(model.ClosedTabUrls()[1], server.address("/t12.html"));
    EXPECT_EQ(keptUrl, server.address("/t10.html"));
    tabs->ReopenClosedTab();
    ASSERT_TRUE(testenv::waitFor([&] { return browser(0).locationURL() == server.address("/t8.html"); }, 30000));
    tabs->ReopenClosedTab();
    ASSERT_TRUE(testenv::waitFor([&] { return browser(0).locationURL() == server.address("/t12.html"); }, 30000));
}

TEST_F(EngineTabs, APopupClosingItselfAfterAClickGivesTheTabBack)
{
    server.serve("/opener.html", "<html><body style='margin:0'><button " + kButtonStyle
                                     + " onclick=\"window.open('/closer.html')\">open</button></body></html>");
    server.serve("/closer.html", "<html><head><title>Closer</title></head><body style='margin:0'><button "
                                     + kButtonStyle + " onclick='window.close()'>close</button></body></html>");
    ASSERT_TRUE(load(0, server.address("/opener.html")));
    ASSERT_TRUE(clickUntil(0, [&] { return model.TabCount() == 2; }));
    ASSERT_TRUE(testenv::waitFor([&] { return model.TabTitles()[1] == "Closer"; }, 30000));
    tabs->GoToTab(1);
    // The view shown again takes input once its page knows it is shown.
    bool pageShown = false;
    ASSERT_TRUE(testenv::waitFor([&] {
        browser(1).page()->runJavaScript("document.visibilityState",
                                         [&](const QVariant& v) { pageShown = v.toString() == "visible"; });
        QTest::qWait(50);
        return pageShown;
    }));
    // The main window's mouse poll saw the click in the browser area.
    model.SetUserClickState(2);
    ASSERT_TRUE(clickUntil(1, [&] { return model.TabCount() == 1; }));
    EXPECT_EQ(model.CurrentTab(), 0);
    EXPECT_EQ(browser(0).tag(), "1|1|0|0|0|-1");
    EXPECT_TRUE(member(0).visible());
}

// ---- Document events, status frames, offline mode and popup bursts ----

namespace {

// Runs a script in the page's own world and waits for its answer.
QVariant pageValue(platform::browser::Browser& b, const QString& script)
{
    QVariant value;
    bool done = false;
    b.page()->runJavaScript(script, QWebEngineScript::MainWorld, [&](const QVariant& v) {
        value = v;
        done = true;
    });
    testenv::waitFor([&] { return done; }, 10000);
    return value;
}

// The centre of an element of the page (CSS pixels = widget pixels here).
QPoint centreOf(platform::browser::Browser& b, const QString& selectorScript)
{
    const QVariantList r = pageValue(b, QStringLiteral("(function(){var e=%1;var r=e.getBoundingClientRect();"
                                                       "return [r.left+r.width/2, r.top+r.height/2];})()")
                                            .arg(selectorScript))
                               .toList();
    return r.size() == 2 ? QPoint(r[0].toInt(), r[1].toInt()) : QPoint(-1, -1);
}

} // namespace

TEST_F(EngineTabs, TheBridgeBindsFourSameOriginFramesAndTakesOnlyRealEvents)
{
    QByteArray frames;
    for (int i = 1; i <= 6; ++i) {
        server.serve(QStringLiteral("/frame%1.html").arg(i),
                     QStringLiteral("<html><body style='margin:0'><p id='p' style='margin:0;height:80px'>frame %1</p>"
                                    "</body></html>")
                         .arg(i)
                         .toUtf8());
        frames += QStringLiteral("<iframe id='f%1' src='/frame%1.html' style='position:absolute;left:%2px;top:120px;"
                                 "width:90px;height:90px;border:0'></iframe>")
                      .arg(i)
                      .arg((i - 1) * 100)
                      .toUtf8();
    }
    server.serve("/six.html",
                 "<html><body style='margin:0;height:3000px'>"
                 "<div id='outer' style='position:absolute;left:0;top:0;width:300px;height:100px'>"
                 "<i>in <b id='b' style='font-size:60px'>bold</b></i></div>"
                     + frames
                     + "<script>document.addEventListener('dragstart',function(e){document.title='drag '+e.defaultPrevented;});"
                       "</script></body></html>");
    ASSERT_TRUE(load(0, server.address("/six.html")));
    ASSERT_TRUE(testenv::waitFor([&] { return server.requestsFor("/frame6.html") == 1; }));
    ASSERT_TRUE(testenv::waitFor(
        [&] { return pageValue(browser(0), "document.getElementById('f6').contentDocument.readyState").toString() == "complete"; }));

    DocumentSinks sinks(state, *tabs);
    sinks.BindDocumentEvents();
    ASSERT_TRUE(testenv::waitFor([&] { return !sinks.BoundFrames.isEmpty(); }));
    EXPECT_EQ(sinks.BoundFrames, (QList<int>{1, 2, 3, 4}));

    QWidget* input = browser(0).inputWidget();
    // A real press on the nested <b> gives its own markup, not its container's.
    const QPoint bold = centreOf(browser(0), "document.getElementById('b')");
    for (int attempt = 0; attempt < 20 && sinks.ClickedElementHtml.isEmpty(); ++attempt) {
        QTest::mouseClick(input, Qt::LeftButton, {}, bold);
        testenv::waitFor([&] { return !sinks.ClickedElementHtml.isEmpty(); }, 500);
    }
    EXPECT_EQ(sinks.ClickedElementHtml, "<b id=\"b\" style=\"font-size:60px\">bold</b>");

    // Frame 2 is bound, frame 5 is not.
    sinks.ClickedElementHtml.clear();
    QTest::mouseClick(input, Qt::LeftButton, {}, QPoint(100 + 45, 120 + 20));
    EXPECT_TRUE(testenv::waitFor([&] { return sinks.ClickedElementHtml.contains("frame 2"); }, 5000));
    sinks.ClickedElementHtml.clear();
    QTest::mouseClick(input, Qt::LeftButton, {}, QPoint(400 + 45, 120 + 20));
    QTest::qWait(700);
    EXPECT_EQ(sinks.ClickedElementHtml, QString());

    // The page's own script can neither reach the channel nor pass for a press.
    EXPECT_EQ(pageValue(browser(0), "typeof qt + ' ' + typeof window.__z5bridge").toString(), "undefined undefined");
    pageValue(browser(0), "document.getElementById('b').dispatchEvent(new MouseEvent('mousedown',{bubbles:true}));"
                          "document.getElementById('f1').contentDocument.getElementById('p')"
                          ".dispatchEvent(new MouseEvent('mousedown',{bubbles:true})); 1");
    QTest::qWait(700);
    EXPECT_EQ(sinks.ClickedElementHtml, QString());

    // A drag start in a bound document is cancelled.
    pageValue(browser(0), "document.getElementById('b').dispatchEvent(new DragEvent('dragstart',"
                          "{bubbles:true,cancelable:true})); 1");
    EXPECT_TRUE(testenv::waitFor([&] { return browser(0).locationName() == "drag true"; }, 5000));

    // A scroll is not a click that may open a popup.
    model.SetUserClickState(2);
    pageValue(browser(0), "window.scrollTo(0, 800); 1");
    EXPECT_TRUE(testenv::waitFor([&] { return model.UserClickState() == 0; }, 5000));

    // Released: presses are no longer taken and drags are the page's again.
    sinks.ReleaseDocumentEvents();
    pageValue(browser(0), "window.scrollTo(0, 0); 1");
    QTest::qWait(300);
    QTest::mouseClick(input, Qt::LeftButton, {}, bold);
    QTest::qWait(700);
    EXPECT_EQ(sinks.ClickedElementHtml, QString());
    pageValue(browser(0), "document.getElementById('b').dispatchEvent(new DragEvent('dragstart',"
                          "{bubbles:true,cancelable:true})); 1");
    EXPECT_TRUE(testenv::waitFor([&] { return browser(0).locationName() == "drag false"; }, 5000));
}

// The bridge comes into a document once it has loaded, or half a second
// after it was made. A bind asked before then waits for it; a release asked
// before then cancels the wait.
TEST_F(EngineTabs, ABindAskedWhileThePageStillLoadsWaitsForTheBridge)
{
    server.hold("/stall.png");
    server.serve("/frame.html", "<html><body>frame</body></html>");
    server.serve("/slow.html", "<html><body><iframe src='/frame.html'></iframe><img src='/stall.png'>"
                               "<script>document.title='made';</script></body></html>");
    DocumentSinks sinks(state, *tabs);
    const struct {
        const char* what;
        bool released;
    } cases[] = {{"bound", false}, {"bound, then released", true}};
    for (const auto& c : cases) {
        sinks.BoundFrames.clear();
        browser(0).navigate2(server.address("/slow.html"));
        ASSERT_TRUE(testenv::waitFor([&] { return browser(0).locationName() == "made"; })) << c.what;
        sinks.BindDocumentEvents();
        if (c.released)
            sinks.ReleaseDocumentEvents();
        // The image never comes: the bridge arrives by its half-second bound.
        EXPECT_EQ(testenv::waitFor([&] { return sinks.BoundFrames == QList<int>{1}; }, c.released ? 1500 : 10000),
                  !c.released)
            << c.what;
        EXPECT_NE(browser(0).readyState(), platform::browser::ReadyComplete) << c.what << ": the page is still loading";
        server.releaseHeld();
        ASSERT_TRUE(testenv::waitFor([&] { return browser(0).readyState() == platform::browser::ReadyComplete; }))
            << c.what;
        sinks.ReleaseDocumentEvents();
        server.hold("/stall.png");
    }
}

TEST_F(EngineTabs, StatusFramesReloadFromTheDataFolderInTheirOrder)
{
    const QString base = prog + "/Data/DL page";
    auto frame = [](int k) {
        return QStringLiteral("<html><body>frame %1 <script>parent.loads && parent.loads.push('F%1');</script>"
                              "</body></html>")
            .arg(k)
            .toUtf8();
    };
    for (int k = 1; k <= 3; ++k)
        testenv::writeFile(base + QStringLiteral("F%1.HTM").arg(k), frame(k));
    const QString page = dataPage("DL page.HTM", "<html><head><script>var loads=[];</script></head>"
                                                 "<frameset rows='33%,33%,*'>"
                                                 "<frame id='F1' name='F1' src='DL%20pageF1.HTM'>"
                                                 "<frame id='F2' name='F2' src='DL%20pageF2.HTM'>"
                                                 "<frame id='F3' name='F3' src='DL%20pageF3.HTM'></frameset></html>");
    ASSERT_TRUE(load(0, page));
    // The frames' own log of their loads, read and emptied.
    auto takeLoads = [&] {
        const QString loads = pageValue(browser(0), "var l=loads.join(','); loads.length=0; l").toString();
        return loads;
    };
    ASSERT_TRUE(testenv::waitFor([&] { return pageValue(browser(0), "loads.length").toInt() == 3; }));
    takeLoads();

    // The frames' loads in the order the page asked for them (the gate sees
    // each frame navigation), and the frames the pages say were loaded.
    QStringList asked;
    auto& events = browser(0).browserEvents();
    auto gate = events.beforeNavigate2;
    events.beforeNavigate2 = [&asked, gate](NavigationRequest& r) {
        if (!r.topLevel)
            asked << QUrl(r.url).fileName().mid(7, 2);
        gate(r);
    };
    TabWatchers watchers(state, *tabs);
    auto tick = [&](int loads) {
        asked.clear();
        watchers.RefreshDownloadStatusFrames();
        QStringList loaded;
        testenv::waitFor([&] {
            const QString more = takeLoads();
            if (!more.isEmpty())
                loaded += more.split(',');
            return loaded.size() >= loads;
        }, 10000);
        QTest::qWait(300);
        if (const QString more = takeLoads(); !more.isEmpty())
            loaded += more.split(',');
        loaded.sort();
        return std::make_pair(asked, loaded);
    };
    using Seen = std::pair<QStringList, QStringList>;
    // The first tick sees every file as new; F1 and F2, asked twice, load once at least.
    const Seen first = tick(3);
    EXPECT_EQ(first.first, (QStringList{"F1", "F2", "F3", "F2", "F1"}));
    EXPECT_EQ(QSet<QString>(first.second.begin(), first.second.end()), (QSet<QString>{"F1", "F2", "F3"}));

    auto touch = [&](int k, const QByteArray& extra) {
        testenv::writeFile(base + QStringLiteral("F%1.HTM").arg(k), frame(k) + extra);
    };
    touch(3, "<!-- 1 -->");
    EXPECT_EQ(tick(3), Seen({"F3", "F2", "F1"}, {"F1", "F2", "F3"}));
    touch(1, "<!-- 1 -->");
    EXPECT_EQ(tick(1), Seen({"F1"}, {"F1"}));
    // A second write within the same second shows too.
    touch(1, "<!-- 2 -->");
    EXPECT_EQ(tick(1), Seen({"F1"}, {"F1"}));
    EXPECT_EQ(tick(0), Seen());

    // The stop acknowledgement is consumed.
    testenv::writeFile(base + ".Z5C2", "");
    state.PendingListPauses[QFileInfo(base).fileName()] = QDeadlineTimer(60000);
    watchers.RefreshDownloadStatusFrames();
    EXPECT_FALSE(QFile::exists(base + ".Z5C2"));
    EXPECT_TRUE(state.PendingListPauses.empty());
}

TEST_F(EngineTabs, WorkingOfflineBlocksRequestsUntilSwitchedBack)
{
    server.serve("/on.html", "<html><body>on</body></html>");
    server.serve("/off.html", "<html><body>off</body></html>");
    SetIeWorkOffline(false);
    PageTools tools(state, *tabs);
    ASSERT_FALSE(tools.WorkOfflineFlag);
    ASSERT_TRUE(load(0, server.address("/on.html")));
    tools.ToggleWorkOffline();
    EXPECT_TRUE(IsIeOffline());
    browser(0).navigate2(server.address("/off.html"));
    QTest::qWait(1500);
    EXPECT_EQ(server.requestsFor("/off.html"), 0);
    tools.ToggleWorkOffline();
    EXPECT_FALSE(IsIeOffline());
    EXPECT_TRUE(load(0, server.address("/off.html?online")));
    EXPECT_TRUE(server.requested("/off.html?online"));
    EXPECT_EQ(server.requestsFor("/off.html"), 1);
}

TEST_F(EngineTabs, ADuplicatePopupOfABurstClosesOnceThePopupsHaveTheirAddresses)
{
    server.serve("/burst.html",
                 "<html><body style='margin:0'><button " + kButtonStyle
                     + " onclick=\"window.open('/p1.html');window.open('/p2.html');window.open('/p1.html')\">go</button>"
                       "</body></html>");
    for (const char* p : {"/p1.html", "/p2.html", "/mine.html"})
        server.serve(QString::fromLatin1(p), "<html><body>popup</body></html>");
    state.PopupControlMode = 0;
    ASSERT_TRUE(load(0, server.address("/burst.html")));
    // The user's own tab on the same address as a popup.
    tabs->NewTab(1, false, true);
    ASSERT_TRUE(load(1, server.address("/p1.html")));
    const int own = model.TabBrowserMap()[1];
    tabs->ActivateTab(0);
    TabWatchers watchers(state, *tabs);
    ASSERT_TRUE(clickUntil(0, [&] { return model.TabCount() >= 5; }));
    ASSERT_NE(model.PopupBurstFlag(), 0);
    // The housekeeping ticks from the moment the popups' tabs exist, while
    // their pages may still be on their way.
    for (int tick = 0; tick < 300 && model.PopupBurstFlag() != 0; ++tick) {
        watchers.CloseDuplicatePopupTabs();
        QTest::qWait(100);
    }
    QStringList left;
    for (int t = 0; t < model.TabCount(); ++t)
        left << QUrl(browser(t).locationURL()).path();
    EXPECT_EQ(left.count("/p1.html"), 2);
    EXPECT_EQ(left.count("/p2.html"), 1);
    EXPECT_EQ(model.TabCount(), 4);
    EXPECT_GE(tabs->TabOfBrowser(own), 0) << "the user's own tab stays";
}
