#pragma once

// What the other subsystems ask of the media player and its viewers.

#include <QString>

#include <cstdint>

class IMediaService {
public:
    virtual ~IMediaService() = default;
    virtual const char* implementationName() const = 0;

    // ---- Players ----
    // The master volume; the first call keeps the volume found.
    virtual void ApplyMixerVolume(int32_t value) = 0;
    // Stops the players ("stop Z5Audio", "stop Z5Video", "close all").
    virtual void StopAllPlayers() = 0;
    virtual void StopAudio() = 0;
    virtual void StopVideo() = 0;
    // Closes the audio player (its device and its tab state).
    virtual void CloseAudioPlayer() = 0;
    // The end-of-item handling the one-second timer polls.
    virtual void MediaTimerTick(int16_t kind) = 0;
    virtual bool IsAudioStopped() = 0;
    virtual bool IsVideoStopped() = 0;
    virtual void OnAudioItemEnded() = 0;
    virtual void OnVideoItemEnded() = 0;

    // ---- Play control of the current list (arrow keys, buttons) ----
    virtual void PlayPreviousItem(int16_t mode) = 0;
    virtual void PlayNextItem(int16_t mode) = 0;
    virtual void PlaySelectedItem(int16_t mode) = 0;
    // scope 0 one list, 1 also every fetch.
    virtual void PauseList(int16_t scope, int16_t kind) = 0;
    // The list's player stops and closes (audio and video lists).
    virtual void StopList(int16_t kind) = 0;

    // ---- The viewers in tabs ----
    virtual void CloseVideoPlayer() = 0;
    virtual void PrepareVideoView() = 0;
    virtual void PlaceVideoView() = 0;
    virtual void StopImageList() = 0;
    virtual void LayoutImageViewer() = 0;
    virtual void RelayoutImageViewer() = 0;
    virtual void ClearViewerImages() = 0;
    // One more image of the viewer page is in.
    virtual void OnViewerImagesLoaded() = 0;
    virtual void SetPageScrollOn() = 0;
    // The holder of the viewer cells hidden (a single image shows as a page
    // in the viewer tab instead).
    virtual void HideImageViewer() = 0;
    // Cell 0-7 shows the picture file (widthPx x heightPx as its header
    // says) fitted into the cell, never enlarged, and the holder shows.
    virtual void ShowViewerImage(int16_t cell, const QString& path, int32_t widthPx, int32_t heightPx) = 0;
    // Cell 0-7 emptied.
    virtual void ClearViewerImage(int16_t cell) = 0;

    // ---- The media toolbar ----
    virtual void ShowMediaToolbarForKind(int16_t kind) = 0;
    virtual void HideMediaToolbar() = 0;
    virtual void RefreshMediaButtonPictures() = 0;
    virtual void SetMediaButtonPicture(int16_t index, int16_t state) = 0;
    virtual void SetMediaButtonToolTip(int16_t index) = 0;
    virtual void UpdateTransportButtons() = 0;
    // mode 1: the knob glides towards x (twips) while the button is held.
    virtual void DragVolumeKnob(uint8_t mode, float x) = 0;
    virtual void DragPositionKnob(uint8_t mode, float x) = 0;
    // The slider tracks' pictures: empty (true) or with a list to play.
    virtual void SetSliderTrackPictures(bool empty) = 0;

    // The number (1-9) of the special folder whose display name this is; 0
    // for none.
    virtual uint8_t SpecialFolderDisplayName(const QString& name) = 0;
};
