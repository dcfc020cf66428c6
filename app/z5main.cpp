// The browser program: everything starts in the start procedure, which
// builds the main window and its subsystems when it shows the window.

#include "app/browserprogram.h"
#include "core/startup.h"
#include "mainwindow/frmexplorer.h"
#include "platform/web/browser.h"
#include "platform/win/inputdriver.h"
#include "platform/win/shotonshow.h"

#include <QApplication>

#include <memory>

int main(int argc, char** argv)
{
    // The command scheme must be known before the application object exists.
    platform::browser::prepareBeforeApplication();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Z5"));
    platform::shotonshow::install();
    platform::inputdriver::install();
    ServiceSet services;
    std::unique_ptr<BrowserProgram> program;
    SetMainWindowLoader([&services, &program] {
        program = std::make_unique<BrowserProgram>(services);
        program->window().show(); // loads the window first
        return true;
    });
    if (!modExplorer_Main())
        return 0;
    return QApplication::exec();
}
