#include "app/browserprogram.h"

#include "browsing/explorertabs.h"
#include "dialogs/dialogsservice.h"
#include "mainwindow/frmexplorer.h"
#include "menus/menusservice.h"

BrowserProgram::BrowserProgram(ServiceSet& services, Parts parts) : services_(services)
{
    window_ = std::make_unique<frmExplorer>(services);
    // The tabs and their first browser exist before the window loads.
    if (parts.tabs) {
        tabs_ = std::make_unique<ExplorerTabs>(*window_, services);
        services.SetTabs(tabs_.get());
    }
    if (parts.menus) {
        menus_ = std::make_unique<MenusService>(*window_, services);
        services.SetMenus(menus_.get());
    }
    if (parts.dialogs) {
        dialogs_ = std::make_unique<DialogsService>(*window_);
        services.SetDialogs(dialogs_.get());
    }
}

BrowserProgram::~BrowserProgram()
{
    if (dialogs_) {
        if (&services_.Dialogs() == dialogs_.get())
            services_.SetDialogs(nullptr);
        dialogs_.reset();
    }
    if (menus_) {
        if (&services_.Menus() == menus_.get())
            services_.SetMenus(nullptr);
        menus_.reset();
    }
    if (tabs_) {
        if (&services_.Tabs() == tabs_.get())
            services_.SetTabs(nullptr);
        tabs_.reset();
    }
    window_.reset();
}
