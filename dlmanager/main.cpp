// The download manager program: runs one download list, or fetches one file.

#include "dlmanager/moddownload.h"
#include "dlmanager/pagebrowser.h"
#include "platform/base/commandline.h"

#include <QApplication>
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <memory>

int main(int argc, char** argv)
{
    // The argument is the rest of the command line, however the starter split it.
    QStringList parts;
    for (int i = 1; i < argc; ++i)
        parts << QString::fromLocal8Bit(argv[i]);
    const QString argument = parts.join(QLatin1Char(' '));
    // Qt's own options ("-platform vnc", the engine's "--remote-debugging-port")
    // are never read from the command line: the list's page items run pages.
    platform::commandline::ApplicationArguments qtArguments(argc, argv);
    std::unique_ptr<QCoreApplication> app;
    if (ParseDownloadCommand(argument).form == DownloadCommand::List) {
        // A list may hold pages, which the hidden browser control loads: it
        // needs a widget application prepared for the web engine. Neither
        // loads nor starts the engine; the control's module does, on the
        // first page item. The program shows no window, so it needs no
        // display either.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        auto gui = std::make_unique<QApplication>(qtArguments.argc(), qtArguments.argv());
        QApplication::setQuitOnLastWindowClosed(false);
        app = std::move(gui);
    } else {
        app = std::make_unique<QCoreApplication>(qtArguments.argc(), qtArguments.argv());
    }
    const int code = modDownLoad_Main(argument);
    if (!PageBrowserLoaded()) {
        // Everything the run wrote is written and closed by now. Without the
        // web engine nothing is left to tear down, and tearing the widget
        // application down would load the whole font configuration (the
        // offscreen platform's font database frees it on its way out), which
        // takes longer than a loopback transfer of a small file.
        std::fflush(nullptr);
        std::_Exit(code);
    }
    return code;
}
