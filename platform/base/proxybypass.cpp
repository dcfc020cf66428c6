#include "platform/base/proxybypass.h"

#include <QRegularExpression>

namespace platform::proxy {

QStringList splitBypassList(const QString& text)
{
    static const QRegularExpression separators(QStringLiteral("[\\s;]+"));
    return text.split(separators, Qt::SkipEmptyParts);
}

bool matchesBypass(const QStringList& bypass, const QString& scheme, const QString& host)
{
    for (const QString& token : bypass) {
        if (token.compare(QLatin1String("<local>"), Qt::CaseInsensitive) == 0) {
            if (!host.isEmpty() && !host.contains(QLatin1Char('.')) && !host.contains(QLatin1Char(':')))
                return true;
            continue;
        }
        const QString subject = token.contains(QLatin1String("://")) ? scheme + QLatin1String("://") + host : host;
        QString pattern = QRegularExpression::escape(token);
        pattern.replace(QLatin1String("\\*"), QLatin1String(".*"));
        const QRegularExpression re(QRegularExpression::anchoredPattern(pattern), QRegularExpression::CaseInsensitiveOption);
        if (re.match(subject).hasMatch())
            return true;
    }
    return false;
}

} // namespace platform::proxy
