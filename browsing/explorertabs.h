#pragma once

// The tabs of the running program on the main window: the browsers, the tab
// model and what the window offers them, served to the window as its tabs
// service.

#include "mainwindow/services/tabs.h"

#include <QStringList>

#include <memory>

class frmExplorer;

std::unique_ptr<ITabsService> CreateExplorerTabs(frmExplorer& window);

class TabBrowsing;
// The tab model behind a tabs service made by CreateExplorerTabs; nullptr
// for any other implementation.
TabBrowsing* ExplorerTabBrowsing(ITabsService& tabs);

// The calls between the window and the running program's tabs that still
// reach stand-ins doing nothing, until their owners are built.
QStringList StandInServices();
