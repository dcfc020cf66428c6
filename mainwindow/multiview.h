#pragma once

// Several tabs side by side in the client holder PicHolder(0): the grid and
// tile arrangements for any number of tabs, and the split layouts of two,
// three or four panes divided by the bars SPLITTER2(1) (vertical) and
// SPLITTER2(2) (horizontal). The split position lives in the drag bars:
// X = SPLITTER2(3).Left, Y = SPLITTER2(4).Top.
//
// ViewMode: 0 single view, 1 grid, 2 tiled top to bottom, 3 tiled left to
// right, 4 two left one right, 5 one left two right, 6 one top two bottom,
// 7 two top one bottom, 8 left/right, 9 top/bottom, 10 two by two.

#include "mainwindow/frmexplorer.h"

#include <QString>
#include <QVector>

#include <cstdint>

// At most this many panes are laid out.
inline constexpr int kMaxPanes = 16;

// The bars inside the holder, hidden until a split layout shows them.
void CreateSplitterBars(frmExplorer& f);

// Computes the pane rectangles for the mode (rewriting the grid and tile
// modes into split ones for two to four tabs) and, with showSplitters,
// re-centres and shows the bars of a split mode.
void LayoutViewPanes(frmExplorer& f, bool showSplitters, int16_t tabCount, int16_t paneCount);
// Centres the bars for the current split mode.
void PositionSplitterBars(frmExplorer& f);
// The panes of modes 4-10 from the split position, scaled when the holder
// changed its size since the last split layout.
void ComputeSplitPaneRects(frmExplorer& f);

// Where tab's browser goes: its pane grown by 30 twips (scaled) on every
// side. With one pane the holder itself; a pane without a rectangle is the
// empty one, which puts the browser out of sight.
PaneRect BrowserRectForPane(frmExplorer& f, int tab);

// The blank tabs to add so that every pane of the mode has a tab.
QVector<int> BlankTabsForViewMode(int viewMode, int tabCount);

// The arrange commands' keys "A0" to "A9": the mode and pane count, then the
// tabs' layout with the bars re-centred and the panes filled.
void SetArrangeMode(frmExplorer& f, const QString& key);

// The bars in front of the panes (split modes, after a browser came up).
void BringSplittersToFront(frmExplorer& f);
