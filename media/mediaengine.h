#pragma once

// The players of the audio list ("Z5Audio") and the video list ("Z5Video"):
// one open item each, opened by its file type, played, paused, stopped and
// closed through command strings; the position and length in milliseconds;
// the hand-off of a playing Net item to the download manager.

#include "core/busyflag.h"
#include "media/mediacontext.h"

#include <QHash>
#include <QString>

#include <array>
#include <cstdint>

namespace platform::forms {
class ListRows;
}

class MediaEngine {
public:
    explicit MediaEngine(MediaContext& m) : m_(m) {}

    int16_t GetCdTrackNumber(const QString& path) const;
    int32_t GetCdTrackStart(int16_t track);
    int16_t GetCdCurrentTrack();

    // True when the item opened.
    bool OpenAudioFile(const QString& path);
    bool OpenVideoFile(const QString& path);
    void PlayAudioItem();
    void PlayVideoItem();
    void PauseAudio();
    void PauseVideo();
    void StopAudio();
    void StopVideo();
    bool IsAudioStopped();
    bool IsVideoStopped();
    void CloseAudioDevice();
    void CloseVideoDevice();
    void CloseAudioPlayer();
    void CloseVideoPlayer();
    void DownloadPlayingAudio(bool justOpened);
    void DownloadPlayingVideo(bool justOpened);
    int32_t GetAudioPosition();
    int32_t GetVideoPosition();
    void SeekAudio(int32_t ms);
    void SeekVideo(int32_t ms);
    int32_t GetAudioLength();
    int32_t GetVideoLength();

    // An open waits for its item: the tick leaves the players alone and
    // no other item may start.
    bool Opening() const { return opening_.isSet(); }

    // The item open on each alias ("" none).
    QString OpenAudioPath;
    QString OpenVideoPath;
    // Audio start, end, length, video start, end, length (ms).
    std::array<int32_t, 6> MediaItemTimes{};
    // The name of the item the last play could not open, until it is told
    // ("" none).
    QString UnopenedItem;

private:
    // The twin parts of the audio (1) and video (2) players.
    bool isStopped(const QString& alias);
    // Opens the item of row index for the audio (or the video) player.
    void openItem(const QString& path, const platform::forms::ListRows* rows, int32_t index, bool audio);
    int32_t position(const QString& alias);
    int32_t length(const QString& alias);
    void seek(const QString& alias, int32_t ms);
    void downloadPlaying(int16_t kind, const QString& source, bool justOpened);
    // Status, transport and list buttons for the list on show.
    void refreshControls();
    void setTimer(bool enabled);

    MediaContext& m_;
    BusyFlag opening_;
    // Targets being downloaded now, with the process that fetches each.
    QHash<QString, qint64> downloads_;
};
