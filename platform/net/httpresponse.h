#pragma once

// The reader of an HTTP/1.x answer, fed the bytes of the connection in
// whatever pieces they arrive. It buffers only the head (bounded), hands out
// the body as views into the caller's bytes, decodes chunked bodies and
// tells where the body ends, so that no head byte and no byte past the end
// ever reaches the caller's file.
//
// The caller loops over next() until it has handed over all its bytes:
//
//   while (true) {
//       Step s = reader.next(bytes);
//       bytes = bytes.sliced(s.consumed);
//       ... act on s.event; stop on NeedMore, Done and Error ...
//   }
//
// and calls finish() when the connection closes.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

namespace platform::net {

struct ContentRange {
    qint64 first = -1; // -1 for "bytes */total"
    qint64 last = -1;
    qint64 total = -1; // -1 for an unknown total ("/*")
};

struct HttpHead {
    QByteArray version; // "HTTP/1.1"
    int status = 0;
    QByteArray reason;
    QList<QPair<QByteArray, QByteArray>> fields; // names as sent, values trimmed

    // The first field of that name, compared without regard to case.
    std::optional<QByteArray> field(QByteArrayView name) const;
    // A valid "Content-Length"; none when the body is chunked, which decides
    // the body's length instead.
    std::optional<qint64> contentLength;
    std::optional<ContentRange> contentRange;
    bool chunked = false;
};

class HttpResponseReader {
public:
    static constexpr qsizetype kMaxHeadBytes = 64 * 1024;

    enum class Event {
        NeedMore, // every byte given was taken; feed the next piece
        Head,     // the head is complete: head() is valid
        Body,     // body bytes in Step::body (may be empty: call again)
        Done,     // the answer is complete; later bytes are not taken
        Error,    // malformed or oversized answer: errorText()
    };
    struct Step {
        Event event = Event::NeedMore;
        qsizetype consumed = 0;
        QByteArrayView body;
    };

    Step next(QByteArrayView input);
    // The connection closed: Done when the body ended or runs to the close,
    // Error when the answer was cut short.
    Step finish();

    const HttpHead& head() const { return head_; }
    const QString& errorText() const { return error_; }
    // Body bytes handed out so far (decoded).
    qint64 bodyBytes() const { return bodyBytes_; }
    // The announced body length, -1 when the body is chunked or runs to the close.
    qint64 expectedBodyBytes() const { return expected_; }

private:
    enum class State { Head, Length, UntilClose, ChunkSize, ChunkData, ChunkEnd, Trailers, Done, Failed };

    Step readHead(QByteArrayView input);
    bool parseHead(QByteArrayView text);
    Step startBody();
    Step fail(const QString& text);
    // Takes bytes up to and including a line feed into line_; true when the
    // line is complete.
    bool takeLine(QByteArrayView input, qsizetype& consumed);

    State state_ = State::Head;
    QByteArray buffer_; // head or chunk-size / trailer line being read
    HttpHead head_;
    qint64 remaining_ = 0;
    qint64 expected_ = -1;
    qint64 bodyBytes_ = 0;
    qsizetype trailerBytes_ = 0;
    QString error_;
};

} // namespace platform::net
