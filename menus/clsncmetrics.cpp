#include "menus/clsncmetrics.h"

namespace fonts = platform::systemfonts;

bool clsNCMetrics::GetMetrics()
{
    ClearUp();
    fonts::NonClientMetrics read;
    if (!fonts::readNonClientMetrics(read))
        return false;
    metrics_ = read;
    return fonts::readIconTitleFont(iconFont_);
}

const fonts::FontDescription* clsNCMetrics::description(int n) const
{
    switch (n) {
    case IconFont: return &iconFont_;
    case CaptionFont: return &metrics_.caption;
    case SmallCaptionFont: return &metrics_.smallCaption;
    case MenuFont: return &metrics_.menu;
    case StatusFont: return &metrics_.status;
    case MessageFont: return &metrics_.message;
    default: return nullptr;
    }
}

clsNCMetrics::HFont clsNCMetrics::FontHandle(int fontNumber)
{
    const fonts::FontDescription* d = description(fontNumber);
    if (!d)
        return 0;
    HFont& cached = cache_[static_cast<size_t>(fontNumber) - 1];
    if (cached == 0)
        cached = fonts::createFont(*d);
    return cached;
}

clsNCMetrics::HFont clsNCMetrics::BoldenedFontHandle(int fontNumber)
{
    const fonts::FontDescription* d = description(fontNumber);
    // An unknown number gives the default face, bold.
    fonts::FontDescription bold = d ? *d : fonts::FontDescription{QString(), 0, 0, false, false, false};
    bold.weight = bold.weight >= 700 ? 900 : 700;
    return fonts::createFont(bold);
}

void clsNCMetrics::ClearUp()
{
    for (HFont& f : cache_) {
        if (f != 0)
            fonts::deleteFont(f);
        f = 0;
    }
}
