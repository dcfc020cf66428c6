#include "browsing/explorertabs.h"

#include "browsing/addressbox.h"
#include "browsing/browserarray.h"
#include "browsing/colourbar.h"
#include "browsing/currenttabdisplay.h"
#include "browsing/documentsinks.h"
#include "browsing/findbar.h"
#include "browsing/handoff.h"
#include "browsing/navigation.h"
#include "browsing/pagetools.h"
#include "browsing/tabbrowsing.h"
#include "browsing/tabstaterecord.h"
#include "browsing/tabstrip.h"
#include "browsing/tabwatchers.h"
#include "core/fileclasses.h"
#include "core/globals.h"
#include "core/language.h"
#include "core/mainsettings.h"
#include "core/menuiconstrip.h"
#include "core/shellhelpers.h"
#include "core/startup.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/hovertracking.h"
#include "mainwindow/menubarpopups.h"
#include "mainwindow/multiview.h"
#include "mainwindow/services/registry.h"
#include "mainwindow/skinvalues.h"
#include "mainwindow/splitters.h"
#include "mainwindow/windowplacement.h"
#include "platform/base/commandline.h"
#include "platform/base/paths.h"
#include "platform/base/vbrt.h"
#include "platform/win/windowservices.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDrag>
#include <QEvent>
#include <QFileInfo>
#include <QPointF>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <optional>

#include <unistd.h>

namespace {

// The browsers of the window, each press inside a page reported to the
// window as a click in the browser area.
class ClickingBrowsers : public IBrowserHost {
public:
    ClickingBrowsers(frmExplorer& window, platform::forms::Control* holder) : window_(window), array_(window, holder)
    {
        watch(array_.browser(0));
    }
    IBrowser* loadBrowser(int index) override { return watch(array_.loadBrowser(index)); }
    bool unloadBrowser(int index) override { return array_.unloadBrowser(index); }
    IBrowser* browser(int index) const override { return array_.browser(index); }
    IBrowser* popupCatcher() override { return array_.popupCatcher(); }

private:
    IBrowser* watch(IBrowser* b)
    {
        if (b) {
            frmExplorer* w = &window_;
            QPointer<QWidget> alive = window_.window();
            // Taken up from the main loop, outside the page's input handling.
            b->browserEvents().mouseDown = [w, alive](int button) {
                if (button != 1 && button != 2)
                    return;
                QTimer::singleShot(0, qApp, [w, alive, button] {
                    if (alive)
                        HandleBrowserClick(*w, button == 1 ? 2 : 3);
                });
            };
        }
        return b;
    }
    frmExplorer& window_;
    BrowserArray array_;
};

// The window side: the browser of the shown tab fills the body of the
// chrome (PicHolder(0)), which holds every tab browser.
class ExplorerTabs : public ITabsService, public IDownloadsService, public StandInChrome, public QObject {
public:
    explicit ExplorerTabs(frmExplorer& window)
        : window_(window), browsers_(window, &window.PicHolder[0]),
          tabs_(window, browsers_, *this, media_, lists_, downloads_), strip_(window, tabs_),
          display_(window, tabs_, strip_), watchers_(window, tabs_), tools_(window, tabs_), sinks_(window, tabs_),
          nav_(window, tabs_)
    {
        window_.PicHolder[0].widget()->installEventFilter(this);
        display_.ShowTabCount(std::max<int>(1, window_.TabCount));
        // The status frames of the download pages are watched here, on
        // the tick's call to the downloads.
        services::SetDownloads(this);
        wirePageButtons();
        wireAddressBox();
        wireAddressDropDown();
        findBar_ = new FindBar(window_.PicHolder[0].widget(), [this] { return tabs_.CurrentBrowser(); });
    }

    ~ExplorerTabs() override
    {
        if (&services::Downloads() == this)
            services::SetDownloads(nullptr);
        if (QWidget* holder = window_.PicHolder[0].widget())
            holder->removeEventFilter(this);
    }

    const char* implementationName() const override { return "browsing"; }

    TabBrowsing& model() { return tabs_; }

    // ---- What the window asks of the tabs ----
    void ActivateTab(int16_t tab) override { tabs_.ActivateTab(tab); }
    void SwitchToAdjacentTab(int16_t direction, bool once) override { tabs_.SwitchToAdjacentTab(direction, once); }
    void SetStatusMessage(const QString& text, int16_t browserIndex, int16_t tabNumber) override
    {
        tabs_.SetStatusMessage(text, browserIndex, tabNumber);
    }
    void ShowBusyIndicator() override { tabs_.ShowBusyIndicator(); }
    void SetTabStateRecord(int16_t browserIndex, const QString& record) override
    {
        if (IBrowser* b = tabs_.WBMAIN(browserIndex))
            b->setTag(record);
    }
    void UnloadBrowser(int16_t browserIndex) override
    {
        if (browserIndex > 0)
            browsers_.unloadBrowser(browserIndex);
    }
    // Modes 1 and 2 open in the first tab at start-up, mode 3 in the
    // current tab.
    void OpenWB_StartPage(int16_t mode) override
    {
        nav_.OpenWB_StartPage(mode, window_.CurrentTab);
        if (mode != 3) {
            window_.CurrentTab = 0;
            tabs_.ActivateTab(0);
        }
    }
    // The panes of the multi-view, each filled by its tab's browser.
    void LayoutViewPanes(bool showSplitters, int16_t tabCount, int16_t paneCount) override
    {
        ::LayoutViewPanes(window_, showSplitters, tabCount, paneCount);
    }
    void LayoutViewPanes(bool showSplitters, int tabCount, int paneCount) override
    {
        ::LayoutViewPanes(window_, showSplitters, tabCount, paneCount);
    }
    void EnsureTabsForViewMode(bool activate) override
    {
        for (int k : BlankTabsForViewMode(window_.ViewMode, window_.TabCount)) {
            tabs_.NewTab(k, true, true);
            tabs_.ResetTab(k);
        }
        if (window_.PaneCount > 1) {
            // Each pane shows its own tab, above the browsers of tabs
            // outside the panes.
            for (int i = 0; i < window_.PaneCount; ++i) {
                tabs_.RelayoutTabPanes(i);
                if (i < kMaxPanes)
                    if (IBrowser* b = tabs_.WBMAIN(window_.TabBrowserMap.value(i, -1))) {
                        b->setVisible(true);
                        b->bringToFront();
                    }
            }
            ::BringSplittersToFront(window_);
        } else {
            PlaceBrowsersInPanes(window_.CurrentTab);
        }
        if (activate) {
            tabs_.ActivateTab(window_.CurrentTab);
            QCoreApplication::processEvents();
            window_.UserClickState = 0;
        }
    }

    // ---- Document sinks and tab watchers ----
    void BindDocumentEvents() override { sinks_.BindDocumentEvents(); }
    void ReleaseDocumentEvents() override { sinks_.ReleaseDocumentEvents(); }
    void CloseDuplicatePopupTabs() override { watchers_.CloseDuplicatePopupTabs(); }
    void FixScrollOfCurrentPage() override { watchers_.FixScrollOfCurrentPage(); }
    void RefreshDownloadStatusFrames() override { watchers_.RefreshDownloadStatusFrames(); }

    // ---- Page tools ----
    // Full screen is left first; then every page, the media and the list
    // timers stop and the status line says "Stopped".
    void StopEverything() override
    {
        if (window_.FullScreenMode != 0)
            ToggleFullScreen(window_, 0);
        tabs_.StopAllTabBrowsers();
        tabs_.BusyState[0] = 4;
        tabs_.ShowBusyIndicator();
        nav_.StopEverything();
    }
    void MailPageLink() override { tools_.MailPageLink(); }
    void EditListFile(int16_t index) override { tools_.EditListFile(index); }
    void OpenInOfficeProgram(int16_t number) override { tools_.OpenInOfficeProgram(number); }
    void TranslatePage(const QString& name) override { tools_.TranslatePage(name); }
    void ToggleWorkOffline() override { tools_.ToggleWorkOffline(); }
    void ViewPageSource() override { tools_.ViewPageSource(); }
    bool IsCurrentTabBlank() override { return tools_.IsCurrentTabBlank(); }
    void SynchronizeOfflinePages() override { tools_.SynchronizeOfflinePages(); }
    void ShowImageViewerTab() override { ::ShowImageViewerTab(window_, tabs_, *this, media_, downloads_); }
    void GoBack() override
    {
        nav_.GoBack();
        RefreshCurrentTabChrome();
        UpdateTabTitle(window_.CurrentTab - window_.TabButtonOffset);
        downloads_.ResetFetchProgress();
    }
    void GoForward() override { nav_.GoForward(); }
    void StopBrowsing() override { nav_.StopBrowsing(); }
    void RefreshPage() override { nav_.RefreshPage(); }
    void GoUpOneLevel() override { nav_.GoUpOneLevel(); }
    void OpenMyFolder() override { nav_.OpenMyFolder(); }
    void OpenMail() override { nav_.OpenMail(); }
    void OpenSearchPage() override { nav_.OpenSearchPage(); }
    void NavigateAddressText(bool newTab, bool interpret, bool noHistory) override
    {
        nav_.NavigateAddressText(newTab, interpret, noHistory);
    }
    void ReadHandOffFiles() override;
    void OpenNewTab() override { nav_.OpenNewTab(); }
    void GoToTab(int16_t tab) override { tabs_.GoToTab(tab); }
    void CloseTab(int16_t tab) override { tabs_.CloseTab(tab, true); }
    void CloseTabs(int16_t mode) override { tabs_.CloseTabs(mode); }
    void ReopenClosedTab() override { tabs_.ReopenClosedTab(); }
    void QuickListLookup(int16_t list, const QString& name) override { nav_.QuickListLookup(list, name); }
    void NavigateCurrentTab(const QString& url) override
    {
        if (IBrowser* b = tabs_.CurrentBrowser())
            b->navigate2(url);
    }
    void RunPageKey(int16_t keyCode) override
    {
        IBrowser* b = tabs_.CurrentBrowser();
        if (!b || b->locationURL().isEmpty() || IsBlankPageUrl(b->locationURL()))
            return;
        using namespace platform::browser;
        switch (keyCode) {
        case 'P': b->printPage(); break;
        case 'S': b->savePage(); break;
        case 'F':
            if (FindBar* bar = findBar_.data())
                bar->open();
            break;
        case 'A': b->focusPage(); b->execWB(CmdSelectAll); break;
        case 'X': if (tabs_.CanCut) { b->focusPage(); b->execWB(CmdCut); } break;
        case 'C': if (tabs_.CanCopy) { b->focusPage(); b->execWB(CmdCopy); } break;
        case 'V': if (tabs_.CanPaste) { b->focusPage(); b->execWB(CmdPaste); } break;
        default: break;
        }
    }
    void LayoutTabStrip(LayoutRect& rect) override
    {
        strip_.LayoutTabStrip(rect);
        display_.RefreshTabButtons(false);
    }

    // ---- What the tabs ask of the window ----
    void PlaceBrowsersInPanes(int tab) override
    {
        if (tab < 0 || tab >= window_.TabBrowserMap.size())
            return;
        if (IBrowser* b = tabs_.WBMAIN(window_.TabBrowserMap[tab])) {
            const frmExplorer::PaneRect r = BrowserRectForPane(window_, tab);
            b->place(r.Left, r.Top, r.Width, r.Height);
        }
    }
    void BringSplittersToFront() override { ::BringSplittersToFront(window_); }
    void EndSplitterDrag() override { ::EndSplitterDrag(window_); }
    void ResetTabStripForCloseAll() override { display_.ResetForCloseAll(); }
    void RefreshTabButtons(int hideExtra) override { display_.RefreshTabButtons(hideExtra != 0); }
    void RefreshCurrentTabChrome() override { display_.RefreshCurrentTabChrome(); }
    void UpdateTabTitle(int button) override { display_.UpdateTabTitle(button); }
    void ScrollTabStripToCurrent() override { strip_.ScrollTabStripToCurrent(); }
    int TabButtonsThatFit() override { return strip_.TabButtonsFit(); }
    void SetBackButtonState(bool enable) override { display_.SetBackButtonState(enable); }
    void SetForwardButtonState(bool enable) override { display_.SetForwardButtonState(enable); }
    void SetStatusLine(const QString& text) override { window_.WBTextBox[1].setText(text); }
    void SetBusyPicture(const QPixmap& picture) override { window_.ImageBox[0].setPicture(picture); }
    void SetProgressBar(double max, double value) override
    {
        window_.WBProgressBar->setMaximum(static_cast<int>(max));
        window_.WBProgressBar->setValue(static_cast<int>(value));
    }
    void ShowTabCount(int count) override { display_.ShowTabCount(count); }
    // At the first new title after Enter: what the address box holds then.
    void AddTypedUrl() override { ::AddTypedUrl(window_.WBTextBox[0].text()); }

private:
    IBrowser* currentBrowser() const
    {
        const int tab = window_.CurrentTab;
        return tab >= 0 && tab < window_.TabBrowserMap.size() ? tabs_.WBMAIN(window_.TabBrowserMap[tab]) : nullptr;
    }

    // The colour bar (ImageBox 7) and the page icon (ImageBox 2); the
    // other picture buttons keep the handlers they had.
    void wirePageButtons()
    {
        // The hover marker only shows the cell: presses go through it to the bar.
        window_.ColorBarMarker->widget()->setAttribute(Qt::WA_TransparentForMouseEvents);
        auto& events = window_.ImageBox.events();
        auto down = events.mouseDown;
        auto move = events.mouseMove;
        auto up = events.mouseUp;
        events.mouseDown = [this, down](int index, int button, int shift, double x, double y) {
            window_.ButtonReleased = 0;
            if (index == 2)
                iconPress_ = QPointF(x, y);
            if (down)
                down(index, button, shift, x, y);
        };
        events.mouseMove = [this, move](int index, int button, int shift, double x, double y) {
            if (index == 7)
                ColourBar_MouseMove(window_, x);
            else if (index == 2 && (button & 1) && iconPress_)
                dragPageIcon(x, y);
            if (move)
                move(index, button, shift, x, y);
        };
        events.mouseUp = [this, up](int index, int button, int shift, double x, double y) {
            window_.ButtonReleased = -1;
            if (index == 7)
                ColourBar_MouseUp(window_, currentBrowser(), button, x);
            if (index == 2)
                iconPress_.reset();
            if (up)
                up(index, button, shift, x, y);
        };
    }

    void dragPageIcon(double x, double y)
    {
        const double distance = QApplication::startDragDistance() * 15.0 * TwipsScale;
        if (std::abs(x - iconPress_->x()) + std::abs(y - iconPress_->y()) < distance)
            return;
        iconPress_.reset();
        IBrowser* b = currentBrowser();
        if (!b)
            return;
        const int tab = window_.CurrentTab;
        const QString title = tab < window_.TabTitles.size() ? window_.TabTitles[tab] : QString();
        auto* drag = new QDrag(window_.ImageBox[2].widget());
        drag->setMimeData(new UrlShortcutData(b->locationURL(), title, GetTempFolder()));
        if (!window_.ImageBox[2].picture().isNull())
            drag->setPixmap(window_.ImageBox[2].picture());
        // Posted: the drag runs its own loop, which the mouse event must not hold.
        QMetaObject::invokeMethod(
            this, [drag] { drag->exec(Qt::CopyAction); drag->deleteLater(); }, Qt::QueuedConnection);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Resize) {
            PlaceBrowsersInPanes(window_.CurrentTab);
            if (FindBar* bar = findBar_.data())
                bar->place();
        }
        return false;
    }

    // The typed addresses into ListView(0), newest on top; their number.
    int FillTypedUrlList();
    void HideAddressDropDown();

private:
    void wireAddressBox();
    void wireAddressDropDown();
    void dropDownArrowPressed();

    frmExplorer& window_;
    StandInMediaPlayer media_;
    StandInListsPane lists_;
    StandInDownloads downloads_;
    ClickingBrowsers browsers_;
    TabBrowsing tabs_;
    TabStrip strip_;
    CurrentTabDisplay display_;
    TabWatchers watchers_;
    PageTools tools_;
    DocumentSinks sinks_;
    std::optional<QPointF> iconPress_;
    Navigation nav_;
    HandOffReader handOff_;
    QPointer<FindBar> findBar_; // a child of the page holder
};

void ExplorerTabs::wireAddressBox()
{
    auto& boxes = window_.WBTextBox.events();
    boxes.keyDown = [this](int index, int keyCode, int shift) {
        if (index == 0 && keyCode == 13 && (shift & 2) != 0)
            window_.WBTextBox[0].setText(CompleteBareName(window_.WBTextBox[0].text()));
    };
    boxes.keyUp = [this](int index, int keyCode, int) {
        if (index != 0 || keyCode != 13)
            return;
        nav_.NavigateAddressText(false, true, true);
        tabs_.TypedAddressPending = -1;
    };
    boxes.gotFocus = [this](int index) {
        if (index == 0) {
            window_.WBTextBox[0].setSelStart(0);
            window_.WBTextBox[0].setSelLength(static_cast<int>(window_.WBTextBox[0].text().size()));
        } else if (QWidget* row = window_.PicHolder[1].widget()) {
            row->setFocus();
        }
    };
    window_.WBTextBox[0].textDropped = [this](const QString& text) {
        window_.WBTextBox[0].setText(text);
        nav_.NavigateAddressText(true, true, true);
    };
}

void ExplorerTabs::wireAddressDropDown()
{
    // The other pictures of the array keep whatever handlers they have.
    auto& boxes = window_.ImageBox.events();
    boxes.mouseDown = [this, other = boxes.mouseDown](int i, int button, int shift, double x, double y) {
        if (i == 3)
            dropDownArrowPressed();
        else if (other)
            other(i, button, shift, x, y);
    };
    boxes.mouseMove = [this, other = boxes.mouseMove](int i, int button, int shift, double x, double y) {
        if (i != 3) {
            if (other)
                other(i, button, shift, x, y);
            return;
        }
        if (window_.HoverElementId == 2025)
            return;
        if (window_.HoverElementId != 1000 && window_.HoverElementId != -1)
            SetHoverElement(window_, window_.HoverElementId);
        SetSkinPicture(window_.ImageBox[3], 201);
        window_.HoverElementId = 2025;
    };
    boxes.mouseUp = [this, other = boxes.mouseUp](int i, int button, int shift, double x, double y) {
        if (i == 3)
            SetSkinPicture(window_.ImageBox[3], 200);
        else if (other)
            other(i, button, shift, x, y);
    };
    platform::forms::ListView& list = window_.ListView[0];
    list.itemClick = [this](int index) {
        const QString address = window_.ListView[0].itemText(index);
        HideAddressDropDown();
        if (address.isEmpty())
            return;
        window_.WBTextBox[0].setText(address);
        nav_.NavigateAddressText(true, false, true);
    };
    list.focusLeft = [this] { HideAddressDropDown(); };
    list.events().keyDown = [this](int keyCode, int) {
        if (keyCode == 27)
            HideAddressDropDown();
    };
}

void ExplorerTabs::dropDownArrowPressed()
{
    if (window_.BusyFlags[2] != 0)
        return;
    window_.BusyFlags[2] = -1;
    SetSkinPicture(window_.ImageBox[3], 202);
    if (FillTypedUrlList() > 0) {
        const auto& row = window_.PicHolder[1];
        platform::forms::ListView& list = window_.ListView[0];
        list.move(std::round(row.left()), std::round(row.top() + row.height()), std::round(row.width()));
        list.setVisible(true);
        list.zOrder(0);
        list.setFocus();
        window_.AddressDropDownOpen = true;
    } else {
        HideAddressDropDown();
    }
    window_.BusyFlags[2] = 0;
}

int ExplorerTabs::FillTypedUrlList()
{
    platform::forms::ListView& list = window_.ListView[0];
    list.clear();
    list.setSmallIcons(MenuIconStrip());
    const QStringList urls = ReadTypedUrls();
    for (const QString& url : urls)
        list.addItem(1, url, 3);
    if (!urls.isEmpty()) {
        const double h = list.itemHeight();
        list.setHeight(h * urls.size() + h / 4);
        list.setColumnWidth(0, window_.PicHolder[1].width() - 100);
    }
    return static_cast<int>(urls.size());
}

void ExplorerTabs::HideAddressDropDown()
{
    services::Lists().HideAddressDropDown();
    window_.ListView[0].setVisible(false);
    window_.AddressDropDownOpen = false;
}

void ExplorerTabs::ReadHandOffFiles()
{
    const int folder = platform::paths::openPrivateSubfolder(kHandOffFolderName);
    if (folder < 0)
        return;
    if (!handOff_.anyPending(folder)) {
        ::close(folder);
        return;
    }
    if (tabs_.GetTabState(window_.TabBrowserMap.value(window_.CurrentTab, 0), FieldViewKind) > 1)
        tabs_.EnsureUsableTab();
    QWidget* top = window_.window();
    if (platform::windows::windowState(top) == platform::windows::StateMinimized) {
        platform::windows::setWindowState(top, platform::windows::StateNormal);
        QCoreApplication::processEvents();
    }
    window_.ViewMode = 0;
    window_.PaneCount = 1;
    int n = window_.TabCount - 1;
    // A finished blank last tab takes the first page handed over.
    if (const IBrowser* last = tabs_.WBMAIN(window_.TabBrowserMap.value(n, 0));
        last && last->readyState() == platform::browser::ReadyComplete
        && (last->locationURL().isEmpty() || IsBlankPageUrl(last->locationURL())))
        --n;
    const QStringList targets = handOff_.takePending(folder);
    ::close(folder);
    for (const QString& target : targets) {
        const QString kind = target.right(4).toUpper();
        // Playlists and snippet files are the lists pane's to open.
        if (kind == QLatin1String(".Z5P") || kind == QLatin1String(".Z5S"))
            continue;
        ++n;
        tabs_.NewTab(n, true, true);
        if (IBrowser* b = tabs_.WBMAIN(window_.TabBrowserMap[n]))
            b->navigate2(target);
        window_.CurrentTab = static_cast<int16_t>(n);
        tabs_.ActivateTab(n);
    }
    // In front once, never kept on top.
    top->show();
    top->raise();
    top->activateWindow();
}

} // namespace

QStringList StandInServices()
{
    return {QStringLiteral("IMediaPlayer"), QStringLiteral("IListsPane"), QStringLiteral("IDownloads"),
            QStringLiteral("ITabsService (playlists and snippet files of the command line and the hand-off)")};
}

std::unique_ptr<ITabsService> CreateExplorerTabs(frmExplorer& window)
{
    return std::make_unique<ExplorerTabs>(window);
}

TabBrowsing* TabModelOf(ITabsService& service)
{
    auto* tabs = dynamic_cast<ExplorerTabs*>(&service);
    return tabs ? &tabs->model() : nullptr;
}
