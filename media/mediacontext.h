#pragma once

// What the parts of the media player share: the window and its state, the
// other subsystems, the command interpreter and the master volume, the
// parts themselves, and the seams tests replace (the random source and the
// start of another program).

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

class frmExplorer;
class ServiceSet;
class MediaEngine;
class PlayControl;
class MediaSliders;
class VideoView;
class ImageViewer;

namespace platform::media {
class IMci;
class IMasterVolume;
} // namespace platform::media

struct MediaContext {
    frmExplorer& f;
    ServiceSet& services;
    platform::media::IMci& mci;
    platform::media::IMasterVolume& mixer;

    MediaEngine* engine = nullptr;
    PlayControl* play = nullptr;
    MediaSliders* sliders = nullptr;
    VideoView* video = nullptr;
    ImageViewer* viewer = nullptr;

    // A number in [0, 1), drawn afresh for each shuffle.
    std::function<double()> random{};
    // Starts a program detached: its process id, 0 when it could not start.
    std::function<qint64(const QString& program, const QStringList& arguments)> startProgram{};
    // The media toolbar's button (index 0-15) enabled or not; the toolbar
    // sets this when it is made.
    std::function<void(int16_t index, bool enabled)> setMediaButtonEnabled{};

    // Runs one command; its number reply ("" or not a number: 0; held
    // within the range of a 32-bit number).
    void send(const QString& command) const;
    int64_t query(const QString& command) const;
    QString queryText(const QString& command) const;
};
