#include "core/resourcepictures.h"

#include "core/skinbinding.h"

#include <QHash>

const QPixmap& ResourcePicture(int id, const QString& resType)
{
    static QHash<QString, QPixmap> cache;
    const QString key = resType.toUpper() + QLatin1Char('/') + QString::number(id);
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.insert(key, LoadResourcePicture(id, resType).value_or(QPixmap()));
    return it.value();
}

const QPixmap& ProgramBitmap(int id)
{
    return ResourcePicture(id, QStringLiteral("BITMAP"));
}
