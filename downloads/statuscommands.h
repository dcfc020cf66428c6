#pragma once

// The buttons of a download list's status page and the media menu's Clear
// Status. A command acts on the list of the page that sent it: pause asks
// the download manager to stop, resume starts it again on the list, modify
// loads the list back into the side pane, stop ends the list for good and
// close only closes its tab. Clear Status stops and removes every list.

#include "downloads/listremoval.h"

#include <QDeadlineTimer>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>

class frmExplorer;
class ListHandOff;
class ServiceSet;

class StatusCommands {
public:
    StatusCommands(frmExplorer& window, ServiceSet& services, ListHandOff& handOff);

    // An "EVENT:Z5_DLSTAT_..." address from the page pageUrl of the tab
    // browser browserIndex.
    void HandleDownloadStatusEvent(const QString& url, int16_t browserIndex, const QString& pageUrl);
    void ClearDownloadStatusList();

    // The list whose status frameset the page is: "" unless the page is
    // "<program>/Data/<name>.HTM" with a safe list name.
    static QString StatusPageListName(const QString& pageUrl);

    // How long a stop waits for the download manager to let go of a list,
    // and how long a pause keeps a resume away without an answer.
    int stopWaitMs = 5000;
    int pauseHoldMs = 5000;
    // How long a started run may take to hold its list, a second resume
    // being refused meanwhile.
    int startHoldMs = 5000;

    // The stopped lists whose runs have not ended yet.
    ListRemoval& removal() { return removal_; }

private:
    void pause(const QString& name);
    void resume(const QString& name);
    void modify(const QString& name);
    void stop(const QString& name, int16_t browserIndex);
    void closeTab(int16_t browserIndex);
    // Asks the download manager of each list to stop.
    void requestStop(const QStringList& names);
    // Waits (bounded) until no download manager holds any of the lists; the
    // names still held.
    QStringList waitForRuns(QStringList names);
    // True when the list's pause is still pending (its answer not seen).
    bool pausePending(const QString& name);

    frmExplorer& window_;
    ServiceSet& services_;
    ListHandOff& handOff_;
    // Lists whose run was started, each until it should hold its list.
    std::map<QString, QDeadlineTimer> starting_;
    ListRemoval removal_;
};
