#pragma once

// The program's menu icon strip: one image list shared by every menu, the
// wait window and the address drop-down, drawn once per process.

#include "platform/win/imagelist.h"

#include <memory>

std::shared_ptr<platform::forms::ImageList> MenuIconStrip();
