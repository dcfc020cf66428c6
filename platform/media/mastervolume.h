#pragma once

// The machine's master volume: the playback volume of the sound card's
// "Master" control (ALSA, card "default"), opened once and closed with the
// object. Where there is no such control the volume is the program's own:
// one value applied to every player it runs.

#include "platform/base/mediainterfaces.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>

namespace platform::media {

// The ALSA binding alone: every call fails when the card or the control
// cannot be opened.
class AlsaMasterVolume : public IMasterVolume {
public:
    explicit AlsaMasterVolume(const QString& card = QStringLiteral("default"),
                              const QString& control = QStringLiteral("Master"));
    ~AlsaMasterVolume() override;
    AlsaMasterVolume(const AlsaMasterVolume&) = delete;
    AlsaMasterVolume& operator=(const AlsaMasterVolume&) = delete;

    bool isOpen() const;
    bool range(int32_t& minimum, int32_t& maximum) override;
    bool get(int32_t& value) override;
    bool set(int32_t value) override;

private:
    struct Handle;
    std::unique_ptr<Handle> h_;
};

// The ALSA control when it opens; otherwise a volume of 0..65535 kept here,
// its fraction handed to applyToPlayers whenever it changes. The control is
// opened on first use, not when the program starts.
class MasterVolume : public IMasterVolume {
public:
    explicit MasterVolume(std::function<void(double fraction)> applyToPlayers,
                          std::unique_ptr<IMasterVolume> card = nullptr);
    bool usesCard() { return card() != nullptr; }
    bool range(int32_t& minimum, int32_t& maximum) override;
    bool get(int32_t& value) override;
    bool set(int32_t value) override;

    static constexpr int32_t kOwnMaximum = 65535;

private:
    IMasterVolume* card();

    std::function<void(double)> apply_;
    std::unique_ptr<IMasterVolume> card_;
    bool cardTried_ = false;
    int32_t own_ = kOwnMaximum;
};

// A mixer for tests: a range, a value, a log of the calls, and a switch
// that makes every call fail.
class FakeMixer : public IMasterVolume {
public:
    bool range(int32_t& minimum, int32_t& maximum) override;
    bool get(int32_t& value) override;
    bool set(int32_t value) override;

    int32_t minimum = 0;
    int32_t maximum = 65535;
    int32_t value = 40000;
    bool fails = false;
    QStringList calls;
};

} // namespace platform::media
