#include "platform/base/registry.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace reg = platform::registry;

namespace {

struct RegRun {
    int status;
    QString out;
    QString err;
};

RegRun runReg(const QStringList& args, const QByteArray& input = {})
{
    QProcess p;
    p.start(QStringLiteral(Z5_BIN_DIR "/reg"), args);
    p.waitForStarted();
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(20000);
    reg::resetCache();
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

} // namespace

TEST(RegCommand, AddThenQueryEachType)
{
    const struct {
        QStringList addArgs;
        QString line;
    } cases[] = {
        {{"/v", "Name", "/d", "hello world"}, "    Name    REG_SZ    hello world"},
        {{"/v", "Path", "/t", "REG_EXPAND_SZ", "/d", "%HOME%\\x"}, "    Path    REG_EXPAND_SZ    %HOME%\\x"},
        {{"/v", "Count", "/t", "REG_DWORD", "/d", "26"}, "    Count    REG_DWORD    0x1a"},
        {{"/v", "Hex", "/t", "reg_dword", "/d", "0x10"}, "    Hex    REG_DWORD    0x10"},
        {{"/v", "Blob", "/t", "REG_BINARY", "/d", "00ff1A"}, "    Blob    REG_BINARY    00FF1A"},
        {{"/ve", "/d", "def"}, "    (Default)    REG_SZ    def"},
    };
    for (const auto& c : cases) {
        const RegRun add = runReg(QStringList{"add", "HKCU\\Software\\Test"} + QStringList(c.addArgs) + QStringList{"/f"});
        ASSERT_EQ(add.status, 0) << add.err.toStdString();
        const QStringList which = c.addArgs.first() == QLatin1String("/ve") ? QStringList{"/ve"}
                                                                             : QStringList{"/v", c.addArgs[1]};
        const RegRun q = runReg(QStringList{"query", "HKEY_CURRENT_USER\\Software\\Test"} + QStringList(which));
        EXPECT_EQ(q.status, 0);
        EXPECT_TRUE(q.out.contains(QStringLiteral("HKEY_CURRENT_USER\\Software\\Test\n"))) << q.out.toStdString();
        EXPECT_TRUE(q.out.contains(c.line + QLatin1Char('\n'))) << q.out.toStdString();
    }
    EXPECT_EQ(reg::readValue(reg::Hive::CurrentUser, QStringLiteral("Software\\Test"), QStringLiteral("Count"))->number, 26u);
}

TEST(RegCommand, FailuresExitWithOneAndSayWhy)
{
    const QList<QStringList> cases = {
        {"query", "HKCU\\Software\\Missing"},
        {"query", "HKXX\\Software"},
        {"add", "HKCU\\Software\\T", "/v", "n", "/t", "REG_DWORD", "/d", "abc", "/f"},
        {"add", "HKCU\\Software\\T", "/v", "n", "/t", "REG_BINARY", "/d", "0g", "/f"},
        {"add", "HKCU\\Software\\T", "/v", "n", "/t", "REG_QWORD", "/d", "1", "/f"},
        {"delete", "HKCU\\Software\\Missing", "/f"},
        {"frobnicate", "HKCU\\Software"},
        {},
    };
    for (const QStringList& args : cases) {
        const RegRun r = runReg(args);
        EXPECT_EQ(r.status, 1) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_FALSE(r.err.isEmpty()) << args.join(QLatin1Char(' ')).toStdString();
    }
}

TEST(RegCommand, DeleteAsksUnlessForced)
{
    ASSERT_EQ(runReg({"add", "HKLM\\Software\\D", "/v", "a", "/d", "1", "/f"}).status, 0);
    ASSERT_EQ(runReg({"add", "HKLM\\Software\\D", "/v", "b", "/d", "2", "/f"}).status, 0);
    ASSERT_EQ(runReg({"add", "HKLM\\Software\\D\\Sub"}).status, 0);
    EXPECT_EQ(runReg({"delete", "HKLM\\Software\\D", "/v", "a"}, "no\n").status, 0);
    EXPECT_TRUE(reg::readValue(reg::Hive::LocalMachine, QStringLiteral("Software\\D"), QStringLiteral("a")).has_value());
    EXPECT_EQ(runReg({"delete", "HKLM\\Software\\D", "/v", "a"}, "yes\n").status, 0);
    EXPECT_FALSE(reg::readValue(reg::Hive::LocalMachine, QStringLiteral("Software\\D"), QStringLiteral("a")).has_value());
    EXPECT_EQ(runReg({"delete", "HKLM\\Software\\D", "/va", "/f"}).status, 0);
    EXPECT_TRUE(reg::values(reg::Hive::LocalMachine, QStringLiteral("Software\\D"))->isEmpty());
    EXPECT_TRUE(reg::keyExists(reg::Hive::LocalMachine, QStringLiteral("Software\\D\\Sub")));
    EXPECT_EQ(runReg({"delete", "HKLM\\Software\\D", "/f"}).status, 0);
    EXPECT_FALSE(reg::keyExists(reg::Hive::LocalMachine, QStringLiteral("Software\\D")));
}

TEST(RegCommand, RecursiveQueryAndExport)
{
    ASSERT_EQ(runReg({"add", "HKCU\\Software\\E\\One", "/v", "x", "/d", "1", "/f"}).status, 0);
    ASSERT_EQ(runReg({"add", "HKCU\\Software\\E\\Two", "/v", "y", "/t", "REG_DWORD", "/d", "255", "/f"}).status, 0);
    const RegRun q = runReg({"query", "HKCU\\Software\\E", "/s"});
    EXPECT_EQ(q.status, 0);
    EXPECT_TRUE(q.out.contains(QStringLiteral("HKEY_CURRENT_USER\\Software\\E\\One\n    x    REG_SZ    1\n")));
    EXPECT_TRUE(q.out.contains(QStringLiteral("HKEY_CURRENT_USER\\Software\\E\\Two\n    y    REG_DWORD    0xff\n")));
    const QString file = QDir::tempPath() + QStringLiteral("/e.reg");
    EXPECT_EQ(runReg({"export", "HKCU\\Software\\E", file}).status, 0);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("[HKEY_CURRENT_USER\\Software\\E\\One]\r\n\"x\"=\"1\"\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\"y\"=dword:000000ff")));
}

TEST(RegCommand, RefusedChangesSayWhyAndLeaveTheHive)
{
    ASSERT_EQ(runReg({"add", "HKCU\\Software\\Kept", "/v", "v", "/d", "1", "/f"}).status, 0);
    const QString hive = reg::storeFolder() + QStringLiteral("/HKEY_CURRENT_USER.hive");
    QFile f(hive);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    const QString deep = QStringLiteral("HKCU\\") + QStringList(17000, QStringLiteral("a")).join(QLatin1Char('\\'));
    const struct {
        QStringList args;
        const char* reason;
    } cases[] = {
        {{"add", deep}, "levels"},
        {{"add", deep, "/v", "n", "/d", "x", "/f"}, "levels"},
        {{"add", "HKCU\\Software\\Kept", "/v", QString(20000, QLatin1Char('n')), "/d", "x", "/f"}, "value name"},
        {{"add", "HKCU\\Software\\" + QString(300, QLatin1Char('k'))}, "key name"},
    };
    for (const auto& c : cases) {
        const RegRun r = runReg(c.args);
        EXPECT_EQ(r.status, 1) << c.reason;
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("ERROR: "))) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.reason))) << r.err.toStdString();
        EXPECT_FALSE(r.out.contains(QStringLiteral("successfully"))) << c.reason;
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), before) << c.reason;
        f.close();
    }
}

TEST(RegCommand, ExportHoldsNoLineAStoredTextInjects)
{
    // Each text would start a key line and a value line of its own if its
    // line breaks were exported as they are.
    const QString evil = QStringLiteral("x\r\n[HKEY_LOCAL_MACHINE\\Evil]\r\n\"Run\"=\"owned\"\n");
    const struct {
        const char* where;
        QString key, name, data;
    } cases[] = {
        {"text", QStringLiteral("Software\\X"), QStringLiteral("n"), evil},
        {"value name", QStringLiteral("Software\\X"), evil, QStringLiteral("d")},
        {"key name", QStringLiteral("Software\\X\\") + evil, QStringLiteral("n"), QStringLiteral("d")},
    };
    for (const auto& c : cases) {
        reg::deleteKey(reg::Hive::CurrentUser, QStringLiteral("Software\\X"), true);
        ASSERT_TRUE(reg::writeValue(reg::Hive::CurrentUser, c.key, c.name, reg::Value::string(c.data))) << c.where;
        const QString file = QDir::tempPath() + QStringLiteral("/x.reg");
        ASSERT_EQ(runReg({"export", "HKCU\\Software\\X", file}).status, 0) << c.where;
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        const QStringList lines = text.split(QStringLiteral("\r\n"));
        for (const QString& line : lines) {
            EXPECT_FALSE(line.contains(QLatin1Char('\n')) || line.contains(QLatin1Char('\r'))) << c.where;
            EXPECT_FALSE(line.startsWith(QStringLiteral("[HKEY_LOCAL_MACHINE"))) << c.where << ": " << line.toStdString();
            EXPECT_FALSE(line.startsWith(QStringLiteral("\"Run\""))) << c.where << ": " << line.toStdString();
        }
    }
    // A text with line breaks is exported as the bytes of a string value:
    // UTF-16LE with its terminating NUL.
    reg::deleteKey(reg::Hive::CurrentUser, QStringLiteral("Software\\X"), true);
    ASSERT_TRUE(reg::writeValue(reg::Hive::CurrentUser, QStringLiteral("Software\\X"), QStringLiteral("n"),
                                reg::Value::string(QStringLiteral("a\nb"))));
    const QString file = QDir::tempPath() + QStringLiteral("/x.reg");
    ASSERT_EQ(runReg({"export", "HKCU\\Software\\X", file}).status, 0);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(f.readAll()).contains(QStringLiteral("\"n\"=hex(1):61,00,0a,00,62,00,00,00\r\n")));
}
