#pragma once

// Shell, folder and file helpers: folder pickers, the recycle bin, special
// folders and their item-id lists, folder listings, the temporary folder and
// temporary names, and four text clean-ups. None keeps state between calls;
// all give their "nothing" value on failure, except the folder listings,
// which tell the user.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <span>

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

// The path of a special folder by the program's index (1 Favorites,
// 2 System, 3 Program Files, 4 My Documents, 5 Desktop, 6 Fonts,
// 7 Windows, 8 Application Data; any other value is a shell folder number),
// without a trailing separator; "" when there is none.
QString GetSpecialFolder(int16_t index);

// The item-id list of a shell place (1 My Computer, 2 Network, 3 Desktop,
// 4 Control Panel, 5 Printers, 6 Network Connections; other values are
// shell folder numbers); empty when the place does not exist here.
QByteArray GetSpecialFolderIdList(int16_t index);

// Walking an item-id list. An empty span stands for the null pointer; a
// count that would run past the end of the span counts as the end.
int GetIdListSize(std::span<const uint8_t> list);
uint16_t ReadIdListWord(std::span<const uint8_t> at);
std::span<const uint8_t> NextIdListItem(std::span<const uint8_t> at);

// Receives one line; false when the line could not be written.
using LineWriter = std::function<bool(const QString& line)>;

// Writes the local path (folder mapped by toLocal, then name) of every file
// of folder (hidden ones included) and then, depth first, of each of its
// sub-folders. folder ends in a separator, "\" or "/".
void ListFolderTree(const QString& folder, const LineWriter& stream);
// The same for every file of folder alone (hidden ones left out).
void ListFolderFiles(const QString& folder, const LineWriter& stream);

// The user's private temporary folder in its long form, without a trailing
// separator; "" when there is none.
QString GetTempFolder();
// The path up to its last separator, each existing component in the
// spelling the file system stores (whatever the case written); "" when a
// component does not exist. The root stays "/".
QString LongPathOf(const QString& path);
// Makes a unique temporary file name in folder (the temporary folder when
// ""): the first three characters of prefix, a hexadecimal number and
// ".tmp". With unique 0 the file is created, relative to the folder opened
// once; otherwise only named.
bool MakeTempFileName(const QString& folder, const QString& prefix, uint16_t unique, QString& tempFileName);
// GetTempFolder & "\~Z5_" & hhmmss & the first digit 1 to 9 that no file
// begins with (the ninth when all are in use), mapped to the local path
// ("/" before "~Z5_"): a name appended to it names a file in the folder.
QString MakeTempPagePrefix();

QString TrimControlChars(const QString& text);
QString HtmlToPlainText(const QString& text);
// The NUL-terminated ANSI text at pointer, read at most capacity bytes.
QString AnsiPointerToString(const char* pointer, size_t capacity);
QString MakeSafeFileName(const QString& text);
