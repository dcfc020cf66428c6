#include "menus/menusservice.h"

#include "core/aboutbox.h"
#include "core/cleanup.h"
#include "core/connection.h"
#include "core/fileclasses.h"
#include "core/globals.h"
#include "core/hooksubclass.h"
#include "core/language.h"
#include "core/menuiconstrip.h"
#include "core/messagebox.h"
#include "core/registration.h"
#include "core/settingsstore.h"
#include "core/shelldialogs.h"
#include "core/shellnames.h"
#include "core/waitwindow.h"
#include "mainwindow/bartoggles.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/hovertracking.h"
#include "mainwindow/multiview.h"
#include "mainwindow/skinvalues.h"
#include "mainwindow/windowplacement.h"
#include "menus/clspopupmenu.h"
#include "menus/menubar.h"
#include "menus/menuoperations.h"
#include "menus/pagecommands.h"
#include "core/quicklist.h"
#include "platform/base/paths.h"
#include "platform/win/ibrowser.h"
#include "platform/win/popupmenus.h"
#include "platform/win/twips.h"

#include <QCursor>
#include <QDir>
#include <QProcess>
#include <QScreen>
#include <QTimer>
#include <QUrl>

using platform::browser::IBrowser;

namespace {

QStringList& deferredLog()
{
    static QStringList log;
    return log;
}

QStringList filesOf(const QString& productFolder, const QString& pattern)
{
    const QDir dir(platform::paths::programPath(productFolder));
    return dir.entryList({pattern}, QDir::Files, QDir::Unsorted);
}

} // namespace


MenusService::MenusService(frmExplorer& window, ServiceSet& services) : w_(window), services_(services) {}

MenusService::~MenusService()
{
    if (w_.CustomMenu == menu_.get())
        w_.CustomMenu = nullptr;
}

void MenusService::CreatePopupMenu(QWidget* ownerWindow)
{
    menu_ = std::make_unique<clsPopupMenu>();
    menu_->sethwndOwner(ownerWindow);
    w_.CustomMenu = menu_.get();
    menu_->events().Click = [this](int32_t item) { onClick(item); };
    menu_->events().InitPopupMenu = [this](int32_t parent) { onInitPopup(parent); };
}

bool MenusService::SubClassStatus() const
{
    return menu_ && menu_->SubClassStatus();
}

void MenusService::cmdMenu_MouseDown(int16_t index, int, int)
{
    if (!menu_ || index < 0 || index > 4)
        return;
    openIndex_ = index;
    w_.TimerStage = 1;
    w_.MenuBarActive = -1;
    const MenuState s = GatherMenuState(w_);
    switch (index) {
    case 0: BuildFileMenu(*menu_, s); break;
    case 1: BuildEditMenu(*menu_, s); break;
    case 2: BuildViewMenu(*menu_, s); break;
    case 3: BuildToolsMenu(*menu_, s); break;
    default:
        if (tabs().TabCount() == 1 || w_.Layout.PaneCount() == 1)
            w_.Layout.SetViewMode(0);
        BuildWindowMenu(*menu_, GatherMenuState(w_));
        break;
    }
    menu_->setImageList(MenuIconStrip());
    ShowMenuBelowCaption(*menu_, w_.cmdMenu[index]);
}

void MenusService::ShowHelpMenu()
{
    startButtonMenu();
    BuildHelpMenu(*menu_);
    showBeside(w_.cmdAppOpt[quickbutton::Help]);
}

void MenusService::ShowUserListMenu(int16_t list)
{
    startButtonMenu();
    if (!BuildUserListMenu(*menu_, list, ResolveQuickListPath(list)))
        return;
    showBeside(w_.cmdAppOpt[list]);
}

void MenusService::ShowCloseTabMenu()
{
    startButtonMenu();
    BuildCloseTabMenu(*menu_, GatherMenuState(w_));
    showBeside(w_.cmdAppOpt[quickbutton::CloseTabMenu]);
}

void MenusService::ShowGoToTabMenu()
{
    startButtonMenu();
    BuildGoToTabMenu(*menu_, GatherMenuState(w_));
    showBeside(w_.cmdAppOpt[quickbutton::GoToTabMenu]);
}

void MenusService::ShowFavoritesMenu()
{
    startButtonMenu();
    BuildFavoritesMenu(*menu_, GatherMenuState(w_));
    showBelow(w_.cmdWBControl[navbutton::Favorites]);
}

void MenusService::ShowHistoryMenu()
{
    startButtonMenu();
    BuildHistoryMenu(*menu_);
    showBelow(w_.cmdWBControl[navbutton::History]);
}

void MenusService::ShowTabListMenu()
{
    startButtonMenu();
    BuildTabListMenu(*menu_, GatherMenuState(w_));
    showBelow(w_.cmdWBControl[navbutton::TabList]);
}

void MenusService::ShowMediaMenu()
{
    startButtonMenu();
    BuildMediaMenu(*menu_, GatherMenuState(w_));
    menu_->setImageList(MenuIconStrip());
    const auto [l, t, wd, h] = anchor(w_.cmdMediaControl[0]);
    menu_->ShowPopupMenu(l, t, l, t, l + wd, t + h, true);
}

void MenusService::ShowPlaylistMenu(int32_t left, int32_t top, int32_t width, int32_t height)
{
    startButtonMenu();
    BuildPlaylistMenu(*menu_, GatherMenuState(w_));
    menu_->setImageList(MenuIconStrip());
    menu_->ShowPopupMenu(left + width, top, left, top, left + width, top + height, true);
}

void MenusService::ShowPlaylistFormatMenu(int32_t left, int32_t top, int32_t width, int32_t height)
{
    startButtonMenu();
    BuildPlaylistFormatMenu(*menu_, GatherMenuState(w_));
    menu_->setImageList(MenuIconStrip());
    menu_->ShowPopupMenu(left + width, top, left, top, left + width, top + height, true);
}

void MenusService::ShowListViewEditMenu(float x, float y)
{
    startButtonMenu();
    BuildListEditMenu(*menu_);
    menu_->ShowPopupMenu(static_cast<int32_t>(x), static_cast<int32_t>(y), 0, 0, 0, 0, true);
}

// The pointer over another caption of the bar while a bar menu is open:
// that caption's menu replaces the open one.
void MenusService::RollOverMenuBar()
{
    if (w_.MenuBarActive == 0 || openIndex_ < 0)
        return;
    for (int i = 0; i <= menucaption::Last; ++i) {
        QWidget* c = w_.cmdMenu[i].widget();
        if (i == openIndex_ || !c || !c->isVisible())
            continue;
        if (c->rect().contains(c->mapFromGlobal(QCursor::pos()))) {
            platform::menus::endMenu();
            QTimer::singleShot(0, w_.window(), [this, i] { cmdMenu_MouseDown(static_cast<int16_t>(i), 1, 0); });
            return;
        }
    }
}

void MenusService::EndMenuBarMode()
{
    if (w_.TimerStage != 1)
        return;
    w_.TimerStage = 9;
    if (w_.MenuBarActive != 0) {
        w_.MenuBarActive = 0;
        for (int i = 0; i <= menucaption::Last; ++i)
            w_.cmdMenu[i].setForeColor(ColorFromSkinText(w_.Hover().MenuCaptionColor()));
    }
    openIndex_ = -1;
}

void MenusService::SetButtonTooltips()
{
    ::SetButtonTooltips(w_, w_.TimerStage);
}

// Beside the tab button, on the window's popup menu.
QString MenusService::ShowTabMenu(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    if (!menu_)
        return {};
    menu_->Clear();
    const QString name = QStringLiteral("TABHANDLE");
    menu_->AddItem(GetLangString(QStringLiteral("MENU-14"), QStringLiteral("1201"), QStringLiteral("Close")), name, 0,
                   0, 51, true, QStringLiteral("OPTION0"));
    menu_->AddItem(QStringLiteral("-"), name, 0, 0, -1, true);
    menu_->AddItem(GetLangString(QStringLiteral("MENU-14"), QStringLiteral("1202"), QStringLiteral("Clear")), name, 0,
                   0, 51, true, QStringLiteral("OPTION1"));
    menu_->setImageList(MenuIconStrip());
    const int32_t chosen = menu_->ShowPopupMenu(left, bottom, left, top, right, bottom, true);
    return chosen > 0 ? menu_->ItemKey(chosen) : QString();
}

ExplorerState& MenusService::state()
{
    return w_;
}

int MenusService::currentTab() const
{
    return tabs().CurrentTab();
}

void MenusService::deferred(const QString& operation)
{
    deferredLog().append(operation);
    RunMenuOperation(services_, w_, operation);
}

void MenusService::saveSetting(const QString& name, const QString& value)
{
    SaveZ5Setting(HiveCurrentUser, name, value);
}

void MenusService::openNewTab()
{
    tabs().NavigateInNewTab(w_.BlankPagePath);
}

void MenusService::closeTab(int tab)
{
    if (tab >= 0 && tab < tabs().TabCount())
        tabs().CloseTab(static_cast<int16_t>(tab), false);
}

void MenusService::closeTabs(int mode)
{
    tabs().CloseTabs(static_cast<int16_t>(mode));
}

void MenusService::goToTab(int tab)
{
    if (tab >= 0 && tab < tabs().TabCount())
        tabs().GoToTab(static_cast<int16_t>(tab));
}

void MenusService::selectTabFromMenu(int tab)
{
    if (tab >= 0 && tab < tabs().TabCount())
        tabs().SelectTabFromMenu(static_cast<int16_t>(tab));
}

void MenusService::clearTabs(bool all, int tab)
{
    if (tab >= tabs().TabCount())
        return;
    tabs().ClearTabs(all, static_cast<int16_t>(tab < 0 ? tabs().CurrentTab() : tab));
}

// Find is the window's find bar over the current page, as Ctrl+F opens it.
void MenusService::pageCommand(PageCommand command)
{
    IBrowser* b = tabs().CurrentBrowser();
    pagecommands::Run(b, command);
    if (command == PageCommand::Find && b)
        tabs().RunPageKey('F');
}

void MenusService::setTextSize(int zoom)
{
    pagecommands::SetTextSize(tabs().CurrentBrowser(), zoom);
}

void MenusService::navigateText(const QString& text, bool)
{
    w_.WBTextBox[wbtextbox::Address].setText(text);
    // Opened in a new tab; a local path as a file address.
    tabs().NavigateInNewTab(QDir::isAbsolutePath(text) ? QUrl::fromLocalFile(text).toString() : text);
}

void MenusService::openStartPage()
{
    tabs().OpenWB_StartPage(3);
}

void MenusService::stopBrowsing()
{
    if (IBrowser* b = tabs().CurrentBrowser())
        b->stop();
}

void MenusService::refreshPage()
{
    if (IBrowser* b = tabs().CurrentBrowser())
        b->refresh();
}

void MenusService::openSearchPage()
{
    tabs().OpenSearchPage();
}

void MenusService::toggleBar(const QString& key)
{
    if (key == QLatin1String("VIEW_TBAR1"))
        ToggleTopBar(w_);
    else if (key == QLatin1String("VIEW_TBAR2"))
        ToggleBottomBar(w_);
    else if (key == QLatin1String("VIEW_MBAR1"))
        ToggleMenuBar(w_);
    else if (key == QLatin1String("VIEW_MBAR2"))
        ToggleMediaControlCenter(w_);
    else if (key == QLatin1String("VIEW_PLAYLIST"))
        TogglePlayList(w_, 1);
    else if (key == QLatin1String("SHOW_SIDEPANE"))
        TogglePlayList(w_, 2);
    else if (key == QLatin1String("VIEW_HIDEALL"))
        ToggleHideAll(w_, false);
    else if (key == QLatin1String("VIEW_TABCONTROL"))
        ToggleTabBar(w_);
    else if (key == QLatin1String("VIEW_COLORBAR"))
        ToggleTextColorBar(w_);
    else if (key == QLatin1String("MMEDIA_IINFO"))
        ToggleImageInfo(w_);
}

void MenusService::setArrangeMode(const QString& key)
{
    SetArrangeMode(w_, key);
}

void MenusService::mailPageLink()
{
    tabs().MailPageLink();
}

void MenusService::openInOfficeProgram(int number)
{
    tabs().OpenInOfficeProgram(static_cast<int16_t>(number));
}

void MenusService::toggleWorkOffline()
{
    tabs().ToggleWorkOffline();
}

void MenusService::viewPageSource()
{
    tabs().ViewPageSource();
}

void MenusService::translatePage(const QString& name)
{
    tabs().TranslatePage(name);
}

void MenusService::editListFile(int index)
{
    tabs().EditListFile(static_cast<int16_t>(index));
}

void MenusService::synchronizeOfflinePages()
{
    tabs().SynchronizeOfflinePages();
}

void MenusService::showImageViewerTab()
{
    tabs().ShowImageViewerTab();
}

void MenusService::quickListLookup(int list, const QString& name)
{
    tabs().QuickListLookup(static_cast<int16_t>(list), name);
}

void MenusService::reapplySkin()
{
    w_.Hover().ReapplySkin();
}

void MenusService::startProgram(const QString& productPath)
{
    QProcess::startDetached(platform::paths::programPath(productPath), {});
}

void MenusService::showMessage(const QString& text)
{
    ShowMessage(text, 1, 3);
}

void MenusService::clearHistory()
{
    ShowWaitWindow(true, GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9017"),
                                       QStringLiteral("Remove History ....")));
    DeleteHistoryEntries();
    ShowWaitWindow(false, {});
}

void MenusService::showAbout()
{
    ShowAboutBox();
}

void MenusService::openPreferences()
{
    // The window's buttons that take the current page read its address.
    const IBrowser* current = services_.Tabs().CurrentBrowser();
    DialogUrl = current ? current->locationURL() : QString();
    services_.Dialogs().ShowReferences();
    // The window may have switched the script-error option.
    const bool wanted = w_.GeneralOptionBytes[OptDisableScriptError] == 1;
    if (!wanted && CbtHookActive)
        RemoveDialogHook();
    else if (wanted && !CbtHookActive)
        InstallDialogHook(w_.window());
}

void MenusService::flipDisplayOption(int n)
{
    SetIeDisplayOption(static_cast<int16_t>(n), !GetIeDisplayOption(static_cast<int16_t>(n)));
}

void MenusService::makeDefaultBrowser()
{
    MakeDefaultBrowser();
}

void MenusService::organizeFavorites()
{
    OrganizeFavorites(w_.window());
}

void MenusService::startButtonMenu()
{
    w_.TimerStage = 1;
    openIndex_ = -1;
}

// Beside a button of the option bar: from its top right corner,
// upward when there is no room below its top.
void MenusService::showBeside(const platform::forms::Control& button)
{
    menu_->setImageList(MenuIconStrip());
    const auto [l, t, wd, h] = anchor(button);
    const int32_t sw = screenTwips(true);
    const int32_t sh = screenTwips(false);
    menu_->ShowPopupMenu(l + wd, t, l - sw, t, l + sw, t + sh, true);
}

// Below a button of the navigation bar, at the top bar's bottom.
void MenusService::showBelow(const platform::forms::Control& button)
{
    menu_->setImageList(MenuIconStrip());
    const auto [l, t, wd, h] = anchor(button);
    const int32_t bottom = std::max<int32_t>(t + h, static_cast<int32_t>(w_.SkinPiece[skinpiece::Top].height()));
    menu_->ShowPopupMenu(l, bottom, l, t, l + wd, bottom, true);
}

MenusService::Rect MenusService::anchor(const platform::forms::Control& c) const
{
    QWidget* wd = c.widget();
    QWidget* owner = menu_->hwndOwner();
    if (!wd || !owner)
        return {0, 0, 0, 0};
    const QPoint at = wd->mapTo(owner, QPoint(0, 0));
    return {at.x() * platform::forms::twipsPerPixelX(), at.y() * platform::forms::twipsPerPixelY(), wd->width() * platform::forms::twipsPerPixelX(), wd->height() * platform::forms::twipsPerPixelY()};
}

int32_t MenusService::screenTwips(bool width) const
{
    const QScreen* s = w_.window() ? w_.window()->screen() : nullptr;
    const QRect g = s ? s->geometry() : QRect(0, 0, 800, 600);
    return width ? g.width() * platform::forms::twipsPerPixelX() : g.height() * platform::forms::twipsPerPixelY();
}

void MenusService::onClick(int32_t item)
{
    menu_->DestroySubClass();
    ChosenItem chosen{menu_->MenuName(item), menu_->ItemKey(item), menu_->Caption(item),
                      menu_->HierarchyPath(item, 1, QStringLiteral("\\"))};
    DispatchMenuCommand(*this, chosen);
}

void MenusService::onInitPopup(int32_t parent)
{
    const QString name = menu_->MenuName(parent);
    const QString path = menu_->HierarchyPath(parent, 1, QStringLiteral("\\"));
    if (name == QLatin1String("FAVORITES")) {
        const MenuState s = GatherMenuState(w_);
        LoadFavoritesFolder(*menu_, parent, platform::paths::toLocal(GetSpecialFolder(1) + QLatin1Char('\\') + path), s);
    } else if (name == QLatin1String("HISTORY")) {
        QString key;
        const int mode = HistoryViewForPath(path, key);
        if (mode >= 0)
            historyMode_ = mode;
        int32_t c1 = 0;
        int32_t c2 = 0;
        const QStringList stamped = historyMode_ == 1 ? QStringList() : ListVisitedHistory(true, true, c1);
        const QStringList plain = historyMode_ == 1 ? ListVisitedHistory(false, false, c2) : QStringList();
        LoadHistoryView(*menu_, parent, historyMode_, key, stamped, plain,
                        QDate::currentDate().toString(QStringLiteral("yyyyMMdd")));
    }
}

MenuState GatherMenuState(frmExplorer& w)
{
    MenuState s;
    ITabCommands& tabs = w.services().Tabs();
    IBrowser* b = tabs.CurrentBrowser();
    s.pageShown = b && !IsBlankPageUrl(b->locationURL()) && !b->locationURL().isEmpty();
    if (b) {
        using namespace platform::browser;
        s.canCut = (b->queryStatusWB(CmdCut) & CmdEnabled) != 0;
        s.canCopy = (b->queryStatusWB(CmdCopy) & CmdEnabled) != 0;
        s.canPaste = (b->queryStatusWB(CmdPaste) & CmdEnabled) != 0;
    }
    s.workOffline = IsIeOffline();
    for (size_t i = 0; i < s.display.size(); ++i)
        s.display[i] = w.DisplayFlags[i] != 0;
    s.zoom = pagecommands::TextSize(b);
    s.skinFiles = filesOf(QStringLiteral("\\Skin"), QStringLiteral("SK_*.dll"));
    s.skinName = SkinName;
    s.languageFiles = filesOf(QStringLiteral("\\Language"), QStringLiteral("*.ini"));
    s.languageName = LanguageName;
    for (int n = 1; n <= 5; ++n)
        s.displayOptions[static_cast<size_t>(n - 1)] = GetIeDisplayOption(static_cast<int16_t>(n));
    s.popupMode = w.PopupControlMode;
    s.listKind = w.CurrentListKind;
    s.isDefaultBrowser = IsDefaultBrowser();
    s.translationList = ResolveQuickListPath(0);
    s.favoritesSortOrder = w.FavoritesSortOrder;
    s.favoritesFolderFirst = w.FavoritesFolderFirst != 0;
    s.favoritesFolder = platform::paths::toLocal(GetSpecialFolder(1));
    for (int16_t i = 0; i < tabs.TabCount(); ++i) {
        const int kind = tabs.GetTabState(tabs.TabBrowserMap(i), 1);
        s.tabCaptions << TabCaption(i + 1, tabs.TabTitle(i), kind);
    }
    s.currentTab = tabs.CurrentTab();
    s.viewMode = w.Layout.ViewMode();
    for (size_t i = 1; i <= 3; ++i)
        s.repeat[i] = w.RepeatFlags[i] != 0;
    for (size_t i = 1; i <= 2; ++i) {
        s.single[i] = w.SingleFlags[i] != 0;
        s.shuffle[i] = w.ShuffleFlags[i] != 0;
    }
    s.autoImageResize = w.AutoImageResize != 0;
    s.imagesPerView = w.ImagesPerView;
    s.fullScreen = w.Placement().FullScreenMode() != 0;
    s.imageListPlaying = w.ListPlayState[3] == 2;
    s.imageListCount = w.ListItemCount[3];
    if (w.CurrentListKind >= 1 && w.CurrentListKind <= 6) {
        const auto k = static_cast<size_t>(w.CurrentListKind);
        s.listCount = w.ListItemCount[k];
        s.listSaved = w.SaveEnabled[k] != 0;
        s.listFilled = w.SaveAsEnabled[k] != 0;
    }
    s.collectionFormat = w.CollectionFormat;
    s.downloadLists = ReadZ5Setting(HiveCurrentUser, QStringLiteral("Z5_DOWNLOADLIST"), {});
    return s;
}

QStringList DeferredMenuOperations()
{
    return deferredLog();
}
