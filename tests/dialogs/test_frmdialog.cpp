// The input dialog in its five modes: what each answer leaves in the
// exchange values, what is refused, the web-folder page, and the dialog as
// it looks.

#include "core/globals.h"
#include "core/shellnames.h"
#include "dialogs/frmdialog.h"
#include "platform/base/paths.h"
#include "platform/win/listrows.h"
#include "platform/win/prompt.h"

#include "recordingservices.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineSettings>

#include <gtest/gtest.h>

#include <memory>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

class InputDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        LanguageFilePath = QStringLiteral(Z5_SOURCE_DIR "/data/Language/English.ini");
        DialogCancelled = 0;
        DialogUrl.clear();
        for (QString& s : DialogStrings)
            s.clear();
        fakes.listItems[5] = &linkRows;
        platform::prompt::setResponder([this](const platform::prompt::Prompt& p) -> std::optional<platform::prompt::Answer> {
            if (p.kind != QLatin1String("message"))
                return std::nullopt;
            messages << p.text;
            return platform::prompt::Answer{true, messageAnswer, {}};
        });
    }
    void TearDown() override { platform::prompt::setResponder({}); }

    // The dialog of a mode, loaded as its caller shows it.
    frmDialog& open(int mode, int listIndex = 0)
    {
        DialogMode = static_cast<int16_t>(mode);
        DialogListIndex = static_cast<int16_t>(listIndex);
        dialog = std::make_unique<frmDialog>(services, lastFolders);
        dialog->load();
        return *dialog;
    }
    void ok() { dialog->DialogButtonPressed(0); }

    ServiceSet services;
    RecordingServices fakes{services};
    platform::forms::ListRows linkRows;
    std::array<QString, 9> lastFolders;
    std::unique_ptr<frmDialog> dialog;
    QStringList messages;
    int messageAnswer = 2;
};

QString screenshotFolder()
{
    const QString dir = qEnvironmentVariableIsSet("Z5_SCREENSHOT_DIR") ? qEnvironmentVariable("Z5_SCREENSHOT_DIR")
                                                                       : QStringLiteral(Z5_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    return dir;
}

} // namespace

TEST_F(InputDialog, EachModeShowsItsCaptionsAndBoxes)
{
    const struct {
        int mode;
        const char* strings0;
        const char* heading;
        const char* ok;
        const char* cancel;
        bool second, check, browse;
    } cases[] = {
        {1, "", "Open", "OK", "Cancel", false, true, true},
        {2, "", "Add Files From Folder", "Add", "Cancel", false, true, true},
        {3, "", "Add URL", "Add", "Close", false, false, false},
        {4, "1", "Add this page to Favorites Folder ...", "Add", "Close", true, false, true},
        {4, "2", "Add this page to Folder ...", "Add", "Close", true, false, true},
        {5, "", "Edit Web Snippet", "OK", "Cancel", true, false, false},
    };
    const QString snippet = testenv::freshDir(QStringLiteral("snippets")) + QStringLiteral("/Näme.Z5S");
    testenv::writeFile(snippet, "Näme\r\nA comment\r\n<p>body</p>\r\n");
    lastFolders[0] = QStringLiteral("/home/user/Music");
    lastFolders[7] = QStringLiteral("/home/user/Pages");
    for (const auto& c : cases) {
        DialogStrings[0] = QString::fromLatin1(c.strings0);
        DialogStrings[1] = c.mode == 5 ? snippet : QStringLiteral("A page title");
        frmDialog& d = open(c.mode, 5);
        const QString tag = QStringLiteral("mode %1%2").arg(c.mode).arg(QString::fromLatin1(c.strings0));
        EXPECT_EQ(d.Label1[1].caption(), QString::fromLatin1(c.heading)) << tag.toStdString();
        EXPECT_EQ(d.cmdCaption[0].caption(), QString::fromLatin1(c.ok)) << tag.toStdString();
        EXPECT_EQ(d.cmdCaption[1].caption(), QString::fromLatin1(c.cancel)) << tag.toStdString();
        EXPECT_EQ(d.Text1[1].visible(), c.second) << tag.toStdString();
        EXPECT_EQ(d.Check1.visible(), c.check) << tag.toStdString();
        EXPECT_EQ(d.cmdButton2[0].visible(), c.browse) << tag.toStdString();
        // The two buttons sit 120 twips apart round the middle.
        EXPECT_DOUBLE_EQ(d.cmdButton1[1].left() - d.cmdButton1[0].left() - d.cmdButton1[0].width(), 120);
        d.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(d.window()));
        QTest::qWait(30);
        // Typing goes to the first box whatever the mode shows.
        EXPECT_EQ(d.window()->focusWidget(), d.Text1[0].lineEdit()) << tag.toStdString();
        d.window()->grab().save(screenshotFolder() + QStringLiteral("/z5-input-dialog-%1%2.png").arg(c.mode).arg(QString::fromLatin1(c.strings0)));
        d.hide();
    }
    // What each mode's boxes start with.
    DialogStrings[0] = QStringLiteral("2");
    DialogStrings[1] = QStringLiteral("A page title");
    EXPECT_EQ(open(4).Text1[0].text(), QStringLiteral("A page title"));
    EXPECT_EQ(dialog->Text1[1].text(), QStringLiteral("/home/user/Pages"));
    EXPECT_EQ(open(2).Text1[0].text(), QStringLiteral("/home/user/Music"));
    DialogStrings[1] = snippet;
    EXPECT_EQ(open(5).Text1[0].text(), QStringLiteral("Näme"));
    EXPECT_EQ(dialog->Text1[1].text(), QStringLiteral("A comment"));
}

TEST_F(InputDialog, EnterInTheBoxAnswersOkButAReleaseLeftOverFromTheOpeningKeyDoesNot)
{
    frmDialog& d = open(1);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(d.window()));
    QLineEdit* box = d.Text1[0].lineEdit();
    QTest::keyClicks(box, QStringLiteral("/tmp/page.html"));
    QTest::keyRelease(box, Qt::Key_Return);
    EXPECT_TRUE(d.isVisible()) << "a lone release answers nothing";
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(DialogUrl, QStringLiteral("/tmp/page.html"));
}

TEST_F(InputDialog, OpenGivesTheTypedTextOrAWebFolderPage)
{
    const struct {
        const char* typed;
        bool webFolder;
        QString url; // "" when a web-folder page is expected
        const char* target;
    } cases[] = {
        {"  /tmp/a b/list.z5p  ", false, QStringLiteral("/tmp/a b/list.z5p"), nullptr},
        {"/tmp/a b/page.htm", true, QStringLiteral("/tmp/a b/page.htm"), nullptr},
        {"~/list.z5p", false, QDir::homePath() + QStringLiteral("/list.z5p"), nullptr},
        {"file:///tmp/x.htm", true, QStringLiteral("file:///tmp/x.htm"), nullptr},
        {"a few words", false, QStringLiteral("a few words"), nullptr},
        {"C:\\dir\\page.htm", true, QStringLiteral("C:\\dir\\page.htm"), nullptr},
        {"", true, QString(), nullptr},
        {"///server/share", true, QString(), "http://server/share"},
        {"https://h/dav/", true, QString(), "https://h/dav/"},
    };
    for (const auto& c : cases) {
        frmDialog& d = open(1);
        d.Text1[0].setText(QString::fromUtf8(c.typed));
        d.Check1.setValue(c.webFolder ? 1 : 0);
        ok();
        EXPECT_TRUE(d.answered());
        if (!c.target) {
            EXPECT_EQ(DialogUrl, c.url) << c.typed;
            continue;
        }
        EXPECT_TRUE(DialogUrl.contains(QStringLiteral("~Z5_"))) << c.typed;
        EXPECT_TRUE(DialogUrl.endsWith(QStringLiteral("OpenWebFolderPage.htm")));
        EXPECT_TRUE(testenv::readFile(DialogUrl).contains(QByteArray(QByteArray("location.href = \"") + c.target + '"'))) << c.typed;
        QFile::remove(DialogUrl);
    }
    open(1).Text1[0].setText(QStringLiteral("/tmp/x"));
    dialog->DialogButtonPressed(1);
    EXPECT_TRUE(DialogUrl.isEmpty());
}

TEST_F(InputDialog, TheWebFolderPageRunsNoScriptOfTheAddress)
{
    const QString address = QStringLiteral(
        "example.test/x'</script><script>document.title='ran'</script>\"><img src=x onerror=\"document.title='ran'\">");
    frmDialog& d = open(1);
    d.Text1[0].setText(address);
    d.Check1.setValue(1);
    ok();
    ASSERT_TRUE(QFile::exists(DialogUrl));

    // The page loaded in the engine: it asks to go to the address and
    // nothing else runs.
    class Page : public QWebEnginePage {
    public:
        QStringList asked;

    protected:
        bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override
        {
            if (url.isLocalFile())
                return true;
            if (isMainFrame)
                asked << url.toString();
            return false;
        }
    } page;
    bool loaded = false;
    QObject::connect(&page, &QWebEnginePage::loadFinished, [&](bool) { loaded = true; });
    page.load(QUrl::fromLocalFile(DialogUrl));
    ASSERT_TRUE(testenv::waitFor([&] { return loaded && !page.asked.isEmpty(); }, 30000));
    EXPECT_EQ(QUrl(page.asked.first()), QUrl(QStringLiteral("http://") + address));
    QString title;
    bool answered = false;
    page.runJavaScript(QStringLiteral("document.title + '|' + document.scripts.length + '|' + document.images.length"),
                       [&](const QVariant& v) {
                           title = v.toString();
                           answered = true;
                       });
    ASSERT_TRUE(testenv::waitFor([&] { return answered; }, 10000));
    EXPECT_EQ(title, QStringLiteral("http://") + address + QStringLiteral("|1|0"));
    QFile::remove(DialogUrl);
}

TEST_F(InputDialog, AFolderAnswerKeepsTheFolderAndTheSubFolderChoice)
{
    frmDialog& d = open(2);
    d.Text1[0].setText(QStringLiteral("  /srv/music  "));
    d.Check1.setValue(1);
    ok();
    EXPECT_EQ(DialogCancelled, 0);
    EXPECT_EQ(lastFolders[0], QStringLiteral("/srv/music"));
    EXPECT_EQ(DialogStrings[1], QStringLiteral("1"));
    open(2).Text1[0].setText(QStringLiteral("/srv/other"));
    ok();
    EXPECT_EQ(DialogStrings[1], QStringLiteral("0"));
    open(2).Text1[0].setText(QStringLiteral("   "));
    ok();
    EXPECT_EQ(DialogCancelled, 1);
    EXPECT_EQ(lastFolders[0], QStringLiteral("/srv/other"));
    DialogCancelled = 0;
    open(2);
    dialog->DialogButtonPressed(1);
    EXPECT_EQ(DialogCancelled, 1);

    // The browse button takes the picked folder without its last "/".
    platform::prompt::setResponder([](const platform::prompt::Prompt& p) -> std::optional<platform::prompt::Answer> {
        if (p.kind != QLatin1String("folder"))
            return std::nullopt;
        return platform::prompt::Answer{true, 0, QStringLiteral("/picked/")};
    });
    open(2).DialogBrowsePressed();
    EXPECT_EQ(dialog->Text1[0].text(), QStringLiteral("/picked"));
}

TEST_F(InputDialog, TypedAddressesBecomeRowsUntilTheDialogCloses)
{
    ListDownloadOptions[5] = QStringLiteral("001000");
    ListTargetDirectory[5] = QStringLiteral("/dl");
    frmDialog& d = open(3, 5);
    EXPECT_FALSE(d.cmdButton1[0].enabled()) << "Add waits for text";
    QLineEdit* box = d.Text1[0].lineEdit();
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(d.window()));
    const struct {
        const char* typed;
        const char* text;
    } cases[] = {{"http://h/dir/file.mp3", "file.mp3"}, {"http://h/dir/", ""}, {"plain", "plain"}};
    for (const auto& c : cases) {
        QTest::keyClicks(box, QString::fromUtf8(c.typed));
        EXPECT_TRUE(d.cmdButton1[0].enabled());
        QTest::keyClick(box, Qt::Key_Return);
        EXPECT_TRUE(box->text().isEmpty());
        EXPECT_FALSE(d.cmdButton1[0].enabled());
    }
    QTest::keyClick(box, Qt::Key_Return);
    ASSERT_EQ(linkRows.count(), 3) << "an empty box adds nothing";
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(linkRows.text(i + 1), QString::fromUtf8(cases[i].text));
        EXPECT_EQ(linkRows.column(i + 1, 1), QString::fromUtf8(cases[i].typed));
        EXPECT_EQ(linkRows.column(i + 1, 3), QStringLiteral("/dl"));
    }
    EXPECT_TRUE(d.isVisible()) << "the dialog stays for the next address";
    DialogCancelled = 7;
    d.DialogButtonPressed(1);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(DialogCancelled, 7) << "Close leaves the answer alone";
}

TEST_F(InputDialog, AFavoriteStaysInsideFavorites)
{
    const QString favorites = platform::paths::toLocal(GetSpecialFolder(1));
    ASSERT_FALSE(favorites.isEmpty());
    const QString outside = testenv::freshDir(QStringLiteral("outside"));
    QDir(favorites).mkpath(QStringLiteral("News"));
    QFile::remove(favorites + QStringLiteral("/away"));
    ASSERT_TRUE(QFile::link(outside, favorites + QStringLiteral("/away")));
    const QString canonicalFavorites = QFileInfo(favorites).canonicalFilePath();
    const struct {
        const char* kind;
        const char* name;
        const char* folder;
        int cancelled;    // -1: refused, the dialog stays open
        QString strings0; // the folder answered
    } cases[] = {
        {"1", "My page", "", 0, canonicalFavorites},
        {"1", "My page", "News", 0, canonicalFavorites + QStringLiteral("/News")},
        {"1", "My page", "New folder/", 0, canonicalFavorites + QStringLiteral("/New folder")},
        {"1", "My page", "../../etc", -1, {}},
        {"1", "My page", "away", -1, {}},
        {"1", "My page", "News/../..", -1, {}},
        {"1", "   ", "News", 1, {}},
        {"2", "My page", "/srv/pages", 0, QStringLiteral("/srv/pages")},
        {"2", "My page", "  ", 1, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + " " + c.folder);
        DialogStrings[0] = QString::fromLatin1(c.kind);
        DialogStrings[1] = QString::fromUtf8(c.name);
        DialogCancelled = 9;
        messages.clear();
        frmDialog& d = open(4);
        d.Text1[1].setText(QString::fromUtf8(c.folder));
        ok();
        if (c.cancelled < 0) {
            EXPECT_FALSE(d.answered());
            EXPECT_EQ(messages.size(), 1);
            continue;
        }
        EXPECT_TRUE(d.answered());
        EXPECT_EQ(DialogCancelled, c.cancelled);
        if (c.cancelled == 0) {
            EXPECT_EQ(DialogStrings[0], c.strings0);
        }
    }
    EXPECT_EQ(lastFolders[7], QStringLiteral("/srv/pages"));
    QFile::remove(favorites + QStringLiteral("/away"));
}

TEST_F(InputDialog, AnEditOfTheNameAloneKeepsTheCommentOfALargeSnippet)
{
    const QString dir = testenv::freshDir(QStringLiteral("large"));
    const QByteArray body = "<HTML><BODY>" + QByteArray(200 * 1024, 'x') + "</BODY></HTML>\r\n";
    const QByteArray longName(100 * 1024, 'n');
    const struct {
        const char* what;
        QByteArray bytes;
        QString name; // how the name box starts
    } cases[] = {
        {"a 200 KiB snippet", "Big\r\nkept comment\r\nhttp://s/\r\nd\r\n" + body, QStringLiteral("Big")},
        {"a name line longer than any name", longName + "\nkept comment\n" + body, QStringLiteral("nnnnnnnn")},
    };
    for (const auto& c : cases) {
        DialogStrings[1] = dir + QStringLiteral("/Big.Z5S");
        ASSERT_TRUE(testenv::writeFile(DialogStrings[1], c.bytes));
        frmDialog& d = open(5);
        EXPECT_TRUE(d.Text1[0].text().startsWith(c.name)) << c.what;
        EXPECT_EQ(d.Text1[1].text(), QStringLiteral("kept comment")) << c.what;
        d.Text1[0].setText(QStringLiteral("Renamed"));
        ok();
        EXPECT_EQ(DialogCancelled, 0) << c.what;
        EXPECT_EQ(DialogStrings[3], QStringLiteral("kept comment")) << c.what;
    }
}

TEST_F(InputDialog, ASnippetNameIsOneFileNameAndAnOtherFileIsReplacedOnlyWhenAsked)
{
    const QString dir = testenv::freshDir(QStringLiteral("snip"));
    testenv::writeFile(dir + QStringLiteral("/note.Z5S"), "note\r\nold comment\r\n");
    testenv::writeFile(dir + QStringLiteral("/Other.Z5S"), "Other\r\n\r\n");
    const struct {
        const char* name;
        int answer;
        bool accepted;
        int questions;
        const char* path;
    } cases[] = {
        {"a/b", 3, false, 1, nullptr},
        {"a\\b", 3, false, 1, nullptr},
        {"", 3, false, 1, nullptr},
        {"note", 3, true, 0, "/note.Z5S"},
        {"renamed", 3, true, 0, "/renamed.Z5S"},
        {"kept.z5s", 3, true, 0, "/kept.z5s"},
        {"Other", 2, false, 1, nullptr},
        {"Other", 3, true, 1, "/Other.Z5S"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DialogStrings[1] = dir + QStringLiteral("/note.Z5S");
        DialogCancelled = 9;
        messages.clear();
        messageAnswer = c.answer;
        frmDialog& d = open(5);
        d.Text1[0].setText(QString::fromUtf8(c.name));
        d.Text1[1].setText(QStringLiteral(" new comment "));
        ok();
        EXPECT_EQ(d.answered(), c.accepted);
        EXPECT_EQ(messages.size(), c.questions) << messages.join(QLatin1Char('|')).toStdString();
        if (!c.accepted) {
            EXPECT_EQ(DialogStrings[1], dir + QStringLiteral("/note.Z5S")) << "nothing answered";
            continue;
        }
        EXPECT_EQ(DialogCancelled, 0);
        EXPECT_EQ(DialogStrings[1], dir + QString::fromUtf8(c.path));
        EXPECT_EQ(DialogStrings[2], QString::fromUtf8(c.name));
        EXPECT_EQ(DialogStrings[3], QStringLiteral(" new comment ")) << "name and comment as typed";
    }
    // "Note" names another file than note.Z5S here, and no file yet: no
    // question.
    messages.clear();
    DialogStrings[1] = dir + QStringLiteral("/note.Z5S");
    open(5).Text1[0].setText(QStringLiteral("Note"));
    ok();
    EXPECT_TRUE(dialog->answered());
    EXPECT_TRUE(messages.isEmpty());
}
