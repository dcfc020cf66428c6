// The staged Z5.exe in a fresh home, driven by real mouse clicks and keys:
// the preferences opened from the Edit menu reach the registry, the running
// browser and the next start.

#include "httpproxy.h"
#include "httpserver.h"
#include "programdriver.h"

#include <QFileInfo>

#include <sys/stat.h>

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
    proxy.route(QStringLiteral("origin.z5.test"), origin.port());
    const QString f3Url = origin.url(QStringLiteral("/f3.html")).toString();
    const QString home = QStringLiteral("http://origin.z5.test/home.html");
    // The home page's pictures: one through the proxy, one from a host of
    // the proxy's exceptions, one the new content entry blocks, one plain.
    origin.serve("/home.html", "<html><head><title>home</title></head><body>"
                               "<img src='http://origin.z5.test/viaproxy.png'><img src='http://bypass.z5.test/direct.png'>"
                               "<img src='" + origin.address("/blocked-page.png").toUtf8() + "'>"
                               "<img src='" + origin.address("/shown.png").toUtf8() + "'></body></html>");
    origin.serve("/f3.html", "<html><head><title>f3</title></head><body>f3</body></html>");
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
              << retype(QStringLiteral("Proxy_TextBox(3)"), port)
              << retype(QStringLiteral("Proxy_TextBox(10)"), QStringLiteral("bypass.z5.test"));
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
    // Only the values changed are written.
    EXPECT_EQ(valuesOf(user, kUserKey + QStringLiteral("\\Proxy")),
              (QStringList{sz(QStringLiteral("Check1"), QStringLiteral("1")), sz(QStringLiteral("Address1"), addr),
                           sz(QStringLiteral("Address2"), addr), sz(QStringLiteral("Port1"), port), sz(QStringLiteral("Port2"), port),
                           sz(QStringLiteral("Exception"), QStringLiteral("bypass.z5.test"))}));
    const QString machineKey = QStringLiteral("HKLM\\Software\\Keldo\\Z5 Browser");
    const QStringList machine = valuesOf(regQuery(machineKey), machineKey);
    const QString code = valueLine(machine, QStringLiteral("Z5_STARTUPCODE")).section(QLatin1Char(' '), 2);
    const qint64 bytes = QFileInfo(platform::registry::storeFolder() + QStringLiteral("/Z51.DAT")).size();
    ASSERT_GT(bytes, 0);
    ASSERT_FALSE(code.isEmpty());
    EXPECT_EQ(code.toLongLong() % 10, code.toLongLong() / 10 / bytes) << "the code stands for the new file";
    EXPECT_EQ(code.toLongLong() / 10 % bytes, 0);
    EXPECT_EQ(valueLine(machine, QStringLiteral("Z5_STARTUPCODE_PREV")), QString()) << "kept only until the file was in place";
    EXPECT_TRUE(closeByItsButton(z5));

    // The next start passes its start-up check with the new list.
    const qsizetype promptsBefore = prompts().size();
    QProcess* again = start();
    ASSERT_TRUE(driveOk({QStringLiteral("wait\tfrmExplorer")}));
    EXPECT_EQ(prompts().size(), promptsBefore) << "no start-up refusal: " << prompts().join(QLatin1Char('\n')).toStdString();

    // The home page came through the proxy, its exception went around it,
    // and the new content entry kept its picture from being asked for.
    const auto logs = [&] {
        return QString("proxy: " + proxy.log().join(", ") + "\norigin: " + origin.log().join(", ")).toStdString();
    };
    EXPECT_TRUE(testenv::waitFor(
        [&] { return proxy.requested(QStringLiteral("/viaproxy.png")) && origin.requestsFor("/shown.png") == 1; }, 60000))
        << logs();
    EXPECT_TRUE(proxy.requested(QStringLiteral("GET ") + home)) << logs();
    // F3 opens its page in the running browser; by then the home page's
    // pictures have all been asked for.
    ASSERT_TRUE(driveOk({QStringLiteral("key\tfrmExplorer\tF3")}));
    EXPECT_TRUE(testenv::waitFor([&] { return origin.requestsFor("/f3.html") == 1; }, 30000)) << logs();
    EXPECT_FALSE(proxy.requested(QStringLiteral("bypass.z5.test"))) << logs();
    EXPECT_FALSE(testenv::anyContains(origin.log(), QStringLiteral("blocked-page"))) << logs();

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

// The Apply state under real input: a time-out of "abc" is refused with its
// message and leaves the hive files as they were; Cancel after an Apply
// keeps the applied page and drops the later page's change.
TEST_F(PreferencesProcess, ARefusedValueSavesNothingAndCancelKeepsOnlyTheAppliedPage)
{
    start();
    ASSERT_TRUE(driveOk(openPreferences()));
    const auto hives = [] {
        QMap<QString, QByteArray> files;
        const QDir folder(platform::registry::storeFolder());
        for (const QString& name : folder.entryList(QDir::Files))
            files.insert(name, testenv::readFile(folder.filePath(name)));
        return files;
    };
    const QMap<QString, QByteArray> before = hives();
    ASSERT_FALSE(before.isEmpty());

    for (const QString& button : {QStringLiteral("cmdButton1(2)"), QStringLiteral("cmdButton1(0)")}) {
        const qsizetype shown = prompts().size();
        ASSERT_TRUE(driveOk(retype(QStringLiteral("General_TextBox"), QStringLiteral("abc")) << click(button)));
        const QStringList after = prompts().mid(shown);
        ASSERT_EQ(after.size(), 1) << button.toStdString() << ": " << after.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(after[0].contains(QStringLiteral("numeric value is required for Time Out"))) << after[0].toStdString();
        EXPECT_EQ(state(QStringLiteral("Preferences"), QStringLiteral("General_TextBox")).value(3), QStringLiteral("abc"))
            << button.toStdString() << ": the window stays open";
        EXPECT_TRUE(hives() == before) << button.toStdString() << ": the hive files are unchanged";
    }

    QStringList steps = retype(QStringLiteral("General_TextBox"), QStringLiteral("7"));
    steps << click(QStringLiteral("cmdButton1(2)")) << click(QStringLiteral("cmdTab(2)"))
          << retype(QStringLiteral("QuickLaunch_TextBox(2)"), QStringLiteral("http://dropped.example/?q="))
          << click(QStringLiteral("cmdButton1(1)"));
    ASSERT_TRUE(driveOk(steps));
    const QStringList values = valuesOf(regQuery(kUserKey), kUserKey);
    EXPECT_EQ(valueLine(values, QStringLiteral("UNREACHABLETIMEOUT")), sz(QStringLiteral("UNREACHABLETIMEOUT"), QStringLiteral("7")));
    EXPECT_FALSE(valueLine(values, QStringLiteral("DEFAULTSEARCH")).contains(QStringLiteral("dropped.example")));
    EXPECT_FALSE(prompted(QStringLiteral("dropped.example")));
}

// Two users of one program folder: the first one's content entry, saved by
// OK, lands in his own data folder (mode 0600) and the program folder keeps
// the shipped file; the second user starts with no refusal and browses the
// address the first one blocked.
TEST_F(PreferencesProcess, TwoUsersOfOneProgramFolderKeepTheirOwnContentLists)
{
    testenv::HttpServer origin;
    origin.serve("/blocked-page.html", "<html><head><title>page</title></head><body>page</body></html>");
    const QByteArray shipped = testenv::readFile(prog + QStringLiteral("/Z51.DAT"));
    ASSERT_FALSE(shipped.isEmpty());

    QProcess* first = start();
    ASSERT_TRUE(driveOk(openPreferences()));
    QStringList content{click(QStringLiteral("cmdTab(5)"))};
    content << retype(QStringLiteral("Content_TextBox(0)"), QStringLiteral("blocked-page")) << click(QStringLiteral("cmdButton1(3)"))
            << click(QStringLiteral("cmdButton1(0)"));
    ASSERT_TRUE(driveOk(content));
    EXPECT_FALSE(prompted(QStringLiteral("message"))) << prompts().join(QLatin1Char('\n')).toStdString();
    const QString own = platform::registry::storeFolder() + QStringLiteral("/Z51.DAT");
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(own).constData(), &st), 0) << "the list is in the user's data folder";
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(testenv::readFile(prog + QStringLiteral("/Z51.DAT")), shipped) << "the program folder's file is the shipped one";
    EXPECT_TRUE(closeByItsButton(first));

    // The second user: hives of his own, the skin registered for him as the
    // installer does.
    const QString secondConfig = testenv::freshDir(QStringLiteral("second-config"));
    QProcess regsvr;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), secondConfig);
    regsvr.setProcessEnvironment(env);
    regsvr.start(QStringLiteral(Z5_BIN_DIR "/regsvr"), {prog + QStringLiteral("/Skin/SK_Morvane_1.dll")});
    ASSERT_TRUE(regsvr.waitForFinished(30000) && regsvr.exitCode() == 0);
    const qsizetype promptsBefore = prompts().size();
    QProcess* second = start({origin.address(QStringLiteral("/blocked-page.html"))},
                             {{QStringLiteral("XDG_CONFIG_HOME"), secondConfig}});
    ASSERT_TRUE(driveOk({QStringLiteral("wait\tfrmExplorer")}));
    EXPECT_TRUE(testenv::waitFor([&] { return origin.requestsFor("/blocked-page.html") == 1; }, 60000))
        << origin.log().join(", ").toStdString();
    EXPECT_EQ(prompts().size(), promptsBefore) << "no start-up refusal: " << prompts().join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(QFile::exists(secondConfig + QStringLiteral("/registry/Z51.DAT")));
    EXPECT_TRUE(closeByItsButton(second));
}
