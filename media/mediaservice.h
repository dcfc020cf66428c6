#pragma once

// The media player of one window, served to the other subsystems as the
// media service: the audio and video players, the play control, the
// sliders and the master volume, the video view, the image viewer (a
// page of the image list at a time) and the media toolbar.

#include "contracts/partlybuilt.h"
#include "contracts/standins.h"
#include "media/mediacontext.h"
#include "platform/base/mediaondemand.h"

#include <memory>

class MediaEngine;
class MediaToolbar;
class PlayControl;
class MediaSliders;
class VideoView;
class ImageViewer;

class MediaService : public StandInMedia, public PartlyBuilt {
public:
    // Built after the window's controls and the tabs, before the window
    // loads. Without an interpreter or a mixer the media layer's serve,
    // loaded when first asked (the machine's master volume, or the
    // program's own where it has none).
    MediaService(frmExplorer& window, ServiceSet& services, std::unique_ptr<platform::media::IMci> mci = nullptr,
                 std::unique_ptr<platform::media::IMasterVolume> mixer = nullptr);
    ~MediaService() override;
    MediaService(const MediaService&) = delete;
    MediaService& operator=(const MediaService&) = delete;

    const char* implementationName() const override { return "media"; }
    QStringList MethodsNotBuiltYet() const override;

    MediaContext& context() { return *context_; }
    MediaEngine& engine() { return *engine_; }
    PlayControl& play() { return *play_; }
    MediaSliders& sliders() { return *sliders_; }
    VideoView& video() { return *video_; }
    ImageViewer& viewer() { return *viewer_; }
    MediaToolbar& toolbar() { return *toolbar_; }
    platform::media::IMci& mci() { return *mci_; }

    void ApplyMixerVolume(int32_t value) override;
    void StopAllPlayers() override;
    void StopAudio() override;
    void StopVideo() override;
    void CloseAudioPlayer() override;
    void MediaTimerTick(int16_t kind) override;
    bool IsAudioStopped() override;
    bool IsVideoStopped() override;
    void OnAudioItemEnded() override;
    void OnVideoItemEnded() override;
    void PlayPreviousItem(int16_t mode) override;
    void PlayNextItem(int16_t mode) override;
    void PlaySelectedItem(int16_t mode) override;
    void PauseList(int16_t scope, int16_t kind) override;
    void StopList(int16_t kind) override;
    void CloseVideoPlayer() override;
    void PrepareVideoView() override;
    void PlaceVideoView() override;
    void StopImageList() override;
    void LayoutImageViewer() override;
    void RelayoutImageViewer() override;
    void ClearViewerImages() override;
    void OnViewerImagesLoaded() override;
    void SetPageScrollOn() override;
    void HideImageViewer() override;
    void ShowViewerImage(int16_t cell, const QString& path, int32_t widthPx, int32_t heightPx) override;
    void ClearViewerImage(int16_t cell) override;
    void ShowMediaToolbarForKind(int16_t kind) override;
    void HideMediaToolbar() override;
    void RefreshMediaButtonPictures() override;
    void SetMediaButtonPicture(int16_t index, int16_t state) override;
    void SetMediaButtonToolTip(int16_t index) override;
    void UpdateTransportButtons() override;
    void DragVolumeKnob(uint8_t mode, float x) override;
    void DragPositionKnob(uint8_t mode, float x) override;
    void SetSliderTrackPictures(bool empty) override;
    uint8_t SpecialFolderDisplayName(const QString& name) override;

private:
    void wireSliderTracks();

    frmExplorer& window_;
    std::unique_ptr<platform::media::MediaOnDemand> layer_;
    std::unique_ptr<platform::media::IMci> givenMci_;
    std::unique_ptr<platform::media::IMasterVolume> givenMixer_;
    platform::media::IMci* mci_ = nullptr;
    platform::media::IMasterVolume* mixer_ = nullptr;
    std::unique_ptr<MediaContext> context_;
    std::unique_ptr<MediaEngine> engine_;
    std::unique_ptr<PlayControl> play_;
    std::unique_ptr<MediaSliders> sliders_;
    std::unique_ptr<VideoView> video_;
    std::unique_ptr<ImageViewer> viewer_;
    std::unique_ptr<MediaToolbar> toolbar_;
};
