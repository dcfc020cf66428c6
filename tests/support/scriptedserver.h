#pragma once

// A loopback HTTP server that answers each request with a script of its
// own: pieces written one at a time with a pause between them, then the
// connection closed, reset or left open.

#include <QByteArray>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <functional>
#include <memory>
#include <sys/socket.h>

struct Answer {
    QList<QByteArray> pieces;
    bool closeAfter = true;
    int pauseMs = 1;
    bool resetAfter = false; // a reset instead of an orderly close
};

class ScriptedServer : public QObject {
public:
    // answerFor gets the request number (from 0) and the request's head.
    explicit ScriptedServer(std::function<Answer(int, const QByteArray&)> answerFor) : answerFor_(std::move(answerFor))
    {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                auto request = std::make_shared<QByteArray>();
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s, request] {
                    if (request->contains("\r\n\r\n"))
                        return;
                    *request += s->readAll();
                    if (request->contains("\r\n\r\n")) {
                        requests.append(*request);
                        play(s, answerFor_(static_cast<int>(requests.size()) - 1, *request), 0);
                    }
                });
            }
        });
    }
    quint16 port() const { return server_.serverPort(); }
    QString url(const QString& path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path); }
    QList<QByteArray> requests;

private:
    void play(QTcpSocket* s, Answer answer, qsizetype index)
    {
        if (index >= answer.pieces.size()) {
            if (answer.resetAfter) {
                const linger hard{1, 0};
                ::setsockopt(static_cast<int>(s->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
                s->abort();
            } else if (answer.closeAfter) {
                s->disconnectFromHost();
            }
            return;
        }
        s->write(answer.pieces[index]);
        s->flush();
        QTimer::singleShot(answer.pauseMs, s, [this, s, answer, index] { play(s, answer, index + 1); });
    }

    QTcpServer server_;
    std::function<Answer(int, const QByteArray&)> answerFor_;
};
