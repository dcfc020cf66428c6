#include "platform/win/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QStringList>

namespace platform::clipboard {

namespace {

// Registered names in the order of their numbers.
QStringList& registeredNames()
{
    static QStringList names;
    return names;
}

QString mimeTypeOfName(const QString& name)
{
    if (name.compare(QLatin1String("HTML Format"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("text/html");
    if (name.compare(QLatin1String("Rich Text Format"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("text/rtf");
    if (name.contains(QLatin1Char('/')))
        return name.toLower();
    return QStringLiteral("application/x-qt-windows-mime;value=\"") + name + QLatin1Char('"');
}

} // namespace

uint32_t registerFormat(const QString& name)
{
    if (name.isEmpty())
        return 0;
    QStringList& names = registeredNames();
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (names[i].compare(name, Qt::CaseInsensitive) == 0)
            return FirstRegistered + uint32_t(i);
    }
    if (FirstRegistered + uint32_t(names.size()) > 0xFFFF)
        return 0;
    names.append(name);
    return FirstRegistered + uint32_t(names.size() - 1);
}

QString mimeTypeOf(uint32_t format)
{
    if (format == Text || format == UnicodeText)
        return QStringLiteral("text/plain");
    const QStringList& names = registeredNames();
    if (format < FirstRegistered || format - FirstRegistered >= uint32_t(names.size()))
        return QString();
    return mimeTypeOfName(names[qsizetype(format - FirstRegistered)]);
}

std::optional<QString> readText(uint32_t format)
{
    const QString mime = mimeTypeOf(format);
    if (mime.isEmpty() || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return std::nullopt;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return std::nullopt;
    if (mime == QLatin1String("text/plain"))
        return data->hasText() ? std::optional<QString>(data->text()) : std::nullopt;
    if (mime == QLatin1String("text/html"))
        return data->hasHtml() ? std::optional<QString>(data->html()) : std::nullopt;
    if (!data->hasFormat(mime))
        return std::nullopt;
    return QString::fromLocal8Bit(data->data(mime));
}

} // namespace platform::clipboard
