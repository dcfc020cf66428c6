#pragma once

// The background fetcher of one window: it gets the pictures of the image
// list for the viewer's cells, one item per slot. A local picture is shown
// at once; an item on the Net is fetched into the slot's temporary files
// (by its socket, or by its hidden browser when the address is a page) and
// then shown. Slot i shows its picture in viewer cell i.

#include "downloads/fetchslots.h"
#include "downloads/fetchsocket.h"
#include "platform/win/ibrowser.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

class HiddenPage;
class PagePictures;

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
    // The tab browser loaded url: a result page of this fetcher it shows
    // goes, its picture now on the screen.
    void ResultPageLoaded(int16_t browserIndex, const QString& url);

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

    // ---- The Net path: the socket ----
    void ConnectFetchSocket(int16_t slot);
    // The socket's fetch ended: the picture is taken, or the hidden browser tries.
    void FinishFetchSlot(int16_t slot, bool failed);
    // The slot's picture among its temporary files is shown, and copied into
    // the list's target folder as the options say.
    void CopyFetchedFile(int16_t slot);
    void RemoveFetchedListItem();

    // ---- The Net path: the hidden browsers ----
    void NavigateFetchBrowser(int16_t slot);
    void DownloadPageImages(int16_t index);
    // done gets 0 when a link of the slot's page matching field 1 was clicked, else 1.
    void ClickLinkByText(int16_t slot, std::function<void(int result)> done);
    void PauseOnFetchError(int16_t slot);
    void WBBACK_BeforeNavigate2(int16_t index, platform::browser::NavigationRequest& r);
    HiddenPage* WBBACK_NewWindow2(int16_t index);
    void WBBACK_DocumentComplete(int16_t index, const QString& url);
    void WBBACK_NavigateError(int16_t index, const QString& url);
    void WBBACK_ProgressChange(int16_t index, int progress, int progressMax);

    // The time a slot's socket waits for the connection and for the server's
    // next bytes before the browser path takes over.
    void setSocketTimeouts(int connectMs, int idleMs);

    // The slot's socket and the hidden browser of an index, made on first use.
    FetchSocket& WSBACK(int slot);
    HiddenPage& WBBACK(int index);

private:
    static constexpr int kNetSlots = 8;  // WSBACK(0..7)
    static constexpr int kBrowsers = 16; // WBBACK(0..15)

    // What a slot on the Net keeps beside its record.
    struct NetSlot {
        QString address;     // the item's address as given (field 1 before cracking)
        FetchSocketTarget target;
        QString partialPath; // a part the socket kept: never taken for the picture
    };
    // The slot a hidden browser works for (a companion's is its index less ImagesPerView).
    int16_t slotOfBrowser(int16_t index) const;
    // The slot's browser holds its slot number in its tag.
    bool slotWorking(int16_t slot) const;

    // The slot's socket, page downloads and hidden browsers stop.
    void closeNetTransfers(int slot);
    // The slot's transfers end (socket, file, hidden browser); its
    // temporary files stay.
    void closeSlotTransfers(int slot);

    frmExplorer& f_;
    ServiceSet& services_;
    FetchSlots slots_;
    std::array<std::unique_ptr<FetchSocket>, kNetSlots> WSBACK_;
    std::array<std::unique_ptr<HiddenPage>, kBrowsers> WBBACK_;
    std::array<std::unique_ptr<PagePictures>, kNetSlots> pictures_;
    std::array<NetSlot, FetchSlots::Count> net_;
    bool busyProgress_ = false; // BusyFlags(12): the progress event runs
    ProxySetting fetchProxy_;   // as ReadFetchProxy read it
    // Result pages written and sent to their tab, not loaded yet: each
    // page's path, by the browser it was sent to.
    std::map<int16_t, QString> resultPages_;
    int socketConnectMs_ = FetchSocket::kConnectTimeoutMs;
    int socketIdleMs_ = FetchSocket::kIdleTimeoutMs;
};

// Copies source into folder under fileName, only when folder is absolute and
// fileName one plain name; an existing file is replaced only when asked
// (atomically, through a temporary file beside it), otherwise kept. False
// when nothing was copied.
bool CopyIntoTargetFolder(const QString& source, const QString& folder, const QString& fileName, bool replace);
