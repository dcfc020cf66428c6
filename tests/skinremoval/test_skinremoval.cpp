// The skin removal tool in a fresh home: a program folder of its own with
// the shipped skin, the test skin and the libraries a removal meets, driven
// through its window with real clicks and keys.

#include "platform/base/com.h"
#include "platform/base/paths.h"
#include "platform/base/registry.h"
#include "platform/win/twips.h"
#include "skinremoval/frmremoval.h"
#include "skinremoval/module1.h"

#include "testenv.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>

namespace com = platform::com;
namespace reg = platform::registry;
using platform::forms::Control;

namespace {

const QString kStage = QStringLiteral(Z5_STAGE_DIR);
const QString kSettings = QStringLiteral("Software\\Keldo\\Z5 Browser");
const QString kMorvaneProgId = QStringLiteral("SK_Morvane_1.clsResources");
const QString kBlueSkyProgId = QStringLiteral("SK_Blue_Sky.clsResources");
const QString kGoesAwayProgId = QStringLiteral("SK_Goes_Away.clsResources");

const QString kPrompt = QStringLiteral("Select Skin from the List");
const QString kUnable = QStringLiteral("Unable to remove Skin");
const QString kInUse = QStringLiteral("Can not remove Default Skin");

QString testLibrary(const char* name)
{
    return QStringLiteral(TEST_SKIN_DIR "/") + QLatin1String(name);
}

QPoint inWindow(const Control& c, QPoint local)
{
    return c.widget()->mapTo(c.widget()->window(), local);
}

QPoint centreOf(const Control& c)
{
    return inWindow(c, c.widget()->rect().center());
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

class SkinRemoval : public ::testing::Test {
protected:
    void SetUp() override
    {
        prog = testenv::freshDir(QStringLiteral("Z5"));
        skin = prog + QStringLiteral("/Skin");
        QDir().mkpath(skin);
        testenv::copyTree(kStage + QStringLiteral("/Language"), prog + QStringLiteral("/Language"));
        // The program folder's libraries, which its skins find beside their folder.
        for (const QString& f : QDir(kStage).entryList({QStringLiteral("*.so")}, QDir::Files))
            QFile::link(kStage + QLatin1Char('/') + f, prog + QLatin1Char('/') + f);
        reg::writeValue(reg::Hive::LocalMachine, kSettings, QStringLiteral("Z5_APPLICATIONPATH"),
                        reg::Value::string(platform::paths::toProduct(prog)));
    }

    void TearDown() override
    {
        RemovalWindow.reset();
        platform::forms::setTwipsPerPixel(0, 0);
    }

    // Puts a library into the skin folder under its name and, when asked,
    // registers it as the installer does.
    void install(const QString& library, const QString& asName, bool registerIt)
    {
        const QString target = skin + QLatin1Char('/') + asName;
        ASSERT_TRUE(QFile::copy(library, target)) << asName.toStdString();
        if (registerIt)
            regsvr(target);
    }

    static void regsvr(const QString& library)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(QStringLiteral(Z5_BIN_DIR "/regsvr"), {library});
        ASSERT_TRUE(p.waitForFinished(30000));
        ASSERT_EQ(p.exitCode(), 0) << library.toStdString();
    }

    void installShippedAndTestSkin()
    {
        install(kStage + QStringLiteral("/Skin/SK_Morvane_1.dll"), QStringLiteral("SK_Morvane_1.dll"), true);
        install(QStringLiteral(TEST_SKINS_DIR "/SK_Blue_Sky.dll"), QStringLiteral("SK_Blue_Sky.dll"), true);
    }

    void setUserSetting(const QString& name, const QString& value)
    {
        reg::writeValue(reg::Hive::CurrentUser, kSettings, name, reg::Value::string(value));
    }

    // Starts the tool as its program does and waits for its window.
    frmRemoval& open()
    {
        RemovalMain();
        frmRemoval& w = *RemovalWindow;
        EXPECT_TRUE(QTest::qWaitForWindowActive(w.window(), 5000));
        return w;
    }

    QWindow* handle() const { return RemovalWindow->window()->windowHandle(); }

    void click(const Control& c)
    {
        QTest::mouseMove(handle(), centreOf(c));
        QTest::mouseClick(handle(), Qt::LeftButton, {}, centreOf(c));
    }

    // Drops the list down with its arrow and clicks the entry.
    void choose(const QString& name)
    {
        frmRemoval& w = *RemovalWindow;
        const QWidget* field = w.ComboBox.widget();
        QTest::mouseClick(handle(), Qt::LeftButton, {}, inWindow(w.ComboBox, {field->width() - 6, field->height() / 2}));
        auto* view = qobject_cast<QAbstractItemView*>(w.ComboBox.listView());
        ASSERT_NE(view, nullptr);
        ASSERT_TRUE(testenv::waitFor([&] { return view->isVisible(); })) << "the list did not drop down";
        int row = -1;
        for (int i = 0; i < w.ComboBox.listCount(); ++i)
            if (w.ComboBox.list(i) == name)
                row = i;
        ASSERT_GE(row, 0) << name.toStdString() << " is not listed";
        const QRect r = view->visualRect(view->model()->index(row, 0));
        // A release right after the list opened belongs to the opening click.
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QTest::mouseMove(view->viewport(), r.center());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
        ASSERT_TRUE(testenv::waitFor([&] { return !view->isVisible(); }));
        ASSERT_EQ(w.ComboBox.text(), name);
    }

    // Types text into the list's field in place of what it held.
    void type(const QString& text)
    {
        frmRemoval& w = *RemovalWindow;
        QTest::mouseClick(handle(), Qt::LeftButton, {}, inWindow(w.ComboBox, {8, w.ComboBox.widget()->height() / 2}));
        QTest::keyClick(handle(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(handle(), Qt::Key_Delete);
        QTest::keyClicks(QApplication::focusWidget(), text);
        ASSERT_EQ(w.ComboBox.text(), text);
    }

    void clickRemove() { click(RemovalWindow->cmdButton1[0]); }

    QString messageLine() const { return RemovalWindow->Label[2].caption(); }

    QStringList listed() const
    {
        QStringList out;
        for (int i = 0; i < RemovalWindow->ComboBox.listCount(); ++i)
            out << RemovalWindow->ComboBox.list(i);
        return out;
    }

    bool inSkinFolder(const QString& file) const { return QFileInfo::exists(skin + QLatin1Char('/') + file); }

    static QString registeredLibrary(const QString& progId)
    {
        reg::resetCache();
        return com::serverLibraryOf(com::classIdOf(progId));
    }

    QString prog, skin;
};

} // namespace

TEST(SkinNames, FileNamesMapToListedNamesAndBack)
{
    const struct {
        const char* file;
        const char* name;
    } cases[] = {
        {"SK_Morvane_1.dll", "Morvane 1"},
        {"SK_Blue_Sky.dll", "Blue Sky"},
        {"SK_A__B.dll", "A  B"},
        {"SK_.dll", ""},
        {"SK__Edge_.dll", " Edge "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SkinNameOfFile(QString::fromUtf8(c.file)), QString::fromUtf8(c.name)) << c.file;
        EXPECT_EQ(SkinFileOfName(QString::fromUtf8(c.name)), QString::fromUtf8(c.file)) << c.file;
    }
}

TEST_F(SkinRemoval, TheListShowsEverySkinLibraryOfTheFolder)
{
    for (const char* f : {"SK_Morvane_1.dll", "SK_A__B.dll", "SK_.dll", "SK_a_b.dll", "sk_lower.DLL"})
        testenv::writeFile(skin + QLatin1Char('/') + QLatin1String(f), "x");
    // Not skin libraries: another name, another extension, a folder.
    testenv::writeFile(skin + QStringLiteral("/Morvane.dll"), "x");
    testenv::writeFile(skin + QStringLiteral("/SK_Notes.txt"), "x");
    testenv::writeFile(skin + QStringLiteral("/DeletedSKin"), "x");
    QDir().mkpath(skin + QStringLiteral("/SK_Folder.dll"));

    frmRemoval& w = open();
    EXPECT_EQ(sorted(listed()), sorted({"Morvane 1", "A  B", "", "a b", "lower"}));
    EXPECT_EQ(w.ComboBox.text(), QString());
    EXPECT_EQ(messageLine(), kPrompt);
}

TEST_F(SkinRemoval, RemovingTheTestSkinWithClicksUnregistersAndDeletesIt)
{
    installShippedAndTestSkin();
    ASSERT_FALSE(registeredLibrary(kBlueSkyProgId).isEmpty());
    frmRemoval& w = open();
    ASSERT_EQ(sorted(listed()), sorted({"Morvane 1", "Blue Sky"}));

    choose(QStringLiteral("Blue Sky"));
    EXPECT_EQ(messageLine(), QString()) << "a choice empties the message line";
    clickRemove();

    EXPECT_EQ(messageLine(), kPrompt);
    EXPECT_EQ(listed(), QStringList{"Morvane 1"});
    EXPECT_FALSE(inSkinFolder(QStringLiteral("SK_Blue_Sky.dll")));
    EXPECT_FALSE(inSkinFolder(QStringLiteral("DeletedSKin")));
    EXPECT_TRUE(registeredLibrary(kBlueSkyProgId).isEmpty());
    EXPECT_FALSE(reg::keyExists(reg::Hive::ClassesRoot, kBlueSkyProgId));
    EXPECT_EQ(QFileInfo(registeredLibrary(kMorvaneProgId)).canonicalFilePath(),
              QFileInfo(skin + QStringLiteral("/SK_Morvane_1.dll")).canonicalFilePath());
    EXPECT_TRUE(w.isVisible()) << "the window stays for the next removal";

    // The browser still starts: its start-up finds its skin and binds it.
    testenv::copyTree(kStage + QStringLiteral("/Common"), prog + QStringLiteral("/Common"));
    ASSERT_TRUE(QFile::copy(kStage + QStringLiteral("/Z51.DAT"), prog + QStringLiteral("/Z51.DAT")));
    ASSERT_TRUE(QFile::copy(prog + QStringLiteral("/Common/MICROSS.TTF"),
                            platform::paths::fontsFolder() + QStringLiteral("/MICROSS.TTF")));
    const QString work = testenv::freshDir(QStringLiteral("work"));
    QProcess browser;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PLATFORM_PROGRAM_DIR"), prog);
    env.insert(QStringLiteral("PLATFORM_PROMPT_LOG"), work + QStringLiteral("/prompts.txt"));
    env.insert(QStringLiteral("PLATFORM_SHOT_FILE"), work + QStringLiteral("/browser.png"));
    env.insert(QStringLiteral("PLATFORM_EXIT_AFTER_SHOT"), QStringLiteral("1"));
    browser.setProcessEnvironment(env);
    browser.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    browser.start(kStage + QStringLiteral("/Z5.exe"), {});
    ASSERT_TRUE(browser.waitForFinished(60000));
    EXPECT_EQ(browser.exitCode(), 0);
    EXPECT_TRUE(QFile::exists(work + QStringLiteral("/browser.png"))) << "the browser showed no window";
    EXPECT_EQ(testenv::readFile(work + QStringLiteral("/prompts.txt")), QByteArray()) << "the browser complained";
}

TEST_F(SkinRemoval, TheSkinInUseIsNeverRemoved)
{
    // Another file name of the library in use, made before the tool starts.
    enum class Alias { None, RegisteredCopy, SymbolicLink, Copy, HardLink };
    const QString kPattern = QStringLiteral("A skin name can not hold * or ?");
    const struct {
        const char* skinSetting;
        const char* typed;
        const char* alias;
        Alias how;
        QString message;
    } cases[] = {
        {"Morvane 1", "Morvane 1", nullptr, Alias::None, kInUse},
        {"Morvane 1", "   Morvane 1  ", nullptr, Alias::None, kInUse},
        {"Morvane 1", "morvane 1", nullptr, Alias::None, kInUse},
        {"morvane 1", "Morvane 1", nullptr, Alias::None, kInUse},
        {"MORVANE 1", "morvane 1", nullptr, Alias::None, kInUse},
        {"Morvane 1", "*", nullptr, Alias::None, kPattern},
        {"Morvane 1", "?orvane 1", nullptr, Alias::None, kPattern},
        {"Morvane 1", "Mor*", nullptr, Alias::None, kPattern},
        {"Blue Sky", "*", nullptr, Alias::None, kPattern},
        // The browser binds the library registered for its ProgID.
        {"Morvane 1", "Spare", "SK_Spare.dll", Alias::RegisteredCopy, kInUse},
        // A link to the library in use.
        {"Morvane 1", "Alias", "SK_Alias.dll", Alias::SymbolicLink, kInUse},
        // A copy or a second name of it would unregister the class the browser binds.
        {"Morvane 1", "Morvane Backup", "SK_Morvane_Backup.dll", Alias::Copy, kInUse},
        {"Morvane 1", "Hard", "SK_Hard.dll", Alias::HardLink, kInUse},
    };
    installShippedAndTestSkin();
    const QString morvane = skin + QStringLiteral("/SK_Morvane_1.dll");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.skinSetting) + " / '" + c.typed + "'");
        setUserSetting(QStringLiteral("Z5_SKINNAME"), QString::fromUtf8(c.skinSetting));
        QString alias;
        if (c.alias) {
            alias = skin + QLatin1Char('/') + QLatin1String(c.alias);
            switch (c.how) {
            case Alias::RegisteredCopy: install(morvane, QLatin1String(c.alias), true); break;
            case Alias::Copy: install(morvane, QLatin1String(c.alias), false); break;
            case Alias::SymbolicLink: ASSERT_TRUE(QFile::link(morvane, alias)); break;
            case Alias::HardLink:
                ASSERT_EQ(::link(QFile::encodeName(morvane).constData(), QFile::encodeName(alias).constData()), 0);
                break;
            case Alias::None: break;
            }
        }
        const QString registeredBefore = registeredLibrary(kMorvaneProgId);
        const QStringList filesBefore = QDir(skin).entryList(QDir::Files | QDir::System);

        open();
        type(QString::fromUtf8(c.typed));
        clickRemove();

        EXPECT_EQ(messageLine(), c.message);
        EXPECT_EQ(QDir(skin).entryList(QDir::Files | QDir::System), filesBefore);
        EXPECT_EQ(registeredLibrary(kMorvaneProgId), registeredBefore);
        EXPECT_FALSE(registeredLibrary(kBlueSkyProgId).isEmpty());

        RemovalWindow.reset();
        if (c.alias) {
            if (c.how == Alias::RegisteredCopy)
                regsvr(morvane);
            QFile::remove(alias);
        }
    }
}

TEST_F(SkinRemoval, EachOutcomeOfTheUnregistrationShowsItsMessage)
{
    const struct {
        const char* file;
        QString library; // "" for a file that is no library
        const char* message;
        bool removed;
    } cases[] = {
        {"SK_Goes_Away.dll", testLibrary("SK_Goes_Away.dll"), "Select Skin from the List", true},
        {"SK_Says_No.dll", testLibrary("SK_Says_No.dll"), "Select Skin from the List", true},
        {"SK_Not_A_Library.dll", QString(), "Unable to remove Skin", false},
        {"SK_No_Entry.dll", testLibrary("SK_No_Entry.dll"), "Unable to remove Skin", false},
    };
    installShippedAndTestSkin();
    for (const auto& c : cases) {
        if (c.library.isEmpty())
            testenv::writeFile(skin + QLatin1Char('/') + QLatin1String(c.file), "not a library");
        else
            install(c.library, QLatin1String(c.file), QLatin1String(c.file) == QLatin1String("SK_Goes_Away.dll"));
    }
    ASSERT_FALSE(registeredLibrary(kGoesAwayProgId).isEmpty());
    open();
    for (const auto& c : cases) {
        const QString name = SkinNameOfFile(QLatin1String(c.file));
        SCOPED_TRACE(name.toStdString());
        choose(name);
        clickRemove();
        EXPECT_EQ(messageLine(), QLatin1String(c.message));
        EXPECT_EQ(inSkinFolder(QLatin1String(c.file)), !c.removed);
        EXPECT_EQ(listed().contains(name), !c.removed) << "the list is filled again";
    }
    EXPECT_TRUE(registeredLibrary(kGoesAwayProgId).isEmpty());
    EXPECT_FALSE(inSkinFolder(QStringLiteral("DeletedSKin")));
    EXPECT_FALSE(registeredLibrary(kMorvaneProgId).isEmpty());
    EXPECT_FALSE(registeredLibrary(kBlueSkyProgId).isEmpty());
}

TEST_F(SkinRemoval, AnUnregistrationThatNeverEndsIsGivenUpAfterTenSeconds)
{
    installShippedAndTestSkin();
    install(testLibrary("SK_Never_Ends.dll"), QStringLiteral("SK_Never_Ends.dll"), false);
    frmRemoval& w = open();
    choose(QStringLiteral("Never Ends"));
    QElapsedTimer clock;
    clock.start();
    clickRemove();
    const qint64 waited = clock.elapsed();
    EXPECT_GE(waited, 10000);
    // Given up after its wait, as the library's own count tells: it beats
    // once per 20 ms at most, so a wait much longer than 10 s would have let
    // it count well past 700 (load only makes it count less).
    void* handle = dlopen(QFile::encodeName(skin + QStringLiteral("/SK_Never_Ends.dll")).constData(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(handle, nullptr);
    auto beats = reinterpret_cast<int64_t (*)()>(dlsym(handle, "testSkinBeats"));
    ASSERT_NE(beats, nullptr);
    EXPECT_LT(beats(), 700);
    dlclose(handle);
    EXPECT_EQ(messageLine(), kUnable);
    EXPECT_TRUE(inSkinFolder(QStringLiteral("SK_Never_Ends.dll")));
    EXPECT_EQ(sorted(listed()), sorted({"Morvane 1", "Blue Sky", "Never Ends"}));

    // The window goes on working: the test skin is still removed.
    ASSERT_TRUE(w.isVisible());
    choose(QStringLiteral("Blue Sky"));
    clickRemove();
    EXPECT_EQ(messageLine(), kPrompt);
    EXPECT_FALSE(inSkinFolder(QStringLiteral("SK_Blue_Sky.dll")));
}

TEST(WaitedRegistration, AnEntryPointLeftRunningKeepsItsLibraryLoaded)
{
    const QString hangs = testLibrary("SK_Never_Ends.dll");
    QElapsedTimer clock;
    clock.start();
    const auto r = com::runServerEntryWaiting(hangs, com::RegistrationEntry::Unregister, std::chrono::milliseconds(300));
    EXPECT_EQ(r.status, com::RegistrationStatus::TimedOut);
    EXPECT_GE(clock.elapsed(), 300);

    // Its thread still runs inside the library, which was never closed.
    void* handle = dlopen(QFile::encodeName(hangs).constData(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(handle, nullptr) << "the library was unloaded under its running thread";
    auto beats = reinterpret_cast<int64_t (*)()>(dlsym(handle, "testSkinBeats"));
    ASSERT_NE(beats, nullptr);
    const int64_t before = beats();
    EXPECT_TRUE(testenv::waitFor([&] { return beats() > before + 2; }, 5000));
    dlclose(handle);

    // The other outcomes, waited for on their thread.
    const struct {
        QString library;
        com::RegistrationEntry entry;
        com::RegistrationStatus status;
        int32_t code;
    } cases[] = {
        {testLibrary("SK_Says_No.dll"), com::RegistrationEntry::Unregister, com::RegistrationStatus::Failed,
         com::RegistrationFailed},
        {testLibrary("SK_Goes_Away.dll"), com::RegistrationEntry::Register, com::RegistrationStatus::Done, com::Ok},
        {testLibrary("SK_Goes_Away.dll"), com::RegistrationEntry::Unregister, com::RegistrationStatus::Done, com::Ok},
        {testLibrary("SK_No_Entry.dll"), com::RegistrationEntry::Register, com::RegistrationStatus::NoEntryPoint, 0},
        {testLibrary("missing.dll"), com::RegistrationEntry::Unregister, com::RegistrationStatus::NotLoaded, 0},
    };
    for (const auto& c : cases) {
        const auto o = com::runServerEntryWaiting(c.library, c.entry, std::chrono::milliseconds(5000));
        EXPECT_EQ(o.status, c.status) << c.library.toStdString();
        EXPECT_EQ(o.code, c.code) << c.library.toStdString();
    }
}

TEST(CallDllRegistration, ModesAndResultCodes)
{
    const struct {
        QString path;
        int32_t mode;
        int16_t result;
    } cases[] = {
        {testLibrary("SK_Goes_Away.dll"), 1, RegistrationRan},
        {testLibrary("SK_Goes_Away.dll"), 2, RegistrationRan},
        {testLibrary("SK_Says_No.dll"), 2, RegistrationRan},
        {testLibrary("SK_No_Entry.dll"), 2, RegistrationNoEntry},
        {testLibrary("SK_Goes_Away.dll"), 3, RegistrationNoEntry},
        {testLibrary("SK_Goes_Away.dll"), 0, RegistrationNoEntry},
        {testLibrary("missing.dll"), 2, RegistrationNotLoaded},
        {QStringLiteral(TEST_SKIN_DIR), 2, RegistrationNotLoaded},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CallDllRegistration(c.path, c.mode), c.result) << c.path.toStdString() << " mode " << c.mode;
    reg::resetCache();
    EXPECT_TRUE(com::classIdOf(kGoesAwayProgId).isEmpty()) << "mode 2 ran after mode 1";
}

TEST_F(SkinRemoval, NothingHappensForAnEmptyNameOrAFileThatWentAway)
{
    installShippedAndTestSkin();
    install(testLibrary("SK_Goes_Away.dll"), QStringLiteral("SK_Goes_Away.dll"), true);
    open();

    type(QStringLiteral("   "));
    clickRemove();
    EXPECT_EQ(messageLine(), kPrompt);

    choose(QStringLiteral("Goes Away"));
    ASSERT_TRUE(QFile::remove(skin + QStringLiteral("/SK_Goes_Away.dll")));
    clickRemove();
    EXPECT_EQ(messageLine(), QString()) << "no message for a file that went away";
    EXPECT_TRUE(listed().contains(QStringLiteral("Goes Away"))) << "and no refill";
    EXPECT_FALSE(registeredLibrary(kGoesAwayProgId).isEmpty()) << "nothing was unregistered";
    EXPECT_TRUE(inSkinFolder(QStringLiteral("SK_Morvane_1.dll")));
    EXPECT_TRUE(inSkinFolder(QStringLiteral("SK_Blue_Sky.dll")));
}

TEST_F(SkinRemoval, TheDeletedNameIsClearedFirstAndALibraryThatCannotMoveIsReported)
{
    installShippedAndTestSkin();
    install(testLibrary("SK_Goes_Away.dll"), QStringLiteral("SK_Goes_Away.dll"), true);
    const QString deleted = skin + QStringLiteral("/DeletedSKin");

    // A leftover of an earlier removal goes before the next library takes its name.
    testenv::writeFile(deleted, "leftover");
    open();
    choose(QStringLiteral("Goes Away"));
    clickRemove();
    EXPECT_EQ(messageLine(), kPrompt);
    EXPECT_FALSE(QFileInfo::exists(deleted));
    EXPECT_FALSE(inSkinFolder(QStringLiteral("SK_Goes_Away.dll")));

    // A library that cannot take the name is never claimed removed, and
    // keeps its registration: nothing is unregistered that cannot go.
    QDir().mkpath(deleted);
    testenv::writeFile(deleted + QStringLiteral("/held"), "x");
    choose(QStringLiteral("Blue Sky"));
    clickRemove();
    EXPECT_EQ(messageLine(), kUnable);
    EXPECT_TRUE(inSkinFolder(QStringLiteral("SK_Blue_Sky.dll")));
    EXPECT_TRUE(listed().contains(QStringLiteral("Blue Sky")));
    EXPECT_FALSE(registeredLibrary(kBlueSkyProgId).isEmpty());
}

TEST_F(SkinRemoval, TheWindowAtEachScaleWithItsTexts)
{
    const struct {
        int twipsPerPixel;
        double buttonWidth;
        double buttonHeight;
    } cases[] = {
        {15, 1500, 345},
        {12, 1200, 276},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.twipsPerPixel);
        platform::forms::setTwipsPerPixel(c.twipsPerPixel, c.twipsPerPixel);
        frmRemoval& w = open();
        EXPECT_FLOAT_EQ(RemovalScale, float(c.twipsPerPixel) / 15.0f);
        EXPECT_EQ(w.scaleWidth(), 5910);
        EXPECT_EQ(w.scaleHeight(), 2160);
        for (int i = 0; i <= 1; ++i) {
            const auto& b = w.cmdButton1[i];
            EXPECT_DOUBLE_EQ(b.width(), c.buttonWidth);
            EXPECT_DOUBLE_EQ(b.height(), c.buttonHeight);
            EXPECT_DOUBLE_EQ(b.left(), 5910 - c.buttonWidth - 240);
            // 100 x 23 pixels: the button is its bitmap.
            EXPECT_EQ(b.widget()->size(), QSize(100, 23));
            const auto& cap = w.cmdCaption[i];
            EXPECT_DOUBLE_EQ(cap.left(), (b.width() - cap.width()) / 2);
            EXPECT_DOUBLE_EQ(cap.top(), (w.cmdButton1[0].height() - w.cmdCaption[0].height()) / 2 - 15);
        }
        EXPECT_EQ(w.cmdButton1[0].top(), 960);
        EXPECT_EQ(w.cmdButton1[1].top(), 1725);
        EXPECT_EQ(w.ComboBox.width(), 3855) << "only the buttons are scaled";
        RemovalWindow.reset();
    }
    platform::forms::setTwipsPerPixel(0, 0);

    // The texts come from the browser's language file, or their English defaults.
    frmRemoval& english = open();
    EXPECT_EQ(english.cmdCaption[0].caption(), QStringLiteral("Remove"));
    EXPECT_EQ(english.cmdCaption[1].caption(), QStringLiteral("Close"));
    EXPECT_EQ(english.Label[1].caption(), QStringLiteral("Remove Skin"));
    EXPECT_EQ(english.caption(), QStringLiteral(" "));
    RemovalWindow.reset();

    testenv::writeFile(prog + QStringLiteral("/Language/Test.ini"),
                       "[BUTTON]\r\n4106=Entfernen\r\n[EXTERNAL]\r\n9605=Skin entfernen\r\n9606=Skin aus der Liste wählen\r\n");
    setUserSetting(QStringLiteral("Z5_LANGUAGE"), QStringLiteral("Test"));
    frmRemoval& test = open();
    EXPECT_EQ(test.cmdCaption[0].caption(), QStringLiteral("Entfernen"));
    EXPECT_EQ(test.cmdCaption[1].caption(), QStringLiteral("Close"));
    EXPECT_EQ(test.Label[1].caption(), QStringLiteral("Skin entfernen"));
    EXPECT_EQ(messageLine(), QStringLiteral("Skin aus der Liste wählen"));
}

TEST_F(SkinRemoval, RemoveHasTheFocusFirstAndCloseEndsTheTool)
{
    installShippedAndTestSkin();
    frmRemoval& w = open();
    EXPECT_TRUE(w.cmdButton1[0].hasFocus());
    QTest::keyClick(handle(), Qt::Key_Tab);
    EXPECT_TRUE(w.cmdButton1[1].hasFocus());
    QTest::keyClick(handle(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget()->window(), w.window());
    EXPECT_TRUE(w.ComboBox.widget()->isAncestorOf(QApplication::focusWidget())
                || QApplication::focusWidget() == w.ComboBox.widget());

    click(w.cmdButton1[1]);
    EXPECT_FALSE(w.loaded());
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(inSkinFolder(QStringLiteral("SK_Blue_Sky.dll")));
}

TEST_F(SkinRemoval, TheProgramRunsFromItsToolFolder)
{
    installShippedAndTestSkin();
    const QString work = testenv::freshDir(QStringLiteral("work"));
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PLATFORM_SHOT_FILE"), work + QStringLiteral("/removal.png"));
    env.insert(QStringLiteral("PLATFORM_EXIT_AFTER_SHOT"), QStringLiteral("1"));
    tool.setProcessEnvironment(env);
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tool.start(kStage + QStringLiteral("/Tool/Z5SkinRemoval.exe"), {});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 0);
    const QImage shot(work + QStringLiteral("/removal.png"));
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.size(), QSize(5910 / 15, 2160 / 15));
    QString keep = qEnvironmentVariable("Z5_SCREENSHOT_DIR");
    if (keep.isEmpty())
        keep = QStringLiteral(Z5_BINARY_DIR "/screenshots");
    QDir().mkpath(keep);
    EXPECT_TRUE(shot.save(keep + QStringLiteral("/skin-removal.png")));
}
