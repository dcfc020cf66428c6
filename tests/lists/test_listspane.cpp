// The side pane in the window: its lists and buttons for each kind, its
// layout and edge, and its controls made and unloaded with the lists.

#include "listsfixture.h"

#include "../browsing/fakebrowser.h"
#include "core/skinbinding.h"
#include "lists/listpanetables.h"
#include "mainwindow/windowplacement.h"
#include "pointerentry.h"

#include <QTreeView>

namespace {

bool showsPicture(const platform::forms::Image& image, int16_t id)
{
    const auto expected = GetSkinPicture(id, 0);
    return expected && !image.picture().isNull() && image.picture().toImage() == expected->toImage();
}

QStringList visibleButtons(frmExplorer& w)
{
    QStringList out;
    for (int i = 0; i <= 14; ++i)
        if (w.cmdPLControl.exists(i) && w.cmdPLControl[i].visible())
            out << QString::number(i);
    return out;
}

} // namespace

TEST_F(ListsWindow, EachKindShowsItsNameButtonsPicturesAndTooltips)
{
    const QStringList nineHidden = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "10", "11", "12", "13", "14"};
    const QStringList all = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14"};
    const QStringList link = {"0", "1", "2", "3", "4", "5", "6", "10", "11", "12", "13", "14"};
    const struct {
        int kind;
        const char* name;
        QStringList buttons;
    } cases[] = {{1, "Audio List", nineHidden}, {2, "Video List", nineHidden},     {3, "Image List", all},
                 {4, "Web-Snippet List", all},  {5, "Link List", link}, {6, "Download File List", nineHidden}};
    for (const auto& c : cases) {
        rows(c.kind).add(QStringLiteral("item of list %1").arg(c.kind));
        window->CurrentListKind = static_cast<int16_t>(c.kind);
        fakes.calls.clear();
        display().ShowCurrentList();
        EXPECT_EQ(visibleButtons(*window), c.buttons) << c.kind;
        EXPECT_TRUE(fakes.calls.contains(QStringLiteral("SetStatusMessage(%1)").arg(QString::fromUtf8(c.name)))
                    || fakes.calls.join(QLatin1Char('|')).contains(QString::fromUtf8(c.name)))
            << c.kind;
        EXPECT_EQ(window->cmdPLControl[1].toolTipText(), QLatin1Char(' ') + QString::fromUtf8(c.name) + QLatin1Char(' '));
        for (int b = 0; b <= listpane::ButtonsUsed(c.kind); ++b) {
            EXPECT_TRUE(showsPicture(window->cmdPLControl[b], listpane::ButtonPicture(b, c.kind, 0)))
                << c.kind << " button " << b;
        }
        EXPECT_TRUE(showsPicture(window->cmdPLControl[11], 290)) << "a list with rows can be moved";
        EXPECT_TRUE(display().listView(c.kind)->widget()->isVisible());
        // The kind's list lies in front of the others.
        const QWidget* list = display().listView(c.kind)->widget();
        for (int k = 1; k <= 6; ++k) {
            const QWidget* other = display().listView(k)->widget();
            if (k != c.kind) {
                EXPECT_GT(list->parentWidget()->children().indexOf(list), other->parentWidget()->children().indexOf(other));
            }
        }
        shot(QStringLiteral("z5-lists-kind%1.png").arg(c.kind));
    }
    EXPECT_EQ(window->cmdPLControl[4].toolTipText(), QStringLiteral(" Add Links On Page "));
    EXPECT_EQ(window->cmdPLControl[14].toolTipText(), QStringLiteral(" Clear Playlist "));
}

TEST_F(ListsWindow, AnEmptyOrPlayingListDisablesMoveRemoveAndClear)
{
    window->CurrentListKind = 2;
    display().ShowCurrentList();
    const int16_t disabled[] = {293, 297, 301, 305};
    for (int b = 11; b <= 14; ++b) {
        EXPECT_FALSE(window->cmdPLControl[b].enabled());
        EXPECT_TRUE(showsPicture(window->cmdPLControl[b], disabled[b - 11])) << b;
    }
    rows(2).add(QStringLiteral("clip.avi"));
    display().UpdatePlaylistButtons();
    EXPECT_TRUE(window->cmdPLControl[13].enabled());
    window->ListPlayState[2] = 2;
    display().UpdatePlaylistButtons();
    EXPECT_FALSE(window->cmdPLControl[13].enabled());
    EXPECT_FALSE(rows(2).multiSelect()) << "a playing list takes one row at a time";
}

TEST_F(ListsWindow, SortingTogglesTheOrderAndItsPicture)
{
    window->CurrentListKind = 4;
    display().ShowCurrentList();
    display().SortCurrentList();
    EXPECT_EQ(rows(4).sortOrder(), 0) << "an empty list is not sorted";
    for (const char* t : {"b", "C", "a"})
        rows(4).add(QString::fromLatin1(t));
    rows(4).selectRows({2});
    display().SortCurrentList();
    EXPECT_EQ(texts(4), QStringList({"C", "b", "a"}));
    EXPECT_TRUE(showsPicture(window->cmdPLControl[10], 287));
    EXPECT_EQ(rows(4).selectedRows(), std::vector<int>{1}) << "the selected row went with its text";
    display().SortCurrentList();
    EXPECT_EQ(texts(4), QStringList({"a", "b", "C"}));
    EXPECT_TRUE(showsPicture(window->cmdPLControl[10], 284));
    // A sorted list takes a new row at its place.
    rows(4).add(QStringLiteral("B2"));
    EXPECT_EQ(texts(4), QStringList({"a", "b", "B2", "C"}));
}

TEST_F(ListsWindow, TheCurrentRowIsShownWithinTheList)
{
    window->CurrentListKind = 1;
    for (int i = 1; i <= 40; ++i)
        rows(1).add(QStringLiteral("track %1.mp3").arg(i));
    display().UpdatePlaylistButtons();
    const struct {
        int current;
        int selected;
    } cases[] = {{0, 1}, {7, 7}, {99, 40}};
    for (const auto& c : cases) {
        rows(1).selectRows({3, 4});
        window->ListCurrentItem[1] = c.current;
        display().SelectCurrentListItem();
        EXPECT_EQ(rows(1).selectedRows(), std::vector<int>{c.selected}) << c.current;
        EXPECT_EQ(window->ListCurrentItem[1], c.current) << "the current row itself stays";
        EXPECT_TRUE(rows(1).multiSelect());
    }
    QTreeView* tree = display().listView(1)->tree();
    EXPECT_TRUE(tree->viewport()->rect().intersects(tree->visualRect(rows(1).index(39, 0))));

    // A hidden pane selects nothing, unless the window is in full screen.
    showPane(false);
    window->ListCurrentItem[1] = 5;
    display().SelectCurrentListItem();
    EXPECT_EQ(rows(1).selectedRows(), std::vector<int>{40});
    window->Placement().SetFullScreenMode(-1);
    display().SelectCurrentListItem();
    EXPECT_EQ(rows(1).selectedRows(), std::vector<int>{5});
}

TEST_F(ListsWindow, FirstColumnsLeaveRoomForAScrollBarOnlyWhenTheListScrolls)
{
    window->CurrentListKind = 1;
    rows(2).add(QStringLiteral("one"));
    for (int i = 0; i < 200; ++i)
        rows(3).add(QStringLiteral("row"));
    display().SizeListColumns();
    const struct {
        int kind;
        double margin;
    } cases[] = {{1, 25}, {2, 75}, {3, 325}};
    for (const auto& c : cases) {
        const platform::forms::ListView& list = *display().listView(c.kind);
        EXPECT_NEAR(list.columnWidth(0), list.width() - c.margin, 15) << c.kind;
    }
}

TEST_F(ListsWindow, HidingThePaneKeepsListsWithRowsAndUnloadsEmptyOnes)
{
    ASSERT_EQ(window->ListPaneBuilt, -1);
    EXPECT_TRUE(showsPicture(window->cmdShowHide[0], 143));
    EXPECT_EQ(window->cmdShowHide[0].toolTipText(), QStringLiteral(" Hide Playlist "));
    rows(6).add(QStringLiteral("file.zip"));
    showPane(false);
    EXPECT_TRUE(showsPicture(window->cmdShowHide[0], 145));
    EXPECT_EQ(window->cmdShowHide[0].toolTipText(), QStringLiteral(" Show Playlist "));
    EXPECT_FALSE(window->SPLITTER1->visible());
    EXPECT_TRUE(window->ListView.exists(6));
    EXPECT_FALSE(window->ListView[6].visible());
    EXPECT_FALSE(window->cmdPLControl[5].visible());

    // With every list empty the lists and buttons go, and come back fresh.
    showPane(true);
    display().listView(6)->setColumnWidth(0, 1234);
    rows(6).clear();
    showPane(false);
    for (int k = 1; k <= 6; ++k)
        EXPECT_FALSE(window->ListView.exists(k)) << k;
    EXPECT_FALSE(window->cmdPLControl.exists(1));
    EXPECT_TRUE(window->cmdPLControl.exists(0));
    EXPECT_EQ(window->ListPaneBuilt, 0);
    display().InitListPaneToolbar();
    for (int k = 1; k <= 6; ++k)
        EXPECT_DOUBLE_EQ(display().listView(k)->columnWidth(0), 3000) << k;
    EXPECT_EQ(window->cmdPLControl.count(), 15);
}

TEST_F(ListsWindow, RowsNeverDieWithTheControls)
{
    // A page address added while the pane was never built.
    TearDown();
    paneShown = false;
    SetUp();
    ASSERT_EQ(window->ListPaneBuilt, 0);
    platform::browser::FakeBrowser page;
    page.location = QStringLiteral("http://example.test/page.html");
    page.title = QStringLiteral("A page");
    fakes.currentBrowser = &page;
    fakes.currentTabBlank = false;
    lists->AddPageAddress();
    EXPECT_EQ(window->ListItemCount[5], 1);
    showPane(true);
    window->CurrentListKind = 5;
    display().ShowCurrentList();
    ASSERT_NE(display().listView(5), nullptr);
    EXPECT_EQ(display().listView(5)->count(), 1);
    EXPECT_EQ(display().listView(5)->itemText(1), QStringLiteral("A page"));
    EXPECT_EQ(rows(5).column(1, 1), QStringLiteral("http://example.test/page.html"));
    // A blank page adds nothing.
    fakes.currentTabBlank = true;
    lists->AddPageAddress();
    EXPECT_EQ(rows(5).count(), 1);
    // The selection outlives the view as well.
    rows(5).add(QStringLiteral("second"));
    rows(5).selectRows({2});
    showPane(false);
    showPane(true);
    EXPECT_EQ(rows(5).selectedRows(), std::vector<int>{2});
    EXPECT_EQ(display().listView(5)->tree()->selectionModel(), rows(5).selectionModel());
}

TEST_F(ListsWindow, ThePaneEdgeDraggedByTheMouseStopsAtBothLimits)
{
    ASSERT_TRUE(testenv::pointerEntersFromElsewhere());
    platform::forms::Image& edge = *window->SPLITTER1;
    QWidget* grip = edge.widget();
    ASSERT_TRUE(grip->isVisible());
    ASSERT_GT(grip->width(), 0) << "an edge the pointer can take hold of";
    const auto drag = [&](int dx) {
        const QPoint from = grip->rect().center();
        QTest::mousePress(grip, Qt::LeftButton, {}, from);
        EXPECT_TRUE(window->SPLITTER2[0].visible()) << "the drag bar shows while the edge is held";
        for (int step = 1; step <= 10; ++step)
            QTest::mouseMove(grip, from + QPoint(dx * step / 10, 0));
        QTest::mouseRelease(grip, Qt::LeftButton, {}, from + QPoint(dx, 0));
    };
    const platform::forms::Label& pane = window->APPLabel[4];
    drag(-400);
    EXPECT_DOUBLE_EQ(pane.width(), window->MinPaneWidth);
    EXPECT_FALSE(window->SPLITTER2[0].visible());
    EXPECT_DOUBLE_EQ(window->PicHolder[0].left(), pane.left() + pane.width());

    // Where the release put the bar, read as the body is laid out again.
    double barAtRelease = -1;
    window->Trace = [&](const QString& step, int) {
        if (step == QLatin1String("LayoutBody"))
            barAtRelease = window->SPLITTER2[0].left();
    };
    drag(1000);
    window->Trace = nullptr;
    EXPECT_DOUBLE_EQ(barAtRelease, window->scaleWidth() - 1000);
    // The pane leaves the page area 1000 twips of the body.
    const double body = window->scaleWidth() - window->SkinPiece[7].width() - window->SkinPiece[5].width();
    EXPECT_DOUBLE_EQ(pane.width(), body - 1000);
    EXPECT_DOUBLE_EQ(edge.left(), pane.left() + pane.width() - edge.width());
    shot(QStringLiteral("z5-lists-wide-pane.png"));

    // A narrower window cuts the pane, which stays cut when it grows again.
    window->move(0, 0, 9200, 6675);
    window->Form_Resize();
    const double narrow = pane.width();
    EXPECT_LT(narrow, body - 1000);
    window->move(0, 0, 12000, 8000);
    window->Form_Resize();
    EXPECT_DOUBLE_EQ(pane.width(), narrow);
}
