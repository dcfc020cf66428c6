#pragma once

// The pictures of the menus' icon strip: 16 x 16 pixels on a transparent
// background, drawn for the light icon column of the menus.
//
// 1 folder, 2 history, 3 page, 4 dimmed page, 5 open all, 6 empty mark,
// 7 check mark, 8 chosen option, 9 disabled heading, 10 close current,
// 11 close, 12 new, 13 open, 14/15 save as, 16/17 print, 18/19 print
// preview, 20/21 properties, 22-26 the office programs (spreadsheet, web
// editor, slides, publisher, writer), 27/28 cut, 29/30 copy, 31/32 paste,
// 33/34 find (each pair: coloured, then its grey twin), 35 home, 36 search,
// 37 stop, 38 refresh, 39 text size, 40 source, 41 synchronise, 42-48 the
// seven split layouts, 49 modify list, 50 menu title, 51 bullet.

#include <QImage>

namespace skinart {

inline constexpr int kMenuIconCount = 51;
inline constexpr int kMenuIconSize = 16;

// Picture n (1 to kMenuIconCount); a null image for any other number.
QImage drawMenuIcon(int n);

} // namespace skinart
