#pragma once

// Media files made at test time: a PCM WAV tone, a Motion-JPEG AVI of
// colour bars and marked pictures (GIF too) written here, a MIDI file
// written by hand, and the other formats encoded by gst-launch-1.0.

#include <QByteArray>
#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <vector>

namespace testmedia {

namespace detail {

inline void u32(QByteArray& b, quint32 v)
{
    char c[4];
    qToLittleEndian(v, c);
    b.append(c, 4);
}
inline void u16(QByteArray& b, quint16 v)
{
    char c[2];
    qToLittleEndian(v, c);
    b.append(c, 2);
}
inline QByteArray chunk(const char* id, const QByteArray& body)
{
    QByteArray out(id, 4);
    u32(out, static_cast<quint32>(body.size()));
    out += body;
    if (body.size() % 2)
        out += '\0';
    return out;
}
inline QByteArray list(const char* type, const QByteArray& body)
{
    return chunk("LIST", QByteArray(type, 4) + body);
}
inline bool save(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace detail

// Qt reads GIF but does not write it: a GIF whose code stream is one
// byte a pixel (8-bit codes, a clear code often enough that they never
// grow): the picture's colour (its bottom right pixel) and white.
inline QByteArray gifBytes(const QImage& image)
{
    const auto le16 = [](QByteArray& b, int v) { b += char(v & 0xff), b += char((v >> 8) & 0xff); };
    QByteArray b("GIF89a");
    le16(b, image.width());
    le16(b, image.height());
    b += char(0xF6), b += char(0), b += char(0); // a table of 128 colours
    const QRgb colours[2] = {image.pixel(image.width() - 1, image.height() - 1), qRgb(255, 255, 255)};
    for (int i = 0; i < 128; ++i) {
        const QRgb c = colours[std::min(i, 1)];
        b += char(qRed(c)), b += char(qGreen(c)), b += char(qBlue(c));
    }
    b += char(0x2C);
    le16(b, 0), le16(b, 0), le16(b, image.width()), le16(b, image.height());
    b += char(0), b += char(7);
    QByteArray codes;
    int run = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (run++ % 100 == 0)
                codes += char(128);
            codes += char(image.pixel(x, y) == colours[1] ? 1 : 0);
        }
    codes += char(129);
    for (int i = 0; i < codes.size(); i += 255) {
        const QByteArray block = codes.mid(i, 255);
        b += char(block.size()) + block;
    }
    b += char(0), b += char(0x3B);
    return b;
}

struct MarkedPicture {
    const char* name;
    QColor colour;
    const char* format;
};
// Five pictures of five colours, one in each format the image viewer reads.
inline const MarkedPicture kSlidePictures[5] = {{"red.png", QColor(220, 20, 20), "PNG"},
                                                 {"green.jpg", QColor(20, 200, 20), "JPEG"},
                                                 {"blue.bmp", QColor(20, 20, 220), "BMP"},
                                                 {"yellow.gif", QColor(255, 255, 0), "GIF"},
                                                 {"cyan.tif", QColor(0, 200, 200), "TIFF"}};

// A picture of one colour with a white mark near its top left corner, in
// format ("PNG", "JPEG", "BMP", "GIF", "TIFF").
inline bool writeMarkedPicture(const QString& path, QColor colour, const char* format, QSize size = QSize(160, 120))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QPainter(&image).fillRect(2, 2, 12, 12, Qt::white);
    if (QByteArray(format) == "GIF")
        return detail::save(path, gifBytes(image));
    return image.save(path, format);
}

// A mono 16-bit tone of ms milliseconds at 22,050 Hz.
inline bool writeWav(const QString& path, int ms, double frequency = 440)
{
    using namespace detail;
    const int rate = 22050;
    const int samples = rate * ms / 1000;
    QByteArray data;
    data.reserve(samples * 2);
    for (int i = 0; i < samples; ++i)
        u16(data, static_cast<quint16>(static_cast<qint16>(8000 * std::sin(2 * M_PI * frequency * i / rate))));
    QByteArray fmt;
    u16(fmt, 1);
    u16(fmt, 1);
    u32(fmt, rate);
    u32(fmt, rate * 2);
    u16(fmt, 2);
    u16(fmt, 16);
    const QByteArray body = QByteArray("WAVE") + chunk("fmt ", fmt) + chunk("data", data);
    return save(path, chunk("RIFF", body));
}

// The colours of the bars, left to right.
inline std::vector<QColor> barColours()
{
    return {QColor(220, 30, 30), QColor(30, 200, 30), QColor(30, 30, 220), QColor(230, 230, 40)};
}

// A Motion-JPEG AVI of vertical colour bars, frames at fps.
inline bool writeBarsAvi(const QString& path, int width, int height, int frames, int fps = 10)
{
    using namespace detail;
    QImage image(width, height, QImage::Format_RGB32);
    {
        QPainter p(&image);
        const auto colours = barColours();
        const int n = static_cast<int>(colours.size());
        for (int i = 0; i < n; ++i)
            p.fillRect(width * i / n, 0, width * (i + 1) / n - width * i / n, height, colours[i]);
    }
    QByteArray jpeg;
    {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "JPG", 95))
            return false;
    }
    QByteArray avih;
    u32(avih, 1000000 / fps);
    u32(avih, static_cast<quint32>(jpeg.size() * fps));
    u32(avih, 0);
    u32(avih, 0x10);
    u32(avih, frames);
    u32(avih, 0);
    u32(avih, 1);
    u32(avih, static_cast<quint32>(jpeg.size() + 8));
    u32(avih, width);
    u32(avih, height);
    for (int i = 0; i < 4; ++i)
        u32(avih, 0);
    QByteArray strh("vidsMJPG", 8);
    u32(strh, 0);
    u16(strh, 0);
    u16(strh, 0);
    u32(strh, 0);
    u32(strh, 1);
    u32(strh, fps);
    u32(strh, 0);
    u32(strh, frames);
    u32(strh, static_cast<quint32>(jpeg.size() + 8));
    u32(strh, 0xFFFFFFFF);
    u32(strh, 0);
    u16(strh, 0);
    u16(strh, 0);
    u16(strh, static_cast<quint16>(width));
    u16(strh, static_cast<quint16>(height));
    QByteArray strf;
    u32(strf, 40);
    u32(strf, width);
    u32(strf, height);
    u16(strf, 1);
    u16(strf, 24);
    strf += QByteArray("MJPG", 4);
    u32(strf, width * height * 3);
    for (int i = 0; i < 4; ++i)
        u32(strf, 0);
    const QByteArray hdrl = list("hdrl", chunk("avih", avih) + list("strl", chunk("strh", strh) + chunk("strf", strf)));
    QByteArray movi;
    QByteArray idx;
    for (int i = 0; i < frames; ++i) {
        const quint32 offset = static_cast<quint32>(4 + movi.size());
        movi += chunk("00dc", jpeg);
        idx += QByteArray("00dc", 4);
        u32(idx, 0x10);
        u32(idx, offset);
        u32(idx, static_cast<quint32>(jpeg.size()));
    }
    const QByteArray body = QByteArray("AVI ") + hdrl + list("movi", movi) + chunk("idx1", idx);
    return save(path, chunk("RIFF", body));
}

// A one-track MIDI file: a few notes of the piano.
inline bool writeMidi(const QString& path)
{
    QByteArray track;
    for (int note : {60, 64, 67, 72}) {
        track += QByteArray::fromHex("00");
        track += static_cast<char>(0x90);
        track += static_cast<char>(note);
        track += static_cast<char>(0x60);
        track += QByteArray::fromHex("8140"); // 192 ticks
        track += static_cast<char>(0x80);
        track += static_cast<char>(note);
        track += static_cast<char>(0x40);
    }
    track += QByteArray::fromHex("00FF2F00");
    QByteArray out = QByteArray::fromHex("4D546864000000060000000100C0"); // format 0, 1 track, 192 per quarter
    out += QByteArray("MTrk", 4);
    char len[4];
    qToBigEndian(static_cast<quint32>(track.size()), len);
    out.append(len, 4);
    out += track;
    return detail::save(path, out);
}

// gst-launch-1.0 with the pipeline's words, ending in a file sink at path;
// false when the tool is missing or the pipeline fails.
inline bool gstEncode(const QString& path, const QString& pipeline)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("gst-launch-1.0"));
    if (tool.isEmpty())
        return false;
    QProcess p;
    QStringList args{QStringLiteral("-q")};
    args += pipeline.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    args << QStringLiteral("!") << QStringLiteral("filesink") << (QStringLiteral("location=") + path);
    p.start(tool, args);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0
           && QFile(path).size() > 0;
}

} // namespace testmedia
