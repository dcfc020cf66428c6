// The media player in the main window: the real lists and the real command
// interpreter, the other subsystems recording fakes.

#include "contracts/services.h"
#include "core/globals.h"
#include "core/settingsstore.h"
#include "lists/listsservice.h"
#include "lists/liststores.h"
#include "mainwindow/frmexplorer.h"
#include "media/mediaengine.h"
#include "media/mediaservice.h"
#include "media/mediasliders.h"
#include "media/playcontrol.h"
#include "platform/base/com.h"
#include "platform/base/paths.h"
#include "platform/media/fakemci.h"
#include "platform/media/mastervolume.h"
#include "platform/media/mci.h"
#include "platform/win/listrows.h"

#include "mediafiles.h"
#include "recordingservices.h"
#include "testenv.h"

#include <QDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

class Player : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(platform::com::registerServer(QStringLiteral(Z5_STAGE_DIR "/Skin/SK_Morvane_1.dll")).status,
                  platform::com::RegistrationStatus::Done);
        SkinName = QStringLiteral("Morvane 1");
        LanguageFilePath = QStringLiteral(Z5_SOURCE_DIR "/data/Language/English.ini");
        prog = testenv::freshDir(QStringLiteral("prog"));
        testenv::copyTree(QStringLiteral(Z5_STAGE_DIR "/Common"), prog + QStringLiteral("/Common"));
        platform::paths::setProgramFolder(prog);
        dir = testenv::freshDir(QStringLiteral("clips"));
        window = std::make_unique<frmExplorer>(services);
        lists = std::make_unique<ListsService>(*window, services);
        services.SetLists(lists.get());
    }

    // The media service over the interpreter and mixer given (real ones
    // when none).
    void makeMedia(std::unique_ptr<platform::media::IMci> mci = nullptr,
                   std::unique_ptr<platform::media::IMasterVolume> mixer = nullptr)
    {
        media = std::make_unique<MediaService>(*window, services, std::move(mci), std::move(mixer));
        services.SetMedia(media.get());
        // Shuffles draw from a fixed sequence.
        media->context().random = [this] { return draws.isEmpty() ? 0.0 : draws.takeFirst(); };
        window->CurrentListKind = 1;
        window->ListPlayState = {1, 1, 1, 1, 1, 1, 1};
        window->ListViewerBrowser.fill(-1);
        // A volume track 1,500 twips long from 1,000.
        window->VolumeTrack = {1000, 2500, 60, 1500, 120};
        window->PositionTrack = {1000, 2500, 60, 1500, 120};
        window->VolumeKnobX[1] = 1750;
    }

    void TearDown() override
    {
        services.SetMedia(nullptr);
        media.reset();
        services.SetLists(nullptr);
        lists.reset();
        window.reset();
    }

    // Audio rows: each a path (a file of dir, or missing).
    void audioRows(const QStringList& names)
    {
        auto& rows = lists->stores()[1];
        rows.clear();
        for (const QString& n : names) {
            const int r = rows.add(n);
            rows.setColumn(r, 1, dir + QLatin1Char('/') + n);
        }
        window->ListItemCount[1] = rows.count();
        rows.setCurrentRow(1);
    }

    // Runs the one-second tick's position step, quicker, until the list
    // plays index or the player closes; the indexes seen, in order.
    QList<int> playThrough(int ms = 20000)
    {
        QList<int> seen{window->ListCurrentItem[1]};
        testenv::waitFor(
            [&] {
                media->MediaTimerTick(1);
                if (seen.last() != window->ListCurrentItem[1])
                    seen << window->ListCurrentItem[1];
                return window->ListPlayState[1] == 0 || seen.size() > 6;
            },
            ms);
        return seen;
    }

    qint64 status(const QString& what)
    {
        QString r;
        media->mci().sendString(QStringLiteral("status Z5Audio ") + what, &r);
        return r.toLongLong();
    }

    QString prog, dir;
    QList<double> draws;
    ServiceSet services;
    RecordingServices fakes{services};
    std::unique_ptr<frmExplorer> window;
    std::unique_ptr<ListsService> lists;
    std::unique_ptr<MediaService> media;
};

} // namespace

// The advance rules on the real engine: to the end, Repeat, Single,
// Shuffle; Next past the end; pause and play again.
TEST_F(Player, AdvanceRulesOnTheRealEngine)
{
    ASSERT_TRUE(testmedia::writeWav(dir + QStringLiteral("/a.wav"), 300));
    ASSERT_TRUE(testmedia::writeWav(dir + QStringLiteral("/b.wav"), 400));
    makeMedia();
    audioRows({QStringLiteral("a.wav"), QStringLiteral("b.wav"), QStringLiteral("gone.wav")});

    // No flags: 1, 2, 3 (which cannot open and ends at once), then closed.
    media->PlaySelectedItem(0);
    EXPECT_EQ(window->ListPlayState[1], 2);
    EXPECT_EQ(playThrough(), (QList<int>{1, 2, 3, 4}));
    EXPECT_EQ(window->ListPlayState[1], 0);
    EXPECT_TRUE(media->engine().OpenAudioPath.isEmpty());

    // Repeat wraps from the last item to the first.
    window->RepeatFlags[1] = -1;
    lists->stores()[1].setCurrentRow(2);
    media->PlaySelectedItem(0);
    const QList<int> wrapped = playThrough(8000);
    ASSERT_GE(wrapped.size(), 3);
    EXPECT_EQ(wrapped.mid(0, 3), (QList<int>{2, 3, 1}));

    // Next on the last item closes even with Repeat.
    window->ListCurrentItem[1] = 3;
    media->PlayNextItem(2);
    EXPECT_EQ(window->ListPlayState[1], 0);

    // Single with Repeat starts the same item again from its beginning.
    window->SingleFlags[1] = -1;
    lists->stores()[1].setCurrentRow(1);
    media->PlaySelectedItem(0);
    ASSERT_TRUE(testenv::waitFor([&] { return status(QStringLiteral("position")) > 150; }, 10000));
    // The item ends (300 ms) and starts again near its beginning.
    EXPECT_TRUE(testenv::waitFor(
        [&] {
            media->MediaTimerTick(1);
            return status(QStringLiteral("position")) < 100;
        },
        10000));
    EXPECT_EQ(window->ListCurrentItem[1], 1);
    EXPECT_EQ(window->ListPlayState[1], 2);
    // Single without Repeat closes after the item.
    window->RepeatFlags[1] = 0;
    EXPECT_EQ(playThrough(8000), (QList<int>{1}));
    EXPECT_EQ(window->ListPlayState[1], 0);

    // Shuffle with one item plays it again and again.
    window->SingleFlags[1] = 0;
    window->ShuffleFlags[1] = -1;
    audioRows({QStringLiteral("a.wav")});
    draws = {0.99, 0.5, 0.0};
    media->PlaySelectedItem(0);
    const QList<int> shuffled = playThrough(3000);
    EXPECT_EQ(shuffled, QList<int>{1});
    EXPECT_EQ(window->ListPlayState[1], 2);
    EXPECT_LT(draws.size(), 3) << "the item ended and was drawn again";
    window->ShuffleFlags[1] = 0;

    // Pause and play resume without opening the file again.
    media->StopAudio();
    audioRows({QStringLiteral("b.wav")});
    media->PlaySelectedItem(0);
    ASSERT_TRUE(testenv::waitFor([&] { return status(QStringLiteral("position")) > 100; }, 10000));
    media->PauseList(0, 1);
    const qint64 paused = status(QStringLiteral("position"));
    EXPECT_EQ(window->ListPlayState[1], 1);
    media->PlaySelectedItem(0);
    EXPECT_GE(status(QStringLiteral("position")), paused - 30);
    EXPECT_EQ(window->ListPlayState[1], 2);
}

// The commands of the engine's operations, as the old engine took them.
TEST_F(Player, CommandStringsOfTheOperations)
{
    auto fake = std::make_unique<platform::media::FakeMci>();
    platform::media::FakeMci& mci = *fake;
    makeMedia(std::move(fake), std::make_unique<platform::media::FakeMixer>());
    mci.replies[QStringLiteral("status Z5Audio length")] = QStringLiteral("1500");
    audioRows({QStringLiteral("one.wav"), QStringLiteral("two.mp3"), QStringLiteral("three.wm")});
    struct Case {
        int row;
        QString open;
    } cases[] = {
        {1, QStringLiteral("open \"%1/one.wav\" type WAVEAudio alias Z5Audio")},
        {2, QStringLiteral("open \"%1/two.mp3\" alias Z5Audio wait shareable")},
        {3, QStringLiteral("open \"%1/three.wm\" type MPEGVideo alias Z5Audio parent ")},
    };
    for (const Case& c : cases) {
        lists->stores()[1].setCurrentRow(c.row);
        mci.take();
        media->PlaySelectedItem(0);
        const QStringList sent = mci.take();
        const QString open = c.open.arg(dir);
        ASSERT_GE(sent.size(), 3);
        EXPECT_EQ(sent[0], QStringLiteral("stop Z5Audio"));
        EXPECT_EQ(sent[1], QStringLiteral("close Z5Audio"));
        EXPECT_TRUE(sent[2].startsWith(open)) << sent[2].toStdString();
        EXPECT_TRUE(sent.contains(QStringLiteral("play Z5Audio")));
        EXPECT_EQ(media->engine().MediaItemTimes[1], 1500);
    }
    // The same item again, Repeat off: only play.
    media->PauseList(0, 1);
    mci.take();
    media->PlaySelectedItem(0);
    EXPECT_FALSE(mci.take().join(QLatin1Char('|')).contains(QLatin1String("open")));
    // A stop: stop, seek to 1, close.
    mci.take();
    media->play().StopList(1);
    EXPECT_EQ(mci.take().mid(0, 4), (QStringList{QStringLiteral("stop Z5Audio wait"), QStringLiteral("seek Z5Audio to 1 wait"),
                                               QStringLiteral("stop Z5Audio"), QStringLiteral("close Z5Audio")}));
    EXPECT_EQ(window->ListPlayState[1], 0);
}

// The master volume: the value found first is kept once, and given back at
// the end only when the program changed it.
TEST_F(Player, TheSavedMasterVolumeIsTakenOnceAndGivenBackOnlyAfterAChange)
{
    struct Case {
        const char* name;
        int changes;
        bool fails;
        int32_t saved;
    } cases[] = {
        {"never changed", 0, false, -1},
        {"changed twice", 2, false, 40000},
        {"mixer fails", 1, true, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SavedMasterVolume = -1;
        auto mixer = std::make_unique<platform::media::FakeMixer>();
        platform::media::FakeMixer& m = *mixer;
        m.fails = c.fails;
        makeMedia(std::make_unique<platform::media::FakeMci>(), std::move(mixer));
        for (int i = 0; i < c.changes; ++i)
            media->sliders().ApplyVolumeKnob(1000 + 375 * (i + 1));
        EXPECT_EQ(SavedMasterVolume, c.saved);
        if (c.changes == 2 && !c.fails) {
            // A quarter, then half of 0..65535; the first found value stays.
            EXPECT_EQ(m.calls, (QStringList{QStringLiteral("range"), QStringLiteral("get"), QStringLiteral("set 16384"),
                                            QStringLiteral("range"), QStringLiteral("set 32768")}));
            m.calls.clear();
            // The window's end gives back what was found.
            window->Form_Unload();
            EXPECT_TRUE(m.calls.contains(QStringLiteral("set 40000")));
        }
        services.SetMedia(nullptr);
        media.reset();
    }
}

// With no mixer on the machine the knob sets the playing item's volume.
TEST_F(Player, WithoutACardTheKnobSetsThePlayersVolume)
{
    ASSERT_TRUE(testmedia::writeWav(dir + QStringLiteral("/long.wav"), 3000));
    makeMedia();
    if (platform::media::AlsaMasterVolume().isOpen())
        GTEST_SKIP() << "this machine has a mixer";
    audioRows({QStringLiteral("long.wav")});
    media->PlaySelectedItem(0);
    ASSERT_EQ(window->ListPlayState[1], 2);
    // The knob in the middle of the track: half the volume.
    EXPECT_EQ(status(QStringLiteral("volume")), 500);
    // A drag to the right end; a click released at once moves one step; a
    // click held glides to the quarter mark (X is the pointer on the track).
    media->DragVolumeKnob(2, 2000);
    EXPECT_EQ(status(QStringLiteral("volume")), 1000);
    window->ButtonReleased = -1;
    media->DragVolumeKnob(1, 375 + 60 + 60);
    ASSERT_TRUE(testenv::waitFor([&] { return !window->VolumeKnobGlide; }, 10000));
    EXPECT_FLOAT_EQ(window->VolumeKnobX[1], 2490);
    window->ButtonReleased = 0;
    media->DragVolumeKnob(1, 375 + 120);
    ASSERT_TRUE(testenv::waitFor([&] { return !window->VolumeKnobGlide; }, 20000));
    EXPECT_FLOAT_EQ(window->VolumeKnobX[1], 1375);
    EXPECT_EQ(status(QStringLiteral("volume")), 250);
}
