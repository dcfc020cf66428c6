#pragma once

// Download lists as both programs see them: a list is the files
// "<program>/Data/<name>.*" and, while the download manager runs it, a
// named lock. The browser probes exactly the lock a running download
// manager holds, so both build its name here.

#include <QByteArray>
#include <QString>
#include <QStringList>

// A list name that names files of "Data" and nothing else: not empty, at
// most 200 characters, no "/", "\", ".." or control character.
bool IsSafeListName(const QString& name);

// The name of the lock a download manager holds while it runs the list:
// "Z5DownLoad list " and the list's base below the program folder's
// canonical path.
QString DownloadListLockName(const QString& programFolder, const QString& listName);

// True while some process holds the list's lock (taken, then released at
// once when it was free).
bool IsDownloadListRunning(const QString& programFolder, const QString& listName);

// The endings of a list's files after its name, in the order a stop
// deletes them.
const QStringList& DownloadListSuffixes();

// A file name a download list leaves in "Data": a time name
// ("mmdd hhmmAM", then optionally " - " and a playlist's name, then
// optionally " (n)") followed by one of the list suffixes.
bool IsDownloadListFileName(const QString& fileName);

// The attribute a partial file of a list's item carries: the tag of its list.
inline constexpr const char* kPartialListAttribute = "user.z5.list";
// The tag of the list the partial files of its items carry.
QByteArray DownloadListPartialTag(const QString& programFolder, const QString& listName);

// Removes the partial files ("<name>~~~") the items of the list left in
// their folders: only plain files of the user's that carry the list's tag,
// nothing else. Reads the list's folders from its ".Z5P" in "Data", so it
// runs before that file goes. The number of files removed.
int RemoveDownloadListPartials(const QString& programFolder, const QString& listName);

// The status frameset of the list whose files start with listBase: three
// frames F1-F3 showing listBase & "F1.HTM" to "F3.HTM".
QByteArray DownloadStatusFrameset(const QString& listBase);
