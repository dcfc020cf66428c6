#pragma once

// Bounded reading and atomic writing of whole files.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace platform::textfile {

// The whole file, or nullopt when it cannot be read or exceeds maxBytes.
std::optional<QByteArray> readAll(const QString& path, qint64 maxBytes);

// The file's lines as UTF-8 text, CR LF and LF both ending a line.
std::optional<QStringList> readLines(const QString& path, qint64 maxBytes);

// The first count lines of the file, without their line ends (CR LF or LF),
// whatever the file's size: each line read up to maxLineBytes, the rest of a
// longer line skipped. Fewer when the file has fewer; nullopt when it cannot
// be read.
std::optional<QList<QByteArray>> readFirstLines(const QString& path, int count, qint64 maxLineBytes);

// Writes bytes to a temporary file beside path and renames it into place.
bool writeAtomically(const QString& path, const QByteArray& bytes);

// The same for a file only its owner may read: the temporary file is made
// with mode 0600 and keeps it, whatever mode the file it replaces had.
bool writePrivateAtomically(const QString& path, const QByteArray& bytes);

// The same without waiting for the disk: for a file rewritten many times a
// second (a status page) whose readers need a whole file, not a durable one.
// Waiting would also make the file system write out every other file's
// pending data, such as a download in progress.
bool replaceWithoutSync(const QString& path, const QByteArray& bytes);

} // namespace platform::textfile
