// The browser control on the web engine: its address form, its gate with
// the command scheme, its events, and views hidden under other browsers.

#include "platform/web/browser.h"
#include "platform/win/controlarray.h"
#include "platform/win/form.h"
#include "platform/base/paths.h"

#include "httpserver.h"
#include "testenv.h"

#include <QUrl>
#include <QWebEnginePage>

#include <gtest/gtest.h>

#include <stdexcept>

namespace browser = platform::browser;

namespace {

const bool schemeRegistered = (browser::prepareBeforeApplication(), true);

struct Browsers {
    Browsers()
    {
        form.setWidth(6000);
        form.setHeight(4500);
        form.show();
    }
    browser::Browser& at(int i)
    {
        auto* b = array.at(i);
        if (!b)
            throw std::out_of_range("no browser");
        return *b;
    }
    bool load(int i, const QString& url)
    {
        at(i).navigate2(url);
        return testenv::waitFor([&] { return at(i).readyState() == browser::ReadyComplete && at(i).locationURL() == url; },
                                30000);
    }
    platform::forms::Form form;
    platform::forms::ControlArray<browser::Browser> array{form, QStringLiteral("WBMAIN")};
};

} // namespace

TEST(BrowserControl, AddressesHaveOneTextForm)
{
    const QString folder = testenv::freshDir(QStringLiteral("prog fä"));
    testenv::writeFile(folder + "/Index.htm", "x");
    const struct {
        QString in;
        QString out;
    } cases[] = {
        {folder + "\\Index.htm", QUrl::fromLocalFile(folder + "/Index.htm").toString(QUrl::FullyEncoded)},
        {folder + "\\INDEX.HTM", QUrl::fromLocalFile(folder + "/Index.htm").toString(QUrl::FullyEncoded)},
        {"http://Example.COM/a b?q=ü", "http://example.com/a%20b?q=%C3%BC"},
        {"  http://example.com/  ", "http://example.com/"},
        {"example.com", "http://example.com"},
        {"127.0.0.1:8080/x.html", "http://127.0.0.1:8080/x.html"},
        {"localhost:8080/x", "http://localhost:8080/x"},
        {"host.example:8080/x?q=1", "http://host.example:8080/x?q=1"},
        {"localhost:8080", "http://localhost:8080"},
        {"mailto:a@b.example", "mailto:a@b.example"},
        {"about:blank", "about:blank"},
        {"EVENT:Z5_DLSTAT_PAUSE", "event:Z5_DLSTAT_PAUSE"},
        {"", ""},
        {"   ", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(browser::canonicalUrl(c.in), c.out) << c.in.toStdString();
    EXPECT_TRUE(browser::canonicalUrl(folder + "\\Index.htm").contains("prog%20f%C3%A4"));
}

TEST(BrowserControl, GateSeesEveryNavigationAndCommandsNeverLoad)
{
    ASSERT_TRUE(schemeRegistered);
    testenv::HttpServer server;
    server.serve("/frames.html", "<html><frameset cols='50%,50%'><frame id='F1' name='F1' src='/f1.html'>"
                                 "<frame id='F2' name='F2' src='/f2.html'></frameset></html>");
    server.serve("/f1.html", "<html><body>one</body></html>");
    server.serve("/f2.html", "<html><body>two</body></html>");
    server.serve("/refused.html", "<html><body>no</body></html>");
    Browsers b;
    b.array.create(0);
    QList<browser::NavigationRequest> seen;
    bool throwIn = false;
    b.at(0).browserEvents().beforeNavigate2 = [&](browser::NavigationRequest& r) {
        seen << r;
        if (throwIn)
            throw std::runtime_error("gate failed");
        r.cancel = r.url.contains("refused");
    };
    ASSERT_TRUE(b.load(0, server.address("/frames.html")));
    ASSERT_TRUE(testenv::waitFor([&] { return server.requestsFor("/f2.html") == 1; }));
    ASSERT_GE(seen.size(), 3);
    EXPECT_TRUE(seen[0].topLevel);
    int frames = 0;
    for (const auto& r : seen)
        if (!r.topLevel) {
            ++frames;
            EXPECT_EQ(r.pageUrl, server.address("/frames.html"));
        }
    EXPECT_EQ(frames, 2);

    // Refused, a failing gate, and the command scheme whatever the gate says.
    const QString before = b.at(0).locationURL();
    b.at(0).navigate2(server.address("/refused.html"));
    throwIn = true;
    b.at(0).navigate2(server.address("/f1.html?again"));
    QTest::qWait(800);
    throwIn = false;
    seen.clear();
    b.at(0).page()->runJavaScript("location.href = 'EVENT:anything';");
    ASSERT_TRUE(testenv::waitFor([&] { return !seen.isEmpty(); }));
    EXPECT_EQ(seen.last().url, "event:anything");
    QTest::qWait(500);
    EXPECT_EQ(b.at(0).locationURL(), before);
    EXPECT_EQ(server.requestsFor("/refused.html"), 0);
    EXPECT_FALSE(server.requested("again"));
    // What reaches the command scheme other than by navigating fails.
    server.serve("/img.html", "<html><body><img src='event:Z5_X' onerror=\"document.title='refused'\" "
                              "onload=\"document.title='loaded'\"></body></html>");
    ASSERT_TRUE(b.load(0, server.address("/img.html")));
    EXPECT_TRUE(testenv::waitFor([&] { return b.at(0).locationName() == "refused"; }));
    EXPECT_TRUE(browser::isCommandUrl("Event:Z5_X"));
    EXPECT_FALSE(browser::isCommandUrl("events:Z5_X"));
}

TEST(BrowserControl, EventsOfALoad)
{
    testenv::HttpServer server;
    server.serve("/a.html", "<html><head><title>First</title></head><body><a href='/b.html'>b</a></body></html>");
    server.serve("/b.html", "<html><head><title>Second</title></head><body>b</body></html>");
    Browsers b;
    b.array.create(0);
    QStringList log;
    auto& e = b.at(0).browserEvents();
    e.downloadBegin = [&] { log << "begin"; };
    e.downloadComplete = [&] { log << "complete"; };
    e.documentComplete = [&](const QString& url, bool top) { log << "document " + url + (top ? " top" : ""); };
    e.titleChange = [&](const QString& t) { log << "title " + t; };
    e.commandStateChange = [&](int c, bool en) {
        if (c != browser::CmdStateUpdate)
            log << QStringLiteral("command %1 %2").arg(c).arg(en);
    };
    ASSERT_TRUE(b.load(0, server.address("/a.html")));
    ASSERT_TRUE(b.load(0, server.address("/b.html")));
    ASSERT_TRUE(testenv::waitFor([&] { return log.contains("title Second"); }));
    EXPECT_TRUE(log.contains("title First"));
    EXPECT_EQ(log.count("begin"), 2);
    EXPECT_EQ(log.count("complete"), 2);
    EXPECT_TRUE(log.contains("document " + server.address("/b.html") + " top"));
    EXPECT_EQ(log.count("command 2 1"), 1) << log.join(", ").toStdString(); // Back became possible once
    EXPECT_TRUE(b.at(0).canGoBack());
    EXPECT_FALSE(b.at(0).busy());
    EXPECT_EQ(b.at(0).locationName(), "Second");
    EXPECT_EQ(b.at(0).queryStatusWB(browser::CmdCopy), browser::CmdSupported);
    b.at(0).execWB(browser::CmdSelectAll);
    EXPECT_TRUE(testenv::waitFor([&] { return b.at(0).queryStatusWB(browser::CmdCopy) & browser::CmdEnabled; }));
}

TEST(BrowserControl, ViewsUnderAnotherBrowserAreNotDrawn)
{
    Browsers b;
    b.array.create(0)->place(0, 0, 3000, 3000);
    b.array.load(1)->setVisible(true);
    b.array.load(2)->setVisible(true);
    auto shown = [&](int i) { return b.at(i).widget()->isVisible(); };
    // Same place: only the top one is drawn; every Visible stays as set.
    EXPECT_FALSE(shown(0));
    EXPECT_FALSE(shown(1));
    EXPECT_TRUE(shown(2));
    EXPECT_TRUE(b.at(0).visible() && b.at(1).visible());
    b.at(0).bringToFront();
    EXPECT_TRUE(shown(0));
    EXPECT_FALSE(shown(2));
    // Hidden or moved away, a browser no longer covers the others.
    b.at(0).setVisible(false);
    EXPECT_TRUE(shown(2));
    EXPECT_FALSE(shown(1));
    b.at(2).place(0, 0, 1500, 1500);
    EXPECT_TRUE(shown(1));
    EXPECT_TRUE(shown(2));
    b.array.unload(2);
    EXPECT_TRUE(shown(1));
}
