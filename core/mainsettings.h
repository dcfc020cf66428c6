#pragma once

// The main window's options: filled once when the window loads, partly
// written back when it unloads, and the optional clean-up of browsing data
// at exit. The main window embeds MainSettings; the program-wide values
// (LastFolders, KeyMap, GeneralOptionBytes) live here with it.

#include <QString>

#include <array>
#include <cstdint>

// Indexes of GeneralOptionBytes.
enum GeneralOption : int {
    OptRunOneInstanceOnly = 0, // read by the start procedure (RunOneInstanceFlag)
    OptDisableScriptError = 1,
    OptUseTxtAutoComplete = 2,
    OptGroupLoadOnStartup = 3,
    OptRememberLastFolder = 4,
    OptOpenLinkWithNewTab = 5,
    OptMouseGesturesInUse = 6,
};

// The window's restored position and size in twips.
struct WindowRectTwips {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
};

struct MainSettings {
    // 0 Top Bar, 1 Bottom Bar, 2 side pane, 3 tab bar, 4 image information,
    // 5 maximised, 6 menu row, 7 media control row, 8 colour bar, 9 info
    // panel enlarged, 10 side-pane state kept by Hide All; 0 or -1.
    std::array<int16_t, 11> DisplayFlags{};
    int16_t ShownListKind = 0;
    std::array<float, 3> VolumeFraction{}; // 1 audio, 2 video
    QString CollectionFormat = QString(6, QLatin1Char(' '));
    uint8_t CollectionFilter = 0;
    uint8_t FavoritesSortOrder = 0;
    int16_t FavoritesFolderFirst = 0;
    uint8_t PopupControlMode = 0;
    int16_t ClosedTabRingEnabled = 0;
    std::array<uint8_t, 7> GeneralOptionBytes{};
    int16_t UnreachableTimeout = 0;
    std::array<QString, 9> LastFolders;   // 1 to 8 stored; 0 never
    std::array<float, 7> ListDelayTime{}; // seconds, list kinds 3 to 5
    WindowRectTwips NormalWindowRect;
    std::array<QString, 13> KeyMap;       // F1 to F12 at 0 to 11
};

// The search engine used until the user picks one ("DEFAULTSEARCH"), and a
// start page that opens the blank page ("STARTPAGE": no address is contacted
// unasked).
inline const QString kDefaultSearchPage = QStringLiteral("https://duckduckgo.com/");
inline const QString kDefaultStartPage = QStringLiteral("10||about:blank||");

// The setting that holds ClosedTabRingEnabled.
inline const QString kClosedTabRingSetting = QStringLiteral("OPT_CLOSEDTABRING");

// Fills the settings from the store; a value that cannot be converted leaves
// its field as it was. GeneralOptionBytes[0] takes RunOneInstanceFlag.
void LoadMainSettings(MainSettings& settings);
// Writes the values the window keeps up to date, the window's current
// position and size among them, and renews the default-browser
// registration while the program holds it. With "REMEMBERLASTFOLDER" off
// the remembered folders are emptied first.
void SaveMainSettings(MainSettings& settings, const WindowRectTwips& currentWindow);
// The removals that digits 2 to 6 of an "OPT_CLEANUP" value name, in this
// order: the URL cache's files (2), then its cookies (3, only with 2), the
// typed addresses (4), the history (5), the temporary folder (6).
void RunCleanupRemovals(const QString& digits);
// The clean-up at exit chosen by "OPT_CLEANUP" (its first digit).
void RunExitCleanup();
