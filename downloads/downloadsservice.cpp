#include "downloads/downloadsservice.h"

DownloadsService::DownloadsService(frmExplorer& window, ServiceSet& services)
    : handOff_(window, services), status_(window, services, handOff_)
{
}

QStringList DownloadsService::MethodsNotBuiltYet() const
{
    return {QStringLiteral("PrepareFetchSlots"), QStringLiteral("StartFetchSlot"), QStringLiteral("ResetFetchProgress"),
            QStringLiteral("StopAllFetches")};
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
