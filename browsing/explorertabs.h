#pragma once

// The tabs of the running program on the main window: the browsers, the tab
// model and what the window offers them.

#include "mainwindow/tabsmodule.h"

#include <memory>

std::unique_ptr<ITabsModule> CreateExplorerTabs(frmExplorer& window);
