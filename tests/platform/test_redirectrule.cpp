// The rule of which redirects a download follows.

#include "platform/net/redirectrule.h"

#include <gtest/gtest.h>

using platform::net::IsLoopbackHost;
using platform::net::RedirectRefusal;

TEST(RedirectRule, NothingElsewhereSendsADownloadToThisMachine)
{
    const struct {
        const char* from;
        const char* to;
        bool refused;
    } cases[] = {
        // From the web to this machine, in every spelling of it.
        {"http://example.com/f.bin", "http://127.0.0.1:8080/admin", true},
        {"https://example.com/f.bin", "http://127.9.8.7/", true},
        {"http://example.com/f.bin", "http://localhost:631/", true},
        {"http://example.com/f.bin", "http://LocalHost./", true},
        {"http://example.com/f.bin", "http://api.localhost/", true},
        {"http://example.com/f.bin", "http://[::1]:9000/", true},
        {"http://example.com/f.bin", "http://[::ffff:127.0.0.1]/", true},
        {"http://example.com/f.bin", "http://0.0.0.0:8080/", true},
        {"http://example.com/f.bin", "http://[::]/", true},
        {"http://example.com/f.bin", "http://127.1/", true},
        {"http://example.com/f.bin", "http://2130706433/", true},
        {"http://example.com/f.bin", "http://0x7f.0.0.1/", true},
        {"http://93.184.216.34/f.bin", "http://127.0.0.1/", true},
        // Between addresses of one kind, and to private networks: followed.
        {"http://127.0.0.1:8080/f.bin", "http://127.0.0.1:9090/f.bin", false},
        {"http://localhost/f.bin", "http://[::1]/f.bin", false},
        {"http://example.com/f.bin", "http://cdn.example.net/f.bin", false},
        {"http://example.com/f.bin", "http://192.168.1.10/f.bin", false},
        {"http://example.com/f.bin", "http://10.0.0.1/f.bin", false},
        {"http://127.0.0.1/f.bin", "http://example.com/f.bin", false},
        // Names that only look like this machine.
        {"http://example.com/f.bin", "http://127.0.0.1.example.com/", false},
        {"http://example.com/f.bin", "http://localhost.example.com/", false},
        {"http://example.com/f.bin", "http://128.0.0.1/", false},
    };
    for (const auto& c : cases) {
        const QString why = RedirectRefusal(QUrl(QString::fromLatin1(c.from)), QUrl(QString::fromLatin1(c.to)));
        EXPECT_EQ(!why.isEmpty(), c.refused) << c.from << " -> " << c.to;
    }
    EXPECT_FALSE(IsLoopbackHost(QString()));
    EXPECT_TRUE(RedirectRefusal(QUrl("http://example.com/"), QUrl("http://127.0.0.1/")).contains("127.0.0.1"));
}
