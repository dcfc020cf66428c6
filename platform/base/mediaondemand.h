#pragma once

// The media layer loaded on first use. The interpreter and the master volume
// handed out here forward to the layer's own: they load its library (from
// the folder of the program's own libraries) the first time a command or the
// volume needs it, then pass every call on. Until then nothing of Qt
// Multimedia or the sound libraries is in the process.
//
// A library that does not load is reported once; every command then fails
// with MciCannotOpen and the volume has no control. "close all" before the
// first load has nothing to close and loads nothing.

#include "platform/base/mediainterfaces.h"

#include <QString>

namespace platform::media {

class MediaOnDemand {
public:
    // The library's path; empty: the layer library beside this one's.
    explicit MediaOnDemand(QString libraryPath = QString());
    ~MediaOnDemand();
    MediaOnDemand(const MediaOnDemand&) = delete;
    MediaOnDemand& operator=(const MediaOnDemand&) = delete;

    IMci& mci() { return mci_; }
    IMasterVolume& mixer() { return mixer_; }

    bool loaded() const { return layer_.mci != nullptr; }
    // Why the layer did not load ("" while it did or was not asked for).
    QString error() const { return error_; }

private:
    class Interpreter : public IMci {
    public:
        explicit Interpreter(MediaOnDemand& owner) : owner_(owner) {}
        int sendString(const QString& command, QString* reply) override;

    private:
        MediaOnDemand& owner_;
    };
    class Volume : public IMasterVolume {
    public:
        explicit Volume(MediaOnDemand& owner) : owner_(owner) {}
        bool range(int32_t& minimum, int32_t& maximum) override;
        bool get(int32_t& value) override;
        bool set(int32_t value) override;

    private:
        MediaOnDemand& owner_;
    };

    // Loads the layer once; false when it could not be loaded.
    bool load();

    QString path_;
    MediaLayer layer_;
    bool tried_ = false;
    QString error_;
    Interpreter mci_{*this};
    Volume mixer_{*this};
};

} // namespace platform::media
