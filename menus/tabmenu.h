#pragma once

// The menu of a tab button: "Close" and "Clear", shown below the button.

#include "browsing/browsingservices.h"

#include <memory>

class clsPopupMenu;

class TabButtonMenu : public ITabMenu {
public:
    TabButtonMenu();
    ~TabButtonMenu() override;
    QString ShowTabMenu(int left, int top, int right, int bottom) override;

private:
    // Used while the main window has no popup menu of its own.
    std::unique_ptr<clsPopupMenu> ownMenu_;
};
