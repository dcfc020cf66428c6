#include "core/quicklist.h"

#include "core/shellnames.h"
#include "platform/base/paths.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

QVector<QuickListLine> ReadQuickList(const QString& localPath, bool* opened)
{
    constexpr qint64 kMaxBytes = 1 << 20;
    constexpr int kMaxLines = 10000;
    QVector<QuickListLine> lines;
    QFile file(localPath);
    const bool ok = !localPath.isEmpty() && file.open(QIODevice::ReadOnly);
    if (opened)
        *opened = ok;
    if (!ok)
        return lines;
    const QByteArray bytes = file.read(kMaxBytes);
    QString text = QString::fromLocal8Bit(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QStringList raw = text.split(QLatin1Char('\n'));
    int read = 0;
    for (qsizetype i = 0; i < raw.size() && read < kMaxLines; ++i, ++read) {
        const QString& line = raw[i];
        // The split leaves one empty piece after a final line break.
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line == QLatin1String("-")) {
            lines.append({true, {}, {}});
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            break;
        lines.append({false, TrimControlChars(line.left(eq)), line.mid(eq + 1)});
    }
    return lines;
}

QString QuickListFileName(int list)
{
    static const char* const names[] = {"Z5_LIST_TRANSLATION.INI", "Z5_LIST_FOLDER.INI", "Z5_LIST_EMAIL.INI",
                                        "Z5_LIST_STARTPAGE.INI", "Z5_LIST_SEARCH.INI"};
    if (list < 0 || list > 4)
        return {};
    return QString::fromLatin1(names[list]);
}

QString ResolveQuickListPath(int list)
{
    const QString name = QuickListFileName(list);
    if (name.isEmpty())
        return {};
    const QString appData = GetSpecialFolder(8);
    if (!appData.isEmpty()) {
        const QString user = platform::paths::toLocal(appData + QStringLiteral("\\Z5\\") + name);
        if (QFileInfo(user).isFile())
            return user;
    }
    return platform::paths::programPath(QStringLiteral("\\Common\\") + name);
}

QVector<QuickListLine> QuickListLookup(int list, const QString& name)
{
    QVector<QuickListLine> found;
    for (const QuickListLine& l : ReadQuickList(ResolveQuickListPath(list)))
        if (!l.separator && l.name == name)
            found.append(l);
    return found;
}
