// Time to the first sound and CPU time while playing, in fresh processes:
// (a) a bare QMediaPlayer program, from setSource to the first position
// above 0, polled every millisecond; (b) the command interpreter, from
// "open" + "play" to the first non-zero "status position". Each round runs
// in a new process (this program started again with a mode). Prints the
// medians over the rounds, the ratios, and the CPU time (user + system) of
// each playing a 10-second WAV to its end.
//
//   bench_media [rounds, default 20]

#include "platform/media/mci.h"

#include "mediafiles.h"
#include "testenv.h"

#include <QApplication>
#include <QAudioOutput>
#include <QElapsedTimer>
#include <QMediaPlayer>
#include <QProcess>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <vector>

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

// Mode "bare": milliseconds to the first position, or the whole file
// played when toEnd.
int bare(const QString& wav, bool toEnd)
{
    QMediaPlayer player;
    QAudioOutput out;
    player.setAudioOutput(&out);
    QElapsedTimer t;
    t.start();
    player.setSource(QUrl::fromLocalFile(wav));
    player.play();
    if (!pollUntil([&] { return player.position() > 0; }, 30000))
        return -1;
    const qint64 first = t.nsecsElapsed();
    if (toEnd)
        pollUntil([&] { return player.mediaStatus() == QMediaPlayer::EndOfMedia; }, 60000);
    std::printf("%.3f\n", first / 1e6);
    return 0;
}

int interpreter(const QString& wav, bool toEnd)
{
    // The bare program's clock starts once its player exists; here the
    // interpreter's player is made the same way before the clock, as it is
    // for every item after the first while the one before plays.
    platform::media::Mci mci;
    mci.prepare();
    QElapsedTimer t;
    t.start();
    if (mci.sendString(QStringLiteral("open \"") + wav + QStringLiteral("\" alias b"), nullptr) != 0
        || mci.sendString(QStringLiteral("play b"), nullptr) != 0)
        return -1;
    QString reply;
    const auto status = [&](const char* what) {
        mci.sendString(QStringLiteral("status b ") + QLatin1String(what), &reply);
        return reply;
    };
    if (!pollUntil([&] { return status("position").toLongLong() > 0; }, 30000))
        return -1;
    const qint64 first = t.nsecsElapsed();
    if (toEnd)
        pollUntil([&] { return status("mode") == QLatin1String("stopped"); }, 60000);
    std::printf("%.3f\n", first / 1e6);
    return 0;
}

struct Round {
    double ms = -1;
    double cpuSeconds = 0;
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
    if (n > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0)
        r.ms = std::atof(buffer);
    r.cpuSeconds = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
    return r;
}

double median(std::vector<double> v)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4) {
        QApplication app(argc, argv);
        const QString wav = QString::fromLocal8Bit(argv[2]);
        const bool toEnd = std::string(argv[3]) == "end";
        const std::string mode = argv[1];
        return mode == "bare" ? bare(wav, toEnd) : mode == "mci" ? interpreter(wav, toEnd) : 2;
    }
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const QString dir = testenv::freshDir(QStringLiteral("bench_media"));
    const QString shortWav = dir + QStringLiteral("/one.wav");
    const QString longWav = dir + QStringLiteral("/ten.wav");
    if (!testmedia::writeWav(shortWav, 2000) || !testmedia::writeWav(longWav, 10000)) {
        std::fprintf(stderr, "the test WAVs could not be written\n");
        return 1;
    }
    const char* self = argv[0];
    std::vector<double> bareMs, mciMs;
    for (int i = 0; i < rounds; ++i) {
        // Alternated, so that a busy moment of the machine falls on both.
        const Round a = runMode(self, "bare", shortWav, false);
        const Round b = runMode(self, "mci", shortWav, false);
        if (a.ms < 0 || b.ms < 0) {
            std::fprintf(stderr, "round %d: a player did not start\n", i + 1);
            return 1;
        }
        bareMs.push_back(a.ms);
        mciMs.push_back(b.ms);
    }
    const double a = median(bareMs), b = median(mciMs);
    std::printf("to the first position, median of %d fresh processes:\n", rounds);
    std::printf("  (a) bare QMediaPlayer      %8.1f ms\n", a);
    std::printf("  (b) command interpreter    %8.1f ms   (b)-(a) %+.1f ms, (b)/(a) %.2f\n", b, b - a, b / a);
    std::vector<double> bareCpu, mciCpu;
    const int cpuRounds = std::max(1, std::min(rounds, 3));
    for (int i = 0; i < cpuRounds; ++i) {
        bareCpu.push_back(runMode(self, "bare", longWav, true).cpuSeconds);
        mciCpu.push_back(runMode(self, "mci", longWav, true).cpuSeconds);
    }
    const double ca = median(bareCpu), cb = median(mciCpu);
    std::printf("CPU time playing a 10-s WAV to its end, median of %d:\n", cpuRounds);
    std::printf("  (a) bare QMediaPlayer      %8.2f s\n", ca);
    std::printf("  (b) command interpreter    %8.2f s   (b)/(a) %.2f\n", cb, cb / ca);
    return 0;
}
