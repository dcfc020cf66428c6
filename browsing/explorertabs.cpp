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

// The window side: the browser of the shown tab fills the pane area, which
// is the window's inside until the chrome's layout takes its share.
class ExplorerTabs : public ITabsModule, public StandInChrome, public QObject {
public:
    explicit ExplorerTabs(frmExplorer& window)
        : window_(window), browsers_(window), tabs_(window, browsers_, *this, media_, lists_, downloads_)
    {
        LoadMainSettings(window_);
        if (QWidget* surface = window_.surface())
            surface->installEventFilter(this);
        PlaceBrowsersInPanes(0);
    }

    ~ExplorerTabs() override
    {
        if (QWidget* surface = window_.surface())
            surface->removeEventFilter(this);
    }

    void FirstTick() override
    {
        IBrowser* b0 = tabs_.WBMAIN(0);
        if (!b0)
            return;
        b0->setTag(kInitialTabState);
        const QString address = startAddress(vb::trim(platform::commandline::text()));
        b0->navigate2(address.isEmpty() ? tabs_.BlankPageUrl : address);
        window_.CurrentTab = 0;
        tabs_.ActivateTab(0);
    }

    void PlaceBrowsersInPanes(int tab) override
    {
        if (tab < 0 || tab >= window_.TabBrowserMap.size())
            return;
        if (IBrowser* b = tabs_.WBMAIN(window_.TabBrowserMap[tab]))
            b->place(0, 0, window_.scaleWidth(), window_.scaleHeight());
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
};

} // namespace

QStringList StandInServices()
{
    return {QStringLiteral("IWindowChrome (all but PlaceBrowsersInPanes)"), QStringLiteral("IMediaPlayer"),
            QStringLiteral("IListsPane"), QStringLiteral("IDownloads")};
}

std::unique_ptr<ITabsModule> CreateExplorerTabs(frmExplorer& window)
{
    return std::make_unique<ExplorerTabs>(window);
}
