#include "platform/net/httpresponse.h"

#include <limits>

namespace platform::net {

namespace {

constexpr qsizetype kMaxLineBytes = 4096;

bool isDigits(QByteArrayView text)
{
    if (text.isEmpty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// A decimal count of at most 18 digits (no overflow of qint64).
std::optional<qint64> parseCount(QByteArrayView text)
{
    text = text.trimmed();
    if (!isDigits(text) || text.size() > 18)
        return std::nullopt;
    qint64 v = 0;
    for (char c : text)
        v = v * 10 + (c - '0');
    return v;
}

// A chunk size: at most 15 hex digits, so that it fits a qint64. The length
// is checked before a digit is taken.
std::optional<qint64> parseChunkSize(QByteArrayView text)
{
    if (text.isEmpty() || text.size() > 15)
        return std::nullopt;
    qint64 v = 0;
    for (char c : text) {
        const int d = (c >= '0' && c <= '9') ? c - '0'
                      : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                      : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
        if (d < 0)
            return std::nullopt;
        v = v * 16 + d;
    }
    return v;
}

std::optional<ContentRange> parseContentRange(QByteArrayView text)
{
    text = text.trimmed();
    if (!text.startsWith("bytes") || text.size() < 6)
        return std::nullopt;
    text = text.sliced(5).trimmed();
    const qsizetype slash = text.indexOf('/');
    if (slash < 0)
        return std::nullopt;
    ContentRange r;
    const QByteArrayView range = text.first(slash).trimmed();
    const QByteArrayView total = text.sliced(slash + 1).trimmed();
    if (total != "*") {
        const auto t = parseCount(total);
        if (!t)
            return std::nullopt;
        r.total = *t;
    }
    if (range != "*") {
        const qsizetype dash = range.indexOf('-');
        if (dash < 0)
            return std::nullopt;
        const auto first = parseCount(range.first(dash));
        const auto last = parseCount(range.sliced(dash + 1));
        if (!first || !last || *last < *first || (r.total >= 0 && *last >= r.total))
            return std::nullopt;
        r.first = *first;
        r.last = *last;
    }
    return r;
}

} // namespace

std::optional<QByteArray> HttpHead::field(QByteArrayView name) const
{
    for (const auto& f : fields)
        if (QByteArrayView(f.first).compare(name, Qt::CaseInsensitive) == 0)
            return f.second;
    return std::nullopt;
}

HttpResponseReader::Step HttpResponseReader::fail(const QString& text)
{
    state_ = State::Failed;
    error_ = text;
    buffer_.clear();
    return {Event::Error, 0, {}};
}

HttpResponseReader::Step HttpResponseReader::next(QByteArrayView input)
{
    switch (state_) {
    case State::Head:
        return readHead(input);
    case State::Length: {
        if (remaining_ == 0) {
            state_ = State::Done;
            return {Event::Done, 0, {}};
        }
        if (input.isEmpty())
            return {Event::NeedMore, 0, {}};
        const qsizetype n = static_cast<qsizetype>(std::min<qint64>(remaining_, input.size()));
        remaining_ -= n;
        bodyBytes_ += n;
        return {Event::Body, n, input.first(n)};
    }
    case State::UntilClose:
        if (input.isEmpty())
            return {Event::NeedMore, 0, {}};
        bodyBytes_ += input.size();
        return {Event::Body, input.size(), input};
    case State::ChunkSize: {
        qsizetype used = 0;
        if (!takeLine(input, used))
            return state_ == State::Failed ? Step{Event::Error, used, {}} : Step{Event::NeedMore, used, {}};
        QByteArrayView line = QByteArrayView(buffer_).trimmed();
        const qsizetype ext = line.indexOf(';');
        if (ext >= 0)
            line = line.first(ext).trimmed();
        const std::optional<qint64> size = parseChunkSize(line);
        buffer_.clear();
        if (!size) {
            fail(QStringLiteral("malformed chunk size"));
            return {Event::Error, used, {}};
        }
        if (*size == 0) {
            state_ = State::Trailers;
        } else {
            state_ = State::ChunkData;
            remaining_ = *size;
        }
        return {Event::Body, used, {}}; // nothing to write yet; call again
    }
    case State::ChunkData: {
        if (input.isEmpty())
            return {Event::NeedMore, 0, {}};
        const qsizetype n = static_cast<qsizetype>(std::min<qint64>(remaining_, input.size()));
        remaining_ -= n;
        bodyBytes_ += n;
        if (remaining_ == 0)
            state_ = State::ChunkEnd;
        return {Event::Body, n, input.first(n)};
    }
    case State::ChunkEnd: {
        qsizetype used = 0;
        if (!takeLine(input, used))
            return state_ == State::Failed ? Step{Event::Error, used, {}} : Step{Event::NeedMore, used, {}};
        const bool empty = QByteArrayView(buffer_).trimmed().isEmpty();
        buffer_.clear();
        if (!empty) {
            fail(QStringLiteral("chunk longer than its size"));
            return {Event::Error, used, {}};
        }
        state_ = State::ChunkSize;
        return {Event::Body, used, {}};
    }
    case State::Trailers: {
        qsizetype used = 0;
        if (!takeLine(input, used))
            return state_ == State::Failed ? Step{Event::Error, used, {}} : Step{Event::NeedMore, used, {}};
        trailerBytes_ += buffer_.size();
        const bool empty = QByteArrayView(buffer_).trimmed().isEmpty();
        buffer_.clear();
        if (trailerBytes_ > kMaxHeadBytes) {
            fail(QStringLiteral("trailer too large"));
            return {Event::Error, used, {}};
        }
        if (empty) {
            state_ = State::Done;
            return {Event::Done, used, {}};
        }
        return {Event::Body, used, {}};
    }
    case State::Done:
        return {Event::Done, 0, {}};
    case State::Failed:
        return {Event::Error, 0, {}};
    }
    return {Event::Error, 0, {}};
}

bool HttpResponseReader::takeLine(QByteArrayView input, qsizetype& consumed)
{
    const qsizetype lf = input.indexOf('\n');
    const qsizetype take = lf < 0 ? input.size() : lf + 1;
    if (buffer_.size() + take > kMaxLineBytes) {
        fail(QStringLiteral("line too long"));
        consumed = take;
        return false;
    }
    buffer_.append(input.first(take));
    consumed = take;
    return lf >= 0;
}

HttpResponseReader::Step HttpResponseReader::readHead(QByteArrayView input)
{
    if (input.isEmpty())
        return {Event::NeedMore, 0, {}};
    const qsizetype old = buffer_.size();
    const qsizetype room = kMaxHeadBytes - old;
    const QByteArrayView take = input.first(std::min(room, input.size()));
    buffer_.append(take);
    // The end of the head: an empty line, CR LF or a bare LF.
    qsizetype end = -1;
    for (qsizetype i = std::max<qsizetype>(old - 3, 1); i < buffer_.size(); ++i) {
        if (buffer_[i] != '\n')
            continue;
        if (buffer_[i - 1] == '\n') {
            end = i + 1;
            break;
        }
        if (i >= 2 && buffer_[i - 1] == '\r' && buffer_[i - 2] == '\n') {
            end = i + 1;
            break;
        }
    }
    if (end < 0) {
        if (buffer_.size() >= kMaxHeadBytes) {
            fail(QStringLiteral("answer head too large"));
            return {Event::Error, take.size(), {}};
        }
        return {Event::NeedMore, take.size(), {}};
    }
    const qsizetype consumed = end - old;
    const QByteArray text = buffer_.left(end);
    buffer_.clear();
    if (!parseHead(text))
        return {Event::Error, consumed, {}};
    // Interim answers are skipped; the final one follows.
    if (head_.status >= 100 && head_.status < 200 && head_.status != 101) {
        head_ = HttpHead();
        return {Event::Body, consumed, {}}; // nothing to write; call again
    }
    const Step body = startBody();
    return {body.event, consumed, {}};
}

bool HttpResponseReader::parseHead(QByteArrayView text)
{
    head_ = HttpHead();
    QList<QByteArrayView> lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype lf = text.indexOf('\n', start);
        if (lf < 0)
            lf = text.size();
        QByteArrayView line = text.sliced(start, lf - start);
        if (line.endsWith('\r'))
            line.chop(1);
        lines.append(line);
        start = lf + 1;
    }
    // Blank lines before the status line are tolerated.
    while (!lines.isEmpty() && lines.first().isEmpty())
        lines.removeFirst();
    if (lines.isEmpty() || !lines.first().startsWith("HTTP/")) {
        fail(QStringLiteral("not an HTTP answer"));
        return false;
    }
    const QByteArrayView status = lines.first();
    const qsizetype sp = status.indexOf(' ');
    if (sp < 0) {
        fail(QStringLiteral("malformed status line"));
        return false;
    }
    head_.version = status.first(sp).toByteArray();
    QByteArrayView rest = status.sliced(sp + 1).trimmed();
    const qsizetype sp2 = rest.indexOf(' ');
    const QByteArrayView code = sp2 < 0 ? rest : rest.first(sp2);
    if (code.size() != 3 || !isDigits(code)) {
        fail(QStringLiteral("malformed status code"));
        return false;
    }
    head_.status = code.toInt();
    head_.reason = sp2 < 0 ? QByteArray() : rest.sliced(sp2 + 1).trimmed().toByteArray();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArrayView line = lines[i];
        if (line.isEmpty())
            break;
        if ((line.front() == ' ' || line.front() == '\t') && !head_.fields.isEmpty()) {
            head_.fields.last().second += ' ' + line.trimmed().toByteArray();
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue; // not a field: ignored
        const QByteArrayView name = line.first(colon);
        if (name.contains(' ') || name.contains('\t'))
            continue;
        head_.fields.append({name.toByteArray(), line.sliced(colon + 1).trimmed().toByteArray()});
    }
    for (const auto& f : head_.fields) {
        if (QByteArrayView(f.first).compare("Transfer-Encoding", Qt::CaseInsensitive) == 0) {
            const QList<QByteArray> codings = f.second.split(',');
            head_.chunked = codings.last().trimmed().compare("chunked", Qt::CaseInsensitive) == 0;
        }
    }
    for (const auto& f : head_.fields) {
        const QByteArrayView name = f.first;
        if (name.compare("Content-Length", Qt::CaseInsensitive) == 0) {
            // A chunked body ends with its last chunk, whatever length is announced.
            if (head_.chunked)
                continue;
            const auto n = parseCount(f.second);
            if (!n || (head_.contentLength && *head_.contentLength != *n)) {
                fail(QStringLiteral("malformed Content-Length"));
                return false;
            }
            head_.contentLength = n;
        } else if (name.compare("Content-Range", Qt::CaseInsensitive) == 0 && !head_.contentRange) {
            head_.contentRange = parseContentRange(f.second);
        }
    }
    return true;
}

HttpResponseReader::Step HttpResponseReader::startBody()
{
    if (head_.status == 204 || head_.status == 304) {
        expected_ = 0;
        state_ = State::Done;
        return {Event::Head, 0, {}};
    }
    if (head_.chunked) {
        state_ = State::ChunkSize;
        expected_ = -1;
    } else if (head_.contentLength) {
        state_ = State::Length;
        remaining_ = *head_.contentLength;
        expected_ = *head_.contentLength;
    } else {
        state_ = State::UntilClose;
        expected_ = -1;
    }
    return {Event::Head, 0, {}};
}

HttpResponseReader::Step HttpResponseReader::finish()
{
    switch (state_) {
    case State::UntilClose:
    case State::Done:
        state_ = State::Done;
        return {Event::Done, 0, {}};
    case State::Failed:
        return {Event::Error, 0, {}};
    case State::Head:
        return fail(QStringLiteral("connection closed before the answer's head"));
    case State::Length:
        if (remaining_ == 0) {
            state_ = State::Done;
            return {Event::Done, 0, {}};
        }
        return fail(QStringLiteral("connection closed %1 bytes short of the length").arg(remaining_));
    default:
        return fail(QStringLiteral("connection closed inside a chunked body"));
    }
}

} // namespace platform::net
