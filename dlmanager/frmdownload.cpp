#include "dlmanager/frmdownload.h"

#include "platform/web/browser.h"
#include "platform/web/wininet.h"

#include <QCoreApplication>
#include <QTimer>
#include <QVariant>
#include <QWebEngineCertificateError>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>

namespace browser = platform::browser;

namespace {

// An address longer than this is not an image address the program saves.
constexpr int kMaxImageAddress = 8192;
// How long a stopped load waits for another one before the page is given up.
constexpr int kStoppedLoadGraceMs = 1000;

} // namespace

frmDownload::frmDownload(const Settings& settings) : settings_(settings)
{
    form_.setCaption(QStringLiteral("frmDownload"));
}

frmDownload::~frmDownload()
{
    close();
    for (browser::Browser* b : dropped_)
        delete b;
    dropped_.clear();
    // The views and pages go before their profile.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete profile_;
}

void frmDownload::createProfile()
{
    if (profile_)
        return;
    if (!settings_.proxyHost.isEmpty() && settings_.proxyPort != 0) {
        platform::wininet::ProxyInfo proxy;
        proxy.namedProxy = true;
        proxy.proxyList = settings_.proxyHost + QLatin1Char(':') + QString::number(settings_.proxyPort);
        proxy.bypassList = settings_.proxyBypass;
        platform::wininet::setProcessProxy(proxy);
    }
    // No storage name: off the record, nothing of the pages stays on disk,
    // and lists running side by side share nothing.
    profile_ = new QWebEngineProfile();
    platform::wininet::attachProfile(profile_);
    QWebEngineSettings* s = profile_->settings();
    s->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    s->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, true);
    QObject::connect(profile_, &QWebEngineProfile::downloadRequested, profile_,
                     [this](QWebEngineDownloadRequest* d) { downloadRequested(d); });
}

void frmDownload::downloadRequested(QWebEngineDownloadRequest* download)
{
    // The engine never saves anything here: the program saves what it means to.
    const QString url = download->url().toString(QUrl::FullyEncoded);
    const bool ours = WBMain && download->page() == WBMain->page();
    download->cancel();
    if (!ours)
        return;
    const int serial = *serial_;
    QTimer::singleShot(0, profile_, [this, serial, url, token = std::weak_ptr<int>(serial_)] {
        if (token.expired() || *serial_ != serial || !events_.navigateError)
            return;
        events_.navigateError(url);
    });
}

void frmDownload::navigate2(const QString& url, Events events)
{
    createProfile();
    dropControl();
    events_ = std::move(events);
    const int serial = ++*serial_;
    const std::weak_ptr<int> token = serial_;
    auto current = [this, serial, token] { return !token.expired() && *serial_ == serial; };

    WBMain = new browser::Browser(form_, QStringLiteral("WBMain"), -1, nullptr, profile_);
    WBMain->setSilent(true);
    browser::BrowserEvents& e = WBMain->browserEvents();
    e.beforeNavigate2 = [this, current](browser::NavigationRequest& r) {
        if (!current() || !events_.beforeNavigate2) {
            r.cancel = true;
            return;
        }
        WBMain->setSilent(true);
        Navigation n{r.url, r.topLevel, false};
        events_.beforeNavigate2(n);
        r.cancel = n.cancel;
    };
    e.newWindow2 = [this, current](browser::NewWindowRequest& r) {
        r.cancel = true;
        if (current() && events_.newWindow2)
            events_.newWindow2(r.cancel);
        r.cancel = true;
    };
    QWebEnginePage* page = WBMain->page();
    QObject::connect(page, &QWebEnginePage::certificateError, page, [](const QWebEngineCertificateError& error) {
        auto refused = error;
        refused.rejectCertificate();
    });
    QObject::connect(page, &QWebEnginePage::urlChanged, page, [this, current] {
        if (current() && events_.navigateComplete2)
            events_.navigateComplete2();
    });
    auto loads = std::make_shared<int>(0);
    QObject::connect(page, &QWebEnginePage::loadingChanged, page, [this, current, loads, page](const QWebEngineLoadingInfo& info) {
        if (!current())
            return;
        const QString address = info.url().toString(QUrl::FullyEncoded);
        switch (info.status()) {
        case QWebEngineLoadingInfo::LoadStartedStatus:
            ++*loads;
            break;
        case QWebEngineLoadingInfo::LoadSucceededStatus:
            if (events_.documentComplete)
                events_.documentComplete(address, true);
            break;
        case QWebEngineLoadingInfo::LoadFailedStatus:
            if (events_.navigateError)
                events_.navigateError(address);
            break;
        case QWebEngineLoadingInfo::LoadStoppedStatus: {
            // A load that stops with nothing to show (an answer without
            // content, a redirect to a scheme the engine does not load) and
            // no other load after it leaves the page where it is for good.
            const int stoppedAt = *loads;
            QTimer::singleShot(kStoppedLoadGraceMs, page, [this, current, loads, page, stoppedAt, address] {
                if (current() && *loads == stoppedAt && !page->isLoading() && events_.navigateError)
                    events_.navigateError(address);
            });
            break;
        }
        }
    });
    WBMain->navigate2(url);
}

void frmDownload::dropControl()
{
    ++*serial_;
    events_ = Events{};
    if (!WBMain)
        return;
    browser::Browser* b = WBMain;
    WBMain = nullptr;
    b->browserEvents() = browser::BrowserEvents{};
    b->page()->disconnect();
    dropped_.push_back(b);
    // Its page may be inside an engine call right now: it goes from the loop.
    QTimer::singleShot(0, profile_, [this, b, token = std::weak_ptr<int>(serial_)] {
        if (token.expired())
            return;
        std::erase(dropped_, b);
        delete b;
    });
}

void frmDownload::close()
{
    dropControl();
}

void frmDownload::imageSources(int max, std::function<void(std::optional<QStringList>)> done)
{
    if (!WBMain) {
        QTimer::singleShot(0, [done = std::move(done)] { done(std::nullopt); });
        return;
    }
    const int serial = *serial_;
    const std::weak_ptr<int> token = serial_;
    // Run where the page's own scripts cannot reach or replace what it calls.
    const QString script = QStringLiteral(
                               "(function(){var r=[];var l=document.getElementsByTagName('IMG');"
                               "for(var i=0;i<l.length&&r.length<%1;i++){var s=String(l[i].src||'');"
                               "r.push(s.length<=%2?s:'');}return r;})()")
                               .arg(max)
                               .arg(kMaxImageAddress);
    WBMain->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                                  [this, serial, token, max, done = std::move(done)](const QVariant& result) {
                                      if (token.expired() || *serial_ != serial)
                                          return;
                                      if (result.typeId() != QMetaType::QVariantList) {
                                          done(std::nullopt);
                                          return;
                                      }
                                      QStringList sources;
                                      for (const QVariant& v : result.toList()) {
                                          if (sources.size() >= max)
                                              break;
                                          const QString s = v.toString();
                                          sources << (s.size() <= kMaxImageAddress ? s : QString());
                                      }
                                      done(sources);
                                  });
}

extern "C" Q_DECL_EXPORT PageBrowser* z5CreatePageBrowser(const PageBrowser::Settings* settings)
{
    return new frmDownload(settings ? *settings : PageBrowser::Settings());
}
