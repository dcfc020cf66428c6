#pragma once

// The volume and position sliders of the audio and video lists: knob
// glides towards a click, drags, the seek of the position knob, the
// position step of the one-second media tick, and the master volume the
// volume knob sets (the volume found first is kept to give back at exit).

#include "media/mediacontext.h"

#include <cstdint>
#include <memory>

namespace platform {
class HoldRepeat;
}

class MediaSliders {
public:
    explicit MediaSliders(MediaContext& m);
    ~MediaSliders();
    MediaSliders(const MediaSliders&) = delete;
    MediaSliders& operator=(const MediaSliders&) = delete;

    // mode 1: a click on the track at X (twips from the track's left): the
    // knob glides there, 10 twips every 25 ms; 2: a drag, X from the knob.
    void DragVolumeKnob(uint8_t mode, float X);
    float MoveVolumeKnob(float x);
    void ApplyVolumeKnob(float x);
    // mode 1 a click on the track (the knob glides while the button is held
    // and seeks once at the release), 2 a drag, 3 the knob's release.
    void DragPositionKnob(uint8_t mode, float X);
    float SeekFromPositionKnob(uint8_t mode, float x);
    void MediaTimerTick();
    void ResetPositionKnob(int16_t kind);
    void SetSliderTrackPictures(bool empty);

    void OpenMasterVolume(int32_t& minimum, int32_t& maximum);
    bool ApplyMixerVolume(int32_t value);

    bool volumeGlides() const;
    bool positionGlides() const;

private:
    bool volumeStep();
    void endVolumeGlide();
    void endPositionGlide();
    void moveKnob(int index, float x);
    float clampPosition(float x) const;

    MediaContext& m_;
    // The glides: a step every 25 ms while the button is held.
    std::unique_ptr<platform::HoldRepeat> volumeGlide_;
    std::unique_ptr<platform::HoldRepeat> positionGlide_;
    // The glide under way: its list kind, target and knob place.
    int16_t volumeKind_ = 0;
    float volumeTarget_ = 0;
    float volumeCur_ = 0;
    int16_t positionKind_ = 0;
    float positionTarget_ = 0;
    float positionCur_ = 0;
};
