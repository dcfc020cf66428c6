#include "browsing/browserarray.h"

BrowserArray::BrowserArray(platform::forms::Form& form, platform::forms::Control* container)
    : WBMAIN_(form, QStringLiteral("WBMAIN"), container), WBBACK_(form, QStringLiteral("WBBACK"), container)
{
    WBMAIN_.create(0);
    if (auto* catcher = WBBACK_.create(0)) {
        catcher->setVisible(false);
        catcher->setSilent(true);
    }
}

IBrowser* BrowserArray::loadBrowser(int index)
{
    return WBMAIN_.load(index);
}

bool BrowserArray::unloadBrowser(int index)
{
    return index > 0 && WBMAIN_.unload(index);
}

IBrowser* BrowserArray::browser(int index) const
{
    return WBMAIN_.at(index);
}

IBrowser* BrowserArray::popupCatcher()
{
    return WBBACK_.at(0);
}
