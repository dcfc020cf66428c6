// Page items of the download manager program: pages loaded in its hidden
// browser, their images saved, pages that go on to a file, and the engine
// started only for pages. Against an nginx of the test's own on loopback.

#include "pictures.h"
#include "programfixture.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QThread>

#include <csignal>

using namespace dltest;

namespace {

// The processes whose parent is pid, by their command names.
QStringList childrenOf(qint64 pid)
{
    QStringList names;
    QDirIterator it(QStringLiteral("/proc"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QString dir = it.next();
        const QByteArray stat = testenv::readFile(dir + QStringLiteral("/stat"));
        const qsizetype close = stat.lastIndexOf(')');
        if (close < 0)
            continue;
        const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
        if (fields.size() > 1 && fields[1].toLongLong() == pid)
            names << QString::fromLatin1(stat.mid(stat.indexOf('(') + 1, close - stat.indexOf('(') - 1));
    }
    return names;
}

class PageItems : public Z5DownLoadProgram {
protected:
    QStringList filesIn(const QString& folder) const
    {
        QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
        names.sort();
        return names;
    }
    QString page(const QString& path, const QString& html)
    {
        EXPECT_TRUE(testenv::writeFile(root + path, html.toUtf8()));
        return nginx.base() + path;
    }
};

} // namespace

TEST_F(PageItems, ImagesOfAPageAreSaved)
{
    QDir().mkpath(root + QStringLiteral("/img"));
    QDir().mkpath(root + QStringLiteral("/gallery"));
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/img/a.gif"), picture("GIF", 0xff0000)));
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/img/b.jpg"), picture("JPG", 0x00ff00)));
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/img/c.png"), picture("PNG", 0x0000ff)));
    ASSERT_TRUE(nginx.start(root));
    struct Case {
        const char* name;
        QString body;
        QStringList files; // in the folder afterwards
        const char* row;
    };
    const Case cases[] = {
        {"three images", "<img src='../img/a.gif'><p><img src='/img/b.jpg'></p><img src='" + nginx.base() + "/img/c.png'>",
         {"a.gif", "b.jpg", "c.png"}, "Z5_Mark.bmp"},
        {"the second image missing: the first kept, the rest not tried",
         "<img src='/img/a.gif'><img src='/img/gone.gif'><img src='/img/c.png'>", {"a.gif"}, "Z5_Mark.bmp"},
        {"no image", "<p>text only</p>", {}, "FAILED: pics - Error: </font>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(target).removeRecursively();
        QDir().mkpath(target);
        ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/gallery/index.html"), "<html><body>" + c.body.toUtf8() + "</body></html>"));
        writeList(QStringLiteral("pics"), {item(QStringLiteral("pics"), nginx.base() + QStringLiteral("/gallery/"), target)});
        ASSERT_TRUE(runList(QStringLiteral("pics")));
        EXPECT_EQ(filesIn(target), c.files);
        for (const QString& f : c.files)
            EXPECT_EQ(sha256(target + QLatin1Char('/') + f), sha256(root + QStringLiteral("/img/") + f)) << f.toStdString();
        const QStringList rows = logRows(QStringLiteral("pics"));
        ASSERT_EQ(rows.size(), 1);
        EXPECT_TRUE(rows[0].contains(QLatin1String(c.row))) << rows[0].toStdString();
    }
}

TEST_F(PageItems, APageThatGoesOnToAFileBecomesAFileItem)
{
    const QByteArray setup = randomBytes(20000, 11);
    QDir().mkpath(root + QStringLiteral("/pub"));
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/pub/setup.exe"), setup));
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/img.gif"), picture("GIF", 0x123456)));
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/popup.html"), "<html>popup</html>"));
    ASSERT_TRUE(nginx.start(root));
    struct Case {
        const char* name;
        QString html;
        QStringList files;
        const char* row;
    };
    const Case cases[] = {
        {"script", "<script>location.href='/pub/setup.exe';</script><img src='/img.gif'>", {"setup.exe"},
         "setup.exe  >>>  "},
        {"meta refresh", "<meta http-equiv='refresh' content='0;url=/pub/setup.exe'><img src='/img.gif'>", {"setup.exe"},
         "setup.exe  >>>  "},
        {"a refresh to a missing file: its failure is logged, not retried",
         "<meta http-equiv='refresh' content='0;url=/pub/gone.zip'>", {}, "FAILED: gone.zip - 404"},
        {"window.open is refused", "<script>window.open('/popup.html');</script><img src='/img.gif'>", {"img.gif"},
         "Z5_Mark.bmp"},
        {"the page's dialogs stay silent", "<script>alert('a');confirm('b');prompt('c');</script><img src='/img.gif'>",
         {"img.gif"}, "Z5_Mark.bmp"},
        {"a failing frame and the page: one row",
         "<iframe src='http://127.0.0.1:1/nothing-here'></iframe><iframe src='/gone.html'></iframe><img src='/img.gif'>",
         {"img.gif"}, "Z5_Mark.bmp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(target).removeRecursively();
        QDir().mkpath(target);
        const QString address = page(QStringLiteral("/go.html"), "<html><body>" + c.html + "</body></html>");
        writeList(QStringLiteral("go"), {item(QStringLiteral("go"), address, target)});
        ASSERT_TRUE(runList(QStringLiteral("go")));
        EXPECT_EQ(filesIn(target), c.files);
        if (c.files.contains(QStringLiteral("setup.exe"))) {
            EXPECT_EQ(sha256(target + QStringLiteral("/setup.exe")), sha256Of(setup));
        }
        const QStringList rows = logRows(QStringLiteral("go"));
        ASSERT_EQ(rows.size(), 1) << rows.join('\n').toStdString();
        EXPECT_TRUE(rows[0].contains(QLatin1String(c.row))) << rows[0].toStdString();
        EXPECT_TRUE(nginx.accessLog().filter(QStringLiteral("popup.html")).isEmpty());
    }
}

TEST_F(PageItems, FileAddressesThatMoveOrAnswerNothing)
{
    const QByteArray app = randomBytes(30000, 12);
    QDir().mkpath(root + QStringLiteral("/files"));
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/files/app.zip"), app));
    ASSERT_TRUE(nginx.start(root, QStringLiteral("location = /latest.zip { return 302 /files/app.zip; }\n"
                                                 "location = /nothing.bin { return 204; }\n"
                                                 "location = /ftp.bin { return 302 ftp://127.0.0.1/f.bin; }")));
    writeList(QStringLiteral("m"), {item(QStringLiteral("latest"), nginx.base() + QStringLiteral("/latest.zip"), target),
                                    item(QStringLiteral("nothing"), nginx.base() + QStringLiteral("/nothing.bin"), target),
                                    item(QStringLiteral("ftp"), nginx.base() + QStringLiteral("/ftp.bin"), target)});
    // The page retries of the two that fail end at once: the whole list takes
    // less than one page's time limit (120 s).
    ASSERT_TRUE(runList(QStringLiteral("m"), QStringLiteral("0"), 60000));
    EXPECT_EQ(filesIn(target), QStringList{"latest.zip"});
    EXPECT_EQ(sha256(target + QStringLiteral("/latest.zip")), sha256Of(app));
    const QStringList rows = logRows(QStringLiteral("m"));
    ASSERT_EQ(rows.size(), 3);
    EXPECT_TRUE(rows[0].contains(QStringLiteral("latest  >>>  "))) << rows[0].toStdString();
    EXPECT_TRUE(rows[1].contains(QStringLiteral("FAILED: nothing - 204 - No Content"))) << rows[1].toStdString();
    EXPECT_TRUE(rows[2].contains(QStringLiteral("FAILED: ftp - Error: redirected to an address that is not http or https")))
        << rows[2].toStdString();
}

TEST_F(PageItems, WhatTheEngineWouldSaveOrTrustIsRefused)
{
    const QString tls = testenv::freshDir(QStringLiteral("tls"));
    ASSERT_TRUE(testenv::makeCertificate(tls));
    QDir().mkpath(root + QStringLiteral("/attach"));
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/attach/index.html"), "<html><body><img src='/i.gif'></body></html>"));
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/i.gif"), picture("GIF", 0x778899)));
    struct Case {
        const char* name;
        QString serverLines;
        QString listen;
        QString scheme;
    };
    const Case cases[] = {
        {"a page the server sends as an attachment",
         QStringLiteral("location /attach/ { add_header Content-Disposition attachment; }"), QString(), QStringLiteral("http")},
        {"a page behind an untrusted certificate",
         QStringLiteral("ssl_certificate %1/cert.pem; ssl_certificate_key %1/key.pem;").arg(tls), QStringLiteral("ssl"),
         QStringLiteral("https")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(target).removeRecursively();
        QDir().mkpath(target);
        ASSERT_TRUE(nginx.start(root, c.serverLines, c.listen));
        const QString address = QStringLiteral("%1://127.0.0.1:%2/attach/").arg(c.scheme).arg(nginx.port());
        writeList(QStringLiteral("r"), {item(QStringLiteral("r"), address, target)});
        ASSERT_TRUE(runList(QStringLiteral("r")));
        const QStringList rows = logRows(QStringLiteral("r"));
        ASSERT_EQ(rows.size(), 1);
        EXPECT_TRUE(rows[0].contains(QStringLiteral("FAILED: r - Failed to connect - "))) << rows[0].toStdString();
        EXPECT_TRUE(filesIn(target).isEmpty());
        EXPECT_TRUE(nginx.accessLog().filter(QStringLiteral("i.gif")).isEmpty());
        // Nothing was saved where the engine keeps its downloads either.
        QDirIterator saved(QDir::homePath(), {QStringLiteral("index*")}, QDir::Files, QDirIterator::Subdirectories);
        EXPECT_FALSE(saved.hasNext()) << saved.next().toStdString();
        nginx.stop();
    }
}

TEST_F(PageItems, AStopOrAKillDuringSlowImagesLeavesNothingBehind)
{
    QDir().mkpath(root + QStringLiteral("/slow"));
    QString html = QStringLiteral("<html><body>");
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/slow/%1.gif").arg(i), randomBytes(4000, 100 + i)));
        html += QStringLiteral("<img src='/slow/%1.gif'>").arg(i);
    }
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/slow.html"), html.toUtf8()));
    // The page itself at once, its images a trickle: 10 s each.
    ASSERT_TRUE(nginx.start(root, QStringLiteral("location /slow/ { limit_rate 400; }")));
    writeList(QStringLiteral("s"), {item(QStringLiteral("s"), nginx.base() + QStringLiteral("/slow.html"), target)});
    // The saving has begun once the program holds a file open in the folder.
    const auto saving = [&] {
        QDirIterator fds(QStringLiteral("/proc/%1/fd").arg(process->processId()), QDir::System | QDir::Files);
        while (fds.hasNext())
            if (QFile::symLinkTarget(fds.next()).startsWith(target + QLatin1Char('/')))
                return true;
        return false;
    };

    // A stop is seen while the first image still trickles in.
    QProcess* p = start(QStringLiteral("s||||||||||0"));
    ASSERT_TRUE(testenv::waitFor(saving, 60000));
    ASSERT_TRUE(testenv::writeFile(data(QStringLiteral("s.Z5C1")), ""));
    ASSERT_TRUE(testenv::waitFor([&] { return QFile::exists(data(QStringLiteral("s.Z5C2"))); }, 8000));
    ASSERT_TRUE(p->waitForFinished(10000));
    EXPECT_TRUE(logRows(QStringLiteral("s")).isEmpty());
    EXPECT_TRUE(filesIn(target).isEmpty()) << filesIn(target).join(' ').toStdString();

    // A kill while an image is on its way leaves nothing in the user's folder.
    QFile::remove(data(QStringLiteral("s.Z5C2")));
    p = start(QStringLiteral("s||||||||||1"));
    ASSERT_TRUE(testenv::waitFor(saving, 60000));
    QTest::qWait(300);
    ::kill(static_cast<pid_t>(p->processId()), SIGKILL);
    ASSERT_TRUE(p->waitForFinished(10000));
    EXPECT_TRUE(filesIn(target).isEmpty()) << filesIn(target).join(' ').toStdString();
}

TEST_F(PageItems, AHostilePageGetsNothingItShouldNot)
{
    QDir().mkpath(root + QStringLiteral("/one"));
    QDir().mkpath(root + QStringLiteral("/two"));
    QDir().mkpath(root + QStringLiteral("/many"));
    const QByteArray first = picture("GIF", 0x111111), second = picture("GIF", 0x222222);
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/one/same.gif"), first));
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/two/same.gif"), second));
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/one/kept.gif"), picture("GIF", 0x333333)));
    QString many;
    for (int i = 0; i < 1005; ++i) {
        ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/many/%1.gif").arg(i), gifPicture(static_cast<QRgb>(i))));
        many += QStringLiteral("<img src='/many/%1.gif'>").arg(i);
    }
    ASSERT_TRUE(nginx.start(root));
    const QByteArray unrelated = randomBytes(3000, 21);

    QDir().mkpath(target);
    ASSERT_TRUE(testenv::writeFile(target + QStringLiteral("/kept.gif"), unrelated));
    const QString hostile = page(QStringLiteral("/hostile.html"),
                                 "<html><body><img src='file:///etc/passwd'><img src='/one/same.gif'>"
                                 "<img src='/two/same.gif'><img src='/one/kept.gif'><img src=/.bash_profile></body></html>");
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/.bash_profile"), "PATH=/tmp/evil:$PATH\n"));
    writeList(QStringLiteral("h"), {item(QStringLiteral("h"), hostile, target)});
    ASSERT_TRUE(runList(QStringLiteral("h")));
    EXPECT_EQ(filesIn(target), (QStringList{"kept (2).gif", "kept.gif", "same (2).gif", "same.gif"}));
    EXPECT_EQ(sha256(target + QStringLiteral("/kept.gif")), sha256Of(unrelated));
    EXPECT_EQ(sha256(target + QStringLiteral("/same.gif")), sha256Of(first));
    EXPECT_EQ(sha256(target + QStringLiteral("/same (2).gif")), sha256Of(second));
    EXPECT_FALSE(QFile::exists(target + QStringLiteral("/passwd")));
    ASSERT_EQ(logRows(QStringLiteral("h")).size(), 1);
    EXPECT_TRUE(logRows(QStringLiteral("h"))[0].contains(QStringLiteral("Z5_Mark.bmp")));

    const QString capped = testenv::freshDir(QStringLiteral("capped"));
    writeList(QStringLiteral("c"), {item(QStringLiteral("c"), page(QStringLiteral("/many.html"), "<html><body>" + many + "</body></html>"), capped)});
    ASSERT_TRUE(runList(QStringLiteral("c"), QStringLiteral("0"), 120000));
    const QStringList saved = filesIn(capped);
    EXPECT_EQ(saved.size(), 1000);
    EXPECT_TRUE(saved.contains(QStringLiteral("999.gif")));
    EXPECT_FALSE(saved.contains(QStringLiteral("1000.gif")));
}

TEST_F(PageItems, TheEngineStartsOnlyForPagesAndListsRunSideBySide)
{
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/big.bin"), randomBytes(1200 * 1024, 31)));
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/p.gif"), picture("GIF", 0x445566)));
    ASSERT_TRUE(nginx.start(root, QStringLiteral("location = /big.bin { limit_rate 200k; }")));
    const QString files = testenv::freshDir(QStringLiteral("files"));
    const QString pages = testenv::freshDir(QStringLiteral("pages"));
    writeList(QStringLiteral("files"), {item(QStringLiteral("big"), nginx.base() + QStringLiteral("/big.bin"), files)});
    writeList(QStringLiteral("pages"), {item(QStringLiteral("p1"), page(QStringLiteral("/p1.html"), "<img src='/p.gif'>"), pages),
                                        item(QStringLiteral("p2"), page(QStringLiteral("/p2.html"), "<img src='/p.gif'>"), pages)});
    QProcess fileRun;
    fileRun.start(kExe, {QStringLiteral("files||||||||||0")});
    QProcess pageRun;
    pageRun.start(kExe, {QStringLiteral("pages||||||||||0")});
    ASSERT_TRUE(fileRun.waitForStarted(5000));
    ASSERT_TRUE(pageRun.waitForStarted(5000));

    // While both run: the page list has started the engine, the file list has
    // neither an engine process nor the engine's library.
    const qint64 filePid = fileRun.processId();
    const qint64 pagePid = pageRun.processId();
    bool engineSeen = false;
    int looks = 0;
    ASSERT_TRUE(testenv::waitFor([&] {
        if (pageRun.state() == QProcess::Running)
            engineSeen = engineSeen || childrenOf(pagePid).contains(QStringLiteral("QtWebEngineProc"));
        if (fileRun.state() == QProcess::Running) {
            const QStringList children = childrenOf(filePid);
            const QByteArray maps = testenv::readFile(QStringLiteral("/proc/%1/maps").arg(filePid));
            if (fileRun.state() == QProcess::Running) {
                ++looks;
                EXPECT_TRUE(children.isEmpty()) << children.join(' ').toStdString();
                EXPECT_FALSE(maps.contains("WebEngine"));
            }
        }
        return fileRun.state() == QProcess::NotRunning && (engineSeen || pageRun.state() == QProcess::NotRunning);
    }, 30000));
    EXPECT_GT(looks, 3);
    EXPECT_TRUE(engineSeen);
    ASSERT_TRUE(pageRun.state() == QProcess::NotRunning || pageRun.waitForFinished(60000));
    EXPECT_EQ(sha256(files + QStringLiteral("/big.bin")), sha256(root + QStringLiteral("/big.bin")));
    EXPECT_EQ(filesIn(pages), (QStringList{"p (2).gif", "p.gif"}));
    for (const char* list : {"files", "pages"})
        for (const QString& row : logRows(QString::fromLatin1(list)))
            EXPECT_TRUE(row.contains(QStringLiteral("Z5_Mark.bmp"))) << row.toStdString();
    EXPECT_EQ(logRows(QStringLiteral("pages")).size(), 2);
}
