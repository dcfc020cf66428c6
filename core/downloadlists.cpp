#include "core/downloadlists.h"

#include "platform/base/namedlock.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

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
