#pragma once

// The browser's one top-level window: a frameless form drawn from the skin,
// owning the state the rest of the browser shares.

#include "mainwindow/explorerstate.h"
#include "mainwindow/tabsmodule.h"
#include "platform/form.h"

class frmExplorer : public platform::forms::Form, public ExplorerState {
public:
    // Runs the Initialize event.
    frmExplorer();
    ~frmExplorer() override;

    // Brackets every relayout and bulk redraw: true stops the window's
    // updates, false lets them go on and repaints.
    void LockControl(bool lock);

    // The tabs, created at the end of Load.
    std::unique_ptr<ITabsModule> Tabs;

private:
    // The Load event, run when the window is first shown.
    void Form_Load();
};

// The one main window of the process, once created.
frmExplorer* MainWindow();
