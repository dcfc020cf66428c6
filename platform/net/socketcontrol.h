#pragma once

// The socket control: one TCP connection, plain or over TLS, with the old
// control's states, error numbers and events. Events are raised from the
// event loop, never from inside a call of the owner; an event handler may
// close the control or connect it again.
//
// Back-pressure: the control holds at most readBufferSize() received bytes;
// while the owner leaves them unread, nothing more is taken from the
// connection. A connection that does not open within the connect timeout,
// or that is silent for the idle timeout, ends with the time-out error.
//
// Only an orderly close of the peer raises the close event; a connection
// reset (or any other abnormal end) raises the reset error instead, with the
// bytes that arrived before it still there to be taken.

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

class QTcpSocket;

namespace platform::net {

enum class SocketState {
    Closed = 0,
    Open = 1,
    Listening = 2,
    ConnectionPending = 3,
    ResolvingHost = 4,
    HostResolved = 5,
    Connecting = 6,
    Connected = 7,
    Closing = 8, // the peer closed; unread data may remain
    Error = 9,
};

// Error numbers of the old control.
inline constexpr int kSocketErrorTimedOut = 10060;
inline constexpr int kSocketErrorConnectionRefused = 10061;
inline constexpr int kSocketErrorConnectionReset = 10054;
inline constexpr int kSocketErrorConnectionAborted = 10053;
inline constexpr int kSocketErrorHostNotFound = 11001;
inline constexpr int kSocketErrorBadState = 40006;
// Ours (the old control spoke no TLS): the handshake or the certificate failed.
inline constexpr int kSocketErrorSecureChannel = 40100;
inline constexpr int kSocketErrorOther = 10050;

// An HTTP proxy a connection is tunnelled through (CONNECT): the proxy only
// carries the bytes, TLS runs end to end with the host.
struct TunnelProxy {
    QString host;
    quint16 port = 0;
};

class SocketControl : public QObject {
public:
    static constexpr int kDefaultConnectTimeoutMs = 30000;
    static constexpr int kDefaultIdleTimeoutMs = 60000;
    static constexpr qint64 kDefaultReadBufferSize = 1024 * 1024;

    explicit SocketControl(QObject* parent = nullptr);
    ~SocketControl() override;

    // Closes any connection and opens one to host:port; secure asks for TLS
    // with the host's certificate checked against the host name. With a
    // tunnel, the connection to host:port goes through that proxy.
    void Connect(const QString& host, quint16 port, bool secure = false,
                 const std::optional<TunnelProxy>& tunnel = std::nullopt);
    // Queues the bytes; SendComplete follows once all are written. False
    // when the control is not connected.
    bool SendData(const QByteArray& bytes);
    // Received bytes not yet taken.
    qint64 BytesReceived() const;
    // Takes up to max received bytes into buffer; the count taken.
    qint64 GetData(char* buffer, qint64 max);
    QByteArray GetData();
    void Close();
    SocketState State() const { return state_; }

    void setConnectTimeout(int ms) { connectTimeoutMs_ = ms; }
    void setIdleTimeout(int ms) { idleTimeoutMs_ = ms; }
    void setReadBufferSize(qint64 bytes);
    qint64 readBufferSize() const { return readBufferSize_; }
    // From the next Connect on, a plain connection is read straight into
    // the owner's buffer, with no copy held here (TLS ones stay buffered).
    // The owner then takes everything in each data event: the end of the
    // connection shows only to a read (a data event may announce 0 bytes
    // and find just that), and the close or reset event follows it.
    void setDirectRead(bool direct) { directRead_ = direct; }

    std::function<void()> onConnect;
    std::function<void(qint64 bytesTotal)> onDataArrival;
    std::function<void()> onSendComplete;
    std::function<void()> onClose;
    std::function<void(int number, const QString& description)> onError;

private:
    void dropSocket();
    void raiseError(int number, const QString& description);
    void touch();
    void watchConnection();
    bool peerReset() const;
    void peerEnded();
    void sent(qint64 bytes);
    void afterDirectRead(bool wasConnected);

    QTcpSocket* socket_ = nullptr; // a QSslSocket for a secure connection
    SocketState state_ = SocketState::Closed;
    QTimer connectTimer_;
    QTimer idleTimer_;
    QElapsedTimer lastTraffic_;
    int connectTimeoutMs_ = kDefaultConnectTimeoutMs;
    int idleTimeoutMs_ = kDefaultIdleTimeoutMs;
    qint64 readBufferSize_ = kDefaultReadBufferSize;
    qint64 pendingSend_ = 0;
    bool directRead_ = false;
    quint64 connection_ = 0; // counts connections, for events queued for one
    // A second descriptor of the open connection: it keeps the connection's
    // end state readable after the socket let go of its own descriptor.
    int watchFd_ = -1;
};

} // namespace platform::net
