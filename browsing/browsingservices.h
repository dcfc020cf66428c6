#pragma once

// What the tabs call outside their own code: the main window (pane
// placement, status line, busy picture, progress bar) and the display Parts
// of the tabs not built yet (tab strip, current-tab display, document
// sinks, typed addresses), the media player, the lists pane and the
// downloads. Each is a small interface; until its owner is built a stand-in
// that does nothing serves it (see StandInServices).

#include <QPixmap>
#include <QString>

namespace platform::browser {
class IBrowser;
}

// The main window and the tab chrome.
class IWindowChrome {
public:
    virtual ~IWindowChrome() = default;
    // Main window.
    virtual void PlaceBrowsersInPanes(int tab) = 0;
    virtual void LayoutViewPanes(bool showSplitters, int tabCount, int paneCount) = 0;
    virtual void EnsureTabsForViewMode(bool flag) = 0;
    virtual void BringSplittersToFront() = 0;
    // CloseTabs: one tab button left, empty address box, "1" tab.
    virtual void ResetTabStripForCloseAll() = 0;
    virtual void SetStatusLine(const QString& text) = 0; // WBTextBox(1)
    virtual void SetBusyPicture(const QPixmap& picture) = 0; // ImageBox(0)
    virtual void SetProgressBar(double max, double value) = 0; // WBProgressBar
    virtual void EndSplitterDrag() = 0;
    // Tab strip and current-tab display.
    virtual void ShowTabCount(int count) = 0;
    virtual void RefreshTabButtons(int flag) = 0;
    virtual void RefreshCurrentTabChrome() = 0;
    virtual void UpdateTabTitle(int button) = 0;
    virtual void ScrollTabStripToCurrent() = 0;
    virtual int TabButtonsThatFit() = 0;
    virtual void SetBackButtonState(bool enable) = 0;
    virtual void SetForwardButtonState(bool enable) = 0;
    // Document sinks and the typed-address list.
    virtual void BindDocumentEvents() = 0;
    virtual void AddTypedUrl() = 0;
};

// The media player.
class IMediaPlayer {
public:
    virtual ~IMediaPlayer() = default;
    virtual void CloseVideoPlayer() = 0;
    virtual void StopImageList() = 0;
    virtual void StopAudio() = 0;
    virtual void StopVideo() = 0;
    virtual void PlaceVideoView() = 0;
    virtual void RelayoutImageViewer() = 0;
    virtual void SetPageScrollOn() = 0;
    virtual void UpdateTransportButtons() = 0;
    virtual void SetListTimer(int timer, bool enabled) = 0; // AppTimer(3..5)
};

// The lists pane.
class IListsPane {
public:
    virtual ~IListsPane() = default;
    virtual void ShowCurrentList() = 0;
    virtual void UpdatePlaylistButtons() = 0;
};

// The downloads.
class IDownloads {
public:
    virtual ~IDownloads() = default;
    // A command address ("EVENT:Z5_...") from a local program page.
    virtual void HandlePageEvent(const QString& url) = 0;
    virtual void ResetFetchProgress() = 0;
    virtual void StopAllFetches() = 0;
};

// The tab menu of a tab button, built by the menus: shown with its top-left
// at (left, bottom), keeping clear of the button's rectangle; the key of the
// chosen command ("OPTION0" close, "OPTION1" clear) or "" when none.
class ITabMenu {
public:
    virtual ~ITabMenu() = default;
    virtual QString ShowTabMenu(int left, int top, int right, int bottom) = 0;
};

// The tab menu the running program plugs in; nullptr shows none.
void SetTabMenu(ITabMenu* menu);
ITabMenu* TabMenu();

// Stand-ins for owners not built yet: they do nothing. The tests list which
// calls still reach them.
class StandInChrome : public IWindowChrome {
public:
    void PlaceBrowsersInPanes(int) override {}
    void LayoutViewPanes(bool, int, int) override {}
    void EnsureTabsForViewMode(bool) override {}
    void BringSplittersToFront() override {}
    void ResetTabStripForCloseAll() override {}
    void SetStatusLine(const QString&) override {}
    void SetBusyPicture(const QPixmap&) override {}
    void SetProgressBar(double, double) override {}
    void EndSplitterDrag() override {}
    void ShowTabCount(int) override {}
    void RefreshTabButtons(int) override {}
    void RefreshCurrentTabChrome() override {}
    void UpdateTabTitle(int) override {}
    void ScrollTabStripToCurrent() override {}
    int TabButtonsThatFit() override { return 0; }
    void SetBackButtonState(bool) override {}
    void SetForwardButtonState(bool) override {}
    void BindDocumentEvents() override {}
    void AddTypedUrl() override {}
};

class StandInMediaPlayer : public IMediaPlayer {
public:
    void CloseVideoPlayer() override {}
    void StopImageList() override {}
    void StopAudio() override {}
    void StopVideo() override {}
    void PlaceVideoView() override {}
    void RelayoutImageViewer() override {}
    void SetPageScrollOn() override {}
    void UpdateTransportButtons() override {}
    void SetListTimer(int, bool) override {}
};

class StandInListsPane : public IListsPane {
public:
    void ShowCurrentList() override {}
    void UpdatePlaylistButtons() override {}
};

class StandInDownloads : public IDownloads {
public:
    void HandlePageEvent(const QString&) override {}
    void ResetFetchProgress() override {}
    void StopAllFetches() override {}
};
