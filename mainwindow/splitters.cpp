#include "mainwindow/splitters.h"

#include "mainwindow/frmexplorer.h"
#include "contracts/services.h"

namespace {

// The drag bar of a splitter bar (3 for 1, 4 for 2).
platform::forms::PictureBox* dragBarOf(frmExplorer& f, int index)
{
    return f.SPLITTER2.at(index + 2);
}

} // namespace

void WireSplitterBars(frmExplorer& f)
{
    auto& ev = f.SPLITTER2.events();
    ev.mouseDown = [&f](int index, int, int, double, double) { SPLITTER2_MouseDown(f, index); };
    ev.mouseMove = [&f](int index, int, int, double x, double y) { SPLITTER2_MouseMove(f, index, x, y); };
    ev.mouseUp = [&f](int index, int, int, double, double) { SPLITTER2_MouseUp(f, index); };
}

void SPLITTER2_MouseDown(frmExplorer& f, int index)
{
    if (index != splitterbar::Vertical && index != splitterbar::Horizontal)
        return;
    f.ButtonReleased = 0;
    f.Layout.SplitterDragging.set(true);
    if (auto* drag = dragBarOf(f, index)) {
        drag->zOrder(0);
        drag->setVisible(true);
    }
}

void SPLITTER2_MouseMove(frmExplorer& f, int index, double x, double y)
{
    if ((index != splitterbar::Vertical && index != splitterbar::Horizontal) || !f.Layout.SplitterDragging)
        return;
    auto* drag = dragBarOf(f, index);
    auto* own = f.SPLITTER2.at(index);
    if (!drag || !own)
        return;
    // No bound while moving: the release clamps.
    if (index == splitterbar::Vertical)
        drag->setLeft(own->left() + x);
    else
        drag->setTop(own->top() + y);
}

void SPLITTER2_MouseUp(frmExplorer& f, int index)
{
    if (index != splitterbar::Vertical && index != splitterbar::Horizontal)
        return;
    auto* drag = dragBarOf(f, index);
    auto* own = f.SPLITTER2.at(index);
    if (!drag || !own)
        return;
    if (index == splitterbar::Vertical) {
        const double upper = f.PicHolder[picholder::Body].width() - own->width();
        if (drag->left() < 0)
            drag->setLeft(0);
        else if (drag->left() > upper)
            drag->setLeft(upper);
    } else {
        const double upper = f.PicHolder[picholder::Body].height() - own->height();
        if (drag->top() < 0)
            drag->setTop(0);
        else if (drag->top() > upper)
            drag->setTop(upper);
    }
    f.LockControl(true);
    f.services().Tabs().LayoutViewPanes(false, f.services().Tabs().TabCount(), f.Layout.PaneCount());
    f.services().Tabs().EnsureTabsForViewMode(true);
    f.LockControl(false);
    f.Layout.SplitterDragging.set(false);
    f.ButtonReleased = -1;
    own->setVisible(true);
    drag->setVisible(false);
}

void EndSplitterDrag(frmExplorer& f)
{
    f.Layout.SplitterDragging.set(false);
    if (auto* b = f.SPLITTER2.at(splitterbar::LostDrag))
        b->setVisible(false);
}
