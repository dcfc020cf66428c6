#pragma once

// The browser's start procedure: first-run registration, the screen scale,
// the single-instance hand-off, the start-up checks of required files, the
// content-filter list and the proxy, then the main window.

#include <QString>
#include <functional>

// This release's code, stored in the machine hive on a first run.
inline const QString kAppReleasedCode = QStringLiteral("2.785");

// Loads and shows the main window; true when it is shown and the program
// should run its event loop. Set by the program before modExplorer_Main.
void SetMainWindowLoader(std::function<bool()> loader);

// Runs the start procedure. Returns true when the main window was shown and
// the event loop should run, false when the process is to end now.
bool modExplorer_Main();

// True when every required file is present; false after the failure was
// shown (or, once, silently when the font was just installed).
bool StartupChecks();

// The hand-off folder, inside the private temporary folder.
inline const QString kHandOffFolderName = QStringLiteral("Z5Temp");
// The hand-off numbers tried before a start gives up handing over.
inline constexpr int kHandOffNumbers = 10000;

// Writes the command line (double quotes removed) into the first free
// numbered file, 1 to kHandOffNumbers, of the open folder. The file appears
// whole and at once: it is written under a temporary name and linked into
// place, which fails when another start took the number first. Returns the
// number, 0 on failure.
int WriteHandOffFileAt(int folder, const QString& commandLine);
// The same in the hand-off folder, opened inside the private temporary
// folder; 0 when it cannot be had.
int HandOffToRunningInstance(const QString& commandLine);
// The same in the folder at a local path, which must not be a link.
int WriteHandOffFile(const QString& folder, const QString& commandLine);
