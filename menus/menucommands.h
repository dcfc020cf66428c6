#pragma once

// The command dispatcher: one table of rows (menu name, command key) with
// what each does. The builders give the same keys; a row whose key is "*"
// serves any key of its menu that no other row names.

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

struct ExplorerState;

// The page commands of the current tab's browser.
enum class PageCommand { Cut, Copy, Paste, SelectAll, Find, Print, PrintPreview, PageSetup, SaveAs, Properties };

// The chosen item as the dispatcher reads it from the menu.
struct ChosenItem {
    QString menuName;
    QString key;
    QString caption;
    QString hierarchyPath; // the captions from the first sub-menu level down, joined by "\"
};

// What the rows call. Tab numbers are 0-based; the host checks them against
// the tabs as they are when the call is made.
class IMenuCommandHost {
public:
    virtual ~IMenuCommandHost() = default;
    virtual ExplorerState& state() = 0;
    virtual void saveSetting(const QString& name, const QString& value) = 0;

    virtual void openNewTab() = 0;
    virtual void closeTab(int tab) = 0;
    virtual void closeTabs(int mode) = 0;
    virtual void goToTab(int tab) = 0;
    virtual void selectTabFromMenu(int tab) = 0;
    virtual void clearTabs(bool all, int tab) = 0; // tab -1: the current one
    virtual int currentTab() const = 0;
    // The tab shown on the tab button last right-clicked (its index plus the
    // strip's offset); -1 when there is none.
    virtual int tabMenuTab() const = 0;

    virtual void pageCommand(PageCommand command) = 0;
    virtual void setTextSize(int zoom) = 0; // 0 smallest .. 4 largest
    // The address in the address box, opened in a new tab.
    virtual void navigateText(const QString& text, bool noHistory) = 0;
    virtual void openStartPage() = 0;
    virtual void stopBrowsing() = 0;
    virtual void refreshPage() = 0;
    virtual void openSearchPage() = 0;

    // The window: bars by their menu key, arrange modes, skin.
    virtual void toggleBar(const QString& key) = 0;
    virtual void setArrangeMode(const QString& key) = 0;
    virtual void reapplySkin() = 0;
    virtual void startProgram(const QString& productPath) = 0;
    virtual void showMessage(const QString& text) = 0;
    virtual void clearHistory() = 0;
    virtual void showAbout() = 0;
    virtual void openPreferences() = 0;
    virtual void flipDisplayOption(int n) = 0;
    virtual void makeDefaultBrowser() = 0;
    virtual void organizeFavorites() = 0;

    // The page tools of the current tab and the quick lists.
    virtual void mailPageLink() = 0;
    virtual void openInOfficeProgram(int number) = 0; // 1-5
    virtual void toggleWorkOffline() = 0;
    virtual void viewPageSource() = 0;
    virtual void translatePage(const QString& name) = 0;
    virtual void editListFile(int index) = 0; // 0 translation list, 1-4 quick lists
    virtual void synchronizeOfflinePages() = 0;
    virtual void showImageViewerTab() = 0;
    virtual void quickListLookup(int list, const QString& name) = 0;

    // The operations of subsystems that are not in the program yet (lists,
    // media, downloads, dialogs): name and arguments.
    virtual void deferred(const QString& operation) = 0;
};

struct CommandRow {
    QString menuName;
    QString key; // "*": any other key of the menu
    std::function<void(IMenuCommandHost&, const ChosenItem&)> run;
};

const std::vector<CommandRow>& CommandRows();

// The commands of one list kind's block in the playlist menu, in menu order;
// an entry with item 0 is a separator. The keys are "MPLAYLIST_CMODE" & kind
// & "_" & item; the dispatcher's rows for them come from this table.
struct ListCommand {
    int kind = 0;
    int item = 0;
    const char* langKey = "";
    const char* english = "";
    const char* operation = ""; // what the row asks of the lists subsystem
};
const std::vector<ListCommand>& ListCommands();
QString ListCommandKey(const ListCommand& c);

// Runs the row of the chosen item; exact, case-sensitive names and keys.
// False when no row matched.
bool DispatchMenuCommand(IMenuCommandHost& host, const ChosenItem& item);

// A tab number key ("1", "12") as a 0-based tab; -1 when it is not a whole
// number of 1 to 32767.
int TabFromKey(const QString& key);

// A download list's name taken from a menu: only a plain file name stays in
// the Data folder; "" for anything else.
QString SafeListName(const QString& name);

// The Favorites folder of "OPEN ALL": the item's path without its last
// component, joined to the Favorites folder, ending in "\".
QString OpenAllFolder(const QString& favorites, const QString& hierarchyPath);
