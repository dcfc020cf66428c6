#include "dlmanager/downloadname.h"

#include "core/urlcracker.h"
#include "platform/base/vbrt.h"

#include <QFile>
#include <QRegularExpression>
#include <QUrl>

namespace {

QString lastPart(const QString& name)
{
    const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? name : name.mid(slash + 1);
}

// One plain name: no path separator, control character or NUL, not "."
// or "..".
bool isPlainName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c == QLatin1Char('/'))
            return false;
    return true;
}

QString lastSegment(QString path)
{
    const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(cut + 1).trimmed();
}

} // namespace

QString GetDownloadFileName(const QString& address, clsWinInet& cracker)
{
    if (!cracker.CrackUrl(address))
        return {};
    const QString name = cracker.URLFileName();
    if (name.isEmpty() || !IsDownloadableName(name))
        return {};
    return name;
}

bool IsDownloadableName(const QString& name)
{
    if (name.endsWith(QLatin1Char('/')))
        return false;
    if (IsPageUrl(name))
        return false;
    const QString last = lastPart(name);
    const qsizetype dot = last.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return false;
    if (last.contains(QLatin1String("mailto:"), Qt::CaseInsensitive))
        return false;
    return !vb::isNumeric(last.mid(dot + 1, 3));
}

bool IsPageUrl(const QString& name)
{
    if (name.isEmpty())
        return false;
    const QString last = lastPart(name).toUpper();
    if (last.isEmpty())
        return false;
    for (const char* page : {".CGI", ".HTM", ".MHTM", ".PHTM", ".ASP", ".PHP"})
        if (last.contains(QLatin1String(page)))
            return true;
    return false;
}

QString AddressPathPrefix(const QString& address)
{
    const qsizetype slashes = address.lastIndexOf(QLatin1String("//"));
    const QString rest = slashes < 0 ? address.mid(1) : address.mid(slashes + 2);
    const qsizetype lastSlash = rest.lastIndexOf(QLatin1Char('/'));
    QString prefix = lastSlash < 0 ? QString() : rest.left(lastSlash + 1);
    prefix.replace(QLatin1Char('/'), QLatin1Char('-'));
    prefix.replace(QLatin1Char('\\'), QLatin1Char('-'));
    return prefix;
}

QString AddressFileName(const QString& address)
{
    clsWinInet cracker;
    if (!cracker.CrackUrl(address))
        return QStringLiteral("download");
    if (!cracker.URLFileName().isEmpty())
        return cracker.URLFileName();
    const QString name = lastSegment(cracker.URLPath());
    return isPlainName(name) ? name : QStringLiteral("download");
}

QString AnswerFileName(const QByteArray& contentDisposition)
{
    if (contentDisposition.size() > 4096)
        return {};
    const QString field = QString::fromLatin1(contentDisposition);
    static const QRegularExpression extended(QStringLiteral(R"((?:^|;)\s*filename\*\s*=\s*UTF-8'[^']*'([^;\s]+))"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression quoted(QStringLiteral(R"re((?:^|;)\s*filename\s*=\s*"((?:[^"\\]|\\.)*)")re"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression plain(QStringLiteral(R"((?:^|;)\s*filename\s*=\s*([^;"\s][^;]*))"),
                                          QRegularExpression::CaseInsensitiveOption);
    QString name;
    if (const auto m = extended.match(field); m.hasMatch()) {
        name = QUrl::fromPercentEncoding(m.captured(1).toLatin1());
    } else if (const auto q = quoted.match(field); q.hasMatch()) {
        name = QString::fromUtf8(q.captured(1).toLatin1());
        name.replace(QRegularExpression(QStringLiteral(R"(\\(.))")), QStringLiteral("\\1"));
    } else if (const auto p = plain.match(field); p.hasMatch()) {
        name = QString::fromUtf8(p.captured(1).trimmed().toLatin1());
    }
    name = lastSegment(name);
    while (name.startsWith(QLatin1Char('.')) && name != QLatin1String(".") && name != QLatin1String(".."))
        name.remove(0, 1);
    return isPlainName(name) ? name : QString();
}

