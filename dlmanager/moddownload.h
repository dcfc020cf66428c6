#pragma once

// The download manager's start: its folders from the settings, the language
// lookup, and the two forms of its command line (a list to run, or one file
// to fetch).

#include <QString>

struct RunState;

struct DownloadCommand {
    enum Form { None, List, SingleFile };
    Form form = None;
    QString listName;
    bool resume = false;
    QString address;
    QString targetPath;
};

// "<list>||||||||||<flag>" or "<address>|||||<target>"; the list form wins
// when both separators are present.
DownloadCommand ParseDownloadCommand(const QString& argument);

// The text of a key of the program's language file, or the English default;
// at most 2047 characters.
QString ReadLanguageString(const QString& section, const QString& key, const QString& englishDefault);
void SetLanguageFilePath(const QString& path);

bool FileExists(const QString& path);

// A list name that names a file of "Data" and nothing else.
bool IsSafeListName(const QString& name);

// Runs the program for its command line; the process's exit code.
int modDownLoad_Main(const QString& argument);
