#pragma once

// The browser's side of the downloads for one window, served to the other
// subsystems as the downloads service: the download set-up of a list, the
// hand-off of a list to the download manager, the commands of its status
// page and Clear Status, and the background fetcher of the image viewer.

#include "contracts/partlybuilt.h"
#include "contracts/standins.h"
#include "downloads/backgroundfetcher.h"
#include "downloads/listhandoff.h"
#include "downloads/statuscommands.h"

class frmExplorer;
class ServiceSet;

class DownloadsService : public StandInDownloads, public PartlyBuilt {
public:
    DownloadsService(frmExplorer& window, ServiceSet& services);

    const char* implementationName() const override { return "downloads"; }
    QStringList MethodsNotBuiltYet() const override;

    void HandlePageEvent(const QString& url, int16_t browserIndex, const QString& pageUrl) override;
    void StartListDownload(int16_t kind, bool all, int32_t startIndex) override;
    void ShowDownloadSetup(int16_t kind) override;
    void ClearDownloadStatusList() override;
    void PrepareFetchSlots() override;
    void StartFetchSlot(int16_t slot, int32_t itemIndex) override;
    void ResetFetchProgress() override;
    void StopAllFetches() override;
    void TabPageLoaded(int16_t browserIndex, const QString& url) override;

    ListHandOff& handOff() { return handOff_; }
    StatusCommands& statusCommands() { return status_; }
    BackgroundFetcher& fetcher() { return fetcher_; }

private:
    ListHandOff handOff_;
    StatusCommands status_;
    BackgroundFetcher fetcher_;
};
