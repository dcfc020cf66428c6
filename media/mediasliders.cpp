#include "media/mediasliders.h"

#include "core/globals.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/skinvalues.h"
#include "media/mediaengine.h"
#include "media/playcontrol.h"
#include "platform/base/holdrepeat.h"
#include "platform/base/vbrt.h"
#include "platform/base/mediainterfaces.h"

#include <cmath>

namespace {

// Indexes of a track's geometry: leftmost and rightmost knob Left, half the
// knob's width, the travel, the knob's width.
enum Track { MinX = 0, MaxX = 1, HalfKnob = 2, Range = 3, KnobWidth = 4 };

constexpr platform::HoldRepeat::Timing kGlide{25, 25};
constexpr float kGlideStep = 10;

float stepTowards(float cur, float target)
{
    if (target < cur)
        return std::max(cur - kGlideStep, target);
    if (target > cur)
        return std::min(cur + kGlideStep, target);
    return cur;
}

} // namespace

MediaSliders::MediaSliders(MediaContext& m)
    : m_(m), volumeGlide_(std::make_unique<platform::HoldRepeat>()), positionGlide_(std::make_unique<platform::HoldRepeat>())
{
}

MediaSliders::~MediaSliders() = default;

bool MediaSliders::volumeGlides() const
{
    return volumeGlide_->running();
}

bool MediaSliders::positionGlides() const
{
    return positionGlide_->running();
}

void MediaSliders::moveKnob(int index, float x)
{
    if (auto* knob = m_.f.cmdMediaControl.at(index))
        knob->setLeft(x);
}

void MediaSliders::DragVolumeKnob(uint8_t mode, float X)
{
    frmExplorer& f = m_.f;
    if (f.VolumeKnobGlide)
        return;
    const int16_t k = f.CurrentListKind;
    if (k < 0 || k > 2)
        return;
    const auto& t = f.VolumeTrack;
    if (mode == 1) {
        f.VolumeKnobGlide.set(true);
        volumeKind_ = k;
        volumeTarget_ = X + t[MinX] - t[HalfKnob] - t[KnobWidth] / 2;
        volumeCur_ = f.VolumeKnobX[k];
        volumeGlide_->start(kGlide, [this] { return volumeStep(); }, [this] { return m_.f.ButtonReleased == 0; },
                            [this] { endVolumeGlide(); });
        return;
    }
    const float x = MoveVolumeKnob(X + f.VolumeKnobX[k] - t[HalfKnob]);
    f.VolumeKnobX[k] = x;
    if (t[Range] > 0)
        f.VolumeFraction[k] = (x - t[MinX]) / t[Range];
}

bool MediaSliders::volumeStep()
{
    volumeCur_ = MoveVolumeKnob(stepTowards(volumeCur_, volumeTarget_));
    return volumeCur_ != volumeTarget_;
}

void MediaSliders::endVolumeGlide()
{
    frmExplorer& f = m_.f;
    const auto& t = f.VolumeTrack;
    f.VolumeKnobX[volumeKind_] = volumeCur_;
    if (t[Range] > 0)
        f.VolumeFraction[volumeKind_] = (volumeCur_ - t[MinX]) / t[Range];
    f.VolumeKnobGlide.set(false);
}

float MediaSliders::MoveVolumeKnob(float x)
{
    frmExplorer& f = m_.f;
    const auto& t = f.VolumeTrack;
    if (x <= t[MinX])
        x = t[MinX];
    if (x >= t[MaxX])
        x = t[MaxX];
    moveKnob(14, x);
    const int16_t k = f.CurrentListKind;
    if (k >= 1 && k <= 6 && f.ListPlayState[k] == 2)
        ApplyVolumeKnob(x);
    return x;
}

void MediaSliders::ApplyVolumeKnob(float x)
{
    const auto& t = m_.f.VolumeTrack;
    if (t[Range] <= 0)
        return;
    const float fraction = (x - t[MinX]) / t[Range];
    int32_t minimum = 0;
    int32_t maximum = 0;
    OpenMasterVolume(minimum, maximum);
    const float value = static_cast<float>(minimum) + static_cast<float>(maximum - minimum) * fraction;
    ApplyMixerVolume(static_cast<int32_t>(vb::roundHalfEven(value)));
}

void MediaSliders::OpenMasterVolume(int32_t& minimum, int32_t& maximum)
{
    int32_t lo = 0;
    int32_t hi = 0;
    if (m_.mixer.range(lo, hi)) {
        minimum = lo;
        maximum = hi;
    }
}

bool MediaSliders::ApplyMixerVolume(int32_t value)
{
    if (SavedMasterVolume == -1) {
        int32_t found = 0;
        if (m_.mixer.get(found))
            SavedMasterVolume = found < 0 ? -found : found;
    }
    return m_.mixer.set(value);
}

float MediaSliders::clampPosition(float x) const
{
    const auto& t = m_.f.PositionTrack;
    if (x <= t[MinX])
        x = t[MinX];
    if (x >= t[MaxX])
        x = t[MaxX];
    return x;
}

void MediaSliders::DragPositionKnob(uint8_t mode, float X)
{
    frmExplorer& f = m_.f;
    const int16_t k = f.CurrentListKind;
    if (k < 0 || k > 2 || positionGlide_->running())
        return;
    const auto& t = f.PositionTrack;
    f.PositionKnobGlide.set(true);
    positionKind_ = k;
    if (mode == 1) {
        positionTarget_ = X + t[MinX] - t[HalfKnob] - t[KnobWidth] / 2;
        positionCur_ = f.PositionKnobX[k];
        // The knob glides to the click and waits there for the release.
        positionGlide_->start(kGlide, [this] {
            positionCur_ = stepTowards(positionCur_, positionTarget_);
            moveKnob(15, positionCur_);
            return true;
        }, [this] { return m_.f.ButtonReleased == 0; }, [this] { endPositionGlide(); });
        return;
    }
    positionCur_ = X + f.PositionKnobX[k] - t[HalfKnob];
    const uint8_t kept = mode;
    const float x = clampPosition(positionCur_);
    moveKnob(15, x);
    SeekFromPositionKnob(kept, x);
    f.PositionKnobX[k] = x;
    if (t[Range] > 0)
        f.PositionFraction[k] = (x - t[MinX]) / t[Range];
    f.PositionKnobGlide.set(false);
}

void MediaSliders::endPositionGlide()
{
    frmExplorer& f = m_.f;
    const auto& t = f.PositionTrack;
    const float x = clampPosition(positionCur_);
    moveKnob(15, x);
    SeekFromPositionKnob(1, x);
    f.PositionKnobX[positionKind_] = x;
    if (t[Range] > 0)
        f.PositionFraction[positionKind_] = (x - t[MinX]) / t[Range];
    f.PositionKnobGlide.set(false);
}

float MediaSliders::SeekFromPositionKnob(uint8_t mode, float x)
{
    frmExplorer& f = m_.f;
    const int16_t k = f.CurrentListKind;
    if ((mode != 1 && mode != 3) || k < 1 || k > 2 || f.ListPlayState[k] != 2)
        return x;
    const auto& t = f.PositionTrack;
    if (t[Range] <= 0)
        return x;
    const float fraction = (x - t[MinX]) / t[Range];
    const auto& times = m_.engine->MediaItemTimes;
    if (k == 1)
        m_.engine->SeekAudio(static_cast<int32_t>(vb::roundHalfEven(times[0] + fraction * static_cast<float>(times[2]))));
    else
        m_.engine->SeekVideo(static_cast<int32_t>(vb::roundHalfEven(times[3] + fraction * static_cast<float>(times[5]))));
    return x;
}

void MediaSliders::MediaTimerTick()
{
    frmExplorer& f = m_.f;
    const int16_t k = f.CurrentListKind;
    if ((k != 1 && k != 2) || f.ListPlayState[k] != 2 || m_.engine->Opening())
        return;
    const bool audio = k == 1;
    const int32_t pos = audio ? m_.engine->GetAudioPosition() : m_.engine->GetVideoPosition();
    const bool stopped = audio ? m_.engine->IsAudioStopped() : m_.engine->IsVideoStopped();
    const auto& times = m_.engine->MediaItemTimes;
    const int base = audio ? 0 : 3;
    const int32_t length = times[base + 2];
    // A length the device cannot tell (a stream, a Net item whose size was
    // not known at its load) has no end to reach: such an item ends only
    // when the player stops, and its knob stays where it is.
    if (stopped || (length > 0 && pos >= times[base + 1])) {
        if (audio)
            m_.play->OnAudioItemEnded();
        else
            m_.play->OnVideoItemEnded();
        return;
    }
    if (length <= 0)
        return;
    const auto& t = f.PositionTrack;
    const float x = clampPosition(t[MinX] + static_cast<float>(pos - times[base]) * (t[Range] / static_cast<float>(length)));
    f.PositionKnobX[k] = x;
    if (t[Range] > 0)
        f.PositionFraction[k] = (x - t[MinX]) / t[Range];
    moveKnob(15, x);
}

void MediaSliders::ResetPositionKnob(int16_t kind)
{
    frmExplorer& f = m_.f;
    if (f.ListPlayState[1] < 2 && f.ListPlayState[2] < 2)
        if (auto* timer = f.AppTimer.at(2))
            timer->setEnabled(false);
    if (kind < 1 || kind > 2)
        return;
    f.PositionKnobX[kind] = f.PositionTrack[MinX];
    f.PositionFraction[kind] = 0;
    if (f.DisplayFlags[DisplayMediaRow] != 0)
        moveKnob(15, f.PositionTrack[MinX]);
}

void MediaSliders::SetSliderTrackPictures(bool empty)
{
    SetSkinPicture(m_.f.ImageBox[4], empty ? 411 : 412);
    SetSkinPicture(m_.f.ImageBox[5], empty ? 416 : 417);
}
