#pragma once

// The media toolbar: the sixteen buttons cmdMediaControl(0-15) of the
// Media Control Center row, made on first use and kept while any list has
// rows; their pictures, tooltips and enabled states for the current list;
// which of them show for each list kind; and what they do under the mouse
// (play and pause, the steps through the list, stop, full screen, the
// video's fit and zoom, the slide-show delay, the knobs' drags), with the
// held buttons repeating on one hold-to-repeat loop.

#include "media/mediacontext.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace platform {
class HoldRepeat;
class RepeatTimer;
} // namespace platform

class MediaToolbar {
public:
    explicit MediaToolbar(MediaContext& m);
    ~MediaToolbar();
    MediaToolbar(const MediaToolbar&) = delete;
    MediaToolbar& operator=(const MediaToolbar&) = delete;

    void ShowMediaToolbarForKind(int16_t kind);
    void HideMediaToolbar();
    void RefreshMediaButtonPictures();
    // state: 0 normal, 1 hover, 2 pressed, 3 disabled, 4 released (the
    // hover picture; Play/Pause shows the symbol the click changes to).
    void SetMediaButtonPicture(int16_t index, int16_t state);
    void SetMediaButtonToolTip(int16_t index);
    void SetMediaButtonEnabled(int16_t index, bool enabled);
    void UpdateTransportButtons();

    // x and y in twips within the button; button as the controls give it.
    void cmdMediaControl_MouseMove(int index, int button, double x, double y);
    void cmdMediaControl_MouseDown(int index, int button);
    void cmdMediaControl_MouseUp(int index, double x, double y);

    // Buttons 1-15 exist.
    bool MediaToolbarBuilt() const { return built_; }
    // A held button repeats.
    bool Repeating() const;

    // Seams for tests: the hold loop's ticks, and whether the pointer is
    // on a button (the screen's pointer by default).
    void setRepeatTimer(std::unique_ptr<platform::RepeatTimer> timer);
    std::function<bool(int index)> pointerOver;

private:
    void startHold(int index);
    bool stepThroughList(int index);
    bool stepDelay(int index);
    bool held(int index) const;

    MediaContext& m_;
    std::unique_ptr<platform::HoldRepeat> hold_;
    bool built_ = false;
    // The delay display's value while a delay button is held, in tenths.
    int delayTenths_ = 0;
};
