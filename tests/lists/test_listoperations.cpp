// The rows of the six lists and their state: adders, the bulk-fill
// bracket, clearing, selecting, removing, swapping and moving rows.

#include "listsfixture.h"

#include "core/waitwindow.h"

namespace {

void fill(platform::forms::ListRows& rows, const QStringList& texts)
{
    for (const QString& t : texts) {
        const int r = rows.add(t);
        rows.setColumn(r, 1, QStringLiteral("/media/") + t);
    }
}

std::vector<int> ints(std::initializer_list<int> v)
{
    return std::vector<int>(v);
}

} // namespace

TEST_F(ListsWindow, RemovingTheSelectionKeepsTheTopmostRemovedRowCurrent)
{
    window->CurrentListKind = 2;
    fill(rows(2), {"a", "b", "c", "d", "e", "f"});
    rows(2).setMultiSelect(true);
    window->ListCurrentItem[2] = 1;
    rows(2).selectRows({3, 5});
    ops().RemoveSelectedItems();
    EXPECT_EQ(texts(2), QStringList({"a", "b", "d", "f"}));
    EXPECT_EQ(window->ListItemCount[2], 4);
    EXPECT_EQ(window->ListCurrentItem[2], 3);
    EXPECT_EQ(rows(2).selectedRows(), ints({3}));
    EXPECT_EQ(window->ButtonReleased, -1) << "no button counts as held after the rows went";

    // The last rows gone: the current row is the new last one.
    rows(2).selectRows({3, 4});
    ops().RemoveSelectedItems();
    EXPECT_EQ(window->ListCurrentItem[2], 2);

    // All of them: the list goes offline and has no current row.
    ListDownloadOptions[2] = QStringLiteral("001000");
    rows(2).selectAll();
    ops().RemoveSelectedItems();
    EXPECT_EQ(window->ListItemCount[2], 0);
    EXPECT_EQ(window->ListCurrentItem[2], 0);
    EXPECT_EQ(ListDownloadOptions[2], QStringLiteral("101000"));
    EXPECT_TRUE(fakes.calls.contains(QStringLiteral("SetSliderTrackPictures(1)")));
}

TEST_F(ListsWindow, MovingTheSelectionClosesUpAgainstTheEnds)
{
    const struct {
        bool up;
        std::vector<int> selected;
        bool moved;
        QStringList order;
        std::vector<int> after;
    } cases[] = {
        {true, {1, 3}, true, {"a", "c", "b", "d", "e"}, {1, 2}},
        {true, {1}, false, {"a", "b", "c", "d", "e"}, {1}},
        {true, {2, 3}, true, {"b", "c", "a", "d", "e"}, {1, 2}},
        {true, {1, 2, 4}, true, {"a", "b", "d", "c", "e"}, {1, 2, 3}},
        {false, {4, 5}, false, {"a", "b", "c", "d", "e"}, {4, 5}},
        {false, {2, 4}, true, {"a", "c", "b", "e", "d"}, {3, 5}},
        {false, {3, 5}, true, {"a", "b", "d", "c", "e"}, {4, 5}},
    };
    window->CurrentListKind = 1;
    for (const auto& c : cases) {
        rows(1).clear();
        fill(rows(1), {"a", "b", "c", "d", "e"});
        rows(1).setMultiSelect(true);
        rows(1).selectRows(c.selected);
        EXPECT_EQ(ops().MoveSelectedItems(c.up), c.moved) << c.up << c.selected.front();
        EXPECT_EQ(texts(1), c.order) << c.up << c.selected.front();
        EXPECT_EQ(rows(1).selectedRows(), c.after) << c.up << c.selected.front();
        // Every column travels with its row.
        for (int i = 1; i <= 5; ++i)
            EXPECT_EQ(rows(1).column(i, 1), QStringLiteral("/media/") + rows(1).text(i));
    }
    // No selection: nothing moves, and the next move still works.
    rows(1).clearSelection();
    EXPECT_FALSE(ops().MoveSelectedItems(true));
    rows(1).selectRows({2});
    EXPECT_TRUE(ops().MoveSelectedItems(true));
}

TEST_F(ListsWindow, SwappingTwoRowsMovesTheirColumnsAndTheSelection)
{
    window->CurrentListKind = 3;
    fill(rows(3), {"x", "y", "z"});
    rows(3).setColumn(1, 4, QStringLiteral("link x"));
    rows(3).selectRows({1});
    ops().SwapListItems(1, 3);
    EXPECT_EQ(texts(3), QStringList({"z", "y", "x"}));
    EXPECT_EQ(rows(3).column(3, 4), QStringLiteral("link x"));
    EXPECT_EQ(rows(3).selectedRows(), ints({3}));
    EXPECT_EQ(rows(3).currentRow(), 3);
}

TEST_F(ListsWindow, FilesGoToTheListTheirTypeFitsNamedAsTheListWants)
{
    const struct {
        const char* path;
        int kind;
        bool skipTypeCheck;
        const char* text; // nullptr: no row
    } cases[] = {
        {"/m/song.mp3", 1, false, "song.mp3"},
        {"/m/clip.avi", 2, false, "clip.avi"},
        {"/m/clip.avi", 1, false, nullptr},
        {"/m/photo.JPG", 3, false, "photo.JPG"},
        {"/m/EXPANDTOFULL.JPG", 3, false, nullptr},
        {"/m/note.z5s", 4, false, "note"},
        {"/m/site.URL", 5, false, "site"},
        {"/m/setup.exe", 6, false, nullptr},
        {"/m/setup.exe", 6, true, "setup.exe"},
        {"/m/setup.exe", 7, true, nullptr},
    };
    for (const auto& c : cases) {
        const int before = c.kind <= 6 ? rows(c.kind).count() : 0;
        ops().AddFileToList(QString::fromUtf8(c.path), static_cast<int16_t>(c.kind), c.skipTypeCheck);
        EXPECT_EQ(window->ListItemRecord[0][1], QString::fromUtf8(c.path));
        if (c.kind > 6)
            continue;
        ASSERT_EQ(rows(c.kind).count(), before + (c.text ? 1 : 0)) << c.path << " " << c.kind;
        if (c.text) {
            EXPECT_EQ(rows(c.kind).text(before + 1), QString::fromUtf8(c.text));
            EXPECT_EQ(rows(c.kind).column(before + 1, 1), QString::fromUtf8(c.path));
        }
    }
    // Offline lists give no target folder; others give theirs.
    EXPECT_TRUE(rows(1).column(1, 3).isEmpty());
    ListDownloadOptions[1] = QStringLiteral("001000");
    ListTargetDirectory[1] = QStringLiteral("/downloads");
    ops().AddFileToList(QStringLiteral("/m/b.wav"), 1, false);
    EXPECT_EQ(rows(1).column(2, 3), QStringLiteral("/downloads"));
}

TEST_F(ListsWindow, AFolderByTypeFillsEachFittingListAndEndsOnTheHighest)
{
    const QString folder = testenv::freshDir(QStringLiteral("by type"));
    QDir().mkpath(folder + QStringLiteral("/sub"));
    for (const char* name : {"a.mp3", "b.png", "c.xyz", "sub/d.wav"})
        testenv::writeFile(folder + QLatin1Char('/') + QString::fromUtf8(name), "x");
    window->CurrentListKind = 6;
    ops().LoadItemsIntoListView_Start(6);
    ops().AddFolderFiles(folder, true, -1);
    EXPECT_EQ(texts(1), QStringList({"a.mp3", "d.wav"}));
    EXPECT_EQ(texts(3), QStringList({"b.png"}));
    EXPECT_EQ(window->CurrentListKind, 3);
    EXPECT_EQ(window->TimerStage, 2);
    // Without sub-folders, and for one kind only.
    ops().AddFolderFiles(folder, false, 1);
    EXPECT_EQ(texts(1), QStringList({"a.mp3", "d.wav", "a.mp3"}));
}

TEST_F(ListsWindow, TheBracketLeavesNoCurrentRowAndOffersSaveAs)
{
    window->CurrentListKind = 1;
    fill(rows(1), {"a", "b"});
    window->ListCurrentItem[1] = 2;
    window->SaveEnabled[1] = -1;
    ops().LoadItemsIntoListView_Start(1);
    EXPECT_NE(WaitWindow(), nullptr);
    ops().AddFileToList(QStringLiteral("/m/c.mp3"), 1, false);
    ops().LoadItemsIntoListView_Final(1);
    EXPECT_EQ(WaitWindow(), nullptr);
    EXPECT_EQ(window->ListCurrentItem[1], 0);
    EXPECT_EQ(window->ListItemCount[1], 3);
    EXPECT_EQ(window->SaveEnabled[1], 0);
    EXPECT_EQ(window->SaveAsEnabled[1], -1);
    EXPECT_EQ(window->APPLabel[1].caption(), QStringLiteral("3"));
}

TEST_F(ListsWindow, ClearingAsksFirstAndLeavesTheListWithoutFileOrOptions)
{
    QStringList asked;
    int answer = 2;
    platform::prompt::setResponder([&](const platform::prompt::Prompt& p) {
        asked << p.text;
        return platform::prompt::Answer{true, answer, {}};
    });
    window->CurrentListKind = 1;
    ops().ClearCurrentList(true);
    EXPECT_TRUE(asked.isEmpty()) << "an empty list asks nothing";

    fill(rows(1), {"a", "b"});
    window->ListFilePath[1] = QStringLiteral("/x/list.z5p");
    window->SaveEnabled[1] = window->SaveAsEnabled[1] = -1;
    ListDownloadOptions[1] = QStringLiteral("011111");
    ListTargetDirectory[1] = QStringLiteral("/downloads");
    ops().ClearCurrentList(true);
    EXPECT_EQ(asked, QStringList{QStringLiteral("Are you sure you want to clear the Playlist ?")});
    EXPECT_EQ(rows(1).count(), 2) << "No keeps the rows";

    answer = 3;
    ops().ClearCurrentList(true);
    EXPECT_EQ(rows(1).count(), 0);
    EXPECT_EQ(window->ListItemCount[1], 0);
    EXPECT_TRUE(window->ListFilePath[1].isEmpty());
    EXPECT_TRUE(ListTargetDirectory[1].isEmpty());
    EXPECT_EQ(ListDownloadOptions[1], QStringLiteral("101111"));
    EXPECT_EQ(window->SaveEnabled[1], 0);
    EXPECT_EQ(window->SaveAsEnabled[1], 0);
    EXPECT_TRUE(fakes.calls.contains(QStringLiteral("CloseAudioPlayer")));
}

TEST_F(ListsWindow, SelectAllAndTheDuplicateSearch)
{
    window->CurrentListKind = 5;
    fill(rows(5), {"one", "two"});
    rows(5).setColumn(2, 2, QStringLiteral("http://ref/"));
    rows(5).setMultiSelect(false);
    ops().SelectAllListItems();
    EXPECT_TRUE(rows(5).multiSelect());
    EXPECT_EQ(rows(5).selectedRows(), ints({1, 2}));

    EXPECT_TRUE(ops().FindListItem(5, QStringLiteral("/media/two"), false));
    EXPECT_FALSE(ops().FindListItem(5, QStringLiteral("/media/TWO"), false)) << "letter case counts";
    EXPECT_TRUE(ops().FindListItem(5, QStringLiteral("twohttp://ref/"), true));
    EXPECT_FALSE(ops().FindListItem(5, QStringLiteral("two"), true));
    EXPECT_FALSE(ops().FindListItem(4, QStringLiteral("/media/two"), false));
}

TEST_F(ListsWindow, AddressesTypedIntoTheDialogBecomeRows)
{
    platform::prompt::setResponder([](const platform::prompt::Prompt& p) -> std::optional<platform::prompt::Answer> {
        if (p.kind != QLatin1String("input"))
            return std::nullopt;
        platform::prompt::Answer a{true, 0, {}};
        a.paths = {QStringLiteral("http://h/dir/file.mp3"), QStringLiteral("http://h/dir/"), QStringLiteral("plain"),
                   QStringLiteral("  ")};
        return a;
    });
    ListDownloadOptions[6] = QStringLiteral("001000");
    ListTargetDirectory[6] = QStringLiteral("/downloads");
    ops().AddItemManually(6);
    EXPECT_EQ(texts(6), QStringList({"file.mp3", "", "plain"}));
    EXPECT_EQ(rows(6).column(2, 1), QStringLiteral("http://h/dir/"));
    EXPECT_EQ(rows(6).column(1, 3), QStringLiteral("/downloads"));
    EXPECT_EQ(window->SaveAsEnabled[6], -1) << "the bracket's end ran";
}
