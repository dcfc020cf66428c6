// The one image fetch of the programs: the size cap over the network and
// for data addresses, what it sends, and the schemes it refuses.

#include "platform/net/imagefetch.h"

#include "httpproxy.h"
#include "scriptedserver.h"
#include "testenv.h"

#include <gtest/gtest.h>

#include <optional>
#include <unistd.h>

using platform::net::ImageFetch;

namespace {

struct Fetched {
    bool ok = false;
    QByteArray bytes;
    QString error;
};

Fetched fetchInto(ImageFetch& fetch, const QString& address, const QString& folder)
{
    std::optional<ImageFetch::Result> result;
    fetch.start(address, folder, [&](ImageFetch::Result r) { result = std::move(r); });
    testenv::waitFor([&] { return result.has_value(); }, 15000);
    Fetched out;
    if (!result)
        return out;
    out.ok = result->ok;
    out.error = result->error;
    if (result->fd >= 0) {
        ::lseek(result->fd, 0, SEEK_SET);
        char buffer[4096];
        ssize_t n = 0;
        while ((n = ::read(result->fd, buffer, sizeof buffer)) > 0)
            out.bytes.append(buffer, n);
        ::close(result->fd);
    }
    if (!result->tempPath.isEmpty())
        ::unlink(QFile::encodeName(result->tempPath).constData());
    return out;
}

} // namespace

TEST(ImageFetch, CapSchemesAndWhatIsSent)
{
    QList<QByteArray> heads;
    ScriptedServer server([&](int, const QByteArray& head) {
        heads << head;
        const QByteArray body(head.startsWith("GET /big") ? 2000 : 10, 'b');
        return Answer{{"HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body}};
    });
    const QString folder = testenv::freshDir(QStringLiteral("images"));
    ImageFetch fetch;
    fetch.setSizeCap(1000);
    fetch.setReferer(QStringLiteral("http://page.example/a b.html"));
    fetch.setCookieHeader("k=v; s=t");

    const QByteArray small = QByteArray(10, 'd');
    const struct {
        const char* name;
        QString address;
        bool ok;
        QByteArray bytes;
    } cases[] = {
        {"within the cap", server.url(QStringLiteral("/small")), true, QByteArray(10, 'b')},
        {"over the cap", server.url(QStringLiteral("/big")), false, {}},
        {"data, base64", QStringLiteral("data:image/gif;base64,") + QString::fromLatin1(small.toBase64()), true, small},
        {"data, percent-encoded", QStringLiteral("data:,a%20b"), true, "a b"},
        {"data over the cap", QStringLiteral("data:;base64,") + QString::fromLatin1(QByteArray(2000, 'x').toBase64()),
         false, {}},
        {"data that is no base64", QStringLiteral("data:;base64,@@@"), false, {}},
        {"a local file", QUrl::fromLocalFile(folder).toString(), false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Fetched out = fetchInto(fetch, c.address, folder);
        EXPECT_EQ(out.ok, c.ok) << out.error.toStdString();
        EXPECT_EQ(out.bytes, c.bytes);
    }
    ASSERT_FALSE(heads.isEmpty());
    EXPECT_TRUE(heads.first().contains("\r\nReferer: http://page.example/a%20b.html\r\n")) << heads.first().constData();
    EXPECT_TRUE(heads.first().contains("\r\nCookie: k=v; s=t\r\n"));
    // Nothing of a failed fetch stays in the folder.
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

// The proxy is used for every host but its exceptions; while offline
// nothing goes out; a redirect from elsewhere to this machine is refused.
TEST(ImageFetch, ProxyExceptionsOfflineAndRedirects)
{
    const QByteArray ok = "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\ngif";
    ScriptedServer local([&](int, const QByteArray&) { return Answer{{ok}}; });
    ScriptedServer origin([&](int, const QByteArray& head) {
        if (head.startsWith("GET /away "))
            return Answer{{"HTTP/1.1 302 Found\r\nLocation: " + local.url(QStringLiteral("/secret")).toUtf8() +
                           "\r\nContent-Length: 0\r\n\r\n"}};
        if (head.startsWith("GET /hop "))
            return Answer{{"HTTP/1.1 302 Found\r\nLocation: " + local.url(QStringLiteral("/next")).toUtf8() +
                           "\r\nContent-Length: 0\r\n\r\n"}};
        return Answer{{ok}};
    });
    testenv::HttpProxy proxy;
    proxy.route(QStringLiteral("origin.z5.test"), origin.port());
    const QString folder = testenv::freshDir(QStringLiteral("images"));
    ImageFetch fetch;
    fetch.setProxy(QStringLiteral("127.0.0.1"), proxy.port(), {QStringLiteral("*.direct.z5.test"), QStringLiteral("127.0.0.1")});
    const QString proxied = QStringLiteral("http://origin.z5.test:%1/a.gif").arg(origin.port());

    Fetched f = fetchInto(fetch, proxied, folder);
    EXPECT_TRUE(f.ok) << f.error.toStdString();
    EXPECT_EQ(proxy.log(), QStringList{"GET " + proxied});
    // An exception goes direct.
    f = fetchInto(fetch, local.url(QStringLiteral("/b.gif")), folder);
    EXPECT_TRUE(f.ok) << f.error.toStdString();
    EXPECT_EQ(proxy.log().size(), 1);
    EXPECT_EQ(local.requests.size(), 1);

    // From a host elsewhere to this machine: the local server is never asked.
    f = fetchInto(fetch, QStringLiteral("http://origin.z5.test:%1/away").arg(origin.port()), folder);
    EXPECT_FALSE(f.ok);
    EXPECT_TRUE(f.error.contains(QLatin1String("refused"))) << f.error.toStdString();
    EXPECT_EQ(local.requests.size(), 1);
    // Between two ports of this machine a redirect is followed.
    fetch.setProxy(QString(), 0);
    f = fetchInto(fetch, origin.url(QStringLiteral("/hop")), folder);
    EXPECT_TRUE(f.ok) << f.error.toStdString();
    EXPECT_EQ(local.requests.size(), 2);

    // Offline: no request at all, data addresses still read.
    fetch.setProxy(QStringLiteral("127.0.0.1"), proxy.port());
    fetch.setOffline(true);
    const qsizetype asked = proxy.log().size() + origin.requests.size() + local.requests.size();
    f = fetchInto(fetch, proxied, folder);
    EXPECT_FALSE(f.ok);
    f = fetchInto(fetch, local.url(QStringLiteral("/c.gif")), folder);
    EXPECT_FALSE(f.ok);
    EXPECT_EQ(proxy.log().size() + origin.requests.size() + local.requests.size(), asked);
    EXPECT_TRUE(fetchInto(fetch, QStringLiteral("data:image/gif,GIF89a"), folder).ok);
}
