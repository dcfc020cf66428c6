// A list run in this process against the scripted server.

#include "dlmanager/listrun.h"
#include "dlmanager/pageitems.h"
#include "dlmanager/runstate.h"
#include "platform/base/registry.h"

#include "scriptedserver.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

struct ListRunFixture {
    ListRunFixture()
    {
        const QString app = testenv::freshDir(QStringLiteral("app"));
        QDir().mkpath(app + QStringLiteral("/Data"));
        target = testenv::freshDir(QStringLiteral("target"));
        run.AppPath = app;
        run.CommonPath = app + QStringLiteral("/Common");
        run.ListName = QStringLiteral("L");
        run.ListBase = app + QStringLiteral("/Data/L");
        run.StatusText = QStringLiteral("STARTING");
    }

    void writeList(const QStringList& items)
    {
        QByteArray text = "6\r\n1\r\n0\r\n101000\r\n\r\n\r\n\r\n\r\n";
        for (const QString& i : items)
            text += i.toUtf8() + "\r\n";
        testenv::writeFile(run.listFile(), text);
    }

    QStringList logRows() const
    {
        return QString::fromUtf8(testenv::readFile(run.logFile())).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }

    RunState run;
    QString target;
};

} // namespace

TEST(ListRun, AStalledItemTimesOutAndTheListGoesOn)
{
    ListRunFixture f;
    ScriptedServer server([](int, const QByteArray& request) {
        if (request.startsWith("GET /stall.bin"))
            return Answer{{"HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n"}, false};
        if (request.startsWith("GET /ok.bin"))
            return Answer{{"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"}};
        return Answer{{"HTTP/1.1 299 <script>alert('x')</script>\r\nContent-Length: 0\r\n\r\n"}};
    });
    f.writeList({QStringLiteral("stall,%1,,%2,").arg(server.url(QStringLiteral("/stall.bin")), f.target),
                 QStringLiteral("ok,%1,,%2,").arg(server.url(QStringLiteral("/ok.bin")), f.target),
                 QStringLiteral("\"<script>'a,b'\",%1,,%2,").arg(server.url(QStringLiteral("/%3Cscript%3E'.bin")), f.target)});
    NoPageItems pages;
    DownloadListRun listRun(f.run, pages);
    listRun.fileItem().WSMain().setIdleTimeout(300);
    bool finished = false;
    listRun.finished = [&] { finished = true; };
    ASSERT_TRUE(listRun.OpenDownloadList());
    ASSERT_TRUE(testenv::waitFor([&] { return finished; }, 10000));

    const QStringList rows = f.logRows();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_TRUE(rows[0].contains(QStringLiteral("FAILED: stall - Error: No data from the server")));
    EXPECT_TRUE(rows[1].contains(QStringLiteral("Z5_Mark.bmp")));
    EXPECT_TRUE(rows[2].contains(QStringLiteral("FAILED: &lt;script&gt;&#39;a,b&#39; - 299 - &lt;script&gt;alert(&#39;x&#39;)")))
        << rows[2].toStdString();
    EXPECT_EQ(testenv::readFile(f.target + QStringLiteral("/ok.bin")), QByteArray("ok"));
    const QByteArray f2 = testenv::readFile(f.run.frameFile(2));
    EXPECT_FALSE(f2.contains("<script>"));
    EXPECT_TRUE(testenv::readFile(f.run.frameFile(1)).contains("3 of 3"));
}

TEST(ListRun, AResumeSkipsLoggedItemsAndDropsAHalfRow)
{
    ListRunFixture f;
    ScriptedServer server([](int, const QByteArray&) { return Answer{{"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"}}; });
    QStringList items;
    for (int i = 1; i <= 5; ++i)
        items << QStringLiteral("n%1,%2,,%3,").arg(i).arg(server.url(QStringLiteral("/f%1.bin").arg(i)), f.target);
    f.writeList(items);
    testenv::writeFile(f.run.logFile(), "<tr>1</tr>\r\n<tr>2</tr>\r\n<tr>3</tr>\r\n<tr>half");
    f.run.ResumeMode = true;
    NoPageItems pages;
    DownloadListRun listRun(f.run, pages);
    bool finished = false;
    listRun.finished = [&] { finished = true; };
    ASSERT_TRUE(listRun.OpenDownloadList());
    EXPECT_TRUE(testenv::readFile(f.run.frameFile(1)).contains("3 of 5"));
    ASSERT_TRUE(testenv::waitFor([&] { return finished; }, 10000));
    ASSERT_EQ(server.requests.size(), 2);
    EXPECT_TRUE(server.requests[0].startsWith("GET /f4.bin"));
    const QStringList rows = f.logRows();
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[2], QStringLiteral("<tr>3</tr>"));
    EXPECT_TRUE(rows[3].contains(QStringLiteral("n4")));
}

TEST(ListRun, AnEmptyListFinishesAtOnce)
{
    ListRunFixture f;
    f.writeList({});
    NoPageItems pages;
    DownloadListRun listRun(f.run, pages);
    bool finished = false;
    listRun.finished = [&] { finished = true; };
    ASSERT_TRUE(listRun.OpenDownloadList());
    ASSERT_TRUE(testenv::waitFor([&] { return finished; }));
    EXPECT_TRUE(testenv::readFile(f.run.frameFile(1)).contains("0 of 0"));
    EXPECT_TRUE(testenv::readFile(f.run.frameFile(3)).contains("Download completed at"));
}

TEST(ListRun, AListWithoutItsHeaderEndsWithItsPagesWritten)
{
    ListRunFixture f;
    testenv::writeFile(f.run.listFile(), "6\r\n1\r\n");
    NoPageItems pages;
    DownloadListRun listRun(f.run, pages);
    bool finished = false;
    listRun.finished = [&] { finished = true; };
    ASSERT_TRUE(listRun.OpenDownloadList());
    ASSERT_TRUE(testenv::waitFor([&] { return finished; }));
    EXPECT_TRUE(testenv::readFile(f.run.frameFile(1)).contains("Error: the list file has no header"));
    EXPECT_FALSE(testenv::readFile(f.run.frameFile(3)).contains("Download completed at"));
}

TEST(ListRun, ItemsThatCannotBeFetched)
{
    ListRunFixture f;
    const struct {
        const char* line;
        const char* rowHas;
    } cases[] = {
        {"page,http://127.0.0.1:1/index.html,,%1,", "FAILED: page - Error: the address names no file"},
        {"nofolder,http://127.0.0.1:1/a.bin,,,", "FAILED: nofolder - Error: the item has no target folder"},
        {"missing folder,http://127.0.0.1:1/a.bin,,%1/none,", "FAILED: missing folder - Error: No such file or directory"},
        {"refused,http://127.0.0.1:1/a.bin,,%1,", "FAILED: refused - Error: Connection refused"},
        {"cr,http://127.0.0.1:1/a\rX-Evil: 1\r.bin,,%1,", "FAILED: cr - Error: the address holds a line break"},
        {"nul,http://127.0.0.1:1/a@b.bin,,%1,", "FAILED: nul - Error: the address holds a line break"},
    };
    QStringList items;
    for (const auto& c : cases)
        items << QString::fromUtf8(c.line).arg(f.target).replace(QLatin1Char('@'), QChar(0));
    f.writeList(items);
    NoPageItems pages;
    DownloadListRun listRun(f.run, pages);
    bool finished = false;
    listRun.finished = [&] { finished = true; };
    ASSERT_TRUE(listRun.OpenDownloadList());
    ASSERT_TRUE(testenv::waitFor([&] { return finished; }, 10000));
    const QStringList rows = f.logRows();
    ASSERT_EQ(rows.size(), static_cast<qsizetype>(std::size(cases)));
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_TRUE(rows[static_cast<qsizetype>(i)].contains(QLatin1String(cases[i].rowHas))) << rows[static_cast<qsizetype>(i)].toStdString();
    EXPECT_TRUE(QDir(f.target).entryList(QDir::Files).isEmpty());
}

TEST(ListRun, ThroughTheProxyTheRequestNamesTheWholeAddress)
{
    ListRunFixture f;
    ScriptedServer proxy([](int, const QByteArray&) { return Answer{{"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"}}; });
    const QString key = QStringLiteral("Software\\Keldo\\Z5 Browser\\Proxy");
    namespace reg = platform::registry;
    reg::writeValue(reg::Hive::CurrentUser, key, QStringLiteral("Check1"), reg::Value::string(QStringLiteral("1")));
    reg::writeValue(reg::Hive::CurrentUser, key, QStringLiteral("Address1"), reg::Value::string(QStringLiteral("127.0.0.1")));
    reg::writeValue(reg::Hive::CurrentUser, key, QStringLiteral("Port1"), reg::Value::string(QString::number(proxy.port())));
    f.writeList({QStringLiteral("a,http://files.example:8080/pub/a.bin?x=1#top,,%1,").arg(f.target)});
    NoPageItems pages;
    DownloadListRun listRun(f.run, pages);
    bool finished = false;
    listRun.finished = [&] { finished = true; };
    ASSERT_TRUE(listRun.OpenDownloadList());
    ASSERT_TRUE(testenv::waitFor([&] { return finished; }));
    ASSERT_EQ(proxy.requests.size(), 1);
    EXPECT_TRUE(proxy.requests[0].startsWith("GET http://files.example:8080/pub/a.bin?x=1 HTTP/1.1\r\n")) << proxy.requests[0].constData();
    EXPECT_TRUE(proxy.requests[0].contains("\r\nHost: files.example:8080\r\n"));
    EXPECT_EQ(testenv::readFile(f.target + QStringLiteral("/a.bin")), QByteArray("ok"));
}
