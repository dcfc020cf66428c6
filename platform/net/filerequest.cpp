#include "platform/net/filerequest.h"

#include <cstdio>

namespace platform::net {

namespace {

// The path and query as sent: bytes outside printable ASCII and blanks are
// percent-encoded, everything else is kept as written.
QByteArray requestTarget(const QString& s)
{
    QByteArray out;
    for (const char c : s.toUtf8()) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u >= 0x7F) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", u);
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

bool HoldsLineBreakOrNul(const QString& s)
{
    return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n')) || s.contains(QChar(0));
}

QByteArray BuildFileRequest(const FileRequest& r)
{
    for (const QString* s : {&r.host, &r.pathAndQuery, &r.absoluteAddress, &r.referer})
        if (HoldsLineBreakOrNul(*s))
            return {};
    if (r.validator.contains('\r') || r.validator.contains('\n') || r.validator.contains('\0'))
        return {};
    QByteArray q;
    q += "GET " + requestTarget(r.viaProxy ? r.absoluteAddress : r.pathAndQuery) + " HTTP/1.1\r\n";
    q += "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/vnd.ms-powerpoint, "
         "application/vnd.ms-excel, application/msword, */*\r\n";
    if (!r.referer.isEmpty())
        q += "Referer: " + requestTarget(r.referer) + "\r\n";
    q += "Accept-Language: en-ca\r\n";
    q += "Accept-Encoding: identity\r\n";
    if (r.rangeFrom > 0) {
        q += "Range: bytes=" + QByteArray::number(r.rangeFrom) + "-\r\n";
        if (!r.validator.isEmpty())
            q += "If-Range: " + r.validator + "\r\n";
    }
    q += "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)\r\n";
    q += "Host: " + requestTarget(r.host);
    if (!r.defaultPort)
        q += ':' + QByteArray::number(r.port);
    q += "\r\n";
    q += "Connection: close\r\n";
    q += "\r\n";
    return q;
}

} // namespace platform::net
