#pragma once

// The side pane's geometry: the pane carved out of the left of the window's
// body (or hidden), everything inside it placed, and its right edge
// SPLITTER1 dragged to a new width, with a thin bar following the pointer
// and one relayout on the release.

#include "contracts/layoutrect.h"

class frmExplorer;
class ListPaneDisplay;

class ListPaneLayout {
public:
    ListPaneLayout(frmExplorer& window, ListPaneDisplay& display);
    ~ListPaneLayout();
    ListPaneLayout(const ListPaneLayout&) = delete;
    ListPaneLayout& operator=(const ListPaneLayout&) = delete;

    // rectGiven false: the rectangle is first measured from the window's
    // frame pieces. A shown pane takes its width off the rectangle's left.
    void ShowListPane(bool rectGiven, LayoutRect& rect);
    void LayoutListPane();

    // The pane edge's pointer events; x in twips from SPLITTER1's left.
    void SPLITTER1_MouseDown();
    void SPLITTER1_MouseMove(double x);
    void SPLITTER1_MouseUp();

private:
    frmExplorer& w_;
    ListPaneDisplay& display_;
};
