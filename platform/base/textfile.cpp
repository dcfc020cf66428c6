#include "platform/base/textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QSaveFile>

#include <cstdio>
#include <unistd.h>

namespace platform::textfile {

std::optional<QByteArray> readAll(const QString& path, qint64 maxBytes)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = f.read(maxBytes + 1);
    if (bytes.size() > maxBytes || f.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

std::optional<QStringList> readLines(const QString& path, qint64 maxBytes)
{
    const auto bytes = readAll(path, maxBytes);
    if (!bytes)
        return std::nullopt;
    QStringList lines = QString::fromUtf8(*bytes).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString& l : lines)
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    return lines;
}

std::optional<QList<QByteArray>> readFirstLines(const QString& path, int count, qint64 maxLineBytes)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    QList<QByteArray> lines;
    while (lines.size() < count && !f.atEnd()) {
        QByteArray line = f.readLine(maxLineBytes + 1);
        if (f.error() != QFileDevice::NoError)
            return std::nullopt;
        if (line.endsWith('\n')) {
            line.chop(1);
        } else if (!f.atEnd()) {
            // Stopped at the bound before the line's end.
            line.truncate(maxLineBytes);
            // The rest of the line, in pieces of the same bound.
            for (QByteArray rest; !f.atEnd() && !(rest = f.readLine(maxLineBytes + 1)).endsWith('\n');)
                if (f.error() != QFileDevice::NoError)
                    return std::nullopt;
        }
        if (line.endsWith('\r'))
            line.chop(1);
        lines << line;
    }
    return lines;
}

bool writeAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

bool writePrivateAtomically(const QString& path, const QByteArray& bytes)
{
    // A temporary file is made with mode 0600.
    QTemporaryFile temp(QFileInfo(path).absolutePath() + QStringLiteral("/.") + QFileInfo(path).fileName() +
                        QStringLiteral(".XXXXXX"));
    if (!temp.open())
        return false;
    if (temp.write(bytes) != bytes.size() || !temp.flush() || ::fsync(temp.handle()) != 0)
        return false;
    if (::rename(QFile::encodeName(temp.fileName()).constData(), QFile::encodeName(path).constData()) != 0)
        return false;
    temp.setAutoRemove(false);
    return true;
}

bool replaceWithoutSync(const QString& path, const QByteArray& bytes)
{
    QTemporaryFile temp(QFileInfo(path).absolutePath() + QStringLiteral("/.") + QFileInfo(path).fileName() +
                        QStringLiteral(".XXXXXX"));
    if (!temp.open())
        return false;
    if (temp.write(bytes) != bytes.size() || !temp.flush())
        return false;
    temp.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    if (::rename(QFile::encodeName(temp.fileName()).constData(), QFile::encodeName(path).constData()) != 0)
        return false;
    temp.setAutoRemove(false);
    return true;
}

} // namespace platform::textfile
