// Time to the first sound and CPU time while playing, in fresh processes:
// (a) a bare QMediaPlayer program, from setSource to the first position
// above 0, polled every millisecond; (b) the command interpreter, from
// "open" + "play" to the first non-zero "status position"; (c) the staged
// browser program (offscreen, in a fresh home, its audio list holding the
// WAV), from the click on its Play button given through its input driver to
// the first move of its position knob, read through its probe. Each round
// runs in a new process (this program started again with a mode, or
// Z5.exe). Prints the medians over the rounds, the ratios, and the CPU time
// (user + system) of each playing a 10-second WAV to its end. Then the shown
// video: a bare QVideoSink widget, the interpreter and Z5.exe each showing
// the same 20-s 640x480 25-fps video on an X server the bench starts (Xvfb
// with openbox), the CPU time of each (Z5.exe's with its children) from the
// start of play to the end, and the ratios.
//
//   bench_media [rounds, default 20]
//   bench_media video        (only the shown video, 3 rounds)

#include "platform/media/mci.h"
#include "platform/win/widgethandles.h"

#include "freshhome.h"
#include "mediafiles.h"
#include "testenv.h"
#include "xsession.h"

#include <QApplication>
#include <QAudioOutput>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QPainter>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QVideoFrame>
#include <QVideoSink>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include <csignal>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Polls every millisecond, events running, until done or ms passed.
template <typename F>
bool pollUntil(F done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        QThread::usleep(1000);
    }
    return true;
}

// Runs the events until done, asking ten times a second; false when ms
// passed. The wait for an item's end, which costs next to nothing.
template <typename F>
bool waitEvents(F done, int ms)
{
    QElapsedTimer t;
    t.start();
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (done() || t.elapsed() > ms)
            loop.quit();
    });
    tick.start(100);
    if (!done())
        loop.exec();
    return done();
}

double cpuSecondsOfSelf()
{
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
}

// The bare program's picture: the newest frame of its sink drawn over the
// widget, as a plain Qt program shows a video in a widget.
class BareVideo : public QWidget {
public:
    BareVideo()
    {
        resize(640, 480);
        QObject::connect(&sink, &QVideoSink::videoFrameChanged, this, [this](const QVideoFrame& f) {
            frame = f;
            update();
        });
        show();
    }
    QVideoSink sink;

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(rect(), frame.toImage()); }

private:
    QVideoFrame frame;
};

// Mode "bare": milliseconds to the first position; with toEnd the whole
// file played, and then also the CPU seconds from setSource to its end.
// With video its frames are shown in a widget of their size.
int bare(const QString& wav, bool toEnd, bool video)
{
    // Made before the player, so that it outlives it.
    std::unique_ptr<BareVideo> view;
    if (video)
        view = std::make_unique<BareVideo>();
    QMediaPlayer player;
    QAudioOutput out;
    player.setAudioOutput(&out);
    if (view)
        player.setVideoOutput(&view->sink);
    const double cpuBefore = cpuSecondsOfSelf();
    QElapsedTimer t;
    t.start();
    player.setSource(QUrl::fromLocalFile(wav));
    player.play();
    if (!pollUntil([&] { return player.position() > 0; }, 30000))
        return -1;
    const qint64 first = t.nsecsElapsed();
    if (toEnd) {
        waitEvents([&] { return player.mediaStatus() == QMediaPlayer::EndOfMedia; }, 60000);
        std::printf("%.3f %.4f\n", first / 1e6, cpuSecondsOfSelf() - cpuBefore);
        return 0;
    }
    std::printf("%.3f\n", first / 1e6);
    return 0;
}

// Mode "mci": as "bare", through the command interpreter; with video the
// item is opened into a window of the bare program's size.
int interpreter(const QString& wav, bool toEnd, bool video)
{
    // The bare program's clock starts once its player exists; here the
    // interpreter's player is made the same way before the clock, as it is
    // for every item after the first while the one before plays.
    platform::media::Mci mci;
    mci.prepare();
    QWidget window;
    QString parent;
    if (video) {
        window.resize(640, 480);
        window.show();
        parent = QStringLiteral(" parent ") + QString::number(platform::widgethandles::handleOf(&window));
    }
    const double cpuBefore = cpuSecondsOfSelf();
    QElapsedTimer t;
    t.start();
    if (const int e = mci.sendString(QStringLiteral("open \"") + wav + QStringLiteral("\" alias b") + parent, nullptr)) {
        std::fprintf(stderr, "open: %d\n", e);
        return -1;
    }
    if (mci.sendString(QStringLiteral("play b"), nullptr) != 0)
        return -1;
    QString reply;
    const auto status = [&](const char* what) {
        mci.sendString(QStringLiteral("status b ") + QLatin1String(what), &reply);
        return reply;
    };
    if (!pollUntil([&] { return status("position").toLongLong() > 0; }, 30000))
        return -1;
    const qint64 first = t.nsecsElapsed();
    if (toEnd) {
        waitEvents([&] { return status("mode") == QLatin1String("stopped"); }, 60000);
        std::printf("%.3f %.4f\n", first / 1e6, cpuSecondsOfSelf() - cpuBefore);
        return 0;
    }
    std::printf("%.3f\n", first / 1e6);
    return 0;
}

struct Round {
    double ms = -1;
    double cpuSeconds = 0;
    double playingCpuSeconds = -1; // from the start of play to its end
    double statusMs = -1;          // the browser program: to "Playing" shown
};

// One fresh process of this program in the mode; its answer and CPU time.
Round runMode(const char* self, const char* mode, const QString& wav, bool toEnd)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return {};
    const QByteArray file = wav.toLocal8Bit();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], 1);
        close(pipeFds[0]);
        execl(self, self, mode, file.constData(), toEnd ? "end" : "first", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    char buffer[64] = {};
    const ssize_t n = read(pipeFds[0], buffer, sizeof buffer - 1);
    close(pipeFds[0]);
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    Round r;
    if (n > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        char* rest = nullptr;
        r.ms = std::strtod(buffer, &rest);
        if (rest && *rest == ' ')
            r.playingCpuSeconds = std::atof(rest);
    }
    r.cpuSeconds = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
    return r;
}

// ---- (c) the browser program ----

const QString kSettingsKey = QStringLiteral("HKCU\\Software\\Keldo\\Z5 Browser");

// CPU seconds (user + system) of a process and its descendants, from /proc.
double treeCpuSeconds(qint64 pid)
{
    double total = 0;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray text = stat.readAll();
        // The fields after the command's closing bracket: state is field 3,
        // utime 14 and stime 15.
        const QList<QByteArray> f = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (f.size() > 13)
            total += (f[11].toDouble() + f[12].toDouble()) / static_cast<double>(sysconf(_SC_CLK_TCK));
    }
    QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile children(tasks.filePath(task + QStringLiteral("/children")));
        if (children.open(QIODevice::ReadOnly))
            for (const QByteArray& child : children.readAll().split(' '))
                if (!child.trimmed().isEmpty())
                    total += treeCpuSeconds(child.trimmed().toLongLong());
    }
    return total;
}

// The staged Z5.exe in a fresh home of its own (the skin registered, the
// font in place, the media toolbar's row shown), started afresh for each
// round with an audio list, driven by its input driver and read through its
// probe.
class Z5Program {
public:
    explicit Z5Program(const QString& root) : root_(root)
    {
        env_ = benchhome::freshHome(root_, &ok_);
        // Offscreen even when the caller's environment names a platform.
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        for (const char* setting : {"DIS_MENUBAR2", "DIS_PLAYLIST"})
            ok_ = ok_
                  && tool(QStringLiteral("reg"), {QStringLiteral("add"), kSettingsKey, QStringLiteral("/v"), QLatin1String(setting),
                                                 QStringLiteral("/d"), QStringLiteral("True"), QStringLiteral("/f")});
    }

    bool ok() const { return ok_; }

    // Shows its window on that X display instead of offscreen.
    void showOn(const QString& display)
    {
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env_.insert(QStringLiteral("DISPLAY"), display);
    }

    // Milliseconds from the click on Play to the first move of the position
    // knob; with toEnd the item (of lengthMs) then played to its end, and
    // playingCpuSeconds the program's CPU seconds from the click to the end.
    // The list is of the kind given (1 audio, 2 video); playing is called
    // once the knob has moved, while the item plays.
    Round play(const QString& file, bool toEnd, int kind = 1, int lengthMs = 10000,
               const std::function<void()>& playing = {})
    {
        Round r;
        const QString list = root_ + QStringLiteral("/list.z5p");
        QFile f(list);
        if (!f.open(QIODevice::WriteOnly))
            return r;
        f.write(QByteArray::number(kind) + "\r\n1\r\n1\r\n000000\r\n\r\n\r\n\r\n\r\n"
                + (QFileInfo(file).fileName() + QLatin1Char(',') + file).toUtf8() + "\r\n");
        f.close();
        drive_ = root_ + QStringLiteral("/drive");
        probes_ = root_ + QStringLiteral("/probes");
        for (const QString& d : {drive_, probes_}) {
            QDir(d).removeRecursively();
            QDir().mkpath(d);
        }
        QProcessEnvironment env = env_;
        env.insert(QStringLiteral("PLATFORM_DRIVE_DIR"), drive_);
        env.insert(QStringLiteral("PLATFORM_PROBE_DIR"), probes_);
        QProcess p;
        p.setProcessEnvironment(env);
        // Its engine's chatter would bury the figures.
        p.setStandardOutputFile(QProcess::nullDevice());
        p.setStandardErrorFile(QProcess::nullDevice());
        p.start(QStringLiteral(Z5_STAGE_DIR "/Z5.exe"), {list});
        if (!p.waitForStarted(30000))
            return r;
        const QString play = QStringLiteral("cmdMediaControl(2)");
        const QString knob = QStringLiteral("cmdMediaControl(15)");
        // Up, the list loaded and Play enabled; the knob where it rests.
        QMap<QString, QString> seen;
        const bool ready = waitUntil(
            [&] {
                seen = probe();
                return seen.value(QStringLiteral("APPLabel(1)")) == QLatin1String("1") && seen.contains(knob)
                       && seen.value(QStringLiteral("(disabled)")).indexOf(play) < 0;
            },
            60000);
        const QString rest = seen.value(knob);
        if (ready && p.state() == QProcess::Running) {
            QElapsedTimer t;
            t.start();
            const double cpuBefore = treeCpuSeconds(p.processId());
            command(QStringLiteral("click\tZ5\t") + play);
            const bool moved = waitUntil(
                [&] {
                    seen = probe();
                    if (r.statusMs < 0 && seen.value(QStringLiteral("WBTextBox(1)")) == QLatin1String("Playing"))
                        r.statusMs = static_cast<double>(t.nsecsElapsed()) / 1e6;
                    return !seen.value(knob).isEmpty() && seen.value(knob) != rest;
                },
                30000);
            if (moved)
                r.ms = static_cast<double>(t.nsecsElapsed()) / 1e6;
            // While it plays the program is not asked until the file's
            // length has passed, then twice a second: each answer of its
            // probe lists every control, work it would not do for its user.
            if (moved && playing)
                playing();
            if (moved && toEnd)
                QThread::msleep(static_cast<unsigned long>(std::max<qint64>(0, lengthMs - 1000 - t.elapsed())));
            if (moved && toEnd
                && waitUntil(
                    [&] {
                        QThread::msleep(500);
                        return probe().value(QStringLiteral("WBTextBox(1)")) == QLatin1String("Stopped");
                    },
                    60000))
                r.playingCpuSeconds = treeCpuSeconds(p.processId()) - cpuBefore;
        }
        p.terminate();
        if (!p.waitForFinished(10000)) {
            p.kill();
            p.waitForFinished(10000);
        }
        return r;
    }

private:
    bool tool(const QString& name, const QStringList& args)
    {
        QProcess p;
        p.setProcessEnvironment(env_);
        p.start(QStringLiteral(Z5_BIN_DIR "/") + name, args);
        return p.waitForFinished(30000) && p.exitCode() == 0;
    }

    template <typename F>
    static bool waitUntil(F done, int ms)
    {
        QElapsedTimer t;
        t.start();
        while (!done()) {
            if (t.elapsed() > ms)
                return false;
            QThread::usleep(1000);
        }
        return true;
    }

    // A command file handed to the input driver (written, then renamed in).
    void command(const QString& line)
    {
        const QString name = QString::number(++asked_);
        QFile f(drive_ + QStringLiteral("/.part-") + name);
        if (f.open(QIODevice::WriteOnly)) {
            f.write((line + QLatin1Char('\n')).toUtf8());
            f.close();
            QFile::rename(f.fileName(), drive_ + QStringLiteral("/do-") + name);
        }
    }

    // One probe answer: each control's twips ("left top width height"), each
    // text, and the disabled controls joined under "(disabled)". Empty when
    // no answer came within 5 s.
    QMap<QString, QString> probe()
    {
        const QString name = QStringLiteral("p%1").arg(++asked_);
        const QString answer = probes_ + QLatin1Char('/') + name + QStringLiteral(".txt");
        QFile(probes_ + QStringLiteral("/ask-") + name).open(QIODevice::WriteOnly);
        QMap<QString, QString> out;
        if (!waitUntil([&] { return QFile::exists(answer); }, 5000))
            return out;
        QFile f(answer);
        if (!f.open(QIODevice::ReadOnly))
            return out;
        for (const QString& line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QStringList fields = line.split(QLatin1Char('\t'));
            if (fields.size() == 3 && fields[0] == QLatin1String("(text)"))
                out[fields[1]] = fields[2];
            else if (fields.size() == 2 && fields[0] == QLatin1String("(disabled)"))
                out[QStringLiteral("(disabled)")] += fields[1] + QLatin1Char(' ');
            else if (fields.size() == 5 && !fields[0].startsWith(QLatin1Char('(')))
                out[fields[0]] = fields[3];
        }
        return out;
    }

    QString root_, drive_, probes_;
    QProcessEnvironment env_;
    bool ok_ = false;
    int asked_ = 0;
};

double median(std::vector<double> v)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// The shown video: a 20-s 640x480 video at 25 frames a second (H.264 with
// AAC sound where gst-launch-1.0 can encode it, else Motion-JPEG without
// sound) played to its end on an X server of the bench's own (Xvfb with
// openbox) by the bare program into a widget of its size, by the
// interpreter into a window of that size and by Z5.exe from its video list
// into its tab; the CPU seconds of each (Z5.exe's with its child processes)
// from the start of play to the end, medians of the rounds. The X server's
// own time is no one's. A Z5.exe round counts only when its screen changed
// while the video played.
bool shownVideo(const char* self, const QString& dir, int rounds)
{
    QString video = dir + QStringLiteral("/video.mp4");
    if (!testmedia::gstEncode(video, QStringLiteral("videotestsrc num-buffers=500 pattern=ball ! "
                                                    "video/x-raw,width=640,height=480,framerate=25/1 ! x264enc ! mux. "
                                                    "audiotestsrc num-buffers=862 ! audio/x-raw,rate=44100 ! avenc_aac ! mux. "
                                                    "mp4mux name=mux"))) {
        video = dir + QStringLiteral("/video.avi");
        if (!testmedia::writeBarsAvi(video, 640, 480, 500, 25)) {
            std::fprintf(stderr, "the test video could not be written\n");
            return false;
        }
    }
    testenv::XSession x;
    if (!x.ok()) {
        std::fprintf(stderr, "no X server for the shown video (Xvfb and openbox)\n");
        return false;
    }
    qputenv("DISPLAY", x.display().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
    Z5Program z5(dir + QStringLiteral("/z5video"));
    if (!z5.ok()) {
        std::fprintf(stderr, "the browser program's home could not be set up\n");
        return false;
    }
    z5.showOn(x.display());
    std::vector<double> bareCpu, mciCpu, z5Cpu;
    for (int i = 0; i < rounds; ++i) {
        const Round a = runMode(self, "barevideo", video, true);
        const Round b = runMode(self, "mcivideo", video, true);
        bool changed = false;
        const Round c = z5.play(video, true, 2, 20000, [&] {
            const QImage before = x.grab();
            QThread::msleep(500);
            changed = x.grab() != before;
        });
        if (a.playingCpuSeconds < 0 || b.playingCpuSeconds < 0 || c.playingCpuSeconds < 0 || !changed) {
            std::fprintf(stderr, "round %d: a player did not show the video to its end (%.2f %.2f %.2f s%s)\n", i + 1,
                         a.playingCpuSeconds, b.playingCpuSeconds, c.playingCpuSeconds,
                         changed ? "" : ", Z5.exe's screen did not change");
            return false;
        }
        bareCpu.push_back(a.playingCpuSeconds);
        mciCpu.push_back(b.playingCpuSeconds);
        z5Cpu.push_back(c.playingCpuSeconds);
    }
    const double a = median(bareCpu), b = median(mciCpu), c = median(z5Cpu);
    std::printf("CPU time showing a 20-s 640x480 25-fps video (%s) on X to its end, median of %d:\n",
                QFileInfo(video).suffix().toLatin1().constData(), rounds);
    std::printf("  (a) bare QVideoSink widget %8.2f s   %3.0f %% of a core\n", a, a / 20 * 100);
    std::printf("  (b) command interpreter    %8.2f s   %3.0f %% of a core   (b)/(a) %.2f\n", b, b / 20 * 100, b / a);
    std::printf("  (c) Z5.exe and its children %7.2f s   %3.0f %% of a core   (c)/(a) %.2f\n", c, c / 20 * 100, c / a);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4) {
        QApplication app(argc, argv);
        const QString wav = QString::fromLocal8Bit(argv[2]);
        const bool toEnd = std::string(argv[3]) == "end";
        const std::string mode = argv[1];
        const bool video = mode.ends_with("video");
        if (mode.starts_with("bare"))
            return bare(wav, toEnd, video);
        return mode.starts_with("mci") ? interpreter(wav, toEnd, video) : 2;
    }
    QCoreApplication app(argc, argv);
    const bool videoOnly = argc > 1 && std::string(argv[1]) == "video";
    const int rounds = argc > 1 && !videoOnly ? std::max(1, std::atoi(argv[1])) : 20;
    const QString dir = testenv::freshDir(QStringLiteral("bench_media"));
    const QString shortWav = dir + QStringLiteral("/one.wav");
    const QString longWav = dir + QStringLiteral("/ten.wav");
    if (!testmedia::writeWav(shortWav, 2000) || !testmedia::writeWav(longWav, 10000)) {
        std::fprintf(stderr, "the test WAVs could not be written\n");
        return 1;
    }
    const char* self = argv[0];
    Z5Program z5(dir + QStringLiteral("/z5home"));
    if (!z5.ok()) {
        std::fprintf(stderr, "the browser program's home could not be set up\n");
        return 1;
    }
    if (videoOnly)
        return shownVideo(self, dir, 3) ? 0 : 1;
    std::vector<double> bareMs, mciMs, z5Ms, z5StatusMs;
    for (int i = 0; i < rounds; ++i) {
        // Alternated, so that a busy moment of the machine falls on all.
        const Round a = runMode(self, "bare", shortWav, false);
        const Round b = runMode(self, "mci", shortWav, false);
        const Round c = z5.play(shortWav, false);
        if (a.ms < 0 || b.ms < 0 || c.ms < 0) {
            std::fprintf(stderr, "round %d: a player did not start (%.1f %.1f %.1f ms)\n", i + 1, a.ms, b.ms, c.ms);
            return 1;
        }
        bareMs.push_back(a.ms);
        mciMs.push_back(b.ms);
        z5Ms.push_back(c.ms);
        z5StatusMs.push_back(c.statusMs);
    }
    const double a = median(bareMs), b = median(mciMs), c = median(z5Ms);
    std::printf("to the first position, median of %d fresh processes:\n", rounds);
    std::printf("  (a) bare QMediaPlayer      %8.1f ms\n", a);
    std::printf("  (b) command interpreter    %8.1f ms   (b)-(a) %+.1f ms, (b)/(a) %.2f\n", b, b - a, b / a);
    std::printf("  (c) Z5.exe, Play to knob   %8.1f ms   (c)-(a) %+.1f ms, (c)/(a) %.2f\n", c, c - a, c / a);
    std::printf("      Z5.exe, Play to \"Playing\" shown %8.1f ms\n", median(z5StatusMs));
    std::vector<double> bareCpu, mciCpu, barePlaying, z5Playing;
    const int cpuRounds = std::max(1, std::min(rounds, 3));
    for (int i = 0; i < cpuRounds; ++i) {
        const Round bareRound = runMode(self, "bare", longWav, true);
        bareCpu.push_back(bareRound.cpuSeconds);
        barePlaying.push_back(bareRound.playingCpuSeconds);
        mciCpu.push_back(runMode(self, "mci", longWav, true).cpuSeconds);
        const Round z5Round = z5.play(longWav, true);
        if (z5Round.playingCpuSeconds < 0) {
            std::fprintf(stderr, "round %d: the browser program did not play the 10-s WAV to its end\n", i + 1);
            return 1;
        }
        z5Playing.push_back(z5Round.playingCpuSeconds);
    }
    const double ca = median(bareCpu), cb = median(mciCpu);
    std::printf("CPU time playing a 10-s WAV to its end, median of %d:\n", cpuRounds);
    std::printf("  (a) bare QMediaPlayer      %8.2f s\n", ca);
    std::printf("  (b) command interpreter    %8.2f s   (b)/(a) %.2f\n", cb, cb / ca);
    const double pa = median(barePlaying), pc = median(z5Playing);
    std::printf("CPU time from the start of play to the end of the 10-s WAV, median of %d:\n", cpuRounds);
    std::printf("  (a) bare QMediaPlayer      %8.2f s\n", pa);
    std::printf("  (c) Z5.exe and its children %7.2f s   (c)/(a) %.2f\n", pc, pc / pa);
    return shownVideo(self, dir, cpuRounds) ? 0 : 1;
}
