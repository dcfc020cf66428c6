// The media command interpreter against real files made by the test.

#include "platform/win/widgethandles.h"
#include "platform/media/mastervolume.h"
#include "platform/media/mci.h"
#include "platform/media/videosurface.h"

#include "mediafiles.h"
#include "testenv.h"

#include <QDir>
#include <QElapsedTimer>
#include <QScreen>
#include <QTcpServer>
#include <QTest>
#include <QTimer>
#include <QVideoFrame>
#include <QVideoSink>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

using platform::media::Mci;

namespace {

QString reply(Mci& mci, const QString& command)
{
    QString out;
    mci.sendString(command, &out);
    return out;
}

qint64 number(Mci& mci, const QString& command)
{
    return reply(mci, command).toLongLong();
}

const QString kAudioOne = QStringLiteral("audiotestsrc num-buffers=10 samplesperbuffer=4410 ! audio/x-raw,rate=44100,channels=1 ! audioconvert");
const QString kVideoOne = QStringLiteral("videotestsrc num-buffers=10 ! video/x-raw,width=160,height=120,framerate=10/1");

struct FileCase {
    const char* name;
    // "" for a file the test writes itself.
    QString pipeline;
    bool video;
    int lengthMs; // -1: not checked
};

bool make(const QString& dir, const FileCase& c, QString& path)
{
    path = dir + QLatin1Char('/') + QLatin1String(c.name);
    const QString name = QLatin1String(c.name);
    if (name == QLatin1String("tone.wav"))
        return testmedia::writeWav(path, 1000);
    if (name == QLatin1String("bars.avi"))
        return testmedia::writeBarsAvi(path, 320, 240, 10);
    if (name == QLatin1String("notes.mid"))
        return testmedia::writeMidi(path);
    return testmedia::gstEncode(path, c.pipeline);
}

} // namespace

// Every kind of file the lists play, from open to close.
TEST(MediaCommands, EachFormatOpensPlaysPausesAndStops)
{
    const QString dir = testenv::freshDir(QStringLiteral("media"));
    const FileCase cases[] = {
        {"tone.wav", {}, false, 1000},
        // Whole frames of 1,152 samples with the encoder's delay: 39 frames.
        {"tone.mp3", kAudioOne + QStringLiteral(" ! lamemp3enc ! xingmux"), false, 1071},
        {"tone.ogg", kAudioOne + QStringLiteral(" ! vorbisenc ! oggmux"), false, 1000},
        {"tone.wma", kAudioOne + QStringLiteral(" ! audio/x-raw,format=F32LE,channels=2 ! avenc_wmav2 ! asfmux"), false, -1},
        {"bars.avi", {}, true, 1000},
        {"clip.webm", kVideoOne + QStringLiteral(" ! vp8enc ! webmmux"), true, 1000},
        {"clip.wmv", kVideoOne + QStringLiteral(" ! avenc_wmv2 ! asfmux"), true, -1},
        // A program stream of MPEG-2 video (MPEG-2 knows no 10 frames a
        // second). The system layer is libav's: GStreamer's own muxer writes
        // streams whose length the player reads as 0, and their first frame
        // never comes.
        {"clip.mpg",
         QStringLiteral("videotestsrc num-buffers=25 ! video/x-raw,width=160,height=120,framerate=25/1 ! mpeg2enc ! mpegvideoparse ! avmux_mpeg"),
         true, 1000},
        {"notes.mid", {}, false, -1},
    };
    QWidget window;
    window.resize(400, 300);
    const quintptr parent = platform::widgethandles::handleOf(&window);
    for (const FileCase& c : cases) {
        SCOPED_TRACE(c.name);
        QString path;
        ASSERT_TRUE(make(dir, c, path)) << "could not make the file (is gst-launch-1.0 installed?)";
        Mci mci;
        // A busy machine may take longer than the program's 3 s to load.
        mci.setOpenWait(30000, 30000);
        const QString alias = c.video ? QStringLiteral("Z5Video") : QStringLiteral("Z5Audio");
        QString open = QStringLiteral("open \"") + path + QStringLiteral("\" type MPEGVideo alias ") + alias;
        if (c.video)
            open += QStringLiteral(" parent ") + QString::number(parent) + QStringLiteral(" style 1073741824");
        ASSERT_EQ(mci.sendString(open, nullptr), 0);
        EXPECT_EQ(reply(mci, QStringLiteral("status ") + alias + QStringLiteral(" mode")), QStringLiteral("stopped"));
        const qint64 length = number(mci, QStringLiteral("status ") + alias + QStringLiteral(" length"));
        if (c.lengthMs > 0) {
            EXPECT_NEAR(length, c.lengthMs, 50);
        } else {
            EXPECT_GT(length, 0);
        }
        if (QLatin1String(c.name) == QLatin1String("bars.avi")) {
            EXPECT_EQ(reply(mci, QStringLiteral("where Z5Video destination")), QStringLiteral("0 0 320 240"));
        }

        ASSERT_EQ(mci.sendString(QStringLiteral("play ") + alias, nullptr), 0);
        EXPECT_EQ(reply(mci, QStringLiteral("status ") + alias + QStringLiteral(" mode")), QStringLiteral("playing"));
        EXPECT_TRUE(testenv::waitFor([&] { return number(mci, QStringLiteral("status ") + alias + QStringLiteral(" position")) > 0; }, 10000));
        mci.sendString(QStringLiteral("pause ") + alias + QStringLiteral(" wait"), nullptr);
        EXPECT_TRUE(testenv::waitFor([&] { return reply(mci, QStringLiteral("status ") + alias + QStringLiteral(" mode")) == QLatin1String("paused"); }));
        const qint64 pausedAt = number(mci, QStringLiteral("status ") + alias + QStringLiteral(" position"));
        mci.sendString(QStringLiteral("play ") + alias, nullptr);
        EXPECT_TRUE(testenv::waitFor([&] { return number(mci, QStringLiteral("status ") + alias + QStringLiteral(" position")) > pausedAt; }, 10000));
        mci.sendString(QStringLiteral("stop ") + alias + QStringLiteral(" wait"), nullptr);
        EXPECT_EQ(reply(mci, QStringLiteral("status ") + alias + QStringLiteral(" mode")), QStringLiteral("stopped"));
        EXPECT_EQ(mci.sendString(QStringLiteral("close ") + alias, nullptr), 0);
        EXPECT_TRUE(mci.aliases().isEmpty());
        EXPECT_NE(mci.sendString(QStringLiteral("status ") + alias + QStringLiteral(" mode"), nullptr), 0);
    }
}

// A window is given to every Windows Media file, sound or film: only an
// item with pictures puts a surface on it, so a sound never lays a black
// panel over a video already shown there.
TEST(MediaCommands, OnlyAnItemWithPicturesPutsASurfaceOnItsWindow)
{
    const QString dir = testenv::freshDir(QStringLiteral("media"));
    const FileCase cases[] = {
        {"tone.wma", kAudioOne + QStringLiteral(" ! audio/x-raw,format=F32LE,channels=2 ! avenc_wmav2 ! asfmux"), false, -1},
        {"bars.avi", {}, true, -1},
    };
    for (const FileCase& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget window;
        window.resize(400, 300);
        Mci mci;
        mci.setOpenWait(30000, 30000);
        QString path;
        ASSERT_TRUE(make(dir, c, path)) << "could not make the file (is gst-launch-1.0 installed?)";
        ASSERT_EQ(mci.sendString(QStringLiteral("open \"") + path + QStringLiteral("\" type MPEGVideo alias Z5Audio parent ")
                                     + QString::number(platform::widgethandles::handleOf(&window))
                                     + QStringLiteral(" style 1073741824"),
                                 nullptr),
                  0);
        ASSERT_EQ(mci.sendString(QStringLiteral("play Z5Audio"), nullptr), 0);
        EXPECT_TRUE(testenv::waitFor([&] { return number(mci, QStringLiteral("status Z5Audio position")) > 0; }, 10000));
        EXPECT_EQ(window.findChildren<platform::media::VideoSurface*>().size(), c.video ? 1 : 0);
        EXPECT_EQ(mci.sendString(QStringLiteral("where Z5Audio destination"), nullptr) == 0, c.video);
        mci.sendString(QStringLiteral("close all"), nullptr);
    }
}

// Files that cannot play leave nothing behind, and a name full of quotes
// and keywords is only a name.
TEST(MediaCommands, FailedOpensLeaveNoAliasAndNamesInjectNothing)
{
    const QString dir = testenv::freshDir(QStringLiteral("media"));
    ASSERT_TRUE(testenv::writeFile(dir + QStringLiteral("/junk.mp3"), QByteArray(4096, 'j')));
    const QString odd = dir + QStringLiteral("/x\" alias Z5Video.wav");
    ASSERT_TRUE(testmedia::writeWav(odd, 300));
    struct Case {
        QString command;
        bool opens;
    } cases[] = {
        {QStringLiteral("open \"") + dir + QStringLiteral("/junk.mp3\" alias Z5Audio wait shareable"), false},
        {QStringLiteral("open \"") + dir + QStringLiteral("/missing.wav\" type WAVEAudio alias Z5Audio"), false},
        {QStringLiteral("open \"\" alias Z5Audio"), false},
        {QStringLiteral("open \"") + odd + QStringLiteral("\" type WAVEAudio alias Z5Audio"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command.toStdString());
        Mci mci;
        EXPECT_EQ(mci.sendString(c.command, nullptr) == 0, c.opens);
        EXPECT_EQ(mci.aliases(), c.opens ? QStringList{QStringLiteral("z5audio")} : QStringList());
        QString mode;
        mci.sendString(QStringLiteral("status Z5Audio mode"), &mode);
        EXPECT_EQ(mode, c.opens ? QStringLiteral("stopped") : QString());
        EXPECT_EQ(mci.sendString(QStringLiteral("close all"), nullptr), 0);
        EXPECT_TRUE(mci.aliases().isEmpty());
    }
}

// A close, stop or "close all" that arrives while an open still waits ends
// that open: it fails, nothing of it is left, and the alias is free again.
TEST(MediaCommands, ClosingWhileAnOpenWaitsCancelsIt)
{
    const QString dir = testenv::freshDir(QStringLiteral("media"));
    const QString wav = dir + QStringLiteral("/tone.wav");
    ASSERT_TRUE(testmedia::writeWav(wav, 500));
    for (const QString& closer : {QStringLiteral("close Z5Audio"), QStringLiteral("stop Z5Audio"), QStringLiteral("close all")}) {
        SCOPED_TRACE(closer.toStdString());
        Mci mci;
        int closed = -1;
        QStringList duringWait;
        QTimer::singleShot(0, [&] {
            duringWait = mci.aliases();
            closed = mci.sendString(closer, nullptr);
            // A second play while the open waits is refused.
        });
        const int opened = mci.sendString(QStringLiteral("open \"") + wav + QStringLiteral("\" type WAVEAudio alias Z5Audio"), nullptr);
        EXPECT_EQ(duringWait, QStringList{QStringLiteral("z5audio")}) << "the timer ran inside the wait";
        EXPECT_EQ(closed, 0);
        EXPECT_NE(opened, 0);
        EXPECT_TRUE(mci.aliases().isEmpty());
        QTest::qWait(50);
        EXPECT_EQ(mci.sendString(QStringLiteral("open \"") + wav + QStringLiteral("\" type WAVEAudio alias Z5Audio"), nullptr), 0);
    }
}

// A play or a position asked while the open waits is refused; the mode says
// the item is not ready.
TEST(MediaCommands, APendingItemIsNotReady)
{
    const QString dir = testenv::freshDir(QStringLiteral("media"));
    const QString wav = dir + QStringLiteral("/tone.wav");
    ASSERT_TRUE(testmedia::writeWav(wav, 500));
    Mci mci;
    int play = 0;
    QString mode;
    QTimer::singleShot(0, [&] {
        play = mci.sendString(QStringLiteral("play Z5Audio"), nullptr);
        mci.sendString(QStringLiteral("status Z5Audio mode"), &mode);
    });
    ASSERT_EQ(mci.sendString(QStringLiteral("open \"") + wav + QStringLiteral("\" alias Z5Audio"), nullptr), 0);
    EXPECT_EQ(play, platform::media::MciNotReady);
    EXPECT_EQ(mode, QStringLiteral("not ready"));
}

// Two aliases at once; volumes per alias and over all of them; "close all".
TEST(MediaCommands, VolumesAndCloseAll)
{
    const QString dir = testenv::freshDir(QStringLiteral("media"));
    ASSERT_TRUE(testmedia::writeWav(dir + QStringLiteral("/a.wav"), 500));
    ASSERT_TRUE(testmedia::writeBarsAvi(dir + QStringLiteral("/b.avi"), 64, 48, 5));
    Mci mci;
    ASSERT_EQ(mci.sendString(QStringLiteral("open \"") + dir + QStringLiteral("/a.wav\" type WAVEAudio alias Z5Audio"), nullptr), 0);
    ASSERT_EQ(mci.sendString(QStringLiteral("open \"") + dir + QStringLiteral("/b.avi\" type MPEGVideo alias Z5Video"), nullptr), 0);
    EXPECT_EQ(mci.sendString(QStringLiteral("open \"") + dir + QStringLiteral("/a.wav\" alias Z5Audio"), nullptr),
              platform::media::MciDuplicateAlias);
    EXPECT_EQ(reply(mci, QStringLiteral("status Z5Audio volume")), QStringLiteral("1000"));
    mci.sendString(QStringLiteral("setaudio Z5Audio volume to 400"), nullptr);
    EXPECT_EQ(reply(mci, QStringLiteral("status Z5Audio volume")), QStringLiteral("400"));
    mci.setAppVolume(0.5);
    EXPECT_EQ(reply(mci, QStringLiteral("status Z5Audio volume")), QStringLiteral("200"));
    EXPECT_EQ(reply(mci, QStringLiteral("status Z5Video volume")), QStringLiteral("500"));
    // Files know no tracks.
    EXPECT_EQ(mci.sendString(QStringLiteral("set Z5Audio time format tmsf"), nullptr), platform::media::MciBadTimeFormat);
    EXPECT_EQ(mci.sendString(QStringLiteral("set Z5Audio time format milliseconds"), nullptr), 0);
    EXPECT_EQ(mci.aliases().size(), 2);
    EXPECT_EQ(mci.sendString(QStringLiteral("close all"), nullptr), 0);
    EXPECT_TRUE(mci.aliases().isEmpty());
}

// The mixer of the machine: with no card the binding says so and nothing
// is changed; the program's own volume then reaches the players.
TEST(MasterVolumeBinding, WithoutACardTheProgramsOwnVolumeServes)
{
    platform::media::AlsaMasterVolume alsa(QStringLiteral("hw:99"));
    int32_t lo = -7, hi = -7, v = -7;
    EXPECT_FALSE(alsa.isOpen());
    EXPECT_FALSE(alsa.range(lo, hi));
    EXPECT_FALSE(alsa.get(v));
    EXPECT_FALSE(alsa.set(100));
    EXPECT_EQ(lo, -7);

    double applied = -1;
    platform::media::MasterVolume own([&](double f) { applied = f; }, nullptr);
    if (own.usesCard())
        GTEST_SKIP() << "this machine has a mixer";
    ASSERT_TRUE(own.range(lo, hi));
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, platform::media::MasterVolume::kOwnMaximum);
    EXPECT_TRUE(own.set(hi / 4));
    EXPECT_NEAR(applied, 0.25, 0.001);
    ASSERT_TRUE(own.get(v));
    EXPECT_EQ(v, hi / 4);
}

// An address that never answers: the open gives up at its bound, fails and
// leaves nothing.
TEST(MediaCommands, AnOpenThatNeverLoadsGivesUpAtItsBound)
{
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    Mci mci;
    mci.setOpenWait(300, 300);
    const QString url = QStringLiteral("http://127.0.0.1:%1/song.mp3").arg(silent.serverPort());
    EXPECT_NE(mci.sendString(QStringLiteral("open \"") + url + QStringLiteral("\" alias Z5Audio wait shareable"), nullptr), 0);
    EXPECT_TRUE(mci.aliases().isEmpty());
}

namespace {

// A frame whose left half is of one colour and right half of another, as
// a decoder hands it over.
QVideoFrame halvesFrame(QSize size, QColor left, QColor right)
{
    QVideoFrame frame(QVideoFrameFormat(size, QVideoFrameFormat::Format_BGRX8888));
    if (!frame.map(QVideoFrame::WriteOnly))
        return {};
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<quint32*>(frame.bits(0) + y * frame.bytesPerLine(0));
        std::fill(line, line + size.width() / 2, left.rgb());
        std::fill(line + size.width() / 2, line + size.width(), right.rgb());
    }
    frame.unmap();
    return frame;
}

// Counts the repaints asked of a top-level widget.
struct RepaintCounter : QObject {
    int asked = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        asked += event->type() == QEvent::UpdateRequest;
        return false;
    }
};

QImage shownIn(QWindow* window)
{
    return window ? window->screen()->grabWindow(window->winId()).toImage() : QImage();
}

} // namespace

// Frames reach the screen through the surface's own window, laid over the
// part of the surface that the widgets it lies in leave visible, and the
// program's window is not repainted for them (a window with web pages in
// it is composed whole on each repaint). It follows the widgets it lies in
// as they move and hide, and the widget still paints the frame when the
// window's content is asked (a grab).
TEST(VideoSurfaceWindow, FramesGoToTheSurfacesOwnWindowClippedToWhereItLies)
{
    QWidget top;
    top.resize(400, 300);
    QWidget area(&top);
    area.setGeometry(50, 40, 200, 150);
    QWidget holder(&area);
    holder.setGeometry(20, 10, 160, 120);
    platform::media::VideoSurface surface(&holder);
    // A widget of the window that lies over the area's right edge while shown.
    QWidget cover(&top);
    cover.setGeometry(230, 40, 100, 60);
    cover.hide();
    QVideoSink sink;
    surface.attach(&sink);
    top.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&top, 5000));

    RepaintCounter counter;
    top.installEventFilter(&counter);
    const QColor colours[] = {QColor(220, 30, 30), QColor(30, 200, 30), QColor(30, 30, 220)};
    const QColor right(230, 230, 40);
    for (const QColor& c : colours) {
        sink.setVideoFrame(halvesFrame(QSize(32, 24), c, right));
        ASSERT_TRUE(testenv::waitFor([&] { return shownIn(surface.frameWindow()).pixelColor(40, 60) == c; }, 5000))
            << "the frame window shows " << shownIn(surface.frameWindow()).pixelColor(40, 60).name().toStdString();
    }
    EXPECT_EQ(counter.asked, 0) << "the program's window was repainted for the frames";
    EXPECT_EQ(top.grab().toImage().pixelColor(50 + 20 + 40, 40 + 10 + 60), colours[2]);

    struct Step {
        const char* what;
        std::function<void()> act;
        QRect window; // in the top-level, empty: no window shown
        QPoint origin; // the surface's corner in the window
        QRegion mask = {}; // of the window, empty: all of it
    } steps[] = {
        {"as it lies", [] {}, QRect(70, 50, 160, 120), QPoint(0, 0)},
        {"the holder moves", [&] { holder.move(30, 20); }, QRect(80, 60, 160, 120), QPoint(0, 0)},
        {"zoomed past the area", [&] { holder.setGeometry(-40, -30, 280, 210); }, QRect(50, 40, 200, 150), QPoint(-40, -30)},
        {"the area moves", [&] { area.move(60, 45); }, QRect(60, 45, 200, 150), QPoint(-40, -30)},
        {"the area hides", [&] { area.hide(); }, QRect(), QPoint()},
        {"the area shows", [&] { area.show(); }, QRect(60, 45, 200, 150), QPoint(-40, -30)},
        {"a widget over its corner", [&] { cover.show(); }, QRect(60, 45, 200, 150), QPoint(-40, -30),
         QRegion(0, 0, 170, 150) + QRegion(170, 55, 30, 95)},
        {"the widget goes under it", [&] { cover.lower(); }, QRect(60, 45, 200, 150), QPoint(-40, -30)},
        {"the widget comes over it", [&] { cover.raise(); }, QRect(60, 45, 200, 150), QPoint(-40, -30),
         QRegion(0, 0, 170, 150) + QRegion(170, 55, 30, 95)},
        {"the widget hides", [&] { cover.hide(); }, QRect(60, 45, 200, 150), QPoint(-40, -30)},
        {"placed outside", [&] { surface.place(QRect(500, 0, 10, 10)); }, QRect(), QPoint()},
        {"placed inside", [&] { surface.place(QRect(50, 40, 100, 80)); }, QRect(70, 55, 100, 80), QPoint(0, 0)},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.act();
        QWindow* w = surface.frameWindow();
        if (s.window.isEmpty()) {
            EXPECT_EQ(w, nullptr);
            continue;
        }
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->geometry(), s.window);
        EXPECT_EQ(w->mask(), s.mask);
        EXPECT_TRUE(w->flags().testFlag(Qt::WindowTransparentForInput)) << "the mouse reaches the widgets under it";
        // The frame is scaled to the whole surface, shifted by where the
        // window begins: its halves meet at the surface's middle.
        const int middle = s.origin.x() + surface.width() / 2;
        const int y = s.origin.y() + surface.height() / 2;
        EXPECT_TRUE(testenv::waitFor(
            [&] {
                const QImage shot = shownIn(w);
                return shot.pixelColor(middle - 5, y) == colours[2] && shot.pixelColor(middle + 5, y) == right;
            },
            5000));
    }
}
