#include "downloads/fetchresultpage.h"

#include <QLocale>
#include <QUrl>

#include <algorithm>

QString FetchResultPageHtml(const QString& path)
{
    const QString src = path.isEmpty() ? QStringLiteral("file:///")
                                       : QString::fromLatin1(QUrl::fromLocalFile(path).toEncoded(QUrl::FullyEncoded));
    return QStringLiteral("<html><body bgcolor='#000000' topmargin='0' leftmargin='0'><p align='center'><img border='0' "
                          "src='")
        + QString(src).toHtmlEscaped().replace(QLatin1Char('\''), QLatin1String("&#39;")) + QStringLiteral("'></p></body></html>");
}

QString FetchInfoLine(int16_t slot, const QString& path, qint64 bytes, bool hasInfo, int height, int width, int depth)
{
    QString name;
    const int fetched = path.lastIndexOf(QLatin1String("~~~"));
    if (fetched >= 0) {
        name = path.mid(fetched + 3);
    } else {
        const int cut = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
        name = path.mid(cut + 1);
    }
    // "#,##0.00": thousands grouped by ",", two decimals, in every locale.
    QLocale c(QLocale::C);
    c.setNumberOptions(QLocale::DefaultNumberOptions);
    QString text = QStringLiteral(" %1: %2 - %3 KBytes")
                       .arg(slot + 1)
                       .arg(name, c.toString(static_cast<double>(bytes) / 1024.0, 'f', 2));
    if (hasInfo) {
        text += QStringLiteral(" - %1 * %2").arg(height).arg(width);
        if (depth > 0)
            text += QStringLiteral(" - %1 Bit").arg(depth);
    }
    return text;
}

QString FetchResultPagePath(const QString& tempPagePrefix, int16_t slot)
{
    return tempPagePrefix + QString::number(slot) + QStringLiteral("N.htm");
}
