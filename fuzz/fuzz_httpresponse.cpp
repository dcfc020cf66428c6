// Arbitrary bytes as a server's answer: the reader must neither crash nor
// hang nor overflow, whatever pieces the bytes arrive in. The first input
// byte chooses how the rest is cut into pieces; every cut must read the same
// as the whole, no body byte may come from outside the bytes given, and a
// body never runs past the length the head announced.

#include "platform/net/httpresponse.h"

#include <cstddef>
#include <cstdint>

namespace {

using Reader = platform::net::HttpResponseReader;

struct Reading {
    int status = 0;
    QByteArray body;
    bool done = false;
    bool failed = false;
    qint64 expected = -1;
};

// Feeds the pieces; pieceSize 0 gives all the bytes at once.
Reading read(QByteArrayView bytes, qsizetype pieceSize, bool close)
{
    Reader r;
    Reading out;
    qsizetype at = 0;
    while (at < bytes.size() && !out.done && !out.failed) {
        const qsizetype n = pieceSize == 0 ? bytes.size() - at : std::min(pieceSize, bytes.size() - at);
        QByteArrayView rest = bytes.sliced(at, n);
        at += n;
        for (int guard = 0;; ++guard) {
            if (guard > 1000000)
                __builtin_trap(); // no progress
            const Reader::Step s = r.next(rest);
            if (s.consumed < 0 || s.consumed > rest.size())
                __builtin_trap();
            if (!s.body.isEmpty()) {
                if (s.body.data() < rest.data() || s.body.data() + s.body.size() > rest.data() + rest.size())
                    __builtin_trap();
                out.body += s.body.toByteArray();
            }
            rest = rest.sliced(s.consumed);
            if (s.event == Reader::Event::Head) {
                out.status = r.head().status;
                out.expected = r.expectedBodyBytes();
                if (r.head().chunked && r.head().contentLength)
                    __builtin_trap(); // a chunked body has no other length
            } else if (s.event == Reader::Event::Done) {
                out.done = true;
                break;
            } else if (s.event == Reader::Event::Error) {
                out.failed = true;
                break;
            } else if (s.event == Reader::Event::NeedMore) {
                if (!rest.isEmpty())
                    __builtin_trap(); // it must take everything before asking for more
                break;
            }
        }
    }
    if (close && !out.done && !out.failed) {
        const Reader::Step s = r.finish();
        out.done = s.event == Reader::Event::Done;
        out.failed = s.event == Reader::Event::Error;
        if (!out.done && !out.failed)
            __builtin_trap();
    }
    if (r.bodyBytes() != out.body.size())
        __builtin_trap();
    if (out.expected >= 0 && out.body.size() > out.expected)
        __builtin_trap();
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const auto piece = static_cast<qsizetype>(data[0] % 17);
    const bool close = data[0] & 0x80;
    const QByteArrayView bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    const Reading whole = read(bytes, 0, close);
    const Reading cut = read(bytes, piece == 0 ? 1 : piece, close);
    if (whole.status != cut.status || whole.body != cut.body || whole.done != cut.done || whole.failed != cut.failed)
        __builtin_trap();
    return 0;
}
