#pragma once

// A large playlist written by the tests' own rule (not the program's
// encoder), with rows of every awkward kind.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace testenv {

// A list line as a playlist writes it, by this test's own rule: a column
// holding "," or starting with a quote inside quotes, its quotes doubled.
inline QString ownLine(const QStringList& columns)
{
    QStringList out;
    for (QString c : columns) {
        if (c.contains(QLatin1Char(',')) || c.startsWith(QLatin1Char('"')))
            c = QLatin1Char('"') + c.replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
        out << c;
    }
    return out.join(QLatin1Char(','));
}

// n rows of every awkward kind: commas, quotes, "%", non-ASCII names, empty
// columns, rows whose four sub-items are all empty.
inline QByteArray bigPlaylist(int n)
{
    QString text = QStringLiteral("1\r\n17\r\n2.5\r\n001000\r\n\r\n\r\n\r\n\r\n");
    for (int i = 0; i < n; ++i) {
        QStringList c;
        switch (i % 7) {
        case 0: c = {QStringLiteral("Ünïcødé ♫ %1.mp3").arg(i), QStringLiteral("/music/Ünïcødé ♫ %1.mp3").arg(i), "", "", ""}; break;
        case 1: c = {QStringLiteral("a, b (%1).mp3").arg(i), QStringLiteral("/m/a, b.mp3"), "http://ref/?a=1,2", "/dl", "text, more"}; break;
        case 2: c = {QStringLiteral("\"quoted\" %1").arg(i), "\"", "say \"hi\"", "", ""}; break;
        case 3: c = {QStringLiteral("100% %1.wav").arg(i), QStringLiteral("http://h/a%20b%2C.wav"), "", "", "%"}; break;
        case 4: c = {"", QStringLiteral("/m/%1.mp3").arg(i), "", "", ""}; break;
        case 5: c = {QStringLiteral("alone %1").arg(i), "", "", "", ""}; break;
        default: c = {QStringLiteral("tab\tin %1").arg(i), "x", "y", "z", "w"}; break;
        }
        text += ownLine(c) + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

} // namespace testenv
