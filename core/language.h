#pragma once

// Language lookup: every visible text is read from the language file with
// the English text given beside the lookup as the fall-back.

#include <QString>
#include <cstdint>
#include <optional>

// The entry "key=text" of [section] in filePath, trimmed of blanks, or the
// default (see the file's matching rules in language.cpp).
QString ReadIniValue(const QString& section, const QString& key, const QString& defaultValue,
                     const QString& filePath);
// ReadIniValue in the current language file (LanguageFilePath).
QString GetLangString(const QString& section, const QString& key, const QString& englishDefault);
// GetLangString padded with one blank on each side, for labels drawn as buttons.
QString GetLangCaption(const QString& section, const QString& key, const QString& englishDefault);

// The digit at a 1-based position of an option string; nullopt when the
// position is outside the string or the character is not a digit.
std::optional<int16_t> GetOptionDigit(const QString& optionString, int16_t position);
// Replaces the character at position by the decimal text of value; false
// (and nothing changed) when position is below 1.
bool SetOptionDigit(QString& optionString, int16_t position, int16_t value);
