// Arbitrary bytes as a playlist file: the reader must neither crash nor
// hang; what it accepts must hold a list kind of 1-6 and header values
// within their bounds, and rows written back from it must read back the
// same, line breaks in a column read as blanks.

#include "lists/playlistformat.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<PlaylistContent> content = ParsePlaylist(bytes);
    if (!content)
        return 0;
    if (content->kind && (*content->kind < 1 || *content->kind > 6))
        __builtin_trap();
    const int32_t rowCount = static_cast<int32_t>(content->rows.size());
    const std::optional<int32_t> current = PlaylistCurrentRow(content->header[1], rowCount);
    if (current && (*current < 0 || *current > rowCount))
        __builtin_trap();
    const std::optional<float> delay = PlaylistDelay(content->header[2]);
    if (delay && (!std::isfinite(*delay) || *delay < 0 || *delay > 300))
        __builtin_trap();
    const QString options = PlaylistOptions(content->header[3]);
    if (options.size() != 6)
        __builtin_trap();

    // What was read, written and read again, is the same list.
    const QByteArray written = FormatPlaylist(content->kind.value_or(1), current.value_or(0), delay.value_or(0),
                                              options, content->rows);
    const std::optional<PlaylistContent> again = ParsePlaylist(written);
    if (!again || again->kind.value_or(1) != content->kind.value_or(1))
        __builtin_trap();
    // Each column comes back as it was, a line break in it as a blank.
    if (again->rows.size() != content->rows.size())
        __builtin_trap();
    for (size_t r = 0; r < content->rows.size(); ++r) {
        for (size_t c = 0; c < 5; ++c) {
            QString expected = content->rows[r][c];
            expected.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
            if (again->rows[r][c] != expected)
                __builtin_trap();
        }
    }
    return 0;
}
