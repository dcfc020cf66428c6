#include "platform/base/textfile.h"
#include "platform/web/wininet.h"

#include "httpserver.h"
#include "testenv.h"

#include <QDir>
#include <QFileInfo>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include <gtest/gtest.h>

namespace wininet = platform::wininet;

namespace {

QStringList names()
{
    QStringList out;
    for (const wininet::CacheEntry& e : wininet::cacheEntries())
        out << e.sourceName;
    return out;
}

// The one page the offline tests load.
void servePage(testenv::HttpServer& server)
{
    for (const char* path : {"/", "/first", "/second"})
        server.serve(path, "<html><head><title>served</title></head><body>page</body></html>");
}

} // namespace

TEST(UrlCacheIndex, AddEnumerateDelete)
{
    const QDateTime t1 = QDateTime::fromString("2024-01-31T23:59:59Z", Qt::ISODate);
    EXPECT_TRUE(wininet::cacheEntries().isEmpty());
    EXPECT_TRUE(wininet::addCacheEntry("http://a/", wininet::NormalEntry, t1));
    EXPECT_TRUE(wininet::addCacheEntry("Cookie:user@a/", wininet::CookieEntry, t1));
    EXPECT_TRUE(wininet::addCacheEntry("Visited: user@http://a/", wininet::UrlHistoryEntry, t1));
    // The same name again updates kind and time in place.
    const QDateTime t2 = t1.addSecs(60);
    EXPECT_TRUE(wininet::addCacheEntry("http://a/", wininet::NormalEntry, t2));
    EXPECT_EQ(names(), QStringList({"http://a/", "Cookie:user@a/", "Visited: user@http://a/"}));
    const auto entries = wininet::cacheEntries();
    EXPECT_EQ(entries[0].lastAccess, t2);
    EXPECT_EQ(entries[1].type, uint32_t(wininet::CookieEntry));
    EXPECT_EQ(entries[2].lastAccess, t1);

    EXPECT_TRUE(wininet::deleteCacheEntry("Cookie:user@a/"));
    EXPECT_FALSE(wininet::deleteCacheEntry("Cookie:user@a/"));
    EXPECT_FALSE(wininet::deleteCacheEntry("HTTP://A/")); // names are exact
    EXPECT_EQ(names(), QStringList({"http://a/", "Visited: user@http://a/"}));

    EXPECT_EQ(QFileInfo(QFileInfo(wininet::cacheIndexPath()).absolutePath()).permissions().toInt() & 0x0077, 0);

    EXPECT_FALSE(wininet::addCacheEntry("", wininet::NormalEntry, t1));
    EXPECT_FALSE(wininet::addCacheEntry(QString(9000, 'x'), wininet::NormalEntry, t1));
}

TEST(UrlCacheIndex, NamesSurviveTheFileAndOtherWritersAreSeen)
{
    const QString odd = "http://a/%41\tb\nc\r\x01 100%";
    ASSERT_TRUE(wininet::addCacheEntry(odd, wininet::NormalEntry, QDateTime::currentDateTimeUtc()));
    ASSERT_TRUE(wininet::addCacheEntry("second", wininet::NormalEntry, QDateTime::currentDateTimeUtc()));
    const QString padded = "  blanks at both ends  ";
    ASSERT_TRUE(wininet::addCacheEntry(padded, wininet::NormalEntry, QDateTime::currentDateTimeUtc()));
    const QByteArray file = testenv::readFile(wininet::cacheIndexPath());
    EXPECT_EQ(file.count('\n'), 4) << file.constData(); // header and one line per entry
    EXPECT_EQ(names(), QStringList({odd, "second", padded}));

    // Another process rewrites the file: the next read sees it.
    QByteArray other = file;
    other.replace("second", "third!");
    ASSERT_TRUE(platform::textfile::writeAtomically(wininet::cacheIndexPath(), other));
    EXPECT_EQ(names(), QStringList({odd, "third!", padded}));
    // Read back from the file, a name keeps its blanks and can be deleted.
    EXPECT_TRUE(wininet::deleteCacheEntry(padded));
    EXPECT_EQ(names(), QStringList({odd, "third!"}));
}

TEST(UrlCacheIndex, HostileFileIsReadBounded)
{
    QDir().mkpath(QFileInfo(wininet::cacheIndexPath()).absolutePath());
    // A damaged index: bad lines are skipped, good ones kept.
    testenv::writeFile(wininet::cacheIndexPath(), "URLCACHE 1\n"
                                                  "1\t1000\tgood\n"
                                                  "zz\t1000\tbadtype\n"
                                                  "1\tnotatime\tbadtime\n"
                                                  "1\t1000\n"
                                                  "\n"
                                                  "200000\t1000\tVisited: x@http://h/\n");
    EXPECT_EQ(names(), QStringList({"good", "Visited: x@http://h/"}));
    EXPECT_EQ(wininet::cacheEntries()[1].type, uint32_t(wininet::UrlHistoryEntry));
    // Not an index at all.
    testenv::writeFile(wininet::cacheIndexPath(), "1\t1000\tgood\n");
    EXPECT_TRUE(names().isEmpty());
    // Too large to be read.
    QFile f(wininet::cacheIndexPath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("URLCACHE 1\n1\t1000\tgood\n");
    ASSERT_TRUE(f.resize(40 * 1024 * 1024));
    f.close();
    EXPECT_TRUE(names().isEmpty());
}

TEST(Offline, QtNetworkRequestsFailWhileOffline)
{
    testenv::HttpServer server;
    servePage(server);
    wininet::NetworkAccessManager nam;
    auto fetch = [&] {
        QNetworkReply* reply = nam.get(QNetworkRequest(server.url()));
        QSignalSpy done(reply, &QNetworkReply::finished);
        if (!reply->isFinished()) {
            EXPECT_TRUE(done.wait(10000));
        }
        const auto error = reply->error();
        reply->deleteLater();
        return error;
    };
    wininet::setOffline(true);
    EXPECT_EQ(fetch(), QNetworkReply::NetworkSessionFailedError);
    EXPECT_EQ(server.pageRequests(), 0);
    wininet::setOffline(false);
    EXPECT_EQ(fetch(), QNetworkReply::NoError);
    EXPECT_EQ(server.pageRequests(), 1);
}

TEST(Offline, StopsAndLetsThroughAWebEnginePage)
{
    testenv::HttpServer server;
    servePage(server);
    QWebEngineProfile profile;
    wininet::attachProfile(&profile);
    QWebEnginePage page(&profile);
    QSignalSpy loaded(&page, &QWebEnginePage::loadFinished);

    wininet::setOffline(true);
    page.load(server.url("/first"));
    ASSERT_TRUE(loaded.wait(30000));
    EXPECT_FALSE(loaded.takeFirst().at(0).toBool());
    EXPECT_EQ(server.pageRequests(), 0);

    wininet::setOffline(false);
    page.load(server.url("/second"));
    ASSERT_TRUE(loaded.wait(30000));
    EXPECT_TRUE(loaded.takeFirst().at(0).toBool());
    EXPECT_EQ(server.pageRequests(), 1);
    EXPECT_EQ(page.title(), "served");
}
