#pragma once

// The commands that send the current tab somewhere: what the address box
// holds (an address or a search), the start page, the search page, the
// document folder, the mail program, the quick lists, Back, Forward, Stop,
// Refresh and Up.

#include "core/busyflag.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class frmExplorer;
class TabBrowsing;

// ---- Rules on text, kept apart so that they are tested alone ----

// True for a text navigated as typed: it holds ".", "http", "www", "/" or
// "\", or begins with "about:" (case-blind). Anything else is a search.
bool LooksLikeAddress(const QString& text);

// The words form-encoded for a query: each blank becomes "+", everything
// but letters, digits and "-._~" is percent-encoded from UTF-8.
QString FormEncodeQuery(const QString& words);

// The prefix of the query-prefix file whose key occurs in searchAddress
// (case-blind), the first such line winning; "" with found false when no
// key occurs. nullopt when the file cannot be read or a line that is not
// empty, not a comment, has no "=": nothing is then navigated.
struct QueryPrefix {
    bool found = false;
    QString prefix;
};
std::optional<QueryPrefix> FindQueryPrefix(const QString& listFile, const QString& searchAddress);

// The start-page setting: two flags, the home address from character 5 to
// the first "||" at or after it, and the group folder behind that "||".
struct StartPageSetting {
    bool openHome = false;
    bool openGroup = false;
    QString home;
    QString folder;
    bool validFlags = false; // "00", "10", "01" or "11"
};
StartPageSetting ParseStartPage(const QString& setting);

// The folder one level above a file address, with its trailing "/"; one
// trailing "/" of the address is dropped first. "" when there is no level
// above (not a file address, or the root).
QString ParentFolderAddress(const QString& url);


// The shell places Up can lead to, as GetSpecialFolderIdList numbers them.
inline constexpr int16_t kMyComputerPlace = 1;
inline constexpr int16_t kNetworkPlace = 2;
inline constexpr int16_t kDesktopPlace = 3;
inline constexpr int16_t kControlPanelPlace = 4;
// The special-folder number of the desktop's display name.
inline constexpr uint8_t kDesktopFolder = 2;

// The address of a shell place; "" for a place this system does not have
// (My Computer, the network, the Control Panel).
QString ShellPlaceAddress(int16_t place);

// Where Up leads from a file address whose location name is name:
// specialFolder gives the special-folder number of a display name (1 My
// Computer ... 9 Scheduled Tasks, 0 none). A drive root and the special
// folders lead to the shell places above them, a top folder to the desktop,
// anything else to its parent folder. "" where Up does nothing: not a file
// address, the desktop itself, a place this system lacks.
QString UpOneLevelTarget(const QString& url, const QString& name,
                         const std::function<uint8_t(const QString&)>& specialFolder);

// True for a program name started rather than navigated: its text behind
// the last "." (all of it without one) is "EXE" or "PIF", or it names an
// executable file of this system.
bool IsProgramName(const QString& name);

// ---- The commands on the window ----

class Navigation {
public:
    Navigation(frmExplorer& window, TabBrowsing& tabs);

    void NavigateAddressText(bool newTabAllowed, bool interpret, bool noHistory);
    // mode 1 the command line, 2 the start-page setting, 3 the home address
    // in the given tab.
    void OpenWB_StartPage(int mode, int tab);
    void OpenSearchPage();
    void OpenMyFolder();
    void OpenMail();
    void QuickListLookup(int list, const QString& name);
    void GoBack();
    void GoForward();
    void StopBrowsing();
    void RefreshPage();
    void GoUpOneLevel();
    void OpenNewTab();
    void StopEverything();
    // Opens target by its kind in the given tab's browser, or a playlist or
    // snippet file through their owners.
    void OpenTarget(const QString& target, int browserIndex);

    // Opens a playlist (".Z5P") or a web-snippet file (".Z5S") named on the
    // command line; the lists pane owns both.
    std::function<void(const QString& target)> openListFile;

private:
    void PrepareTabForCommand(int tab);
    int GetTabStateFieldOfCurrent() const;
    void navigateCurrent(const QString& url);
    void startProgram(const QString& program);

    frmExplorer& w_;
    TabBrowsing& tabs_;
    // Set while OpenNewTab runs: it lets events run, and a second new tab
    // waits for the first.
    BusyFlag openingTab_;
};
