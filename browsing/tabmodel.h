#pragma once

// The tabs of the window as data: how many there are, which is current,
// the browser (WBMAIN index) and title of each, the ring of closed tabs'
// addresses, the popup burst mark and the last click seen in the browser
// area. Tab numbers are 0-based and change when a tab before them closes;
// browser indexes never do. The two arrays hold one entry more than there
// are tabs, as the tab operations expect.

#include <QString>
#include <QStringList>
#include <QVector>

#include <cstdint>

class TabModel {
public:
    // One tab, on browser 0.
    TabModel();

    int16_t TabCount() const { return count_; }
    int16_t CurrentTab() const { return current_; }
    // Tab number to browser index.
    const QVector<int16_t>& TabBrowserMap() const { return browsers_; }
    const QStringList& TabTitles() const { return titles_; }
    // The tab whose browser this is, searched from the last tab down; -1
    // when none.
    int TabOfBrowser(int browser) const;
    // The lowest browser index, at least 1, that no tab uses.
    int FindFreeBrowserIndex() const;

    // The one writer of the current tab.
    void SetCurrentTab(int tab);
    // TabCount := count; both arrays take count + 1 entries (at least one),
    // their contents kept.
    void SetTabCount(int count);
    // The map grows to hold the tab when it has to.
    void SetTabBrowser(int tab, int16_t browser);
    void SetTabTitle(int tab, const QString& title);
    // The tab's entries go; the ones after it move down; one tab fewer.
    void RemoveTab(int tab);

    // ---- The ring of the five latest closed tabs' addresses ----
    // Empty until the ring is made (entries 0 to 4, newest first).
    const QStringList& ClosedTabUrls() const { return closedUrls_; }
    void MakeClosedTabRing();
    // The address goes in front, the oldest drops out; reopening starts
    // again at the newest.
    void PushClosedTabUrl(const QString& url);
    // The next address to reopen: the newest first, then older ones, back
    // to the newest after an empty entry or the fifth; "" when the ring
    // holds none.
    QString NextClosedTabUrl();

    // -1 once a page opened a second popup without a click (the tick then
    // closes duplicates), 0 after.
    int16_t PopupBurstFlag() const { return popupBurst_; }
    void SetPopupBurstFlag(int16_t flag) { popupBurst_ = flag; }
    // The last mouse button pressed in the browser area: 2 left, 3 right,
    // 0 none (a navigation or scroll since).
    uint8_t UserClickState() const { return userClick_; }
    void SetUserClickState(uint8_t state) { userClick_ = state; }

private:
    int16_t count_ = 1;
    int16_t current_ = 0;
    QVector<int16_t> browsers_;
    QStringList titles_;
    QStringList closedUrls_;
    int16_t closedCursor_ = 0;
    int16_t popupBurst_ = 0;
    uint8_t userClick_ = 0;
};
