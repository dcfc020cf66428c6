#include "artpalette.h"

namespace skinart {

QColor colourFromSkinString(const QString& text)
{
    const QString t = text.trimmed();
    if (!t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive) || t.size() > 2 + 8)
        return QColor(0, 0, 0);
    bool ok = false;
    const uint bgr = t.mid(2).toUInt(&ok, 16);
    if (!ok)
        return QColor(0, 0, 0);
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

namespace {

QColor mix(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

// Builds the whole palette from a few key colours of a skin.
Palette derive(const QColor& base, const QColor& light, const QColor& accent, const QColor& highlight,
               const QColor& glyph, const QColor& menu, const QColor& signal, const QColor& go)
{
    const QColor white(255, 255, 255);
    const QColor black(0, 0, 0);
    Palette p;
    p.barTop = mix(light, white, 0.18);
    p.barBottom = base;
    p.band = mix(base, black, 0.12);
    p.edgeDark = mix(base, black, 0.62);
    p.edgeLight = mix(light, white, 0.45);
    p.frameMid = mix(base, light, 0.35);
    p.innerDark = mix(base, black, 0.45);
    p.groove = mix(base, black, 0.30);
    p.grooveDark = mix(base, black, 0.55);
    p.grooveLight = mix(light, white, 0.25);
    p.sidePane = base;
    p.addressBack = base;
    p.display = mix(base, black, 0.72);
    p.tabStrip = mix(base, black, 0.22);
    p.faceTop = mix(light, white, 0.30);
    p.faceBottom = mix(base, light, 0.40);
    p.faceBorder = mix(base, black, 0.40);
    p.hoverTop = mix(highlight, white, 0.55);
    p.hoverBottom = highlight;
    p.hoverBorder = mix(highlight, white, 0.70);
    p.pressedTop = mix(base, black, 0.45);
    p.pressedBottom = mix(base, black, 0.15);
    p.glyph = glyph;
    p.glyphHover = glyph;
    p.glyphShadow = mix(base, black, 0.60);
    p.disabledGlyph = mix(base, menu, 0.45);
    p.accent = accent;
    p.signal = signal;
    p.go = go;
    return p;
}

Palette morvane()
{
    // The shipped skin's own colour strings.
    const QColor sidePane = colourFromSkinString(QStringLiteral("&HB77B5E"));  // 101, 103, 133
    const QColor listPane = colourFromSkinString(QStringLiteral("&HE59F79"));  // 104
    const QColor progress = colourFromSkinString(QStringLiteral("&HE39673"));  // 132
    const QColor closeText = colourFromSkinString(QStringLiteral("&HFFD09E")); // 136
    const QColor label = colourFromSkinString(QStringLiteral("&HFFFFFF"));     // 122
    const QColor menu = colourFromSkinString(QStringLiteral("&HECECEC"));      // 121
    const QColor marker = colourFromSkinString(QStringLiteral("&H0000FF"));    // 153
    const QColor hover = colourFromSkinString(QStringLiteral("&H00FF00"));     // 123
    Palette p = derive(sidePane, listPane, progress, closeText, label, menu,
                       marker.darker(115), hover.darker(150));
    p.sidePane = sidePane;
    p.addressBack = sidePane;
    return p;
}

Palette blueSky()
{
    // A light sky with navy glyphs and an orange accent.
    Palette p = derive(QColor(0x8F, 0xC3, 0xE8), QColor(0xD8, 0xEE, 0xFB), QColor(0xF5, 0x9A, 0x2F),
                       QColor(0xFF, 0xE0, 0xA8), QColor(0x16, 0x3F, 0x66), QColor(0xF4, 0xF8, 0xFB),
                       QColor(0xD0, 0x3A, 0x2E), QColor(0x2E, 0x9E, 0x48));
    p.glyphShadow = QColor(255, 255, 255, 255);
    p.display = QColor(0x12, 0x33, 0x52);
    p.disabledGlyph = QColor(0x8A, 0xA6, 0xBD);
    p.pressedTop = QColor(0x6E, 0xA4, 0xCC);
    p.pressedBottom = QColor(0x9C, 0xC8, 0xE8);
    return p;
}

} // namespace

const Palette& paletteOf(Skin skin)
{
    static const Palette m = morvane();
    static const Palette b = blueSky();
    return skin == Skin::BlueSky ? b : m;
}

const Palette& programPalette()
{
    return paletteOf(Skin::Morvane1);
}

} // namespace skinart
