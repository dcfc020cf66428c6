#pragma once

// The tabs of the running program on the main window: the browsers, the tab
// model and what the window offers them, served to the window as its tabs
// service.

#include "mainwindow/services/tabs.h"

#include <QStringList>

#include <memory>

class frmExplorer;
class TabBrowsing;

std::unique_ptr<ITabsService> CreateExplorerTabs(frmExplorer& window);

// The calls between the window and the running program's tabs that still
// reach stand-ins doing nothing, until their owners are built.
QStringList StandInServices();

// The tab model behind the window's tabs service (nullptr for another
// service), for tests that drive the running window's tabs.
TabBrowsing* TabModelOf(ITabsService& service);
