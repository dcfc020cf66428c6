#include "dlmanager/pagedownload.h"

#include "core/urlcracker.h"
#include "dlmanager/downloadhelpers.h"
#include "dlmanager/downloadname.h"
#include "dlmanager/fileitem.h"
#include "dlmanager/freename.h"
#include "core/imagetype.h"
#include "dlmanager/runstate.h"
#include "platform/base/paths.h"
#include "platform/base/vbrt.h"
#include "platform/net/redirectrule.h"

#include <QFile>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <unistd.h>

using platform::net::ImageFetch;

namespace {

QString schemeOf(const QString& url)
{
    const qsizetype colon = url.indexOf(QLatin1Char(':'));
    return colon < 0 ? QString() : url.left(colon).toLower();
}

bool isWebAddress(const QString& url)
{
    const QString scheme = schemeOf(url);
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

// Addresses the control never goes to: the old engine's own error pages,
// hostless http addresses, and for the page itself anything but the web
// (a page's frames may also be blank or inline documents).
bool refusedNavigation(const QString& url, bool topLevel)
{
    const QString lower = url.toLower();
    if (lower.contains(QLatin1String("http:///")) || lower.contains(QLatin1String("res://")))
        return true;
    if (isWebAddress(url))
        return false;
    const QString scheme = schemeOf(url);
    return topLevel || (scheme != QLatin1String("about") && scheme != QLatin1String("data"));
}

void removeFile(const QString& path)
{
    if (!path.isEmpty())
        ::unlink(QFile::encodeName(path).constData());
}

// The name an image of the page is saved under: the name its address gives
// (an "anomaly" name for a GIF or JPEG picture whose name is not one), never
// hidden, always with an extension of the picture's own type.
QString imageName(const QString& source, const ImageType& type, bool addPath, int& anomalies)
{
    clsWinInet cracker;
    QString name = GetDownloadFileName(source, cracker);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString extension = (dot < 0 ? name : name.mid(dot + 1)).toLower();
    if (extension != QLatin1String("gif") && extension != QLatin1String("jpg") && extension != QLatin1String("jpeg")) {
        if (type.extension == QLatin1String("gif"))
            name = QStringLiteral("anomaly%1.gif").arg(++anomalies);
        else if (type.extension == QLatin1String("jpg"))
            name = QStringLiteral("anomaly%1.jpg").arg(++anomalies);
    }
    if (!name.isEmpty() && addPath)
        name = AddressPathPrefix(source) + name;
    name.replace(QLatin1String("%20"), QLatin1String(" "), Qt::CaseInsensitive);
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    if (name.isEmpty() || name.contains(QLatin1Char('/')))
        return {};
    const qsizetype last = name.lastIndexOf(QLatin1Char('.'));
    if (!type.extensions.contains(last < 0 ? QString() : name.mid(last + 1).toLower()))
        name = (last < 0 ? name : name.left(last)) + QLatin1Char('.') + type.extension;
    return name;
}

} // namespace

PageDownload::PageDownload(BrowserMaker makeBrowser, QObject* parent) : QObject(parent), makeBrowser_(std::move(makeBrowser))
{
    pageLimit_.setSingleShot(true);
    settle_.setSingleShot(true);
    QObject::connect(&pageLimit_, &QTimer::timeout, this, [this] {
        if (phase_ == Phase::Loading || phase_ == Phase::Settling)
            fail(ExternalText("9970", "Error:") + QStringLiteral(" the page did not load within %1 s").arg(pageLimitMs_ / 1000));
    });
    QObject::connect(&settle_, &QTimer::timeout, this, [this] {
        if (phase_ == Phase::Settling)
            SavePageImages();
    });
}

PageDownload::~PageDownload()
{
    Stop();
}

void PageDownload::setTimeLimits(int pageMs, int imageMs, int settleMs)
{
    pageLimitMs_ = pageMs;
    fetch_.setTimeLimit(imageMs);
    settleMs_ = settleMs;
}

void PageDownload::StartPageDownload(RunState& run, std::function<void()> ended)
{
    Stop();
    run_ = &run;
    ended_ = std::move(ended);
    fileReason_ = run.ItemKind == ItemFileRetriedAsPage ? run.StatusText : QString();
    run.ItemNote.clear();
    phase_ = Phase::Loading;
    run.JobState = JobConnecting;
    run.StatusText = ExternalText("9962", "Connecting to") + QStringLiteral(": ") + run.ItemURL;
    if (refusedNavigation(run.ItemURL, true)) {
        fail(ExternalText("9971", "Error: Failed to connect") + QStringLiteral(" - ") + run.ItemURL);
        return;
    }
    if (ReadWorkOffline()) {
        fail(ExternalText("9970", "Error:") + QLatin1Char(' ') + WorkingOfflineText());
        return;
    }
    if (!browser_) {
        QString error;
        browser_ = makeBrowser_ ? makeBrowser_(&error) : nullptr;
        if (!browser_) {
            fail(ExternalText("9970", "Error:") + QLatin1Char(' ') + error);
            return;
        }
    }
    PageBrowser::Events events;
    events.beforeNavigate2 = [this](PageBrowser::Navigation& n) { WBMain_BeforeNavigate2(n); };
    events.navigateComplete2 = [this] { WBMain_NavigateComplete2(); };
    events.newWindow2 = [this](bool& cancel) { WBMain_NewWindow2(cancel); };
    events.navigateError = [this](const QString& url) { WBMain_NavigateError(url); };
    events.documentComplete = [this](const QString& url, bool topLevel) { WBMain_DocumentComplete(url, topLevel); };
    pageLimit_.start(pageLimitMs_);
    browser_->navigate2(run.ItemURL, std::move(events));
}

void PageDownload::WBMain_BeforeNavigate2(PageBrowser::Navigation& navigation)
{
    // Only a page still loading goes anywhere: once its images are being
    // taken, or after its item ended, the page stays where it is.
    if (phase_ != Phase::Loading && phase_ != Phase::Settling) {
        navigation.cancel = true;
        return;
    }
    if (refusedNavigation(navigation.url, navigation.topLevel)) {
        navigation.cancel = true;
        return;
    }
    RunState& run = *run_;
    // A page from elsewhere never leads the item to this machine.
    if (const QString refusal = platform::net::RedirectRefusal(QUrl(run.ItemURL), QUrl(navigation.url)); !refusal.isEmpty()) {
        navigation.cancel = true;
        if (navigation.topLevel)
            fail(ExternalText("9970", "Error:") + QLatin1Char(' ') + refusal);
        return;
    }
    run.StatusText = ExternalText("9963", "Connected, requesting") + QLatin1Char(' ') + navigation.url;
    if (run.ItemKind != ItemPage)
        return;
    clsWinInet cracker;
    const QString name = GetDownloadFileName(navigation.url, cracker);
    if (name.isEmpty())
        return;
    // The page goes on to a file: the item becomes a file item of that address.
    navigation.cancel = true;
    run.ItemName = name;
    run.ItemURL = navigation.url;
    phase_ = Phase::Idle;
    pageLimit_.stop();
    settle_.stop();
    browser_->close();
    QTimer::singleShot(0, this, [this, serial = serial_, ended = std::move(ended_)]() mutable {
        if (serial == serial_ && startFileDownload)
            startFileDownload(std::move(ended));
    });
    ended_ = nullptr;
}

void PageDownload::WBMain_NavigateComplete2()
{
    if (phase_ == Phase::Loading)
        run_->JobState = JobTransferring;
}

void PageDownload::WBMain_NewWindow2(bool& cancel)
{
    cancel = true;
}

void PageDownload::WBMain_NavigateError(const QString& url)
{
    if (phase_ != Phase::Loading && phase_ != Phase::Settling)
        return;
    fail(ExternalText("9964", "Failed to connect") + QStringLiteral(" - ") + url);
}

void PageDownload::WBMain_DocumentComplete(const QString& url, bool topLevel)
{
    if (phase_ != Phase::Loading || !topLevel || url.size() <= 10)
        return;
    run_->JobState = JobDone;
    phase_ = Phase::Settling;
    settle_.start(settleMs_);
}

void PageDownload::SavePageImages()
{
    RunState& run = *run_;
    phase_ = Phase::Saving;
    pageLimit_.stop();
    run.StatusText = ExternalText("9967", "Saving") + QLatin1Char(' ') + run.ItemName;
    sources_.clear();
    next_ = 0;
    saved_ = 0;
    skipped_ = 0;
    anomalies_ = 0;
    lastFailure_.clear();
    nextNumber_.clear();
    const ProxySetting proxy = ReadProxySetting();
    fetch_.setProxy(proxy.enabled ? proxy.host : QString(), proxy.port, proxy.bypass);
    fetch_.setOffline(proxy.offline);
    if (!vb::trim(run.ItemFolder).isEmpty())
        ImageFetch::RemoveStaleTemporaries(platform::paths::toLocal(run.ItemFolder));
    browser_->imageSources(kMaxImages, [this](std::optional<QStringList> sources) {
        if (phase_ != Phase::Saving)
            return;
        if (!sources) {
            endSaving(QStringLiteral("the page's images could not be listed"));
            return;
        }
        sources_ = *sources;
        saveNext();
    });
}

void PageDownload::saveNext()
{
    const QString folder = platform::paths::toLocal(run_->ItemFolder);
    while (next_ < sources_.size()) {
        const QString source = sources_[next_++];
        if (!isWebAddress(source)) {
            // Never fetched: a page cannot have a local file copied.
            lastFailure_ = QStringLiteral("only http and https images are saved");
            continue;
        }
        // Nor does a page from elsewhere have this machine's services asked.
        if (const QString refusal = platform::net::RedirectRefusal(QUrl(run_->ItemURL), QUrl(source)); !refusal.isEmpty()) {
            lastFailure_ = refusal;
            continue;
        }
        if (vb::trim(run_->ItemFolder).isEmpty()) {
            endSaving(QStringLiteral("the item has no target folder"));
            return;
        }
        fetch_.start(source, folder, [this, source](ImageFetch::Result r) { imageFetched(source, std::move(r)); });
        return;
    }
    endSaving(lastFailure_);
}

void PageDownload::imageFetched(const QString& source, ImageFetch::Result result)
{
    // The fetched file is closed, and removed unless it got its name, however this ends.
    const auto drop = [&result] {
        if (result.fd >= 0)
            ::close(result.fd);
        result.fd = -1;
        removeFile(result.tempPath);
    };
    if (phase_ != Phase::Saving) {
        drop();
        return;
    }
    if (!result.ok) {
        drop();
        endSaving(result.error);
        return;
    }
    const std::optional<ImageType> type = ReadImageType(result.fd);
    if (!type) {
        // A drawing or an icon (SVG, ICO) is no picture this saves: it is
        // passed over, counted, and the page goes on.
        drop();
        ++skipped_;
        saveNext();
        return;
    }
    const QString name = imageName(source, *type, run_->AddPathToName, anomalies_);
    if (name.isEmpty()) {
        drop();
        endSaving(QStringLiteral("the image address names no file"));
        return;
    }
    // Nothing that is already in the folder is replaced; images of the page
    // with one name take "<name> (2).<ext>", "(3)", ...
    const QString wanted = platform::paths::toLocal(run_->ItemFolder) + QLatin1Char('/') + name;
    int used = 1;
    if (PlaceAtFreeName(result.fd, result.tempPath, wanted, nextNumber_.value(wanted, 1), &used).isEmpty()) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        drop();
        endSaving(reason);
        return;
    }
    result.tempPath.clear();
    drop();
    nextNumber_[wanted] = used + 1;
    ++saved_;
    saveNext();
}

void PageDownload::endSaving(const QString& failure)
{
    const QString skipped = skipped_ == 0 ? QString()
                                          : QString::number(skipped_) + QLatin1Char(' ') +
                                                ReadLanguageString(QStringLiteral("MESSAGE"), QStringLiteral("9086"),
                                                                   QStringLiteral("images skipped: not a kind of picture that is saved"));
    if (saved_ == 0) {
        run_->JobState = JobFailed;
        run_->StatusText = ExternalText("9970", "Error:") + QLatin1Char(' ') + (failure.isEmpty() ? skipped : failure);
    } else {
        run_->ItemNote = skipped;
    }
    end();
}

void PageDownload::fail(const QString& statusText)
{
    run_->JobState = JobFailed;
    run_->StatusText = statusText;
    end();
}

void PageDownload::end()
{
    if (run_ && run_->JobState == JobFailed && !fileReason_.isEmpty())
        run_->StatusText = fileReason_;
    phase_ = Phase::Idle;
    pageLimit_.stop();
    settle_.stop();
    fetch_.abort();
    if (browser_)
        browser_->close();
    std::function<void()> ended = std::move(ended_);
    ended_ = nullptr;
    // The run goes on from the event loop, not from inside the control's events.
    if (ended)
        QTimer::singleShot(0, this, std::move(ended));
}

void PageDownload::Stop()
{
    ++serial_;
    phase_ = Phase::Idle;
    ended_ = nullptr;
    pageLimit_.stop();
    settle_.stop();
    fetch_.abort();
    if (browser_)
        browser_->close();
}
