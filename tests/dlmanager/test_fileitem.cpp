// A file item against a server that answers in every awkward way.

#include "dlmanager/fileitem.h"
#include "dlmanager/runstate.h"

#include "nginxserver.h"
#include "scriptedserver.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <gtest/gtest.h>

namespace {

QList<QByteArray> byteByByte(const QByteArray& bytes)
{
    QList<QByteArray> out;
    for (char c : bytes)
        out.append(QByteArray(1, c));
    return out;
}

struct Outcome {
    bool ended = false;
    int16_t state = 0;
    QString status;
};

} // namespace

TEST(FileItemAgainstAHostileServer, Table)
{
    const QByteArray bigHead = "HTTP/1.1 200 OK\r\n" + QByteArray(1024 * 1024, 'h');
    struct Case {
        const char* name;
        QList<Answer> answers;    // by request number
        QByteArray partialBefore; // null: no partial file
        int16_t state;
        QByteArray fileAfter;     // the final file; null: none
        qint64 partialAfter;      // -1: no partial file left
        const char* statusHas;
        const char* secondRequestHas;
    };
    const Case cases[] = {
        {"head split byte by byte", {{byteByByte("HTTP/1.1 200 OK\r\nContent-Length: 11\r\n\r\nhello world")}},
         QByteArray(), JobDone, "hello world", -1, "", nullptr},
        {"a 1 MiB head without its end", {{{bigHead}, false}}, QByteArray(), JobFailed, QByteArray(), -1,
         "answer head too large", nullptr},
        {"chunked",
         {{{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhel", "lo\r\n6;ext=1\r\n world\r", "\n0\r\nX-T: 1\r\n\r\n"},
           false}},
         QByteArray(), JobDone, "hello world", -1, "", nullptr},
        {"lower-case header names", {{{"HTTP/1.1 200 OK\r\ncontent-length: 5\r\ncONNECTION: close\r\n\r\nhello"}}},
         QByteArray(), JobDone, "hello", -1, "", nullptr},
        {"a close short of the length", {{{"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n", QByteArray(40, 'a')}}},
         QByteArray(), JobFailed, QByteArray(), 40, "60 bytes short", nullptr},
        {"bytes past the length", {{{"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhelloEXTRA", "MORE"}}}, QByteArray(),
         JobDone, "hello", -1, "", nullptr},
        {"a 206 with a wrong start",
         {{{"HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 0-19/20\r\nContent-Length: 20\r\n\r\n01234567890123456789"}},
          {{"HTTP/1.1 200 OK\r\nContent-Length: 20\r\n\r\nabcdefghijklmnopqrst"}}},
         QByteArray("0123456789"), JobDone, "abcdefghijklmnopqrst", -1, "", "GET /f.bin"},
        {"a stall after the head", {{{"HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n"}, false}}, QByteArray(), JobFailed,
         QByteArray(), -1, "No data from the server", nullptr},
        {"a 3 GiB length then a close", {{{"HTTP/1.1 200 OK\r\nContent-Length: 3221225472\r\n\r\n", QByteArray(1000, 'z')}}},
         QByteArray(), JobFailed, QByteArray(), 1000, "3221224472 bytes short", nullptr},
        {"404 keeps no trace", {{{"HTTP/1.1 404 Not Found\r\nContent-Length: 3\r\n\r\nnope"}}}, QByteArray(), JobFailed,
         QByteArray(), -1, "404 - Bad server responds", nullptr},
        {"404 keeps the partial", {{{"HTTP/1.1 404 Not Found\r\nContent-Length: 3\r\n\r\nnope"}}}, QByteArray("0123"),
         JobFailed, QByteArray(), 4, "404 - Bad server responds", nullptr},
        {"an answer that is not the file", {{{"HTTP/1.1 429 Too Many Requests\r\nContent-Length: 4\r\n\r\nslow"}}},
         QByteArray(), JobFailed, QByteArray(), -1, "429 - Bad server responds", nullptr},
        {"no length: the body runs to the close", {{{"HTTP/1.0 200 OK\r\n\r\nto the end"}}}, QByteArray(), JobDone,
         "to the end", -1, "", nullptr},
        {"not an answer at all", {{{"SSH-2.0-OpenSSH\r\n\r\n"}}}, QByteArray(), JobFailed, QByteArray(), -1,
         "not an HTTP answer", nullptr},
        {"a 200 to a range request restarts the file", {{{"HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nnew"}}},
         QByteArray("old partial"), JobDone, "new", -1, "", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString folder = testenv::freshDir(QStringLiteral("item"));
        const QString final = folder + QStringLiteral("/f.bin");
        const QString partial = final + QStringLiteral("~~~");
        if (!c.partialBefore.isNull()) {
            ASSERT_TRUE(testenv::writeFile(partial, c.partialBefore));
        }
        ScriptedServer server([&](int n, const QByteArray&) { return c.answers.value(n); });
        RunState run;
        run.ItemURL = server.url(QStringLiteral("/f.bin"));
        run.ItemFolder = folder;
        FileItem item(run);
        item.WSMain().setIdleTimeout(300);
        Outcome out;
        item.StartFileDownload([&] {
            out.ended = true;
            out.state = run.JobState;
            out.status = run.StatusText;
        });
        ASSERT_TRUE(testenv::waitFor([&] { return out.ended; }, 10000));
        EXPECT_EQ(out.state, c.state) << out.status.toStdString();
        EXPECT_TRUE(out.status.contains(QLatin1String(c.statusHas))) << out.status.toStdString();
        if (c.fileAfter.isNull()) {
            EXPECT_FALSE(QFile::exists(final));
        } else {
            EXPECT_EQ(testenv::readFile(final), c.fileAfter);
        }
        if (c.partialAfter < 0) {
            EXPECT_FALSE(QFile::exists(partial));
        } else {
            EXPECT_EQ(QFileInfo(partial).size(), c.partialAfter);
        }
        if (c.secondRequestHas) {
            ASSERT_EQ(server.requests.size(), 2);
            EXPECT_TRUE(server.requests[0].contains("Range: bytes=10-"));
            EXPECT_FALSE(server.requests[1].contains("Range:")) << server.requests[1].constData();
        }
    }
}

TEST(FileItemTarget, ALinkPlantedAtThePartialIsNotFollowed)
{
    const QString folder = testenv::freshDir(QStringLiteral("item"));
    const QString outside = testenv::freshDir(QStringLiteral("outside")) + QStringLiteral("/precious");
    ASSERT_TRUE(testenv::writeFile(outside, "keep me"));
    ASSERT_TRUE(QFile::link(outside, folder + QStringLiteral("/f.bin~~~")));
    ScriptedServer server([](int, const QByteArray&) { return Answer{{"HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nbad"}}; });
    RunState run;
    run.ItemURL = server.url(QStringLiteral("/f.bin"));
    run.ItemFolder = folder;
    FileItem item(run);
    bool ended = false;
    item.StartFileDownload([&] { ended = true; });
    ASSERT_TRUE(testenv::waitFor([&] { return ended; }));
    EXPECT_EQ(run.JobState, JobFailed);
    EXPECT_EQ(testenv::readFile(outside), QByteArray("keep me"));
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/f.bin")));
    EXPECT_TRUE(server.requests.isEmpty());
}

TEST(FileItemRequest, WhatIsSent)
{
    struct Case {
        const char* name;
        FileRequest request;
        QList<QByteArray> has;
        QList<QByteArray> hasNot;
    };
    FileRequest plain;
    plain.host = QStringLiteral("h.example");
    plain.pathAndQuery = QStringLiteral("/pub/a b.exe?x=1");
    FileRequest ported = plain;
    ported.port = 8080;
    ported.defaultPort = false;
    ported.referer = QStringLiteral("http://h.example/page.html");
    ported.rangeFrom = 1000;
    ported.validator = "\"5f-abc\"";
    FileRequest proxied = plain;
    proxied.viaProxy = true;
    proxied.absoluteAddress = QStringLiteral("http://h.example/pub/a b.exe?x=1");
    FileRequest broken = plain;
    broken.referer = QStringLiteral("x\r\nX-Evil: 1");
    const Case cases[] = {
        {"plain", plain,
         {"GET /pub/a%20b.exe?x=1 HTTP/1.1\r\n", "\r\nAccept-Language: en-ca\r\n", "\r\nAccept-Encoding: identity\r\n",
          "\r\nHost: h.example\r\n", "\r\nConnection: close\r\n\r\n"},
         {"Referer", "Range", "If-Range", "Keep"}},
        {"port, referer and range", ported,
         {"\r\nHost: h.example:8080\r\n", "\r\nReferer: http://h.example/page.html\r\n", "\r\nRange: bytes=1000-\r\n",
          "\r\nIf-Range: \"5f-abc\"\r\n"},
         {}},
        {"through a proxy", proxied, {"GET http://h.example/pub/a%20b.exe?x=1 HTTP/1.1\r\n"}, {}},
    };
    for (const Case& c : cases) {
        const QByteArray q = BuildFileRequest(c.request);
        for (const QByteArray& s : c.has)
            EXPECT_TRUE(q.contains(s)) << c.name << ": " << s.constData() << "\n" << q.constData();
        for (const QByteArray& s : c.hasNot)
            EXPECT_FALSE(q.contains(s)) << c.name << ": " << s.constData();
    }
    EXPECT_TRUE(BuildFileRequest(broken).isEmpty());
}

TEST(FileItemOverTls, ATrustedServerIsFetchedOnItsPort)
{
    const QString tls = testenv::freshDir(QStringLiteral("tls"));
    ASSERT_TRUE(testenv::makeCertificate(tls));
    const QString root = testenv::freshDir(QStringLiteral("www"));
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/a.bin"), QByteArray(70000, 's')));
    testenv::NginxServer nginx;
    ASSERT_TRUE(nginx.start(root, QStringLiteral("ssl_certificate %1/cert.pem; ssl_certificate_key %1/key.pem;").arg(tls),
                            QStringLiteral("ssl")));
    // This process trusts the test's certificate.
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.addCaCertificates(QSslCertificate::fromPath(tls + QStringLiteral("/cert.pem")));
    QSslConfiguration::setDefaultConfiguration(config);

    const QString folder = testenv::freshDir(QStringLiteral("item"));
    RunState run;
    run.ItemURL = QStringLiteral("https://127.0.0.1:%1/a.bin").arg(nginx.port());
    run.ItemFolder = folder;
    FileItem item(run);
    bool ended = false;
    item.StartFileDownload([&] { ended = true; });
    ASSERT_TRUE(testenv::waitFor([&] { return ended; }, 10000));
    EXPECT_EQ(run.JobState, JobDone) << run.StatusText.toStdString();
    EXPECT_EQ(testenv::readFile(folder + QStringLiteral("/a.bin")), QByteArray(70000, 's'));
}

TEST(FileItemTarget, NamesFromTheAddress)
{
    ScriptedServer server([](int, const QByteArray&) { return Answer{{"HTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\nx"}}; });
    const QString hostPort = QStringLiteral("127.0.0.1:%1").arg(server.port());
    const struct {
        const char* path;
        bool addPath;
        QString name;
    } cases[] = {
        {"/pub/setup.exe?x=1", false, QStringLiteral("setup.exe")},
        {"/pub/tools/my%20file.zip", true, hostPort + QStringLiteral("-pub-tools-my file.zip")},
        {"/a%2fb%20c.bin", false, QStringLiteral("a%2fb c.bin")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const QString folder = testenv::freshDir(QStringLiteral("item"));
        RunState run;
        run.ItemURL = server.url(QString::fromUtf8(c.path));
        run.ItemFolder = folder;
        run.AddPathToName = c.addPath;
        FileItem item(run);
        bool ended = false;
        item.StartFileDownload([&] { ended = true; });
        ASSERT_TRUE(testenv::waitFor([&] { return ended; }));
        EXPECT_EQ(run.JobState, JobDone) << run.StatusText.toStdString();
        EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{c.name});
        EXPECT_TRUE(server.requests.last().startsWith(QByteArray("GET " + QByteArray(c.path) + " HTTP/1.1\r\n")));
    }
}
