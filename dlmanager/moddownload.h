#pragma once

// The download manager's start: its folders from the settings, and the two
// forms of its command line (a list to run, or one file to fetch).

#include <QString>

struct DownloadCommand {
    enum Form { None, List, SingleFile };
    Form form = None;
    QString listName;
    bool resume = false;
    QString address;
    QString targetPath;
};

// "<list>||||||||||<flag>" or "<address>|||||<target>"; the list form wins
// when both separators are present. A single-file argument holding the
// separator more than once, or a "|" in its address, is neither form.
DownloadCommand ParseDownloadCommand(const QString& argument);

// Runs the program for its command line; the process's exit code.
int modDownLoad_Main(const QString& argument);
