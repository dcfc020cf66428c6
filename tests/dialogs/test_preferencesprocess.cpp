// The staged Z5.exe in a fresh home, driven by real mouse clicks and keys:
// the preferences opened from the Edit menu reach the registry, the running
// next start.

#include "httpproxy.h"
#include "httpserver.h"
#include "programdriver.h"

#include <QFileInfo>

using namespace programdriver;

namespace {

const QString kUserKey = QStringLiteral("HKCU\\Software\\Keldo\\Z5 Browser");

class PreferencesProcess : public DrivenProgram {
protected:
    // The value line "NAME REG_SZ DATA" of a listing, or "" when absent.
    static QString valueLine(const QStringList& values, const QString& name)
    {
        for (const QString& v : values)
            if (v.section(QLatin1Char(' '), 0, 0) == name)
                return v;
        return {};
    }
    static QString sz(const QString& name, const QString& data)
    {
        return QString(name + QStringLiteral(" REG_SZ ") + data).trimmed();
    }
};

} // namespace

// A value changed on every page by clicks and keys, then OK: the hive holds
// exactly those values, and the next start passes its start-up check with
// the new content list and shows the same values again.
TEST_F(PreferencesProcess, EveryPageReachesTheHiveAndTheNextStart)
{
    testenv::HttpServer origin;
    testenv::HttpProxy proxy;
    const QString f3Url = origin.url(QStringLiteral("/f3.html")).toString();
    const QString home = QStringLiteral("http://origin.z5.test/home.html");
    const QString group = testenv::freshDir(QStringLiteral("group"));
    ASSERT_TRUE(testenv::writeFile(work + QStringLiteral("/answers.txt"), (QStringLiteral("folder\t") + group + QLatin1Char('\n')).toUtf8()));

    QProcess* z5 = start();
    ASSERT_TRUE(driveOk(openPreferences()));
    EXPECT_EQ(state(QStringLiteral("Preferences"), QStringLiteral("cmdButton1(2)")).value(0), QStringLiteral("0"))
        << "Apply starts disabled";

    // General: inline AutoComplete and a time-out with a fraction.
    QStringList general{tick(QStringLiteral("General_CheckBox(2)"))};
    general << retype(QStringLiteral("General_TextBox"), QStringLiteral("2.5"));
    ASSERT_TRUE(driveOk(general));
    EXPECT_EQ(state(QStringLiteral("Preferences"), QStringLiteral("cmdButton1(2)")).value(0), QStringLiteral("1"))
        << "a change enables Apply";

    // Start Pages: the home page opened on start, the group folder picked.
    QStringList startPages{click(QStringLiteral("cmdTab(1)"))};
    EXPECT_TRUE(driveOk(startPages));
    EXPECT_EQ(state(QStringLiteral("Preferences"), QStringLiteral("cmdButton1(2)")).value(0), QStringLiteral("0"))
        << "a page switch disables Apply";
    // The home page's box is ticked in a new home: off, then on again.
    const QString homeBox = QStringLiteral("StartPages_CheckBox(0)");
    ASSERT_EQ(state(QStringLiteral("Preferences"), homeBox).value(2), QStringLiteral("1"));
    ASSERT_TRUE(driveOk({tick(homeBox)}));
    EXPECT_EQ(state(QStringLiteral("Preferences"), homeBox).value(2), QStringLiteral("0"));
    startPages = QStringList{tick(homeBox)};
    startPages << retype(QStringLiteral("StartPages_TextBox(0)"), home);
    startPages << click(QStringLiteral("cmdButton2(3)"));
    ASSERT_TRUE(driveOk(startPages));
    EXPECT_EQ(state(QStringLiteral("Preferences"), QStringLiteral("StartPages_TextBox(1)")).value(3), group);

    // Quick Launch: the search address.
    QStringList quick{click(QStringLiteral("cmdTab(2)"))};
    quick << retype(QStringLiteral("QuickLaunch_TextBox(2)"), QStringLiteral("http://search.example/?q="));
    ASSERT_TRUE(driveOk(quick));

    // Keyboard: F3 opens a web site.
    QStringList keys{click(QStringLiteral("cmdTab(3)")), QStringLiteral("choose\tPreferences\tKeyBoard_ComboBox(0)\tF3"),
                     tick(QStringLiteral("KeyBoard_Option(1)"))};
    keys << retype(QStringLiteral("KeyBoard_TextBox(0)"), f3Url);
    ASSERT_TRUE(driveOk(keys));

    // Proxy: HTTP and Secure through the test proxy.
    const QString port = QString::number(proxy.port());
    QStringList proxyPage{click(QStringLiteral("cmdTab(4)")), tick(QStringLiteral("Proxy_CheckBox(0)"))};
    proxyPage << retype(QStringLiteral("Proxy_TextBox(0)"), QStringLiteral("127.0.0.1"))
              << retype(QStringLiteral("Proxy_TextBox(1)"), port)
              << retype(QStringLiteral("Proxy_TextBox(2)"), QStringLiteral("127.0.0.1"))
              << retype(QStringLiteral("Proxy_TextBox(3)"), port);
    ASSERT_TRUE(driveOk(proxyPage));

    // Content: a protected entry; its password never shows as typed.
    QStringList content{click(QStringLiteral("cmdTab(5)"))};
    content << retype(QStringLiteral("Content_TextBox(0)"), QStringLiteral("blocked-page"))
            << tick(QStringLiteral("Content_CheckBox")) << retype(QStringLiteral("Content_TextBox(1)"), QStringLiteral("s3cret"));
    ASSERT_TRUE(driveOk(content));
    EXPECT_FALSE(state(QStringLiteral("Preferences"), QStringLiteral("Content_TextBox(1)")).value(3).contains(QStringLiteral("s3cret")));
    ASSERT_TRUE(driveOk({click(QStringLiteral("cmdButton1(3)"))}));
    EXPECT_EQ(state(QStringLiteral("Preferences"), QStringLiteral("Content_ListView")).value(3), QStringLiteral("blocked-page"));

    // Clean Up: two boxes; the page itself enables Apply.
    ASSERT_TRUE(driveOk({click(QStringLiteral("cmdTab(6)"))}));
    EXPECT_EQ(state(QStringLiteral("Preferences"), QStringLiteral("cmdButton1(2)")).value(0), QStringLiteral("1"));
    ASSERT_TRUE(driveOk({tick(QStringLiteral("Cleanup_CheckBox(0)")), tick(QStringLiteral("Cleanup_CheckBox(2)"))}));

    ASSERT_TRUE(driveOk({click(QStringLiteral("cmdButton1(0)"))}));
    EXPECT_FALSE(prompted(QStringLiteral("message"))) << prompts().join(QLatin1Char('\n')).toStdString();

    const QString user = regQuery(kUserKey);
    const QStringList main = valuesOf(user, kUserKey);
    EXPECT_EQ(valueLine(main, QStringLiteral("USETXTAUTOCOMPLETE")), sz(QStringLiteral("USETXTAUTOCOMPLETE"), QStringLiteral("1")));
    EXPECT_EQ(valueLine(main, QStringLiteral("UNREACHABLETIMEOUT")), sz(QStringLiteral("UNREACHABLETIMEOUT"), QStringLiteral("2")));
    EXPECT_EQ(valueLine(main, QStringLiteral("STARTPAGE")), sz(QStringLiteral("STARTPAGE"), QStringLiteral("10||") + home + QStringLiteral("||") + group));
    EXPECT_EQ(valueLine(main, QStringLiteral("DEFAULTSEARCH")),
              sz(QStringLiteral("DEFAULTSEARCH"), QStringLiteral("http://search.example/?q=")));
    EXPECT_EQ(valueLine(main, QStringLiteral("OPT_CLEANUP")), sz(QStringLiteral("OPT_CLEANUP"), QStringLiteral("101000")));
    EXPECT_EQ(valueLine(valuesOf(user, kUserKey + QStringLiteral("\\KeyBoard")), QStringLiteral("F3")),
              sz(QStringLiteral("F3"), QStringLiteral("|1|") + f3Url + QLatin1Char('|')));
    const QString addr = QStringLiteral("127.0.0.1");
    EXPECT_EQ(valuesOf(user, kUserKey + QStringLiteral("\\Proxy")),
              (QStringList{sz(QStringLiteral("Check1"), QStringLiteral("1")), sz(QStringLiteral("Check2"), QStringLiteral("0")),
                           sz(QStringLiteral("Check3"), QStringLiteral("0")), sz(QStringLiteral("Address1"), addr),
                           sz(QStringLiteral("Address2"), addr), sz(QStringLiteral("Address3"), {}),
                           sz(QStringLiteral("Address4"), {}), sz(QStringLiteral("Address5"), {}),
                           sz(QStringLiteral("Port1"), port), sz(QStringLiteral("Port2"), port), sz(QStringLiteral("Port3"), {}),
                           sz(QStringLiteral("Port4"), {}), sz(QStringLiteral("Port5"), {}), sz(QStringLiteral("Exception"), {})}));
    const QString machineKey = QStringLiteral("HKLM\\Software\\Keldo\\Z5 Browser");
    const QStringList machine = valuesOf(regQuery(machineKey), machineKey);
    const QString code = valueLine(machine, QStringLiteral("Z5_STARTUPCODE")).section(QLatin1Char(' '), 2);
    const qint64 bytes = QFileInfo(prog + QStringLiteral("/Z51.DAT")).size();
    ASSERT_GT(bytes, 0);
    ASSERT_FALSE(code.isEmpty());
    EXPECT_EQ(code.toLongLong() % 10, code.toLongLong() / 10 / bytes) << "the code stands for the new file";
    EXPECT_EQ(code.toLongLong() / 10 % bytes, 0);
    EXPECT_EQ(valueLine(machine, QStringLiteral("Z5_STARTUPCODE_PREV")), QString()) << "kept only until the file was in place";
    EXPECT_TRUE(closeByItsButton(z5));

    // The next start passes its start-up check with the new list.
    const qsizetype promptsBefore = prompts().size();
    QProcess* again = start();
    ASSERT_TRUE(driveOk({QStringLiteral("wait\tZ5")}));
    EXPECT_EQ(prompts().size(), promptsBefore) << "no start-up refusal: " << prompts().join(QLatin1Char('\n')).toStdString();

    // The reopened window shows what was saved.
    ASSERT_TRUE(driveOk(openPreferences()));
    EXPECT_EQ(state(QStringLiteral("Preferences"), QStringLiteral("General_CheckBox(2)")).value(2), QStringLiteral("1"));
    EXPECT_EQ(state(QStringLiteral("Preferences"), QStringLiteral("General_TextBox")).value(3), QStringLiteral("2"));
    EXPECT_EQ(state(QStringLiteral("Preferences"), QStringLiteral("StartPages_TextBox(0)")).value(3), home);
    EXPECT_EQ(state(QStringLiteral("Preferences"), QStringLiteral("Proxy_TextBox(1)")).value(3), port);
    EXPECT_EQ(state(QStringLiteral("Preferences"), QStringLiteral("Content_ListView")).value(3), QStringLiteral("blocked-page"));
    EXPECT_EQ(state(QStringLiteral("Preferences"), QStringLiteral("Cleanup_CheckBox(2)")).value(2), QStringLiteral("1"));
    EXPECT_TRUE(driveOk({click(QStringLiteral("cmdButton1(1)"))}));
    Q_UNUSED(again);
}
