// Lookups of settings and language texts: a read of an unchanged file must
// cost a stat and a table look-up, not a parse. Each cached benchmark runs
// beside its peer that forces a re-read, so the gap shows in one run. A hive
// of 100,000 values gives the absolute cost of reading and changing a large
// hive (the tests only compare sizes).

#include "core/globals.h"
#include "core/language.h"
#include "core/settingsstore.h"
#include "platform/base/registry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <sys/stat.h>
#include <fcntl.h>

namespace {

QTemporaryDir& home()
{
    static QTemporaryDir dir;
    return dir;
}

void setUpRegistry()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home().path()));
    for (int i = 0; i < 200; ++i)
        SaveZ5Setting(HiveCurrentUser, QStringLiteral("SETTING_") + QString::number(i), QStringLiteral("value ") + QString::number(i));
}

QString setUpLanguage()
{
    const QString path = home().path() + QStringLiteral("/English.ini");
    if (!QFile::exists(path)) {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        for (int s = 0; s < 30; ++s) {
            f.write("[SECTION-" + QByteArray::number(s) + "]\r\n");
            for (int k = 0; k < 60; ++k)
                f.write(QByteArray::number(9000 + k) + "=Some translated text number " + QByteArray::number(k) + "\r\n");
        }
    }
    LanguageFilePath = path;
    return path;
}

// Gives the file a new modification time, as an edit by another process would.
void touch(const QString& path)
{
    static long tick = 0;
    struct timespec times[2];
    times[0].tv_sec = times[1].tv_sec = 1000000 + (++tick);
    times[0].tv_nsec = times[1].tv_nsec = 0;
    utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}

void BM_ReadSetting(benchmark::State& state)
{
    setUpRegistry();
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadZ5Setting(HiveCurrentUser, QStringLiteral("SETTING_150"), QString()));
}
BENCHMARK(BM_ReadSetting);

void BM_ReadSetting_FileChangedEachTime(benchmark::State& state)
{
    setUpRegistry();
    const QString hive = home().path() + QStringLiteral("/registry/HKEY_CURRENT_USER.hive");
    for (auto _ : state) {
        touch(hive);
        benchmark::DoNotOptimize(ReadZ5Setting(HiveCurrentUser, QStringLiteral("SETTING_150"), QString()));
    }
}
BENCHMARK(BM_ReadSetting_FileChangedEachTime);

// A hive of 100,000 values in one key, in the machine's hive file.
QString setUpLargeHive()
{
    setUpRegistry();
    const QString path = home().path() + QStringLiteral("/registry/HKEY_LOCAL_MACHINE.hive");
    static bool done = false;
    if (!done) {
        done = true;
        QByteArray body = "REGISTRY HIVE 1\n[Software\\Big]\n";
        for (int i = 0; i < 100000; ++i)
            body += "sz\tValue" + QByteArray::number(i) + "\tsome value " + QByteArray::number(i) + '\n';
        body += "END\n";
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(body);
        f.close();
        platform::registry::resetCache();
    }
    return path;
}

void BM_LargeHiveRead(benchmark::State& state)
{
    setUpLargeHive();
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::registry::readValue(platform::registry::Hive::LocalMachine,
                                                               QStringLiteral("Software\\Big"), QStringLiteral("Value54321")));
}
BENCHMARK(BM_LargeHiveRead);

void BM_LargeHiveRead_FileChangedEachTime(benchmark::State& state)
{
    const QString hive = setUpLargeHive();
    for (auto _ : state) {
        touch(hive);
        benchmark::DoNotOptimize(platform::registry::readValue(platform::registry::Hive::LocalMachine,
                                                               QStringLiteral("Software\\Big"), QStringLiteral("Value54321")));
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_LargeHiveRead_FileChangedEachTime)->Unit(benchmark::kMillisecond);

// A change: the locked read-modify-write of the whole hive, synced to disk.
void BM_LargeHiveChange(benchmark::State& state)
{
    setUpLargeHive();
    uint32_t n = 0;
    for (auto _ : state)
        platform::registry::writeValue(platform::registry::Hive::LocalMachine, QStringLiteral("Software\\Big"),
                                       QStringLiteral("more"), platform::registry::Value::dword(++n));
}
BENCHMARK(BM_LargeHiveChange)->Unit(benchmark::kMillisecond);

void BM_GetLangString(benchmark::State& state)
{
    setUpLanguage();
    for (auto _ : state)
        benchmark::DoNotOptimize(GetLangString(QStringLiteral("SECTION-25"), QStringLiteral("9050"), QStringLiteral("x")));
}
BENCHMARK(BM_GetLangString);

void BM_GetLangString_FileChangedEachTime(benchmark::State& state)
{
    const QString path = setUpLanguage();
    for (auto _ : state) {
        touch(path);
        benchmark::DoNotOptimize(GetLangString(QStringLiteral("SECTION-25"), QStringLiteral("9050"), QStringLiteral("x")));
    }
}
BENCHMARK(BM_GetLangString_FileChangedEachTime);

} // namespace

BENCHMARK_MAIN();
