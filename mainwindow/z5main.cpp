// The browser program: everything starts in the start procedure.

#include "core/startup.h"
#include "mainwindow/frmexplorer.h"
#include "platform/shotonshow.h"

#include <QApplication>

#include <memory>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Z5"));
    platform::shotonshow::install();
    std::unique_ptr<frmExplorer> window;
    SetMainWindowLoader([&window] {
        window = std::make_unique<frmExplorer>();
        window->show(); // loads the window first
        return true;
    });
    if (!modExplorer_Main())
        return 0;
    return QApplication::exec();
}
