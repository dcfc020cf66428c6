#include "core/downloadlists.h"

#include "core/listline.h"
#include "platform/base/namedlock.h"
#include "platform/base/paths.h"
#include "platform/base/textfile.h"

#include <QCryptographicHash>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

bool IsSafeListName(const QString& name)
{
    if (name.isEmpty() || name.size() > 200 || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))
        || name.contains(QLatin1String("..")))
        return false;
    for (const QChar c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    return true;
}

QString DownloadListLockName(const QString& programFolder, const QString& listName)
{
    QString folder = QFileInfo(programFolder).canonicalFilePath();
    if (folder.isEmpty())
        folder = QFileInfo(programFolder).absoluteFilePath();
    return QStringLiteral("Z5DownLoad list ") + folder + QStringLiteral("/Data/") + listName;
}

bool IsDownloadListRunning(const QString& programFolder, const QString& listName)
{
    platform::NamedLock lock(DownloadListLockName(programFolder, listName));
    if (!lock.tryLock())
        return true;
    lock.unlock();
    return false;
}

const QStringList& DownloadListSuffixes()
{
    static const QStringList suffixes{QStringLiteral(".Z5P"),    QStringLiteral(".LOG"),   QStringLiteral(".HTM"),
                                      QStringLiteral("F1.HTM"),  QStringLiteral("F2.HTM"), QStringLiteral("F3.HTM"),
                                      QStringLiteral(".Z5C1"),   QStringLiteral(".Z5C2")};
    return suffixes;
}

bool IsDownloadListFileName(const QString& fileName)
{
    static const QRegularExpression pattern(QStringLiteral(
        R"(^\d{4} \d{4}(AM|PM)( - .*)?( \(\d+\))?(\.Z5P|\.LOG|\.HTM|F[123]\.HTM|\.Z5C[12])$)"));
    return pattern.match(fileName).hasMatch();
}

QByteArray DownloadListPartialTag(const QString& programFolder, const QString& listName)
{
    return QCryptographicHash::hash(DownloadListLockName(programFolder, listName).toUtf8(), QCryptographicHash::Sha256)
        .toHex();
}

namespace {

// A list file is read up to this size, as the download manager reads it.
constexpr qint64 kListReadLimit = 64 * 1024 * 1024;
// The item lines start after the list's eight header lines.
constexpr qsizetype kListHeaderLines = 8;

// True when path is a plain file of the user's, with no other link, that
// carries tag as its list.
bool isPartialOfList(const QByteArray& path, const QByteArray& tag)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    char value[256];
    bool ours = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && st.st_nlink == 1;
    if (ours) {
        const ssize_t n = ::fgetxattr(fd, kPartialListAttribute, value, sizeof value);
        ours = n > 0 && QByteArray(value, static_cast<qsizetype>(n)) == tag;
    }
    ::close(fd);
    return ours;
}

} // namespace

int RemoveDownloadListPartials(const QString& programFolder, const QString& listName)
{
    if (!IsSafeListName(listName))
        return 0;
    const auto bytes =
        platform::textfile::readAll(QDir(programFolder).filePath(QStringLiteral("Data/") + listName + QStringLiteral(".Z5P")),
                                    kListReadLimit);
    if (!bytes)
        return 0;
    QStringList folders;
    const QStringList lines = QString::fromUtf8(*bytes).split(QLatin1Char('\n'));
    for (qsizetype i = kListHeaderLines; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString folder = platform::paths::toLocal(DecodeListLine(line).value(3).trimmed());
        if (QDir::isAbsolutePath(folder) && !folders.contains(folder))
            folders << folder;
    }
    const QByteArray tag = DownloadListPartialTag(programFolder, listName);
    int removed = 0;
    for (const QString& folder : folders) {
        const QDir dir(folder);
        for (const QString& name : dir.entryList({QStringLiteral("*~~~")}, QDir::Files | QDir::Hidden | QDir::System)) {
            const QByteArray path = QFile::encodeName(dir.filePath(name));
            if (isPartialOfList(path, tag) && ::unlink(path.constData()) == 0)
                ++removed;
        }
    }
    return removed;
}

namespace {

QString attribute(const QString& text)
{
    return text.toHtmlEscaped().replace(QLatin1Char('\''), QLatin1String("&#39;"));
}

} // namespace

QByteArray DownloadStatusFrameset(const QString& listBase)
{
    const auto frame = [&listBase](int n, const char* scrolling) {
        const QString url = QString::fromLatin1(
            QUrl::fromLocalFile(listBase + QStringLiteral("F%1.HTM").arg(n)).toEncoded(QUrl::FullyEncoded));
        return QStringLiteral("<frame name='F%1' id='F%1' scrolling='%2' noresize src='%3'>\r\n")
            .arg(n)
            .arg(QLatin1String(scrolling), attribute(url));
    };
    QString page = QStringLiteral("<HTML><TITLE>Z5 Download Manager</TITLE>\r\n"
                                  "<frameset framespacing='0' border='0' frameborder='0' rows='130,*,30'>\r\n");
    page += frame(1, "no") + frame(2, "auto") + frame(3, "no");
    page += QStringLiteral("</frameset></HTML>\r\n");
    return page.toUtf8();
}
