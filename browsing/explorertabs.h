#pragma once

// The tabs of the running program on the main window: the browsers, the tab
// model and what the window offers them.

#include "mainwindow/tabsmodule.h"

#include <QStringList>

#include <memory>

std::unique_ptr<ITabsModule> CreateExplorerTabs(frmExplorer& window);

// The services the running program's tabs still get from stand-ins that do
// nothing, until their owners are built.
QStringList StandInServices();
