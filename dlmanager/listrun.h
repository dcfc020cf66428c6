#pragma once

// The run of one download list: reads the list once under the list's lock,
// goes through its items one after the other, logs one row per finished
// item, keeps the status pages current on its timer and answers the
// browser's stop request.

#include "dlmanager/fileitem.h"
#include "dlmanager/statuspages.h"
#include "platform/base/namedlock.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

struct RunState;
class PageItems;

class DownloadListRun : public QObject {
public:
    static constexpr int kTickMs = 55;

    DownloadListRun(RunState& run, PageItems& pages, QObject* parent = nullptr);
    ~DownloadListRun() override;

    // Starts the run; false when it cannot run at all (a refused list name,
    // another run of the same list, no list file, no log to resume): then
    // nothing was written and finished is not called.
    bool OpenDownloadList();
    // Called once when the run is over (the list done, stopped or cut short).
    std::function<void()> finished;

    FileItem& fileItem() { return fileItem_; }

private:
    void StartNextItem();
    void LogItemResult();
    void FinishList();
    void CloseDownloadList();
    void EndOnBadLine(const QString& reason);
    void AppTimer_Timer();
    void itemEnded();

    RunState& run_;
    PageItems& pages_;
    FileItem fileItem_;
    StatusPages statusPages_;
    QTimer appTimer_;
    std::unique_ptr<platform::NamedLock> lock_;
    QStringList itemLines_;
    qsizetype nextLine_ = 0;
    bool closed_ = false;
};
