#include "mainwindow/multiview.h"

#include "core/fileclasses.h"
#include "core/globals.h"
#include "contracts/services.h"
#include "mainwindow/splitters.h"

#include <QCoreApplication>

#include <cmath>

namespace {

using platform::forms::PictureBox;

int32_t toLong(double v)
{
    return static_cast<int32_t>(std::nearbyint(v));
}

PaneRect rect(double left, double top, double width, double height)
{
    return {toLong(left), toLong(top), toLong(height), toLong(width)};
}

PictureBox* bar(frmExplorer& f, int i)
{
    return f.SPLITTER2.at(i);
}

void showInFront(PictureBox* b, bool shown)
{
    if (!b)
        return;
    b->setVisible(shown);
    if (shown)
        b->zOrder(0);
}

} // namespace

void CreateSplitterBars(frmExplorer& f)
{
    // The side pane edge's drag bar lies on the window itself; the others
    // lie in the pane holder.
    for (int i = 0; i <= splitterbar::Last; ++i) {
        PictureBox* b = f.SPLITTER2.create(i, i == splitterbar::LostDrag ? nullptr : &f.PicHolder[picholder::Body]);
        if (!b)
            continue;
        b->setTabStop(false);
        b->setBackColor(i >= 3 || i == 0 ? QColor(0x60, 0x60, 0x60) : QColor(0xB4, 0xB4, 0xB4));
        b->setVisible(false);
        // Vertical bars carry the left-right pointer, horizontal ones the up-down one.
        const bool vertical = i == splitterbar::LostDrag || i == splitterbar::Vertical || i == splitterbar::VerticalDrag;
        b->setMousePointer(vertical ? 9 : 7);
        b->move(0, 0, vertical ? 60 : 600, vertical ? 600 : 60);
    }
    WireSplitterBars(f);
}

void LayoutViewPanes(frmExplorer& f, bool showSplitters, int16_t tabCount, int16_t paneCount)
{
    const double W = f.PicHolder[picholder::Body].width();
    const double H = f.PicHolder[picholder::Body].height();
    // Two to four tabs look better split than gridded or tiled.
    if (f.Layout.ViewMode() < 4) {
        if (f.Layout.ViewMode() == 1 && tabCount == 2)
            f.Layout.SetViewMode(8);
        else if (f.Layout.ViewMode() == 1 && tabCount == 3)
            f.Layout.SetViewMode(5);
        else if (f.Layout.ViewMode() == 1 && tabCount == 4)
            f.Layout.SetViewMode(10);
        else if (f.Layout.ViewMode() == 2 && tabCount == 2)
            f.Layout.SetViewMode(9);
        else if (f.Layout.ViewMode() == 3 && tabCount == 2)
            f.Layout.SetViewMode(8);
    }
    if (showSplitters) {
        if (f.Layout.ViewMode() < 4) {
            showInFront(bar(f, 1), false);
            showInFront(bar(f, 2), false);
        } else {
            PositionSplitterBars(f);
        }
    }
    const int n = std::min<int>(paneCount, kMaxPanes);
    if (f.Layout.ViewMode() == 1) {
        int16_t rows = 0, columns = 0;
        GridForCount(static_cast<int16_t>(n), rows, columns);
        if (rows < 1 || columns < 1)
            return;
        f.Layout.SetPaneRectCount(rows * columns + 1);
        const double cw = W / columns;
        const double ch = H / rows;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c)
                f.Layout.SetPaneRect(r * columns + c, rect(c * cw, r * ch, cw, ch));
        return;
    }
    if (f.Layout.ViewMode() == 2 || f.Layout.ViewMode() == 3) {
        if (n < 1)
            return;
        f.Layout.SetPaneRectCount(n + 1);
        for (int i = 0; i < n; ++i)
            f.Layout.SetPaneRect(i, f.Layout.ViewMode() == 2 ? rect(0, i * (H / n), W, H / n) : rect(i * (W / n), 0, W / n, H));
        return;
    }
    f.Layout.SetPaneRectCount(std::max(n, 0) + 1);
    const int m = f.Layout.ViewMode();
    if ((m >= 4 && m <= 7) || m == 10) {
        showInFront(bar(f, 1), true);
        showInFront(bar(f, 2), true);
    } else if (m == 8) {
        showInFront(bar(f, 1), true);
        if (bar(f, 2))
            bar(f, 2)->setVisible(false);
    } else if (m == 9) {
        if (bar(f, 1))
            bar(f, 1)->setVisible(false);
        showInFront(bar(f, 2), true);
    }
    ComputeSplitPaneRects(f);
}

void PositionSplitterBars(frmExplorer& f)
{
    const int m = f.Layout.ViewMode();
    PictureBox* first = bar(f, 1);
    PictureBox* third = bar(f, 3);
    if (m < 4 || m > 10 || !first || !third)
        return;
    const double W = f.PicHolder[picholder::Body].width();
    const double H = f.PicHolder[picholder::Body].height();
    const double t1 = first->width();
    const double t3 = third->width();
    const double X = (W - t1) / 2;
    const double Y = (H - t1) / 2;
    // Each bar's Left, Top, Width and Height; a negative height keeps the bar's own.
    struct Place {
        bool moved;
        double left, top, width, height;
    };
    constexpr double keep = -1;
    Place p[5] = {};
    switch (m) {
    case 4:
        p[1] = {true, X, 0, t1, H}; p[2] = {true, 0, Y, X, keep};
        p[3] = {true, X, 0, t3, H}; p[4] = {true, 0, Y, X, keep};
        break;
    case 5:
        p[1] = {true, X, 0, t1, H}; p[2] = {true, X, Y, X, keep};
        p[3] = {true, X, 0, t3, H}; p[4] = {true, X, Y, X, keep};
        break;
    case 6:
        p[1] = {true, X, Y, t1, Y}; p[2] = {true, 0, Y, W, keep};
        p[3] = {true, X, Y, t3, Y}; p[4] = {true, 0, Y, W, keep};
        break;
    case 7:
        p[1] = {true, X, 0, t1, Y}; p[2] = {true, 0, Y, W, keep};
        p[3] = {true, X, 0, t3, Y}; p[4] = {true, 0, Y, W, keep};
        break;
    case 8:
        p[1] = {true, X, 0, t1, H}; p[3] = {true, X, 0, t3, H};
        break;
    case 9:
        p[2] = {true, 0, Y, W, keep}; p[4] = {true, 0, Y, W, keep};
        break;
    default: // 10
        p[1] = {true, X, 0, t1, H}; p[2] = {true, 0, Y, W, keep};
        p[3] = {true, X, 0, t3, H}; p[4] = {true, 0, Y, W, keep};
        break;
    }
    for (int i = 1; i <= 4; ++i) {
        PictureBox* target = bar(f, i);
        if (!p[i].moved || !target)
            continue;
        PictureBox& b = *target;
        b.move(p[i].left, p[i].top, std::max(0.0, p[i].width), p[i].height < 0 ? b.height() : std::max(0.0, p[i].height));
    }
}

void ComputeSplitPaneRects(frmExplorer& f)
{
    PictureBox* b1 = bar(f, 1);
    PictureBox* b2 = bar(f, 2);
    PictureBox* b3 = bar(f, 3);
    PictureBox* b4 = bar(f, 4);
    if (!b1 || !b2 || !b3 || !b4)
        return;
    const double W = f.PicHolder[picholder::Body].width();
    const double H = f.PicHolder[picholder::Body].height();
    double X = b3->left();
    double Y = b4->top();
    const double t = b1->width();
    const double h2 = b2->height();
    // The split keeps its proportion when the holder changes its size.
    if (f.Layout.SplitPosX() > 0) {
        if (W != f.Layout.SplitPosX())
            X = W / f.Layout.SplitPosX() * X;
        if (H != f.Layout.SplitPosY() && f.Layout.SplitPosY() > 0)
            Y = H / f.Layout.SplitPosY() * Y;
    }
    f.Layout.SetSplitPos(static_cast<float>(W), static_cast<float>(H));
    if (X > W)
        X = (W - t) / 2;
    if (Y > H)
        Y = (H - t) / 2;
    b1->setLeft(X);
    b1->setHeight(std::max(0.0, H));
    b3->setLeft(X);
    b3->setHeight(std::max(0.0, H));
    b2->setTop(Y);
    b2->setWidth(std::max(0.0, W));
    b4->setTop(Y);
    b4->setWidth(std::max(0.0, W));

    const double LW = X, RL = X + t, RW = W - X - t, TH = Y, BT = Y + h2, BH = H - Y - t;
    auto set = [&f](int i, const PaneRect& r) { f.Layout.SetPaneRect(i, r); };
    switch (f.Layout.ViewMode()) {
    case 4:
        b2->setWidth(std::max(0.0, X));
        b4->setWidth(std::max(0.0, X));
        set(0, rect(0, 0, LW, TH)); set(1, rect(0, BT, LW, BH)); set(2, rect(RL, 0, RW, H));
        break;
    case 5:
        b2->move(RL, std::nullopt, std::max(0.0, RW));
        b4->setLeft(b2->left());
        set(0, rect(0, 0, LW, H)); set(1, rect(RL, 0, RW, TH)); set(2, rect(RL, BT, RW, BH));
        break;
    case 6:
        b1->move(b1->left(), BT, std::nullopt, std::max(0.0, BH));
        b3->setTop(b1->top());
        set(0, rect(0, 0, W, TH)); set(1, rect(0, BT, LW, BH)); set(2, rect(RL, BT, RW, BH));
        break;
    case 7:
        b1->setHeight(std::max(0.0, Y));
        b3->setHeight(std::max(0.0, Y));
        set(0, rect(0, 0, LW, TH)); set(1, rect(RL, 0, RW, TH)); set(2, rect(0, BT, W, BH));
        break;
    case 8:
        set(0, rect(0, 0, LW, H)); set(1, rect(RL, 0, RW, H));
        break;
    case 9:
        set(0, rect(0, 0, W, TH)); set(1, rect(0, BT, W, BH));
        break;
    case 10:
        set(0, rect(0, 0, LW, TH)); set(1, rect(RL, 0, RW, TH));
        set(2, rect(0, BT, LW, BH)); set(3, rect(RL, BT, RW, BH));
        break;
    default:
        break;
    }
}

PaneRect BrowserRectForPane(frmExplorer& f, int tab)
{
    PaneRect r;
    if (f.Layout.PaneCount() != 1) {
        if (tab >= 0 && tab < f.Layout.PaneRects().size())
            r = f.Layout.PaneRects()[tab];
    } else {
        if (f.Layout.PaneRects().size() < 2)
            f.Layout.SetPaneRectCount(2);
        r = rect(0, 0, f.PicHolder[picholder::Body].width(), f.PicHolder[picholder::Body].height());
        f.Layout.SetPaneRect(0, r);
    }
    const double edge = 30 * TwipsScale;
    return {toLong(r.Left - edge), toLong(r.Top - edge), toLong(r.Height + 2 * edge), toLong(r.Width + 2 * edge)};
}

QVector<int> BlankTabsForViewMode(int viewMode, int tabCount)
{
    int panes = 0;
    if (viewMode >= 4 && viewMode <= 7)
        panes = 3;
    else if (viewMode == 8 || viewMode == 9)
        panes = 2;
    else if (viewMode == 10)
        panes = 4;
    QVector<int> tabs;
    if (tabCount < 1)
        return tabs;
    for (int k = tabCount; k < panes; ++k)
        tabs << k;
    return tabs;
}

void SetArrangeMode(frmExplorer& f, const QString& key)
{
    struct Preset {
        const char* key;
        int16_t mode;
        int16_t panes; // -1: the tab count
    };
    static constexpr Preset presets[] = {{"A1", 1, -1}, {"A2", 2, -1}, {"A3", 3, -1}, {"A4", 4, 3},
                                         {"A5", 5, 3},  {"A6", 6, 3},  {"A7", 7, 3},  {"A8", 8, 2},
                                         {"A9", 9, 2},  {"A0", 10, 4}};
    for (const Preset& p : presets) {
        if (key == QLatin1String(p.key)) {
            f.Layout.SetViewMode(p.mode);
            f.Layout.SetPaneCount(p.panes < 0 ? f.services().Tabs().TabCount() : p.panes);
        }
    }
    f.services().Tabs().LayoutViewPanes(true, f.services().Tabs().TabCount(), f.Layout.PaneCount());
    f.services().Tabs().EnsureTabsForViewMode(true);
    QCoreApplication::processEvents();
}

void BringSplittersToFront(frmExplorer& f)
{
    for (int i : {1, 2})
        if (PictureBox* b = bar(f, i); b && b->visible())
            b->zOrder(0);
}
