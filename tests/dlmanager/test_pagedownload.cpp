// Page items over a scripted browser control: the navigation gate, an item
// that ends once whatever events come late, the images' names and the time
// limit of one image, against a loopback server.

#include "platform/net/imagefetch.h"
#include "dlmanager/pagedownload.h"
#include "dlmanager/runstate.h"

#include "httpserver.h"
#include "pictures.h"
#include "scriptedserver.h"
#include "testenv.h"

#include <QDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using dltest::picture;

using platform::net::ImageFetch;

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

// A page from elsewhere never leads the item, nor its pictures, to this
// machine; a page of this machine may go to its other ports.
TEST(PageGate, APageFromElsewhereNeverReachesThisMachine)
{
    PageRun r;
    r.run.ItemURL = QStringLiteral("http://origin.z5.test/gallery/");
    r.start();
    EXPECT_TRUE(r.gate(QStringLiteral("http://cdn.z5.test/frame.html"), false));
    EXPECT_FALSE(r.gate(QStringLiteral("http://127.0.0.1:631/admin"), false));
    EXPECT_EQ(r.ends, 0) << "a frame is only kept away";
    EXPECT_FALSE(r.gate(QStringLiteral("http://localhost:8080/")));
    ASSERT_TRUE(testenv::waitFor([&] { return r.ends == 1; }, 5000));
    EXPECT_EQ(r.run.JobState, JobFailed);
    EXPECT_TRUE(r.run.StatusText.contains(QStringLiteral("to this machine"))) << r.run.StatusText.toStdString();

    // Its pictures on this machine are never asked for.
    ScriptedServer server([](int, const QByteArray&) {
        const QByteArray gif = picture("GIF", 0x123456);
        return Answer{{"HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(gif.size()) + "\r\n\r\n" + gif}};
    });
    PageRun p;
    p.run.ItemURL = QStringLiteral("http://origin.z5.test/gallery/");
    p.start();
    p.browser->images = {server.url(QStringLiteral("/a.gif"))};
    p.browser->events.documentComplete(p.run.ItemURL, true);
    ASSERT_TRUE(testenv::waitFor([&] { return p.ends == 1; }, 10000));
    EXPECT_EQ(p.run.JobState, JobFailed);
    EXPECT_TRUE(server.requests.isEmpty());

    PageRun local;
    local.start();
    EXPECT_TRUE(local.gate(QStringLiteral("http://127.0.0.1:10/next.html")));
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
    const QByteArray gif = picture("GIF", 0xff0000), jpeg = picture("JPG", 0x00ff00), png = picture("PNG", 0x0000ff);
    testenv::HttpServer server;
    server.serve("/a.gif", gif, "image/gif");
    server.serve("/x/a.gif", picture("GIF", 0x00ffff), "image/gif");
    server.serve("/get.php", gif, "GIF Image");
    server.serve("/pic.php", jpeg, "image/jpeg");
    server.serve("/my%20pic.png", png, "image/png");
    // What a hostile page names: dot files, other types, lies about the type.
    server.serve("/.bash_profile", "PATH=/tmp/evil:$PATH\n", "image/gif");
    server.serve("/evil.desktop", "[Desktop Entry]\nExec=evil\n", "text/plain");
    server.serve("/.hidden", png, "image/png");
    server.serve("/x.desktop", png, "image/png");
    server.serve("/y.desktop", gif, "image/gif");
    server.serve("/jpeg.gif", jpeg, "image/gif");
    server.serve("/svg.png", "<svg xmlns='http://www.w3.org/2000/svg'/>", "image/svg+xml");
    server.serve("/cut.png", png.left(png.size() / 2), "image/png");
    const struct {
        const char* name;
        QStringList images;
        bool addPath;
        QStringList files;
        int16_t state;
        int skipped = 0; // told in the done item's row
    } cases[] = {
        {"same names stay apart", {server.address("/a.gif"), server.address("/x/a.gif")}, false, {"a (2).gif", "a.gif"}, JobDone},
        {"page-like names of known types", {server.address("/get.php?id=1"), server.address("/pic.php")}, false,
         {"anomaly1.gif", "anomaly2.jpg"}, JobDone},
        {"blanks", {"http://127.0.0.1:" + QString::number(server.port()) + "/my%20pic.png"}, false, {"my pic.png"}, JobDone},
        {"the address's path before the name",
         {server.address("/x/a.gif")},
         true,
         {QStringLiteral("127.0.0.1:%1-x-a.gif").arg(server.port())}, JobDone},
        {"a dot file that is no picture", {server.address("/.bash_profile")}, false, {}, JobFailed},
        {"a desktop file sent as text", {server.address("/evil.desktop")}, false, {}, JobFailed},
        {"a picture of a hidden name", {server.address("/.hidden")}, false, {"hidden.png"}, JobDone},
        {"pictures named as other files",
         {server.address("/x.desktop"), server.address("/y.desktop"), server.address("/jpeg.gif")}, false,
         {"anomaly1.gif", "jpeg.jpg", "x.png"}, JobDone},
        {"no raster picture", {server.address("/svg.png")}, false, {}, JobFailed},
        {"half a picture", {server.address("/cut.png")}, false, {}, JobFailed},
        // What is no picture the item saves is passed over and counted; the page goes on.
        {"a good picture, then a bad one", {server.address("/a.gif"), server.address("/evil.desktop"), server.address("/pic.php")},
         false, {"a.gif", "anomaly1.jpg"}, JobDone, 1},
        {"a drawn logo before the photos", {server.address("/svg.png"), server.address("/a.gif"), server.address("/my%20pic.png")},
         false, {"a.gif", "my pic.png"}, JobDone, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PageRun r;
        r.run.AddPathToName = c.addPath;
        r.start();
        r.browser->images = c.images;
        r.browser->events.documentComplete(r.run.ItemURL, true);
        ASSERT_TRUE(testenv::waitFor([&] { return r.ends == 1; }, 10000));
        EXPECT_EQ(r.run.JobState, c.state) << r.run.StatusText.toStdString();
        EXPECT_EQ(r.files(), c.files);
        EXPECT_EQ(r.browser->asked, PageDownload::kMaxImages);
        EXPECT_EQ(r.run.ItemNote.isEmpty(), c.skipped == 0) << r.run.ItemNote.toStdString();
        if (c.skipped > 0) {
            EXPECT_TRUE(r.run.ItemNote.startsWith(QString::number(c.skipped) + " images skipped")) << r.run.ItemNote.toStdString();
        }
    }
}

TEST(PageImages, TemporariesLeftByAKilledProgramGoWhenNobodyHoldsThem)
{
    const QString folder = testenv::freshDir(QStringLiteral("pages"));
    const auto path = [&](const char* name) -> QString { return folder + QLatin1Char('/') + QLatin1String(name); };
    ASSERT_TRUE(testenv::writeFile(path(".z5image-left"), "cut off"));
    ASSERT_TRUE(testenv::writeFile(path(".z5image-live"), "being fetched"));
    ASSERT_TRUE(testenv::writeFile(path("elsewhere"), "the user's"));
    ASSERT_TRUE(QFile::link(path("elsewhere"), path(".z5image-link")));
    ASSERT_TRUE(testenv::writeFile(path(".z5imagery"), "not ours"));
    ASSERT_TRUE(testenv::writeFile(path("a.gif"), "the user's"));
    const int live = ::open(QFile::encodeName(path(".z5image-live")).constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(live, 0);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);
    ImageFetch::RemoveStaleTemporaries(folder);
    ::close(live);
    QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    left.sort();
    EXPECT_EQ(left, (QStringList{".z5image-link", ".z5image-live", ".z5imagery", "a.gif", "elsewhere"}));
    EXPECT_EQ(testenv::readFile(path("elsewhere")), QByteArray("the user's"));
}

TEST(PageImages, AnImageThatNeverArrivesEndsTheSavingInTime)
{
    // The first image arrives; the second answers its head and then nothing.
    ScriptedServer server([](int, const QByteArray& head) {
        Answer a;
        if (head.contains("/one.gif")) {
            const QByteArray gif = picture("GIF", 0x123456);
            a.pieces = {"HTTP/1.1 200 OK\r\nContent-Type: image/gif\r\nContent-Length: " + QByteArray::number(gif.size()) +
                        "\r\n\r\n" + gif};
        } else {
            a.pieces = {"HTTP/1.1 200 OK\r\nContent-Type: image/gif\r\nContent-Length: 100\r\n\r\nGI"};
            a.closeAfter = false;
        }
        return a;
    });
    PageRun r;
    r.pages.setTimeLimits(60000, 700, 0);
    r.start();
    r.browser->images = {server.url("/one.gif"), server.url("/stall.gif"), server.url("/three.gif")};
    r.browser->events.documentComplete(r.run.ItemURL, true);
    // Ended by the image's limit: long before the page's would end it.
    ASSERT_TRUE(testenv::waitFor([&] { return r.ends == 1; }, 30000));
    EXPECT_EQ(r.run.JobState, JobDone);
    EXPECT_EQ(r.files(), QStringList{"one.gif"});
    EXPECT_EQ(server.requests.size(), 2);
}
