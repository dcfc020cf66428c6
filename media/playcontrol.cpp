#include "media/playcontrol.h"

#include "contracts/services.h"
#include "core/globals.h"
#include "core/language.h"
#include "mainwindow/apptimers.h"
#include "mainwindow/frmexplorer.h"
#include "media/imageviewer.h"
#include "media/mediaengine.h"
#include "media/mediasliders.h"
#include "platform/win/listrows.h"

#include <QCoreApplication>

namespace {

void setListTimer(frmExplorer& f, int k, bool enabled)
{
    if (auto* t = f.AppTimer.at(k))
        t->setEnabled(enabled);
}

} // namespace

void PlayControl::refreshControls()
{
    m_.services.Tabs().ShowMediaStateStatus();
    m_.services.Media().UpdateTransportButtons();
    m_.services.Lists().UpdatePlaylistButtons();
}

bool PlayControl::reportUnopenedItem()
{
    QString& name = m_.engine->UnopenedItem;
    if (name.isEmpty())
        return false;
    m_.services.Tabs().SetStatusMessage(
        GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9080"), QStringLiteral("This item could not be opened:"))
            + QLatin1Char(' ') + name,
        -1, -1);
    name.clear();
    failureShown_ = true;
    return true;
}

void PlayControl::PlaySelectedItem(int16_t mode)
{
    frmExplorer& f = m_.f;
    const int16_t k = f.CurrentListKind;
    // One item at a time: nothing starts while an open waits.
    if (m_.engine->Opening())
        return;
    platform::forms::ListRows* rows = k >= 1 && k <= 6 ? m_.services.Lists().ListItems(k) : nullptr;
    if (k >= 1 && k <= 6) {
        f.ListItemCount[k] = rows ? rows->count() : 0;
        if (f.ListItemCount[k] == 0)
            return;
        if (rows && rows->currentRow() > 0)
            f.ListCurrentItem[k] = rows->currentRow();
        if (f.ListCurrentItem[k] < 1 || f.ListCurrentItem[k] > f.ListItemCount[k])
            f.ListCurrentItem[k] = 1;
        if (ListDownloadOptions[k].mid(1, 1) == QLatin1String("1") || k == 6) {
            m_.services.Downloads().StartListDownload(k, true, f.ListCurrentItem[k]);
            return;
        }
        if (mode == 0)
            f.ListPlayState[k] = 2;
    }
    ITabsService& tabs = m_.services.Tabs();
    const int16_t b = tabs.TabBrowserMap(tabs.CurrentTab());
    switch (k) {
    case 1: m_.engine->PlayAudioItem(); break;
    case 2: m_.engine->PlayVideoItem(); break;
    case 3:
    case 4:
    case 5:
        if (b == f.ListViewerBrowser[2])
            m_.engine->CloseVideoPlayer();
        SetAutoAdvanceDelay(f, k);
        if (k == 3) {
            if (b == f.ListViewerBrowser[4])
                PauseList(0, 4);
            if (b == f.ListViewerBrowser[5])
                PauseList(0, 5);
            playStep(3);
        } else if (k == 4) {
            if (b == f.ListViewerBrowser[3])
                m_.services.Media().StopImageList();
            if (b == f.ListViewerBrowser[5])
                PauseList(0, 5);
            f.ListViewerBrowser[4] = b;
            m_.services.Lists().ShowSnippetListItem();
            tabs.UpdateTabTitle(tabs.CurrentTab() - f.TabButtonOffset);
        } else {
            if (b == f.ListViewerBrowser[3])
                m_.services.Media().StopImageList();
            if (b == f.ListViewerBrowser[4])
                PauseList(0, 4);
            f.ListViewerBrowser[5] = b;
            m_.services.Lists().ShowLinkListItem();
            tabs.UpdateTabTitle(tabs.CurrentTab() - f.TabButtonOffset);
        }
        tabs.RefreshCurrentTabChrome();
        break;
    default: break;
    }
    refreshControls();
    reportUnopenedItem();
}

void PlayControl::playStep(int16_t kind)
{
    switch (kind) {
    case 1: m_.engine->PlayAudioItem(); break;
    case 2: m_.engine->PlayVideoItem(); break;
    case 3:
        m_.viewer->PlayImageListStep();
        break;
    case 4: m_.services.Lists().ShowSnippetListItem(); break;
    case 5: m_.services.Lists().ShowLinkListItem(); break;
    default: break;
    }
}

void PlayControl::PauseList(int16_t scope, int16_t kind)
{
    frmExplorer& f = m_.f;
    if (scope == 0) {
        if (kind >= 0 && kind <= 6)
            f.ListPlayState[kind] = 1;
        QCoreApplication::processEvents();
        if (kind == 1)
            m_.engine->PauseAudio();
        else if (kind == 2)
            m_.engine->PauseVideo();
        else if (kind >= 3 && kind <= 5) {
            setListTimer(f, kind, false);
            m_.services.Downloads().ResetFetchProgress();
        }
    } else if (scope == 1 || scope == 2) {
        for (int k = scope == 1 ? 1 : 3; k <= 5; ++k)
            f.ListPlayState[k] = 1;
        QCoreApplication::processEvents();
        for (int k = 3; k <= 5; ++k)
            setListTimer(f, k, false);
        if (scope == 1) {
            m_.engine->PauseAudio();
            m_.engine->PauseVideo();
        }
        m_.services.Lists().StopAllFetches();
    }
    refreshControls();
}

void PlayControl::StopList(int16_t kind)
{
    frmExplorer& f = m_.f;
    if (kind == 1) {
        f.ListPlayState[1] = 0;
        m_.engine->StopAudio();
    } else if (kind == 2) {
        f.ListPlayState[2] = 0;
        m_.engine->StopVideo();
    }
    refreshControls();
}

void PlayControl::PlayNextItem()
{
    frmExplorer& f = m_.f;
    const int16_t k = f.CurrentListKind;
    if (m_.engine->Opening())
        return;
    if (k >= 1 && k <= 6)
        f.ListCurrentItem[k] += 1;
    playStep(k);
    m_.services.Tabs().SetStatusMessage(QString(), -1, -1);
    reportUnopenedItem();
    m_.services.Media().UpdateTransportButtons();
    m_.services.Lists().UpdatePlaylistButtons();
}

void PlayControl::PlayPreviousItem()
{
    frmExplorer& f = m_.f;
    const int16_t k = f.CurrentListKind;
    if (m_.engine->Opening())
        return;
    if (k == 1 || k == 2 || k == 4 || k == 5) {
        f.ListCurrentItem[k] -= 1;
        playStep(k);
    } else if (k == 3) {
        if (f.ImagesPerView < 2)
            f.ListCurrentItem[3] -= 1;
        else
            f.ListCurrentItem[3] = f.ListCurrentItem[3] - 2 * f.ImagesPerView + 1;
        playStep(3);
    }
    m_.services.Tabs().SetStatusMessage(QString(), -1, -1);
    reportUnopenedItem();
    m_.services.Media().UpdateTransportButtons();
    m_.services.Lists().UpdatePlaylistButtons();
}

void PlayControl::OnAudioItemEnded()
{
    m_.sliders->ResetPositionKnob(1);
    AdvanceAudio();
}

void PlayControl::OnVideoItemEnded()
{
    m_.sliders->ResetPositionKnob(2);
    AdvanceVideo();
}

void PlayControl::AdvanceAudio()
{
    advance(1);
}

void PlayControl::AdvanceVideo()
{
    advance(2);
}

void PlayControl::advance(int16_t k)
{
    frmExplorer& f = m_.f;
    auto play = [&] { k == 1 ? m_.engine->PlayAudioItem() : m_.engine->PlayVideoItem(); };
    auto close = [&] { k == 1 ? m_.engine->CloseAudioPlayer() : m_.engine->CloseVideoPlayer(); };
    if (f.SingleFlags[k] != 0) {
        if (f.RepeatFlags[k] != 0)
            play();
        else
            close();
    } else if (f.ShuffleFlags[k] != 0) {
        const double r = m_.random ? m_.random() : 0.0;
        f.ListCurrentItem[k] = static_cast<int32_t>(static_cast<double>(f.ListItemCount[k]) * r + 1);
        play();
    } else if (f.RepeatFlags[k] != 0) {
        f.ListCurrentItem[k] += 1;
        if (f.ListCurrentItem[k] > f.ListItemCount[k])
            f.ListCurrentItem[k] = 1;
        play();
    } else {
        f.ListCurrentItem[k] += 1;
        if (f.ListCurrentItem[k] <= f.ListItemCount[k])
            play();
        else
            close();
    }
    // The status line names an item that could not be opened until the
    // list reaches one that plays.
    if (!reportUnopenedItem() && failureShown_) {
        failureShown_ = false;
        m_.services.Tabs().ShowMediaStateStatus();
    }
}
