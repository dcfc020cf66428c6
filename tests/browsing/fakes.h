#pragma once

// A recording fake of the window around the tabs, a host of FakeBrowsers
// and the tabs over them with the recording services.

#include "browsing/tabbrowsing.h"
#include "tests/browsing/fakebrowser.h"
#include "recordingservices.h"

#include <QStringList>

#include <ostream>

#include <map>
#include <memory>
#include <stdexcept>

using platform::browser::FakeBrowser;

// Texts in test messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

class RecordingChrome : public ITabChrome {
public:
    explicit RecordingChrome(CallLog& log) : log_(log) {}
    void PlaceBrowsersInPanes(int tab) override { log_.add(QStringLiteral("PlaceBrowsersInPanes(%1)").arg(tab)); }
    void LayoutViewPanes(bool s, int16_t t, int16_t p) override
    {
        log_.add(QStringLiteral("LayoutViewPanes(%1,%2,%3)").arg(s).arg(t).arg(p));
    }
    void EnsureTabsForViewMode(bool) override { log_.add(QStringLiteral("EnsureTabsForViewMode")); }
    void BringSplittersToFront() override { log_.add(QStringLiteral("BringSplittersToFront")); }
    void ResetTabStripForCloseAll() override { log_.add(QStringLiteral("ResetTabStripForCloseAll")); }
    void SetStatusLine(const QString& text) override
    {
        status = text;
        log_.add(QStringLiteral("SetStatusLine(%1)").arg(text));
    }
    void SetBusyPicture(const QPixmap& p) override
    {
        if (throwOnBusyPicture)
            throw std::runtime_error("injected");
        busyPictureWidth = p.width();
        log_.add(QStringLiteral("SetBusyPicture(%1)").arg(p.width()));
    }
    void SetProgressBar(double max, double value) override
    {
        log_.add(QStringLiteral("SetProgressBar(%1,%2)").arg(max).arg(value));
    }
    void EndSplitterDrag() override { log_.add(QStringLiteral("EndSplitterDrag")); }
    bool IsFullScreen() override { return fullScreen; }
    void SetListTimer(int t, bool e) override { log_.add(QStringLiteral("SetListTimer(%1,%2)").arg(t).arg(e)); }
    void ShowTabCount(int count) override { log_.add(QStringLiteral("ShowTabCount(%1)").arg(count)); }
    void RefreshTabButtons(int flag) override { log_.add(QStringLiteral("RefreshTabButtons(%1)").arg(flag)); }
    void RefreshCurrentTabChrome() override { log_.add(QStringLiteral("RefreshCurrentTabChrome")); }
    void UpdateTabTitle(int button) override { log_.add(QStringLiteral("UpdateTabTitle(%1)").arg(button)); }
    void ScrollTabStripToCurrent() override
    {
        log_.add(QStringLiteral("ScrollTabStripToCurrent"));
        if (duringActivation)
            duringActivation();
    }
    int TabButtonsThatFit() override { return fit; }
    void SetBackButtonState(bool e) override { log_.add(QStringLiteral("SetBackButtonState(%1)").arg(e)); }
    void SetForwardButtonState(bool e) override { log_.add(QStringLiteral("SetForwardButtonState(%1)").arg(e)); }
    void BindDocumentEvents() override { log_.add(QStringLiteral("BindDocumentEvents")); }
    void AddTypedUrl() override { log_.add(QStringLiteral("AddTypedUrl")); }

    QString status;
    int busyPictureWidth = 0;
    int fit = 10;
    bool throwOnBusyPicture = false;
    bool fullScreen = false;
    std::function<void()> duringActivation;

private:
    CallLog& log_;
};

// WBMAIN as FakeBrowsers; browser 0 exists from the start.
class FakeHost : public IBrowserHost {
public:
    FakeHost() { browsers[0] = std::make_unique<FakeBrowser>(); browsers[0]->visibleFlag = true; }
    IBrowser* loadBrowser(int index) override
    {
        if (browsers.count(index))
            return nullptr;
        browsers[index] = std::make_unique<FakeBrowser>();
        ++loads;
        return browsers[index].get();
    }
    bool unloadBrowser(int index) override
    {
        if (throwOnUnload)
            throw std::runtime_error("injected");
        if (index < 1)
            return false;
        unloaded << index;
        return browsers.erase(index) > 0;
    }
    IBrowser* browser(int index) const override
    {
        auto it = browsers.find(index);
        return it == browsers.end() ? nullptr : it->second.get();
    }
    IBrowser* popupCatcher() override { return &catcher; }
    // A browser that must be loaded (std::out_of_range otherwise).
    FakeBrowser* fake(int index) const
    {
        auto it = browsers.find(index);
        if (it == browsers.end() || !it->second)
            throw std::out_of_range("browser not loaded");
        return it->second.get();
    }

    std::map<int, std::unique_ptr<FakeBrowser>> browsers;
    FakeBrowser catcher;
    QList<int> unloaded;
    int loads = 0;
    bool throwOnUnload = false;
};

// A main window state and the tabs over fakes.
struct TabsFixture {
    TabsFixture()
    {
        state.Initialize(1.0f);
        state.NavigationHeld.set(false);
        state.ClosedTabRingEnabled = -1;
        tabs = std::make_unique<TabBrowsing>(model, state, host, chrome, services);
        tabs->doEvents = [] {};
        tabs->busyPicture = [](int16_t id) { return std::optional<QPixmap>(QPixmap(id, 1)); };
        host.fake(0)->tagText = QStringLiteral("0|1|0|0|0|-1");
    }
    // Opens tabs with the given addresses after tab 0 and returns nothing;
    // each gets a loaded page.
    void open(const QStringList& urls)
    {
        for (const QString& u : urls) {
            const int n = model.TabCount();
            tabs->NewTab(n, true, true);
            host.fake(model.TabBrowserMap()[n])->navigate2(u);
        }
    }
    FakeBrowser* tabBrowser(int tab) const { return host.fake(model.TabBrowserMap()[tab]); }
    QList<int> map() const
    {
        QList<int> out;
        for (int t = 0; t < model.TabCount(); ++t)
            out << model.TabBrowserMap()[t];
        return out;
    }

    CallLog log;
    TabModel model;
    ExplorerState state;
    FakeHost host;
    RecordingChrome chrome{log};
    // The media, lists and downloads.
    ServiceSet services;
    RecordingServices fakes{services, log};
    std::unique_ptr<TabBrowsing> tabs;
};
