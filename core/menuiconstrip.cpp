#include "core/menuiconstrip.h"

#include "skinlib/art/menuicons.h"

std::shared_ptr<platform::forms::ImageList> MenuIconStrip()
{
    static const std::shared_ptr<platform::forms::ImageList> strip = [] {
        auto list = std::make_shared<platform::forms::ImageList>(skinart::kMenuIconSize, skinart::kMenuIconSize);
        for (int n = 1; n <= skinart::kMenuIconCount; ++n)
            list->add(skinart::drawMenuIcon(n));
        return list;
    }();
    return strip;
}
