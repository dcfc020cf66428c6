#include "downloads/statuscommands.h"

#include "contracts/services.h"
#include "core/downloadlists.h"
#include "core/fileclasses.h"
#include "core/language.h"
#include "core/messagebox.h"
#include "core/settingsstore.h"
#include "downloads/downloadlistnames.h"
#include "downloads/listhandoff.h"
#include "downloads/listremoval.h"
#include "lists/playlistformat.h"
#include "mainwindow/bartoggles.h"
#include "mainwindow/frmexplorer.h"
#include "platform/base/paths.h"
#include "platform/base/textfile.h"
#include "platform/win/delay.h"
#include "platform/win/listrows.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <cstdio>

namespace {

const QString kListsValue = QStringLiteral("Z5_DOWNLOADLIST");

QString lang(const char* key, const char* english)
{
    return GetLangString(QStringLiteral("MESSAGE"), QLatin1String(key), QString::fromUtf8(english));
}

QString listBase(const QString& name)
{
    return QDir(DownloadDataFolder()).filePath(name);
}

void createEmpty(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        std::fprintf(stderr, "Z5: download list: \"%s\" could not be written\n", qPrintable(path));
}

bool isRunning(const QString& name)
{
    return IsListRunning(name);
}

// Tells the user which lists a download manager still runs: they are
// removed once their runs end.
void tellStillRunning(const QStringList& names)
{
    if (names.isEmpty())
        return;
    QStringList quoted;
    for (const QString& name : names)
        quoted << QLatin1Char('"') + name + QLatin1Char('"');
    ShowMessage(lang("9085", "This download list is still running; it is removed when its download has ended:") +
                    QLatin1Char('\n') + quoted.join(QLatin1Char('\n')),
                1, 2);
}

} // namespace

StatusCommands::StatusCommands(frmExplorer& window, ServiceSet& services, ListHandOff& handOff)
    : window_(window), services_(services), handOff_(handOff)
{
}

QString StatusCommands::StatusPageListName(const QString& pageUrl)
{
    const QUrl url(pageUrl);
    if (!url.isLocalFile())
        return {};
    const QFileInfo page(QDir::cleanPath(url.toLocalFile()));
    const QString file = page.fileName();
    if (!file.endsWith(QLatin1String(".HTM")))
        return {};
    const QString folder = QFileInfo(page.absolutePath()).canonicalFilePath();
    const QString data = QFileInfo(DownloadDataFolder()).canonicalFilePath();
    if (folder.isEmpty() || folder != data)
        return {};
    const QString name = file.chopped(4);
    return IsSafeListName(name) ? name : QString();
}

void StatusCommands::HandleDownloadStatusEvent(const QString& url, int16_t browserIndex, const QString& pageUrl)
{
    const QString name = StatusPageListName(pageUrl);
    if (name.isEmpty())
        return;
    const QString command = url.toUpper();
    if (command == QLatin1String("EVENT:Z5_DLSTAT_PAUSE"))
        pause(name);
    else if (command == QLatin1String("EVENT:Z5_DLSTAT_RESUME"))
        resume(name);
    else if (command == QLatin1String("EVENT:Z5_DLSTAT_MODIFY"))
        modify(name);
    else if (command == QLatin1String("EVENT:Z5_DLSTAT_STOP"))
        stop(name, browserIndex);
    else if (command == QLatin1String("EVENT:Z5_DLSTAT_CLOSE"))
        closeTab(browserIndex);
}

void StatusCommands::pause(const QString& name)
{
    createEmpty(listBase(name) + QStringLiteral(".Z5C1"));
    window_.PendingListPauses[name] = QDeadlineTimer(pauseHoldMs);
}

bool StatusCommands::pausePending(const QString& name)
{
    const auto mark = window_.PendingListPauses.find(name);
    if (mark == window_.PendingListPauses.end())
        return false;
    // The answer came, the run is over, or it never answered in time.
    const QString ack = listBase(name) + QStringLiteral(".Z5C2");
    if (QFile::exists(ack) || !isRunning(name) || mark->second.hasExpired()) {
        window_.PendingListPauses.erase(mark);
        return false;
    }
    return true;
}

void StatusCommands::resume(const QString& name)
{
    if (pausePending(name) || isRunning(name))
        return;
    // A run just started may not hold its list yet: no second one meanwhile.
    if (const auto started = starting_.find(name); started != starting_.end()) {
        if (!started->second.hasExpired())
            return;
        starting_.erase(started);
    }
    const QString base = listBase(name);
    if (!QFile::exists(base + QStringLiteral(".Z5P")))
        return;
    // No run holds the list: a stop request or answer left from an earlier
    // run must not end the new one.
    QFile::remove(base + QStringLiteral(".Z5C1"));
    QFile::remove(base + QStringLiteral(".Z5C2"));
    if (StartDownloadManager(name, true))
        starting_[name] = QDeadlineTimer(startHoldMs);
    QCoreApplication::processEvents();
    window_.StatusFrameDates = {};
}

void StatusCommands::modify(const QString& name)
{
    const QString file = listBase(name) + QStringLiteral(".Z5P");
    // Read as the playlist reader reads it: the kind is only its first
    // line, but a file the reader takes must not be refused here.
    const auto head = platform::textfile::readAll(file, kPlaylistReadLimit);
    if (!head)
        return;
    bool ok = false;
    const int kind = DecodeListText(*head).section(QLatin1Char('\n'), 0, 0).trimmed().toInt(&ok);
    if (!ok || kind < 1 || kind > 6)
        return;
    const auto k = static_cast<int16_t>(kind);
    platform::forms::ListRows* rows = services_.Lists().ListItems(k);
    if (rows && rows->count() >= 1) {
        const int16_t answer = ShowMessage(
            lang("9047", "Items existed in the Download Playlist. Do you want to overwrite these items ?"), 3, 1);
        if (answer != 3 && answer != 2)
            return;
        if (answer == 3)
            handOff_.ClearListKind(k);
    }
    TogglePlayList(window_, 2);
    services_.Lists().LoadPlaylistFile(file);
}

void StatusCommands::requestStop(const QStringList& names)
{
    for (const QString& name : names)
        createEmpty(listBase(name) + QStringLiteral(".Z5C1"));
}

QStringList StatusCommands::waitForRuns(QStringList names)
{
    const QDeadlineTimer deadline(stopWaitMs);
    for (;;) {
        names.removeIf([](const QString& n) { return !isRunning(n); });
        if (names.isEmpty() || deadline.hasExpired())
            return names;
        platform::Delay(50);
    }
}

void StatusCommands::stop(const QString& name, int16_t browserIndex)
{
    if (ShowMessage(lang("9048", "Are you sure you want to cancel download ?"), 2, 1) != 3)
        return;
    requestStop({name});
    waitForRuns({name});
    closeTab(browserIndex);
    window_.PendingListPauses.erase(name);
    tellStillRunning(removal_.remove({name}));
}

void StatusCommands::closeTab(int16_t browserIndex)
{
    ITabsService& tabs = services_.Tabs();
    const int16_t tab = tabs.TabOfBrowser(browserIndex);
    if (tab >= 0)
        tabs.CloseTab(tab, false);
}

void StatusCommands::ClearDownloadStatusList()
{
    if (ShowMessage(lang("9049", "CLEAR STATUS LIST will stop download processes and clear all of them - Do you want "
                                 "to continue ?"),
                    2, 1)
        != 3)
        return;
    const QStringList listed = ListedDownloadLists(ReadZ5Setting(HiveCurrentUser, kListsValue, QString()));
    QStringList names;
    for (const QString& name : listed)
        if (IsSafeListName(name) && !names.contains(name))
            names << name;
    requestStop(names);
    // Every status tab closes, the last first.
    ITabsService& tabs = services_.Tabs();
    for (int16_t t = static_cast<int16_t>(tabs.TabCount() - 1); t >= 0; --t)
        if (GetDataPagePath(tabs.TabLocation(t)))
            tabs.CloseTab(t, false);
    waitForRuns(names);
    window_.PendingListPauses.clear();
    // A list still run keeps its name until its run has ended; every other
    // name goes.
    const QStringList held = removal_.remove(names);
    QString value;
    for (auto name = held.crbegin(); name != held.crend(); ++name)
        value = AddDownloadListName(value, *name);
    SaveZ5Setting(HiveCurrentUser, kListsValue, value);
    // Only the files of download lists go; playlists kept in Data stay.
    const QDir data(DownloadDataFolder());
    const QStringList files = data.entryList(QDir::Files | QDir::Hidden | QDir::System);
    // An unlisted list's files, unless a download manager still runs it;
    // its partials first, found through its list file.
    for (const QString& file : files)
        if (IsDownloadListFileName(file) && file.endsWith(QLatin1String(".Z5P")) && !isRunning(file.chopped(4)))
            RemoveDownloadListPartials(platform::paths::programFolder(), file.chopped(4));
    for (const QString& file : files) {
        if (!IsDownloadListFileName(file))
            continue;
        bool running = false;
        for (const QString& suffix : DownloadListSuffixes())
            running = running || (file.endsWith(suffix) && isRunning(file.chopped(suffix.size())));
        if (!running)
            QFile::remove(data.filePath(file));
    }
    tellStillRunning(held);
}
