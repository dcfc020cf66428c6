#include "core/settingsstore.h"

#include "testenv.h"

#include <QDir>
#include <gtest/gtest.h>

#include <functional>

namespace reg = platform::registry;

TEST(SettingsStore, ReadsGiveTheStoredTextOrTheirDefault)
{
    SaveSetting(HiveCurrentUser, QStringLiteral("Keldo"), QStringLiteral("Z5 Browser"), QStringLiteral("TEXT"), QStringLiteral("abc"));
    SaveSetting(HiveCurrentUser, QStringLiteral("Keldo"), QStringLiteral("Z5 Browser"), QStringLiteral("EMPTY"), QString());
    reg::writeValue(HiveCurrentUser, QStringLiteral("Software\\Keldo\\Z5 Browser"), QStringLiteral("NUMBER"), reg::Value::dword(5));
    reg::writeValue(HiveCurrentUser, QStringLiteral("Software\\Keldo\\Z5 Browser"), QStringLiteral("EXPAND"),
                    reg::Value::expandString(QStringLiteral("%X%")));
    const struct {
        const char* app;
        const char* section;
        const char* name;
        const char* expected;
    } cases[] = {
        {"Keldo", "Z5 Browser", "TEXT", "abc"},
        {"  Keldo ", " Z5 Browser  ", "TEXT", "abc"},   // application and section are trimmed
        {"Keldo", "Z5 Browser", " TEXT", "default"},    // the value name is not
        {"Keldo", "Z5 Browser", "EMPTY", ""},
        {"Keldo", "Z5 Browser", "NUMBER", ""},          // another type reads as ""
        {"Keldo", "Z5 Browser", "EXPAND", ""},
        {"Keldo", "Z5 Browser", "MISSING", "default"},
        {"Keldo", "No Such Section", "TEXT", "default"},
        {"Other", "Z5 Browser", "TEXT", "default"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadSetting(HiveCurrentUser, QString::fromUtf8(c.app), QString::fromUtf8(c.section),
                              QString::fromUtf8(c.name), QStringLiteral("default")),
                  QString::fromUtf8(c.expected))
            << c.app << "/" << c.section << "/" << c.name;
    EXPECT_EQ(ReadSetting(HiveLocalMachine, QStringLiteral("Keldo"), QStringLiteral("Z5 Browser"), QStringLiteral("TEXT"),
                          QStringLiteral("m")),
              QStringLiteral("m"));
}

TEST(SettingsStore, SubSectionsAreSubKeys)
{
    SaveSetting(HiveCurrentUser, QStringLiteral("Keldo"), QStringLiteral("Z5 Browser\\KeyBoard"), QStringLiteral("F5"), QStringLiteral("1"));
    EXPECT_EQ(*reg::subKeys(HiveCurrentUser, QStringLiteral("Software\\Keldo\\Z5 Browser")), QStringList{QStringLiteral("KeyBoard")});
    EXPECT_EQ(ReadRegistryString(HiveCurrentUser, QStringLiteral("Software\\Keldo\\Z5 Browser\\KeyBoard"), QStringLiteral("F5")),
              QStringLiteral("1"));
    EXPECT_EQ(SettingsKey(QStringLiteral(" Keldo "), QStringLiteral("Z5 Browser\\Proxy ")),
              QStringLiteral("Software\\Keldo\\Z5 Browser\\Proxy"));
}

TEST(SettingsStore, PlainRegistryHelpers)
{
    const QString key = QStringLiteral("Software\\Helpers");
    EXPECT_FALSE(RegistryKeyExists(HiveCurrentUser, key));
    CreateRegistryKey(HiveCurrentUser, key + QStringLiteral("\\Child"));
    EXPECT_TRUE(RegistryKeyExists(HiveCurrentUser, key));
    WriteRegistryValue(HiveCurrentUser, key, QStringLiteral("n"), QStringLiteral(" 42 "));
    WriteRegistryValue(HiveCurrentUser, key, QStringLiteral("t"), QStringLiteral("  some text  "));
    WriteRegistryValue(HiveCurrentUser, key, QStringLiteral("neg"), -1);
    EXPECT_EQ(reg::readValue(HiveCurrentUser, key, QStringLiteral("n"))->type, reg::ValueType::Dword);
    EXPECT_EQ(ReadRegistryDword(HiveCurrentUser, key, QStringLiteral("n")), 42u);
    EXPECT_EQ(ReadRegistryDword(HiveCurrentUser, key, QStringLiteral("neg")), 0xFFFFFFFFu);
    EXPECT_EQ(ReadRegistryDword(HiveCurrentUser, key, QStringLiteral("missing")), 0u);
    EXPECT_EQ(ReadRegistryDword(HiveCurrentUser, key, QStringLiteral("t")), 0u);
    EXPECT_EQ(ReadRegistryString(HiveCurrentUser, key, QStringLiteral("t")), QStringLiteral("some text"));
    EXPECT_EQ(ReadRegistryString(HiveCurrentUser, key, QStringLiteral("missing")), QString());
    EXPECT_EQ(ReadRegistryString(HiveCurrentUser, key + QStringLiteral("\\Nope"), QStringLiteral("t")), QString());
    DeleteRegistryKey(HiveCurrentUser, QStringLiteral("Software\\Missing"), QStringLiteral("Child"));
    DeleteRegistryKey(HiveCurrentUser, key, QStringLiteral("child"));
    EXPECT_FALSE(RegistryKeyExists(HiveCurrentUser, key + QStringLiteral("\\Child")));

    reg::writeValue(HiveLocalMachine, QStringLiteral("SOFTWARE\\Classes\\mailto\\shell\\open\\command"), QString(),
                    reg::Value::string(QStringLiteral("mailer %1")));
    EXPECT_EQ(ReadMailtoCommand(), QStringLiteral("mailer %1"));

    EXPECT_FALSE(WriteTypedUrl(QStringLiteral("url1"), QStringLiteral("http://a/"))) << "the key is opened, not created";
    CreateRegistryKey(HiveCurrentUser, QStringLiteral("Software\\Microsoft\\Internet Explorer\\TypedURLs"));
    EXPECT_TRUE(WriteTypedUrl(QStringLiteral("url1"), QStringLiteral("http://a/")));
    EXPECT_EQ(ReadTypedUrl(QStringLiteral("URL1")), QStringLiteral("http://a/"));
}

TEST(SettingsStore, FormatRegistryData)
{
    const struct {
        uint32_t type;
        QByteArray data;
        const char* text;
    } cases[] = {
        {1, QByteArray("abc\0", 4), "abc"},
        {1, QByteArray(), ""},
        {3, QByteArray("\x0a\xff\x00", 3), "0A FF 00"},
        {3, QByteArray(), ""},
        {4, QByteArray("\x1a\x00\x00\x00", 4), "0x0000001A(26)"},
        {4, QByteArray("\xff\xff\xff\xff", 4), "0xFFFFFFFF(-1)"},
        {2, QByteArray("x\0", 2), "Temporary unsupported"},
        {7, QByteArray(), "Temporary unsupported"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatRegistryData(c.type, c.data), QString::fromUtf8(c.text)) << c.type;
}

TEST(SettingsStore, EnumRegistryKeysFindsTheKeyHoldingAText)
{
    const QString root = QStringLiteral("Software\\Clients");
    reg::writeValue(HiveLocalMachine, root + QStringLiteral("\\A\\x"), QStringLiteral("v"), reg::Value::string(QStringLiteral("other")));
    reg::writeValue(HiveLocalMachine, root + QStringLiteral("\\B\\deep\\er"), QStringLiteral("v"),
                    reg::Value::string(QStringLiteral("target\r\n")));
    reg::writeValue(HiveLocalMachine, root + QStringLiteral("\\C"), QStringLiteral("n"), reg::Value::dword(26));
    reg::writeValue(HiveLocalMachine, root + QStringLiteral("\\D"), QStringLiteral("b"), reg::Value::binary(QByteArray(5000, 'x')));
    reg::writeValue(HiveLocalMachine, root + QStringLiteral("\\D"), QStringLiteral("after"), reg::Value::string(QStringLiteral("hidden")));
    const struct {
        const char* search;
        bool found;
        const char* path;
    } cases[] = {
        {"target", true, "Software\\Clients\\B\\deep\\er"},  // control characters trimmed
        {"0x0000001A(26)", true, "Software\\Clients\\C"},
        {"other", true, "Software\\Clients\\A\\x"},
        {"Target", false, "Software\\Clients"},             // exact comparison
        {"hidden", false, "Software\\Clients"},             // behind a value too large to enumerate
    };
    for (const auto& c : cases) {
        QString path = root;
        bool found = false;
        EnumRegistryKeys(HiveLocalMachine, path, QString::fromUtf8(c.search), found);
        EXPECT_EQ(found, c.found) << c.search;
        EXPECT_EQ(path, QString::fromUtf8(c.path)) << c.search;
    }
    QString empty;
    bool found = false;
    EnumRegistryKeys(HiveLocalMachine, empty, QStringLiteral("target"), found);
    EXPECT_TRUE(found);
    EXPECT_EQ(empty, QStringLiteral("Software\\Clients\\B\\deep\\er")) << "an empty start path searches the hive";
}

TEST(SettingsStore, AFailedWriteIsReportedNotDropped)
{
    const QString key = QStringLiteral("Software\\Keldo\\Z5 Browser");
    const QString hive = reg::storeFolder() + QStringLiteral("/HKEY_CURRENT_USER.hive");
    const struct {
        const char* what;
        std::function<bool()> write;
    } cases[] = {
        {"SaveSetting", [] { return SaveSetting(HiveCurrentUser, QStringLiteral("Keldo"), QStringLiteral("Z5 Browser"),
                                                QStringLiteral("Z5_SKINNAME"), QStringLiteral("Blue Sky")); }},
        {"SaveZ5Setting", [] { return SaveZ5Setting(HiveCurrentUser, QStringLiteral("Z5_SKINNAME"), QStringLiteral("x")); }},
        {"CreateRegistryKey", [key] { return CreateRegistryKey(HiveCurrentUser, key + QStringLiteral("\\Sub")); }},
        {"WriteRegistryValue text", [key] { return WriteRegistryValue(HiveCurrentUser, key, QStringLiteral("Z5_SKINNAME"), QStringLiteral("t")); }},
        {"WriteRegistryValue number", [key] { return WriteRegistryValue(HiveCurrentUser, key, QStringLiteral("Z5_SKINNAME"), 5); }},
        {"WriteTypedUrl", [] { return WriteTypedUrl(QStringLiteral("url1"), QStringLiteral("http://a/")); }},
    };
    for (const auto& c : cases) {
        // A hive that cannot be read or written: a folder in its place.
        QDir(hive).removeRecursively();
        QFile::remove(hive);
        ASSERT_TRUE(QDir().mkpath(hive));
        reg::resetCache();
        testenv::StderrCapture err;
        EXPECT_FALSE(c.write()) << c.what;
        EXPECT_TRUE(err.text().contains(QStringLiteral("was not saved"))) << c.what << ": " << err.text().toStdString();
        EXPECT_TRUE(err.text().contains(QStringLiteral("not a regular file"))) << c.what;
    }
    QDir(hive).removeRecursively();
    reg::resetCache();
    testenv::StderrCapture err;
    EXPECT_TRUE(SaveZ5Setting(HiveCurrentUser, QStringLiteral("Z5_SKINNAME"), QStringLiteral("x")));
    EXPECT_TRUE(err.text().isEmpty()) << err.text().toStdString();
}
