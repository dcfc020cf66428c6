#include "downloads/fetchsocket.h"

#include "platform/net/filerequest.h"

#include <QTimer>

namespace net = platform::net;
using Event = net::HttpResponseReader::Event;

FetchSocket::FetchSocket()
{
    socket_.setConnectTimeout(kConnectTimeoutMs);
    socket_.setIdleTimeout(kIdleTimeoutMs);
    socket_.setReadBufferSize(256 * 1024);
    socket_.onConnect = [this] { WSBACK_Connect(); };
    socket_.onDataArrival = [this](qint64) { WSBACK_DataArrival(); };
    socket_.onClose = [this] { WSBACK_Close(); };
    socket_.onError = [this](int number, const QString& description) { WSBACK_Error(number, description); };
}

FetchSocket::~FetchSocket()
{
    Close();
}

void FetchSocket::setTimeouts(int connectMs, int idleMs)
{
    socket_.setConnectTimeout(connectMs);
    socket_.setIdleTimeout(idleMs);
}

void FetchSocket::Close()
{
    ++*generation_;
    active_ = false;
    socket_.Close();
    if (file_.isOpen())
        file_.close();
}

void FetchSocket::failLater(const QString& why)
{
    const quint64 generation = *generation_;
    QTimer::singleShot(0, &socket_, [this, generation, why, token = std::weak_ptr<quint64>(generation_)] {
        if (!token.expired() && *generation_ == generation)
            FinishFetchSlot(true, why);
    });
}

void FetchSocket::ConnectFetchSocket(const FetchSocketTarget& target, const QString& tempPath, const ProxySetting& proxy)
{
    Close();
    active_ = true;
    target_ = target;
    tempPath_ = tempPath;
    failure_.clear();
    total_ = -1;
    received_ = 0;
    partial_ = false;
    resume_ = false;
    headerDone_ = false;
    reader_ = net::HttpResponseReader();
    file_.setFileName(tempPath);
    if (tempPath.isEmpty() || !file_.open(QIODevice::ReadWrite)) {
        failLater(QStringLiteral("the temporary file cannot be opened"));
        return;
    }
    if (proxy.offline) {
        failLater(QStringLiteral("working offline: nothing is fetched"));
        return;
    }
    const bool useProxy = proxy.usedFor(target.secure ? QStringLiteral("https") : QStringLiteral("http"), target.host);
    viaProxy_ = useProxy && !target.secure;
    std::optional<net::TunnelProxy> tunnel;
    QString host = target.host;
    quint16 port = target.port;
    if (useProxy && target.secure) {
        tunnel = net::TunnelProxy{proxy.host, proxy.port};
    } else if (useProxy) {
        host = proxy.host;
        port = proxy.port;
    }
    if (host.isEmpty() || port == 0) {
        failLater(QStringLiteral("the address names no host"));
        return;
    }
    socket_.Connect(host, port, target.secure, tunnel);
}

void FetchSocket::WSBACK_Connect()
{
    if (!active_)
        return;
    headerDone_ = false;
    resume_ = false;
    total_ = -1;
    received_ = file_.size();
    resume_ = received_ > 0;
    net::FileRequest request;
    request.host = target_.host;
    request.port = target_.port;
    request.defaultPort = target_.defaultPort;
    request.pathAndQuery = target_.pathAndQuery;
    request.absoluteAddress = target_.absoluteAddress;
    request.referer = target_.referer;
    request.rangeFrom = resume_ ? received_ : 0;
    request.viaProxy = viaProxy_;
    const QByteArray bytes = net::BuildFileRequest(request);
    if (bytes.isEmpty() || !socket_.SendData(bytes))
        FinishFetchSlot(true, QStringLiteral("the request could not be sent"));
}

void FetchSocket::WSBACK_DataArrival()
{
    if (!active_)
        return;
    const QByteArray data = socket_.GetData();
    if (data.isEmpty())
        return; // the bytes were taken already; the close or error follows
    QByteArrayView rest = data;
    const quint64 generation = *generation_;
    while (active_ && *generation_ == generation) {
        const net::HttpResponseReader::Step step = reader_.next(rest);
        rest = rest.sliced(step.consumed);
        switch (step.event) {
        case Event::NeedMore:
            return;
        case Event::Head:
            if (!takeHead())
                return;
            break;
        case Event::Body:
            if (!writeBody(step.body))
                return;
            break;
        case Event::Done:
            if (total_ >= 0 ? received_ == total_ : received_ > 0)
                FinishFetchSlot(false);
            else
                FinishFetchSlot(true, QStringLiteral("the answer ended before the file was complete"));
            return;
        case Event::Error:
            FinishFetchSlot(true, reader_.errorText());
            return;
        }
    }
}

bool FetchSocket::takeHead()
{
    headerDone_ = true;
    partial_ = false;
    const net::HttpHead& head = reader_.head();
    const int status = head.status;
    if (status == 416 && resume_ && head.contentRange && head.contentRange->first < 0 &&
        head.contentRange->total == received_) {
        // The range asked starts at the end of the file: it was complete.
        total_ = received_;
        FinishFetchSlot(false);
        return false;
    }
    if (status == 206) {
        partial_ = true;
        if (!head.contentRange || head.contentRange->first != received_) {
            FinishFetchSlot(true, QStringLiteral("the part sent does not continue the file"));
            return false;
        }
        total_ = head.contentRange->total;
        if (total_ < 0 && head.contentLength)
            total_ = received_ + *head.contentLength;
    } else if (status == 200) {
        if (received_ > 0) {
            // The whole file again, not the part asked for: it replaces what was there.
            if (!file_.resize(0) || !file_.seek(0)) {
                FinishFetchSlot(true, file_.errorString());
                return false;
            }
            received_ = 0;
            if (events_.receivedChanged)
                events_.receivedChanged();
        }
        total_ = head.contentLength ? *head.contentLength : -1;
    } else {
        FinishFetchSlot(true, QStringLiteral("the server answered %1").arg(status));
        return false;
    }
    if (total_ > sizeCap_) {
        FinishFetchSlot(true, QStringLiteral("the file is larger than %1 bytes").arg(sizeCap_));
        return false;
    }
    if (total_ >= 0 && total_ == received_) {
        FinishFetchSlot(false);
        return false;
    }
    if (total_ >= 0 && events_.totalChanged)
        events_.totalChanged();
    if (total_ >= 0 && received_ > total_) {
        FinishFetchSlot(true, QStringLiteral("the file holds more than the server announced"));
        return false;
    }
    if (!file_.seek(file_.size())) {
        FinishFetchSlot(true, file_.errorString());
        return false;
    }
    return true;
}

bool FetchSocket::writeBody(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return true;
    if (received_ + bytes.size() > (total_ >= 0 ? total_ : sizeCap_)) {
        FinishFetchSlot(true, QStringLiteral("more bytes came than announced"));
        return false;
    }
    if (file_.write(bytes.constData(), bytes.size()) != bytes.size()) {
        FinishFetchSlot(true, file_.errorString());
        return false;
    }
    received_ += bytes.size();
    const quint64 generation = *generation_;
    if (events_.receivedChanged)
        events_.receivedChanged();
    return active_ && *generation_ == generation;
}

bool FetchSocket::takeWaitingBytes()
{
    // The close or error may come with the last bytes still waiting.
    if (active_ && socket_.BytesReceived() > 0)
        WSBACK_DataArrival();
    return active_;
}

void FetchSocket::WSBACK_Close()
{
    if (!takeWaitingBytes())
        return;
    const net::HttpResponseReader::Step step = reader_.finish();
    if (step.event == Event::Done && headerDone_ && (total_ >= 0 ? received_ == total_ : received_ > 0))
        FinishFetchSlot(false);
    else
        FinishFetchSlot(true, QStringLiteral("the server closed the connection before the file was complete"));
}

void FetchSocket::WSBACK_Error(int number, const QString& description)
{
    if (!takeWaitingBytes())
        return;
    FinishFetchSlot(true, QStringLiteral("%1 %2").arg(number).arg(description));
}

void FetchSocket::FinishFetchSlot(bool failed, const QString& why)
{
    if (!active_)
        return;
    Close();
    failure_ = why;
    if (failed && !partial_ && !tempPath_.isEmpty())
        QFile::remove(tempPath_);
    if (events_.finished)
        events_.finished(failed);
}
