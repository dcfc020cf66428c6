#pragma once

// The desktop's fonts for captions, menus, the status bar, message boxes and
// icon titles, handed out as font handles the object owns.

#include "platform/win/systemfonts.h"

#include <array>

class clsNCMetrics {
public:
    enum eFontNum { IconFont = 1, CaptionFont = 2, SmallCaptionFont = 3, MenuFont = 4, StatusFont = 5, MessageFont = 6 };
    using HFont = platform::systemfonts::FontHandle;

    clsNCMetrics() = default;
    ~clsNCMetrics() { ClearUp(); }
    clsNCMetrics(const clsNCMetrics&) = delete;
    clsNCMetrics& operator=(const clsNCMetrics&) = delete;

    // Drops the fonts handed out, then reads the desktop's fonts; false when
    // they cannot be read.
    bool GetMetrics();
    // The font of that number, made on first request and kept until
    // ClearUp or the next GetMetrics; 0 for a number outside 1-6.
    HFont FontHandle(int fontNumber);
    // A new bold font (weight 700, or 900 when the font is bold already)
    // that the caller deletes.
    HFont BoldenedFontHandle(int fontNumber);
    void ClearUp();

private:
    const platform::systemfonts::FontDescription* description(int n) const;

    platform::systemfonts::NonClientMetrics metrics_;
    platform::systemfonts::FontDescription iconFont_;
    std::array<HFont, 6> cache_{};
};
