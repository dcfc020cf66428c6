#include "media/mediaservice.h"

#include "media/specialfoldernames.h"

QStringList MediaService::MethodsNotBuiltYet() const
{
    return QStringLiteral("ApplyMixerVolume StopAllPlayers StopAudio StopVideo CloseAudioPlayer MediaTimerTick "
                          "IsAudioStopped IsVideoStopped OnAudioItemEnded OnVideoItemEnded PlayPreviousItem "
                          "PlayNextItem PlaySelectedItem PauseList CloseVideoPlayer PrepareVideoView PlaceVideoView "
                          "StopImageList LayoutImageViewer RelayoutImageViewer ClearViewerImages OnViewerImagesLoaded "
                          "SetPageScrollOn ShowMediaToolbarForKind HideMediaToolbar RefreshMediaButtonPictures "
                          "SetMediaButtonPicture SetMediaButtonToolTip UpdateTransportButtons DragVolumeKnob "
                          "DragPositionKnob SetSliderTrackPictures")
        .split(QLatin1Char(' '));
}

uint8_t MediaService::SpecialFolderDisplayName(const QString& name)
{
    return ::SpecialFolderDisplayName(name);
}
