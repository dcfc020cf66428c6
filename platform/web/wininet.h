#pragma once

// The Internet functions the pages and the program's own requests go
// through: the per-process proxy, the connected (online/offline) state, an
// index of URL-cache and history entries, and the cookie and page caches of
// the web engine.
//
// - The proxy is handed to Chromium through QTWEBENGINE_CHROMIUM_FLAGS, which
//   only counts before the first web profile exists, and to QtNetwork through
//   NetworkAccessManager's own proxy factory. No application proxy factory
//   is set: the web engine would take its answer instead of its switches,
//   with one proxy for every scheme and none of the bypass list. Plain TCP
//   sockets never use it.
// - The offline state is process-wide and persisted as the user's global
//   offline value; pages of every attached profile are stopped by a request
//   interceptor, requests made through NetworkAccessManager fail at once.
// - The cache index is a file of our own (entries with a source name, a kind
//   and a last-access time), shared by the user's processes: locked
//   read-modify-write, atomic replacement, bounded reading.

#include <QDateTime>
#include <QList>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

class QWebEngineProfile;
class QWebEngineSettings;

namespace platform::wininet {

// ---- Proxy --------------------------------------------------------------

struct ProxyInfo {
    bool namedProxy = false; // false: direct access, the lists are kept but unused
    QString proxyList;       // "http=host:port https=host:port socks=host:port ..."
    QString bypassList;      // "*.local intranet <local>", blank or ";" separated
};

// One entry of a proxy list: scheme ("" for an entry without "scheme=") and
// "host:port".
struct ProxyEntry {
    QString scheme;
    QString server;
};
QList<ProxyEntry> parseProxyList(const QString& proxyList);
QStringList parseBypassList(const QString& bypassList);

// The Chromium switches for the proxy: "--no-proxy-server" for direct
// access, else "--proxy-server=<rules>" and, when there is a bypass list,
// "--proxy-bypass-list=<list>". Entries that Chromium cannot use (gopher) or
// that hold characters outside a host name, address or port are left out,
// so nothing but these switches can reach the command line.
QStringList chromiumProxySwitches(const ProxyInfo& info);

// Sets the proxy of this process: keeps it for QtNetwork (every
// NetworkAccessManager) and merges the switches into QTWEBENGINE_CHROMIUM_FLAGS,
// replacing earlier proxy switches. False when a web profile was already
// attached, so Chromium keeps the proxy it started with.
bool setProcessProxy(const ProxyInfo& info);
ProxyInfo processProxy();

// The QtNetwork side: URL requests of a named proxy's schemes go to their
// server ("socks" serves the schemes without a server of their own, as
// SOCKS 5, the only version QtNetwork speaks); loopback hosts, as in the
// web engine, hosts of the bypass list ("<local>": names without a dot;
// "*" wildcards) and every plain socket connect directly.
class ProxyFactory : public QNetworkProxyFactory {
public:
    explicit ProxyFactory(ProxyInfo info);
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override;

private:
    ProxyInfo info_;
    QList<ProxyEntry> entries_;
    QStringList bypass_;
};

// ---- Connected state ----------------------------------------------------

// Offline: the user asked to work offline. Read at first use from the user's
// global offline value, which setOffline writes back.
bool isOffline();
void setOffline(bool offline);

// Request blocking for pages (while offline, addresses the filter refuses,
// what local pages would load from the network), page-display options,
// cookie and cache clearing: every profile the program creates pages with
// is attached once, before its first page loads.
void attachProfile(QWebEngineProfile* profile);

// The addresses no page of an attached profile may request or open (the
// program's content filter), asked with the fully encoded text of every
// network request's address on the user-interface thread. The pages of
// windows left to the engine ask it in their navigation gate too.
using AddressFilter = std::function<bool(const QString& url)>;
void setAddressFilter(AddressFilter refuses);
// True when the filter refuses the address (false without a filter; a
// filter that fails refuses).
bool refusesAddress(const QString& url);

// A network access manager that honours the process proxy (as it stands at
// each request) and the offline state: while offline, requests to network
// schemes finish at once with NetworkSessionFailedError.
class NetworkAccessManager : public QNetworkAccessManager {
public:
    explicit NetworkAccessManager(QObject* parent = nullptr);

protected:
    QNetworkReply* createRequest(Operation op, const QNetworkRequest& request,
                                 QIODevice* outgoingData = nullptr) override;
};

// ---- Page-display options -----------------------------------------------

// The stored page-display options ("Software\Microsoft\Internet
// Explorer\Main" of the current user) applied to web-engine settings where
// Chromium has an equivalent: inline images -> AutoLoadImages; background
// sounds and inline videos -> playback without a user gesture (only when
// both are allowed). Animations have no equivalent and stay stored values.
void applyDisplayOptions(QWebEngineSettings* settings);
// The system settings changed: re-applies the options to every attached
// profile.
void broadcastSettingsChange();

// ---- URL cache and history index ----------------------------------------

enum EntryType : uint32_t {
    NormalEntry = 0x1,
    CookieEntry = 0x100000,
    UrlHistoryEntry = 0x200000,
};

struct CacheEntry {
    QString sourceName;
    uint32_t type = NormalEntry;
    QDateTime lastAccess; // UTC
};

// The index file: $XDG_DATA_HOME/wininet/urlcache.idx.
QString cacheIndexPath();

// Every entry in enumeration order (the order they were first added).
QList<CacheEntry> cacheEntries();
// Adds an entry, or updates kind and time of the entry of that source name.
// False for an empty or over-long name or when the index cannot be written.
bool addCacheEntry(const QString& sourceName, uint32_t type, const QDateTime& lastAccess);
// Deletes the entry of that exact source name; false when there is none.
bool deleteCacheEntry(const QString& sourceName);
// Deletes the entries of these exact source names with one rewrite of the
// index; the number deleted.
int deleteCacheEntries(const QStringList& sourceNames);

// Empties the cookie store / the HTTP cache of every attached profile.
void clearWebEngineCookies();
void clearWebEngineHttpCache();

} // namespace platform::wininet
