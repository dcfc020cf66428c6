#include "downloads/hiddenpage.h"

#include "platform/web/browser.h"
#include "platform/web/wininet.h"

#include <QAuthenticator>
#include <QNetworkCookie>
#include <QWebEngineCertificateError>
#include <QWebEngineCookieStore>
#include <QWebEngineDownloadRequest>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineQuotaRequest>
#include <QWebEngineRegisterProtocolHandlerRequest>
#include <QWebEngineSettings>

namespace browser = platform::browser;

namespace {

// The hidden pages' cookies as the fetcher sends them.
class CookieMirror : public QNetworkCookieJar {
public:
    using QNetworkCookieJar::cookiesForUrl;
    using QNetworkCookieJar::deleteCookie;
    using QNetworkCookieJar::insertCookie;
};

CookieMirror& cookieMirror()
{
    static CookieMirror* mirror = new CookieMirror;
    return *mirror;
}

browser::NavigationKind kindOf(QWebEnginePage::NavigationType type)
{
    switch (type) {
    case QWebEnginePage::NavigationTypeLinkClicked:
        return browser::NavigationKind::Link;
    case QWebEnginePage::NavigationTypeTyped:
        return browser::NavigationKind::Typed;
    case QWebEnginePage::NavigationTypeFormSubmitted:
        return browser::NavigationKind::Form;
    case QWebEnginePage::NavigationTypeBackForward:
        return browser::NavigationKind::BackForward;
    case QWebEnginePage::NavigationTypeReload:
        return browser::NavigationKind::Reload;
    case QWebEnginePage::NavigationTypeRedirect:
        return browser::NavigationKind::Redirect;
    default:
        return browser::NavigationKind::Other;
    }
}

} // namespace

QWebEngineProfile* FetchProfile()
{
    static QWebEngineProfile* profile = [] {
        // No storage name: off the record, nothing of the hidden pages stays on disk.
        auto* p = new QWebEngineProfile();
        platform::wininet::attachProfile(p);
        p->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
        // Nothing is ever saved by the engine here.
        QObject::connect(p, &QWebEngineProfile::downloadRequested, p, [](QWebEngineDownloadRequest* d) { d->cancel(); });
        QWebEngineCookieStore* store = p->cookieStore();
        QObject::connect(store, &QWebEngineCookieStore::cookieAdded, p,
                         [](const QNetworkCookie& c) { cookieMirror().insertCookie(c); });
        QObject::connect(store, &QWebEngineCookieStore::cookieRemoved, p,
                         [](const QNetworkCookie& c) { cookieMirror().deleteCookie(c); });
        return p;
    }();
    return profile;
}

QByteArray FetchCookieHeader(const QString& address)
{
    QByteArray header;
    for (const QNetworkCookie& c : cookieMirror().cookiesForUrl(QUrl(address))) {
        if (!header.isEmpty())
            header += "; ";
        header += c.toRawForm(QNetworkCookie::NameAndValueOnly);
    }
    return header;
}

HiddenPage::HiddenPage(QObject* parent) : QWebEnginePage(FetchProfile(), parent)
{
    // Set on the page, where a later change of the program's display
    // options (applied to every profile) cannot undo them.
    QWebEngineSettings* s = settings();
    s->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
    // Popups go to the slot's companion page; the owner refuses the others.
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
    s->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    s->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, true);
    s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    s->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, false);
    s->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
    s->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, true);
    s->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
    s->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
    // The fetcher gets the pictures itself, within its caps: the page
    // loads none of them.
    s->setAttribute(QWebEngineSettings::AutoLoadImages, false);
    setAudioMuted(true);
    QObject::connect(this, &QWebEnginePage::audioMutedChanged, this, [this](bool muted) {
        if (!muted)
            setAudioMuted(true);
    });
    QObject::connect(this, &QWebEnginePage::certificateError, this, [](const QWebEngineCertificateError& error) {
        auto refused = error;
        refused.rejectCertificate();
    });
    QObject::connect(this, &QWebEnginePage::featurePermissionRequested, this,
                     [this](const QUrl& origin, QWebEnginePage::Feature feature) {
                         setFeaturePermission(origin, feature, QWebEnginePage::PermissionDeniedByUser);
                     });
    QObject::connect(this, &QWebEnginePage::fileSystemAccessRequested, this,
                     [](QWebEngineFileSystemAccessRequest request) { request.reject(); });
    QObject::connect(this, &QWebEnginePage::registerProtocolHandlerRequested, this,
                     [](QWebEngineRegisterProtocolHandlerRequest request) { request.reject(); });
    QObject::connect(this, &QWebEnginePage::fullScreenRequested, this,
                     [](QWebEngineFullScreenRequest request) { request.reject(); });
    QObject::connect(this, &QWebEnginePage::quotaRequested, this, [](QWebEngineQuotaRequest request) { request.reject(); });
    // No answer to a log-in: the request fails.
    QObject::connect(this, &QWebEnginePage::authenticationRequired, this,
                     [](const QUrl&, QAuthenticator* authenticator) { *authenticator = QAuthenticator(); });
    QObject::connect(this, &QWebEnginePage::proxyAuthenticationRequired, this,
                     [](const QUrl&, QAuthenticator* authenticator, const QString&) { *authenticator = QAuthenticator(); });
    QObject::connect(this, &QWebEnginePage::newWindowRequested, this, [this](QWebEngineNewWindowRequest& request) {
        HiddenPage* target = events_.newWindow2 ? events_.newWindow2() : nullptr;
        if (target && target != this)
            request.openIn(target);
    });
    QObject::connect(this, &QWebEnginePage::loadStarted, this, [this] { ready_ = browser::ReadyLoading; });
    QObject::connect(this, &QWebEnginePage::loadProgress, this, [this](int progress) {
        if (progress > 0 && ready_ == browser::ReadyLoading)
            ready_ = browser::ReadyInteractive;
        if (events_.progressChange)
            events_.progressChange(progress, 100);
    });
    QObject::connect(this, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
        const QString address = info.url().toString(QUrl::FullyEncoded);
        if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus) {
            ready_ = browser::ReadyComplete;
            if (events_.documentComplete)
                events_.documentComplete(address);
        } else if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus) {
            ready_ = browser::ReadyComplete;
            if (events_.navigateError)
                events_.navigateError(address);
        } else if (info.status() == QWebEngineLoadingInfo::LoadStoppedStatus) {
            ready_ = browser::ReadyComplete;
        }
    });
}

HiddenPage::~HiddenPage()
{
    events_ = Events{};
    triggerAction(QWebEnginePage::Stop);
}

void HiddenPage::Navigate2(const QString& url)
{
    const QString canonical = browser::canonicalUrl(url);
    if (!canonical.isEmpty())
        load(QUrl(canonical));
}

void HiddenPage::Stop()
{
    triggerAction(QWebEnginePage::Stop);
}

bool HiddenPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    browser::NavigationRequest request;
    request.url = url.toString(QUrl::FullyEncoded);
    request.topLevel = isMainFrame;
    request.pageUrl = this->url().toString(QUrl::FullyEncoded);
    request.userInitiated = type == NavigationTypeLinkClicked;
    request.kind = kindOf(type);
    // The program's command scheme never loads here, nor what the content filter refuses.
    if (browser::isCommandUrl(request.url) || platform::wininet::refusesAddress(request.url))
        return false;
    if (events_.beforeNavigate2)
        events_.beforeNavigate2(request);
    return !request.cancel;
}

QWebEnginePage* HiddenPage::createWindow(WebWindowType)
{
    return nullptr;
}
