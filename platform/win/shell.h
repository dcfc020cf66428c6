#pragma once

// The shell: special folders by their old folder numbers, item-id lists of
// shell places, folder listings, the freedesktop trash, folder pickers and
// starting programs and documents.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace platform::shell {

// Folder numbers (CSIDL) with a meaning on this system.
namespace csidl {
inline constexpr int Desktop = 0;
inline constexpr int Programs = 2;
inline constexpr int ControlPanel = 3;
inline constexpr int Printers = 4;
inline constexpr int Personal = 5; // the user's documents
inline constexpr int Favorites = 6;
inline constexpr int BitBucket = 10; // the trash
inline constexpr int MyComputer = 17;
inline constexpr int Network = 18;
inline constexpr int Fonts = 20;
inline constexpr int AppData = 26;
inline constexpr int Windows = 36;
inline constexpr int System = 37;
inline constexpr int ProgramFiles = 38;
inline constexpr int NetworkConnections = 49;
} // namespace csidl

// The local path of a special folder, without a trailing separator; nullopt
// for a folder number that has no meaning here (My Computer, Control Panel,
// Printers, network places, unknown numbers). Favorites is a folder of the
// running application's own under the user's data folder, created on first
// use; Fonts is platform::paths::fontsFolder(); the trash is the folder of
// the files in the user's own trash (the one QFile::moveToTrash fills).
std::optional<QString> specialFolderPath(int csidl);

// Item-id lists: a chain of items, each a 16-bit little-endian byte count
// that includes the count itself followed by the item's bytes (one item per
// folder name, UTF-8), ended by a count of 0. The list of the root folder is
// the terminator alone.
std::optional<QByteArray> specialFolderLocation(int csidl);
QByteArray itemIdListOf(const QString& localPath);
// The path an item-id list names; nullopt for a malformed list.
std::optional<QString> pathFromItemIdList(const QByteArray& list);

// Listing of one folder's entries (names only, never "." or ".."), sorted by
// name ignoring case. nullopt when the folder cannot be read.
enum class Listing {
    Files,               // regular files, hidden ones left out
    FilesWithHidden,     // regular files, hidden ones included
    FoldersWithHidden,   // sub-folders, hidden ones included; links to
                         // folders are left out so that a walk never loops
};
std::optional<QStringList> listFolder(const QString& localFolder, Listing what);

// Moves a file or folder to the freedesktop trash. When confirm is set, the
// user is asked first (prompt kind "confirm"); a refusal counts as
// Cancelled.
enum class TrashResult { Ok, NotFound, Cancelled, Failed };
TrashResult moveToTrash(const QString& localPath, bool confirm);

// Folder pickers through the prompt seam (kind "folder", text = the folder
// the picker opens at). The answer has no trailing separator (the root
// stays "/"); "" on cancel. A rooted picker only gives folders inside root.
QString pickFolder(QWidget* owner, const QString& title, const QString& initialFolder);
QString pickFolderBelow(QWidget* owner, const QString& title, const QString& rootFolder);

// Starts a program detached with the arguments as a list (never through a
// shell); false when it cannot be started.
bool startProgram(const QString& localProgram, const QStringList& arguments,
                  const QString& workingFolder = QString());
// Opens a document or address with the desktop's default handler.
bool openDocument(const QString& localPathOrUrl);

} // namespace platform::shell
