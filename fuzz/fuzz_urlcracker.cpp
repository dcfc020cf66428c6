// Arbitrary text as an address: the cracker must neither crash nor hang,
// every part must fit its buffer, a failure must leave the parts alone, and
// the download file name must never name a folder or leave one.

#include "core/urlcracker.h"

#include <cstddef>
#include <cstdint>

namespace {

bool fits(const QString& part)
{
    return part.size() < 1024;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    clsWinInet cracker;
    if (!cracker.CrackUrl(QStringLiteral("http://before/file.txt")))
        __builtin_trap();
    for (const QString& url : {QString::fromUtf8(bytes), QString::fromLatin1(bytes)}) {
        const QString host = cracker.HostName();
        const QString path = cracker.URLPath();
        if (!cracker.CrackUrl(url)) {
            if (cracker.HostName() != host || cracker.URLPath() != path)
                __builtin_trap();
            continue;
        }
        if (!fits(cracker.HostName()) || !fits(cracker.URLPath()) || !fits(cracker.UserName()) ||
            !fits(cracker.Password()) || !fits(cracker.ExtraInfo()))
            __builtin_trap();
        const QString name = cracker.URLFileName();
        if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) || name == QLatin1String(".") ||
            name == QLatin1String(".."))
            __builtin_trap();
        if (cracker.Port() < 0 || cracker.Port() > 65535)
            __builtin_trap();
    }
    return 0;
}
