#include "platform/base/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::paths {

namespace {
QString& programFolderOverride()
{
    static QString folder;
    return folder;
}

QString stripTrailingSeparator(QString p)
{
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    return p;
}

// Finds the entry of dir whose name equals name ignoring case; the exact
// name wins when both exist.
QString matchEntry(const QString& dir, const QString& name)
{
    QDir d(dir.isEmpty() ? QStringLiteral("/") : dir);
    if (QFileInfo::exists(d.filePath(name)))
        return name;
    const QStringList entries = d.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& e : entries)
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return e;
    return {};
}
} // namespace

QString programFolder()
{
    if (!programFolderOverride().isEmpty())
        return programFolderOverride();
    const QByteArray env = qgetenv("PLATFORM_PROGRAM_DIR");
    if (!env.isEmpty())
        return stripTrailingSeparator(QString::fromLocal8Bit(env));
    if (QCoreApplication::instance())
        return stripTrailingSeparator(QCoreApplication::applicationDirPath());
    return stripTrailingSeparator(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath());
}

void setProgramFolder(const QString& folder)
{
    programFolderOverride() = stripTrailingSeparator(folder);
}

QString toLocal(const QString& productPath)
{
    QString p = productPath;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QStringList parts = p.split(QLatin1Char('/'));
    QString out;
    bool resolving = true;
    for (int i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        if (i > 0)
            out += QLatin1Char('/');
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String("..") || !resolving) {
            out += part;
            continue;
        }
        const QString dir = i == 0 ? QStringLiteral(".") : (out.size() == 1 ? out : out.left(out.size() - 1));
        const QString match = matchEntry(dir, part);
        resolving = !match.isEmpty();
        out += resolving ? match : part;
    }
    return out;
}

QString programPath(const QString& productRelative)
{
    return toLocal(programFolder() + productRelative);
}

QString toProduct(const QString& localPath)
{
    QString p = localPath;
    p.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return p;
}

namespace {

// Nobody but root and the user may rename or replace the entries of a folder
// so described: it belongs to one of them, and others may not write in it
// unless it is sticky (as /tmp is).
bool trustedFolder(const struct stat& st, uid_t uid)
{
    if (!S_ISDIR(st.st_mode) || (st.st_uid != 0 && st.st_uid != uid))
        return false;
    return (st.st_mode & (S_IWGRP | S_IWOTH)) == 0 || (st.st_mode & S_ISVTX) != 0;
}

// Opens the folder at path (O_PATH), walking from "/" one name at a time
// without following links, each folder on the way trusted; -1 otherwise.
// A folder anyone else could rename would let him put his own folder in
// the place of ours between one use of its name and the next. walked
// receives the path walked.
int openTrustedFolder(const QString& path, uid_t uid, QByteArray& walked)
{
    char resolved[PATH_MAX];
    if (path.isEmpty() || !::realpath(QFile::encodeName(path).constData(), resolved))
        return -1;
    walked = resolved;
    int fd = ::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
    const QList<QByteArray> names = QByteArray(resolved).split('/');
    for (qsizetype i = 0; fd >= 0; ++i) {
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !trustedFolder(st, uid)) {
            ::close(fd);
            return -1;
        }
        while (i < names.size() && names[i].isEmpty())
            ++i;
        if (i == names.size())
            return fd;
        const int next = ::openat(fd, names[i].constData(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        ::close(fd);
        fd = next;
    }
    return -1;
}

// Creates (0700) and opens the folder name inside parentFd, without
// following a link; it must be the user's and writable by nobody else.
int openOwnFolderAt(int parentFd, const QByteArray& name, uid_t uid)
{
    if (::mkdirat(parentFd, name.constData(), 0700) != 0 && errno != EEXIST)
        return -1;
    const int fd = ::openat(parentFd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st {};
    // Checked on the open folder, so what is checked is what is used. A
    // folder others could write in may already hold their links.
    if (::fstat(fd, &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != uid || (st.st_mode & 022) != 0
        || ((st.st_mode & 0777) != 0700 && ::fchmod(fd, 0700) != 0)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

struct PrivateFolder {
    uid_t uid = 0;
    QByteArray tmpDir, runtimeDir; // the environment it was found in
    QString path;
    int fd = -1;
    dev_t dev = 0;
    ino_t ino = 0;
};

std::mutex privateFolderMutex;

PrivateFolder& privateFolderState()
{
    static PrivateFolder folder;
    return folder;
}

// The private folder below base, opened; false when base is no safe place.
bool openPrivateBelow(const QString& base, PrivateFolder& out)
{
    QByteArray walked;
    const int parent = openTrustedFolder(base, out.uid, walked);
    if (parent < 0)
        return false;
    const QByteArray name = ".private-" + QByteArray::number(out.uid);
    const int fd = openOwnFolderAt(parent, name, out.uid);
    ::close(parent);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return false;
    }
    out.fd = fd;
    out.dev = st.st_dev;
    out.ino = st.st_ino;
    out.path = (walked == "/" ? QString() : QFile::decodeName(walked)) + QLatin1Char('/') + QString::fromLatin1(name);
    return true;
}

// The folder is opened once and kept open; it is looked for again only when
// the environment names other places or its name no longer leads to it
// (removed by a clean-up of the temporary folder, say).
const PrivateFolder& currentPrivateFolder()
{
    PrivateFolder& state = privateFolderState();
    const uid_t uid = ::getuid();
    const QByteArray tmpDir = qgetenv("TMPDIR");
    const QByteArray runtimeDir = qgetenv("XDG_RUNTIME_DIR");
    if (state.fd >= 0 && state.uid == uid && state.tmpDir == tmpDir && state.runtimeDir == runtimeDir) {
        struct stat st {};
        if (::lstat(QFile::encodeName(state.path).constData(), &st) == 0 && st.st_dev == state.dev
            && st.st_ino == state.ino)
            return state;
    }
    if (state.fd >= 0)
        ::close(state.fd);
    state = PrivateFolder{};
    state.uid = uid;
    state.tmpDir = tmpDir;
    state.runtimeDir = runtimeDir;
    QString base = QFile::decodeName(tmpDir);
    if (base.isEmpty() || !QFileInfo(base).isDir())
        base = QStringLiteral("/tmp");
    if (!openPrivateBelow(base, state) && !runtimeDir.isEmpty())
        openPrivateBelow(QFile::decodeName(runtimeDir), state);
    return state;
}

} // namespace

QString privateTempFolder()
{
    std::lock_guard guard(privateFolderMutex);
    return currentPrivateFolder().path;
}

int openPrivateTempFolder()
{
    std::lock_guard guard(privateFolderMutex);
    const PrivateFolder& folder = currentPrivateFolder();
    return folder.fd < 0 ? -1 : ::fcntl(folder.fd, F_DUPFD_CLOEXEC, 0);
}

int openPrivateSubfolder(const QString& name)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QLatin1String(".")
        || name == QLatin1String(".."))
        return -1;
    std::lock_guard guard(privateFolderMutex);
    const PrivateFolder& folder = currentPrivateFolder();
    if (folder.fd < 0)
        return -1;
    return openOwnFolderAt(folder.fd, QFile::encodeName(name), folder.uid);
}

QString fontsFolder()
{
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share");
    const QString folder = data + QStringLiteral("/fonts");
    QDir().mkpath(folder);
    return folder;
}

} // namespace platform::paths
