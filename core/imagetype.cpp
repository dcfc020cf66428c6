#include "core/imagetype.h"

#include <QFile>
#include <QImage>
#include <QImageReader>

#include <unistd.h>

std::optional<ImageType> ReadImageType(int fd)
{
    if (fd < 0 || ::lseek(fd, 0, SEEK_SET) != 0)
        return std::nullopt;
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return std::nullopt;
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format().toLower();
    ImageType type;
    if (format == "jpeg" || format == "jpg")
        type = {QStringLiteral("jpg"), {QStringLiteral("jpg"), QStringLiteral("jpeg")}};
    else if (format == "gif" || format == "png" || format == "bmp" || format == "webp")
        type = {QString::fromLatin1(format), {QString::fromLatin1(format)}};
    else
        return std::nullopt;
    // Its bytes must also read as a whole picture of that kind.
    if (reader.read().isNull())
        return std::nullopt;
    return type;
}

QString ReadImageMimeType(const QString& path)
{
    const QByteArray format = QImageReader::imageFormat(path).toLower();
    if (format == "jpeg" || format == "jpg")
        return QStringLiteral("JPG Image");
    if (format == "gif" || format == "png" || format == "bmp" || format == "webp")
        return QString::fromLatin1(format.toUpper()) + QStringLiteral(" Image");
    return {};
}
