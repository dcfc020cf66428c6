#pragma once

// INI-style profile files: "[section]" headers and "key=value" lines.
// Section and key names are compared without regard to case and with the
// blanks around them ignored; a missing entry yields the caller's default.
// A write changes only the line it concerns and replaces the file atomically.

#include <QString>
#include <QStringList>

namespace platform::profile {

// Files larger than this are not read (the caller's default is returned).
constexpr qint64 kMaxProfileBytes = 16 * 1024 * 1024;

QString readString(const QString& filePath, const QString& section, const QString& key,
                   const QString& defaultValue);
// Creates the file, the section or the entry when missing. A section, key
// or value holding a line break is refused (false, the file unchanged), as
// is a key holding "=" or starting with ";" or "[".
bool writeString(const QString& filePath, const QString& section, const QString& key,
                 const QString& value);
bool removeKey(const QString& filePath, const QString& section, const QString& key);
QStringList sectionNames(const QString& filePath);
QStringList keyNames(const QString& filePath, const QString& section);

} // namespace platform::profile
