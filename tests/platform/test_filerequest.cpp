// The one GET request of the programs' own file fetches: its fields, the
// port, the referer and range, the absolute address through a proxy, and
// refusal of fields that would split the request.

#include "platform/net/filerequest.h"

#include <QList>
#include <gtest/gtest.h>

using platform::net::BuildFileRequest;
using platform::net::FileRequest;

TEST(FileRequest, WhatIsSent)
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
