#include "app/browserprogram.h"

#include "browsing/explorertabs.h"
#include "dialogs/dialogsservice.h"
#include "downloads/downloadsservice.h"
#include "lists/listsservice.h"
#include "lists/listviewevents.h"
#include "mainwindow/frmexplorer.h"
#include "media/mediaservice.h"
#include "menus/menusservice.h"

namespace {

// Sets part in the set through setter and returns how to put back what the
// set held, as long as the part still serves there.
template <typename I, typename Part, typename Get, typename Set>
std::function<void()> install(ServiceSet& services, Part* part, Get get, Set set)
{
    I* before = &(services.*get)();
    (services.*set)(part);
    return [&services, part, before, get, set] {
        if (&(services.*get)() == static_cast<I*>(part))
            (services.*set)(before);
    };
}

} // namespace

BrowserProgram::BrowserProgram(ServiceSet& services, Parts parts) : services_(services)
{
    window_ = std::make_unique<frmExplorer>(services);
    // The tabs and their first browser exist before the window loads.
    if (parts.tabs) {
        tabs_ = std::make_unique<ExplorerTabs>(*window_, services);
        restore_.push_back(install<ITabsService>(services, tabs_.get(), &ServiceSet::Tabs, &ServiceSet::SetTabs));
    }
    if (parts.menus) {
        menus_ = std::make_unique<MenusService>(*window_, services);
        restore_.push_back(install<IMenusService>(services, menus_.get(), &ServiceSet::Menus, &ServiceSet::SetMenus));
    }
    if (parts.lists) {
        lists_ = std::make_unique<ListsService>(*window_, services);
        restore_.push_back(install<IListsService>(services, lists_.get(), &ServiceSet::Lists, &ServiceSet::SetLists));
    }
    if (tabs_ && lists_) {
        // A page's selection dragged out of the page travels as the lists'
        // drag (which starts only while the pane shows its lists).
        tabs_->sinks().ListPaneReady = true;
        tabs_->sinks().startListDrag = [lists = lists_.get()] { lists->listEvents().StartListDrag(); };
    }
    if (parts.media) {
        media_ = std::make_unique<MediaService>(*window_, services);
        restore_.push_back(install<IMediaService>(services, media_.get(), &ServiceSet::Media, &ServiceSet::SetMedia));
    }
    if (parts.downloads) {
        downloads_ = std::make_unique<DownloadsService>(*window_, services);
        restore_.push_back(install<IDownloadsService>(services, downloads_.get(), &ServiceSet::Downloads,
                                                      &ServiceSet::SetDownloads));
    }
    if (parts.dialogs) {
        dialogs_ = std::make_unique<DialogsService>(*window_, services);
        restore_.push_back(
            install<IDialogsService>(services, dialogs_.get(), &ServiceSet::Dialogs, &ServiceSet::SetDialogs));
    }
}

BrowserProgram::~BrowserProgram()
{
    if (tabs_)
        tabs_->sinks().startListDrag = nullptr;
    for (auto it = restore_.rbegin(); it != restore_.rend(); ++it)
        (*it)();
    dialogs_.reset();
    downloads_.reset();
    media_.reset();
    lists_.reset();
    menus_.reset();
    tabs_.reset();
    window_.reset();
}
