#pragma once

// Browsing data: the URL cache and history entries, cookies, the typed
// addresses, the temporary folder, the visited-address listing of the
// History menu and the offline-favorite test. Nothing here reports errors:
// what cannot be deleted stays.

#include <QString>
#include <QStringList>
#include <cstdint>

inline constexpr uint32_t NormalCacheEntryMask = 0x1;
inline constexpr uint32_t CookieCacheEntryMask = 0x100000;
inline constexpr uint32_t UrlHistoryCacheEntryMask = 0x200000;

// The source names of every cache entry whose type has a bit of mask, in
// enumeration order.
QStringList GetUrlCacheEntries(uint32_t typeMask);
bool DeleteUrlCacheEntry(const QString& address);

// Normal entries whose name does not contain "Cookie" (exact case), then the
// web engine's page cache.
void DeleteTemporaryInternetFiles();
// Cookie entries, then the web engine's cookie store.
void DeleteCookieEntries();
void DeleteHistoryEntries();
// Deletes "url1", "url2", ... of the typed addresses until one cannot be
// deleted.
void ClearTypedUrls();
// Deletes the files of the program's private temporary folder and removes
// its empty sub-folders.
void ClearTempFolder();

// Records a visit of the address in the history entries, stamped now;
// addresses the History menu does not list (file:, about: ...) are left out.
void RecordVisitedAddress(const QString& address);

// Visited addresses of the history entries, with their "yyyymmddhhmmss"
// local last-access stamp in front when withStamp; sorted by character codes.
// count is raised by one for every address listed.
QStringList ListVisitedHistory(bool withStamp, bool descending, int32_t& count);

// True when name is a favorite kept for offline reading whose address is in
// the cache.
bool IsOfflineFavorite(const QString& folder, const QString& name);
