#include "mainwindow/skinvalues.h"

#include "core/globals.h"
#include "core/skinbinding.h"
#include "platform/win/controls.h"
#include "platform/base/vbrt.h"

#include <cmath>

float SkinNumber(int16_t id)
{
    const double v = vb::val(GetSkinString(id));
    return std::isfinite(v) ? static_cast<float>(v) : 0.0f;
}

float SkinTwips(int16_t id)
{
    return SkinNumber(id) * TwipsScale;
}

QColor ColorFromSkinText(const QString& text)
{
    const double v = vb::val(text);
    const auto bgr = (std::isfinite(v) && v >= 0 && v <= 0xFFFFFFFF) ? static_cast<uint32_t>(v) : 0u;
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF), static_cast<int>((bgr >> 16) & 0xFF));
}

QColor SkinColor(int16_t id)
{
    return ColorFromSkinText(GetSkinString(id));
}

bool SetSkinPicture(platform::forms::Image& image, int16_t id)
{
    const auto pm = GetSkinPicture(id, 0);
    if (!pm)
        return false;
    image.setPicture(*pm);
    // Which picture shows, for whoever looks from outside (the probe).
    image.widget()->setProperty("skinPicture", id);
    return true;
}

bool SetSkinPicture(platform::forms::PictureBox& box, int16_t id)
{
    const auto pm = GetSkinPicture(id, 0);
    if (!pm)
        return false;
    box.setPicture(*pm);
    box.widget()->setProperty("skinPicture", id);
    return true;
}

bool SetStretchedPicture(platform::forms::Image& image, int16_t id)
{
    const auto pm = GetSkinPicture(id, 0);
    if (!pm)
        return false;
    const bool stretch = image.stretch();
    image.setStretch(false);
    image.setPicture(*pm);
    image.setStretch(stretch);
    return true;
}
