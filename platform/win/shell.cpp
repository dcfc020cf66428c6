#include "platform/win/shell.h"

#include "platform/base/paths.h"
#include "platform/win/prompt.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace platform::shell {

namespace {

QString withoutTrailingSeparator(QString p)
{
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    return p;
}

QString favoritesFolder()
{
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share");
    QString app = QCoreApplication::applicationName();
    app.replace(QLatin1Char('/'), QLatin1Char('_'));
    if (app.isEmpty() || app == QLatin1String(".") || app == QLatin1String(".."))
        app = QStringLiteral("application");
    const QString folder = data + QLatin1Char('/') + app + QStringLiteral("/Favorites");
    if (!QDir().mkpath(folder))
        return {};
    return folder;
}

QString standardFolder(QStandardPaths::StandardLocation where)
{
    return withoutTrailingSeparator(QStandardPaths::writableLocation(where));
}

bool isInside(const QString& path, const QString& root)
{
    const QString p = QDir::cleanPath(path);
    const QString r = QDir::cleanPath(root);
    if (r == QLatin1String("/"))
        return p.startsWith(QLatin1Char('/'));
    return p == r || p.startsWith(r + QLatin1Char('/'));
}

QString runFolderDialog(QWidget* owner, const QString& title, const QString& openAt)
{
    QFileDialog dialog(owner, title, openAt);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (!openAt.isEmpty())
        dialog.selectFile(openAt);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString askFolder(QWidget* owner, const QString& title, const QString& openAt)
{
    prompt::Prompt p;
    p.kind = QStringLiteral("folder");
    p.title = title;
    p.text = openAt;
    const prompt::Answer a = prompt::ask(p, [&] {
        prompt::Answer answer;
        answer.text = runFolderDialog(owner, title, openAt);
        answer.accepted = !answer.text.isEmpty();
        return answer;
    });
    if (!a.accepted || a.text.isEmpty())
        return {};
    return withoutTrailingSeparator(a.text);
}

} // namespace

std::optional<QString> specialFolderPath(int folder)
{
    QString path;
    switch (folder) {
    case csidl::Desktop: path = standardFolder(QStandardPaths::DesktopLocation); break;
    case csidl::Personal: path = standardFolder(QStandardPaths::DocumentsLocation); break;
    case csidl::Favorites: path = favoritesFolder(); break;
    case csidl::Fonts: path = paths::fontsFolder(); break;
    case csidl::AppData: path = standardFolder(QStandardPaths::GenericDataLocation); break;
    case csidl::BitBucket: {
        const QString data = standardFolder(QStandardPaths::GenericDataLocation);
        if (!data.isEmpty())
            path = data + QStringLiteral("/Trash/files");
        break;
    }
    case csidl::Windows: path = QStringLiteral("/usr"); break;
    case csidl::System: path = QStringLiteral("/usr/lib"); break;
    case csidl::ProgramFiles: path = QStringLiteral("/usr/bin"); break;
    default: return std::nullopt;
    }
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

QByteArray itemIdListOf(const QString& localPath)
{
    QByteArray list;
    const QStringList names = QDir::cleanPath(localPath).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& name : names) {
        const QByteArray bytes = name.toUtf8();
        const qsizetype count = bytes.size() + 2;
        if (count > 0xFFFF)
            return {};
        list.append(static_cast<char>(count & 0xFF));
        list.append(static_cast<char>((count >> 8) & 0xFF));
        list.append(bytes);
    }
    list.append(2, '\0');
    return list;
}

std::optional<QByteArray> specialFolderLocation(int folder)
{
    const std::optional<QString> path = specialFolderPath(folder);
    if (!path)
        return std::nullopt;
    QByteArray list = itemIdListOf(*path);
    if (list.isEmpty())
        return std::nullopt;
    return list;
}

std::optional<QString> pathFromItemIdList(const QByteArray& list)
{
    QString path;
    qsizetype at = 0;
    while (true) {
        if (at + 2 > list.size())
            return std::nullopt; // no terminator
        const int count = static_cast<unsigned char>(list[at]) | (static_cast<unsigned char>(list[at + 1]) << 8);
        if (count == 0)
            break;
        if (count < 3 || at + count > list.size())
            return std::nullopt;
        const QString name = QString::fromUtf8(list.mid(at + 2, count - 2));
        if (name.contains(QLatin1Char('/')) || name == QLatin1String(".") || name == QLatin1String(".."))
            return std::nullopt;
        path += QLatin1Char('/') + name;
        at += count;
    }
    return path.isEmpty() ? QStringLiteral("/") : path;
}

std::optional<QStringList> listFolder(const QString& localFolder, Listing what)
{
    const QFileInfo info(localFolder);
    if (!info.isDir() || !info.isReadable())
        return std::nullopt;
    QDir dir(localFolder);
    QDir::Filters filters = QDir::NoDotAndDotDot | QDir::System;
    switch (what) {
    case Listing::Files: filters |= QDir::Files; break;
    case Listing::FilesWithHidden: filters |= QDir::Files | QDir::Hidden; break;
    case Listing::FoldersWithHidden: filters |= QDir::Dirs | QDir::Hidden | QDir::NoSymLinks; break;
    }
    const QFileInfoList entries = dir.entryInfoList(filters, QDir::Name | QDir::IgnoreCase);
    QStringList names;
    for (const QFileInfo& e : entries) {
        // Only regular files and real folders: devices, pipes and sockets
        // would block or mislead whoever reads the names.
        if (what == Listing::FoldersWithHidden ? (!e.isDir() || e.isSymLink()) : !e.isFile())
            continue;
        names.append(e.fileName());
    }
    return names;
}

TrashResult moveToTrash(const QString& localPath, bool confirm)
{
    const QFileInfo info(localPath);
    if (!info.exists() && !info.isSymLink())
        return TrashResult::NotFound;
    if (confirm) {
        prompt::Prompt p;
        p.kind = QStringLiteral("confirm");
        p.title = QStringLiteral("Move to Trash");
        p.text = QStringLiteral("Move \"%1\" to the trash?").arg(info.fileName());
        p.choices = {QStringLiteral("Yes"), QStringLiteral("No")};
        const prompt::Answer a = prompt::ask(p, [&] {
            prompt::Answer answer;
            answer.accepted = QMessageBox::question(nullptr, p.title, p.text) == QMessageBox::Yes;
            return answer;
        });
        if (!a.accepted)
            return TrashResult::Cancelled;
    }
    return QFile::moveToTrash(localPath) ? TrashResult::Ok : TrashResult::Failed;
}

QString pickFolder(QWidget* owner, const QString& title, const QString& initialFolder)
{
    return askFolder(owner, title, initialFolder);
}

QString pickFolderBelow(QWidget* owner, const QString& title, const QString& rootFolder)
{
    const QString chosen = askFolder(owner, title, rootFolder);
    if (chosen.isEmpty() || rootFolder.isEmpty() || !isInside(chosen, rootFolder))
        return {};
    return chosen;
}

bool startProgram(const QString& localProgram, const QStringList& arguments, const QString& workingFolder)
{
    if (localProgram.isEmpty())
        return false;
    return QProcess::startDetached(localProgram, arguments, workingFolder);
}

bool openDocument(const QString& localPathOrUrl)
{
    if (localPathOrUrl.isEmpty())
        return false;
    const QUrl url = localPathOrUrl.startsWith(QLatin1Char('/')) ? QUrl::fromLocalFile(localPathOrUrl)
                                                                  : QUrl(localPathOrUrl);
    return url.isValid() && QDesktopServices::openUrl(url);
}

} // namespace platform::shell
