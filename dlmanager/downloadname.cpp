#include "dlmanager/downloadname.h"

#include "core/urlcracker.h"
#include "platform/base/vbrt.h"

namespace {

QString lastPart(const QString& name)
{
    const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? name : name.mid(slash + 1);
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
