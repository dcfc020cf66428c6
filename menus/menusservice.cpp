#include "menus/menusservice.h"

#include "browsing/explorertabs.h"
#include "browsing/tabbrowsing.h"
#include "core/aboutbox.h"
#include "core/cleanup.h"
#include "core/connection.h"
#include "core/fileclasses.h"
#include "core/globals.h"
#include "core/language.h"
#include "core/menuiconstrip.h"
#include "core/messagebox.h"
#include "core/registration.h"
#include "core/settingsstore.h"
#include "core/shellhelpers.h"
#include "core/waitwindow.h"
#include "mainwindow/bartoggles.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/hovertracking.h"
#include "mainwindow/multiview.h"
#include "mainwindow/skinvalues.h"
#include "mainwindow/services/registry.h"
#include "menus/clspopupmenu.h"
#include "menus/menubar.h"
#include "menus/pagecommands.h"
#include "core/quicklist.h"
#include "platform/base/paths.h"
#include "platform/win/popupmenus.h"
#include "platform/win/twips.h"

#include <QCursor>
#include <QDir>
#include <QProcess>
#include <QScreen>
#include <QTimer>
#include <QUrl>

namespace {

QStringList& deferredLog()
{
    static QStringList log;
    return log;
}

IBrowser* currentBrowser(frmExplorer&)
{
    TabBrowsing* t = TabModelOf(services::Tabs());
    return t ? t->CurrentBrowser() : nullptr;
}

class MenusService : public IMenusService, public IMenuCommandHost {
public:
    explicit MenusService(frmExplorer& w) : w_(w) {}
    ~MenusService() override
    {
        if (w_.CustomMenu == menu_.get())
            w_.CustomMenu = nullptr;
    }

    const char* implementationName() const override { return "menus"; }

    void CreatePopupMenu(void* ownerWindow) override
    {
        menu_ = std::make_unique<clsPopupMenu>();
        menu_->sethwndOwner(static_cast<QWidget*>(ownerWindow));
        w_.CustomMenu = menu_.get();
        menu_->events().Click = [this](int32_t item) { onClick(item); };
        menu_->events().InitPopupMenu = [this](int32_t parent) { onInitPopup(parent); };
    }
    bool SubClassStatus() const override { return menu_ && menu_->SubClassStatus(); }

    void cmdMenu_MouseDown(int16_t index, int, int) override
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
            if (w_.TabCount == 1 || w_.PaneCount == 1)
                w_.ViewMode = 0;
            BuildWindowMenu(*menu_, GatherMenuState(w_));
            break;
        }
        menu_->setImageList(MenuIconStrip());
        ShowMenuBelowCaption(*menu_, w_.cmdMenu[index]);
    }

    void ShowHelpMenu() override
    {
        startButtonMenu();
        BuildHelpMenu(*menu_);
        showBeside(w_.cmdAppOpt[0]);
    }
    void ShowUserListMenu(int16_t list) override
    {
        startButtonMenu();
        if (!BuildUserListMenu(*menu_, list, ResolveQuickListPath(list)))
            return;
        showBeside(w_.cmdAppOpt[list]);
    }
    void ShowCloseTabMenu() override
    {
        startButtonMenu();
        BuildCloseTabMenu(*menu_, GatherMenuState(w_));
        showBeside(w_.cmdAppOpt[5]);
    }
    void ShowGoToTabMenu() override
    {
        startButtonMenu();
        BuildGoToTabMenu(*menu_, GatherMenuState(w_));
        showBeside(w_.cmdAppOpt[6]);
    }
    void ShowFavoritesMenu() override
    {
        startButtonMenu();
        BuildFavoritesMenu(*menu_, GatherMenuState(w_));
        showBelow(w_.cmdWBControl[0]);
    }
    void ShowHistoryMenu() override
    {
        startButtonMenu();
        BuildHistoryMenu(*menu_);
        showBelow(w_.cmdWBControl[1]);
    }
    void ShowTabListMenu() override
    {
        startButtonMenu();
        BuildTabListMenu(*menu_, GatherMenuState(w_));
        showBelow(w_.cmdWBControl[8]);
    }

    void ShowMediaMenu() override
    {
        startButtonMenu();
        BuildMediaMenu(*menu_, GatherMenuState(w_));
        menu_->setImageList(MenuIconStrip());
        const auto [l, t, wd, h] = anchor(w_.cmdMediaControl[0]);
        menu_->ShowPopupMenu(l, t, l, t, l + wd, t + h, true);
    }

    void ShowPlaylistMenu(int32_t left, int32_t top, int32_t width, int32_t height) override
    {
        startButtonMenu();
        BuildPlaylistMenu(*menu_, GatherMenuState(w_));
        menu_->setImageList(MenuIconStrip());
        menu_->ShowPopupMenu(left + width, top, left, top, left + width, top + height, true);
    }
    void ShowPlaylistFormatMenu(int32_t left, int32_t top, int32_t width, int32_t height) override
    {
        startButtonMenu();
        BuildPlaylistFormatMenu(*menu_, GatherMenuState(w_));
        menu_->setImageList(MenuIconStrip());
        menu_->ShowPopupMenu(left + width, top, left, top, left + width, top + height, true);
    }
    void ShowListViewEditMenu(float x, float y) override
    {
        startButtonMenu();
        BuildListEditMenu(*menu_);
        menu_->ShowPopupMenu(static_cast<int32_t>(x), static_cast<int32_t>(y), 0, 0, 0, 0, true);
    }

    // The pointer over another caption of the bar while a bar menu is open:
    // that caption's menu replaces the open one.
    void RollOverMenuBar() override
    {
        if (w_.MenuBarActive == 0 || openIndex_ < 0)
            return;
        for (int i = 0; i <= 4; ++i) {
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
    void EndMenuBarMode() override
    {
        if (w_.TimerStage != 1)
            return;
        w_.TimerStage = 9;
        if (w_.MenuBarActive != 0) {
            w_.MenuBarActive = 0;
            for (int i = 0; i <= 4; ++i)
                w_.cmdMenu[i].setForeColor(ColorFromSkinText(w_.MenuCaptionColor));
        }
        openIndex_ = -1;
    }
    void UnloadMenuImageHolder() override {}
    void SetButtonTooltips() override { ::SetButtonTooltips(w_, w_.TimerStage); }

    // ---- What the rows call ----
    ExplorerState& state() override { return w_; }
    void saveSetting(const QString& name, const QString& value) override
    {
        SaveZ5Setting(HiveCurrentUser, name, value);
    }
    void openNewTab() override
    {
        TabBrowsing* t = tabs();
        if (!t)
            return;
        const int n = w_.TabCount;
        t->NewTab(n, true, true);
        if (IBrowser* b = t->WBMAIN(w_.TabBrowserMap.value(n)))
            b->navigate2(t->BlankPageUrl);
        showTab(*t, n);
    }
    void closeTab(int tab) override
    {
        if (TabBrowsing* t = tabs(); t && tab >= 0 && tab < w_.TabCount)
            t->CloseTab(tab, false);
    }
    void closeTabs(int mode) override
    {
        if (TabBrowsing* t = tabs())
            t->CloseTabs(mode);
    }
    void goToTab(int tab) override
    {
        if (TabBrowsing* t = tabs(); t && tab >= 0 && tab < w_.TabCount)
            t->GoToTab(tab);
    }
    void selectTabFromMenu(int tab) override
    {
        if (TabBrowsing* t = tabs(); t && tab >= 0 && tab < w_.TabCount)
            t->SelectTabFromMenu(tab);
    }
    void clearTabs(bool all, int tab) override
    {
        TabBrowsing* t = tabs();
        if (!t || tab >= w_.TabCount)
            return;
        t->ClearTabs(all, tab < 0 ? w_.CurrentTab : tab);
    }
    int currentTab() const override { return w_.CurrentTab; }
    int tabMenuTab() const override { return -1; }
    void pageCommand(PageCommand command) override { pagecommands::Run(currentBrowser(w_), command); }
    void setTextSize(int zoom) override { pagecommands::SetTextSize(currentBrowser(w_), zoom); }
    void navigateText(const QString& text, bool) override
    {
        w_.WBTextBox[0].setText(text);
        TabBrowsing* t = tabs();
        if (!t)
            return;
        // Opened in a new tab; a local path as a file address.
        const QString address = QDir::isAbsolutePath(text) ? QUrl::fromLocalFile(text).toString() : text;
        const int n = w_.TabCount;
        t->NewTab(n, true, true);
        if (IBrowser* b = t->WBMAIN(w_.TabBrowserMap.value(n)))
            b->navigate2(address);
        showTab(*t, n);
    }
    void openStartPage() override { services::Tabs().OpenWB_StartPage(3); }
    void stopBrowsing() override
    {
        if (IBrowser* b = currentBrowser(w_))
            b->stop();
    }
    void refreshPage() override
    {
        if (IBrowser* b = currentBrowser(w_))
            b->refresh();
    }
    void openSearchPage() override { services::Tabs().OpenSearchPage(); }
    void toggleBar(const QString& key) override
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
    void setArrangeMode(const QString& key) override { SetArrangeMode(w_, key); }
    void reapplySkin() override { ReapplySkin(w_); }
    void startProgram(const QString& productPath) override
    {
        QProcess::startDetached(platform::paths::programPath(productPath), {});
    }
    void showMessage(const QString& text) override { ShowMessage(text, 1, 3); }
    void clearHistory() override
    {
        ShowWaitWindow(true, GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9017"),
                                           QStringLiteral("Remove History ....")));
        DeleteHistoryEntries();
        ShowWaitWindow(false, {});
    }
    void showAbout() override { ShowAboutBox(); }
    void openPreferences() override { deferred(QStringLiteral("frmReferences")); }
    void flipDisplayOption(int n) override
    {
        SetIeDisplayOption(static_cast<int16_t>(n), !GetIeDisplayOption(static_cast<int16_t>(n)));
    }
    void makeDefaultBrowser() override { MakeDefaultBrowser(); }
    void organizeFavorites() override { OrganizeFavorites(w_.window()); }
    void mailPageLink() override { services::Tabs().MailPageLink(); }
    void openInOfficeProgram(int number) override { services::Tabs().OpenInOfficeProgram(static_cast<int16_t>(number)); }
    void toggleWorkOffline() override { services::Tabs().ToggleWorkOffline(); }
    void viewPageSource() override { services::Tabs().ViewPageSource(); }
    void translatePage(const QString& name) override { services::Tabs().TranslatePage(name); }
    void editListFile(int index) override { services::Tabs().EditListFile(static_cast<int16_t>(index)); }
    void synchronizeOfflinePages() override { services::Tabs().SynchronizeOfflinePages(); }
    void showImageViewerTab() override { services::Tabs().ShowImageViewerTab(); }
    void quickListLookup(int list, const QString& name) override
    {
        services::Tabs().QuickListLookup(static_cast<int16_t>(list), name);
    }
    void deferred(const QString& operation) override { deferredLog().append(operation); }

private:
    TabBrowsing* tabs() const { return TabModelOf(services::Tabs()); }
    // A tab just opened becomes the current one.
    void showTab(TabBrowsing& t, int n)
    {
        if (n >= w_.TabCount)
            return;
        w_.CurrentTab = static_cast<int16_t>(n);
        t.ActivateTab(n);
    }

    void startButtonMenu()
    {
        w_.TimerStage = 1;
        openIndex_ = -1;
    }

    // Beside a button of the option bar: from its top right corner,
    // upward when there is no room below its top.
    void showBeside(const platform::forms::Control& button)
    {
        menu_->setImageList(MenuIconStrip());
        const auto [l, t, wd, h] = anchor(button);
        const int32_t sw = screenTwips(true);
        const int32_t sh = screenTwips(false);
        menu_->ShowPopupMenu(l + wd, t, l - sw, t, l + sw, t + sh, true);
    }
    // Below a button of the navigation bar, at the top bar's bottom.
    void showBelow(const platform::forms::Control& button)
    {
        menu_->setImageList(MenuIconStrip());
        const auto [l, t, wd, h] = anchor(button);
        const int32_t bottom = std::max<int32_t>(t + h, static_cast<int32_t>(w_.SkinPiece[4].height()));
        menu_->ShowPopupMenu(l, bottom, l, t, l + wd, bottom, true);
    }
    struct Rect {
        int32_t l, t, w, h;
    };
    Rect anchor(const platform::forms::Control& c) const
    {
        QWidget* wd = c.widget();
        QWidget* owner = menu_->hwndOwner();
        if (!wd || !owner)
            return {0, 0, 0, 0};
        const QPoint at = wd->mapTo(owner, QPoint(0, 0));
        return {at.x() * platform::forms::twipsPerPixelX(), at.y() * platform::forms::twipsPerPixelY(), wd->width() * platform::forms::twipsPerPixelX(), wd->height() * platform::forms::twipsPerPixelY()};
    }
    int32_t screenTwips(bool width) const
    {
        const QScreen* s = w_.window() ? w_.window()->screen() : nullptr;
        const QRect g = s ? s->geometry() : QRect(0, 0, 800, 600);
        return width ? g.width() * platform::forms::twipsPerPixelX() : g.height() * platform::forms::twipsPerPixelY();
    }

    void onClick(int32_t item)
    {
        menu_->DestroySubClass();
        ChosenItem chosen{menu_->MenuName(item), menu_->ItemKey(item), menu_->Caption(item),
                          menu_->HierarchyPath(item, 1, QStringLiteral("\\"))};
        DispatchMenuCommand(*this, chosen);
    }

    void onInitPopup(int32_t parent)
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

    frmExplorer& w_;
    std::unique_ptr<clsPopupMenu> menu_;
    int openIndex_ = -1;
    int historyMode_ = 0;
};

QStringList filesOf(const QString& productFolder, const QString& pattern)
{
    const QDir dir(platform::paths::programPath(productFolder));
    return dir.entryList({pattern}, QDir::Files, QDir::Unsorted);
}

} // namespace

MenuState GatherMenuState(frmExplorer& w)
{
    MenuState s;
    IBrowser* b = currentBrowser(w);
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
    TabBrowsing* t = TabModelOf(services::Tabs());
    for (int i = 0; i < w.TabCount; ++i) {
        const int kind = t ? t->GetTabState(w.TabBrowserMap.value(i), 1) : 0;
        s.tabCaptions << TabCaption(i + 1, w.TabTitles.value(i), kind);
    }
    s.currentTab = w.CurrentTab;
    s.viewMode = w.ViewMode;
    for (size_t i = 1; i <= 3; ++i)
        s.repeat[i] = w.RepeatFlags[i] != 0;
    for (size_t i = 1; i <= 2; ++i) {
        s.single[i] = w.SingleFlags[i] != 0;
        s.shuffle[i] = w.ShuffleFlags[i] != 0;
    }
    s.autoImageResize = w.AutoImageResize != 0;
    s.imagesPerView = w.ImagesPerView;
    s.fullScreen = w.FullScreenMode != 0;
    s.imageListPlaying = w.ListPlayState[3] == 2;
    s.imageListCount = w.ListItemCount[3];
    if (w.CurrentListKind >= 1 && w.CurrentListKind <= 6)
        s.listCount = w.ListItemCount[static_cast<size_t>(w.CurrentListKind)];
    s.collectionFormat = w.CollectionFormat;
    s.downloadLists = ReadZ5Setting(HiveCurrentUser, QStringLiteral("Z5_DOWNLOADLIST"), {});
    return s;
}

std::unique_ptr<IMenusService> CreateMenusService(frmExplorer& window)
{
    return std::make_unique<MenusService>(window);
}

IMenuCommandHost* MenuCommandHostOf(IMenusService& service)
{
    return dynamic_cast<IMenuCommandHost*>(&service);
}

QStringList DeferredMenuOperations()
{
    return deferredLog();
}
