#pragma once

// The browser's subsystems for its main window, built in the order they
// need each other and handed to each other by reference: the window over the
// service set, then its tabs, menus, lists, media player and dialogs, each
// set in the service set as it is made. What is not built answers through
// whatever the set held before (its stand-ins, or what a test set there).
// They go in the reverse order, and the set gets back what it held.

#include "contracts/services.h"

#include <functional>
#include <memory>
#include <vector>

class DialogsService;
class ExplorerTabs;
class ListsService;
class MediaService;
class MenusService;
class frmExplorer;

class BrowserProgram {
public:
    struct Parts {
        bool tabs = true;
        bool menus = true;
        bool lists = true;
        bool media = true;
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
    ListsService* lists() const { return lists_.get(); }
    MediaService* media() const { return media_.get(); }
    DialogsService* dialogs() const { return dialogs_.get(); }

private:
    ServiceSet& services_;
    std::unique_ptr<frmExplorer> window_;
    std::unique_ptr<ExplorerTabs> tabs_;
    std::unique_ptr<MenusService> menus_;
    std::unique_ptr<ListsService> lists_;
    std::unique_ptr<MediaService> media_;
    std::unique_ptr<DialogsService> dialogs_;
    // Puts back what the set held before each part, last part first.
    std::vector<std::function<void()>> restore_;
};
