#pragma once

// A file item: the file an address names, fetched over HTTP/1.1 (following
// redirects itself) into its partial file in the item's folder, continued
// from that partial file by a range request, and given its final name when
// complete. A server that keeps the item waiting is given up on: the answer's
// head must come within a minute, and the body must move at least 1 KiB a
// minute.

#include "core/proxysetting.h"
#include "core/urlcracker.h"
#include "dlmanager/partialfile.h"
#include "platform/net/filerequest.h"
#include "platform/net/httpresponse.h"
#include "platform/net/socketcontrol.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>
#include <vector>

struct RunState;

// A rate in decimal kilobytes per second with at most two decimals, in its
// shortest form: 12.5, 0.25, 1234.57.
QString TransferRateText(double kilobytesPerSecond);

class FileItem : public QObject {
public:
    static constexpr int kMaxRedirects = 10;
    static constexpr int kHeadTimeLimitMs = 60000;
    static constexpr int kSlowBodyWindowMs = 60000;
    static constexpr qint64 kSlowBodyMinBytes = 1024;

    explicit FileItem(RunState& run, QObject* parent = nullptr);
    ~FileItem() override;

    // Starts the run's current item. ended runs once, later, from the event
    // loop, with the run's JobState 5 or 6 and its StatusText set.
    void StartFileDownload(std::function<void()> ended);
    // Fetches into this local path instead of the item's folder and name;
    // into this folder, under the name the address or its answer gives,
    // when the path is a folder.
    void setTargetPath(const QString& localPath) { targetOverride_ = localPath; }
    // Cuts the transfer off; the partial file stays for a resume.
    void Abort();
    // The time the answer's head may take, and the least a body must move
    // in each window of time.
    void setTransferLimits(int headMs, int bodyWindowMs, qint64 bodyMinBytes);
    bool running() const { return running_; }

    platform::net::SocketControl& WSMain() { return socket_; }
    // The final path of the last completed item.
    const QString& finishedPath() const { return finishedPath_; }

private:
    void WSMain_Connect();
    void WSMain_DataArrival();
    void WSMain_Close();
    void WSMain_Error(int number, const QString& description);

    // Cracks the address, builds its request and connects; false when the
    // item ended.
    bool request(const QString& address);
    void connectNow();
    bool handleHead();
    bool followRedirect(const QByteArray& location);
    bool writeBody(QByteArrayView bytes);
    void updateProgress(bool laterChunk);
    bool restartFromZero();
    void stopTimers();
    void complete();
    void fail(const QString& statusText);
    void end(int16_t state);

    RunState& run_;
    platform::net::SocketControl socket_;
    platform::net::HttpResponseReader reader_;
    clsWinInet cracker_;
    std::function<void()> ended_;
    bool running_ = false;

    QString targetOverride_;
    QString finalPath_;
    // The address names no file: a name the answer gives is taken.
    bool nameFromAnswer_ = false;
    bool replaceTarget_ = false;
    QString answerName_;
    QString finishedPath_;
    PartialFile partial_;
    platform::net::FileRequest request_;
    QString address_; // the address being asked, after any redirect
    QSet<QString> visited_;
    int redirects_ = 0;
    QString connectHost_;
    quint16 connectPort_ = 0;
    bool secure_ = false;
    std::optional<platform::net::TunnelProxy> tunnel_;

    QTimer headTimer_;
    QTimer bodyTimer_;
    int headLimitMs_ = kHeadTimeLimitMs;
    int bodyWindowMs_ = kSlowBodyWindowMs;
    qint64 bodyMinBytes_ = kSlowBodyMinBytes;
    qint64 bodyBytesInWindow_ = 0;

    qint64 TotalBytes = 0;
    qint64 ReceivedBytes = 0;
    bool ResumeByRange = false;
    bool PartialAnswer = false;
    bool HeaderParsed = false;
    bool restarted_ = false;
    bool firstChunkWritten_ = false;
    bool progressStale_ = false; // bytes were written since the texts were made
    QElapsedTimer progressClock_;
    QElapsedTimer TransferStartTime;
    std::vector<char> buffer_;
};
