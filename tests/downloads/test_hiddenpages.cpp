// The fetcher's hidden pages against a loopback server: the pictures of a
// page and which one is the item's, hostile names and sources, the caps,
// a script link clicked, popups and what a hidden page may never do.

#include "downloads/hiddenpage.h"
#include "downloads/pagepictures.h"
#include "platform/web/browser.h"

#include "httpproxy.h"
#include "httpserver.h"
#include "pictures.h"
#include "scriptedserver.h"
#include "testenv.h"

#include <QDir>
#include <QDirIterator>
#include <QWebEngineProfile>
#include <gtest/gtest.h>

#include <optional>

using dltest::picture;
using Result = PagePictures::Result;

namespace {

const bool schemeRegistered = (platform::browser::prepareBeforeApplication(), true);

// Loads url and waits for that page (not a load still under way before it).
bool load(HiddenPage& page, const QString& url)
{
    bool done = false;
    const auto ours = [&](const QString& loaded) {
        if (QUrl(loaded).path() == QUrl(url).path())
            done = true;
    };
    page.events().documentComplete = ours;
    page.events().navigateError = ours;
    page.Navigate2(url);
    const bool ok = testenv::waitFor([&] { return done; }, 20000);
    page.events().documentComplete = nullptr;
    page.events().navigateError = nullptr;
    return ok;
}

struct Pictures {
    std::optional<Result> result;
    QStringList files; // below the temporary folder, relative to it
};

Pictures downloadPictures(HiddenPage& page, const QString& tempFolder, const QString& itemName,
                          const QString& itemAddress, int waitMs = 30000, const ProxySetting& proxy = {})
{
    PagePictures pictures;
    Pictures out;
    PagePicturesJob job;
    job.proxy = proxy;
    job.prefix = tempFolder + QStringLiteral("/~Z5_12000001~~~");
    job.itemName = itemName;
    job.itemAddress = itemAddress;
    job.pageUrl = page.url().toString();
    pictures.start(page, job, [&](Result r) { out.result = r; });
    testenv::waitFor([&] { return out.result.has_value(); }, waitMs);
    QDirIterator it(tempFolder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        out.files << QDir(tempFolder).relativeFilePath(it.next());
    out.files.sort();
    return out;
}

QByteArray imgs(const QStringList& sources)
{
    QByteArray html = "<html><body>";
    for (const QString& s : sources)
        html += "<img src=\"" + s.toUtf8() + "\">";
    return html + "</body></html>";
}

} // namespace

TEST(PagePictures, WhichPictureIsTheItems)
{
    testenv::HttpServer server;
    server.serve(QStringLiteral("/alpha.gif"), picture("GIF", qRgb(1, 2, 3)), "image/gif");
    server.serve(QStringLiteral("/photo.jpg"), picture("JPG", qRgb(200, 0, 0)), "image/jpeg");
    server.serve(QStringLiteral("/gamma.png"), picture("PNG", qRgb(0, 200, 0)), "image/png");
    // A JPG under another extension, and names a server may choose.
    server.serve(QStringLiteral("/odd.png"), picture("JPG", qRgb(0, 0, 200)), "image/png");
    server.serve(QStringLiteral("/get"), picture("GIF", qRgb(9, 9, 9)), "image/gif");
    server.serve(QStringLiteral("/notapicture.gif"), "<html>no</html>");
    server.serve(QStringLiteral("/three.html"), imgs({"alpha.gif", "photo.jpg", "gamma.png"}));
    server.serve(QStringLiteral("/none.html"), "<html><body>text only</body></html>");
    server.serve(QStringLiteral("/odd.html"), imgs({"odd.png"}));
    server.serve(QStringLiteral("/hostile.html"),
                 imgs({"get?f=..", "get?f=a~b.gif", "get?f=%2e%2e%2fup.gif", "missing.gif", "notapicture.gif"}));
    const QByteArray dataGif = "data:image/gif;base64," + picture("GIF", qRgb(5, 5, 5)).toBase64();
    server.serve(QStringLiteral("/data.html"), imgs({QString::fromLatin1(dataGif)}));

    const QString base = server.address(QString());
    const struct {
        const char* name;
        const char* page;
        const char* itemName;
        QString itemAddress;
        Result result;
        QStringList files;
    } cases[] = {
        {"by its name", "/three.html", "photo.jpg", base + "/photo.jpg", Result::Matched,
         {"~Z5_12000001~~~alpha.gif", "~Z5_12000001~~~photo.jpg"}},
        {"by its stem in the address", "/three.html", "x.jpg", base + "/gallery/gamma-page", Result::Matched,
         {"~Z5_12000001~~~alpha.gif", "~Z5_12000001~~~gamma.png", "~Z5_12000001~~~photo.jpg"}},
        {"none is the item's", "/three.html", "x.jpg", base + "/other", Result::NoMatch,
         {"~Z5_12000001~~~alpha.gif", "~Z5_12000001~~~gamma.png", "~Z5_12000001~~~photo.jpg"}},
        {"no picture", "/none.html", "x.jpg", base + "/none.html", Result::NoPicture, {}},
        {"a JPG under another extension", "/odd.html", "x.jpg", base + "/odd.html", Result::NoMatch,
         {"~Z5_12000001~~~anomaly0.jpg"}},
        // ".." is no name; "~" and an encoded "../" are part of one; a failed or
        // non-picture download leaves nothing.
        {"hostile names", "/hostile.html", "x.jpg", base + "/x", Result::NoMatch,
         {"~Z5_12000001~~~%2e%2e%2fup.gif", "~Z5_12000001~~~anomaly0.gif", "~Z5_12000001~~~a~b.gif"}},
        {"a data address", "/data.html", "x.jpg", base + "/x", Result::NoMatch, {"~Z5_12000001~~~anomaly0.gif"}},
    };
    HiddenPage page;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(load(page, base + QLatin1String(c.page)));
        const QString temp = testenv::freshDir(QStringLiteral("temp"));
        const Pictures out = downloadPictures(page, temp, QString::fromLatin1(c.itemName), c.itemAddress);
        ASSERT_TRUE(out.result.has_value());
        EXPECT_EQ(*out.result, c.result);
        EXPECT_EQ(out.files, c.files);
    }
}

// The pictures go as the pages go: through the proxy set, around it for its
// exceptions, and not at all while offline.
TEST(PagePictures, ThePicturesFollowTheProxySetting)
{
    testenv::HttpServer server;
    server.serve(QStringLiteral("/a.gif"), picture("GIF", qRgb(1, 2, 3)), "image/gif");
    server.serve(QStringLiteral("/b.png"), picture("PNG", qRgb(0, 200, 0)), "image/png");
    testenv::HttpProxy proxy;
    proxy.route(QStringLiteral("origin.z5.test"), server.port());
    proxy.route(QStringLiteral("direct.z5.test"), server.port());
    const QString origin = QStringLiteral("http://origin.z5.test:%1").arg(server.port());
    server.serve(QStringLiteral("/proxied.html"), imgs({origin + "/a.gif", origin + "/b.png"}));
    server.serve(QStringLiteral("/excepted.html"), imgs({server.address(QStringLiteral("/a.gif"))}));
    ProxySetting setting;
    setting.enabled = true;
    setting.host = QStringLiteral("127.0.0.1");
    setting.port = proxy.port();
    setting.bypass = {QStringLiteral("127.0.0.1")};

    HiddenPage page;
    ASSERT_TRUE(load(page, server.address(QStringLiteral("/proxied.html"))));
    Pictures out = downloadPictures(page, testenv::freshDir(QStringLiteral("temp")), "x.jpg", origin + "/x", 30000, setting);
    ASSERT_TRUE(out.result.has_value());
    EXPECT_EQ(*out.result, Result::NoMatch);
    EXPECT_EQ(out.files, (QStringList{"~Z5_12000001~~~a.gif", "~Z5_12000001~~~b.png"}));
    EXPECT_EQ(proxy.log(), (QStringList{"GET " + origin + "/a.gif", "GET " + origin + "/b.png"}));

    // An exception host is fetched directly.
    ASSERT_TRUE(load(page, server.address(QStringLiteral("/excepted.html"))));
    out = downloadPictures(page, testenv::freshDir(QStringLiteral("temp")), "x.jpg", origin + "/x", 30000, setting);
    EXPECT_EQ(out.files, QStringList{"~Z5_12000001~~~a.gif"});
    EXPECT_EQ(proxy.log().size(), 2);

    // Offline: no picture is asked of anyone.
    setting.offline = true;
    ASSERT_TRUE(load(page, server.address(QStringLiteral("/proxied.html"))));
    const int served = server.pageRequests();
    out = downloadPictures(page, testenv::freshDir(QStringLiteral("temp")), "x.jpg", origin + "/x", 30000, setting);
    EXPECT_TRUE(out.files.isEmpty());
    EXPECT_EQ(proxy.log().size(), 2);
    EXPECT_EQ(server.pageRequests(), served);
}

TEST(PagePictures, LocalPicturesOnlyFromLocalPages)
{
    const QString local = testenv::freshDir(QStringLiteral("local"));
    ASSERT_TRUE(testenv::writeFile(local + QStringLiteral("/secret.gif"), picture("GIF", qRgb(1, 1, 1))));
    const QByteArray html = imgs({QUrl::fromLocalFile(local + QStringLiteral("/secret.gif")).toString()});
    ASSERT_TRUE(testenv::writeFile(local + QStringLiteral("/page.html"), html));
    testenv::HttpServer server;
    server.serve(QStringLiteral("/remote.html"), html);

    HiddenPage page;
    ASSERT_TRUE(load(page, server.address(QStringLiteral("/remote.html"))));
    const QString remoteTemp = testenv::freshDir(QStringLiteral("remote"));
    Pictures out = downloadPictures(page, remoteTemp, QStringLiteral("secret.gif"), QStringLiteral("x"));
    EXPECT_EQ(out.result, std::optional<Result>(Result::NoMatch));
    EXPECT_TRUE(out.files.isEmpty());

    ASSERT_TRUE(load(page, QUrl::fromLocalFile(local + QStringLiteral("/page.html")).toString()));
    const QString localTemp = testenv::freshDir(QStringLiteral("fromlocal"));
    out = downloadPictures(page, localTemp, QStringLiteral("secret.gif"), QStringLiteral("x"));
    EXPECT_EQ(out.result, std::optional<Result>(Result::Matched));
    EXPECT_EQ(out.files, QStringList{QStringLiteral("~Z5_12000001~~~secret.gif")});
}

TEST(PagePictures, APageOfFiveThousandPicturesStaysWithinTheCap)
{
    testenv::HttpServer server;
    QStringList sources;
    for (int i = 0; i < 5000; ++i) {
        const QString path = QStringLiteral("/p%1.gif").arg(i);
        server.serve(path, picture("GIF", qRgb(i % 256, 0, 0)), "image/gif");
        sources << path.mid(1);
    }
    server.serve(QStringLiteral("/many.html"), imgs(sources));
    HiddenPage page;
    ASSERT_TRUE(load(page, server.address(QStringLiteral("/many.html"))));
    const int requestsBefore = server.requestsFor(QStringLiteral("/p0.gif"));
    const QString temp = testenv::freshDir(QStringLiteral("temp"));
    const Pictures out = downloadPictures(page, temp, QStringLiteral("x.jpg"), QStringLiteral("x"), 120000);
    EXPECT_EQ(out.result, std::optional<Result>(Result::NoMatch));
    EXPECT_EQ(out.files.size(), PagePictures::kMaxPictures);
    // A hidden page shows no pictures itself; the fetcher asks for no more than the cap.
    EXPECT_EQ(server.pageRequests(), 1 + PagePictures::kMaxPictures);
    EXPECT_EQ(server.requestsFor(QStringLiteral("/p0.gif")), requestsBefore + 1);
}

TEST(PagePictures, ImagesCarryTheRefererAndTheHiddenPagesCookies)
{
    QList<QByteArray> heads;
    ScriptedServer server([&](int, const QByteArray& head) {
        heads << head;
        if (head.startsWith("GET /page.html"))
            return Answer{{"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nSet-Cookie: session=s3cr3t; Path=/\r\n"
                           "Content-Length: 31\r\n\r\n<html><img src=\"a.gif\"></html>\n"}};
        const QByteArray gif = picture("GIF", qRgb(1, 1, 1));
        return Answer{{"HTTP/1.1 200 OK\r\nContent-Type: image/gif\r\nContent-Length: " +
                       QByteArray::number(gif.size()) + "\r\n\r\n" + gif}};
    });
    HiddenPage page;
    ASSERT_TRUE(load(page, server.url(QStringLiteral("/page.html"))));
    ASSERT_TRUE(testenv::waitFor([&] { return !FetchCookieHeader(server.url(QStringLiteral("/a.gif"))).isEmpty(); }));
    const qsizetype before = heads.size();
    const QString temp = testenv::freshDir(QStringLiteral("temp"));
    const Pictures out = downloadPictures(page, temp, QStringLiteral("a.gif"), QStringLiteral("x"));
    EXPECT_EQ(out.result, std::optional<Result>(Result::Matched));
    ASSERT_GT(heads.size(), before);
    const QByteArray ours = heads.last();
    EXPECT_TRUE(ours.contains(QByteArray("\r\nReferer: " + server.url(QStringLiteral("/page.html")).toLatin1() + "\r\n")))
        << ours.constData();
    EXPECT_TRUE(ours.contains("\r\nCookie: session=s3cr3t\r\n")) << ours.constData();
}

TEST(HiddenPage, ScriptLinksPopupsAndWhatAPageMayNotDo)
{
    testenv::HttpServer server;
    server.serve(QStringLiteral("/links.html"),
                 "<html><body><a href=\"other.html\">Other</a>"
                 "<a href=\"javascript:location.href='/clicked.html'\"> Show picture </a>"
                 "<a href=\"javascript:window.open('/popup.html')\">Open</a></body></html>");
    server.serve(QStringLiteral("/clicked.html"), "<html>clicked</html>");
    server.serve(QStringLiteral("/popup.html"), "<html>popup</html>");
    server.serve(QStringLiteral("/attachment.bin"), "bytes", "application/octet-stream");
    server.serve(QStringLiteral("/hostile.html"),
                 "<html><body><script>"
                 "alert('a');document.title=String(confirm('c'))+'/'+String(prompt('p'));"
                 "Notification.requestPermission().then(function(p){document.title+='/'+p;});"
                 "</script></body></html>");

    HiddenPage page;
    HiddenPage companion;
    ASSERT_TRUE(load(page, server.address(QStringLiteral("/links.html"))));

    // Clicked by its text (trimmed) or by its address; a text that no link has clicks nothing.
    const struct {
        const char* text;
        int result;
    } clicks[] = {{"No such link", 1}, {"Show picture", 0}};
    for (const auto& c : clicks) {
        SCOPED_TRACE(c.text);
        std::optional<int> result;
        ClickPageLink(page, QString::fromLatin1(c.text), [&](int r) { result = r; });
        ASSERT_TRUE(testenv::waitFor([&] { return result.has_value(); }));
        EXPECT_EQ(*result, c.result);
    }
    EXPECT_TRUE(testenv::waitFor([&] { return server.requestsFor(QStringLiteral("/clicked.html")) == 1; }));

    // A popup goes where the owner says, or nowhere.
    for (HiddenPage* target : {static_cast<HiddenPage*>(nullptr), &companion}) {
        SCOPED_TRACE(target ? "to the companion" : "refused");
        const int before = server.requestsFor(QStringLiteral("/popup.html"));
        ASSERT_TRUE(load(page, server.address(QStringLiteral("/links.html"))));
        page.events().newWindow2 = [target] { return target; };
        std::optional<int> result;
        ClickPageLink(page, QStringLiteral("javascript:window.open('/popup.html')"), [&](int r) { result = r; });
        ASSERT_TRUE(testenv::waitFor([&] { return result.has_value(); }));
        EXPECT_EQ(*result, 0);
        if (target) {
            EXPECT_TRUE(testenv::waitFor([&] { return companion.url().path() == QLatin1String("/popup.html"); }, 10000));
        } else {
            QTest::qWait(500);
            EXPECT_EQ(server.requestsFor(QStringLiteral("/popup.html")), before);
        }
    }

    // No dialog answers yes, no permission is given, nothing plays aloud.
    ASSERT_TRUE(load(page, server.address(QStringLiteral("/hostile.html"))));
    EXPECT_TRUE(testenv::waitFor([&] { return page.title().endsWith(QLatin1String("/denied")); }, 10000))
        << page.title().toStdString();
    EXPECT_TRUE(page.title().startsWith(QLatin1String("false/null"))) << page.title().toStdString();
    EXPECT_TRUE(page.isAudioMuted());

    // A download is never saved.
    const QString downloads = FetchProfile()->downloadPath();
    const QStringList before = QDir(downloads).entryList(QDir::Files);
    page.Navigate2(server.address(QStringLiteral("/attachment.bin")));
    EXPECT_TRUE(testenv::waitFor([&] { return server.requestsFor(QStringLiteral("/attachment.bin")) == 1; }));
    QTest::qWait(500);
    EXPECT_EQ(QDir(downloads).entryList(QDir::Files), before);
}
