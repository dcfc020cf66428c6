#pragma once

// The background of the program's small windows (message box, wait window,
// about box), drawn in the colours of the shipped skin so that they look
// like the main window.

#include <QColor>
#include <QPixmap>
#include <QSize>

enum class PanelStyle {
    Light, // pale face with a blue edge: message and wait windows
    Dark   // deep blue face: the about box
};

// A face of that size in pixels with a one-pixel edge.
QPixmap SkinnedPanel(QSize pixels, PanelStyle style);
// The text colour that reads well on the face.
QColor PanelTextColor(PanelStyle style);

// A size in twips as whole pixels of the screen.
QSize toPixels(double widthTwips, double heightTwips);
