// The tests' loopback proxy: requests in absolute form reach the origin
// server for routed names, CONNECT is tunnelled, nothing else leaves
// loopback; and the process proxy really sends pages of a routed name, and
// the program's QtNetwork requests, through it.

#include "platform/web/wininet.h"

#include "httpproxy.h"
#include "httpserver.h"
#include "testenv.h"

#include <QNetworkReply>
#include <QTcpSocket>
#include <QWebEnginePage>

#include <gtest/gtest.h>

namespace {

// Sends raw bytes to the loopback port and reads until the peer closes.
QByteArray exchange(quint16 port, const QByteArray& request)
{
    QTcpSocket s;
    s.connectToHost(QHostAddress::LocalHost, port);
    if (!s.waitForConnected(5000))
        return {};
    s.write(request);
    QByteArray answer;
    testenv::waitFor([&] {
        answer += s.readAll();
        return s.state() == QAbstractSocket::UnconnectedState;
    }, 10000);
    return answer + s.readAll();
}

} // namespace

TEST(LoopbackProxy, CarriesRoutedAndLoopbackRequestsAndTunnelsConnect)
{
    testenv::HttpServer origin;
    origin.serve("/a.html", "<html><body>origin page</body></html>");
    testenv::HttpProxy proxy;
    proxy.route("origin.z5.test", origin.port());

    const QByteArray routed = exchange(proxy.port(), "GET http://Origin.Z5.test/a.html?x=1 HTTP/1.1\r\nHost: origin.z5.test\r\n"
                                                     "Proxy-Connection: keep-alive\r\n\r\n");
    EXPECT_TRUE(routed.startsWith("HTTP/1.1 200")) << routed.constData();
    EXPECT_TRUE(routed.endsWith("origin page</body></html>"));
    const QByteArray loopback = exchange(proxy.port(), QStringLiteral("GET http://127.0.0.1:%1/a.html HTTP/1.1\r\n\r\n").arg(origin.port()).toLatin1());
    EXPECT_TRUE(loopback.endsWith("origin page</body></html>"));
    const QByteArray elsewhere = exchange(proxy.port(), "GET http://example.com/a.html HTTP/1.1\r\n\r\n");
    EXPECT_TRUE(elsewhere.startsWith("HTTP/1.1 502")) << "names are never resolved";
    const QByteArray noTunnel = exchange(proxy.port(), "CONNECT origin.z5.test:443 HTTP/1.1\r\n\r\n");
    EXPECT_TRUE(noTunnel.startsWith("HTTP/1.1 502"));

    // Through a tunnel the client speaks to the target itself.
    proxy.tunnelTo(origin.port());
    const QByteArray tunnelled = exchange(proxy.port(), "CONNECT origin.z5.test:443 HTTP/1.1\r\n\r\nGET /a.html HTTP/1.1\r\n\r\n");
    EXPECT_TRUE(tunnelled.startsWith("HTTP/1.1 200 Connection established\r\n\r\nHTTP/1.1 200")) << tunnelled.constData();

    const QStringList expectedProxy{"GET http://Origin.Z5.test/a.html?x=1", QStringLiteral("GET http://127.0.0.1:%1/a.html").arg(origin.port()),
                                    "GET http://example.com/a.html", "CONNECT origin.z5.test:443", "CONNECT origin.z5.test:443"};
    EXPECT_EQ(proxy.log(), expectedProxy);
    const QStringList expectedOrigin{"GET /a.html?x=1", "GET /a.html", "GET /a.html"};
    EXPECT_EQ(origin.log(), expectedOrigin) << "the origin sees requests in origin form";

}

TEST(LoopbackProxy, TheProcessProxyTakesPagesAndQtNetworkThroughIt)
{
    testenv::HttpServer origin;
    origin.serve("/page.html", "<html><head><title>through the proxy</title></head><body>x</body></html>");
    testenv::HttpProxy proxy;
    proxy.route("origin.z5.test", origin.port());
    platform::wininet::ProxyInfo info;
    info.namedProxy = true;
    info.proxyList = "http=" + proxy.hostAndPort() + " https=" + proxy.hostAndPort();
    ASSERT_TRUE(platform::wininet::setProcessProxy(info)) << "set before the first page";

    QWebEnginePage page;
    bool loaded = false;
    QObject::connect(&page, &QWebEnginePage::loadFinished, [&](bool ok) { loaded = ok; });
    page.load(QUrl("http://origin.z5.test/page.html"));
    ASSERT_TRUE(testenv::waitFor([&] { return loaded; }, 30000)) << "the page went elsewhere";
    EXPECT_EQ(page.title(), "through the proxy");
    EXPECT_TRUE(proxy.requested("GET http://origin.z5.test/page.html"));
    EXPECT_EQ(origin.requestsFor("/page.html"), 1);

    // A secure address asks for a tunnel (which leads nowhere here).
    page.load(QUrl("https://origin.z5.test/"));
    EXPECT_TRUE(testenv::waitFor([&] { return proxy.requested("CONNECT origin.z5.test:443"); }, 30000));

    // QtNetwork requests of the program take the same proxy.
    platform::wininet::NetworkAccessManager manager;
    std::unique_ptr<QNetworkReply> reply(manager.get(QNetworkRequest(QUrl("http://origin.z5.test/page.html?qt"))));
    ASSERT_TRUE(testenv::waitFor([&] { return reply->isFinished(); }, 10000));
    EXPECT_EQ(reply->error(), QNetworkReply::NoError);
    EXPECT_TRUE(reply->readAll().contains("through the proxy"));
    EXPECT_TRUE(proxy.requested("GET http://origin.z5.test/page.html?qt"));
}
