#pragma once

// The subsystems of one browser window, each reached through its interface.
// The program's start builds the subsystems and sets them here; a test sets
// recording fakes. What is not set answers through its stand-in, and
// setting nullptr brings the stand-in back. The set never owns what it is
// given.

#include "contracts/dialogs.h"
#include "contracts/downloads.h"
#include "contracts/lists.h"
#include "contracts/media.h"
#include "contracts/menus.h"
#include "contracts/tabs.h"

#include <QString>
#include <QStringList>

#include <vector>

class ServiceSet {
public:
    ServiceSet() = default;
    ServiceSet(const ServiceSet&) = delete;
    ServiceSet& operator=(const ServiceSet&) = delete;

    ITabsService& Tabs() const;
    IMenusService& Menus() const;
    IListsService& Lists() const;
    IMediaService& Media() const;
    IDownloadsService& Downloads() const;
    IDialogsService& Dialogs() const;

    void SetTabs(ITabsService* impl) { tabs_ = impl; }
    void SetMenus(IMenusService* impl) { menus_ = impl; }
    void SetLists(IListsService* impl) { lists_ = impl; }
    void SetMedia(IMediaService* impl) { media_ = impl; }
    void SetDownloads(IDownloadsService* impl) { downloads_ = impl; }
    void SetDialogs(IDialogsService* impl) { dialogs_ = impl; }

    // One interface: its name, the name of what serves it now ("null" for
    // the stand-in), its methods and those of them served only by a
    // stand-in (all of them, or what a subsystem built in steps names).
    struct Listing {
        QString interfaceName;
        QString implementation;
        QStringList methods;
        QStringList standIns{};
    };
    std::vector<Listing> Implementations() const;
    // "Interface::Method" for every method served by a stand-in only, or by
    // a subsystem that has not built it yet.
    QStringList StandInMethods() const;

private:
    ITabsService* tabs_ = nullptr;
    IMenusService* menus_ = nullptr;
    IListsService* lists_ = nullptr;
    IMediaService* media_ = nullptr;
    IDownloadsService* downloads_ = nullptr;
    IDialogsService* dialogs_ = nullptr;
};
