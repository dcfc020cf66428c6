// The lists pane against a floor: a 10,000-row playlist loaded into the
// shown empty list (the wait window and the column sizing included), saved,
// all rows selected and removed, and every other row (5,000 selected)
// removed. The floor is reading the same file's lines with the platform's
// text reader. Each step runs five times in the real window on the
// offscreen platform; the median is shown beside the floor's and the
// target the step should stay within.
//
// Usage: bench_playlist   (it makes a home of its own and leaves nothing behind)

#include "dialogs/dialogsservice.h"
#include "lists/listoperations.h"
#include "lists/liststores.h"
#include "lists/playlistfiles.h"
#include "platform/base/textfile.h"
#include "platform/win/listrows.h"

#include "listsbench.h"

#include <QApplication>

namespace {

constexpr int kRows = 10000;
constexpr int kRuns = 5;

QByteArray playlistOf(int rows)
{
    QByteArray text = "1\r\n1\r\n0\r\n000000\r\n\r\n\r\n\r\n\r\n";
    for (int i = 0; i < rows; ++i) {
        const QByteArray n = QByteArray::number(i);
        text += "\"Song, number " + n + "\" \xe2\x99\xab.mp3,/music/album " + n + "/song " + n
                + ".mp3,,,\r\n";
    }
    return text;
}

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
    auto dialogs = std::make_unique<DialogsService>(*w.window, w.services);
    w.services.SetDialogs(dialogs.get());
    ListsService* lists = w.lists.get();

    const QString file = root.path() + QStringLiteral("/big.z5p");
    const QString saved = root.path() + QStringLiteral("/saved.z5p");
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly) || f.write(playlistOf(kRows)) < 0)
            return 1;
    }
    platform::forms::ListRows& rows = lists->stores()[1];
    ListOperations& ops = lists->operations();
    PlaylistFiles& playlists = lists->playlists();
    const auto empty = [&] { ops.ClearCurrentList(false); };
    const auto full = [&] {
        if (rows.count() != kRows) {
            ops.ClearCurrentList(false);
            playlists.LoadPlaylistFile(file);
        }
    };

    const double floor = medianMs([] {}, [&] { (void)platform::textfile::readLines(file, 64 * 1024 * 1024); });
    struct Line {
        const char* step;
        double ms;
        double target;
    };
    std::vector<Line> lines;
    lines.push_back({"load 10,000 rows into the shown empty list", medianMs(empty, [&] { playlists.LoadPlaylistFile(file); }), 150});
    if (rows.count() != kRows) {
        std::fprintf(stderr, "the playlist loaded %d rows, not %d\n", rows.count(), kRows);
        return 1;
    }
    lines.push_back({"save 10,000 rows", medianMs(full, [&] { playlists.SavePlaylistFile(saved, true, false); }), 50});
    lines.push_back({"Select All + Remove", medianMs(full, [&] {
                         ops.SelectAllListItems();
                         ops.RemoveSelectedItems();
                     }), 100});
    lines.push_back({"remove every other row (5,000 selected)", medianMs([&] {
                         full();
                         rows.clearSelection();
                         std::vector<int> every;
                         for (int i = 1; i <= kRows; i += 2)
                             every.push_back(i);
                         rows.selectRows(every);
                     }, [&] { ops.RemoveSelectedItems(); }), 100});
    if (rows.count() != kRows / 2) {
        std::fprintf(stderr, "removing every other row left %d rows\n", rows.count());
        return 1;
    }

    std::printf("median of %d runs; floor: reading the file's lines %.2f ms\n", kRuns, floor);
    for (const Line& l : lines)
        std::printf("%-45s %8.2f ms  (%5.1f x floor, target %.0f ms)\n", l.step, l.ms, l.ms / floor, l.target);

    w.services.SetDialogs(nullptr);
    dialogs.reset();
    return 0;
}
