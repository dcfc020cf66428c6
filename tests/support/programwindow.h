#pragma once

// The whole browser program in a shown window, for tests that drive it as
// its start assembles it: the build's skin and the source tree's language
// file, a fresh program folder, the side pane shown, the window restored
// and without a start page.

#include "app/browserprogram.h"
#include "core/globals.h"
#include "core/settingsstore.h"
#include "mainwindow/frmexplorer.h"
#include "platform/base/com.h"
#include "platform/base/paths.h"

#include "testenv.h"

#include <QDir>
#include <QTest>
#include <QWindow>

#include <memory>

namespace testenv {

// The skin registered, the language set and a fresh program folder named
// name (with the staged Common pictures and a Data folder) made the
// program's; its path, or "" when the skin could not be registered.
inline QString prepareProgramFolder(const QString& name)
{
    if (platform::com::registerServer(QStringLiteral(Z5_STAGE_DIR "/Skin/SK_Morvane_1.dll")).status
        != platform::com::RegistrationStatus::Done)
        return {};
    SkinName = QStringLiteral("Morvane 1");
    LanguageFilePath = QStringLiteral(Z5_SOURCE_DIR "/data/Language/English.ini");
    const QString prog = freshDir(name);
    copyTree(QStringLiteral(Z5_STAGE_DIR "/Common"), prog + QStringLiteral("/Common"));
    QDir().mkpath(prog + QStringLiteral("/Data"));
    platform::paths::setProgramFolder(prog);
    SaveZ5Setting(HiveCurrentUser, QStringLiteral("DIS_MAXIMIZE"), QStringLiteral("False"));
    SaveZ5Setting(HiveCurrentUser, QStringLiteral("DIS_PLAYLIST"), QStringLiteral("True"));
    return prog;
}

// The program over services, its window shown at 14,000 x 10,000 twips
// with tab 0 a page tab; nullptr when the window did not come up.
inline std::unique_ptr<BrowserProgram> showProgram(ServiceSet& services)
{
    auto program = std::make_unique<BrowserProgram>(services);
    frmExplorer& window = program->window();
    window.show();
    window.TimerStage = 9;
    window.MainHwnd = reinterpret_cast<quintptr>(window.window());
    services.Tabs().SetTabStateRecord(0, QStringLiteral("0|1|0|0|0|-1"));
    window.move(0, 0, 14000, 10000);
    window.window()->activateWindow();
    if (!QTest::qWaitForWindowExposed(window.window(), 5000))
        return nullptr;
    window.Form_Resize();
    return program;
}

} // namespace testenv
