#pragma once

// The connection of the browser's process: its proxy from the program's
// settings, working online or offline, and the stored page-display options
// (animations, inline images, background sounds, inline videos, Flash).

#include "core/proxysetting.h"

#include <QString>
#include <cstdint>

// "Exception" with every ";" made a blank, " <local>" appended when Check3
// is "1", trimmed of blanks.
QString BuildProxyBypassList(const ProxySettingValues& values);
// "socks=", "https=", "http=", "gopher=", "ftp=" entries, each only when its
// address and port are both given, separated by blanks.
QString BuildProxyList(const ProxySettingValues& values);

// Sets the process's proxy from the settings (once, at start-up).
void ApplyProxySettings();

// True when the user's global offline value is the number 1.
bool IsIeOffline();
// Switches the process to working offline (on) or online (off).
void SetIeWorkOffline(bool on);

// Page-display option 1 animations, 2 inline images, 3 background sounds,
// 4 inline videos, 5 Flash content.
bool GetIeDisplayOption(int16_t index);
void SetIeDisplayOption(int16_t index, bool on);
