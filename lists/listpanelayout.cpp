#include "lists/listpanelayout.h"

#include "core/globals.h"
#include "core/language.h"
#include "core/skinbinding.h"
#include "lists/listpanedisplay.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/mainlayout.h"
#include "mainwindow/skinvalues.h"

#include <algorithm>

using platform::forms::Image;

namespace {

const QString kTooltips = QStringLiteral("OTHERS-TOOLTIPTEXT");

} // namespace

ListPaneLayout::ListPaneLayout(frmExplorer& window, ListPaneDisplay& display) : w_(window), display_(display)
{
    platform::forms::ControlEvents& edge = w_.SPLITTER1->events();
    edge.mouseDown = [this](int, int, double, double) { SPLITTER1_MouseDown(); };
    edge.mouseMove = [this](int, int, double x, double) { SPLITTER1_MouseMove(x); };
    edge.mouseUp = [this](int, int, double, double) { SPLITTER1_MouseUp(); };
    // The edge stretches its picture down the pane's height.
    w_.SPLITTER1->setStretch(true);
    w_.SPLITTER1->setMousePointer(9);
}

ListPaneLayout::~ListPaneLayout()
{
    platform::forms::ControlEvents& edge = w_.SPLITTER1->events();
    edge.mouseDown = nullptr;
    edge.mouseMove = nullptr;
    edge.mouseUp = nullptr;
}

void ListPaneLayout::ShowListPane(bool rectGiven, LayoutRect& rect)
{
    Image& showHide = w_.cmdShowHide[0];
    platform::forms::PictureBox* bar = w_.SPLITTER2.at(0);
    if (w_.DisplayFlags[DisplaySidePane] == 0) {
        display_.HideListPaneControls();
        showHide.setToolTipText(GetLangCaption(kTooltips, QStringLiteral("5001"), QStringLiteral("Show Playlist")));
        SetSkinPicture(showHide, 145);
        if (bar)
            bar->setVisible(false);
        w_.SPLITTER1->setVisible(false);
        return;
    }
    if (!rectGiven) {
        auto& P = w_.SkinPiece;
        rect.Left = static_cast<float>(P[7].width());
        rect.Top = static_cast<float>(P[4].height());
        rect.Width = static_cast<float>(w_.scaleWidth() - P[7].width() - P[5].width());
        rect.Height = static_cast<float>(w_.scaleHeight() - P[4].height() - P[6].height());
    }
    platform::forms::Label& pane = w_.APPLabel[4];
    if (const auto back = ListColorFromText(GetSkinString(101)))
        pane.setBackColor(*back);
    display_.InitListPaneToolbar();
    double width = pane.width();
    // The browser area keeps at least 1000 twips (unscaled).
    if (width > rect.Width - 1000)
        width = rect.Width - 1000;
    width = std::max(0.0, width);
    pane.move(rect.Left, rect.Top, width, std::max(0.0f, rect.Height));
    LayoutListPane();
    showHide.setToolTipText(GetLangCaption(kTooltips, QStringLiteral("5000"), QStringLiteral("Hide Playlist")));
    SetSkinPicture(showHide, 143);
    Image& edge = *w_.SPLITTER1;
    edge.setVisible(true);
    edge.setTop(rect.Top);
    edge.setHeight(std::max(0.0f, rect.Height));
    edge.setLeft(rect.Left + width - edge.width());
    if (bar) {
        bar->setTop(edge.top());
        bar->setLeft(rect.Left + width - bar->width());
        bar->setHeight(edge.height());
    }
    rect.Width = static_cast<float>(rect.Width - width);
    rect.Left = static_cast<float>(rect.Left + width);
}

void ListPaneLayout::LayoutListPane()
{
    const double s = TwipsScale;
    const platform::forms::Label& pane = w_.APPLabel[4];
    const double L = pane.left();
    const double T = pane.top();
    const double W = pane.width();
    const double H = pane.height();
    auto& B = w_.cmdPLControl;
    const auto width = [&B](int i) { return B.exists(i) ? B[i].width() : 0.0; };
    const auto height = [&B](int i) { return B.exists(i) ? B[i].height() : 0.0; };
    const double w1 = width(1), h1 = height(1), w10 = width(10), h10 = height(10), w11 = width(11), h11 = height(11);

    const double LW = std::max(0.0, W - w1 - 180 * s);
    const double LH = std::max(0.0, H - h10 - h11 - 40 * s);
    for (int k = 1; k <= 6; ++k)
        if (auto* list = display_.listView(k))
            list->move(L, T + h10, LW, LH);

    const double X = L + LW + 30 * s;
    const double G = 150 * s;
    const double YB = T + H - h11 - 20 * s;
    const auto place = [&B](int i, double left, double top) {
        if (B.exists(i))
            B[i].move(left, top);
    };
    place(10, L + (LW - w10) / 2, T);
    place(0, X, T);
    const double h0 = height(0);
    for (int i = 1; i <= 9; ++i) {
        double top = T + h0 + (i - 1) * h1;
        if (i >= 2)
            top += G;
        if (i >= 8)
            top += G;
        place(i, X, top);
    }
    for (int i = 11; i <= 14; ++i)
        place(i, L + (i - 11) * w11, YB);

    const double textLeft = L + 4 * w11;
    const double textWidth = std::max(0.0, LW - 4 * w11 - 10 * s);
    w_.APPLabel[0].move(textLeft, YB - 20 * s, textWidth, h11 / 2);
    w_.APPLabel[1].move(textLeft, YB - 20 * s + h11 / 2, textWidth, h11 / 2);

    display_.SizeListColumns();
    const auto back = ListColorFromText(GetSkinString(104));
    const auto fore = ListColorFromText(GetSkinString(105));
    for (int k = 1; k <= 6; ++k) {
        auto* list = display_.listView(k);
        if (!list)
            continue;
        if (back)
            list->setBackColor(*back);
        if (fore)
            list->setForeColor(*fore);
        list->setVisible(true);
    }
    display_.UpdatePlaylistButtons();
    for (int i : {0, 1, 4})
        w_.APPLabel[i].setVisible(true);
    for (int i = 0; i <= 14; ++i)
        if (B.exists(i)) {
            B[i].setVisible(true);
            B[i].zOrder(0);
        }
    display_.ShowCurrentList();
}

void ListPaneLayout::SPLITTER1_MouseDown()
{
    w_.ButtonReleased = 0;
    w_.Layout.SplitterDragging.set(true);
    if (auto* bar = w_.SPLITTER2.at(0)) {
        bar->zOrder(0);
        bar->setVisible(true);
    }
}

void ListPaneLayout::SPLITTER1_MouseMove(double x)
{
    if (!w_.Layout.SplitterDragging)
        return;
    if (auto* bar = w_.SPLITTER2.at(0))
        bar->setLeft(w_.SPLITTER1->left() + x);
}

void ListPaneLayout::SPLITTER1_MouseUp()
{
    auto* bar = w_.SPLITTER2.at(0);
    if (!bar)
        return;
    platform::forms::Label& pane = w_.APPLabel[4];
    // 1000 twips unscaled keep the browser area; the pane is never narrower
    // than its width at load. The lower limit wins.
    const double upper = w_.scaleWidth() - 1000;
    const double lower = w_.MinPaneWidth + pane.left() - bar->width();
    if (bar->left() < lower)
        bar->setLeft(lower);
    else if (bar->left() >= upper)
        bar->setLeft(upper);
    w_.LockControl(true);
    pane.setWidth(std::max(0.0, bar->left() + bar->width() - pane.left()));
    LayoutBody(w_);
    w_.LockControl(false);
    w_.Layout.SplitterDragging.set(false);
    bar->setVisible(false);
}
