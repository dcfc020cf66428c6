#pragma once

// The shell helpers that talk to the user or the desktop: folder pickers,
// the recycle bin, the favorites organiser and the folder listings, which
// tell the user when a folder cannot be read.

#include <QString>

#include <cstdint>
#include <functional>

class QWidget;

// Folder pickers; the chosen folder's path, "" on cancel. BrowseForFolder
// opens with initial preselected; BrowseForFolderShell keeps the choice
// inside root.
QString BrowseForFolderShell(QWidget* owner, const QString& title, const QString& root);
QString BrowseForFolder(QWidget* owner, const QString& title, const QString& initial);

// Moves the files of the list (paths separated by NUL characters; one path
// in practice) to the trash, without asking unless confirm is set. 0 on
// success; 2 when a file is missing; 1223 when the user refused; 5 when a
// file could not be moved.
int32_t SendToRecycleBin(const QString& fileList, bool confirm);

// Opens the Favorites folder (GetSpecialFolder(1)) in the desktop's file
// manager, which stands in for the old favorites organiser.
void OrganizeFavorites(QWidget* owner);

// Receives one line; false when the line could not be written.
using LineWriter = std::function<bool(const QString& line)>;

// Writes the local path (folder mapped by toLocal, then name) of every file
// of folder (hidden ones included) and then, depth first, of each of its
// sub-folders. folder ends in a separator, "\" or "/".
void ListFolderTree(const QString& folder, const LineWriter& stream);
// The same for every file of folder alone (hidden ones left out).
void ListFolderFiles(const QString& folder, const LineWriter& stream);
