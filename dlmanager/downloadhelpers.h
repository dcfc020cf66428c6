#pragma once

// What every part of the download manager uses: the program's language
// lookup and the file test. The program's start
// sets the language file once; everything else only reads through here.

#include <QString>

// The text of a key of the program's language file, or the English default;
// at most 2047 characters.
QString ReadLanguageString(const QString& section, const QString& key, const QString& englishDefault);
void SetLanguageFilePath(const QString& path);
// A text of the "EXTERNAL" section, the one the download manager's texts live in.
QString ExternalText(const char* key, const char* english);

bool FileExists(const QString& path);

// Why nothing is fetched while the user works offline.
QString WorkingOfflineText();
