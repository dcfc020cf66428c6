#include "menus/tabmenu.h"

#include "core/language.h"
#include "core/menuiconstrip.h"
#include "mainwindow/frmexplorer.h"
#include "menus/clspopupmenu.h"

TabButtonMenu::TabButtonMenu() = default;
TabButtonMenu::~TabButtonMenu() = default;

QString TabButtonMenu::ShowTabMenu(int left, int top, int right, int bottom)
{
    frmExplorer* window = MainWindow();
    if (!window)
        return {};
    clsPopupMenu* menu = window->CustomMenu;
    if (!menu) {
        if (!ownMenu_) {
            ownMenu_ = std::make_unique<clsPopupMenu>();
            ownMenu_->sethwndOwner(window->window());
        }
        menu = ownMenu_.get();
    }
    menu->Clear();
    const QString name = QStringLiteral("TABHANDLE");
    menu->AddItem(GetLangString(QStringLiteral("MENU-14"), QStringLiteral("1201"), QStringLiteral("Close")), name, 0,
                  0, 51, true, QStringLiteral("OPTION0"));
    menu->AddItem(QStringLiteral("-"), name, 0, 0, -1, true);
    menu->AddItem(GetLangString(QStringLiteral("MENU-14"), QStringLiteral("1202"), QStringLiteral("Clear")), name, 0,
                  0, 51, true, QStringLiteral("OPTION1"));
    menu->setImageList(MenuIconStrip());
    const int32_t chosen = menu->ShowPopupMenu(left, bottom, left, top, right, bottom, true);
    return chosen > 0 ? menu->ItemKey(chosen) : QString();
}
