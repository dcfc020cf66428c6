#include "platform/base/commandline.h"

#include <QCoreApplication>

namespace platform::commandline {

QString joinArguments(const QStringList& arguments)
{
    QStringList parts;
    for (const QString& a : arguments) {
        // An argument of blanks only stays blank text, as typed.
        const bool quote = a.contains(QLatin1Char(' ')) && !a.trimmed().isEmpty();
        parts << (quote ? QLatin1Char('"') + a + QLatin1Char('"') : a);
    }
    return parts.join(QLatin1Char(' '));
}

QString text()
{
    QStringList args = QCoreApplication::arguments();
    if (!args.isEmpty())
        args.removeFirst();
    return joinArguments(args);
}

} // namespace platform::commandline
