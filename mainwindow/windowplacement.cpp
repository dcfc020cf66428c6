#include "mainwindow/windowplacement.h"

#include "core/language.h"
#include "mainwindow/chromelayout.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/mediatoolbarlayout.h"
#include "contracts/services.h"
#include "mainwindow/skinpictures.h"
#include "mainwindow/skinvalues.h"
#include "platform/win/twips.h"
#include "platform/base/vbrt.h"
#include "platform/win/windowservices.h"

#include <QCoreApplication>
#include <QStringList>

#include <optional>
#include <utility>

namespace win = platform::windows;
using platform::forms::toTwipsX;
using platform::forms::toTwipsY;

void WindowPlacement::MaximizeRestoreWindow(bool maximize)
{
    QWidget* window = f.window();
    if (win::windowState(window) == win::StateMaximized)
        win::setWindowState(window, win::StateNormal);
    const QRect work = win::workArea(window);
    const QString section = QStringLiteral("TOOLBAR-FORMCONTROL");
    if (maximize) {
        QRect r = work;
        if (win::taskbarState() != win::TaskbarAlwaysOnTop) {
            // One pixel left free on the edge of an auto-hidden bar.
            if (win::autoHideBarOn(0))
                r.adjust(1, 0, 0, 0);
            if (win::autoHideBarOn(1))
                r.adjust(0, 1, 0, 0);
            if (win::autoHideBarOn(2))
                r.setWidth(r.width() - 1);
            if (win::autoHideBarOn(3))
                r = QRect(r.left(), r.top() - 1, r.width(), r.height() - 1);
        }
        f.move(toTwipsX(r.left()), toTwipsY(r.top()), toTwipsX(r.width()), toTwipsY(r.height()));
        SetSkinPicture(f.cmdFormControl[formbutton::Maximize], skinpic::RestoreDown);
        f.cmdFormControl[formbutton::Maximize].setToolTipText(GetLangCaption(section, QStringLiteral("3104"), QStringLiteral("Restore Down")));
        return;
    }
    const double Wt = vb::roundHalfEven(toTwipsX(work.width()));
    const double Ht = vb::roundHalfEven(toTwipsY(work.height()));
    double left = f.NormalWindowRect.Left;
    double top = f.NormalWindowRect.Top;
    double width = f.NormalWindowRect.Width;
    double height = f.NormalWindowRect.Height;
    const bool refused = width < f.MinFormWidth || height < f.MinFormHeight || (width >= Wt && height >= Ht)
                         || top > Ht - height || top < 0 || left < 0 || left > Wt - width;
    if (refused) {
        width = f.MinFormWidth;
        height = f.MinFormHeight;
        top = vb::roundHalfEven((Ht - height) / 2);
        left = vb::roundHalfEven((Wt - width) / 2);
        // On a work area smaller than the minimum window the caption stays
        // on it: the top at the area's top, the caption buttons (at the
        // right) at its right edge.
        if (top < 0)
            top = 0;
        if (left < 0)
            left = Wt - width;
    }
    f.move(left, top, width, height);
    SetSkinPicture(f.cmdFormControl[formbutton::Maximize], skinpic::Maximize);
    f.cmdFormControl[formbutton::Maximize].setToolTipText(GetLangCaption(section, QStringLiteral("3103"), QStringLiteral("Maximize")));
}

void WindowPlacement::SaveNormalWindowRect(bool fromWindow)
{
    WindowRectTwips& r = f.NormalWindowRect;
    if (fromWindow) {
        r.Left = static_cast<int32_t>(vb::roundHalfEven(f.left()));
        r.Top = static_cast<int32_t>(vb::roundHalfEven(f.top()));
        r.Width = static_cast<int32_t>(vb::roundHalfEven(f.width()));
        r.Height = static_cast<int32_t>(vb::roundHalfEven(f.height()));
        return;
    }
    r.Width = f.MinFormWidth;
    r.Height = f.MinFormHeight;
    r.Left = static_cast<int32_t>(vb::roundHalfEven((f.width() - f.MinFormWidth) / 2.0));
    r.Top = static_cast<int32_t>(vb::roundHalfEven((f.height() - f.MinFormHeight) / 2.0));
}

namespace {

// The information labels' geometry is kept in the Tags of APPLabel(0) to
// (3) while full screen is on: "left,top" then "width,height" of label 0,
// the same for label 1.
void keepLabelGeometry(frmExplorer& f)
{
    for (int i = 0; i <= 1; ++i) {
        const auto& label = f.APPLabel[i];
        f.APPLabel[2 * i].setTag(QStringLiteral("%1,%2").arg(label.left()).arg(label.top()));
        f.APPLabel[2 * i + 1].setTag(QStringLiteral("%1,%2").arg(label.width()).arg(label.height()));
    }
}

std::optional<std::pair<double, double>> parsePair(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2)
        return std::nullopt;
    bool ok1 = false;
    bool ok2 = false;
    const double a = parts[0].toDouble(&ok1);
    const double b = parts[1].toDouble(&ok2);
    if (!ok1 || !ok2)
        return std::nullopt;
    return std::make_pair(a, b);
}

// Puts the labels back where they were kept and forgets the kept values, so
// that leaving full screen a second time never moves them to nothing.
void restoreLabelGeometry(frmExplorer& f)
{
    for (int i = 0; i <= 1; ++i) {
        const auto position = parsePair(f.APPLabel[2 * i].tag());
        const auto size = parsePair(f.APPLabel[2 * i + 1].tag());
        if (position && size && size->first > 0 && size->second > 0)
            f.APPLabel[i].move(position->first, position->second, size->first, size->second);
        f.APPLabel[2 * i].setTag(QString());
        f.APPLabel[2 * i + 1].setTag(QString());
    }
}

void setFullScreenChromeVisible(frmExplorer& f, bool normal)
{
    if (f.cmdShowHide.exists(4))
        f.cmdShowHide[showhide::MediaRow].setVisible(normal);
    if (f.cmdMediaControl.exists(1))
        f.cmdMediaControl[1].setVisible(normal);
    for (int i = 0; i <= quickbutton::LastQuickList; ++i)
        if (f.cmdAppOpt.exists(i))
            f.cmdAppOpt[i].setVisible(normal);
    // The labels' full-screen look: opaque.
    for (int i = 0; i <= 1; ++i)
        f.APPLabel[i].setTransparent(normal);
    if (f.ImageBox.exists(9))
        f.ImageBox[imagebox::TimePanel].setVisible(!normal);
}

} // namespace

void WindowPlacement::ToggleFullScreen(int16_t mode)
{
    fullScreenMode_ = mode;
    QWidget* window = f.window();
    if (mode == 0) {
        MaximizeRestoreWindow(f.DisplayFlags[DisplayMaximised] != 0);
        // A work area as large as the screen gives no size change, so no
        // Resize event would take the page holder back off the chrome.
        f.Form_Resize();
        if (f.CurrentListKind >= 1)
            LayoutMediaToolbar(f, f.CurrentListKind);
        setFullScreenChromeVisible(f, true);
        restoreLabelGeometry(f);
        f.services().Media().RefreshMediaButtonPictures();
        f.services().Lists().SelectCurrentListItem();
        return;
    }
    SaveNormalWindowRect(true);
    const QRect screen = win::screenGeometry(window);
    f.Layout.LayoutLock.set(true);
    if (win::windowState(window) == win::StateMaximized)
        win::setWindowState(window, win::StateNormal);
    f.move(toTwipsX(screen.left()), toTwipsY(screen.top()), toTwipsX(screen.width()), toTwipsY(screen.height()));
    f.Layout.LayoutLock.set(false);
    QCoreApplication::processEvents();
    f.LockControl(true);
    keepLabelGeometry(f);
    ApplySkinLayout(f);
    if (f.CurrentListKind >= 1)
        LayoutMediaToolbar(f, f.CurrentListKind);
    setFullScreenChromeVisible(f, false);
    f.PicHolder[picholder::Body].move(-30, -30, f.width() + 60, f.height() + 60);
    f.Layout.SetSingleView();
    // The tab of the current list's viewer is the one shown.
    ITabsService& tabs = f.services().Tabs();
    int16_t shown = tabs.CurrentTab();
    const int kind = f.CurrentListKind;
    if (kind >= 1 && kind < static_cast<int>(f.ListViewerBrowser.size())) {
        const int16_t viewer = f.ListViewerBrowser[kind];
        if (viewer != -1) {
            if (const int16_t tab = tabs.TabOfBrowser(viewer); tab >= 0)
                shown = tab;
        } else if (shown >= 0 && shown < tabs.TabCount()) {
            f.ListViewerBrowser[kind] = tabs.TabBrowserMap(shown);
        }
    }
    tabs.SelectTab(shown);
    f.PicHolder[picholder::Body].zOrder(0);
    QCoreApplication::processEvents();
    f.LockControl(false);
}

void WindowPlacement::ToggleMaximized()
{
    if (f.DisplayFlags[DisplayMaximised] != 0) {
        f.DisplayFlags[DisplayMaximised] = 0;
        MaximizeRestoreWindow(false);
        return;
    }
    SaveNormalWindowRect(true);
    f.DisplayFlags[DisplayMaximised] = -1;
    MaximizeRestoreWindow(true);
}
