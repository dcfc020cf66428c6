#include "core/shelldialogs.h"

#include "core/language.h"
#include "core/messagebox.h"
#include "core/shellnames.h"
#include "platform/base/paths.h"
#include "platform/win/shell.h"

#include <QStringList>

namespace {

namespace shell = platform::shell;

void showAccessDenied()
{
    ShowMessage(GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9001"), QStringLiteral("Access denied")), 1,
                0);
}

// Writes folder & name for each name; false at the first refused line.
bool writeNames(const QString& folder, const QStringList& names, const LineWriter& stream)
{
    for (const QString& name : names)
        if (!stream || !stream(folder + name))
            return false;
    return true;
}

// folder as a local path ending in "/".
QString localFolder(const QString& folder)
{
    const QString local = platform::paths::toLocal(folder);
    return local.endsWith(QLatin1Char('/')) ? local : local + QLatin1Char('/');
}

void listFolderTree(const QString& local, const LineWriter& stream)
{
    // The sub-folders are collected before anything is written or walked.
    const std::optional<QStringList> folders = shell::listFolder(local, shell::Listing::FoldersWithHidden);
    const std::optional<QStringList> files =
        folders ? shell::listFolder(local, shell::Listing::FilesWithHidden) : std::nullopt;
    if (!files || !writeNames(local, *files, stream)) {
        showAccessDenied();
        return;
    }
    for (const QString& name : *folders)
        listFolderTree(local + name + QLatin1Char('/'), stream);
}

} // namespace

QString BrowseForFolderShell(QWidget* owner, const QString& title, const QString& root)
{
    const QString local = root.isEmpty() ? QString() : platform::paths::toLocal(root);
    return shell::pickFolderBelow(owner, title, local);
}

QString BrowseForFolder(QWidget* owner, const QString& title, const QString& initial)
{
    const QString local = initial.isEmpty() ? QString() : platform::paths::toLocal(initial);
    return shell::pickFolder(owner, title, local);
}

int32_t SendToRecycleBin(const QString& fileList, bool confirm)
{
    const QStringList paths = fileList.split(QChar(u'\0'), Qt::SkipEmptyParts);
    if (paths.isEmpty())
        return 2;
    for (const QString& path : paths) {
        switch (shell::moveToTrash(platform::paths::toLocal(path), confirm)) {
        case shell::TrashResult::Ok: break;
        case shell::TrashResult::NotFound: return 2;
        case shell::TrashResult::Cancelled: return 1223;
        case shell::TrashResult::Failed: return 5;
        }
    }
    return 0;
}

void OrganizeFavorites(QWidget* /*owner*/)
{
    const QString folder = GetSpecialFolder(1);
    if (!folder.isEmpty())
        shell::openDocument(folder);
}

void ListFolderTree(const QString& folder, const LineWriter& stream)
{
    listFolderTree(localFolder(folder), stream);
}

void ListFolderFiles(const QString& folder, const LineWriter& stream)
{
    const QString local = localFolder(folder);
    const std::optional<QStringList> files = shell::listFolder(local, shell::Listing::Files);
    if (!files || !writeNames(local, *files, stream))
        showAccessDenied();
}
