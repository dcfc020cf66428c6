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
#include "platform/base/registry.h"
#include "platform/media/fakemci.h"
#include "platform/media/mastervolume.h"
#include "platform/media/medialayer.h"
#include "platform/media/mci.h"
#include "platform/win/controls.h"
#include "platform/win/listrows.h"
#include "platform/win/twips.h"
#include "media/videoview.h"

#include "httpserver.h"
#include "mediafiles.h"
#include "recordingservices.h"
#include "scriptedserver.h"
#include "testenv.h"

#include <QDir>
#include <QFileInfo>
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
        if (!mci && !mixer) {
            platform::media::MediaLayer layer = platform::media::makeMediaLayer();
            // A busy machine may take longer than the program's 3 s to load.
            static_cast<platform::media::Mci&>(*layer.mci).setOpenWait(30000, 30000);
            mci = std::move(layer.mci);
            mixer = std::move(layer.mixer);
        }
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

// A video of the video list shows in the current tab's place, zooms in the
// three ways, and gives the tab back when it closes.
TEST_F(Player, VideoShowsInTheTabZoomsAndGivesTheTabBack)
{
    platform::forms::setTwipsPerPixel(15, 15);
    // Long enough to play through the checks below.
    ASSERT_TRUE(testmedia::writeBarsAvi(dir + QStringLiteral("/bars.avi"), 320, 240, 600));
    makeMedia();
    window->show();
    window->move(0, 0, 12000, 9000);
    window->PicHolder[0].move(0, 0, 9000, 6000);
    // The tab's browser: only its place matters here.
    platform::forms::PictureBox page(*window, QStringLiteral("WBMAIN"), 0, &window->PicHolder[0]);
    page.move(0, 0, 9000, 6000);
    page.setBackColor(QColor(255, 255, 255));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window->window(), 5000));
    auto& rows = lists->stores()[2];
    rows.setColumn(rows.add(QStringLiteral("bars.avi")), 1, dir + QStringLiteral("/bars.avi"));
    rows.setCurrentRow(1);
    window->CurrentListKind = 2;
    media->PlaySelectedItem(0);

    EXPECT_EQ(window->ListViewerBrowser[2], 0);
    EXPECT_TRUE(fakes.calls.contains(QStringLiteral("SetTabState(0,1,2)")));
    auto& area = window->PicHolder[2];
    auto& holder = window->PicHolder[3];
    EXPECT_TRUE(area.visible());
    EXPECT_EQ(area.width(), 9000);
    // The native size, centred.
    EXPECT_EQ(holder.width(), 4800);
    EXPECT_EQ(holder.height(), 3600);
    EXPECT_EQ(holder.left(), 2100);
    EXPECT_EQ(holder.top(), 1200);

    // The first bar's colour shows in the browser's place.
    const QColor first = testmedia::barColours()[0];
    const QPoint inFirstBar(140 + 40, 80 + 120);
    QImage shot;
    EXPECT_TRUE(testenv::waitFor(
        [&] {
            shot = window->window()->grab().toImage();
            const QColor c = shot.pixelColor(inFirstBar);
            return std::abs(c.red() - first.red()) < 40 && std::abs(c.green() - first.green()) < 40
                   && std::abs(c.blue() - first.blue()) < 40;
        },
        10000))
        << "the pixel is " << shot.pixelColor(inFirstBar).name().toStdString();
    shot.save(QStringLiteral(Z5_BINARY_DIR "/screenshots/media-video-in-tab.png"));

    // Fit, restore, zoom out, and zoom in capped.
    struct Step {
        uint8_t mode;
        int repeat;
        double width, height;
    } steps[] = {
        {0, 1, 8000, 6000},
        {0, 1, 4800, 3600},
        {2, 1, 4320, 3240},
        {4, 1, 4320, 3240},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(int(s.mode));
        for (int i = 0; i < s.repeat; ++i)
            media->video().ZoomVideo(s.mode);
        EXPECT_NEAR(holder.width(), s.width, 1);
        EXPECT_NEAR(holder.height(), s.height, 1);
        EXPECT_NEAR(holder.left(), (9000 - s.width) / 2, 1);
    }
    for (int i = 0; i < 300; ++i)
        media->video().ZoomVideo(1);
    EXPECT_LE(holder.width() * holder.height(), 8.0 * 9000 * 6000);
    EXPECT_GT(holder.width() * holder.height(), 6.0 * 9000 * 6000);
    EXPECT_LE(holder.width(), 32767 * 15);

    fakes.calls.clear();
    media->CloseVideoPlayer();
    EXPECT_FALSE(area.visible());
    EXPECT_EQ(window->ListViewerBrowser[2], -1);
    EXPECT_EQ(window->ListPlayState[2], 0);
    EXPECT_TRUE(fakes.calls.contains(QStringLiteral("SetTabState(0,1,1)")));
    EXPECT_TRUE(fakes.calls.contains(QStringLiteral("UpdateTabTitle(0)")));
    const QImage after = window->window()->grab().toImage();
    EXPECT_EQ(after.pixelColor(inFirstBar), QColor(255, 255, 255)) << "the page shows again";
    platform::forms::setTwipsPerPixel(0, 0);
}

// A Net item just opened is handed to the download manager with one
// argument, once; a local item, an unsafe name, an offline list or a target
// folder that is not absolute start nothing.
TEST_F(Player, APlayingNetItemIsHandedToTheDownloadManagerOnce)
{
    auto fake = std::make_unique<platform::media::FakeMci>();
    makeMedia(std::move(fake), std::make_unique<platform::media::FakeMixer>());
    QStringList started;
    media->context().startProgram = [&](const QString& program, const QStringList& args) -> qint64 {
        started << program + QLatin1Char(' ') + QString::number(args.size()) + QLatin1Char(' ') + args.value(0);
        return QCoreApplication::applicationPid();
    };
    const QString target = testenv::freshDir(QStringLiteral("target"));
    struct Case {
        const char* name;
        QString text, source, folder, options;
        bool starts;
    } cases[] = {
        {"net item", QStringLiteral("song.wav"), QStringLiteral("http://127.0.0.1:1/song.wav"), target, QStringLiteral("001000"), true},
        {"local item", QStringLiteral("song.wav"), dir + QStringLiteral("/song.wav"), target, QStringLiteral("001000"), false},
        {"offline list", QStringLiteral("song.wav"), QStringLiteral("http://127.0.0.1:1/song.wav"), target, QStringLiteral("101000"), false},
        {"name with a slash", QStringLiteral("../song.wav"), QStringLiteral("http://127.0.0.1:1/song.wav"), target, QStringLiteral("001000"), false},
        {"dot dot", QStringLiteral(".."), QStringLiteral("http://127.0.0.1:1/song.wav"), target, QStringLiteral("001000"), false},
        {"relative folder", QStringLiteral("song.wav"), QStringLiteral("http://127.0.0.1:1/song.wav"), QStringLiteral("target"), QStringLiteral("001000"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        started.clear();
        ListDownloadOptions[1] = c.options;
        auto& rows = lists->stores()[1];
        rows.clear();
        const int r = rows.add(c.text);
        rows.setColumn(r, 1, c.source);
        rows.setColumn(r, 3, c.folder);
        rows.setCurrentRow(1);
        media->engine().CloseAudioPlayer();
        media->PlaySelectedItem(0);
        // Resumed after a pause: the item is not opened again, nothing more starts.
        media->PauseList(0, 1);
        media->PlaySelectedItem(0);
        const QString expected = platform::paths::programPath(QStringLiteral("/Tool/Z5DownLoad.exe")) + QStringLiteral(" 1 ")
                                 + c.source + QStringLiteral("|||||") + c.folder + QLatin1Char('/') + c.text;
        EXPECT_EQ(started, c.starts ? QStringList{expected} : QStringList());
    }
}

// The real hand-off: a Net WAV from a loopback server plays on the real
// engine and starts the program folder's Z5DownLoad once, with one
// argument, and that process writes the file; a local item starts nothing.
TEST_F(Player, APlayingNetWavIsFetchedByTheRealDownloadManager)
{
    // A program folder with the download manager and what it loads.
    const QString stage = QStringLiteral(Z5_STAGE_DIR);
    for (const QString& sub : {QStringLiteral("Tool"), QStringLiteral("Language"), QStringLiteral("Data")})
        testenv::copyTree(stage + QLatin1Char('/') + sub, prog + QLatin1Char('/') + sub);
    for (const QString& f : QDir(stage).entryList({QStringLiteral("*.so")}, QDir::Files))
        ASSERT_TRUE(QFile::copy(stage + QLatin1Char('/') + f, prog + QLatin1Char('/') + f));
    ASSERT_TRUE(QFile::setPermissions(prog + QStringLiteral("/Tool/Z5DownLoad.exe"),
                                      QFile::permissions(stage + QStringLiteral("/Tool/Z5DownLoad.exe"))));
    ASSERT_TRUE(testenv::writeFile(prog + QStringLiteral("/Z5.exe"), {}));
    platform::registry::writeValue(platform::registry::Hive::LocalMachine, QStringLiteral("Software\\Keldo\\Z5 Browser"),
                                   QStringLiteral("Z5_APPLICATIONPATH"), platform::registry::Value::string(prog));

    ASSERT_TRUE(testmedia::writeWav(dir + QStringLiteral("/song.wav"), 900));
    const QByteArray wav = testenv::readFile(dir + QStringLiteral("/song.wav"));
    testenv::HttpServer server;
    server.serve(QStringLiteral("/song.wav"), wav, "audio/wav");

    makeMedia();
    QStringList started;
    std::vector<qint64> pids;
    const auto real = media->context().startProgram;
    ASSERT_TRUE(real);
    media->context().startProgram = [&](const QString& program, const QStringList& args) -> qint64 {
        started << QFileInfo(program).fileName() + QLatin1Char(' ') + QString::number(args.size()) + QLatin1Char(' ')
                       + args.value(0);
        const qint64 pid = real(program, args);
        pids.push_back(pid);
        return pid;
    };
    const QString target = testenv::freshDir(QStringLiteral("target"));
    ListDownloadOptions[1] = QStringLiteral("001000");
    const auto playOnly = [&](const QString& source) {
        auto& rows = lists->stores()[1];
        rows.clear();
        const int r = rows.add(QStringLiteral("song.wav"));
        rows.setColumn(r, 1, source);
        rows.setColumn(r, 3, target);
        rows.setCurrentRow(1);
        window->ListItemCount[1] = 1;
        media->engine().CloseAudioPlayer();
        started.clear();
        media->PlaySelectedItem(0);
    };

    // A local item plays and starts nothing.
    playOnly(dir + QStringLiteral("/song.wav"));
    EXPECT_TRUE(testenv::waitFor([&] { return status(QStringLiteral("position")) > 0; }, 30000));
    EXPECT_EQ(started, QStringList());

    // The Net item plays; paused and played again it starts nothing more.
    const QString url = server.url(QStringLiteral("/song.wav")).toString();
    playOnly(url);
    EXPECT_TRUE(testenv::waitFor([&] { return status(QStringLiteral("position")) > 0; }, 30000)) << "the Net WAV plays";
    media->PauseList(0, 1);
    media->PlaySelectedItem(0);
    EXPECT_EQ(started, QStringList{QStringLiteral("Z5DownLoad.exe 1 ") + url + QStringLiteral("|||||") + target
                                   + QStringLiteral("/song.wav")});
    ASSERT_EQ(pids.size(), 1u);
    EXPECT_GT(pids[0], 0);
    EXPECT_TRUE(testenv::waitFor([&] { return testenv::readFile(target + QStringLiteral("/song.wav")) == wav; }, 60000))
        << "the download manager wrote the file";
    media->engine().CloseAudioPlayer();
}

// Items that cannot be opened (an empty file, random bytes, a missing file)
// are each named in the status line as the list steps over them, and the
// good item after them plays.
TEST_F(Player, ItemsThatCannotBeOpenedAreNamedAndPassedOver)
{
    ASSERT_TRUE(testenv::writeFile(dir + QStringLiteral("/empty.wav"), {}));
    QByteArray noise;
    for (int i = 0; i < 8192; ++i)
        noise += static_cast<char>((i * 7919 + 13) % 251);
    ASSERT_TRUE(testenv::writeFile(dir + QStringLiteral("/noise.mp3"), noise));
    ASSERT_TRUE(testmedia::writeWav(dir + QStringLiteral("/good.wav"), 600));
    makeMedia();
    audioRows({QStringLiteral("empty.wav"), QStringLiteral("noise.mp3"), QStringLiteral("gone.wav"), QStringLiteral("good.wav")});

    media->PlaySelectedItem(0);
    bool goodPlayed = false;
    testenv::waitFor(
        [&] {
            media->MediaTimerTick(1);
            if (window->ListCurrentItem[1] == 4 && status(QStringLiteral("position")) > 0)
                goodPlayed = true;
            return window->ListPlayState[1] == 0;
        },
        30000);
    EXPECT_EQ(window->ListPlayState[1], 0) << "the list reached its end";
    EXPECT_TRUE(goodPlayed) << "the fourth item played";
    QStringList named;
    qsizetype lastNamed = -1;
    const QString prefix = QStringLiteral("SetStatusMessage(This item could not be opened: ");
    for (qsizetype i = 0; i < fakes.calls.size(); ++i)
        if (fakes.calls[i].startsWith(prefix)) {
            named << fakes.calls[i].mid(prefix.size()).section(QLatin1Char(','), 0, 0);
            lastNamed = i;
        }
    EXPECT_EQ(named, (QStringList{QStringLiteral("empty.wav"), QStringLiteral("noise.mp3"), QStringLiteral("gone.wav")}));
    // Once the good item plays the status tells the state again.
    ASSERT_GE(lastNamed, 0);
    EXPECT_TRUE(fakes.calls.mid(lastNamed).contains(QStringLiteral("ShowMediaStateStatus")));
}

// A Net item whose length is not known when it loads (served without a
// Content-Length, as a stream) plays until the server has sent it all and
// closed; the one-second tick never ends it on its position alone.
TEST_F(Player, AnItemOfUnknownLengthPlaysUntilItsStreamEnds)
{
    const QString ogg = dir + QStringLiteral("/tone.ogg");
    // Three seconds of tone.
    ASSERT_TRUE(testmedia::gstEncode(ogg, QStringLiteral("audiotestsrc num-buffers=66 samplesperbuffer=1000 ! "
                                                         "audio/x-raw,rate=22000,channels=1 ! audioconvert ! vorbisenc ! oggmux")))
        << "gst-launch-1.0 with vorbisenc and oggmux is needed";
    const QByteArray bytes = testenv::readFile(ogg);
    // The head without a length, then the stream in twenty pieces over
    // two seconds, then the connection closed.
    Answer stream;
    stream.pieces << QByteArray("HTTP/1.1 200 OK\r\nContent-Type: audio/ogg\r\nConnection: close\r\n\r\n");
    const qsizetype piece = bytes.size() / 20 + 1;
    for (qsizetype at = 0; at < bytes.size(); at += piece)
        stream.pieces << bytes.mid(at, piece);
    stream.pauseMs = 100;
    ScriptedServer server([&](int, const QByteArray&) { return stream; });

    makeMedia();
    auto& rows = lists->stores()[1];
    rows.clear();
    rows.setColumn(rows.add(QStringLiteral("tone.ogg")), 1, server.url(QStringLiteral("/tone.ogg")));
    rows.setCurrentRow(1);
    window->ListItemCount[1] = 1;
    ListDownloadOptions[1] = QStringLiteral("101000");
    media->PlaySelectedItem(0);
    ASSERT_EQ(window->ListPlayState[1], 2);
    ASSERT_FALSE(media->engine().OpenAudioPath.isEmpty()) << "the stream opened";
    EXPECT_LE(media->engine().MediaItemTimes[2], 0) << "the stream's length is not known at its load";

    qint64 furthest = 0;
    const bool ended = testenv::waitFor(
        [&] {
            furthest = std::max(furthest, status(QStringLiteral("position")));
            media->MediaTimerTick(1);
            return window->ListPlayState[1] == 0;
        },
        30000);
    EXPECT_TRUE(ended) << "the item ends when its stream does";
    EXPECT_GE(furthest, 2500) << "the item played through its stream";
}
