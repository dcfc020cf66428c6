#include "mainwindow/menubarlayout.h"

#include "core/globals.h"
#include "core/language.h"
#include "mainwindow/frmexplorer.h"
#include "contracts/services.h"
#include "mainwindow/skinvalues.h"

namespace {

const QString kTooltips = QStringLiteral("OTHERS-TOOLTIPTEXT");

} // namespace

void LayoutMenuBar(frmExplorer& f)
{
    f.trace("LayoutMenuBar");
    const bool topBar = f.DisplayFlags[DisplayTopBar] != 0;
    auto& showHide = f.cmdShowHide[3];
    if (f.DisplayFlags[DisplayMenuRow] == 0) {
        SetSkinPicture(f.SkinPiece[0], topBar ? 108 : 109);
        SetSkinPicture(showHide, 139);
        showHide.setToolTipText(GetLangCaption(kTooltips, QStringLiteral("5005"), QStringLiteral("Show Menu")));
    } else {
        if (topBar) {
            SetSkinPicture(f.SkinPiece[0], 104);
            SetSkinPicture(f.SkinPiece[8], 105);
            SetSkinPicture(f.SkinPiece[9], 106);
        } else {
            SetSkinPicture(f.SkinPiece[0], 109);
        }
        SetSkinPicture(showHide, 137);
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
    auto& holder = f.PicHolder[1];
    const double W = N[0].width();
    double x = 0;
    if (f.DisplayFlags[DisplayMenuRow] == 0) {
        P[8].setVisible(false);
        P[9].setVisible(false);
        x = P[0].width();
    } else {
        P[8].setVisible(true);
        P[9].setVisible(true);
        x = P[9].left() + P[9].width();
    }
    for (int k = 0; k <= 4; ++k)
        N[k].setLeft(x + k * W);
    N[5].setLeft(x + 5 * W);
    N[9].setLeft(x + 5 * W);
    holder.setLeft(N[5].left() + W + 100 * TwipsScale);

    const double avail = N[6].left() - 100 * TwipsScale - holder.left();
    if (avail <= 225) {
        holder.setVisible(false);
        return;
    }
    holder.setVisible(true);
    holder.setWidth(avail);

    auto& arrow = f.ImageBox[3];
    arrow.setLeft(holder.width() - arrow.width());
    auto& box = f.WBTextBox[0];
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
    auto& bar = f.ImageBox[7];
    const double s119 = SkinNumber(119);
    const double s147 = SkinNumber(147);
    const double s148 = SkinNumber(148);
    if (f.DisplayFlags[DisplayColorBar] != 0)
        bar.move(f.ImageBox[6].left() - bar.width() - s148, f.SkinPiece[6].top() + s147);
    bar.setVisible(true);
    bar.zOrder(0);
    f.WBTextBox[1].setWidth(NonNegative(f.ImageBox[6].left() - s148 - bar.width() - s119 - 120));
}

void HideTextColorBar(frmExplorer& f)
{
    f.trace("HideTextColorBar");
    f.ImageBox[7].setVisible(false);
    f.WBTextBox[1].setWidth(NonNegative(f.ImageBox[6].left() - SkinNumber(148) - SkinNumber(119) - 120));
}
