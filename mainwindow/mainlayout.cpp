#include "mainwindow/mainlayout.h"

#include "mainwindow/frmexplorer.h"
#include "mainwindow/mediatoolbarlayout.h"
#include "mainwindow/menubarlayout.h"
#include "contracts/services.h"
#include "mainwindow/skinvalues.h"

namespace {

LayoutRect innerRect(frmExplorer& f)
{
    auto& P = f.SkinPiece;
    LayoutRect r;
    r.Left = static_cast<float>(P[skinpiece::Left].width());
    r.Top = static_cast<float>(P[skinpiece::Top].height());
    r.Width = static_cast<float>(f.scaleWidth() - P[skinpiece::Left].width() - P[skinpiece::Right].width());
    r.Height = static_cast<float>(f.scaleHeight() - P[skinpiece::Top].height() - P[skinpiece::Bottom].height());
    return r;
}

void placeHolderAndPanes(frmExplorer& f, const LayoutRect& r)
{
    f.PicHolder[picholder::Body].move(r.Left, r.Top, NonNegative(r.Width), NonNegative(r.Height));
    f.services().Tabs().LayoutViewPanes(false, f.services().Tabs().TabCount(), f.Layout.PaneCount());
    f.services().Tabs().EnsureTabsForViewMode(true);
}

} // namespace

void LayoutMainWindow(frmExplorer& f)
{
    f.trace("LayoutMainWindow");
    LayoutRect r = innerRect(f);
    f.services().Tabs().LayoutTabStrip(r);
    f.services().Lists().ShowListPane(true, r);
    placeHolderAndPanes(f, r);
    LayoutMenuBar(f);
    LayoutMediaControlCenter(f);
}

void LayoutBody(frmExplorer& f)
{
    f.trace("LayoutBody");
    LayoutRect r = innerRect(f);
    if (f.DisplayFlags[DisplayTabBar] != 0)
        r.Height -= static_cast<float>(f.ImageBox[imagebox::TabStrip].height());
    f.services().Lists().ShowListPane(true, r);
    placeHolderAndPanes(f, r);
}
