#include "dlmanager/imagefetch.h"

#include <QDir>
#include <QFile>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <cerrno>
#include <utility>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The hidden names of temporaries where a file system has no nameless files.
constexpr const char* kTemporaryPrefix = ".z5image-";

} // namespace

ImageFetch::ImageFetch(QObject* parent) : QObject(parent)
{
    manager_.setProxy(QNetworkProxy(QNetworkProxy::NoProxy));
    manager_.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    limit_.setSingleShot(true);
    QObject::connect(&limit_, &QTimer::timeout, this, [this] {
        Result r;
        r.error = QStringLiteral("the image did not arrive within %1 s").arg(timeLimitMs_ / 1000);
        finish(r);
    });
}

ImageFetch::~ImageFetch()
{
    abort();
}

void ImageFetch::setProxy(const QString& host, quint16 port)
{
    if (host.isEmpty() || port == 0)
        manager_.setProxy(QNetworkProxy(QNetworkProxy::NoProxy));
    else
        manager_.setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, host, port));
}

void ImageFetch::start(const QString& address, const QString& folder, std::function<void(Result)> done)
{
    abort();
    done_ = std::move(done);
    writeError_.clear();
    const QUrl url(address);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        Result r;
        r.error = QStringLiteral("only http and https images are saved");
        QTimer::singleShot(0, this, [this, r] { finish(r); });
        return;
    }
    written_ = 0;
    fd_ = ::open(QFile::encodeName(folder).constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0644);
    if (fd_ < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        // No nameless files here: a hidden name, locked while it is ours.
        QByteArray pattern = QFile::encodeName(folder + QStringLiteral("/") + QLatin1String(kTemporaryPrefix) +
                                               QStringLiteral("XXXXXX"));
        fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (fd_ >= 0) {
            ::flock(fd_, LOCK_EX | LOCK_NB);
            ::fchmod(fd_, 0644);
            tempPath_ = QFile::decodeName(pattern);
        }
    }
    if (fd_ < 0) {
        Result r;
        r.error = QString::fromLocal8Bit(std::strerror(errno));
        QTimer::singleShot(0, this, [this, r] { finish(r); });
        return;
    }

    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)"));
    request.setRawHeader("Accept-Encoding", "identity");
    request.setMaximumRedirectsAllowed(5);
    QNetworkReply* reply = manager_.get(request);
    reply_ = reply;
    reply->setReadBufferSize(256 * 1024);
    QObject::connect(reply, &QNetworkReply::readyRead, this, [this, reply] {
        while (reply_ == reply && reply->bytesAvailable() > 0) {
            const QByteArray bytes = reply->read(256 * 1024);
            written_ += bytes.size();
            if (written_ > kMaxImageBytes) {
                Result r;
                r.error = QStringLiteral("the image is larger than %1 MiB").arg(kMaxImageBytes / (1024 * 1024));
                finish(r);
                return;
            }
            const char* p = bytes.constData();
            qsizetype left = bytes.size();
            while (left > 0 && writeError_.isEmpty()) {
                const ssize_t n = ::write(fd_, p, static_cast<size_t>(left));
                if (n < 0 && errno == EINTR)
                    continue;
                if (n < 0) {
                    writeError_ = QString::fromLocal8Bit(std::strerror(errno));
                    break;
                }
                p += n;
                left -= n;
            }
            if (!writeError_.isEmpty()) {
                Result r;
                r.error = writeError_;
                finish(r);
                return;
            }
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, this, [this, reply] {
        if (reply_ != reply)
            return;
        Result r;
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (reply->error() != QNetworkReply::NoError) {
            r.error = status ? QStringLiteral("%1 - %2").arg(status).arg(
                                   reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString().left(200))
                             : reply->errorString().left(200);
        } else if (status < 200 || status > 299) {
            r.error = QString::number(status);
        } else {
            const QByteArray rest = reply->readAll();
            if (written_ + rest.size() > kMaxImageBytes)
                r.error = QStringLiteral("the image is larger than %1 MiB").arg(kMaxImageBytes / (1024 * 1024));
            else if (!rest.isEmpty() && ::write(fd_, rest.constData(), static_cast<size_t>(rest.size())) != rest.size())
                r.error = QString::fromLocal8Bit(std::strerror(errno));
            else {
                r.ok = true;
                r.contentType = reply->header(QNetworkRequest::ContentTypeHeader).toString().left(200);
                r.fd = fd_;
                r.tempPath = tempPath_;
            }
        }
        finish(r);
    });
    limit_.start(timeLimitMs_);
}

void ImageFetch::finish(Result result)
{
    if (!done_)
        return;
    if (result.ok) {
        fd_ = -1; // the caller's now
        tempPath_.clear();
    }
    auto done = std::move(done_);
    done_ = nullptr;
    cleanUp();
    done(std::move(result));
}

void ImageFetch::abort()
{
    done_ = nullptr;
    cleanUp();
}

void ImageFetch::cleanUp()
{
    limit_.stop();
    if (QNetworkReply* reply = std::exchange(reply_, nullptr)) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!tempPath_.isEmpty())
        ::unlink(QFile::encodeName(tempPath_).constData());
    tempPath_.clear();
}

void ImageFetch::RemoveStaleTemporaries(const QString& folder)
{
    QDir dir(folder);
    dir.setFilter(QDir::Files | QDir::Hidden | QDir::System);
    dir.setNameFilters({QLatin1String(kTemporaryPrefix) + QLatin1Char('*')});
    for (const QString& name : dir.entryList()) {
        const QByteArray path = QFile::encodeName(dir.filePath(name));
        // Only a plain file of the user's that no live fetch holds.
        const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat opened {}, named {};
        if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(path.constData(), &named) == 0 &&
            named.st_dev == opened.st_dev && named.st_ino == opened.st_ino)
            ::unlink(path.constData());
        ::close(fd);
    }
}
