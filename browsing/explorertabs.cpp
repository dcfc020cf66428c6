#include "browsing/explorertabs.h"

#include "browsing/browserarray.h"
#include "browsing/colourbar.h"
#include "browsing/documentsinks.h"
#include "browsing/pagetools.h"
#include "browsing/tabbrowsing.h"
#include "browsing/tabwatchers.h"
#include "browsing/tabstaterecord.h"
#include "core/mainsettings.h"
#include "core/globals.h"
#include "core/language.h"
#include "core/shellhelpers.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/services/registry.h"
#include "mainwindow/windowplacement.h"
#include "platform/commandline.h"
#include "platform/vbrt.h"

#include <QApplication>
#include <QDrag>
#include <QEvent>
#include <QPointF>
#include <QFileInfo>
#include <QUrl>
#include <QWidget>

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

// The window side: the browser of the shown tab fills the body of the
// chrome (PicHolder(0)), which holds every tab browser.
class ExplorerTabs : public ITabsService, public IDownloadsService, public StandInChrome, public QObject {
public:
    explicit ExplorerTabs(frmExplorer& window)
        : window_(window), browsers_(window, &window.PicHolder[0]),
          tabs_(window, browsers_, *this, media_, lists_, downloads_), watchers_(window, tabs_),
          tools_(window, tabs_), sinks_(window, tabs_)
    {
        window_.PicHolder[0].widget()->installEventFilter(this);
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
    // Single view: the current tab's browser fills the holder.
    using StandInChrome::LayoutViewPanes;
    void LayoutViewPanes(bool, int16_t, int16_t) override {}
    void EnsureTabsForViewMode(bool) override { PlaceBrowsersInPanes(window_.CurrentTab); }

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
    void LayoutTabStrip(LayoutRect&) override {}

    // ---- What the tabs ask of the window ----
    void PlaceBrowsersInPanes(int tab) override
    {
        if (tab < 0 || tab >= window_.TabBrowserMap.size())
            return;
        if (IBrowser* b = tabs_.WBMAIN(window_.TabBrowserMap[tab]))
            b->place(0, 0, window_.PicHolder[0].width(), window_.PicHolder[0].height());
    }
    void SetStatusLine(const QString& text) override { window_.WBTextBox[1].setText(text); }
    void SetBusyPicture(const QPixmap& picture) override { window_.ImageBox[0].setPicture(picture); }
    void SetProgressBar(double max, double value) override
    {
        window_.WBProgressBar->setMaximum(static_cast<int>(max));
        window_.WBProgressBar->setValue(static_cast<int>(value));
    }
    void ShowTabCount(int count) override { window_.WBTextBox[2].setText(QString::number(count)); }

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
    BrowserArray browsers_;
    TabBrowsing tabs_;
    TabWatchers watchers_;
    PageTools tools_;
    DocumentSinks sinks_;
    std::optional<QPointF> iconPress_;
};

} // namespace

QStringList StandInServices()
{
    return {QStringLiteral("IWindowChrome (all but PlaceBrowsersInPanes, EnsureTabsForViewMode, BindDocumentEvents, SetStatusLine, "
                           "SetBusyPicture, SetProgressBar, ShowTabCount)"),
            QStringLiteral("IMediaPlayer"), QStringLiteral("IListsPane"), QStringLiteral("IDownloads"),
            QStringLiteral("ITabsService (GoBack, GoForward, StopBrowsing, RefreshPage, GoUpOneLevel, "
                           "OpenMyFolder, OpenMail, OpenSearchPage, NavigateAddressText, ReadHandOffFiles, "
                           "LayoutTabStrip; the start page of OpenWB_StartPage 2 and 3)")};
}

std::unique_ptr<ITabsService> CreateExplorerTabs(frmExplorer& window)
{
    return std::make_unique<ExplorerTabs>(window);
}
