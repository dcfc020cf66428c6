#pragma once

// What kind of picture a file's bytes are, told by reading them: only a
// picture the program can read, in one of the plain raster formats a page
// shows, has a type. The name a file was asked for under counts for nothing.

#include <QString>
#include <QStringList>

#include <optional>

struct ImageType {
    QString extension;        // "gif", "jpg", "png", "bmp", "webp"
    QStringList extensions;   // every extension the type goes by ("jpg", "jpeg")
};

// The type of the picture in the open file fd (read from its start), or
// nullopt when its bytes are no picture the program can read.
std::optional<ImageType> ReadImageType(int fd);

// The kind of picture the file at path holds, told by its first bytes and
// named as a page's image reports it: "JPG Image", "GIF Image", "PNG Image",
// "BMP Image", "WEBP Image"; empty when the bytes are none of these.
QString ReadImageMimeType(const QString& path);
