#include "platform/base/commandline.h"

#include <QCoreApplication>

#include <optional>

namespace platform::commandline {

namespace {

std::optional<QStringList>& keptArguments()
{
    static std::optional<QStringList> arguments;
    return arguments;
}

char programNameFallback[] = "program";

} // namespace

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
    if (const auto& kept = keptArguments())
        return joinArguments(*kept);
    QStringList args = QCoreApplication::arguments();
    if (!args.isEmpty())
        args.removeFirst();
    return joinArguments(args);
}

ApplicationArguments::ApplicationArguments(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    keptArguments() = arguments;
    argv_[0] = argc > 0 && argv[0] ? argv[0] : programNameFallback;
}

} // namespace platform::commandline
