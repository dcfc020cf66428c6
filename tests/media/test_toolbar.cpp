// The media toolbar in the main window: the real lists and player over a
// recording command interpreter; the buttons pressed and released as the
// mouse does it, held buttons on a clock the test moves.

#include "tests/lists/listsfixture.h"

#include "core/skinbinding.h"
#include "media/mediaservice.h"
#include "media/mediatoolbar.h"
#include "platform/media/fakemci.h"
#include "platform/media/mastervolume.h"
#include "platform/win/controls.h"

#include "virtualclock.h"

#include <map>
#include <set>

namespace {

using platform::forms::LeftButton;
using platform::forms::RightButton;

// The lists window with the media row shown and the real player.
class Toolbar : public ListsWindow {
protected:
    void SetUp() override
    {
        SaveZ5Setting(HiveCurrentUser, QStringLiteral("DIS_TOOLBAR2"), QStringLiteral("True"));
        SaveZ5Setting(HiveCurrentUser, QStringLiteral("DIS_MENUBAR2"), QStringLiteral("True"));
        paneShown = false;
        ListsWindow::SetUp();
        auto fake = std::make_unique<platform::media::FakeMci>();
        mci = fake.get();
        media = std::make_unique<MediaService>(*window, services, std::move(fake), std::make_unique<platform::media::FakeMixer>());
        services.SetMedia(media.get());
        bar().setRepeatTimer(clock.timer());
        bar().pointerOver = [this](int) { return pointerOn; };
        window->ListPlayState = {1, 1, 1, 1, 1, 1, 1};
        window->ListViewerBrowser.fill(-1);
        window->move(0, 0, 15000, 9000);
        window->Form_Resize();
        ASSERT_NE(window->DisplayFlags[DisplayMediaRow], 0);
    }

    void TearDown() override
    {
        services.SetMedia(nullptr);
        media.reset();
        ListsWindow::TearDown();
    }

    MediaToolbar& bar() { return media->toolbar(); }
    platform::forms::Image& button(int i) { return window->cmdMediaControl[i]; }

    // n rows in list kind, the current index i.
    void fill(int kind, int n, int i)
    {
        auto& rows = lists->stores()[kind];
        rows.clear();
        for (int r = 1; r <= n; ++r)
            rows.setColumn(rows.add(QStringLiteral("item%1.wav").arg(r)), 1, QStringLiteral("/clips/item%1.wav").arg(r));
        window->ListItemCount[kind] = n;
        window->ListCurrentItem[kind] = i;
    }
    void showKind(int kind)
    {
        window->CurrentListKind = static_cast<int16_t>(kind);
        media->ShowMediaToolbarForKind(static_cast<int16_t>(kind));
    }
    // A press and a release over the middle of the button.
    void click(int i, int mouse = LeftButton)
    {
        bar().cmdMediaControl_MouseDown(i, mouse);
        release(i);
    }
    void release(int i) { bar().cmdMediaControl_MouseUp(i, button(i).width() / 2, button(i).height() / 2); }
    bool shows(int i, int16_t picture)
    {
        const auto pm = GetSkinPicture(picture, 0);
        return pm && button(i).picture().toImage() == pm->toImage();
    }
    std::set<int> visibleButtons()
    {
        std::set<int> out;
        for (int i = 0; i <= 15; ++i)
            if (window->cmdMediaControl.exists(i) && button(i).visible())
                out.insert(i);
        return out;
    }
    std::set<int> enabledTransport()
    {
        std::set<int> out;
        for (int i = 2; i <= 11; ++i)
            if (button(i).enabled())
                out.insert(i);
        return out;
    }
    testenv::VirtualClock clock;
    bool pointerOn = true;
    platform::media::FakeMci* mci = nullptr;
    std::unique_ptr<MediaService> media;
};

} // namespace

// The enabled transport buttons by item count, current index and play state.
TEST_F(Toolbar, TransportStatesFollowTheCurrentListsCountIndexAndPlayState)
{
    struct Case {
        int n, i;
        bool playing;
        std::set<int> enabled;
        const char* shot;
    } cases[] = {
        {0, 0, false, {}, "toolbar-empty.png"},
        {5, 1, false, {2, 6, 7, 8}, "toolbar-first.png"},
        {5, 3, false, {2, 3, 4, 6, 7, 8}, "toolbar-middle.png"},
        {5, 5, false, {2, 3, 4, 8}, "toolbar-last.png"},
        {5, 9, false, {2, 3, 4, 8}, nullptr},
        {1, 1, false, {2, 6, 7, 8}, nullptr},
        {5, 3, true, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, "toolbar-playing.png"},
    };
    showKind(2);
    for (const Case& c : cases) {
        fill(2, c.n, c.i);
        window->ListPlayState[2] = c.playing ? 2 : 1;
        media->UpdateTransportButtons();
        EXPECT_EQ(enabledTransport(), c.enabled) << c.n << " items at " << c.i;
        static constexpr int16_t base[12] = {0, 0, 506, 514, 518, 522, 526, 530, 534, 542, 546, 550};
        for (int b = 2; b <= 11; ++b) {
            const int16_t normal = b == 2 && c.playing ? int16_t{510} : base[b];
            EXPECT_TRUE(shows(b, static_cast<int16_t>(normal + (button(b).enabled() ? 0 : 3)))) << "button " << b;
        }
        if (c.shot)
            shot(QString::fromLatin1(c.shot));
    }

    // With the media row hidden nothing changes; shown again, the states are set.
    window->DisplayFlags[DisplayMediaRow] = 0;
    fill(2, 0, 0);
    window->ListPlayState[2] = 1;
    media->UpdateTransportButtons();
    EXPECT_TRUE(button(2).enabled());
    window->DisplayFlags[DisplayMediaRow] = -1;
    showKind(2);
    EXPECT_TRUE(enabledTransport().empty());
}

// Which buttons show for each kind; the delay display for lists 3-5 (0.055
// shows 0.0); hiding keeps the buttons while a list has rows and unloads
// them when every list is empty, and showing again builds them afresh.
TEST_F(Toolbar, EachKindShowsItsButtonsAndHidingUnloadsThemOnlyWhenEveryListIsEmpty)
{
    window->ListDelayTime[3] = 2.5f;
    window->ListDelayTime[4] = 0.055f;
    const std::map<int, std::set<int>> shown = {
        {1, {0, 1, 2, 3, 4, 5, 6, 7, 14, 15}},
        {2, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 15}},
        {3, {0, 1, 2, 3, 4, 6, 7, 8, 12, 13}},
        {4, {0, 1, 2, 3, 4, 6, 7, 12, 13}},
        {5, {0, 1, 2, 3, 4, 6, 7, 12, 13}},
        {6, {0, 1, 2, 3, 7}},
    };
    for (const auto& [kind, expected] : shown) {
        showKind(kind);
        EXPECT_EQ(visibleButtons(), expected) << "kind " << kind;
        const bool delays = kind >= 3 && kind <= 5;
        EXPECT_EQ(window->APPLabel[2].visible(), delays);
        EXPECT_EQ(window->ImageBox[4].visible(), kind <= 2);
        shot(QStringLiteral("toolbar-kind%1.png").arg(kind));
    }
    showKind(3);
    EXPECT_EQ(window->APPLabel[2].caption(), QStringLiteral("2.5"));
    showKind(4);
    EXPECT_EQ(window->APPLabel[2].caption(), QStringLiteral("0.0"));
    EXPECT_TRUE(button(2).toolTipText() == QStringLiteral(" Play "));
    EXPECT_EQ(button(13).toolTipText(), QStringLiteral(" Increase Delay Time "));

    fill(5, 1, 1);
    media->HideMediaToolbar();
    EXPECT_TRUE(bar().MediaToolbarBuilt());
    EXPECT_TRUE(window->cmdMediaControl.exists(15));
    EXPECT_TRUE(visibleButtons().empty());
    fill(5, 0, 0);
    media->HideMediaToolbar();
    EXPECT_FALSE(bar().MediaToolbarBuilt());
    EXPECT_FALSE(window->cmdMediaControl.exists(1));
    EXPECT_TRUE(window->cmdMediaControl.exists(0));
    fill(1, 3, 2);
    showKind(1);
    EXPECT_TRUE(bar().MediaToolbarBuilt());
    EXPECT_EQ(enabledTransport(), (std::set<int>{2, 3, 4, 6, 7, 8})) << "8 is hidden for audio, its state kept";
}

// Play/Pause: the release shows the symbol the click changes to (hover
// pictures 507 and 511), then pauses or plays; Stop, Next and Back act on
// the current list; a release off the button runs nothing.
TEST_F(Toolbar, PlayPauseStopNextAndBackRunOnTheReleaseOverTheButton)
{
    mci->replies[QStringLiteral("status Z5Audio length")] = QStringLiteral("5000");
    mci->replies[QStringLiteral("status Z5Audio mode")] = QStringLiteral("playing");
    fill(1, 3, 1);
    showKind(1);
    lists->stores()[1].setCurrentRow(2);

    bar().cmdMediaControl_MouseDown(2, LeftButton);
    EXPECT_TRUE(shows(2, 508)) << "pressed Play";
    release(2);
    EXPECT_EQ(window->ListPlayState[1], 2);
    EXPECT_EQ(window->ListCurrentItem[1], 2);
    EXPECT_TRUE(mci->commands.join(QLatin1Char('|')).contains(QLatin1String("item2.wav")));
    EXPECT_EQ(fakes.calls.count(QStringLiteral("ShowMediaStateStatus")) > 0, true);

    bar().cmdMediaControl_MouseDown(2, LeftButton);
    EXPECT_TRUE(shows(2, 512)) << "pressed Pause";
    bar().cmdMediaControl_MouseUp(2, button(2).width() / 2, 1);
    EXPECT_EQ(window->ListPlayState[1], 1) << "paused";
    EXPECT_TRUE(shows(2, 506)) << "Play again, its picture refreshed with the buttons";
    EXPECT_EQ(button(2).toolTipText(), QStringLiteral(" Play "));

    release(2);
    EXPECT_EQ(window->ListPlayState[1], 2);
    EXPECT_EQ(button(2).toolTipText(), QStringLiteral(" Pause "));
    EXPECT_TRUE(button(5).enabled());

    mci->take();
    click(6);
    EXPECT_EQ(window->ListCurrentItem[1], 3);
    click(4);
    EXPECT_EQ(window->ListCurrentItem[1], 2);
    click(5);
    EXPECT_EQ(window->ListPlayState[1], 0);
    EXPECT_TRUE(mci->take().contains(QStringLiteral("close Z5Audio")));
    EXPECT_FALSE(button(5).enabled());

    // Pressed, then released off the button: nothing runs.
    bar().cmdMediaControl_MouseDown(2, LeftButton);
    bar().cmdMediaControl_MouseUp(2, -10, -10);
    EXPECT_EQ(window->ListPlayState[1], 0);
    EXPECT_EQ(window->ButtonReleased, -1);

    // Change Playlist: left goes up and wraps, right goes down and wraps.
    window->CurrentListKind = 6;
    click(1);
    EXPECT_EQ(window->CurrentListKind, 1);
    click(1, RightButton);
    EXPECT_EQ(window->CurrentListKind, 6);
    click(0);
    EXPECT_TRUE(fakes.calls.contains(QStringLiteral("ShowMediaMenu")));
}

// Rewind and Fast Forward step the current row every 5 ms while held and
// stop at the ends; the release then plays the item before or after.
TEST_F(Toolbar, RewindAndFastForwardStepWhileHeldAndStopAtTheEnds)
{
    fill(1, 10, 5);
    showKind(1);
    bar().cmdMediaControl_MouseDown(7, LeftButton);
    EXPECT_EQ(window->ListCurrentItem[1], 6) << "one step at once";
    clock.advance(5);
    EXPECT_EQ(window->ListCurrentItem[1], 7);
    clock.advance(10);
    EXPECT_EQ(window->ListCurrentItem[1], 9);
    EXPECT_EQ(lists->stores()[1].currentRow(), 9) << "the row follows";
    clock.advance(100);
    EXPECT_EQ(window->ListCurrentItem[1], 10);
    EXPECT_FALSE(bar().Repeating()) << "the end stops the loop";
    EXPECT_FALSE(button(7).enabled()) << "the buttons were refreshed at the end";
    bar().cmdMediaControl_MouseUp(7, -1, -1);

    bar().cmdMediaControl_MouseDown(3, LeftButton);
    clock.advance(15);
    EXPECT_EQ(window->ListCurrentItem[1], 6);
    pointerOn = false; // the pointer leaves the button
    clock.advance(50);
    EXPECT_EQ(window->ListCurrentItem[1], 6);
    EXPECT_FALSE(bar().Repeating());
    pointerOn = true;
    bar().cmdMediaControl_MouseUp(3, -1, -1);

    bar().cmdMediaControl_MouseDown(3, LeftButton);
    clock.advance(1000);
    EXPECT_EQ(window->ListCurrentItem[1], 1);
    EXPECT_FALSE(bar().Repeating());
    EXPECT_FALSE(button(3).enabled());
}

// The delay buttons: a tenth at once, the next after 200 ms, then one every
// 20 ms, between 0.0 and 300.0; the shown value becomes the list's delay.
TEST_F(Toolbar, DelayButtonsStepATenthAtOnceThenAfter200MsThenEvery20MsWithinTheirBounds)
{
    fill(3, 2, 1);
    window->ListDelayTime[3] = 0.055f;
    showKind(3);
    ASSERT_EQ(window->APPLabel[2].caption(), QStringLiteral("0.0"));

    bar().cmdMediaControl_MouseDown(13, LeftButton);
    EXPECT_EQ(window->APPLabel[2].caption(), QStringLiteral("0.1"));
    clock.advance(199);
    EXPECT_EQ(window->APPLabel[2].caption(), QStringLiteral("0.1"));
    clock.advance(1);
    EXPECT_EQ(window->APPLabel[2].caption(), QStringLiteral("0.2"));
    clock.advance(20 * 8);
    EXPECT_EQ(window->APPLabel[2].caption(), QStringLiteral("1.0"));
    release(13);
    EXPECT_FALSE(bar().Repeating());
    EXPECT_FLOAT_EQ(window->ListDelayTime[3], 1.0f);
    clock.advance(100);
    EXPECT_EQ(window->APPLabel[2].caption(), QStringLiteral("1.0")) << "the release ended it";

    // Held to the top: 300.0 and no further.
    bar().cmdMediaControl_MouseDown(13, LeftButton);
    clock.advance(200 + 20 * 3000);
    EXPECT_EQ(window->APPLabel[2].caption(), QStringLiteral("300.0"));
    EXPECT_FALSE(bar().Repeating());
    EXPECT_FLOAT_EQ(window->ListDelayTime[3], 300.0f);
    release(13);
    bar().cmdMediaControl_MouseDown(13, LeftButton);
    EXPECT_FALSE(bar().Repeating()) << "at 300.0 it ends at once";
    release(13);

    // Down to 0.0: the list's delay is the small one that stands for none.
    window->APPLabel[2].setCaption(QStringLiteral("0.2"));
    bar().cmdMediaControl_MouseDown(12, LeftButton);
    clock.advance(200);
    EXPECT_EQ(window->APPLabel[2].caption(), QStringLiteral("0.0"));
    EXPECT_FALSE(bar().Repeating());
    EXPECT_FLOAT_EQ(window->ListDelayTime[3], 0.055f);
    release(12);
    bar().cmdMediaControl_MouseDown(12, LeftButton);
    EXPECT_EQ(window->APPLabel[2].caption(), QStringLiteral("0.0"));
    EXPECT_FALSE(bar().Repeating());
    release(12);
}

// The volume knob follows a drag with the left button down; the position
// knob of a playing item moves with the drag and seeks only at its release.
TEST_F(Toolbar, KnobDragsFollowTheLeftButtonAndThePositionSeeksOnlyAtTheRelease)
{
    mci->replies[QStringLiteral("status Z5Audio length")] = QStringLiteral("5000");
    mci->replies[QStringLiteral("status Z5Audio mode")] = QStringLiteral("playing");
    fill(1, 1, 1);
    showKind(1);
    click(2);
    ASSERT_EQ(window->ListPlayState[1], 2);
    const auto& v = window->VolumeTrack;
    ASSERT_GT(v[3], 0);

    // Without the button the knob only shows its hover picture.
    const float before = window->VolumeFraction[1];
    bar().cmdMediaControl_MouseMove(14, 0, 500, 10);
    EXPECT_FLOAT_EQ(window->VolumeFraction[1], before);
    EXPECT_TRUE(shows(14, 561));
    window->VolumeKnobX[1] = v[0];
    bar().cmdMediaControl_MouseDown(14, LeftButton);
    bar().cmdMediaControl_MouseMove(14, LeftButton, v[2] + v[3] / 2, 10);
    EXPECT_NEAR(window->VolumeFraction[1], 0.5f, 0.01f);
    release(14);

    const auto& p = window->PositionTrack;
    window->PositionKnobX[1] = p[0];
    mci->take();
    bar().cmdMediaControl_MouseDown(15, LeftButton);
    bar().cmdMediaControl_MouseMove(15, LeftButton, p[2] + p[3] / 4, 10);
    bar().cmdMediaControl_MouseMove(15, LeftButton, p[2] + p[3] / 4, 10);
    EXPECT_NEAR(button(15).left(), p[0] + p[3] / 2, 1.0);
    EXPECT_FALSE(mci->commands.join(QLatin1Char('|')).contains(QLatin1String("seek"))
                 || mci->commands.join(QLatin1Char('|')).contains(QLatin1String("from")))
        << mci->commands.join(QLatin1Char('|')).toStdString();
    bar().cmdMediaControl_MouseUp(15, p[2], 10);
    EXPECT_TRUE(mci->commands.join(QLatin1Char('|')).contains(QLatin1String("play Z5Audio from 2500")))
        << mci->commands.join(QLatin1Char('|')).toStdString();
}
