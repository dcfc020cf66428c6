#pragma once

// Page items: the item's address loaded in the hidden browser control, and
// the images of the loaded page saved into the item's folder one after the
// other from the event loop, so the list's timer keeps running (status pages,
// stop requests). A navigation of the page to an address that names a file
// turns the item into a file item. The item ends exactly once, whatever
// events of the control come late.

#include "platform/net/imagefetch.h"
#include "dlmanager/pagebrowser.h"
#include "dlmanager/pageitems.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

struct RunState;

class PageDownload : public QObject, public PageItems {
public:
    static constexpr int kMaxImages = 1000;
    static constexpr int kImageTimeLimitMs = 60000;
    static constexpr int kPageTimeLimitMs = 120000;
    // A completed page is given this long to go on by script or refresh
    // before its images are taken.
    static constexpr int kSettleMs = 300;

    // makeBrowser: the browser control, made on the first page item.
    using BrowserMaker = std::function<std::unique_ptr<PageBrowser>(QString* error)>;
    explicit PageDownload(BrowserMaker makeBrowser, QObject* parent = nullptr);
    ~PageDownload() override;

    void StartPageDownload(RunState& run, std::function<void()> ended) override;
    void Stop() override;

    void setTimeLimits(int pageMs, int imageMs, int settleMs);
    bool browserMade() const { return browser_ != nullptr; }

    // The control's events for the current item.
    void WBMain_BeforeNavigate2(PageBrowser::Navigation& navigation);
    void WBMain_NavigateComplete2();
    void WBMain_NewWindow2(bool& cancel);
    void WBMain_NavigateError(const QString& url);
    void WBMain_DocumentComplete(const QString& url, bool topLevel);
    void SavePageImages();

private:
    enum class Phase { Idle, Loading, Settling, Saving };
    void saveNext();
    void imageFetched(const QString& source, platform::net::ImageFetch::Result result);
    void endSaving(const QString& failure);
    void end();
    void fail(const QString& statusText);

    BrowserMaker makeBrowser_;
    std::unique_ptr<PageBrowser> browser_;
    RunState* run_ = nullptr;
    std::function<void()> ended_;
    Phase phase_ = Phase::Idle;
    quint64 serial_ = 0; // counts items and stops
    // Why the file attempt of a retried file item failed: the reason a
    // failed retry reports.
    QString fileReason_;
    QTimer pageLimit_;
    QTimer settle_;
    platform::net::ImageFetch fetch_;
    int pageLimitMs_ = kPageTimeLimitMs;
    int settleMs_ = kSettleMs;

    // The saving of one page.
    QStringList sources_;
    qsizetype next_ = 0;
    int saved_ = 0;
    int skipped_ = 0; // images that are no picture the page item saves
    int anomalies_ = 0;
    QString lastFailure_;
    QHash<QString, int> nextNumber_; // per target name: the next free " (n)"
};
