#include "platform/base/com.h"
#include "platform/base/registry.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace com = platform::com;
namespace reg = platform::registry;

namespace {

const QString kServer = QStringLiteral(TEST_SERVER_DIR "/PlatformTest.dll");
const QString kNoEntry = QStringLiteral(TEST_SERVER_DIR "/NoEntry.dll");
const QString kProgId = QStringLiteral("PlatformTest.Echo");
const QString kClsid = QStringLiteral("{5D0C4E41-2B7A-4C0E-9A33-7F1E6B2D8C10}");

struct RegsvrRun {
    int status;
    QString out;
    QString err;
};

RegsvrRun regsvr(const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(Z5_BIN_DIR "/regsvr"), args);
    p.waitForFinished(30000);
    reg::resetCache();
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

// Every key and value below a key of the classes root, one line each.
void dump(const QString& path, QStringList& out)
{
    const auto vals = reg::values(reg::Hive::ClassesRoot, path);
    if (!vals)
        return;
    out << QStringLiteral("[") + path + QStringLiteral("]");
    for (const auto& v : *vals)
        out << v.name + QStringLiteral("=") + v.value.text + QString::number(v.value.number);
    for (const QString& sub : reg::subKeys(reg::Hive::ClassesRoot, path).value_or(QStringList()))
        dump(path.isEmpty() ? sub : path + QStringLiteral("\\") + sub, out);
}

QStringList classesRoot()
{
    QStringList out;
    for (const QString& top : reg::subKeys(reg::Hive::ClassesRoot, QString()).value_or(QStringList()))
        dump(top, out);
    return out;
}

QString defaultOf(const QString& key)
{
    const auto v = reg::readValue(reg::Hive::ClassesRoot, key, QString());
    return v ? v->text : QStringLiteral("<missing>");
}

com::Object echo()
{
    com::Error err;
    auto obj = com::createObject(kProgId, &err);
    EXPECT_TRUE(obj.has_value()) << err.description.toStdString();
    return obj.value_or(com::Object());
}

} // namespace

TEST(ComRegistration, RegsvrThenCreateObjectInAFreshHome)
{
    EXPECT_FALSE(com::createObject(kProgId).has_value());

    const RegsvrRun r = regsvr({kServer});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("succeeded")));

    EXPECT_EQ(defaultOf(kProgId + QStringLiteral("\\CLSID")), kClsid);
    EXPECT_EQ(defaultOf(QStringLiteral("CLSID\\") + kClsid + QStringLiteral("\\InprocServer32")),
              QFileInfo(kServer).canonicalFilePath());
    EXPECT_EQ(defaultOf(QStringLiteral("CLSID\\") + kClsid + QStringLiteral("\\ProgID")), kProgId);

    const com::Object obj = echo();
    ASSERT_FALSE(obj.isNull());
    const com::CallResult c = obj.call(QStringLiteral("Twice"), {21});
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.value.toInt(), 42);
}

TEST(ComRegistration, UnregisterRemovesEveryKeyItWroteAndNothingElse)
{
    // A machine that already has other classes.
    ASSERT_TRUE(reg::writeValue(reg::Hive::ClassesRoot, QStringLiteral(".txt"), QString(),
                                reg::Value::string(QStringLiteral("txtfile"))));
    ASSERT_TRUE(reg::writeValue(reg::Hive::ClassesRoot, QStringLiteral("CLSID\\{00000000-1111-2222-3333-444444444444}"),
                                QString(), reg::Value::string(QStringLiteral("Other"))));
    const QStringList before = classesRoot();

    ASSERT_EQ(regsvr({kServer}).status, 0);
    EXPECT_NE(classesRoot(), before);
    const RegsvrRun u = regsvr({QStringLiteral("/u"), kServer});
    ASSERT_EQ(u.status, 0) << u.err.toStdString();
    EXPECT_EQ(classesRoot(), before);
    EXPECT_FALSE(com::createObject(kProgId).has_value());
}

TEST(ComRegistration, UnregisterInAFreshHomeLeavesNoClassKeys)
{
    ASSERT_EQ(regsvr({kServer}).status, 0);
    ASSERT_EQ(regsvr({QStringLiteral("/U"), kServer}).status, 0);
    EXPECT_EQ(classesRoot(), QStringList());
}

TEST(ComRegistration, UnregisterKeepsKeysOthersAddedBelowOurs)
{
    ASSERT_EQ(regsvr({kServer}).status, 0);
    const QString extra = kProgId + QStringLiteral("\\CurVer");
    ASSERT_TRUE(reg::writeValue(reg::Hive::ClassesRoot, extra, QString(), reg::Value::string(kProgId)));
    ASSERT_EQ(regsvr({QStringLiteral("/u"), kServer}).status, 0);
    EXPECT_TRUE(reg::keyExists(reg::Hive::ClassesRoot, extra));
    EXPECT_FALSE(reg::keyExists(reg::Hive::ClassesRoot, kProgId + QStringLiteral("\\CLSID")));
    EXPECT_FALSE(reg::keyExists(reg::Hive::ClassesRoot, QStringLiteral("CLSID\\") + kClsid));
}

TEST(ComRegistration, RegsvrFailuresHaveTheirOwnExitStatus)
{
    QProcessEnvironment failing = QProcessEnvironment::systemEnvironment();
    failing.insert(QStringLiteral("PLATFORM_TEST_FAIL_REGISTRATION"), QStringLiteral("1"));
    const struct {
        QStringList args;
        QProcessEnvironment env;
        int status;
    } cases[] = {
        {{}, QProcessEnvironment::systemEnvironment(), 1},
        {{"/u"}, QProcessEnvironment::systemEnvironment(), 1},
        {{"a.dll", "b.dll"}, QProcessEnvironment::systemEnvironment(), 1},
        {{QDir::temp().filePath("missing.dll")}, QProcessEnvironment::systemEnvironment(), 3},
        {{kNoEntry}, QProcessEnvironment::systemEnvironment(), 4},
        {{"/u", kNoEntry}, QProcessEnvironment::systemEnvironment(), 4},
        {{kServer}, failing, 5},
    };
    for (const auto& c : cases) {
        const RegsvrRun r = regsvr(c.args, c.env);
        EXPECT_EQ(r.status, c.status) << c.args.join(QLatin1Char(' ')).toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_EQ(classesRoot(), QStringList());
}

TEST(ComRegistration, RegistrationInProcessReportsEachOutcome)
{
    EXPECT_EQ(com::registerServer(QStringLiteral("/nonexistent/x.dll")).status, com::RegistrationStatus::NotLoaded);
    EXPECT_EQ(com::unregisterServer(kNoEntry).status, com::RegistrationStatus::NoEntryPoint);
    EXPECT_EQ(com::registerServer(kServer).status, com::RegistrationStatus::Done);
    EXPECT_TRUE(com::createObject(kProgId).has_value());
    EXPECT_EQ(com::unregisterServer(kServer).status, com::RegistrationStatus::Done);
    EXPECT_FALSE(com::createObject(kProgId).has_value());
}

TEST(ComCreateObject, BrokenRegistrationsFailWithoutCrashing)
{
    const auto writeClass = [](const QString& progId, const QString& clsid, const QString& library) {
        reg::writeValue(reg::Hive::ClassesRoot, progId + QStringLiteral("\\CLSID"), QString(), reg::Value::string(clsid));
        if (!library.isNull())
            reg::writeValue(reg::Hive::ClassesRoot, QStringLiteral("CLSID\\") + clsid + QStringLiteral("\\InprocServer32"),
                            QString(), reg::Value::string(library));
    };
    writeClass(QStringLiteral("T.NoLibraryKey"), QStringLiteral("{A1}"), QString());
    writeClass(QStringLiteral("T.MissingFile"), QStringLiteral("{A2}"), QDir::temp().filePath("gone.dll"));
    writeClass(QStringLiteral("T.NotALibrary"), QStringLiteral("{A3}"), QDir::temp().filePath("text.dll"));
    writeClass(QStringLiteral("T.NoFactory"), QStringLiteral("{A4}"), kNoEntry);
    writeClass(QStringLiteral("T.WrongClass"), QStringLiteral("{A5}"), kServer);
    QFile f(QDir::temp().filePath("text.dll"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not an ELF file");
    f.close();

    for (const char* progId : {"Never.Registered", "", "T.NoLibraryKey", "T.MissingFile", "T.NotALibrary",
                               "T.NoFactory", "T.WrongClass"}) {
        com::Error err;
        EXPECT_FALSE(com::createObject(QString::fromLatin1(progId), &err).has_value()) << progId;
        EXPECT_EQ(err.number, com::ErrCannotCreateObject) << progId;
        EXPECT_FALSE(err.description.isEmpty());
    }
}

TEST(ComCall, CallsByNameConvertArgumentsAndReportErrors)
{
    ASSERT_EQ(com::registerServer(kServer).status, com::RegistrationStatus::Done);
    const com::Object obj = echo();
    ASSERT_FALSE(obj.isNull());

    const struct {
        const char* method;
        QVariantList args;
        bool ok;
        QVariant value;
        int32_t error;
    } cases[] = {
        {"Twice", {21}, true, 42, 0},
        {"twice", {QString("7")}, true, 14, 0},           // any case; text converted to a number
        {"TWICE", {int16_t(-3)}, true, -6, 0},
        {"Twice", {QString("seven")}, false, {}, com::ErrTypeMismatch},
        {"Twice", {}, false, {}, com::ErrWrongArgumentCount},
        {"Twice", {1, 2}, false, {}, com::ErrWrongArgumentCount},
        {"Join", {QString("a"), 5}, true, QString("a|5"), 0},
        {"Nothing", {}, true, {}, 0},
        {"Missing", {}, false, {}, com::ErrNoSuchMethod},
        {"deleteLater", {}, false, {}, com::ErrNoSuchMethod}, // QObject's own slots are not methods
        {"Fail", {326}, false, {}, 326},
        {"Twice", {4}, true, 8, 0},                       // an earlier error does not stick
    };
    for (const auto& c : cases) {
        const com::CallResult r = obj.call(QString::fromLatin1(c.method), c.args);
        EXPECT_EQ(r.ok, c.ok) << c.method;
        if (c.ok)
            EXPECT_EQ(r.value, c.value) << c.method;
        else
            EXPECT_EQ(r.error.number, c.error) << c.method;
    }
    EXPECT_EQ(obj.call(QStringLiteral("Fail"), {5}).error.description, QStringLiteral("asked to fail"));
    EXPECT_EQ(com::Object().call(QStringLiteral("Twice"), {1}).error.number, com::ErrObjectNotSet);
}
