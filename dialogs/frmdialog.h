#pragma once

// The input dialog: one small modal window for five questions, chosen by
// DialogMode before it loads: 1 open an address or a file, 2 a folder whose
// files go to a list, 3 addresses typed into list DialogListIndex, 4 the
// name and folder of a favorite, 5 the name and comment of a web snippet.
// The answers stay in DialogCancelled, DialogUrl, DialogStrings and the
// remembered folders after the window has gone.

#include "core/skinnedbutton.h"
#include "platform/win/checkbox.h"
#include "platform/win/controlarray.h"
#include "platform/win/controls.h"
#include "platform/win/form.h"
#include "platform/win/textbox.h"

#include <QString>

#include <array>
#include <cstdint>

class ServiceSet;

// The page that opens an address as a web folder: the address
// JSON-encoded into its one script and HTML-escaped into its markup.
QString WebFolderPageHtml(const QString& url);
// The text of an address for a script string: quotes, backslashes, "<",
// ">", "&", control and line-separator characters as \u escapes.
QString ScriptStringLiteral(const QString& text);

// A sub-folder name of the Favorites folder as a path below it; "" when the
// name leaves it (".." or a link that points outside).
QString FolderBelow(const QString& root, const QString& subFolder);

class frmDialog : public platform::forms::Form {
public:
    // lastFolders: the remembered folders (0 the transfer slot, 7 the Open
    // dialog's and the favorite folder's, 1-8 kept in the settings).
    frmDialog(ServiceSet& services, std::array<QString, 9>& lastFolders);

    // The mode's answer for button 0 (OK or Add) or 1 (Cancel or Close).
    void DialogButtonPressed(int16_t index);
    void DialogBrowsePressed();
    // Writes the web-folder page for url; its path.
    QString BuildWebFolderPage(const QString& url);
    void SetDialogOKEnabled(bool enabled);

    // The window hid itself with an answer (every mode but a kept-open 3
    // or 5).
    bool answered() const { return answered_; }

    platform::forms::ControlArray<platform::forms::Label> Label1;
    platform::forms::ControlArray<platform::forms::TextBox> Text1;
    platform::forms::CheckBox Check1;
    platform::forms::ControlArray<platform::forms::PictureBox> cmdButton1;
    platform::forms::ControlArray<platform::forms::Label> cmdCaption;
    // The browse button (one element).
    platform::forms::ControlArray<platform::forms::PictureBox> cmdButton2;
    platform::forms::ControlArray<platform::forms::Image> XPSepLine;

private:
    void Form_Load();
    void layoutTwoRows();
    void finish();
    void openAnswer();
    void folderAnswer();
    void addressAnswer();
    void favoriteAnswer();
    void snippetAnswer();

    ServiceSet& services_;
    std::array<QString, 9>& lastFolders_;
    platform::forms::ControlArray<platform::forms::Label> noCaptions_;
    SkinnedButtonFamily buttons_;
    SkinnedButtonFamily browse_;
    bool answered_ = false;
    bool enterPressed_ = false; // Enter went down in a box
};
