#pragma once

// The playlist file: eight header lines (the list kind, the current row,
// the delay in seconds, the six download-option digits, four empty lines),
// then one line per row with its five columns in the shared list-line
// form. Written UTF-8 with CR LF; read as UTF-8, a byte that is not valid
// UTF-8 standing for its Latin-1 character. Download lists use the same
// layout. Nothing here touches a list: the lists pane applies what is read.

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

using PlaylistRow = std::array<QString, 5>; // the text, then sub-items 1-4

// Files above this are not read.
inline constexpr qint64 kPlaylistReadLimit = 64 * 1024 * 1024;
// The longest column a row may hold, in characters: far beyond any real
// path, address or title. A row with a longer one is left out and counted.
inline constexpr qsizetype kPlaylistColumnLimit = 32 * 1024;

struct PlaylistContent {
    // The kind of line 1; nullopt when line 1 is no number (the rows then
    // go to the list shown).
    std::optional<int16_t> kind;
    // Header lines 1-8 as read ("" for a line the file does not have).
    std::array<QString, 8> header;
    // Lines 9 on, blank ones left out, each split into its five columns
    // (missing ones empty, further ones dropped).
    std::vector<PlaylistRow> rows;
    // Rows left out because one of their five columns is longer than
    // kPlaylistColumnLimit.
    int skippedRows = 0;
};

// The text of the file's bytes: UTF-8, any byte of an invalid sequence
// taken as its Latin-1 character.
QString DecodeListText(const QByteArray& bytes);

// The content of a playlist file; nullopt when it is none: line 1 a number
// that names no list kind (1-6). NUL bytes are dropped before the text is
// read.
std::optional<PlaylistContent> ParsePlaylist(const QByteArray& bytes);

// Header line 2 as the list's current row: a whole number clamped to
// 0..rowCount; nullopt when the line is no number.
std::optional<int32_t> PlaylistCurrentRow(const QString& line, int32_t rowCount);
// Header line 3 as the delay in seconds: "." or "," as the decimal point,
// clamped to at most 300; nullopt (the delay kept) for text that is no
// number, for infinity, NaN, a value beyond single precision or below 0.
std::optional<float> PlaylistDelay(const QString& line);
// Header line 4 as the option digits: cut or padded with blanks to six.
QString PlaylistOptions(const QString& line);

// The delay as line 3 writes it: the shortest text that reads back as the
// same single-precision number, "." as the decimal point.
QString DelayText(float seconds);

// A whole playlist file's bytes. currentRow is written as it is given.
QByteArray FormatPlaylist(int16_t kind, int32_t currentRow, float delay, const QString& options,
                          const std::vector<PlaylistRow>& rows);
