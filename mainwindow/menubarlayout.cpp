#include "mainwindow/menubarlayout.h"

#include "core/globals.h"
#include "core/language.h"
#include "mainwindow/frmexplorer.h"
#include "contracts/services.h"
#include "mainwindow/skinpictures.h"
#include "mainwindow/skinvalues.h"

namespace {

const QString kTooltips = QStringLiteral("OTHERS-TOOLTIPTEXT");

} // namespace

void LayoutMenuBar(frmExplorer& f)
{
    f.trace("LayoutMenuBar");
    const bool topBar = f.DisplayFlags[DisplayTopBar] != 0;
    auto& showHide = f.cmdShowHide[showhide::MenuRow];
    if (f.DisplayFlags[DisplayMenuRow] == 0) {
        SetSkinPicture(f.SkinPiece[skinpiece::TopLeft], topBar ? skinpic::TopLeftMenuHidden : skinpic::TopLeftTopBarHidden);
        SetSkinPicture(showHide, skinpic::ShowMenuRow);
        showHide.setToolTipText(GetLangCaption(kTooltips, QStringLiteral("5005"), QStringLiteral("Show Menu")));
    } else {
        if (topBar) {
            SetSkinPicture(f.SkinPiece[skinpiece::TopLeft], skinpic::TopLeftMenuShown);
            SetSkinPicture(f.SkinPiece[skinpiece::MenuStrip], skinpic::MenuStrip);
            SetSkinPicture(f.SkinPiece[skinpiece::MenuStripEnd], skinpic::MenuStripEnd);
        } else {
            SetSkinPicture(f.SkinPiece[skinpiece::TopLeft], skinpic::TopLeftTopBarHidden);
        }
        SetSkinPicture(showHide, skinpic::HideMenuRow);
        showHide.setToolTipText(GetLangCaption(kTooltips, QStringLiteral("5004"), QStringLiteral("Hide Menu")));
    }
    LayoutAddressRow(f);
}

void LayoutAddressRow(frmExplorer& f)
{
    if (f.DisplayFlags[DisplayTopBar] == 0)
        return;
    f.trace("LayoutAddressRow");
    auto& N = f.cmdWBControl;
    auto& P = f.SkinPiece;
    auto& holder = f.PicHolder[picholder::AddressRow];
    const double W = N[navbutton::Favorites].width();
    double x = 0;
    if (f.DisplayFlags[DisplayMenuRow] == 0) {
        P[skinpiece::MenuStrip].setVisible(false);
        P[skinpiece::MenuStripEnd].setVisible(false);
        x = P[skinpiece::TopLeft].width();
    } else {
        P[skinpiece::MenuStrip].setVisible(true);
        P[skinpiece::MenuStripEnd].setVisible(true);
        x = P[skinpiece::MenuStripEnd].left() + P[skinpiece::MenuStripEnd].width();
    }
    // Favorites to Stop side by side, then Refresh, with Up in its place.
    for (int k = navbutton::Favorites; k <= navbutton::Stop; ++k)
        N[k].setLeft(x + k * W);
    N[navbutton::Refresh].setLeft(x + 5 * W);
    N[navbutton::Up].setLeft(x + 5 * W);
    holder.setLeft(N[navbutton::Refresh].left() + W + 100 * TwipsScale);

    const double avail = N[navbutton::Go].left() - 100 * TwipsScale - holder.left();
    if (avail <= 225) {
        holder.setVisible(false);
        return;
    }
    holder.setVisible(true);
    holder.setWidth(avail);

    auto& arrow = f.ImageBox[imagebox::DropDownArrow];
    arrow.setLeft(holder.width() - arrow.width());
    auto& box = f.WBTextBox[wbtextbox::Address];
    const double boxW = arrow.left() - box.left();
    if (boxW <= 200) {
        box.setVisible(false);
        return;
    }
    box.setWidth(boxW);
    box.setVisible(true);
    f.services().Lists().SetAddressDropDownColumnWidth(static_cast<float>(holder.width() - 200 * TwipsScale));
}

void ShowTextColorBar(frmExplorer& f)
{
    f.trace("ShowTextColorBar");
    auto& bar = f.ImageBox[imagebox::ColourBar];
    const double s119 = SkinNumber(119);
    const double s147 = SkinNumber(147);
    const double s148 = SkinNumber(148);
    if (f.DisplayFlags[DisplayColorBar] != 0)
        bar.move(f.ImageBox[imagebox::ProgressBand].left() - bar.width() - s148, f.SkinPiece[skinpiece::Bottom].top() + s147);
    bar.setVisible(true);
    bar.zOrder(0);
    f.WBTextBox[wbtextbox::Status].setWidth(NonNegative(f.ImageBox[imagebox::ProgressBand].left() - s148 - bar.width() - s119 - 120));
}

void HideTextColorBar(frmExplorer& f)
{
    f.trace("HideTextColorBar");
    f.ImageBox[imagebox::ColourBar].setVisible(false);
    f.WBTextBox[wbtextbox::Status].setWidth(NonNegative(f.ImageBox[imagebox::ProgressBand].left() - SkinNumber(148) - SkinNumber(119) - 120));
}
