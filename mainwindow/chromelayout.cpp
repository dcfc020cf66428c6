#include "mainwindow/chromelayout.h"

#include "core/globals.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/mediatoolbarlayout.h"
#include "mainwindow/menubarlayout.h"
#include "mainwindow/skinpictures.h"
#include "mainwindow/skinvalues.h"

namespace {

// By button index (navbutton, quickbutton).
constexpr int16_t kNavBase[10] = {skinpic::Favorites, skinpic::History, skinpic::Back,      skinpic::Forward,
                                  skinpic::Stop,      skinpic::Refresh, skinpic::Go,        skinpic::TabNumberBox,
                                  skinpic::TabList,   skinpic::UpOneLevel};
constexpr int16_t kAppBase[9] = {skinpic::HelpMenu,     skinpic::MyFolder,    skinpic::Mail,
                                 skinpic::StartPage,    skinpic::SearchPage,  skinpic::CloseTabMenu,
                                 skinpic::GoToTabMenu,  skinpic::NextTab,     skinpic::PreviousTab};

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
    f.PicHolder[picholder::AddressRow].setVisible(visible);
    f.WBTextBox[wbtextbox::TabNumber].setVisible(visible);
    f.cmdShowHide[showhide::MenuRow].setVisible(visible);
    for (int i = 0; i <= navbutton::Last; ++i)
        f.cmdWBControl[i].setVisible(visible);
    for (int i = 0; i <= formbutton::Last; ++i)
        f.cmdFormControl[i].setVisible(visible);
    // The captions belong to the Menu row too: a hidden row keeps them hidden.
    const bool captions = visible && f.DisplayFlags[DisplayMenuRow] != 0;
    for (int i = 0; i <= menucaption::Last; ++i)
        f.cmdMenu[i].setVisible(captions);
}

void SetBottomBarButtonsVisible(frmExplorer& f, bool visible)
{
    for (int i = 0; i <= quickbutton::LastQuickList; ++i)
        f.cmdAppOpt[i].setVisible(visible);
    f.cmdShowHide[showhide::MediaRow].setVisible(visible);
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
    setPiecePicture(f, 5, skinpic::RightEdge);
    setPiecePicture(f, 7, skinpic::LeftEdge);
    if (!topBar) {
        setPiecePicture(f, 0, skinpic::TopLeftTopBarHidden);
        setPiecePicture(f, 1, skinpic::TopRightTopBarHidden);
        setPiecePicture(f, 4, skinpic::TopEdgeTopBarHidden);
    } else if (menuRow) {
        setPiecePicture(f, 0, skinpic::TopLeftMenuShown);
        setPiecePicture(f, 1, skinpic::TopRight);
        setPiecePicture(f, 4, skinpic::TopEdge);
        setPiecePicture(f, 8, skinpic::MenuStrip);
        setPiecePicture(f, 9, skinpic::MenuStripEnd);
    } else {
        setPiecePicture(f, 0, skinpic::TopLeftMenuHidden);
        setPiecePicture(f, 1, skinpic::TopRight);
        setPiecePicture(f, 4, skinpic::TopEdge);
    }
    if (!bottomBar) {
        setPiecePicture(f, 2, skinpic::BottomRightBottomBarHidden);
        setPiecePicture(f, 6, skinpic::BottomEdgeBottomBarHidden);
        setPiecePicture(f, 3, skinpic::BottomLeftBottomBarHidden);
    } else {
        setPiecePicture(f, 2, skinpic::BottomRight);
        setPiecePicture(f, 6, skinpic::BottomEdge);
        setPiecePicture(f, 3, mediaRow ? skinpic::BottomLeftMediaRowShown : skinpic::BottomLeftMediaRowHidden);
    }

    // 2. Frame geometry.
    P[skinpiece::Top].setHeight(P[skinpiece::TopRight].height());
    P[skinpiece::MenuStrip].setHeight(P[skinpiece::TopRight].height());
    P[skinpiece::Bottom].setHeight(P[skinpiece::BottomLeft].height());
    P[skinpiece::TopRight].setLeft(SW - P[skinpiece::TopRight].width());
    P[skinpiece::BottomRight].setTop(SH - P[skinpiece::BottomRight].height());
    P[skinpiece::BottomRight].setLeft(SW - P[skinpiece::BottomRight].width());
    P[skinpiece::BottomLeft].setTop(SH - P[skinpiece::BottomLeft].height());
    P[skinpiece::Top].setLeft(0);
    P[skinpiece::Top].setWidth(NonNegative(P[skinpiece::TopRight].left()));
    P[skinpiece::Right].setTop(P[skinpiece::TopRight].height());
    P[skinpiece::Right].setHeight(
        NonNegative(SH - (P[skinpiece::TopRight].height() + P[skinpiece::BottomRight].height())));
    P[skinpiece::Right].setLeft(SW - P[skinpiece::Right].width());
    P[skinpiece::Bottom].setTop(SH - P[skinpiece::Bottom].height());
    P[skinpiece::Bottom].setLeft(0);
    P[skinpiece::Bottom].setWidth(NonNegative(P[skinpiece::BottomRight].left()));
    P[skinpiece::Left].setLeft(0);
    P[skinpiece::Left].setTop(P[skinpiece::TopLeft].height());
    P[skinpiece::Left].setHeight(NonNegative(SH - (P[skinpiece::TopLeft].height() + P[skinpiece::BottomLeft].height())));
    P[skinpiece::MenuStrip].setLeft(P[skinpiece::TopLeft].width());
    double menuWidth = 0;
    for (int i = 0; i <= menucaption::Last; ++i)
        menuWidth += f.cmdMenu[i].width();
    P[skinpiece::MenuStrip].setWidth(NonNegative(menuWidth));
    P[skinpiece::MenuStripEnd].setLeft(P[skinpiece::MenuStrip].left() + P[skinpiece::MenuStrip].width());

    // 3. Show/hide buttons.
    auto& S = f.cmdShowHide;
    S[showhide::SidePane].setTop((SH - S[showhide::SidePane].height()) / 2);
    S[showhide::BottomBar].setLeft((SW - S[showhide::BottomBar].width()) / 2);
    S[showhide::BottomBar].setTop(SH - S[showhide::BottomBar].height());
    S[showhide::TopBar].setLeft((SW - S[showhide::TopBar].width()) / 2);
    S[showhide::TopBar].setTop(0);
    S[showhide::MenuRow].move(SkinTwips(106), SkinTwips(130));
    S[showhide::MediaRow].move(SkinTwips(110), P[skinpiece::Bottom].top() + SkinTwips(138));

    // 4. Menu captions, edge to edge.
    const float captionTop = SkinTwips(156);
    f.cmdMenu[menucaption::File].move(SkinNumber(155), captionTop);
    for (int i = 1; i <= menucaption::Last; ++i)
        f.cmdMenu[i].move(f.cmdMenu[i - 1].left() + f.cmdMenu[i - 1].width(), captionTop);
    f.cmdMenu[menucaption::File].setHeight(NonNegative(P[skinpiece::Top].height() - captionTop));
    for (int i = 1; i <= menucaption::Last; ++i)
        f.cmdMenu[i].setHeight(f.cmdMenu[menucaption::File].height());

    // 5. Top Bar.
    if (!topBar) {
        SetTopBarButtonsVisible(f, false);
        S[showhide::TopBar].setVisible(true);
        P[skinpiece::MenuStrip].setVisible(false);
        P[skinpiece::MenuStripEnd].setVisible(false);
    } else {
        SetTopBarButtonsVisible(f, true);
        S[showhide::TopBar].setVisible(false);
        // 5a. Caption buttons.
        const double B = f.cmdFormControl[formbutton::Move].width();
        const double X = P[skinpiece::TopRight].left() + SkinTwips(115);
        const float buttonTop = SkinTwips(108);
        for (int k = 0; k <= formbutton::Last; ++k)
            f.cmdFormControl[k].move(X + k * B, buttonTop);
        // 5b. Navigation buttons, the right-hand three from the right.
        for (int k = 0; k <= navbutton::Last; ++k)
            f.cmdWBControl[k].setTop(buttonTop);
        f.PicHolder[picholder::AddressRow].setTop(SkinTwips(146));
        auto& N = f.cmdWBControl;
        N[navbutton::TabList].setLeft(P[skinpiece::TopRight].left() - 60 * TwipsScale - N[navbutton::TabList].width());
        N[navbutton::TabNumber].setLeft(N[navbutton::TabList].left() - N[navbutton::TabNumber].width());
        N[navbutton::Go].setLeft(N[navbutton::TabNumber].left() - N[navbutton::Go].width());
        // 5c. The tab number box inside its picture.
        f.WBTextBox[wbtextbox::TabNumber].move(N[navbutton::TabNumber].left() + 30 * TwipsScale, SkinTwips(129), NonNegative(N[navbutton::TabNumber].width() - 60 * TwipsScale),
                            NonNegative(SkinTwips(137)));
    }

    // 6. Bottom Bar: the quick-launch row, right to left.
    auto& A = f.cmdAppOpt;
    if (!bottomBar) {
        SetBottomBarButtonsVisible(f, false);
        S[showhide::BottomBar].setVisible(true);
    } else {
        SetBottomBarButtonsVisible(f, true);
        S[showhide::BottomBar].setVisible(false);
        const double T0 = P[skinpiece::Bottom].top() + SkinTwips(143);
        const float G = SkinNumber(126);
        const double W1 = A[quickbutton::MyFolder].width();
        A[quickbutton::Help].move(SW - A[quickbutton::Help].width() - G, T0 + (SH - T0 - A[quickbutton::Help].height()) / 2);
        const double top1 = T0 + (SH - T0 - A[quickbutton::MyFolder].height()) / 2;
        A[quickbutton::MyFolder].move(A[quickbutton::Help].left() - W1 - G, top1);
        for (int k = 2; k <= quickbutton::LastQuickList; ++k)
            A[k].move(A[k - 1].left() - W1, top1);
    }

    // 7. The right-hand group of the bottom edge, right to left: the tab
    // menus, next tab, the close-tab button, previous tab, then the band
    // that holds the progress bar.
    {
        const double X = SW - A[quickbutton::CloseTabMenu].width() - 120 * TwipsScale;
        const double T = P[skinpiece::Bottom].top() + SkinTwips(150);
        f.cmdCloseTab->move(f.cmdCloseTab->left(), std::nullopt, A[quickbutton::NextTab].width(), A[quickbutton::NextTab].height());
        A[quickbutton::CloseTabMenu].move(X, T);
        A[quickbutton::GoToTabMenu].move(A[quickbutton::CloseTabMenu].left() - A[quickbutton::GoToTabMenu].width(), T);
        A[quickbutton::NextTab].move(A[quickbutton::GoToTabMenu].left() - A[quickbutton::NextTab].width(), T);
        f.cmdCloseTab->move(A[quickbutton::NextTab].left() - f.cmdCloseTab->width(), T);
        A[quickbutton::PreviousTab].move(f.cmdCloseTab->left() - A[quickbutton::PreviousTab].width(), T);
        auto& band = f.ImageBox[imagebox::ProgressBand];
        band.move(A[quickbutton::PreviousTab].left() - f.ProgressBandWidth, T);
        band.setWidth(NonNegative(f.ProgressBandWidth - 240 * TwipsScale));
        band.setTop(P[skinpiece::Bottom].top() + SkinTwips(152));
        f.WBProgressBar->move(band.left(), band.top(), band.width(), band.height());
    }

    // 8. The colour bar.
    auto& colorBar = f.ImageBox[imagebox::ColourBar];
    if (f.DisplayFlags[DisplayColorBar] != 0)
        colorBar.move(f.ImageBox[imagebox::ProgressBand].left() - colorBar.width() - SkinNumber(148), P[skinpiece::Bottom].top() + SkinNumber(147));

    // 9. The info strip along the bottom edge, the tab button and the busy picture.
    {
        auto& strip = f.ImageBox[imagebox::TabStrip];
        const double T0 = P[skinpiece::Bottom].top() - strip.height();
        const double IW = NonNegative(SW - P[skinpiece::Left].width() - P[skinpiece::Right].width());
        strip.move(P[skinpiece::Left].width(), T0, IW);
        auto& count = f.APPLabel[applabel::TabCount];
        count.move(strip.left() + IW - count.width(), T0 + 50 * TwipsScale);
        f.cmdTabNum[0].move(strip.left(), T0);
        f.ImageBox[imagebox::Busy].move(SkinNumber(117), P[skinpiece::BottomLeft].top() + SkinNumber(118));
    }

    // 10. The status line.
    {
        auto& status = f.WBTextBox[wbtextbox::Status];
        const double left = SkinNumber(119);
        const double right = f.DisplayFlags[DisplayColorBar] != 0 ? colorBar.left() : f.ImageBox[imagebox::ProgressBand].left();
        const double room = right - 120 * TwipsScale - left;
        if (room >= 1500) {
            status.move(left, P[skinpiece::Bottom].top() + SkinNumber(120), room);
            status.setVisible(true);
        } else {
            status.setVisible(false);
        }
        f.APPLabel[applabel::Delay].setWidth(f.ImageBox[imagebox::DelayDisplay].width());
    }
}
