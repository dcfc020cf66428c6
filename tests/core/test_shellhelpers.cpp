#include "core/shelldialogs.h"
#include "core/globals.h"
#include "core/shellnames.h"
#include "platform/base/paths.h"
#include "platform/win/prompt.h"
#include "platform/win/shell.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include <gtest/gtest.h>

namespace prompt = platform::prompt;

namespace {

// Records every prompt and answers it with the given answer.
struct PromptRecorder {
    QList<prompt::Prompt> seen;
    prompt::Answer answer;
    PromptRecorder()
    {
        prompt::setResponder([this](const prompt::Prompt& p) -> std::optional<prompt::Answer> {
            seen.append(p);
            return answer;
        });
    }
    ~PromptRecorder() { prompt::setResponder({}); }
};

LineWriter collectInto(QStringList& lines)
{
    return [&lines](const QString& line) {
        lines.append(line);
        return true;
    };
}

} // namespace

TEST(ShellHelpers, TextCleanUps)
{
    const QString nul(QChar(u'\0'));
    EXPECT_EQ(TrimControlChars(QStringLiteral(" ") + nul + QStringLiteral("x y\r\n")), QStringLiteral("x y"));
    EXPECT_EQ(TrimControlChars(QStringLiteral("\t\r\n ") + nul), QString());
    EXPECT_EQ(TrimControlChars(QString()), QString());
    EXPECT_EQ(TrimControlChars(QStringLiteral("a\tb")), QStringLiteral("a\tb"));

    const struct {
        QString in, out;
    } plain[] = {
        {QStringLiteral("a&nbsp;&nbsp;b"), QStringLiteral("a b")},
        {QStringLiteral("a\t\nb"), QStringLiteral("a b")},
        {QStringLiteral("caf") + QChar(233), QStringLiteral("caf ")},
        {QStringLiteral("\r\nlead"), QStringLiteral(" lead")},
        {QStringLiteral("&NBSP;x"), QStringLiteral("&NBSP;x")}, // exact case only
        {QStringLiteral("x") + QChar(0x4E2D) + QChar(0x6587) + QStringLiteral("y"), QStringLiteral("x y")},
        {QStringLiteral("a  b"), QStringLiteral("a  b")},        // plain blanks stay
    };
    for (const auto& c : plain)
        EXPECT_EQ(HtmlToPlainText(c.in), c.out) << c.in.toStdString();

    const QChar del(0x7F);
    const struct {
        QString in, out;
    } safe[] = {
        {QStringLiteral("a/b:c"), QStringLiteral("a-bc")},
        {QStringLiteral("  what? <x>|y\\z*  "), QStringLiteral("what") + del + QStringLiteral(" ") + del +
                                                   QStringLiteral("x") + del + del + QStringLiteral("y") + del +
                                                   QStringLiteral("z") + del},
        {QStringLiteral("t\tab"), QStringLiteral("t") + del + QStringLiteral("ab")},
        {QStringLiteral("caf") + QChar(233), QStringLiteral("caf") + del},
        {QStringLiteral("say \"hi\""), QStringLiteral("say \"hi\"")},
        {QStringLiteral(":::"), QString()},
        {QStringLiteral(".."), QString()}, // never the parent folder
        {QStringLiteral(" . "), QString()},
        {QStringLiteral("..."), QStringLiteral("...")},
    };
    for (const auto& c : safe)
        EXPECT_EQ(MakeSafeFileName(c.in), c.out) << c.in.toStdString();
    EXPECT_EQ(MakeSafeFileName(QString(100, QLatin1Char('n'))).size(), 80);
    EXPECT_EQ(MakeSafeFileName(QString(80, QLatin1Char('n')) + QStringLiteral("   ")).size(), 80);

    const char bytes[] = {'a', 'b', '\xE9', '\0', 'z'};
    EXPECT_EQ(AnsiPointerToString(bytes, sizeof bytes), QStringLiteral("ab") + QChar(233));
    EXPECT_EQ(AnsiPointerToString(bytes, 2), QStringLiteral("ab")); // never past the capacity
    EXPECT_EQ(AnsiPointerToString(nullptr, 10), QString());
}

TEST(ShellHelpers, SpecialFoldersAndTheirItemIdLists)
{
    EXPECT_EQ(GetSpecialFolder(6), platform::paths::fontsFolder());
    const QString favorites = GetSpecialFolder(1);
    EXPECT_TRUE(QFileInfo(favorites).isDir());
    EXPECT_TRUE(favorites.startsWith(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)));
    EXPECT_TRUE(favorites.endsWith(QStringLiteral("/Favorites")));
    EXPECT_EQ(GetSpecialFolder(4), QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    EXPECT_EQ(GetSpecialFolder(0), GetSpecialFolder(5)); // 0 is the desktop's own folder number
    EXPECT_FALSE(GetSpecialFolder(3).isEmpty());
    EXPECT_EQ(GetSpecialFolder(99), QString());
    EXPECT_EQ(GetSpecialFolder(17), QString()); // My Computer has no path
    for (int16_t i = 1; i <= 8; ++i)
        EXPECT_FALSE(GetSpecialFolder(i).endsWith(QLatin1Char('/'))) << i;

    // Places without a meaning here give nothing; the desktop gives its path.
    for (const int16_t place : {1, 2, 4, 5, 6})
        EXPECT_TRUE(GetSpecialFolderIdList(place).isEmpty()) << place;
    const QByteArray desktop = GetSpecialFolderIdList(3);
    ASSERT_FALSE(desktop.isEmpty());
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(desktop.constData()),
                                         static_cast<size_t>(desktop.size()));
    EXPECT_EQ(GetIdListSize(bytes), desktop.size());
    EXPECT_EQ(desktop.right(2), QByteArray(2, '\0'));
}

// The desktop folder and the trash's files are the two places a tab can
// show here; a tab showing one goes by the place's name in the language.
TEST(ShellHelpers, TheDesktopAndTheTrashFoldersGoByTheirPlacesNames)
{
    const QString desktop = GetSpecialFolder(5);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString trash = data + QStringLiteral("/Trash/files");
    const auto url = [](const QString& path) { return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded); };
    const struct {
        QString address;
        int place;
    } cases[] = {
        {url(desktop), 2},
        {url(desktop + QLatin1Char('/')), 2},
        {url(desktop + QStringLiteral("/./")), 2},
        {url(desktop + QStringLiteral("/inside/")), 0},
        {url(trash + QLatin1Char('/')), 6},
        {url(data + QStringLiteral("/Trash/")), 0},
        {url(QStringLiteral("/")), 0},
        {QStringLiteral("file://server") + desktop, 0},
        {QStringLiteral("http://host") + desktop, 0},
        {desktop, 0},
        {QString(), 0},
    };
    LanguageFilePath = QStringLiteral("/nonexistent/English.ini");
    for (const auto& c : cases) {
        EXPECT_EQ(SpecialPlaceOfAddress(c.address), c.place) << c.address.toStdString();
        EXPECT_EQ(ShownLocationName(c.address, QStringLiteral("Index of x")),
                  c.place == 2 ? QStringLiteral("Desktop") : c.place == 6 ? QStringLiteral("Recycle Bin") : QStringLiteral("Index of x"))
            << c.address.toStdString();
    }
    EXPECT_EQ(SpecialPlaceName(1), QStringLiteral("My Computer"));
    EXPECT_EQ(SpecialPlaceName(9), QStringLiteral("Scheduled Tasks"));
    EXPECT_EQ(SpecialPlaceName(0), QString());
    EXPECT_EQ(SpecialPlaceName(10), QString());

    const QString dir = testenv::freshDir(QStringLiteral("language"));
    LanguageFilePath = dir + QStringLiteral("/Test.ini");
    testenv::writeFile(LanguageFilePath, "[WINDOWS]\r\n9501=Schreibtisch\r\n9505=Papierkorb\r\n");
    EXPECT_EQ(ShownLocationName(url(desktop), QString()), QStringLiteral("Schreibtisch"));
    EXPECT_EQ(ShownLocationName(url(trash), QString()), QStringLiteral("Papierkorb"));
    LanguageFilePath.clear();
}

TEST(ShellHelpers, ItemIdListWalkStaysInsideTheList)
{
    const uint8_t list[] = {5, 0, 'a', 'b', 'c', 3, 0, 'd', 0, 0};
    const std::span<const uint8_t> all(list);
    EXPECT_EQ(ReadIdListWord(all), 5);
    EXPECT_EQ(NextIdListItem(all).data(), list + 5);
    EXPECT_EQ(GetIdListSize(all), 5 + 3 + 2);
    EXPECT_EQ(GetIdListSize({}), 0);
    EXPECT_EQ(ReadIdListWord({}), 0);
    EXPECT_TRUE(NextIdListItem(all.subspan(8)).empty()); // at the terminator

    // A count running past the end, or no terminator, ends the walk there.
    const uint8_t broken[] = {4, 0, 'a', 'b', 200, 0, 'c'};
    EXPECT_EQ(GetIdListSize(std::span<const uint8_t>(broken)), 4 + 200 + 2);
    EXPECT_TRUE(NextIdListItem(std::span<const uint8_t>(broken).subspan(4)).empty());
    const uint8_t odd[] = {7};
    EXPECT_EQ(ReadIdListWord(std::span<const uint8_t>(odd)), 0);
}

TEST(ShellHelpers, FolderListingsWriteFilesBeforeSubFoldersDepthFirst)
{
    const QString root = testenv::freshDir(QStringLiteral("tree"));
    QDir(root).mkpath(QStringLiteral("B/Deep"));
    QDir(root).mkpath(QStringLiteral("a"));
    QDir(root).mkpath(QStringLiteral(".hiddendir"));
    for (const char* f : {"top2.txt", "Top1.txt", ".hidden", "a/in_a.mp3", "B/in_b.wav", "B/Deep/deep.txt",
                          ".hiddendir/h.txt"})
        ASSERT_TRUE(testenv::writeFile(root + QLatin1Char('/') + QString::fromUtf8(f), "x"));
    // A link back to the root must not make the walk loop.
    ASSERT_TRUE(QFile::link(root, root + QStringLiteral("/B/loop")));

    PromptRecorder prompts;
    // The folder as the program writes it; the lines are local paths.
    const QString local = root + QLatin1Char('/');
    const QString lowered = local.left(local.size() - 5) + QStringLiteral("TREE\\");
    const QString backslashed = QString(root).replace(QLatin1Char('/'), QLatin1Char('\\')) + QLatin1Char('\\');
    for (const QString& folder : QStringList{backslashed, local, lowered}) {
        QStringList lines;
        ListFolderTree(folder, collectInto(lines));
        const QStringList tree = {
            local + QStringLiteral(".hidden"),
            local + QStringLiteral("Top1.txt"),
            local + QStringLiteral("top2.txt"),
            local + QStringLiteral(".hiddendir/h.txt"),
            local + QStringLiteral("a/in_a.mp3"),
            local + QStringLiteral("B/in_b.wav"),
            local + QStringLiteral("B/Deep/deep.txt"),
        };
        EXPECT_EQ(lines, tree) << folder.toStdString();
        EXPECT_TRUE(prompts.seen.isEmpty());

        lines.clear();
        ListFolderFiles(folder, collectInto(lines));
        EXPECT_EQ(lines, (QStringList{local + QStringLiteral("Top1.txt"), local + QStringLiteral("top2.txt")}));
        for (const QString& line : lines)
            EXPECT_TRUE(QFileInfo(line).isFile()) << line.toStdString();
    }
}

TEST(ShellHelpers, FolderListingFailuresTellTheUser)
{
    PromptRecorder prompts;
    QStringList lines;
    ListFolderFiles(QStringLiteral("/no/such/folder/"), collectInto(lines));
    ASSERT_EQ(prompts.seen.size(), 1);
    EXPECT_EQ(prompts.seen[0].kind, QStringLiteral("message"));
    EXPECT_EQ(prompts.seen[0].text, QStringLiteral("Access denied"));

    // A stream that refuses a line ends the listing of that folder only.
    const QString root = testenv::freshDir(QStringLiteral("refuse"));
    QDir(root).mkpath(QStringLiteral("sub"));
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/f1"), "x"));
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/sub/f2"), "x"));
    prompts.seen.clear();
    lines.clear();
    const QString folder = root + QLatin1Char('/');
    ListFolderTree(folder, [&lines](const QString& line) {
        if (line.endsWith(QStringLiteral("f1")))
            return false;
        lines.append(line);
        return true;
    });
    EXPECT_EQ(prompts.seen.size(), 1);
    EXPECT_TRUE(lines.isEmpty()); // the sub-folders of a failed folder are not walked
}

TEST(ShellHelpers, TemporaryFolderAndLongPaths)
{
    const QString temp = GetTempFolder();
    EXPECT_EQ(temp, platform::paths::privateTempFolder());
    EXPECT_FALSE(temp.endsWith(QLatin1Char('/')));

    const QString root = testenv::freshDir(QStringLiteral("Long Names"));
    QDir(root).mkpath(QStringLiteral("Some Folder/Inner"));
    const QString lowered = root.toLower(); // the test home may hold capitals too
    const struct {
        QString in, out;
    } cases[] = {
        {root + QStringLiteral("/SOME FOLDER/inner/"), root + QStringLiteral("/Some Folder/Inner")},
        {root + QStringLiteral("\\Some Folder\\Inner\\file.txt"), root + QStringLiteral("/Some Folder/Inner")},
        {root + QStringLiteral("/Some Folder/Missing/"), QString()},
        {QStringLiteral("/"), QStringLiteral("/")},
        {QStringLiteral("/file-at-root"), QStringLiteral("/")},
        {QStringLiteral("relative/path/"), QString()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LongPathOf(c.in), c.out) << c.in.toStdString();
    EXPECT_EQ(LongPathOf(lowered + QLatin1Char('/')).toLower(), lowered);
}

TEST(ShellHelpers, TemporaryFileNames)
{
    const QString folder = testenv::freshDir(QStringLiteral("tmpnames"));
    QString first, second;
    ASSERT_TRUE(MakeTempFileName(folder, QStringLiteral("~rsX"), 0, first));
    ASSERT_TRUE(MakeTempFileName(folder, QStringLiteral("~rs"), 0, second));
    EXPECT_NE(first, second);
    for (const QString& name : {first, second}) {
        EXPECT_TRUE(QFileInfo(name).isFile()) << name.toStdString();
        EXPECT_EQ(QFileInfo(name).absolutePath(), folder);
        EXPECT_TRUE(QFileInfo(name).fileName().startsWith(QStringLiteral("~rs")));
        EXPECT_TRUE(name.endsWith(QStringLiteral(".tmp")));
    }
    QString named;
    ASSERT_TRUE(MakeTempFileName(folder, QStringLiteral("ab"), 0x1F, named));
    EXPECT_EQ(named, folder + QStringLiteral("/ab1F.tmp"));
    EXPECT_FALSE(QFileInfo::exists(named)); // a given number only names the file

    QString inTemp;
    ASSERT_TRUE(MakeTempFileName(QString(), QStringLiteral("~rs"), 0, inTemp));
    EXPECT_EQ(QFileInfo(inTemp).absolutePath(), platform::paths::privateTempFolder());

    QString untouched = QStringLiteral("keep");
    EXPECT_FALSE(MakeTempFileName(folder + QStringLiteral("/missing"), QStringLiteral("~rs"), 0, untouched));
    EXPECT_FALSE(MakeTempFileName(folder, QStringLiteral("../x"), 0, untouched));
    EXPECT_EQ(untouched, QStringLiteral("keep"));
}

TEST(ShellHelpers, TempPagePrefixSkipsDigitsInUse)
{
    // The prefix holds the time of day; retry when the second turns over
    // between the two calls.
    for (int attempt = 0; attempt < 5; ++attempt) {
        const QString first = MakeTempPagePrefix();
        ASSERT_TRUE(first.startsWith(GetTempFolder() + QStringLiteral("/~Z5_"))) << first.toStdString();
        ASSERT_TRUE(first.endsWith(QLatin1Char('1')));
        ASSERT_EQ(first.size(), GetTempFolder().size() + 1 + 4 + 6 + 1);
        // A page named after the prefix lands inside the temporary folder.
        ASSERT_TRUE(testenv::writeFile(first + QStringLiteral("page.htm"), "x"));
        EXPECT_EQ(QFileInfo(first + QStringLiteral("page.htm")).absolutePath(), platform::paths::privateTempFolder());
        const QString second = MakeTempPagePrefix();
        QFile::remove(first + QStringLiteral("page.htm"));
        if (second.chopped(1) != first.chopped(1))
            continue;
        EXPECT_EQ(second, first.chopped(1) + QLatin1Char('2'));
        return;
    }
    FAIL() << "the clock never stood still for two calls";
}

TEST(ShellHelpers, RecycleBinMovesFilesToTheTrash)
{
    const QString folder = testenv::freshDir(QStringLiteral("bin"));
    const QString file = folder + QStringLiteral("/gone.txt");
    ASSERT_TRUE(testenv::writeFile(file, "bytes"));
    EXPECT_EQ(SendToRecycleBin(file, false), 0);
    EXPECT_FALSE(QFileInfo::exists(file));
    // It lies in the folder a tab shows as the Recycle Bin.
    const std::optional<QString> trash = platform::shell::specialFolderPath(platform::shell::csidl::BitBucket);
    ASSERT_TRUE(trash);
    EXPECT_TRUE(QFileInfo::exists(*trash + QStringLiteral("/gone.txt"))) << trash->toStdString();
    EXPECT_EQ(SendToRecycleBin(file, false), 2);
    EXPECT_EQ(SendToRecycleBin(QString(), false), 2);

    // With confirm the user is asked; a refusal keeps the file.
    ASSERT_TRUE(testenv::writeFile(file, "bytes"));
    PromptRecorder prompts;
    prompts.answer.accepted = false;
    EXPECT_EQ(SendToRecycleBin(file, true), 1223);
    EXPECT_TRUE(QFileInfo::exists(file));
    ASSERT_EQ(prompts.seen.size(), 1);
    EXPECT_EQ(prompts.seen[0].kind, QStringLiteral("confirm"));
    prompts.answer.accepted = true;
    EXPECT_EQ(SendToRecycleBin(file, true), 0);
    EXPECT_FALSE(QFileInfo::exists(file));
}

TEST(ShellHelpers, FolderPickersGoThroughThePromptSeam)
{
    const QString root = testenv::freshDir(QStringLiteral("pick"));
    QDir(root).mkpath(QStringLiteral("Inner/Deeper"));
    PromptRecorder prompts;
    prompts.answer.accepted = true;
    prompts.answer.text = root + QStringLiteral("/Inner/");
    EXPECT_EQ(BrowseForFolder(nullptr, QStringLiteral("Select Folder ..."), root + QStringLiteral("\\INNER")),
              root + QStringLiteral("/Inner"));
    ASSERT_EQ(prompts.seen.size(), 1);
    EXPECT_EQ(prompts.seen[0].kind, QStringLiteral("folder"));
    EXPECT_EQ(prompts.seen[0].title, QStringLiteral("Select Folder ..."));
    EXPECT_EQ(prompts.seen[0].text, root + QStringLiteral("/Inner")); // opens at the initial folder

    // The rooted picker gives only folders inside its root.
    EXPECT_EQ(BrowseForFolderShell(nullptr, QStringLiteral("t"), root + QStringLiteral("/Inner")),
              root + QStringLiteral("/Inner"));
    prompts.answer.text = root + QStringLiteral("/Inner/Deeper");
    EXPECT_EQ(BrowseForFolderShell(nullptr, QStringLiteral("t"), root + QStringLiteral("/Inner")),
              root + QStringLiteral("/Inner/Deeper"));
    prompts.answer.text = root + QStringLiteral("/InnerSibling");
    EXPECT_EQ(BrowseForFolderShell(nullptr, QStringLiteral("t"), root + QStringLiteral("/Inner")), QString());
    prompts.answer.text = root + QStringLiteral("/Inner/../..");
    EXPECT_EQ(BrowseForFolderShell(nullptr, QStringLiteral("t"), root + QStringLiteral("/Inner")), QString());
    prompts.answer.text = QStringLiteral("/");
    EXPECT_EQ(BrowseForFolder(nullptr, QStringLiteral("t"), QString()), QStringLiteral("/"));

    prompts.answer = {};
    EXPECT_EQ(BrowseForFolder(nullptr, QStringLiteral("t"), root), QString());
}
