#pragma once

// The about box: the program's version and build on a window that closes
// on a click, with an image button that shows only when the menu opens it.

#include "platform/win/controlarray.h"
#include "platform/win/controls.h"
#include "platform/win/form.h"

class frmSplash : public platform::forms::Form {
public:
    frmSplash();

    // Label(0) the program's name, Label(1) the version, Label(2) the build.
    platform::forms::ControlArray<platform::forms::Label> Label;
    platform::forms::ControlArray<platform::forms::Image> DisplayImage;
    platform::forms::Image cmdOK;

    // The pointer is over cmdOK.
    bool Hovering = false;

private:
    void Form_Initialize();
    void Form_Load();
};

// The menu's About command: cmdOK made visible, then the box shown modally.
// Asked for through the prompt seam (kind "about").
void ShowAboutBox();
