#include "platform/base/registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include "testenv.h"
#include "twousers.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <limits>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace reg = platform::registry;
using reg::Hive;
using reg::Value;

namespace {

QString hiveFile(const QString& name)
{
    return reg::storeFolder() + QLatin1Char('/') + name;
}

// A child run of this program that writes count values "prefix<n>" into the
// current user's hive, then exits. Started by the tests below.
QProcess* startWriter(const QString& prefix, int count, const QString& payload = QStringLiteral("x"))
{
    auto* p = new QProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("REGISTRY_TEST_WRITER"), prefix + QLatin1Char(':') + QString::number(count) + QLatin1Char(':') + payload);
    p->setProcessEnvironment(env);
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=RegistryChild.Writer")});
    return p;
}

// Whether the unprivileged user can enter folder.
bool canEnter(const QString& folder)
{
    const QByteArray path = QFile::encodeName(folder);
    return twousers::runAsUser({}, [path] { return QByteArray(::access(path.constData(), X_OK) == 0 ? "1" : "0"); })
           == QByteArray("1");
}

} // namespace

TEST(RegistryChild, Writer)
{
    const QString spec = qEnvironmentVariable("REGISTRY_TEST_WRITER");
    if (spec.isEmpty())
        GTEST_SKIP() << "run only as a child of the concurrency tests";
    const QStringList f = spec.split(QLatin1Char(':'));
    const int count = f[1].toInt();
    for (int i = 0; i < count; ++i)
        ASSERT_TRUE(reg::writeValue(Hive::CurrentUser, QStringLiteral("Software\\Race"), f[0] + QString::number(i),
                                    Value::string(f[2] + QString::number(i))));
}

TEST(Registry, ValuesOfEveryTypeRoundTrip)
{
    const QString key = QStringLiteral("Software\\Types");
    const struct {
        const char* name;
        Value value;
    } cases[] = {
        {"text", Value::string(QStringLiteral("abc"))},
        {"empty", Value::string(QString())},
        {"lines", Value::string(QStringLiteral("a\tb\nc\r%25 \\ [x]"))},
        {"unicode", Value::string(QStringLiteral("Grüße – 日本"))},
        {"expand", Value::expandString(QStringLiteral("%TEMP%\\x"))},
        {"bytes", Value::binary(QByteArray("\x00\x01\xff\n", 4))},
        {"number", Value::dword(0xFFFFFFFFu)},
        {"", Value::string(QStringLiteral("default value"))},
    };
    // The hive's own values (a path of no names) are kept in the file too.
    for (const QString& path : {key, QString()}) {
        for (const auto& c : cases)
            ASSERT_TRUE(reg::writeValue(Hive::CurrentUser, path, QString::fromUtf8(c.name), c.value)) << c.name;
    }
    reg::resetCache(); // read back from the file, as another process would
    for (const QString& path : {key, QString()}) {
        for (const auto& c : cases) {
            const auto v = reg::readValue(Hive::CurrentUser, path, QString::fromUtf8(c.name));
            ASSERT_TRUE(v.has_value()) << c.name << " at " << path.toStdString();
            EXPECT_TRUE(*v == c.value) << c.name << " at " << path.toStdString();
        }
        const auto all = reg::values(Hive::CurrentUser, path);
        ASSERT_TRUE(all.has_value());
        EXPECT_EQ(all->size(), 8);
        EXPECT_EQ(all->first().name, QStringLiteral("text")); // creation order
    }
    EXPECT_TRUE(QDir(reg::storeFolder()).entryList({QStringLiteral("*.broken-*")}).isEmpty());
}

TEST(Registry, NamesIgnoreCaseAndKeepTheirSpelling)
{
    ASSERT_TRUE(reg::writeValue(Hive::CurrentUser, QStringLiteral("Software\\Keldo\\Z5 Browser"),
                                QStringLiteral("Win_T"), Value::string(QStringLiteral("1"))));
    ASSERT_TRUE(reg::writeValue(Hive::CurrentUser, QStringLiteral("SOFTWARE\\keldo\\z5 browser"),
                                QStringLiteral("WIN_T"), Value::string(QStringLiteral("2"))));
    EXPECT_EQ(reg::readValue(Hive::CurrentUser, QStringLiteral("software\\KELDO\\Z5 BROWSER"), QStringLiteral("win_t"))->text,
              QStringLiteral("2"));
    EXPECT_EQ(*reg::subKeys(Hive::CurrentUser, QStringLiteral("Software")), QStringList{QStringLiteral("Keldo")});
    const auto vals = reg::values(Hive::CurrentUser, QStringLiteral("Software\\Keldo\\Z5 Browser"));
    ASSERT_EQ(vals->size(), 1);
    EXPECT_EQ(vals->first().name, QStringLiteral("Win_T"));
}

TEST(Registry, KeysAreCreatedEnumeratedAndDeleted)
{
    EXPECT_FALSE(reg::keyExists(Hive::CurrentUser, QStringLiteral("A")));
    EXPECT_FALSE(reg::subKeys(Hive::CurrentUser, QStringLiteral("A")).has_value());
    ASSERT_TRUE(reg::createKey(Hive::CurrentUser, QStringLiteral("A\\c\\deep")));
    ASSERT_TRUE(reg::createKey(Hive::CurrentUser, QStringLiteral("A\\B")));
    EXPECT_TRUE(reg::keyExists(Hive::CurrentUser, QStringLiteral("a\\C")));
    EXPECT_EQ(*reg::subKeys(Hive::CurrentUser, QStringLiteral("A")), (QStringList{QStringLiteral("B"), QStringLiteral("c")}));
    EXPECT_FALSE(reg::deleteKey(Hive::CurrentUser, QStringLiteral("A\\c"))) << "a key with sub-keys is refused";
    EXPECT_TRUE(reg::deleteKey(Hive::CurrentUser, QStringLiteral("A\\c"), true));
    EXPECT_FALSE(reg::keyExists(Hive::CurrentUser, QStringLiteral("A\\c\\deep")));
    EXPECT_FALSE(reg::deleteKey(Hive::CurrentUser, QStringLiteral("A\\missing")));
    EXPECT_FALSE(reg::writeValue(Hive::CurrentUser, QStringLiteral("A\\missing"), QStringLiteral("v"),
                                 Value::string(QStringLiteral("x")), false));
    EXPECT_TRUE(reg::writeValue(Hive::CurrentUser, QStringLiteral("A\\B"), QStringLiteral("v"), Value::dword(26)));
    EXPECT_TRUE(reg::deleteValue(Hive::CurrentUser, QStringLiteral("A\\B"), QStringLiteral("V")));
    EXPECT_FALSE(reg::deleteValue(Hive::CurrentUser, QStringLiteral("A\\B"), QStringLiteral("V")));
}

TEST(Registry, ClassesRootIsTheMachineClassesKey)
{
    ASSERT_TRUE(reg::writeValue(Hive::ClassesRoot, QStringLiteral(".z5p"), QString(), Value::string(QStringLiteral("Z5.PlayList"))));
    EXPECT_EQ(reg::readValue(Hive::LocalMachine, QStringLiteral("Software\\Classes\\.Z5P"), QString())->text,
              QStringLiteral("Z5.PlayList"));
    EXPECT_FALSE(reg::keyExists(Hive::CurrentUser, QStringLiteral("Software\\Classes\\.z5p")));
    EXPECT_FALSE(reg::writeValue(static_cast<Hive>(0x80000003u), QStringLiteral("x"), QStringLiteral("y"),
                                 Value::dword(1)));
}

namespace {

const QString kUserHive = QStringLiteral("HKEY_CURRENT_USER.hive");

QStringList brokenFiles()
{
    return QDir(reg::storeFolder()).entryList({QStringLiteral("*.broken-*")}, QDir::Files);
}

void clearStore()
{
    QDir(reg::storeFolder()).removeRecursively();
    QDir().mkpath(reg::storeFolder());
    reg::resetCache();
}

void putHive(const QByteArray& bytes)
{
    QFile f(hiveFile(kUserHive));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
    f.close();
    reg::resetCache();
}

// A small hive of three keys and four values, one line each.
const QByteArrayList kHiveLines = {
    "REGISTRY HIVE 1",   // 0
    "[Software\\A]",     // 1
    "sz\ta1\tone",       // 2
    "sz\ta2\ttwo",       // 3
    "[Software\\B]",     // 4
    "dword\tb1\t7",      // 5
    "[Software\\C]",     // 6
    "sz\tc1\tthree",     // 7
    "END",               // 8
};

QByteArray joinLines(const QByteArrayList& lines)
{
    return lines.join('\n') + '\n';
}

} // namespace

TEST(Registry, ADamagedHiveKeepsEveryLineThatCanBeRead)
{
    using Lines = QByteArrayList;
    auto replace = [](int line, QByteArray by) {
        return [line, by](Lines l) {
            l[line] = by;
            return joinLines(l);
        };
    };
    const QByteArray deepKey = "[" + QByteArray("k\\").repeated(reg::kMaxKeyDepth) + "k]";
    const struct {
        const char* what;
        std::function<QByteArray(Lines)> damage;
        QStringList lost; // the values that cannot be read back
    } cases[] = {
        {"unknown value type", replace(3, "qword\ta2\ttwo"), {"a2"}},
        {"bad escape in a text", replace(2, "sz\ta1\t%G1"), {"a1"}},
        {"a field missing", replace(5, "dword\tb1"), {"b1"}},
        {"number beyond 32 bits", replace(5, "dword\tb1\t4294967296"), {"b1"}},
        {"odd binary digits", replace(5, "bin\tb1\tabc"), {"b1"}},
        {"key line without its bracket", replace(4, "[Software\\B"), {"b1"}},
        {"key line that lost its first bracket", replace(4, "Software\\B]"), {"b1"}},
        {"text that is not UTF-8", replace(7, "sz\tc1\tthr\xff\xfe"), {"c1"}},
        {"a NUL inside a line", replace(2, QByteArray("sz\ta1\to\0ne", 10)), {"a1"}},
        {"key deeper than the bound", replace(6, deepKey), {"c1"}},
        {"value name longer than the bound", replace(3, "sz\t" + QByteArray(reg::kMaxValueNameChars + 1, 'n') + "\ttwo"), {"a2"}},
        {"header damaged", replace(0, "REGISTRY HIVF 1"), {}},
        {"end line missing", [](Lines l) { l.removeLast(); return joinLines(l); }, {}},
        {"cut inside the last value",
         [](Lines l) {
             l.removeLast();
             return joinLines(l).chopped(3);
         },
         {"c1"}},
        {"text after the end line", [](Lines l) { return joinLines(l) + "trailing\n"; }, {}},
        {"value before any key", [](Lines l) { l.insert(1, "sz\tstray\tx"); return joinLines(l); }, {}},
        {"not a hive at all", [](Lines) { return QByteArray("\x7f" "ELF\x00\x01", 6); }, {"a1", "a2", "b1", "c1"}},
        {"empty", [](Lines) { return QByteArray(); }, {"a1", "a2", "b1", "c1"}},
    };
    const struct {
        const char* key;
        const char* name;
        Value value;
    } all[] = {
        {"Software\\A", "a1", Value::string(QStringLiteral("one"))},
        {"Software\\A", "a2", Value::string(QStringLiteral("two"))},
        {"Software\\B", "b1", Value::dword(7)},
        {"Software\\C", "c1", Value::string(QStringLiteral("three"))},
    };
    for (const auto& c : cases) {
        clearStore();
        const QByteArray damaged = c.damage(kHiveLines);
        putHive(damaged);
        testenv::StderrCapture err;
        for (int pass = 0; pass < 2; ++pass) {
            // Each key holds exactly the values that could be read, none of
            // another key's; the second pass reads the file written back.
            for (const char* key : {"Software\\A", "Software\\B", "Software\\C"}) {
                QStringList expected;
                for (const auto& v : all)
                    if (QLatin1String(v.key) == QLatin1String(key) && !c.lost.contains(QLatin1String(v.name)))
                        expected << QString::fromUtf8(v.name);
                QStringList names;
                for (const reg::NamedValue& nv : reg::values(Hive::CurrentUser, QString::fromUtf8(key)).value_or(QList<reg::NamedValue>()))
                    names << nv.name;
                EXPECT_EQ(names, expected) << c.what << " in " << key << ", pass " << pass;
            }
            for (const auto& v : all) {
                const auto got = reg::readValue(Hive::CurrentUser, QString::fromUtf8(v.key), QString::fromUtf8(v.name));
                if (!c.lost.contains(QLatin1String(v.name))) {
                    ASSERT_TRUE(got.has_value()) << c.what << ": " << v.name;
                    EXPECT_TRUE(*got == v.value) << c.what << ": " << v.name;
                }
            }
            EXPECT_TRUE(reg::values(Hive::CurrentUser, QString())->isEmpty()) << c.what << ": nothing lands in the hive's root";
            reg::resetCache();
        }
        const QStringList aside = brokenFiles();
        ASSERT_EQ(aside.size(), 1) << c.what;
        EXPECT_EQ(testenv::readFile(QDir(reg::storeFolder()).filePath(aside.first())), damaged)
            << c.what << ": the damaged file is kept as it was";
        EXPECT_TRUE(err.text().contains(QStringLiteral("damaged line"))) << c.what << ": " << err.text().toStdString();
        EXPECT_TRUE(err.text().contains(aside.first())) << c.what;
        EXPECT_TRUE(testenv::readFile(hiveFile(kUserHive)).endsWith("\nEND\n")) << c.what << ": the hive was written back";
        // The store goes on working.
        EXPECT_TRUE(reg::writeValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("v"), Value::string(QStringLiteral("2"))));
        EXPECT_EQ(reg::readValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("v"))->text, QStringLiteral("2"));
    }
}

TEST(Registry, APassingFailureLeavesTheHiveAsItIs)
{
    // Each case runs the reg tool in a child that meets the failure: few
    // free file descriptors, or another user's hive it may not open.
    ASSERT_TRUE(reg::writeValue(Hive::CurrentUser, QStringLiteral("Software\\Kept"), QStringLiteral("v"),
                                Value::string(QStringLiteral("1"))));
    const QString store = reg::storeFolder();
    const QString config = QFileInfo(store).path();
    const QString root = QFileInfo(config).path();
    const QByteArray lockFile = QFile::encodeName(hiveFile(kUserHive) + QStringLiteral(".lock"));
    auto chownAll = [&](uid_t uid, gid_t gid) {
        return ::chown(QFile::encodeName(store).constData(), uid, gid) == 0 && ::chown(lockFile.constData(), uid, gid) == 0;
    };
    // The limit counts from the three standard descriptors: whatever else
    // this process holds is closed at the child's exec.
    auto fileLimit = [](rlim_t n) {
        return [n] {
            for (int fd = 3; fd < 4096; ++fd)
                ::fcntl(fd, F_SETFD, FD_CLOEXEC);
            const rlimit limit{n, n};
            ::setrlimit(RLIMIT_NOFILE, &limit);
        };
    };
    const struct {
        const char* what;
        std::function<void()> inChild;
        std::function<bool()> arrange; // in this process, before the child runs
        std::function<void()> restore; // set for the other user's case
        bool written;
    } cases[] = {
        {"4 file descriptors", fileLimit(4), [] { return true; }, nullptr, false},
        {"5 file descriptors", fileLimit(5), [] { return true; }, nullptr, false},
        {"64 file descriptors", fileLimit(64), [] { return true; }, nullptr, true},
        {"an unprivileged user and a hive it may not read",
         [] {
             // nobody, in the folder it owns; the hive file stays root's
             if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
                 ::_exit(99);
         },
         [&] {
             return ::chmod(QFile::encodeName(root).constData(), 0711) == 0
                    && ::chmod(QFile::encodeName(config).constData(), 0711) == 0 && chownAll(65534, 65534);
         },
         [&] { chownAll(0, 0); },
         false},
    };
    for (const auto& c : cases) {
        if (c.restore && ::geteuid() != 0) {
            std::printf("Skipped \"%s\": only root can hand the store to another user\n", c.what);
            continue;
        }
        reg::deleteValue(Hive::CurrentUser, QStringLiteral("Software\\Kept"), QStringLiteral("w"));
        const QByteArray before = testenv::readFile(hiveFile(kUserHive));
        ASSERT_TRUE(c.arrange()) << c.what;
        // The other user runs a copy it can reach: the build may lie below
        // a folder only its owner may enter.
        const QString program = c.restore ? twousers::runnableCopy(QStringLiteral("reg"), root + QStringLiteral("/open"))
                                          : QStringLiteral(Z5_BIN_DIR "/reg");
        ASSERT_FALSE(program.isEmpty()) << c.what << ": the tool could not be copied";
        if (c.restore && !canEnter(store)) {
            c.restore();
            std::printf("Skipped \"%s\": the user cannot pass through the folders above %s\n", c.what,
                        qPrintable(store));
            continue;
        }
        QProcess p;
        p.setChildProcessModifier(c.inChild);
        p.start(program, {"add", "HKCU\\Software\\Kept", "/v", "w", "/d", "2", "/f"});
        ASSERT_TRUE(p.waitForFinished(30000)) << c.what;
        if (c.restore)
            c.restore();
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        reg::resetCache();
        EXPECT_TRUE(brokenFiles().isEmpty()) << c.what << ": " << err.toStdString();
        EXPECT_EQ(reg::readValue(Hive::CurrentUser, QStringLiteral("Software\\Kept"), QStringLiteral("v"))->text,
                  QStringLiteral("1"))
            << c.what;
        if (c.written) {
            EXPECT_EQ(p.exitCode(), 0) << c.what << ": " << err.toStdString();
            EXPECT_TRUE(reg::readValue(Hive::CurrentUser, QStringLiteral("Software\\Kept"), QStringLiteral("w")).has_value());
        } else {
            EXPECT_EQ(p.exitCode(), 1) << c.what;
            EXPECT_TRUE(err.contains(QStringLiteral("ERROR: "))) << c.what << ": " << err.toStdString();
            EXPECT_EQ(testenv::readFile(hiveFile(kUserHive)), before) << c.what << ": the hive is untouched";
        }
    }
}

TEST(Registry, TheWriterRefusesWhatTheReaderWouldRefuse)
{
    auto levels = [](int n) { return QStringList(n, QStringLiteral("k")).join(QLatin1Char('\\')); };
    auto create = [](Hive hive, QString path) { return [hive, path] { return reg::createKey(hive, path); }; };
    auto write = [](QString name, Value v) {
        return [name, v] { return reg::writeValue(Hive::CurrentUser, QStringLiteral("Bounds"), name, v); };
    };
    auto batch = [](QList<reg::ValueWrite> writes) {
        return [writes] { return reg::writeValues(Hive::CurrentUser, writes); };
    };
    const struct {
        const char* what;
        std::function<bool()> change;
        bool allowed;
    } cases[] = {
        {"key at the deepest level", create(Hive::CurrentUser, levels(reg::kMaxKeyDepth)), true},
        {"key one level deeper", create(Hive::CurrentUser, levels(reg::kMaxKeyDepth + 1)), false},
        {"key 17,000 levels deep", create(Hive::CurrentUser, levels(17000)), false},
        {"classes key counting its own two levels", create(Hive::ClassesRoot, levels(reg::kMaxKeyDepth - 1)), false},
        {"longest key name", create(Hive::CurrentUser, QString(reg::kMaxKeyNameChars, QLatin1Char('n'))), true},
        {"key name one longer", create(Hive::CurrentUser, QString(reg::kMaxKeyNameChars + 1, QLatin1Char('n'))), false},
        {"longest value name", write(QString(reg::kMaxValueNameChars, QLatin1Char('v')), Value::dword(1)), true},
        {"value name one longer", write(QString(reg::kMaxValueNameChars + 1, QLatin1Char('w')), Value::dword(1)), false},
        {"largest text", write(QStringLiteral("t"), Value::string(QString(reg::kMaxValueDataSize, QLatin1Char('t')))), true},
        {"text one longer", write(QStringLiteral("t2"), Value::string(QString(reg::kMaxValueDataSize + 1, QLatin1Char('t')))), false},
        {"largest binary", write(QStringLiteral("b"), Value::binary(QByteArray(reg::kMaxValueDataSize, 'b'))), true},
        {"binary one longer", write(QStringLiteral("b2"), Value::binary(QByteArray(reg::kMaxValueDataSize + 1, 'b'))), false},
        {"batch into new keys",
         batch({{QStringLiteral("Batch\\A"), QStringLiteral("a"), Value::dword(1)},
                {QStringLiteral("Batch\\B\\C"), QString(), Value::string(QStringLiteral("c"))}}),
         true},
        {"batch with one value name too long",
         batch({{QStringLiteral("Batch\\D"), QStringLiteral("d"), Value::dword(1)},
                {QStringLiteral("Batch\\D"), QString(reg::kMaxValueNameChars + 1, QLatin1Char('w')), Value::dword(1)}}),
         false},
        {"batch with one key too deep",
         batch({{QStringLiteral("Batch\\E"), QStringLiteral("e"), Value::dword(1)},
                {levels(reg::kMaxKeyDepth + 1), QStringLiteral("e"), Value::dword(1)}}),
         false},
    };
    for (const auto& c : cases) {
        const QByteArray before = testenv::readFile(hiveFile(kUserHive));
        EXPECT_EQ(c.change(), c.allowed) << c.what;
        EXPECT_EQ(reg::lastError().isEmpty(), c.allowed) << c.what << ": " << reg::lastError().toStdString();
        if (!c.allowed) {
            EXPECT_EQ(testenv::readFile(hiveFile(kUserHive)), before) << c.what << ": nothing is written";
        }
    }
    // Everything the writer took reads back from the file without a fault.
    reg::resetCache();
    EXPECT_TRUE(reg::keyExists(Hive::CurrentUser, levels(reg::kMaxKeyDepth)));
    EXPECT_EQ(reg::values(Hive::CurrentUser, QStringLiteral("Bounds"))->size(), 3);
    // A batch lands whole or not at all.
    EXPECT_EQ(reg::readValue(Hive::CurrentUser, QStringLiteral("Batch\\A"), QStringLiteral("a")), Value::dword(1));
    EXPECT_EQ(reg::readValue(Hive::CurrentUser, QStringLiteral("Batch\\B\\C"), QString()),
              Value::string(QStringLiteral("c")));
    EXPECT_FALSE(reg::keyExists(Hive::CurrentUser, QStringLiteral("Batch\\D")));
    EXPECT_FALSE(reg::keyExists(Hive::CurrentUser, QStringLiteral("Batch\\E")));
    EXPECT_TRUE(brokenFiles().isEmpty());
}

TEST(Registry, LargeHivesReadInLinearTime)
{
    // A hive ten times larger reads and changes in about ten times the time:
    // well under thirty times, where work that grows with the square would
    // take a hundred. The best of a few tries stands for each size, so a busy
    // machine does not decide.
    const struct {
        const char* what;
        std::function<QByteArray(int n)> body;
        QString key, name;
    } cases[] = {
        {"values in one key",
         [](int n) {
             QByteArray b = "[Software\\Big]\n";
             for (int i = 0; i < n; ++i)
                 b += "sz\tValue" + QByteArray::number(i) + '\t' + QByteArray::number(i) + '\n';
             return b;
         },
         QStringLiteral("software\\big"), QStringLiteral("VALUE%1")},
        {"sibling keys",
         [](int n) {
             QByteArray b;
             for (int i = n - 1; i >= 0; --i)
                 b += "[Software\\Big\\Key" + QByteArray::number(i) + "]\nsz\tv\t" + QByteArray::number(i) + '\n';
             return b;
         },
         QStringLiteral("SOFTWARE\\BIG\\key%1"), QStringLiteral("V")},
    };
    struct Cost {
        qint64 readNs = std::numeric_limits<qint64>::max();
        qint64 changeNs = std::numeric_limits<qint64>::max();
    };
    for (const auto& c : cases) {
        const auto measure = [&](int n) {
            clearStore();
            putHive("REGISTRY HIVE 1\n" + c.body(n) + "END\n");
            const int probe = n * 4 / 7;
            const QString key = c.key.contains(QLatin1String("%1")) ? c.key.arg(probe) : c.key;
            const QString name = c.name.contains(QLatin1String("%1")) ? c.name.arg(probe) : c.name;
            Cost best;
            for (int round = 0; round < 3; ++round) {
                reg::resetCache();
                QElapsedTimer t;
                t.start();
                const auto v = reg::readValue(Hive::CurrentUser, key, name);
                best.readNs = std::min(best.readNs, t.nsecsElapsed());
                EXPECT_EQ(v.value_or(Value()).text, QString::number(probe)) << c.what << " " << n;
                t.restart();
                EXPECT_TRUE(reg::writeValue(Hive::CurrentUser, QStringLiteral("Software\\Big"), QStringLiteral("more"),
                                            Value::dword(static_cast<uint32_t>(round))));
                best.changeNs = std::min(best.changeNs, t.nsecsElapsed());
            }
            return best;
        };
        const Cost small = measure(10000);
        const Cost large = measure(100000);
        EXPECT_LT(large.readNs, 30 * small.readNs) << c.what << ": " << large.readNs << " ns against " << small.readNs;
        EXPECT_LT(large.changeNs, 30 * small.changeNs)
            << c.what << ": a change reads, writes and syncs the hive once; " << large.changeNs << " ns against "
            << small.changeNs;
        const auto keys = *reg::subKeys(Hive::CurrentUser, QStringLiteral("Software\\Big"));
        EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end(), [](const QString& a, const QString& b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        })) << c.what;
        EXPECT_EQ(keys.size() + reg::values(Hive::CurrentUser, QStringLiteral("Software\\Big"))->size(), 100000 + 1) << c.what;
        EXPECT_TRUE(brokenFiles().isEmpty()) << c.what;
    }
}

TEST(Registry, AHiveThatIsNoRegularFileIsNeverRead)
{
    const QByteArray path = QFile::encodeName(hiveFile(kUserHive));
    const struct {
        const char* what;
        std::function<bool()> make;
        mode_t type; // as lstat sees it afterwards
    } cases[] = {
        {"FIFO", [&] { return ::mkfifo(path.constData(), 0600) == 0; }, S_IFIFO},
        {"folder", [&] { return ::mkdir(path.constData(), 0700) == 0; }, S_IFDIR},
        {"device", [&] { return ::symlink("/dev/zero", path.constData()) == 0; }, S_IFLNK},
    };
    for (const auto& c : cases) {
        clearStore();
        ASSERT_TRUE(c.make()) << c.what;
        testenv::StderrCapture err;
        // Refused for what it is (never opened for reading, so a FIFO cannot
        // hang the call), not after waiting for a lock.
        EXPECT_FALSE(reg::readValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("v")).has_value()) << c.what;
        EXPECT_TRUE(reg::lastError().contains(QStringLiteral("not a regular file"))) << c.what;
        EXPECT_FALSE(reg::writeValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("v"), Value::dword(1))) << c.what;
        EXPECT_TRUE(reg::lastError().contains(QStringLiteral("not a regular file"))) << c.what;
        EXPECT_FALSE(reg::keyExists(Hive::CurrentUser, QStringLiteral("K"))) << c.what;
        EXPECT_EQ(err.text().count(QStringLiteral("not a regular file")), 1) << c.what << ": told once\n"
                                                                             << err.text().toStdString();
        struct stat st {};
        ASSERT_EQ(::lstat(path.constData(), &st), 0) << c.what;
        EXPECT_EQ(st.st_mode & S_IFMT, c.type) << c.what << ": left as it is";
        EXPECT_TRUE(brokenFiles().isEmpty()) << c.what;
    }
    clearStore();
}

TEST(Registry, AChangeByAnotherProcessIsSeen)
{
    ASSERT_TRUE(reg::writeValue(Hive::CurrentUser, QStringLiteral("Software\\Race"), QStringLiteral("mine"), Value::string(QStringLiteral("1"))));
    EXPECT_FALSE(reg::readValue(Hive::CurrentUser, QStringLiteral("Software\\Race"), QStringLiteral("other0")).has_value());
    std::unique_ptr<QProcess> p(startWriter(QStringLiteral("other"), 1));
    ASSERT_TRUE(p->waitForFinished(30000));
    ASSERT_EQ(p->exitCode(), 0);
    EXPECT_EQ(reg::readValue(Hive::CurrentUser, QStringLiteral("Software\\Race"), QStringLiteral("other0"))->text,
              QStringLiteral("x0"));
    EXPECT_TRUE(reg::readValue(Hive::CurrentUser, QStringLiteral("Software\\Race"), QStringLiteral("mine")).has_value());
}

TEST(Registry, TwoWritersAtOnceLoseNothing)
{
    std::unique_ptr<QProcess> a(startWriter(QStringLiteral("a"), 500));
    std::unique_ptr<QProcess> b(startWriter(QStringLiteral("b"), 500));
    ASSERT_TRUE(a->waitForFinished(120000));
    ASSERT_TRUE(b->waitForFinished(120000));
    ASSERT_EQ(a->exitCode(), 0);
    ASSERT_EQ(b->exitCode(), 0);
    const auto vals = reg::values(Hive::CurrentUser, QStringLiteral("Software\\Race"));
    ASSERT_TRUE(vals.has_value());
    EXPECT_EQ(vals->size(), 1000);
    for (int i = 0; i < 500; ++i) {
        for (const char* prefix : {"a", "b"}) {
            const auto v = reg::readValue(Hive::CurrentUser, QStringLiteral("Software\\Race"),
                                          QString::fromLatin1(prefix) + QString::number(i));
            ASSERT_TRUE(v.has_value()) << prefix << i;
            EXPECT_EQ(v->text, QStringLiteral("x") + QString::number(i));
        }
    }
}

TEST(Registry, ThirtyTwoWritersAtOnceAllSucceed)
{
    // A hive of some size, so that every change reads and writes real work.
    QByteArray body = "REGISTRY HIVE 1\n[Software\\Settings]\n";
    for (int i = 0; i < 5000; ++i)
        body += "sz\tSetting" + QByteArray::number(i) + "\tsome value " + QByteArray::number(i) + '\n';
    ASSERT_TRUE(QDir().mkpath(reg::storeFolder()));
    ASSERT_TRUE(testenv::writeFile(hiveFile(QStringLiteral("HKEY_CURRENT_USER.hive")), body + "END\n"));
    reg::resetCache();
    std::vector<std::unique_ptr<QProcess>> writers;
    for (int i = 0; i < 32; ++i)
        writers.emplace_back(startWriter(QStringLiteral("w") + QString::number(i) + QLatin1Char('_'), 20));
    for (auto& w : writers) {
        ASSERT_TRUE(w->waitForFinished(120000));
        EXPECT_EQ(w->exitCode(), 0) << "a writer had a write refused";
    }
    EXPECT_EQ(reg::values(Hive::CurrentUser, QStringLiteral("Software\\Race"))->size(), 32 * 20);
    EXPECT_EQ(reg::values(Hive::CurrentUser, QStringLiteral("Software\\Settings"))->size(), 5000);
}

TEST(Registry, TemporariesOfGoneWritersAreRemoved)
{
    ASSERT_TRUE(reg::writeValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("v"), Value::dword(1)));
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ASSERT_GT(gone, 0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    const struct {
        QString suffix;
        bool removed;
    } cases[] = {
        {QString::number(gone), true},
        {QString::number(::getppid()), false}, // its writer still runs
        {QStringLiteral("notapid"), false},
        {QStringLiteral("0"), false},
    };
    for (const auto& c : cases)
        ASSERT_TRUE(testenv::writeFile(hiveFile(kUserHive) + QStringLiteral(".tmp-") + c.suffix, "partial"));
    ASSERT_TRUE(reg::writeValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("v"), Value::dword(2)));
    for (const auto& c : cases)
        EXPECT_EQ(QFile::exists(hiveFile(kUserHive) + QStringLiteral(".tmp-") + c.suffix), !c.removed)
            << c.suffix.toStdString();
}

TEST(Registry, AWriterKilledMidwayLeavesAReadableHive)
{
    // Large values make every write long, so the kill lands inside one.
    const QString payload(20000, QLatin1Char('p'));
    for (int round = 0; round < 3; ++round) {
        reg::deleteKey(Hive::CurrentUser, QStringLiteral("Software\\Race"), true);
        std::unique_ptr<QProcess> p(startWriter(QStringLiteral("k") + QString::number(round), 100000, payload));
        ASSERT_TRUE(p->waitForStarted(10000));
        QElapsedTimer t;
        t.start();
        int seen = 0;
        while (t.elapsed() < 20000 && seen < 20 + 15 * round) {
            QThread::msleep(5);
            seen = static_cast<int>(reg::values(Hive::CurrentUser, QStringLiteral("Software\\Race")).value_or(QList<reg::NamedValue>()).size());
        }
        ASSERT_GE(seen, 1) << "the writer made no progress";
        ::kill(static_cast<pid_t>(p->processId()), SIGKILL);
        p->waitForFinished(10000);
        reg::resetCache();
        const auto vals = reg::values(Hive::CurrentUser, QStringLiteral("Software\\Race"));
        ASSERT_TRUE(vals.has_value());
        EXPECT_GE(vals->size(), seen);
        // Every value the writer finished is there, whole, in order.
        for (int i = 0; i < vals->size(); ++i) {
            EXPECT_EQ((*vals)[i].name, QStringLiteral("k") + QString::number(round) + QString::number(i));
            EXPECT_EQ((*vals)[i].value.text, payload + QString::number(i));
        }
        EXPECT_TRUE(QDir(reg::storeFolder()).entryList({QStringLiteral("*.broken-*")}).isEmpty());
        // Its temporary copy, if the kill left one, goes with the next write.
        ASSERT_TRUE(reg::writeValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("v"), Value::dword(1)));
        EXPECT_TRUE(QDir(reg::storeFolder()).entryList({QStringLiteral("*.tmp-*")}, QDir::Files).isEmpty());
    }
}

TEST(Registry, AHeldLockMakesAChangeFailInBoundedTime)
{
    ASSERT_TRUE(reg::writeValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("v"), Value::string(QStringLiteral("1"))));
    // A holder that never lets go, as a stopped process would.
    const QByteArray lockPath = QFile::encodeName(hiveFile(QStringLiteral("HKEY_CURRENT_USER.hive.lock")));
    const int fd = ::open(lockPath.constData(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    EXPECT_FALSE(reg::writeValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("v"), Value::string(QStringLiteral("2"))));
    EXPECT_TRUE(reg::lastError().contains(QStringLiteral("held the lock"))) << reg::lastError().toStdString();
    EXPECT_EQ(reg::readValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("v"))->text, QStringLiteral("1"))
        << "reads need no lock";
    // Another process's change gives up too, in a bounded wait.
    std::unique_ptr<QProcess> p(startWriter(QStringLiteral("held"), 1));
    ASSERT_TRUE(p->waitForFinished(120000));
    EXPECT_NE(p->exitCode(), 0) << "a change went through a held lock";
    ::close(fd);
    EXPECT_TRUE(reg::writeValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("v"), Value::string(QStringLiteral("2"))));
    EXPECT_EQ(reg::readValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("v"))->text, QStringLiteral("2"));
}
