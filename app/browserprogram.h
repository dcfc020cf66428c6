#pragma once

// The browser's subsystems for its main window, built in the order they
// need each other and handed to each other by reference: the window over the
// service set, then its tabs, its menus and its dialogs, each set in the
// service set as it is made. What is not built answers through the set's stand-ins (or
// whatever a test set there before). They go in the reverse order.

#include "contracts/services.h"

#include <memory>

class DialogsService;
class ExplorerTabs;
class MenusService;
class frmExplorer;

class BrowserProgram {
public:
    struct Parts {
        bool tabs = true;
        bool menus = true;
        bool dialogs = true;
    };
    explicit BrowserProgram(ServiceSet& services) : BrowserProgram(services, Parts{}) {}
    BrowserProgram(ServiceSet& services, Parts parts);
    ~BrowserProgram();
    BrowserProgram(const BrowserProgram&) = delete;
    BrowserProgram& operator=(const BrowserProgram&) = delete;

    frmExplorer& window() const { return *window_; }
    // nullptr for a part not built.
    ExplorerTabs* tabs() const { return tabs_.get(); }
    MenusService* menus() const { return menus_.get(); }
    DialogsService* dialogs() const { return dialogs_.get(); }

private:
    ServiceSet& services_;
    std::unique_ptr<frmExplorer> window_;
    std::unique_ptr<ExplorerTabs> tabs_;
    std::unique_ptr<MenusService> menus_;
    std::unique_ptr<DialogsService> dialogs_;
};
