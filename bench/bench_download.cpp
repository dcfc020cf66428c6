// Fetches one large file from nginx on loopback with the download manager,
// with curl and with a plain socket reader (one GET, then read and write in
// a loop: the floor for a downloader), and copies it with cp, the floor for
// any writer of the file. Prints the median of three runs of each, the
// ratios and the download manager's peak memory.
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
#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <netinet/in.h>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct RunResult {
    double seconds = 0;
    long peakKiB = 0;
    bool ok = false;
};

// Runs work in a child process to its end; its time and its peak resident
// memory. The child's exit code is work's result.
RunResult runChild(const std::function<int()>& work)
{
    RunResult r;
    QElapsedTimer clock;
    clock.start();
    const pid_t pid = fork();
    if (pid == 0)
        _exit(work());
    int status = 0;
    struct rusage usage {};
    if (wait4(pid, &status, 0, &usage) != pid)
        return r;
    r.seconds = clock.nsecsElapsed() / 1e9;
    r.peakKiB = usage.ru_maxrss;
    r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return r;
}

RunResult runProgram(const std::vector<std::string>& argv)
{
    return runChild([&] {
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        return 127;
    });
}

bool writeAll(int fd, const char* p, size_t n)
{
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return false;
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

// The plain socket reader: GET path from 127.0.0.1:port, the head skipped,
// the body read in 128 KiB blocks and written to target as it comes. 0 when
// the whole body (its Content-Length) was written.
int socketFetch(quint16 port, const std::string& path, const std::string& target)
{
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr {};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (s < 0 || ::connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
        return 1;
    const std::string request = "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
    if (!writeAll(s, request.data(), request.size()))
        return 1;
    const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0)
        return 1;
    std::vector<char> buffer(128 * 1024);
    std::string head;
    long long length = -1, written = 0;
    for (;;) {
        const ssize_t n = ::read(s, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        const char* body = buffer.data();
        size_t bodySize = static_cast<size_t>(n);
        if (length < 0) {
            head.append(buffer.data(), static_cast<size_t>(n));
            const size_t end = head.find("\r\n\r\n");
            if (end == std::string::npos)
                continue;
            const size_t field = head.find("Content-Length: ");
            if (field == std::string::npos || field > end)
                return 1;
            length = std::atoll(head.c_str() + field + 16);
            body = buffer.data() + (n - static_cast<ssize_t>(head.size() - end - 4));
            bodySize = head.size() - end - 4;
        }
        if (!writeAll(out, body, bodySize))
            return 1;
        written += static_cast<long long>(bodySize);
        if (written >= length)
            break;
    }
    ::close(s);
    return ::close(out) == 0 && length >= 0 && written == length ? 0 : 1;
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

    std::vector<double> cp, reader, curl, z5;
    long peak = 0;
    for (int round = 0; round < 3; ++round) {
        // Each run starts with the earlier runs' files written out, and the
        // three downloaders take turns at going first.
        const auto timed = [&](const std::function<RunResult()>& run) {
            QFile::remove(QString::fromStdString(target));
            ::sync();
            return run();
        };
        const RunResult c = timed([&] { return runProgram({"cp", source.toStdString(), target}); });
        RunResult r, k, z;
        const auto runReader = [&] {
            r = timed([&] { return runChild([&] { return socketFetch(nginx.port(), "/big.bin", target); }); });
            r.ok = r.ok && QFileInfo(QString::fromStdString(target)).size() == size;
        };
        const auto runCurl = [&] { k = timed([&] { return runProgram({"curl", "-s", "-o", target, url}); }); };
        const auto runZ5 = [&] {
            testenv::writeFile(prog + QStringLiteral("/Data/b.Z5P"), list);
            z = timed([&] { return runProgram({exe, "b||||||||||0"}); });
            z.ok = z.ok && QFileInfo(QString::fromStdString(target)).size() == size;
        };
        std::vector<std::function<void()>> order{runReader, runZ5, runCurl};
        std::rotate(order.begin(), order.begin() + round, order.end());
        for (const auto& run : order)
            run();
        if (!c.ok || !r.ok || !k.ok || !z.ok) {
            std::fprintf(stderr, "round %d failed (cp %d, socket reader %d, curl %d, Z5DownLoad %d)\n", round, c.ok,
                         r.ok, k.ok, z.ok);
            return 1;
        }
        cp.push_back(c.seconds);
        reader.push_back(r.seconds);
        curl.push_back(k.seconds);
        z5.push_back(z.seconds);
        peak = std::max(peak, z.peakKiB);
        std::printf("round %d: cp %.3f s, socket reader %.3f s, curl %.3f s, Z5DownLoad %.3f s\n", round + 1,
                    c.seconds, r.seconds, k.seconds, z.seconds);
    }
    const double mcp = median(cp), mreader = median(reader), mcurl = median(curl), mz5 = median(z5);
    std::printf("\n%lld MiB over loopback, median of 3\n", static_cast<long long>(mib));
    std::printf("  cp             %.3f s  (%.0f MiB/s)\n", mcp, mib / mcp);
    std::printf("  socket reader  %.3f s  (%.0f MiB/s)  %.2fx cp\n", mreader, mib / mreader, mreader / mcp);
    std::printf("  curl -o        %.3f s  (%.0f MiB/s)  %.2fx cp, %.2fx socket reader\n", mcurl, mib / mcurl,
                mcurl / mcp, mcurl / mreader);
    std::printf("  Z5DownLoad     %.3f s  (%.0f MiB/s)  %.2fx cp, %.2fx curl, %.2fx socket reader\n", mz5, mib / mz5,
                mz5 / mcp, mz5 / mcurl, mz5 / mreader);
    std::printf("  Z5DownLoad peak memory %.1f MiB\n", peak / 1024.0);
    return 0;
}
