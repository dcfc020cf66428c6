#include "core/registration.h"
#include "core/settingsstore.h"
#include "platform/base/paths.h"

#include <gtest/gtest.h>

namespace reg = platform::registry;

namespace {

struct Row {
    Hive hive;
    QString key;
    QString name;
    QString value;
};

// Every string value below key, as "key|name=value" lines.
void collect(Hive hive, const QString& key, QStringList& out)
{
    if (const auto vals = reg::values(hive, key))
        for (const reg::NamedValue& nv : *vals)
            out << key + "|" + nv.name + "=" + (nv.value.type == reg::ValueType::String ? nv.value.text : "<not a string>");
    if (const auto subs = reg::subKeys(hive, key))
        for (const QString& s : *subs)
            collect(hive, key + "\\" + s, out);
}

void expectRows(const std::vector<Row>& rows)
{
    for (const Row& r : rows) {
        const auto v = reg::readValue(r.hive, r.key, r.name);
        ASSERT_TRUE(v.has_value()) << r.key.toStdString() << " / " << r.name.toStdString();
        EXPECT_EQ(v->type, reg::ValueType::String) << r.key.toStdString();
        EXPECT_EQ(v->text, r.value) << r.key.toStdString() << " / " << r.name.toStdString();
    }
}

class Registration : public ::testing::Test {
protected:
    void SetUp() override { platform::paths::setProgramFolder("/opt/z5 browser"); }
    void TearDown() override { platform::paths::setProgramFolder(QString()); }
};

} // namespace

TEST_F(Registration, FileTypesAreTheClassesRootTable)
{
    RegisterFileTypes();
    const QString open = "/opt/z5 browser\\Z5.exe %1";
    const QString icon = "/opt/z5 browser\\Z5.exe,1";
    expectRows({
        {HiveClassesRoot, ".z5p", "", "Z5.PlayList"},
        {HiveClassesRoot, "Z5.PlayList", "", "Z5 Playlist File"},
        {HiveClassesRoot, "Z5.PlayList\\shell\\open\\command", "", open},
        {HiveClassesRoot, "Z5.PlayList\\DefaultIcon", "", icon},
        {HiveClassesRoot, ".z5s", "", "Z5.WebSnippet"},
        {HiveClassesRoot, "Z5.WebSnippet", "", "Z5 WebSnippet File"},
        {HiveClassesRoot, "Z5.WebSnippet\\shell\\open\\command", "", open},
        {HiveClassesRoot, "Z5.WebSnippet\\DefaultIcon", "", icon},
    });
    // The classes root is the machine's SOFTWARE\Classes.
    EXPECT_EQ(ReadRegistryString(HiveLocalMachine, "SOFTWARE\\Classes\\.z5p", ""), "Z5.PlayList");
    // Nothing else was written.
    QStringList all;
    collect(HiveLocalMachine, "SOFTWARE", all);
    EXPECT_EQ(all.size(), 8) << all.join("\n").toStdString();
}

TEST_F(Registration, DefaultBrowserTableAndTest)
{
    // A protocol handed over by dynamic data exchange before.
    for (const char* p : {"http", "https"}) {
        const QString dde = QString("SOFTWARE\\CLASSES\\%1\\shell\\open\\ddeexec").arg(p);
        reg::writeValue(HiveLocalMachine, dde, "", reg::Value::string("\"%1\",,-1,0,,,,"));
        reg::writeValue(HiveLocalMachine, dde + "\\Application", "", reg::Value::string("IExplore"));
        reg::writeValue(HiveLocalMachine, dde + "\\Topic", "", reg::Value::string("WWW_OpenURL"));
    }
    reg::writeValue(HiveLocalMachine, "SOFTWARE\\CLASSES\\.htm", "", reg::Value::string("htmlfile"));
    EXPECT_FALSE(IsDefaultBrowser());

    MakeDefaultBrowser();
    EXPECT_TRUE(IsDefaultBrowser());

    const QString exe = ProgramExeStem();
    ASSERT_TRUE(exe.startsWith("/opt/z5 browser\\"));
    EXPECT_FALSE(exe.endsWith(".exe", Qt::CaseInsensitive));
    const QString open = exe + ".EXE \"%1\"";
    const std::vector<Row> table = {
        {HiveLocalMachine, "SOFTWARE\\CLIENTS\\StartMenuInternet", "", "Z5.EXE"},
        {HiveLocalMachine, "SOFTWARE\\CLIENTS\\StartMenuInternet\\Z5.EXE", "LocalizedString", "Z5"},
        {HiveLocalMachine, "SOFTWARE\\CLIENTS\\StartMenuInternet\\Z5.EXE\\DefaultIcon", "", exe + ".EXE,0"},
        {HiveLocalMachine, "SOFTWARE\\CLIENTS\\StartMenuInternet\\Z5.EXE\\shell\\open\\command", "", exe + ".EXE"},
        {HiveLocalMachine, "SOFTWARE\\CLASSES\\.htm", "", "Z5Browser.HTML"},
        {HiveLocalMachine, "SOFTWARE\\CLASSES\\.html", "", "Z5Browser.HTML"},
        {HiveLocalMachine, "SOFTWARE\\CLASSES\\Z5Browser.HTML", "", "HTML Document"},
        {HiveLocalMachine, "SOFTWARE\\CLASSES\\Z5Browser.HTML\\DefaultIcon", "", exe + ".EXE,0"},
        {HiveLocalMachine, "SOFTWARE\\CLASSES\\Z5Browser.HTML\\shell\\open\\command", "", open},
        {HiveLocalMachine, "SOFTWARE\\CLASSES\\http\\shell\\open\\command", "", open},
        {HiveLocalMachine, "SOFTWARE\\CLASSES\\https\\shell\\open\\command", "", open},
    };
    expectRows(table);
    for (const char* p : {"http", "https"})
        EXPECT_FALSE(RegistryKeyExists(HiveLocalMachine, QString("SOFTWARE\\CLASSES\\%1\\shell\\open\\ddeexec").arg(p)));
    EXPECT_TRUE(RegistryKeyExists(HiveLocalMachine, "SOFTWARE\\CLASSES\\Z5Browser.HTML\\shell"));
    EXPECT_TRUE(RegistryKeyExists(HiveClassesRoot, "Z5Browser.HTML\\shell\\open\\command"));

    // A second run leaves the same values.
    QStringList before;
    collect(HiveLocalMachine, "SOFTWARE", before);
    MakeDefaultBrowser();
    QStringList after;
    collect(HiveLocalMachine, "SOFTWARE", after);
    EXPECT_EQ(before, after);

    // Another program takes ".htm".
    reg::writeValue(HiveLocalMachine, "SOFTWARE\\CLASSES\\.htm", "", reg::Value::string("OtherBrowser.HTML"));
    EXPECT_FALSE(IsDefaultBrowser());
    // The test is exact.
    reg::writeValue(HiveLocalMachine, "SOFTWARE\\CLASSES\\.htm", "", reg::Value::string("z5browser.html"));
    EXPECT_FALSE(IsDefaultBrowser());
}
