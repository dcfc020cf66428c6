#pragma once

// The media layer made in this library: the interpreter over Qt Multimedia
// and the master volume (the card's, or the program's own over the
// interpreter's players). The program reaches it through the entry point
// below, loading this library on first use; tests and benches that link the
// library call makeMediaLayer directly.

#include "platform/base/mediainterfaces.h"

namespace platform::media {

MediaLayer makeMediaLayer();

} // namespace platform::media

extern "C" void z5MakeMediaLayer(platform::media::MediaLayer* out);
