#pragma once

// The skin's picture identifiers the window and its tabs use. A button with
// several looks is named by its normal picture; the others follow it: +1
// hover, +2 pressed, +3 disabled (where the skin has one).

#include <cstdint>

namespace skinpic {
enum : int16_t {
    // ---- The frame ----
    TopLeftMenuShown = 104,
    MenuStrip = 105,
    MenuStripEnd = 106,
    TopLeftMenuHidden = 108,
    TopLeftTopBarHidden = 109,
    TopRight = 110,
    TopRightTopBarHidden = 111,
    BottomRight = 112,
    BottomRightBottomBarHidden = 113,
    BottomLeftMediaRowShown = 114,
    BottomLeftMediaRowHidden = 115,
    BottomLeftBottomBarHidden = 116,
    TopEdge = 117,
    TopEdgeTopBarHidden = 118,
    RightEdge = 119,
    BottomEdge = 120,
    BottomEdgeBottomBarHidden = 121,
    LeftEdge = 122,

    // ---- Pieces of the chrome ----
    Splitter = 125,
    ProgressBand = 127,
    DelayDisplay = 128,
    TabNumberBox = 129,
    TimePanel = 130,
    ColourBar = 131,
    TabStrip = 132,
    PageIcon = 203,
    VolumeTrack = 411,
    PositionTrack = 416,

    // ---- Show/hide buttons (normal, hover) ----
    HideMediaRow = 133,
    ShowMediaRow = 135,
    HideMenuRow = 137,
    ShowMenuRow = 139,
    ShowBottomBar = 141,
    HideSidePane = 143,
    ShowSidePane = 145,
    ShowTopBar = 147,

    // ---- The busy picture: idle, loading, paused, stopped ----
    BusyIdle = 149,
    BusyLoading = 150,
    BusyPaused = 151,
    BusyStopped = 152,

    // ---- Navigation buttons (normal, hover, pressed, disabled) ----
    Back = 171,
    Forward = 175,
    Stop = 179,
    Refresh = 182,
    Favorites = 185,
    History = 188,
    UpOneLevel = 191,
    Go = 194,
    TabList = 197,
    DropDownArrow = 200,

    // ---- Caption buttons ----
    Move = 204,
    Minimize = 207,
    Maximize = 210,
    RestoreDown = 213,
    Close = 216,

    // ---- Quick-launch and tab group buttons ----
    SearchPage = 264,
    HelpMenu = 267,
    MyFolder = 270,
    Mail = 273,
    StartPage = 276,
    PreviousTab = 390,
    NextTab = 393,
    CloseTab = 396,
    CurrentTabButton = 399,
    TabButton = 400, // normal, hover, pressed
    CloseTabMenu = 403,
    GoToTabMenu = 406,
};
} // namespace skinpic

// The looks that follow a button's normal picture.
namespace skinlook {
inline constexpr int16_t Normal = 0;
inline constexpr int16_t Hover = 1;
inline constexpr int16_t Pressed = 2;
inline constexpr int16_t Disabled = 3;
} // namespace skinlook
