// Arbitrary bytes as the head of an image file: the reader must neither
// crash nor hang, and what it reports must be plausible.

#include "core/imageinfo.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    clsGetInfo info;
    info.ReadHeaderBytes(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (info.HasInfo && (info.Width < 0 || info.Height < 0 || info.Depth < 0))
        __builtin_trap();
    // A second reading on the same object starts afresh.
    info.ReadHeaderBytes(QByteArray());
    if (info.HasInfo)
        __builtin_trap();
    return 0;
}
