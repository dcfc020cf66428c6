#include "tests/browsing/fakebrowser.h"

namespace platform::browser {

void FakeBrowser::navigate2(const QString& url)
{
    navigated << url;
    if (holdNavigation) {
        state = ReadyLoading;
        return;
    }
    location = canonicalUrl(url);
    state = ReadyComplete;
}

int FakeBrowser::queryStatusWB(BrowserCommand) const
{
    return commandStatus;
}

bool FakeBrowser::gate(const QString& url, bool topLevel, const QString& pageUrl, NavigationKind kind)
{
    NavigationRequest r;
    r.url = url;
    r.topLevel = topLevel;
    r.pageUrl = pageUrl.isNull() ? location : pageUrl;
    r.kind = kind;
    if (browserEvents().beforeNavigate2) {
        try {
            browserEvents().beforeNavigate2(r);
        } catch (...) {
            r.cancel = true;
        }
    }
    return !r.cancel;
}

NewWindowRequest FakeBrowser::requestWindow(const QString& url, bool userInitiated)
{
    NewWindowRequest r;
    r.url = url;
    r.userInitiated = userInitiated;
    if (browserEvents().newWindow2)
        browserEvents().newWindow2(r);
    return r;
}

} // namespace platform::browser
