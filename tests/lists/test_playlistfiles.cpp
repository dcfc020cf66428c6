// Playlist files of the lists: loaded, saved, refused; the open and save
// dialogs with their remembered folders; files and folders added through
// the dialogs.

#include "listsfixture.h"

#include "core/waitwindow.h"
#include "lists/playlistformat.h"
#include "modaldriver.h"
#include "playlistsample.h"

#include <QFile>
#include <QFileDialog>
#include <QAbstractItemView>

namespace {

platform::prompt::Responder answerPicker(const QString& kind, QStringList paths, QStringList* asked = nullptr)
{
    return [kind, paths, asked](const platform::prompt::Prompt& p) -> std::optional<platform::prompt::Answer> {
        if (p.kind != kind)
            return std::nullopt;
        if (asked)
            *asked << p.title + QLatin1Char('|') + p.text + QLatin1Char('|') + p.filter;
        platform::prompt::Answer a{!paths.isEmpty(), 0, paths.value(0)};
        a.paths = paths;
        return a;
    };
}

} // namespace

TEST_F(ListsWindow, TenThousandRowsComeBackByteForByte)
{
    const QString dir = testenv::freshDir(QStringLiteral("lists"));
    const QByteArray original = testenv::bigPlaylist(10000);
    ASSERT_TRUE(testenv::writeFile(dir + QStringLiteral("/big.z5p"), original));
    window->CurrentListKind = 3;
    playlists().LoadPlaylistFile(dir + QStringLiteral("/big.z5p"));
    EXPECT_EQ(window->CurrentListKind, 1);
    ASSERT_EQ(rows(1).count(), 10000);
    EXPECT_EQ(window->ListItemCount[1], 10000);
    EXPECT_EQ(window->ListCurrentItem[1], 17);
    EXPECT_EQ(rows(1).selectedRows(), std::vector<int>{17});
    EXPECT_FLOAT_EQ(window->ListDelayTime[1], 2.5f);
    EXPECT_EQ(ListDownloadOptions[1], QStringLiteral("001000"));
    EXPECT_EQ(ListTargetDirectory[1], QString()) << "row 17's target folder";
    EXPECT_EQ(window->ListFilePath[1], dir + QStringLiteral("/big.z5p"));
    EXPECT_EQ(rows(1).text(1), QStringLiteral("Ünïcødé ♫ 0.mp3"));
    EXPECT_EQ(rows(1).column(2, 4), QStringLiteral("text, more"));
    EXPECT_EQ(WaitWindow(), nullptr);

    ASSERT_EQ(playlists().SavePlaylistFile(dir + QStringLiteral("/saved.z5p"), true, false), 0);
    EXPECT_EQ(testenv::readFile(dir + QStringLiteral("/saved.z5p")), original);
    // Into an empty list and out again.
    ops().ClearCurrentList(false);
    ASSERT_EQ(rows(1).count(), 0);
    playlists().LoadPlaylistFile(dir + QStringLiteral("/saved.z5p"));
    ASSERT_EQ(playlists().SavePlaylistFile(dir + QStringLiteral("/again.z5p"), false, false), 0);
    EXPECT_EQ(testenv::readFile(dir + QStringLiteral("/again.z5p")), original);
    EXPECT_EQ(WaitWindow(), nullptr);
}

TEST_F(ListsWindow, HostilePlaylistsAddNothingOrOnlyWhatTheyHold)
{
    const QString dir = testenv::freshDir(QStringLiteral("hostile"));
    const auto head = [](const char* kind, const char* current = "1", const char* delay = "1") -> QByteArray {
        return QByteArray(kind) + "\r\n" + current + "\r\n" + delay + "\r\n101000\r\n\r\n\r\n\r\n\r\n";
    };
    QByteArray huge = head("1");
    huge.append(100 * 1024 * 1024, 'a');
    const struct {
        const char* name;
        QByteArray bytes;
        int rowsAdded;    // -1: refused
        int kindAfter;
        int current;      // -1: not checked
        float delay;      // the delay list 2 has afterwards
    } cases[] = {
        {"kind 0", head("0") + "a,b\r\n", -1, 2, -1, 1.5f},
        {"kind 9", head("9") + "a,b\r\n", -1, 2, -1, 1.5f},
        {"kind -1", head("-1") + "a,b\r\n", -1, 2, -1, 1.5f},
        {"kind 70000", head("70000") + "a,b\r\n", -1, 2, -1, 1.5f},
        {"no kind", head("list") + "a,b\r\n", 1, 2, 1, 1.0f},
        {"huge row number", head("2", "99999999999") + "a\r\nb\r\n", 2, 2, 3, 1.0f},
        {"delay 1e39", head("2", "1", "1e39") + "a\r\n", 1, 2, 1, 1.5f},
        {"delay NaN", head("2", "1", "NaN") + "a\r\n", 1, 2, 1, 1.5f},
        {"delay -5", head("2", "1", "-5") + "a\r\n", 1, 2, 1, 1.5f},
        {"delay 2,5", head("2", "1", "2,5") + "a\r\n", 1, 2, 1, 2.5f},
        {"header only", head("2", "0"), 0, 2, 0, 1.0f},
        {"100 MB line", huge, -1, 2, -1, 1.5f},
        {"binary", QByteArray("\x7f" "ELF\x02\x01\x01\0\0\0\0\0", 12) + QByteArray(200, '\xff'), 0, 2, -1, 1.5f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        rows(2).clear();
        rows(2).add(QStringLiteral("kept"));
        window->CurrentListKind = 2;
        window->ListCurrentItem[2] = 0;
        window->ListDelayTime[2] = 1.5f;
        window->ListFilePath[2] = QStringLiteral("/before.z5p");
        const QString path = dir + QStringLiteral("/case.z5p");
        ASSERT_TRUE(testenv::writeFile(path, c.bytes));
        playlists().LoadPlaylistFile(path);
        EXPECT_EQ(WaitWindow(), nullptr) << "the wait window always closes";
        EXPECT_EQ(window->CurrentListKind, c.kindAfter);
        EXPECT_EQ(rows(2).count(), 1 + std::max(0, c.rowsAdded));
        EXPECT_EQ(rows(2).text(1), QStringLiteral("kept"));
        EXPECT_FLOAT_EQ(window->ListDelayTime[2], c.delay);
        if (c.rowsAdded < 0) {
            EXPECT_EQ(window->ListFilePath[2], QStringLiteral("/before.z5p")) << "a refused file changes nothing";
        }
        if (c.current >= 0) {
            EXPECT_EQ(window->ListCurrentItem[2], c.current);
        }
    }
    // A file that is not there adds nothing either.
    playlists().LoadPlaylistFile(dir + QStringLiteral("/missing.z5p"));
    EXPECT_EQ(rows(2).count(), 1);
    EXPECT_EQ(WaitWindow(), nullptr);
}

// Rows with a column beyond the bound are left out and told in one message
// naming the file; NULs are dropped and the rest of their rows load.
TEST_F(ListsWindow, OverlongRowsAreLeftOutWithOneMessageAndNulsAreDropped)
{
    QStringList messages;
    platform::prompt::setResponder([&](const platform::prompt::Prompt& p) -> std::optional<platform::prompt::Answer> {
        messages << p.kind + QLatin1Char('|') + p.text;
        return platform::prompt::Answer{true, 1, {}};
    });
    const QString dir = testenv::freshDir(QStringLiteral("long rows"));
    const QByteArray head = "1\r\n1\r\n1\r\n101000\r\n\r\n\r\n\r\n\r\n";
    const QString longRows = dir + QStringLiteral("/long & 100%.z5p");
    ASSERT_TRUE(testenv::writeFile(longRows, head + "clean,/m/clean.mp3\r\nhuge," + QByteArray(4 << 20, 'x')
                                                 + "\r\n" + QByteArray(kPlaylistColumnLimit + 1, 'y')
                                                 + ",/m/y.mp3\r\nlast,/m/last.mp3\r\n"));
    window->CurrentListKind = 2;
    playlists().LoadPlaylistFile(longRows);
    EXPECT_EQ(window->CurrentListKind, 1);
    ASSERT_EQ(rows(1).count(), 2);
    EXPECT_EQ(rows(1).text(1), QStringLiteral("clean"));
    EXPECT_EQ(rows(1).text(2), QStringLiteral("last"));
    ASSERT_EQ(messages.size(), 1) << messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(messages[0], QStringLiteral("message|2 rows of the playlist %1 were left out: each has a column "
                                          "longer than 32768 characters.").arg(longRows));
    EXPECT_EQ(WaitWindow(), nullptr);

    messages.clear();
    rows(1).clear();
    const QString nuls = dir + QStringLiteral("/nuls.z5p");
    ASSERT_TRUE(testenv::writeFile(nuls, head + QByteArray("cl\0ean,/m/clean.mp3\r\n\0\r\n", 24)));
    playlists().LoadPlaylistFile(nuls);
    ASSERT_EQ(rows(1).count(), 1);
    EXPECT_EQ(rows(1).text(1), QStringLiteral("clean"));
    EXPECT_EQ(rows(1).column(1, 1), QStringLiteral("/m/clean.mp3"));
    EXPECT_TRUE(messages.isEmpty()) << "nothing left out, nothing to tell";
    platform::prompt::setResponder({});
}

TEST_F(ListsWindow, SavingWritesTheCurrentRowAndRemembersFoldersOutsideData)
{
    const QString dir = testenv::freshDir(QStringLiteral("saves"));
    window->CurrentListKind = 3;
    QStringList asked;
    platform::prompt::setResponder(answerPicker(QStringLiteral("save"), {}, &asked));
    EXPECT_EQ(playlists().SavePlaylistFile(QString(), false, true), 1);
    EXPECT_TRUE(asked.isEmpty()) << "an empty list asks for no name";

    for (const char* t : {"a.png", "b.png", "c.png"})
        rows(3).add(QString::fromLatin1(t));
    const struct {
        int current;
        const char* line2;
    } cases[] = {{2, "2"}, {0, "1"}, {3, "3"}};
    for (const auto& c : cases) {
        window->ListCurrentItem[3] = c.current;
        ASSERT_EQ(playlists().SavePlaylistFile(dir + QStringLiteral("/images.z5p"), true, false), 0);
        EXPECT_EQ(testenv::readFile(dir + QStringLiteral("/images.z5p")).split('\n').value(1), QByteArray(c.line2) + '\r');
        EXPECT_EQ(window->ListCurrentItem[3], c.current) << "the list keeps its current row";
    }
    EXPECT_EQ(window->SaveEnabled[3], -1);

    // Cancelled: nothing written, nothing remembered.
    window->LastFolders[8] = QStringLiteral("/remembered/");
    EXPECT_EQ(playlists().SavePlaylistFile(QString(), false, true), 1);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0].startsWith(QStringLiteral("Save Playlist|")));
    EXPECT_TRUE(asked[0].endsWith(QStringLiteral("Playlist File (*.z5p)|*.z5p")));
    EXPECT_EQ(window->LastFolders[8], QStringLiteral("/remembered/"));
    EXPECT_EQ(WaitWindow(), nullptr);

    // Into the program's Data folder (any letter case): the folder stays.
    const QString data = prog + QStringLiteral("/DATA");
    QDir(prog).rename(QStringLiteral("Data"), QStringLiteral("DATA"));
    platform::prompt::setResponder(answerPicker(QStringLiteral("save"), {data + QStringLiteral("/0301 1205AM.Z5P")}));
    EXPECT_EQ(playlists().SavePlaylistFile(QString(), false, true), 0);
    EXPECT_TRUE(QFile::exists(data + QStringLiteral("/0301 1205AM.Z5P")));
    EXPECT_EQ(window->LastFolders[8], QStringLiteral("/remembered/"));
    platform::prompt::setResponder(answerPicker(QStringLiteral("save"), {dir + QStringLiteral("/other.z5p")}));
    EXPECT_EQ(playlists().SavePlaylistFile(QString(), false, true), 0);
    EXPECT_EQ(window->LastFolders[8], dir + QLatin1Char('/'));
    EXPECT_EQ(window->ListFilePath[3], dir + QStringLiteral("/other.z5p"));

    // A file that cannot be written keeps the old one and says so.
    const QString locked = testenv::freshDir(QStringLiteral("locked"));
    testenv::writeFile(locked + QStringLiteral("/list.z5p"), "old");
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    if (!QFileInfo(locked).isWritable()) {
        EXPECT_EQ(playlists().SavePlaylistFile(locked + QStringLiteral("/list.z5p"), false, false), 1);
        EXPECT_EQ(testenv::readFile(locked + QStringLiteral("/list.z5p")), QByteArray("old"));
        EXPECT_EQ(WaitWindow(), nullptr);
    }
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(ListsWindow, AListThatIsNotShownIsSavedWhole)
{
    const QString dir = testenv::freshDir(QStringLiteral("whole"));
    window->CurrentListKind = 1;
    display().ShowCurrentList();
    for (int i = 0; i < 3; ++i)
        rows(5).add(QStringLiteral("link %1").arg(i));
    window->CurrentListKind = 5;
    ASSERT_EQ(playlists().SavePlaylistFile(dir + QStringLiteral("/links.z5p"), true, false), 0);
    const auto back = ParsePlaylist(testenv::readFile(dir + QStringLiteral("/links.z5p")));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->rows.size(), 3u);
}

TEST_F(ListsWindow, TheOpenDialogLoadsTheChosenFileAndRemembersItsFolder)
{
    const QString dir = testenv::freshDir(QStringLiteral("open"));
    testenv::writeFile(dir + QStringLiteral("/pics.z5p"), "3\r\n2\r\n4\r\n101000\r\n\r\n\r\n\r\n\r\na.png\r\nb.png\r\n");
    QStringList asked;
    platform::prompt::setResponder(answerPicker(QStringLiteral("open"), {dir + QStringLiteral("/pics.z5p")}, &asked));
    window->LastFolders[8] = dir;
    playlists().OpenPlaylistDialog();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0], QStringLiteral("Select PLAYLIST File|") + dir + QStringLiteral("|Playlist File (*.z5p)|*.z5p"));
    EXPECT_EQ(window->CurrentListKind, 3);
    EXPECT_EQ(texts(3), QStringList({"a.png", "b.png"}));
    EXPECT_EQ(rows(3).selectedRows(), std::vector<int>{2});
    EXPECT_EQ(window->LastFolders[8], dir + QLatin1Char('/'));
    EXPECT_EQ(window->APPLabel[2].caption(), QStringLiteral("4"));
    EXPECT_EQ(window->SaveEnabled[3], -1);
    EXPECT_EQ(window->SaveAsEnabled[3], -1);
    EXPECT_TRUE(fakes.calls.contains(QStringLiteral("UpdateTransportButtons")));
}

TEST_F(ListsWindow, FilesChosenInTheDialogAreAddedInItsOrder)
{
    const QString dir = testenv::freshDir(QStringLiteral("chosen"));
    for (const char* name : {"SONG.MP3", "b.wav", "a.mid", "notes.txt"})
        testenv::writeFile(dir + QLatin1Char('/') + QString::fromLatin1(name), "x");
    QStringList asked;
    platform::prompt::setResponder(answerPicker(
        QStringLiteral("open"),
        {dir + QStringLiteral("/b.wav"), dir + QStringLiteral("/SONG.MP3"), dir + QStringLiteral("/a.mid")}, &asked));
    window->CurrentListKind = 1;
    playlists().AddFilesFromDialog(1);
    EXPECT_EQ(texts(1), QStringList({"b.wav", "SONG.MP3", "a.mid"}));
    EXPECT_EQ(window->LastFolders[1], dir + QLatin1Char('/'));
    EXPECT_EQ(window->TimerStage, 2);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0].startsWith(QStringLiteral("Select Audio File|")));

    // The real dialog lists the upper-case name under the audio filter.
    platform::prompt::setResponder({});
    window->LastFolders[1] = dir;
    QStringList shown;
    testenv::whileOpen<int>(
        [&] {
            playlists().AddFilesFromDialog(1);
            return 0;
        },
        [&](QFileDialog& dialog) {
            auto* view = dialog.findChild<QAbstractItemView*>(QStringLiteral("listView"));
            if (view && testenv::waitFor([&] { return view->model()->rowCount(view->rootIndex()) > 0; }))
                for (int r = 0; r < view->model()->rowCount(view->rootIndex()); ++r)
                    shown << view->model()->index(r, 0, view->rootIndex()).data().toString();
            testenv::press(dialog, Qt::Key_Escape);
        });
    EXPECT_TRUE(shown.contains(QStringLiteral("SONG.MP3"))) << shown.join(QLatin1Char(',')).toStdString();
    EXPECT_FALSE(shown.contains(QStringLiteral("notes.txt")));
    EXPECT_EQ(rows(1).count(), 3) << "cancelled: nothing added";
}

TEST_F(ListsWindow, AFolderChosenInTheDialogKeepsOddNamesThroughSaveAndLoad)
{
    const QString dir = testenv::freshDir(QStringLiteral("odd folder"));
    QDir().mkpath(dir + QStringLiteral("/sub"));
    const QStringList files = {QStringLiteral("Ünïcødé ♫.wav"), QStringLiteral("say \"hi\", world.mp3"),
                               QStringLiteral(".hidden.mp3"),    QStringLiteral("note.z5s"),
                               QStringLiteral("site.url"),       QStringLiteral("picture.png"),
                               QStringLiteral("other.xyz"),      QStringLiteral("sub/deeper.mp3")};
    for (const QString& f : files)
        ASSERT_TRUE(testenv::writeFile(dir + QLatin1Char('/') + f, "x"));
    ASSERT_TRUE(QFile::link(dir, dir + QStringLiteral("/sub/loop")));

    // Mode 2 answered through the seam: the folder, with its sub-folders.
    QStringList asked;
    platform::prompt::setResponder([&](const platform::prompt::Prompt& p) -> std::optional<platform::prompt::Answer> {
        if (p.kind != QLatin1String("input"))
            return std::nullopt;
        asked << p.title + QLatin1Char('|') + p.text;
        platform::prompt::Answer a{true, 0, {}};
        a.paths = {dir, QStringLiteral("1")};
        return a;
    });
    window->LastFolders[1] = QStringLiteral("/start/here");
    window->CurrentListKind = 1;
    playlists().AddAllFilesInFolder(1);
    EXPECT_EQ(asked, QStringList{QStringLiteral("Add Files From Folder|/start/here")});
    EXPECT_EQ(texts(1), QStringList({".hidden.mp3", "say \"hi\", world.mp3", "Ünïcødé ♫.wav", "deeper.mp3"}))
        << "tree order: the folder's files by name, then each sub-folder; the loop is not followed";
    EXPECT_EQ(window->LastFolders[1], dir);
    EXPECT_EQ(DialogStrings[1], QStringLiteral("1"));
    EXPECT_EQ(window->CurrentListKind, 1) << "a fixed kind is not brought forward";

    // The same folder taken by type, as a dropped folder is.
    ops().LoadItemsIntoListView_Start(1);
    ops().AddFolderFiles(dir, true, -1);
    EXPECT_EQ(texts(1).mid(4), QStringList({".hidden.mp3", "say \"hi\", world.mp3", "Ünïcødé ♫.wav", "deeper.mp3"}));
    EXPECT_EQ(texts(3), QStringList({"picture.png"}));
    EXPECT_EQ(texts(4), QStringList({"note"}));
    EXPECT_EQ(texts(5), QStringList({"site"}));
    EXPECT_EQ(window->CurrentListKind, 5);

    // The odd names survive a playlist.
    window->CurrentListKind = 1;
    ASSERT_EQ(playlists().SavePlaylistFile(dir + QStringLiteral("/odd.z5p"), true, false), 0);
    const QStringList before = texts(1);
    QStringList paths;
    for (int i = 1; i <= rows(1).count(); ++i)
        paths << rows(1).column(i, 1);
    ops().ClearCurrentList(false);
    playlists().LoadPlaylistFile(dir + QStringLiteral("/odd.z5p"));
    EXPECT_EQ(texts(1), before);
    for (int i = 1; i <= rows(1).count(); ++i)
        EXPECT_EQ(rows(1).column(i, 1), paths.value(i - 1));
    EXPECT_EQ(rows(1).column(3, 1), dir + QStringLiteral("/Ünïcødé ♫.wav"));

    // Cancelled: nothing is added.
    platform::prompt::setResponder([](const platform::prompt::Prompt&) { return platform::prompt::Answer{}; });
    playlists().AddAllFilesInFolder(1);
    EXPECT_EQ(rows(1).count(), 8);
    EXPECT_EQ(DialogCancelled, 1);
}
