#include "platform/base/instance.h"

#include "platform/base/paths.h"

#include <QFile>
#include <QHash>
#include <QMutex>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <time.h>
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

// Waits for the lock up to about five seconds: the gate is held only for
// the few calls of one test, and a process that dies lets it go.
bool lockGate(int fd)
{
    for (int i = 0; i < 500; ++i) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno != EWOULDBLOCK && errno != EINTR)
            return false;
        const timespec pause{0, 10 * 1000 * 1000};
        ::nanosleep(&pause, nullptr);
    }
    return false;
}

int openInFolder(int folder, const QByteArray& name)
{
    return ::openat(folder, name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
}

} // namespace

bool previousInstanceRunning(const QString& appName)
{
    // Every running instance holds a shared lock on ".<name>.running" for
    // its life; an exclusive lock can be had only when none does. Probing
    // and taking the shared lock are two steps, so they are made under the
    // exclusive lock of ".<name>.gate": no other start probes in between
    // and takes itself for the first too. Hidden names: emptying the
    // temporary folder leaves hidden files, and a removed lock file would
    // let the next start take itself for the first.
    static QMutex mutex;
    static QHash<QString, int> heldByName; // kept open for the life of the process
    QMutexLocker locker(&mutex);
    const int folder = paths::openPrivateTempFolder();
    if (folder < 0)
        return false;
    const QByteArray stem = '.' + QFile::encodeName(safeName(appName));
    // Without the gate (it cannot be made, or is held too long) the test
    // goes on all the same: a start is never refused for it.
    const int gate = openInFolder(folder, stem + ".gate");
    if (gate >= 0)
        lockGate(gate);
    int& held = heldByName.insert(appName, heldByName.value(appName, -1)).value();
    bool running = false;
    if (held >= 0) {
        // Asked again: our own shared lock must not count, so the probe
        // converts it (flock may drop it on the way: it is taken again).
        running = ::flock(held, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
        ::flock(held, LOCK_SH);
    } else {
        held = openInFolder(folder, stem + ".running");
        if (held >= 0) {
            running = ::flock(held, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
            ::flock(held, LOCK_SH);
        }
    }
    if (gate >= 0)
        ::close(gate); // lets the gate go
    ::close(folder);
    return running;
}

} // namespace platform::instance
