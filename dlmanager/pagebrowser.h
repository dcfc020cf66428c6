#pragma once

// The hidden browser control that page items load their pages in, as the
// program sees it. The control lives in a module of its own, loaded on the
// first page item, so that a list of files never loads or starts the web
// engine.

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class PageBrowser {
public:
    struct Navigation {
        QString url;
        bool topLevel = true;
        bool cancel = false;
    };
    struct Events {
        std::function<void(Navigation&)> beforeNavigate2;
        std::function<void()> navigateComplete2;
        std::function<void(bool& cancel)> newWindow2;
        // The page failed to load (also: the engine wanted to save the
        // address as a download, which it never does here, or the load
        // stopped with nothing to show and no other load after it).
        std::function<void(const QString& url)> navigateError;
        std::function<void(const QString& url, bool topLevel)> documentComplete;
    };
    struct Settings {
        QString proxyHost; // empty: direct
        quint16 proxyPort = 0;
        QString proxyBypass; // the hosts reached directly, blank-separated
    };

    virtual ~PageBrowser() = default;
    // Loads the address in a fresh control with these events; nothing of an
    // earlier page reaches them.
    virtual void navigate2(const QString& url, Events events) = 0;
    // Drops the page: no event arrives after this call.
    virtual void close() = 0;
    // The addresses of the IMG elements of the top-level document, in
    // document order, at most max of them; done runs once, later (nullopt
    // when the page could not answer), unless the page is closed first.
    virtual void imageSources(int max, std::function<void(std::optional<QStringList>)> done) = 0;
};

// The module's entry point.
extern "C" {
using CreatePageBrowserFunction = PageBrowser* (*)(const PageBrowser::Settings*);
}
inline constexpr const char* kCreatePageBrowserSymbol = "z5CreatePageBrowser";

// The module beside the program folder's shared libraries.
QString DefaultPageBrowserModule();
// Loads the module and makes its browser; nullptr with error set when the
// module cannot be loaded.
std::unique_ptr<PageBrowser> LoadPageBrowser(const QString& modulePath, const PageBrowser::Settings& settings,
                                             QString* error);
// True once this process has loaded the module (and with it the web engine).
bool PageBrowserLoaded();
