#include "media/mediaservice.h"

#include "mainwindow/frmexplorer.h"
#include "mainwindow/mediatoolbarlayout.h"
#include "mainwindow/skinvalues.h"
#include "platform/win/listrows.h"
#include "media/imageviewer.h"
#include "media/mediaengine.h"
#include "media/mediasliders.h"
#include "media/mediatoolbar.h"
#include "media/playcontrol.h"
#include "media/specialfoldernames.h"
#include "media/videoview.h"

#include <QProcess>
#include <QRandomGenerator>

MediaService::MediaService(frmExplorer& window, ServiceSet& services, std::unique_ptr<platform::media::IMci> mci,
                           std::unique_ptr<platform::media::IMasterVolume> mixer)
    : window_(window), givenMci_(std::move(mci)), givenMixer_(std::move(mixer))
{
    if (!givenMci_ || !givenMixer_)
        layer_ = std::make_unique<platform::media::MediaOnDemand>();
    mci_ = givenMci_ ? givenMci_.get() : &layer_->mci();
    mixer_ = givenMixer_ ? givenMixer_.get() : &layer_->mixer();
    context_ = std::make_unique<MediaContext>(MediaContext{window, services, *mci_, *mixer_});
    engine_ = std::make_unique<MediaEngine>(*context_);
    play_ = std::make_unique<PlayControl>(*context_);
    sliders_ = std::make_unique<MediaSliders>(*context_);
    video_ = std::make_unique<VideoView>(*context_);
    viewer_ = std::make_unique<ImageViewer>(*context_);
    toolbar_ = std::make_unique<MediaToolbar>(*context_);
    context_->engine = engine_.get();
    context_->play = play_.get();
    context_->sliders = sliders_.get();
    context_->video = video_.get();
    context_->viewer = viewer_.get();
    context_->random = [] { return QRandomGenerator::global()->generateDouble(); };
    context_->startProgram = [](const QString& program, const QStringList& arguments) -> qint64 {
        qint64 pid = 0;
        return QProcess::startDetached(program, arguments, QString(), &pid) ? pid : 0;
    };
    wireSliderTracks();
}

MediaService::~MediaService()
{
    toolbar_.reset();
    // The players go before the window they draw in.
    mci_->sendString(QStringLiteral("close all"), nullptr);
}

QStringList MediaService::MethodsNotBuiltYet() const
{
    return {};
}

void MediaService::wireSliderTracks()
{
    // A press on a track glides its knob towards the pointer.
    auto& boxes = window_.ImageBox.events();
    boxes.mouseDown = [this, other = boxes.mouseDown](int i, int button, int shift, double x, double y) {
        if (i == 4 || i == 5) {
            window_.ButtonReleased = 0;
            if (i == 4)
                sliders_->DragVolumeKnob(1, static_cast<float>(x));
            else
                sliders_->DragPositionKnob(1, static_cast<float>(x));
        } else if (other) {
            other(i, button, shift, x, y);
        }
    };
}

void MediaService::ApplyMixerVolume(int32_t value)
{
    sliders_->ApplyMixerVolume(value);
}

void MediaService::StopAllPlayers()
{
    context_->send(QStringLiteral("stop Z5Audio"));
    context_->send(QStringLiteral("stop Z5Video"));
    context_->send(QStringLiteral("close all"));
}

void MediaService::StopAudio()
{
    engine_->StopAudio();
}

void MediaService::StopVideo()
{
    engine_->StopVideo();
}

void MediaService::CloseAudioPlayer()
{
    engine_->CloseAudioPlayer();
}

void MediaService::MediaTimerTick(int16_t)
{
    sliders_->MediaTimerTick();
}

bool MediaService::IsAudioStopped()
{
    return !engine_->Opening() && engine_->IsAudioStopped();
}

bool MediaService::IsVideoStopped()
{
    return !engine_->Opening() && engine_->IsVideoStopped();
}

void MediaService::OnAudioItemEnded()
{
    play_->OnAudioItemEnded();
}

void MediaService::OnVideoItemEnded()
{
    play_->OnVideoItemEnded();
}

void MediaService::PlayPreviousItem(int16_t)
{
    play_->PlayPreviousItem();
}

void MediaService::PlayNextItem(int16_t)
{
    play_->PlayNextItem();
}

void MediaService::PlaySelectedItem(int16_t mode)
{
    play_->PlaySelectedItem(mode);
}

void MediaService::PauseList(int16_t scope, int16_t kind)
{
    play_->PauseList(scope, kind);
}

void MediaService::StopList(int16_t kind)
{
    play_->StopList(kind);
}

void MediaService::CloseVideoPlayer()
{
    engine_->CloseVideoPlayer();
}

void MediaService::PrepareVideoView()
{
    video_->PrepareVideoView();
}

void MediaService::PlaceVideoView()
{
    if (window_.ListViewerBrowser[2] >= 0 && !video_->VideoAreaMark.isEmpty())
        video_->PlaceVideoView();
}

void MediaService::ShowMediaToolbarForKind(int16_t kind)
{
    toolbar_->ShowMediaToolbarForKind(kind);
}

void MediaService::HideMediaToolbar()
{
    toolbar_->HideMediaToolbar();
}

void MediaService::RefreshMediaButtonPictures()
{
    toolbar_->RefreshMediaButtonPictures();
}

void MediaService::SetMediaButtonPicture(int16_t index, int16_t state)
{
    toolbar_->SetMediaButtonPicture(index, state);
}

void MediaService::SetMediaButtonToolTip(int16_t index)
{
    toolbar_->SetMediaButtonToolTip(index);
}

void MediaService::UpdateTransportButtons()
{
    toolbar_->UpdateTransportButtons();
}

void MediaService::DragVolumeKnob(uint8_t mode, float x)
{
    sliders_->DragVolumeKnob(mode, x);
}

void MediaService::DragPositionKnob(uint8_t mode, float x)
{
    sliders_->DragPositionKnob(mode, x);
}

void MediaService::SetSliderTrackPictures(bool empty)
{
    sliders_->SetSliderTrackPictures(empty);
}

uint8_t MediaService::SpecialFolderDisplayName(const QString& name)
{
    return ::SpecialFolderDisplayName(name);
}

void MediaService::StopImageList()
{
    viewer_->StopImageList();
}

void MediaService::LayoutImageViewer()
{
    viewer_->LayoutImageViewer();
}

void MediaService::RelayoutImageViewer()
{
    viewer_->RelayoutImageViewer();
}

void MediaService::ClearViewerImages()
{
    viewer_->ClearViewerImages();
}

void MediaService::OnViewerImagesLoaded()
{
    viewer_->OnViewerImagesLoaded();
}

void MediaService::SetPageScrollOn()
{
    viewer_->SetPageScrollOn();
}

void MediaService::HideImageViewer()
{
    viewer_->HideImageViewer();
}

void MediaService::ShowViewerImage(int16_t cell, const QString& path, int32_t widthPx, int32_t heightPx)
{
    viewer_->ShowViewerImage(cell, path, widthPx, heightPx);
}

void MediaService::ClearViewerImage(int16_t cell)
{
    viewer_->ClearViewerImage(cell);
}
