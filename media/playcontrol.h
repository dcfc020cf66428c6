#pragma once

// Play, pause, stop, next and previous for the list on show, and the rules
// that choose the next audio or video item when one has ended (Single,
// Shuffle, Repeat, in that order).

#include "media/mediacontext.h"

#include <cstdint>

class PlayControl {
public:
    explicit PlayControl(MediaContext& m) : m_(m) {}

    // mode 0 plays the list; any other mode only shows the selected item.
    void PlaySelectedItem(int16_t mode);
    // scope 0 the list kind, 1 every list (and every fetch), 2 the slide shows.
    void PauseList(int16_t scope, int16_t kind);
    void StopList(int16_t kind);
    void PlayNextItem();
    void PlayPreviousItem();
    void OnAudioItemEnded();
    void OnVideoItemEnded();
    void AdvanceAudio();
    void AdvanceVideo();

private:
    void advance(int16_t kind);
    void refreshControls();
    void playStep(int16_t kind);
    // Names the item the last play could not open in the status line;
    // false when every item opened.
    bool reportUnopenedItem();
    MediaContext& m_;
    // The status line names an item that could not be opened.
    bool failureShown_ = false;
};
