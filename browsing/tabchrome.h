#pragma once

// What the tab model asks of the window around it: the panes its browsers
// fill, the status line, the busy picture, the progress bar, the list
// timers, and the tab strip and current-tab display that show the tabs.
// The running program's tabs serve it over the main window; tests record it.

#include <QPixmap>
#include <QString>

#include <cstdint>

class ITabChrome {
public:
    virtual ~ITabChrome() = default;
    // ---- The main window ----
    virtual void PlaceBrowsersInPanes(int tab) = 0;
    virtual void LayoutViewPanes(bool showSplitters, int16_t tabCount, int16_t paneCount) = 0;
    virtual void EnsureTabsForViewMode(bool flag) = 0;
    virtual void BringSplittersToFront() = 0;
    virtual void EndSplitterDrag() = 0;
    virtual void SetStatusLine(const QString& text) = 0;     // WBTextBox(1)
    virtual void SetBusyPicture(const QPixmap& picture) = 0; // ImageBox(0)
    virtual void SetProgressBar(double max, double value) = 0; // WBProgressBar
    // The full-screen view is on.
    virtual bool IsFullScreen() = 0;
    // The slide-show timers of lists 3 to 5, AppTimer(3..5).
    virtual void SetListTimer(int timer, bool enabled) = 0;
    // ---- The tab strip and the current-tab display ----
    // Close All: one tab button left, empty address box, "1" tab.
    virtual void ResetTabStripForCloseAll() = 0;
    virtual void ShowTabCount(int count) = 0;
    virtual void RefreshTabButtons(int flag) = 0;
    virtual void RefreshCurrentTabChrome() = 0;
    virtual void UpdateTabTitle(int button) = 0;
    virtual void ScrollTabStripToCurrent() = 0;
    virtual int TabButtonsThatFit() = 0;
    virtual void SetBackButtonState(bool enable) = 0;
    virtual void SetForwardButtonState(bool enable) = 0;
    // ---- Document sinks and the typed-address list ----
    virtual void BindDocumentEvents() = 0;
    virtual void AddTypedUrl() = 0;
};
