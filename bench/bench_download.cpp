// Fetches one large file from nginx on loopback with the download manager
// and with curl, and copies it with cp, the floor no downloader can beat.
// Prints the median of three runs of each, the ratios and the download
// manager's peak memory.
//
//   bench_download [size in MiB, default 1024]

#include "platform/base/registry.h"

#include "nginxserver.h"
#include "testenv.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct RunResult {
    double seconds = 0;
    long peakKiB = 0;
    bool ok = false;
};

// Runs a program to its end; its time and its peak resident memory.
RunResult runProgram(const std::vector<std::string>& argv)
{
    RunResult r;
    QElapsedTimer clock;
    clock.start();
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (wait4(pid, &status, 0, &usage) != pid)
        return r;
    r.seconds = clock.nsecsElapsed() / 1e9;
    r.peakKiB = usage.ru_maxrss;
    r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return r;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

bool writeRandomFile(const QString& path, qint64 size)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    std::mt19937_64 gen(42);
    std::vector<uint64_t> block(1 << 17);
    for (qint64 done = 0; done < size;) {
        for (uint64_t& w : block)
            w = gen();
        const qint64 n = std::min<qint64>(size - done, static_cast<qint64>(block.size() * 8));
        if (f.write(reinterpret_cast<const char*>(block.data()), n) != n)
            return false;
        done += n;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    // A home of its own: the registry and the temporary files go there.
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/bench_download.XXXXXX"));
    if (!home.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + QStringLiteral("/config")));
    qputenv("TMPDIR", QFile::encodeName(home.path()));
    QCoreApplication app(argc, argv);
    const qint64 mib = argc > 1 ? QByteArray(argv[1]).toLongLong() : 1024;
    const qint64 size = mib * 1024 * 1024;

    const QString www = home.path() + QStringLiteral("/www");
    const QString prog = home.path() + QStringLiteral("/Z5");
    const QString out = home.path() + QStringLiteral("/out");
    for (const QString& d : QStringList{www, prog + QStringLiteral("/Data"), prog + QStringLiteral("/Language"), out})
        QDir().mkpath(d);
    testenv::writeFile(prog + QStringLiteral("/Z5.exe"), "");
    platform::registry::writeValue(platform::registry::Hive::LocalMachine, QStringLiteral("Software\\Keldo\\Z5 Browser"),
                                   QStringLiteral("Z5_APPLICATIONPATH"), platform::registry::Value::string(prog));
    const QString source = www + QStringLiteral("/big.bin");
    std::printf("writing a %lld MiB file...\n", static_cast<long long>(mib));
    if (!writeRandomFile(source, size))
        return 1;
    testenv::NginxServer nginx;
    if (!nginx.start(www)) {
        std::fprintf(stderr, "nginx did not start\n");
        return 1;
    }
    const std::string url = QString(nginx.base() + QStringLiteral("/big.bin")).toStdString();
    const std::string target = QString(out + QStringLiteral("/big.bin")).toStdString();
    const std::string exe = QStringLiteral(Z5_STAGE_DIR "/Tool/Z5DownLoad.exe").toStdString();
    QByteArray list = "6\r\n1\r\n0\r\n101001\r\n\r\n\r\n\r\n\r\n";
    list += "big," + QByteArray::fromStdString(url) + ",," + out.toUtf8() + ",\r\n";

    std::vector<double> cp, curl, z5;
    long peak = 0;
    for (int round = 0; round < 3; ++round) {
        // Each run starts with the earlier runs' files written out, and the
        // two downloaders take turns at going first.
        const auto timed = [&](const std::vector<std::string>& command) {
            QFile::remove(QString::fromStdString(target));
            ::sync();
            return runProgram(command);
        };
        const RunResult c = timed({"cp", source.toStdString(), target});
        RunResult k, z;
        const auto runCurl = [&] { k = timed({"curl", "-s", "-o", target, url}); };
        const auto runZ5 = [&] {
            testenv::writeFile(prog + QStringLiteral("/Data/b.Z5P"), list);
            z = timed({exe, "b||||||||||0"});
            z.ok = z.ok && QFileInfo(QString::fromStdString(target)).size() == size;
        };
        if (round % 2 == 0) {
            runCurl();
            runZ5();
        } else {
            runZ5();
            runCurl();
        }
        if (!c.ok || !k.ok || !z.ok) {
            std::fprintf(stderr, "round %d failed (cp %d, curl %d, Z5DownLoad %d)\n", round, c.ok, k.ok, z.ok);
            return 1;
        }
        cp.push_back(c.seconds);
        curl.push_back(k.seconds);
        z5.push_back(z.seconds);
        peak = std::max(peak, z.peakKiB);
        std::printf("round %d: cp %.3f s, curl %.3f s, Z5DownLoad %.3f s\n", round + 1, c.seconds, k.seconds, z.seconds);
    }
    const double mcp = median(cp), mcurl = median(curl), mz5 = median(z5);
    std::printf("\n%lld MiB over loopback, median of 3\n", static_cast<long long>(mib));
    std::printf("  cp          %.3f s  (%.0f MiB/s)\n", mcp, mib / mcp);
    std::printf("  curl -o     %.3f s  (%.0f MiB/s)  %.2fx cp\n", mcurl, mib / mcurl, mcurl / mcp);
    std::printf("  Z5DownLoad  %.3f s  (%.0f MiB/s)  %.2fx cp, %.2fx curl\n", mz5, mib / mz5, mz5 / mcp, mz5 / mcurl);
    std::printf("  Z5DownLoad peak memory %.1f MiB\n", peak / 1024.0);
    return 0;
}
