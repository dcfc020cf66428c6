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

QString NumberedName(const QString& path, int n)
{
    const QFileInfo fi(path);
    const QString name = fi.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? name.left(dot) : name;
    const QString ext = dot > 0 ? name.mid(dot) : QString();
    return fi.path() + QLatin1Char('/') + stem + QStringLiteral(" (%1)").arg(n) + ext;
}

QString MoveToFreeName(const QString& from, const QString& wanted, int firstNumber, int* numberUsed)
{
    const QByteArray source = QFile::encodeName(from);
    for (int n = std::max(1, firstNumber); n < 10000; ++n) {
        const QString target = n == 1 ? wanted : NumberedName(wanted, n);
        if (RenameNoReplace(source, QFile::encodeName(target))) {
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
