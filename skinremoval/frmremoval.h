#pragma once

// The skin removal tool's window: the installed skins in a combo box, a
// Remove and a Close button and a message line. A skin other than the one
// the browser uses is unregistered through its library's own entry point and
// its library file deleted.

#include "core/skinnedbutton.h"
#include "platform/win/combobox.h"
#include "platform/win/controlarray.h"
#include "platform/win/controls.h"
#include "platform/win/form.h"

#include <cstdint>

class frmRemoval : public platform::forms::Form {
public:
    frmRemoval();

    // Fills the combo box with the skins of the browser's "\Skin\" folder,
    // in the order the folder gives them.
    void FillSkinList();
    // The buttons' action: 0 Remove, 1 Close; any other index does nothing.
    void RemovalButtonPressed(int16_t index);
    // Width and Height times RemovalScale; the position stays.
    static void ScaleRemovalControl(platform::forms::Control& control);

    platform::forms::ControlArray<platform::forms::Image> DisplayImage;
    platform::forms::ControlArray<platform::forms::Label> Label;
    platform::forms::ComboBox ComboBox;
    platform::forms::ControlArray<platform::forms::PictureBox> cmdButton1;
    platform::forms::ControlArray<platform::forms::Label> cmdCaption;
    SkinnedButtonFamily buttons;

private:
    void Form_Load();
    void ComboBox_Click();
    void RemoveChosenSkin();
    void ShowMessageLine(const char* key, const char* english);
};
