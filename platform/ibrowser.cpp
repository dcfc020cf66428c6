#include "platform/ibrowser.h"

#include "platform/paths.h"

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
    if (!url.isValid())
        return {};
    if (url.scheme().isEmpty())
        return QUrl::fromUserInput(t).toString(QUrl::FullyEncoded);
    return url.toString(QUrl::FullyEncoded);
}

} // namespace platform::browser
