#pragma once

// The main window with the real lists pane and input dialog; the other
// subsystems are recording fakes.

#include "contracts/services.h"
#include "core/globals.h"
#include "core/settingsstore.h"
#include "dialogs/dialogsservice.h"
#include "lists/listoperations.h"
#include "lists/listpanedisplay.h"
#include "lists/listpanelayout.h"
#include "lists/listsservice.h"
#include "lists/liststores.h"
#include "lists/playlistfiles.h"
#include "mainwindow/frmexplorer.h"
#include "platform/base/com.h"
#include "platform/base/paths.h"
#include "platform/win/listview.h"
#include "platform/win/prompt.h"

#include "recordingservices.h"
#include "testenv.h"

#include <QDir>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace testenv {

inline QString screenshotFolder()
{
    const QString dir = qEnvironmentVariableIsSet("Z5_SCREENSHOT_DIR") ? qEnvironmentVariable("Z5_SCREENSHOT_DIR")
                                                                       : QStringLiteral(Z5_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    return dir;
}

} // namespace testenv

class ListsWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(platform::com::registerServer(QStringLiteral(Z5_STAGE_DIR "/Skin/SK_Morvane_1.dll")).status,
                  platform::com::RegistrationStatus::Done);
        SkinName = QStringLiteral("Morvane 1");
        LanguageFilePath = QStringLiteral(Z5_SOURCE_DIR "/data/Language/English.ini");
        prog = testenv::freshDir(QStringLiteral("prog"));
        testenv::copyTree(QStringLiteral(Z5_STAGE_DIR "/Common"), prog + QStringLiteral("/Common"));
        QDir().mkpath(prog + QStringLiteral("/Data"));
        platform::paths::setProgramFolder(prog);
        SaveZ5Setting(HiveCurrentUser, QStringLiteral("DIS_MAXIMIZE"), QStringLiteral("False"));
        SaveZ5Setting(HiveCurrentUser, QStringLiteral("DIS_PLAYLIST"), paneShown ? QStringLiteral("True") : QStringLiteral("False"));
        window = std::make_unique<frmExplorer>(services);
        lists = std::make_unique<ListsService>(*window, services);
        services.SetLists(lists.get());
        dialogs = std::make_unique<DialogsService>(*window, services);
        services.SetDialogs(dialogs.get());
        window->show();
        // No start page: the first tick would ask the fake tabs for one.
        window->TimerStage = 9;
        window->move(0, 0, 12000, 8000);
        window->window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window->window(), 5000));
        window->Form_Resize();
    }

    void TearDown() override
    {
        platform::prompt::setResponder({});
        services.SetDialogs(nullptr);
        services.SetLists(nullptr);
        dialogs.reset();
        lists.reset();
        window.reset();
    }

    ListStores& stores() { return lists->stores(); }
    platform::forms::ListRows& rows(int kind) { return lists->stores()[kind]; }
    ListOperations& ops() { return lists->operations(); }
    ListPaneDisplay& display() { return lists->display(); }
    PlaylistFiles& playlists() { return lists->playlists(); }

    // Shows or hides the pane as its button does.
    void showPane(bool shown)
    {
        window->DisplayFlags[DisplaySidePane] = shown ? -1 : 0;
        window->Form_Resize();
    }
    // The rows' texts of a list, in order.
    QStringList texts(int kind)
    {
        QStringList out;
        for (int i = 1; i <= rows(kind).count(); ++i)
            out << rows(kind).text(i);
        return out;
    }
    QString shot(const QString& name)
    {
        QTest::qWait(50);
        const QString path = testenv::screenshotFolder() + QLatin1Char('/') + name;
        window->window()->grab().save(path);
        return path;
    }

    bool paneShown = true;
    QString prog;
    ServiceSet services;
    RecordingServices fakes{services};
    std::unique_ptr<frmExplorer> window;
    std::unique_ptr<ListsService> lists;
    std::unique_ptr<DialogsService> dialogs;
};
