#include "browsing/explorertabs.h"

#include "browsing/browserarray.h"
#include "browsing/tabbrowsing.h"
#include "browsing/tabstaterecord.h"
#include "core/mainsettings.h"
#include "mainwindow/frmexplorer.h"
#include "platform/commandline.h"
#include "platform/vbrt.h"

#include <QEvent>
#include <QFileInfo>
#include <QUrl>
#include <QWidget>

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
class ExplorerTabs : public ITabsService, public StandInChrome, public QObject {
public:
    explicit ExplorerTabs(frmExplorer& window)
        : window_(window), browsers_(window, &window.PicHolder[0]),
          tabs_(window, browsers_, *this, media_, lists_, downloads_)
    {
        window_.PicHolder[0].widget()->installEventFilter(this);
    }

    ~ExplorerTabs() override
    {
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
    void BindDocumentEvents() override {}
    void ReleaseDocumentEvents() override {}
    void CloseDuplicatePopupTabs() override {}
    void FixScrollOfCurrentPage() override {}
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

    TabBrowsing& tabBrowsing() { return tabs_; }

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
};

} // namespace

QStringList StandInServices()
{
    return {QStringLiteral("IWindowChrome (all but PlaceBrowsersInPanes, EnsureTabsForViewMode, SetStatusLine, "
                           "SetBusyPicture, SetProgressBar, ShowTabCount)"),
            QStringLiteral("IMediaPlayer"), QStringLiteral("IListsPane"), QStringLiteral("IDownloads"),
            QStringLiteral("ITabsService (BindDocumentEvents, ReleaseDocumentEvents, CloseDuplicatePopupTabs, "
                           "FixScrollOfCurrentPage, GoBack, GoForward, StopBrowsing, RefreshPage, GoUpOneLevel, "
                           "OpenMyFolder, OpenMail, OpenSearchPage, NavigateAddressText, ReadHandOffFiles, "
                           "LayoutTabStrip; the start page of OpenWB_StartPage 2 and 3)")};
}

std::unique_ptr<ITabsService> CreateExplorerTabs(frmExplorer& window)
{
    return std::make_unique<ExplorerTabs>(window);
}

TabBrowsing* ExplorerTabBrowsing(ITabsService& tabs)
{
    auto* e = dynamic_cast<ExplorerTabs*>(&tabs);
    return e ? &e->tabBrowsing() : nullptr;
}
