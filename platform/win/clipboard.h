#pragma once

// Clipboard formats by number, as the old clipboard numbered them: the
// standard text formats and formats registered by name, mapped onto MIME
// types of the system clipboard.

#include <QString>

#include <cstdint>
#include <optional>

namespace platform::clipboard {

inline constexpr uint32_t Text = 1;        // plain text
inline constexpr uint32_t UnicodeText = 13; // plain text
inline constexpr uint32_t FirstRegistered = 0xC001;

// The number of the format of that name; the same name (any case) always
// gets the same number in a process, from FirstRegistered upwards. 0 for an
// empty name.
uint32_t registerFormat(const QString& name);

// The MIME type a format number stands for ("" for an unknown number).
// "HTML Format" is "text/html", "Rich Text Format" "text/rtf", a name
// written as a MIME type is that type, any other name a private type.
QString mimeTypeOf(uint32_t format);

// The clipboard's data of that format as text; nullopt when the format is
// not on the clipboard.
std::optional<QString> readText(uint32_t format);

} // namespace platform::clipboard
