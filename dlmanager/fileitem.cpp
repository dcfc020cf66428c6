#include "dlmanager/fileitem.h"

#include "core/settingsstore.h"
#include "dlmanager/downloadname.h"
#include "dlmanager/freename.h"
#include "dlmanager/downloadhelpers.h"
#include "dlmanager/runstate.h"
#include "dlmanager/statuspages.h"
#include "platform/base/paths.h"
#include "platform/base/urlcrack.h"
#include "platform/base/vbrt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace net = platform::net;

namespace {

constexpr qsizetype kReadChunk = 128 * 1024;
// Where the first answer's validator is kept between runs: on the partial
// file itself, so it goes wherever the file goes and with it.
constexpr const char* kValidatorAttribute = "user.z5.validator";

bool holdsLineBreakOrNul(const QString& s)
{
    return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n')) || s.contains(QChar(0));
}

// The path and query as sent: bytes outside printable ASCII and blanks are
// percent-encoded, everything else is kept as written.
QByteArray requestTarget(const QString& s)
{
    QByteArray out;
    for (const char c : s.toUtf8()) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u >= 0x7F) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", u);
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

QByteArray readValidator(int fd)
{
    char value[1024];
    const ssize_t n = ::fgetxattr(fd, kValidatorAttribute, value, sizeof value);
    return n > 0 ? QByteArray(value, static_cast<qsizetype>(n)) : QByteArray();
}

void writeValidator(int fd, const QByteArray& value)
{
    if (value.isEmpty() || value.size() > 1000 || value.contains('\r') || value.contains('\n'))
        ::fremovexattr(fd, kValidatorAttribute);
    else
        ::fsetxattr(fd, kValidatorAttribute, value.constData(), static_cast<size_t>(value.size()), 0);
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

ProxySetting ReadProxySetting()
{
    const QString section = kSettingsSection + QStringLiteral("\\Proxy");
    ProxySetting p;
    p.enabled = vb::val(ReadSetting(HiveCurrentUser, kSettingsApp, section, QStringLiteral("Check1"), QStringLiteral("0"))) == 1;
    if (p.enabled) {
        p.host = vb::trim(ReadSetting(HiveCurrentUser, kSettingsApp, section, QStringLiteral("Address1"), QString()));
        const double port = vb::val(ReadSetting(HiveCurrentUser, kSettingsApp, section, QStringLiteral("Port1"), QString()));
        p.port = port >= 1 && port <= 65535 ? static_cast<quint16>(port) : 0;
    }
    return p;
}

QByteArray BuildFileRequest(const FileRequest& r)
{
    for (const QString* s : {&r.host, &r.pathAndQuery, &r.absoluteAddress, &r.referer})
        if (holdsLineBreakOrNul(*s))
            return {};
    if (r.validator.contains('\r') || r.validator.contains('\n') || r.validator.contains('\0'))
        return {};
    QByteArray q;
    q += "GET " + requestTarget(r.viaProxy ? r.absoluteAddress : r.pathAndQuery) + " HTTP/1.1\r\n";
    q += "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/vnd.ms-powerpoint, "
         "application/vnd.ms-excel, application/msword, */*\r\n";
    if (!r.referer.isEmpty())
        q += "Referer: " + requestTarget(r.referer) + "\r\n";
    q += "Accept-Language: en-ca\r\n";
    q += "Accept-Encoding: identity\r\n";
    if (r.rangeFrom > 0) {
        q += "Range: bytes=" + QByteArray::number(r.rangeFrom) + "-\r\n";
        if (!r.validator.isEmpty())
            q += "If-Range: " + r.validator + "\r\n";
    }
    q += "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)\r\n";
    q += "Host: " + requestTarget(r.host);
    if (!r.defaultPort)
        q += ':' + QByteArray::number(r.port);
    q += "\r\n";
    q += "Connection: close\r\n";
    q += "\r\n";
    return q;
}

FileItem::FileItem(RunState& run, QObject* parent) : QObject(parent), run_(run)
{
    buffer_.resize(kReadChunk);
    socket_.setReadBufferSize(256 * 1024);
    socket_.onConnect = [this] { WSMain_Connect(); };
    socket_.onDataArrival = [this](qint64) { WSMain_DataArrival(); };
    socket_.onClose = [this] { WSMain_Close(); };
    socket_.onError = [this](int number, const QString& description) { WSMain_Error(number, description); };
}

FileItem::~FileItem()
{
    socket_.Close();
    closeFile();
}

void FileItem::closeFile()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

void FileItem::StartFileDownload(std::function<void()> ended)
{
    ended_ = std::move(ended);
    running_ = true;
    restarted_ = false;
    PartialAnswer = false;
    run_.StatusText.clear();
    socket_.Close();

    const QString errorWord = ExternalText("9970", "Error:") + QLatin1Char(' ');
    if (holdsLineBreakOrNul(run_.ItemURL) || holdsLineBreakOrNul(run_.ItemReferer)) {
        fail(errorWord + QStringLiteral("the address holds a line break"));
        return;
    }
    if (!cracker_.CrackUrl(run_.ItemURL) || cracker_.URLFileName().isEmpty()) {
        fail(errorWord + QStringLiteral("the address names no file"));
        return;
    }
    const auto scheme = static_cast<platform::wininet::UrlScheme>(cracker_.Scheme());
    const bool https = scheme == platform::wininet::UrlScheme::Https;
    if (scheme != platform::wininet::UrlScheme::Http && !https) {
        fail(errorWord + QStringLiteral("only http and https addresses are fetched"));
        return;
    }

    if (!targetOverride_.isEmpty()) {
        finalPath_ = targetOverride_;
    } else {
        const QString prefix = run_.AddPathToName ? AddressPathPrefix(run_.ItemURL) : QString();
        QString name = prefix + cracker_.URLFileName();
        name.replace(QLatin1String("%20"), QLatin1String(" "), Qt::CaseInsensitive);
        if (vb::trim(run_.ItemFolder).isEmpty()) {
            fail(errorWord + QStringLiteral("the item has no target folder"));
            return;
        }
        if (name.contains(QLatin1Char('/')) || name == QLatin1String(".") || name == QLatin1String("..")) {
            fail(errorWord + QStringLiteral("the address names no file"));
            return;
        }
        finalPath_ = platform::paths::toLocal(run_.ItemFolder) + QLatin1Char('/') + name;
    }
    partialPath_ = finalPath_ + QStringLiteral("~~~");

    // The partial file is ours: made here, or left by an earlier run under
    // its own name. A link or anything but a plain file is never opened.
    const QByteArray partial = QFile::encodeName(partialPath_);
    closeFile();
    createdPartial_ = false;
    fd_ = ::open(partial.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd_ >= 0) {
        createdPartial_ = true;
    } else if (errno == EEXIST) {
        fd_ = ::open(partial.constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    }
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        const QString reason = QString::fromLocal8Bit(std::strerror(fd_ < 0 ? errno : EINVAL));
        closeFile();
        fail(errorWord + reason);
        return;
    }
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);

    request_ = FileRequest();
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

    const ProxySetting proxy = ReadProxySetting();
    request_.viaProxy = proxy.enabled;
    connectHost_ = proxy.enabled ? proxy.host : request_.host;
    connectPort_ = proxy.enabled ? proxy.port : request_.port;
    secure_ = https && !proxy.enabled;
    if (connectHost_.isEmpty() || connectPort_ == 0) {
        fail(ExternalText("9964", "Failed to connect") + QStringLiteral(" - ") + cracker_.URLFileName());
        return;
    }

    run_.JobState = JobConnecting;
    run_.StatusText = ExternalText("9962", "Connecting to") + QStringLiteral(": ") + request_.host;
    socket_.Connect(connectHost_, connectPort_, secure_);
}

void FileItem::WSMain_Connect()
{
    run_.StatusText = ExternalText("9963", "Connected, requesting") + QLatin1Char(' ') + cracker_.URLFileName();
    HeaderParsed = false;
    ResumeByRange = false;
    TotalBytes = 0;
    firstChunkWritten_ = false;
    TransferStartTime.invalidate();
    reader_ = net::HttpResponseReader();
    struct stat st {};
    ReceivedBytes = ::fstat(fd_, &st) == 0 ? st.st_size : 0;
    request_.rangeFrom = ReceivedBytes;
    request_.validator.clear();
    if (ReceivedBytes > 0) {
        ResumeByRange = true;
        run_.JobState = JobResuming;
        run_.StatusText = ExternalText("9965", "Resuming...") + QLatin1Char(' ') + cracker_.URLFileName() +
                          QStringLiteral(" - Size: ") + QString::number(ReceivedBytes);
        request_.validator = readValidator(fd_);
    }
    const QByteArray bytes = BuildFileRequest(request_);
    if (bytes.isEmpty() || !socket_.SendData(bytes))
        fail(ExternalText("9964", "Failed to connect") + QStringLiteral(" - ") + cracker_.URLFileName());
}

void FileItem::WSMain_DataArrival()
{
    if (!running_)
        return;
    run_.JobState = JobTransferring;
    bool wrote = false;
    while (running_) {
        const qint64 got = socket_.GetData(buffer_.data(), static_cast<qint64>(buffer_.size()));
        if (got <= 0)
            break;
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
                if (!handleHead())
                    return; // ended, or started again
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
    switch (code) {
    case 203: fail(text("9980", "Non-Authoritative Information")); return false;
    case 204: fail(text("9981", "No Content")); return false;
    case 205: fail(text("9982", "Reset Content")); return false;
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
        fail(QString::number(code) + QStringLiteral(" - ") + ExternalText("9984", "Bad server responds"));
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
    if (code == 206) {
        PartialAnswer = true;
        const auto& range = head.contentRange;
        if (!ResumeByRange || !range || range->first != ReceivedBytes) {
            // Not the continuation of what we hold: start the file again.
            if (restartFromZero())
                return false;
            fail(ExternalText("9970", "Error:") + QStringLiteral(" the server answered another range"));
            return false;
        }
        TotalBytes = range->total >= 0 ? range->total : range->last + 1;
    } else {
        // A whole answer: the file starts again from its first byte.
        if (ReceivedBytes > 0) {
            if (::ftruncate(fd_, 0) != 0) {
                fail(ExternalText("9970", "Error:") + QLatin1Char(' ') + QString::fromLocal8Bit(std::strerror(errno)));
                return false;
            }
            ReceivedBytes = 0;
        }
        TotalBytes = head.contentLength.value_or(0);
    }
    if (!ResumeByRange || code == 200) {
        const auto validator = head.field("ETag");
        writeValidator(fd_, validator ? *validator : head.field("Last-Modified").value_or(QByteArray()));
    }
    if (::lseek(fd_, ReceivedBytes, SEEK_SET) < 0) {
        fail(ExternalText("9970", "Error:") + QLatin1Char(' ') + QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    if (reader_.expectedBodyBytes() >= 0 && TotalBytes > 0 &&
        ReceivedBytes + reader_.expectedBodyBytes() != TotalBytes) {
        fail(ExternalText("9970", "Error:") + QStringLiteral(" the answer's length does not match the file's size"));
        return false;
    }
    if (reader_.expectedBodyBytes() == 0 && (TotalBytes == 0 || ReceivedBytes == TotalBytes)) {
        complete();
        return false;
    }
    return true;
}

bool FileItem::restartFromZero()
{
    if (restarted_)
        return false;
    restarted_ = true;
    if (::ftruncate(fd_, 0) != 0)
        return false;
    writeValidator(fd_, {});
    socket_.Close();
    // The new connection's connect event reads the emptied file.
    socket_.Connect(connectHost_, connectPort_, secure_);
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
        const ssize_t n = ::write(fd_, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(ExternalText("9970", "Error:") + QLatin1Char(' ') + QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        p += n;
        left -= n;
    }
    ReceivedBytes += bytes.size();
    return true;
}

void FileItem::updateProgress(bool laterChunk)
{
    const double elapsed = TransferStartTime.isValid() ? TransferStartTime.nsecsElapsed() / 1e9 : 0;
    if (elapsed > 0) {
        run_.ProgressText = FormatByteSize(ReceivedBytes) + QStringLiteral(" of ") + FormatByteSize(TotalBytes);
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
    const net::HttpResponseReader::Step step = reader_.finish();
    if (step.event == net::HttpResponseReader::Event::Done)
        complete();
    else
        fail(ExternalText("9970", "Error:") + QLatin1Char(' ') + reader_.errorText());
}

void FileItem::WSMain_Error(int, const QString& description)
{
    if (!running_)
        return;
    fail(ExternalText("9970", "Error:") + QLatin1Char(' ') + description);
}

void FileItem::complete()
{
    socket_.Close();
    if (TotalBytes > 0 && ReceivedBytes != TotalBytes) {
        fail(ExternalText("9970", "Error:") + QStringLiteral(" the file is incomplete"));
        return;
    }
    ::fremovexattr(fd_, kValidatorAttribute);
    closeFile();
    const QByteArray from = QFile::encodeName(partialPath_);
    QString target = finalPath_;
    bool renamed = false;
    if (run_.OverwriteExisting || !targetOverride_.isEmpty()) {
        renamed = ::rename(from.constData(), QFile::encodeName(target).constData()) == 0;
    } else {
        target = MoveToFreeName(partialPath_, finalPath_);
        renamed = !target.isEmpty();
    }
    if (!renamed) {
        fail(ExternalText("9970", "Error:") + QLatin1Char(' ') + QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    finishedPath_ = target;
    end(JobDone);
}

void FileItem::fail(const QString& statusText)
{
    socket_.Close();
    if (fd_ >= 0 && createdPartial_) {
        // An empty partial file made by this item goes again; any byte
        // received stays for a later resume.
        struct stat st {};
        if (::fstat(fd_, &st) == 0 && st.st_size == 0)
            ::unlink(QFile::encodeName(partialPath_).constData());
    }
    closeFile();
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
    closeFile();
}
