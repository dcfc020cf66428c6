#pragma once

// A loopback HTTP proxy that only tunnels: it answers "CONNECT host:port"
// by connecting to that port on 127.0.0.1 (whatever the host is called) and
// carrying the bytes both ways, and refuses every other request. It logs
// each request line, which is what tests check a tunnel against.

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>

namespace testenv {

class TunnelProxy {
public:
    TunnelProxy()
    {
        QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
            while (QTcpSocket* client = server_.nextPendingConnection())
                serve(client);
        });
        server_.listen(QHostAddress::LocalHost);
    }

    quint16 port() const { return server_.serverPort(); }
    // Every request line received, in order ("CONNECT 127.0.0.1:443 HTTP/1.1").
    const QStringList& log() const { return log_; }

private:
    void serve(QTcpSocket* client)
    {
        auto head = std::make_shared<QByteArray>();
        QObject::connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
        QObject::connect(client, &QTcpSocket::readyRead, client, [this, client, head] {
            if (client->property("tunnel").toBool())
                return;
            *head += client->readAll();
            const qsizetype end = head->indexOf("\r\n\r\n");
            if (end < 0)
                return;
            const QByteArray line = head->left(head->indexOf("\r\n"));
            log_ << QString::fromLatin1(line);
            const QList<QByteArray> words = line.split(' ');
            const quint16 port = words.value(1).mid(words.value(1).lastIndexOf(':') + 1).toUShort();
            if (words.value(0) != "CONNECT" || port == 0) {
                client->write("HTTP/1.1 501 Not Implemented\r\nContent-Length: 0\r\n\r\n");
                client->disconnectFromHost();
                return;
            }
            const QByteArray early = head->mid(end + 4);
            client->setProperty("tunnel", true);
            auto* origin = new QTcpSocket(client);
            QObject::connect(origin, &QTcpSocket::connected, client, [client, origin, early] {
                client->write("HTTP/1.1 200 Connection Established\r\n\r\n");
                if (!early.isEmpty())
                    origin->write(early);
                QObject::connect(client, &QTcpSocket::readyRead, origin, [client, origin] { origin->write(client->readAll()); });
                QObject::connect(origin, &QTcpSocket::readyRead, client, [client, origin] { client->write(origin->readAll()); });
                QObject::connect(origin, &QTcpSocket::disconnected, client, [client] { client->disconnectFromHost(); });
                QObject::connect(client, &QTcpSocket::disconnected, origin, [origin] { origin->disconnectFromHost(); });
                if (client->bytesAvailable() > 0)
                    origin->write(client->readAll());
            });
            QObject::connect(origin, &QTcpSocket::errorOccurred, client, [client](QAbstractSocket::SocketError e) {
                if (e != QAbstractSocket::RemoteHostClosedError) {
                    client->write("HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\n\r\n");
                    client->disconnectFromHost();
                }
            });
            origin->connectToHost(QHostAddress::LocalHost, port);
        });
    }

    QTcpServer server_;
    QStringList log_;
};

} // namespace testenv
