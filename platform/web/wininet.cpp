#include "platform/web/wininet.h"

#include "platform/base/proxybypass.h"
#include "platform/base/registry.h"
#include "platform/base/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QLockFile>
#include <QNetworkReply>
#include <QPointer>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>

#include <atomic>
#include <mutex>
#include <optional>
#include <sys/stat.h>

namespace platform::wininet {

namespace {

namespace reg = platform::registry;

const QString kInternetSettingsKey = QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings");
const QString kGlobalUserOffline = QStringLiteral("GlobalUserOffline");
const QString kDisplayKey = QStringLiteral("Software\\Microsoft\\Internet Explorer\\Main");

// ---- shared state ---------------------------------------------------------

std::mutex stateMutex;
ProxyInfo currentProxy;
std::atomic<int> offlineState{-1}; // -1 not read yet, 0 online, 1 offline
QList<QPointer<QWebEngineProfile>> attachedProfiles;
bool webEngineStarted = false;

bool isNetworkScheme(const QString& scheme)
{
    static const QStringList schemes = {QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("ftp"),
                                        QStringLiteral("ws"), QStringLiteral("wss")};
    return schemes.contains(scheme.toLower());
}

// ---- proxy text -----------------------------------------------------------

QStringList splitList(const QString& text)
{
    static const QRegularExpression separators(QStringLiteral("[\\s;]+"));
    return text.split(separators, Qt::SkipEmptyParts);
}

// Host names, IPv4/IPv6 addresses and ports only.
bool isSafeServer(const QString& server)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z0-9._\\-\\[\\]:]+$"));
    return re.match(server).hasMatch();
}

bool isSafeBypassToken(const QString& token)
{
    static const QRegularExpression re(QStringLiteral("^(<local>|[A-Za-z0-9.*_\\-\\[\\]:/]+)$"));
    return re.match(token).hasMatch();
}

using platform::proxy::matchesBypass;

std::optional<QNetworkProxy> proxyOf(QNetworkProxy::ProxyType type, const QString& server)
{
    const qsizetype colon = server.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return std::nullopt;
    bool ok = false;
    const uint port = server.mid(colon + 1).toUInt(&ok);
    if (!ok || port == 0 || port > 65535)
        return std::nullopt;
    QString host = server.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    return QNetworkProxy(type, host, static_cast<quint16>(port));
}

// ---- request blocking ------------------------------------------------------

AddressFilter& addressFilter()
{
    static AddressFilter filter;
    return filter;
}

// A request a local page makes itself: its initiator is a file, or, with no
// initiator told, the page shown is one.
bool madeByLocalPage(const QWebEngineUrlRequestInfo& info)
{
    if (!info.initiator().isEmpty())
        return info.initiator().scheme() == QLatin1String("file");
    return info.firstPartyUrl().scheme() == QLatin1String("file");
}

bool isNavigation(QWebEngineUrlRequestInfo::ResourceType type)
{
    return type == QWebEngineUrlRequestInfo::ResourceTypeMainFrame
        || type == QWebEngineUrlRequestInfo::ResourceTypeSubFrame;
}

// Every network request of an attached profile's pages: none while offline,
// none to an address the filter refuses, and from local pages only the
// navigations of their frames (a local page may be left for the web, but
// loads nothing from it).
class RequestInterceptor : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        const QUrl& url = info.requestUrl();
        const bool network = isNetworkScheme(url.scheme());
        if (!network)
            return;
        if (isOffline() || refusesAddress(url.toString(QUrl::FullyEncoded))
            || (madeByLocalPage(info) && !isNavigation(info.resourceType())))
            info.block(true);
    }
};

class OfflineReply : public QNetworkReply {
public:
    OfflineReply(QNetworkAccessManager::Operation op, const QNetworkRequest& request, QObject* parent)
        : QNetworkReply(parent)
    {
        setRequest(request);
        setUrl(request.url());
        setOperation(op);
        setError(NetworkSessionFailedError, QStringLiteral("Working offline"));
        open(QIODevice::ReadOnly);
        setFinished(true);
        QTimer::singleShot(0, this, [this] {
            Q_EMIT errorOccurred(NetworkSessionFailedError);
            Q_EMIT finished();
        });
    }
    void abort() override {}
    qint64 bytesAvailable() const override { return 0; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
};

// ---- cache index -----------------------------------------------------------

constexpr qint64 kMaxIndexBytes = 32 * 1024 * 1024;
constexpr int kMaxEntries = 200000;
constexpr int kMaxNameLength = 8192;
const QByteArray kIndexHeader = QByteArrayLiteral("URLCACHE 1");

struct FileStamp {
    bool exists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    timespec mtime{};
    bool operator==(const FileStamp& o) const
    {
        return exists == o.exists && dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec
            && mtime.tv_nsec == o.mtime.tv_nsec;
    }
};

FileStamp stampOf(const QString& path)
{
    FileStamp s;
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode)) {
        s.exists = true;
        s.dev = st.st_dev;
        s.ino = st.st_ino;
        s.size = st.st_size;
        s.mtime = st.st_mtim;
    }
    return s;
}

std::mutex indexMutex;
QString cachedPath;
FileStamp cachedStamp;
QList<CacheEntry> cachedEntries;

QByteArray escapeName(const QString& name)
{
    const QByteArray utf8 = name.toUtf8();
    QByteArray out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || u == '%') {
            out += '%';
            out += QByteArray::number(u, 16).rightJustified(2, '0').toUpper();
        } else {
            out += c;
        }
    }
    return out;
}

QList<CacheEntry> parseIndex(const QByteArray& bytes)
{
    QList<CacheEntry> entries;
    const QList<QByteArray> lines = bytes.split('\n');
    if (lines.isEmpty() || lines.first().trimmed() != kIndexHeader)
        return entries;
    for (qsizetype i = 1; i < lines.size() && entries.size() < kMaxEntries; ++i) {
        const QList<QByteArray> fields = lines[i].split('\t');
        if (fields.size() != 3)
            continue;
        bool okType = false, okTime = false;
        const uint32_t type = fields[0].toUInt(&okType, 16);
        const qint64 msecs = fields[1].toLongLong(&okTime);
        // Blanks belong to the name; only the carriage return of a CRLF line
        // goes.
        QByteArray field = fields[2];
        if (field.endsWith('\r'))
            field.chop(1);
        const QString name = QString::fromUtf8(QByteArray::fromPercentEncoding(field));
        if (!okType || !okTime || name.isEmpty() || name.size() > kMaxNameLength)
            continue;
        entries.append({name, type, QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC)});
    }
    return entries;
}

QByteArray formatIndex(const QList<CacheEntry>& entries)
{
    QByteArray out = kIndexHeader + '\n';
    for (const CacheEntry& e : entries) {
        out += QByteArray::number(e.type, 16) + '\t' + QByteArray::number(e.lastAccess.toMSecsSinceEpoch()) + '\t'
            + escapeName(e.sourceName) + '\n';
    }
    return out;
}

// The entries of the index file; parsed again only when the file changed.
// Called with indexMutex held.
QList<CacheEntry> loadIndexLocked()
{
    const QString path = cacheIndexPath();
    const FileStamp stamp = stampOf(path);
    if (path == cachedPath && stamp == cachedStamp)
        return cachedEntries;
    QList<CacheEntry> entries;
    if (stamp.exists) {
        if (const auto bytes = platform::textfile::readAll(path, kMaxIndexBytes))
            entries = parseIndex(*bytes);
    }
    cachedPath = path;
    cachedStamp = stamp;
    cachedEntries = entries;
    return entries;
}

// Runs change over the current entries under the index's file lock and
// writes the result when change returns true.
template <typename Change>
bool modifyIndex(Change change)
{
    std::lock_guard<std::mutex> guard(indexMutex);
    const QString path = cacheIndexPath();
    // The index is the user's browsing history: its folder is the user's alone.
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return false;
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QLockFile lock(path + QStringLiteral(".lock"));
    lock.setStaleLockTime(10000);
    if (!lock.tryLock(5000))
        return false;
    QList<CacheEntry> entries = loadIndexLocked();
    if (!change(entries))
        return false;
    if (!platform::textfile::writeAtomically(path, formatIndex(entries)))
        return false;
    cachedStamp = stampOf(path);
    cachedEntries = entries;
    return true;
}

} // namespace

// ---- Proxy --------------------------------------------------------------

QList<ProxyEntry> parseProxyList(const QString& proxyList)
{
    QList<ProxyEntry> entries;
    for (const QString& item : splitList(proxyList)) {
        const qsizetype eq = item.indexOf(QLatin1Char('='));
        if (eq < 0)
            entries.append({QString(), item});
        else
            entries.append({item.left(eq).toLower(), item.mid(eq + 1)});
    }
    return entries;
}

QStringList parseBypassList(const QString& bypassList)
{
    return platform::proxy::splitBypassList(bypassList);
}

QStringList chromiumProxySwitches(const ProxyInfo& info)
{
    if (!info.namedProxy)
        return {QStringLiteral("--no-proxy-server")};
    QStringList rules;
    for (const ProxyEntry& e : parseProxyList(info.proxyList)) {
        if (e.server.isEmpty() || !isSafeServer(e.server))
            continue;
        if (e.scheme.isEmpty())
            rules.append(e.server);
        else if (e.scheme == QLatin1String("http") || e.scheme == QLatin1String("https")
                 || e.scheme == QLatin1String("ftp") || e.scheme == QLatin1String("socks"))
            rules.append(e.scheme + QLatin1Char('=') + e.server);
    }
    if (rules.isEmpty())
        return {QStringLiteral("--no-proxy-server")};
    QStringList switches{QStringLiteral("--proxy-server=") + rules.join(QLatin1Char(';'))};
    QStringList bypass;
    for (const QString& token : parseBypassList(info.bypassList))
        if (isSafeBypassToken(token))
            bypass.append(token);
    if (!bypass.isEmpty())
        switches.append(QStringLiteral("--proxy-bypass-list=") + bypass.join(QLatin1Char(';')));
    return switches;
}

bool setProcessProxy(const ProxyInfo& info)
{
    bool started = false;
    {
        std::lock_guard<std::mutex> guard(stateMutex);
        currentProxy = info;
        started = webEngineStarted;
    }
    if (started)
        return false;
    QStringList flags = QString::fromLocal8Bit(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS")).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    flags.erase(std::remove_if(flags.begin(), flags.end(),
                               [](const QString& f) {
                                   return f == QLatin1String("--no-proxy-server")
                                       || f.startsWith(QLatin1String("--proxy-server="))
                                       || f.startsWith(QLatin1String("--proxy-bypass-list="))
                                       || f.startsWith(QLatin1String("--proxy-pac-url="));
                               }),
                flags.end());
    flags += chromiumProxySwitches(info);
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.join(QLatin1Char(' ')).toLocal8Bit());
    return true;
}

ProxyInfo processProxy()
{
    std::lock_guard<std::mutex> guard(stateMutex);
    return currentProxy;
}

ProxyFactory::ProxyFactory(ProxyInfo info)
    : info_(std::move(info))
    , entries_(parseProxyList(info_.proxyList))
    , bypass_(parseBypassList(info_.bypassList))
{
}

QList<QNetworkProxy> ProxyFactory::queryProxy(const QNetworkProxyQuery& query)
{
    const QList<QNetworkProxy> direct{QNetworkProxy(QNetworkProxy::NoProxy)};
    if (!info_.namedProxy || query.queryType() != QNetworkProxyQuery::UrlRequest)
        return direct;
    const QString scheme = query.url().scheme().toLower();
    // Exceptions name hosts in their ASCII form, as the settings hand them
    // over; a name may come here in its Unicode form.
    QString host = query.peerHostName();
    for (const QChar c : host) {
        if (c.unicode() > 127) {
            if (const QByteArray ace = QUrl::toAce(host); !ace.isEmpty())
                host = QString::fromLatin1(ace);
            break;
        }
    }
    const QHostAddress address(host);
    if ((address.isNull() ? host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 : address.isLoopback())
        || matchesBypass(bypass_, scheme, host))
        return direct;
    std::optional<QNetworkProxy> fallback;
    for (const ProxyEntry& e : entries_) {
        if (e.scheme == scheme || e.scheme.isEmpty()) {
            if (auto p = proxyOf(QNetworkProxy::HttpProxy, e.server))
                return {*p};
        }
        if (e.scheme == QLatin1String("socks") && !fallback)
            fallback = proxyOf(QNetworkProxy::Socks5Proxy, e.server);
    }
    if (fallback)
        return {*fallback};
    return direct;
}

// ---- Connected state ----------------------------------------------------

bool isOffline()
{
    int state = offlineState.load();
    if (state < 0) {
        const auto v = reg::readValue(reg::Hive::CurrentUser, kInternetSettingsKey, kGlobalUserOffline);
        state = (v && v->type == reg::ValueType::Dword && v->number == 1) ? 1 : 0;
        offlineState.store(state);
    }
    return state == 1;
}

void setOffline(bool offline)
{
    offlineState.store(offline ? 1 : 0);
    reg::writeValue(reg::Hive::CurrentUser, kInternetSettingsKey, kGlobalUserOffline, reg::Value::dword(offline ? 1 : 0));
}

void attachProfile(QWebEngineProfile* profile)
{
    if (!profile)
        return;
    {
        std::lock_guard<std::mutex> guard(stateMutex);
        webEngineStarted = true;
        attachedProfiles.removeAll(QPointer<QWebEngineProfile>());
        for (const auto& p : attachedProfiles)
            if (p == profile)
                return;
        attachedProfiles.append(profile);
    }
    profile->setUrlRequestInterceptor(new RequestInterceptor(profile));
    // Links of local pages lead to the web; what such a page loads itself
    // is the interceptor's to refuse.
    profile->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    applyDisplayOptions(profile->settings());
}

void setAddressFilter(AddressFilter refuses)
{
    addressFilter() = std::move(refuses);
}

bool refusesAddress(const QString& url)
{
    const AddressFilter& filter = addressFilter();
    if (!filter)
        return false;
    // A filter that fails refuses.
    try {
        return filter(url);
    } catch (...) {
        return true;
    }
}

namespace {

// The proxy of the process as it stands at each query.
class ProcessProxyFactory : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override
    {
        return ProxyFactory(processProxy()).queryProxy(query);
    }
};

} // namespace

NetworkAccessManager::NetworkAccessManager(QObject* parent) : QNetworkAccessManager(parent)
{
    setProxyFactory(new ProcessProxyFactory);
}

QNetworkReply* NetworkAccessManager::createRequest(Operation op, const QNetworkRequest& request,
                                                   QIODevice* outgoingData)
{
    if (isOffline() && isNetworkScheme(request.url().scheme()))
        return new OfflineReply(op, request, this);
    return QNetworkAccessManager::createRequest(op, request, outgoingData);
}

// ---- Page-display options -----------------------------------------------

void applyDisplayOptions(QWebEngineSettings* settings)
{
    if (!settings)
        return;
    auto allowed = [](const QString& name) {
        const auto v = reg::readValue(reg::Hive::CurrentUser, kDisplayKey, name);
        return !(v && (v->type == reg::ValueType::String || v->type == reg::ValueType::ExpandString)
                 && v->text.toUpper() == QLatin1String("NO"));
    };
    settings->setAttribute(QWebEngineSettings::AutoLoadImages, allowed(QStringLiteral("Display Inline Images")));
    const bool autoplay = allowed(QStringLiteral("Play_Background_Sounds")) && allowed(QStringLiteral("Display Inline Videos"));
    settings->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, !autoplay);
}

namespace {
QList<QWebEngineProfile*> liveProfiles()
{
    std::lock_guard<std::mutex> guard(stateMutex);
    QList<QWebEngineProfile*> out;
    for (const auto& p : attachedProfiles)
        if (p)
            out.append(p.data());
    return out;
}
} // namespace

void broadcastSettingsChange()
{
    for (QWebEngineProfile* p : liveProfiles())
        applyDisplayOptions(p->settings());
}

// ---- URL cache and history index ----------------------------------------

QString cacheIndexPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/wininet/urlcache.idx");
}

QList<CacheEntry> cacheEntries()
{
    std::lock_guard<std::mutex> guard(indexMutex);
    return loadIndexLocked();
}

bool addCacheEntry(const QString& sourceName, uint32_t type, const QDateTime& lastAccess)
{
    if (sourceName.isEmpty() || sourceName.size() > kMaxNameLength)
        return false;
    const QDateTime when = lastAccess.isValid() ? lastAccess.toUTC() : QDateTime::currentDateTimeUtc();
    return modifyIndex([&](QList<CacheEntry>& entries) {
        for (CacheEntry& e : entries) {
            if (e.sourceName == sourceName) {
                e.type = type;
                e.lastAccess = when;
                return true;
            }
        }
        if (entries.size() >= kMaxEntries)
            entries.removeFirst();
        entries.append({sourceName, type, when});
        return true;
    });
}

bool deleteCacheEntry(const QString& sourceName)
{
    return deleteCacheEntries({sourceName}) > 0;
}

int deleteCacheEntries(const QStringList& sourceNames)
{
    if (sourceNames.isEmpty())
        return 0;
    const QSet<QString> names(sourceNames.begin(), sourceNames.end());
    qsizetype deleted = 0;
    const bool written = modifyIndex([&](QList<CacheEntry>& entries) {
        deleted = entries.removeIf([&](const CacheEntry& e) { return names.contains(e.sourceName); });
        return deleted > 0;
    });
    return written ? static_cast<int>(deleted) : 0;
}

void clearWebEngineCookies()
{
    for (QWebEngineProfile* p : liveProfiles())
        p->cookieStore()->deleteAllCookies();
}

void clearWebEngineHttpCache()
{
    for (QWebEngineProfile* p : liveProfiles())
        p->clearHttpCache();
}

} // namespace platform::wininet
