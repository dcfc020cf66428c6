#include "platform/win/ibrowser.h"

#include "platform/base/paths.h"

#include <QUrl>

namespace platform::browser {

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
    // not a valid address as it stands.
    if (!url.isValid() || url.scheme().isEmpty()) {
        const QUrl guess = QUrl::fromUserInput(t);
        return guess.isValid() ? guess.toString(QUrl::FullyEncoded) : QString();
    }
    return url.toString(QUrl::FullyEncoded);
}

} // namespace platform::browser
