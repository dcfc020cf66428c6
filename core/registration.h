#pragma once

// The registrations of the program: its two document types (".z5p"
// playlists, ".z5s" web snippets) and, on request, the default web browser.
// They are written into the program's registry only; the desktop's own file
// associations are never touched.

#include <QString>

// The program folder & "\" & the program file's name without its extension.
QString ProgramExeStem();

// Writes the file-type keys of the classes root; stops at the first write
// that fails.
void RegisterFileTypes();
// Writes the default-browser keys of the local-machine hive; each step goes
// on after a failure.
void MakeDefaultBrowser();
// True when ".htm" belongs to the program's page class.
bool IsDefaultBrowser();
