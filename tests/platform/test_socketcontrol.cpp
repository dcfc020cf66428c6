// The socket control's events, back-pressure and time-outs on loopback.

#include "platform/net/socketcontrol.h"

#include "testenv.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace net = platform::net;

TEST(SocketControl, EventsOfAConversation)
{
    // Buffered, and read straight into the owner's buffer.
    for (const bool direct : {false, true}) {
        SCOPED_TRACE(direct ? "direct" : "buffered");
        QTcpServer server;
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        QByteArray heard;
        QObject::connect(&server, &QTcpServer::newConnection, [&] {
            QTcpSocket* s = server.nextPendingConnection();
            QObject::connect(s, &QTcpSocket::readyRead, s, [&heard, s] {
                heard += s->readAll();
                if (heard.endsWith("\n")) {
                    s->write("answer");
                    s->disconnectFromHost();
                }
            });
        });
        net::SocketControl c;
        c.setDirectRead(direct);
        QStringList events;
        QByteArray got;
        c.onConnect = [&] {
            events << QStringLiteral("connect");
            EXPECT_EQ(c.State(), net::SocketState::Connected);
            EXPECT_TRUE(c.SendData("question\n"));
        };
        c.onSendComplete = [&] { events << QStringLiteral("sent"); };
        c.onDataArrival = [&](qint64 n) {
            if (!direct) {
                EXPECT_GT(n, 0); // a direct read may find only the end
            }
            got += c.GetData();
        };
        c.onClose = [&] { events << QStringLiteral("close"); };
        c.onError = [&](int number, const QString&) { events << QStringLiteral("error %1").arg(number); };
        EXPECT_FALSE(c.SendData("too early"));
        c.Connect(QStringLiteral("127.0.0.1"), server.serverPort());
        ASSERT_TRUE(testenv::waitFor([&] { return events.contains(QStringLiteral("close")); }));
        EXPECT_EQ(events, QStringList({QStringLiteral("connect"), QStringLiteral("sent"), QStringLiteral("close")}));
        EXPECT_EQ(heard, QByteArray("question\n"));
        EXPECT_EQ(got, QByteArray("answer"));
        EXPECT_EQ(c.State(), net::SocketState::Closing);
    }
}

TEST(SocketControl, UnreadDataHoldsTheSenderBack)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    QTcpSocket* peer = nullptr;
    QObject::connect(&server, &QTcpServer::newConnection, [&] { peer = server.nextPendingConnection(); });
    net::SocketControl c;
    c.setReadBufferSize(64 * 1024);
    bool connected = false;
    c.onConnect = [&] { connected = true; };
    c.Connect(QStringLiteral("127.0.0.1"), server.serverPort());
    ASSERT_TRUE(testenv::waitFor([&] { return connected && peer; }));
    const QByteArray block(64 * 1024 * 1024, 'x');
    peer->write(block);
    QTest::qWait(300);
    // The control took no more than its buffer; the rest waits with the sender.
    EXPECT_LE(c.BytesReceived(), 64 * 1024);
    EXPECT_GT(peer->bytesToWrite(), 0);
    qint64 total = 0;
    std::vector<char> buf(1 << 20);
    c.onDataArrival = [&](qint64) {
        qint64 n;
        while ((n = c.GetData(buf.data(), static_cast<qint64>(buf.size()))) > 0)
            total += n;
    };
    c.onDataArrival(0);
    ASSERT_TRUE(testenv::waitFor([&] { return total == block.size(); }, 20000)) << total;
}

TEST(SocketControl, TimeOuts)
{
    // A listener whose queue is full: the next connection never opens.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(fd, 0), 0);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    const quint16 fullPort = ntohs(addr.sin_port);
    std::vector<int> fillers;
    for (int i = 0; i < 3; ++i) {
        const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        ::connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        fillers.push_back(s);
    }
    QTest::qWait(100);

    // A server that accepts and then says nothing.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));

    struct Case {
        const char* name;
        quint16 port;
        bool connects;
    };
    for (const Case& c : {Case{"connect", fullPort, false}, Case{"idle", silent.serverPort(), true}}) {
        SCOPED_TRACE(c.name);
        net::SocketControl control;
        control.setConnectTimeout(300);
        control.setIdleTimeout(300);
        bool connected = false;
        int error = 0;
        control.onConnect = [&] { connected = true; };
        control.onError = [&](int number, const QString&) { error = number; };
        QElapsedTimer clock;
        clock.start();
        control.Connect(QStringLiteral("127.0.0.1"), c.port);
        // Ended by the short limits set here, well before the default ones would.
        ASSERT_LT(15000, net::SocketControl::kDefaultConnectTimeoutMs);
        ASSERT_TRUE(testenv::waitFor([&] { return error != 0; }, 15000));
        EXPECT_EQ(error, net::kSocketErrorTimedOut);
        EXPECT_EQ(connected, c.connects);
        EXPECT_GE(clock.elapsed(), 250);
        EXPECT_EQ(control.State(), net::SocketState::Error);
    }
    for (int s : fillers)
        ::close(s);
    ::close(fd);
}

TEST(SocketControl, ARefusedConnectionIsTheOldError)
{
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();
    net::SocketControl control;
    int error = 0;
    control.onError = [&](int number, const QString&) { error = number; };
    control.Connect(QStringLiteral("127.0.0.1"), port);
    ASSERT_TRUE(testenv::waitFor([&] { return error != 0; }));
    EXPECT_EQ(error, net::kSocketErrorConnectionRefused);
}

TEST(SocketControl, OnlyAnOrderlyCloseIsAClose)
{
    for (const auto& [reset, direct] : {std::pair{false, false}, {true, false}, {false, true}, {true, true}}) {
        SCOPED_TRACE(reset ? "reset" : "orderly close");
        SCOPED_TRACE(direct ? "direct" : "buffered");
        QTcpServer server;
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        QTcpSocket* peer = nullptr;
        QObject::connect(&server, &QTcpServer::newConnection, [&] { peer = server.nextPendingConnection(); });
        net::SocketControl c;
        c.setDirectRead(direct);
        QByteArray got;
        QStringList events;
        c.onDataArrival = [&](qint64) { got += c.GetData(); };
        c.onClose = [&] { events << QStringLiteral("close"); };
        c.onError = [&](int number, const QString&) {
            events << QStringLiteral("error %1").arg(number);
            got += c.GetData(); // what came before the end is still there
        };
        c.Connect(QStringLiteral("127.0.0.1"), server.serverPort());
        ASSERT_TRUE(testenv::waitFor([&] { return peer && c.State() == net::SocketState::Connected; }));
        peer->write("first part");
        ASSERT_TRUE(testenv::waitFor([&] { return got == "first part"; }));
        if (reset) {
            const linger hard{1, 0};
            ASSERT_EQ(::setsockopt(static_cast<int>(peer->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard), 0);
            peer->abort();
        } else {
            peer->disconnectFromHost();
        }
        ASSERT_TRUE(testenv::waitFor([&] { return !events.isEmpty(); }));
        EXPECT_EQ(events, QStringList{reset ? QStringLiteral("error %1").arg(net::kSocketErrorConnectionReset)
                                            : QStringLiteral("close")});
        EXPECT_EQ(got, QByteArray("first part"));
    }
}
