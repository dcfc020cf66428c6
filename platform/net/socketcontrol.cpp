#include "platform/net/socketcontrol.h"

#include <QNetworkProxy>
#include <QSslSocket>

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform::net {

SocketControl::SocketControl(QObject* parent) : QObject(parent)
{
    connectTimer_.setSingleShot(true);
    idleTimer_.setSingleShot(true);
    QObject::connect(&connectTimer_, &QTimer::timeout, this, [this] {
        raiseError(kSocketErrorTimedOut, QStringLiteral("Connection timed out"));
    });
    QObject::connect(&idleTimer_, &QTimer::timeout, this, [this] {
        // Traffic only stamps its time, so a fast transfer does not restart
        // a timer for every chunk; the timer looks at the stamp when it
        // fires and waits out the rest.
        const qint64 quietMs = lastTraffic_.elapsed();
        if (idleTimeoutMs_ <= 0)
            return;
        if (quietMs < idleTimeoutMs_) {
            idleTimer_.start(static_cast<int>(idleTimeoutMs_ - quietMs));
            return;
        }
        raiseError(kSocketErrorTimedOut, QStringLiteral("No data from the server for %1 seconds").arg(idleTimeoutMs_ / 1000.0));
    });
}

SocketControl::~SocketControl()
{
    dropSocket();
}

void SocketControl::dropSocket()
{
    ++connection_; // what was queued for the old connection is dropped with it
    connectTimer_.stop();
    idleTimer_.stop();
    if (watchFd_ >= 0)
        ::close(watchFd_);
    watchFd_ = -1;
    if (!socket_)
        return;
    QTcpSocket* s = socket_;
    socket_ = nullptr;
    s->disconnect(this);
    s->abort();
    s->deleteLater(); // it may be inside one of its own signals
}

void SocketControl::setReadBufferSize(qint64 bytes)
{
    readBufferSize_ = bytes;
    if (socket_)
        socket_->setReadBufferSize(bytes);
}

void SocketControl::touch()
{
    lastTraffic_.start();
    if (idleTimeoutMs_ > 0 && !idleTimer_.isActive())
        idleTimer_.start(idleTimeoutMs_);
}

void SocketControl::watchConnection()
{
    if (watchFd_ >= 0 || !socket_ || socket_->socketDescriptor() < 0)
        return;
    watchFd_ = ::fcntl(static_cast<int>(socket_->socketDescriptor()), F_DUPFD_CLOEXEC, 0);
}

bool SocketControl::peerReset() const
{
    // The peer's orderly close leaves our end waiting to close; a reset (or
    // a connection that died otherwise) leaves it closed.
    if (watchFd_ < 0)
        return false;
    tcp_info info {};
    socklen_t size = sizeof info;
    if (::getsockopt(watchFd_, IPPROTO_TCP, TCP_INFO, &info, &size) != 0)
        return false;
    return info.tcpi_state == TCP_CLOSE;
}

void SocketControl::raiseError(int number, const QString& description)
{
    dropSocket();
    state_ = SocketState::Error;
    if (onError)
        onError(number, description);
}

namespace {

int errorNumber(QAbstractSocket::SocketError e)
{
    switch (e) {
    case QAbstractSocket::ConnectionRefusedError:
    case QAbstractSocket::ProxyConnectionRefusedError: return kSocketErrorConnectionRefused;
    case QAbstractSocket::HostNotFoundError:
    case QAbstractSocket::ProxyNotFoundError: return kSocketErrorHostNotFound;
    case QAbstractSocket::SocketTimeoutError: return kSocketErrorTimedOut;
    case QAbstractSocket::NetworkError: return kSocketErrorConnectionReset;
    case QAbstractSocket::SslHandshakeFailedError:
    case QAbstractSocket::SslInternalError:
    case QAbstractSocket::SslInvalidUserDataError: return kSocketErrorSecureChannel;
    default: return kSocketErrorOther;
    }
}

} // namespace

void SocketControl::sent(qint64 bytes)
{
    touch();
    pendingSend_ -= bytes;
    if (pendingSend_ <= 0 && onSendComplete)
        onSendComplete();
}

void SocketControl::peerEnded()
{
    idleTimer_.stop();
    connectTimer_.stop();
    const bool reset = peerReset();
    if (watchFd_ >= 0)
        ::close(watchFd_);
    watchFd_ = -1;
    if (reset) {
        // What arrived before the reset stays readable; the owner closes.
        state_ = SocketState::Error;
        if (onError)
            onError(kSocketErrorConnectionReset, QStringLiteral("Connection reset by peer"));
        return;
    }
    state_ = SocketState::Closing;
    if (onClose)
        onClose();
}

void SocketControl::afterDirectRead(bool wasConnected)
{
    // A socket read directly says nothing when a read meets the end of the
    // connection; the event follows from the event loop, as on any socket.
    if (!directRead_ || !wasConnected || !socket_ || socket_->state() == QAbstractSocket::ConnectedState)
        return;
    const QAbstractSocket::SocketError error = socket_->error();
    const QString description = socket_->errorString();
    QMetaObject::invokeMethod(
        this,
        [this, connection = connection_, error, description] {
            if (connection != connection_ || !socket_)
                return;
            if (error == QAbstractSocket::RemoteHostClosedError)
                peerEnded();
            else
                raiseError(errorNumber(error), description);
        },
        Qt::QueuedConnection);
}

void SocketControl::Connect(const QString& host, quint16 port, bool secure, const std::optional<TunnelProxy>& tunnel)
{
    dropSocket();
    pendingSend_ = 0;
    // A plain connection never touches TLS: making a TLS socket loads the TLS
    // backend and the crypto library, which costs more than a whole
    // loopback transfer of a small file.
    QSslSocket* tls = secure ? new QSslSocket(this) : nullptr;
    socket_ = tls ? tls : new QTcpSocket(this);
    if (tunnel)
        socket_->setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, tunnel->host, tunnel->port));
    else
        socket_->setProxy(QNetworkProxy::NoProxy);
    socket_->setReadBufferSize(readBufferSize_);
    QTcpSocket* s = socket_;
    QObject::connect(s, &QAbstractSocket::hostFound, this, [this] { state_ = SocketState::HostResolved; });
    QObject::connect(s, &QAbstractSocket::connected, this, [this] { watchConnection(); });
    const auto opened = [this] {
        connectTimer_.stop();
        state_ = SocketState::Connected;
        touch();
        if (onConnect)
            onConnect();
    };
    if (tls)
        QObject::connect(tls, &QSslSocket::encrypted, this, opened);
    else
        QObject::connect(s, &QAbstractSocket::connected, this, opened);
    QObject::connect(s, &QIODevice::readyRead, this, [this] {
        touch();
        if (onDataArrival && socket_)
            onDataArrival(socket_->bytesAvailable());
    });
    QObject::connect(s, &QIODevice::bytesWritten, this, [this](qint64 n) { sent(n); });
    QObject::connect(s, &QAbstractSocket::disconnected, this, [this] { peerEnded(); });
    QObject::connect(s, &QAbstractSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        if (!socket_)
            return;
        if (e == QAbstractSocket::RemoteHostClosedError)
            return; // the close event tells it
        raiseError(errorNumber(e), socket_->errorString());
    });
    state_ = SocketState::ResolvingHost;
    if (connectTimeoutMs_ > 0)
        connectTimer_.start(connectTimeoutMs_);
    if (tls) {
        tls->setPeerVerifyMode(QSslSocket::VerifyPeer);
        tls->connectToHostEncrypted(host, port);
    } else if (directRead_) {
        s->connectToHost(host, port, QIODevice::ReadWrite | QIODevice::Unbuffered);
    } else {
        s->connectToHost(host, port);
    }
    if (socket_ == s && state_ == SocketState::ResolvingHost)
        state_ = SocketState::Connecting;
}

bool SocketControl::SendData(const QByteArray& bytes)
{
    if (!socket_ || state_ != SocketState::Connected)
        return false;
    pendingSend_ += bytes.size();
    const qint64 queued = socket_->bytesToWrite();
    if (socket_->write(bytes) != bytes.size())
        return false;
    // A direct socket writes what it can at once and tells only of the rest.
    const qint64 atOnce = bytes.size() - (socket_->bytesToWrite() - queued);
    if (directRead_ && atOnce > 0)
        QMetaObject::invokeMethod(
            this, [this, connection = connection_, atOnce] { if (connection == connection_ && socket_) sent(atOnce); },
            Qt::QueuedConnection);
    return true;
}

qint64 SocketControl::BytesReceived() const
{
    return socket_ ? socket_->bytesAvailable() : 0;
}

qint64 SocketControl::GetData(char* buffer, qint64 max)
{
    if (!socket_)
        return 0;
    const bool wasConnected = socket_->state() == QAbstractSocket::ConnectedState;
    const qint64 n = socket_->read(buffer, max);
    afterDirectRead(wasConnected);
    return n < 0 ? 0 : n;
}

QByteArray SocketControl::GetData()
{
    if (!socket_)
        return QByteArray();
    const bool wasConnected = socket_->state() == QAbstractSocket::ConnectedState;
    QByteArray bytes = socket_->readAll();
    afterDirectRead(wasConnected);
    return bytes;
}

void SocketControl::Close()
{
    dropSocket();
    state_ = SocketState::Closed;
}

} // namespace platform::net
