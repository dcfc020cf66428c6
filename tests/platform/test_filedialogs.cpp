// Open, save and program pickers: the old filter strings, the answers of the
// prompt seam, and the real dialog driven with keys.

#include "platform/win/filedialogs.h"
#include "platform/win/prompt.h"
#include "platform/win/shell.h"

#include "modaldriver.h"
#include "testenv.h"

#include <QAbstractItemView>
#include <QDir>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

// Texts in test messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace fd = platform::filedialogs;
namespace prompt = platform::prompt;

namespace {

using testenv::press;
using testenv::typeAndEnter;
using testenv::whenActive;
using testenv::whileOpen;

struct Seam {
    ~Seam() { prompt::setResponder({}); }
};

} // namespace

TEST(FileDialogs, OldFilterStringsBecomeQtNameFilters)
{
    const struct {
        const char* old;
        QStringList filters;
    } cases[] = {
        {"Name (*.a,*.b)|*.a;*.b|All (*.*) |*.*|", {"Name (*.a,*.b) (*.a *.b)", "All (*.*) (*)"}},
        {"Programs |*.exe", {"Programs (*.exe)"}},
        {"Web page|*.htm;*.html", {"Web page (*.htm *.html)"}},
        {"HTML, Internet Shortcut, Z5 Files |*.z5p;*.z5s;*.htm;*.html;*.url;|All Files (*.*) |*.*|",
         {"HTML, Internet Shortcut, Z5 Files (*.z5p *.z5s *.htm *.html *.url)", "All Files (*.*) (*)"}},
        {"|*.txt|", {"*.txt (*.txt)"}},
        {"Text| *.txt ;*.txt|Lonely", {"Text (*.txt)"}},
        {"Blank| ; |Odd|*.(x);*.a b;*.ok", {"Odd (*.ok)"}},
        {"", {}},
        {"|", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fd::nameFilters(QString::fromUtf8(c.old)), c.filters) << c.old;
}

TEST(FileDialogs, TheSeamIsAskedWithTheRequestAndItsAnswerIsTheResult)
{
    Seam seam;
    std::vector<prompt::Prompt> asked;
    prompt::Answer next;
    prompt::setResponder([&](const prompt::Prompt& p) -> std::optional<prompt::Answer> {
        asked.push_back(p);
        return next;
    });
    fd::FileRequest request;
    request.title = "Select PLAYLIST File";
    request.initialFolder = "/home/u/Music";
    request.fileName = "list.z5p";
    request.filter = "Playlist File (*.z5p)|*.z5p";

    next = {true, 0, "/m/one.mp3", {"/m/one.mp3", "/m/two.mp3"}};
    EXPECT_EQ(fd::openFiles(nullptr, request), (QStringList{"/m/one.mp3", "/m/two.mp3"}));
    EXPECT_EQ(fd::openFile(nullptr, request), "/m/one.mp3");
    next = {true, 0, "/m/only.mp3", {}};
    EXPECT_EQ(fd::openFiles(nullptr, request), QStringList{"/m/only.mp3"});
    EXPECT_EQ(fd::saveFile(nullptr, request), "/m/only.mp3");
    next = {false, 0, "/m/ignored.mp3", {}};
    EXPECT_EQ(fd::openFile(nullptr, request), QString()) << "cancel gives nothing";
    EXPECT_EQ(fd::openFiles(nullptr, request), QStringList());

    ASSERT_EQ(asked.size(), 6u);
    EXPECT_EQ(asked[0].kind, "open");
    EXPECT_EQ(asked[3].kind, "save");
    EXPECT_EQ(asked[0].title, "Select PLAYLIST File");
    EXPECT_EQ(asked[0].text, "/home/u/Music/list.z5p");
    EXPECT_EQ(asked[0].filter, "Playlist File (*.z5p)|*.z5p");
}

TEST(FileDialogs, AProcessAnswersPickersFromItsAnswersFileInOrder)
{
    const QString dir = testenv::freshDir("answers");
    const QString answers = dir + "/answers.txt";
    const QString log = dir + "/prompts.txt";
    testenv::writeFile(answers, "open\t/a/one\t/a/two\r\nfolder\t/f/\nopen\t/a/three\nsave\n");
    qputenv("PLATFORM_PROMPT_ANSWERS", QFile::encodeName(answers));
    qputenv("PLATFORM_PROMPT_LOG", QFile::encodeName(log));
    fd::FileRequest request;
    request.title = "Pick";
    const QStringList first = fd::openFiles(nullptr, request);
    const QString folder = platform::shell::pickFolder(nullptr, "Folder", "/");
    const QString second = fd::openFile(nullptr, request);
    const QString third = fd::openFile(nullptr, request);
    const QString saved = fd::saveFile(nullptr, request);
    qunsetenv("PLATFORM_PROMPT_ANSWERS");
    qunsetenv("PLATFORM_PROMPT_LOG");
    EXPECT_EQ(first, (QStringList{"/a/one", "/a/two"}));
    EXPECT_EQ(folder, "/f");
    EXPECT_EQ(second, "/a/three");
    EXPECT_EQ(third, QString()) << "each answer is given once; then the default answer cancels";
    EXPECT_EQ(saved, QString()) << "a line without a text answers nothing";
    EXPECT_EQ(testenv::readFile(log), QByteArray("open\tPick\t\nfolder\tFolder\t/\nopen\tPick\t\nopen\tPick\t\nsave\tPick\t\n"));
}

TEST(FileDialogs, TheOpenPickerTakesATypedPathAndSeveralInTheirOrder)
{
    const QString dir = testenv::freshDir("pick");
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        testenv::writeFile(dir + "/" + name, "x");
    fd::FileRequest request;
    request.title = "Add Files";
    request.initialFolder = dir;
    request.filter = "Text (*.txt)|*.txt|All (*.*) |*.*|";
    request.flags = fd::PathMustExist;

    const QString one = whileOpen<QString>([&] { return fd::openFile(nullptr, request); }, [&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Add Files");
        EXPECT_EQ(QDir(dialog.directory()).canonicalPath(), QDir(dir).canonicalPath());
        EXPECT_EQ(dialog.selectedNameFilter(), "Text (*.txt)") << "shown as the old filter named it";
        typeAndEnter(dialog, dir + "/b.txt");
    });
    EXPECT_EQ(one, dir + "/b.txt");

    request.flags |= fd::AllowMultiSelect;
    const QStringList several = whileOpen<QStringList>([&] { return fd::openFiles(nullptr, request); },
                                                       [&](QFileDialog& dialog) { typeAndEnter(dialog, "\"c.txt\" \"a.txt\""); });
    EXPECT_EQ(several, (QStringList{dir + "/c.txt", dir + "/a.txt"}));

    const QString cancelled = whileOpen<QString>([&] { return fd::openFile(nullptr, request); },
                                                 [&](QFileDialog& dialog) { press(dialog, Qt::Key_Escape); });
    EXPECT_EQ(cancelled, QString());
}

TEST(FileDialogs, PatternsMatchWhateverTheCaseOfTheName)
{
    const QString dir = testenv::freshDir("music");
    for (const char* name : {"SONG.MP3", "quiet.mp3", "notes.txt"})
        testenv::writeFile(dir + "/" + name, "x");
    fd::FileRequest request;
    request.initialFolder = dir;
    request.filter = "Audio (*.mp3)|*.mp3|";
    QStringList shown;
    whileOpen<QString>([&] { return fd::openFile(nullptr, request); }, [&](QFileDialog& dialog) {
        auto* view = dialog.findChild<QAbstractItemView*>("listView");
        ASSERT_NE(view, nullptr);
        const auto names = [&] {
            QStringList out;
            const QModelIndex root = view->rootIndex();
            for (int r = 0; r < view->model()->rowCount(root); ++r)
                out << view->model()->index(r, 0, root).data().toString();
            return out;
        };
        EXPECT_TRUE(testenv::waitFor([&] { return names().size() >= 2; }, 10000));
        QTest::qWait(200); // a late row would show now
        shown = names();
        press(dialog, Qt::Key_Escape);
    });
    shown.sort();
    EXPECT_EQ(shown, (QStringList{"SONG.MP3", "quiet.mp3"}));
}

TEST(FileDialogs, TheSavePickerAsksBeforeReplacingAndWantsAnExistingFolder)
{
    const QString dir = testenv::freshDir("save");
    testenv::writeFile(dir + "/page.htm", "old");
    fd::FileRequest request;
    request.initialFolder = dir;
    request.fileName = "page.htm";
    request.filter = "Web page|*.htm;*.html";
    request.flags = fd::OverwritePrompt | fd::PathMustExist;

    // The question answered No keeps the dialog open; Yes takes the name.
    bool asked = false;
    const QString replaced = whileOpen<QString>([&] { return fd::saveFile(nullptr, request); }, [&](QFileDialog& dialog) {
        whenActive<QMessageBox>([&](QMessageBox& question) {
            asked = true;
            whenActive<QFileDialog>([](QFileDialog& back) {
                whenActive<QMessageBox>([](QMessageBox& again) { QTest::keyClick(&again, Qt::Key_Y); });
                press(back, Qt::Key_Return);
            });
            QTest::keyClick(&question, Qt::Key_N);
        });
        press(dialog, Qt::Key_Return);
    });
    EXPECT_TRUE(asked);
    EXPECT_EQ(replaced, dir + "/page.htm");

    // A folder that does not exist is refused in the dialog, which stays.
    bool warned = false;
    const QString refused = whileOpen<QString>([&] { return fd::saveFile(nullptr, request); }, [&](QFileDialog& dialog) {
        whenActive<QMessageBox>([&](QMessageBox& warning) {
            warned = warning.text().contains(dir + "/missing");
            whenActive<QFileDialog>([](QFileDialog& back) { press(back, Qt::Key_Escape); });
            QTest::keyClick(&warning, Qt::Key_Return);
        });
        typeAndEnter(dialog, dir + "/missing/page.htm");
    });
    EXPECT_TRUE(warned);
    EXPECT_EQ(refused, QString());

    request.flags = 0; // no question without the flag
    const QString quiet = whileOpen<QString>([&] { return fd::saveFile(nullptr, request); }, [&](QFileDialog& dialog) { press(dialog, Qt::Key_Return); });
    EXPECT_EQ(quiet, dir + "/page.htm");
}

TEST(FileDialogs, TheProgramPickerTakesOnlyAnExecutableFile)
{
    const QString dir = testenv::freshDir("programs");
    testenv::writeFile(dir + "/tool", "#!/bin/sh\n");
    QFile::setPermissions(dir + "/tool", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    testenv::writeFile(dir + "/readme", "text");

    bool refused = false;
    const QString picked = whileOpen<QString>([&] { return fd::pickExecutable(nullptr, "Select Program", dir); }, [&](QFileDialog& dialog) {
        whenActive<QMessageBox>([&](QMessageBox& warning) {
            refused = warning.text().contains("readme");
            whenActive<QFileDialog>([](QFileDialog& again) { typeAndEnter(again, "tool"); });
            QTest::keyClick(&warning, Qt::Key_Return);
        });
        typeAndEnter(dialog, "readme");
    });
    EXPECT_TRUE(refused) << "a file that is no program is refused";
    EXPECT_EQ(picked, dir + "/tool");

    // From the seam too; it starts in /usr/bin unless told otherwise.
    Seam seam;
    QString startedAt;
    QString answer = dir + "/readme";
    prompt::setResponder([&](const prompt::Prompt& p) -> std::optional<prompt::Answer> {
        startedAt = p.text;
        return prompt::Answer{true, 0, answer};
    });
    EXPECT_EQ(fd::pickExecutable(nullptr, "Select Program"), QString());
    EXPECT_EQ(startedAt, "/usr/bin");
    answer = dir;
    EXPECT_EQ(fd::pickExecutable(nullptr, "Select Program"), QString()) << "a folder is no program";
    answer = dir + "/tool";
    EXPECT_EQ(fd::pickExecutable(nullptr, "Select Program"), dir + "/tool");
}
