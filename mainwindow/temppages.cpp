#include "mainwindow/temppages.h"

#include "core/shellnames.h"
#include "platform/base/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// "~Z5_" and the seven characters MakeTempPagePrefix adds.
constexpr int kStemLength = 11;

QString localTempFolder()
{
    const QString temp = GetTempFolder();
    return temp.isEmpty() ? QString() : platform::paths::toLocal(temp);
}

QString lockFolder(const QString& temp)
{
    return temp + QStringLiteral("/Z5PageLocks");
}

// True when a live process holds the stem's lock.
bool stemIsLive(const QString& stem)
{
    const QByteArray path = QFile::encodeName(TempPageLockPath(stem));
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    const bool live = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    if (!live)
        ::unlink(path.constData());
    ::close(fd);
    return live;
}

} // namespace

TempPageLock::TempPageLock(const QString& path) : path_(path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray name = QFile::encodeName(path);
    fd_ = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

TempPageLock::~TempPageLock()
{
    if (fd_ < 0)
        return;
    // Removed while still held, so no other run can be holding it.
    ::unlink(QFile::encodeName(path_).constData());
    ::close(fd_);
}

QString TempPageLockPath(const QString& stem)
{
    const QString temp = localTempFolder();
    return temp.isEmpty() ? QString() : lockFolder(temp) + QLatin1Char('/') + stem + QStringLiteral(".lock");
}

QString ClaimTempPagePrefix(std::unique_ptr<TempPageLock>& lock)
{
    lock.reset();
    const QString prefix = MakeTempPagePrefix();
    if (prefix.isEmpty())
        return {};
    const QString stem = QFileInfo(platform::paths::toLocal(prefix)).fileName();
    auto held = std::make_unique<TempPageLock>(TempPageLockPath(stem));
    if (!held->held())
        return {}; // another live run took the same stem this second
    lock = std::move(held);
    return prefix;
}

void DeleteLeftoverTempFiles()
{
    const QString temp = localTempFolder();
    if (temp.isEmpty())
        return;
    const QStringList names =
        QDir(temp).entryList({QStringLiteral("~Z5_*.*")}, QDir::Files | QDir::Hidden | QDir::System);
    QStringList live;
    QStringList dead;
    for (const QString& name : names) {
        const QString stem = name.left(kStemLength);
        if (live.contains(stem))
            continue;
        if (!dead.contains(stem)) {
            if (stemIsLive(stem)) {
                live << stem;
                continue;
            }
            dead << stem;
        }
        QFile::remove(temp + QLatin1Char('/') + name);
    }
}

void DeleteRunTempPages(const QString& prefix)
{
    if (prefix.isEmpty())
        return;
    const QString local = platform::paths::toLocal(prefix);
    const QFileInfo info(local);
    const QString stem = info.fileName();
    if (!stem.startsWith(QLatin1String("~Z5_")))
        return;
    QDir dir = info.absoluteDir();
    for (const QString& name : dir.entryList({stem + QStringLiteral("*.*")}, QDir::Files | QDir::Hidden | QDir::System))
        QFile::remove(dir.filePath(name));
}
