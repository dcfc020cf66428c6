#include "media/mediatoolbar.h"

#include "contracts/services.h"
#include "core/language.h"
#include "mainwindow/apptimers.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/hovertracking.h"
#include "mainwindow/mediatoolbarlayout.h"
#include "mainwindow/skinvalues.h"
#include "mainwindow/windowplacement.h"
#include "media/mediasliders.h"
#include "media/playcontrol.h"
#include "media/videoview.h"
#include "platform/base/holdrepeat.h"
#include "platform/base/vbrt.h"
#include "platform/win/listrows.h"
#include "platform/win/listview.h"

#include <algorithm>
#include <cmath>

namespace {

struct MediaButton {
    int16_t picture;     // the normal picture; + 1 hover, + 2 pressed, + 3 disabled
    const char* section; // the tooltip
    const char* key;
    const char* text;
};

// By index 0-15.
constexpr MediaButton kButtons[16] = {
    {500, "BUTTON", "4006", "Open Media Menu"},
    {503, "BUTTON", "4007", "Change Playlist"},
    {506, "TOOLBAR-MEDIA", "3201", "Play"},
    {514, "TOOLBAR-MEDIA", "3204", "Rewind"},
    {518, "TOOLBAR-MEDIA", "3206", "Back"},
    {522, "TOOLBAR-MEDIA", "3203", "Stop"},
    {526, "TOOLBAR-MEDIA", "3207", "Next"},
    {530, "TOOLBAR-MEDIA", "3205", "Fast Forward"},
    {534, "TOOLBAR-MEDIA", "3208", "View Full Screen"},
    {542, "TOOLBAR-MEDIA", "3216", "Fit To Screen / Restore Original Size"},
    {546, "TOOLBAR-MEDIA", "3214", "Zoom Out"},
    {550, "TOOLBAR-MEDIA", "3215", "Zoom In"},
    {554, "TOOLBAR-MEDIA", "3210", "Decrease Delay Time"},
    {557, "TOOLBAR-MEDIA", "3211", "Increase Delay Time"},
    {560, "TOOLBAR-MEDIA", "3212", "Volume Control"},
    {563, "TOOLBAR-MEDIA", "3213", "Duration Control"},
};
constexpr int16_t kPausePicture = 510;
constexpr int16_t kExitFullScreenPicture = 538;

// Hold-to-repeat timing of the held buttons (first delay, then interval).
constexpr platform::HoldRepeat::Timing kStepTiming{5, 5};
constexpr platform::HoldRepeat::Timing kZoomTiming{100, 100};
constexpr platform::HoldRepeat::Timing kDelayTiming{200, 20};
constexpr int kMaxDelayTenths = 3000;

// The button of an index 0-15 while it exists.
platform::forms::Image* element(frmExplorer& f, int index)
{
    return index >= 0 && index <= 15 ? f.cmdMediaControl.at(index) : nullptr;
}

QString delayText(int tenths)
{
    // One locale: the display is read back by the delay setter.
    return QString::number(tenths / 10.0, 'f', 1);
}

} // namespace

MediaToolbar::MediaToolbar(MediaContext& m) : m_(m), hold_(std::make_unique<platform::HoldRepeat>())
{
    pointerOver = [this](int index) {
        const auto* c = m_.f.cmdMediaControl.at(index);
        return c && IsCursorOverControl(m_.f, *c);
    };
    platform::forms::IndexedEvents& ev = m_.f.cmdMediaControl.events();
    ev.mouseMove = [this](int index, int button, int, double x, double y) { cmdMediaControl_MouseMove(index, button, x, y); };
    ev.mouseDown = [this](int index, int button, int, double, double) { cmdMediaControl_MouseDown(index, button); };
    ev.mouseUp = [this](int index, int, int, double x, double y) { cmdMediaControl_MouseUp(index, x, y); };
    m_.setMediaButtonEnabled = [this](int16_t index, bool enabled) { SetMediaButtonEnabled(index, enabled); };
}

MediaToolbar::~MediaToolbar()
{
    hold_.reset();
    m_.setMediaButtonEnabled = nullptr;
    platform::forms::IndexedEvents& ev = m_.f.cmdMediaControl.events();
    ev.mouseMove = nullptr;
    ev.mouseDown = nullptr;
    ev.mouseUp = nullptr;
}

void MediaToolbar::setRepeatTimer(std::unique_ptr<platform::RepeatTimer> timer)
{
    hold_ = std::make_unique<platform::HoldRepeat>(std::move(timer));
}

bool MediaToolbar::Repeating() const
{
    return hold_->running();
}

void MediaToolbar::SetMediaButtonPicture(int16_t index, int16_t state)
{
    frmExplorer& f = m_.f;
    auto* button = element(f, index);
    if (!button)
        return;
    int16_t base = kButtons[index].picture;
    if (index == 2) {
        const int16_t k = f.CurrentListKind;
        const bool playing = k >= 1 && k <= 6 && f.ListPlayState[static_cast<size_t>(k)] == 2;
        base = playing ? kPausePicture : kButtons[2].picture;
        if (state == 4)
            base = base == kPausePicture ? kButtons[2].picture : kPausePicture;
    } else if (index == 8 && f.Placement().FullScreenMode() != 0) {
        base = kExitFullScreenPicture;
    }
    const int16_t offset = state == 4 ? 1 : state;
    SetSkinPicture(*button, static_cast<int16_t>(base + offset));
}

void MediaToolbar::SetMediaButtonToolTip(int16_t index)
{
    frmExplorer& f = m_.f;
    auto* button = element(f, index);
    if (!button)
        return;
    const MediaButton* row = &kButtons[index];
    static constexpr MediaButton pause{0, "TOOLBAR-MEDIA", "3202", "Pause"};
    static constexpr MediaButton exitFullScreen{0, "TOOLBAR-MEDIA", "3209", "Exit Full Screen"};
    const int16_t k = f.CurrentListKind;
    if (index == 2 && k >= 1 && k <= 6 && f.ListPlayState[static_cast<size_t>(k)] >= 2)
        row = &pause;
    else if (index == 8 && f.Placement().FullScreenMode() != 0)
        row = &exitFullScreen;
    button->setToolTipText(GetLangCaption(QString::fromLatin1(row->section), QString::fromLatin1(row->key),
                                          QString::fromLatin1(row->text)));
}

void MediaToolbar::SetMediaButtonEnabled(int16_t index, bool enabled)
{
    if (m_.f.DisplayFlags[DisplayMediaRow] == 0)
        return;
    if (auto* button = m_.f.cmdMediaControl.at(index))
        button->setEnabled(enabled);
    // A button under the pointer keeps its hover look.
    const bool hovered = m_.f.Hover().HoverElementId() == 1030 + index;
    SetMediaButtonPicture(index, enabled ? (hovered ? 1 : 0) : 3);
    // Play/Pause follows the play state whichever button changed; so does
    // the full-screen button.
    SetMediaButtonToolTip(2);
    SetMediaButtonToolTip(8);
}

void MediaToolbar::UpdateTransportButtons()
{
    frmExplorer& f = m_.f;
    if (f.DisplayFlags[DisplayMediaRow] == 0)
        return;
    const int16_t k = f.CurrentListKind;
    const bool valid = k >= 1 && k <= 6;
    const int32_t n = valid ? f.ListItemCount[static_cast<size_t>(k)] : 0;
    const int32_t i = valid ? f.ListCurrentItem[static_cast<size_t>(k)] : 0;
    // Play, Rewind, Back, Next, Fast Forward, Full Screen.
    bool on[6] = {false, false, false, false, false, false};
    if (n > 0) {
        const bool first = i <= 1;
        const bool last = !first && i >= n;
        on[0] = on[5] = true;
        on[1] = on[2] = !first;
        on[3] = on[4] = !last;
    }
    const int16_t order[6] = {2, 3, 4, 6, 7, 8};
    for (int b = 0; b < 6; ++b)
        SetMediaButtonEnabled(order[b], on[b]);
    const bool playing = valid && f.ListPlayState[static_cast<size_t>(k)] == 2;
    for (int16_t b : {5, 9, 10, 11})
        SetMediaButtonEnabled(b, playing);
}

void MediaToolbar::RefreshMediaButtonPictures()
{
    if (!built_)
        return;
    for (int16_t b = 0; b <= 15; ++b) {
        const auto* button = m_.f.cmdMediaControl.at(b);
        const bool disabled = b >= 3 && b <= 7 && button && !button->enabled();
        SetMediaButtonPicture(b, disabled ? 3 : 0);
    }
}

void MediaToolbar::ShowMediaToolbarForKind(int16_t kind)
{
    frmExplorer& f = m_.f;
    auto& buttons = f.cmdMediaControl;
    if (!built_) {
        SetMediaButtonPicture(0, 0);
        SetMediaButtonToolTip(0);
        for (int16_t i = 1; i <= 15; ++i) {
            if (!buttons.exists(i))
                buttons.load(i);
            if (auto* b = buttons.at(i))
                b->setEnabled(true);
            SetMediaButtonPicture(i, 0);
            SetMediaButtonToolTip(i);
        }
        UpdateTransportButtons();
        built_ = true;
    }
    for (int i = 0; i <= 15; ++i) {
        if (auto* b = buttons.at(i)) {
            b->setVisible(true);
            b->zOrder(0);
        }
    }
    const auto hide = [&](std::initializer_list<int> which) {
        for (int i : which)
            if (auto* b = buttons.at(i))
                b->setVisible(false);
    };
    // The full-screen row has no room for the change of list.
    if (f.Placement().FullScreenMode() != 0)
        hide({1});
    auto& delayBox = f.ImageBox[imagebox::DelayDisplay];
    auto& delayLabel = f.APPLabel[applabel::Delay];
    switch (kind) {
    case 1:
    case 2: {
        if (kind == 1)
            hide({8, 9, 10, 11});
        hide({12, 13});
        delayBox.setVisible(false);
        f.ImageBox[imagebox::VolumeTrack].setVisible(true);
        f.ImageBox[imagebox::PositionTrack].setVisible(true);
        delayLabel.setVisible(false);
        m_.sliders->SetSliderTrackPictures(f.ListItemCount[static_cast<size_t>(kind)] < 1);
        break;
    }
    case 3:
    case 4:
    case 5: {
        hide({5});
        if (kind != 3)
            hide({8});
        hide({9, 10, 11, 14, 15});
        delayBox.setVisible(true);
        f.ImageBox[imagebox::VolumeTrack].setVisible(false);
        f.ImageBox[imagebox::PositionTrack].setVisible(false);
        const float d = f.ListDelayTime[static_cast<size_t>(kind)];
        const int tenths = d == 0.055f || !std::isfinite(d) ? 0 : static_cast<int>(vb::roundHalfEven(d * 10.0));
        delayLabel.setCaption(delayText(std::clamp(tenths, 0, kMaxDelayTenths)));
        delayLabel.setVisible(true);
        break;
    }
    case 6:
        hide({4, 5, 6, 8, 9, 10, 11, 12, 13, 14, 15});
        delayBox.setVisible(false);
        f.ImageBox[imagebox::VolumeTrack].setVisible(false);
        f.ImageBox[imagebox::PositionTrack].setVisible(false);
        delayLabel.setVisible(false);
        break;
    default: break;
    }
    LayoutMediaToolbar(f, kind);
    UpdateTransportButtons();
}

void MediaToolbar::HideMediaToolbar()
{
    if (!built_)
        return;
    hold_->stop();
    frmExplorer& f = m_.f;
    f.ImageBox[imagebox::DelayDisplay].setVisible(false);
    f.ImageBox[imagebox::VolumeTrack].setVisible(false);
    f.ImageBox[imagebox::PositionTrack].setVisible(false);
    f.APPLabel[applabel::Delay].setVisible(false);
    f.ImageBox[imagebox::TimePanel].setVisible(false);
    // The item number and count are the pane's labels outside the
    // full-screen row: the pane keeps them.
    if (f.Placement().FullScreenMode() != 0) {
        f.APPLabel[applabel::ListItemNumber].setVisible(false);
        f.APPLabel[applabel::ListItemCount].setVisible(false);
    }
    f.cmdMediaControl[0].setVisible(false);
    int64_t total = 0;
    for (int k = 1; k <= 6; ++k)
        total += f.ListItemCount[static_cast<size_t>(k)];
    if (total > 0) {
        for (int i = 1; i <= 15; ++i)
            if (auto* b = f.cmdMediaControl.at(i))
                b->setVisible(false);
        return;
    }
    for (int16_t i = 1; i <= 15; ++i)
        UnloadNamedControl(f, f.cmdMediaControl.name(), i);
    built_ = false;
}

void MediaToolbar::cmdMediaControl_MouseMove(int index, int button, double x, double)
{
    frmExplorer& f = m_.f;
    const bool left = (button & platform::forms::LeftButton) != 0;
    if (index == 14 && left) {
        m_.sliders->DragVolumeKnob(2, static_cast<float>(x));
        return;
    }
    if (index == 15 && left) {
        m_.sliders->DragPositionKnob(2, static_cast<float>(x));
        return;
    }
    const auto code = static_cast<int16_t>(1030 + index);
    HoverTracking& hover = f.Hover();
    if (hover.HoverElementId() == code)
        return;
    hover.SetHoverElement(hover.HoverElementId());
    hover.SetHoverElementId(code);
    SetMediaButtonPicture(static_cast<int16_t>(index), 1);
}

bool MediaToolbar::held(int index) const
{
    return m_.f.ButtonReleased == 0 && pointerOver && pointerOver(index);
}

void MediaToolbar::cmdMediaControl_MouseDown(int index, int button)
{
    frmExplorer& f = m_.f;
    f.ButtonReleased = 0;
    SetMediaButtonPicture(static_cast<int16_t>(index), 2);
    int16_t& k = f.CurrentListKind;
    switch (index) {
    case 0: m_.services.Menus().ShowMediaMenu(); break;
    case 1:
        if (button == platform::forms::LeftButton)
            k = static_cast<int16_t>(k + 1 > 6 ? 1 : k + 1);
        else
            k = static_cast<int16_t>(k - 1 < 1 ? 6 : k - 1);
        m_.services.Lists().ShowCurrentList();
        break;
    case 3:
    case 7:
    case 10:
    case 11:
    case 12:
    case 13: startHold(index); break;
    default: break;
    }
}

void MediaToolbar::startHold(int index)
{
    frmExplorer& f = m_.f;
    const int16_t k = f.CurrentListKind;
    const auto holding = [this, index] { return held(index); };
    if (index == 3 || index == 7) {
        hold_->start(kStepTiming, [this, index] { return stepThroughList(index); }, holding, [this] {
            m_.services.Lists().SelectCurrentListItem();
            UpdateTransportButtons();
            m_.services.Lists().UpdatePlaylistButtons();
        });
    } else if (index == 10 || index == 11) {
        const uint8_t mode = index == 10 ? 2 : 1;
        hold_->start(kZoomTiming, [this, mode] {
            m_.video->ZoomVideo(mode);
            return true;
        }, holding);
    } else {
        const double shown = vb::val(f.APPLabel[applabel::Delay].caption());
        delayTenths_ = std::isfinite(shown) ? static_cast<int>(std::clamp(vb::roundHalfEven(shown * 10.0), 0.0,
                                                                          static_cast<double>(kMaxDelayTenths)))
                                            : 0;
        hold_->start(kDelayTiming, [this, index] { return stepDelay(index); }, holding,
                     [this, k] { SetAutoAdvanceDelay(m_.f, k); });
    }
}

bool MediaToolbar::stepThroughList(int index)
{
    frmExplorer& f = m_.f;
    const int16_t k = f.CurrentListKind;
    if (k < 1 || k > 6)
        return false;
    int32_t& i = f.ListCurrentItem[static_cast<size_t>(k)];
    const int32_t n = f.ListItemCount[static_cast<size_t>(k)];
    bool end = false;
    if (index == 3) {
        i -= 1;
        if (i < 1) {
            i = 1;
            end = true;
        }
    } else {
        i += 1;
        if (i > n) {
            i = n;
            end = true;
        }
    }
    if (platform::forms::ListRows* rows = m_.services.Lists().ListItems(k)) {
        if (i >= 1 && i <= rows->count()) {
            rows->clearSelection();
            rows->setCurrentRow(i);
            if (auto* list = f.ListView.at(k))
                list->ensureVisible(i);
        }
    }
    m_.services.Lists().ShowListCount(false);
    return !end;
}

bool MediaToolbar::stepDelay(int index)
{
    delayTenths_ = std::clamp(delayTenths_ + (index == 12 ? -1 : 1), 0, kMaxDelayTenths);
    m_.f.APPLabel[applabel::Delay].setCaption(delayText(delayTenths_));
    return delayTenths_ > 0 && delayTenths_ < kMaxDelayTenths;
}

void MediaToolbar::cmdMediaControl_MouseUp(int index, double x, double y)
{
    frmExplorer& f = m_.f;
    f.ButtonReleased = -1;
    // The release ends a held button's loop before its command runs.
    hold_->stop();
    SetMediaButtonPicture(static_cast<int16_t>(index), 4);
    const auto* control = f.cmdMediaControl.at(index);
    if (!control || x < 0 || y < 0 || x >= control->width() || y >= control->height())
        return;
    const int16_t k = f.CurrentListKind;
    switch (index) {
    case 2:
        if (k >= 1 && k <= 6 && f.ListPlayState[static_cast<size_t>(k)] >= 2)
            m_.play->PauseList(0, k);
        else
            m_.play->PlaySelectedItem(0);
        break;
    case 3:
    case 4: m_.play->PlayPreviousItem(); break;
    case 5: m_.play->StopList(k); break;
    case 6:
    case 7: m_.play->PlayNextItem(); break;
    case 8: f.Placement().ToggleFullScreen(f.Placement().FullScreenMode() != 0 ? 0 : -1); break;
    case 9: m_.video->ZoomVideo(0); break;
    case 14: f.VolumeKnobGlide.set(false); break;
    case 15:
        m_.sliders->DragPositionKnob(3, static_cast<float>(x));
        f.PositionKnobGlide.set(false);
        break;
    default: break;
    }
}
