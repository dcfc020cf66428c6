#include "dlmanager/partialfile.h"

#include "core/downloadlists.h"
#include "dlmanager/freename.h"
#include "dlmanager/runstate.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

// The first answer's validator, kept on the partial between runs.
constexpr const char* kValidatorAttribute = "user.z5.validator";
constexpr qsizetype kMaxNameBytes = 255;
constexpr int kMaxPartialNames = 100;
const QString kPartialSuffix = QStringLiteral("~~~");

QByteArray attribute(int fd, const char* name)
{
    char value[1024];
    const ssize_t n = ::fgetxattr(fd, name, value, sizeof value);
    return n > 0 ? QByteArray(value, static_cast<qsizetype>(n)) : QByteArray();
}

// This item's own partial at path, opened for reading and writing and
// locked; -1 when whatever is there is not.
int adopt(const QByteArray& path, const QByteArray& ownerTag)
{
    // Looked at before it is opened for use: nothing that is not a plain
    // file of the user's is ever opened for reading or writing.
    const int handle = ::open(path.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (handle < 0)
        return -1;
    struct stat seen {};
    const bool plain = ::fstat(handle, &seen) == 0 && S_ISREG(seen.st_mode) && seen.st_uid == ::geteuid() &&
                       (seen.st_mode & (S_IWGRP | S_IWOTH)) == 0 && seen.st_nlink == 1;
    int fd = -1;
    if (plain)
        fd = ::open(QByteArray("/proc/self/fd/" + QByteArray::number(handle)).constData(), O_RDWR | O_CLOEXEC);
    ::close(handle);
    if (fd < 0)
        return -1;
    struct stat opened {};
    const bool same = ::fstat(fd, &opened) == 0 && opened.st_dev == seen.st_dev && opened.st_ino == seen.st_ino;
    if (!same || attribute(fd, kPartialOwnerAttribute) != ownerTag || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

QByteArray PartialOwnerTag(const RunState& run, const QString& finalPath)
{
    const QString list = run.ListBase.isEmpty() ? QStringLiteral("single file") : QFileInfo(run.ListBase).absoluteFilePath();
    const QString item = list + QLatin1Char('\n') + QString::number(run.ItemLine) + QLatin1Char('\n') + run.ItemURL +
                         QLatin1Char('\n') + finalPath;
    return QCryptographicHash::hash(item.toUtf8(), QCryptographicHash::Sha256).toHex();
}

QString PartialPathFor(const QString& finalPath, int n)
{
    const QFileInfo fi(finalPath);
    QString name = fi.fileName();
    const QString tail = (n > 1 ? QStringLiteral(" (%1)").arg(n) : QString()) + kPartialSuffix;
    // A long name gives up its end, never the number that tells partials apart.
    while (!name.isEmpty() && QFile::encodeName(name + tail).size() > kMaxNameBytes) {
        name.chop(1);
        if (!name.isEmpty() && name.back().isHighSurrogate())
            name.chop(1);
    }
    return fi.path() + QLatin1Char('/') + name + tail;
}

PartialFile::~PartialFile()
{
    close();
}

bool PartialFile::open(const QString& finalPath, const QByteArray& ownerTag, QString* error, const QByteArray& listTag)
{
    close();
    for (int n = 1; n <= kMaxPartialNames; ++n) {
        const QString path = PartialPathFor(finalPath, n);
        const QByteArray encoded = QFile::encodeName(path);
        int fd = ::open(encoded.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd >= 0) {
            // Recorded as this item's at once: only this item takes it up again.
            ::flock(fd, LOCK_EX | LOCK_NB);
            ::fsetxattr(fd, kPartialOwnerAttribute, ownerTag.constData(), static_cast<size_t>(ownerTag.size()), 0);
            if (!listTag.isEmpty())
                ::fsetxattr(fd, kPartialListAttribute, listTag.constData(), static_cast<size_t>(listTag.size()), 0);
            fd_ = fd;
            path_ = path;
            created_ = true;
            return true;
        }
        if (errno != EEXIST) {
            if (error)
                *error = QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        fd = adopt(encoded, ownerTag);
        if (fd >= 0) {
            fd_ = fd;
            path_ = path;
            created_ = false;
            return true;
        }
    }
    if (error)
        *error = QStringLiteral("no free name for the partial file");
    return false;
}

qint64 PartialFile::size() const
{
    struct stat st {};
    return fd_ >= 0 && ::fstat(fd_, &st) == 0 ? st.st_size : 0;
}

QByteArray PartialFile::validator() const
{
    return fd_ >= 0 ? attribute(fd_, kValidatorAttribute) : QByteArray();
}

void PartialFile::setValidator(const QByteArray& value)
{
    if (fd_ < 0)
        return;
    if (value.isEmpty() || value.size() > 1000 || value.contains('\r') || value.contains('\n'))
        ::fremovexattr(fd_, kValidatorAttribute);
    else
        ::fsetxattr(fd_, kValidatorAttribute, value.constData(), static_cast<size_t>(value.size()), 0);
}

QString PartialFile::finish(const QString& finalPath, bool replace)
{
    if (fd_ < 0) {
        errno = EBADF;
        return {};
    }
    QString target = finalPath;
    if (replace) {
        if (::rename(QFile::encodeName(path_).constData(), QFile::encodeName(finalPath).constData()) != 0)
            target.clear();
    } else {
        target = MoveToFreeName(path_, finalPath);
    }
    const int saved = errno;
    if (!target.isEmpty()) {
        // The complete file carries nothing of the fetch.
        ::fremovexattr(fd_, kValidatorAttribute);
        ::fremovexattr(fd_, kPartialOwnerAttribute);
        ::fremovexattr(fd_, kPartialListAttribute);
    }
    ::close(fd_);
    fd_ = -1;
    path_.clear();
    created_ = false;
    errno = saved;
    return target;
}

void PartialFile::close()
{
    if (fd_ < 0)
        return;
    if (created_) {
        struct stat st {};
        if (::fstat(fd_, &st) == 0 && st.st_size == 0)
            ::unlink(QFile::encodeName(path_).constData());
    }
    ::close(fd_);
    fd_ = -1;
    path_.clear();
    created_ = false;
}
