// The browser program: everything starts in the start procedure.

#include "browsing/explorertabs.h"
#include "core/startup.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/services/registry.h"
#include "menus/menusservice.h"
#include "menus/tabmenu.h"
#include "platform/base/commandline.h"
#include "platform/web/browser.h"
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
    SetTabsModuleFactory(CreateExplorerTabs);
    TabButtonMenu tabMenu;
    SetTabMenu(&tabMenu);
    std::unique_ptr<frmExplorer> window;
    std::unique_ptr<IMenusService> menus;
    SetMainWindowLoader([&window, &menus] {
        window = std::make_unique<frmExplorer>();
        menus = CreateMenusService(*window);
        services::SetMenus(menus.get());
        // The first tick opens the start page as soon as the window has
        // loaded, not a whole timer interval after it shows: the page is on
        // its way while the window comes up.
        window->load();
        if (window->loaded())
            window->AppTimer_Timer(0);
        window->show();
        return true;
    });
    if (!modExplorer_Main())
        return 0;
    const int code = QApplication::exec();
    services::SetMenus(nullptr);
    return code;
}
