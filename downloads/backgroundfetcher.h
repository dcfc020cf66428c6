#pragma once

// The background fetcher of one window: it gets the pictures of the image
// list for the viewer's cells, one item per slot. A local picture is shown
// at once; an item on the Net is fetched into the slot's temporary files
// (by its socket, or by its hidden browser when the address is a page) and
// then shown. Slot i shows its picture in viewer cell i.

#include "downloads/fetchslots.h"

#include <QString>

#include <cstdint>

class frmExplorer;
class ServiceSet;

class BackgroundFetcher {
public:
    BackgroundFetcher(frmExplorer& window, ServiceSet& services);
    ~BackgroundFetcher();
    BackgroundFetcher(const BackgroundFetcher&) = delete;
    BackgroundFetcher& operator=(const BackgroundFetcher&) = delete;

    // The viewer tab is being shown: when the image list holds an item on
    // the Net, the proxy is read and the slots' hidden browsers made ready.
    void PrepareFetchSlots();
    // Slot 0-8 gets row itemIndex (from 1) of the image list.
    void StartFetchSlot(int16_t slot, int32_t itemIndex);
    // Every slot in use stops; what comes in later changes nothing.
    void StopAllFetches();

    // The shared progress bar.
    void ResetFetchProgress();
    void UpdateFetchProgress();
    void SetFetchProgressMax();

    // Shows the outcome of a slot: the picture at path (empty when the fetch
    // failed) fitted into the slot's cell, or, with resize off, as a page in
    // the viewer tab; the picture's facts on the status line when asked for;
    // then the viewer counts one more image in.
    void WriteFetchResultPage(int16_t slot, const QString& path, bool resize);

    // ---- The Net path ----
    // Non-empty when field 1 of the slot's record names a file; the record
    // is rewritten to the cracked address then.
    QString CrackFetchUrl(int16_t slot);
    // how 1: the slot's socket; otherwise its hidden browser.
    void RunFetchSlot(int16_t slot, int16_t how);
    // The script link of the slot's record is clicked on its page.
    void OpenFetchPageForClick(int16_t slot);
    void ReadFetchProxy();

    FetchSlots& slots() { return slots_; }
    const FetchSlots& slots() const { return slots_; }
    int32_t FetchProgressMax = 0;
    bool FetchUseProxy = false;
    QString FetchConnectHost;
    QString FetchConnectPort;

private:
    // The slot's transfers end (socket, file, hidden browser); its
    // temporary files stay.
    void closeSlotTransfers(int slot);

    frmExplorer& f_;
    ServiceSet& services_;
    FetchSlots slots_;
};
