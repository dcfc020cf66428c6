#include "core/cleanup.h"
#include "core/settingsstore.h"
#include "platform/base/instance.h"
#include "platform/base/paths.h"
#include "platform/web/wininet.h"

#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace reg = platform::registry;
namespace wininet = platform::wininet;

namespace {

const QString kTypedUrls = "Software\\Microsoft\\Internet Explorer\\TypedURLs";

QDateTime localTime(const char* iso)
{
    return QDateTime::fromString(iso, Qt::ISODate); // local time
}

void add(const QString& name, uint32_t type, const QDateTime& when = QDateTime::currentDateTimeUtc())
{
    ASSERT_TRUE(wininet::addCacheEntry(name, type, when));
}

QStringList remaining()
{
    QStringList out;
    for (const auto& e : wininet::cacheEntries())
        out << e.sourceName;
    return out;
}

} // namespace

TEST(BrowsingData, EnumerationFiltersByTypeMask)
{
    EXPECT_TRUE(GetUrlCacheEntries(1).isEmpty());
    add("http://a/", NormalCacheEntryMask);
    add("Cookie:u@a/", CookieCacheEntryMask);
    add("Visited: u@http://a/", UrlHistoryCacheEntryMask);
    add("both", NormalCacheEntryMask | UrlHistoryCacheEntryMask);
    EXPECT_EQ(GetUrlCacheEntries(1), QStringList({"http://a/", "both"}));
    EXPECT_EQ(GetUrlCacheEntries(0x100000), QStringList({"Cookie:u@a/"}));
    EXPECT_EQ(GetUrlCacheEntries(0x200000), QStringList({"Visited: u@http://a/", "both"}));
    EXPECT_EQ(GetUrlCacheEntries(0x300000).size(), 3);
    EXPECT_TRUE(DeleteUrlCacheEntry("both"));
    EXPECT_FALSE(DeleteUrlCacheEntry("both"));
}

TEST(BrowsingData, DeletionsByKind)
{
    add("http://a/", NormalCacheEntryMask);
    add("http://a/Cookie/page", NormalCacheEntryMask);  // kept: "Cookie" in exact case
    add("http://a/cookie/page", NormalCacheEntryMask);  // deleted
    add("Cookie:u@a/", CookieCacheEntryMask);
    add("Visited: u@http://a/", UrlHistoryCacheEntryMask);

    DeleteTemporaryInternetFiles();
    EXPECT_EQ(remaining(), QStringList({"http://a/Cookie/page", "Cookie:u@a/", "Visited: u@http://a/"}));
    DeleteCookieEntries();
    EXPECT_EQ(remaining(), QStringList({"http://a/Cookie/page", "Visited: u@http://a/"}));
    DeleteHistoryEntries();
    EXPECT_EQ(remaining(), QStringList({"http://a/Cookie/page"}));
}

TEST(BrowsingData, ALongHistoryIsClearedInOneGo)
{
    // Twenty thousand visits: rewriting the index once per entry would take
    // many minutes here.
    QByteArray index = "URLCACHE 1\n1\t1000\thttp://kept/\n";
    for (int i = 0; i < 20000; ++i)
        index += "200000\t1000\tVisited: u@http://site.example/page" + QByteArray::number(i) + "\n";
    QDir().mkpath(QFileInfo(wininet::cacheIndexPath()).absolutePath());
    ASSERT_TRUE(testenv::writeFile(wininet::cacheIndexPath(), index));
    ASSERT_EQ(GetUrlCacheEntries(UrlHistoryCacheEntryMask).size(), 20000);
    DeleteHistoryEntries();
    EXPECT_EQ(remaining(), QStringList({"http://kept/"}));
}

TEST(BrowsingData, TypedUrlsStopAtTheFirstGap)
{
    ClearTypedUrls(); // no key: nothing happens
    EXPECT_FALSE(RegistryKeyExists(HiveCurrentUser, kTypedUrls));
    for (const char* n : {"url1", "url2", "url4", "other"})
        reg::writeValue(HiveCurrentUser, kTypedUrls, n, reg::Value::string(QString("http://") + n));
    ClearTypedUrls();
    EXPECT_EQ(ReadTypedUrl("url1"), "");
    EXPECT_EQ(ReadTypedUrl("url2"), "");
    EXPECT_EQ(ReadTypedUrl("url4"), "http://url4");
    EXPECT_EQ(ReadTypedUrl("other"), "http://other");
}

TEST(BrowsingData, TempFolderKeepsHiddenFilesAndFullFolders)
{
    const QString temp = platform::paths::privateTempFolder();
    ASSERT_FALSE(temp.isEmpty());
    // A file beside the private folder belongs to someone else.
    const QString outside = QFileInfo(temp).absolutePath() + "/someone-elses.txt";
    ASSERT_TRUE(testenv::writeFile(outside, "keep"));
    ASSERT_TRUE(testenv::writeFile(temp + "/~Z5_1200001page.htm", "x"));
    ASSERT_TRUE(testenv::writeFile(temp + "/.hidden", "x"));
    QDir(temp).mkpath("empty");
    QDir(temp).mkpath("Z5Temp");
    ASSERT_TRUE(testenv::writeFile(temp + "/Z5Temp/1", "http://a/\r\n"));
    const QString target = testenv::freshDir("linked");
    ASSERT_TRUE(testenv::writeFile(target + "/precious", "keep"));
    ASSERT_TRUE(QFile::link(target + "/precious", temp + "/link"));
    ASSERT_TRUE(QFile::link(target, temp + "/dirlink"));

    ClearTempFolder();

    EXPECT_FALSE(QFileInfo::exists(temp + "/~Z5_1200001page.htm"));
    EXPECT_TRUE(QFileInfo::exists(temp + "/.hidden"));
    EXPECT_FALSE(QFileInfo::exists(temp + "/empty"));
    EXPECT_TRUE(QFileInfo::exists(temp + "/Z5Temp/1"));
    EXPECT_FALSE(QFileInfo(temp + "/link").isSymLink());
    EXPECT_EQ(testenv::readFile(target + "/precious"), "keep");
    EXPECT_EQ(testenv::readFile(outside), "keep");
    QFile::remove(outside);
}

TEST(BrowsingData, EmptyingTheTempFolderKeepsTheRunningInstanceSeen)
{
    int asked[2], done[2];
    ASSERT_EQ(::pipe(asked), 0);
    ASSERT_EQ(::pipe(done), 0);
    const pid_t running = ::fork();
    if (running == 0) {
        ::close(done[1]);
        const char answer = platform::instance::previousInstanceRunning("Z5") ? 'r' : 'f';
        (void)!::write(asked[1], &answer, 1);
        char c;
        (void)!::read(done[0], &c, 1);
        ::_exit(0);
    }
    ASSERT_GT(running, 0);
    ::close(done[0]);
    char answer = 0;
    ASSERT_EQ(::read(asked[0], &answer, 1), 1);
    EXPECT_EQ(answer, 'f');

    ClearTempFolder();
    EXPECT_TRUE(platform::instance::previousInstanceRunning("Z5")) << "the first instance still runs";

    ::close(done[1]);
    ::waitpid(running, nullptr, 0);
    ::close(asked[0]);
    ::close(asked[1]);
}

TEST(BrowsingData, VisitedHistoryListing)
{
    const QDateTime day = localTime("2024-01-31T09:05:07");
    add("Visited: user@http://b.example/", UrlHistoryCacheEntryMask, day.toUTC());
    add("Visited: user@http://a.example/", UrlHistoryCacheEntryMask, localTime("2024-01-31T10:00:00").toUTC());
    add("Visited: user@http://c.example/", UrlHistoryCacheEntryMask, localTime("2023-12-01T23:59:59").toUTC());
    add("Visited: http://noat.example/", UrlHistoryCacheEntryMask, day.toUTC());
    // Never listed.
    for (const char* refused : {"Visited: u@file:///c/x.htm", "Visited: u@about:blank", "Visited: u@res://x.dll/y",
                                "Visited: u@mailto:x@y", "Visited: u@javascript:void(0)", "Visited: u@C:\\x.htm",
                                "Seen: u@http://notvisited/"})
        add(refused, UrlHistoryCacheEntryMask, day.toUTC());
    add("Visited: u@http://normal-entry/", NormalCacheEntryMask, day.toUTC());

    int32_t count = 0;
    EXPECT_EQ(ListVisitedHistory(true, true, count),
              QStringList({"20240131100000http://a.example/", "20240131090507http://b.example/",
                           "20240131090507Visited: http://noat.example/", "20231201235959http://c.example/"}));
    EXPECT_EQ(count, 4);
    count = 0;
    EXPECT_EQ(ListVisitedHistory(false, false, count),
              QStringList({"Visited: http://noat.example/", "http://a.example/", "http://b.example/", "http://c.example/"}));
    EXPECT_EQ(count, 4);
    count = 0;
    EXPECT_EQ(ListVisitedHistory(false, true, count),
              QStringList({"http://c.example/", "http://b.example/", "http://a.example/", "Visited: http://noat.example/"}));
}

TEST(BrowsingData, VisitedHistorySortHandlesManyAndDuplicates)
{
    // Enough entries for gaps 13 and 4; duplicates are kept.
    QStringList expected;
    for (int i = 0; i < 30; ++i) {
        const QString url = QString("http://h%1/").arg((i * 7) % 20, 2, 10, QChar('0'));
        add(QString("Visited: u%1@").arg(i) + url, UrlHistoryCacheEntryMask);
        expected << url;
    }
    std::sort(expected.begin(), expected.end());
    int32_t count = 0;
    EXPECT_EQ(ListVisitedHistory(false, false, count), expected);
    std::reverse(expected.begin(), expected.end());
    count = 0;
    EXPECT_EQ(ListVisitedHistory(false, true, count), expected);
    count = 0;
    EXPECT_TRUE(ListVisitedHistory(false, true, count).size() == 30 && count == 30);
}

TEST(BrowsingData, EmptyAndSingleHistory)
{
    int32_t count = 0;
    EXPECT_TRUE(ListVisitedHistory(true, false, count).isEmpty());
    EXPECT_EQ(count, 0);
    add("Visited: u@http://only/", UrlHistoryCacheEntryMask);
    EXPECT_EQ(ListVisitedHistory(false, false, count), QStringList({"http://only/"}));
    EXPECT_EQ(count, 1);
}

TEST(BrowsingData, OfflineFavorite)
{
    const QString folder = testenv::freshDir("Favorites");
    testenv::writeFile(folder + "/Kept.url", "[InternetShortcut]\r\nURL=http://kept.example/\r\n");
    testenv::writeFile(folder + "/Plain.url", "[InternetShortcut]\r\nURL=http://plain.example/\r\n");
    add("http://kept.example/", NormalCacheEntryMask);
    add("http://plain.example/", NormalCacheEntryMask);
    const QString store = "Software\\Microsoft\\Windows\\CurrentVersion\\Webcheck\\Store.1";
    reg::writeValue(HiveCurrentUser, store + "\\{ABC}\\Sub", "Name", reg::Value::string("Kept"));

    EXPECT_TRUE(IsOfflineFavorite(folder, "Kept"));
    EXPECT_FALSE(IsOfflineFavorite(folder, "Plain")); // no value below the Webcheck key
    DeleteUrlCacheEntry("http://kept.example/");
    EXPECT_FALSE(IsOfflineFavorite(folder, "Kept"));  // no longer cached
}
