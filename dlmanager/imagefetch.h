#pragma once

// One image of a page fetched over HTTP or HTTPS into a private temporary
// file of the target folder, within a time limit. The caller gives the file
// its name.

#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class QNetworkReply;

class ImageFetch : public QObject {
public:
    struct Result {
        bool ok = false;
        QString error;       // why it failed
        QString tempPath;    // the fetched bytes (ok only)
        QString contentType; // the answer's type
    };

    explicit ImageFetch(QObject* parent = nullptr);
    ~ImageFetch() override;

    void setProxy(const QString& host, quint16 port);
    void setTimeLimit(int ms) { timeLimitMs_ = ms; }

    // Fetches address into a new file of folder; done runs once, later,
    // unless abort() comes first. Only http and https addresses are fetched.
    void start(const QString& address, const QString& folder, std::function<void(Result)> done);
    // Cuts the fetch off and removes its file.
    void abort();

private:
    void finish(Result result);
    void cleanUp();

    QNetworkAccessManager manager_;
    QNetworkReply* reply_ = nullptr;
    QTimer limit_;
    int timeLimitMs_ = 60000;
    int fd_ = -1;
    QString tempPath_;
    QString writeError_;
    std::function<void(Result)> done_;
};
