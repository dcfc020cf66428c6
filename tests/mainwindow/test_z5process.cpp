// The real browser program started as a user would start it, each test in a
// fresh home with its own copy of the program folder's data.

#include "platform/paths.h"
#include "platform/registry.h"

#include "httpserver.h"
#include "testenv.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace reg = platform::registry;

namespace {

const QString kStage = QStringLiteral(Z5_STAGE_DIR);
const QString kSettings = QStringLiteral("Software\\Keldo\\Z5 Browser");

void copyTree(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + path.mid(from.size());
        if (it.fileInfo().isDir())
            QDir().mkpath(target);
        else
            QFile::copy(path, target);
    }
}

class Z5Process : public ::testing::Test {
protected:
    void SetUp() override
    {
        prog = testenv::freshDir(QStringLiteral("Z5"));
        for (const QString& sub : {QStringLiteral("Common"), QStringLiteral("Language"), QStringLiteral("Skin"),
                                   QStringLiteral("Help"), QStringLiteral("Data"), QStringLiteral("Tool")})
            copyTree(kStage + QLatin1Char('/') + sub, prog + QLatin1Char('/') + sub);
        for (const QString& f : QDir(kStage).entryList({QStringLiteral("*.so"), QStringLiteral("Z51.DAT")}, QDir::Files))
            QFile::copy(kStage + QLatin1Char('/') + f, prog + QLatin1Char('/') + f);
        // Installed as the installer would: the skin registered, the font in place.
        QProcess regsvr;
        regsvr.start(QStringLiteral(Z5_BIN_DIR "/regsvr"), {prog + QStringLiteral("/Skin/SK_Morvane_1.dll")});
        ASSERT_TRUE(regsvr.waitForFinished(30000));
        ASSERT_EQ(regsvr.exitCode(), 0);
        fonts = platform::paths::fontsFolder();
        QFile::remove(fonts + QStringLiteral("/MICROSS.TTF"));
        ASSERT_TRUE(QFile::copy(prog + QStringLiteral("/Common/MICROSS.TTF"), fonts + QStringLiteral("/MICROSS.TTF")));
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
    QProcess* start(const QStringList& args, const QString& shotName, bool exitAfterShot = true)
    {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PLATFORM_PROGRAM_DIR"), prog);
        env.insert(QStringLiteral("PLATFORM_PROMPT_LOG"), work + QStringLiteral("/prompts.txt"));
        env.insert(QStringLiteral("PLATFORM_SHOT_FILE"), work + QLatin1Char('/') + shotName);
        if (exitAfterShot)
            env.insert(QStringLiteral("PLATFORM_EXIT_AFTER_SHOT"), QStringLiteral("1"));
        for (auto it = extraEnv.cbegin(); it != extraEnv.cend(); ++it)
            env.insert(it.key(), it.value());
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
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
    QMap<QString, QString> extraEnv;
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
    copyTree(kStage, prog);
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

TEST_F(Z5Process, OneInstanceOnlyHandsTheArgumentOver)
{
    setUserSetting(QStringLiteral("RUNONEINSTANCEONLY"), QStringLiteral("1"));
    start({}, QStringLiteral("first.png"), false);
    ASSERT_TRUE(testenv::waitFor([&] { return shown(QStringLiteral("first.png")); }, 30000));

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
    setUserSetting(QStringLiteral("RUNONEINSTANCEONLY"), QStringLiteral("1"));
    start({}, QStringLiteral("first.png"), false);
    ASSERT_TRUE(testenv::waitFor([&] { return shown(QStringLiteral("first.png")); }, 30000));
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

TEST_F(Z5Process, AnAddressOnTheCommandLineShowsItsPageInThePane)
{
    testenv::HttpServer server;
    server.serve("/a.html", "<html><head><title>Page A</title></head>"
                            "<body style='margin:0;background:#13a57e'>a</body></html>");
    extraEnv.insert(QStringLiteral("PLATFORM_SHOT_DELAY_MS"), QStringLiteral("4000"));
    QProcess* p = start({server.address("/a.html")}, QStringLiteral("page.png"));
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
