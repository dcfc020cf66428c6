#include "browsing/addressbox.h"

#include "core/settingsstore.h"

namespace {

// Far more than anyone types; it bounds a damaged list.
constexpr int kTypedUrlLimit = 10000;

QString valueName(int n)
{
    return QStringLiteral("url") + QString::number(n);
}

} // namespace

QString CompleteBareName(const QString& text)
{
    if (text.trimmed().isEmpty())
        return text;
    QString t = text;
    if (!t.contains(QLatin1String("www.")))
        t = QStringLiteral("www.") + t;
    if (!t.contains(QLatin1String(".com")))
        t += QStringLiteral(".com");
    if (!t.contains(QLatin1String("http")))
        t = QStringLiteral("http://") + t;
    return t;
}

QStringList ReadTypedUrls()
{
    QStringList urls;
    for (int n = 1; n <= kTypedUrlLimit; ++n) {
        const QString v = ReadTypedUrl(valueName(n));
        if (v.isEmpty())
            break;
        urls << v;
    }
    return urls;
}

void AddTypedUrl(const QString& text)
{
    // A profile that never had the key gets it with its first address.
    const QString key = QStringLiteral("Software\\Microsoft\\Internet Explorer\\TypedURLs");
    if (!RegistryKeyExists(HiveCurrentUser, key))
        CreateRegistryKey(HiveCurrentUser, key);
    for (int n = 1; n <= kTypedUrlLimit; ++n) {
        if (ReadTypedUrl(valueName(n)).isEmpty()) {
            WriteTypedUrl(valueName(n), text);
            return;
        }
    }
}
