// The HTTP answer reader fed the same answers in every possible split.

#include "platform/net/httpresponse.h"

#include <gtest/gtest.h>

namespace net = platform::net;
using Event = net::HttpResponseReader::Event;

namespace {

struct Result {
    int status = 0;
    QByteArray body;
    bool done = false;
    QString error;
    qsizetype bytesLeft = 0; // given but not taken after the end
};

// Feeds the pieces one after the other, then the close when closeAtEnd.
Result feed(const QList<QByteArray>& pieces, bool closeAtEnd)
{
    net::HttpResponseReader r;
    Result out;
    const auto act = [&](const net::HttpResponseReader::Step& s) {
        if (s.event == Event::Head)
            out.status = r.head().status;
        else if (s.event == Event::Body)
            out.body += s.body.toByteArray();
        else if (s.event == Event::Done)
            out.done = true;
        else if (s.event == Event::Error)
            out.error = r.errorText();
    };
    for (const QByteArray& piece : pieces) {
        QByteArrayView rest = piece;
        while (!out.done && out.error.isEmpty()) {
            const auto s = r.next(rest);
            rest = rest.sliced(s.consumed);
            act(s);
            if (s.event == Event::NeedMore)
                break;
        }
        out.bytesLeft += rest.size();
        if (out.done || !out.error.isEmpty())
            return out;
    }
    if (closeAtEnd)
        act(r.finish());
    return out;
}

} // namespace

TEST(HttpResponseReader, EveryAnswerReadsTheSameInAnySplit)
{
    struct Case {
        const char* name;
        QByteArray answer;
        bool close;
        int status;
        QByteArray body;
        bool done;
        const char* error; // part of the error text; "" for none
    };
    const QByteArray oversized = "HTTP/1.1 200 OK\r\nX: " + QByteArray(net::HttpResponseReader::kMaxHeadBytes, 'a');
    const Case cases[] = {
        {"length", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello", false, 200, "hello", true, ""},
        {"bytes past the length stay out", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhelloEXTRA", false, 200, "hello",
         true, ""},
        {"header names in any case", "HTTP/1.1 200 OK\r\ncontent-LENGTH:3\r\n\r\nabc", false, 200, "abc", true, ""},
        {"chunked with extensions and a trailer",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, chunked\r\n\r\n3;x=y\r\nabc\r\nA\r\n0123456789\r\n0\r\nT: 1\r\n\r\n", false,
         200, "abc0123456789", true, ""},
        {"chunk longer than its size", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nabc\r\n0\r\n\r\n", false,
         200, "ab", false, "chunk longer"},
        {"bad chunk size", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n", false, 200, "", false,
         "malformed chunk size"},
        {"a chunk size of 16 hex digits",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nFFFFFFFFFFFFFFFF\r\nabc", false, 200, "", false,
         "malformed chunk size"},
        {"chunked wins over a length",
         "HTTP/1.1 200 OK\r\nContent-Length: 3\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n", false,
         200, "hello", true, ""},
        {"chunked wins over a broken length",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nContent-Length: x\r\n\r\n2\r\nok\r\n0\r\n\r\n", false,
         200, "ok", true, ""},
        {"to the close", "HTTP/1.0 200 OK\r\nServer: x\r\n\r\nall of it", true, 200, "all of it", true, ""},
        {"closed short", "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc", true, 200, "abc", false, "7 bytes short"},
        {"closed inside chunks", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nab", true, 200, "ab", false,
         "inside a chunked body"},
        {"closed inside the head", "HTTP/1.1 200 OK\r\nContent-", true, 0, "", false, "before the answer's head"},
        {"interim answer skipped", "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 206 Partial\r\nContent-Length: 2\r\n\r\nok",
         false, 206, "ok", true, ""},
        {"bare line feeds", "HTTP/1.1 404 Not Found\nContent-Length: 2\n\nno", false, 404, "no", true, ""},
        {"not HTTP", "220 smtp ready\r\n\r\n", false, 0, "", false, "not an HTTP answer"},
        {"status not a number", "HTTP/1.1 2x0 OK\r\n\r\n", false, 0, "", false, "status code"},
        {"two lengths", "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nContent-Length: 3\r\n\r\nabc", false, 0, "", false,
         "Content-Length"},
        {"negative length", "HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\n", false, 0, "", false, "Content-Length"},
        {"no body for 204", "HTTP/1.1 204 No Content\r\nContent-Length: 9\r\n\r\nignored", false, 204, "", true, ""},
        {"head too large", oversized, false, 0, "", false, "too large"},
    };
    for (const Case& c : cases) {
        // Whole, then split once at every position, then byte by byte.
        QList<QList<QByteArray>> splits{{c.answer}};
        for (qsizetype at = 1; at < c.answer.size() && c.answer.size() < 1000; ++at)
            splits.append({c.answer.left(at), c.answer.mid(at)});
        QList<QByteArray> bytes;
        for (char b : c.answer.left(2000))
            bytes.append(QByteArray(1, b));
        if (c.answer.size() <= 2000)
            splits.append(bytes);
        for (const auto& pieces : splits) {
            const Result r = feed(pieces, c.close);
            SCOPED_TRACE(std::string(c.name) + " in " + std::to_string(pieces.size()) + " pieces, first " +
                         std::to_string(pieces.first().size()));
            EXPECT_EQ(r.status, c.status);
            EXPECT_EQ(r.body, c.body);
            EXPECT_EQ(r.done, c.done);
            EXPECT_TRUE(r.error.contains(QLatin1String(c.error))) << r.error.toStdString();
            EXPECT_EQ(r.error.isEmpty(), QByteArray(c.error).isEmpty()) << r.error.toStdString();
            if (HasFailure())
                return;
        }
    }
}

TEST(HttpResponseReader, TheHeadTellsRangesAndLengths)
{
    const struct {
        const char* field;
        qint64 first, last, total;
        bool valid;
    } ranges[] = {
        {"bytes 1000-4999/5000", 1000, 4999, 5000, true},
        {"bytes */5000", -1, -1, 5000, true},
        {"bytes 0-3221225471/3221225472", 0, 3221225471LL, 3221225472LL, true},
        {"bytes 0-9/*", 0, 9, -1, true},
        {"bytes 5-4/10", 0, 0, 0, false},
        {"bytes 0-10/10", 0, 0, 0, false},
        {"items 0-1/2", 0, 0, 0, false},
    };
    for (const auto& c : ranges) {
        net::HttpResponseReader r;
        const QByteArray answer = QByteArray("HTTP/1.1 206 P\r\nContent-Range: ") + c.field + "\r\n\r\n";
        ASSERT_EQ(r.next(answer).event, Event::Head) << c.field;
        ASSERT_EQ(r.head().contentRange.has_value(), c.valid) << c.field;
        if (!c.valid)
            continue;
        EXPECT_EQ(r.head().contentRange->first, c.first);
        EXPECT_EQ(r.head().contentRange->last, c.last);
        EXPECT_EQ(r.head().contentRange->total, c.total);
    }
    net::HttpResponseReader r;
    ASSERT_EQ(r.next("HTTP/1.1 200 OK\r\nETag: \"a\"\r\nContent-Length: 6442450944\r\n\r\n").event, Event::Head);
    EXPECT_EQ(r.expectedBodyBytes(), 6442450944LL);
    EXPECT_EQ(r.head().field("etag").value_or(""), QByteArray("\"a\""));
    // One place tells the body's length: a chunked body has none announced.
    net::HttpResponseReader chunked;
    ASSERT_EQ(chunked.next("HTTP/1.1 200 OK\r\nContent-Length: 9\r\nTransfer-Encoding: chunked\r\n\r\n").event, Event::Head);
    EXPECT_FALSE(chunked.head().contentLength.has_value());
    EXPECT_EQ(chunked.expectedBodyBytes(), -1);
}
