#include "platform/net/imagefetch.h"

#include "platform/base/proxybypass.h"
#include "platform/net/redirectrule.h"

#include <QDir>
#include <QFile>
#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <cerrno>
#include <optional>
#include <utility>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::net {

namespace {

// The hidden names of temporaries where a file system has no nameless files.
constexpr const char* kTemporaryPrefix = ".z5image-";

QString tooLarge(qint64 cap)
{
    return QStringLiteral("the image is larger than %1 bytes").arg(cap);
}

bool holdsLineBreak(QByteArrayView s)
{
    return s.contains('\r') || s.contains('\n') || s.contains('\0');
}

} // namespace

// The proxy of a fetch: the one set, unless the host is an exception.
class FetchProxyFactory : public QNetworkProxyFactory {
public:
    FetchProxyFactory(const QString& host, quint16 port, const QStringList& bypass)
        : proxy_(QNetworkProxy::HttpProxy, host, port), bypass_(bypass)
    {
    }
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override
    {
        if (platform::proxy::matchesBypass(bypass_, query.url().scheme().toLower(), query.peerHostName()))
            return {QNetworkProxy(QNetworkProxy::NoProxy)};
        return {proxy_};
    }

private:
    QNetworkProxy proxy_;
    QStringList bypass_;
};

ImageFetch::ImageFetch(QObject* parent) : QObject(parent)
{
    manager_.setProxy(QNetworkProxy(QNetworkProxy::NoProxy));
    // Each redirect is looked at before it is followed.
    manager_.setRedirectPolicy(QNetworkRequest::UserVerifiedRedirectPolicy);
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

void ImageFetch::setProxy(const QString& host, quint16 port, const QStringList& bypass)
{
    if (host.isEmpty() || port == 0) {
        manager_.setProxyFactory(nullptr);
        manager_.setProxy(QNetworkProxy(QNetworkProxy::NoProxy));
    } else {
        manager_.setProxyFactory(new FetchProxyFactory(host, port, bypass));
    }
}

void ImageFetch::start(const QString& address, const QString& folder, std::function<void(Result)> done)
{
    abort();
    done_ = std::move(done);
    writeError_.clear();
    const QUrl url(address);
    const QString scheme = url.scheme().toLower();
    const bool data = scheme == QLatin1String("data") && url.isValid();
    if (!data && (!url.isValid() || url.host().isEmpty() ||
                  (scheme != QLatin1String("http") && scheme != QLatin1String("https")))) {
        Result r;
        r.error = QStringLiteral("only http, https and data images are saved");
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
    if (!data && offline_) {
        Result r;
        r.error = QStringLiteral("working offline: nothing is fetched");
        QTimer::singleShot(0, this, [this, r] { finish(r); });
        return;
    }

    if (data) {
        decodeData(url);
        return;
    }

    QNetworkRequest request(url);
    if (!referer_.isEmpty() && !holdsLineBreak(referer_.toUtf8()))
        request.setRawHeader("Referer", QUrl(referer_).toEncoded());
    if (!cookies_.isEmpty() && !holdsLineBreak(cookies_))
        request.setRawHeader("Cookie", cookies_);
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)"));
    request.setRawHeader("Accept-Encoding", "identity");
    request.setMaximumRedirectsAllowed(5);
    QNetworkReply* reply = manager_.get(request);
    reply_ = reply;
    current_ = url;
    QObject::connect(reply, &QNetworkReply::redirected, this, [this, reply](const QUrl& next) {
        if (reply_ != reply)
            return;
        // Never from https down to http, and never from elsewhere to this machine.
        QString refusal = RedirectRefusal(current_, next);
        if (refusal.isEmpty() && current_.scheme().toLower() == QLatin1String("https") &&
            next.scheme().toLower() != QLatin1String("https"))
            refusal = QStringLiteral("redirected from https to %1: refused").arg(next.scheme());
        if (!refusal.isEmpty()) {
            Result r;
            r.error = refusal;
            finish(r);
            return;
        }
        current_ = next;
        Q_EMIT reply->redirectAllowed();
    });
    reply->setReadBufferSize(256 * 1024);
    QObject::connect(reply, &QNetworkReply::readyRead, this, [this, reply] {
        while (reply_ == reply && reply->bytesAvailable() > 0) {
            const QByteArray bytes = reply->read(256 * 1024);
            written_ += bytes.size();
            if (written_ > sizeCap_) {
                Result r;
                r.error = tooLarge(sizeCap_);
                finish(r);
                return;
            }
            if (!writeAll(bytes.constData(), bytes.size())) {
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
            if (written_ + rest.size() > sizeCap_)
                r.error = tooLarge(sizeCap_);
            else if (!writeAll(rest.constData(), rest.size()))
                r.error = writeError_;
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

bool ImageFetch::writeAll(const char* p, qsizetype left)
{
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            writeError_ = QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

void ImageFetch::decodeData(const QUrl& url)
{
    // data:[<type>][;base64],<bytes>
    const QByteArray whole = url.toEncoded(QUrl::RemoveScheme);
    const qsizetype comma = whole.indexOf(',');
    Result r;
    if (comma < 0) {
        r.error = QStringLiteral("the data address holds no comma");
    } else {
        const QByteArray meta = whole.left(comma);
        // Percent-encoded or base64 text is never smaller than what it decodes to.
        const QByteArray text = QByteArray::fromPercentEncoding(whole.mid(comma + 1));
        std::optional<QByteArray> bytes = text;
        if (meta.toLower().endsWith(";base64")) {
            auto decoded = QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
            bytes = decoded ? std::optional<QByteArray>(*decoded) : std::nullopt;
        }
        if (!bytes) {
            r.error = QStringLiteral("the data address is no base64 text");
        } else if (bytes->size() > sizeCap_) {
            r.error = tooLarge(sizeCap_);
        } else if (!writeAll(bytes->constData(), bytes->size())) {
            r.error = writeError_;
        } else {
            r.ok = true;
            const qsizetype semi = meta.indexOf(';');
            r.contentType = QString::fromLatin1(semi < 0 ? meta : meta.left(semi)).left(200);
            r.fd = fd_;
            r.tempPath = tempPath_;
        }
    }
    // Handed over later, as a fetch over the network is.
    QTimer::singleShot(0, this, [this, r] { finish(r); });
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

} // namespace platform::net
