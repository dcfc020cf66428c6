// The skin removal tool: everything starts in RemovalMain; the command line
// is not read.

#include "platform/base/commandline.h"
#include "platform/win/shotonshow.h"
#include "skinremoval/frmremoval.h"
#include "skinremoval/module1.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // Qt's own options are never read from the command line either.
    platform::commandline::ApplicationArguments qtArguments(argc, argv);
    QApplication app(qtArguments.argc(), qtArguments.argv());
    QApplication::setApplicationName(QStringLiteral("Z5SkinRemoval"));
    platform::shotonshow::install();
    RemovalMain();
    const int status = QApplication::exec();
    RemovalWindow.reset();
    return status;
}
