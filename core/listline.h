#pragma once

// The item lines of playlists and download lists: columns separated by ",".
// A column holding "," or beginning with a double quote is written inside
// double quotes with its inner quotes doubled, and read back whole; a line
// break inside a column is written as a blank. A line without quotes reads
// as the plain split at ",".

#include <QString>
#include <QStringList>
#include <QStringView>

QString EncodeListLine(const QStringList& columns);
QStringList DecodeListLine(QStringView line);
