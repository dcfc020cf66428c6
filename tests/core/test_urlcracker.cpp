#include "core/urlcracker.h"

#include <gtest/gtest.h>

TEST(UrlCracker, SplitsAddressesIntoTheirParts)
{
    const struct {
        const char* url;
        int scheme;
        const char* host;
        int port;
        const char* user;
        const char* password;
        const char* path;
        const char* extra;
        const char* fileName;
    } cases[] = {
        {"http://host/dir/file.zip?x=1", 3, "host", 80, "", "", "/dir/file.zip", "?x=1", "file.zip"},
        {"http://host/dir/", 3, "host", 80, "", "", "/dir/", "", ""},
        {"https://u:p@Example.COM:8443/a%20b/c.tar.gz#frag", 4, "Example.COM", 8443, "u", "p", "/a%20b/c.tar.gz",
         "#frag", "c.tar.gz"},
        {"ftp://me@ftp.host/pub/x.iso", 1, "ftp.host", 21, "me", "", "/pub/x.iso", "", "x.iso"},
        {"http://host", 3, "host", 80, "", "", "", "", ""},
        {"http://host?q=a/b.c", 3, "host", 80, "", "", "", "?q=a/b.c", ""},
        {"http://host:/x.y", 3, "host", 80, "", "", "/x.y", "", "x.y"},
        {"http://[::1]:8080/v.mp3", 3, "[::1]", 8080, "", "", "/v.mp3", "", "v.mp3"},
        {"HTTP://H/file.zip", 3, "H", 80, "", "", "/file.zip", "", "file.zip"}, // a bare name, no "/"
        {"http://h/dir.d/noext", 3, "h", 80, "", "", "/dir.d/noext", "", "noext"},
        {"http://h/a/..", 3, "h", 80, "", "", "/a/..", "", ""},
        {"http://h/a/.", 3, "h", 80, "", "", "/a/.", "", ""},
        {"http://h/x..\\..\\evil.exe", 3, "h", 80, "", "", "/x..\\..\\evil.exe", "", "evil.exe"},
        {"mailto:someone@example.com", 7, "", 0, "", "", "someone@example.com", "", "someone@example.com"},
        {"javascript:void(0)", 9, "", 0, "", "", "void(0)", "", ""},
        {"z5-cmd://host/p.q", -1, "host", 0, "", "", "/p.q", "", "p.q"},
        {"file:///tmp/a.txt", 5, "", 0, "", "", "/tmp/a.txt", "", "a.txt"},
        {"http:///", 3, "", 80, "", "", "/", "", ""},
    };
    for (const auto& c : cases) {
        clsWinInet cracker;
        ASSERT_TRUE(cracker.CrackUrl(QString::fromUtf8(c.url))) << c.url;
        EXPECT_EQ(cracker.Scheme(), c.scheme) << c.url;
        EXPECT_EQ(cracker.HostName(), QString::fromUtf8(c.host)) << c.url;
        EXPECT_EQ(cracker.Port(), c.port) << c.url;
        EXPECT_EQ(cracker.UserName(), QString::fromUtf8(c.user)) << c.url;
        EXPECT_EQ(cracker.Password(), QString::fromUtf8(c.password)) << c.url;
        EXPECT_EQ(cracker.URLPath(), QString::fromUtf8(c.path)) << c.url;
        EXPECT_EQ(cracker.ExtraInfo(), QString::fromUtf8(c.extra)) << c.url;
        EXPECT_EQ(cracker.URLFileName(), QString::fromUtf8(c.fileName)) << c.url;
    }
}

TEST(UrlCracker, TextsThatAreNoAddressLeaveThePartsAlone)
{
    clsWinInet cracker;
    ASSERT_TRUE(cracker.CrackUrl(QStringLiteral("http://keep/this/one.txt?k")));
    const QString longPart(1023, QLatin1Char('a'));
    const QString tooLong(1024, QLatin1Char('a'));
    const QString refused[] = {
        QStringLiteral("not an address"),
        QStringLiteral("www.example.com/file.zip"),   // no scheme
        QStringLiteral(":nothing"),
        QStringLiteral("1http://h/"),                  // a scheme begins with a letter
        QStringLiteral("ht tp://h/"),
        QStringLiteral("http://h:99999/"),
        QStringLiteral("http://h:8o/"),
        QStringLiteral("http://[::1/"),
        QString(),
        QStringLiteral("http://") + tooLong + QStringLiteral("/x"),
        QStringLiteral("http://h/") + tooLong,
        QStringLiteral("http://h/?") + tooLong,
        tooLong + QStringLiteral(":x"),
    };
    for (const QString& url : refused) {
        EXPECT_FALSE(cracker.CrackUrl(url)) << url.left(80).toStdString();
        EXPECT_EQ(cracker.HostName(), QStringLiteral("keep"));
        EXPECT_EQ(cracker.URLPath(), QStringLiteral("/this/one.txt"));
        EXPECT_EQ(cracker.URLFileName(), QStringLiteral("one.txt"));
    }
    // Parts just inside their buffers are taken.
    EXPECT_TRUE(cracker.CrackUrl(QStringLiteral("http://") + longPart + QStringLiteral("/x")));
    EXPECT_EQ(cracker.HostName().size(), 1023);
    EXPECT_TRUE(cracker.CrackUrl(QStringLiteral("http://h/") + QString(1022, QLatin1Char('p'))));
    EXPECT_EQ(cracker.URLPath().size(), 1023);
}
