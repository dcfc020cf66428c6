#pragma once

// How the main window gets its tabs: the program plugs in a factory before
// the window loads; the window creates the tabs at the start of its Load
// event, makes them the tabs service every routine calls, and lets them go
// with the window. Without a factory (tests) the service set before stays.

#include "mainwindow/services/tabs.h"

#include <functional>
#include <memory>

class frmExplorer;

using TabsModuleFactory = std::function<std::unique_ptr<ITabsService>(frmExplorer&)>;
void SetTabsModuleFactory(TabsModuleFactory factory);
// The tabs for this window, or nullptr when none was plugged in.
std::unique_ptr<ITabsService> CreateTabsModule(frmExplorer& window);
