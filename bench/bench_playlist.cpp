// The lists pane against a floor: a 10,000-row playlist loaded into the
// shown empty list (the wait window and the column sizing included), saved,
// all rows selected and removed, and every other row (5,000 selected)
// removed. The floor is reading the same file's lines with the platform's
// text reader. Each step runs five times in the real window on the
// offscreen platform; the median is shown beside the floor's and the
// target the step should stay within.
//
// Usage: bench_playlist   (it makes a home of its own and leaves nothing behind)

#include "contracts/services.h"
#include "core/globals.h"
#include "core/settingsstore.h"
#include "dialogs/dialogsservice.h"
#include "lists/listoperations.h"
#include "lists/listsservice.h"
#include "lists/liststores.h"
#include "lists/playlistfiles.h"
#include "mainwindow/frmexplorer.h"
#include "platform/base/com.h"
#include "platform/base/paths.h"
#include "platform/base/textfile.h"
#include "platform/win/listrows.h"

#include "recordingservices.h"
#include "testenv.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

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

// The median of kRuns timings of step; prepare runs untimed before each.
double medianMs(const std::function<void()>& prepare, const std::function<void()>& step)
{
    std::vector<double> ms;
    for (int i = 0; i < kRuns; ++i) {
        prepare();
        QElapsedTimer t;
        t.start();
        step();
        ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir root;
    if (!root.isValid())
        return 1;
    testenv::useHomeBelow(root.path());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const QString prog = root.path() + QStringLiteral("/prog");
    testenv::copyTree(QStringLiteral(Z5_STAGE_DIR "/Common"), prog + QStringLiteral("/Common"));
    QDir().mkpath(prog + QStringLiteral("/Data"));
    platform::paths::setProgramFolder(prog);
    if (platform::com::registerServer(QStringLiteral(Z5_STAGE_DIR "/Skin/SK_Morvane_1.dll")).status
        != platform::com::RegistrationStatus::Done) {
        std::fprintf(stderr, "the skin could not be registered\n");
        return 1;
    }
    SkinName = QStringLiteral("Morvane 1");
    LanguageFilePath = QStringLiteral(Z5_STAGE_DIR "/Language/English.ini");
    SaveZ5Setting(HiveCurrentUser, QStringLiteral("DIS_MAXIMIZE"), QStringLiteral("False"));
    SaveZ5Setting(HiveCurrentUser, QStringLiteral("DIS_PLAYLIST"), QStringLiteral("True"));

    ServiceSet services;
    RecordingServices fakes{services};
    auto window = std::make_unique<frmExplorer>(services);
    auto lists = std::make_unique<ListsService>(*window, services);
    services.SetLists(lists.get());
    auto dialogs = std::make_unique<DialogsService>(*window, services);
    services.SetDialogs(dialogs.get());
    window->show();
    window->TimerStage = 9; // no start page
    window->move(0, 0, 12000, 8000);
    if (!QTest::qWaitForWindowExposed(window->window(), 5000)) {
        std::fprintf(stderr, "the window did not show\n");
        return 1;
    }
    window->Form_Resize();
    window->CurrentListKind = 1;

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

    services.SetDialogs(nullptr);
    services.SetLists(nullptr);
    dialogs.reset();
    lists.reset();
    window.reset();
    return 0;
}
