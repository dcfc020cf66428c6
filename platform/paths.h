#pragma once

// Where things are: the program folder, the mapping of the program's
// "\"-separated paths to the file system, and the private temporary folder.

#include <QString>

namespace platform::paths {

// The folder of the running executable, without a trailing separator.
// PLATFORM_PROGRAM_DIR in the environment overrides it (tests).
QString programFolder();
void setProgramFolder(const QString& folder); // overrides for this process

// Maps a path written with "\" between folders to a local path with "/".
// Existing files and folders are found whatever the case of their names
// ("\HELP\Index.htm" finds Help/Index.htm); the part that does not exist is
// kept as written. A path already written with "/" passes through the same
// resolution.
QString toLocal(const QString& productPath);

// A path below the program folder written as the program writes it
// ("\Common\Z5_BlankPage.HTM"), mapped to the local file system.
QString programPath(const QString& productRelative);

// The inverse used when a local path is shown to product code that joins
// with "\": "/" becomes "\".
QString toProduct(const QString& localPath);

// The user's private temporary folder (mode 0700, owned by the user) below
// $TMPDIR or /tmp; created on first use. Never the shared /tmp itself.
// Empty when no safe folder can be made.
QString privateTempFolder();

// The user's fonts folder (XDG data folder "fonts"), created on first use.
QString fontsFolder();

} // namespace platform::paths
