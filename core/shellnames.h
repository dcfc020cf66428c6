#pragma once

// Names from the shell: special folders and their item-id lists, the
// temporary folder and temporary names, and four text clean-ups. None keeps
// state between calls, asks the user anything or shows anything; all give
// their "nothing" value on failure.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <span>

// The path of a special folder by the program's index (1 Favorites,
// 2 System, 3 Program Files, 4 My Documents, 5 Desktop, 6 Fonts,
// 7 Windows, 8 Application Data; any other value is a shell folder number),
// without a trailing separator; "" when there is none.
QString GetSpecialFolder(int16_t index);

// The item-id list of a shell place (1 My Computer, 2 Network, 3 Desktop,
// 4 Control Panel, 5 Printers, 6 Network Connections; other values are
// shell folder numbers); empty when the place does not exist here.
QByteArray GetSpecialFolderIdList(int16_t index);

// The shell places a tab may show, numbered as their display names are
// (the "WINDOWS" keys 9500-9508): 1 My Computer, 2 Desktop, 3 My Network
// Places, 4 Control Panel, 5 Printers and Faxes, 6 Recycle Bin, 7 Network
// Connections, 8 Scanners and Cameras, 9 Scheduled Tasks.
inline constexpr int kSpecialPlaceCount = 9;
inline constexpr int kDesktopPlaceNumber = 2;
inline constexpr int kRecycleBinPlaceNumber = 6;
// The display name of place 1-9 in the user's language (read each time);
// "" for another number.
QString SpecialPlaceName(int number);
// The place whose folder a file: address shows: the desktop folder or the
// trash (its files); 0 for any other address. Only these two places are
// folders on this system.
int SpecialPlaceOfAddress(const QString& address);
// The name a tab shows for its location: the place's display name when the
// address shows one, else the page's own name.
QString ShownLocationName(const QString& address, const QString& pageName);

// Walking an item-id list. An empty span stands for the null pointer; a
// count that would run past the end of the span counts as the end.
int GetIdListSize(std::span<const uint8_t> list);
uint16_t ReadIdListWord(std::span<const uint8_t> at);
std::span<const uint8_t> NextIdListItem(std::span<const uint8_t> at);

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
