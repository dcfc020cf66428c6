// The lists under the user's hands, against floors: one press of Move Up
// with 1,000 selected rows of a 10,000-row list (a held button repeats
// every 10 ms, so one step must take well under that), against swapping
// the same rows' contents once each; and a folder tree of 10,000 files
// dropped on a list until its rows are there, against listing the same tree
// into a string list. Each runs five times in the real window on the
// offscreen platform; the median is shown beside the floor's and the target.
//
// Usage: bench_listinput   (it makes a home of its own and leaves nothing behind)

#include "core/shelldialogs.h"
#include "lists/listoperations.h"
#include "lists/listpanebuttons.h"
#include "lists/listpanedisplay.h"
#include "lists/liststores.h"
#include "platform/win/listrows.h"
#include "platform/win/listview.h"

#include "listsbench.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTreeView>
#include <QUrl>

namespace {

constexpr int kRows = 10000;
constexpr int kSelected = 1000;
constexpr int kFiles = 10000;
constexpr int kRuns = 5;

double medianMs(const std::function<void()>& prepare, const std::function<void()>& step)
{
    return bench::medianMs(kRuns, prepare, step);
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir root;
    if (!root.isValid())
        return 1;
    bench::useHome(root);
    QApplication app(argc, argv);
    bench::ListsWindow w;
    if (!w.open(root))
        return 1;
    frmExplorer* window = w.window.get();
    ListsService* lists = w.lists.get();
    lists->display().InitListPaneToolbar();
    lists->display().ShowCurrentList();
    platform::forms::ListRows& rows = lists->stores()[1];
    ListOperations& ops = lists->operations();
    ListPaneButtons& buttons = lists->buttons();
    // The pointer stays on the button; the release comes from the bench.
    buttons.pointerOver = [](int) { return true; };

    // ---- One Move Up step, 1,000 rows selected (every tenth) ----
    std::vector<platform::forms::ListRow> made(kRows);
    for (int i = 0; i < kRows; ++i) {
        made[static_cast<size_t>(i)].columns[0] = QStringLiteral("song %1.mp3").arg(i);
        made[static_cast<size_t>(i)].columns[1] = QStringLiteral("/music/song %1.mp3").arg(i);
    }
    rows.append(made);
    window->ListItemCount[1] = rows.count();
    lists->display().UpdatePlaylistButtons();
    std::vector<int> every;
    for (int i = 10; i <= kRows; i += kRows / kSelected)
        every.push_back(i);
    const auto selectSpread = [&] {
        rows.clearSelection();
        rows.selectRows(every);
    };
    const auto& b11 = window->cmdPLControl[11];
    const double swapFloor = medianMs(selectSpread, [&] {
        for (int r : every)
            rows.swap(r, r - 1);
    });
    const double moveStep = medianMs(selectSpread, [&] {
        buttons.cmdPLControl_MouseDown(11, 1);
        buttons.cmdPLControl_MouseUp(11, b11.width() / 2, b11.height() / 2);
    });
    ops.ClearCurrentList(false);

    // ---- A folder tree of 10,000 files dropped on the list ----
    const QString tree = root.path() + QStringLiteral("/tree");
    for (int d = 0; d < 100; ++d) {
        const QString sub = tree + QStringLiteral("/album %1/disc").arg(d);
        QDir().mkpath(sub);
        for (int f = 0; f < kFiles / 100; ++f) {
            QFile file(sub + QStringLiteral("/track %1.mp3").arg(f));
            if (!file.open(QIODevice::WriteOnly))
                return 1;
        }
    }
    const double listFloor = medianMs([] {}, [&] {
        QStringList lines;
        ListFolderTree(tree + QLatin1Char('/'), [&lines](const QString& line) {
            lines << line;
            return true;
        });
    });
    QWidget* viewport = lists->display().listView(1)->tree()->viewport();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(tree)});
    const auto dropTree = [&] {
        const QPoint at(5, 5);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &drop);
    };
    const double dropMs = medianMs([&] {
        window->CurrentListKind = 1;
        ops.ClearCurrentList(false);
    }, dropTree);
    if (rows.count() != kFiles) {
        std::fprintf(stderr, "the drop gave %d rows, not %d\n", rows.count(), kFiles);
        return 1;
    }

    std::printf("median of %d runs\n", kRuns);
    std::printf("%-52s %8.3f ms\n", "floor: swapping 1,000 selected rows once each", swapFloor);
    std::printf("%-52s %8.3f ms  (%5.1f x floor, target 5 ms)\n", "Move Up, one step with 1,000 of 10,000 selected",
                moveStep, moveStep / swapFloor);
    std::printf("%-52s %8.3f ms\n", "floor: listing a 10,000-file tree into a string list", listFloor);
    std::printf("%-52s %8.3f ms  (%5.1f x floor, target 1000 ms)\n", "dropping the tree until its rows are there", dropMs,
                dropMs / listFloor);

    return 0;
}
