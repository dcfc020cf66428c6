// Arbitrary text as a list line and as columns: decoding must neither crash
// nor hang, and columns written as a line read back as they were, each line
// break as one blank, the number of columns kept.

#include "core/listline.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    // As a line read from a list file.
    const QStringList read = DecodeListLine(text);
    if (read.isEmpty() || read.size() > text.count(QLatin1Char(',')) + 1)
        __builtin_trap();

    // As columns (split at NUL) written into a line.
    const QStringList columns = text.split(QChar(0));
    const QString line = EncodeListLine(columns);
    if (line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n')))
        __builtin_trap();
    QStringList expected;
    for (QString c : columns) {
        c.replace(QLatin1String("\r\n"), QLatin1String(" "));
        c.replace(QLatin1Char('\r'), QLatin1Char(' '));
        c.replace(QLatin1Char('\n'), QLatin1Char(' '));
        expected << c;
    }
    if (DecodeListLine(line) != expected)
        __builtin_trap();
    // A line read and written again reads the same.
    QStringList flat;
    for (QString c : read)
        flat << c.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (DecodeListLine(EncodeListLine(read)) != flat)
        __builtin_trap();
    return 0;
}
