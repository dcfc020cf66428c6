#include "dlmanager/fileitem.h"

#include "core/downloadlists.h"
#include "core/settingsstore.h"
#include "dlmanager/downloadname.h"
#include "dlmanager/downloadhelpers.h"
#include "dlmanager/freename.h"
#include "dlmanager/runstate.h"
#include "dlmanager/statuspages.h"
#include "platform/base/paths.h"
#include "platform/base/urlcrack.h"
#include "platform/base/vbrt.h"
#include "platform/net/redirectrule.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace net = platform::net;

namespace {

constexpr qsizetype kReadChunk = 128 * 1024;
// The most one data event takes before the event loop runs again (the run's
// timers and the stop request are seen between events).
constexpr qint64 kEventBytes = 1024 * 1024;
// The progress texts are for the status page, which is written every tick:
// a fast transfer renews them at most this often, and once more at its end.
constexpr qint64 kProgressEveryMs = 50;

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

QString TransferRateText(double kilobytesPerSecond)
{
    // "####.00" read back as a number and written in its shortest form.
    QString t = vb::format(kilobytesPerSecond, QStringLiteral("####.00"));
    if (t.contains(QLatin1Char('.'))) {
        while (t.endsWith(QLatin1Char('0')))
            t.chop(1);
        if (t.endsWith(QLatin1Char('.')))
            t.chop(1);
    }
    if (t.isEmpty() || t.startsWith(QLatin1Char('.')))
        t.prepend(QLatin1Char('0'));
    return t;
}

FileItem::FileItem(RunState& run, QObject* parent) : QObject(parent), run_(run)
{
    buffer_.resize(kReadChunk);
    socket_.setReadBufferSize(kEventBytes);
    // Every data event takes all there is, up to kEventBytes, so a plain
    // connection is read straight into buffer_.
    socket_.setDirectRead(true);
    socket_.onConnect = [this] { WSMain_Connect(); };
    socket_.onDataArrival = [this](qint64) { WSMain_DataArrival(); };
    socket_.onClose = [this] { WSMain_Close(); };
    socket_.onError = [this](int number, const QString& description) { WSMain_Error(number, description); };
    headTimer_.setSingleShot(true);
    QObject::connect(&headTimer_, &QTimer::timeout, this, [this] {
        fail(ExternalText("9970", "Error:") +
             QStringLiteral(" the server sent no answer within %1 s").arg(headLimitMs_ / 1000.0));
    });
    QObject::connect(&bodyTimer_, &QTimer::timeout, this, [this] {
        if (bodyBytesInWindow_ < bodyMinBytes_) {
            fail(ExternalText("9970", "Error:") + QStringLiteral(" the server sent less than %1 bytes in %2 s")
                                                      .arg(bodyMinBytes_)
                                                      .arg(bodyWindowMs_ / 1000.0));
            return;
        }
        bodyBytesInWindow_ = 0;
    });
}

FileItem::~FileItem()
{
    socket_.Close();
}

void FileItem::setTransferLimits(int headMs, int bodyWindowMs, qint64 bodyMinBytes)
{
    headLimitMs_ = headMs;
    bodyWindowMs_ = bodyWindowMs;
    bodyMinBytes_ = bodyMinBytes;
}

void FileItem::StartFileDownload(std::function<void()> ended)
{
    ended_ = std::move(ended);
    running_ = true;
    restarted_ = false;
    redirects_ = 0;
    visited_.clear();
    PartialAnswer = false;
    run_.StatusText.clear();
    socket_.Close();
    stopTimers();
    partial_.close();

    const QString errorWord = ExternalText("9970", "Error:") + QLatin1Char(' ');
    if (net::HoldsLineBreakOrNul(run_.ItemURL) || net::HoldsLineBreakOrNul(run_.ItemReferer)) {
        fail(errorWord + QStringLiteral("the address holds a line break"));
        return;
    }
    const auto scheme = cracker_.CrackUrl(run_.ItemURL) ? static_cast<platform::wininet::UrlScheme>(cracker_.Scheme())
                                                        : platform::wininet::UrlScheme::Unknown;
    if (scheme != platform::wininet::UrlScheme::Http && scheme != platform::wininet::UrlScheme::Https) {
        fail(errorWord + QStringLiteral("only http and https addresses are fetched"));
        return;
    }
    // An address whose path names no file ("/play?id=5") is saved under the
    // name its answer gives, else its last segment, else a default name.
    nameFromAnswer_ = cracker_.URLFileName().isEmpty();
    answerName_.clear();

    replaceTarget_ = run_.OverwriteExisting;
    if (!targetOverride_.isEmpty() && !QFileInfo(targetOverride_).isDir()) {
        // A whole target path is the caller's: it is replaced, its name
        // only shortened to what the file system takes.
        const QFileInfo target(targetOverride_);
        finalPath_ = target.path() + QLatin1Char('/') + ShortenFileName(target.fileName());
        nameFromAnswer_ = false;
        replaceTarget_ = true;
    } else {
        const bool single = !targetOverride_.isEmpty();
        const QString prefix = run_.AddPathToName && !single ? AddressPathPrefix(run_.ItemURL) : QString();
        QString name = prefix + AddressFileName(run_.ItemURL);
        name.replace(QLatin1String("%20"), QLatin1String(" "), Qt::CaseInsensitive);
        const QString folder = single ? targetOverride_ : platform::paths::toLocal(run_.ItemFolder);
        if (vb::trim(folder).isEmpty()) {
            fail(errorWord + QStringLiteral("the item has no target folder"));
            return;
        }
        if (name.contains(QLatin1Char('/')) || name == QLatin1String(".") || name == QLatin1String("..")) {
            fail(errorWord + QStringLiteral("the address names no file"));
            return;
        }
        finalPath_ = folder + QLatin1Char('/') + ShortenFileName(name);
    }
    QString why;
    const QByteArray listTag = run_.ListName.isEmpty() ? QByteArray() : DownloadListPartialTag(run_.AppPath, run_.ListName);
    if (!partial_.open(finalPath_, PartialOwnerTag(run_, finalPath_), &why, listTag)) {
        fail(errorWord + why);
        return;
    }
    request(run_.ItemURL);
}

bool FileItem::request(const QString& address)
{
    const QString errorWord = ExternalText("9970", "Error:") + QLatin1Char(' ');
    if (net::HoldsLineBreakOrNul(address)) {
        fail(errorWord + QStringLiteral("the address holds a line break"));
        return false;
    }
    const auto scheme = cracker_.CrackUrl(address) ? static_cast<platform::wininet::UrlScheme>(cracker_.Scheme())
                                                   : platform::wininet::UrlScheme::Unknown;
    const bool https = scheme == platform::wininet::UrlScheme::Https;
    if ((scheme != platform::wininet::UrlScheme::Http && !https) || cracker_.HostName().isEmpty()) {
        fail(errorWord + QStringLiteral("only http and https addresses are fetched"));
        return false;
    }
    address_ = address;
    visited_.insert(QUrl(address).toString(QUrl::FullyEncoded));

    request_ = net::FileRequest();
    request_.host = cracker_.HostName();
    request_.port = static_cast<quint16>(cracker_.Port());
    request_.defaultPort = cracker_.Port() == (https ? 443 : 80);
    QString query = cracker_.ExtraInfo();
    const qsizetype hash = query.indexOf(QLatin1Char('#'));
    if (hash >= 0)
        query.truncate(hash);
    request_.pathAndQuery = (cracker_.URLPath().isEmpty() ? QStringLiteral("/") : cracker_.URLPath()) + query;
    request_.absoluteAddress = (https ? QStringLiteral("https://") : QStringLiteral("http://")) + request_.host +
                               (request_.defaultPort ? QString() : QStringLiteral(":%1").arg(request_.port)) +
                               request_.pathAndQuery;
    request_.referer = run_.ItemReferer;

    // Through a proxy, http asks the proxy for the whole address; https goes
    // through a tunnel, with TLS and its certificate checks end to end.
    const ProxySetting proxy = ReadProxySetting();
    if (proxy.offline) {
        fail(errorWord + WorkingOfflineText());
        return false;
    }
    const bool useProxy = proxy.usedFor(https ? QStringLiteral("https") : QStringLiteral("http"), request_.host);
    request_.viaProxy = useProxy && !https;
    secure_ = https;
    tunnel_.reset();
    connectHost_ = request_.host;
    connectPort_ = request_.port;
    if (useProxy) {
        if (https) {
            tunnel_ = platform::net::TunnelProxy{proxy.host, proxy.port};
        } else {
            connectHost_ = proxy.host;
            connectPort_ = proxy.port;
        }
    }
    if (connectHost_.isEmpty() || connectPort_ == 0 || (tunnel_ && (tunnel_->host.isEmpty() || tunnel_->port == 0))) {
        fail(ExternalText("9964", "Failed to connect") + QStringLiteral(" - ") + cracker_.URLFileName());
        return false;
    }
    run_.JobState = JobConnecting;
    run_.StatusText = ExternalText("9962", "Connecting to") + QStringLiteral(": ") + request_.host;
    connectNow();
    return true;
}

void FileItem::connectNow()
{
    stopTimers();
    socket_.Connect(connectHost_, connectPort_, secure_, tunnel_);
}

void FileItem::stopTimers()
{
    headTimer_.stop();
    bodyTimer_.stop();
}

void FileItem::WSMain_Connect()
{
    run_.StatusText = ExternalText("9963", "Connected, requesting") + QLatin1Char(' ') + cracker_.URLFileName();
    HeaderParsed = false;
    ResumeByRange = false;
    TotalBytes = 0;
    firstChunkWritten_ = false;
    progressStale_ = false;
    TransferStartTime.invalidate();
    reader_ = net::HttpResponseReader();
    ReceivedBytes = partial_.size();
    request_.rangeFrom = ReceivedBytes;
    request_.validator.clear();
    if (ReceivedBytes > 0) {
        ResumeByRange = true;
        run_.JobState = JobResuming;
        run_.StatusText = ExternalText("9965", "Resuming...") + QLatin1Char(' ') + cracker_.URLFileName() +
                          QStringLiteral(" - Size: ") + QString::number(ReceivedBytes);
        request_.validator = partial_.validator();
    }
    const QByteArray bytes = net::BuildFileRequest(request_);
    if (bytes.isEmpty() || !socket_.SendData(bytes)) {
        fail(ExternalText("9964", "Failed to connect") + QStringLiteral(" - ") + cracker_.URLFileName());
        return;
    }
    headTimer_.start(headLimitMs_);
}

void FileItem::WSMain_DataArrival()
{
    if (!running_)
        return;
    run_.JobState = JobTransferring;
    bool wrote = false;
    qint64 taken = 0;
    while (running_ && taken < kEventBytes) {
        const qint64 got = socket_.GetData(buffer_.data(), static_cast<qint64>(buffer_.size()));
        if (got <= 0)
            break;
        taken += got;
        if (!TransferStartTime.isValid())
            TransferStartTime.start();
        QByteArrayView bytes(buffer_.data(), static_cast<qsizetype>(got));
        while (running_) {
            const net::HttpResponseReader::Step step = reader_.next(bytes);
            bytes = bytes.sliced(step.consumed);
            if (step.event == net::HttpResponseReader::Event::NeedMore)
                break;
            if (step.event == net::HttpResponseReader::Event::Error) {
                fail(ExternalText("9970", "Error:") + QLatin1Char(' ') + reader_.errorText());
                return;
            }
            if (step.event == net::HttpResponseReader::Event::Head) {
                HeaderParsed = true;
                headTimer_.stop();
                if (!handleHead())
                    return; // ended, or asked again
                bodyBytesInWindow_ = 0;
                bodyTimer_.start(bodyWindowMs_);
                continue;
            }
            if (step.event == net::HttpResponseReader::Event::Body) {
                if (!step.body.isEmpty()) {
                    if (!writeBody(step.body))
                        return;
                    wrote = true;
                }
                continue;
            }
            // Done: bytes after the end are not ours to keep.
            if (wrote)
                updateProgress(firstChunkWritten_);
            complete();
            return;
        }
    }
    if (wrote && running_) {
        progressStale_ = true;
        if (!firstChunkWritten_ || progressClock_.hasExpired(kProgressEveryMs))
            updateProgress(firstChunkWritten_);
        firstChunkWritten_ = true;
    }
}

bool FileItem::handleHead()
{
    const net::HttpHead& head = reader_.head();
    const int code = head.status;
    const auto text = [&](const char* key, const char* english) -> QString {
        return QString::number(code) + QStringLiteral(" - ") + ExternalText(key, english);
    };
    const QString errorWord = ExternalText("9970", "Error:") + QLatin1Char(' ');
    switch (code) {
    case 203: fail(text("9980", "Non-Authoritative Information")); return false;
    case 204: fail(text("9981", "No Content")); return false;
    case 205: fail(text("9982", "Reset Content")); return false;
    case 301:
    case 302:
    case 303:
    case 307:
    case 308:
        if (const auto location = head.field("Location"))
            return followRedirect(*location);
        break;
    default: break;
    }
    if (code == 416) {
        // Everything is here already when the server's total is what we hold.
        if (head.contentRange && head.contentRange->total >= 0 && head.contentRange->total == ReceivedBytes &&
            ReceivedBytes > 0) {
            TotalBytes = ReceivedBytes;
            complete();
            return false;
        }
        if (restartFromZero())
            return false;
        fail(text("9984", "Bad server responds"));
        return false;
    }
    if (code != 200 && code != 206) {
        // Every other answer is refused: its body is not the file.
        if (code >= 300 && code < 400)
            fail(text("9983", "Partial Content - File not found"));
        else if (code >= 400 && code < 500)
            fail(text("9984", "Bad server responds"));
        else if (code >= 500 && code < 600)
            fail(text("9985", "Server errors"));
        else
            fail(QString::number(code) + QStringLiteral(" - ") + QString::fromLatin1(head.reason.left(200)));
        return false;
    }
    const int fd = partial_.fd();
    if (code == 206) {
        PartialAnswer = true;
        const auto& range = head.contentRange;
        if (!ResumeByRange || !range || range->first != ReceivedBytes) {
            // Not the continuation of what we hold: start the file again.
            if (restartFromZero())
                return false;
            fail(errorWord + QStringLiteral("the server answered another range"));
            return false;
        }
        TotalBytes = range->total >= 0 ? range->total : range->last + 1;
    } else {
        // A whole answer: the file starts again from its first byte.
        if (ReceivedBytes > 0) {
            if (::ftruncate(fd, 0) != 0) {
                fail(errorWord + errnoText(errno));
                return false;
            }
            ReceivedBytes = 0;
        }
        // The reader alone tells the body's length (none for a chunked body).
        TotalBytes = std::max<qint64>(reader_.expectedBodyBytes(), 0);
    }
    if (nameFromAnswer_) {
        if (const auto disposition = head.field("Content-Disposition"))
            answerName_ = AnswerFileName(*disposition);
    }
    if (!ResumeByRange || code == 200) {
        const auto validator = head.field("ETag");
        partial_.setValidator(validator ? *validator : head.field("Last-Modified").value_or(QByteArray()));
    }
    if (::lseek(fd, ReceivedBytes, SEEK_SET) < 0) {
        fail(errorWord + errnoText(errno));
        return false;
    }
    if (reader_.expectedBodyBytes() >= 0 && TotalBytes > 0 &&
        ReceivedBytes + reader_.expectedBodyBytes() != TotalBytes) {
        fail(errorWord + QStringLiteral("the answer's length does not match the file's size"));
        return false;
    }
    if (reader_.expectedBodyBytes() == 0 && (TotalBytes == 0 || ReceivedBytes == TotalBytes)) {
        complete();
        return false;
    }
    return true;
}

bool FileItem::followRedirect(const QByteArray& location)
{
    const QString errorWord = ExternalText("9970", "Error:") + QLatin1Char(' ');
    const QUrl next = QUrl(address_).resolved(QUrl(QString::fromUtf8(location)));
    const QString scheme = next.scheme().toLower();
    if (!next.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        fail(errorWord + QStringLiteral("redirected to an address that is not http or https"));
        return false;
    }
    if (const QString refusal = net::RedirectRefusal(QUrl(address_), next); !refusal.isEmpty()) {
        run_.ItemRefused = true;
        fail(errorWord + refusal);
        return false;
    }
    const QString address = next.toString(QUrl::FullyEncoded);
    if (visited_.contains(address)) {
        fail(errorWord + QStringLiteral("the redirects go round in a loop"));
        return false;
    }
    if (++redirects_ > kMaxRedirects) {
        fail(errorWord + QStringLiteral("more than %1 redirects").arg(kMaxRedirects));
        return false;
    }
    socket_.Close();
    // The next answer is taken as a first one, on a connection of its own.
    request(address);
    return false;
}

bool FileItem::restartFromZero()
{
    if (restarted_)
        return false;
    restarted_ = true;
    if (::ftruncate(partial_.fd(), 0) != 0)
        return false;
    partial_.setValidator({});
    socket_.Close();
    // The new connection's connect event reads the emptied file.
    connectNow();
    return true;
}

bool FileItem::writeBody(QByteArrayView bytes)
{
    if (TotalBytes > 0 && ReceivedBytes + bytes.size() > TotalBytes) {
        fail(ExternalText("9970", "Error:") + QStringLiteral(" more data than the announced size"));
        return false;
    }
    const char* p = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(partial_.fd(), p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(ExternalText("9970", "Error:") + QLatin1Char(' ') + errnoText(errno));
            return false;
        }
        p += n;
        left -= n;
    }
    ReceivedBytes += bytes.size();
    bodyBytesInWindow_ += bytes.size();
    return true;
}

void FileItem::updateProgress(bool laterChunk)
{
    progressStale_ = false;
    progressClock_.start();
    const double elapsed = TransferStartTime.isValid() ? TransferStartTime.nsecsElapsed() / 1e9 : 0;
    if (elapsed > 0) {
        // A size the server never told is said to be unknown, not 0 bytes.
        const QString total = TotalBytes > 0 ? FormatByteSize(TotalBytes) : ExternalText("9986", "an unknown size");
        run_.ProgressText = FormatByteSize(ReceivedBytes) + QStringLiteral(" of ") + total;
        if (laterChunk)
            run_.ProgressText += QStringLiteral(" copied");
    }
    if (elapsed > 1)
        run_.RateText = TransferRateText(ReceivedBytes / elapsed / 1000) + (laterChunk ? QStringLiteral(" KB/Sec") : QStringLiteral(" KB/s"));
}

void FileItem::WSMain_Close()
{
    if (!running_)
        return;
    WSMain_DataArrival(); // whatever is still unread
    if (!running_)
        return;
    // Only this orderly close ends a body that runs to the close.
    const net::HttpResponseReader::Step step = reader_.finish();
    if (step.event == net::HttpResponseReader::Event::Done)
        complete();
    else
        fail(ExternalText("9970", "Error:") + QLatin1Char(' ') + reader_.errorText());
}

void FileItem::WSMain_Error(int number, const QString& description)
{
    if (!running_)
        return;
    // What came before a reset is kept (and may even be the whole answer);
    // a reset never ends a body that runs to the close.
    if (number == net::kSocketErrorConnectionReset)
        WSMain_DataArrival();
    if (!running_)
        return;
    fail(ExternalText("9970", "Error:") + QLatin1Char(' ') + description);
}

void FileItem::complete()
{
    socket_.Close();
    stopTimers();
    if (progressStale_)
        updateProgress(true);
    if (TotalBytes > 0 && ReceivedBytes != TotalBytes) {
        fail(ExternalText("9970", "Error:") + QStringLiteral(" the file is incomplete"));
        return;
    }
    if (!answerName_.isEmpty())
        finalPath_ = QFileInfo(finalPath_).path() + QLatin1Char('/') + ShortenFileName(answerName_);
    const QString target = partial_.finish(finalPath_, replaceTarget_);
    if (target.isEmpty()) {
        fail(ExternalText("9970", "Error:") + QLatin1Char(' ') + errnoText(errno));
        return;
    }
    finishedPath_ = target;
    end(JobDone);
}

void FileItem::fail(const QString& statusText)
{
    socket_.Close();
    stopTimers();
    // An empty partial made by this item goes again; any byte received stays
    // for a later resume.
    partial_.close();
    run_.StatusText = statusText;
    end(JobFailed);
}

void FileItem::end(int16_t state)
{
    if (!running_)
        return;
    running_ = false;
    run_.JobState = state;
    // The run goes on from the event loop, not from inside this item's events.
    std::function<void()> ended = std::move(ended_);
    ended_ = nullptr;
    if (ended)
        QTimer::singleShot(0, this, std::move(ended));
}

void FileItem::Abort()
{
    running_ = false;
    ended_ = nullptr;
    socket_.Close();
    stopTimers();
    partial_.close();
}
