#pragma once

// Small real pictures for page items: a GIF written by hand (Qt reads GIF
// but does not write it), every other format through QImage.

#include <QBuffer>
#include <QByteArray>
#include <QImage>

namespace dltest {

// A 1 x 1 GIF of that colour.
inline QByteArray gifPicture(QRgb colour)
{
    QByteArray b("GIF89a\x01\x00\x01\x00\x80\x00\x00", 13);
    b += char(qRed(colour));
    b += char(qGreen(colour));
    b += char(qBlue(colour));
    b += QByteArray("\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;", 22);
    return b;
}

// A 7 x 5 picture of that colour in format ("GIF", "JPG", "PNG", "BMP").
inline QByteArray picture(const char* format, QRgb colour)
{
    if (QByteArray(format) == "GIF")
        return gifPicture(colour);
    QImage image(7, 5, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

} // namespace dltest
