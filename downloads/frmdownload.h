#pragma once

// The download options of one list: the six option digits of the list
// (Offline, play or download only, what an error does, removing a
// downloaded item, the path in the file name, overwriting) and the folder
// its items are downloaded to. Shown modally by the download set-up; OK
// keeps the choices, Cancel puts the digits back.

#include "core/skinnedbutton.h"
#include "platform/win/checkbox.h"
#include "platform/win/combobox.h"
#include "platform/win/controlarray.h"
#include "platform/win/controls.h"
#include "platform/win/form.h"
#include "platform/win/optionbutton.h"
#include "platform/win/textbox.h"

#include <QString>

#include <cstdint>

// The folder typed into the dialog as it is kept: "~" at the start is the
// home folder. nullopt for a folder that cannot be a download folder (not
// absolute, or holding a line break); "" stays "".
std::optional<QString> DownloadFolderText(const QString& typed);

class frmDownLoad : public platform::forms::Form {
public:
    frmDownLoad();

    // The list (1-6) whose options the dialog edits; set before it loads.
    int16_t DownloadListKind = 0;

    // 0 OK, 1 Cancel.
    void ApplyDownloadOptions(int16_t index);
    void BrowseDownloadDirectory();

    // The window hid itself after OK or Cancel.
    bool answered() const { return answered_; }

    platform::forms::ControlArray<platform::forms::Label> Label;
    platform::forms::ControlArray<platform::forms::PictureBox> BackGround2;
    platform::forms::ControlArray<platform::forms::OptionButton> Option0;
    platform::forms::ControlArray<platform::forms::OptionButton> Option1;
    platform::forms::ControlArray<platform::forms::OptionButton> Option2;
    platform::forms::ControlArray<platform::forms::ComboBox> Combo1;
    platform::forms::ControlArray<platform::forms::CheckBox> Check1;
    platform::forms::TextBox TxtSelectedDir;
    platform::forms::ControlArray<platform::forms::PictureBox> cmdButton1;
    platform::forms::ControlArray<platform::forms::Label> cmdCaption;
    // The browse button (one element).
    platform::forms::ControlArray<platform::forms::PictureBox> cmdButton2;
    platform::forms::ControlArray<platform::forms::Image> XPSepLine;

private:
    void Form_Load();
    // "Offline" stands apart from every other choice.
    void clearOffline();
    void setDigit(int16_t position, int value);

    QString SavedDownloadOptions;
    platform::forms::ControlArray<platform::forms::Label> noCaptions_;
    SkinnedButtonFamily buttons_;
    SkinnedButtonFamily browse_;
    bool answered_ = false;
};
