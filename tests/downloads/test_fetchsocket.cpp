// A fetch slot's socket against nginx and against scripted servers: a fresh
// file, a resume, a 200 or a 416 answering a resume, answers without a size,
// a head split across packets, a silent server, a proxy, and a close in the
// middle of a transfer.

#include "downloads/fetchsocket.h"

#include "nginxserver.h"
#include "scriptedserver.h"
#include "testenv.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <optional>

namespace {

struct Outcome {
    std::optional<bool> failed; // unset: no end was reported
    QByteArray file;
    bool fileExists = false;
    qint64 total = 0;
    qint64 received = 0;
    bool partial = false;
};

FetchSocketTarget targetAt(quint16 port, const QString& path, const QString& host = QStringLiteral("127.0.0.1"))
{
    FetchSocketTarget t;
    t.host = host;
    t.port = port;
    t.defaultPort = false;
    t.pathAndQuery = path;
    t.absoluteAddress = QStringLiteral("http://%1:%2%3").arg(host).arg(port).arg(path);
    t.referer = QStringLiteral("http://%1:%2/page.html").arg(host).arg(port);
    return t;
}

Outcome fetch(FetchSocket& socket, const FetchSocketTarget& target, const QString& tempPath,
              const ProxySetting& proxy = ProxySetting(), int waitMs = 15000)
{
    Outcome out;
    socket.events().finished = [&out](bool failed) { out.failed = failed; };
    socket.ConnectFetchSocket(target, tempPath, proxy);
    testenv::waitFor([&] { return out.failed.has_value(); }, waitMs);
    out.fileExists = QFile::exists(tempPath);
    out.file = testenv::readFile(tempPath);
    out.total = socket.total();
    out.received = socket.received();
    out.partial = socket.partial();
    return out;
}

QByteArray sha256(const QByteArray& b)
{
    return QCryptographicHash::hash(b, QCryptographicHash::Sha256).toHex();
}

QByteArray randomBytes(int n)
{
    QByteArray b(n, '\0');
    for (char& c : b)
        c = static_cast<char>(QRandomGenerator::global()->bounded(256));
    return b;
}

} // namespace

TEST(FetchSocket, FreshResumedAndCompleteFilesAgainstNginx)
{
    const QString root = testenv::freshDir(QStringLiteral("www"));
    const QByteArray whole = randomBytes(300000);
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/photo.jpg"), whole));
    testenv::NginxServer nginx;
    ASSERT_TRUE(nginx.start(root));
    // An nginx that answers every range request with the whole file.
    testenv::NginxServer noRanges;
    ASSERT_TRUE(noRanges.start(root, QStringLiteral("max_ranges 0;")));

    const struct {
        const char* name;
        testenv::NginxServer* server;
        std::optional<QByteArray> held; // what the temporary file holds before
        const char* path;
        bool failed;
        QByteArray result;              // the file afterwards (when it exists)
        const char* logged;             // the server's log line: request|status|range
    } cases[] = {
        {"fresh", &nginx, std::nullopt, "/photo.jpg", false, whole, "GET /photo.jpg HTTP/1.1|200|-"},
        {"resumed by a 206", &nginx, whole.left(100000), "/photo.jpg", false, whole,
         "GET /photo.jpg HTTP/1.1|206|bytes=100000-"},
        {"already complete: 416", &nginx, whole, "/photo.jpg", false, whole, "GET /photo.jpg HTTP/1.1|416|bytes=300000-"},
        // The part held is not even the file's: the 200 replaces it.
        {"a 200 answering a resume", &noRanges, QByteArray(100000, 'x'), "/photo.jpg", false, whole,
         "GET /photo.jpg HTTP/1.1|200|bytes=100000-"},
        {"missing file", &nginx, std::nullopt, "/none.jpg", true, QByteArray(), "GET /none.jpg HTTP/1.1|404|-"},
        {"missing file with a part held", &nginx, QByteArray(10, 'x'), "/none.jpg", true, QByteArray(),
         "GET /none.jpg HTTP/1.1|404|bytes=10-"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString temp = testenv::freshDir(QStringLiteral("tmp")) + QStringLiteral("/~Z5_12000000~~~photo.jpg");
        if (c.held) {
            ASSERT_TRUE(testenv::writeFile(temp, *c.held));
        }
        const qsizetype logged = c.server->accessLog().size();
        FetchSocket socket;
        const Outcome out = fetch(socket, targetAt(c.server->port(), QString::fromLatin1(c.path)), temp);
        ASSERT_TRUE(out.failed.has_value());
        EXPECT_EQ(*out.failed, c.failed);
        // A failed file is deleted; only a 206 keeps its part.
        EXPECT_EQ(out.fileExists, !c.failed);
        EXPECT_EQ(sha256(out.file), sha256(c.result));
        if (!c.failed) {
            EXPECT_EQ(out.total, whole.size());
            EXPECT_EQ(out.received, whole.size());
        }
        testenv::waitFor([&] { return c.server->accessLog().size() > logged; });
        ASSERT_GT(c.server->accessLog().size(), logged);
        EXPECT_TRUE(c.server->accessLog().at(logged).startsWith(QLatin1String(c.logged)))
            << c.server->accessLog().at(logged).toStdString();
    }
}

TEST(FetchSocket, ScriptedAnswers)
{
    const QByteArray ok = "HTTP/1.1 200 OK\r\n";
    const struct {
        const char* name;
        Answer answer;
        bool failed;
        QByteArray file;
        bool partialKept;
    } cases[] = {
        {"head split across packets", {{"HTT", "P/1.1 200 OK\r\nContent-Le", "ngth: 5\r\n\r", "\nhel", "lo"}}, false,
         "hello", false},
        {"no size, body to a clean close", {{ok + "\r\n", "abc", "def"}}, false, "abcdef", false},
        {"no size and no body: no empty success", {{ok + "\r\n"}}, true, QByteArray(), false},
        {"a size of 0 on a fresh file", {{ok + "Content-Length: 0\r\n\r\n"}, false}, false, QByteArray(), false},
        {"cut short", {{ok + "Content-Length: 10\r\n\r\n", "abc"}}, true, QByteArray(), false},
        {"a 206 cut short keeps its part",
         {{"HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 0-9/10\r\nContent-Length: 10\r\n\r\n", "abc"},
          true, 1, true},
         true, "abc", true},
        {"a 206 that does not continue the file",
         {{"HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 5-9/10\r\n\r\n", "fghij"}}, true, QByteArray(), true},
        {"an error page is no picture", {{"HTTP/1.1 500 Oops\r\nContent-Length: 4\r\n\r\noops"}}, true, QByteArray(), false},
        {"an unlisted status is no picture", {{"HTTP/1.1 429 Slow down\r\nContent-Length: 4\r\n\r\nslow"}}, true,
         QByteArray(), false},
        {"a head that never ends", {{ok + "X: " + QByteArray(70 * 1024, 'a')}, false}, true, QByteArray(), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server([&c](int, const QByteArray&) { return c.answer; });
        const QString temp = testenv::freshDir(QStringLiteral("tmp")) + QStringLiteral("/~Z5_12000000~~~a.jpg");
        FetchSocket socket;
        const Outcome out = fetch(socket, targetAt(server.port(), QStringLiteral("/a.jpg")), temp);
        ASSERT_TRUE(out.failed.has_value());
        EXPECT_EQ(*out.failed, c.failed);
        EXPECT_EQ(out.file, c.file);
        EXPECT_EQ(out.fileExists, !c.failed || c.partialKept);
        EXPECT_EQ(out.partial, c.partialKept);
    }
}

TEST(FetchSocket, TheRequestAsSentDirectAndThroughAProxy)
{
    const Answer answer{{"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"}};
    ScriptedServer server([&](int, const QByteArray&) { return answer; });
    const QString folder = testenv::freshDir(QStringLiteral("tmp"));

    FetchSocket direct;
    ASSERT_EQ(fetch(direct, targetAt(server.port(), QStringLiteral("/a b.jpg")), folder + QStringLiteral("/1")).failed,
              std::optional<bool>(false));
    ASSERT_EQ(server.requests.size(), 1);
    const QByteArray sent = server.requests.at(0);
    EXPECT_TRUE(sent.startsWith("GET /a%20b.jpg HTTP/1.1\r\n")) << sent.constData();
    EXPECT_TRUE(sent.contains(QStringLiteral("\r\nHost: 127.0.0.1:%1\r\n").arg(server.port()).toLatin1()));
    EXPECT_TRUE(sent.contains(QStringLiteral("\r\nReferer: http://127.0.0.1:%1/page.html\r\n").arg(server.port()).toLatin1()));
    EXPECT_TRUE(sent.contains("\r\nAccept-Encoding: identity\r\n"));
    EXPECT_FALSE(sent.contains("Range:"));

    // Through a proxy the whole address is asked of the proxy.
    ProxySetting proxy;
    proxy.enabled = true;
    proxy.host = QStringLiteral("127.0.0.1");
    proxy.port = server.port();
    FetchSocket proxied;
    ASSERT_EQ(fetch(proxied, targetAt(8080, QStringLiteral("/b.jpg"), QStringLiteral("origin.z5.test")),
                    folder + QStringLiteral("/2"), proxy)
                  .failed,
              std::optional<bool>(false));
    ASSERT_EQ(server.requests.size(), 2);
    EXPECT_TRUE(server.requests.at(1).startsWith("GET http://origin.z5.test:8080/b.jpg HTTP/1.1\r\n"));
    EXPECT_TRUE(server.requests.at(1).contains("\r\nHost: origin.z5.test:8080\r\n"));

    // An exception of the proxy setting is asked directly; offline, nothing is asked.
    proxy.bypass = {QStringLiteral("127.0.0.*")};
    FetchSocket excepted;
    ASSERT_EQ(fetch(excepted, targetAt(server.port(), QStringLiteral("/c.jpg")), folder + QStringLiteral("/3"), proxy).failed,
              std::optional<bool>(false));
    ASSERT_EQ(server.requests.size(), 3);
    EXPECT_TRUE(server.requests.at(2).startsWith("GET /c.jpg HTTP/1.1\r\n")) << server.requests.at(2).constData();
    proxy.offline = true;
    FetchSocket offline;
    EXPECT_EQ(fetch(offline, targetAt(server.port(), QStringLiteral("/d.jpg")), folder + QStringLiteral("/4"), proxy).failed,
              std::optional<bool>(true));
    EXPECT_EQ(server.requests.size(), 3);
}

TEST(FetchSocket, FailuresBeforeAnyAnswer)
{
    const QString folder = testenv::freshDir(QStringLiteral("tmp"));
    // A server that takes the request and never answers.
    ScriptedServer silent([](int, const QByteArray&) { return Answer{{}, false}; });
    FetchSocket stalled;
    stalled.setTimeouts(2000, 300);
    const Outcome late = fetch(stalled, targetAt(silent.port(), QStringLiteral("/a.jpg")), folder + QStringLiteral("/a"));
    EXPECT_EQ(late.failed, std::optional<bool>(true));
    EXPECT_FALSE(late.fileExists);

    // Nobody listens.
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    FetchSocket refused;
    EXPECT_EQ(fetch(refused, targetAt(closedPort, QStringLiteral("/a.jpg")), folder + QStringLiteral("/b")).failed,
              std::optional<bool>(true));

    // The temporary file cannot be made.
    FetchSocket unwritable;
    EXPECT_EQ(fetch(unwritable, targetAt(silent.port(), QStringLiteral("/a.jpg")), folder + QStringLiteral("/no/such/c"))
                  .failed,
              std::optional<bool>(true));
}

TEST(FetchSocket, NothingIsReportedAfterAClose)
{
    const QString root = testenv::freshDir(QStringLiteral("www"));
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/big.jpg"), randomBytes(400000)));
    testenv::NginxServer nginx;
    ASSERT_TRUE(nginx.start(root, QStringLiteral("limit_rate 100k;")));
    const QString temp = testenv::freshDir(QStringLiteral("tmp")) + QStringLiteral("/big");
    FetchSocket socket;
    int finished = 0;
    int progress = 0;
    socket.events().finished = [&](bool) { ++finished; };
    socket.events().receivedChanged = [&] { ++progress; };
    socket.ConnectFetchSocket(targetAt(nginx.port(), QStringLiteral("/big.jpg")), temp, ProxySetting());
    ASSERT_TRUE(testenv::waitFor([&] { return progress > 0; }, 15000));
    socket.Close();
    const int progressAtClose = progress;
    const QByteArray atClose = testenv::readFile(temp);
    QTest::qWait(500);
    EXPECT_EQ(finished, 0);
    EXPECT_EQ(progress, progressAtClose);
    EXPECT_EQ(testenv::readFile(temp), atClose);
    EXPECT_FALSE(socket.active());
}
