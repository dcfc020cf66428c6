#include "dlmanager/listrun.h"

#include "core/downloadlists.h"
#include "core/listline.h"
#include "dlmanager/downloadname.h"
#include "dlmanager/downloadhelpers.h"
#include "dlmanager/pageitems.h"
#include "dlmanager/runstate.h"
#include "platform/base/textfile.h"
#include "platform/base/vbrt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// A list is a few lines per item; anything larger is not a list.
constexpr qint64 kMaxListBytes = 64 * 1024 * 1024;
constexpr qint64 kMaxLogBytes = 64 * 1024 * 1024;


QStringList splitLines(const QByteArray& bytes)
{
    QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString& l : lines)
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    return lines;
}

// The rows of the log: a last row without its line end (the writer was
// killed inside it) is cut off first. nullopt when the log cannot be read.
std::optional<int> countLogRows(const QString& path)
{
    QFile log(path);
    if (!log.open(QIODevice::ReadWrite))
        return std::nullopt;
    const QByteArray bytes = log.read(kMaxLogBytes);
    const qsizetype end = bytes.lastIndexOf('\n') + 1;
    if (end < bytes.size() && !log.resize(end))
        return std::nullopt;
    return static_cast<int>(bytes.left(end).count('\n'));
}

} // namespace

DownloadListRun::DownloadListRun(RunState& run, PageItems& pages, QObject* parent)
    : QObject(parent), run_(run), pages_(pages), fileItem_(run), statusPages_(run)
{
    appTimer_.setInterval(kTickMs);
    QObject::connect(&appTimer_, &QTimer::timeout, this, [this] { AppTimer_Timer(); });
    pages_.startFileDownload = [this](std::function<void()> ended) { fileItem_.StartFileDownload(std::move(ended)); };
}

DownloadListRun::~DownloadListRun() = default;

bool DownloadListRun::OpenDownloadList()
{
    if (!IsSafeListName(run_.ListName))
        return false;
    lock_ = std::make_unique<platform::NamedLock>(DownloadListLockName(run_.AppPath, run_.ListName));
    if (!lock_->tryLock())
        return false;
    const auto list = platform::textfile::readAll(run_.listFile(), kMaxListBytes);
    if (!list)
        return false;
    const QStringList lines = splitLines(*list);
    run_.TotalItems = static_cast<int32_t>(std::max<qsizetype>(0, lines.size() - 8));
    const QString options = lines.value(3);
    run_.AddPathToName = options.mid(4, 1) == QLatin1String("1");
    run_.OverwriteExisting = options.mid(5, 1) == QLatin1String("1");
    itemLines_ = lines.mid(8);

    int done = 0;
    if (run_.ResumeMode) {
        const auto rows = countLogRows(run_.logFile());
        if (!rows)
            return false;
        done = *rows;
    } else {
        QFile log(run_.logFile());
        if (!log.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
    }
    nextLine_ = std::min<qsizetype>(done, itemLines_.size());
    run_.DoneItems = done;

    run_.LogDirty = false;
    statusPages_.AllowWriting();
    statusPages_.WriteStatusFrameset();
    statusPages_.WriteStatusHeader();
    statusPages_.WriteStatusLog();
    statusPages_.WriteStatusBar(false);
    appTimer_.start();
    const bool headerComplete = lines.size() >= 8;
    QTimer::singleShot(0, this, [this, headerComplete] {
        if (headerComplete)
            StartNextItem();
        else
            EndOnBadLine(QStringLiteral("the list file has no header"));
    });
    return true;
}

void DownloadListRun::StartNextItem()
{
    if (closed_)
        return;
    if (nextLine_ >= itemLines_.size()) {
        FinishList();
        return;
    }
    const qsizetype lineNumber = 9 + nextLine_;
    const QString line = itemLines_[nextLine_++];
    if (vb::trim(line).isEmpty()) {
        EndOnBadLine(QStringLiteral("line %1 of the list is blank").arg(lineNumber));
        return;
    }
    const QStringList fields = DecodeListLine(line);
    if (fields.size() < 4) {
        EndOnBadLine(QStringLiteral("line %1 of the list has fewer than four columns").arg(lineNumber));
        return;
    }
    run_.ItemName = fields[0];
    run_.ItemURL = fields[1];
    run_.ItemReferer = fields[2];
    run_.ItemFolder = fields[3];
    run_.ItemLine = static_cast<int32_t>(lineNumber);
    run_.ItemNote.clear();
    run_.ItemRefused = false;
    clsWinInet cracker;
    if (!GetDownloadFileName(run_.ItemURL, cracker).isEmpty()) {
        run_.ItemKind = ItemFile;
        fileItem_.StartFileDownload([this] { itemEnded(); });
    } else {
        run_.ItemKind = ItemPage;
        pages_.StartPageDownload(run_, [this] { itemEnded(); });
    }
}

void DownloadListRun::itemEnded()
{
    LogItemResult();
}

void DownloadListRun::LogItemResult()
{
    if (run_.StoppedByUser || closed_)
        return;
    if (run_.JobState == JobFailed && run_.ItemKind == ItemFile && !run_.ItemRefused) {
        run_.ItemKind = ItemFileRetriedAsPage;
        pages_.StartPageDownload(run_, [this] { itemEnded(); });
        return;
    }
    QByteArray row = LogRow(run_);
    row += "\r\n";
    ++run_.DoneItems;
    // One write per row: a kill leaves the log without the row or with all of it.
    const int fd = ::open(QFile::encodeName(run_.logFile()).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd >= 0) {
        ssize_t n;
        do {
            n = ::write(fd, row.constData(), static_cast<size_t>(row.size()));
        } while (n < 0 && errno == EINTR);
        ::close(fd);
    }
    run_.LogDirty = true;
    StartNextItem();
}

void DownloadListRun::FinishList()
{
    run_.JobState = JobDone;
    run_.StatusText = ExternalText("9952", "COMPLETED");
    statusPages_.WriteStatusHeader();
    statusPages_.WriteStatusLog();
    statusPages_.WriteStatusBar(true);
    CloseDownloadList();
}

void DownloadListRun::EndOnBadLine(const QString& reason)
{
    run_.JobState = JobFailed;
    run_.StatusText = ExternalText("9970", "Error:") + QLatin1Char(' ') + reason;
    statusPages_.WriteStatusHeader();
    statusPages_.WriteStatusLog();
    statusPages_.WriteStatusBar(false);
    CloseDownloadList();
}

void DownloadListRun::CloseDownloadList()
{
    if (closed_)
        return;
    closed_ = true;
    appTimer_.stop();
    fileItem_.Abort();
    pages_.Stop();
    if (lock_)
        lock_->unlock();
    if (finished)
        QTimer::singleShot(0, this, [this] { finished(); });
}

void DownloadListRun::AppTimer_Timer()
{
    if (closed_)
        return;
    if (FileExists(run_.stopRequestFile())) {
        run_.StoppedByUser = true;
        run_.JobState = JobStopped;
        run_.StatusText = ExternalText("9953", "STOPPED");
        QFile::remove(run_.stopRequestFile());
        // The transfer is cut off here; its partial file stays for a resume.
        fileItem_.Abort();
        pages_.Stop();
        statusPages_.WriteStatusHeader();
        statusPages_.WriteStatusLog();
        statusPages_.WriteStatusBar(false); // acknowledges the stop
        CloseDownloadList();
        return;
    }
    statusPages_.WriteStatusHeader();
    if (run_.LogDirty) {
        statusPages_.WriteStatusLog();
        run_.LogDirty = false;
    }
}
