#include "media/specialfoldernames.h"

#include "core/language.h"

uint8_t SpecialFolderDisplayName(const QString& name)
{
    // Keys and English names in the order of their numbers.
    static constexpr const char* names[9][2] = {
        {"9500", "My Computer"},        {"9501", "Desktop"},       {"9502", "My Network Places"},
        {"9503", "Control Panel"},      {"9504", "Printers and Faxes"}, {"9505", "Recycle Bin"},
        {"9506", "Network Connections"}, {"9507", "Scanners and Cameras"}, {"9508", "Scheduled Tasks"}};
    for (int i = 0; i < 9; ++i) {
        const QString text = GetLangString(QStringLiteral("WINDOWS"), QLatin1String(names[i][0]), QLatin1String(names[i][1]));
        if (QString::compare(text, name, Qt::CaseInsensitive) == 0)
            return static_cast<uint8_t>(i + 1);
    }
    return 0;
}
