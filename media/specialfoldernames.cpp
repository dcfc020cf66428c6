#include "media/specialfoldernames.h"

#include "core/language.h"

uint8_t SpecialFolderDisplayName(const QString& name)
{
    static constexpr const char* english[9] = {"My Computer",        "Desktop",      "My Network Places",
                                               "Control Panel",      "Printers and Faxes", "Recycle Bin",
                                               "Network Connections", "Scanners and Cameras", "Scheduled Tasks"};
    for (int i = 0; i < 9; ++i) {
        const QString text = GetLangString(QStringLiteral("WINDOWS"), QString::number(9500 + i), QLatin1String(english[i]));
        if (QString::compare(text, name, Qt::CaseInsensitive) == 0)
            return static_cast<uint8_t>(i + 1);
    }
    return 0;
}
