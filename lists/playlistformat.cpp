#include "lists/playlistformat.h"

#include "core/listline.h"
#include "platform/base/vbrt.h"

#include <QByteArrayView>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

// The length of the valid UTF-8 sequence at p (its code point in cp), or 0.
int utf8Sequence(const unsigned char* p, qsizetype left, char32_t& cp)
{
    const unsigned char b = p[0];
    int n = 0;
    char32_t min = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        n = 2;
        cp = b & 0x1F;
        min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 3;
        cp = b & 0x0F;
        min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 4;
        cp = b & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (left < n)
        return 0;
    for (int i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return n;
}

// The bytes with every NUL left out.
QByteArray withoutNuls(QByteArray bytes)
{
    bytes.removeIf([](char c) { return c == '\0'; });
    return bytes;
}

} // namespace

QString DecodeListText(const QByteArray& bytes)
{
    if (QByteArrayView(bytes).isValidUtf8())
        return QString::fromUtf8(bytes);
    QString out;
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        if (p[i] < 0x80) {
            out += QChar(char16_t(p[i]));
            ++i;
            continue;
        }
        char32_t cp = 0;
        const int len = utf8Sequence(p + i, n - i, cp);
        if (len == 0) {
            out += QChar(char16_t(p[i])); // the byte as its Latin-1 character
            ++i;
            continue;
        }
        const char32_t one[1] = {cp};
        out += QString::fromUcs4(one, 1);
        i += len;
    }
    return out;
}

std::optional<PlaylistContent> ParsePlaylist(const QByteArray& bytes)
{
    const QString text = DecodeListText(bytes.contains('\0') ? withoutNuls(bytes) : bytes);
    PlaylistContent content;
    qsizetype start = 0;
    int lineNumber = 0;
    const qsizetype n = text.size();
    while (start < n) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = n;
        qsizetype stop = end;
        if (stop > start && text[stop - 1] == QLatin1Char('\r'))
            --stop;
        const QStringView line = QStringView(text).mid(start, stop - start);
        start = end + 1;
        ++lineNumber;
        if (lineNumber <= 8) {
            content.header[static_cast<size_t>(lineNumber - 1)] = line.toString();
            if (lineNumber == 1) {
                if (const auto number = vb::toNumber(content.header[0])) {
                    const auto kind = vb::toInt16(*number);
                    if (!kind || *kind < 1 || *kind > 6)
                        return std::nullopt;
                    content.kind = *kind;
                }
            }
            continue;
        }
        // A line of blanks only is no row.
        if (std::all_of(line.begin(), line.end(), [](QChar c) { return c == u' '; }))
            continue;
        const QStringList parts = DecodeListLine(line);
        PlaylistRow row;
        bool tooLong = false;
        for (qsizetype c = 0; c < parts.size() && c < 5; ++c) {
            tooLong = tooLong || parts[c].size() > kPlaylistColumnLimit;
            row[static_cast<size_t>(c)] = parts[c];
        }
        if (tooLong) {
            ++content.skippedRows;
            continue;
        }
        content.rows.push_back(std::move(row));
    }
    return content;
}

std::optional<int32_t> PlaylistCurrentRow(const QString& line, int32_t rowCount)
{
    const auto number = vb::toNumber(line);
    if (!number || !std::isfinite(*number))
        return std::nullopt;
    const double rounded = vb::roundHalfEven(*number);
    if (rounded <= 0)
        return 0;
    if (rounded >= rowCount)
        return std::max(rowCount, 0);
    return static_cast<int32_t>(rounded);
}

std::optional<float> PlaylistDelay(const QString& line)
{
    QString t = vb::trim(line);
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0 || value > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(std::min(value, 300.0));
}

QString PlaylistOptions(const QString& line)
{
    QString options = line.left(6);
    while (options.size() < 6)
        options += QLatin1Char(' ');
    return options;
}

QString DelayText(float seconds)
{
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, seconds, std::chars_format::fixed);
    if (r.ec != std::errc())
        return QStringLiteral("0");
    return QString::fromLatin1(buffer, static_cast<qsizetype>(r.ptr - buffer));
}

QByteArray FormatPlaylist(int16_t kind, int32_t currentRow, float delay, const QString& options,
                          const std::vector<PlaylistRow>& rows)
{
    QString text;
    text.reserve(static_cast<qsizetype>(rows.size()) * 64 + 64);
    const QLatin1String crlf("\r\n");
    text += QString::number(kind) + crlf;
    text += QString::number(currentRow) + crlf;
    text += DelayText(delay) + crlf;
    text += options + crlf;
    for (int i = 0; i < 4; ++i)
        text += crlf;
    QStringList columns;
    for (const PlaylistRow& row : rows) {
        columns = QStringList(row.begin(), row.end());
        text += EncodeListLine(columns);
        text += crlf;
    }
    return text.toUtf8();
}
