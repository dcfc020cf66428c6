#pragma once

// The exceptions of a proxy setting: the hosts that are reached directly.
// Each token is a host pattern ("*.example.com", "10.*"), optionally with
// its scheme ("http://intra"), or "<local>" for every plain name without a
// dot. Shared by the browser's proxy and the programs' own fetches, so all
// of them read the exceptions alike.

#include <QString>
#include <QStringList>

namespace platform::proxy {

// The tokens of an exception list, separated by blanks or ";".
QStringList splitBypassList(const QString& text);

// True when a request of scheme to host goes around the proxy.
bool matchesBypass(const QStringList& bypass, const QString& scheme, const QString& host);

} // namespace platform::proxy
