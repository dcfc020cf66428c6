// The Net path of the background fetcher: a file over the slot's socket
// (WSBACK), a page, a script link or a file the socket could not get
// through the slot's hidden browser (WBBACK), and the fetched picture
// copied into the list's target folder as the list's options say.

#include "downloads/backgroundfetcher.h"

#include "contracts/services.h"
#include "core/fileclasses.h"
#include "core/globals.h"
#include "core/language.h"
#include "core/urlcracker.h"
#include "downloads/fetchsocket.h"
#include "downloads/hiddenpage.h"
#include "downloads/pagepictures.h"
#include "mainwindow/frmexplorer.h"
#include "platform/win/listrows.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QUrl>

#include <cstdio>
#include <unistd.h>

namespace browser = platform::browser;

namespace {

constexpr int16_t kImageList = 3;

bool isNumeric(const QString& tag)
{
    bool ok = false;
    tag.toInt(&ok);
    return ok && !tag.isEmpty();
}

// Digit position of the image list's download options is "1" / not "0".
std::optional<int16_t> optionDigit(int16_t position)
{
    return GetOptionDigit(ListDownloadOptions[kImageList], position);
}

// The same page, whatever form its address was written in.
bool sameAddress(const QString& a, const QString& b)
{
    return QUrl(a).adjusted(QUrl::NormalizePathSegments) == QUrl(b).adjusted(QUrl::NormalizePathSegments);
}

} // namespace

// ---- Slots, sockets and browsers ----

void BackgroundFetcher::setSocketTimeouts(int connectMs, int idleMs)
{
    socketConnectMs_ = connectMs;
    socketIdleMs_ = idleMs;
    for (auto& socket : WSBACK_)
        if (socket)
            socket->setTimeouts(connectMs, idleMs);
}

FetchSocket& BackgroundFetcher::WSBACK(int slot)
{
    auto& socket = WSBACK_[static_cast<size_t>(slot)];
    if (!socket) {
        socket = std::make_unique<FetchSocket>();
        socket->setTimeouts(socketConnectMs_, socketIdleMs_);
        FetchSocket::Events& e = socket->events();
        e.totalChanged = [this, slot] {
            slots_.FetchTotal[static_cast<size_t>(slot)] =
                static_cast<int32_t>(std::min<qint64>(WSBACK_[static_cast<size_t>(slot)]->total(), INT32_MAX));
            SetFetchProgressMax();
        };
        e.receivedChanged = [this, slot] {
            slots_.FetchReceived[static_cast<size_t>(slot)] =
                static_cast<int32_t>(std::min<qint64>(WSBACK_[static_cast<size_t>(slot)]->received(), INT32_MAX));
            UpdateFetchProgress();
        };
        e.finished = [this, slot](bool failed) { FinishFetchSlot(static_cast<int16_t>(slot), failed); };
    }
    return *socket;
}

HiddenPage& BackgroundFetcher::WBBACK(int index)
{
    auto& page = WBBACK_[static_cast<size_t>(index)];
    if (!page) {
        page = std::make_unique<HiddenPage>();
        HiddenPage::Events& e = page->events();
        const auto i = static_cast<int16_t>(index);
        e.beforeNavigate2 = [this, i](browser::NavigationRequest& r) { WBBACK_BeforeNavigate2(i, r); };
        e.newWindow2 = [this, i] { return WBBACK_NewWindow2(i); };
        e.documentComplete = [this, i](const QString& url) { WBBACK_DocumentComplete(i, url); };
        e.navigateError = [this, i](const QString& url) { WBBACK_NavigateError(i, url); };
        e.progressChange = [this, i](int progress, int progressMax) { WBBACK_ProgressChange(i, progress, progressMax); };
    }
    return *page;
}

int16_t BackgroundFetcher::slotOfBrowser(int16_t index) const
{
    const int perView = std::max<int>(1, f_.ImagesPerView);
    return static_cast<int16_t>(index < perView ? index : index - perView);
}

bool BackgroundFetcher::slotWorking(int16_t slot) const
{
    return slot >= 0 && slot < kNetSlots && isNumeric(slots_.Tag[static_cast<size_t>(slot)]);
}

void BackgroundFetcher::closeNetTransfers(int slot)
{
    if (slot < 0 || slot >= kNetSlots)
        return;
    const auto s = static_cast<size_t>(slot);
    if (WSBACK_[s])
        WSBACK_[s]->Close();
    if (pictures_[s])
        pictures_[s]->abort();
    net_[s].partialPath.clear();
    const int perView = std::max<int>(1, f_.ImagesPerView);
    for (int index : {slot, slot + perView}) {
        if (index < kBrowsers && WBBACK_[static_cast<size_t>(index)])
            WBBACK_[static_cast<size_t>(index)]->Stop();
    }
}

// ---- The socket path ----

void BackgroundFetcher::ReadFetchProxy()
{
    const ProxySetting proxy = ReadProxySetting();
    fetchProxy_ = proxy;
    FetchUseProxy = proxy.enabled;
    if (FetchUseProxy) {
        FetchConnectHost = proxy.host;
        FetchConnectPort = proxy.port ? QString::number(proxy.port) : QString();
    }
}

QString BackgroundFetcher::CrackFetchUrl(int16_t slot)
{
    if (slot < 0 || slot >= kNetSlots)
        return {};
    FetchSlot& record = f_.ListItemRecord[static_cast<size_t>(slot)];
    NetSlot& net = net_[static_cast<size_t>(slot)];
    net.address = record[fetchfield::Address];
    clsWinInet cracker;
    if (!cracker.CrackUrl(record[fetchfield::Address]))
        return {};
    const QString name = cracker.URLFileName();
    if (name.isEmpty() || !IsFileLink(name) || !PagePictures::IsPlainFileName(name))
        return {};
    const QUrl url(record[fetchfield::Address]);
    const QString scheme = url.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return {};
    FetchSocketTarget& t = net.target;
    t.host = cracker.HostName();
    t.secure = scheme == QLatin1String("https");
    t.port = static_cast<quint16>(url.port(t.secure ? 443 : 80));
    t.defaultPort = url.port() < 0 || t.port == (t.secure ? 443 : 80);
    t.pathAndQuery = url.path(QUrl::FullyEncoded).isEmpty() ? QStringLiteral("/") : url.path(QUrl::FullyEncoded);
    if (url.hasQuery())
        t.pathAndQuery += QLatin1Char('?') + url.query(QUrl::FullyEncoded);
    t.absoluteAddress = url.adjusted(QUrl::RemoveFragment | QUrl::RemoveUserInfo).toString(QUrl::FullyEncoded);
    t.referer = record[fetchfield::Referrer];
    record[fetchfield::Name] = name;
    record[fetchfield::Address] = cracker.HostName() + cracker.URLPath();
    record[fetchfield::UrlPath] = cracker.URLPath();
    record[fetchfield::Host] = cracker.HostName();
    return name.mid(1);
}

void BackgroundFetcher::RunFetchSlot(int16_t slot, int16_t how)
{
    if (how == 1)
        ConnectFetchSocket(slot);
    else
        NavigateFetchBrowser(slot);
}

void BackgroundFetcher::ConnectFetchSocket(int16_t slot)
{
    const auto s = static_cast<size_t>(slot);
    QString name = f_.ListItemRecord[s][fetchfield::Name];
    name.replace(QLatin1String("%20"), QLatin1String(" "));
    slots_.FetchTempPath[s] = FetchTempStem(f_.TempPagePrefix, slot) + name;
    // The exceptions as read with the proxy; working offline as it is now.
    ProxySetting proxy = fetchProxy_;
    proxy.offline = ReadWorkOffline();
    proxy.enabled = FetchUseProxy;
    if (FetchUseProxy) {
        proxy.host = FetchConnectHost;
        const int port = FetchConnectPort.toInt();
        proxy.port = port > 0 && port < 65536 ? static_cast<quint16>(port) : 0;
    } else {
        FetchConnectHost = net_[s].target.host;
        FetchConnectPort = QString::number(net_[s].target.port);
    }
    net_[s].partialPath.clear();
    WSBACK(slot).ConnectFetchSocket(net_[s].target, slots_.FetchTempPath[s], proxy);
}

void BackgroundFetcher::FinishFetchSlot(int16_t slot, bool failed)
{
    const auto s = static_cast<size_t>(slot);
    const FetchSocket& socket = WSBACK(slot);
    slots_.FetchPartial[s] = socket.partial();
    slots_.FetchResume[s] = socket.resume();
    slots_.FetchHeaderDone[s] = socket.headerDone();
    if (!failed) {
        CopyFetchedFile(slot);
        return;
    }
    if (!socket.failure().isEmpty())
        std::fprintf(stderr, "Z5: fetch slot %d: %s\n", slot, qPrintable(socket.failure()));
    // A kept part is never taken for the picture.
    if (socket.partial())
        net_[s].partialPath = socket.tempPath();
    slots_.FetchMode[s] = fetchmode::File;
    RunFetchSlot(slot, 2);
}

void BackgroundFetcher::CopyFetchedFile(int16_t slot)
{
    if (f_.FetchStopped != 0 || slot < 0 || slot >= kNetSlots)
        return;
    const auto s = static_cast<size_t>(slot);
    const FetchSlot& record = f_.ListItemRecord[s];
    const QString& itemName = record[fetchfield::Name];
    const qsizetype dot = itemName.indexOf(QLatin1Char('.'));
    const QString stem = dot < 0 ? QString() : itemName.left(dot + 1);
    QString chosen;
    qint64 chosenSize = -1;
    for (const QString& path : FetchTempFiles(f_.TempPagePrefix, slot)) {
        if (path == net_[s].partialPath)
            continue;
        const QString name = QFileInfo(path).fileName();
        if (!stem.isEmpty() && name.contains(stem, Qt::CaseInsensitive)) {
            chosen = path;
            break;
        }
        const qint64 size = QFileInfo(path).size();
        if (chosen.isEmpty() || size > chosenSize) {
            chosen = path;
            chosenSize = size;
        }
    }
    if (chosen.isEmpty()) {
        WriteFetchResultPage(slot, QString(), f_.AutoImageResize != 0);
        return;
    }
    RemoveFetchedListItem();
    WriteFetchResultPage(slot, chosen, f_.AutoImageResize != 0);
    if (optionDigit(1) != std::optional<int16_t>(0))
        return;
    const QString chosenName = QFileInfo(chosen).fileName();
    QString fileName = chosenName.mid(chosenName.indexOf(QLatin1String("~~~")) + 3);
    if (optionDigit(5) == std::optional<int16_t>(1)) {
        QString address = record[fetchfield::Address];
        const qsizetype slashes = address.lastIndexOf(QLatin1String("//"));
        if (slashes >= 0)
            address = address.mid(slashes + 1);
        address = address.left(address.lastIndexOf(QLatin1Char('/')) + 1);
        address.replace(QLatin1Char('/'), QLatin1Char('-'));
        fileName = address + fileName;
    }
    CopyIntoTargetFolder(chosen, record[fetchfield::TargetFolder], fileName,
                         optionDigit(6) == std::optional<int16_t>(1));
}

bool CopyIntoTargetFolder(const QString& source, const QString& folder, const QString& fileName, bool replace)
{
    // Only into an absolute folder, under one plain name.
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder) || !PagePictures::IsPlainFileName(fileName))
        return false;
    const QString target = QDir(folder).filePath(fileName);
    if (!replace && QFileInfo::exists(target))
        return false;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    // Written beside the target, then renamed over it: the target is always whole.
    QTemporaryFile out(QDir(folder).filePath(QStringLiteral(".z5copy-XXXXXX")));
    if (!out.open())
        return false;
    QByteArray chunk;
    while (!(chunk = in.read(256 * 1024)).isEmpty()) {
        if (out.write(chunk) != chunk.size())
            return false;
    }
    if (in.error() != QFileDevice::NoError || !out.flush())
        return false;
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    if (!replace) {
        // Never over a file that appeared meanwhile.
        if (::link(QFile::encodeName(out.fileName()).constData(), QFile::encodeName(target).constData()) != 0)
            return false;
        return true;
    }
    if (::rename(QFile::encodeName(out.fileName()).constData(), QFile::encodeName(target).constData()) != 0)
        return false;
    out.setAutoRemove(false);
    return true;
}

void BackgroundFetcher::RemoveFetchedListItem()
{
    if (optionDigit(4) != std::optional<int16_t>(1))
        return;
    if (f_.ImagesPerView == 1) {
        platform::forms::ListRows* rows = services_.Lists().ListItems(kImageList);
        int32_t& current = f_.ListCurrentItem[kImageList];
        int32_t& count = f_.ListItemCount[kImageList];
        if (rows && count >= 1 && current >= 1 && current <= count && rows->remove(current)) {
            current -= 1;
            count -= 1;
        }
    }
    services_.Lists().ShowListCount(false);
}

// ---- The hidden browsers ----

void BackgroundFetcher::NavigateFetchBrowser(int16_t slot)
{
    const auto s = static_cast<size_t>(slot);
    // A file address the socket got first was rewritten; the browser loads it as it was given.
    const QString& address = net_[s].address.isEmpty() ? f_.ListItemRecord[s][fetchfield::Address] : net_[s].address;
    WBBACK(slot).Navigate2(address);
}

void BackgroundFetcher::OpenFetchPageForClick(int16_t slot)
{
    if (!slotWorking(slot))
        return;
    const auto s = static_cast<size_t>(slot);
    slots_.FetchMode[s] = fetchmode::ClickPage;
    WBBACK(slot).Navigate2(f_.ListItemRecord[s][fetchfield::Referrer]);
}

void BackgroundFetcher::WBBACK_BeforeNavigate2(int16_t index, browser::NavigationRequest& r)
{
    if (r.url.startsWith(QLatin1String("res://"), Qt::CaseInsensitive) || !slotWorking(slotOfBrowser(index)))
        r.cancel = true;
}

HiddenPage* BackgroundFetcher::WBBACK_NewWindow2(int16_t index)
{
    const int perView = std::max<int>(1, f_.ImagesPerView);
    if (!slotWorking(slotOfBrowser(index)) || index >= perView)
        return nullptr;
    HiddenPage& companion = WBBACK(index + perView);
    companion.Visible = true;
    return &companion;
}

void BackgroundFetcher::WBBACK_DocumentComplete(int16_t index, const QString& url)
{
    const int16_t slot = slotOfBrowser(index);
    if (!slotWorking(slot) || f_.FetchStopped != 0)
        return;
    const auto s = static_cast<size_t>(slot);
    if (slots_.FetchMode[s] == fetchmode::ClickPage) {
        const uint64_t generation = slots_.Generation[s];
        ClickLinkByText(slot, [this, slot, s, index, url, generation](int result) {
            if (result != 0 || slots_.Generation[s] != generation || f_.FetchStopped != 0)
                return;
            slots_.FetchMode[s] = fetchmode::Clicked;
            if (!sameAddress(url, f_.ListItemRecord[s][fetchfield::Referrer]))
                DownloadPageImages(index);
        });
        return;
    }
    if (!sameAddress(url, f_.ListItemRecord[s][fetchfield::Referrer]))
        DownloadPageImages(index);
}

void BackgroundFetcher::ClickLinkByText(int16_t slot, std::function<void(int)> done)
{
    const auto s = static_cast<size_t>(slot);
    ClickPageLink(WBBACK(slot), f_.ListItemRecord[s][fetchfield::Address], std::move(done));
}

void BackgroundFetcher::DownloadPageImages(int16_t index)
{
    if (f_.ListPlayState[kImageList] < 2)
        return;
    const int16_t slot = slotOfBrowser(index);
    const auto s = static_cast<size_t>(slot);
    auto& pictures = pictures_[s];
    if (!pictures)
        pictures = std::make_unique<PagePictures>();
    HiddenPage& page = WBBACK(index);
    PagePicturesJob job;
    job.prefix = FetchTempStem(f_.TempPagePrefix, slot);
    job.itemName = f_.ListItemRecord[s][fetchfield::Name];
    job.itemAddress = f_.ListItemRecord[s][fetchfield::Address];
    job.pageUrl = page.url().toString(QUrl::FullyEncoded);
    job.proxy = ReadProxySetting();
    const uint64_t generation = slots_.Generation[s];
    pictures->start(page, job, [this, slot, s, generation](PagePictures::Result result) {
        if (slots_.Generation[s] != generation)
            return;
        const int16_t mode = slots_.FetchMode[s];
        switch (result) {
        case PagePictures::Result::Matched:
            CopyFetchedFile(slot);
            return;
        case PagePictures::Result::NoPicture:
            if (mode == fetchmode::File || mode == fetchmode::Page) {
                OpenFetchPageForClick(slot);
                return;
            }
            [[fallthrough]];
        case PagePictures::Result::NoMatch:
        case PagePictures::Result::Failed:
            if (mode == fetchmode::Page) {
                CopyFetchedFile(slot);
            } else if (mode == fetchmode::Clicked) {
                const int perView = std::max<int>(1, f_.ImagesPerView);
                const HiddenPage* companion = WBBACK_[static_cast<size_t>(slot + perView)].get();
                if (WBBACK(slot).readyState() == browser::ReadyComplete &&
                    (!companion || companion->readyState() == browser::ReadyComplete))
                    CopyFetchedFile(slot);
            }
            return;
        }
    });
}

void BackgroundFetcher::WBBACK_ProgressChange(int16_t index, int progress, int progressMax)
{
    const int16_t slot = slotOfBrowser(index);
    if (!slotWorking(slot) || f_.FetchStopped != 0 || f_.ViewerFetchActive == 0 || busyProgress_)
        return;
    const auto s = static_cast<size_t>(slot);
    if (slots_.FetchMode[s] == fetchmode::ClickPage)
        return;
    busyProgress_ = true;
    progress = std::min(progress, progressMax);
    if (progressMax > slots_.FetchTotal[s]) {
        slots_.FetchTotal[s] = progressMax;
        SetFetchProgressMax();
    }
    if (progress > slots_.FetchReceived[s]) {
        slots_.FetchReceived[s] = progress;
        UpdateFetchProgress();
    }
    busyProgress_ = false;
}

void BackgroundFetcher::WBBACK_NavigateError(int16_t index, const QString&)
{
    const int16_t slot = slotOfBrowser(index);
    if (slotWorking(slot) && f_.FetchStopped == 0)
        PauseOnFetchError(slot);
}

void BackgroundFetcher::PauseOnFetchError(int16_t slot)
{
    WriteFetchResultPage(slot, QString(), f_.AutoImageResize != 0);
    if (optionDigit(3) != std::optional<int16_t>(0)) {
        services_.Lists().ShowListCount(true);
        services_.Media().PauseList(0, kImageList);
        services_.Tabs().SetStatusMessage(GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9050"),
                                                        QStringLiteral("Paused on error")),
                                          -1, -1);
    } else if (auto* timer = f_.AppTimer.at(kImageList)) {
        timer->setEnabled(true);
    }
}
