#include "downloads/downloadlistnames.h"

#include "core/downloadlists.h"

#include <QDir>
#include <QLocale>

QString DownloadListName(const QDateTime& when, const QString& playlistPath)
{
    const QString time = QLocale::c().toString(when, QStringLiteral("MMdd hhmmAP"));
    if (playlistPath.isEmpty())
        return time;
    const qsizetype cut = std::max(playlistPath.lastIndexOf(QLatin1Char('/')), playlistPath.lastIndexOf(QLatin1Char('\\')));
    QString file = playlistPath.mid(cut + 1);
    file.chop(std::min<qsizetype>(4, file.size()));
    QString cleaned;
    for (const QChar c : file) {
        if (c == QLatin1Char('|') || c == QLatin1Char('/') || c == QLatin1Char('\\'))
            cleaned += QLatin1Char('_');
        else if (c.unicode() >= 0x20 && c.unicode() != 0x7F)
            cleaned += c;
    }
    const QString name = time + QStringLiteral(" - ") + cleaned;
    return IsSafeListName(name) ? name : time;
}

QStringList ListedDownloadLists(const QString& value)
{
    return value.split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

QString AddDownloadListName(const QString& value, const QString& name)
{
    QStringList names = ListedDownloadLists(value);
    names.prepend(name);
    QString out;
    for (qsizetype i = 0; i < std::min<qsizetype>(10, names.size()); ++i)
        out += QLatin1Char('|') + names[i];
    return out;
}

QString RemoveDownloadListName(const QString& value, const QString& name)
{
    QString out;
    for (const QString& listed : ListedDownloadLists(value))
        if (listed != name)
            out += QLatin1Char('|') + listed;
    return out;
}

QString FreeDownloadListName(const QString& dataFolder, const QString& name, const QString& value)
{
    const QStringList listed = ListedDownloadLists(value);
    const QStringList files = QDir(dataFolder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    const auto taken = [&](const QString& candidate) {
        if (listed.contains(candidate))
            return true;
        for (const QString& suffix : DownloadListSuffixes())
            if (files.contains(candidate + suffix))
                return true;
        return false;
    };
    QString candidate = name;
    for (int n = 2; taken(candidate); ++n)
        candidate = name + QStringLiteral(" (%1)").arg(n);
    return candidate;
}
