#pragma once

// The skinned message box: every message the browser shows goes through
// ShowMessage, which opens frmMessage2 modally with a text, one of four icons
// and one, two or three skinned push buttons.

#include "core/skinnedbutton.h"
#include "platform/win/controlarray.h"
#include "platform/win/controls.h"
#include "platform/win/form.h"

#include <QString>
#include <cstdint>

// Shows the text with buttons 1 ("OK"), 2 ("Yes", "No") or 3 ("Yes", "No",
// "Cancel") and picture type 0 to 3; returns 3 for the first button, 2 for
// the second, 1 for the third and 1 for any other way of closing. The window
// is asked for through the prompt seam (kind "message", the button captions
// as its choices); an answer from the seam other than 2 or 3 reads as 1.
// The answer is also left in DialogCancelled (core/globals.h).
int16_t ShowMessage(const QString& text, int16_t buttons, int16_t imageType);

class frmMessage2 : public platform::forms::Form {
public:
    frmMessage2();

    int16_t NumOfButtons() const { return numOfButtons_; }
    int16_t ImageType() const { return imageType_; }
    // The numbers are stored only when the value given is numeric.
    void setNumOfButtons(const QString& value);
    void setImageType(const QString& value);
    void setNumOfButtons(int16_t value) { numOfButtons_ = value; }
    void setImageType(int16_t value) { imageType_ = value; }
    void setMessage(const QString& text);

    // The action of a completed click: index 0 answers 3, 1 answers 2, 2
    // answers 1; then the window hides, which ends its modal show.
    void CloseMessageBox(int index);

    // The answer of this window: 1 until a button gives another.
    int16_t result() const { return result_; }

    platform::forms::ControlArray<platform::forms::Label> Label;
    platform::forms::ControlArray<platform::forms::Image> DisplayImage;
    platform::forms::ControlArray<platform::forms::PictureBox> cmdButton1;
    platform::forms::ControlArray<platform::forms::Label> cmdCaption;
    SkinnedButtonFamily buttons;

private:
    void Form_Load();
    void DisplayImage_Click(int index);

    int16_t numOfButtons_ = 0;
    int16_t imageType_ = 0;
    int16_t result_ = 1;
};
