#include "browsing/tabstrip.h"

#include "browsing/tabbrowsing.h"
#include "core/language.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/hovertracking.h"
#include "mainwindow/menubarpopups.h"
#include "mainwindow/skinpictures.h"
#include "mainwindow/skinvalues.h"
#include "platform/win/threadhooks.h"

#include <algorithm>
#include <cmath>

namespace {

int16_t tabHoverCode(int index)
{
    return static_cast<int16_t>(3100 + index);
}

constexpr int16_t kCloseButtonHover = 1095;

} // namespace

TabStrip::TabStrip(frmExplorer& f, TabBrowsing& tabs) : f_(f), tabs_(tabs)
{
    // The pointer position the strip and the menu bar read comes from the
    // application's input filter.
    platform::threadhooks::ensureInputFilter();
    auto& ev = f_.cmdTabNum.events();
    ev.mouseDown = [this](int index, int button, int, double, double) { TabButtonDown(index, button); };
    ev.mouseMove = [this](int index, int, int, double, double) { TabButtonMove(index); };
    ev.mouseUp = [this](int index, int, int, double, double) { TabButtonUp(index); };
    ev.dblClick = [this](int index) { TabButtonDblClick(index); };
    auto& close = f_.cmdCloseTab->events();
    close.click = [this] { CloseButtonClick(); };
    close.mouseDown = [this](int, int, double, double) { CloseButtonDown(); };
    close.mouseMove = [this](int, int, double, double) { CloseButtonMove(); };
    close.mouseUp = [this](int, int, double, double) { CloseButtonUp(); };
}

TabStrip::~TabStrip()
{
    f_.cmdTabNum.events() = {};
    if (f_.cmdCloseTab)
        f_.cmdCloseTab->events() = {};
}

void TabStrip::LayoutTabStrip(LayoutRect& rect)
{
    platform::forms::Image& strip = f_.ImageBox[imagebox::TabStrip];
    const bool shown = f_.DisplayFlags[DisplayTabBar] != 0;
    strip.setVisible(shown);
    if (!shown) {
        for (int i : f_.cmdTabNum.indexes())
            f_.cmdTabNum[i].setVisible(false);
        return;
    }
    rect.Height -= static_cast<float>(strip.height());
    const double step = std::nearbyint(f_.cmdTabNum[0].width());
    const double room = std::nearbyint(strip.width()) - std::nearbyint(f_.APPLabel[applabel::TabCount].width());
    // A button without width fits nowhere: the previous fit stays.
    if (step >= 1)
        fit_ = std::max(0, static_cast<int>(room) / static_cast<int>(step));
    if (fit_ > f_.TabButtonsLoaded) {
        for (int i = f_.TabButtonsLoaded; i < fit_; ++i)
            f_.cmdTabNum.load(i);
        f_.TabButtonsLoaded = static_cast<int16_t>(fit_);
    }
    f_.TabButtonsShown = static_cast<int16_t>(std::min<int>(fit_, tabs_.model().TabCount()));
    for (int i : f_.cmdTabNum.indexes())
        f_.cmdTabNum[i].setVisible(i < f_.TabButtonsShown);
    double x = rect.Left;
    const double top0 = f_.cmdTabNum[0].top();
    for (int i = 1; i < fit_; ++i) {
        x += step;
        if (auto* b = f_.cmdTabNum.at(i))
            b->move(x, top0);
    }
    ClampOffset();
}

void TabStrip::ClampOffset()
{
    const int highest = std::max(0, tabs_.model().TabCount() - fit_);
    f_.TabButtonOffset = static_cast<int16_t>(std::clamp<int>(f_.TabButtonOffset, 0, highest));
}

void TabStrip::ScrollTabStripToCurrent()
{
    if (tabs_.model().CurrentTab() - f_.TabButtonOffset > fit_ - 1)
        f_.TabButtonOffset = static_cast<int16_t>(tabs_.model().CurrentTab() - (fit_ - 1));
    else if (tabs_.model().CurrentTab() < f_.TabButtonOffset)
        f_.TabButtonOffset = tabs_.model().CurrentTab();
    else if (f_.TabButtonOffset + fit_ > tabs_.model().TabCount() && tabs_.model().TabCount() >= fit_)
        f_.TabButtonOffset = static_cast<int16_t>(f_.TabButtonOffset - 1);
    ClampOffset();
}

void TabStrip::TabButtonDown(int index, int button)
{
    f_.ButtonReleased = 0;
    if (button != 1) {
        ShowTabMenu(index);
        return;
    }
    if (index + f_.TabButtonOffset == tabs_.model().CurrentTab())
        return;
    SetSkinPicture(f_.cmdTabNum[index], skinpic::TabButton + skinlook::Pressed);
    PaintTabButtonCaption(f_.cmdTabNum[index], QString(), false);
}

void TabStrip::TabButtonMove(int index)
{
    if (index + f_.TabButtonOffset == tabs_.model().CurrentTab() || f_.Hover().HoverElementId() == tabHoverCode(index))
        return;
    f_.Hover().Enter(tabHoverCode(index));
    SetSkinPicture(f_.cmdTabNum[index], skinpic::TabButton + skinlook::Hover);
    PaintTabButtonCaption(f_.cmdTabNum[index], QString(), false);
}

void TabStrip::TabButtonUp(int index)
{
    f_.ButtonReleased = -1;
    const int tab = index + f_.TabButtonOffset;
    if (tab == tabs_.model().CurrentTab() || tab >= tabs_.model().TabCount())
        return;
    SetSkinPicture(f_.cmdTabNum[index], skinpic::TabButton);
    PaintTabButtonCaption(f_.cmdTabNum[index], QString(), false);
    const int16_t b = tabs_.model().TabBrowserMap().value(tab, -1);
    for (int k = 2; k <= 5; ++k) {
        if (b == f_.ListViewerBrowser[k] && f_.CurrentListKind != k) {
            f_.CurrentListKind = static_cast<int16_t>(k);
            break;
        }
    }
    tabs_.GoToTab(tab);
}

void TabStrip::TabButtonDblClick(int index)
{
    const int tab = index + f_.TabButtonOffset;
    if (tab < tabs_.model().TabCount())
        tabs_.CloseTab(tab, false);
}

void TabStrip::CloseButtonClick()
{
    tabs_.CloseTab(tabs_.model().CurrentTab(), false);
}

void TabStrip::CloseButtonDown()
{
    f_.ButtonReleased = 0;
    SetSkinPicture(*f_.cmdCloseTab, skinpic::CloseTab + skinlook::Pressed);
    PaintTabButtonCaption(*f_.cmdCloseTab, QString(), false);
}

void TabStrip::CloseButtonMove()
{
    if (f_.Hover().HoverElementId() == kCloseButtonHover)
        return;
    f_.Hover().Enter(kCloseButtonHover);
    SetSkinPicture(*f_.cmdCloseTab, skinpic::CloseTab + skinlook::Hover);
    PaintTabButtonCaption(*f_.cmdCloseTab, QString(), false);
}

void TabStrip::CloseButtonUp()
{
    f_.ButtonReleased = -1;
    SetSkinPicture(*f_.cmdCloseTab, skinpic::CloseTab + skinlook::Hover);
    PaintTabButtonCaption(*f_.cmdCloseTab, QString(), false);
}

void TabStrip::ShowTabMenu(int index)
{
    const int tab = index + f_.TabButtonOffset;
    if (tab >= tabs_.model().TabCount())
        return;
    f_.TimerStage = 1;
    f_.OpenMenuIndex = 9;
    menuButton_ = index;
    // The tab is found again by its browser: tabs may close while the menu is open.
    const int browser = tabs_.model().TabBrowserMap().value(tab, -1);
    const platform::forms::PictureBox& button = f_.cmdTabNum[index];
    const auto l = static_cast<int>(button.left());
    const auto t = static_cast<int>(button.top());
    const auto r = static_cast<int>(button.left() + button.width());
    const auto bottom = static_cast<int>(button.top() + button.height());
    const QString key = f_.services().Menus().ShowTabMenu(l, t, r, bottom);
    if (!key.isEmpty())
        RunTabMenuCommand(key, browser);
}

void TabStrip::RunTabMenuCommand(const QString& key, int browser)
{
    const int tab = tabs_.TabOfBrowser(browser);
    if (tab < 0)
        return;
    if (key == QLatin1String("OPTION0"))
        tabs_.CloseTab(tab, false);
    else if (key == QLatin1String("OPTION1"))
        tabs_.ClearTabs(false, tab);
}
