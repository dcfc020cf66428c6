#pragma once

// One image of a page fetched over HTTP or HTTPS into a temporary file of
// the target folder, within a time limit and a size cap. The file has no
// name until the caller gives it one, so a fetch cut off by a kill leaves
// nothing behind; where the folder's file system cannot make a file without
// a name, it is a hidden named file that a later fetch into the folder
// removes once nobody holds it. A data: address is decoded here, without
// the network, under the same size cap.

#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <functional>

class QNetworkReply;

namespace platform::net {

class ImageFetch : public QObject {
public:
    static constexpr qint64 kMaxImageBytes = 64 * 1024 * 1024;

    struct Result {
        bool ok = false;
        QString error;       // why it failed
        int fd = -1;         // the fetched bytes (ok only); the caller closes it
        QString tempPath;    // the file's name, empty while it has none
        QString contentType; // the answer's type
    };

    explicit ImageFetch(QObject* parent = nullptr);
    ~ImageFetch() override;

    // The proxy of later fetches (none for an empty host), and the hosts
    // that go around it (the exceptions of platform/base/proxybypass.h).
    void setProxy(const QString& host, quint16 port, const QStringList& bypass = {});
    // While offline nothing goes out: a fetch of the network fails at once.
    void setOffline(bool offline) { offline_ = offline; }
    void setTimeLimit(int ms) { timeLimitMs_ = ms; }
    // The most bytes one image may have (at most kMaxImageBytes).
    void setSizeCap(qint64 bytes) { sizeCap_ = std::clamp<qint64>(bytes, 0, kMaxImageBytes); }
    // Sent with every later fetch: the page the image is on, and the
    // cookies the caller holds for the image's address ("a=1; b=2"). A
    // value holding a line break is not sent.
    void setReferer(const QString& referer) { referer_ = referer; }
    void setCookieHeader(const QByteArray& cookies) { cookies_ = cookies; }

    // Fetches address into a new file of folder; done runs once, later,
    // unless abort() comes first. Only http, https and data addresses are
    // fetched.
    void start(const QString& address, const QString& folder, std::function<void(Result)> done);
    // Cuts the fetch off and removes its file.
    void abort();
    // Removes the named temporaries that fetches cut off left in folder.
    static void RemoveStaleTemporaries(const QString& folder);

private:
    void finish(Result result);
    void cleanUp();
    // Writes bytes to the file; false with the reason in writeError_.
    bool writeAll(const char* p, qsizetype left);
    void decodeData(const QUrl& url);

    QNetworkAccessManager manager_;
    QNetworkReply* reply_ = nullptr;
    QUrl current_; // the address the reply asks now, after any redirect
    bool offline_ = false;
    QTimer limit_;
    int timeLimitMs_ = 60000;
    qint64 sizeCap_ = kMaxImageBytes;
    QString referer_;
    QByteArray cookies_;
    int fd_ = -1;
    qint64 written_ = 0;
    QString tempPath_;
    QString writeError_;
    std::function<void(Result)> done_;
};

} // namespace platform::net
