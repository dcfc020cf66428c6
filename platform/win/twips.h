#pragma once

// Screen units of the forms model: controls keep their positions and sizes in
// twips (1440 per inch); pixels appear only where a widget is placed.

namespace platform::forms {

// The screen's twips per pixel, horizontally and vertically: 1440 divided by
// the primary screen's logical dots per inch, rounded (15 at 96 dpi).
int twipsPerPixelX();
int twipsPerPixelY();

// Replaces the screen's values for this process (tests); 0 for either
// returns to the screen's values.
void setTwipsPerPixel(int x, int y);

// Twips to whole pixels: divided by the twips per pixel and rounded to the
// nearest integer, halves to the even neighbour.
int toPixelsX(double twips);
int toPixelsY(double twips);

// Pixels to twips (fractions of a pixel kept, as mouse positions are).
double toTwipsX(double pixels);
double toTwipsY(double pixels);

} // namespace platform::forms
