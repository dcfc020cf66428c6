#pragma once

// What the program asks of the media layer (the media command interpreter
// and the master volume), apart from the layer itself: the layer lives in a
// library of its own, loaded when something first plays (see mediaondemand.h),
// so a browser that never plays never loads Qt Multimedia and its sound
// libraries.

#include <QString>

#include <cstdint>
#include <memory>

namespace platform::media {

// Error numbers of sendString (0: done).
enum MciError : int {
    MciOk = 0,
    MciInvalidDeviceName = 263,
    MciUnrecognizedCommand = 261,
    MciMissingParameter = 279,
    MciCannotOpen = 275,
    MciBadTimeFormat = 293,
    MciDuplicateAlias = 289,
    MciNotReady = 262,
    MciOutOfRange = 294,
};

class IMci {
public:
    virtual ~IMci() = default;
    // Runs one command; reply (when given) gets the answer ("" for none).
    virtual int sendString(const QString& command, QString* reply) = 0;
};

class IMasterVolume {
public:
    virtual ~IMasterVolume() = default;
    // The control's range; false (nothing changed) when there is none.
    virtual bool range(int32_t& minimum, int32_t& maximum) = 0;
    virtual bool get(int32_t& value) = 0;
    // False when the control took no value.
    virtual bool set(int32_t value) = 0;
};

// The layer's two parts, made together: the master volume applies to the
// interpreter's players where the machine has no mixer.
struct MediaLayer {
    std::unique_ptr<IMci> mci;
    std::unique_ptr<IMasterVolume> mixer;
};

// The layer library's entry point, looked up by this name.
using MakeMediaLayerFn = void (*)(MediaLayer* out);
inline constexpr char kMakeMediaLayerEntry[] = "z5MakeMediaLayer";
inline constexpr char kMediaLayerLibrary[] = "libz5platformmedia.so";

} // namespace platform::media
