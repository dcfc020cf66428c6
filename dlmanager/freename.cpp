#include "dlmanager/freename.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

bool RenameNoReplace(const QByteArray& from, const QByteArray& to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without the flag: a hard link fails on an existing name.
    if (::link(from.constData(), to.constData()) != 0)
        return false;
    ::unlink(from.constData());
    return true;
}

namespace {

// The stem, shortened from its end, followed by tail, in at most maxBytes.
QString fitStem(QString stem, const QString& tail, qsizetype maxBytes)
{
    while (!stem.isEmpty() && QFile::encodeName(stem + tail).size() > maxBytes) {
        stem.chop(1);
        if (!stem.isEmpty() && stem.back().isHighSurrogate())
            stem.chop(1);
    }
    return stem + tail;
}

} // namespace

QString ShortenFileName(const QString& name, qsizetype maxBytes)
{
    if (QFile::encodeName(name).size() <= maxBytes)
        return name;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const bool keepExtension = dot > 0 && name.size() - dot <= 17;
    return fitStem(keepExtension ? name.left(dot) : name, keepExtension ? name.mid(dot) : QString(), maxBytes);
}

QString NumberedName(const QString& path, int n)
{
    const QFileInfo fi(path);
    const QString name = fi.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? name.left(dot) : name;
    const QString ext = dot > 0 ? name.mid(dot) : QString();
    return fi.path() + QLatin1Char('/') + fitStem(stem, QStringLiteral(" (%1)").arg(n) + ext, kMaxFileNameBytes);
}

namespace {

// Tries place(target) at wanted and its numbered names until one is free.
template <typename Place>
QString placeAtFreeName(Place place, const QString& wanted, int firstNumber, int* numberUsed)
{
    for (int n = std::max(1, firstNumber); n < 10000; ++n) {
        const QString target = n == 1 ? wanted : NumberedName(wanted, n);
        if (place(QFile::encodeName(target))) {
            if (numberUsed)
                *numberUsed = n;
            return target;
        }
        if (errno != EEXIST)
            return {};
    }
    errno = EEXIST;
    return {};
}

} // namespace

QString MoveToFreeName(const QString& from, const QString& wanted, int firstNumber, int* numberUsed)
{
    const QByteArray source = QFile::encodeName(from);
    return placeAtFreeName([&](const QByteArray& target) { return RenameNoReplace(source, target); }, wanted, firstNumber,
                           numberUsed);
}

QString PlaceAtFreeName(int fd, const QString& namedTemp, const QString& wanted, int firstNumber, int* numberUsed)
{
    if (!namedTemp.isEmpty())
        return MoveToFreeName(namedTemp, wanted, firstNumber, numberUsed);
    // A nameless file gets its first name by a link, which never replaces.
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    return placeAtFreeName(
        [&](const QByteArray& target) {
            return ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, target.constData(), AT_SYMLINK_FOLLOW) == 0;
        },
        wanted, firstNumber, numberUsed);
}
