// The browser program: everything starts in the start procedure, which
// builds the main window and its subsystems when it shows the window.

#include "app/browserprogram.h"
#include "core/startup.h"
#include "mainwindow/frmexplorer.h"
#include "platform/base/commandline.h"
#include "platform/web/browser.h"
#include "platform/win/inputdriver.h"
#include "platform/win/shotonshow.h"

#include <QApplication>

#include <memory>

int main(int argc, char** argv)
{
    // The command scheme must be known before the application object exists.
    platform::browser::prepareBeforeApplication();
    // Qt's own options are never read from the command line.
    platform::commandline::ApplicationArguments qtArguments(argc, argv);
    QApplication app(qtArguments.argc(), qtArguments.argv());
    QApplication::setApplicationName(QStringLiteral("Z5"));
    platform::shotonshow::install();
    platform::inputdriver::install();
    ServiceSet services;
    std::unique_ptr<BrowserProgram> program;
    SetMainWindowLoader([&services, &program] {
        program = std::make_unique<BrowserProgram>(services);
        frmExplorer& window = program->window();
        // The first tick opens the start page while the window loads, not a
        // whole timer interval after it shows: the page is on its way while
        // the rest of the window comes up.
        window.StartPageDuringLoad = true;
        window.load();
        window.show();
        return true;
    });
    if (!modExplorer_Main())
        return 0;
    return QApplication::exec();
}
