#include "mainwindow/tabsmodule.h"

namespace {

TabsModuleFactory& factory()
{
    static TabsModuleFactory f;
    return f;
}

} // namespace

void SetTabsModuleFactory(TabsModuleFactory f)
{
    factory() = std::move(f);
}

std::unique_ptr<ITabsService> CreateTabsModule(frmExplorer& window)
{
    return factory() ? factory()(window) : nullptr;
}
