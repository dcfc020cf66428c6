#include "platform/net/redirectrule.h"

#include <QHostAddress>

#include <arpa/inet.h>

namespace platform::net {

bool IsLoopbackHost(const QString& name)
{
    QString host = name.trimmed().toLower();
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    while (host.endsWith(QLatin1Char('.')))
        host.chop(1);
    if (host == QLatin1String("localhost") || host.endsWith(QLatin1String(".localhost")))
        return true;
    // The resolver's own reading of an IPv4 address, with its short and
    // numeric forms.
    in_addr v4{};
    if (!host.contains(QLatin1Char(':')) && ::inet_aton(host.toLatin1().constData(), &v4) != 0) {
        const quint32 address = ntohl(v4.s_addr);
        return (address >> 24) == 127 || address == 0;
    }
    const QHostAddress address(host);
    if (address.protocol() != QAbstractSocket::IPv6Protocol)
        return false;
    if (address.isLoopback() || address == QHostAddress(QHostAddress::AnyIPv6))
        return true;
    bool mapped = false;
    const quint32 v4mapped = address.toIPv4Address(&mapped);
    return mapped && ((v4mapped >> 24) == 127 || v4mapped == 0);
}

QString RedirectRefusal(const QUrl& from, const QUrl& to)
{
    if (!IsLoopbackHost(from.host()) && IsLoopbackHost(to.host()))
        return QStringLiteral("redirected from %1 to this machine (%2): refused").arg(from.host(), to.host());
    return {};
}

} // namespace platform::net
