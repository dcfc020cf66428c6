#include "browsing/tabwatchers.h"

#include "browsing/tabstaterecord.h"
#include "platform/base/paths.h"

#include <QDir>
#include <QFile>
#include <QUrl>

#include <filesystem>
#include <system_error>

namespace {

// How many of the newest tabs a burst is looked for in.
constexpr int kBurstRange = 5;
// Ticks without a new tab after which a burst counts as settled, popups
// still without an address or not.
constexpr int kBurstSettleLooks = 20;

enum PopupRole : int16_t { RoleOpenedAsPopup = 2, RoleDuplicate = 3 };

QString jsString(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\') + QString(c);
        else if (c.unicode() < 0x20 || c == QChar(0x2028) || c == QChar(0x2029))
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out + QLatin1Char('"');
}

} // namespace

TabWatchers::TabWatchers(ExplorerState& state, TabBrowsing& tabs) : st_(state), tabs_(tabs) {}

IBrowser* TabWatchers::currentBrowser() const
{
    if (tabs_.model().CurrentTab() < 0 || tabs_.model().CurrentTab() >= tabs_.model().TabBrowserMap().size())
        return nullptr;
    return tabs_.WBMAIN(tabs_.model().TabBrowserMap()[tabs_.model().CurrentTab()]);
}

void TabWatchers::CloseDuplicatePopupTabs()
{
    if (tabs_.model().PopupBurstFlag() == 0) {
        burstLooks_ = 0;
        return;
    }
    const int count = std::min<int>(tabs_.model().TabCount(), tabs_.model().TabBrowserMap().size());
    const int first = count > kBurstRange ? count - kBurstRange : 0;
    const int last = count - 1;
    auto urlOf = [&](int tab) -> QString {
        IBrowser* b = tabs_.WBMAIN(tabs_.model().TabBrowserMap()[tab]);
        return b ? b->locationURL() : QString();
    };
    auto role = [&](int tab) { return tabs_.GetTabState(tabs_.model().TabBrowserMap()[tab], FieldPopupRole); };
    // The popups of a burst get their addresses a moment after their tabs:
    // the burst is looked at again on later ticks until each popup has one,
    // or until the burst has settled (no new tab for a while).
    bool waiting = false;
    for (int i = first; i <= last; ++i)
        waiting = waiting || (role(i) == RoleOpenedAsPopup && urlOf(i).isEmpty());
    if (count != burstTabCount_) {
        burstTabCount_ = count;
        burstLooks_ = 0;
    }
    if (waiting && ++burstLooks_ < kBurstSettleLooks)
        return;
    burstLooks_ = 0;
    tabs_.model().SetPopupBurstFlag(0);
    for (int i = first; i <= last; ++i) {
        if (role(i) != RoleOpenedAsPopup)
            continue;
        const QString url = urlOf(i);
        if (url.isEmpty())
            continue;
        for (int j = i + 1; j <= last; ++j) {
            if (urlOf(j) != url)
                continue;
            // Only a popup is ever marked: the user's own tab stays even
            // when it shows the same address.
            if (j == tabs_.model().CurrentTab() || role(j) != RoleOpenedAsPopup)
                tabs_.SetTabState(tabs_.model().TabBrowserMap()[i], FieldPopupRole, RoleDuplicate);
            else
                tabs_.SetTabState(tabs_.model().TabBrowserMap()[j], FieldPopupRole, RoleDuplicate);
        }
    }
    // Marked tabs are found by their browsers, which keep their numbers
    // while the tab numbers move down.
    QVector<int16_t> marked;
    for (int t = first; t <= last; ++t)
        if (role(t) == RoleDuplicate)
            marked << tabs_.model().TabBrowserMap()[t];
    for (const int16_t browser : marked) {
        const int tab = tabs_.TabOfBrowser(browser);
        if (tab >= 0)
            tabs_.CloseTab(tab, false);
    }
}

QString TabWatchers::FileStamp(const QString& localPath)
{
    std::error_code error;
    const std::filesystem::path path(localPath.toStdString());
    const auto time = std::filesystem::last_write_time(path, error);
    if (error)
        return {};
    const auto size = std::filesystem::file_size(path, error);
    if (error)
        return {};
    return QStringLiteral("%1/%2").arg(static_cast<qlonglong>(time.time_since_epoch().count())).arg(size);
}

void TabWatchers::RefreshDownloadStatusFrames()
{
    IBrowser* b = currentBrowser();
    if (!b)
        return;
    // A page of the program's Data folder, compared as a local path so that
    // a folder name with a blank or a non-ASCII letter is found too.
    const QUrl url(b->locationURL());
    if (!url.isLocalFile())
        return;
    const QString page = QDir::cleanPath(url.toLocalFile());
    const QString data = QDir::cleanPath(QDir(platform::paths::programFolder()).filePath(QStringLiteral("Data")));
    if (!page.startsWith(data + QLatin1Char('/'), Qt::CaseInsensitive) || page.size() <= 4)
        return;
    const QString base = page.left(page.size() - 4);
    const QString ack = base + QStringLiteral(".Z5C2");
    if (QFile::exists(ack) && QFile::remove(ack))
        st_.DownloadPausePending.set(false);
    std::array<QString, 4> path;
    std::array<QString, 4> stamp;
    for (int k = 1; k <= 3; ++k) {
        path[k] = base + QStringLiteral("F%1.HTM").arg(k);
        stamp[k] = FileStamp(path[k]);
    }
    auto reload = [&](int k) {
        const QString id = QStringLiteral("F%1").arg(k);
        b->runScript(QStringLiteral("(function(){var e=document.getElementById(%1);if(e)e.src=%2;})();")
                         .arg(jsString(id), jsString(QUrl::fromLocalFile(path[k]).toString(QUrl::FullyEncoded))));
        StatusFrameDates[k] = stamp[k];
    };
    if (stamp[1] != StatusFrameDates[1])
        reload(1);
    if (stamp[2] != StatusFrameDates[2])
        reload(2);
    if (stamp[3] != StatusFrameDates[3]) {
        reload(3);
        reload(2);
        reload(1);
    }
}

void TabWatchers::FixScrollOfCurrentPage()
{
    if (st_.Layout.PaneCount() != 1)
        return;
    IBrowser* b = currentBrowser();
    if (!b || b->scrollFixMark != 2)
        return;
    b->runScript(QStringLiteral("if(document.body){document.body.setAttribute('scroll','yes');"
                                "document.body.style.overflow='';document.documentElement.style.overflow='';}"));
    if (b->readyState() == platform::browser::ReadyComplete)
        b->scrollFixMark = 1;
}
