#include "core/imageinfo.h"

#include "platform/base/paths.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <optional>
#include <initializer_list>
#include <utility>

namespace {

constexpr int kHeadSize = 65536;
// The marker walk stops here, so that a frame header read at the position
// of the marker plus 8 stays inside the window.
constexpr int kWalkLimit = 65525;

// The header window: the file's first bytes, zeros after them.
class Head {
public:
    explicit Head(const QByteArray& bytes)
        : m_bytes(bytes)
        , m_size(static_cast<int>(std::min<qsizetype>(bytes.size(), kHeadSize)))
    {
    }
    int operator[](int i) const { return i < m_size ? static_cast<uint8_t>(m_bytes[i]) : 0; }
    // Past this position the window holds only zeros.
    int size() const { return m_size; }

private:
    const QByteArray& m_bytes;
    int m_size;
};

std::optional<int16_t> fit16(int value)
{
    if (value > 32767)
        return std::nullopt;
    return static_cast<int16_t>(value);
}

bool isStartOfFrame(int m)
{
    return (m >= 192 && m <= 195) || (m >= 197 && m <= 199) || (m >= 201 && m <= 203) || (m >= 205 && m <= 207);
}

// Position of the first FF D8 FF in the window, or -1.
int findStartOfImage(const Head& b)
{
    for (int i = 0; i + 2 < b.size(); ++i)
        if (b[i] == 255 && b[i + 1] == 216 && b[i + 2] == 255)
            return i;
    return -1;
}

// PNG colour type to bits per pixel; nullopt for a type not known.
std::optional<int> pngDepth(int colourType, int bitDepth)
{
    switch (colourType) {
    case 0: return bitDepth;
    case 2: return 3 * bitDepth;
    case 3: return 8;
    case 4: return 2 * bitDepth;
    case 6: return 4 * bitDepth;
    default: return std::nullopt;
    }
}

} // namespace

void clsGetInfo::GetImageFileInfo()
{
    HasInfo = false;
    // Only a regular file is opened: a pipe or device would block the read.
    const QString local = platform::paths::toLocal(FileName);
    if (!QFileInfo(local).isFile())
        return;
    QFile f(local);
    if (!f.open(QIODevice::ReadOnly))
        return;
    const QByteArray head = f.read(kHeadSize);
    f.close();
    ReadHeaderBytes(head);
}

void clsGetInfo::ReadHeaderBytes(const QByteArray& bytes)
{
    HasInfo = false;
    const Head b(bytes);
    // Stores the values in the given order; false at the first that
    // overflows, with the earlier ones kept (a value too big for 16 bits
    // ended the old procedure at that assignment).
    const auto store = [](std::initializer_list<std::pair<int16_t*, int>> values) {
        for (const auto& [field, value] : values) {
            const std::optional<int16_t> v = fit16(value);
            if (!v)
                return false;
            *field = *v;
        }
        return true;
    };
    const auto finish = [this](bool stored) { HasInfo = stored; };

    if (b[0] == 'G' && b[1] == 'I' && b[2] == 'F') {
        finish(store({{&Width, b[6] + 256 * b[7]}, {&Height, b[8] + 256 * b[9]}, {&Depth, (b[10] & 7) + 1}}));
        return;
    }
    if (b[0] == 'B' && b[1] == 'M') {
        finish(store({{&Width, b[18] + 256 * b[19]}, {&Height, b[22] + 256 * b[23]}, {&Depth, b[28]}}));
        return;
    }
    if (b[0] == 137 && b[1] == 'P' && b[2] == 'N') {
        if (const std::optional<int> depth = pngDepth(b[25], b[24])) {
            finish(store({{&Width, 256 * b[18] + b[19]}, {&Height, 256 * b[22] + b[23]}, {&Depth, *depth}}));
            return;
        }
    }
    const int soi = findStartOfImage(b);
    if (soi < 0)
        return;
    int q = soi + 2;
    // Zeros hold no marker: the walk ends where the bytes read end.
    while (q < kWalkLimit && q < b.size()) {
        if (b[q] != 255 || b[q + 1] == 255) {
            ++q;
            continue;
        }
        const int p = q + 1;
        const int m = b[p];
        if (isStartOfFrame(m)) {
            finish(store({{&Height, 256 * b[p + 4] + b[p + 5]}, {&Width, 256 * b[p + 6] + b[p + 7]}, {&Depth, 8 * b[p + 8]}}));
            return;
        }
        const int length = 256 * b[p + 1] + b[p + 2];
        // A segment length counts its own two bytes; anything shorter is
        // damage, and a zero length would never move the walk on.
        if (length < 2)
            return;
        q = p + 1 + length;
    }
}
