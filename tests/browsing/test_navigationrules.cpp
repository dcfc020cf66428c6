// The text rules of navigation: address or search, the query encoding and
// prefix list, the start-page setting, the folder above, the Ctrl+Enter
// completion, the typed-address list and the hand-off folder reader.

#include "browsing/addressbox.h"
#include "browsing/handoff.h"
#include "browsing/navigation.h"
#include "core/settingsstore.h"
#include "core/shellnames.h"
#include "mainwindow/shortcuts.h"

#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QUrl>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

TEST(NavigationRules, AddressOrSearch)
{
    const struct {
        const char* text;
        bool address;
    } cases[] = {
        {"two words", false},   {"single", false},      {"a.b", true},        {"HTTPthing", true},
        {"WWWpage", true},      {"x/y", true},          {"c:\\data", true},   {"C# a&b", false},
        {"127.0.0.1:80/x.html", true}, {"about:blank", true}, {"ABOUT:Blank", true}, {"what about:it", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LooksLikeAddress(QString::fromUtf8(c.text)), c.address) << c.text;
}

TEST(NavigationRules, QueryWordsAreFormEncoded)
{
    const struct {
        const char* words;
        const char* encoded;
    } cases[] = {
        {"two words", "two+words"},
        {"C# a&b", "C%23+a%26b"},
        {"a  b", "a++b"},
        {"x=1?y+z", "x%3D1%3Fy%2Bz"},
        {"caf\xc3\xa9", "caf%C3%A9"},
        {"a-b_c.d~e", "a-b_c.d~e"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormEncodeQuery(QString::fromUtf8(c.words)), QString::fromLatin1(c.encoded)) << c.words;
}

TEST(NavigationRules, QueryPrefixListTakesTheFirstKeyFoundInTheSearchAddress)
{
    const QString dir = testenv::freshDir(QStringLiteral("prefix"));
    const QString list = dir + QStringLiteral("/list.ini");
    const struct {
        const char* what;
        QByteArray file;
        const char* search;
        std::optional<QueryPrefix> expected;
    } cases[] = {
        {"first match wins, case-blind",
         "; comment\r\n\r\n  Example.ORG = http://example.org/s?q= \r\nexample=http://other/?q=\r\n",
         "http://www.example.org/", QueryPrefix{true, "http://example.org/s?q="}},
        {"no key occurs", "alpha=http://a/?q=\r\n", "http://beta/", QueryPrefix{false, ""}},
        {"an empty key matches any address", "=http://any/?q=\r\n", "http://beta/", QueryPrefix{true, "http://any/?q="}},
        {"a line without = stops everything", "broken line\r\nbeta=http://b/?q=\r\n", "http://beta/", std::nullopt},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(testenv::writeFile(list, c.file));
        const auto got = FindQueryPrefix(list, QString::fromLatin1(c.search));
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.what;
        if (got) {
            EXPECT_EQ(got->found, c.expected->found) << c.what;
            EXPECT_EQ(got->prefix, c.expected->prefix) << c.what;
        }
    }
    EXPECT_FALSE(FindQueryPrefix(dir + QStringLiteral("/missing.ini"), QStringLiteral("x")).has_value());
}

TEST(NavigationRules, StartPageSetting)
{
    const struct {
        const char* setting;
        bool valid, home, group;
        const char* address;
        const char* folder;
    } cases[] = {
        {"10||http://h/||", true, true, false, "http://h/", ""},
        {"11||http://h/||/srv/group", true, true, true, "http://h/", "/srv/group"},
        {"01||||/srv/group", true, false, true, "", "/srv/group"},
        {"00||http://h/||x", true, false, false, "http://h/", "x"},
        {"11||about:blank||g", true, true, true, "about:blank", "g"},
        {"10||http://no-end", true, true, false, "http://no-end", ""},
        {"21||http://h/||", false, false, false, "http://h/", ""},
        {"", false, false, false, "", ""},
        {"1", false, false, false, "", ""},
    };
    for (const auto& c : cases) {
        const StartPageSetting s = ParseStartPage(QString::fromLatin1(c.setting));
        EXPECT_EQ(s.validFlags, c.valid) << c.setting;
        EXPECT_EQ(s.openHome, c.home) << c.setting;
        EXPECT_EQ(s.openGroup, c.group) << c.setting;
        EXPECT_EQ(s.home, QString::fromLatin1(c.address)) << c.setting;
        EXPECT_EQ(s.folder, QString::fromLatin1(c.folder)) << c.setting;
    }
}

TEST(NavigationRules, UpGoesToTheFolderAbove)
{
    const struct {
        const char* url;
        const char* parent;
    } cases[] = {
        {"file:///tmp/d/e/", "file:///tmp/d/"},
        {"file:///tmp/d/e", "file:///tmp/d/"},
        {"file:///tmp/d/page.html", "file:///tmp/d/"},
        {"file:///tmp/", "file:///"},
        {"file:///", ""},
        {"file://server/share/dir/", "file://server/share/"},
        {"http://example.org/a/b/", ""},
        {"FILE:///tmp/x", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParentFolderAddress(QString::fromLatin1(c.url)), QString::fromLatin1(c.parent)) << c.url;
}

TEST(AddressBox, CtrlEnterCompletesABareName)
{
    const struct {
        const char* typed;
        const char* completed;
    } cases[] = {
        {"example", "http://www.example.com"},
        {"www.example.org", "http://www.example.org.com"},
        {"WWW.EXAMPLE.COM", "http://www.WWW.EXAMPLE.COM.com"},
        {"https://www.a.com", "https://www.a.com"},
        {"a.com/x", "http://www.a.com/x"},
        {"", ""},
        {"   ", "   "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CompleteBareName(QString::fromLatin1(c.typed)), QString::fromLatin1(c.completed)) << c.typed;
}

TEST(AddressBox, TypedListEndsAtTheFirstGapAndGrowsIntoIt)
{
    EXPECT_TRUE(ReadTypedUrls().isEmpty()) << "a profile without the key";
    AddTypedUrl(QStringLiteral("http://one/"));
    AddTypedUrl(QStringLiteral("http://two/"));
    WriteTypedUrl(QStringLiteral("url4"), QStringLiteral("http://four/"));
    EXPECT_EQ(ReadTypedUrls(), (QStringList{QStringLiteral("http://one/"), QStringLiteral("http://two/")}));
    AddTypedUrl(QStringLiteral("http://one/"));
    EXPECT_EQ(ReadTypedUrl(QStringLiteral("url3")), QStringLiteral("http://one/")) << "appended, never merged";
    EXPECT_EQ(ReadTypedUrls().size(), 4);
}

TEST(FunctionKeys, RecordsParse)
{
    const struct {
        const char* record;
        int type;
        const char* value;
    } cases[] = {
        {"|0|17|", 0, "17"}, {"|1|http://a/|", 1, "http://a/"}, {"|2|/usr/bin/xterm|", 2, "/usr/bin/xterm"},
        {"|3|", 3, ""},      {"", 3, ""},                        {"0|17|", 3, ""},
        {"|x|1|", 3, "1"},
    };
    for (const auto& c : cases) {
        const ShortcutRecord r = ParseShortcutRecord(QString::fromLatin1(c.record));
        EXPECT_EQ(r.type, c.type) << c.record;
        EXPECT_EQ(r.value, QString::fromLatin1(c.value)) << c.record;
    }
}

class HandOff : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = testenv::freshDir(QStringLiteral("handoff"));
        fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY);
        ASSERT_GE(fd, 0);
    }
    void TearDown() override { ::close(fd); }
    QStringList left() const { return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name); }

    QString dir;
    int fd = -1;
    HandOffReader reader;
};

TEST_F(HandOff, NumberedFilesAreTakenInNumericOrderAndDeleted)
{
    testenv::writeFile(dir + "/10", "http://ten/\r\n");
    testenv::writeFile(dir + "/2", "http://two/\r\nsecond line\r\n");
    testenv::writeFile(dir + "/1", "/tmp/a b.html\n");
    testenv::writeFile(dir + "/3", "ab\n");           // 3 bytes: nothing
    testenv::writeFile(dir + "/.handoff-1-2", "x\r\n"); // still being written
    testenv::writeFile(dir + "/notes", "http://not-ours/\r\n");
    testenv::writeFile(dir + "/07", "http://leading-zero/\r\n");
    EXPECT_TRUE(reader.anyPending(fd));
    EXPECT_EQ(reader.takePending(fd),
              (QStringList{QStringLiteral("/tmp/a b.html"), QStringLiteral("http://two/"), QStringLiteral("http://ten/")}));
    EXPECT_EQ(left(), (QStringList{QStringLiteral(".handoff-1-2"), QStringLiteral("07"), QStringLiteral("notes")}));
    EXPECT_FALSE(reader.anyPending(fd));
}

TEST_F(HandOff, WhatCannotBeDeletedIsSkippedAndNeverTakenAgain)
{
    ASSERT_TRUE(QDir(dir).mkpath("1/inside"));
    ASSERT_TRUE(QFile::link(dir + "/1", dir + "/2"));
    testenv::writeFile(dir + "/3", "http://three/\r\n");
    EXPECT_EQ(reader.takePending(fd), QStringList{QStringLiteral("http://three/")});
    EXPECT_FALSE(reader.anyPending(fd)) << "the folder is not offered again";
    EXPECT_TRUE(reader.takePending(fd).isEmpty());
    EXPECT_TRUE(QFileInfo(dir + "/1/inside").isDir()) << "a link is never followed";
    testenv::writeFile(dir + "/4", "http://four/\r\n");
    EXPECT_EQ(reader.takePending(fd), QStringList{QStringLiteral("http://four/")});
}

TEST(NavigationRules, UpLeadsAboveSpecialFoldersToTheShellPlacesThisSystemHas)
{
    const QString desktop = QUrl::fromLocalFile(GetSpecialFolder(5)).toString(QUrl::FullyEncoded);
    // Special folders by display name, as the language file gives them.
    const auto special = [](const QString& name) -> uint8_t {
        const QStringList names = {"My Computer", "Desktop", "My Network Places", "Control Panel", "Printers and Faxes",
                                   "Recycle Bin", "Network Connections", "Scanners and Cameras", "Scheduled Tasks"};
        return static_cast<uint8_t>(names.indexOf(name) + 1);
    };
    const struct {
        const char* url;
        const char* name;
        QString target;
    } cases[] = {
        {"http://host/dir/page.htm", "page", {}},
        {"file:///tmp/dir/page.htm", "page", QStringLiteral("file:///tmp/dir/")},
        {"file:///tmp/", "tmp", desktop},
        {"file:///", "", desktop},
        {"file:///tmp/x", "Desktop", {}},
        {"file:///tmp/x", "My Computer", desktop},
        {"file:///tmp/x", "Recycle Bin", desktop},
        {"file:///tmp/x", "Control Panel", {}},  // My Computer: no such place here
        {"file:///tmp/x", "Printers and Faxes", {}},
        {"file:///C:/", "C:", {}},
        {"file://server/share/", "share", {}},   // the network: no such place here
        {"file://server/share/x", "My Network Places", desktop},
        {"file://server/share/x", "x", QStringLiteral("file://server/share/")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UpOneLevelTarget(QString::fromUtf8(c.url), QString::fromUtf8(c.name), special), c.target)
            << c.url << " " << c.name;
}
