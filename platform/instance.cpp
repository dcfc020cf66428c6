#include "platform/instance.h"

#include "platform/paths.h"

#include <QFile>
#include <QHash>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform::instance {

namespace {

QString safeName(const QString& appName)
{
    QString n;
    for (const QChar c : appName)
        n += (c.isLetterOrNumber() || c == QLatin1Char('.') || c == QLatin1Char('_')) ? c : QLatin1Char('_');
    return n;
}

} // namespace

bool previousInstanceRunning(const QString& appName)
{
    const QString folder = paths::privateTempFolder();
    if (folder.isEmpty())
        return false;
    const QByteArray path = QFile::encodeName(folder + QStringLiteral("/") + safeName(appName) + QStringLiteral(".running"));
    // Every running instance holds a shared lock on the file for its life;
    // an exclusive lock can be had only when none does.
    static QHash<QString, int> heldByName; // kept open for the life of the process
    int& held = heldByName.insert(appName, heldByName.value(appName, -1)).value();
    if (held >= 0) {
        // Asked again: our own shared lock must not count, so the probe
        // converts it (flock may drop it on the way: it is taken again).
        const bool running = ::flock(held, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
        ::flock(held, LOCK_SH);
        return running;
    }
    const int probe = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (probe < 0)
        return false;
    const bool running = ::flock(probe, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(probe);
    held = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (held >= 0)
        ::flock(held, LOCK_SH);
    return running;
}

} // namespace platform::instance
