#include "mainwindow/apptimers.h"

#include "core/cleanup.h"
#include "core/globals.h"
#include "core/settingsstore.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/hovertracking.h"
#include "mainwindow/menubarpopups.h"
#include "contracts/services.h"
#include "mainwindow/shortcuts.h"
#include "platform/base/commandline.h"
#include "platform/base/vbrt.h"

#include <QCoreApplication>

#include <cmath>

namespace {

void unloadWhenClosing(frmExplorer& f)
{
    if (CloseRequested != 0)
        f.unload();
}

// The typed addresses ("url1", "url2", ... up to the first missing one) and
// the visited ones, offered while the address is typed.
void EnableAddressAutoComplete(frmExplorer& f)
{
    constexpr int kMaxOffered = 1000;
    QStringList items;
    for (int n = 1; n <= kMaxOffered; ++n) {
        const QString url = ReadTypedUrl(QStringLiteral("url") + QString::number(n));
        if (url.isEmpty())
            break;
        items << url;
    }
    int32_t count = 0;
    for (const QString& url : ListVisitedHistory(false, true, count)) {
        if (items.size() >= kMaxOffered)
            break;
        if (!items.contains(url))
            items << url;
    }
    f.WBTextBox[wbtextbox::Address].setCompletions(items);
}

void firstTick(frmExplorer& f)
{
    f.services().Tabs().SetTabStateRecord(0, QStringLiteral("0|1|0|0|0|-1"));
    f.services().Tabs().OpenWB_StartPage(vb::trim(platform::commandline::text()).isEmpty() ? 2 : 1);
    // The window itself: activation comes late on this desktop, and the
    // active window at this tick may be none.
    f.MainHwnd = reinterpret_cast<quintptr>(f.window());
    f.services().Menus().SetButtonTooltips();
    if (f.GeneralOptionBytes[OptUseTxtAutoComplete] == 1)
        EnableAddressAutoComplete(f);
    f.TimerStage = 9;
}

void PollSingleInstanceHandOff(frmExplorer& f)
{
    if (f.GeneralOptionBytes[OptRunOneInstanceOnly] != 1)
        return;
    if (++f.TickCounter >= 10) {
        f.services().Tabs().ReadHandOffFiles();
        f.TickCounter = 0;
    }
}

void OpenPendingUrl(frmExplorer& f)
{
    if (f.PendingUrl.isEmpty())
        return;
    const QString folder = f.PendingUrl;
    f.PendingUrl.clear();
    f.services().Lists().OpenGroupFolder(2, folder);
}

void housekeeping(frmExplorer& f)
{
    f.Input().PollHotKeys();
    // A key may have closed the window: nothing more opens or loads.
    if (CloseRequested != 0) {
        unloadWhenClosing(f);
        return;
    }
    PollSingleInstanceHandOff(f);
    OpenPendingUrl(f);
    f.services().Tabs().CloseDuplicatePopupTabs();
    f.services().Tabs().RefreshDownloadStatusFrames();
    f.services().Tabs().FixScrollOfCurrentPage();
    unloadWhenClosing(f);
}

void WatchMenuBarPopup(frmExplorer& f)
{
    if (f.services().Menus().SubClassStatus())
        RollOverMenuBar(f);
    else
        EndMenuBarMode(f);
    unloadWhenClosing(f);
}

void playerTick(frmExplorer& f)
{
    const bool audio = f.ListPlayState[1] == 2;
    const bool video = f.ListPlayState[2] == 2;
    if (!audio && !video)
        return;
    if (!f.PositionKnobGlide && f.ButtonReleased != 0)
        f.services().Media().MediaTimerTick(f.CurrentListKind);
    if (audio && f.CurrentListKind != 1 && f.services().Media().IsAudioStopped())
        f.services().Media().OnAudioItemEnded();
    if (video && f.CurrentListKind != 2 && f.services().Media().IsVideoStopped())
        f.services().Media().OnVideoItemEnded();
}

void slideShowTick(frmExplorer& f, int k)
{
    if (auto* t = f.AppTimer.at(k))
        t->setEnabled(false);
    if (k == 3)
        QCoreApplication::processEvents();
    if (f.ListPlayState[k] != 2)
        return;
    f.ListCurrentItem[k] += 1;
    if (k == 3) {
        // One image, or the next page of them.
        if (f.ImagesPerView < 2)
            f.services().Lists().NextImageListItem();
        else
            f.services().Lists().ShowImageListItem();
    } else if (k == 4) {
        f.services().Lists().ShowSnippetListItem();
    } else {
        f.services().Lists().ShowLinkListItem();
    }
}

} // namespace

void AppTimer_Timer(frmExplorer& f, int index)
{
    if (index != apptimer::Housekeeping) {
        if (index == apptimer::Media)
            playerTick(f);
        else if (index >= apptimer::ImageShow && index <= apptimer::LinkShow)
            slideShowTick(f, index);
        return;
    }
    // A tick that comes while an earlier one waits in a prompt or a menu
    // does nothing: the routines it would run are still running.
    const auto running = f.TickRunning.tryHold();
    if (!running)
        return;
    switch (f.TimerStage) {
    case 0: firstTick(f); break;
    case 1: WatchMenuBarPopup(f); break;
    case 2:
        f.TimerStage = 9;
        f.services().Lists().ShowCurrentList();
        break;
    case 9: housekeeping(f); break;
    default: break;
    }
}

void SetAutoAdvanceDelay(frmExplorer& f, int16_t kind)
{
    if (kind < 3 || kind > 5)
        return;
    float delay = static_cast<float>(vb::val(f.APPLabel[applabel::Delay].caption()));
    if (!std::isfinite(delay) || delay < 0)
        delay = 0;
    if (delay == 0)
        delay = 0.055f;
    const double ms = std::min(vb::roundHalfEven(delay * 1000.0), 2147483647.0);
    if (auto* t = f.AppTimer.at(kind))
        t->setInterval(static_cast<int>(ms));
    f.ListDelayTime[kind] = delay;
}
