#pragma once

// What the main window asks of the media player.

#include <cstdint>

class IMediaService {
public:
    virtual ~IMediaService() = default;
    virtual const char* implementationName() const = 0;

    virtual void ApplyMixerVolume(int32_t value) = 0;
    virtual void MediaTimerTick(int16_t kind) = 0;
    virtual bool IsAudioStopped() = 0;
    virtual bool IsVideoStopped() = 0;
    virtual void OnAudioItemEnded() = 0;
    virtual void OnVideoItemEnded() = 0;
    virtual void NextImageListItem() = 0;
    virtual void ShowImageListItem() = 0;
    virtual void ShowMediaToolbarForKind(int16_t kind) = 0;
    virtual void HideMediaToolbar() = 0;
    virtual void RefreshMediaButtonPictures() = 0;
    virtual void SetMediaButtonPicture(int16_t index, int16_t state) = 0;
    // Stops the players ("stop Z5Audio", "stop Z5Video", "close all").
    virtual void StopAllPlayers() = 0;
};
