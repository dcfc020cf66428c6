#pragma once

// The socket of one fetch slot (WSBACK(i)): gets one file over HTTP into
// the slot's temporary file, continuing what the file already holds with a
// range request. The request is the programs' one file request, the answer
// goes through the one answer reader, so no byte of the head reaches the
// file.
//
// A file is in only when its size was announced and that many bytes came,
// or, after a 200 that announced none, when the server closed the
// connection cleanly after at least one byte. A 200 answering a range
// request starts the file again from its first byte; a 416 whose range
// says the file is complete is a file already in. Every other answer,
// a server that stays silent past the time limits, more bytes than
// announced or a file larger than the cap end in failure. The temporary
// file is deleted on failure unless the answer was a 206 (kept for a later
// resume).
//
// Events come from the event loop, never from inside a call of the owner;
// after Close() or a new ConnectFetchSocket() nothing of the earlier
// connection reaches the owner.

#include "core/proxysetting.h"
#include "platform/net/httpresponse.h"
#include "platform/net/socketcontrol.h"

#include <QFile>
#include <QString>

#include <functional>
#include <memory>

struct FetchSocketTarget {
    QString host;
    quint16 port = 80;
    bool defaultPort = true;
    bool secure = false;         // https
    QString pathAndQuery;
    QString absoluteAddress;     // the whole address, asked of a proxy
    QString referer;             // the page the item was found on
};

class FetchSocket {
public:
    static constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;
    static constexpr int kConnectTimeoutMs = 20000;
    static constexpr int kIdleTimeoutMs = 30000;

    struct Events {
        std::function<void()> totalChanged;    // total() is known (SetFetchProgressMax)
        std::function<void()> receivedChanged; // received() grew (UpdateFetchProgress)
        // The slot's fetch ended (FinishFetchSlot): the socket and the file
        // are closed, a failed file deleted unless partial().
        std::function<void(bool failed)> finished;
    };

    FetchSocket();
    ~FetchSocket();
    FetchSocket(const FetchSocket&) = delete;
    FetchSocket& operator=(const FetchSocket&) = delete;

    Events& events() { return events_; }

    // Opens tempPath (created when missing, kept when present) and connects
    // to the target's host, or to the proxy when it is enabled. A failure
    // here is reported through finished(true), later.
    void ConnectFetchSocket(const FetchSocketTarget& target, const QString& tempPath, const ProxySetting& proxy);
    // Closes the connection and the file; nothing is reported after it.
    void Close();

    qint64 total() const { return total_; }       // FetchTotal, -1 while unknown
    qint64 received() const { return received_; } // FetchReceived
    bool partial() const { return partial_; }     // FetchPartial: the answer was 206
    bool resume() const { return resume_; }       // FetchResume
    bool headerDone() const { return headerDone_; } // FetchHeaderDone
    const QString& tempPath() const { return tempPath_; }
    // Why the last fetch failed (for the log).
    const QString& failure() const { return failure_; }
    bool active() const { return active_; }

    void setTimeouts(int connectMs, int idleMs);
    void setSizeCap(qint64 bytes) { sizeCap_ = bytes; }

private:
    void WSBACK_Connect();
    void WSBACK_DataArrival();
    void WSBACK_Close();
    void WSBACK_Error(int number, const QString& description);

    // Acts on the answer's head; false when the fetch ended.
    bool takeHead();
    bool writeBody(QByteArrayView bytes);
    // Reads what is still waiting; false when the fetch ended (or was not running).
    bool takeWaitingBytes();
    void FinishFetchSlot(bool failed, const QString& why = QString());
    void failLater(const QString& why);

    platform::net::SocketControl socket_;
    platform::net::HttpResponseReader reader_;
    QFile file_;
    Events events_;
    FetchSocketTarget target_;
    bool viaProxy_ = false;
    QString tempPath_;
    QString failure_;
    // Counts up at every connect and close: a queued report of an earlier
    // connection carries an older number and is dropped.
    std::shared_ptr<quint64> generation_ = std::make_shared<quint64>(0);
    bool active_ = false;
    qint64 total_ = -1;
    qint64 received_ = 0;
    bool partial_ = false;
    bool resume_ = false;
    bool headerDone_ = false;
    qint64 sizeCap_ = kMaxFileBytes;
};
