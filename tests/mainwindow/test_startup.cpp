#include "core/contentfilter.h"
#include "core/globals.h"
#include "core/settingsstore.h"
#include "core/startup.h"
#include "platform/base/paths.h"
#include "platform/win/prompt.h"

#include "testenv.h"
#include "twousers.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace prompt = platform::prompt;

namespace {

// A program folder of its own with the shipped filter file, and every
// prompt recorded instead of shown.
class StartupChecksTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        prog = testenv::freshDir(QStringLiteral("prog"));
        QDir(prog).mkpath(QStringLiteral("Skin"));
        QDir(prog).mkpath(QStringLiteral("Common"));
        QDir(prog).mkpath(QStringLiteral("Language"));
        platform::paths::setProgramFolder(prog);
        writeFilter(QByteArray(1, 'x')); // the shipped list's length code
        QDir().mkpath(platform::registry::storeFolder()); // where the user's list goes
        put(QStringLiteral("Skin/SK_Morvane_1.dll"));
        fonts = platform::paths::fontsFolder();
        put(fonts + QStringLiteral("/MICROSS.TTF"), true);
        prompt::setResponder([this](const prompt::Prompt& p) -> std::optional<prompt::Answer> {
            messages << p.text;
            return prompt::Answer{false, 1, {}};
        });
    }
    void TearDown() override
    {
        prompt::setResponder({});
        platform::paths::setProgramFolder(QString());
    }
    void put(const QString& path, bool absolute = false, const QByteArray& bytes = "x")
    {
        ASSERT_TRUE(testenv::writeFile(absolute ? path : prog + QLatin1Char('/') + path, bytes));
    }
    void writeFilter(const QByteArray& bytes) { put(QStringLiteral("Z51.DAT"), false, bytes); }

    QString prog;
    QString fonts;
    QStringList messages;
};

const QString kMessage9003 = QStringLiteral("A required file - Z51.DAT - is missing or corrupted");
const QString kMessage9002 =
    QStringLiteral("The length recorded for Z51.DAT - Z5_STARTUPCODE - is missing from the machine settings");
const QString kMessage9004 = QStringLiteral("SKIN FILE is missing or corrupted");
const QString kMessage9005 =
    QStringLiteral("A required True Type Font - Microsoft Sans Serif (MICROSS.TTF) - is missing");

} // namespace

TEST_F(StartupChecksTest, SkinFallBacks)
{
    const struct {
        const char* configured;
        QStringList files;
        bool passes;
        const char* skin;
    } cases[] = {
        {"Morvane 1", {"SK_Morvane_1.dll"}, true, "Morvane 1"},
        {"Blue Sky", {"SK_Morvane_1.dll", "SK_Blue_Sky.dll"}, true, "Blue Sky"},
        {"Blue Sky", {"SK_Morvane_1.dll"}, true, "Morvane 1"},           // the default
        {"Gone Skin", {"SK_Blue_Sky.dll"}, true, "Blue Sky"},            // the first found
        {"Gone Skin", {"SK_Blue_Sky.dll", "README.txt"}, true, "Blue Sky"},
        {"Morvane 1", {"SK_Blue_Sky.dll"}, false, "Morvane 1"},          // the default itself missing
        {"Gone Skin", {}, false, "Morvane 1"},                           // none at all
    };
    for (const auto& c : cases) {
        QDir skins(prog + QStringLiteral("/Skin"));
        skins.removeRecursively();
        skins.mkpath(QStringLiteral("."));
        for (const QString& f : c.files)
            put(QStringLiteral("Skin/") + f);
        SaveZ5Setting(HiveCurrentUser, QStringLiteral("Z5_SKINNAME"), QString::fromUtf8(c.configured));
        messages.clear();
        EXPECT_EQ(StartupChecks(), c.passes) << c.configured;
        EXPECT_EQ(SkinName, QString::fromUtf8(c.skin)) << c.configured;
        EXPECT_EQ(messages, c.passes ? QStringList() : QStringList{kMessage9004}) << c.configured;
        EXPECT_EQ(ReadZ5Setting(HiveCurrentUser, QStringLiteral("Z5_SKINNAME"), QString()), QString::fromUtf8(c.configured))
            << "the choice is not written back";
    }
}

// The user's own file, or the shipped one while he has none, against the
// length code of his machine hive.
TEST_F(StartupChecksTest, FilterFileAgainstItsLengthCode)
{
    const QByteArray big(40000, 'y');
    const QByteArray savedList = ScrambleText(ContentFilterKey, QStringLiteral("|a.example||")).toLatin1();
    // A list holding letters outside Latin-1, as the preferences save it.
    ASSERT_TRUE(SaveContentList({{QStringLiteral("例.example"), QStringLiteral("пароль")}}));
    const QByteArray savedUtf8List = testenv::readFile(FilterDataFilePath());
    ASSERT_FALSE(savedUtf8List.isEmpty());
    const std::optional<QByteArray> shipped = QByteArray(1, 'x');
    const struct {
        const char* what;
        std::optional<QByteArray> own;     // nullopt: the user has no Z51.DAT
        std::optional<QByteArray> shipped; // nullopt: none in the program folder
        const char* code;                  // nullptr: none stored
        bool freshList;                    // a Z5.DAT of the shipped length waits
        bool passes;
        const QString* message = &kMessage9003; // when it fails
    } cases[] = {
        {"shipped file, no code", std::nullopt, shipped, nullptr, false, true},
        {"shipped file and code", std::nullopt, shipped, "11", false, true},
        {"own empty list, no shipped file", shipped, std::nullopt, "11", false, true},
        {"own list of 40000 bytes", big, shipped, "1200003", false, true},
        {"own list, another user's list shipped", big, QByteArray(5, 'x'), "1200003", false, true},
        {"length differs", QByteArray(5, 'x'), shipped, "11", false, false},
        {"shipped length differs", std::nullopt, QByteArray(5, 'x'), "11", false, false},
        {"no file anywhere", std::nullopt, std::nullopt, "11", false, false},
        {"own list, its code for the shipped one", big, shipped, "11", false, false},
        {"code ending in 0", std::nullopt, shipped, "10", false, false},
        {"code not a number", std::nullopt, shipped, "abc", false, false},
        {"fresh list replaces a stale one", QByteArray(7, 'x'), shipped, "1200003", true, true},
        // A saved list whose code the machine hive lost is not blamed on the file.
        {"saved list, its code lost", savedList, shipped, nullptr, false, false, &kMessage9002},
        {"saved UTF-8 list, its code lost", savedUtf8List, shipped, nullptr, false, false, &kMessage9002},
        {"saved list, a wrong code", savedList, shipped, "71", false, false},
        {"changed file, no code", QByteArray(12, 'x'), shipped, nullptr, false, false},
    };
    const QString freshList = platform::registry::storeFolder() + QStringLiteral("/Z5.DAT");
    for (const auto& c : cases) {
        QFile::remove(FilterDataFilePath());
        QFile::remove(prog + QStringLiteral("/Z51.DAT"));
        if (c.own) {
            ASSERT_TRUE(testenv::writeFile(FilterDataFilePath(), *c.own));
        }
        if (c.shipped)
            writeFilter(*c.shipped);
        if (c.code)
            SaveZ5Setting(HiveLocalMachine, QStringLiteral("Z5_STARTUPCODE"), QString::fromLatin1(c.code));
        else
            platform::registry::deleteValue(HiveLocalMachine, SettingsKey(kSettingsApp, kSettingsSection),
                                            QStringLiteral("Z5_STARTUPCODE"));
        if (c.freshList)
            put(freshList, true, QByteArray(1, 'z'));
        messages.clear();
        EXPECT_EQ(StartupChecks(), c.passes) << c.what;
        EXPECT_EQ(messages, c.passes ? QStringList() : QStringList{*c.message}) << c.what;
        if (c.freshList) {
            EXPECT_FALSE(QFile::exists(freshList)) << c.what;
            EXPECT_EQ(testenv::readFile(FilterDataFilePath()), QByteArray(1, 'z')) << c.what;
            EXPECT_EQ(ReadZ5Setting(HiveLocalMachine, QStringLiteral("Z5_STARTUPCODE"), QString()),
                      QString::number(InitialStartupCode));
        }
        EXPECT_EQ(testenv::readFile(prog + QStringLiteral("/Z51.DAT")), c.shipped.value_or(QByteArray()))
            << c.what << ": the program folder's file is never written";
    }
}

TEST_F(StartupChecksTest, TheFontIsInstalledFromCommonWithAQuietEnd)
{
    QFile::remove(fonts + QStringLiteral("/MICROSS.TTF"));
    EXPECT_FALSE(StartupChecks());
    EXPECT_EQ(messages, QStringList{kMessage9005}) << "missing everywhere";

    messages.clear();
    put(QStringLiteral("Common/MICROSS.TTF"), false, "font bytes");
    EXPECT_FALSE(StartupChecks()) << "the first start copies the font and ends";
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(testenv::readFile(fonts + QStringLiteral("/MICROSS.TTF")), QByteArray("font bytes"));
    EXPECT_TRUE(StartupChecks()) << "the next start passes";
    EXPECT_TRUE(messages.isEmpty());

    // A fonts folder that cannot take the font: the failure is shown, never
    // a quiet end that would repeat at every start.
    QDir(fonts).removeRecursively();
    put(fonts, true, "not a folder");
    EXPECT_FALSE(StartupChecks());
    EXPECT_EQ(messages, QStringList{kMessage9005}) << "the copy failed";
}

TEST_F(StartupChecksTest, AFreshListThatCannotBeTakenEndsTheStart)
{
    ASSERT_TRUE(testenv::writeFile(FilterDataFilePath(), QByteArray(1, 'x')));
    ASSERT_TRUE(QDir().mkpath(platform::registry::storeFolder() + QStringLiteral("/Z5.DAT"))); // cannot be read as a file
    EXPECT_FALSE(StartupChecks());
    EXPECT_EQ(messages, QStringList{kMessage9003});
    EXPECT_EQ(testenv::readFile(FilterDataFilePath()), QByteArray(1, 'x')) << "the old list stays";
}

TEST_F(StartupChecksTest, MessagesComeFromTheLanguageFile)
{
    put(QStringLiteral("Language/Deutsch.ini"), false, "[MESSAGE]\r\n9003=Datei fehlt\r\n");
    SaveZ5Setting(HiveCurrentUser, QStringLiteral("Z5_LANGUAGE"), QStringLiteral("Deutsch"));
    QFile::remove(prog + QStringLiteral("/Z51.DAT"));
    EXPECT_FALSE(StartupChecks());
    EXPECT_EQ(messages, QStringList{QStringLiteral("Datei fehlt")});
    EXPECT_EQ(LanguageFilePath, prog + QStringLiteral("/Language/Deutsch.ini"));
}

TEST(HandOffFile, TakesTheFirstFreeNumberAndDropsQuotes)
{
    const QString folder = testenv::freshDir(QStringLiteral("handoff"));
    testenv::writeFile(folder + QStringLiteral("/1"), "a\r\n");
    testenv::writeFile(folder + QStringLiteral("/2"), "b\r\n");
    EXPECT_EQ(WriteHandOffFile(folder, QStringLiteral("\"C:\\a b\\list.z5p\"")), 3);
    EXPECT_EQ(testenv::readFile(folder + QStringLiteral("/3")), QByteArray("C:\\a b\\list.z5p\r\n"));
    EXPECT_EQ(WriteHandOffFile(folder, QStringLiteral("x")), 4);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 4) << "no temporary file is left";
    EXPECT_EQ(WriteHandOffFile(folder + QStringLiteral("/missing"), QStringLiteral("x")), 0);
}

TEST(HandOffFile, RacingWritersNeverShareANumber)
{
    const QString folder = testenv::freshDir(QStringLiteral("handoff"));
    std::vector<std::thread> writers;
    for (int i = 0; i < 20; ++i)
        writers.emplace_back([&folder, i] { WriteHandOffFile(folder, QStringLiteral("arg") + QString::number(i)); });
    for (auto& t : writers)
        t.join();
    QSet<QByteArray> seen;
    for (int n = 1; n <= 20; ++n)
        seen.insert(testenv::readFile(folder + QLatin1Char('/') + QString::number(n)));
    EXPECT_EQ(seen.size(), 20);
    EXPECT_FALSE(seen.contains(QByteArray()));
}

TEST(HandOffFile, AStartAsAnotherUserNeverWritesIntoHisFolders)
{
    if (::getuid() != 0)
        GTEST_SKIP() << "acting as two users needs root";
    const auto f = twousers::makeFolders();
    ASSERT_TRUE(f.has_value());
    const QString ownHandOff = f->runtime + QLatin1Char('/') + twousers::privateName() + QStringLiteral("/Z5Temp");
    const struct {
        const char* what;
        QString tmpDir, runtimeDir;
        QString handOff; // where the argument lands; "" when it cannot be handed over
    } cases[] = {
        {"the other user's temporary folder", f->othersOwn, f->runtime, ownHandOff},
        {"a link planted in place of the private folder", f->linkPlanted, f->runtime, ownHandOff},
        {"a folder of the other user's planted in its place", f->folderPlanted, f->runtime, ownHandOff},
        {"no safe folder anywhere", f->othersOwn, f->othersRuntime, QString()},
    };
    for (const auto& c : cases) {
        QDir(ownHandOff).removeRecursively();
        const auto got = twousers::runAsUser(
            {{"TMPDIR", QFile::encodeName(c.tmpDir)}, {"XDG_RUNTIME_DIR", QFile::encodeName(c.runtimeDir)}},
            [] { return QByteArray::number(HandOffToRunningInstance(QStringLiteral("\"http://a b/\""))); });
        ASSERT_TRUE(got.has_value()) << c.what;
        EXPECT_EQ(*got, c.handOff.isEmpty() ? "0" : "1") << c.what;
        if (!c.handOff.isEmpty()) {
            EXPECT_EQ(testenv::readFile(c.handOff + QStringLiteral("/1")), QByteArray("http://a b/\r\n")) << c.what;
        }
        for (const QString& folder : f->others())
            EXPECT_EQ(twousers::entriesOwnedBy(folder, twousers::kUser).join(QLatin1Char(' ')).toStdString(), "")
                << c.what;
    }
}
