// Page items over a scripted browser control: the navigation gate, an item
// that ends once whatever events come late, the images' names and the time
// limit of one image, against a loopback server.

#include "dlmanager/pagedownload.h"
#include "dlmanager/runstate.h"

#include "httpserver.h"
#include "scriptedserver.h"
#include "testenv.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

// The control as the test drives it: the events of the last navigation,
// and the image addresses the page answers with.
class ScriptedBrowser : public PageBrowser {
public:
    void navigate2(const QString& url, Events e) override
    {
        navigations << url;
        events = std::move(e);
    }
    void close() override
    {
        ++closes;
        events = Events{};
    }
    void imageSources(int max, std::function<void(std::optional<QStringList>)> done) override
    {
        asked = max;
        QTimer::singleShot(0, [this, done = std::move(done)] { done(images); });
    }
    QStringList navigations;
    Events events;
    int closes = 0;
    int asked = 0;
    QStringList images;
};

struct PageRun {
    PageRun()
        : pages([this](QString*) {
              auto b = std::make_unique<ScriptedBrowser>();
              browser = b.get();
              return std::unique_ptr<PageBrowser>(std::move(b));
          })
    {
        folder = testenv::freshDir(QStringLiteral("pages"));
        run.ItemKind = ItemPage;
        run.ItemName = QStringLiteral("item");
        run.ItemURL = QStringLiteral("http://127.0.0.1:9/gallery/");
        run.ItemFolder = folder;
        pages.setTimeLimits(30000, 30000, 0);
        pages.startFileDownload = [this](std::function<void()> ended) {
            ++fileDownloads;
            ended();
        };
    }
    void start()
    {
        pages.StartPageDownload(run, [this] { ++ends; });
    }
    bool gate(const QString& url, bool topLevel = true)
    {
        PageBrowser::Navigation n{url, topLevel, false};
        if (browser->events.beforeNavigate2)
            browser->events.beforeNavigate2(n);
        else
            n.cancel = true;
        return !n.cancel;
    }
    QStringList files() const
    {
        QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        names.sort();
        return names;
    }

    RunState run;
    QString folder;
    ScriptedBrowser* browser = nullptr;
    PageDownload pages;
    int ends = 0;
    int fileDownloads = 0;
};

} // namespace

TEST(PageGate, WhereAPageItemMayGo)
{
    const struct {
        const char* url;
        bool topLevel;
        int kind;
        bool passes;
        int fileDownloads;
    } cases[] = {
        {"http://127.0.0.1:9/next.html", true, ItemPage, true, 0},
        {"https://127.0.0.1:9/", true, ItemPage, true, 0},
        {"http://127.0.0.1:9/pub/setup.exe", true, ItemPage, false, 1},       // the item turns into a file item
        {"http://127.0.0.1:9/pub/setup.exe", false, ItemPage, false, 1},      // so does a frame's
        {"http://127.0.0.1:9/pub/setup.exe", true, ItemFileRetriedAsPage, true, 0}, // a retried item never does
        {"HTTP:///x", true, ItemPage, false, 0},
        {"res://C:/error.htm", false, ItemPage, false, 0},
        {"file:///etc/passwd", true, ItemPage, false, 0},
        {"file:///etc/passwd", false, ItemPage, false, 0},
        {"about:blank", false, ItemPage, true, 0},
        {"about:blank", true, ItemPage, false, 0},
        {"event:Z5_DLSTAT_CLOSE", false, ItemPage, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        PageRun r;
        r.run.ItemKind = static_cast<int16_t>(c.kind);
        r.start();
        ASSERT_TRUE(r.browser);
        EXPECT_EQ(r.gate(QString::fromLatin1(c.url), c.topLevel), c.passes);
        ASSERT_TRUE(testenv::waitFor([&] { return r.fileDownloads == c.fileDownloads && r.ends == c.fileDownloads; }, 2000));
        if (c.fileDownloads) {
            EXPECT_EQ(r.run.ItemName, QStringLiteral("setup.exe"));
            EXPECT_EQ(r.run.ItemURL, QString::fromLatin1(c.url));
            EXPECT_EQ(r.run.ItemKind, ItemPage);
        }
    }
}

TEST(PageGate, AnItemEndsOnceWhateverComesLate)
{
    using Step = std::function<void(PageRun&)>;
    const Step complete = [](PageRun& r) { if (r.browser->events.documentComplete) r.browser->events.documentComplete("http://127.0.0.1:9/gallery/", true); };
    const Step frameComplete = [](PageRun& r) { if (r.browser->events.documentComplete) r.browser->events.documentComplete("http://127.0.0.1:9/frame.html", false); };
    const Step error = [](PageRun& r) { if (r.browser->events.navigateError) r.browser->events.navigateError("http://127.0.0.1:9/frame.html"); };
    const Step divert = [](PageRun& r) { r.gate("http://127.0.0.1:9/setup.exe"); };
    const Step settle = [](PageRun&) { QTest::qWait(50); };
    const struct {
        const char* name;
        std::vector<Step> steps;
        int state;
        const char* status;
    } cases[] = {
        {"an error, then the page completes", {error, complete, settle}, JobFailed, "Failed to connect - http://127.0.0.1:9/frame.html"},
        {"the page completes, then an error", {frameComplete, complete, settle, error, settle}, JobFailed, "Error: "},
        {"completed twice", {complete, settle, complete, settle}, JobFailed, "Error: "},
        {"diverted, then the page completes", {divert, complete, error, settle}, JobConnecting, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PageRun r;
        r.start();
        ScriptedBrowser* b = r.browser;
        // The control's events as they were, even after the item closed it.
        const PageBrowser::Events kept = b->events;
        for (const Step& step : c.steps) {
            if (!b->events.documentComplete)
                b->events = kept;
            step(r);
        }
        QTest::qWait(100);
        EXPECT_EQ(r.ends, 1);
        if (r.fileDownloads == 0) {
            EXPECT_EQ(r.run.JobState, c.state);
            EXPECT_TRUE(r.run.StatusText.startsWith(QString::fromLatin1(c.status))) << r.run.StatusText.toStdString();
        }
    }
}

TEST(PageGate, APageThatNeverCompletesStillEnds)
{
    // What the control does with an address it does not show (a file the
    // engine would save) may leave it silent: the item ends anyway.
    PageRun r;
    r.pages.setTimeLimits(300, 30000, 0);
    r.start();
    ASSERT_TRUE(testenv::waitFor([&] { return r.ends == 1; }, 5000));
    EXPECT_EQ(r.run.JobState, JobFailed);
    EXPECT_TRUE(r.run.StatusText.startsWith(QStringLiteral("Error: the page did not load"))) << r.run.StatusText.toStdString();
    EXPECT_GE(r.browser->closes, 1);
}

TEST(PageImages, NamesInTheFolder)
{
    testenv::HttpServer server;
    server.serve("/a.gif", "GIF89a-one", "image/gif");
    server.serve("/x/a.gif", "GIF89a-two", "image/gif");
    server.serve("/get.php", "GIF89a-three", "GIF Image");
    server.serve("/pic.php", "JFIF-four", "image/jpeg");
    server.serve("/my%20pic.png", "PNG-five", "image/png");
    const struct {
        const char* name;
        QStringList images;
        bool addPath;
        QStringList files;
    } cases[] = {
        {"same names stay apart", {server.address("/a.gif"), server.address("/x/a.gif")}, false, {"a (2).gif", "a.gif"}},
        {"page-like names of known types", {server.address("/get.php?id=1"), server.address("/pic.php")}, false,
         {"anomaly1.gif", "anomaly2.jpg"}},
        {"blanks", {"http://127.0.0.1:" + QString::number(server.port()) + "/my%20pic.png"}, false, {"my pic.png"}},
        {"the address's path before the name",
         {server.address("/x/a.gif")},
         true,
         {QStringLiteral("127.0.0.1:%1-x-a.gif").arg(server.port())}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PageRun r;
        r.run.AddPathToName = c.addPath;
        r.start();
        r.browser->images = c.images;
        r.browser->events.documentComplete(r.run.ItemURL, true);
        ASSERT_TRUE(testenv::waitFor([&] { return r.ends == 1; }, 10000));
        EXPECT_EQ(r.run.JobState, JobDone) << r.run.StatusText.toStdString();
        EXPECT_EQ(r.files(), c.files);
        EXPECT_EQ(r.browser->asked, PageDownload::kMaxImages);
    }
}

TEST(PageImages, AnImageThatNeverArrivesEndsTheSavingInTime)
{
    // The first image arrives; the second answers its head and then nothing.
    ScriptedServer server([](int, const QByteArray& head) {
        Answer a;
        if (head.contains("/one.gif")) {
            a.pieces = {"HTTP/1.1 200 OK\r\nContent-Type: image/gif\r\nContent-Length: 3\r\n\r\nGIF"};
        } else {
            a.pieces = {"HTTP/1.1 200 OK\r\nContent-Type: image/gif\r\nContent-Length: 100\r\n\r\nGI"};
            a.closeAfter = false;
        }
        return a;
    });
    PageRun r;
    r.pages.setTimeLimits(30000, 700, 0);
    r.start();
    r.browser->images = {server.url("/one.gif"), server.url("/stall.gif"), server.url("/three.gif")};
    QElapsedTimer clock;
    clock.start();
    r.browser->events.documentComplete(r.run.ItemURL, true);
    ASSERT_TRUE(testenv::waitFor([&] { return r.ends == 1; }, 10000));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(r.run.JobState, JobDone);
    EXPECT_EQ(r.files(), QStringList{"one.gif"});
    EXPECT_EQ(server.requests.size(), 2);
}
