#pragma once

// The names of handed download lists and the list of them the settings
// keep ("|newest|next|..."): how a new list is named and how names join
// and leave that list.

#include <QDateTime>
#include <QString>
#include <QStringList>

// "mmdd hhmmAM" of the time, on a 12-hour clock in the C locale; with a
// playlist file, " - " and the file's name without its folder and its last
// four characters, "|", "/" and "\" made "_" and control characters
// dropped. A name that still is no safe list name is the time alone.
QString DownloadListName(const QDateTime& when, const QString& playlistPath);

// The names of the value, newest first ("" parts left out).
QStringList ListedDownloadLists(const QString& value);
// The value with name put first, at most ten names kept.
QString AddDownloadListName(const QString& value, const QString& name);
// The value without every entry equal to name.
QString RemoveDownloadListName(const QString& value, const QString& name);

// The name, or the name with " (2)", " (3)"... added, that no file of the
// data folder starts with (as "<name>.") and the value does not list.
QString FreeDownloadListName(const QString& dataFolder, const QString& name, const QString& value);
