#include "platform/base/urlcrack.h"

namespace platform::wininet {

namespace {

struct SchemeEntry {
    const char* name;
    UrlScheme scheme;
    int32_t defaultPort;
};

constexpr SchemeEntry kSchemes[] = {
    {"ftp", UrlScheme::Ftp, 21},           {"gopher", UrlScheme::Gopher, 70},
    {"http", UrlScheme::Http, 80},         {"https", UrlScheme::Https, 443},
    {"file", UrlScheme::File, 0},          {"news", UrlScheme::News, 0},
    {"mailto", UrlScheme::Mailto, 0},      {"socks", UrlScheme::Socks, 1080},
    {"javascript", UrlScheme::JavaScript, 0}, {"vbscript", UrlScheme::VbScript, 0},
    {"res", UrlScheme::Res, 0},
};

bool isSchemeChar(QChar c, bool first)
{
    const char16_t u = c.unicode();
    const bool letter = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
    if (first)
        return letter;
    return letter || (u >= u'0' && u <= u'9') || u == u'+' || u == u'-' || u == u'.';
}

bool fits(const QString& part)
{
    return part.size() < kUrlPartCapacity;
}

// The port text of an authority: empty (the default) or decimal digits up
// to 65535.
std::optional<int32_t> portNumber(const QString& text, int32_t defaultPort)
{
    if (text.isEmpty())
        return defaultPort;
    if (text.size() > 5)
        return std::nullopt;
    int32_t value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    if (value > 65535)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<UrlParts> crackUrl(const QString& url)
{
    const qsizetype colon = url.indexOf(QLatin1Char(':'));
    if (colon <= 0)
        return std::nullopt;
    UrlParts parts;
    parts.schemeName = url.left(colon);
    for (qsizetype i = 0; i < parts.schemeName.size(); ++i)
        if (!isSchemeChar(parts.schemeName[i], i == 0))
            return std::nullopt;
    if (!fits(parts.schemeName))
        return std::nullopt;
    parts.scheme = UrlScheme::Unknown;
    int32_t defaultPort = 0;
    for (const SchemeEntry& e : kSchemes) {
        if (parts.schemeName.compare(QLatin1String(e.name), Qt::CaseInsensitive) == 0) {
            parts.scheme = e.scheme;
            defaultPort = e.defaultPort;
            break;
        }
    }
    parts.port = defaultPort;

    qsizetype at = colon + 1;
    // The extra information begins at the first "?" or "#" after the scheme.
    qsizetype extra = url.size();
    for (qsizetype i = at; i < url.size(); ++i) {
        if (url[i] == QLatin1Char('?') || url[i] == QLatin1Char('#')) {
            extra = i;
            break;
        }
    }
    if (url.mid(at, 2) == QLatin1String("//") && at + 2 <= extra) {
        at += 2;
        qsizetype end = url.indexOf(QLatin1Char('/'), at);
        if (end < 0 || end > extra)
            end = extra;
        const QString authority = url.mid(at, end - at);
        QString hostPort = authority;
        const qsizetype atSign = authority.lastIndexOf(QLatin1Char('@'));
        if (atSign >= 0) {
            const QString userInfo = authority.left(atSign);
            hostPort = authority.mid(atSign + 1);
            const qsizetype sep = userInfo.indexOf(QLatin1Char(':'));
            parts.userName = sep < 0 ? userInfo : userInfo.left(sep);
            parts.password = sep < 0 ? QString() : userInfo.mid(sep + 1);
        }
        QString portText;
        if (hostPort.startsWith(QLatin1Char('['))) {
            // A bracketed IPv6 address keeps its brackets.
            const qsizetype close = hostPort.indexOf(QLatin1Char(']'));
            if (close < 0)
                return std::nullopt;
            parts.hostName = hostPort.left(close + 1);
            const QString rest = hostPort.mid(close + 1);
            if (!rest.isEmpty() && !rest.startsWith(QLatin1Char(':')))
                return std::nullopt;
            portText = rest.mid(1);
        } else {
            const qsizetype sep = hostPort.lastIndexOf(QLatin1Char(':'));
            parts.hostName = sep < 0 ? hostPort : hostPort.left(sep);
            portText = sep < 0 ? QString() : hostPort.mid(sep + 1);
        }
        const std::optional<int32_t> port = portNumber(portText, defaultPort);
        if (!port)
            return std::nullopt;
        parts.port = *port;
        at = end;
    }
    parts.urlPath = url.mid(at, extra - at);
    parts.extraInfo = url.mid(extra);
    for (const QString* p : {&parts.hostName, &parts.userName, &parts.password, &parts.urlPath, &parts.extraInfo})
        if (!fits(*p))
            return std::nullopt;
    return parts;
}

} // namespace platform::wininet
