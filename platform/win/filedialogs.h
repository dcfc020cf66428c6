#pragma once

// Open and save pickers. Each asks through the prompt seam
// (platform/win/prompt.h: kind "open" or "save", the title, the path the
// picker starts at as text, the old filter string as filter); without an
// answer from the seam the non-native Qt file dialog shows. The answer is
// the full path, or the full paths of a multiple choice in the dialog's
// order; cancelling gives "" (an empty list).
//
// Filters keep the old form: pairs of a description and its patterns, all
// separated by "|" ("Text (*.txt)|*.txt|All (*.*) |*.*|", the closing bar
// optional, patterns separated by ";"). Patterns match regardless of case.

#include <QString>
#include <QStringList>

class QWidget;

namespace platform::filedialogs {

// The dialog flags that mean something here, with their old values; any
// other bit is ignored.
enum PickFlag : unsigned {
    OverwritePrompt = 0x2,   // save: ask before replacing an existing file
    AllowMultiSelect = 0x200, // open: several files may be chosen
    PathMustExist = 0x800,   // the chosen file's folder must exist
};

struct FileRequest {
    QString title;
    QString initialFolder; // "" starts in the working folder
    QString fileName;      // the name proposed in the name field
    QString filter;        // old filter string; "" shows every file
    int filterIndex = 1;   // the filter shown first, counted from 1
    unsigned flags = 0;
};

// The name filters of the Qt dialog ("Text (*.txt)") of an old filter
// string. "*.*" becomes "*" (every file, with or without a dot); a pair
// without a usable pattern is left out.
QStringList nameFilters(const QString& oldFilter);

// One file; with AllowMultiSelect the first one chosen.
QString openFile(QWidget* owner, const FileRequest& request);
// Every file chosen (AllowMultiSelect is implied), in the dialog's order.
QStringList openFiles(QWidget* owner, const FileRequest& request);
QString saveFile(QWidget* owner, const FileRequest& request);

// A program to start: every file shows, the picker starts in /usr/bin
// unless told otherwise, and only an existing executable file is taken
// (a folder opens, anything else is refused in the dialog; from the seam it
// gives "").
QString pickExecutable(QWidget* owner, const QString& title, const QString& initialFolder = QString());

} // namespace platform::filedialogs
