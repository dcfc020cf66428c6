#pragma once

// How the main window reaches the tabs: the program plugs the tabs' module
// in before the window loads; the window creates it at the end of its Load
// event and gives it the first housekeeping tick.

#include <functional>
#include <memory>

class frmExplorer;

class ITabsModule {
public:
    virtual ~ITabsModule() = default;
    // The first tick after Load: browser 0 gets its state record and the
    // address of the command line (or the blank page).
    virtual void FirstTick() = 0;
};

using TabsModuleFactory = std::function<std::unique_ptr<ITabsModule>(frmExplorer&)>;
void SetTabsModuleFactory(TabsModuleFactory factory);
// The module for this window, or nullptr when none was plugged in.
std::unique_ptr<ITabsModule> CreateTabsModule(frmExplorer& window);
