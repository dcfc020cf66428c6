// Start-up time and memory of the browser against a bare web view program
// on the same loopback page. Each program is started as a process; a page's
// load event sends a beacon request to the server, which notes its time.
// Each program starts twice in a fresh home of its own: the first start
// (nothing cached yet: fonts, the engine's profile) and a warm start in the
// same home. Then each page chain opens ten tabs (every page opens the next
// as a new window) and the memory of each process tree (PSS: the program and
// its renderer processes) is read from /proc. The two programs take turns,
// so a busy machine slows both alike; each figure is shown against the bare
// view's of the same run.
//
// Usage: bench_browse [runs]   (default 3; the median of the runs is shown)

#include "freshhome.h"
#include "httpserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include <unistd.h>

namespace {

const QString kStage = QStringLiteral(Z5_STAGE_DIR);

bool waitUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
    return true;
}

// The children of a process, from /proc.
QList<qint64> childrenOf(qint64 pid)
{
    QList<qint64> out;
    QDirIterator it(QStringLiteral("/proc/%1/task").arg(pid), QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        QFile f(it.next() + QStringLiteral("/children"));
        if (f.open(QIODevice::ReadOnly))
            for (const QByteArray& p : f.readAll().split(' '))
                if (!p.trimmed().isEmpty())
                    out << p.trimmed().toLongLong();
    }
    return out;
}

// PSS of a process and all its descendants, in kB.
qint64 treePss(qint64 pid)
{
    qint64 total = 0;
    QFile f(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (f.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : f.readAll().split('\n'))
            if (line.startsWith("Pss:"))
                total += line.mid(4).trimmed().split(' ').first().toLongLong();
    }
    for (qint64 child : childrenOf(pid))
        total += treePss(child);
    return total;
}

struct Figures {
    double coldMs = -1;  // first start in a fresh home
    double warmMs = -1;  // the next start in the same home
    double memoryKb = -1;
};

class Bench {
public:
    explicit Bench(const QString& root) : root_(root)
    {
        // The page and the chain of ten tabs, each reporting its load.
        server.serve("/a.html", page("A", ""));
        for (int i = 1; i <= 10; ++i)
            server.serve(QStringLiteral("/tab%1.html").arg(i),
                         page("T" + QByteArray::number(i),
                              i < 10 ? QByteArray("window.open('/tab" + QByteArray::number(i + 1) + ".html');")
                                     : QByteArray()));
        server.serve("/chain.html", page("C", "window.open('/tab1.html');"));
        server.serve("/loaded", "ok", "text/plain");
    }

    // A fresh home, with the program folder installed as the installer does.
    QProcessEnvironment environment(const QString& name) { return benchhome::freshHome(root_ + QLatin1Char('/') + name); }

    Figures run(const QString& program, const QString& name)
    {
        Figures f;
        const QProcessEnvironment env = environment(name);
        f.coldMs = startToLoad(program, env);
        f.warmMs = startToLoad(program, env);
        // Memory with ten tabs loaded.
        {
            const int before = server.requestsFor(QStringLiteral("/loaded"));
            QProcess p;
            p.setProcessEnvironment(env);
            p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            p.start(program, {server.address(QStringLiteral("/chain.html"))});
            if (waitUntil([&] { return server.requestsFor(QStringLiteral("/loaded")) >= before + 11; }, 60000)) {
                waitUntil([] { return false; }, 2000); // let the processes settle
                f.memoryKb = static_cast<double>(treePss(p.processId()));
            }
            stop(p);
        }
        return f;
    }

    // Process start to the page's load event, in ms (-1 when it never came).
    double startToLoad(const QString& program, const QProcessEnvironment& env)
    {
        double ms = -1;
        const int before = server.requestsFor(QStringLiteral("/loaded"));
        QProcess p;
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer t;
        t.start();
        p.start(program, {server.address(QStringLiteral("/a.html"))});
        if (waitUntil([&] { return server.requestsFor(QStringLiteral("/loaded")) > before; }, 30000))
            ms = static_cast<double>(t.nsecsElapsed()) / 1e6;
        stop(p);
        return ms;
    }

    testenv::HttpServer server;

private:
    static QByteArray page(const QByteArray& title, const QByteArray& script)
    {
        return "<html><head><title>" + title + "</title></head><body style='background:#3060a0'>" + title
               + "<script>window.addEventListener('load', function () { " + script
               + "new Image().src = '/loaded?' + Date.now(); });</script></body></html>";
    }
    static void stop(QProcess& p)
    {
        p.terminate();
        if (!p.waitForFinished(5000)) {
            p.kill();
            p.waitForFinished(5000);
        }
    }

    QString root_;
};

double median(std::vector<double> v)
{
    v.erase(std::remove_if(v.begin(), v.end(), [](double x) { return x < 0; }), v.end());
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The median of the ratios of pairs measured in the same run.
double medianRatio(const std::vector<double>& a, const std::vector<double>& b)
{
    std::vector<double> r;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (a[i] > 0 && b[i] > 0)
            r.push_back(a[i] / b[i]);
    return median(r);
}

void printLine(const char* what, const std::vector<double>& z5, const std::vector<double>& bare, double scale,
               const char* unit, int runs)
{
    const double z = median(z5), b = median(bare);
    std::printf("%s (median of %d): Z5 %.*f %s, bare view %.*f %s, ratio %.2f (median of the runs' ratios %.2f)\n",
                what, runs, scale == 1 ? 0 : 1, z / scale, unit, scale == 1 ? 0 : 1, b / scale, unit,
                z > 0 && b > 0 ? z / b : 0.0, medianRatio(z5, bare));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 3;
    QTemporaryDir root;
    Bench bench(root.path());
    std::vector<double> z5Cold, bareCold, z5Warm, bareWarm, z5Mem, bareMem;
    for (int i = 0; i < runs; ++i) {
        // Turns alternate, so neither program always starts on the other's heels.
        Figures z5, bare;
        if (i % 2 == 0) {
            z5 = bench.run(kStage + QStringLiteral("/Z5.exe"), QStringLiteral("z5"));
            bare = bench.run(QStringLiteral(BAREVIEW_PATH), QStringLiteral("bare"));
        } else {
            bare = bench.run(QStringLiteral(BAREVIEW_PATH), QStringLiteral("bare"));
            z5 = bench.run(kStage + QStringLiteral("/Z5.exe"), QStringLiteral("z5"));
        }
        z5Cold.push_back(z5.coldMs);
        bareCold.push_back(bare.coldMs);
        z5Warm.push_back(z5.warmMs);
        bareWarm.push_back(bare.warmMs);
        z5Mem.push_back(z5.memoryKb);
        bareMem.push_back(bare.memoryKb);
        std::printf("run %d: first start Z5 %.0f ms, bare %.0f ms; warm start Z5 %.0f ms, bare %.0f ms; "
                    "10 tabs Z5 %.0f kB, bare %.0f kB\n",
                    i + 1, z5.coldMs, bare.coldMs, z5.warmMs, bare.warmMs, z5.memoryKb, bare.memoryKb);
    }
    printLine("first start in a fresh home to page loaded", z5Cold, bareCold, 1, "ms", runs);
    printLine("warm start in the same home to page loaded", z5Warm, bareWarm, 1, "ms", runs);
    printLine("memory with 10 tabs (PSS of the process tree)", z5Mem, bareMem, 1024, "MB", runs);
    for (const auto* v : {&z5Cold, &bareCold, &z5Warm, &bareWarm, &z5Mem, &bareMem})
        if (median(*v) <= 0)
            return 1;
    return 0;
}
