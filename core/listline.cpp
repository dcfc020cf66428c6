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

QStringList DecodeListLine(const QString& line)
{
    QStringList columns;
    QString current;
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (true) {
        current.clear();
        if (i < n && line[i] == QLatin1Char('"')) {
            ++i;
            while (i < n) {
                if (line[i] == QLatin1Char('"')) {
                    if (i + 1 < n && line[i + 1] == QLatin1Char('"')) {
                        current += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                current += line[i++];
            }
            // Text between the closing quote and the next "," is kept as written.
            while (i < n && line[i] != QLatin1Char(','))
                current += line[i++];
        } else {
            while (i < n && line[i] != QLatin1Char(','))
                current += line[i++];
        }
        columns.append(current);
        if (i >= n)
            break;
        ++i; // the ","
    }
    return columns;
}
