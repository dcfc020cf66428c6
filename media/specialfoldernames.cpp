#include "media/specialfoldernames.h"

#include "core/shellnames.h"

uint8_t SpecialFolderDisplayName(const QString& name)
{
    for (int i = 1; i <= kSpecialPlaceCount; ++i)
        if (QString::compare(SpecialPlaceName(i), name, Qt::CaseInsensitive) == 0)
            return static_cast<uint8_t>(i);
    return 0;
}
