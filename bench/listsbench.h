#pragma once

// What the lists benchmarks share: a home of their own (removed at the
// end), the main window with the real lists pane shown on the offscreen
// platform, and the median of a few timed runs.

#include "contracts/services.h"
#include "core/globals.h"
#include "core/settingsstore.h"
#include "lists/listsservice.h"
#include "mainwindow/frmexplorer.h"
#include "platform/base/com.h"
#include "platform/base/paths.h"

#include "recordingservices.h"
#include "testenv.h"

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

namespace bench {

// The median of runs timings of step, in milliseconds; prepare runs untimed
// before each.
inline double medianMs(int runs, const std::function<void()>& prepare, const std::function<void()>& step)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        prepare();
        QElapsedTimer t;
        t.start();
        step();
        ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// Points HOME, the XDG folders and TMPDIR into root, before the
// application is made.
inline void useHome(const QTemporaryDir& root)
{
    for (const char* sub : {"home", "config", "data", "cache", "tmp", "prog"})
        QDir().mkpath(root.path() + QLatin1Char('/') + QLatin1String(sub));
    qputenv("HOME", QFile::encodeName(root.path() + QStringLiteral("/home")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root.path() + QStringLiteral("/config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(root.path() + QStringLiteral("/data")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(root.path() + QStringLiteral("/cache")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root.path() + QStringLiteral("/tmp")));
    qputenv("TMPDIR", QFile::encodeName(root.path() + QStringLiteral("/tmp")));
    QFile::setPermissions(root.path() + QStringLiteral("/tmp"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// The main window over recording services with the real lists, shown.
struct ListsWindow {
    ServiceSet services;
    RecordingServices fakes{services};
    std::unique_ptr<frmExplorer> window;
    std::unique_ptr<ListsService> lists;

    ~ListsWindow()
    {
        services.SetLists(nullptr);
        lists.reset();
        window.reset();
    }

    // False (and a line on stderr) when the skin or the window failed.
    bool open(const QTemporaryDir& root)
    {
        const QString prog = root.path() + QStringLiteral("/prog");
        testenv::copyTree(QStringLiteral(Z5_STAGE_DIR "/Common"), prog + QStringLiteral("/Common"));
        QDir().mkpath(prog + QStringLiteral("/Data"));
        platform::paths::setProgramFolder(prog);
        if (platform::com::registerServer(QStringLiteral(Z5_STAGE_DIR "/Skin/SK_Morvane_1.dll")).status
            != platform::com::RegistrationStatus::Done) {
            std::fprintf(stderr, "the skin could not be registered\n");
            return false;
        }
        SkinName = QStringLiteral("Morvane 1");
        LanguageFilePath = QStringLiteral(Z5_STAGE_DIR "/Language/English.ini");
        SaveZ5Setting(HiveCurrentUser, QStringLiteral("DIS_MAXIMIZE"), QStringLiteral("False"));
        SaveZ5Setting(HiveCurrentUser, QStringLiteral("DIS_PLAYLIST"), QStringLiteral("True"));
        window = std::make_unique<frmExplorer>(services);
        lists = std::make_unique<ListsService>(*window, services);
        services.SetLists(lists.get());
        window->show();
        window->TimerStage = 9; // no start page
        window->move(0, 0, 12000, 8000);
        if (!QTest::qWaitForWindowExposed(window->window(), 5000)) {
            std::fprintf(stderr, "the window did not show\n");
            return false;
        }
        window->Form_Resize();
        window->CurrentListKind = 1;
        return true;
    }
};

} // namespace bench
