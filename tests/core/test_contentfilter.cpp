#include "core/contentfilter.h"
#include "core/globals.h"
#include "core/settingsstore.h"
#include "platform/base/paths.h"
#include "platform/win/prompt.h"
#include "testenv.h"
#include "twousers.h"

#include <QFileInfo>

#include <QUrl>

#include <gtest/gtest.h>

namespace prompt = platform::prompt;

namespace {

// A program folder of the test's own; FilterList starts empty.
class ContentFilter : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = testenv::freshDir(QStringLiteral("program"));
        platform::paths::setProgramFolder(folder);
        QDir().mkpath(platform::registry::storeFolder()); // where the user's list goes
        FilterList.clear();
    }
    void TearDown() override
    {
        platform::paths::setProgramFolder(QString());
        FilterList.clear();
        prompt::setResponder({});
    }
    static QString storedCode() { return ReadZ5Setting(HiveLocalMachine, StartupCodeSetting, QString()); }

    QString folder;
};

} // namespace

TEST_F(ContentFilter, ScramblingRoundTripsEveryByteWithEveryKey)
{
    QString all;
    for (int c = 0; c < 256; ++c)
        all += QChar(char16_t(c));
    all += all; // every byte at an odd and at an even position
    for (int key = 1; key <= 9; ++key) {
        const QString scrambled = ScrambleText(key, all);
        ASSERT_EQ(scrambled.size(), all.size());
        for (const QChar c : scrambled)
            ASSERT_LE(c.unicode(), 255);
        EXPECT_NE(scrambled, all);
        EXPECT_EQ(UnscrambleText(key, scrambled), all) << key;
    }
    // Odd positions add the key, even ones subtract it, then xor 10 - key.
    EXPECT_EQ(ScrambleText(7, QStringLiteral("ab")), QString(QChar(char16_t(('a' + 7) ^ 3))) + QChar(char16_t(('b' - 7) ^ 3)));
    EXPECT_EQ(ScrambleText(9, QString(QChar(char16_t(255)))), QString(QChar(char16_t((264 & 0xFF) ^ 1))));
}

TEST_F(ContentFilter, BlockedAddresses)
{
    EXPECT_TRUE(IsUrlBlocked(QStringLiteral("http:///x")));
    EXPECT_TRUE(IsUrlBlocked(QStringLiteral("Http:///")));
    EXPECT_FALSE(IsUrlBlocked(QStringLiteral("http://example.com/")));

    FilterList = QStringLiteral("|example||foo|secret|  |other|");
    const struct {
        const char* url;
        bool blocked;
    } cases[] = {
        {"http://www.EXAMPLE.com/", true},
        {"http://host/foo/bar", true},
        {"http://FOO", true},
        {"http://secret.com/", false}, // passwords are never matched
        {"http://other.org/", false},
        {"http://host/a  b", false},   // a site of blanks only blocks nothing
        {"HTTP:///anything", true},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsUrlBlocked(QString::fromUtf8(c.url)), c.blocked) << c.url;

    // A new list takes effect at once.
    FilterList = QStringLiteral("|other||");
    EXPECT_FALSE(IsUrlBlocked(QStringLiteral("http://www.example.com/")));
    EXPECT_TRUE(IsUrlBlocked(QStringLiteral("http://other.org/")));
    FilterList = QStringLiteral("| example ||");
    EXPECT_FALSE(IsUrlBlocked(QStringLiteral("http://example.com/"))); // the site is matched untrimmed
    EXPECT_TRUE(IsUrlBlocked(QStringLiteral("a example b")));
}

TEST_F(ContentFilter, HostNamesMatchInEitherSpelling)
{
    // One site as a user types it, one as the ASCII form of its name.
    const QString munich = QString::fromLatin1(QUrl::toAce(QStringLiteral("m\u00fcnchen.example")));
    ASSERT_EQ(munich, QStringLiteral("xn--mnchen-3ya.example"));
    FilterList = QStringLiteral("|b\u00fccher.example||") + munich + QStringLiteral("||");
    const struct {
        const char* url;
        bool blocked;
    } cases[] = {
        {"http://xn--bcher-kva.example/", true}, // as the gate sees the typed name
        {"http://b\u00fccher.example/a", true},
        {"https://B\u00dcCHER.example/", true},
        {"http://xn--mnchen-3ya.example:8080/x", true},
        {"http://m\u00fcnchen.example/", true},
        {"http://user@xn--bcher-kva.example/", true},
        {"http://buecher.example/", false},
        {"http://xn--bcher-kva.other/", false},
        {"http://example.org/?q=xn--", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsUrlBlocked(QString::fromUtf8(c.url)), c.blocked) << c.url;
}

// A site with letters outside ASCII is found anywhere in an address, as
// typed and as the address carries it percent-encoded; a site listed
// encoded is found typed.
TEST_F(ContentFilter, TextIsFoundDecodedAndPercentEncoded)
{
    FilterList = QStringLiteral("|b\u00fccher||caf%C3%A9||");
    const struct {
        const char* url;
        bool blocked;
    } cases[] = {
        {"http://origin.z5.test/b\u00fccher-path.html", true},
        {"http://origin.z5.test/b%C3%BCcher.html", true},
        {"http://origin.z5.test/B%C3%9CCHER.html", true},
        {"http://origin.z5.test/b%c3%bccher.html", true},
        {"http://origin.z5.test/?q=b%C3%BCcher", true},
        {"http://xn--bcher-kva.example/", true},
        {"http://origin.z5.test/caf\u00e9.html", true},
        {"http://origin.z5.test/caf%C3%A9.html", true},
        {"http://origin.z5.test/buecher.html", false},
        {"http://origin.z5.test/b%C3cher.html", false},
        {"http://origin.z5.test/cafe.html", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsUrlBlocked(QString::fromUtf8(c.url)), c.blocked) << c.url;
}

TEST_F(ContentFilter, LengthCodes)
{
    const struct {
        const char* code;
        int64_t length; // -1: none
    } cases[] = {
        {"11", 1}, {"122", 6}, {"13", 0}, {"3600009", 40000}, {"2147483647", 30678338},
        {"0", -1}, {"20", -1}, {"-11", -1}, {"abc", -1}, {"", -1}, {"99999999999", -1},
    };
    for (const auto& c : cases) {
        const std::optional<int64_t> length = FilterDataLengthOfCode(QString::fromUtf8(c.code));
        EXPECT_EQ(length.value_or(-1), c.length) << c.code;
    }
}

TEST_F(ContentFilter, SavedListPassesTheStartupCheckAndReadsBack)
{
    const QList<ContentFilterEntry> entries = {{QStringLiteral("example"), QString()},
                                               {QStringLiteral("foo"), QStringLiteral("pw")}};
    ASSERT_TRUE(SaveContentList(entries));
    const QString text = QStringLiteral("|example||foo|pw|");
    EXPECT_EQ(FilterList, text);
    EXPECT_EQ(QFileInfo(FilterDataFilePath()).size(), text.size());
    EXPECT_EQ(FilterDataFilePath(), platform::registry::storeFolder() + QStringLiteral("/Z51.DAT"));
    const int code = storedCode().toInt();
    const int digit = code % 10;
    EXPECT_GE(digit, 1);
    EXPECT_EQ(code, text.size() * digit * 10 + digit);
    EXPECT_NE(testenv::readFile(FilterDataFilePath()), text.toLatin1()); // scrambled on disk

    FilterList.clear();
    EXPECT_TRUE(FilterDataFileMatchesCode());
    FilterList = ReadFilterList();
    EXPECT_EQ(FilterList, text);
    EXPECT_TRUE(IsUrlBlocked(QStringLiteral("http://Example.org/")));
    EXPECT_FALSE(IsUrlBlocked(QStringLiteral("http://pw.org/")));
}

TEST_F(ContentFilter, ListsLongerThan16BitCodesStillStart)
{
    QList<ContentFilterEntry> entries;
    QString expected = QStringLiteral("|");
    for (int i = 0; expected.size() <= 40000; ++i) {
        entries.append({QStringLiteral("site%1.example").arg(i), i % 3 ? QString() : QStringLiteral("p%1").arg(i)});
        expected += entries.last().site + QLatin1Char('|') + entries.last().password + QLatin1Char('|');
    }
    ASSERT_TRUE(SaveContentList(entries));
    EXPECT_GT(storedCode().toLongLong(), 32767);
    EXPECT_TRUE(FilterDataFileMatchesCode());
    EXPECT_EQ(ReadFilterList(), expected);
}

TEST_F(ContentFilter, LatinTextRoundTripsThroughTheFile)
{
    const QString site = QStringLiteral("caf") + QChar(233) + QChar(255) + QChar(0xFE);
    ASSERT_TRUE(SaveContentList({{site, QString(QChar(1))}}));
    EXPECT_TRUE(FilterDataFileMatchesCode());
    EXPECT_EQ(ReadFilterList(), QStringLiteral("|") + site + QStringLiteral("|") + QChar(1) + QStringLiteral("|"));
}

TEST_F(ContentFilter, ListsInAnyScriptReadBackTheSame)
{
    const QString latin = QStringLiteral("caf") + QChar(233);
    const struct {
        QString site, password;
    } cases[] = {
        {QStringLiteral("例"), QString()},
        {QStringLiteral("example"), QStringLiteral("пароль")},
        {latin, QStringLiteral("日本語")},
        {QStringLiteral("emoji\U0001F600"), QStringLiteral("x")},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(SaveContentList({{c.site, c.password}, {QStringLiteral("plain"), QString()}}));
        const QString saved = FilterList;
        const qint64 size = QFileInfo(FilterDataFilePath()).size();
        EXPECT_EQ(storedCode().toLongLong(), size * (storedCode().toInt() % 10) * 10 + storedCode().toInt() % 10);
        // The next start.
        FilterList.clear();
        ASSERT_TRUE(FilterDataFileMatchesCode()) << c.site.toStdString();
        FilterList = ReadFilterList();
        EXPECT_EQ(FilterList, saved) << c.site.toStdString();
        EXPECT_FALSE(FilterList.contains(QLatin1Char('?')));
        EXPECT_FALSE(IsUrlBlocked(QStringLiteral("http://other.org/?q=1")));
        EXPECT_TRUE(IsUrlBlocked(QStringLiteral("http://") + c.site + QStringLiteral("/")));
    }
}

TEST_F(ContentFilter, ListsStoredAsLatin1StillRead)
{
    // As every list was stored before: one byte per character, no mark.
    const QString text = QStringLiteral("|caf") + QChar(233) + QStringLiteral("|p") + QChar(0xFF) + QStringLiteral("|");
    const QByteArray bytes = ScrambleText(ContentFilterKey, text).toLatin1();
    ASSERT_TRUE(testenv::writeFile(FilterDataFilePath(), bytes));
    SaveZ5Setting(HiveLocalMachine, StartupCodeSetting, QString::number(bytes.size() * 30 + 3));
    ASSERT_TRUE(FilterDataFileMatchesCode());
    EXPECT_EQ(ReadFilterList(), text);
}

TEST_F(ContentFilter, AnEmptyListSavesTheShippedFile)
{
    ASSERT_TRUE(SaveContentList({}));
    EXPECT_EQ(FilterList, QString());
    EXPECT_EQ(QFileInfo(FilterDataFilePath()).size(), 1);
    const int code = storedCode().toInt();
    EXPECT_EQ(code, 11 * (code % 10));
    EXPECT_TRUE(FilterDataFileMatchesCode());
    FilterList = ReadFilterList();
    EXPECT_FALSE(IsUrlBlocked(QStringLiteral("http://anything/")));
    EXPECT_EQ(testenv::readFile(FilterDataFilePath()),
              testenv::readFile(QStringLiteral(Z5_SOURCE_DIR "/data/Z51.DAT")));
}

TEST_F(ContentFilter, ShippedFileAgreesWithTheInitialCode)
{
    for (const QString& shipped : {QStringLiteral(Z5_SOURCE_DIR "/data/Z51.DAT"), QStringLiteral(Z5_STAGE_DIR "/Z51.DAT")}) {
        const QByteArray bytes = testenv::readFile(shipped);
        EXPECT_EQ(bytes.size(), *FilterDataLengthOfCode(QString::number(InitialStartupCode))) << shipped.toStdString();
        EXPECT_EQ(UnscrambleText(ContentFilterKey, QString::fromLatin1(bytes)), QStringLiteral("|"));
    }
    // A fresh install: no code stored yet, the shipped file in place.
    platform::paths::setProgramFolder(QStringLiteral(Z5_STAGE_DIR));
    EXPECT_TRUE(FilterDataFileMatchesCode());
    EXPECT_EQ(ReadFilterList(), QString());
}

TEST_F(ContentFilter, StartupCheckRefusesDamage)
{
    EXPECT_FALSE(FilterDataFileMatchesCode()); // no file
    ASSERT_TRUE(testenv::writeFile(FilterDataFilePath(), "garbage"));
    const struct {
        const char* code;
        bool passes;
    } cases[] = {{"11", false}, {"71", true}, {"142", true}, {"70", false}, {"x", false}, {"-71", false}, {"72", false}};
    for (const auto& c : cases) {
        SaveZ5Setting(HiveLocalMachine, StartupCodeSetting, QString::fromUtf8(c.code));
        EXPECT_EQ(FilterDataFileMatchesCode(), c.passes) << c.code;
    }
    // The initial code never reads the file, whatever it holds.
    SaveZ5Setting(HiveLocalMachine, StartupCodeSetting, QString::number(InitialStartupCode));
    ASSERT_TRUE(testenv::writeFile(FilterDataFilePath(), ScrambleText(ContentFilterKey, QStringLiteral("|a||")).toLatin1()));
    EXPECT_EQ(ReadFilterList(), QString());
    SaveZ5Setting(HiveLocalMachine, StartupCodeSetting, QStringLiteral("41"));
    EXPECT_EQ(ReadFilterList(), QStringLiteral("|a||"));
    // A code that claims more bytes than the file holds reads what is there.
    SaveZ5Setting(HiveLocalMachine, StartupCodeSetting, QStringLiteral("91"));
    EXPECT_EQ(ReadFilterList(), QStringLiteral("|a||"));
    SaveZ5Setting(HiveLocalMachine, StartupCodeSetting, QStringLiteral("20"));
    EXPECT_EQ(ReadFilterList(), QString());
}

TEST_F(ContentFilter, FailedSaveTellsTheUserAndKeepsTheListInForce)
{
    QList<prompt::Prompt> seen;
    prompt::setResponder([&seen](const prompt::Prompt& p) -> std::optional<prompt::Answer> {
        seen.append(p);
        return prompt::Answer{};
    });
    // A folder where the file goes cannot be replaced by a file.
    ASSERT_TRUE(QDir().mkpath(FilterDataFilePath()));
    SaveZ5Setting(HiveLocalMachine, StartupCodeSetting, QStringLiteral("41"));
    FilterList = QStringLiteral("|held||");
    EXPECT_FALSE(SaveContentList({{QStringLiteral("blocked"), QString()}}));
    EXPECT_EQ(FilterList, QStringLiteral("|held||")) << "memory holds what the store holds";
    EXPECT_EQ(storedCode(), QStringLiteral("41")); // the code is not touched
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0].kind, QStringLiteral("message"));
    EXPECT_EQ(seen[0].text, QStringLiteral("Unable to save Content Data"));

    // A list too long for the start-up reader would pass the check and then
    // block nothing: it is refused, and the file and code on disk stay.
    ASSERT_TRUE(QDir().rmdir(FilterDataFilePath()));
    ASSERT_TRUE(SaveContentList({{QStringLiteral("kept"), QString()}}));
    const QByteArray keptFile = testenv::readFile(FilterDataFilePath());
    const QString keptCode = storedCode();
    seen.clear();
    const QString huge(16 * 1024 * 1024 - 2, QLatin1Char('s')); // "|" huge "||": 16 MiB + 1
    EXPECT_FALSE(SaveContentList({{huge, QString()}}));
    EXPECT_EQ(FilterList, QStringLiteral("|kept||"));
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0].text, QStringLiteral("Unable to save Content Data"));
    EXPECT_EQ(testenv::readFile(FilterDataFilePath()), keptFile);
    EXPECT_EQ(storedCode(), keptCode);
    FilterList.clear();
    EXPECT_EQ(ReadFilterList(), QStringLiteral("|kept||"));
}

// Two users of one program folder that neither may write (root's, 0755):
// each one's list lives beside his own hives, readable by him alone, and
// the shipped file stands for the list of a user who has none yet.
TEST_F(ContentFilter, EachUserKeepsHisListBesideHisHivesAndTheProgramFolderStaysAsShipped)
{
    ASSERT_TRUE(twousers::makeFolders());
    const QString root = testenv::freshDir(QStringLiteral("users"));
    const QString program = root + QStringLiteral("/program");
    const QString first = root + QStringLiteral("/first-config");
    const QString second = root + QStringLiteral("/second-config");
    ASSERT_TRUE(twousers::makeFolder(root, 0, 0755));
    ASSERT_TRUE(twousers::makeFolder(program, 0, 0755));
    ASSERT_TRUE(QFile::copy(QStringLiteral(Z5_SOURCE_DIR "/data/Z51.DAT"), program + QStringLiteral("/Z51.DAT")));
    ASSERT_TRUE(twousers::makeFolder(first, twousers::kUser, 0700));
    ASSERT_TRUE(twousers::makeFolder(second, twousers::kUser, 0700));
    const QByteArray shipped = testenv::readFile(program + QStringLiteral("/Z51.DAT"));
    prompt::setResponder([](const prompt::Prompt& p) -> std::optional<prompt::Answer> {
        std::fprintf(stderr, "shown: %s\n", qPrintable(p.text));
        return prompt::Answer{};
    });

    // What a user finds at his start, then what his save leaves.
    const auto asUser = [&program](const QString& config, bool save) {
        return twousers::runAsUser({{"XDG_CONFIG_HOME", QFile::encodeName(config)}}, [&program, save] {
            platform::registry::resetCache();
            platform::paths::setProgramFolder(program);
            QByteArray out = (FilterDataFileMatchesCode() ? "passes " : "fails ") + ReadFilterList().toUtf8();
            if (save) {
                out += SaveContentList({{QStringLiteral("blocked.example"), QStringLiteral("pw")}}) ? " saved" : " not saved";
                out += " " + QByteArray::number(QFileInfo(FilterDataFilePath()).permissions().toInt(), 16);
                out += (FilterDataFileMatchesCode() ? " passes " : " fails ") + ReadFilterList().toUtf8();
            }
            return out;
        });
    };
    EXPECT_EQ(asUser(first, true).value_or("no run"), QByteArray("passes  saved 6600 passes |blocked.example|pw|"));
    const QString own = first + QStringLiteral("/registry/Z51.DAT");
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(own).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(st.st_uid, twousers::kUser);
    EXPECT_EQ(asUser(second, false).value_or("no run"), QByteArray("passes ")) << "the second user starts with no list";
    EXPECT_EQ(asUser(first, false).value_or("no run"), QByteArray("passes |blocked.example|pw|"));
    EXPECT_EQ(testenv::readFile(program + QStringLiteral("/Z51.DAT")), shipped);
    EXPECT_EQ(QDir(program).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{QStringLiteral("Z51.DAT")});
}
