#pragma once

// The settings store: string settings under "Software\<application>\<section>"
// and the plain registry helpers of the registrations and page settings.
// A read that cannot be satisfied yields its default. A write that cannot be
// made (the hive cannot be read or written, a name or value over the
// registry's bounds) is reported on standard error with its reason and
// returns false; callers that have no use for the result may ignore it.

#include "platform/base/registry.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

using Hive = platform::registry::Hive;
inline constexpr Hive HiveClassesRoot = Hive::ClassesRoot;
inline constexpr Hive HiveCurrentUser = Hive::CurrentUser;
inline constexpr Hive HiveLocalMachine = Hive::LocalMachine;

// The program's application name and main section.
inline const QString kSettingsApp = QStringLiteral("Keldo");
inline const QString kSettingsSection = QStringLiteral("Z5 Browser");
// Its sub-sections of the function keys and of the proxy.
inline const QString kKeyBoardSection = kSettingsSection + QStringLiteral("\\KeyBoard");
inline const QString kProxySection = kSettingsSection + QStringLiteral("\\Proxy");

// "Software\" & Trim(application) & "\" & Trim(section)
QString SettingsKey(const QString& application, const QString& section);

bool SaveSetting(Hive hive, const QString& application, const QString& section, const QString& valueName,
                 const QString& value);
QString ReadSetting(Hive hive, const QString& application, const QString& section, const QString& valueName,
                    const QString& defaultValue);

// The program's own settings ("Keldo", "Z5 Browser").
inline QString ReadZ5Setting(Hive hive, const QString& valueName, const QString& defaultValue)
{
    return ReadSetting(hive, kSettingsApp, kSettingsSection, valueName, defaultValue);
}
inline bool SaveZ5Setting(Hive hive, const QString& valueName, const QString& value)
{
    return SaveSetting(hive, kSettingsApp, kSettingsSection, valueName, value);
}

bool CreateRegistryKey(Hive hive, const QString& keyPath);
// False also when the key is missing or has sub-keys; only a failed write is
// reported.
bool DeleteRegistryKey(Hive hive, const QString& parentPath, const QString& subKeyName);
bool RegistryKeyExists(Hive hive, const QString& keyPath);
QString ReadRegistryString(Hive hive, const QString& keyPath, const QString& valueName);
uint32_t ReadRegistryDword(Hive hive, const QString& keyPath, const QString& valueName);
// Text that reads as a number is written as REG_DWORD, anything else as
// REG_SZ trimmed of blanks; a number outside 32 bits is not written (false,
// not reported).
bool WriteRegistryValue(Hive hive, const QString& keyPath, const QString& valueName, const QString& value);
bool WriteRegistryValue(Hive hive, const QString& keyPath, const QString& valueName, int32_t value);

QString ReadMailtoCommand();
QString ReadTypedUrl(const QString& valueName);
bool WriteTypedUrl(const QString& valueName, const QString& url);

// Depth-first search below keyPath for a value whose formatted text equals
// searchText; on success keyPath becomes the key that holds it.
void EnumRegistryKeys(Hive hive, QString& keyPath, const QString& searchText, bool& found);
void EnumRegistryValues(Hive hive, const QString& keyPath, const QString& searchText, bool& found);

QString FormatRegistryData(uint32_t type, const QByteArray& data);
