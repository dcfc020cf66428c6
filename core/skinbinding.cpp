#include "core/skinbinding.h"

#include "core/globals.h"
#include "core/shellnames.h"
#include "platform/win/clipboard.h"
#include "platform/base/paths.h"
#include "platform/base/textfile.h"
#include "skinlib/art/skinart.h"

#include <QBuffer>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QImageReader>

#include <cstdio>

platform::com::Object SkinObject;

namespace {

// Pictures already fetched from the current skin object, by id and kind.
QHash<quint32, QPixmap>& pictureCache()
{
    static QHash<quint32, QPixmap> cache;
    return cache;
}

quint32 pictureKey(int16_t id, int16_t resType) { return (quint32(uint16_t(id)) << 16) | uint16_t(resType); }

std::optional<QByteArray> resourceBytes(int id, const QString& resType)
{
    return skinart::programResourceBytes(resType.toUpper(), id);
}

QByteArray imageFormatOf(const QString& resType)
{
    const QString t = resType.toUpper();
    if (t == QLatin1String("BITMAP"))
        return QByteArrayLiteral("bmp");
    if (t == QLatin1String("MESSAGE"))
        return QByteArrayLiteral("ico");
    return QByteArray();
}

} // namespace

QString SkinProgId(const QString& skinName)
{
    QString name = skinName;
    name.replace(QLatin1Char(' '), QLatin1Char('_'));
    return QStringLiteral("SK_") + name + QStringLiteral(".clsResources");
}

bool BindSkinLibrary()
{
    pictureCache().clear();
    platform::com::Error error;
    auto obj = platform::com::createObject(SkinProgId(SkinName), &error);
    SkinObject = obj.value_or(platform::com::Object());
    if (!obj) // the loader's reason: missing file, not a library, no entry points
        std::fprintf(stderr, "Z5: the skin \"%s\" cannot be loaded: %s\n", SkinName.toLocal8Bit().constData(),
                     error.description.toLocal8Bit().constData());
    return obj.has_value();
}

std::optional<QPixmap> GetSkinPicture(int16_t id, int16_t resType)
{
    if (SkinObject.isNull())
        return std::nullopt;
    const quint32 key = pictureKey(id, resType);
    const auto cached = pictureCache().constFind(key);
    if (cached != pictureCache().constEnd())
        return *cached;
    const platform::com::CallResult r = SkinObject.call(
        QStringLiteral("GetResourcePicture"), {QVariant::fromValue(id), QVariant::fromValue(resType)});
    if (!r.ok)
        return std::nullopt;
    QPixmap pm;
    if (r.value.metaType() == QMetaType::fromType<QImage>())
        pm = QPixmap::fromImage(r.value.value<QImage>());
    else if (r.value.metaType() == QMetaType::fromType<QPixmap>())
        pm = r.value.value<QPixmap>();
    if (pm.isNull())
        return std::nullopt;
    pictureCache().insert(key, pm);
    return pm;
}

QString GetSkinString(int16_t id)
{
    if (SkinObject.isNull())
        return QString();
    const platform::com::CallResult r = SkinObject.call(QStringLiteral("GetResourceString"), {QVariant::fromValue(id)});
    return r.ok ? r.value.toString() : QString();
}

int32_t WriteResourceToFile(int id, const QString& resType, const QString& filePath)
{
    const auto bytes = resourceBytes(id, resType);
    if (!bytes || filePath.isEmpty())
        return 1;
    return platform::textfile::writeAtomically(platform::paths::toLocal(filePath), *bytes) ? 0 : 1;
}

std::optional<QPixmap> LoadResourcePicture(int id, const QString& resType, const QString& filePath)
{
    QString path;
    if (filePath.isEmpty()) {
        // Made inside the private temporary folder, relative to it.
        if (!MakeTempFileName(QString(), QStringLiteral("~rs"), 0, path))
            return std::nullopt;
    } else {
        path = platform::paths::toLocal(filePath);
    }
    if (WriteResourceToFile(id, resType, path) != 0) {
        if (filePath.isEmpty())
            QFile::remove(path);
        return std::nullopt;
    }

    QImageReader reader(path, imageFormatOf(resType));
    reader.setDecideFormatFromContent(true);
    const QImage img = reader.read();
    QFile::remove(path);
    if (img.isNull())
        return std::nullopt;
    return QPixmap::fromImage(img);
}

uint32_t RegisterClipboardFormatName(const QString& name)
{
    const uint32_t format = platform::clipboard::registerFormat(name);
    return format > 49152 ? format : 0;
}

QString ReadClipboardText(const QWidget* /*owner*/, uint32_t format)
{
    return platform::clipboard::readText(format).value_or(QString());
}
