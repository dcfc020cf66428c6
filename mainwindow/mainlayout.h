#pragma once

// The body of the main window below the skinned chrome: the frame's inner
// rectangle, less the tab strip and the side pane, is the client holder
// PicHolder(0) with the multi-view panes in it.

class frmExplorer;

// The full layout: body, then the menu and media rows.
void LayoutMainWindow(frmExplorer& f);
// The body alone (side-pane changes that touch neither bars nor tab strip).
void LayoutBody(frmExplorer& f);
