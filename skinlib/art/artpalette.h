#pragma once

// The colours one skin is drawn with.

#include "skinart.h"

#include <QColor>
#include <QString>

namespace skinart {

// A colour written as in a skin's string table: "&H" and hexadecimal digits
// in blue-green-red order ("&H0000FF" is red). Anything else is black.
QColor colourFromSkinString(const QString& text);

struct Palette {
    // Bars and frame.
    QColor barTop;      // top of the bar gradient
    QColor barBottom;   // bottom of the bar gradient
    QColor band;        // the status band of the bottom bar
    QColor edgeDark;    // outer frame line
    QColor edgeLight;   // highlight inside the outer line
    QColor frameMid;    // body of the side frame pieces
    QColor innerDark;   // line between the frame and the window's body
    QColor groove;      // recessed panels (menu strip, show/hide pills)
    QColor grooveDark;
    QColor grooveLight;
    QColor sidePane;    // side pane background (list buttons sit on it)
    QColor addressBack; // address box and tab number box
    QColor display;     // the dark displays (delay, time)
    QColor tabStrip;    // background of the tab strip
    // Buttons.
    QColor faceTop;
    QColor faceBottom;
    QColor faceBorder;
    QColor hoverTop;
    QColor hoverBottom;
    QColor hoverBorder;
    QColor pressedTop;
    QColor pressedBottom;
    QColor glyph;
    QColor glyphHover;
    QColor glyphShadow;
    QColor disabledGlyph;
    QColor accent;      // highlights, progress, selected tab
    QColor signal;      // close, error
    QColor go;          // go, play, success
};

const Palette& paletteOf(Skin skin);

// The palette of the browser's own resources (message box, dialogs).
const Palette& programPalette();

} // namespace skinart
