#pragma once

// The process-wide registry of the subsystems the main window calls. Each
// starts as a do-nothing stand-in ("null"); the program's start, or a test,
// sets the real (or a recording) implementation. Setting nullptr restores
// the stand-in. The registry never owns what it is given.

#include "mainwindow/services/dialogs.h"
#include "mainwindow/services/downloads.h"
#include "mainwindow/services/lists.h"
#include "mainwindow/services/media.h"
#include "mainwindow/services/menus.h"
#include "mainwindow/services/tabs.h"

#include <QStringList>

#include <vector>

namespace services {

ITabsService& Tabs();
IMenusService& Menus();
IListsService& Lists();
IMediaService& Media();
IDownloadsService& Downloads();
IDialogsService& Dialogs();

void SetTabs(ITabsService* impl);
void SetMenus(IMenusService* impl);
void SetLists(IListsService* impl);
void SetMedia(IMediaService* impl);
void SetDownloads(IDownloadsService* impl);
void SetDialogs(IDialogsService* impl);

// One interface: its name, the name of its current implementation and its
// methods.
struct InterfaceListing {
    QString interfaceName;
    QString implementation;
    QStringList methods;
};
std::vector<InterfaceListing> CurrentImplementations();

} // namespace services
