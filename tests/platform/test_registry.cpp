#include "platform/registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

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

TEST(Registry, ABrokenHiveIsKeptAsideAndReported)
{
    ASSERT_TRUE(reg::writeValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("v"), Value::string(QStringLiteral("1"))));
    const QString file = hiveFile(QStringLiteral("HKEY_CURRENT_USER.hive"));
    const struct {
        const char* what;
        QByteArray bytes;
    } broken[] = {
        {"truncated", QByteArray("REGISTRY HIVE 1\n[K]\nsz\tv\t1\n")},
        {"garbage", QByteArray("\x7f" "ELF\x00\x01", 6)},
        {"bad type", QByteArray("REGISTRY HIVE 1\n[K]\nqword\tv\t1\nEND\n")},
        {"value before key", QByteArray("REGISTRY HIVE 1\nsz\tv\t1\nEND\n")},
        {"empty", QByteArray()},
    };
    for (const auto& b : broken) {
        QDir dir(reg::storeFolder());
        for (const QString& f : dir.entryList({QStringLiteral("*.broken-*")}))
            dir.remove(f);
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(b.bytes);
        f.close();
        reg::resetCache();
        EXPECT_FALSE(reg::readValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("v")).has_value()) << b.what;
        const QStringList aside = dir.entryList({QStringLiteral("*.broken-*")});
        ASSERT_EQ(aside.size(), 1) << b.what;
        QFile kept(dir.filePath(aside.first()));
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), b.bytes) << b.what << ": the broken file is kept as it was";
        // The store goes on working with a fresh hive.
        EXPECT_TRUE(reg::writeValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("v"), Value::string(QStringLiteral("2"))));
        EXPECT_EQ(reg::readValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("v"))->text, QStringLiteral("2"));
    }
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
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(reg::writeValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("v"), Value::string(QStringLiteral("2"))));
    EXPECT_LT(t.elapsed(), 60000);
    EXPECT_EQ(reg::readValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("v"))->text, QStringLiteral("1"))
        << "reads need no lock";
    ::close(fd);
    EXPECT_TRUE(reg::writeValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("v"), Value::string(QStringLiteral("2"))));
    EXPECT_EQ(reg::readValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("v"))->text, QStringLiteral("2"));
}
