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

// The user's private temporary folder (mode 0700, owned by the user),
// ".private-<uid>" below $TMPDIR or /tmp; created on first use and kept
// open. It is made only where nobody but root and the user can rename or
// replace what leads to it, and it is checked on the open folder (no link
// followed), so another user who controls TMPDIR can neither put his folder
// in its place nor have files written into his. Otherwise it is made below
// $XDG_RUNTIME_DIR the same way; empty when neither can be had. Never the
// shared /tmp itself.
QString privateTempFolder();

// A descriptor of the private folder for the caller to close, -1 when there
// is none. Files made relative to it (openat, mkdirat, linkat) land in the
// folder that was checked, whatever becomes of its name.
int openPrivateTempFolder();

// The sub-folder name of the private folder, made (0700) when missing and
// opened without following a link; the user's own or -1. For the caller to
// close.
int openPrivateSubfolder(const QString& name);

// The user's fonts folder (XDG data folder "fonts"), created on first use.
QString fontsFolder();

} // namespace platform::paths
