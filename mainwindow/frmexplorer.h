#pragma once

// The browser's one top-level window: a frameless form drawn from the skin,
// owning the state the rest of the browser shares. Its controls carry the
// names and indexes the layout, hover and bar code address them by.

#include "contracts/services.h"
#include "core/busyflag.h"
#include "mainwindow/controlindex.h"
#include "mainwindow/explorerstate.h"
#include "platform/base/apptimer.h"
#include "platform/win/controlarray.h"
#include "platform/win/controls.h"
#include "platform/win/form.h"
#include "platform/win/listview.h"
#include "platform/win/progressbar.h"
#include "platform/win/textbox.h"

#include <QString>

#include <array>
#include <functional>
#include <memory>

class HoverTracking;
class Shortcuts;
class TempPageLock;
class WindowPlacement;

class frmExplorer : public platform::forms::Form, public ExplorerState {
public:
    // Runs the Initialize event and creates the controls. The window reaches
    // the other subsystems through the set, which outlives it.
    explicit frmExplorer(ServiceSet& services);
    ~frmExplorer() override;

    // Brackets every relayout and bulk redraw: true stops the window's
    // updates, false lets them go on and repaints.
    void LockControl(bool lock);

    // The menu-bar captions from the language file ("MENUNAME" 01 to 05).
    void SetMenuBarCaptions(bool flag);

    // The window's events, public so that the timer, the menus and tests
    // can run them.
    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void AppTimer_Timer(int index);

    // When set before the window loads, the load runs the first timer tick
    // (the start page) as soon as the settings and the skin are in, and
    // builds what the first page does not need after it.
    bool StartPageDuringLoad = false;

    // ---- Controls, bottom to top of the z-order ----
    platform::forms::ControlArray<platform::forms::Image> SkinPiece{*this, QStringLiteral("SkinPiece")};
    platform::forms::ControlArray<platform::forms::PictureBox> PicHolder{*this, QStringLiteral("PicHolder")};
    platform::forms::ControlArray<platform::forms::Image> ImageBox{*this, QStringLiteral("ImageBox")};
    platform::forms::ControlArray<platform::forms::Label> cmdMenu{*this, QStringLiteral("cmdMenu")};
    platform::forms::ControlArray<platform::forms::Image> cmdFormControl{*this, QStringLiteral("cmdFormControl")};
    platform::forms::ControlArray<platform::forms::Image> cmdWBControl{*this, QStringLiteral("cmdWBControl")};
    platform::forms::ControlArray<platform::forms::Image> cmdShowHide{*this, QStringLiteral("cmdShowHide")};
    platform::forms::ControlArray<platform::forms::Image> cmdAppOpt{*this, QStringLiteral("cmdAppOpt")};
    platform::forms::ControlArray<platform::forms::Image> cmdMediaControl{*this, QStringLiteral("cmdMediaControl")};
    // The side pane's buttons: 0 designed, 1-14 loaded with the pane's lists.
    platform::forms::ControlArray<platform::forms::Image> cmdPLControl{*this, QStringLiteral("cmdPLControl")};
    platform::forms::ControlArray<platform::forms::PictureBox> cmdTabNum{*this, QStringLiteral("cmdTabNum")};
    platform::forms::ControlArray<platform::forms::TextBox> WBTextBox{*this, QStringLiteral("WBTextBox")};
    platform::forms::ControlArray<platform::forms::Label> APPLabel{*this, QStringLiteral("APPLabel")};
    platform::forms::ControlArray<platform::forms::Timer> AppTimer{*this, QStringLiteral("AppTimer")};
    // 0: the address drop-down, over everything else while open.
    platform::forms::ControlArray<platform::forms::ListView> ListView{*this, QStringLiteral("ListView")};
    // Bars of the split layouts inside PicHolder(0): 1 vertical, 2
    // horizontal, 3 and 4 their drag bars, 0 the bar a lost drag hides.
    platform::forms::ControlArray<platform::forms::PictureBox> SPLITTER2{*this, QStringLiteral("SPLITTER2")};
    std::unique_ptr<platform::forms::PictureBox> cmdCloseTab;
    std::unique_ptr<platform::forms::Image> SPLITTER1;
    std::unique_ptr<platform::forms::ProgressBar> WBProgressBar;
    // Shown over the colour bar while the pointer is on it.
    std::unique_ptr<platform::forms::Label> ColorBarMarker;

    // ---- Slider geometry of the media row ----
    // Left bound, right bound, grab offset, travel width, knob width.
    std::array<float, 5> VolumeTrack{};
    std::array<float, 5> PositionTrack{};
    std::array<float, 3> VolumeKnobX{};
    std::array<float, 3> PositionKnobX{};
    std::array<float, 3> PositionFraction{};

    // The room the progress band takes left of the tab buttons, in twips.
    double ProgressBandWidth = 1800;

    // The menu-bar caption whose popup shows (0-4), 9 for any other popup.
    int16_t OpenMenuIndex = 9;

    // The address drop-down is open (element 1000 of the hover tracking).
    bool AddressDropDownOpen = false;

    // Re-entrancy of the housekeeping tick: a tick that arrives while an
    // earlier one is still running (a prompt open inside it) does nothing.
    BusyFlag TickRunning;
    // The information panel is being shown or hidden.
    BusyFlag InfoPanelBusy;

    // An observer of the window's layout and hover steps (tests): each
    // routine reports its name, hover steps their element code.
    std::function<void(const QString& step, int code)> Trace;
    void trace(const char* step, int code = 0)
    {
        if (Trace)
            Trace(QString::fromLatin1(step), code);
    }

    ServiceSet& services() const { return services_; }
    // The keys and gestures of the window.
    Shortcuts& Input() const { return *shortcuts_; }
    // The element under the pointer and the skin's look.
    HoverTracking& Hover() const { return *hover_; }
    // Maximised, restored or full screen.
    WindowPlacement& Placement() const { return *placement_; }

private:
    void allowNavigation();
    void createControls();
    void wireEvents();

    ServiceSet& services_;
    std::unique_ptr<Shortcuts> shortcuts_;
    std::unique_ptr<HoverTracking> hover_;
    std::unique_ptr<WindowPlacement> placement_;
    // Made at Load, kept to the window's end.
    std::unique_ptr<clsWinInet> urlCracker_;
    // Held while this run owns its temporary-page prefix.
    std::unique_ptr<TempPageLock> tempPageLock_;
    bool unloading_ = false;
};

