#pragma once

// The tab strip along the bottom of the body: one skinned button per shown
// tab (cmdTabNum, loaded as the strip grows), the tab-count label at its end
// and the close-tab button. Button i stands for tab i + TabButtonOffset; the
// strip scrolls so that the current tab's button is always shown.

#include "contracts/layoutrect.h"

#include <QString>

#include <cstdint>
#include <memory>

class frmExplorer;
class TabBrowsing;

class TabStrip {
public:
    TabStrip(frmExplorer& f, TabBrowsing& tabs);
    ~TabStrip();
    TabStrip(const TabStrip&) = delete;
    TabStrip& operator=(const TabStrip&) = delete;

    // Shows or hides the strip, fits its buttons into the width and takes
    // the strip's height off the rectangle.
    void LayoutTabStrip(LayoutRect& rect);
    // Keeps the current tab's button shown.
    void ScrollTabStripToCurrent();
    // TabButtonOffset back within 0 .. max(0, TabCount - fit).
    void ClampOffset();

    int TabButtonsFit() const { return fit_; }
    int TabMenuButtonIndex() const { return menuButton_; }

    // Event procedures of the buttons.
    void TabButtonDown(int index, int button);
    void TabButtonMove(int index);
    void TabButtonUp(int index);
    void TabButtonDblClick(int index);
    void CloseButtonClick();
    void CloseButtonDown();
    void CloseButtonMove();
    void CloseButtonUp();

    // The tab menu of a button: "Close" and "Clear" act on the tab whose
    // button was pressed, found again by its browser when the command runs.
    void ShowTabMenu(int index);
    void RunTabMenuCommand(const QString& key, int browser);

private:
    frmExplorer& f_;
    TabBrowsing& tabs_;
    int fit_ = 0;
    int menuButton_ = 0;
};
