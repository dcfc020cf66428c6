#include "downloads/fetchslots.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

QString FetchTempStem(const QString& tempPagePrefix, int slot)
{
    return tempPagePrefix + QString::number(slot) + QStringLiteral("~~~");
}

QStringList FetchTempFiles(const QString& tempPagePrefix, int slot)
{
    QStringList out;
    if (tempPagePrefix.isEmpty())
        return out;
    const QFileInfo stem(FetchTempStem(tempPagePrefix, slot));
    const QDir folder = stem.absoluteDir();
    // The stem is matched literally: it holds no wildcard of its own.
    const QString start = stem.fileName();
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted)) {
        if (name.startsWith(start) && name.size() > start.size())
            out << folder.filePath(name);
    }
    return out;
}

void DeleteFetchTempFiles(const QString& tempPagePrefix, int slot)
{
    for (const QString& path : FetchTempFiles(tempPagePrefix, slot))
        QFile::remove(path);
}
