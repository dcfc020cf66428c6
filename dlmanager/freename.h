#pragma once

// Giving a finished file its name in a folder without replacing anything
// that is already there.

#include <QByteArray>
#include <QString>

// Renames from to to without replacing anything at to; false with EEXIST
// when to exists (a file, a folder or a link).
bool RenameNoReplace(const QByteArray& from, const QByteArray& to);

// The longest file name, in bytes, the file systems take.
inline constexpr qsizetype kMaxFileNameBytes = 255;

// The name shortened until it takes at most maxBytes bytes in the file
// system's encoding: its stem gives up its end, its extension (up to 16
// characters after the last ".") is kept.
QString ShortenFileName(const QString& name, qsizetype maxBytes = kMaxFileNameBytes);

// "<name> (n).<ext>" for n = 2, 3, ..., the name's stem shortened when the
// whole would pass the longest file name.
QString NumberedName(const QString& path, int n);

// Moves the file at from to wanted, or to the first free "<name> (n).<ext>"
// from firstNumber on (wanted itself is tried when firstNumber is 1). The
// path taken (numberUsed: its n, 1 for wanted itself), or empty with errno
// set.
QString MoveToFreeName(const QString& from, const QString& wanted, int firstNumber = 1, int* numberUsed = nullptr);

// Gives the open file fd (nameless, or named namedTemp) the name wanted or
// the first free "<name> (n).<ext>" from firstNumber on, never replacing
// anything. The path taken (numberUsed: its n), or empty with errno set.
QString PlaceAtFreeName(int fd, const QString& namedTemp, const QString& wanted, int firstNumber = 1,
                        int* numberUsed = nullptr);
