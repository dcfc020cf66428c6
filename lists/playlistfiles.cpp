#include "lists/playlistfiles.h"

#include "contracts/services.h"
#include "core/globals.h"
#include "core/language.h"
#include "core/messagebox.h"
#include "core/waitwindow.h"
#include "lists/listoperations.h"
#include "lists/listpanedisplay.h"
#include "lists/liststores.h"
#include "lists/playlistformat.h"
#include "mainwindow/frmexplorer.h"
#include "platform/base/paths.h"
#include "platform/base/textfile.h"
#include "platform/win/filedialogs.h"
#include "platform/win/listview.h"

#include <QCoreApplication>
#include <QDir>

namespace {

QString dialogText(const char* key, const char* english)
{
    return GetLangString(QStringLiteral("DIAGLOG"), QLatin1String(key), QLatin1String(english));
}

QString formatText(const char* key, const char* english)
{
    return GetLangString(QStringLiteral("FILEFORMAT"), QLatin1String(key), QLatin1String(english));
}

QString playlistFilter()
{
    return formatText("8003", "Playlist File") + QStringLiteral(" (*.z5p)|*.z5p");
}

// A filter entry: the text, " (", the patterns joined by ",", ")|", the
// same joined by ";", "|".
QString entry(const char* key, const char* english, const char* extensions)
{
    QStringList patterns;
    for (const QString& e : QString::fromLatin1(extensions).split(QLatin1Char(' ')))
        patterns << QStringLiteral("*.") + e;
    return formatText(key, english) + QStringLiteral(" (") + patterns.join(QLatin1Char(',')) + QStringLiteral(")|")
           + patterns.join(QLatin1Char(';')) + QLatin1Char('|');
}

// The folder of a path, with its trailing "/".
QString folderOf(const QString& path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

} // namespace

QString AddFilesFilter(int kind)
{
    switch (kind) {
    case 1:
        return entry("8020", "All Supported Audio Files", "aif aifc aiff asf au cda mid midi mp3 rmi snd wav wm wma wmd")
               + entry("8100", "MIDI File", "mid midi rmi") + entry("8101", "MP3 Audio File", "mp3")
               + entry("8102", "Music CD Playback", "cda")
               + entry("8103", "Windows Audio File", "aif aifc aiff au snd wav wma")
               + entry("8203", "Windows Media File", "asf wm wmd");
    case 2:
        return entry("8021", "All Supported Video Files", "asf asx avi dat mpa mpe mpeg mpg mp2 m1v wm wmd wmv")
               + entry("8200", "Movie File", "mpa mpe mpeg mpg mp2 m1v") + entry("8201", "VCD File", "dat")
               + entry("8202", "Windows Video File", "avi wmv") + entry("8203", "Windows Media File", "asf asx wm wmd");
    case 3:
        return entry("8022", "All Supported Graphics Files", "bmp jpg jpeg gif pcd png tif tiff wmf wpg")
               + formatText("8001", "All Files") + QStringLiteral(" (*.*) |*.*|")
               + entry("8301", "JPEG File Interchange Format", "jpg jpeg")
               + entry("8302", "Graphics Interchange Format", "gif") + entry("8303", "Kodak Photo CD", "pcd")
               + entry("8304", "Portable Network Graphics", "png") + entry("8305", "Tag Image File Format", "tif tiff")
               + entry("8306", "Windows Bitmap", "bmp") + entry("8307", "Windows Meta File", "wmf")
               + entry("8308", "WordPerfect Bitmap", "wpg");
    case 4: return entry("8006", "Z5 Web Snippet File", "z5s");
    case 5: return entry("8007", "Internet Shortcut", "url");
    default: return {};
    }
}

PlaylistFiles::PlaylistFiles(frmExplorer& window, ServiceSet& services, ListStores& stores,
                             ListOperations& operations, ListPaneDisplay& display)
    : w_(window), services_(services), stores_(stores), ops_(operations), display_(display)
{
}

int16_t PlaylistFiles::SavePlaylistFile(const QString& givenPath, bool quiet, bool askName)
{
    const int16_t k = w_.CurrentListKind;
    if (!ListStores::validKind(k) || w_.ListItemCount[static_cast<size_t>(k)] == 0)
        return 1;
    QString path = givenPath;
    if (path.isEmpty() || askName) {
        platform::filedialogs::FileRequest request;
        request.title = dialogText("7002", "Save Playlist");
        request.initialFolder = w_.LastFolders[8];
        request.fileName = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
        request.filter = playlistFilter();
        request.flags = platform::filedialogs::OverwritePrompt | platform::filedialogs::PathMustExist;
        path = platform::filedialogs::saveFile(w_.window(), request);
        if (path.isEmpty()) {
            ShowWaitWindow(false, QString());
            return 1;
        }
    }
    // Download lists live in the program's Data folder: saving there leaves
    // the remembered playlist folder alone.
    const QString data = QDir::cleanPath(platform::paths::programFolder()) + QStringLiteral("/Data/");
    if (!path.contains(data, Qt::CaseInsensitive))
        w_.LastFolders[8] = folderOf(path);
    if (!quiet)
        ShowWaitWindow(true, GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9039"),
                                           QStringLiteral("Saving .... Please Wait")));
    const auto i = static_cast<size_t>(k);
    const platform::forms::ListRows& rows = stores_[k];
    const int32_t count = rows.count();
    const int32_t current = std::clamp(w_.ListCurrentItem[i], 1, std::max(count, 1));
    std::vector<PlaylistRow> lines;
    lines.reserve(static_cast<size_t>(count));
    for (int r = 1; r <= count; ++r)
        lines.push_back(rows.row(r)->columns);
    const QByteArray bytes = FormatPlaylist(k, current, w_.ListDelayTime[i], ListDownloadOptions[k], lines);
    const bool written = platform::textfile::writeAtomically(platform::paths::toLocal(path), bytes);
    if (!quiet || !written)
        ShowWaitWindow(false, QString());
    if (!written)
        return 1;
    w_.SaveEnabled[i] = -1;
    w_.ListFilePath[i] = path;
    return 0;
}

void PlaylistFiles::OpenPlaylistDialog()
{
    platform::filedialogs::FileRequest request;
    request.title = dialogText("7001", "Select PLAYLIST File");
    request.initialFolder = w_.LastFolders[8];
    request.filter = playlistFilter();
    const QString name = platform::filedialogs::openFile(w_.window(), request);
    if (name.isEmpty())
        return;
    LoadPlaylistFile(name);
    w_.LastFolders[8] = folderOf(name);
}

void PlaylistFiles::LoadPlaylistFile(const QString& path)
{
    // A file that cannot be read, is too large or is no playlist adds
    // nothing and leaves every list as it was.
    const auto bytes = platform::textfile::readAll(platform::paths::toLocal(path), kPlaylistReadLimit);
    if (!bytes)
        return;
    std::optional<PlaylistContent> content = ParsePlaylist(*bytes);
    if (!content)
        return;
    if (content->kind)
        w_.CurrentListKind = *content->kind;
    const int16_t k = w_.CurrentListKind;
    if (!ListStores::validKind(k))
        return;
    ops_.LoadItemsIntoListView_Start(k);
    std::vector<platform::forms::ListRow> rows;
    rows.reserve(content->rows.size());
    for (PlaylistRow& line : content->rows) {
        platform::forms::ListRow row;
        row.columns = std::move(line);
        rows.push_back(std::move(row));
    }
    platform::forms::ListRows& list = stores_[k];
    list.append(std::move(rows));
    ops_.LoadItemsIntoListView_Final(k);

    const auto i = static_cast<size_t>(k);
    w_.ListCurrentItem[i] = PlaylistCurrentRow(content->header[1], list.count()).value_or(0);
    if (const auto delay = PlaylistDelay(content->header[2]))
        w_.ListDelayTime[i] = *delay;
    ListDownloadOptions[k] = PlaylistOptions(content->header[3]);
    ListTargetDirectory[k] = list.column(w_.ListCurrentItem[i], 3);
    w_.APPLabel[2].setCaption(DelayText(w_.ListDelayTime[i]));
    w_.ListFilePath[i] = path;
    w_.SaveEnabled[i] = -1;
    w_.SaveAsEnabled[i] = -1;
    list.setMultiSelect(false);
    list.setCurrentRow(w_.ListCurrentItem[i]);
    QCoreApplication::processEvents();
    list.setMultiSelect(true);
    display_.ShowCurrentList();
    if (content->skippedRows > 0)
        ShowMessage(GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9065"),
                                  QStringLiteral("%1 rows of the playlist %2 were left out: each has a column longer "
                                                 "than %3 characters."))
                        .arg(QString::number(content->skippedRows), platform::paths::toLocal(path),
                             QString::number(kPlaylistColumnLimit)),
                    1, 3);
}

void PlaylistFiles::AddFilesFromDialog(int16_t kind)
{
    static const char* const titles[5][2] = {{"7011", "Select Audio File"},
                                             {"7012", "Select Video File"},
                                             {"7013", "Select Image File"},
                                             {"7014", "Select Web Snippet File"},
                                             {"7015", "Select Web Address"}};
    platform::filedialogs::FileRequest request;
    if (kind >= 1 && kind <= 5) {
        request.title = dialogText(titles[kind - 1][0], titles[kind - 1][1]);
        request.filter = AddFilesFilter(kind);
    }
    if (kind >= 0 && kind <= 8)
        request.initialFolder = w_.LastFolders[static_cast<size_t>(kind)];
    request.flags = platform::filedialogs::AllowMultiSelect | platform::filedialogs::PathMustExist;
    const QStringList paths = platform::filedialogs::openFiles(w_.window(), request);
    if (paths.isEmpty())
        return;
    ops_.LoadItemsIntoListView_Start(kind);
    QString folder;
    for (const QString& path : paths) {
        folder = folderOf(path);
        if (paths.size() > 1)
            w_.ListItemRecord[0][4] = folder;
        ops_.AddFileToList(path, kind, false);
    }
    ops_.LoadItemsIntoListView_Final(kind);
    if (kind >= 0 && kind <= 8)
        w_.LastFolders[static_cast<size_t>(kind)] = folder;
    QCoreApplication::processEvents();
    w_.TimerStage = 2;
}

void PlaylistFiles::AddAllFilesInFolder(int16_t kind)
{
    if (kind < 1 || kind > 8)
        return;
    w_.LastFolders[0] = w_.LastFolders[static_cast<size_t>(kind)];
    services_.Dialogs().ShowInputDialog(2, 0);
    if (DialogCancelled == 1)
        return;
    ops_.LoadItemsIntoListView_Start(kind);
    const QString folder = w_.LastFolders[0];
    w_.ListItemRecord[0][4] = folder;
    w_.LastFolders[static_cast<size_t>(kind)] = folder;
    ops_.AddFolderFiles(folder, DialogStrings[1] != QLatin1String("0"), kind);
    ops_.LoadItemsIntoListView_Final(kind);
}
