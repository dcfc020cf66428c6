#include "browsing/handoff.h"

#include <QFile>

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A command line is one path or address: more than this is not ours.
constexpr qsizetype kHandOffLimit = 64 * 1024;
// A burst larger than this is taken over the next polls.
constexpr int kNamesPerPoll = 100;

bool isNumberName(const char* name)
{
    if (!*name || *name == '0')
        return false;
    for (const char* c = name; *c; ++c)
        if (*c < '0' || *c > '9')
            return false;
    return std::char_traits<char>::length(name) <= 9;
}

} // namespace

QStringList HandOffReader::numberedNames(int folderFd) const
{
    QStringList names;
    const int fd = ::dup(folderFd);
    if (fd < 0)
        return names;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return names;
    }
    ::rewinddir(dir);
    while (dirent* e = ::readdir(dir)) {
        if (!isNumberName(e->d_name))
            continue;
        struct stat st {};
        if (::fstatat(folderFd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (skipped_.count({static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino)}))
            continue;
        names << QString::fromLatin1(e->d_name);
        if (names.size() >= kNamesPerPoll)
            break;
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) { return a.toLongLong() < b.toLongLong(); });
    return names;
}

bool HandOffReader::anyPending(int folderFd) const
{
    return !numberedNames(folderFd).isEmpty();
}

QStringList HandOffReader::takePending(int folderFd)
{
    QStringList targets;
    for (const QString& name : numberedNames(folderFd)) {
        const QByteArray local = QFile::encodeName(name);
        struct stat st {};
        if (::fstatat(folderFd, local.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        const std::pair<unsigned long long, unsigned long long> id{static_cast<unsigned long long>(st.st_dev),
                                                                   static_cast<unsigned long long>(st.st_ino)};
        // Only a plain file is read; anything else is put aside for good.
        QByteArray bytes;
        if (S_ISREG(st.st_mode)) {
            const int fd = ::openat(folderFd, local.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                char buffer[4096];
                while (bytes.size() < kHandOffLimit) {
                    const ssize_t n = ::read(fd, buffer, sizeof buffer);
                    if (n < 0 && errno == EINTR)
                        continue;
                    if (n <= 0)
                        break;
                    bytes.append(buffer, n);
                }
                ::close(fd);
            }
        }
        if (!S_ISREG(st.st_mode) || ::unlinkat(folderFd, local.constData(), 0) != 0) {
            skipped_.insert(id);
            continue;
        }
        if (bytes.size() <= 3)
            continue;
        qsizetype end = bytes.indexOf('\n');
        if (end < 0)
            end = bytes.size();
        QByteArray line = bytes.left(end);
        if (line.endsWith('\r'))
            line.chop(1);
        const QString target = QString::fromUtf8(line).trimmed();
        if (!target.isEmpty())
            targets << target;
    }
    return targets;
}
