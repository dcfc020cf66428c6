#include "skinlib/clsresources.h"

#include "platform/base/com.h"
#include "skinlib/art/skinart.h"
#include "skinlib/skinstrings.h"

#include <QHash>
#include <QImage>

#include <atomic>

namespace {

std::atomic<int> g_live{0};

constexpr skinart::Skin kArt = skinart::Skin::Z5_SKIN_ART;
constexpr skinstrings::Table kStrings = skinstrings::Table::Z5_SKIN_ART;

void raiseNotFound(QObject* self, qint16 id)
{
    platform::com::raise(self, platform::com::ErrResourceNotFound,
                         QStringLiteral("Resource with identifier '") + QString::number(id)
                             + QStringLiteral("' not found"));
}

// Pictures are drawn once per process and handed out as shared copies.
std::optional<QImage> picture(int id)
{
    static QHash<int, QImage> cache;
    const auto it = cache.constFind(id);
    if (it != cache.constEnd())
        return *it;
    std::optional<QImage> img = skinart::drawSkinPicture(kArt, id);
    if (!img || img->isNull())
        return std::nullopt;
    cache.insert(id, *img);
    return img;
}

} // namespace

clsResources::clsResources() { ++g_live; }
clsResources::~clsResources() { --g_live; }

int clsResources::liveObjects() { return g_live.load(); }

QVariant clsResources::GetResourcePicture(qint16 ResourceIndex, qint16 restype)
{
    // Bitmaps are the only kind a skin holds.
    const auto img = restype == 0 ? picture(ResourceIndex) : std::nullopt;
    if (!img) {
        raiseNotFound(this, ResourceIndex);
        return QVariant();
    }
    return QVariant::fromValue(*img);
}

QVariant clsResources::GetResourceString(qint16 ResourceIndex)
{
    const auto s = skinstrings::lookup(kStrings, ResourceIndex);
    if (!s) {
        raiseNotFound(this, ResourceIndex);
        return QVariant();
    }
    return *s;
}
