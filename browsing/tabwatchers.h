#pragma once

// Watchers the housekeeping tick runs over the tabs: duplicate popups of a
// burst are closed, the download status page of the current tab follows the
// files the download manager rewrites, and a page whose script moved or
// sized its window gets its scroll bars back.

#include "browsing/tabbrowsing.h"
#include "mainwindow/explorerstate.h"

#include <QString>

#include <array>

class TabWatchers {
public:
    TabWatchers(ExplorerState& state, TabBrowsing& tabs);

    void CloseDuplicatePopupTabs();
    void RefreshDownloadStatusFrames();
    void FixScrollOfCurrentPage();

    // The stamp of a status frame file: modification time to the
    // nanosecond and size, "" for a missing file.
    static QString FileStamp(const QString& localPath);

    // The stamps last seen for frames F1 to F3 (entries 1 to 3); the
    // download code empties them when it opens or resumes a status page.
    std::array<QString, 4> StatusFrameDates;

private:
    IBrowser* currentBrowser() const;

    ExplorerState& st_;
    TabBrowsing& tabs_;
    // The burst being waited for: looks taken since the tab count last changed.
    int burstLooks_ = 0;
    int burstTabCount_ = -1;
};
