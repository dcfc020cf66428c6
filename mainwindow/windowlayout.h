#pragma once

// How the body of the main window is laid out: the view mode with its panes
// and their rectangles, the split position of the split layouts, a drag of
// their bars, and the lock that holds a relayout off while another one (or a
// placement) runs. The tab operations leave multi-view through it; the pane
// rectangles are written by the multi-view layout only.
//
// ViewMode: 0 single view, 1 grid, 2 tiled top to bottom, 3 tiled left to
// right, 4 two left one right, 5 one left two right, 6 one top two bottom,
// 7 two top one bottom, 8 left/right, 9 top/bottom, 10 two by two.

#include "core/busyflag.h"

#include <QVector>

#include <cstdint>

// One pane: Left, Top, Height, Width in twips of the body.
struct PaneRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Height = 0;
    int32_t Width = 0;
};

class WindowLayout {
public:
    int16_t ViewMode() const { return viewMode_; }
    int16_t PaneCount() const { return paneCount_; }
    void SetViewMode(int mode) { viewMode_ = static_cast<int16_t>(mode); }
    void SetPaneCount(int count) { paneCount_ = static_cast<int16_t>(count); }
    // ViewMode 0 with one pane.
    void SetSingleView()
    {
        viewMode_ = 0;
        paneCount_ = 1;
    }

    // One entry per pane and one more, empty, after the last.
    const QVector<PaneRect>& PaneRects() const { return paneRects_; }
    void SetPaneRectCount(int count) { paneRects_.resize(count); }
    // Nothing for an index outside the entries.
    void SetPaneRect(int index, const PaneRect& rect)
    {
        if (index >= 0 && index < paneRects_.size())
            paneRects_[index] = rect;
    }

    // The body's size at the last split layout; 0 before the first.
    float SplitPosX() const { return splitPosX_; }
    float SplitPosY() const { return splitPosY_; }
    void SetSplitPos(float x, float y)
    {
        splitPosX_ = x;
        splitPosY_ = y;
    }

    // A bar of the split layouts is being dragged.
    BusyFlag SplitterDragging;
    // A relayout or a placement runs: a Resize in between changes nothing.
    BusyFlag LayoutLock;

private:
    int16_t viewMode_ = 0;
    int16_t paneCount_ = 1;
    QVector<PaneRect> paneRects_;
    float splitPosX_ = 0;
    float splitPosY_ = 0;
};
