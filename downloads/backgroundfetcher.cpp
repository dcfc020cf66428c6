#include "downloads/backgroundfetcher.h"

#include "contracts/services.h"
#include "core/fileclasses.h"
#include "core/imageinfo.h"
#include "downloads/fetchresultpage.h"
#include "downloads/hiddenpage.h"
#include "downloads/pagepictures.h"
#include "mainwindow/frmexplorer.h"
#include "platform/base/paths.h"
#include "platform/win/ibrowser.h"
#include "platform/win/listrows.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>
#include <QUrl>

namespace {

constexpr int16_t kImageList = 3;

// A local item's file: an absolute path, or a "file:" address.
QString localPathOf(const QString& item)
{
    if (item.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return QUrl(item).toLocalFile();
    return platform::paths::toLocal(item);
}

} // namespace

BackgroundFetcher::BackgroundFetcher(frmExplorer& window, ServiceSet& services) : f_(window), services_(services) {}

BackgroundFetcher::~BackgroundFetcher() = default;

void BackgroundFetcher::PrepareFetchSlots()
{
    const platform::forms::ListRows* rows = services_.Lists().ListItems(kImageList);
    bool onTheNet = false;
    for (int i = 1; rows && i <= rows->count() && !onTheNet; ++i)
        onTheNet = !IsLocalItem(rows->column(i, 1));
    if (!onTheNet)
        return;
    ReadFetchProxy();
}

void BackgroundFetcher::StartFetchSlot(int16_t slot, int32_t itemIndex)
{
    if (!FetchSlots::validSlot(slot))
        return;
    const auto s = static_cast<size_t>(slot);
    slots_.FetchTotal[s] = 0;
    slots_.FetchReceived[s] = 0;
    ++slots_.Generation[s];
    FetchSlot& record = f_.ListItemRecord[s];
    const platform::forms::ListRows* rows = services_.Lists().ListItems(kImageList);
    for (int field = 0; field <= fetchfield::TargetFolder; ++field)
        record[static_cast<size_t>(field)] = rows ? rows->column(itemIndex, field) : QString();
    record[fetchfield::UrlPath].clear();
    slots_.Tag[s] = QString::number(slot);

    const QString& address = record[fetchfield::Address];
    if (IsLocalItem(address)) {
        WriteFetchResultPage(slot, localPathOf(address), f_.AutoImageResize != 0);
        return;
    }
    closeSlotTransfers(slot);
    DeleteFetchTempFiles(f_.TempPagePrefix, slot);
    if (address.contains(QLatin1String("javascript"), Qt::CaseInsensitive)) {
        OpenFetchPageForClick(slot);
        return;
    }
    if (!CrackFetchUrl(slot).isEmpty()) {
        slots_.FetchMode[s] = fetchmode::File;
        RunFetchSlot(slot, 1);
    } else {
        slots_.FetchMode[s] = fetchmode::Page;
        RunFetchSlot(slot, 2);
    }
}

void BackgroundFetcher::StopAllFetches()
{
    f_.FetchStopped = -1;
    ResetFetchProgress();
    const int inUse = std::max<int>(1, f_.ImagesPerView);
    for (int i = 0; i < inUse && i < FetchSlots::Count; ++i) {
        ++slots_.Generation[static_cast<size_t>(i)];
        closeSlotTransfers(i);
        DeleteFetchTempFiles(f_.TempPagePrefix, i);
    }
}

void BackgroundFetcher::closeSlotTransfers(int slot)
{
    closeNetTransfers(slot);
    auto& file = slots_.FetchFile[static_cast<size_t>(slot)];
    if (file) {
        file->close();
        file.reset();
    }
}

void BackgroundFetcher::ResetFetchProgress()
{
    f_.ViewerFetchActive = 0;
    if (f_.WBProgressBar)
        f_.WBProgressBar->setValue(0);
    FetchProgressMax = 0;
}

void BackgroundFetcher::SetFetchProgressMax()
{
    if (f_.FetchStopped != 0 || !f_.WBProgressBar)
        return;
    if (f_.ImagesPerView < 2) {
        f_.WBProgressBar->setMaximum(slots_.FetchTotal[0]);
        return;
    }
    int64_t sum = 0;
    for (int i = 0; i < f_.ImagesPerView && i < FetchSlots::Count; ++i)
        sum += slots_.FetchTotal[static_cast<size_t>(i)];
    if (sum > FetchProgressMax) {
        FetchProgressMax = static_cast<int32_t>(std::min<int64_t>(sum, INT32_MAX));
        f_.WBProgressBar->setMaximum(FetchProgressMax);
    }
}

void BackgroundFetcher::UpdateFetchProgress()
{
    if (f_.FetchStopped != 0 || !f_.WBProgressBar)
        return;
    if (f_.ImagesPerView < 2) {
        f_.WBProgressBar->setValue(slots_.FetchReceived[0]);
        return;
    }
    int64_t sum = 0;
    for (int i = 0; i < f_.ImagesPerView && i < FetchSlots::Count; ++i)
        sum += slots_.FetchReceived[static_cast<size_t>(i)];
    if (sum <= f_.WBProgressBar->maximum())
        f_.WBProgressBar->setValue(static_cast<int>(sum));
}

void BackgroundFetcher::WriteFetchResultPage(int16_t slot, const QString& path, bool resize)
{
    if (f_.FetchStopped != 0 || !FetchSlots::validSlot(slot))
        return;
    clsGetInfo info;
    int width = 0;
    int height = 0;
    if (!path.isEmpty()) {
        info.FileName = path;
        info.GetImageFileInfo();
        if (info.HasInfo) {
            width = info.Width;
            height = info.Height;
        } else {
            // A type the header reader does not know (TIFF, say): the
            // picture's reader gives its size without decoding it.
            const QSize size = QImageReader(path).size();
            if (size.isValid() && !size.isEmpty()) {
                width = size.width();
                height = size.height();
            }
        }
    }
    const bool known = width > 0 && height > 0;
    IMediaService& viewer = services_.Media();
    ITabsService& tabs = services_.Tabs();
    if (f_.DisplayFlags[DisplayImageInfo] != 0)
        tabs.SetStatusMessage(FetchInfoLine(slot, path, QFileInfo(path).size(), known, height, width,
                                            info.HasInfo ? info.Depth : 0),
                              -1, -1);
    if (!resize) {
        viewer.HideImageViewer();
        const QString page = FetchResultPagePath(f_.TempPagePrefix, slot);
        QSaveFile out(page);
        bool written = false;
        if (!f_.TempPagePrefix.isEmpty() && out.open(QIODevice::WriteOnly)) {
            out.write(FetchResultPageHtml(path).toUtf8());
            written = out.commit();
        }
        if (written) {
            const int16_t browser = f_.ListViewerBrowser[kImageList];
            if (platform::browser::IBrowser* b = tabs.Browser(browser)) {
                resultPages_[browser] = page;
                b->navigate2(QUrl::fromLocalFile(page).toString(QUrl::FullyEncoded));
            }
        }
    } else if (known) {
        viewer.ShowViewerImage(slot, path, width, height);
    } else {
        viewer.ClearViewerImage(slot);
    }
    viewer.OnViewerImagesLoaded();
}

void BackgroundFetcher::ResultPageLoaded(int16_t browserIndex, const QString& url)
{
    const auto sent = resultPages_.find(browserIndex);
    if (sent == resultPages_.end() || !QUrl(url).isLocalFile())
        return;
    const QString page = QFileInfo(sent->second).canonicalFilePath();
    if (page.isEmpty() || QFileInfo(QUrl(url).toLocalFile()).canonicalFilePath() == page) {
        QFile::remove(page);
        resultPages_.erase(sent);
    }
}
