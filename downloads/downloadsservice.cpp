#include "downloads/downloadsservice.h"

DownloadsService::DownloadsService(frmExplorer& window, ServiceSet& services)
    : handOff_(window, services), status_(window, services, handOff_), fetcher_(window, services)
{
}

QStringList DownloadsService::MethodsNotBuiltYet() const
{
    return {};
}

void DownloadsService::HandlePageEvent(const QString& url, int16_t browserIndex, const QString& pageUrl)
{
    if (url.left(15).compare(QLatin1String("EVENT:Z5_DLSTAT"), Qt::CaseInsensitive) == 0)
        status_.HandleDownloadStatusEvent(url, browserIndex, pageUrl);
}

void DownloadsService::StartListDownload(int16_t kind, bool all, int32_t startIndex)
{
    handOff_.StartListDownload(kind, all, startIndex);
}

void DownloadsService::ShowDownloadSetup(int16_t kind)
{
    handOff_.ShowDownloadSetup(kind);
}

void DownloadsService::ClearDownloadStatusList()
{
    status_.ClearDownloadStatusList();
}

void DownloadsService::PrepareFetchSlots()
{
    fetcher_.PrepareFetchSlots();
}

void DownloadsService::StartFetchSlot(int16_t slot, int32_t itemIndex)
{
    fetcher_.StartFetchSlot(slot, itemIndex);
}

void DownloadsService::ResetFetchProgress()
{
    fetcher_.ResetFetchProgress();
}

void DownloadsService::StopAllFetches()
{
    fetcher_.StopAllFetches();
}

void DownloadsService::TabPageLoaded(int16_t browserIndex, const QString& url)
{
    fetcher_.ResultPageLoaded(browserIndex, url);
}
