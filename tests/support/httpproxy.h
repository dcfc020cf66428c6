#pragma once

// A loopback HTTP proxy for tests, beside the origin server of httpserver.h.
// It logs every request it is asked to carry by method and target
// ("GET http://origin.z5.test/a.html", "CONNECT origin.z5.test:443"), which
// is what tests check proxy use against, and it never reaches anything but
// loopback:
// - a request in absolute form for a host it was given with route() goes in
//   origin form to that host's loopback server, one for a loopback address
//   (127.0.0.1, [::1], localhost) to the same port of 127.0.0.1; for any other host
//   the proxy answers 502 itself (names are never resolved);
// - CONNECT is tunnelled to the loopback port given with tunnelTo(), or
//   answered 502 without one.
// Chromium never sends loopback addresses through a proxy: browser tests use
// a routed name that does not resolve, such as origin.z5.test.

#include "httpserver.h"

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include <memory>

namespace testenv {

class HttpProxy {
public:
    HttpProxy()
    {
        QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
            while (QTcpSocket* client = server_.nextPendingConnection())
                accept(client);
        });
        server_.listen(QHostAddress::LocalHost);
    }

    // Requests for host (any port) go to the loopback server at port.
    void route(const QString& host, quint16 port) { routes_.insert(host.toLower(), port); }
    // CONNECT requests are tunnelled to this loopback port (0: refused).
    void tunnelTo(quint16 port) { tunnel_ = port; }

    quint16 port() const { return server_.serverPort(); }
    // "127.0.0.1:port", as proxy settings name it.
    QString hostAndPort() const { return QStringLiteral("127.0.0.1:%1").arg(port()); }

    // Every request carried or refused, in order: "GET http://host/path".
    const QStringList& log() const { return log_; }
    // True when some logged request contains text.
    bool requested(const QString& text) const { return anyContains(log_, text); }

private:
    struct Link {
        QByteArray head;               // the request head, until it is complete
        QPointer<QTcpSocket> upstream; // once the request is carried on
        bool open = false;             // upstream connected
        QByteArray pending;            // client bytes waiting for the upstream
    };

    static bool isLoopbackHost(const QString& host)
    {
        const QHostAddress address(host);
        return address.isNull() ? host == QLatin1String("localhost") : address.isLoopback();
    }

    static void refuse(QTcpSocket* client, const QByteArray& status)
    {
        const QByteArray body = "<html><body>" + status + " from the test proxy</body></html>";
        client->write("HTTP/1.1 " + status + "\r\nContent-Type: text/html\r\nContent-Length: "
                      + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        client->disconnectFromHost();
    }

    void accept(QTcpSocket* client)
    {
        auto link = std::make_shared<Link>();
        QObject::connect(client, &QTcpSocket::readyRead, client, [this, client, link] {
            if (QTcpSocket* upstream = link->upstream.data()) {
                if (link->open)
                    upstream->write(client->readAll());
                else
                    link->pending += client->readAll();
                return;
            }
            link->head += client->readAll();
            const qsizetype end = link->head.indexOf("\r\n\r\n");
            if (end < 0) {
                if (link->head.size() > 64 * 1024)
                    client->abort();
                return;
            }
            link->pending = link->head.mid(end + 4);
            carry(client, link, link->head.left(end));
        });
        QObject::connect(client, &QTcpSocket::disconnected, client, [client, link] {
            if (QTcpSocket* upstream = link->upstream.data())
                upstream->disconnectFromHost();
            client->deleteLater();
        });
    }

    void carry(QTcpSocket* client, const std::shared_ptr<Link>& link, const QByteArray& head)
    {
        QList<QByteArray> lines = head.split('\n');
        for (QByteArray& line : lines)
            line = line.trimmed();
        const QList<QByteArray> request = lines.constFirst().split(' ');
        if (request.size() != 3)
            return refuse(client, "400 Bad Request");
        const QByteArray& method = request.at(0);
        const QByteArray& target = request.at(1);
        log_ << QString::fromLatin1(method + ' ' + target);

        if (method == "CONNECT") {
            if (tunnel_ == 0)
                return refuse(client, "502 Bad Gateway");
            return open(client, link, tunnel_, "HTTP/1.1 200 Connection established\r\n\r\n", {});
        }

        const QUrl url(QString::fromLatin1(target));
        if (url.scheme() != QLatin1String("http") || url.host().isEmpty())
            return refuse(client, "400 Bad Request");
        const QString host = url.host().toLower();
        const quint16 port = routes_.contains(host) ? routes_.value(host)
                             : isLoopbackHost(host) ? quint16(url.port(80))
                                                    : quint16(0);
        if (port == 0)
            return refuse(client, "502 Bad Gateway");

        // The same request in origin form, on a connection that closes after
        // the answer: the client opens a new one for its next request.
        const qsizetype pathAt = target.indexOf('/', target.indexOf("://") + 3);
        QByteArray forward = method + ' ' + (pathAt < 0 ? QByteArray("/") : target.mid(pathAt)) + ' ' + request.at(2) + "\r\n";
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QByteArray name = lines.at(i).left(lines.at(i).indexOf(':')).trimmed().toLower();
            if (name != "connection" && name != "proxy-connection" && name != "keep-alive" && name != "proxy-authorization")
                forward += lines.at(i) + "\r\n";
        }
        forward += "Connection: close\r\n\r\n";
        open(client, link, port, {}, forward);
    }

    // Connects to the loopback port; once connected, answers the client
    // with toClient, sends toUpstream and what the client sent meanwhile,
    // then passes bytes both ways until either side closes.
    static void open(QTcpSocket* client, const std::shared_ptr<Link>& link, quint16 port, const QByteArray& toClient,
                     const QByteArray& toUpstream)
    {
        auto* upstream = new QTcpSocket(client);
        link->upstream = upstream;
        QObject::connect(upstream, &QTcpSocket::connected, client, [client, upstream, link, toClient, toUpstream] {
            link->open = true;
            client->write(toClient);
            upstream->write(toUpstream + link->pending);
            link->pending.clear();
        });
        QObject::connect(upstream, &QTcpSocket::readyRead, client, [client, upstream] { client->write(upstream->readAll()); });
        QObject::connect(upstream, &QTcpSocket::disconnected, client, [client, upstream] {
            client->write(upstream->readAll());
            client->disconnectFromHost();
        });
        QObject::connect(upstream, &QTcpSocket::errorOccurred, client, [client, link](QAbstractSocket::SocketError) {
            if (!link->open)
                refuse(client, "502 Bad Gateway");
        });
        upstream->connectToHost(QHostAddress::LocalHost, port);
    }

    QTcpServer server_;
    QHash<QString, quint16> routes_;
    quint16 tunnel_ = 0;
    QStringList log_;
};

} // namespace testenv
