#include "mainwindow/menubarpopups.h"

#include "core/globals.h"
#include "mainwindow/bartoggles.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/hovertracking.h"
#include "contracts/services.h"
#include "mainwindow/skinvalues.h"
#include "mainwindow/windowplacement.h"
#include "platform/win/inputstate.h"
#include "platform/win/popupmenus.h"
#include "platform/win/twips.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {

// A roll-over waits for the open popup's loop to return.
bool rollOverPending = false;

} // namespace

void PaintTabButtonCaption(platform::forms::PictureBox& button, const QString& text, bool clearOnly)
{
    QString caption = text;
    if (!clearOnly && caption.isEmpty())
        caption = button.tag();
    button.setCentredText(caption);
    button.setTag(caption);
}

bool IsCursorOnControl(const platform::forms::Control& control)
{
    const QWidget* w = control.widget();
    if (!w || !w->isVisible())
        return false;
    const QPoint origin = w->mapToGlobal(QPoint(0, 0));
    const QPoint p = platform::inputstate::cursorPos();
    return p.x() >= origin.x() && p.x() <= origin.x() + w->width() && p.y() >= origin.y()
           && p.y() <= origin.y() + w->height();
}

void PressMenuBarCaption(frmExplorer& f, int index, int button, int shift)
{
    if (index < 0 || index > 4)
        return;
    f.ButtonReleased = 0;
    f.TimerStage = 1;
    f.OpenMenuIndex = static_cast<int16_t>(index);
    f.MenuBarActive = -1;
    f.cmdMenu[index].setForeColor(ColorFromSkinText(f.Hover().MenuCaptionOpenColor()));
    f.services().Menus().cmdMenu_MouseDown(static_cast<int16_t>(index), button, shift);
}

void RollOverMenuBar(frmExplorer& f)
{
    if (f.MenuBarActive == 0 || rollOverPending)
        return;
    if (f.OpenMenuIndex >= 0 && f.OpenMenuIndex < 5)
        f.cmdMenu[f.OpenMenuIndex].setForeColor(ColorFromSkinText(f.Hover().MenuCaptionColor()));
    for (int i = 0; i <= menucaption::Last; ++i) {
        if (i == f.OpenMenuIndex || !IsCursorOnControl(f.cmdMenu[i]))
            continue;
        // The open menu closes; the next one opens from the main loop, never
        // inside the loop of the one closing.
        rollOverPending = true;
        QPointer<QWidget> alive = f.window();
        platform::menus::whenMenuClosed([&f, i, alive] {
            QTimer::singleShot(0, qApp, [&f, i, alive] {
                rollOverPending = false;
                if (alive && CloseRequested == 0)
                    PressMenuBarCaption(f, i);
            });
        });
        platform::menus::endMenu();
        return;
    }
}

void EndMenuBarMode(frmExplorer& f)
{
    if (f.services().Menus().SubClassStatus() || rollOverPending)
        return;
    f.TimerStage = 9;
    // The menu side lets its image holder and last items go.
    f.services().Menus().EndMenuBarMode();
    f.MenuBarActive = 0;
    if (f.OpenMenuIndex >= 5)
        return;
    for (int i = 0; i <= menucaption::Last; ++i)
        f.cmdMenu[i].setForeColor(ColorFromSkinText(f.Hover().MenuCaptionColor()));
    f.SetMenuBarCaptions(false);
}

void HandleBrowserClick(frmExplorer& f, int code)
{
    f.ButtonReleased = 0;
    QCoreApplication::processEvents();
    if (!IsCursorOverControl(f, f.PicHolder[picholder::Body]))
        return;
    if (f.Layout.SplitterDragging || GroupOpening != 0)
        return;
    if (f.Placement().FullScreenMode() != 0) {
        ToggleInfoPanel(f);
        return;
    }
    ITabsService& tabs = f.services().Tabs();
    if (f.Layout.PaneCount() < 2) {
        tabs.SetUserClickState(static_cast<uint8_t>(code));
        return;
    }
    const QWidget* holder = f.PicHolder[picholder::Body].widget();
    const QPoint px = holder->mapFromGlobal(platform::inputstate::cursorPos());
    const double x = px.x() * static_cast<double>(platform::forms::twipsPerPixelX());
    const double y = px.y() * static_cast<double>(platform::forms::twipsPerPixelY());
    for (int i = 0; i < f.Layout.PaneCount() && i < f.Layout.PaneRects().size(); ++i) {
        const PaneRect& r = f.Layout.PaneRects()[i];
        if (x < r.Left || x > r.Left + r.Width || y < r.Top || y > r.Top + r.Height || r.Width <= 0)
            continue;
        if (tabs.CurrentTab() != i && i < tabs.TabCount())
            tabs.SelectTab(static_cast<int16_t>(i));
        tabs.SetUserClickState(static_cast<uint8_t>(code));
    }
}
