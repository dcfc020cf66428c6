#include "core/urlcracker.h"

#include "platform/base/urlcrack.h"

#include <algorithm>

namespace {

// The download file name of a path. "\" separates too: the name becomes a
// local file name, and the program's paths use "\" between folders.
QString fileNameOfPath(const QString& path)
{
    if (path.indexOf(QLatin1Char('.'), 1) < 1)
        return {};
    const qsizetype slash = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    const QString name = slash < 0 ? path : path.mid(slash + 1);
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return {};
    return name;
}

} // namespace

bool clsWinInet::CrackUrl(const QString& strSourceURL)
{
    const std::optional<platform::wininet::UrlParts> parts = platform::wininet::crackUrl(strSourceURL);
    if (!parts)
        return false;
    m_scheme = static_cast<int32_t>(parts->scheme);
    m_hostName = parts->hostName;
    m_port = parts->port;
    m_userName = parts->userName;
    m_password = parts->password;
    m_urlPath = parts->urlPath;
    m_extraInfo = parts->extraInfo;
    m_urlFileName = fileNameOfPath(m_urlPath);
    return true;
}
