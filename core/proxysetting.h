#pragma once

// The proxy of the program's settings ("Z5 Browser\Proxy"), read in one
// place for every program: the browser's process proxy, its background
// fetcher and the download manager.

#include <QString>
#include <QStringList>

// The values of "Z5 Browser\Proxy" as they are stored, but host names in
// the form the network layer takes (see ProxyHostForNetwork).
struct ProxySettingValues {
    QString Check1;     // "1": use the proxy servers
    QString Check3;     // "1": local addresses bypass the proxy
    QString Address[6]; // 1 http, 2 https, 3 ftp, 4 gopher, 5 socks
    QString Port[6];
    QString Exception;  // addresses that bypass the proxy, ";" separated
};

ProxySettingValues ReadProxySettingValues();

// A server, host name or host pattern as the user writes it, in the form
// the network layer takes: each dot-separated label that holds a letter
// outside ASCII in its ASCII form ("bücher.example" becomes
// "xn--bcher-kva.example"); a label without such a form stays as written.
QString ProxyHostForNetwork(const QString& text);
// The same for each entry of an exception list (separated by ";" or
// blanks, which stay as they are).
QString ProxyExceptionsForNetwork(const QString& text);

// The HTTP proxy the programs' own fetches use, with the exceptions and the
// working-offline state the browser's pages follow.
struct ProxySetting {
    bool enabled = false; // "Check1" read as the number 1
    QString host;         // "Address1", trimmed
    quint16 port = 0;     // "Port1" when it is 1..65535, else 0
    QStringList bypass;   // "Exception" tokens, and "<local>" when Check3 is "1"
    bool offline = false; // the user works offline: nothing goes out

    // True when a request of scheme ("http", "https") to host goes through
    // the proxy: one is set and the host is no exception.
    bool usedFor(const QString& scheme, const QString& host) const;
};
ProxySetting ReadProxySetting();

// True when the user's "work offline" value is set.
bool ReadWorkOffline();
