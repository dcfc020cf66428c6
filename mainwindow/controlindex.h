#pragma once

// The members of the main window's control arrays, by what each shows. An
// array's index is the one the window's layout, hover and bar code and the
// skin's numbers speak of; the names only say which member that is.

// SkinPiece: the frame, drawn from the skin.
namespace skinpiece {
enum : int {
    TopLeft = 0,
    TopRight = 1,
    BottomRight = 2,
    BottomLeft = 3,
    Top = 4, // its bottom is the bottom of the Top Bar
    Right = 5,
    Bottom = 6,
    Left = 7,
    MenuStrip = 8,
    MenuStripEnd = 9,
};
} // namespace skinpiece

// PicHolder: the holders inside the frame.
namespace picholder {
enum : int {
    Body = 0,       // holds every tab browser and the multi-view panes
    AddressRow = 1, // the address box and its drop-down arrow
};
} // namespace picholder

// ImageBox: the pictures of the chrome.
namespace imagebox {
enum : int {
    Busy = 0,
    DelayDisplay = 1,
    PageIcon = 2,
    DropDownArrow = 3,
    VolumeTrack = 4,
    PositionTrack = 5,
    ProgressBand = 6,
    ColourBar = 7,
    TabStrip = 8,
    TimePanel = 9,
};
} // namespace imagebox

// cmdMenu: the menu-bar captions.
namespace menucaption {
enum : int { File = 0, Edit = 1, View = 2, Tools = 3, Window = 4, Last = Window };
} // namespace menucaption

// cmdFormControl: the caption buttons.
namespace formbutton {
enum : int { Move = 0, Minimize = 1, Maximize = 2, Close = 3, Last = Close };
} // namespace formbutton

// cmdWBControl: the navigation buttons of the Top Bar.
namespace navbutton {
enum : int {
    Favorites = 0,
    History = 1,
    Back = 2,
    Forward = 3,
    Stop = 4,
    Refresh = 5,
    Go = 6,
    TabNumber = 7, // the picture behind the tab number box
    TabList = 8,
    Up = 9,
    Last = Up,
};
} // namespace navbutton

// cmdShowHide: the show/hide buttons of the bars.
namespace showhide {
enum : int { SidePane = 0, TopBar = 1, BottomBar = 2, MenuRow = 3, MediaRow = 4, Last = MediaRow };
} // namespace showhide

// cmdAppOpt: the quick-launch row and the tab group of the Bottom Bar.
namespace quickbutton {
enum : int {
    Help = 0,
    MyFolder = 1, // 1 to 4 also open the quick lists 1 to 4
    Mail = 2,
    StartPage = 3,
    Search = 4,
    CloseTabMenu = 5,
    GoToTabMenu = 6,
    NextTab = 7,
    PreviousTab = 8,
    LastQuickList = Search,
    Last = PreviousTab,
};
} // namespace quickbutton

// WBTextBox: the text boxes.
namespace wbtextbox {
enum : int { Address = 0, Status = 1, TabNumber = 2 };
} // namespace wbtextbox

// APPLabel: the labels.
namespace applabel {
enum : int {
    ListItemNumber = 0, // the selected item of the current list
    ListItemCount = 1,
    Delay = 2,    // the slide-show delay of the current list
    TabCount = 3, // at the end of the tab strip
    ListTitle = 4,
    Last = ListTitle,
};
} // namespace applabel

// AppTimer: the window's timers.
namespace apptimer {
enum : int {
    Housekeeping = 0, // every 100 ms; the first ticks start the window
    Media = 2,        // every second: the players' end of item
    ImageShow = 3,    // the slide-show steps of lists 3, 4 and 5
    SnippetShow = 4,
    LinkShow = 5,
};
} // namespace apptimer

// ListView: 0 the address drop-down; 1 to 6 the lists of the side pane.
namespace listview {
enum : int { AddressDropDown = 0 };
} // namespace listview

// SPLITTER2: the bars of the split layouts inside the body.
namespace splitterbar {
enum : int {
    LostDrag = 0, // the side pane edge's drag bar; a lost release leaves it shown until a page loads
    Vertical = 1,
    Horizontal = 2,
    VerticalDrag = 3,
    HorizontalDrag = 4,
    Last = HorizontalDrag,
};
} // namespace splitterbar
