#include "platform/media/medialayer.h"

#include "platform/media/mastervolume.h"
#include "platform/media/mci.h"

namespace platform::media {

MediaLayer makeMediaLayer()
{
    auto mci = std::make_unique<Mci>();
    // Without a card the volume is the program's own, over its players.
    auto mixer = std::make_unique<MasterVolume>([players = mci.get()](double fraction) {
        players->setAppVolume(fraction);
    });
    MediaLayer layer;
    layer.mci = std::move(mci);
    layer.mixer = std::move(mixer);
    return layer;
}

} // namespace platform::media

extern "C" void z5MakeMediaLayer(platform::media::MediaLayer* out)
{
    if (out)
        *out = platform::media::makeMediaLayer();
}
