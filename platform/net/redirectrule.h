#pragma once

// Which redirects a download follows. A site may send its answer elsewhere,
// but an address that is not on this machine may not send the download to
// one that is: that would have the downloader ask the user's own local
// services and save their answers. Redirects between addresses of one kind,
// and to private networks, are followed as browsers follow them.

#include <QString>
#include <QUrl>

namespace platform::net {

// True when host names this machine by its own name or address:
// "localhost" (and names below it), 127.0.0.0/8 in any form the resolver
// reads (127.1, 2130706433, 0x7f.1), ::1, IPv4 loopback mapped into IPv6,
// and the unspecified addresses 0.0.0.0 and ::.
bool IsLoopbackHost(const QString& host);

// Why the redirect from one address to the next is refused; "" when it is
// followed.
QString RedirectRefusal(const QUrl& from, const QUrl& to);

} // namespace platform::net
