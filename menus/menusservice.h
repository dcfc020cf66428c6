#pragma once

// The menus of the running main window: the window's one popup-menu object,
// the builders opened from the menu bar and the buttons, and the commands
// of the chosen items carried out on the window, its tabs and pages. The
// tabs and the later subsystems are reached through the window's services.

#include "contracts/menus.h"
#include "contracts/services.h"
#include "menus/menubuilders.h"
#include "menus/menucommands.h"

#include <QStringList>

#include <memory>

class frmExplorer;
class clsPopupMenu;

namespace platform::forms {
class Control;
}

class MenusService : public IMenusService, public IMenuCommandHost {
public:
    MenusService(frmExplorer& window, ServiceSet& services);
    ~MenusService() override;
    MenusService(const MenusService&) = delete;
    MenusService& operator=(const MenusService&) = delete;

    const char* implementationName() const override { return "menus"; }

    void CreatePopupMenu(QWidget* ownerWindow) override;
    bool SubClassStatus() const override;
    void cmdMenu_MouseDown(int16_t index, int button, int shift) override;
    void ShowHelpMenu() override;
    void ShowUserListMenu(int16_t list) override;
    void ShowCloseTabMenu() override;
    void ShowGoToTabMenu() override;
    void ShowFavoritesMenu() override;
    void ShowHistoryMenu() override;
    void ShowTabListMenu() override;
    void ShowMediaMenu() override;
    void ShowPlaylistMenu(int32_t left, int32_t top, int32_t width, int32_t height) override;
    void ShowPlaylistFormatMenu(int32_t left, int32_t top, int32_t width, int32_t height) override;
    void ShowListViewEditMenu(float x, float y) override;
    // The pointer over another caption of the bar while a bar menu is open:
    // that caption's menu replaces the open one.
    void RollOverMenuBar() override;
    void EndMenuBarMode() override;
    void UnloadMenuImageHolder() override {}
    void SetButtonTooltips() override;
    QString ShowTabMenu(int32_t left, int32_t top, int32_t right, int32_t bottom) override;

    // ---- What the rows call ----
    ExplorerState& state() override;
    void saveSetting(const QString& name, const QString& value) override;
    void openNewTab() override;
    void closeTab(int tab) override;
    void closeTabs(int mode) override;
    void goToTab(int tab) override;
    void selectTabFromMenu(int tab) override;
    void clearTabs(bool all, int tab) override;
    int currentTab() const override;
    int tabMenuTab() const override { return -1; }
    void pageCommand(PageCommand command) override;
    void setTextSize(int zoom) override;
    void navigateText(const QString& text, bool noHistory) override;
    void openStartPage() override;
    void stopBrowsing() override;
    void refreshPage() override;
    void openSearchPage() override;
    void toggleBar(const QString& key) override;
    void setArrangeMode(const QString& key) override;
    void reapplySkin() override;
    void startProgram(const QString& productPath) override;
    void showMessage(const QString& text) override;
    void clearHistory() override;
    void showAbout() override;
    void openPreferences() override;
    void flipDisplayOption(int n) override;
    void makeDefaultBrowser() override;
    void organizeFavorites() override;
    void mailPageLink() override;
    void openInOfficeProgram(int number) override;
    void toggleWorkOffline() override;
    void viewPageSource() override;
    void translatePage(const QString& name) override;
    void editListFile(int index) override;
    void synchronizeOfflinePages() override;
    void showImageViewerTab() override;
    void quickListLookup(int list, const QString& name) override;
    void deferred(const QString& operation) override;

private:
    // What the menus use of the tabs.
    ITabCommands& tabs() const { return services_.Tabs(); }
    void startButtonMenu();
    // Beside a button of the option bar: from its top right corner,
    // upward when there is no room below its top.
    void showBeside(const platform::forms::Control& button);
    // Below a button of the navigation bar, at the top bar's bottom.
    void showBelow(const platform::forms::Control& button);
    struct Rect {
        int32_t l, t, w, h;
    };
    Rect anchor(const platform::forms::Control& c) const;
    int32_t screenTwips(bool width) const;
    void onClick(int32_t item);
    void onInitPopup(int32_t parent);

    frmExplorer& w_;
    ServiceSet& services_;
    std::unique_ptr<clsPopupMenu> menu_;
    int openIndex_ = -1;
    int historyMode_ = 0;
};

// The state the menus show, gathered from the window as a menu opens.
MenuState GatherMenuState(frmExplorer& window);

// The operations the rows hand to other subsystems (run through their
// services where one takes them), as asked for in this process (newest
// last).
QStringList DeferredMenuOperations();
