#pragma once

// Splitting of an address into its parts with the old Internet library's
// rules: a scheme before the first ":", an authority after "//" holding
// user name, password, host and port, the path from the first "/" after it,
// and the extra information (query and fragment) from the first "?" or "#".
// Nothing is decoded or escaped; every part must fit a buffer of
// kUrlPartCapacity characters including its terminator.

#include <QString>

#include <cstdint>
#include <optional>

namespace platform::wininet {

// Scheme numbers as the old library numbered them.
enum class UrlScheme : int32_t {
    Unknown = -1,
    Default = 0,
    Ftp = 1,
    Gopher = 2,
    Http = 3,
    Https = 4,
    File = 5,
    News = 6,
    Mailto = 7,
    Socks = 8,
    JavaScript = 9,
    VbScript = 10,
    Res = 11,
};

inline constexpr int kUrlPartCapacity = 1024;

struct UrlParts {
    UrlScheme scheme = UrlScheme::Default;
    QString schemeName;
    QString hostName;
    int32_t port = 0; // the scheme's default port when none is written
    QString userName;
    QString password;
    QString urlPath;   // with its leading "/"
    QString extraInfo; // "?query#fragment", as written
};

// nullopt when the text is not an address: no scheme, an empty or malformed
// scheme, a port that is not a number from 0 to 65535, or a part too long
// for its buffer.
std::optional<UrlParts> crackUrl(const QString& url);

} // namespace platform::wininet
