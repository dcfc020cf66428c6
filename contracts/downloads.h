#pragma once

// What the other subsystems ask of the browser's side of the downloads and
// of the background fetcher.

#include <QString>

#include <cstdint>

class IDownloadsService {
public:
    virtual ~IDownloadsService() = default;
    virtual const char* implementationName() const = 0;

    // A command address ("EVENT:Z5_...") that a user's click on a local
    // program page sent; the tab browser it came from and the address of
    // that browser's page when it was sent.
    virtual void HandlePageEvent(const QString& url, int16_t browserIndex, const QString& pageUrl) = 0;
    // Hands the list to the download manager: all items from startIndex on,
    // or the selected ones.
    virtual void StartListDownload(int16_t kind, bool all, int32_t startIndex) = 0;
    virtual void ShowDownloadSetup(int16_t kind) = 0;
    virtual void ClearDownloadStatusList() = 0;

    // ---- The background fetcher ----
    // Prepares the background fetching of the current list.
    virtual void PrepareFetchSlots() = 0;
    // Slot 0-8 fetches row itemIndex of the image list into its viewer cell.
    virtual void StartFetchSlot(int16_t slot, int32_t itemIndex) = 0;
    // The progress bar back to 0.
    virtual void ResetFetchProgress() = 0;
    virtual void StopAllFetches() = 0;
    // A tab browser's page has loaded: a page the fetcher wrote for it to
    // show is not needed any more.
    virtual void TabPageLoaded(int16_t browserIndex, const QString& url) = 0;
};
