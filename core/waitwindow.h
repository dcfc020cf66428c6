#pragma once

// The wait window: a small modeless window with a text and an icon, shown
// while a long operation runs.

#include "platform/win/controlarray.h"
#include "platform/win/controls.h"
#include "platform/win/form.h"
#include "platform/win/imagelist.h"

#include <QString>

#include <memory>

class frmMessage1 : public platform::forms::Form {
public:
    frmMessage1();

    QString Message() const { return Label1.caption(); }
    void setMessage(const QString& text) { Label1.setCaption(text); }

    platform::forms::Label Label1;
    platform::forms::ControlArray<platform::forms::Image> DisplayImage;
    // The menu icon strip (shared: it stays with a menu that holds it after
    // this window has gone).
    std::shared_ptr<platform::forms::ImageList> MenuImgList;

private:
    void Form_Load();
};

// True: creates the window when needed, shows it modeless with the text and
// sets the busy pointer. False: restores the normal pointer and unloads the
// window (harmless when none is shown).
void ShowWaitWindow(bool show, const QString& text);

// The wait window while it is shown, or nullptr.
frmMessage1* WaitWindow();
