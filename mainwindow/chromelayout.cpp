#include "mainwindow/chromelayout.h"

#include "core/globals.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/mediatoolbarlayout.h"
#include "mainwindow/menubarlayout.h"
#include "mainwindow/skinvalues.h"

namespace {

constexpr int16_t kNavBase[10] = {185, 188, 171, 175, 179, 182, 194, 129, 197, 191};
constexpr int16_t kAppBase[9] = {267, 270, 273, 276, 264, 403, 406, 393, 390};

using platform::forms::Image;

// A piece of the frame gets its picture at the picture's size; the table
// below then stretches the pieces that run along an edge.
void setPiecePicture(frmExplorer& f, int index, int16_t id)
{
    SetStretchedPicture(f.SkinPiece[index], id);
}

} // namespace

int16_t NavButtonBase(int index)
{
    return index >= 0 && index < 10 ? kNavBase[index] : 0;
}

int16_t AppButtonBase(int index)
{
    return index >= 0 && index < 9 ? kAppBase[index] : 0;
}

void SetNavButtonPicture(frmExplorer& f, int16_t index, int16_t state)
{
    if (Image* b = f.cmdWBControl.at(index); b && NavButtonBase(index))
        SetSkinPicture(*b, static_cast<int16_t>(NavButtonBase(index) + state));
}

void SetAppButtonPicture(frmExplorer& f, int16_t index, int16_t state)
{
    if (Image* b = f.cmdAppOpt.at(index); b && AppButtonBase(index))
        SetSkinPicture(*b, static_cast<int16_t>(AppButtonBase(index) + state));
}

void SetTopBarButtonsVisible(frmExplorer& f, bool visible)
{
    f.PicHolder[1].setVisible(visible);
    f.WBTextBox[2].setVisible(visible);
    f.cmdShowHide[3].setVisible(visible);
    for (int i = 0; i <= 9; ++i)
        f.cmdWBControl[i].setVisible(visible);
    for (int i = 0; i <= 3; ++i)
        f.cmdFormControl[i].setVisible(visible);
    // The captions belong to the Menu row too: a hidden row keeps them hidden.
    const bool captions = visible && f.DisplayFlags[DisplayMenuRow] != 0;
    for (int i = 0; i <= 4; ++i)
        f.cmdMenu[i].setVisible(captions);
}

void SetBottomBarButtonsVisible(frmExplorer& f, bool visible)
{
    for (int i = 0; i <= 4; ++i)
        f.cmdAppOpt[i].setVisible(visible);
    f.cmdShowHide[4].setVisible(visible);
}

void ApplyMenuBarStates(frmExplorer& f)
{
    f.trace("ApplyMenuBarStates");
    LayoutMenuBar(f);
    LayoutMediaControlCenter(f);
}

void ApplySkinLayout(frmExplorer& f)
{
    f.trace("ApplySkinLayout");
    const bool topBar = f.DisplayFlags[DisplayTopBar] != 0;
    const bool bottomBar = f.DisplayFlags[DisplayBottomBar] != 0;
    const bool menuRow = f.DisplayFlags[DisplayMenuRow] != 0;
    const bool mediaRow = f.DisplayFlags[DisplayMediaRow] != 0;
    const double SW = f.scaleWidth();
    const double SH = f.scaleHeight();
    auto& P = f.SkinPiece;

    // 1. Frame pictures for the bars shown.
    setPiecePicture(f, 5, 119);
    setPiecePicture(f, 7, 122);
    if (!topBar) {
        setPiecePicture(f, 0, 109);
        setPiecePicture(f, 1, 111);
        setPiecePicture(f, 4, 118);
    } else if (menuRow) {
        setPiecePicture(f, 0, 104);
        setPiecePicture(f, 1, 110);
        setPiecePicture(f, 4, 117);
        setPiecePicture(f, 8, 105);
        setPiecePicture(f, 9, 106);
    } else {
        setPiecePicture(f, 0, 108);
        setPiecePicture(f, 1, 110);
        setPiecePicture(f, 4, 117);
    }
    if (!bottomBar) {
        setPiecePicture(f, 2, 113);
        setPiecePicture(f, 6, 121);
        setPiecePicture(f, 3, 116);
    } else {
        setPiecePicture(f, 2, 112);
        setPiecePicture(f, 6, 120);
        setPiecePicture(f, 3, mediaRow ? 114 : 115);
    }

    // 2. Frame geometry.
    P[4].setHeight(P[1].height());
    P[8].setHeight(P[1].height());
    P[6].setHeight(P[3].height());
    P[1].setLeft(SW - P[1].width());
    P[2].setTop(SH - P[2].height());
    P[2].setLeft(SW - P[2].width());
    P[3].setTop(SH - P[3].height());
    P[4].setLeft(0);
    P[4].setWidth(NonNegative(P[1].left()));
    P[5].setTop(P[1].height());
    P[5].setHeight(NonNegative(SH - (P[1].height() + P[2].height())));
    P[5].setLeft(SW - P[5].width());
    P[6].setTop(SH - P[6].height());
    P[6].setLeft(0);
    P[6].setWidth(NonNegative(P[2].left()));
    P[7].setLeft(0);
    P[7].setTop(P[0].height());
    P[7].setHeight(NonNegative(SH - (P[0].height() + P[3].height())));
    P[8].setLeft(P[0].width());
    double menuWidth = 0;
    for (int i = 0; i <= 4; ++i)
        menuWidth += f.cmdMenu[i].width();
    P[8].setWidth(NonNegative(menuWidth));
    P[9].setLeft(P[8].left() + P[8].width());

    // 3. Show/hide buttons.
    auto& S = f.cmdShowHide;
    S[0].setTop((SH - S[0].height()) / 2);
    S[2].setLeft((SW - S[2].width()) / 2);
    S[2].setTop(SH - S[2].height());
    S[1].setLeft((SW - S[1].width()) / 2);
    S[1].setTop(0);
    S[3].move(SkinTwips(106), SkinTwips(130));
    S[4].move(SkinTwips(110), P[6].top() + SkinTwips(138));

    // 4. Menu captions, edge to edge.
    const float captionTop = SkinTwips(156);
    f.cmdMenu[0].move(SkinNumber(155), captionTop);
    for (int i = 1; i <= 4; ++i)
        f.cmdMenu[i].move(f.cmdMenu[i - 1].left() + f.cmdMenu[i - 1].width(), captionTop);
    f.cmdMenu[0].setHeight(NonNegative(P[4].height() - captionTop));
    for (int i = 1; i <= 4; ++i)
        f.cmdMenu[i].setHeight(f.cmdMenu[0].height());

    // 5. Top Bar.
    if (!topBar) {
        SetTopBarButtonsVisible(f, false);
        S[1].setVisible(true);
        P[8].setVisible(false);
        P[9].setVisible(false);
    } else {
        SetTopBarButtonsVisible(f, true);
        S[1].setVisible(false);
        // 5a. Caption buttons.
        const double B = f.cmdFormControl[0].width();
        const double X = P[1].left() + SkinTwips(115);
        const float buttonTop = SkinTwips(108);
        for (int k = 0; k <= 3; ++k)
            f.cmdFormControl[k].move(X + k * B, buttonTop);
        // 5b. Navigation buttons, the right-hand three from the right.
        for (int k = 0; k <= 9; ++k)
            f.cmdWBControl[k].setTop(buttonTop);
        f.PicHolder[1].setTop(SkinTwips(146));
        auto& N = f.cmdWBControl;
        N[8].setLeft(P[1].left() - 60 * TwipsScale - N[8].width());
        N[7].setLeft(N[8].left() - N[7].width());
        N[6].setLeft(N[7].left() - N[6].width());
        // 5c. The tab number box inside its picture.
        f.WBTextBox[2].move(N[7].left() + 30 * TwipsScale, SkinTwips(129), NonNegative(N[7].width() - 60 * TwipsScale),
                            NonNegative(SkinTwips(137)));
    }

    // 6. Bottom Bar: the quick-launch row, right to left.
    auto& A = f.cmdAppOpt;
    if (!bottomBar) {
        SetBottomBarButtonsVisible(f, false);
        S[2].setVisible(true);
    } else {
        SetBottomBarButtonsVisible(f, true);
        S[2].setVisible(false);
        const double T0 = P[6].top() + SkinTwips(143);
        const float G = SkinNumber(126);
        const double W1 = A[1].width();
        A[0].move(SW - A[0].width() - G, T0 + (SH - T0 - A[0].height()) / 2);
        const double top1 = T0 + (SH - T0 - A[1].height()) / 2;
        A[1].move(A[0].left() - W1 - G, top1);
        for (int k = 2; k <= 4; ++k)
            A[k].move(A[k - 1].left() - W1, top1);
    }

    // 7. The right-hand group of the bottom edge, right to left: the tab
    // menus, next tab, the close-tab button, previous tab, then the band
    // that holds the progress bar.
    {
        const double X = SW - A[5].width() - 120 * TwipsScale;
        const double T = P[6].top() + SkinTwips(150);
        f.cmdCloseTab->move(f.cmdCloseTab->left(), std::nullopt, A[7].width(), A[7].height());
        A[5].move(X, T);
        A[6].move(A[5].left() - A[6].width(), T);
        A[7].move(A[6].left() - A[7].width(), T);
        f.cmdCloseTab->move(A[7].left() - f.cmdCloseTab->width(), T);
        A[8].move(f.cmdCloseTab->left() - A[8].width(), T);
        auto& band = f.ImageBox[6];
        band.move(A[8].left() - f.ProgressBandWidth, T);
        band.setWidth(NonNegative(f.ProgressBandWidth - 240 * TwipsScale));
        band.setTop(P[6].top() + SkinTwips(152));
        f.WBProgressBar->move(band.left(), band.top(), band.width(), band.height());
    }

    // 8. The colour bar.
    auto& colorBar = f.ImageBox[7];
    if (f.DisplayFlags[DisplayColorBar] != 0)
        colorBar.move(f.ImageBox[6].left() - colorBar.width() - SkinNumber(148), P[6].top() + SkinNumber(147));

    // 9. The info strip along the bottom edge, the tab button and the busy picture.
    {
        auto& strip = f.ImageBox[8];
        const double T0 = P[6].top() - strip.height();
        const double IW = NonNegative(SW - P[7].width() - P[5].width());
        strip.move(P[7].width(), T0, IW);
        auto& count = f.APPLabel[3];
        count.move(strip.left() + IW - count.width(), T0 + 50 * TwipsScale);
        f.cmdTabNum[0].move(strip.left(), T0);
        f.ImageBox[0].move(SkinNumber(117), P[3].top() + SkinNumber(118));
    }

    // 10. The status line.
    {
        auto& status = f.WBTextBox[1];
        const double left = SkinNumber(119);
        const double right = f.DisplayFlags[DisplayColorBar] != 0 ? colorBar.left() : f.ImageBox[6].left();
        const double room = right - 120 * TwipsScale - left;
        if (room >= 1500) {
            status.move(left, P[6].top() + SkinNumber(120), room);
            status.setVisible(true);
        } else {
            status.setVisible(false);
        }
        f.APPLabel[2].setWidth(f.ImageBox[1].width());
    }
}
