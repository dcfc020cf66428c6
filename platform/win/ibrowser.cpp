#include "platform/win/ibrowser.h"

#include "platform/base/paths.h"

#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

namespace platform::browser {

namespace {

// Schemes an address may really begin with; anything else before a colon
// may be a host name.
bool isKnownScheme(const QString& scheme)
{
    static const QStringList known = {
        QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("ftp"), QStringLiteral("file"),
        QStringLiteral("about"), QStringLiteral("data"), QStringLiteral("blob"), QStringLiteral("javascript"),
        QStringLiteral("vbscript"), QStringLiteral("mailto"), QStringLiteral("news"), QStringLiteral("tel"),
        QStringLiteral("ws"), QStringLiteral("wss"), QStringLiteral("view-source"), QStringLiteral("qrc"),
        QStringLiteral("chrome"), QStringLiteral("res"), QStringLiteral("event"),
    };
    return known.contains(scheme, Qt::CaseInsensitive);
}

// "localhost:8080/x" or "host.example:8080": a host name and a port typed
// without a scheme, which the parser reads as the scheme "localhost:".
bool isHostAndPort(const QString& text)
{
    static const QRegularExpression re(
        QStringLiteral("^([A-Za-z0-9](?:[A-Za-z0-9\\-]*[A-Za-z0-9])?(?:\\.[A-Za-z0-9](?:[A-Za-z0-9\\-]*[A-Za-z0-9])?)*)"
                       ":(\\d{1,5})(?:[/?#].*)?$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch() || isKnownScheme(m.captured(1)))
        return false;
    const int port = m.captured(2).toInt();
    return port >= 1 && port <= 65535;
}

} // namespace

QString canonicalUrl(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    // A path as the program writes it ("\" between folders, or a local
    // path), never cut by hand.
    if (t.startsWith(QLatin1Char('/')) || t.startsWith(QLatin1Char('\\')) || (t.contains(QLatin1Char('\\')) && !t.contains(QLatin1String("://"))))
        return QUrl::fromLocalFile(paths::toLocal(t)).toString(QUrl::FullyEncoded);
    const QUrl url(t, QUrl::TolerantMode);
    // An address typed without its scheme ("127.0.0.1:8080/x.html") is
    // not a valid address as it stands; a named host with a port
    // ("localhost:8080/x") even reads as one of another scheme.
    if (!url.isValid() || url.scheme().isEmpty() || isHostAndPort(t)) {
        const QUrl guess = QUrl::fromUserInput(t);
        return guess.isValid() ? guess.toString(QUrl::FullyEncoded) : QString();
    }
    return url.toString(QUrl::FullyEncoded);
}

} // namespace platform::browser
