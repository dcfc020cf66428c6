// The lists under the user's hands: clicks and double clicks on rows, the
// edit menu, the address drop-down's highlight, drops through a list's
// viewport, the pane's buttons for every kind (held Move buttons on a clock
// the test moves) and sending the selected files to the trash.

#include "listsfixture.h"

#include "lists/listfiledeletion.h"
#include "lists/listpanelayout.h"
#include "lists/listpanebuttons.h"
#include "lists/listviewevents.h"
#include "mainwindow/hovertracking.h"

#include "httpserver.h"
#include "virtualclock.h"

#include <QMimeData>
#include <QMouseEvent>
#include <QStandardPaths>
#include <QTreeView>
#include <QUrl>

namespace {

void fill(platform::forms::ListRows& rows, int n, const QString& folder = QStringLiteral("/media"))
{
    for (int i = 1; i <= n; ++i)
        rows.setColumn(rows.add(QStringLiteral("row%1").arg(i)), 1, folder + QStringLiteral("/row%1.wav").arg(i));
}

class ListInput : public ListsWindow {
protected:
    void SetUp() override
    {
        ListsWindow::SetUp();
        buttons().setRepeatTimer(clock.timer());
        buttons().pointerOver = [this](int) { return pointerOn; };
    }
    ListPaneButtons& buttons() { return lists->buttons(); }
    ListViewEvents& events() { return lists->listEvents(); }
    // The pane's lists exist and kind is current.
    platform::forms::ListView& current(int kind)
    {
        window->CurrentListKind = static_cast<int16_t>(kind);
        display().InitListPaneToolbar();
        display().ShowCurrentList();
        return *display().listView(kind);
    }
    void press(int b, int mouse = platform::forms::LeftButton) { buttons().cmdPLControl_MouseDown(b, mouse); }
    void release(int b)
    {
        const auto& c = window->cmdPLControl[b];
        buttons().cmdPLControl_MouseUp(b, c.width() / 2, c.height() / 2);
    }
    // Drags the data over the list's viewport and drops it there; whether
    // the list took it, copying.
    bool drop(int kind, QMimeData* data)
    {
        QWidget* viewport = current(kind).tree()->viewport();
        const QPoint at(5, 5);
        const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
        QDragEnterEvent enter(at, offered, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &enter);
        if (!enter.isAccepted() || enter.dropAction() != Qt::CopyAction)
            return false;
        QDragMoveEvent move(at, offered, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &move);
        QDropEvent dropped(at, offered, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &dropped);
        return dropped.isAccepted() && dropped.dropAction() == Qt::CopyAction;
    }
    static QMimeData* files(const QStringList& paths)
    {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const QString& p : paths)
            urls << (p.contains(QLatin1String("://")) ? QUrl(p) : QUrl::fromLocalFile(p));
        data->setUrls(urls);
        return data;
    }
    QPoint rowCentre(platform::forms::ListView& list, int row)
    {
        return list.tree()->visualRect(list.rows().index(row - 1, 0)).center();
    }
    void mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton b, Qt::MouseButtons held)
    {
        QMouseEvent e(type, at, w->mapToGlobal(at), b, held, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }
    void answerMessages(int code)
    {
        platform::prompt::setResponder([this, code](const platform::prompt::Prompt& p) -> std::optional<platform::prompt::Answer> {
            asked << p.text;
            return platform::prompt::Answer{true, code, {}};
        });
    }

    testenv::VirtualClock clock;
    bool pointerOn = true;
    QStringList asked;
};

} // namespace

// Move Up held on three selected rows of fifty: a place at once, again
// after 100 ms, then every 10 ms, up to the top; the release or the pointer
// leaving ends it at once.
TEST_F(ListInput, AHeldMoveButtonRepeatsAfter100MsThenEvery10MsUntilTheTopOrTheRelease)
{
    auto& list = current(1);
    fill(rows(1), 50);
    window->ListItemCount[1] = 50;
    display().UpdatePlaylistButtons();
    ASSERT_TRUE(rows(1).multiSelect());
    const auto selectedTop = [&] { return rows(1).selectedRows().empty() ? 0 : rows(1).selectedRows().front(); };

    rows(1).selectRows({40, 41, 42});
    press(11);
    EXPECT_EQ(selectedTop(), 39) << "one place at once";
    clock.advance(99);
    EXPECT_EQ(selectedTop(), 39);
    clock.advance(1);
    EXPECT_EQ(selectedTop(), 38);
    clock.advance(10);
    EXPECT_EQ(selectedTop(), 37);
    clock.advance(360);
    EXPECT_EQ(selectedTop(), 1) << "at 470 ms the block is at the top";
    EXPECT_TRUE(buttons().Repeating());
    clock.advance(10);
    EXPECT_FALSE(buttons().Repeating()) << "nothing moved: the loop ended by itself";
    EXPECT_EQ(rows(1).selectedRows(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(list.rows().text(1), QStringLiteral("row40"));
    EXPECT_EQ(list.rows().text(4), QStringLiteral("row1"));
    release(11);

    // At the top already: nothing moves and nothing waits.
    press(11);
    EXPECT_FALSE(buttons().Repeating());
    release(11);

    // Down, released after 150 ms.
    press(12);
    clock.advance(150);
    EXPECT_EQ(selectedTop(), 8);
    release(12);
    clock.advance(500);
    EXPECT_EQ(selectedTop(), 8) << "the release ended it";

    // Down again, the pointer leaving the button at 125 ms.
    press(12);
    clock.advance(125);
    pointerOn = false;
    clock.advance(500);
    EXPECT_EQ(selectedTop(), 12);
    EXPECT_FALSE(buttons().Repeating());
    EXPECT_TRUE(fakes.calls.isEmpty() || !fakes.calls.contains(QStringLiteral("ShowPlaylistMenu")));
}

// Buttons 2-9 of every kind run their kind's command on a release over the
// button; the fixed buttons do what they do for every kind.
TEST_F(ListInput, ThePaneButtonsOfEveryKindRunTheirCommandOnTheReleaseOverTheButton)
{
    const std::map<int, QStringList> commands = {
        {1, {"AddPageLinksToList(1,2,0)", "AddClipboardLinksToList(1)", "AddFilesFromDialog(1)", "AddAllFilesInFolder(1)",
             "AddItemManually(1)", "DeleteSelectedToRecycleBin(1)", "ShowDownloadSetup(1)", ""}},
        {2, {"AddPageLinksToList(2,2,0)", "AddClipboardLinksToList(2)", "AddFilesFromDialog(2)", "AddAllFilesInFolder(2)",
             "AddItemManually(2)", "DeleteSelectedToRecycleBin(2)", "ShowDownloadSetup(2)", ""}},
        {3, {"AddPageLinksToList(3,2,0)", "AddPageLinksToList(3,3,1)", "AddClipboardLinksToList(3)", "AddFilesFromDialog(3)",
             "AddAllFilesInFolder(3)", "AddItemManually(3)", "DeleteSelectedToRecycleBin(3)", "ShowDownloadSetup(3)"}},
        {4, {"CaptureSelectionAsSnippet", "AddFilesFromDialog(4)", "AddAllFilesInFolder(4)", "ShowSnippetViewPage(1,)",
             "ShowSnippetViewPage(2,)", "ShowSnippetViewPage(3,)", "DeleteSelectedToRecycleBin(4)", "ShowPlaylistFormatMenu"}},
        {5, {"AddPageAddress", "AddClipboardLinksToList(5)", "AddFilesFromDialog(5)", "AddAllFilesInFolder(5)",
             "AddItemManually(5)", "", "", ""}},
        {6, {"AddPageLinksToList(6,2,1)", "AddPageLinksToList(6,2,2)", "AddClipboardLinksToList(6)", "AddItemManually(6)",
             "StartListDownload(6,1,1)", "StartListDownload(6,0,1)", "ShowDownloadSetup(6)", ""}},
    };
    for (const auto& [kind, expected] : commands) {
        current(kind);
        // The commands go to the recording lists service.
        services.SetLists(&fakes);
        for (int b = 2; b <= 9; ++b) {
            fakes.calls.clear();
            press(b);
            release(b);
            const QString want = expected[b - 2];
            QStringList ran = fakes.calls.filter(QRegularExpression(QStringLiteral("^(Add|Capture|Show(Snippet|Download|PlaylistFormat)|Delete|Start)")));
            EXPECT_EQ(ran, want.isEmpty() ? QStringList() : QStringList{want}) << "kind " << kind << " button " << b;
        }
        // Pressed, released off the button: nothing.
        fakes.calls.clear();
        press(2);
        buttons().cmdPLControl_MouseUp(2, -1, -1);
        EXPECT_TRUE(fakes.calls.filter(QStringLiteral("Add")).isEmpty());
        services.SetLists(lists.get());
    }
    // The playlist menu on the press; the change of list both ways.
    fakes.calls.clear();
    press(0);
    EXPECT_TRUE(fakes.calls.join(QLatin1Char(' ')).contains(QLatin1String("ShowPlaylistMenu")));
    release(0);
    window->CurrentListKind = 6;
    press(1);
    release(1);
    EXPECT_EQ(window->CurrentListKind, 1);
    press(1, platform::forms::RightButton);
    release(1);
    EXPECT_EQ(window->CurrentListKind, 6);
}

// A click makes the row current (the audio and video lists stop), the
// buttons refreshed unless the move is between two inner rows; a double
// click plays, shows or downloads by kind; the right button opens the edit
// menu on a list that is neither empty nor playing.
TEST_F(ListInput, ClicksDoubleClicksAndTheRightButtonOnTheRows)
{
    auto& audio = current(1);
    fill(rows(1), 10);
    display().ShowListCount(false);
    struct Click {
        int from, to;
        bool refreshed;
    } clicks[] = {{3, 4, false}, {4, 1, true}, {1, 2, true}, {5, 10, true}, {9, 8, false}};
    for (const Click& c : clicks) {
        window->ListCurrentItem[1] = c.from;
        fakes.calls.clear();
        events().ListView_ItemClick(1, c.to);
        EXPECT_EQ(window->ListCurrentItem[1], c.to);
        EXPECT_EQ(fakes.calls.contains(QStringLiteral("UpdateTransportButtons")), c.refreshed) << c.from << " to " << c.to;
        EXPECT_TRUE(fakes.calls.contains(QStringLiteral("StopList(1)")));
    }
    // A real click through the viewport: the status shows the row's path.
    fakes.calls.clear();
    QWidget* viewport = audio.tree()->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, rowCentre(audio, 6));
    EXPECT_EQ(window->ListCurrentItem[1], 6);
    EXPECT_TRUE(fakes.calls.join(QLatin1Char('|')).contains(QLatin1String("/media/row6.wav")))
        << fakes.calls.join(QLatin1Char('|')).toStdString();

    // A double click on row 2 plays it.
    fakes.calls.clear();
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, rowCentre(audio, 2));
    EXPECT_TRUE(fakes.calls.contains(QStringLiteral("PlaySelectedItem(0)"))) << fakes.calls.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(rows(1).currentRow(), 2);

    const std::map<int, QString> doubleClicks = {{2, "PlaySelectedItem(0)"}, {3, "PlaySelectedItem(0)"}, {4, "PlaySelectedItem(-1)"},
                                                 {5, "PlaySelectedItem(-1)"}, {6, "StartListDownload(6,1,4)"}};
    window->ListCurrentItem[6] = 4;
    for (const auto& [kind, call] : doubleClicks) {
        fakes.calls.clear();
        events().ListView_DblClick(kind);
        EXPECT_EQ(fakes.calls, QStringList{call}) << "kind " << kind;
    }
    fakes.calls.clear();
    events().ListView_DblClick(0);
    EXPECT_TRUE(fakes.calls.isEmpty());

    // The right button: the edit menu, but not on a playing or empty list.
    current(1);
    fakes.calls.clear();
    QTest::mouseClick(viewport, Qt::RightButton, {}, rowCentre(audio, 3));
    EXPECT_EQ(fakes.calls.count(QStringLiteral("ShowListViewEditMenu")), 1);
    EXPECT_EQ(window->ButtonReleased, 0);
    window->ListPlayState[1] = 2;
    events().ListView_MouseDown(1, platform::forms::RightButton, 10, 10);
    window->ListPlayState[1] = 1;
    events().ListView_MouseDown(1, platform::forms::LeftButton, 10, 10);
    current(2);
    events().ListView_MouseDown(2, platform::forms::RightButton, 10, 10);
    EXPECT_EQ(fakes.calls.count(QStringLiteral("ShowListViewEditMenu")), 1);
}

// Over the address drop-down only the row under the pointer is drawn
// highlighted; no row is selected.
TEST_F(ListInput, TheDropDownHighlightsOnlyTheRowUnderThePointer)
{
    auto& dropDown = window->ListView[0];
    for (const char* a : {"http://one/", "http://two/", "http://three/"})
        dropDown.addItem(99, QString::fromLatin1(a));
    dropDown.move(200, 200, 4000, 2000);
    dropDown.setVisible(true);
    dropDown.zOrder(0);
    dropDown.setSelectedIndex(1);
    QWidget* viewport = dropDown.tree()->viewport();
    mouse(viewport, QEvent::MouseMove, rowCentre(dropDown, 2), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(dropDown.dropHighlight(), 2);
    EXPECT_TRUE(dropDown.rows().selectedRows().empty());
    EXPECT_EQ(window->Hover().HoverElementId(), 1000);
    mouse(viewport, QEvent::MouseMove, rowCentre(dropDown, 3), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(dropDown.dropHighlight(), 3);
    shot(QStringLiteral("lists-dropdown-highlight.png"));
    lists->HideAddressDropDown();
    EXPECT_EQ(dropDown.dropHighlight(), 0);
}

// Files dropped on a list go to the lists their types fit, the last kind
// added becoming current at the next tick; a folder adds its files; an
// unknown type adds nothing; an address on the Net in a file drop is never
// fetched; text from a page becomes a web snippet.
TEST_F(ListInput, DropsGoToTheListsTheirTypesFit)
{
    const QString dir = testenv::freshDir(QStringLiteral("drops"));
    for (const char* f : {"pic.png", "clip.asf", "song.mp3", "odd.xyz", "tree/a.wav", "tree/b.jpg", "tree/sub/c.avi", "tree/sub/d.txt"}) {
        QDir().mkpath(QFileInfo(dir + QLatin1Char('/') + QString::fromLatin1(f)).path());
        ASSERT_TRUE(testenv::writeFile(dir + QLatin1Char('/') + QString::fromLatin1(f), "x"));
    }
    ASSERT_TRUE(drop(1, files({dir + QStringLiteral("/pic.png")})));
    EXPECT_EQ(texts(3), QStringList{QStringLiteral("pic.png")});
    EXPECT_EQ(rows(1).count(), 0);
    EXPECT_EQ(window->CurrentListKind, 3);
    EXPECT_EQ(window->TimerStage, 2) << "the image list comes forward at the next tick";

    ASSERT_TRUE(drop(3, files({dir + QStringLiteral("/clip.asf")})));
    EXPECT_EQ(texts(1), QStringList{QStringLiteral("clip.asf")});
    EXPECT_EQ(texts(2), QStringList{QStringLiteral("clip.asf")});
    EXPECT_EQ(window->CurrentListKind, 2);

    ASSERT_TRUE(drop(2, files({dir + QStringLiteral("/odd.xyz")})));
    EXPECT_EQ(window->CurrentListKind, 2) << "nothing added, the kind kept";
    EXPECT_EQ(rows(1).count() + rows(2).count() + rows(3).count(), 3);

    ASSERT_TRUE(drop(5, files({dir + QStringLiteral("/tree")})));
    EXPECT_TRUE(texts(1).contains(QStringLiteral("a.wav")));
    EXPECT_TRUE(texts(2).contains(QStringLiteral("c.avi")));
    EXPECT_TRUE(texts(3).contains(QStringLiteral("b.jpg")));

    // A file and an address on a loopback server in one drop.
    testenv::HttpServer server;
    const QString remote = QStringLiteral("http://127.0.0.1:%1/remote.mp3").arg(server.port());
    ASSERT_TRUE(drop(1, files({remote, dir + QStringLiteral("/song.mp3")})));
    EXPECT_EQ(texts(1).last(), QStringLiteral("song.mp3"));
    for (int k = 1; k <= 6; ++k)
        for (int r = 1; r <= rows(k).count(); ++r)
            EXPECT_FALSE(rows(k).column(r, 1).contains(QLatin1String("remote"))) << "kind " << k;
    QTest::qWait(300);
    EXPECT_TRUE(server.log().isEmpty()) << server.log().join(QLatin1Char('|')).toStdString();

    // Data of no form a list takes is refused.
    auto* nothing = new QMimeData;
    nothing->setData(QStringLiteral("application/x-other"), "x");
    EXPECT_FALSE(drop(1, nothing));

    // A page's selection dragged onto a list becomes a web snippet, and so
    // does a link that brings a text of its own; addresses alone (a list of
    // links, no file, no text) are refused and capture nothing. None is
    // fetched.
    services.SetLists(&fakes);
    auto* html = new QMimeData;
    html->setHtml(QStringLiteral("<b>picked</b>"));
    html->setText(QStringLiteral("picked"));
    auto* linkWithText = new QMimeData;
    linkWithText->setUrls({QUrl(remote)});
    linkWithText->setData(QStringLiteral("text/plain;charset=utf-8"), remote.toUtf8());
    auto* onlyRemote = new QMimeData;
    onlyRemote->setUrls({QUrl(remote), QUrl(QStringLiteral("https://example.invalid/b"))});
    const struct {
        const char* name;
        QMimeData* data;
        bool captured;
    } textDrops[] = {{"html", html, true}, {"a link with its text", linkWithText, true}, {"links alone", onlyRemote, false}};
    for (const auto& c : textDrops) {
        SCOPED_TRACE(c.name);
        window->CurrentListKind = 1;
        fakes.calls.clear();
        EXPECT_EQ(drop(1, c.data), c.captured);
        EXPECT_EQ(window->CurrentListKind, c.captured ? 4 : 1);
        EXPECT_EQ(fakes.calls.contains(QStringLiteral("CaptureSelectionAsSnippet")), c.captured);
    }
    services.SetLists(lists.get());
    QTest::qWait(300);
    EXPECT_TRUE(server.log().isEmpty());
    for (QMimeData* d : {onlyRemote, linkWithText, nothing, html})
        delete d;
}

// Two local files and an address on the Net, deleted with Yes: the files in
// the trash with their information files, every selected row gone; No
// changes nothing; a folder row is never trashed; only Net rows: a message.
TEST_F(ListInput, SelectedLocalFilesGoToTheTrashAndTheirRowsLeave)
{
    const QString dir = testenv::freshDir(QStringLiteral("trashme"));
    ASSERT_TRUE(testenv::writeFile(dir + QStringLiteral("/one.wav"), "1"));
    ASSERT_TRUE(testenv::writeFile(dir + QStringLiteral("/two.wav"), "2"));
    QDir().mkpath(dir + QStringLiteral("/folder.wav"));
    current(1);
    const auto row = [&](const QString& text, const QString& address) { rows(1).setColumn(rows(1).add(text), 1, address); };
    row(QStringLiteral("one"), dir + QStringLiteral("/one.wav"));
    row(QStringLiteral("net"), QStringLiteral("http://example.invalid/net.wav"));
    row(QStringLiteral("two"), QUrl::fromLocalFile(dir + QStringLiteral("/two.wav")).toString());
    row(QStringLiteral("folder"), dir + QStringLiteral("/folder.wav"));
    row(QStringLiteral("keep"), dir + QStringLiteral("/keep.wav"));
    display().ShowListCount(false);
    rows(1).setMultiSelect(true);

    // Only the Net row: told, nothing else.
    rows(1).selectRows({2});
    answerMessages(3);
    lists->DeleteSelectedToRecycleBin(1);
    EXPECT_EQ(asked, QStringList{QStringLiteral("Files on the Net can not be deleted !")});
    EXPECT_EQ(rows(1).count(), 5);

    // No: nothing changes.
    asked.clear();
    rows(1).selectRows({1, 2, 3});
    answerMessages(2);
    lists->DeleteSelectedToRecycleBin(1);
    EXPECT_EQ(asked, (QStringList{QStringLiteral("Your selection contains Files on the Net"),
                                  QStringLiteral("Are you sure you want to send the selected files to the Recycle Bin?")}));
    EXPECT_EQ(rows(1).count(), 5);
    EXPECT_TRUE(QFile::exists(dir + QStringLiteral("/one.wav")));

    // Yes.
    asked.clear();
    answerMessages(3);
    lists->DeleteSelectedToRecycleBin(1);
    EXPECT_EQ(texts(1), (QStringList{QStringLiteral("folder"), QStringLiteral("keep")}));
    EXPECT_FALSE(QFile::exists(dir + QStringLiteral("/one.wav")));
    EXPECT_FALSE(QFile::exists(dir + QStringLiteral("/two.wav")));
    const QString trash = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Trash");
    for (const char* name : {"one.wav", "two.wav"}) {
        EXPECT_TRUE(QFile::exists(trash + QStringLiteral("/files/") + QString::fromLatin1(name))) << name;
        const QByteArray info = testenv::readFile(trash + QStringLiteral("/info/") + QString::fromLatin1(name) + QStringLiteral(".trashinfo"));
        EXPECT_TRUE(info.contains("[Trash Info]") && info.contains("Path=")) << name;
    }

    // A folder row goes from the list, the folder stays; one file alone is
    // asked about in the singular.
    asked.clear();
    rows(1).selectRows({1});
    lists->DeleteSelectedToRecycleBin(1);
    EXPECT_EQ(asked, QStringList{QStringLiteral("Are you sure you want to send the selected file to the Recycle Bin ?")});
    EXPECT_TRUE(QFileInfo(dir + QStringLiteral("/folder.wav")).isDir());
    EXPECT_EQ(texts(1), QStringList{QStringLiteral("keep")});

    // A file the trash cannot take (one of the system's own, which cannot
    // be moved) keeps its row, and the user is told how many failed.
    ASSERT_TRUE(QFileInfo(QStringLiteral("/proc/self/status")).isFile());
    row(QStringLiteral("stuck"), QStringLiteral("/proc/self/status"));
    display().ShowListCount(false);
    rows(1).selectRows({2});
    asked.clear();
    lists->DeleteSelectedToRecycleBin(1);
    EXPECT_EQ(texts(1), (QStringList{QStringLiteral("keep"), QStringLiteral("stuck")}));
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(asked[1], QStringLiteral("Files that could not be sent to the Recycle Bin: 1"));
}

// A page's selection dragged out of the page: the drag of the current list
// starts after the page's call has returned, announcing text without data,
// and only while the pane shows its lists; dropped on a list it is text.
TEST_F(ListInput, APageDragBecomesTheCurrentListsTextDragOnlyWhileThePaneShows)
{
    auto& list = current(2);
    std::vector<std::pair<platform::forms::ListView*, bool>> drags;
    events().runDrag = [&](platform::forms::ListView& from, QMimeData* data) {
        drags.emplace_back(&from, data->hasText() && data->text().isEmpty());
        delete data;
    };
    events().StartListDrag();
    EXPECT_TRUE(drags.empty()) << "not inside the page's call";
    QCoreApplication::processEvents();
    ASSERT_EQ(drags.size(), 1u);
    EXPECT_EQ(drags[0].first, &list);
    EXPECT_TRUE(drags[0].second);

    showPane(false);
    events().StartListDrag();
    QCoreApplication::processEvents();
    EXPECT_EQ(drags.size(), 1u) << "a hidden pane takes no drag";
}
