#include "mainwindow/explorerstate.h"

#include "core/globals.h"
#include "platform/base/vbrt.h"

namespace {

// A twips size times the screen scale, rounded half to even.
int16_t scaled(int twips, float twipsScale)
{
    return vb::toInt16(static_cast<double>(static_cast<float>(twips) * twipsScale)).value_or(INT16_MAX);
}

} // namespace

void ExplorerState::Initialize(float twipsScale)
{
    Layout = WindowLayout();
    FixScrollTab = -1;
    TabButtonOffset = 0;
    TabButtonsLoaded = 1;
    TabButtonsShown = 1;
    MultiViewCounter = 0;
    DisplayFlags.fill(0);
    DisplayFlags[DisplayImageInfo] = -1;
    DisplayFlags[DisplayInfoEnlarged] = 0;
    MediaFeatureFlag = -1;
    RepeatFlags.fill(0);
    SingleFlags.fill(0);
    ShuffleFlags.fill(0);
    ImagesPerView = 1;
    TabModelWords.fill(0);
    CloseRequested = 0;
    NavigationHeld.set(true);
    PendingListPauses.clear();
    StatusFrameDates = {};
    PositionKnobGlide.set(false);
    VolumeKnobGlide.set(false);
    TickCounter = 0;
    HeaderWords.fill(0);
    MenuBarActive = 0;
    MinFormWidth = scaled(9200, twipsScale);
    MinFormHeight = scaled(6675, twipsScale);
    MinPaneWidth = scaled(2880, twipsScale);
    SavedMasterVolume = -1;
    TimerStage = 0;

    for (int k = 1; k <= 6; ++k) {
        ListViewerBrowser[k] = -1;
        ListStepBrowser[k] = -1;
        ListPlayState[k] = 1;
        ListDownloadOptions[k] = QStringLiteral("101000");
        ListItemCount[k] = 0;
        ListCurrentItem[k] = 0;
        SaveEnabled[k] = 0;
        SaveAsEnabled[k] = 0;
        ListFilePath[k] = QString();
    }
}
