#include "core/listline.h"

QString EncodeListLine(const QStringList& columns)
{
    QString line;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (i > 0)
            line += QLatin1Char(',');
        QString c = columns[i];
        c.replace(QLatin1String("\r\n"), QLatin1String(" "));
        c.replace(QLatin1Char('\r'), QLatin1Char(' '));
        c.replace(QLatin1Char('\n'), QLatin1Char(' '));
        if (c.contains(QLatin1Char(',')) || c.startsWith(QLatin1Char('"'))) {
            c.replace(QLatin1String("\""), QLatin1String("\"\""));
            line += QLatin1Char('"') + c + QLatin1Char('"');
        } else {
            line += c;
        }
    }
    return line;
}

QStringList DecodeListLine(QStringView line)
{
    // Whole runs between the quotes and commas are copied at once, so a
    // long column costs no more than its copy.
    QStringList columns;
    const qsizetype n = line.size();
    qsizetype i = 0;
    while (true) {
        QString current;
        if (i < n && line[i] == u'"') {
            ++i;
            while (i < n) {
                const qsizetype quote = line.indexOf(u'"', i);
                if (quote < 0) {
                    current += line.mid(i);
                    i = n;
                    break;
                }
                current += line.mid(i, quote - i);
                i = quote + 1;
                if (i < n && line[i] == u'"') {
                    current += u'"';
                    ++i;
                    continue;
                }
                break;
            }
            // Text between the closing quote and the next "," is kept as written.
        }
        qsizetype comma = line.indexOf(u',', i);
        if (comma < 0)
            comma = n;
        current += line.mid(i, comma - i);
        columns.append(current);
        if (comma >= n)
            break;
        i = comma + 1;
    }
    return columns;
}
