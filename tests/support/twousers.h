#pragma once

// Two users on one machine, for tests that run as root: code run in a child
// process as the program's user, and folders laid out by another user who
// would like the program to write into his.

#include "testenv.h"

#include <QByteArray>
#include <QDirIterator>
#include <QFileInfo>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>
#include <grp.h>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace twousers {

constexpr uid_t kUser = 65534;  // the program runs as this user
constexpr uid_t kOther = 65533; // the other user

// An environment variable and its value; nullopt removes it.
using EnvVar = QPair<QByteArray, std::optional<QByteArray>>;

// Runs fn in a child process as kUser with env applied; what fn returns,
// or nullopt when the child could not become the user or did not finish.
inline std::optional<QByteArray> runAsUser(const QList<EnvVar>& env, const std::function<QByteArray()>& fn)
{
    int out[2];
    if (::pipe(out) != 0)
        return std::nullopt;
    const pid_t pid = ::fork();
    if (pid < 0)
        return std::nullopt;
    if (pid == 0) {
        ::close(out[0]);
        if (::setgroups(0, nullptr) != 0 || ::setgid(kUser) != 0 || ::setuid(kUser) != 0)
            ::_exit(2);
        for (const EnvVar& v : env) {
            if (v.second)
                ::setenv(v.first.constData(), v.second->constData(), 1);
            else
                ::unsetenv(v.first.constData());
        }
        const QByteArray result = fn();
        qsizetype done = 0;
        while (done < result.size()) {
            const ssize_t n = ::write(out[1], result.constData() + done, static_cast<size_t>(result.size() - done));
            if (n <= 0)
                ::_exit(3);
            done += n;
        }
        ::_exit(0);
    }
    ::close(out[1]);
    QByteArray result;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(out[0], buffer, sizeof buffer)) > 0)
        result.append(buffer, n);
    ::close(out[0]);
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return result;
}

inline bool makeFolder(const QString& path, uid_t owner, mode_t mode)
{
    const QByteArray p = QFile::encodeName(path);
    return QDir().mkpath(path) && ::chown(p.constData(), owner, owner) == 0 && ::chmod(p.constData(), mode) == 0;
}

// The folders, all below one root that every user may pass through.
struct Folders {
    QString sticky;        // root's, 1777, as /tmp is
    QString othersOwn;     // the other user's, 0777
    QString worldWritable; // root's, 0777 without the sticky bit
    QString linkPlanted;   // as sticky, the user's folder name a link to othersTarget
    QString folderPlanted; // as sticky, the user's folder name a folder of the other user, 0777
    QString belowOthers;   // the user's own 0700 folder inside the other user's 0755 one
    QString runtime;       // the user's own, 0700
    QString othersRuntime; // the other user's, 0777
    QString othersTarget;  // the other user's, 0777, where his link leads
    // The other user's folders that the user could write into.
    QStringList others() const
    {
        return {othersOwn, othersTarget, othersRuntime, folderPlanted + QStringLiteral("/.private-65534")};
    }
};

// The name the program gives its private folder.
inline QString privateName()
{
    return QStringLiteral(".private-") + QString::number(kUser);
}

// Lays the folders out afresh; nullopt when something could not be made.
inline std::optional<Folders> makeFolders()
{
    // The test's temporary folder and its parent are root's own (0700):
    // the user must be able to pass through them.
    for (const QString& up : {QDir::tempPath(), QFileInfo(QDir::tempPath()).absolutePath()}) {
        struct stat st {};
        const QByteArray p = QFile::encodeName(up);
        if (::stat(p.constData(), &st) == 0 && st.st_uid == ::getuid() && !(st.st_mode & S_IXOTH))
            ::chmod(p.constData(), (st.st_mode & 07777) | S_IXOTH);
    }
    const QString root = testenv::freshDir(QStringLiteral("twousers"));
    Folders f;
    f.sticky = root + QStringLiteral("/sticky");
    f.othersOwn = root + QStringLiteral("/others-own");
    f.worldWritable = root + QStringLiteral("/world-writable");
    f.linkPlanted = root + QStringLiteral("/link-planted");
    f.folderPlanted = root + QStringLiteral("/folder-planted");
    f.belowOthers = root + QStringLiteral("/others-home/tmp");
    f.runtime = root + QStringLiteral("/runtime");
    f.othersRuntime = root + QStringLiteral("/others-runtime");
    f.othersTarget = root + QStringLiteral("/others-target");
    const bool made = makeFolder(root, 0, 0711) && makeFolder(f.sticky, 0, 01777)
                      && makeFolder(f.othersOwn, kOther, 0777) && makeFolder(f.worldWritable, 0, 0777)
                      && makeFolder(f.linkPlanted, 0, 01777) && makeFolder(f.folderPlanted, 0, 01777)
                      && makeFolder(root + QStringLiteral("/others-home"), kOther, 0755)
                      && makeFolder(f.belowOthers, kUser, 0700) && makeFolder(f.runtime, kUser, 0700)
                      && makeFolder(f.othersRuntime, kOther, 0777) && makeFolder(f.othersTarget, kOther, 0777)
                      && QFile::link(f.othersTarget, f.linkPlanted + QLatin1Char('/') + privateName())
                      && makeFolder(f.folderPlanted + QLatin1Char('/') + privateName(), kOther, 0777);
    if (!made)
        return std::nullopt;
    return f;
}

// A copy of a staged tool (bin/<name>) that kUser can run wherever the
// build lies, even below a folder only its owner may enter: the tool in
// folder/bin and the program's libraries it loads, directly or through one
// another, in folder/Z5, as its run path expects them. folder and both
// subfolders are opened to everyone. The copy's path, or "" when a file
// could not be copied.
inline QString runnableCopy(const QString& tool, const QString& folder)
{
    const QString bin = folder + QStringLiteral("/bin");
    const QString libs = folder + QStringLiteral("/Z5");
    if (!makeFolder(folder, 0, 0755) || !makeFolder(bin, 0, 0755) || !makeFolder(libs, 0, 0755))
        return QString();
    const QString copy = bin + QLatin1Char('/') + tool;
    QFile::remove(copy);
    if (!QFile::copy(QStringLiteral(Z5_BIN_DIR "/") + tool, copy))
        return QString();
    // A library is needed when its file name appears in a copied file (the
    // dynamic section names each library it needs).
    const QStringList staged = QDir(QStringLiteral(Z5_STAGE_DIR)).entryList({QStringLiteral("lib*.so")}, QDir::Files);
    QStringList pending{copy};
    QStringList copied;
    while (!pending.isEmpty()) {
        const QByteArray bytes = testenv::readFile(pending.takeFirst());
        for (const QString& lib : staged) {
            if (copied.contains(lib) || !bytes.contains(QFile::encodeName(lib)))
                continue;
            const QString target = libs + QLatin1Char('/') + lib;
            QFile::remove(target);
            if (!QFile::copy(QStringLiteral(Z5_STAGE_DIR "/") + lib, target))
                return QString();
            copied << lib;
            pending << target;
        }
    }
    return copy;
}

// Every entry below folder (the folder itself too) owned by uid.
inline QStringList entriesOwnedBy(const QString& folder, uid_t uid)
{
    QStringList found;
    QStringList paths{folder};
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        paths << it.next();
    for (const QString& p : paths) {
        struct stat st {};
        if (::lstat(QFile::encodeName(p).constData(), &st) == 0 && st.st_uid == uid)
            found << p;
    }
    return found;
}

} // namespace twousers
