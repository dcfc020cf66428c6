#pragma once

// Whether a location name is the display name of one of nine special
// folders in the user's language ("WINDOWS" 9500-9508), and which.

#include <QString>

#include <cstdint>

// 1 My Computer, 2 Desktop, 3 My Network Places, 4 Control Panel,
// 5 Printers and Faxes, 6 Recycle Bin, 7 Network Connections, 8 Scanners
// and Cameras, 9 Scheduled Tasks; 0 for none. Letter case does not count;
// the first name that matches wins; the language file is read each time.
uint8_t SpecialFolderDisplayName(const QString& name);
