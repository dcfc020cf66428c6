#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
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

QString privateTempFolder()
{
    QString base = QString::fromLocal8Bit(qgetenv("TMPDIR"));
    if (base.isEmpty() || !QFileInfo(base).isDir())
        base = QStringLiteral("/tmp");
    base = stripTrailingSeparator(base);
    const uid_t uid = ::getuid();
    const QString folder = base + QStringLiteral("/.private-") + QString::number(uid);
    const QByteArray local = QFile::encodeName(folder);
    if (::mkdir(local.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    struct stat st {};
    // lstat: a link planted by someone else is never followed.
    if (::lstat(local.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != uid)
        return {};
    if ((st.st_mode & 0777) != 0700 && ::chmod(local.constData(), 0700) != 0)
        return {};
    return folder;
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
