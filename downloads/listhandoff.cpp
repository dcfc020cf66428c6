#include "downloads/listhandoff.h"

#include "contracts/services.h"
#include "core/downloadlists.h"
#include "core/globals.h"
#include "core/language.h"
#include "core/messagebox.h"
#include "core/settingsstore.h"
#include "downloads/downloadlistnames.h"
#include "downloads/frmdownload.h"
#include "lists/playlistformat.h"
#include "mainwindow/frmexplorer.h"
#include "platform/base/paths.h"
#include "platform/base/textfile.h"
#include "platform/win/delay.h"
#include "platform/win/listrows.h"
#include "platform/win/prompt.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QUrl>

#include <cstdio>

namespace {

const QString kListsValue = QStringLiteral("Z5_DOWNLOADLIST");

void logFailure(const QString& what)
{
    std::fprintf(stderr, "Z5: download list: %s\n", qPrintable(what));
}

} // namespace

QString DownloadDataFolder()
{
    return QDir(platform::paths::programFolder()).filePath(QStringLiteral("Data"));
}

bool IsHandableFolder(const QString& folder)
{
    return folder.startsWith(QLatin1Char('/')) && !folder.contains(QLatin1Char('\r'))
           && !folder.contains(QLatin1Char('\n'));
}

bool StartDownloadManager(const QString& listName, bool resume)
{
    const QString program = QDir(platform::paths::programFolder()).filePath(QStringLiteral("Tool/Z5DownLoad.exe"));
    const QString argument = listName + QStringLiteral("||||||||||") + (resume ? QLatin1Char('1') : QLatin1Char('0'));
    qint64 pid = 0;
    if (!QProcess::startDetached(program, {argument}, platform::paths::programFolder(), &pid)) {
        logFailure(QStringLiteral("the download manager did not start for \"%1\"").arg(listName));
        return false;
    }
    return true;
}

ListHandOff::ListHandOff(frmExplorer& window, ServiceSet& services) : window_(window), services_(services) {}

void ListHandOff::ShowDownloadSetup(int16_t kind)
{
    if (kind < 1 || kind > 6)
        return;
    platform::forms::ListRows* rows = services_.Lists().ListItems(kind);
    // 1.-2. The folder the dialog shows.
    if (rows) {
        const int current = window_.ListCurrentItem[static_cast<size_t>(kind)];
        if (current >= 1 && current <= rows->count())
            ListTargetDirectory[kind] = rows->column(current, 3);
    }
    if (ListTargetDirectory[kind].isEmpty())
        ListTargetDirectory[kind] = window_.LastFolders[static_cast<size_t>(kind)];
    // 3. The dialog, modal.
    {
        frmDownLoad dialog;
        dialog.DownloadListKind = kind;
        dialog.showModal(&window_);
        dialog.unload();
    }
    // 4.-5.
    if (DialogCancelled != 0)
        return;
    window_.LastFolders[static_cast<size_t>(kind)] = ListTargetDirectory[kind];
    if (!rows)
        return;
    // 6.-7. Items that already have a folder: overwrite them?
    const int count = rows->count();
    int withFolder = 0;
    for (int i = 1; i <= count; ++i)
        if (IsHandableFolder(rows->column(i, 3)))
            ++withFolder;
    if (withFolder > 0 && withFolder < count) {
        ShowMessage(GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9038"),
                                  QStringLiteral("Some items on your download list already have a directory to save. "
                                                 "Do you want to overwrite the setup on these items?")),
                    3, 1);
        if (DialogCancelled == 1)
            return;
    } else {
        DialogCancelled = 3;
    }
    // 8.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const QString folder = ListTargetDirectory[kind];
    for (int i = 1; i <= count; ++i)
        if (DialogCancelled == 3 || !IsHandableFolder(rows->column(i, 3)))
            rows->setColumn(i, 3, folder);
    QGuiApplication::restoreOverrideCursor();
}

void ListHandOff::ClearListKind(int16_t kind)
{
    IListsService& lists = services_.Lists();
    const int16_t shown = window_.CurrentListKind;
    if (shown == kind) {
        lists.ClearCurrentList(false);
        return;
    }
    window_.CurrentListKind = kind;
    lists.ClearCurrentList(false);
    window_.CurrentListKind = shown;
    lists.ShowCurrentList();
}

QString ListHandOff::writeListFile(const QString& name, const QByteArray& bytes)
{
    const QString data = DownloadDataFolder();
    QString candidate = name;
    const QString value = ReadZ5Setting(HiveCurrentUser, kListsValue, QString());
    // A name is taken by creating its list file: two browsers handing lists
    // in the same minute never share one.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        candidate = FreeDownloadListName(data, candidate, value);
        if (!IsSafeListName(candidate))
            candidate = FreeDownloadListName(data, DownloadListName(QDateTime::currentDateTime(), QString()), value);
        QFile reserve(QDir(data).filePath(candidate + QStringLiteral(".Z5P")));
        if (!reserve.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            continue;
        reserve.close();
        if (!platform::textfile::writeAtomically(reserve.fileName(), bytes)) {
            logFailure(QStringLiteral("\"%1\" could not be written").arg(reserve.fileName()));
            return {};
        }
        return candidate;
    }
    return {};
}

void ListHandOff::StartListDownload(int16_t kind, bool all, int32_t startIndex)
{
    platform::forms::ListRows* rows = services_.Lists().ListItems(kind);
    if (!rows)
        return;
    // 1. The items handed.
    const int count = rows->count();
    std::vector<int> items;
    if (all) {
        for (int i = std::max(1, startIndex); i <= count; ++i)
            items.push_back(i);
    } else {
        items = rows->selectedRows();
    }
    const auto missingFolder = [&] {
        for (const int i : items)
            if (!IsHandableFolder(rows->column(i, 3)))
                return true;
        return false;
    };
    // 2. Items without a folder: the set-up first.
    if (missingFolder()) {
        ShowDownloadSetup(kind);
        if (DialogCancelled == 1)
            return;
        if (missingFolder()) {
            ShowMessage(GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9016"),
                                      QStringLiteral("Please select a directory to save files")),
                        1, 0);
            return;
        }
    }
    // 3.-5. The list file.
    const size_t k = static_cast<size_t>(kind);
    if (!QDir().mkpath(DownloadDataFolder())) {
        logFailure(QStringLiteral("no folder \"%1\"").arg(DownloadDataFolder()));
        return;
    }
    std::vector<PlaylistRow> lines;
    lines.reserve(items.size());
    for (const int i : items)
        if (const platform::forms::ListRow* row = rows->row(i))
            lines.push_back(row->columns);
    const QByteArray bytes = FormatPlaylist(kind, 1, window_.ListDelayTime[k], ListDownloadOptions[kind], lines);
    const QString name = writeListFile(DownloadListName(QDateTime::currentDateTime(), window_.ListFilePath[k]), bytes);
    if (name.isEmpty())
        return;
    QCoreApplication::processEvents();
    // 6. The list of handed lists.
    const QString value = ReadZ5Setting(HiveCurrentUser, kListsValue, QString());
    if (!SaveZ5Setting(HiveCurrentUser, kListsValue, AddDownloadListName(value, name)))
        logFailure(QStringLiteral("the list of handed lists could not be stored"));
    // 7. The download manager.
    StartDownloadManager(name, false);
    // 8. The whole list handed: the side pane's list is emptied.
    if (all && startIndex == 1)
        ClearListKind(kind);
    // 9.-10. The status page.
    openStatusTab(name);
}

void ListHandOff::openStatusTab(const QString& name)
{
    ITabsService& tabs = services_.Tabs();
    if (!tabs.IsCurrentTabBlank())
        tabs.OpenNewTab();
    const QString base = QDir(DownloadDataFolder()).filePath(name);
    const QString frameset = base + QStringLiteral(".HTM");
    // The download manager writes the frameset as it starts; until it has,
    // the same frameset stands in and the status poll fills its frames.
    const QDeadlineTimer deadline(framesetWaitMs);
    while (!QFile::exists(frameset) && !deadline.hasExpired())
        platform::Delay(20);
    if (!QFile::exists(frameset)) {
        const QString temporary = frameset + QStringLiteral(".new");
        if (platform::textfile::writeAtomically(temporary, DownloadStatusFrameset(base))
            && !QFile::rename(temporary, frameset))
            QFile::remove(temporary);
    }
    tabs.NavigateCurrentTab(QUrl::fromLocalFile(frameset).toString(QUrl::FullyEncoded));
    window_.StatusFrameDates = {};
}
