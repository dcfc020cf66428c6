#pragma once

// The GET request of a file over HTTP/1.1, the one request builder of every
// program that fetches files over its own sockets: the browser's
// background fetcher and the download manager's file items.

#include <QByteArray>
#include <QString>

namespace platform::net {

struct FileRequest {
    QString host;       // the address's host
    quint16 port = 80;  // the address's port
    bool defaultPort = true;
    QString pathAndQuery;
    QString absoluteAddress; // scheme://host[:port]/path?query, for a proxy
    QString referer;
    qint64 rangeFrom = 0;    // > 0: continue from there
    QByteArray validator;    // If-Range value, with rangeFrom
    bool viaProxy = false;
};

// True when the text holds a carriage return, a line feed or NUL: it can
// never go into a request line or field.
bool HoldsLineBreakOrNul(const QString& s);

// The request's bytes; empty when a field holds a line break or NUL.
QByteArray BuildFileRequest(const FileRequest& request);

} // namespace platform::net
