#pragma once

// The state the main window owns and the list, media, menu and layout code
// share, with the values the window's Initialize event gives it. The tabs
// keep their own (the tab model).
// Integers are 16-bit; a "flag" holds 0 for false and -1 for true.

#include "core/busyflag.h"
#include "core/mainsettings.h"
#include "mainwindow/windowlayout.h"

#include <QDeadlineTimer>
#include <QString>
#include <QStringList>
#include <QVector>

#include <array>
#include <cstdint>
#include <map>

class clsPopupMenu;
class clsWinInet;

using Flag = int16_t;

// Indexes of DisplayFlags.
enum DisplayFlag : int {
    DisplayTopBar = 0,
    DisplayBottomBar = 1,
    DisplaySidePane = 2,
    DisplayTabBar = 3,
    DisplayImageInfo = 4,
    DisplayMaximised = 5,
    DisplayMenuRow = 6,
    DisplayMediaRow = 7,
    DisplayColorBar = 8,
    DisplayInfoEnlarged = 9,
    DisplayPaneKeptByHideAll = 10,
};

// The settings-backed fields (DisplayFlags, the list delays, the options)
// come from MainSettings; the rest is the window's own.
struct ExplorerState : MainSettings {
    // The layout of the body: view mode, panes, split position.
    WindowLayout Layout;

    // Window-level state, in the order Initialize sets it.
    int16_t FixScrollTab = 0;
    int16_t TabButtonOffset = 0;
    int16_t TabButtonsLoaded = 0;
    int16_t TabButtonsShown = 0;
    int16_t MultiViewCounter = 0;     // multi-view layouts
    Flag MediaFeatureFlag = 0;        // read by the media menu, image viewer and background fetch
    std::array<Flag, 4> RepeatFlags{};   // 1-3: audio, video, image lists
    std::array<Flag, 3> SingleFlags{};   // 1-2: audio, video
    std::array<Flag, 3> ShuffleFlags{};  // 1-2: audio, video
    uint8_t ImagesPerView = 0;
    Flag AutoImageResize = -1;       // the image viewer fits images to its panes
    std::array<int16_t, 2> TabModelWords{};
    // Set from Initialize until the end of Load: every tab navigation is
    // cancelled and no page's events are bound.
    BusyFlag NavigationHeld;
    // Download lists whose pause was asked for, by list name, each until
    // the download manager's acknowledgement is seen or its time is up.
    std::map<QString, QDeadlineTimer> PendingListPauses;
    // The stamps last seen of the shown status page's frame files F1 to F3
    // (entries 1 to 3); emptied, the next status poll reloads every frame
    // whose file is there.
    std::array<QString, 4> StatusFrameDates{};
    // The position and the volume knob of the media row glide.
    BusyFlag PositionKnobGlide;
    BusyFlag VolumeKnobGlide;
    int16_t TickCounter = 0;
    std::array<int16_t, 3> HeaderWords{};
    Flag MenuBarActive = 0;
    int16_t MinFormWidth = 0;
    int16_t MinFormHeight = 0;
    int16_t MinPaneWidth = 0;        // the side pane's width at load and its least
    int16_t TimerStage = 0;
    quintptr MainHwnd = 0;           // set at the first timer tick
    Flag ButtonReleased = 0;         // set by the key poll
    int16_t CurrentListKind = 0;     // from the settings at Load
    QString PendingUrl;
    QString TempPagePrefix;          // set at Load
    QString BlankPagePath;           // set at Load
    clsWinInet* UrlCracker = nullptr;         // created at Load
    clsPopupMenu* CustomMenu = nullptr;       // created at Load

    // Per-list state, indexed by list kind 1-6 (element 0 holds no list).
    std::array<int16_t, 7> ListViewerBrowser{};
    // The browser whose load the list's last step started (snippet and
    // link lists), until that load completes; -1 none. Only that load
    // arms the list's timer.
    std::array<int16_t, 7> ListStepBrowser{};
    std::array<int16_t, 7> ListPlayState{};   // 1 not playing, 2 playing, 0 player closed
    std::array<int32_t, 7> ListItemCount{};
    std::array<int32_t, 7> ListCurrentItem{}; // 1-based, 0 none
    std::array<Flag, 7> SaveEnabled{};        // the playlist menu offers Save
    std::array<Flag, 7> SaveAsEnabled{};      // the playlist menu offers Save As
    std::array<QString, 7> ListFilePath{};    // the playlist file last loaded or saved
    // The lists' six list views and the pane's buttons 1-14 exist.
    Flag ListPaneBuilt = 0;
    // Nine records of six fields: record 0 is the list adders' scratch
    // record (0 name, 1 path or address, 2 referring page, 4 folder or
    // address prefix), the others the background fetch slots'.
    std::array<std::array<QString, 6>, 9> ListItemRecord{};

    // The image viewer and its background fetch.
    Flag FetchStopped = 0;          // set by StopAllFetches, cleared by the lists' play steps
    Flag ViewerFetchActive = 0;     // the progress bar follows the fetch of the viewer's page
    int16_t ImagesLoadedCount = 0;  // cells of the current viewer page that are in
    int16_t EmptyViewerCellCount = 0; // cells of the current page that got no item
    Flag ViewerLayoutFlag = 0;      // the viewer's cells are laid out when its tab is shown

    // The Initialize event: every field above to its initial value, in order.
    // twipsScale is the screen's scale factor (1.0 at 15 twips per pixel).
    void Initialize(float twipsScale);
};
