#pragma once

// The fonts the desktop uses for window captions, menus, the status bar,
// message boxes and icon titles, and font handles made from descriptions of
// them. A handle stays valid until it is deleted.

#include <QFont>
#include <QString>

#include <cstdint>
#include <optional>

namespace platform::systemfonts {

struct FontDescription {
    QString face;       // empty: the application's default face
    int pixelHeight = 0; // 0: the default size
    int weight = 400;    // 100 (thin) to 900 (black); 400 normal, 700 bold
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

struct NonClientMetrics {
    FontDescription caption;
    FontDescription smallCaption;
    FontDescription menu;
    FontDescription status;
    FontDescription message;
};

// False without a running GUI application (nothing is filled in).
bool readNonClientMetrics(NonClientMetrics& metrics);
bool readIconTitleFont(FontDescription& font);

FontDescription describe(const QFont& font);

using FontHandle = uintptr_t; // 0: none
FontHandle createFont(const FontDescription& description);
bool deleteFont(FontHandle font);
// The font of a live handle.
std::optional<QFont> fontOf(FontHandle font);

} // namespace platform::systemfonts
