#pragma once

// A loopback HTTP server for tests: it serves the fixtures it is given and
// logs every request line ("GET /a.html"), which is what tests check
// navigations against. It listens on 127.0.0.1 only, on a free port.

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QSet>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include <memory>
#include <vector>

namespace testenv {

// True when some line of a request log contains text.
inline bool anyContains(const QStringList& log, const QString& text)
{
    for (const QString& line : log)
        if (line.contains(text))
            return true;
    return false;
}

class HttpServer {
public:
    HttpServer()
    {
        QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                auto buffer = std::make_shared<QByteArray>();
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s, buffer] {
                    *buffer += s->read(64 * 1024);
                    const qsizetype end = buffer->indexOf("\r\n\r\n");
                    if (end < 0) {
                        if (buffer->size() > 64 * 1024)
                            s->abort();
                        return;
                    }
                    answer(s, buffer->left(buffer->indexOf("\r\n")));
                    buffer->clear();
                });
                QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
        server_.listen(QHostAddress::LocalHost);
    }

    // Serves body at path ("/a.html"; the query is not part of the match).
    void serve(const QString& path, const QByteArray& body, const QByteArray& contentType = "text/html; charset=utf-8")
    {
        files_[path] = {body, contentType};
    }
    // The same, as an answer a browser may keep in its cache for an hour
    // (every other answer is never stored).
    void serveCacheable(const QString& path, const QByteArray& body)
    {
        serve(path, body);
        cacheable_.insert(path);
    }

    // Requests for path get no answer until releaseHeld(): a page waiting
    // on one does not finish loading.
    void hold(const QString& path) { held_.insert(path); }
    void releaseHeld()
    {
        held_.clear();
        const auto waiting = std::move(waiting_);
        waiting_.clear();
        for (const auto& [socket, requestLine] : waiting)
            if (socket)
                answer(socket, requestLine, false);
    }

    // Answers a request for path with a redirect to location.
    void redirect(const QString& path, const QByteArray& location, const QByteArray& status = "302 Found")
    {
        redirects_[path] = {location, status};
    }

    QUrl url(const QString& pathAndQuery = QStringLiteral("/")) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(pathAndQuery));
    }
    QString address(const QString& pathAndQuery = QStringLiteral("/")) const { return url(pathAndQuery).toString(); }
    quint16 port() const { return server_.serverPort(); }

    // Every request line received, in order ("GET /a.html?x=1").
    const QStringList& log() const { return log_; }
    // Requests whose target's path is path (any query), icons never counted
    // unless asked for.
    int requestsFor(const QString& path) const
    {
        int n = 0;
        for (const QString& line : log_) {
            const QString target = line.section(QLatin1Char(' '), 1, 1);
            if (target.section(QLatin1Char('?'), 0, 0) == path)
                ++n;
        }
        return n;
    }
    // Requests other than for the site icon.
    int pageRequests() const { return log_.size() - requestsFor(QStringLiteral("/favicon.ico")); }
    // True when some request's target contains text.
    bool requested(const QString& text) const { return anyContains(log_, text); }

private:
    void answer(QTcpSocket* s, const QByteArray& requestLine, bool logged = true)
    {
        const QString line = QString::fromLatin1(requestLine);
        if (logged)
            log_ << line.section(QLatin1Char(' '), 0, 1);
        const QString target = line.section(QLatin1Char(' '), 1, 1);
        if (held_.contains(target.section(QLatin1Char('?'), 0, 0))) {
            waiting_.push_back({s, requestLine});
            return;
        }
        if (const auto r = redirects_.constFind(target.section(QLatin1Char('?'), 0, 0)); r != redirects_.constEnd()) {
            s->write("HTTP/1.1 " + r->second + "\r\nLocation: " + r->first
                     + "\r\nCache-Control: no-store\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            s->disconnectFromHost();
            return;
        }
        const auto it = files_.constFind(target.section(QLatin1Char('?'), 0, 0));
        QByteArray status = "200 OK";
        QByteArray body;
        QByteArray type = "text/html; charset=utf-8";
        if (it == files_.constEnd()) {
            status = "404 Not Found";
            body = "<html><head><title>404</title></head><body>not found</body></html>";
        } else {
            body = it->first;
            type = it->second;
        }
        const QByteArray cache = cacheable_.contains(target.section(QLatin1Char('?'), 0, 0)) ? "max-age=3600" : "no-store";
        s->write("HTTP/1.1 " + status + "\r\nContent-Type: " + type + "\r\nCache-Control: " + cache + "\r\nContent-Length: "
                 + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        s->disconnectFromHost();
    }

    QTcpServer server_;
    QMap<QString, std::pair<QByteArray, QByteArray>> files_;
    QSet<QString> cacheable_;
    QMap<QString, std::pair<QByteArray, QByteArray>> redirects_; // location, status
    QStringList log_;
    QSet<QString> held_;
    std::vector<std::pair<QPointer<QTcpSocket>, QByteArray>> waiting_;
};

} // namespace testenv
