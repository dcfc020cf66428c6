#include "browsing/explorertabs.h"

#include "browsing/browserarray.h"
#include "browsing/colourbar.h"
#include "browsing/currenttabdisplay.h"
#include "browsing/documentsinks.h"
#include "browsing/pagetools.h"
#include "browsing/tabbrowsing.h"
#include "browsing/tabstaterecord.h"
#include "browsing/tabstrip.h"
#include "browsing/tabwatchers.h"
#include "core/globals.h"
#include "core/language.h"
#include "core/mainsettings.h"
#include "core/shellhelpers.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/menubarpopups.h"
#include "mainwindow/multiview.h"
#include "mainwindow/services/registry.h"
#include "mainwindow/splitters.h"
#include "mainwindow/windowplacement.h"
#include "platform/commandline.h"
#include "platform/vbrt.h"

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

namespace {

// The page the command line names: an address of the web or a file that
// exists; anything else (the start page's own rules are not built yet)
// gives "".
QString startAddress(const QString& commandLine)
{
    if (commandLine.isEmpty())
        return {};
    if (QFileInfo(commandLine).isFile())
        return QUrl::fromLocalFile(QFileInfo(commandLine).absoluteFilePath()).toString(QUrl::FullyEncoded);
    const QUrl url(commandLine, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")
                          || scheme == QLatin1String("file")))
        return url.toString(QUrl::FullyEncoded);
    return {};
}

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
          display_(window, tabs_, strip_), watchers_(window, tabs_), tools_(window, tabs_), sinks_(window, tabs_)
    {
        window_.PicHolder[0].widget()->installEventFilter(this);
        display_.ShowTabCount(std::max<int>(1, window_.TabCount));
        // The status frames of the download pages are watched here, on
        // the tick's call to the downloads.
        services::SetDownloads(this);
        wirePageButtons();
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
    void SwitchToAdjacentTab(int16_t direction) override { tabs_.SwitchToAdjacentTab(direction, true); }
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
    // Mode 1 opens the address of the command line; the start page of
    // modes 2 and 3 is not built yet, so they open the blank page.
    void OpenWB_StartPage(int16_t mode) override
    {
        IBrowser* b0 = tabs_.WBMAIN(0);
        if (!b0)
            return;
        const QString address = mode == 1 ? startAddress(vb::trim(platform::commandline::text())) : QString();
        b0->navigate2(address.isEmpty() ? tabs_.BlankPageUrl : address);
        window_.CurrentTab = 0;
        tabs_.ActivateTab(0);
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

    // Still to be built with the document sinks, tab watchers, navigation,
    // hand-off and tab strip.
    void BindDocumentEvents() override { sinks_.BindDocumentEvents(); }
    void ReleaseDocumentEvents() override { sinks_.ReleaseDocumentEvents(); }
    void CloseDuplicatePopupTabs() override { watchers_.CloseDuplicatePopupTabs(); }
    void FixScrollOfCurrentPage() override { watchers_.FixScrollOfCurrentPage(); }
    void RefreshDownloadStatusFrames() override { watchers_.RefreshDownloadStatusFrames(); }

    // ---- Page tools ----
    void StopEverything() override
    {
        if (window_.FullScreenMode != 0)
            ToggleFullScreen(window_, 0);
        tabs_.StopAllTabBrowsers();
        tabs_.StopMediaAndTimers();
        tabs_.BusyState[0] = 4;
        tabs_.ShowBusyIndicator();
        tabs_.SetStatusMessage(GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9029"), QStringLiteral("Stopped")));
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
    void GoBack() override {}
    void GoForward() override {}
    void StopBrowsing() override {}
    void RefreshPage() override {}
    void GoUpOneLevel() override {}
    void OpenMyFolder() override {}
    void OpenMail() override {}
    void OpenSearchPage() override {}
    void NavigateAddressText(bool, bool, bool) override {}
    void ReadHandOffFiles() override {}
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
            window_.ButtonReleased = 0;
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
        if (event->type() == QEvent::Resize)
            PlaceBrowsersInPanes(window_.CurrentTab);
        return false;
    }

private:
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
};

} // namespace

QStringList StandInServices()
{
    return {QStringLiteral("IWindowChrome (AddTypedUrl)"),
            QStringLiteral("IMediaPlayer"), QStringLiteral("IListsPane"), QStringLiteral("IDownloads"),
            QStringLiteral("ITabsService (GoBack, GoForward, StopBrowsing, RefreshPage, GoUpOneLevel, "
                           "OpenMyFolder, OpenMail, OpenSearchPage, NavigateAddressText, ReadHandOffFiles; "
                           "the start page of OpenWB_StartPage 2 and 3)")};
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
