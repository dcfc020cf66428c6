#pragma once

// Dragging the bars of the split layouts: a press on SPLITTER2(1) or (2)
// shows its drag bar, which follows the mouse; the release clamps it to the
// holder, makes it the new split position and lays the panes out again.

class frmExplorer;

void WireSplitterBars(frmExplorer& f);

// Mouse events of SPLITTER2(index); x and y in twips within the bar.
void SPLITTER2_MouseDown(frmExplorer& f, int index);
void SPLITTER2_MouseMove(frmExplorer& f, int index, double x, double y);
void SPLITTER2_MouseUp(frmExplorer& f, int index);

// A drag whose release was lost ends when a page has loaded.
void EndSplitterDrag(frmExplorer& f);
