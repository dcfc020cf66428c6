#include "lists/listplaysteps.h"

#include "contracts/services.h"
#include "core/globals.h"
#include "core/language.h"
#include "lists/listpanedisplay.h"
#include "lists/liststores.h"
#include "mainwindow/frmexplorer.h"
#include "platform/base/paths.h"
#include "platform/win/ibrowser.h"
#include "platform/win/listrows.h"
#include "platform/win/listview.h"

#include <QCoreApplication>
#include <QUrl>

namespace {

constexpr int16_t kImages = 3;
constexpr int16_t kSnippets = 4;
constexpr int16_t kLinks = 5;
constexpr int16_t kViewKind = 1;

// Addresses a link row never opens: they would run script in the tab, or
// reach the program's own commands.
bool isRefusedTarget(const QString& target)
{
    const QString t = target.trimmed();
    return t.startsWith(QLatin1String("javascript:"), Qt::CaseInsensitive)
        || t.startsWith(QLatin1String("vbscript:"), Qt::CaseInsensitive)
        || t.startsWith(QLatin1String("event:"), Qt::CaseInsensitive);
}

} // namespace

ListPlaySteps::ListPlaySteps(frmExplorer& window, ServiceSet& services, ListStores& stores, ListPaneDisplay& display)
    : w_(window), services_(services), stores_(stores), display_(display)
{
}

void ListPlaySteps::endOfEmptyList(int16_t kind)
{
    display_.ShowListCount(false);
    services_.Media().PauseList(0, kind);
}

void ListPlaySteps::endOfList(int16_t kind)
{
    platform::forms::ListRows& rows = stores_[kind];
    const int last = static_cast<int>(w_.ListItemCount[static_cast<size_t>(kind)]);
    if (last >= 1 && last <= rows.count() && !rows.isSelected(last)) {
        rows.setSelected(last, true);
        if (platform::forms::ListView* list = display_.listView(kind))
            list->ensureVisible(last);
    }
    display_.ShowListCount(false);
    services_.Media().PauseList(0, kind);
}

int32_t ListPlaySteps::imageRowsOrEnd()
{
    const int32_t count = w_.ListItemCount[kImages] = stores_[kImages].count();
    if (count == 0) {
        // An empty image list goes back to offline.
        SetOptionDigit(ListDownloadOptions[kImages], 1, 1);
        endOfEmptyList(kImages);
    }
    return count;
}

void ListPlaySteps::ShowImageListItem()
{
    int32_t& current = w_.ListCurrentItem[kImages];
    const int32_t count = imageRowsOrEnd();
    if (count == 0)
        return;
    const bool repeat = w_.RepeatFlags[kImages] != 0;
    const int perView = std::max<int>(1, w_.ImagesPerView);
    if (repeat) {
        if (current > count)
            current = 1;
        if (current < 1)
            current = std::max(1, count + 1 - perView);
    }
    w_.ImagesLoadedCount = 0;
    w_.EmptyViewerCellCount = 0;
    w_.ViewerFetchActive = -1;
    w_.FetchStopped = 0;
    IDownloadsService& fetcher = services_.Downloads();
    fetcher.StartFetchSlot(0, current);
    for (int s = 1; s < perView; ++s) {
        current += 1;
        if (current <= count) {
            fetcher.StartFetchSlot(static_cast<int16_t>(s), current);
        } else if (repeat) {
            current = 1;
            fetcher.StartFetchSlot(static_cast<int16_t>(s), 1);
        } else {
            w_.EmptyViewerCellCount += 1;
            services_.Media().OnViewerImagesLoaded();
        }
    }
    services_.Media().UpdateTransportButtons();
    display_.SelectCurrentListItem();
}

void ListPlaySteps::NextImageListItem()
{
    int32_t& current = w_.ListCurrentItem[kImages];
    const int32_t count = imageRowsOrEnd();
    if (count == 0)
        return;
    const bool repeat = w_.RepeatFlags[kImages] != 0;
    if (current > count && !repeat) {
        endOfList(kImages);
        return;
    }
    if (repeat && current > count)
        current = 1;
    w_.ViewerFetchActive = -1;
    w_.FetchStopped = 0;
    services_.Downloads().StartFetchSlot(0, current);
    services_.Media().UpdateTransportButtons();
    display_.SelectCurrentListItem();
}

bool ListPlaySteps::beginPageStep(int16_t kind)
{
    const int32_t current = w_.ListCurrentItem[static_cast<size_t>(kind)];
    const int32_t count = w_.ListItemCount[static_cast<size_t>(kind)] = stores_[kind].count();
    if (count == 0) {
        endOfEmptyList(kind);
        return false;
    }
    if (current > count) {
        endOfList(kind);
        return false;
    }
    // Neither viewer in front (or both in one tab): the video goes first.
    if (w_.ListViewerBrowser[2] == w_.ListViewerBrowser[3])
        services_.Media().CloseVideoPlayer();
    return true;
}

void ListPlaySteps::ShowSnippetListItem()
{
    if (!beginPageStep(kSnippets))
        return;
    const int32_t current = w_.ListCurrentItem[kSnippets];
    if (current >= 1)
        services_.Lists().ShowSnippetViewPage(0, stores_[kSnippets].column(current, 1));
    services_.Media().UpdateTransportButtons();
    display_.SelectCurrentListItem();
}

void ListPlaySteps::ShowLinkListItem()
{
    if (!beginPageStep(kLinks))
        return;
    OpenLinkItem(w_.ListCurrentItem[kLinks]);
    services_.Media().UpdateTransportButtons();
    display_.SelectCurrentListItem();
}

void ListPlaySteps::OpenLinkItem(int32_t index)
{
    platform::forms::ListRows& rows = stores_[kLinks];
    if (index < 1 || index > rows.count())
        return;
    const QString address = rows.column(index, 1);
    w_.ListItemRecord[0][1] = address;
    QString target = address;
    if (address.right(4).compare(QLatin1String(".URL"), Qt::CaseInsensitive) == 0) {
        const QString file = address.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)
                                 ? QUrl(address).toLocalFile()
                                 : platform::paths::toLocal(address);
        target = ReadIniValue(QStringLiteral("InternetShortcut"), QStringLiteral("URL"), QString(), file);
    }
    DialogUrl = target;
    ITabsService& tabs = services_.Tabs();
    const int16_t browser = w_.ListPlayState[kLinks] == 2 ? w_.ListViewerBrowser[kLinks]
                                                         : tabs.TabBrowserMap(tabs.CurrentTab());
    if (isRefusedTarget(target)) {
        // Never run: the row is named on the status line and, while the
        // list plays, the slide show goes on to the next row.
        tabs.SetStatusMessage(GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9070"),
                                            QStringLiteral("A script link is not opened"))
                                  + QStringLiteral(": ") + address,
                              -1, -1);
        if (w_.ListPlayState[kLinks] == 2)
            if (auto* t = w_.AppTimer.at(apptimer::LinkShow))
                t->setEnabled(true);
    } else if (platform::browser::IBrowser* b = tabs.Browser(browser)) {
        w_.ListStepBrowser[kLinks] = browser;
        b->navigate2(target);
    }
    tabs.SetTabState(browser, kViewKind, kLinks);
    display_.SelectCurrentListItem();
    QCoreApplication::processEvents();
}
