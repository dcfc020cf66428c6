#pragma once

// The menus of the running main window: the window's one popup-menu object,
// the builders opened from the menu bar and the buttons, and the commands
// of the chosen items carried out on the window, its tabs and pages.

#include "mainwindow/services/menus.h"
#include "menus/menubuilders.h"
#include "menus/menucommands.h"

#include <QStringList>

#include <memory>

class frmExplorer;
class clsPopupMenu;

std::unique_ptr<IMenusService> CreateMenusService(frmExplorer& window);

// The window's menu host (commands) of a service made above; nullptr else.
IMenuCommandHost* MenuCommandHostOf(IMenusService& service);

// The state the menus show, gathered from the window as a menu opens.
MenuState GatherMenuState(frmExplorer& window);

// The operations the rows hand to subsystems not in the program yet, as
// they were asked for in this process (newest last).
QStringList DeferredMenuOperations();
