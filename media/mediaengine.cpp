#include "media/mediaengine.h"

#include "contracts/services.h"
#include "core/fileclasses.h"
#include "core/globals.h"
#include "mainwindow/frmexplorer.h"
#include "media/mediasliders.h"
#include "media/videoview.h"
#include "platform/base/mediainterfaces.h"
#include "platform/base/paths.h"
#include "platform/win/listrows.h"

#include <QDir>
#include <QFileInfo>

#include <csignal>

namespace {

const QString kAudio = QStringLiteral("Z5Audio");
const QString kVideo = QStringLiteral("Z5Video");
// The style bit of a child window, as the video window is opened with.
constexpr const char* kChildStyle = "1073741824";

// A row's Text names the downloaded file: one plain name, nothing that
// leaves the target folder.
bool isSafeFileName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") || name.contains(QLatin1Char('/')))
        return false;
    for (const QChar c : name)
        if (c.unicode() < 32 || c.unicode() == 127)
            return false;
    return true;
}

bool processRuns(qint64 pid)
{
    return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) == 0;
}

} // namespace

int16_t MediaEngine::GetCdTrackNumber(const QString& path) const
{
    // The two characters before the last four: "Track07.cda" is track 7.
    if (path.size() < 6)
        return 1;
    bool ok = false;
    const int n = path.mid(path.size() - 6, 2).trimmed().toInt(&ok);
    return ok ? static_cast<int16_t>(n) : 1;
}

int32_t MediaEngine::GetCdTrackStart(int16_t track)
{
    m_.send(QStringLiteral("set Z5Audio time format milliseconds"));
    const auto start = static_cast<int32_t>(m_.query(QStringLiteral("status Z5Audio position track ") + QString::number(track)));
    m_.send(QStringLiteral("set Z5Audio time format tmsf"));
    return start;
}

int16_t MediaEngine::GetCdCurrentTrack()
{
    return static_cast<int16_t>(m_.query(QStringLiteral("status Z5Audio current track")));
}

bool MediaEngine::OpenAudioFile(const QString& path)
{
    const BusyFlag::Hold opening(opening_);
    const QString quoted = QStringLiteral("open \"") + path + QLatin1Char('"');
    QString command;
    if (IsWaveFile(path))
        command = quoted + QStringLiteral(" type WAVEAudio alias Z5Audio");
    else if (IsWindowsMediaAudio(path))
        command = quoted + QStringLiteral(" type MPEGVideo alias Z5Audio parent ") + QString::number(m_.video->WindowHandle())
                  + QStringLiteral(" style ") + QLatin1String(kChildStyle);
    else
        command = quoted + QStringLiteral(" alias Z5Audio wait shareable");
    return m_.mci.sendString(command, nullptr) == platform::media::MciOk;
}

bool MediaEngine::OpenVideoFile(const QString& path)
{
    const BusyFlag::Hold opening(opening_);
    return m_.mci.sendString(QStringLiteral("open \"") + path + QStringLiteral("\" type MPEGVideo alias Z5Video parent ")
                                 + QString::number(m_.video->WindowHandle()) + QStringLiteral(" style ")
                                 + QLatin1String(kChildStyle),
                             nullptr)
           == platform::media::MciOk;
}

void MediaEngine::openItem(const QString& path, const platform::forms::ListRows* rows, int32_t index, bool audio)
{
    QString& open = audio ? OpenAudioPath : OpenVideoPath;
    if (audio ? OpenAudioFile(path) : OpenVideoFile(path)) {
        open = path;
        return;
    }
    // Nothing plays: the one-second tick finds the player stopped and the
    // list steps on; the item is named in the status line.
    open.clear();
    UnopenedItem = rows ? rows->text(index) : QString();
    if (UnopenedItem.isEmpty())
        UnopenedItem = path;
}

void MediaEngine::PlayAudioItem()
{
    frmExplorer& f = m_.f;
    const int32_t index = f.ListCurrentItem[1];
    if (index < 1 || index > f.ListItemCount[1]) {
        CloseAudioPlayer();
        return;
    }
    m_.services.Lists().SelectCurrentListItem();
    m_.services.Media().UpdateTransportButtons();
    const platform::forms::ListRows* rows = m_.services.Lists().ListItems(1);
    const QString path = rows ? rows->column(index, 1) : QString();
    bool opened = false;
    if (path != OpenAudioPath || f.RepeatFlags[1] != 0) {
        CloseAudioDevice();
        openItem(path, rows, index, true);
        opened = true;
    }
    if (IsCdTrack(OpenAudioPath)) {
        const int16_t track = GetCdTrackNumber(OpenAudioPath);
        MediaItemTimes[2] = GetAudioLength();
        MediaItemTimes[0] = GetCdTrackStart(track);
        MediaItemTimes[1] = MediaItemTimes[0] + MediaItemTimes[2];
        if (GetCdCurrentTrack() != track)
            m_.send(QStringLiteral("play Z5Audio from ") + QString::number(track));
        else
            m_.send(QStringLiteral("play Z5Audio"));
    } else {
        MediaItemTimes[2] = GetAudioLength();
        MediaItemTimes[0] = 0;
        MediaItemTimes[1] = MediaItemTimes[2];
        m_.send(QStringLiteral("play Z5Audio"));
        DownloadPlayingAudio(opened);
    }
    if (f.CurrentListKind == 1 || f.CurrentListKind == 2)
        m_.sliders->ApplyVolumeKnob(f.VolumeKnobX[f.CurrentListKind]);
    f.ListPlayState[1] = 2;
    setTimer(true);
    if (m_.setMediaButtonEnabled)
        m_.setMediaButtonEnabled(5, true);
}

void MediaEngine::PlayVideoItem()
{
    frmExplorer& f = m_.f;
    const int32_t index = f.ListCurrentItem[2];
    if (index < 1 || index > f.ListItemCount[2]) {
        CloseVideoPlayer();
        return;
    }
    m_.services.Lists().SelectCurrentListItem();
    m_.services.Media().UpdateTransportButtons();
    if (f.ListViewerBrowser[2] == -1) {
        // No tab shows the video: the view is prepared afresh, over the
        // current tab and in front of whatever it shows.
        OpenVideoPath.clear();
        m_.video->HideVideoArea(true);
    }
    const platform::forms::ListRows* rows = m_.services.Lists().ListItems(2);
    const QString path = rows ? rows->column(index, 1) : QString();
    bool opened = false;
    if (path != OpenVideoPath || f.RepeatFlags[2] != 0) {
        CloseVideoDevice();
        openItem(path, rows, index, false);
        opened = true;
    }
    MediaItemTimes[5] = GetVideoLength();
    MediaItemTimes[3] = 0;
    MediaItemTimes[4] = MediaItemTimes[5];
    m_.send(QStringLiteral("play Z5Video"));
    DownloadPlayingVideo(opened);
    if (m_.video->VideoAreaMark.isEmpty())
        m_.video->PrepareVideoView();
    else
        m_.video->FitVideoToWidth();
    if (f.CurrentListKind == 1 || f.CurrentListKind == 2)
        m_.sliders->ApplyVolumeKnob(f.VolumeKnobX[f.CurrentListKind]);
    f.ListPlayState[2] = 2;
    setTimer(true);
    if (m_.setMediaButtonEnabled)
        m_.setMediaButtonEnabled(5, true);
}

void MediaEngine::PauseAudio()
{
    if (m_.f.ListPlayState[2] < 2)
        setTimer(false);
    m_.send(QStringLiteral("pause Z5Audio wait"));
    if (m_.setMediaButtonEnabled)
        m_.setMediaButtonEnabled(5, false);
}

void MediaEngine::PauseVideo()
{
    if (m_.f.ListPlayState[1] < 2)
        setTimer(false);
    m_.send(QStringLiteral("pause Z5Video wait"));
    if (m_.setMediaButtonEnabled)
        m_.setMediaButtonEnabled(5, false);
}

void MediaEngine::StopAudio()
{
    if (m_.f.ListPlayState[2] < 2)
        setTimer(false);
    m_.send(QStringLiteral("stop Z5Audio wait"));
    m_.send(QStringLiteral("seek Z5Audio to 1 wait"));
    CloseAudioDevice();
    m_.sliders->ResetPositionKnob(1);
    if (m_.f.CurrentListKind == 1 && m_.setMediaButtonEnabled)
        m_.setMediaButtonEnabled(5, false);
}

void MediaEngine::StopVideo()
{
    if (m_.f.ListPlayState[1] < 2)
        setTimer(false);
    m_.send(QStringLiteral("stop Z5Video wait"));
    m_.send(QStringLiteral("seek Z5Video to 1 wait"));
    CloseVideoDevice();
    m_.sliders->ResetPositionKnob(2);
    if (m_.setMediaButtonEnabled)
        m_.setMediaButtonEnabled(5, false);
}

bool MediaEngine::isStopped(const QString& alias)
{
    // An item that could not be opened has no player: it plays nothing.
    QString mode;
    if (m_.mci.sendString(QStringLiteral("status ") + alias + QStringLiteral(" mode"), &mode)
        == platform::media::MciInvalidDeviceName)
        return true;
    return mode.left(7) == QLatin1String("stopped");
}

bool MediaEngine::IsAudioStopped()
{
    return isStopped(kAudio);
}

bool MediaEngine::IsVideoStopped()
{
    return isStopped(kVideo);
}

void MediaEngine::CloseAudioDevice()
{
    m_.send(QStringLiteral("stop Z5Audio"));
    m_.send(QStringLiteral("close Z5Audio"));
    OpenAudioPath.clear();
}

void MediaEngine::CloseVideoDevice()
{
    m_.send(QStringLiteral("stop Z5Video"));
    m_.send(QStringLiteral("close Z5Video"));
    OpenVideoPath.clear();
}

void MediaEngine::refreshControls()
{
    m_.services.Tabs().ShowMediaStateStatus();
    m_.services.Media().UpdateTransportButtons();
    m_.services.Lists().UpdatePlaylistButtons();
}

void MediaEngine::setTimer(bool enabled)
{
    if (auto* t = m_.f.AppTimer.at(2))
        t->setEnabled(enabled);
}

void MediaEngine::CloseAudioPlayer()
{
    m_.send(QStringLiteral("stop Z5Audio"));
    m_.send(QStringLiteral("close Z5Audio"));
    m_.sliders->ResetPositionKnob(1);
    m_.f.ListPlayState[1] = 0;
    OpenAudioPath.clear();
    if (m_.f.CurrentListKind == 1)
        refreshControls();
}

void MediaEngine::CloseVideoPlayer()
{
    frmExplorer& f = m_.f;
    m_.video->HideVideoArea(true);
    const int16_t browser = f.ListViewerBrowser[2];
    if (browser >= 0) {
        ITabsService& tabs = m_.services.Tabs();
        tabs.SetTabState(browser, 1, 1);
        tabs.UpdateTabTitle(tabs.TabOfBrowser(browser) - f.TabButtonOffset);
    }
    f.ListViewerBrowser[2] = -1;
    m_.send(QStringLiteral("stop Z5Video"));
    m_.send(QStringLiteral("close Z5Video"));
    m_.sliders->ResetPositionKnob(2);
    f.ListPlayState[2] = 0;
    OpenVideoPath.clear();
    if (f.CurrentListKind == 2)
        refreshControls();
}

void MediaEngine::DownloadPlayingAudio(bool justOpened)
{
    downloadPlaying(1, OpenAudioPath, justOpened);
}

void MediaEngine::DownloadPlayingVideo(bool justOpened)
{
    downloadPlaying(2, OpenVideoPath, justOpened);
}

void MediaEngine::downloadPlaying(int16_t kind, const QString& source, bool justOpened)
{
    const QString options = ListDownloadOptions[kind];
    if (options.mid(0, 1) != QLatin1String("0"))
        return;
    // Only an item from the Net that has just been opened is fetched.
    if (!justOpened || source.isEmpty() || IsLocalItem(source))
        return;
    const platform::forms::ListRows* rows = m_.services.Lists().ListItems(kind);
    const int32_t index = m_.f.ListCurrentItem[kind];
    if (!rows || index < 1 || index > rows->count())
        return;
    const QString folder = platform::paths::toLocal(rows->column(index, 3));
    const QString name = rows->text(index);
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder) || !isSafeFileName(name))
        return;
    const QString root = QDir::cleanPath(folder);
    const QString target = QDir::cleanPath(root + QLatin1Char('/') + name);
    if (!target.startsWith(root == QLatin1String("/") ? root : root + QLatin1Char('/')))
        return;
    if (QFileInfo::exists(target) && options.mid(5, 1) == QLatin1String("0"))
        return;
    if (processRuns(downloads_.value(target)))
        return;
    downloads_.remove(target);
    if (!m_.startProgram)
        return;
    const qint64 pid = m_.startProgram(platform::paths::programPath(QStringLiteral("/Tool/Z5DownLoad.exe")),
                                       {source + QStringLiteral("|||||") + target});
    if (pid > 0)
        downloads_.insert(target, pid);
}

int32_t MediaEngine::position(const QString& alias)
{
    m_.send(QStringLiteral("set ") + alias + QStringLiteral(" time format milliseconds"));
    const auto pos = static_cast<int32_t>(m_.query(QStringLiteral("status ") + alias + QStringLiteral(" position wait")));
    m_.send(QStringLiteral("set ") + alias + QStringLiteral(" time format tmsf"));
    return pos;
}

int32_t MediaEngine::GetAudioPosition()
{
    return position(kAudio);
}

int32_t MediaEngine::GetVideoPosition()
{
    return position(kVideo);
}

void MediaEngine::seek(const QString& alias, int32_t ms)
{
    m_.send(QStringLiteral("set ") + alias + QStringLiteral(" time format milliseconds"));
    m_.send(QStringLiteral("play ") + alias + QStringLiteral(" from ") + QString::number(ms));
    m_.send(QStringLiteral("set ") + alias + QStringLiteral(" time format tmsf"));
}

void MediaEngine::SeekAudio(int32_t ms)
{
    seek(kAudio, ms);
}

void MediaEngine::SeekVideo(int32_t ms)
{
    seek(kVideo, ms);
}

int32_t MediaEngine::length(const QString& alias)
{
    m_.send(QStringLiteral("set ") + alias + QStringLiteral(" time format milliseconds"));
    const auto len = static_cast<int32_t>(m_.query(QStringLiteral("status ") + alias + QStringLiteral(" length")));
    m_.send(QStringLiteral("set ") + alias + QStringLiteral(" time format tmsf"));
    return len;
}

int32_t MediaEngine::GetAudioLength()
{
    if (IsCdTrack(OpenAudioPath)) {
        m_.send(QStringLiteral("set Z5Audio time format milliseconds"));
        const auto len = static_cast<int32_t>(m_.query(QStringLiteral("status Z5Audio length track ")
                                                       + QString::number(GetCdTrackNumber(OpenAudioPath))));
        m_.send(QStringLiteral("set Z5Audio time format tmsf"));
        return len;
    }
    return length(kAudio);
}

int32_t MediaEngine::GetVideoLength()
{
    return length(kVideo);
}
