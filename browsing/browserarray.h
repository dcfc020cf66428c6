#pragma once

// The real browsers of the tabs: the control array WBMAIN on a form, with
// WBMAIN(0) created with the window, and the hidden popup catcher WBBACK(0).

#include "browsing/tabbrowsing.h"
#include "platform/web/browser.h"
#include "platform/win/controlarray.h"

class BrowserArray : public IBrowserHost {
public:
    BrowserArray(platform::forms::Form& form, platform::forms::Control* container = nullptr);

    IBrowser* loadBrowser(int index) override;
    bool unloadBrowser(int index) override;
    IBrowser* browser(int index) const override;
    IBrowser* popupCatcher() override;

    platform::browser::Browser* control(int index) const { return WBMAIN_.at(index); }
    int loadedCount() const { return WBMAIN_.count(); }

private:
    platform::forms::ControlArray<platform::browser::Browser> WBMAIN_;
    platform::forms::ControlArray<platform::browser::Browser> WBBACK_;
};
