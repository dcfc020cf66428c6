// The real browser program started as a user would start it, each test in a
// fresh home with its own copy of the program folder's data.

#include "core/contentfilter.h"
#include "core/startup.h"
#include "platform/base/paths.h"
#include "platform/base/registry.h"
#include "skinlib/art/skinart.h"

#include "httpserver.h"
#include "stagedprogram.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QProcess>
#include <QMap>
#include <QSet>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

namespace reg = platform::registry;

namespace {

const QString kStage = QStringLiteral(Z5_STAGE_DIR);
const QString kSettings = QStringLiteral("Software\\Keldo\\Z5 Browser");

class Z5Process : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(testenv::installProgramCopy(prog, fonts));
        work = testenv::freshDir(QStringLiteral("work"));
        QDir(platform::paths::privateTempFolder() + QStringLiteral("/Z5Temp")).removeRecursively();
        handOff = platform::paths::privateTempFolder() + QStringLiteral("/Z5Temp");
    }

    void TearDown() override
    {
        for (auto& p : running) {
            p->kill();
            p->waitForFinished(10000);
        }
    }

    // Starts Z5.exe; shotName names the screenshot it writes once its window
    // shows; with exitAfterShot it then ends by itself.
    QProcess* start(const QStringList& args, const QString& shotName, bool exitAfterShot = true,
                    const QMap<QString, QString>& extraEnv = {})
    {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PLATFORM_PROGRAM_DIR"), prog);
        env.insert(QStringLiteral("PLATFORM_PROMPT_LOG"), work + QStringLiteral("/prompts.txt"));
        env.insert(QStringLiteral("PLATFORM_SHOT_FILE"), work + QLatin1Char('/') + shotName);
        if (exitAfterShot)
            env.insert(QStringLiteral("PLATFORM_EXIT_AFTER_SHOT"), QStringLiteral("1"));
        for (auto it = extraEnv.begin(); it != extraEnv.end(); ++it)
            env.insert(it.key(), it.value());
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(channels);
        p->start(exe, args);
        running.push_back(std::move(p));
        return running.back().get();
    }

    // Runs Z5.exe to its end; true when it ended by itself within the time.
    bool run(const QStringList& args, const QString& shotName)
    {
        QProcess* p = start(args, shotName);
        return p->waitForFinished(60000) && p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0;
    }

    bool shown(const QString& shotName) const { return QFile::exists(work + QLatin1Char('/') + shotName); }
    QStringList prompts() const
    {
        return QString::fromUtf8(testenv::readFile(work + QStringLiteral("/prompts.txt"))).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    QByteArray machineHive() const
    {
        return testenv::readFile(reg::storeFolder() + QStringLiteral("/HKEY_LOCAL_MACHINE.hive"));
    }
    QString setting(reg::Hive hive, const QString& name) const
    {
        reg::resetCache();
        const auto v = reg::readValue(hive, kSettings, name);
        return v ? v->text : QStringLiteral("<none>");
    }
    void setUserSetting(const QString& name, const QString& value)
    {
        reg::writeValue(reg::Hive::CurrentUser, kSettings, name, reg::Value::string(value));
    }

    QString prog, fonts, work, handOff;
    QString exe = kStage + QStringLiteral("/Z5.exe");
    QProcess::ProcessChannelMode channels = QProcess::ForwardedErrorChannel;
    std::vector<std::unique_ptr<QProcess>> running;
};

// What the dynamic loader resolves for a program or module, as ldd lists it.
QString loadedLibraries(const QString& file)
{
    QProcess ldd;
    ldd.start(QStringLiteral("ldd"), {file});
    if (!ldd.waitForFinished(30000))
        return {};
    return QString::fromLocal8Bit(ldd.readAllStandardOutput());
}

} // namespace

TEST(ProgramFolder, EachModuleLoadsOnlyTheLayersItNeeds)
{
    struct Case {
        const char* file;
        QStringList absent;
    };
    const Case cases[] = {
        {Z5_STAGE_DIR "/Skin/SK_Morvane_1.dll", {"WebEngine", "Multimedia", "Widgets", "z5platformwin"}},
        {Z5_BIN_DIR "/reg", {"Widgets", "WebEngine", "Gui", "z5platformwin"}},
        {Z5_BIN_DIR "/regsvr", {"Widgets", "WebEngine", "z5platformwin"}},
        {Z5_STAGE_DIR "/libz5corebase.so", {"WebEngine", "Multimedia", "z5platformweb"}},
        {Z5_STAGE_DIR "/Tool/Z5SkinRemoval.exe", {"WebEngine", "Multimedia", "z5platformweb"}},
    };
    for (const Case& c : cases) {
        const QString libs = loadedLibraries(QString::fromUtf8(c.file));
        ASSERT_TRUE(libs.contains(QStringLiteral("libQt6Core"))) << c.file << "\n" << libs.toStdString();
        EXPECT_FALSE(libs.contains(QStringLiteral("not found"))) << c.file << "\n" << libs.toStdString();
        for (const QString& name : c.absent)
            EXPECT_FALSE(libs.contains(name)) << c.file << " loads " << name.toStdString();
    }
}

TEST_F(Z5Process, TheProgramFolderCopiedElsewhereStillStarts)
{
    testenv::copyTree(kStage, prog);
    exe = prog + QStringLiteral("/Z5.exe");
    ASSERT_TRUE(QFile::setPermissions(exe, QFile::permissions(kStage + QStringLiteral("/Z5.exe"))));
    // Every library of the program folder is taken from the copy.
    const QString libs = loadedLibraries(exe);
    for (const QString& line : libs.split(QLatin1Char('\n'))) {
        if (line.contains(QStringLiteral("libz5"))) {
            EXPECT_TRUE(line.contains(QStringLiteral("=> ") + prog + QLatin1Char('/'))) << line.toStdString();
        }
    }
    EXPECT_TRUE(libs.contains(QStringLiteral("libz5platformbase.so")));
    ASSERT_TRUE(run({}, QStringLiteral("moved.png")));
    EXPECT_TRUE(shown(QStringLiteral("moved.png")));
}

TEST_F(Z5Process, FirstRunRegistersAndASecondRunWritesNothing)
{
    ASSERT_TRUE(run({}, QStringLiteral("first.png")));
    EXPECT_TRUE(shown(QStringLiteral("first.png")));
    EXPECT_EQ(setting(reg::Hive::LocalMachine, QStringLiteral("Z5_APPRELEASEDCODE")), QStringLiteral("2.785"));
    EXPECT_EQ(platform::paths::toLocal(setting(reg::Hive::LocalMachine, QStringLiteral("Z5_APPLICATIONPATH"))), prog);
    EXPECT_EQ(reg::readValue(reg::Hive::ClassesRoot, QStringLiteral(".z5p"), QString())->text, QStringLiteral("Z5.PlayList"));
    EXPECT_EQ(reg::readValue(reg::Hive::ClassesRoot, QStringLiteral(".z5s"), QString())->text, QStringLiteral("Z5.WebSnippet"));

    const QByteArray before = machineHive();
    ASSERT_TRUE(run({}, QStringLiteral("second.png")));
    EXPECT_TRUE(shown(QStringLiteral("second.png")));
    EXPECT_EQ(machineHive(), before);
    EXPECT_TRUE(prompts().isEmpty());
}

TEST_F(Z5Process, TheWindowShowsAndIsScreenshot)
{
    setUserSetting(QStringLiteral("DIS_MAXIMIZE"), QStringLiteral("False"));
    ASSERT_TRUE(run({}, QStringLiteral("window.png")));
    const QImage shot(work + QStringLiteral("/window.png"));
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.width(), 9200 / 15);
    EXPECT_EQ(shot.height(), 6675 / 15);
    const QString keep = qEnvironmentVariable("Z5_SCREENSHOT_DIR");
    if (!keep.isEmpty()) {
        QDir().mkpath(keep);
        shot.save(keep + QStringLiteral("/z5-window.png"));
    }
}

TEST_F(Z5Process, QtsOwnOptionsOnTheCommandLineOpenNoPort)
{
    auto freePort = [] {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        return probe.serverPort();
    };
    const quint16 vnc = freePort();
    const quint16 debugging = freePort();
    ASSERT_NE(vnc, 0);
    start({QStringLiteral("-platform"), QStringLiteral("vnc:port=%1").arg(vnc),
           QStringLiteral("--remote-debugging-port=%1").arg(debugging)},
          QStringLiteral("options.png"), false);
    ASSERT_TRUE(testenv::waitFor([&] { return shown(QStringLiteral("options.png")); }, 60000));
    for (const quint16 port : {vnc, debugging}) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port);
        EXPECT_FALSE(socket.waitForConnected(3000)) << "port " << port << " is open";
    }
}

TEST_F(Z5Process, OneInstanceOnlyHandsTheArgumentOver)
{
    // The first instance reads no hand-off (it started without the
    // setting): the files stay for the test to read.
    setUserSetting(QStringLiteral("RUNONEINSTANCEONLY"), QStringLiteral("0"));
    start({}, QStringLiteral("first.png"), false);
    ASSERT_TRUE(testenv::waitFor([&] { return shown(QStringLiteral("first.png")); }, 30000));
    setUserSetting(QStringLiteral("RUNONEINSTANCEONLY"), QStringLiteral("1"));

    ASSERT_TRUE(run({QStringLiteral("C:\\a b\\list.z5p")}, QStringLiteral("second.png")));
    EXPECT_FALSE(shown(QStringLiteral("second.png"))) << "the second start shows no window";
    EXPECT_EQ(testenv::readFile(handOff + QStringLiteral("/1")), QByteArray("C:\\a b\\list.z5p\r\n"));

    testenv::writeFile(handOff + QStringLiteral("/2"), "taken\r\n");
    ASSERT_TRUE(run({QStringLiteral("http://example.invalid/")}, QStringLiteral("third.png")));
    EXPECT_EQ(testenv::readFile(handOff + QStringLiteral("/3")), QByteArray("http://example.invalid/\r\n"));

    ASSERT_TRUE(run({QStringLiteral("   ")}, QStringLiteral("blank.png")));
    EXPECT_TRUE(shown(QStringLiteral("blank.png"))) << "an argument of blanks starts normally";
    EXPECT_FALSE(QFile::exists(handOff + QStringLiteral("/4")));
}

TEST_F(Z5Process, AnArgumentThatCannotBeHandedOverOpensInItsOwnWindow)
{
    setUserSetting(QStringLiteral("RUNONEINSTANCEONLY"), QStringLiteral("0"));
    start({}, QStringLiteral("first.png"), false);
    ASSERT_TRUE(testenv::waitFor([&] { return shown(QStringLiteral("first.png")); }, 30000));
    setUserSetting(QStringLiteral("RUNONEINSTANCEONLY"), QStringLiteral("1"));
    const QString elsewhere = testenv::freshDir(QStringLiteral("elsewhere"));
    const struct {
        const char* what;
        std::function<bool()> arrange; // the hand-off folder made unusable
    } cases[] = {
        {"a link to another folder", [&] { return QFile::link(elsewhere, handOff); }},
        {"a file", [&] { return testenv::writeFile(handOff, "x"); }},
        {"every number taken",
         [&] {
             if (!QDir().mkpath(handOff))
                 return false;
             for (int n = 1; n <= kHandOffNumbers; ++n)
                 if (!testenv::writeFile(handOff + QLatin1Char('/') + QString::number(n), "taken\r\n"))
                     return false;
             return true;
         }},
    };
    for (const auto& c : cases) {
        QFile::remove(handOff);
        QDir(handOff).removeRecursively();
        ASSERT_TRUE(c.arrange()) << c.what;
        const QString shot = QStringLiteral("own-%1.png").arg(QString::fromLatin1(c.what).replace(QLatin1Char(' '), QLatin1Char('-')));
        ASSERT_TRUE(run({QStringLiteral("http://example.invalid/")}, shot)) << c.what;
        EXPECT_TRUE(shown(shot)) << c.what << ": the start goes on with its own window";
        EXPECT_TRUE(QDir(elsewhere).isEmpty()) << c.what;
        EXPECT_FALSE(QFile::exists(handOff + QLatin1Char('/') + QString::number(kHandOffNumbers + 1))) << c.what;
    }
}

TEST_F(Z5Process, EveryStartOpensItsOwnWindowUnlessOneInstanceIsAsked)
{
    setUserSetting(QStringLiteral("RUNONEINSTANCEONLY"), QStringLiteral("0"));
    start({}, QStringLiteral("first.png"), false);
    ASSERT_TRUE(testenv::waitFor([&] { return shown(QStringLiteral("first.png")); }, 30000));
    ASSERT_TRUE(run({QStringLiteral("page.htm")}, QStringLiteral("second.png")));
    EXPECT_TRUE(shown(QStringLiteral("second.png")));
    EXPECT_FALSE(QFile::exists(handOff + QStringLiteral("/1")));
}

TEST_F(Z5Process, TwentyRacingStartsLoseNoArgument)
{
    setUserSetting(QStringLiteral("RUNONEINSTANCEONLY"), QStringLiteral("0"));
    start({}, QStringLiteral("first.png"), false);
    ASSERT_TRUE(testenv::waitFor([&] { return shown(QStringLiteral("first.png")); }, 30000));
    setUserSetting(QStringLiteral("RUNONEINSTANCEONLY"), QStringLiteral("1"));
    std::vector<QProcess*> racers;
    for (int i = 0; i < 20; ++i)
        racers.push_back(start({QStringLiteral("arg") + QString::number(i)}, QStringLiteral("racer.png")));
    for (QProcess* p : racers)
        ASSERT_TRUE(p->waitForFinished(120000));
    QSet<QByteArray> args;
    for (const QString& f : QDir(handOff).entryList(QDir::Files | QDir::Hidden))
        args.insert(testenv::readFile(handOff + QLatin1Char('/') + f));
    QSet<QByteArray> expected;
    for (int i = 0; i < 20; ++i)
        expected.insert("arg" + QByteArray::number(i) + "\r\n");
    EXPECT_EQ(args, expected);
    EXPECT_FALSE(shown(QStringLiteral("racer.png")));
}

TEST_F(Z5Process, AFailedCheckShowsItsMessageAndEndsWithoutAWindow)
{
    const struct {
        const char* what;
        std::function<void()> arrange;
        const char* message; // nullptr: ends quietly
    } cases[] = {
        {"filter file missing", [this] { QFile::remove(prog + QStringLiteral("/Z51.DAT")); },
         "A required file - Z51.DAT - is missing or corrupted"},
        {"filter file changed", [this] { testenv::writeFile(prog + QStringLiteral("/Z51.DAT"), "changed"); },
         "A required file - Z51.DAT - is missing or corrupted"},
        {"no skin", [this] { QDir(prog + QStringLiteral("/Skin")).removeRecursively(); },
         "SKIN FILE is missing or corrupted"},
        {"font missing everywhere",
         [this] {
             QFile::remove(fonts + QStringLiteral("/MICROSS.TTF"));
             QFile::remove(prog + QStringLiteral("/Common/MICROSS.TTF"));
         },
         "A required True Type Font - Microsoft Sans Serif (MICROSS.TTF) - is missing"},
        {"font only in Common", [this] { QFile::remove(fonts + QStringLiteral("/MICROSS.TTF")); }, nullptr},
    };
    for (const auto& c : cases) {
        SetUp();
        c.arrange();
        ASSERT_TRUE(run({}, QStringLiteral("shot.png"))) << c.what;
        EXPECT_FALSE(shown(QStringLiteral("shot.png"))) << c.what;
        const QStringList p = prompts();
        if (c.message) {
            ASSERT_EQ(p.size(), 1) << c.what;
            EXPECT_TRUE(p.first().startsWith(QStringLiteral("message\t"))) << c.what;
            EXPECT_TRUE(p.first().endsWith(QLatin1Char('\t') + QString::fromUtf8(c.message))) << c.what;
        } else {
            EXPECT_TRUE(p.isEmpty()) << c.what;
            EXPECT_TRUE(QFile::exists(fonts + QStringLiteral("/MICROSS.TTF"))) << c.what;
            ASSERT_TRUE(run({}, QStringLiteral("next.png"))) << c.what;
            EXPECT_TRUE(shown(QStringLiteral("next.png"))) << "the next start passes";
        }
    }
}

TEST_F(Z5Process, AMissingConfiguredSkinFallsBackToTheDefault)
{
    setUserSetting(QStringLiteral("Z5_SKINNAME"), QStringLiteral("Blue Sky"));
    ASSERT_TRUE(run({}, QStringLiteral("shot.png")));
    EXPECT_TRUE(shown(QStringLiteral("shot.png")));
    EXPECT_TRUE(prompts().isEmpty());
}

TEST_F(Z5Process, ADamagedLineInAHiveCostsOnlyThatLine)
{
    // The user's settings and a saved filter list, as earlier runs left them.
    const struct {
        const char* name;
        const char* value;
    } settings[] = {
        {"Z5_SKINNAME", "Morvane 1"}, {"Z5_LANGUAGE", "English"}, {"RUNONEINSTANCEONLY", "0"},
        {"OPENLINKWITHNEWTAB", "1"},  {"Z5_DAMAGED", "lost"},     {"UNREACHABLETIMEOUT", "30"},
    };
    for (const auto& s : settings)
        setUserSetting(QString::fromUtf8(s.name), QString::fromUtf8(s.value));
    platform::paths::setProgramFolder(prog);
    ASSERT_TRUE(SaveContentList({{QStringLiteral("blocked.example"), QString()}}));
    platform::paths::setProgramFolder(QString());
    const QString code = setting(reg::Hive::LocalMachine, StartupCodeSetting);

    // One line of each hive becomes unreadable.
    const QString userHive = reg::storeFolder() + QStringLiteral("/HKEY_CURRENT_USER.hive");
    const QString machineHiveFile = reg::storeFolder() + QStringLiteral("/HKEY_LOCAL_MACHINE.hive");
    QByteArray user = testenv::readFile(userHive);
    ASSERT_TRUE(user.contains("sz\tZ5_DAMAGED\tlost\n"));
    user.replace("sz\tZ5_DAMAGED\tlost\n", "sz\tZ5_DAMAGED\t%Zlost\n");
    ASSERT_TRUE(testenv::writeFile(userHive, user));
    QByteArray machine = testenv::readFile(machineHiveFile);
    const qsizetype section = machine.indexOf("\\Keldo\\Z5 Browser]\n"); // "Software" spelled as first written
    ASSERT_GE(section, 0);
    machine.insert(machine.indexOf('\n', section) + 1, "dword\tZ5_OTHER\tten\n");
    ASSERT_TRUE(testenv::writeFile(machineHiveFile, machine));

    channels = QProcess::SeparateChannels;
    QProcess* p = start({}, QStringLiteral("salvaged.png"));
    ASSERT_TRUE(p->waitForFinished(60000));
    EXPECT_EQ(p->exitCode(), 0);
    const QString err = QString::fromLocal8Bit(p->readAllStandardError());
    EXPECT_TRUE(shown(QStringLiteral("salvaged.png"))) << "the filter check found its code: " << err.toStdString();
    EXPECT_TRUE(prompts().isEmpty()) << prompts().join(QLatin1Char('\n')).toStdString();
    for (const auto& s : settings) {
        if (QByteArrayView(s.name) != "Z5_DAMAGED") {
            EXPECT_EQ(setting(reg::Hive::CurrentUser, QString::fromUtf8(s.name)), QString::fromUtf8(s.value)) << s.name;
        }
    }
    EXPECT_EQ(setting(reg::Hive::CurrentUser, QStringLiteral("Z5_DAMAGED")), QStringLiteral("<none>"));
    EXPECT_EQ(setting(reg::Hive::LocalMachine, StartupCodeSetting), code);
    const QStringList aside = QDir(reg::storeFolder()).entryList({QStringLiteral("*.broken-*")}, QDir::Files);
    EXPECT_EQ(aside.size(), 2) << aside.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(err.count(QStringLiteral("damaged line")), 2) << err.toStdString();

    // The hives were written back whole: the next start finds nothing to mend.
    channels = QProcess::ForwardedErrorChannel;
    ASSERT_TRUE(run({}, QStringLiteral("again.png")));
    EXPECT_TRUE(shown(QStringLiteral("again.png")));
    EXPECT_EQ(QDir(reg::storeFolder()).entryList({QStringLiteral("*.broken-*")}, QDir::Files).size(), 2);
}

namespace {

// One control of the window, as the layout dump lists it.
struct Placed {
    QString name;
    bool ownVisible = false;
    bool shown = false;
    QRectF twips;
    QRect pixels;
};

std::vector<Placed> readLayout(const QString& file)
{
    std::vector<Placed> out;
    for (const QString& line : QString::fromUtf8(testenv::readFile(file)).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList f = line.split(QLatin1Char('\t'));
        if (f.size() != 5)
            continue;
        const QStringList t = f[3].split(QLatin1Char(' '));
        const QStringList p = f[4].split(QLatin1Char(' '));
        if (t.size() != 4 || p.size() != 4)
            continue;
        out.push_back({f[0], f[1] == QLatin1String("1"), f[2] == QLatin1String("1"),
                       QRectF(t[0].toDouble(), t[1].toDouble(), t[2].toDouble(), t[3].toDouble()),
                       QRect(p[0].toInt(), p[1].toInt(), p[2].toInt(), p[3].toInt())});
    }
    return out;
}

const Placed* find(const std::vector<Placed>& layout, const QString& name)
{
    for (const Placed& p : layout)
        if (p.name == name)
            return &p;
    return nullptr;
}

// Where the control shows in the shot, the skin's picture is there: every
// pixel of its rectangle that no control above it covers.
testing::AssertionResult showsSkinPicture(const QImage& shot, const std::vector<Placed>& layout, const QString& name,
                                          int id, skinart::Skin skin = skinart::Skin::Morvane1)
{
    size_t index = 0;
    while (index < layout.size() && layout[index].name != name)
        ++index;
    if (index == layout.size())
        return testing::AssertionFailure() << name.toStdString() << " is not in the layout";
    const Placed& c = layout[index];
    if (!c.shown)
        return testing::AssertionFailure() << name.toStdString() << " is hidden";
    const auto picture = skinart::drawSkinPicture(skin, id);
    if (!picture || picture->size() != c.pixels.size())
        return testing::AssertionFailure() << name.toStdString() << " is not the size of picture " << id;
    int compared = 0;
    for (int y = 0; y < c.pixels.height(); ++y) {
        for (int x = 0; x < c.pixels.width(); ++x) {
            const QPoint at = c.pixels.topLeft() + QPoint(x, y);
            bool covered = false;
            for (size_t j = index + 1; j < layout.size() && !covered; ++j)
                covered = layout[j].shown && layout[j].pixels.contains(at);
            if (covered)
                continue;
            ++compared;
            if ((shot.pixel(at) & 0xFFFFFF) != (picture->pixel(x, y) & 0xFFFFFF))
                return testing::AssertionFailure() << name.toStdString() << " differs from picture " << id << " at "
                                                   << x << "," << y;
        }
    }
    if (compared == 0)
        return testing::AssertionFailure() << name.toStdString() << " is covered everywhere";
    return testing::AssertionSuccess();
}

void keepScreenshot(const QImage& shot, const QString& name)
{
    const QString dir = qEnvironmentVariableIsSet("Z5_SCREENSHOT_DIR") ? qEnvironmentVariable("Z5_SCREENSHOT_DIR")
                                                                       : QStringLiteral(Z5_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    shot.save(dir + QLatin1Char('/') + name);
}

} // namespace

TEST_F(Z5Process, TheWholeChromeShowsTheSkinsPicturesWhereTheLayoutPutsThem)
{
    const struct {
        int width, height;
    } sizes[] = {{9200, 6675}, {10500, 7500}};
    for (const auto& size : sizes) {
        setUserSetting(QStringLiteral("DIS_MAXIMIZE"), QStringLiteral("False"));
        setUserSetting(QStringLiteral("WIN_W"), QString::number(size.width));
        setUserSetting(QStringLiteral("WIN_H"), QString::number(size.height));
        const QString tag = QString::number(size.width) + QLatin1Char('x') + QString::number(size.height);
        QProcess* p = start({}, tag + QStringLiteral(".png"), true,
                            {{QStringLiteral("PLATFORM_SHOT_DELAY_MS"), QStringLiteral("300")},
                             {QStringLiteral("PLATFORM_LAYOUT_FILE"), work + QLatin1Char('/') + tag + QStringLiteral(".txt")}});
        ASSERT_TRUE(p->waitForFinished(60000));
        EXPECT_EQ(p->exitCode(), 0);
        const QImage shot(work + QLatin1Char('/') + tag + QStringLiteral(".png"));
        ASSERT_FALSE(shot.isNull()) << tag.toStdString();
        EXPECT_EQ(shot.size(), QSize(size.width / 15, size.height / 15));
        keepScreenshot(shot, QStringLiteral("z5-window-") + tag + QStringLiteral(".png"));
        const std::vector<Placed> layout = readLayout(work + QLatin1Char('/') + tag + QStringLiteral(".txt"));
        const std::pair<const char*, int> probes[] = {
            {"SkinPiece(0)", 104},       {"SkinPiece(1)", 110},       {"SkinPiece(2)", 112},
            {"SkinPiece(3)", 115},       {"SkinPiece(9)", 106},       {"cmdWBControl(0)", 185},
            {"cmdWBControl(1)", 188},    {"cmdWBControl(2)", 174},    {"cmdWBControl(3)", 178},
            {"cmdWBControl(4)", 179},    {"cmdWBControl(6)", 194},    {"cmdWBControl(8)", 197},
            {"cmdFormControl(0)", 204},  {"cmdFormControl(1)", 207},  {"cmdFormControl(2)", 210},
            {"cmdFormControl(3)", 216},  {"cmdAppOpt(0)", 267},       {"cmdAppOpt(1)", 270},
            {"cmdAppOpt(2)", 273},       {"cmdAppOpt(3)", 276},       {"cmdAppOpt(4)", 264},
            {"cmdAppOpt(5)", 403},       {"cmdShowHide(0)", 145},     {"cmdShowHide(3)", 137},
            {"cmdShowHide(4)", 135},     {"ImageBox(3)", 200},
        };
        for (const auto& [name, id] : probes)
            EXPECT_TRUE(showsSkinPicture(shot, layout, QString::fromLatin1(name), id)) << tag.toStdString();
        // The status line in the skin's colours; the address box white.
        const Placed* status = find(layout, QStringLiteral("WBTextBox(1)"));
        ASSERT_TRUE(status && status->shown);
        EXPECT_EQ(QColor(shot.pixel(status->pixels.right() - 2, status->pixels.center().y())), QColor(0x5E, 0x7B, 0xB7));
        const Placed* address = find(layout, QStringLiteral("WBTextBox(0)"));
        ASSERT_TRUE(address && address->shown);
        EXPECT_EQ(QColor(shot.pixel(address->pixels.right() - 2, address->pixels.center().y())), QColor(Qt::white));
        // The twips the layout computed: the right frame on the right edge.
        const Placed* right = find(layout, QStringLiteral("SkinPiece(5)"));
        ASSERT_TRUE(right);
        EXPECT_DOUBLE_EQ(right->twips.right(), size.width);
    }
}

TEST_F(Z5Process, EachBarSettingShowsItsPicturesAndHidesItsButtons)
{
    struct Case {
        const char* setting;
        const char* value;
        std::vector<std::pair<const char*, int>> pictures;
        QStringList shown;
        QStringList hidden;
    };
    const Case cases[] = {
        {"DIS_TOOLBAR1", "False", {{"SkinPiece(0)", 109}, {"SkinPiece(1)", 111}, {"cmdShowHide(1)", 147}},
         {QStringLiteral("cmdShowHide(1)")},
         {QStringLiteral("SkinPiece(8)"), QStringLiteral("SkinPiece(9)"), QStringLiteral("cmdWBControl(0)"),
          QStringLiteral("cmdFormControl(3)"), QStringLiteral("cmdMenu(0)"), QStringLiteral("PicHolder(1)")}},
        {"DIS_TOOLBAR2", "False", {{"SkinPiece(2)", 113}, {"SkinPiece(3)", 116}, {"cmdShowHide(2)", 141}},
         {QStringLiteral("cmdShowHide(2)")},
         {QStringLiteral("cmdAppOpt(0)"), QStringLiteral("cmdAppOpt(4)"), QStringLiteral("cmdShowHide(4)")}},
        {"DIS_MENUBAR1", "False", {{"SkinPiece(0)", 108}, {"cmdShowHide(3)", 139}},
         {QStringLiteral("cmdWBControl(0)")},
         {QStringLiteral("SkinPiece(8)"), QStringLiteral("SkinPiece(9)"), QStringLiteral("cmdMenu(0)")}},
        {"DIS_MENUBAR2", "False", {{"SkinPiece(3)", 115}, {"cmdShowHide(4)", 135}}, {QStringLiteral("cmdShowHide(4)")}, {}},
        {"DIS_MENUBAR2", "True", {{"SkinPiece(3)", 114}, {"cmdShowHide(4)", 133}}, {QStringLiteral("cmdShowHide(4)")}, {}},
    };
    for (const Case& c : cases) {
        for (const char* name : {"DIS_TOOLBAR1", "DIS_TOOLBAR2", "DIS_MENUBAR1"})
            setUserSetting(QString::fromLatin1(name), QStringLiteral("True"));
        setUserSetting(QStringLiteral("DIS_MENUBAR2"), QStringLiteral("False"));
        setUserSetting(QStringLiteral("DIS_MAXIMIZE"), QStringLiteral("False"));
        setUserSetting(QString::fromLatin1(c.setting), QString::fromLatin1(c.value));
        const QString tag = QString::fromLatin1(c.setting) + QLatin1Char('-') + QString::fromLatin1(c.value);
        QProcess* p = start({}, tag + QStringLiteral(".png"), true,
                            {{QStringLiteral("PLATFORM_LAYOUT_FILE"), work + QLatin1Char('/') + tag + QStringLiteral(".txt")}});
        ASSERT_TRUE(p->waitForFinished(60000));
        const QImage shot(work + QLatin1Char('/') + tag + QStringLiteral(".png"));
        ASSERT_FALSE(shot.isNull()) << tag.toStdString();
        keepScreenshot(shot, QStringLiteral("z5-bars-") + tag + QStringLiteral(".png"));
        const std::vector<Placed> layout = readLayout(work + QLatin1Char('/') + tag + QStringLiteral(".txt"));
        for (const auto& [name, id] : c.pictures)
            EXPECT_TRUE(showsSkinPicture(shot, layout, QString::fromLatin1(name), id)) << tag.toStdString();
        for (const QString& name : c.shown) {
            const Placed* placed = find(layout, name);
            EXPECT_TRUE(placed && placed->shown) << tag.toStdString() << " " << name.toStdString();
        }
        for (const QString& name : c.hidden) {
            const Placed* placed = find(layout, name);
            EXPECT_TRUE(placed && !placed->shown) << tag.toStdString() << " " << name.toStdString();
        }
        if (QString::fromLatin1(c.setting) == QLatin1String("DIS_MENUBAR1")) {
            EXPECT_DOUBLE_EQ(find(layout, QStringLiteral("cmdWBControl(0)"))->twips.left(),
                             find(layout, QStringLiteral("SkinPiece(0)"))->twips.width());
        }
    }
}

TEST_F(Z5Process, AWindowManagerCloseEndsTheProgramCleanlyAndDeletesOnlyThisRunsPages)
{
    setUserSetting(QStringLiteral("DIS_MAXIMIZE"), QStringLiteral("False"));
    const QString temp = platform::paths::privateTempFolder();
    const QString locks = temp + QStringLiteral("/Z5PageLocks");
    QDir().mkpath(locks);
    // An ended run's page, and a page of an instance that still runs (its
    // stem locked by this test process).
    const QString ended = temp + QStringLiteral("/~Z5_0000009a.htm");
    const QString other = temp + QStringLiteral("/~Z5_0000008a.htm");
    ASSERT_TRUE(testenv::writeFile(ended, "old"));
    ASSERT_TRUE(testenv::writeFile(other, "theirs"));
    const QByteArray otherLock = QFile::encodeName(locks + QStringLiteral("/~Z5_0000008.lock"));
    const int fd = ::open(otherLock.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);

    QProcess* p = start({}, QStringLiteral("closing.png"), false,
                        {{QStringLiteral("PLATFORM_CLOSE_AFTER_MS"), QStringLiteral("1500")}});
    ASSERT_TRUE(testenv::waitFor([&] { return shown(QStringLiteral("closing.png")); }, 30000));
    // This run's lock names its prefix: a page of its own.
    QString own;
    for (const QString& name : QDir(locks).entryList({QStringLiteral("~Z5_*.lock")}, QDir::Files))
        if (name != QLatin1String("~Z5_0000008.lock"))
            own = temp + QLatin1Char('/') + name.left(name.size() - 5) + QStringLiteral("1.htm");
    ASSERT_FALSE(own.isEmpty());
    ASSERT_TRUE(testenv::writeFile(own, "mine"));
    EXPECT_FALSE(QFile::exists(ended)) << "an ended run's page goes at load";

    ASSERT_TRUE(p->waitForFinished(30000));
    EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p->exitCode(), 0);
    EXPECT_FALSE(QFile::exists(own));
    EXPECT_TRUE(QFile::exists(other));
    EXPECT_EQ(setting(reg::Hive::CurrentUser, QStringLiteral("WIN_W")), QStringLiteral("9200"));
    EXPECT_EQ(setting(reg::Hive::CurrentUser, QStringLiteral("DIS_MAXIMIZE")), QStringLiteral("False"));
    ::close(fd);
}

TEST_F(Z5Process, AnAddressOnTheCommandLineShowsItsPageInThePane)
{
    testenv::HttpServer server;
    server.serve("/a.html", "<html><head><title>Page A</title></head>"
                            "<body style='margin:0;background:#13a57e'>a</body></html>");
    QProcess* p = start({server.address("/a.html")}, QStringLiteral("page.png"), true,
                        {{QStringLiteral("PLATFORM_SHOT_DELAY_MS"), QStringLiteral("4000")}});
    // The server runs on this thread: wait with the event loop running.
    ASSERT_TRUE(testenv::waitFor([&] { return p->state() == QProcess::NotRunning; }, 60000));
    EXPECT_EQ(p->exitCode(), 0);
    EXPECT_EQ(server.requestsFor("/a.html"), 1) << server.log().join(", ").toStdString();
    const QImage shot(work + QStringLiteral("/page.png"));
    ASSERT_FALSE(shot.isNull());
    // The page's colour fills the pane: the middle of the window shows it.
    EXPECT_EQ(shot.pixelColor(shot.width() / 2, shot.height() / 2), QColor(0x13, 0xa5, 0x7e));
    const QString keep = qEnvironmentVariable("Z5_SCREENSHOT_DIR", QStringLiteral(Z5_BINARY_DIR "/screenshots"));
    QDir().mkpath(keep);
    shot.save(keep + QStringLiteral("/z5-commandline-page.png"));
}

TEST_F(Z5Process, TheWindowStartsMaximisedOverTheWorkAreaOrAtACheckedRectangle)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const double Wt = area.width() * 15.0;
    const double Ht = area.height() * 15.0;
    const struct {
        const char* name;
        const char* maximised;
        int left, top, width, height; // remembered
        QRectF expected;              // twips
    } cases[] = {
        {"maximised", "True", 300, 300, 9500, 7000, QRectF(area.x() * 15.0, area.y() * 15.0, Wt, Ht)},
        {"remembered", "False", 300, 600, 9450, 7005, QRectF(300, 600, 9450, 7005)},
        {"refused: never saved", "False", 0, 0, 0, 0,
         QRectF(std::nearbyint((Wt - 9200) / 2), std::nearbyint((Ht - 6675) / 2), 9200, 6675)},
        {"refused: out at the bottom", "False", 0, static_cast<int>(Ht) - 6000, 9500, 7000,
         QRectF(std::nearbyint((Wt - 9200) / 2), std::nearbyint((Ht - 6675) / 2), 9200, 6675)},
    };
    for (const auto& c : cases) {
        setUserSetting(QStringLiteral("DIS_MAXIMIZE"), QString::fromLatin1(c.maximised));
        setUserSetting(QStringLiteral("WIN_L"), QString::number(c.left));
        setUserSetting(QStringLiteral("WIN_T"), QString::number(c.top));
        setUserSetting(QStringLiteral("WIN_W"), QString::number(c.width));
        setUserSetting(QStringLiteral("WIN_H"), QString::number(c.height));
        const QString tag = QStringLiteral("placement-") + QString::fromLatin1(c.name).section(QLatin1Char(':'), 0, 0);
        QProcess* p = start({}, tag + QStringLiteral(".png"), true,
                            {{QStringLiteral("PLATFORM_SHOT_DELAY_MS"), QStringLiteral("300")},
                             {QStringLiteral("PLATFORM_LAYOUT_FILE"), work + QLatin1Char('/') + tag + QStringLiteral(".txt")}});
        ASSERT_TRUE(p->waitForFinished(60000)) << c.name;
        EXPECT_EQ(p->exitCode(), 0);
        const QImage shot(work + QLatin1Char('/') + tag + QStringLiteral(".png"));
        ASSERT_FALSE(shot.isNull()) << c.name;
        keepScreenshot(shot, QStringLiteral("z5-") + tag + QStringLiteral(".png"));
        const QRect pixels(qRound(c.expected.x() / 15), qRound(c.expected.y() / 15), qRound(c.expected.width() / 15),
                           qRound(c.expected.height() / 15));
        EXPECT_EQ(shot.size(), pixels.size()) << c.name;
        const std::vector<Placed> layout = readLayout(work + QLatin1Char('/') + tag + QStringLiteral(".txt"));
        const Placed* window = find(layout, QStringLiteral("(window)"));
        ASSERT_TRUE(window) << c.name;
        EXPECT_EQ(window->pixels, pixels) << c.name;
        EXPECT_EQ(window->twips, c.expected) << c.name;
        const Placed* right = find(layout, QStringLiteral("SkinPiece(5)"));
        ASSERT_TRUE(right);
        EXPECT_DOUBLE_EQ(right->twips.right(), c.expected.width()) << c.name;
    }
}

TEST_F(Z5Process, ALaterStartHandsItsAddressToTheRunningWindow)
{
    testenv::HttpServer server;
    for (int i = 0; i <= 6; ++i)
        server.serve(QStringLiteral("/h%1").arg(i), "<html><head><title>h</title></head><body>h</body></html>");
    setUserSetting(QStringLiteral("RUNONEINSTANCEONLY"), QStringLiteral("1"));
    // Planted before A starts: a folder under a number cannot be deleted
    // as a file and must not be taken again and again.
    ASSERT_TRUE(QDir().mkpath(handOff + QStringLiteral("/1/inside")));
    QProcess* a = start({}, QStringLiteral("a.png"), false);
    ASSERT_TRUE(testenv::waitFor([&] { return shown(QStringLiteral("a.png")); }, 30000));

    QProcess* b = start({server.address("/h0")}, QStringLiteral("b.png"), false);
    ASSERT_TRUE(testenv::waitFor([&] { return b->state() == QProcess::NotRunning; }, 60000));
    EXPECT_EQ(b->exitCode(), 0);
    EXPECT_FALSE(shown(QStringLiteral("b.png"))) << "the later start shows no window";
    EXPECT_TRUE(testenv::waitFor([&] { return server.requestsFor("/h0") == 1; }, 2000))
        << server.log().join(", ").toStdString();

    std::vector<QProcess*> five;
    for (int i = 1; i <= 5; ++i)
        five.push_back(start({server.address(QStringLiteral("/h%1").arg(i))}, QStringLiteral("b.png"), false));
    ASSERT_TRUE(testenv::waitFor(
        [&] { return std::all_of(five.begin(), five.end(), [](QProcess* p) { return p->state() == QProcess::NotRunning; }); },
        120000));
    EXPECT_TRUE(testenv::waitFor(
        [&] {
            for (int i = 1; i <= 5; ++i)
                if (server.requestsFor(QStringLiteral("/h%1").arg(i)) != 1)
                    return false;
            return true;
        },
        5000))
        << server.log().join(", ").toStdString();
    // A keeps polling without taking anything twice.
    QTest::qWait(2500);
    EXPECT_EQ(a->state(), QProcess::Running);
    for (int i = 0; i <= 5; ++i)
        EXPECT_EQ(server.requestsFor(QStringLiteral("/h%1").arg(i)), 1) << i;
    EXPECT_TRUE(QFileInfo(handOff + QStringLiteral("/1/inside")).isDir());
    const QStringList left = QDir(handOff).entryList(QDir::Files | QDir::NoDotAndDotDot);
    EXPECT_TRUE(left.isEmpty()) << left.join(", ").toStdString();
}

TEST_F(Z5Process, TheStartPageSettingAndAShortcutFileOpenTheirAddresses)
{
    testenv::HttpServer server;
    server.serve("/home", "<html><head><title>home</title></head><body>home</body></html>");
    server.serve("/fromurl", "<html><head><title>u</title></head><body>u</body></html>");
    setUserSetting(QStringLiteral("STARTPAGE"), QStringLiteral("10||%1||").arg(server.address("/home")));
    QProcess* p = start({}, QStringLiteral("home.png"), true, {{QStringLiteral("PLATFORM_SHOT_DELAY_MS"), QStringLiteral("3000")}});
    ASSERT_TRUE(testenv::waitFor([&] { return p->state() == QProcess::NotRunning; }, 60000));
    EXPECT_EQ(server.requestsFor("/home"), 1) << server.log().join(", ").toStdString();

    const QString shortcut = work + QStringLiteral("/a link.url");
    ASSERT_TRUE(testenv::writeFile(shortcut, "[InternetShortcut]\r\nURL=" + server.address("/fromurl").toUtf8() + "\r\n"));
    p = start({shortcut}, QStringLiteral("url.png"), true, {{QStringLiteral("PLATFORM_SHOT_DELAY_MS"), QStringLiteral("3000")}});
    ASSERT_TRUE(testenv::waitFor([&] { return p->state() == QProcess::NotRunning; }, 60000));
    EXPECT_EQ(server.requestsFor("/fromurl"), 1) << server.log().join(", ").toStdString();
    EXPECT_EQ(server.requestsFor("/home"), 1) << "a command line opens instead of the start page";
}
