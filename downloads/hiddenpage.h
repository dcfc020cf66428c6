#pragma once

// A hidden browser of the background fetcher (WBBACK(i)): a page without a
// view that loads what a fetch slot asks and reports its navigations, new
// windows, completion, errors and progress. The pages are locked down: no
// script dialog, file chooser, permission, sound, download or certificate
// exception; a new window only where the owner hands a companion page.
//
// All hidden pages share one off-the-record profile of their own, attached
// to the program's network rules (proxy, offline state, content filter).
// The cookies its pages are given are mirrored, so the fetcher sends them
// with the pictures it downloads itself.

#include "platform/win/ibrowser.h"

#include <QByteArray>
#include <QNetworkCookieJar>
#include <QString>
#include <QWebEnginePage>

#include <functional>

class QWebEngineProfile;

// The profile of every hidden page, made on first use; it lives as long as
// the process.
QWebEngineProfile* FetchProfile();
// The "Cookie" value for address from the hidden pages' cookies ("" when none).
QByteArray FetchCookieHeader(const QString& address);

class HiddenPage : public QWebEnginePage {
public:
    struct Events {
        // A navigation of the page or one of its frames; set cancel to refuse.
        std::function<void(platform::browser::NavigationRequest&)> beforeNavigate2;
        // The page opens a window: the page to open it in, or nullptr to refuse.
        std::function<HiddenPage*()> newWindow2;
        std::function<void(const QString& url)> documentComplete;
        std::function<void(const QString& url)> navigateError;
        std::function<void(int progress, int progressMax)> progressChange;
    };

    explicit HiddenPage(QObject* parent = nullptr);
    ~HiddenPage() override;

    Events& events() { return events_; }
    // Loads the address (Navigate2 with no history entry).
    void Navigate2(const QString& url);
    void Stop();
    platform::browser::ReadyState readyState() const { return ready_; }

    // Made visible when it takes a popup (nothing shows it: it has no view).
    bool Visible = false;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;
    void javaScriptAlert(const QUrl&, const QString&) override {}
    bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
    bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override { return false; }
    QStringList chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) override { return {}; }

private:
    Events events_;
    platform::browser::ReadyState ready_ = platform::browser::ReadyUninitialized;
};
