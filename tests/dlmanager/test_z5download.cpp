// The download manager program run as the browser starts it, against an
// nginx of the test's own on loopback.

#include "core/downloadlists.h"
#include "dlmanager/statuspages.h"
#include "platform/base/namedlock.h"

#include "httpproxy.h"
#include "programfixture.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <random>

namespace reg = platform::registry;

using namespace dltest;

TEST(DownloadProgramFolder, TheProgramLinksNoWebEngineItsPageModuleDoes)
{
    // The program itself never brings the web engine in; the browser
    // control's module, loaded with the first page item, does.
    const auto libsOf = [](const QString& file) {
        QProcess ldd;
        ldd.start(QStringLiteral("ldd"), {file});
        EXPECT_TRUE(ldd.waitForFinished(30000));
        return QString::fromLocal8Bit(ldd.readAllStandardOutput());
    };
    const QString libs = libsOf(kExe);
    ASSERT_TRUE(libs.contains(QStringLiteral("libz5platformnet"))) << libs.toStdString();
    EXPECT_FALSE(libs.contains(QStringLiteral("not found"))) << libs.toStdString();
    for (const char* absent : {"WebEngine", "z5platformweb", "Multimedia"})
        EXPECT_FALSE(libs.contains(QLatin1String(absent))) << "loads " << absent;
    const QString module = libsOf(kStage + QStringLiteral("/libz5dlpages.so"));
    EXPECT_TRUE(module.contains(QStringLiteral("WebEngineCore"))) << module.toStdString();
    EXPECT_FALSE(module.contains(QStringLiteral("not found"))) << module.toStdString();
}

TEST_F(Z5DownLoadProgram, AFreshListFetchesEveryFileWithItsQuery)
{
    struct Fixture {
        QString path;  // on the server
        QString query;
        QString folder; // below the target
        qint64 size;
    };
    const Fixture files[] = {
        {QStringLiteral("/top.bin"), QString(), QString(), 300 * 1024 + 7},
        {QStringLiteral("/pub/tools/setup.exe"), QString(), QStringLiteral("/tools"), 2 * 1024 * 1024},
        {QStringLiteral("/deep/er/q.dat"), QStringLiteral("?x=1&y=%20two"), QStringLiteral("/q"), 12345},
        {QStringLiteral("/empty.txt"), QString(), QString(), 0},
    };
    QStringList items;
    std::vector<QByteArray> sums;
    uint64_t seed = 1;
    for (const Fixture& f : files) {
        const QByteArray bytes = randomBytes(f.size, seed++);
        QDir().mkpath(QFileInfo(root + f.path).path());
        ASSERT_TRUE(testenv::writeFile(root + f.path, bytes));
        QDir().mkpath(target + f.folder);
        sums.push_back(sha256Of(bytes));
    }
    ASSERT_TRUE(nginx.start(root));
    for (const Fixture& f : files)
        items << item(QFileInfo(f.path).fileName(), nginx.base() + f.path + f.query, target + f.folder);
    writeList(QStringLiteral("1208 0347PM - Music"), items);

    ASSERT_TRUE(runList(QStringLiteral("1208 0347PM - Music")));

    for (size_t i = 0; i < std::size(files); ++i)
        EXPECT_EQ(sha256(target + files[i].folder + QLatin1Char('/') + QFileInfo(files[i].path).fileName()), sums[i])
            << files[i].path.toStdString();
    EXPECT_TRUE(QDir(target).entryList({QStringLiteral("*~~~")}, QDir::Files).isEmpty());
    const QStringList requests = nginx.accessLog();
    EXPECT_TRUE(requests.filter(QStringLiteral("GET /deep/er/q.dat?x=1&y=%20two HTTP/1.1|200")).size() == 1)
        << requests.join(QLatin1Char('\n')).toStdString();
    const QStringList rows = logRows(QStringLiteral("1208 0347PM - Music"));
    ASSERT_EQ(rows.size(), 4);
    for (const QString& row : rows)
        EXPECT_TRUE(row.contains(QStringLiteral("Z5_Mark.bmp"))) << row.toStdString();
    EXPECT_TRUE(page(QStringLiteral("1208 0347PM - MusicF1.HTM")).contains(QStringLiteral("4 of 4")));
    EXPECT_TRUE(page(QStringLiteral("1208 0347PM - MusicF1.HTM")).contains(QStringLiteral("Download Completed")));
    EXPECT_TRUE(page(QStringLiteral("1208 0347PM - MusicF3.HTM")).contains(QStringLiteral("Download completed at: ")));
    EXPECT_TRUE(page(QStringLiteral("1208 0347PM - MusicF2.HTM")).contains(rows.last()));
}

TEST_F(Z5DownLoadProgram, TheOldRequestHeadersAreRefusedByTheServer)
{
    // Header names with blanks inside, as an older request wrote them: a
    // real server refuses every such request, so they must stay mended.
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/a.bin"), "abc"));
    ASSERT_TRUE(nginx.start(root));
    QTcpSocket s;
    s.connectToHost(QStringLiteral("127.0.0.1"), nginx.port());
    ASSERT_TRUE(s.waitForConnected(5000));
    s.write("GET /a.bin HTTP/1.1\r\nReferer: \r\nAccept -Language: en -ca\r\nAccept -Encoding: gzip, deflate\r\n"
            "Host: 127.0.0.1\r\nConnection: Keep -Alive\r\n\r\n");
    QByteArray answer;
    ASSERT_TRUE(testenv::waitFor([&] {
        answer += s.readAll();
        return answer.contains("\r\n\r\n");
    }));
    EXPECT_TRUE(answer.startsWith("HTTP/1.1 400")) << answer.left(100).toStdString();
}

TEST_F(Z5DownLoadProgram, KilledAndResumedUnderARateLimit)
{
    struct Case {
        const char* name;
        qint64 size;
        qint64 killAt;
        bool changeOnServer;
    };
    const Case cases[] = {
        {"same file", 112 * 1024 * 1024, 100 * 1024 * 1024, false},
        {"file changed between runs", 24 * 1024 * 1024, 8 * 1024 * 1024, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(target).removeRecursively();
        QDir().mkpath(target);
        const QByteArray bytes = randomBytes(c.size, 7);
        ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/big.bin"), bytes));
        // Fast enough for a short test, slow enough to be caught midway.
        ASSERT_TRUE(nginx.start(root, QStringLiteral("limit_rate %1;").arg(c.size / 3)));
        writeList(QStringLiteral("big"), {item(QStringLiteral("big"), nginx.base() + QStringLiteral("/big.bin"), target)});
        const QString partial = target + QStringLiteral("/big.bin~~~");
        QProcess* p = start(QStringLiteral("big||||||||||0"));
        ASSERT_TRUE(testenv::waitFor([&] { return QFileInfo(partial).size() >= c.killAt; }, 30000));
        ::kill(static_cast<pid_t>(p->processId()), SIGKILL);
        ASSERT_TRUE(p->waitForFinished(5000));
        const qint64 held = QFileInfo(partial).size();
        ASSERT_GE(held, c.killAt);
        ASSERT_LT(held, c.size);
        EXPECT_TRUE(logRows(QStringLiteral("big")).isEmpty());

        QByteArray expected = bytes;
        if (c.changeOnServer) {
            QThread::msleep(1100); // a later modification time
            expected = randomBytes(c.size + 100, 8);
            ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/big.bin"), expected));
        }
        ASSERT_TRUE(runList(QStringLiteral("big"), QStringLiteral("1")));
        EXPECT_EQ(sha256(target + QStringLiteral("/big.bin")), sha256Of(expected));
        EXPECT_FALSE(QFile::exists(partial));
        EXPECT_EQ(logRows(QStringLiteral("big")).size(), 1);
        const QString last = nginx.accessLog().last();
        EXPECT_TRUE(last.contains(QStringLiteral("|bytes=%1-|").arg(held))) << last.toStdString();
        EXPECT_TRUE(last.contains(c.changeOnServer ? QStringLiteral("|200|") : QStringLiteral("|206|"))) << last.toStdString();
        EXPECT_NE(last.section(QLatin1Char('|'), 3, 3), QStringLiteral("-")) << "no If-Range: " << last.toStdString();
        nginx.stop();
    }
}

TEST_F(Z5DownLoadProgram, WhatThePartialFileMeetsOnTheServer)
{
    const QByteArray file = randomBytes(64 * 1024 + 3, 3);
    const QByteArray unrelated = randomBytes(5000, 4);
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/f.bin"), file));
    struct Case {
        const char* name;
        QString serverLines;
        QString path;
        QByteArray partial;     // the "~~~" file before the run; null for none
        QByteArray finalBefore; // a file at the final name before the run; null for none
        QString options;
        const char* rowHas;
        QString finalName;     // where the file is after the run
        QByteArray finalAfter;
        const char* status;    // answer of the last request
    };
    const Case cases[] = {
        {"ranges off: the whole answer replaces the partial", QStringLiteral("max_ranges 0;"), QStringLiteral("/f.bin"),
         QByteArray(1000, 'X'), QByteArray(), QStringLiteral("101000"), "Z5_Mark.bmp", QStringLiteral("f.bin"), file, "|200|"},
        {"a partial of the same file: continued by a range", QString(),
         QStringLiteral("/f.bin"), file.left(1000), QByteArray(), QStringLiteral("101000"), "Z5_Mark.bmp",
         QStringLiteral("f.bin"), file, "|206|"},
        {"complete partial: done without a byte", QString(), QStringLiteral("/f.bin"), file, QByteArray(),
         QStringLiteral("101000"), "Z5_Mark.bmp", QStringLiteral("f.bin"), file, "|416|"},
        {"missing file: failed, the same-named file kept", QString(), QStringLiteral("/gone.bin"), QByteArray(), unrelated,
         QStringLiteral("101000"), "FAILED: gone.bin - 404 - Bad server responds", QStringLiteral("gone.bin"), unrelated, "|404|"},
        {"final name taken, no overwriting: a free name", QString(), QStringLiteral("/f.bin"), QByteArray(), unrelated,
         QStringLiteral("101000"), "Z5_Mark.bmp", QStringLiteral("f (2).bin"), file, "|200|"},
        {"final name taken, overwriting allowed", QString(), QStringLiteral("/f.bin"), QByteArray(), unrelated,
         QStringLiteral("101001"), "Z5_Mark.bmp", QStringLiteral("f.bin"), file, "|200|"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(target).removeRecursively();
        QDir().mkpath(target);
        const QString name = QFileInfo(c.path).fileName();
        const QString partial = target + QLatin1Char('/') + name + QStringLiteral("~~~");
        ASSERT_TRUE(nginx.start(root, c.serverLines));
        if (!c.partial.isNull()) {
            ASSERT_TRUE(plantOwnPartial(QStringLiteral("m"), 9, nginx.base() + c.path, target + QLatin1Char('/') + name, c.partial));
            QFile f(partial);
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            ASSERT_TRUE(f.setFileTime(QDateTime::fromSecsSinceEpoch(1000000000), QFileDevice::FileModificationTime));
        }
        if (!c.finalBefore.isNull()) {
            ASSERT_TRUE(testenv::writeFile(target + QLatin1Char('/') + name, c.finalBefore));
        }
        writeList(QStringLiteral("m"), {item(name, nginx.base() + c.path, target)}, c.options);
        ASSERT_TRUE(runList(QStringLiteral("m")));
        const QStringList rows = logRows(QStringLiteral("m"));
        ASSERT_EQ(rows.size(), 1);
        EXPECT_TRUE(rows[0].contains(QLatin1String(c.rowHas))) << rows[0].toStdString();
        const QString finalPath = target + QLatin1Char('/') + c.finalName;
        EXPECT_EQ(sha256(finalPath), sha256Of(c.finalAfter));
        EXPECT_FALSE(QFile::exists(partial));
        if (QByteArray(c.status) == "|416|") {
            EXPECT_EQ(QFileInfo(finalPath).lastModified().toSecsSinceEpoch(), 1000000000);
        }
        if (c.finalName != name && !c.finalBefore.isNull()) {
            EXPECT_EQ(sha256(target + QLatin1Char('/') + name), sha256Of(c.finalBefore));
        }
        const QStringList log = nginx.accessLog();
        ASSERT_FALSE(log.isEmpty());
        EXPECT_TRUE(log.last().contains(QLatin1String(c.status))) << log.last().toStdString();
        nginx.stop();
    }
}

TEST_F(Z5DownLoadProgram, AStopRequestEndsTheRunMidTransfer)
{
    // 4 MiB at 200 KiB/s: the transfer would take 20 s; the stop cuts it off.
    const qint64 size = 4 * 1024 * 1024;
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/slow.bin"), randomBytes(size, 9)));
    ASSERT_TRUE(nginx.start(root, QStringLiteral("limit_rate 200k;")));
    writeList(QStringLiteral("s"), {item(QStringLiteral("slow"), nginx.base() + QStringLiteral("/slow.bin"), target),
                                    item(QStringLiteral("next"), nginx.base() + QStringLiteral("/slow.bin"), target)});
    QProcess* p = start(QStringLiteral("s||||||||||0"));
    ASSERT_TRUE(testenv::waitFor([&] { return QFileInfo(target + QStringLiteral("/slow.bin~~~")).size() > 0; }, 10000));
    ASSERT_TRUE(testenv::writeFile(data(QStringLiteral("s.Z5C1")), ""));
    ASSERT_TRUE(p->waitForFinished(15000));
    // Ended by the stop, not by the end of the transfer: the file is not
    // whole and the second item was never asked for.
    EXPECT_LT(QFileInfo(target + QStringLiteral("/slow.bin~~~")).size(), size);
    EXPECT_FALSE(QFile::exists(target + QStringLiteral("/slow.bin")));
    EXPECT_EQ(nginx.accessLog().size(), 1) << nginx.accessLog().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(QFile::exists(data(QStringLiteral("s.Z5C2"))));
    EXPECT_FALSE(QFile::exists(data(QStringLiteral("s.Z5C1"))));
    EXPECT_TRUE(logRows(QStringLiteral("s")).isEmpty());
    EXPECT_TRUE(QFileInfo(target + QStringLiteral("/slow.bin~~~")).size() > 0);
    const QString bar = page(QStringLiteral("sF3.HTM"));
    for (const char* shown : {"Stopped by user at: ", "name='Z5RESUME'", "name='Z5MODIFY'", "name='Z5STOP'", "name='Z5CLOSE'"})
        EXPECT_TRUE(bar.contains(QLatin1String(shown))) << shown;
    EXPECT_FALSE(bar.contains(QStringLiteral("Z5PAUSE")));
    EXPECT_TRUE(page(QStringLiteral("sF1.HTM")).contains(QStringLiteral("STOPPED")));

    // The partial is the list's own: clearing the list finds it by its tag,
    // and takes nothing else of the folder.
    char tag[256];
    const ssize_t n = ::getxattr(QFile::encodeName(target + QStringLiteral("/slow.bin~~~")).constData(), kPartialListAttribute,
                                 tag, sizeof tag);
    EXPECT_EQ(QByteArray(tag, static_cast<qsizetype>(std::max<ssize_t>(n, 0))), DownloadListPartialTag(prog, QStringLiteral("s")));
    ASSERT_TRUE(testenv::writeFile(target + QStringLiteral("/other.bin~~~"), "another list's"));
    ASSERT_TRUE(testenv::writeFile(target + QStringLiteral("/slow.bin"), "the user's"));
    EXPECT_EQ(RemoveDownloadListPartials(prog, QStringLiteral("s")), 1);
    QStringList left = QDir(target).entryList(QDir::Files | QDir::Hidden);
    left.sort();
    EXPECT_EQ(left, (QStringList{"other.bin~~~", "slow.bin"}));
}

TEST_F(Z5DownLoadProgram, RunsThatMustNotStart)
{
    writeList(QStringLiteral("busy"), {});
    platform::NamedLock held(DownloadListLockName(prog, QStringLiteral("busy")));
    ASSERT_TRUE(held.tryLock());
    struct Case {
        const char* argument;
        const char* mustNotExist;
    };
    const Case cases[] = {
        {"busy||||||||||0", "busy.HTM"},            // the list is run by another process
        {"../escape||||||||||0", "../escape.HTM"}, // names outside Data
        {"a\\b||||||||||0", "a\\bF1.HTM"},
        {"missing||||||||||0", "missing.HTM"},      // no list file
        {"missing||||||||||1", "missing.HTM"},
        {"neither form", "neither form.HTM"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argument);
        // It ends by itself, without waiting for anything.
        QProcess* p = start(QString::fromUtf8(c.argument));
        ASSERT_TRUE(p->waitForFinished(30000));
        EXPECT_FALSE(QFile::exists(data(QString::fromUtf8(c.mustNotExist))));
    }
}

TEST_F(Z5DownLoadProgram, QtsOwnOptionsOnTheCommandLineOpenNoPort)
{
    // The starter may split the list's argument anywhere: what follows the
    // list's name is its flag, never an option of Qt or of the web engine.
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/slow.bin"), randomBytes(1024 * 1024, 11)));
    ASSERT_TRUE(nginx.start(root, QStringLiteral("limit_rate 20k;")));
    writeList(QStringLiteral("o"), {item(QStringLiteral("slow"), nginx.base() + QStringLiteral("/slow.bin"), target)});
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const quint16 vnc = probe.serverPort();
    probe.close();
    QProcess* p = start(QStringList{QStringLiteral("o||||||||||0"), QStringLiteral("-platform"), QStringLiteral("vnc:port=%1").arg(vnc)});
    // The run is under way: the application object has long been made.
    ASSERT_TRUE(testenv::waitFor([&] { return QFileInfo(target + QStringLiteral("/slow.bin~~~")).size() > 0; }, 30000));
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, vnc);
    EXPECT_FALSE(socket.waitForConnected(3000)) << "port " << vnc << " is open";
    ::kill(static_cast<pid_t>(p->processId()), SIGKILL);
    p->waitForFinished(5000);
}

TEST_F(Z5DownLoadProgram, ABlankLineEndsTheRunWithItsPagesWritten)
{
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/a.bin"), "abc"));
    ASSERT_TRUE(nginx.start(root));
    writeList(QStringLiteral("b"), {item(QStringLiteral("a"), nginx.base() + QStringLiteral("/a.bin"), target),
                                    QStringLiteral("   "),
                                    item(QStringLiteral("a"), nginx.base() + QStringLiteral("/a.bin"), target)});
    ASSERT_TRUE(runList(QStringLiteral("b")));
    EXPECT_EQ(logRows(QStringLiteral("b")).size(), 1);
    EXPECT_TRUE(page(QStringLiteral("bF1.HTM")).contains(QStringLiteral("line 10 of the list is blank")));
    EXPECT_TRUE(page(QStringLiteral("bF1.HTM")).contains(QStringLiteral("1 of 3")));
}

TEST_F(Z5DownLoadProgram, TheSingleFileFormFetchesOneFile)
{
    const QByteArray bytes = randomBytes(70000, 5);
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/song.mp3"), bytes));
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/a.txt"), "planted"));
    ASSERT_TRUE(testenv::writeFile(target + QStringLiteral("/.profile"), "the user's own"));
    ASSERT_TRUE(nginx.start(root));
    QProcess* p = start(nginx.base() + QStringLiteral("/song.mp3|||||") + target + QStringLiteral("/song.mp3"));
    ASSERT_TRUE(p->waitForFinished(30000));
    EXPECT_EQ(sha256(target + QStringLiteral("/song.mp3")), sha256Of(bytes));

    // An address holding the separator cannot choose another target.
    p = start(nginx.base() + QStringLiteral("/a.txt?q=|||||") + target + QStringLiteral("/.profile|||||") + target +
              QStringLiteral("/T"));
    ASSERT_TRUE(p->waitForFinished(30000));
    EXPECT_EQ(testenv::readFile(target + QStringLiteral("/.profile")), QByteArray("the user's own"));
    EXPECT_FALSE(QFile::exists(target + QStringLiteral("/T")));
    EXPECT_EQ(nginx.accessLog().size(), 1);

    // An address whose path names no file, as the media player hands it.
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/play"), bytes.left(3000)));
    p = start(nginx.base() + QStringLiteral("/play?id=5|||||") + target + QStringLiteral("/clip.mp3"));
    ASSERT_TRUE(p->waitForFinished(30000));
    EXPECT_EQ(testenv::readFile(target + QStringLiteral("/clip.mp3")), bytes.left(3000));
}

namespace {

void setProxy(quint16 port, const QString& exceptions)
{
    const QString key = QStringLiteral("Software\\Keldo\\Z5 Browser\\Proxy");
    reg::writeValue(reg::Hive::CurrentUser, key, QStringLiteral("Check1"), reg::Value::string(QStringLiteral("1")));
    reg::writeValue(reg::Hive::CurrentUser, key, QStringLiteral("Address1"), reg::Value::string(QStringLiteral("127.0.0.1")));
    reg::writeValue(reg::Hive::CurrentUser, key, QStringLiteral("Port1"), reg::Value::string(QString::number(port)));
    reg::writeValue(reg::Hive::CurrentUser, key, QStringLiteral("Exception"), reg::Value::string(exceptions));
}

} // namespace

// A site elsewhere cannot send the download manager to this machine; a
// list of this machine's own addresses is followed from port to port. The
// proxy carries every request but its exceptions.
TEST_F(Z5DownLoadProgram, RedirectsToThisMachineOnlyFromThisMachine)
{
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/secret.bin"), "a local service's answer"));
    ASSERT_TRUE(nginx.start(root));
    testenv::NginxServer site;
    ASSERT_TRUE(site.start(testenv::freshDir(QStringLiteral("site")),
                           QStringLiteral("location = /r.bin { return 302 %1/secret.bin; }").arg(nginx.base())));
    testenv::HttpProxy proxy;
    proxy.route(QStringLiteral("origin.z5.test"), site.port());
    setProxy(proxy.port(), QStringLiteral("127.0.0.1"));
    const QString elsewhere = QStringLiteral("http://origin.z5.test:%1/r.bin").arg(site.port());
    writeList(QStringLiteral("r"), {item(QStringLiteral("r.bin"), elsewhere, target),
                                    item(QStringLiteral("r.bin"), site.base() + QStringLiteral("/r.bin"), target)});
    QProcess* p = start(QStringLiteral("r||||||||||0"));
    ASSERT_TRUE(testenv::waitFor([&] { return p->state() == QProcess::NotRunning; }, 60000));
    const QStringList rows = logRows(QStringLiteral("r"));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_TRUE(rows[0].contains(QStringLiteral("FAILED: r.bin - Error: redirected from origin.z5.test to this machine")))
        << rows[0].toStdString();
    EXPECT_TRUE(rows[1].contains(QStringLiteral("Z5_Mark.bmp"))) << rows[1].toStdString();
    EXPECT_EQ(testenv::readFile(target + QStringLiteral("/r.bin")), QByteArray("a local service's answer"));
    // The local service was asked once, by the local list's item; the
    // exception went around the proxy.
    EXPECT_EQ(nginx.accessLog().size(), 1) << nginx.accessLog().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(proxy.log(), QStringList{"GET " + elsewhere});
    EXPECT_EQ(site.accessLog().size(), 2);
}

// Working offline, nothing goes out: the item fails and tells why.
TEST_F(Z5DownLoadProgram, NothingGoesOutWhileOffline)
{
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/a.bin"), "x"));
    ASSERT_TRUE(nginx.start(root));
    reg::writeValue(reg::Hive::CurrentUser, QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings"),
                    QStringLiteral("GlobalUserOffline"), reg::Value::dword(1));
    writeList(QStringLiteral("o"), {item(QStringLiteral("a.bin"), nginx.base() + QStringLiteral("/a.bin"), target),
                                    item(QStringLiteral("page"), nginx.base() + QStringLiteral("/"), target)});
    ASSERT_TRUE(runList(QStringLiteral("o")));
    const QStringList rows = logRows(QStringLiteral("o"));
    ASSERT_EQ(rows.size(), 2);
    for (const QString& row : rows)
        EXPECT_TRUE(row.contains(QStringLiteral("working offline"))) << row.toStdString();
    EXPECT_TRUE(nginx.accessLog().isEmpty());
    QStringList left = QDir(target).entryList(QDir::Files | QDir::Hidden);
    EXPECT_TRUE(left.isEmpty()) << left.join(' ').toStdString();
}

TEST_F(Z5DownLoadProgram, AnUntrustedCertificateFailsTheItem)
{
    const QString tls = testenv::freshDir(QStringLiteral("tls"));
    ASSERT_TRUE(testenv::makeCertificate(tls));
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/a.bin"), "secret"));
    ASSERT_TRUE(nginx.start(root, QStringLiteral("ssl_certificate %1/cert.pem; ssl_certificate_key %1/key.pem;").arg(tls),
                            QStringLiteral("ssl")));
    writeList(QStringLiteral("t"), {item(QStringLiteral("a"), QStringLiteral("https://127.0.0.1:%1/a.bin").arg(nginx.port()), target)});
    ASSERT_TRUE(runList(QStringLiteral("t")));
    const QStringList rows = logRows(QStringLiteral("t"));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_TRUE(rows[0].contains(QStringLiteral("FAILED: a - Error: "))) << rows[0].toStdString();
    EXPECT_TRUE(QDir(target).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(nginx.accessLog().isEmpty()); // no request went out
}
