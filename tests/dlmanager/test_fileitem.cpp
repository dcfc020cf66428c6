// A file item against a server that answers in every awkward way.

#include "dlmanager/downloadname.h"
#include "dlmanager/fileitem.h"
#include "dlmanager/freename.h"
#include "dlmanager/partialfile.h"
#include "dlmanager/runstate.h"
#include "platform/base/registry.h"

#include "httpproxy.h"
#include "nginxserver.h"
#include "scriptedserver.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <gtest/gtest.h>

#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

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

// A partial file as the run's current item would have left it.
bool plantOwnPartial(const RunState& run, const QString& finalPath, const QByteArray& bytes)
{
    const QString path = finalPath + QStringLiteral("~~~");
    const QByteArray tag = PartialOwnerTag(run, finalPath);
    return testenv::writeFile(path, bytes) &&
           ::setxattr(QFile::encodeName(path).constData(), kPartialOwnerAttribute, tag.constData(),
                      static_cast<size_t>(tag.size()), 0) == 0;
}

// Runs the item to its end.
Outcome fetch(FileItem& item, RunState& run, int ms = 10000)
{
    Outcome out;
    item.StartFileDownload([&] {
        out.ended = true;
        out.state = run.JobState;
        out.status = run.StatusText;
    });
    EXPECT_TRUE(testenv::waitFor([&] { return out.ended; }, ms));
    return out;
}

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
        {"chunked with a length too: the chunks decide",
         {{{"HTTP/1.1 200 OK\r\nContent-Length: 3\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n"}}},
         QByteArray(), JobDone, "hello", -1, "", nullptr},
        {"no length and a reset: failed, kept for a resume",
         {{{"HTTP/1.0 200 OK\r\n\r\n", "cut short"}, true, 100, true}}, QByteArray(), JobFailed, QByteArray(), 9,
         "Connection reset", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString folder = testenv::freshDir(QStringLiteral("item"));
        const QString final = folder + QStringLiteral("/f.bin");
        const QString partial = final + QStringLiteral("~~~");
        ScriptedServer server([&](int n, const QByteArray&) { return c.answers.value(n); });
        RunState run;
        run.ItemURL = server.url(QStringLiteral("/f.bin"));
        run.ItemFolder = folder;
        if (!c.partialBefore.isNull()) {
            ASSERT_TRUE(plantOwnPartial(run, final, c.partialBefore));
        }
        FileItem item(run);
        item.WSMain().setIdleTimeout(300);
        const Outcome out = fetch(item, run);
        ASSERT_TRUE(out.ended);
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

TEST(FileItemPartial, OnlyTheItemsOwnPartialIsTakenUp)
{
    // A server that continues from byte 4 when asked, else sends it all.
    ScriptedServer server([](int, const QByteArray& request) {
        if (request.contains("\r\nRange: bytes=4-\r\n"))
            return Answer{{"HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 4-9/10\r\nContent-Length: 6\r\n\r\n456789"}};
        return Answer{{"HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n0123456789"}};
    });
    const QString outside = testenv::freshDir(QStringLiteral("outside")) + QStringLiteral("/precious");
    RunState otherList;
    otherList.ListBase = QStringLiteral("/elsewhere/Data/other list");
    otherList.ItemLine = 9;
    struct Case {
        const char* name;
        // Lays out what is at the partial's name; the item's run and final path given.
        std::function<bool(const RunState&, const QString&)> plant;
        bool resumed;
        bool rootOnly = false;
    };
    const QByteArray held = "0123";
    int heldLock = -1;
    const Case cases[] = {
        {"its own", [&](const RunState& run, const QString& final) { return plantOwnPartial(run, final, held); }, true},
        {"another list's item of the same name",
         [&](const RunState& run, const QString& final) {
             otherList.ItemURL = run.ItemURL;
             return plantOwnPartial(otherList, final, held);
         },
         false},
        {"one no item made", [&](const RunState&, const QString& final) { return testenv::writeFile(final + "~~~", held); },
         false},
        {"its own, but anyone may write it",
         [&](const RunState& run, const QString& final) {
             return plantOwnPartial(run, final, held) && ::chmod(QFile::encodeName(final + "~~~").constData(), 0666) == 0;
         },
         false},
        {"its own, but its group may write it",
         [&](const RunState& run, const QString& final) {
             return plantOwnPartial(run, final, held) && ::chmod(QFile::encodeName(final + "~~~").constData(), 0664) == 0;
         },
         false},
        {"its own, but held locked by another run",
         [&](const RunState& run, const QString& final) {
             if (!plantOwnPartial(run, final, held))
                 return false;
             heldLock = ::open(QFile::encodeName(final + "~~~").constData(), O_RDWR | O_CLOEXEC);
             return heldLock >= 0 && ::flock(heldLock, LOCK_EX | LOCK_NB) == 0;
         },
         false},
        {"its own, but with a second name elsewhere",
         [&](const RunState& run, const QString& final) {
             return plantOwnPartial(run, final, held) &&
                    ::link(QFile::encodeName(final + "~~~").constData(), QFile::encodeName(outside + "-link").constData()) == 0;
         },
         false},
        {"its own, but another user's",
         [&](const RunState& run, const QString& final) {
             return plantOwnPartial(run, final, held) && ::chown(QFile::encodeName(final + "~~~").constData(), 65533, 65533) == 0;
         },
         false, true},
        {"a link to a file elsewhere",
         [&](const RunState&, const QString& final) {
             return testenv::writeFile(outside, held) && QFile::link(outside, final + "~~~");
         },
         false},
        {"a FIFO", [&](const RunState&, const QString& final) { return ::mkfifo(QFile::encodeName(final + "~~~").constData(), 0600) == 0; },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.rootOnly && ::geteuid() != 0)
            continue;
        const QString folder = testenv::freshDir(QStringLiteral("item"));
        const QString final = folder + QStringLiteral("/f.bin");
        QFile::remove(outside);
        QFile::remove(outside + "-link");
        RunState run;
        run.ItemURL = server.url(QStringLiteral("/f.bin"));
        run.ItemFolder = folder;
        ASSERT_TRUE(c.plant(run, final));
        const QFileInfo before(final + QStringLiteral("~~~"));
        const QByteArray contentBefore = before.isFile() ? testenv::readFile(before.absoluteFilePath()) : QByteArray();
        const qsizetype requestsBefore = server.requests.size();

        FileItem item(run);
        const Outcome out = fetch(item, run);
        if (heldLock >= 0)
            ::close(heldLock);
        heldLock = -1;

        EXPECT_EQ(out.state, JobDone) << out.status.toStdString();
        EXPECT_EQ(testenv::readFile(final), QByteArray("0123456789"));
        ASSERT_EQ(server.requests.size(), requestsBefore + 1);
        EXPECT_EQ(server.requests.last().contains("Range:"), c.resumed) << server.requests.last().constData();
        if (c.resumed) {
            EXPECT_FALSE(QFileInfo::exists(final + QStringLiteral("~~~")));
        } else {
            // Left as it was: the item fetched into a partial of its own.
            const QFileInfo after(final + QStringLiteral("~~~"));
            EXPECT_TRUE(after.exists() || after.isSymLink());
            if (before.isFile() && !before.isSymLink()) {
                EXPECT_EQ(testenv::readFile(after.absoluteFilePath()), contentBefore);
            }
            EXPECT_TRUE(QDir(folder).entryList({QStringLiteral("f.bin (*")}, QDir::AllEntries | QDir::System).isEmpty());
        }
        if (QFileInfo::exists(outside)) {
            EXPECT_EQ(testenv::readFile(outside), held) << "a file elsewhere was written";
        }
    }
}

TEST(FileItemPartial, TwoListsFetchingOneNameKeepTheirFilesApart)
{
    // List A's server is slow: B starts while A's partial grows.
    const QByteArray a = QByteArray(5000, 'a');
    const QByteArray b = QByteArray(3000, 'b');
    ScriptedServer slow([&](int, const QByteArray&) {
        return Answer{{"HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n" + a.left(1000), a.mid(1000)}, true, 1500};
    });
    ScriptedServer fast([&](int, const QByteArray&) { return Answer{{"HTTP/1.1 200 OK\r\nContent-Length: 3000\r\n\r\n" + b}}; });
    const QString folder = testenv::freshDir(QStringLiteral("shared"));
    RunState runA, runB;
    runA.ListBase = QStringLiteral("/z5/Data/list A");
    runB.ListBase = QStringLiteral("/z5/Data/list B");
    runA.ItemLine = runB.ItemLine = 9;
    runA.ItemURL = slow.url(QStringLiteral("/report.pdf"));
    runB.ItemURL = fast.url(QStringLiteral("/report.pdf"));
    runA.ItemFolder = runB.ItemFolder = folder;
    FileItem itemA(runA), itemB(runB);
    Outcome outA;
    itemA.StartFileDownload([&] {
        outA.ended = true;
        outA.state = runA.JobState;
    });
    ASSERT_TRUE(testenv::waitFor([&] { return QFileInfo(folder + QStringLiteral("/report.pdf~~~")).size() == 1000; }));
    const Outcome outB = fetch(itemB, runB);
    ASSERT_TRUE(testenv::waitFor([&] { return outA.ended; }, 20000));
    EXPECT_EQ(outA.state, JobDone);
    EXPECT_EQ(outB.state, JobDone);
    EXPECT_FALSE(fast.requests.first().contains("Range:")) << "B took up A's partial";
    // B finished first and took the name; A's file is beside it.
    EXPECT_EQ(testenv::readFile(folder + QStringLiteral("/report.pdf")), b);
    EXPECT_EQ(testenv::readFile(folder + QStringLiteral("/report (2).pdf")), a);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 2);
}

TEST(FileItemServer, ASlowServerIsGivenUp)
{
    const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n";
    QList<QByteArray> trickle;
    for (int i = 0; i < 200; ++i)
        trickle << QByteArray(1, 'x');
    const struct {
        const char* name;
        Answer answer;
        const char* statusHas;
        qint64 partialAfter;
    } cases[] = {
        {"a head a byte at a time", {[&] {
             QList<QByteArray> bytes;
             for (char ch : head)
                 bytes << QByteArray(1, ch);
             return bytes;
         }(), false, 50},
         "the server sent no answer within", -1},
        {"a body a byte at a time", {QList<QByteArray>{head} + trickle, false, 50}, "the server sent less than 1024 bytes in",
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server([&](int, const QByteArray&) { return c.answer; });
        const QString folder = testenv::freshDir(QStringLiteral("item"));
        RunState run;
        run.ItemURL = server.url(QStringLiteral("/f.bin"));
        run.ItemFolder = folder;
        FileItem item(run);
        item.setTransferLimits(400, 400, 1024);
        const Outcome out = fetch(item, run);
        EXPECT_EQ(out.state, JobFailed);
        EXPECT_TRUE(out.status.contains(QLatin1String(c.statusHas))) << out.status.toStdString();
        EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/f.bin")));
        if (c.partialAfter < 0) {
            EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/f.bin~~~")));
        } else {
            EXPECT_GE(QFileInfo(folder + QStringLiteral("/f.bin~~~")).size(), c.partialAfter) << "kept for a resume";
        }
    }
}

TEST(FileItemServer, RedirectsAreFollowedByTheItemItself)
{
    const auto redirect = [](const QByteArray& code, const QByteArray& location) {
        return Answer{{"HTTP/1.1 " + code + " Moved\r\nLocation: " + location + "\r\nContent-Length: 0\r\n\r\n"}};
    };
    const Answer file{{"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nmoved"}};
    const struct {
        const char* name;
        std::function<Answer(int n, const QByteArray& request)> answer;
        int16_t state;
        const char* statusHas;
        QStringList requests; // the request lines, in order
    } cases[] = {
        {"relative, then absolute",
         [&](int n, const QByteArray& request) {
             if (n == 0)
                 return redirect("302", "/dl/f.bin");
             if (n == 1)
                 return redirect("301", "http://" + request.mid(request.indexOf("\r\nHost: ") + 8).split('\r').value(0) +
                                           "/files/real.bin");
             return file;
         },
         JobDone, "", {"GET /f.bin ", "GET /dl/f.bin ", "GET /files/real.bin "}},
        {"every kind of redirect",
         [&](int n, const QByteArray&) {
             const char* codes[] = {"301", "302", "303", "307", "308"};
             return n < 5 ? redirect(codes[n], "/r" + QByteArray::number(n)) : file;
         },
         JobDone, "", {"GET /f.bin ", "GET /r0 ", "GET /r1 ", "GET /r2 ", "GET /r3 ", "GET /r4 "}},
        {"to ftp", [&](int, const QByteArray&) { return redirect("302", "ftp://127.0.0.1/f.bin"); }, JobFailed,
         "redirected to an address that is not http or https", {"GET /f.bin "}},
        {"to a local file", [&](int, const QByteArray&) { return redirect("301", "file:///etc/passwd"); }, JobFailed,
         "redirected to an address that is not http or https", {"GET /f.bin "}},
        {"round in a loop",
         [&](int n, const QByteArray&) { return redirect("302", n % 2 ? "/f.bin" : "/g.bin"); }, JobFailed,
         "the redirects go round in a loop", {"GET /f.bin ", "GET /g.bin "}},
        {"more than ten", [&](int n, const QByteArray&) { return redirect("307", "/n" + QByteArray::number(n)); }, JobFailed,
         "more than 10 redirects",
         [] {
             QStringList lines{"GET /f.bin "};
             for (int i = 0; i < 10; ++i)
                 lines << QStringLiteral("GET /n%1 ").arg(i);
             return lines;
         }()},
        {"a redirect without a place", [&](int, const QByteArray&) { return Answer{{"HTTP/1.1 302 Found\r\nContent-Length: 0\r\n\r\n"}}; },
         JobFailed, "302 - Partial Content - File not found", {"GET /f.bin "}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server(c.answer);
        const QString folder = testenv::freshDir(QStringLiteral("item"));
        RunState run;
        run.ItemURL = server.url(QStringLiteral("/f.bin"));
        run.ItemFolder = folder;
        FileItem item(run);
        const Outcome out = fetch(item, run);
        EXPECT_EQ(out.state, c.state) << out.status.toStdString();
        EXPECT_TRUE(out.status.contains(QLatin1String(c.statusHas))) << out.status.toStdString();
        QStringList lines;
        for (const QByteArray& r : server.requests)
            lines << QString::fromLatin1(r.left(r.indexOf("HTTP/")));
        EXPECT_EQ(lines, c.requests);
        // The file keeps the name the item's own address gives it.
        EXPECT_EQ(QDir(folder).entryList(QDir::Files), c.state == JobDone ? QStringList{"f.bin"} : QStringList());
        if (c.state == JobDone) {
            EXPECT_EQ(testenv::readFile(folder + QStringLiteral("/f.bin")), QByteArray("moved"));
        }
    }
}

TEST(FileItemOverTls, TheCertificateIsCheckedWithAndWithoutAProxy)
{
    const QString tls = testenv::freshDir(QStringLiteral("tls"));
    ASSERT_TRUE(testenv::makeCertificate(tls));
    const QString root = testenv::freshDir(QStringLiteral("www"));
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/a.bin"), QByteArray(70000, 's')));
    testenv::NginxServer nginx;
    ASSERT_TRUE(nginx.start(root, QStringLiteral("ssl_certificate %1/cert.pem; ssl_certificate_key %1/key.pem;").arg(tls),
                            QStringLiteral("ssl")));
    // This process trusts the test's certificate, which names 127.0.0.1.
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.addCaCertificates(QSslCertificate::fromPath(tls + QStringLiteral("/cert.pem")));
    QSslConfiguration::setDefaultConfiguration(config);
    testenv::HttpProxy proxy;
    proxy.tunnelTo(nginx.port());
    namespace reg = platform::registry;
    const QString proxyKey = QStringLiteral("Software\\Keldo\\Z5 Browser\\Proxy");
    reg::writeValue(reg::Hive::CurrentUser, proxyKey, QStringLiteral("Address1"), reg::Value::string(QStringLiteral("127.0.0.1")));
    reg::writeValue(reg::Hive::CurrentUser, proxyKey, QStringLiteral("Port1"), reg::Value::string(QString::number(proxy.port())));

    const struct {
        const char* name;
        bool viaProxy;
        const char* host;
        int16_t state;
    } cases[] = {
        {"direct", false, "127.0.0.1", JobDone},
        {"through a tunnel of the proxy", true, "127.0.0.1", JobDone},
        // Through the proxy, the certificate must still name the host asked for.
        {"through a tunnel to a host the certificate does not name", true, "localhost", JobFailed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        reg::writeValue(reg::Hive::CurrentUser, proxyKey, QStringLiteral("Check1"),
                        reg::Value::string(c.viaProxy ? QStringLiteral("1") : QStringLiteral("0")));
        const qsizetype tunnelsBefore = proxy.log().size();
        const qsizetype servedBefore = nginx.accessLog().size();
        const QString folder = testenv::freshDir(QStringLiteral("item"));
        RunState run;
        run.ItemURL = QStringLiteral("https://%1:%2/a.bin").arg(QLatin1String(c.host)).arg(nginx.port());
        run.ItemFolder = folder;
        FileItem item(run);
        const Outcome out = fetch(item, run);
        EXPECT_EQ(out.state, c.state) << out.status.toStdString();
        EXPECT_EQ(testenv::readFile(folder + QStringLiteral("/a.bin")), c.state == JobDone ? QByteArray(70000, 's') : QByteArray());
        const QStringList tunnels = proxy.log().mid(tunnelsBefore);
        EXPECT_EQ(tunnels, c.viaProxy ? QStringList{QStringLiteral("CONNECT %1:%2").arg(QLatin1String(c.host)).arg(nginx.port())}
                                      : QStringList());
        const QStringList served = nginx.accessLog().mid(servedBefore);
        EXPECT_EQ(served.filter(QStringLiteral("GET /a.bin HTTP/1.1|200")).size(), c.state == JobDone ? 1 : 0)
            << served.join(QLatin1Char('\n')).toStdString();
    }
    reg::deleteKey(reg::Hive::CurrentUser, proxyKey);
}

TEST(FileItemTarget, NamesFromTheAddress)
{
    ScriptedServer server([](int, const QByteArray&) { return Answer{{"HTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\nx"}}; });
    const QString hostPort = QStringLiteral("127.0.0.1:%1").arg(server.port());
    const struct {
        QByteArray path;
        bool addPath;
        QString name;
    } cases[] = {
        {"/pub/setup.exe?x=1", false, QStringLiteral("setup.exe")},
        {"/pub/tools/my%20file.zip", true, hostPort + QStringLiteral("-pub-tools-my file.zip")},
        {"/a%2fb%20c.bin", false, QStringLiteral("a%2fb c.bin")},
        // The longest name: the partial's name is shortened, never the file's.
        {"/" + QByteArray(251, 'a') + ".bin", false, QString(251, QLatin1Char('a')) + QStringLiteral(".bin")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.left(40).toStdString());
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
        EXPECT_TRUE(server.requests.last().startsWith(QByteArray("GET " + c.path + " HTTP/1.1\r\n")));
    }
}

// The single-file form names its target: a whole path is taken as it is,
// a folder takes the name the answer or the address gives. An address
// whose path holds no "." is fetched all the same.
TEST(FileItemTarget, TheSingleFileFormFetchesAnyWebAddress)
{
    ScriptedServer server([](int, const QByteArray& request) {
        QByteArray head = "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n";
        if (request.contains("named=1"))
            head += "Content-Disposition: attachment; filename=\"../../Song Title.mp3\"\r\n";
        if (request.contains("utf=1"))
            head += "Content-Disposition: attachment; filename=\"x.bin\"; filename*=UTF-8''%C3%A9t%C3%A9.ogg\r\n";
        return Answer{{head + "\r\nbody"}};
    });
    const struct {
        const char* path;
        const char* target; // below the test's folder; "" is the folder itself
        QStringList files;
    } cases[] = {
        {"/play?id=5", "song.mp3", {"song.mp3"}},
        {"/play?id=5", "", {"play"}},
        {"/play?id=5&named=1", "", {"Song Title.mp3"}},
        {"/stream/?utf=1", "", {QStringLiteral("\u00e9t\u00e9.ogg")}},
        {"/", "", {"download"}},
        // A name the address gives is not replaced by the answer's.
        {"/a.bin?named=1", "", {"a.bin"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const QString folder = testenv::freshDir(QStringLiteral("single"));
        RunState run;
        run.ItemURL = server.url(QString::fromLatin1(c.path));
        FileItem item(run);
        item.setTargetPath(*c.target ? folder + QLatin1Char('/') + QLatin1String(c.target) : folder);
        const Outcome out = fetch(item, run);
        EXPECT_EQ(out.state, JobDone) << out.status.toStdString();
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), c.files);
        EXPECT_EQ(testenv::readFile(folder + QLatin1Char('/') + c.files.value(0)), QByteArray("body"));
    }
}

TEST(FileItemTarget, TheAnswersNameIsOnePlainName)
{
    const struct {
        QByteArray field;
        QString name;
    } cases[] = {
        {"attachment; filename=\"a.mp3\"", "a.mp3"},
        {"attachment; filename=a.mp3", "a.mp3"},
        {"attachment;filename=\"q\\\"uote.txt\"", "q\"uote.txt"},
        {"attachment; filename*=UTF-8''na%C3%AFve%20file.txt; filename=\"naive.txt\"", QStringLiteral("na\u00efve file.txt")},
        {"attachment; filename=\"/etc/passwd\"", "passwd"},
        {"attachment; filename=\"..\\..\\win.ini\"", "win.ini"},
        {"attachment; filename=\".bashrc\"", "bashrc"},
        {"attachment; filename=\"..\"", ""},
        {"attachment; filename=\"a\x01b\"", ""},
        {"attachment; filename*=UTF-8''a%0Ab", ""},
        {"attachment", ""},
        {"inline; name=\"x.bin\"", ""},
        {QByteArray(5000, 'a'), ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AnswerFileName(c.field), c.name) << c.field.left(60).constData();
}

// A name longer than the file system takes is shortened, its extension kept,
// and a taken name gives way to a numbered one that fits as well.
TEST(FileItemTarget, ALongNameEndsCompleteUnderAShortenedName)
{
    ScriptedServer server([](int, const QByteArray&) { return Answer{{"HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nbody"}}; });
    const QString folder = testenv::freshDir(QStringLiteral("long"));
    const QString shortened = QString(251, QLatin1Char('n')) + QStringLiteral(".bin");
    for (const QString& expected : QStringList{shortened, QString(247, QLatin1Char('n')) + QStringLiteral(" (2).bin")}) {
        RunState run;
        run.ListBase = QStringLiteral("/nowhere/list");
        run.ItemURL = server.url(QLatin1Char('/') + QString(300, QLatin1Char('n')) + QStringLiteral(".bin"));
        run.ItemFolder = folder;
        FileItem item(run);
        const Outcome out = fetch(item, run);
        EXPECT_EQ(out.state, JobDone) << out.status.toStdString();
        EXPECT_EQ(testenv::readFile(folder + QLatin1Char('/') + expected), QByteArray("body"));
    }
    QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(left.filter(QStringLiteral("~~~")), QStringList()) << "no partial stays behind";
    EXPECT_EQ(left.size(), 2);
    const QString wide = ShortenFileName(QStringLiteral("\u00e9") + QString(300, QLatin1Char('x')) + QStringLiteral(".tar.gz"));
    EXPECT_EQ(QFile::encodeName(wide).size(), 255);
    EXPECT_TRUE(wide.endsWith(QLatin1String("xx.gz"))) << wide.toStdString();
    EXPECT_EQ(ShortenFileName(QStringLiteral("short.bin")), QStringLiteral("short.bin"));
    EXPECT_EQ(ShortenFileName(QString(300, QLatin1Char('y'))), QString(255, QLatin1Char('y')));
}

TEST(FileItemProgress, SaysWhatItKnowsOfTheSize)
{
    const struct {
        const char* name;
        QByteArray answer;
        const char* progress;
    } cases[] = {
        {"a length", "HTTP/1.1 200 OK\r\nContent-Length: 11\r\n\r\nhello world", "11 Bytes of 11 Bytes"},
        {"no length", "HTTP/1.0 200 OK\r\n\r\nhello world", "11 Bytes of an unknown size"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server([&](int, const QByteArray&) { return Answer{{c.answer}}; });
        RunState run;
        run.ItemURL = server.url(QStringLiteral("/f.bin"));
        run.ItemFolder = testenv::freshDir(QStringLiteral("item"));
        FileItem item(run);
        const Outcome out = fetch(item, run);
        EXPECT_EQ(out.state, JobDone) << out.status.toStdString();
        EXPECT_EQ(run.ProgressText, QLatin1String(c.progress));
    }
}
