#include "platform/base/namedlock.h"

#include "platform/base/paths.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

NamedLock::NamedLock(const QString& name) : name_(name) {}

NamedLock::~NamedLock()
{
    unlock();
}

bool NamedLock::tryLock()
{
    if (fd_ >= 0)
        return true;
    const QString folder = paths::privateTempFolder();
    if (folder.isEmpty() || !QDir().mkpath(folder + QStringLiteral("/locks")))
        return false;
    // The name may hold any character: the file is named by its digest.
    const QByteArray digest = QCryptographicHash::hash(name_.toUtf8(), QCryptographicHash::Sha256).toHex();
    const QByteArray path = QFile::encodeName(folder + QStringLiteral("/locks/")) + digest + ".lock";
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void NamedLock::unlock()
{
    if (fd_ < 0)
        return;
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

} // namespace platform
