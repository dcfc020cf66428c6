#include "core/cleanup.h"

#include "core/language.h"
#include "core/settingsstore.h"
#include "platform/base/paths.h"
#include "platform/web/wininet.h"

#include <QDir>
#include <QFile>

namespace wininet = platform::wininet;

namespace {

const QString kTypedUrlsKey = QStringLiteral("Software\\Microsoft\\Internet Explorer\\TypedURLs");
const QString kWebcheckKey = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Webcheck\\Store.1");

bool isListedVisit(const QString& name)
{
    if (!name.contains(QLatin1String("Visited")))
        return false;
    static const char* const refused[] = {"\\", "javascript", "file:", "about:", "res:", "mailto:"};
    for (const char* r : refused)
        if (name.contains(QLatin1String(r)))
            return false;
    return true;
}

// Shell sort on the 1-based positions of list, gaps 1, 4, 13, ... below the
// upper bound, by character codes.
void shellSort(QStringList& list, bool descending)
{
    const qsizetype upper = list.size(); // 1-based upper bound
    qsizetype h = 1;
    while (h <= upper)
        h = 3 * h + 1;
    do {
        h /= 3;
        for (qsizetype i = 1 + h; i <= upper; ++i) {
            const QString inHand = list[i - 1];
            qsizetype j = i;
            while (j > h && (descending ? list[j - h - 1] < inHand : list[j - h - 1] > inHand)) {
                list[j - 1] = list[j - h - 1];
                j -= h;
            }
            list[j - 1] = inHand;
        }
    } while (h > 1);
}

} // namespace

QStringList GetUrlCacheEntries(uint32_t typeMask)
{
    QStringList list;
    for (const wininet::CacheEntry& e : wininet::cacheEntries())
        if ((e.type & typeMask) != 0)
            list.append(e.sourceName);
    return list;
}

bool DeleteUrlCacheEntry(const QString& address)
{
    return wininet::deleteCacheEntry(address);
}

// The clean-up actions delete what they listed with one rewrite of the
// index, not one per entry.
void DeleteTemporaryInternetFiles()
{
    QStringList addresses = GetUrlCacheEntries(NormalCacheEntryMask);
    addresses.removeIf([](const QString& address) { return address.contains(QLatin1String("Cookie")); });
    wininet::deleteCacheEntries(addresses);
    wininet::clearWebEngineHttpCache();
}

void DeleteCookieEntries()
{
    wininet::deleteCacheEntries(GetUrlCacheEntries(CookieCacheEntryMask));
    wininet::clearWebEngineCookies();
}

void DeleteHistoryEntries()
{
    wininet::deleteCacheEntries(GetUrlCacheEntries(UrlHistoryCacheEntryMask));
}

void RecordVisitedAddress(const QString& address)
{
    const QString name = QStringLiteral("Visited: z5@") + address;
    if (address.isEmpty() || !isListedVisit(name))
        return;
    wininet::addCacheEntry(name, UrlHistoryCacheEntryMask, QDateTime::currentDateTimeUtc());
}

void ClearTypedUrls()
{
    if (!RegistryKeyExists(HiveCurrentUser, kTypedUrlsKey))
        return;
    for (int16_t n = 1; n < INT16_MAX; ++n) {
        if (!platform::registry::deleteValue(HiveCurrentUser, kTypedUrlsKey, QStringLiteral("url") + QString::number(n)))
            return;
    }
}

void ClearTempFolder()
{
    const QString folder = platform::paths::privateTempFolder();
    if (folder.isEmpty())
        return;
    QDir dir(folder);
    // Hidden files are not listed, and neither are dangling links.
    for (const QString& name : dir.entryList(QDir::Files | QDir::NoDotAndDotDot))
        QFile::remove(dir.filePath(name));
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks))
        dir.rmdir(name);
}

QStringList ListVisitedHistory(bool withStamp, bool descending, int32_t& count)
{
    QStringList list;
    for (const wininet::CacheEntry& e : wininet::cacheEntries()) {
        if ((e.type & UrlHistoryCacheEntryMask) == 0)
            continue;
        const QString& name = e.sourceName;
        if (!isListedVisit(name))
            continue;
        const qsizetype at = name.indexOf(QLatin1Char('@'));
        QString entry = at < 0 ? name : name.mid(at + 1);
        if (withStamp)
            entry = e.lastAccess.toLocalTime().toString(QStringLiteral("yyyyMMddHHmmss")) + entry;
        ++count;
        list.append(entry);
    }
    if (list.size() > 1)
        shellSort(list, descending);
    return list;
}

bool IsOfflineFavorite(const QString& folder, const QString& name)
{
    QString keyPath = kWebcheckKey;
    bool found = false;
    EnumRegistryValues(HiveCurrentUser, keyPath, name, found);
    if (!found)
        EnumRegistryKeys(HiveCurrentUser, keyPath, name, found);
    if (!found)
        return false;
    const QString shortcut = platform::paths::toLocal(folder + QLatin1Char('\\') + name + QStringLiteral(".url"));
    const QString address = ReadIniValue(QStringLiteral("InternetShortcut"), QStringLiteral("URL"), QString(), shortcut);
    return GetUrlCacheEntries(NormalCacheEntryMask).contains(address);
}
