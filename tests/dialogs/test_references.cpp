// The preferences window in this process, driven by real mouse and key
// input: its pages, what each shows and saves, and when Apply is enabled.

#include "core/cleanup.h"
#include "core/contentfilter.h"
#include "core/settingsstore.h"
#include "core/shelldialogs.h"
#include "core/shellnames.h"
#include "dialogs/contentpage.h"
#include "dialogs/keyboardpage.h"
#include "dialogs/optionpages.h"
#include "dialogs/proxypage.h"
#include "platform/base/registry.h"
#include "platform/web/wininet.h"
#include "platform/win/twips.h"

#include "httpserver.h"
#include "referencestesting.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QImage>
#include <QTimer>
#include <QAbstractItemModel>
#include <QTreeView>
#include <QWebEngineCookieStore>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include <tuple>
#include <unistd.h>

using namespace referencestesting;
using platform::forms::Control;

namespace {

namespace reg = platform::registry;

struct Scale {
    Scale(float factor, int twipsPerPixel) : saved(TwipsScale)
    {
        TwipsScale = factor;
        platform::forms::setTwipsPerPixel(twipsPerPixel, twipsPerPixel);
    }
    ~Scale()
    {
        TwipsScale = saved;
        platform::forms::setTwipsPerPixel(0, 0);
    }
    Scale(const Scale&) = delete;
    Scale& operator=(const Scale&) = delete;
    float saved;
};

QByteArray hiveBytes(const char* name)
{
    return testenv::readFile(reg::storeFolder() + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".hive"));
}

void saveProxy(const char* name, const QString& value)
{
    SaveSetting(HiveCurrentUser, kSettingsApp, kProxySection, QLatin1String(name), value);
}

// The text a control draws: a label's caption or a button's.
QString drawnText(Control* c)
{
    if (auto* l = dynamic_cast<platform::forms::Label*>(c))
        return l->caption();
    if (auto* b = dynamic_cast<platform::forms::ButtonControl*>(c))
        return b->caption();
    return {};
}

} // namespace

// Every page at 96 dpi and at a scale of 1.25, with values on it: every
// text fits its control, no two controls of a page overlap, and the
// pictures are kept for a look.
TEST_F(References, EveryPageIsLaidOutAtBothScales)
{
    saveProxy("Check1", QStringLiteral("1"));
    saveProxy("Address1", QStringLiteral("proxy.example.org"));
    saveProxy("Port1", QStringLiteral("8080"));
    SaveZ5Setting(HiveCurrentUser, QStringLiteral("STARTPAGE"), QStringLiteral("11||http://www.example.org/||/home/user/Favorites/News"));
    SaveZ5Setting(HiveCurrentUser, QStringLiteral("OPT_CLEANUP"), QStringLiteral("110101"));
    FilterList = QStringLiteral("|casino|secret|ads.example.com||");
    options.KeyMap[2] = QStringLiteral("|1|http://www.example.org/|");
    for (const auto& [factor, tpp, suffix] : {std::tuple{1.0f, 15, "96dpi"}, std::tuple{1.25f, 19, "scale125"}}) {
        SCOPED_TRACE(suffix);
        Scale scale(factor, tpp);
        frmReferences& f = open();
        f.KeyBoard_ComboBox[0].setListIndex(2);
        f.Content_ListView->setSelectedIndex(1);
        Content_ListView_ItemClick(f, 1);
        for (int p = 0; p <= 6; ++p) {
            page(p);
            ASSERT_TRUE(f.Frame[p].widget()->isVisible());
            const QString name = QStringLiteral("preferences-page%1-%2.png").arg(p).arg(QLatin1String(suffix));
            EXPECT_TRUE(f.window()->grab().save(screenshotFolder() + QLatin1Char('/') + name));
        }
        // Inside each page and on the window itself: texts fit, nothing
        // overlaps (the background and the page list lie under what they hold).
        std::vector<Control*> placed;
        for (Control* c : f.controls())
            if (c->visible() && c->name() != QLatin1String("Form_BackGround") && c->name() != QLatin1String("PageList")
                && c->name() != QLatin1String("cmdCaption"))
                placed.push_back(c);
        for (Control* c : placed) {
            const QString text = drawnText(c);
            const QWidget* w = c->widget();
            if (!text.isEmpty()) {
                // A button's text starts after its box or circle.
                const int box = dynamic_cast<platform::forms::ButtonControl*>(c) ? 24 : 0;
                EXPECT_LE(QFontMetrics(w->font()).horizontalAdvance(text) + box, w->width())
                    << c->name().toStdString() << "(" << c->index() << ") cuts \"" << text.toStdString() << "\"";
            }
            for (Control* other : placed) {
                if (other == c || other->container() != c->container() || other->name() == QLatin1String("Frame"))
                    continue;
                EXPECT_FALSE(w->geometry().intersects(other->widget()->geometry()))
                    << c->name().toStdString() << "(" << c->index() << ") overlaps " << other->name().toStdString() << "("
                    << other->index() << ")";
            }
        }
        window->unload();
        window.reset();
    }
}

// The window opens with Apply off although filling the pages raised their
// change events; a change turns it on, a page switch off, and the Clean Up
// page on at once; a time-out that is no number is refused and nothing is
// written; Cancel after an Apply keeps what Apply saved and no more.
TEST_F(References, ApplyFollowsChangesPagesAndSaves)
{
    frmReferences& f = open();
    EXPECT_FALSE(f.ApplyEnabled());
    EXPECT_FALSE(f.cmdCaption[2].enabled());
    EXPECT_FALSE(f.cmdButton1[4].enabled()) << "Remove waits for a chosen entry";

    typeInto(*f.General_TextBox, QStringLiteral("0"));
    EXPECT_TRUE(f.ApplyEnabled());
    page(PageStartPages);
    EXPECT_FALSE(f.ApplyEnabled()) << "a page switch drops it, changes or not";
    page(PageCleanUp);
    EXPECT_TRUE(f.ApplyEnabled()) << "Clean Up runs now";
    page(PageGeneral);
    EXPECT_FALSE(f.ApplyEnabled());

    // "abc": 9006, the window stays, the hives stay as they were.
    const QByteArray user = hiveBytes("HKEY_CURRENT_USER");
    const QByteArray machine = hiveBytes("HKEY_LOCAL_MACHINE");
    clearAndType(*f.General_TextBox, QStringLiteral("abc"));
    click(f.cmdButton1[2]);
    EXPECT_EQ(takeMessages(), QStringList{QStringLiteral("A numeric value is required for Time Out")});
    EXPECT_FALSE(f.ApplyEnabled());
    click(f.cmdButton1[0]);
    EXPECT_EQ(takeMessages(), QStringList{QStringLiteral("A numeric value is required for Time Out")});
    EXPECT_TRUE(f.window()->isVisible());
    EXPECT_EQ(hiveBytes("HKEY_CURRENT_USER"), user);
    EXPECT_EQ(hiveBytes("HKEY_LOCAL_MACHINE"), machine);

    // Apply on General, then a change on Start Pages, then Cancel.
    clearAndType(*f.General_TextBox, QStringLiteral("7"));
    tick(f.General_CheckBox[1]);
    click(f.cmdButton1[2]);
    EXPECT_TRUE(takeMessages().isEmpty());
    EXPECT_FALSE(f.ApplyEnabled());
    page(PageStartPages);
    typeInto(f.StartPages_TextBox[0], QStringLiteral("http://changed.example/"));
    click(f.cmdButton1[1]);
    EXPECT_FALSE(f.window()->isVisible());
    EXPECT_EQ(userSetting(QStringLiteral("UNREACHABLETIMEOUT")), QStringLiteral("7"));
    EXPECT_EQ(userSetting(QStringLiteral("RUNONEINSTANCEONLY")), QStringLiteral("1"));
    EXPECT_EQ(options.UnreachableTimeout, 7);
    EXPECT_EQ(options.GeneralOptionBytes[OptRunOneInstanceOnly], 1);
    EXPECT_EQ(userSetting(QStringLiteral("STARTPAGE")), QStringLiteral("<none>"));
}

// The General page shows and writes the in-memory options; the time-out
// goes to the nearest whole number, halves to the even one, and a number
// that does not fit keeps the previous value.
TEST_F(References, TheGeneralPageWritesTheOptionsAndTheTimeOut)
{
    const struct {
        const char* typed;
        int16_t saved;
    } cases[] = {{"2.5", 2}, {"3.5", 4}, {"-1", -1}, {"1e6", -1}, {" 12 ", 12}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        frmReferences& f = open();
        EXPECT_EQ(f.General_CheckBox[0].value(), 1) << "Disable script error is byte 1";
        EXPECT_EQ(f.General_CheckBox[1].value(), 0) << "Run one instance is byte 0";
        clearAndType(*f.General_TextBox, QLatin1String(c.typed));
        tick(f.General_CheckBox[2]);
        click(f.cmdButton1[0]);
        EXPECT_FALSE(f.window()->isVisible());
        EXPECT_EQ(options.UnreachableTimeout, c.saved);
        EXPECT_EQ(userSetting(QStringLiteral("UNREACHABLETIMEOUT")), QString::number(c.saved));
        window->unload();
        window.reset();
    }
    // Inline completion was ticked, then cleared, and so on.
    EXPECT_EQ(options.GeneralOptionBytes[OptUseTxtAutoComplete], 1);
    EXPECT_EQ(userSetting(QStringLiteral("USETXTAUTOCOMPLETE")), QStringLiteral("1"));
    // The boxes never touched are never written.
    for (const char* name : {"DISABLESCRIPTERROR", "REMEMBERLASTFOLDER", "OPENLINKWITHNEWTAB", "MOUSEGESTURESINUSE",
                             "GROUPLOADONSTARTUP"})
        EXPECT_EQ(userSetting(QLatin1String(name)), QStringLiteral("<none>")) << name;
}

// "STARTPAGE": two flags, "||", the home page, "||", the group folder.
TEST_F(References, StartPagesReadAndWriteTheirOneValue)
{
    const struct {
        const char* stored;
        std::optional<int> home, group;
        const char* address;
        const char* folder;
    } cases[] = {
        {"00||||", 0, 0, "", ""},
        {"11||http://a.example/||/home/u/Group", 1, 1, "http://a.example/", "/home/u/Group"},
        {"10||http://a.example/x||y||/g", 1, 0, "http://a.example/x", "y||/g"},
        {"x1||home||", std::nullopt, 1, "home", ""},
        {"10||no group part", 1, 0, "no group part", ""},
    };
    for (const auto& c : cases) {
        const StartPageParts parts = SplitStartPage(QLatin1String(c.stored));
        EXPECT_EQ(parts.homeFlag, c.home) << c.stored;
        EXPECT_EQ(parts.groupFlag, c.group) << c.stored;
        EXPECT_EQ(parts.home, QLatin1String(c.address)) << c.stored;
        EXPECT_EQ(parts.group, QLatin1String(c.folder)) << c.stored;
    }

    // Unchanged, a page writes back what it read.
    SaveZ5Setting(HiveCurrentUser, QStringLiteral("STARTPAGE"), QStringLiteral("00||||"));
    frmReferences& f = open();
    page(PageStartPages);
    click(f.cmdButton1[2]);
    EXPECT_EQ(userSetting(QStringLiteral("STARTPAGE")), QStringLiteral("00||||"));

    // The current tab's address, the group folder from its picker, then an
    // address with "||" refused.
    DialogUrl = QStringLiteral("http://current.example/page");
    click(f.cmdButton3[0]);
    EXPECT_TRUE(f.ApplyEnabled());
    tick(f.StartPages_CheckBox[0]);
    tick(f.StartPages_CheckBox[1]);
    pickerAnswers = {QStringLiteral("/srv/group")};
    click(f.cmdButton2[3]);
    ASSERT_FALSE(prompts.isEmpty());
    EXPECT_EQ(prompts.constLast().kind, QStringLiteral("folder"));
    EXPECT_EQ(prompts.constLast().title, QStringLiteral("Select Group ..."));
    EXPECT_EQ(f.StartPages_TextBox[1].text(), QStringLiteral("/srv/group"));
    click(f.cmdButton2[3]); // cancelled: nothing changes
    EXPECT_EQ(f.StartPages_TextBox[1].text(), QStringLiteral("/srv/group"));
    click(f.cmdButton1[2]);
    EXPECT_EQ(userSetting(QStringLiteral("STARTPAGE")), QStringLiteral("11||http://current.example/page||/srv/group"));
    takeMessages();
    clearAndType(f.StartPages_TextBox[0], QStringLiteral("http://a||b"));
    click(f.cmdButton1[0]);
    EXPECT_EQ(takeMessages(), QStringList{QStringLiteral("The home page address can not contain ||")});
    EXPECT_TRUE(f.window()->isVisible());
    EXPECT_EQ(userSetting(QStringLiteral("STARTPAGE")), QStringLiteral("11||http://current.example/page||/srv/group"));
}

// Quick Launch: the defaults shown when nothing is stored, "Use Default"
// through the box's own change, the pickers, and the three values saved.
TEST_F(References, QuickLaunchTakesDefaultsPickersAndTypedText)
{
    frmReferences& f = open();
    EXPECT_EQ(f.QuickLaunch_TextBox[0].text(), GetSpecialFolder(4));
    EXPECT_EQ(f.QuickLaunch_TextBox[2].text(), kDefaultSearchPage);
    page(PageQuickLaunch);
    clearAndType(f.QuickLaunch_TextBox[0], QString());
    page(PageQuickLaunch);
    EXPECT_FALSE(f.ApplyEnabled());
    click(f.cmdButton1[5]);
    EXPECT_EQ(f.QuickLaunch_TextBox[0].text(), GetSpecialFolder(4));
    EXPECT_TRUE(f.ApplyEnabled()) << "through the box's change";
    EXPECT_EQ(userSetting(QStringLiteral("DEFAULTFOLDER")), QStringLiteral("<none>")) << "nothing saved yet";

    pickerAnswers = {QStringLiteral("/srv/docs"), QStringLiteral("/bin/true")};
    click(f.cmdButton2[0]);
    click(f.cmdButton2[1]);
    ASSERT_EQ(prompts.size(), 2);
    EXPECT_EQ(prompts[0].title, QStringLiteral("Select Folder ..."));
    EXPECT_EQ(prompts[1].title, QStringLiteral("Select Program"));
    EXPECT_EQ(f.QuickLaunch_TextBox[0].text(), QStringLiteral("/srv/docs"));
    EXPECT_EQ(f.QuickLaunch_TextBox[1].text(), QStringLiteral("/bin/true"));
    click(f.cmdButton2[1]); // cancelled: the program stays
    EXPECT_EQ(f.QuickLaunch_TextBox[1].text(), QStringLiteral("/bin/true"));
    clearAndType(f.QuickLaunch_TextBox[2], QStringLiteral("http://search.example/"));
    click(f.cmdButton1[2]);
    EXPECT_EQ(userSetting(QStringLiteral("DEFAULTFOLDER")), QStringLiteral("/srv/docs"));
    EXPECT_EQ(userSetting(QStringLiteral("DEFAULTMAIL")), QStringLiteral("/bin/true"));
    EXPECT_EQ(userSetting(QStringLiteral("DEFAULTSEARCH")), QStringLiteral("http://search.example/"));
}

// "OPT_CLEANUP": six digits, one per box; a short value sets only the boxes
// it has digits for.
TEST_F(References, CleanUpBoxesFollowTheirDigits)
{
    SaveZ5Setting(HiveCurrentUser, QStringLiteral("OPT_CLEANUP"), QStringLiteral("1"));
    frmReferences& f = open();
    EXPECT_EQ(f.Cleanup_CheckBox[0].value(), 1);
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(f.Cleanup_CheckBox[i].value(), 0) << i;
    page(PageCleanUp);
    tick(f.Cleanup_CheckBox[0]);
    tick(f.Cleanup_CheckBox[2]);
    click(f.cmdButton1[0]);
    EXPECT_EQ(userSetting(QStringLiteral("OPT_CLEANUP")), QStringLiteral("001000"));
}

// Apply on the Clean Up page removes at once what its boxes name, through
// the web profile for cookies and cache, and says so; the exit switch does
// not matter, and only the program's private temporary folder is emptied.
TEST_F(References, CleanUpNowRemovesWhatItsBoxesName)
{
    testenv::HttpServer server;
    server.serveCacheable(QStringLiteral("/kept.html"), "<html><body>kept</body></html>");
    auto* profile = new QWebEngineProfile(QStringLiteral("cleanup"));
    platform::wininet::attachProfile(profile);
    // Each load in a page of its own: a page that loads its own address
    // again would check with the server whatever the cache holds.
    const auto load = [&] {
        QWebEnginePage page(profile);
        bool done = false;
        QObject::connect(&page, &QWebEnginePage::loadFinished, &page, [&done] { done = true; });
        page.load(server.url(QStringLiteral("/kept.html")));
        EXPECT_TRUE(testenv::waitFor([&] { return done; }, 30000));
    };
    const auto cookies = [&] {
        int n = 0;
        QObject::connect(profile->cookieStore(), &QWebEngineCookieStore::cookieAdded, profile, [&n] { ++n; });
        profile->cookieStore()->loadAllCookies();
        QTest::qWait(500);
        QObject::disconnect(profile->cookieStore(), &QWebEngineCookieStore::cookieAdded, nullptr, nullptr);
        return n;
    };
    load();
    load();
    ASSERT_EQ(server.requestsFor(QStringLiteral("/kept.html")), 1) << "the second load comes from the cache";
    profile->cookieStore()->setCookie(QNetworkCookie("session", "1"), server.url());
    ASSERT_TRUE(testenv::waitFor([&] { return cookies() == 1; }, 10000));

    WriteTypedUrl(QStringLiteral("url1"), QStringLiteral("http://typed.example/"));
    const QString temp = GetTempFolder();
    ASSERT_FALSE(temp.isEmpty());
    ASSERT_TRUE(testenv::writeFile(temp + QStringLiteral("/private.tmp"), "x"));
    const QString sentinel = QDir::tempPath() + QStringLiteral("/sentinel.txt");
    ASSERT_TRUE(testenv::writeFile(sentinel, "keep"));

    frmReferences& f = open();
    page(PageCleanUp);
    tick(f.Cleanup_CheckBox[1]);
    tick(f.Cleanup_CheckBox[2]);
    tick(f.Cleanup_CheckBox[3]);
    tick(f.Cleanup_CheckBox[5]);
    // What the message says whenever events run.
    QStringList seen;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const QString now = f.Cleanup_LabelMessage->caption();
        if (seen.isEmpty() || seen.constLast() != now)
            seen << now;
    });
    watch.start();
    click(f.cmdButton1[2]);
    watch.stop();
    EXPECT_TRUE(seen.contains(QStringLiteral("Running ..."))) << seen.join(QLatin1Char(',')).toStdString();
    EXPECT_EQ(f.Cleanup_LabelMessage->caption(), QStringLiteral("Completed"));
    EXPECT_EQ(userSetting(QStringLiteral("OPT_CLEANUP")), QStringLiteral("011101"));

    EXPECT_EQ(ReadTypedUrl(QStringLiteral("url1")), QString());
    EXPECT_FALSE(QFile::exists(temp + QStringLiteral("/private.tmp")));
    EXPECT_TRUE(QFile::exists(sentinel));
    EXPECT_TRUE(testenv::waitFor([&] { return cookies() == 0; }, 10000));
    QTest::qWait(500);
    load();
    EXPECT_EQ(server.requestsFor(QStringLiteral("/kept.html")), 2) << "the cache was emptied";

    // Leaving the page and coming back empties the message.
    page(PageGeneral);
    page(PageCleanUp);
    EXPECT_EQ(f.Cleanup_LabelMessage->caption(), QString());
}

namespace {

QString keyRecord(const char* key)
{
    platform::registry::resetCache();
    const auto v = platform::registry::readValue(platform::registry::Hive::CurrentUser,
                                                 QStringLiteral("Software\\Keldo\\Z5 Browser\\KeyBoard"), QLatin1String(key));
    return v ? v->text : QStringLiteral("<none>");
}

} // namespace

TEST(KeySlots, RecordsReadByTheirRule)
{
    const struct {
        const char* record;
        std::optional<int> type;
        const char* data;
    } cases[] = {{"|0|17|", 0, "17"},
                 {"|1|http://a.example/?q=1|", 1, "http://a.example/?q=1"},
                 {"|2|/usr/bin/xterm|", 2, "/usr/bin/xterm"},
                 {"|3|", 3, ""},
                 {"|1| spaced |", 1, " spaced "},
                 {"|1|open ended", 1, "open ended"},
                 {"", std::nullopt, ""},
                 {"|7|x|", std::nullopt, ""},
                 {"|a|x|", std::nullopt, ""},
                 {"3", std::nullopt, ""}};
    for (const auto& c : cases) {
        const std::optional<KeySlot> slot = ReadKeySlot(QLatin1String(c.record));
        ASSERT_EQ(slot.has_value(), c.type.has_value()) << c.record;
        if (slot) {
            EXPECT_EQ(slot->type, *c.type) << c.record;
            EXPECT_EQ(slot->data, QLatin1String(c.data)) << c.record;
        }
    }
}

// F3 set to each kind of record through the page, saved to the table and
// the registry, and shown the same by the next window.
TEST_F(References, AKeyRecordOfEveryKindRoundTripsThroughTheWindow)
{
    const struct {
        const char* name;
        std::function<void(References&, frmReferences&)> set;
        const char* record;
        int option;
    } cases[] = {
        {"an action", [](References& t, frmReferences& f) { t.choose(f.KeyBoard_ComboBox[1], QStringLiteral("Open a New Tab")); },
         "|0|4|", 0},
        {"a web site",
         [](References& t, frmReferences& f) { t.clearAndType(f.KeyBoard_TextBox[0], QStringLiteral(" http://k.example/ ")); },
         "|1| http://k.example/ |", 1},
        {"a program",
         [](References& t, frmReferences& f) {
             t.pickerAnswers = {QStringLiteral("/bin/true")};
             t.click(f.cmdButton2[2]);
         },
         "|2|/bin/true|", 2},
        {"nothing", [](References& t, frmReferences& f) { t.tick(f.KeyBoard_Option[3]); }, "|3|", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        frmReferences& f = open();
        page(PageKeyboard);
        choose(f.KeyBoard_ComboBox[0], QStringLiteral("F3"));
        EXPECT_TRUE(f.ApplyEnabled());
        c.set(*this, f);
        EXPECT_TRUE(f.KeyBoard_Option[c.option].value());
        click(f.cmdButton1[2]);
        EXPECT_EQ(options.KeyMap[2], QLatin1String(c.record));
        EXPECT_EQ(keyRecord("F3"), QLatin1String(c.record));
        window->unload();
        window.reset();

        frmReferences& again = open();
        for (int i = 0; i <= 3; ++i)
            EXPECT_FALSE(again.KeyBoard_Option[i].value()) << "no kind before a key is chosen";
        page(PageKeyboard);
        choose(again.KeyBoard_ComboBox[0], QStringLiteral("F3"));
        EXPECT_TRUE(again.KeyBoard_Option[c.option].value());
        if (c.option == 0) {
            EXPECT_EQ(again.KeyBoard_ComboBox[1].text(), QStringLiteral("Open a New Tab"));
        } else if (c.option == 1) {
            EXPECT_EQ(again.KeyBoard_TextBox[0].text(), QStringLiteral(" http://k.example/ "));
        } else if (c.option == 2) {
            EXPECT_EQ(again.KeyBoard_TextBox[1].text(), QStringLiteral("/bin/true"));
        } else {
            EXPECT_EQ(again.KeyBoard_ComboBox[1].listIndex(), -1);
            EXPECT_EQ(again.KeyBoard_TextBox[0].text(), QString());
            EXPECT_EQ(again.KeyBoard_TextBox[1].text(), QString());
        }
        window->unload();
        window.reset();
    }
}

// The page's rules: F5's default shows as Refresh; a kind chosen by its
// text; an edit dropped by choosing another key; records that would not
// read back, or hold no data, are not saved.
TEST_F(References, TheKeyboardPageSavesOnlyTheKeyShownAndOnlyWholeRecords)
{
    options.KeyMap[1] = QStringLiteral("|1|http://f2.example/|");
    frmReferences& f = open();
    page(PageKeyboard);
    EXPECT_EQ(f.KeyBoard_ComboBox[1].listCount(), 18);
    choose(f.KeyBoard_ComboBox[0], QStringLiteral("F5"));
    EXPECT_TRUE(f.KeyBoard_Option[0].value());
    EXPECT_EQ(f.KeyBoard_ComboBox[1].text(), QStringLiteral("Refresh"));

    // F2 edited, then F3 chosen and applied: F3 unchanged and not written,
    // F2 as it was.
    choose(f.KeyBoard_ComboBox[0], QStringLiteral("F2"));
    clearAndType(f.KeyBoard_TextBox[0], QStringLiteral("http://edited.example/"));
    choose(f.KeyBoard_ComboBox[0], QStringLiteral("F3"));
    EXPECT_TRUE(f.KeyBoard_Option[3].value());
    click(f.cmdButton1[2]);
    EXPECT_EQ(options.KeyMap[1], QStringLiteral("|1|http://f2.example/|"));
    EXPECT_EQ(keyRecord("F2"), QStringLiteral("<none>"));
    EXPECT_EQ(keyRecord("F3"), QStringLiteral("<none>"));

    // Typing selects "Open Web Site"; a "|" in it is refused.
    typeInto(f.KeyBoard_TextBox[0], QStringLiteral("http://a|b"));
    EXPECT_TRUE(f.KeyBoard_Option[1].value());
    click(f.cmdButton1[2]);
    EXPECT_EQ(takeMessages(), QStringList{QStringLiteral("The character | can not be used here:\nOpen Web Site")});
    EXPECT_EQ(keyRecord("F3"), QStringLiteral("<none>"));

    // "Defined" without an action, or a cancelled program picker with an
    // emptied box, saves nothing.
    tick(f.KeyBoard_Option[0]);
    f.KeyBoard_ComboBox[1].setListIndex(-1);
    f.KeyBoard_Option[0].setValue(true);
    click(f.cmdButton1[2]);
    EXPECT_EQ(keyRecord("F3"), QStringLiteral("<none>"));
    typeInto(f.KeyBoard_TextBox[1], QStringLiteral("/bin/sh"));
    click(f.cmdButton2[2]); // cancelled
    EXPECT_EQ(f.KeyBoard_TextBox[1].text(), QString());
    EXPECT_TRUE(f.KeyBoard_Option[2].value());
    click(f.cmdButton1[2]);
    EXPECT_EQ(keyRecord("F3"), QStringLiteral("<none>"));
    EXPECT_EQ(options.KeyMap[2], QStringLiteral("|3|"));

    // The current page's address goes into the address box, an empty one
    // too, and Apply is on either way.
    DialogUrl = QString();
    click(f.cmdButton3[2]);
    EXPECT_TRUE(f.ApplyEnabled()) << "even for a blank tab";
    DialogUrl = QStringLiteral("http://current.example/");
    click(f.cmdButton3[2]);
    EXPECT_TRUE(f.KeyBoard_Option[1].value());
    EXPECT_EQ(f.KeyBoard_TextBox[0].text(), DialogUrl);
}

TEST(ProxyFields, WhatEachBoxTakes)
{
    const struct {
        const char* text;
        bool address, port, exceptions;
    } cases[] = {
        {"proxy.example.org", true, false, true},
        {"10.0.0.1", true, false, true},
        {"[::1]", true, false, true},
        {"8080", true, true, true},
        {"65535", true, true, true},
        {"65536", true, false, true},
        {"0", true, false, true},
        {"abc", true, false, true},
        {"my proxy", false, false, true},
        {"a=b", false, false, false},
        {"a;b", false, false, true},
        {"a|b", false, false, false},
        {"http://proxy", false, false, false},
        {"*.local;intranet <local>", false, false, true},
        {"*.example.org:8080", false, false, true},
        {"", false, false, true},
        // Names in any script.
        {"b\u00fccher.example", true, false, true},
        {"\u4f8b\u3048.\u30c6\u30b9\u30c8", true, false, true},
        {"*.b\u00fccher.example:8080; <local>", false, false, true},
        {"b\u00fccher=.example", false, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsProxyAddress(QString::fromUtf8(c.text)), c.address) << c.text;
        EXPECT_EQ(IsProxyPort(QString::fromUtf8(c.text)), c.port) << c.text;
        EXPECT_EQ(IsProxyExceptionList(QString::fromUtf8(c.text)), c.exceptions) << c.text;
    }
}

// A proxy and an exception named in Unicode are taken as typed, stored as
// typed, and handed to the network layer in their ASCII form.
TEST_F(References, UnicodeProxyNamesAreAcceptedAndUsedInTheirAsciiForm)
{
    frmReferences& f = open();
    // Key presses that carry their text, as a keyboard of that language sends them.
    const auto typeText = [this](const Control& box, const QString& text) {
        click(box);
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    };
    page(PageProxy);
    tick(f.Proxy_CheckBox[0]);
    typeText(f.Proxy_TextBox[0], QStringLiteral("proxy.b\u00fccher.example"));
    typeText(f.Proxy_TextBox[1], QStringLiteral("3128"));
    typeText(f.Proxy_TextBox[10], QStringLiteral("b\u00fccher.example;*.m\u00fcnchen.example:8080"));
    click(f.cmdButton1[2]);
    EXPECT_EQ(takeMessages(), QStringList{QStringLiteral("The IE proxy settings was updated successfully")});
    const platform::wininet::ProxyInfo applied = platform::wininet::processProxy();
    EXPECT_EQ(applied.proxyList, QStringLiteral("http=proxy.xn--bcher-kva.example:3128"));
    EXPECT_EQ(applied.bypassList, QStringLiteral("xn--bcher-kva.example *.xn--mnchen-3ya.example:8080"));
    EXPECT_EQ(userSetting(QStringLiteral("Address1"), QStringLiteral("Z5 Browser\\Proxy")), QStringLiteral("proxy.b\u00fccher.example"));
    EXPECT_EQ(userSetting(QStringLiteral("Exception"), QStringLiteral("Z5 Browser\\Proxy")),
              QStringLiteral("b\u00fccher.example;*.m\u00fcnchen.example:8080"));
}

// First use: only "Use a proxy server" can be ticked; ticking it opens the
// page but the four other servers while one server serves all; the values
// are saved in their order and the process takes the lists built from them.
TEST_F(References, TheProxyPageEnablesSavesAndAppliesItsServers)
{
    frmReferences& f = open();
    page(PageProxy);
    const auto enabledBoxes = [&f] {
        QString out;
        for (int i = 0; i <= 10; ++i)
            out += f.Proxy_TextBox[i].enabled() ? QLatin1Char('1') : QLatin1Char('0');
        return out;
    };
    EXPECT_EQ(enabledBoxes(), QStringLiteral("00000000000"));
    EXPECT_EQ(f.Proxy_TextBox[3].backColor(), QColor(214, 223, 247));
    EXPECT_FALSE(f.Proxy_CheckBox[1].enabled());
    EXPECT_FALSE(f.Proxy_Label[7].enabled());
    tick(f.Proxy_CheckBox[0]);
    EXPECT_EQ(enabledBoxes(), QStringLiteral("11111111111"));
    EXPECT_EQ(f.Proxy_TextBox[3].backColor(), QColor(Qt::white));
    tick(f.Proxy_CheckBox[1]);
    EXPECT_EQ(enabledBoxes(), QStringLiteral("11000000001"));
    EXPECT_FALSE(f.Proxy_Label[4].enabled());
    tick(f.Proxy_CheckBox[0]);
    tick(f.Proxy_CheckBox[0]);
    EXPECT_EQ(enabledBoxes(), QStringLiteral("11000000001")) << "the same server still serves all";
    tick(f.Proxy_CheckBox[1]);

    typeInto(f.Proxy_TextBox[0], QStringLiteral("proxy.example.org"));
    typeInto(f.Proxy_TextBox[1], QStringLiteral("3128"));
    typeInto(f.Proxy_TextBox[2], QStringLiteral("secure.example.org"));
    typeInto(f.Proxy_TextBox[3], QStringLiteral("3129"));
    typeInto(f.Proxy_TextBox[4], QStringLiteral("ftp.example.org")); // no port: left out
    typeInto(f.Proxy_TextBox[10], QStringLiteral("a.example;b.example"));
    tick(f.Proxy_CheckBox[2]);
    click(f.cmdButton1[2]);
    EXPECT_EQ(takeMessages(), QStringList{QStringLiteral("The IE proxy settings was updated successfully")})
        << "no page has started the web engine in this process";
    const platform::wininet::ProxyInfo applied = platform::wininet::processProxy();
    EXPECT_TRUE(applied.namedProxy);
    EXPECT_EQ(applied.proxyList, QStringLiteral("https=secure.example.org:3129 http=proxy.example.org:3128"));
    EXPECT_EQ(applied.bypassList, QStringLiteral("a.example b.example <local>"));

    platform::registry::resetCache();
    const auto values = platform::registry::values(platform::registry::Hive::CurrentUser,
                                                   QStringLiteral("Software\\Keldo\\Z5 Browser\\Proxy"));
    ASSERT_TRUE(values);
    QStringList written;
    for (const auto& v : *values)
        written << v.name + QLatin1Char('=') + v.value.text;
    EXPECT_EQ(written, (QStringList{"Check1=1", "Check3=1", "Address1=proxy.example.org", "Address2=secure.example.org",
                                    "Address3=ftp.example.org", "Port1=3128", "Port2=3129", "Exception=a.example;b.example"}))
        << "only the values changed";
}

// A box that holds what its kind does not take is named and nothing is
// saved, on Apply and on OK; boxes that are off, or a page never shown, are
// not checked.
TEST_F(References, AProxyValueThatIsNoServerIsRefusedByName)
{
    saveProxy("Check1", QStringLiteral("1"));
    saveProxy("Check2", QStringLiteral("1"));
    saveProxy("Address2", QStringLiteral("bad address"));
    saveProxy("Port5", QStringLiteral("bad"));
    {
        // Never shown, the page does not stop OK.
        frmReferences& f = open();
        click(f.cmdButton1[0]);
        EXPECT_TRUE(takeMessages().isEmpty());
        EXPECT_FALSE(f.window()->isVisible());
        window->unload();
        window.reset();
    }
    frmReferences& f = open();
    page(PageProxy);
    click(f.cmdButton1[0]);
    EXPECT_TRUE(takeMessages().isEmpty()) << "the bad boxes are off while one server serves all";
    window->unload();
    window.reset();

    const struct {
        int box;
        const char* typed;
        const char* named;
    } cases[] = {{1, "abc", "HTTP - Port"},
                 {0, "my proxy", "HTTP - Proxy address to use"},
                 {10, "a.example; http://b", "Exceptions"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        frmReferences& g = open();
        page(PageProxy);
        clearAndType(g.Proxy_TextBox[c.box], QLatin1String(c.typed));
        const QByteArray before = hiveBytes("HKEY_CURRENT_USER");
        click(g.cmdButton1[2]);
        click(g.cmdButton1[0]);
        const QString expected = QStringLiteral("This proxy setting is not valid, nothing was saved:\n") + QLatin1String(c.named);
        EXPECT_EQ(takeMessages(), (QStringList{expected, expected}));
        EXPECT_TRUE(g.window()->isVisible());
        EXPECT_EQ(hiveBytes("HKEY_CURRENT_USER"), before);
        window->unload();
        window.reset();
    }
}

// The content list: sites shown, passwords never; adding and removing by
// the page's rules; the save replaces the browser's list, its file and code.
TEST_F(References, TheContentPageKeepsPasswordsOffTheScreen)
{
    FilterList = QStringLiteral("|casino|Secret1|ads.example.com||");
    frmReferences& f = open();
    page(PageContent);
    ASSERT_EQ(f.Content_ListView->count(), 2);

    // Protected: the removal password opens for it, not for the other.
    QTreeView* tree = f.Content_ListView->tree();
    const auto chooseRow = [&](int row) {
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(tree->model()->index(row - 1, 0)).center());
    };
    chooseRow(2);
    EXPECT_TRUE(f.cmdButton1[4].enabled());
    EXPECT_FALSE(f.Content_TextBox[2].enabled());
    chooseRow(1);
    EXPECT_TRUE(f.Content_TextBox[2].enabled());
    EXPECT_TRUE(f.Content_Label->enabled());

    click(f.cmdButton1[4]);
    typeInto(f.Content_TextBox[2], QStringLiteral("wrong"));
    click(f.cmdButton1[4]);
    EXPECT_EQ(takeMessages(), (QStringList{QStringLiteral("This is a password-protected-item, please enter password to remove"),
                                           QStringLiteral("Password you entered - does not match")}));
    EXPECT_EQ(f.Content_ListView->count(), 2);

    // Adding: a blank site only enables Apply; a listed one in another case
    // is refused, one with a leading blank is new; "|" never goes in.
    const auto add = [&](const QString& site, const QString& password, bool protect) {
        clearAndType(f.Content_TextBox[0], site);
        if ((f.Content_CheckBox->value() == 1) != protect)
            tick(*f.Content_CheckBox);
        clearAndType(f.Content_TextBox[1], password);
        click(f.cmdButton1[3]);
    };
    add(QStringLiteral("   "), QString(), false);
    add(QStringLiteral("CASINO"), QString(), false);
    add(QStringLiteral(" casino"), QString(), false);
    add(QStringLiteral("a|b"), QString(), false);
    add(QStringLiteral("locked.example"), QStringLiteral("p|w"), true);
    add(QStringLiteral("open.example"), QString(), true);
    add(QStringLiteral("locked.example"), QStringLiteral("Hidden-Word"), true);
    EXPECT_EQ(takeMessages(), (QStringList{QStringLiteral("Item Existed in the list !!!"),
                                           QStringLiteral("The character | can not be used here:\nEnter URL or part of URL:"),
                                           QStringLiteral("The character | can not be used here:\nProtect with password")}));
    EXPECT_EQ(f.Content_TextBox[1].text(), QStringLiteral("Hidden-Word")) << "the boxes keep their text";
    EXPECT_EQ(f.Content_TextBox[1].lineEdit()->displayText(), QStringLiteral("***********"));
    ASSERT_EQ(f.Content_ListView->count(), 5);

    // Nowhere on the screen or to assistive tools is a password shown.
    const QStringList passwords{QStringLiteral("Secret1"), QStringLiteral("Hidden-Word")};
    const QAbstractItemModel* rows = tree->model();
    for (int row = 0; row < rows->rowCount(); ++row) {
        for (int col = 0; col < rows->columnCount(); ++col)
            for (const QString& p : passwords)
                for (const int role : {int(Qt::DisplayRole), int(Qt::ToolTipRole), int(Qt::AccessibleTextRole)})
                    EXPECT_FALSE(rows->index(row, col).data(role).toString().contains(p)) << role;
    }
    for (QWidget* w : f.window()->findChildren<QWidget*>())
        for (const QString& p : passwords) {
            EXPECT_FALSE(w->toolTip().contains(p));
            EXPECT_FALSE(w->accessibleName().contains(p));
            if (QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w)) {
                EXPECT_FALSE(a->text(QAccessible::Value).contains(p)) << w->metaObject()->className();
            }
        }
    const QImage shot = f.window()->grab().toImage();
    EXPECT_TRUE(shot.save(screenshotFolder() + QStringLiteral("/preferences-content-passwords.png")));

    // The right password removes the entry, whatever its case and blanks.
    chooseRow(1);
    clearAndType(f.Content_TextBox[2], QStringLiteral("  secret1 "));
    click(f.cmdButton1[4]);
    EXPECT_TRUE(takeMessages().isEmpty());
    EXPECT_EQ(f.Content_ListView->count(), 4);
    EXPECT_FALSE(f.cmdButton1[4].enabled());
    EXPECT_FALSE(f.Content_TextBox[2].enabled());

    click(f.cmdButton1[2]);
    const QString saved = QStringLiteral("|ads.example.com|| casino||open.example||locked.example|Hidden-Word|");
    EXPECT_EQ(FilterList, saved);
    EXPECT_EQ(CheckFilterData(), FilterDataCheck::Passes);
    FilterList.clear();
    EXPECT_EQ(ReadFilterList(), saved);
}

// A machine hive that cannot be written: the save says 9007, the file and
// its code stay as they were, so the next start still passes its check,
// and the browser's list stays the one they hold.
TEST_F(References, AContentSaveThatCannotBeRecordedLeavesTheOldFileInForce)
{
    FilterList.clear();
    ASSERT_TRUE(SaveContentList(QList<ContentFilterEntry>{{QStringLiteral("old.example"), QString()}}));
    const QByteArray file = testenv::readFile(FilterDataFilePath());
    const QByteArray machine = hiveBytes("HKEY_LOCAL_MACHINE");

    frmReferences& f = open();
    page(PageContent);
    typeInto(f.Content_TextBox[0], QStringLiteral("new.example"));
    click(f.cmdButton1[3]);
    // The hive's writer makes its new file under this name first.
    const QString blocker = reg::storeFolder() + QStringLiteral("/HKEY_LOCAL_MACHINE.hive.tmp-") + QString::number(::getpid());
    ASSERT_TRUE(QDir().mkpath(blocker));
    click(f.cmdButton1[2]);
    QDir().rmdir(blocker);
    EXPECT_EQ(takeMessages(), QStringList{QStringLiteral("Unable to save Content Data")});
    EXPECT_EQ(FilterList, QStringLiteral("|old.example||"));
    EXPECT_EQ(testenv::readFile(FilterDataFilePath()), file);
    EXPECT_EQ(hiveBytes("HKEY_LOCAL_MACHINE"), machine);
    EXPECT_EQ(CheckFilterData(), FilterDataCheck::Passes);
    FilterList.clear();
    EXPECT_EQ(ReadFilterList(), QStringLiteral("|old.example||"));
}

// OK writes the content list only when the window changed it: a list
// another window saved meanwhile stays, file and code.
TEST_F(References, AnUntouchedContentListIsNotWrittenBack)
{
    ASSERT_TRUE(SaveContentList(QList<ContentFilterEntry>{{QStringLiteral("first.example"), QString()}}));
    frmReferences& f = open();
    page(PageContent);
    ASSERT_TRUE(SaveContentList(QList<ContentFilterEntry>{{QStringLiteral("first.example"), QString()},
                                                          {QStringLiteral("other-window.example"), QString()}}));
    const QByteArray file = testenv::readFile(FilterDataFilePath());
    const QByteArray machine = hiveBytes("HKEY_LOCAL_MACHINE");
    click(f.cmdButton1[0]);
    EXPECT_FALSE(f.window()->isVisible());
    EXPECT_TRUE(takeMessages().isEmpty());
    EXPECT_EQ(testenv::readFile(FilterDataFilePath()), file);
    EXPECT_EQ(hiveBytes("HKEY_LOCAL_MACHINE"), machine);
    EXPECT_EQ(ReadFilterList(), QStringLiteral("|first.example||other-window.example||"));
}

// Another window saved a start page, a proxy exception and a content entry
// after this one opened: this window's OK writes only what was changed in
// it, and nothing at all when nothing was.
TEST_F(References, OkWritesOnlyTheValuesChangedInThisWindow)
{
    SaveZ5Setting(HiveCurrentUser, QStringLiteral("STARTPAGE"), QStringLiteral("10||http://before.example/||"));
    for (const bool touched : {false, true}) {
        SCOPED_TRACE(touched ? "one value changed" : "nothing changed");
        frmReferences& f = open();
        const QString other = touched ? QStringLiteral("second") : QStringLiteral("first");
        SaveZ5Setting(HiveCurrentUser, QStringLiteral("STARTPAGE"), QStringLiteral("10||http://") + other + QStringLiteral(".example/||"));
        saveProxy("Exception", other + QStringLiteral(".example"));
        ASSERT_TRUE(SaveContentList(QList<ContentFilterEntry>{{other + QStringLiteral(".example"), QString()}}));
        const QByteArray machine = hiveBytes("HKEY_LOCAL_MACHINE");
        const QByteArray file = testenv::readFile(FilterDataFilePath());
        if (touched) {
            page(PageQuickLaunch);
            clearAndType(f.QuickLaunch_TextBox[2], QStringLiteral("http://search.example/?q="));
        }
        const QByteArray user = hiveBytes("HKEY_CURRENT_USER");
        click(f.cmdButton1[0]);
        EXPECT_FALSE(f.window()->isVisible());
        EXPECT_TRUE(takeMessages().isEmpty());
        EXPECT_EQ(userSetting(QStringLiteral("STARTPAGE")), QStringLiteral("10||http://") + other + QStringLiteral(".example/||"));
        EXPECT_EQ(userSetting(QStringLiteral("Exception"), QStringLiteral("Z5 Browser\\Proxy")), other + QStringLiteral(".example"));
        EXPECT_EQ(testenv::readFile(FilterDataFilePath()), file);
        EXPECT_EQ(hiveBytes("HKEY_LOCAL_MACHINE"), machine);
        if (touched)
            EXPECT_EQ(userSetting(QStringLiteral("DEFAULTSEARCH")), QStringLiteral("http://search.example/?q="));
        else
            EXPECT_EQ(hiveBytes("HKEY_CURRENT_USER"), user) << "an untouched window writes nothing";
        window->unload();
        window.reset();
    }
}

// A settings store that cannot be written: OK tells that the settings
// could not be saved, the window stays open with the user's values, and
// the options in memory stay what the store holds; once the store takes
// them, OK saves them and closes.
TEST_F(References, ASettingsStoreThatCannotBeWrittenIsToldAndKeepsTheWindowOpen)
{
    const MainSettings before = options;
    frmReferences& f = open();
    tick(f.General_CheckBox[2]);
    clearAndType(*f.General_TextBox, QStringLiteral("9"));
    page(PageKeyboard);
    choose(f.KeyBoard_ComboBox[0], QStringLiteral("F3"));
    typeInto(f.KeyBoard_TextBox[0], QStringLiteral("http://f3.example/"));
    page(PageStartPages);
    clearAndType(f.StartPages_TextBox[0], QStringLiteral("http://home.example/"));
    // The hive's writer makes its new file under this name first.
    const QString blocker = reg::storeFolder() + QStringLiteral("/HKEY_CURRENT_USER.hive.tmp-") + QString::number(::getpid());
    ASSERT_TRUE(QDir().mkpath(blocker));
    const QByteArray user = hiveBytes("HKEY_CURRENT_USER");
    click(f.cmdButton1[0]);
    const QStringList shown = takeMessages();
    ASSERT_EQ(shown.size(), 1) << shown.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("The settings could not be saved.\n"))) << shown[0].toStdString();
    EXPECT_TRUE(shown[0].contains(QStringLiteral("HKEY_CURRENT_USER"))) << "the reason: " << shown[0].toStdString();
    EXPECT_TRUE(f.window()->isVisible());
    EXPECT_EQ(f.General_CheckBox[2].value(), 1);
    EXPECT_EQ(f.General_TextBox->text(), QStringLiteral("9"));
    EXPECT_EQ(f.StartPages_TextBox[0].text(), QStringLiteral("http://home.example/"));
    EXPECT_EQ(hiveBytes("HKEY_CURRENT_USER"), user);
    EXPECT_EQ(options.GeneralOptionBytes, before.GeneralOptionBytes);
    EXPECT_EQ(options.UnreachableTimeout, before.UnreachableTimeout);
    EXPECT_EQ(options.KeyMap, before.KeyMap);

    ASSERT_TRUE(QDir().rmdir(blocker));
    click(f.cmdButton1[0]);
    EXPECT_TRUE(takeMessages().isEmpty());
    EXPECT_FALSE(f.window()->isVisible());
    EXPECT_EQ(options.GeneralOptionBytes[OptUseTxtAutoComplete], 1);
    EXPECT_EQ(options.UnreachableTimeout, 9);
    EXPECT_EQ(options.KeyMap[2], QStringLiteral("|1|http://f3.example/|"));
    EXPECT_EQ(userSetting(QStringLiteral("USETXTAUTOCOMPLETE")), QStringLiteral("1"));
    EXPECT_EQ(userSetting(QStringLiteral("UNREACHABLETIMEOUT")), QStringLiteral("9"));
    EXPECT_EQ(userSetting(QStringLiteral("STARTPAGE")), QStringLiteral("10||http://home.example/||"));
    EXPECT_EQ(keyRecord("F3"), QStringLiteral("|1|http://f3.example/|"));
}

// By keys alone: Tab reaches the page list, its arrow keys show every page,
// Tab visits each page's controls as they are laid out (top to bottom, left
// to right) and then OK and Cancel; a box ticked on page 6 is saved with
// Return on OK.
TEST_F(References, EveryPageIsReachedAndSavedByKeysAlone)
{
    frmReferences& f = open();
    const auto focused = [] { return Control::fromWidget(QApplication::focusWidget()); };
    const auto named = [](const Control* c) {
        return c ? (c->index() < 0 ? c->name() : QStringLiteral("%1(%2)").arg(c->name()).arg(c->index())) : QStringLiteral("<none>");
    };
    const auto press = [](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); };
    for (int i = 0; i < 60 && focused() != f.PageList.get(); ++i)
        press(Qt::Key_Tab);
    ASSERT_EQ(focused(), f.PageList.get()) << "Tab never reached the page list (PageList), last at "
                                           << named(focused()).toStdString();

    for (int pageIndex = 0; pageIndex <= 6; ++pageIndex) {
        SCOPED_TRACE(pageIndex);
        ASSERT_EQ(focused(), f.PageList.get()) << named(focused()).toStdString();
        if (pageIndex > 0)
            press(Qt::Key_Down);
        ASSERT_EQ(f.CurrentPage, pageIndex);
        ASSERT_TRUE(f.Frame[pageIndex].widget()->isVisible());
        if (pageIndex == PageKeyboard) { // the page list marks its current page while it has the focus
            EXPECT_TRUE(f.window()->grab().save(screenshotFolder() + QStringLiteral("/preferences-page-list-focus.png")));
        }
        QStringList order;
        std::vector<const Control*> stops;
        for (int i = 0; i < 40; ++i) {
            press(Qt::Key_Tab);
            if (focused() == f.PageList.get())
                break;
            order << named(focused());
            stops.push_back(focused());
        }
        ASSERT_EQ(focused(), f.PageList.get()) << "Tab did not come back to the page list: " << order.join(QStringLiteral(", ")).toStdString();
        ASSERT_GE(order.size(), 3) << order.join(QStringLiteral(", ")).toStdString();
        // OK and Cancel end the round, and Apply when it is on (Clean Up).
        QStringList row{QStringLiteral("cmdButton1(0)"), QStringLiteral("cmdButton1(1)")};
        if (f.ApplyEnabled())
            row << QStringLiteral("cmdButton1(2)");
        EXPECT_EQ(order.mid(order.size() - row.size()), row) << order.join(QStringLiteral(", ")).toStdString();
        stops.resize(stops.size() - static_cast<size_t>(row.size()) + 2);
        // Each stop of the page lies below the one before, or beside it to the right.
        for (size_t i = 1; i + 2 < stops.size(); ++i) {
            const QRect a(stops[i - 1]->widget()->mapTo(f.window(), QPoint()), stops[i - 1]->widget()->size());
            const QRect b(stops[i]->widget()->mapTo(f.window(), QPoint()), stops[i]->widget()->size());
            EXPECT_TRUE(b.top() >= a.bottom() - 4 || (b.top() < a.bottom() && b.left() > a.left()))
                << named(stops[i]).toStdString() << " after " << named(stops[i - 1]).toStdString() << ": "
                << order.join(QStringLiteral(", ")).toStdString();
        }
        const auto before = [&order](const char* first, const char* second) {
            return order.indexOf(QLatin1String(first)) >= 0 && order.indexOf(QLatin1String(first)) < order.indexOf(QLatin1String(second));
        };
        if (pageIndex == PageKeyboard) {
            EXPECT_TRUE(before("KeyBoard_ComboBox(0)", "cmdButton3(2)")) << order.join(QStringLiteral(", ")).toStdString();
        }
        if (pageIndex == PageContent) {
            EXPECT_TRUE(before("Content_TextBox(0)", "cmdButton1(3)")) << order.join(QStringLiteral(", ")).toStdString();
        }
    }

    // Page 6: its first box ticked by Space, then Tab to OK and Return.
    press(Qt::Key_Tab);
    ASSERT_EQ(focused(), &f.Cleanup_CheckBox[0]) << named(focused()).toStdString();
    press(Qt::Key_Space);
    EXPECT_EQ(f.Cleanup_CheckBox[0].value(), 1);
    for (int i = 0; i < 20 && focused() != &f.cmdButton1[0]; ++i)
        press(Qt::Key_Tab);
    ASSERT_EQ(focused(), &f.cmdButton1[0]) << "Tab never reached OK (cmdButton1(0))";
    press(Qt::Key_Return);
    EXPECT_TRUE(testenv::waitFor([&] { return !f.window()->isVisible(); }));
    EXPECT_EQ(userSetting(QStringLiteral("OPT_CLEANUP")), QStringLiteral("100000"));
}

// The messages of the pages as the user sees them.
TEST_F(References, MessagesOfThePagesShowAsSkinnedBoxes)
{
    // Messages show for real here; each one is pictured and closed.
    const QStringList keys{"9006", "9008", "9009", "9010", "9011"};
    QStringList shots;
    platform::prompt::setResponder({});
    QTimer closer;
    closer.setInterval(50);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto* box = platform::forms::Form::fromWidget(QApplication::activeModalWidget());
        if (!box || box == window.get() || !box->isVisible() || !QTest::qWaitForWindowExposed(box->window(), 1000))
            return;
        QTest::qWait(100);
        const QString name = QStringLiteral("preferences-message-%1.png").arg(keys.value(shots.size(), QStringLiteral("extra")));
        box->window()->grab().save(screenshotFolder() + QLatin1Char('/') + name);
        shots << name;
        box->hide();
    });
    closer.start();

    FilterList = QStringLiteral("|locked.example|pw|");
    frmReferences& f = open();
    clearAndType(*f.General_TextBox, QStringLiteral("abc"));
    click(f.cmdButton1[2]); // 9006
    page(PageContent);
    typeInto(f.Content_TextBox[0], QStringLiteral("LOCKED.example"));
    click(f.cmdButton1[3]); // 9008
    QTreeView* tree = f.Content_ListView->tree();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(tree->model()->index(0, 0)).center());
    click(f.cmdButton1[4]); // 9009
    typeInto(f.Content_TextBox[2], QStringLiteral("nope"));
    click(f.cmdButton1[4]); // 9010
    page(PageProxy);
    click(f.cmdButton1[2]); // 9011
    EXPECT_EQ(shots.size(), keys.size());
}
