#pragma once

// Reading the current skin for the window's layout: numbers, colours and
// pictures by identifier. A skin without the identifier changes nothing.

#include <QColor>
#include <QString>

#include <cstdint>

namespace platform::forms {
class Image;
class PictureBox;
} // namespace platform::forms

// The skin string read as a single-precision number (Val: text that is not
// a number gives 0).
float SkinNumber(int16_t id);
// SkinNumber times the screen scale factor TwipsScale.
float SkinTwips(int16_t id);
// "&H" and hexadecimal digits in blue-green-red order; anything unparsable
// is colour 0 (black).
QColor ColorFromSkinText(const QString& text);
QColor SkinColor(int16_t id);

// Gives the control the skin picture; false (and the old picture kept) when
// the skin has none of that identifier.
bool SetSkinPicture(platform::forms::Image& image, int16_t id);
bool SetSkinPicture(platform::forms::PictureBox& box, int16_t id);

// The picture at its own size, then drawn stretched to whatever size the
// control is given afterwards, if the control stretches.
bool SetStretchedPicture(platform::forms::Image& image, int16_t id);

// A size computed from skin numbers, never below 0.
inline double NonNegative(double twips)
{
    return twips > 0 ? twips : 0;
}
