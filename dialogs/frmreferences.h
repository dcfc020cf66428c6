#pragma once

// The preferences window: seven pages (General, Start Pages, Quick Launch,
// Keyboard Shortcuts, Proxy Settings, Content, Clean Up) in picture-box
// containers, a page list on the left and the OK, Cancel and Apply buttons.
// The window is the frame: it builds and places the controls, fills the
// pages, switches and highlights them, runs the actions of its skinned
// buttons and keeps Apply's state. What each page shows and saves lives in
// the page modules (optionpages, keyboardpage, proxypage, contentpage).
//
// Each opening builds a new window, which reads the current values again;
// the caller shows it modally and unloads it when it has hidden itself.

#include "core/contentfilter.h"
#include "core/mainsettings.h"
#include "core/skinnedbutton.h"
#include "dialogs/settingwrites.h"
#include "platform/win/checkbox.h"
#include "platform/win/combobox.h"
#include "platform/win/controlarray.h"
#include "platform/win/controls.h"
#include "platform/win/form.h"
#include "platform/win/listview.h"
#include "platform/win/optionbutton.h"
#include "platform/win/textbox.h"

#include <QList>

#include <cstdint>
#include <memory>

// The pages, in the order of the page list.
enum ReferencesPage : int16_t {
    PageGeneral = 0,
    PageStartPages = 1,
    PageQuickLaunch = 2,
    PageKeyboard = 3,
    PageProxy = 4,
    PageContent = 5,
    PageCleanUp = 6,
};

class frmReferences : public platform::forms::Form {
    MainSettings& options_;

public:
    // options: the browser's in-memory options, which the General page shows
    // and writes (GeneralOptionBytes, UnreachableTimeout) and the keyboard
    // page's table (KeyMap); they outlive the window.
    explicit frmReferences(MainSettings& options);
    ~frmReferences() override;

    MainSettings& options() const { return options_; }

    // ---- The frame ----
    void Form_Load();
    void cmdTab_Click(int index);
    void cmdTab_MouseMove(int index, int button, int shift, double x, double y);
    void Form_BackGround_MouseMove(int button, int shift, double x, double y);
    // Apply (the button and its caption) on or off.
    void SetApplyEnabled(bool flag);
    bool ApplyEnabled() const;
    // The actions of the three skinned button arrays.
    void OptionsButtonPressed(int index);
    void OptionsBrowsePressed(int index);
    void OptionsUseCurrentPressed(int index);

    // The page shown (0 when the window is made; changed by the page list).
    int16_t CurrentPage = PageGeneral;
    // The pages shown since the window opened: a page the user never saw is
    // saved as it was filled, never refused for a value it was filled with.
    bool PageShown[7] = {true, false, false, false, false, false, false};

    // The settings the pages write, each with the value it was filled with.
    SettingWrites Settings;

    // ---- Controls of the frame ----
    std::unique_ptr<platform::forms::Label> Form_BackGround;
    // The page list's place in the Tab order: it lies under the page names,
    // takes the focus, marks the current page while it has it, and its
    // arrow keys (Home, End) choose the page.
    std::unique_ptr<platform::forms::PictureBox> PageList;
    platform::forms::ControlArray<platform::forms::Label> cmdTab{*this, QStringLiteral("cmdTab")};
    platform::forms::ControlArray<platform::forms::Image> Image1{*this, QStringLiteral("Image1")};
    platform::forms::ControlArray<platform::forms::PictureBox> Frame{*this, QStringLiteral("Frame")};
    platform::forms::ControlArray<platform::forms::Label> Label{*this, QStringLiteral("Label")};
    platform::forms::ControlArray<platform::forms::Label> SLabel{*this, QStringLiteral("SLabel")};
    // 0 OK, 1 Cancel, 2 Apply; 3 Add, 4 Remove (Content); 5, 6 Use Default (Quick Launch).
    platform::forms::ControlArray<platform::forms::PictureBox> cmdButton1{*this, QStringLiteral("cmdButton1")};
    platform::forms::ControlArray<platform::forms::Label> cmdCaption{*this, QStringLiteral("cmdCaption")};
    // Browse: 0 Document Folder, 1 Email Program, 2 key program, 3 Group folder.
    platform::forms::ControlArray<platform::forms::PictureBox> cmdButton2{*this, QStringLiteral("cmdButton2")};
    // The current page's address: 0 Home Page, 1 Search Page, 2 key web site.
    platform::forms::ControlArray<platform::forms::PictureBox> cmdButton3{*this, QStringLiteral("cmdButton3")};

    // ---- Page 0, General ----
    platform::forms::ControlArray<platform::forms::CheckBox> General_CheckBox{*this, QStringLiteral("General_CheckBox")};
    std::unique_ptr<platform::forms::TextBox> General_TextBox;
    // ---- Page 1, Start Pages ----
    platform::forms::ControlArray<platform::forms::CheckBox> StartPages_CheckBox{*this, QStringLiteral("StartPages_CheckBox")};
    platform::forms::ControlArray<platform::forms::TextBox> StartPages_TextBox{*this, QStringLiteral("StartPages_TextBox")};
    // ---- Page 2, Quick Launch ----
    platform::forms::ControlArray<platform::forms::TextBox> QuickLaunch_TextBox{*this, QStringLiteral("QuickLaunch_TextBox")};
    // ---- Page 3, Keyboard Shortcuts ----
    // 0 the key (F1 to F12), 1 the built-in action.
    platform::forms::ControlArray<platform::forms::ComboBox> KeyBoard_ComboBox{*this, QStringLiteral("KeyBoard_ComboBox")};
    // The record's type: 0 Defined, 1 Open Web Site, 2 Launch Application, 3 Do Nothing.
    platform::forms::ControlArray<platform::forms::OptionButton> KeyBoard_Option{*this, QStringLiteral("KeyBoard_Option")};
    // 0 the web address, 1 the program.
    platform::forms::ControlArray<platform::forms::TextBox> KeyBoard_TextBox{*this, QStringLiteral("KeyBoard_TextBox")};
    // ---- Page 4, Proxy Settings ----
    // 0 use a proxy, 1 the same proxy for all protocols, 2 bypass local addresses.
    platform::forms::ControlArray<platform::forms::CheckBox> Proxy_CheckBox{*this, QStringLiteral("Proxy_CheckBox")};
    platform::forms::ControlArray<platform::forms::Label> Proxy_Label{*this, QStringLiteral("Proxy_Label")};
    // Address and port of HTTP (0, 1), Secure (2, 3), FTP (4, 5), Gopher (6, 7),
    // Socks (8, 9); 10 the exceptions.
    platform::forms::ControlArray<platform::forms::TextBox> Proxy_TextBox{*this, QStringLiteral("Proxy_TextBox")};
    // ---- Page 5, Content ----
    std::unique_ptr<platform::forms::ListView> Content_ListView;
    // 0 the site to add, 1 its password, 2 the password to remove an entry.
    platform::forms::ControlArray<platform::forms::TextBox> Content_TextBox{*this, QStringLiteral("Content_TextBox")};
    std::unique_ptr<platform::forms::CheckBox> Content_CheckBox;
    std::unique_ptr<platform::forms::Label> Content_Label;
    // The entries the list view shows, row for row: the passwords live here,
    // never in the list's text.
    QList<ContentFilterEntry> ContentEntries;
    // The entries as the window loaded or last saved them: the list is
    // written only when ContentEntries differs.
    QList<ContentFilterEntry> ContentEntriesSaved;
    // ---- Page 6, Clean Up ----
    platform::forms::ControlArray<platform::forms::CheckBox> Cleanup_CheckBox{*this, QStringLiteral("Cleanup_CheckBox")};
    std::unique_ptr<platform::forms::Label> Cleanup_LabelMessage;

    // cmdButton2 and cmdButton3 carry no captions.
    platform::forms::ControlArray<platform::forms::Label> cmdCaption2{*this, QStringLiteral("cmdCaption2")};
    platform::forms::ControlArray<platform::forms::Label> cmdCaption3{*this, QStringLiteral("cmdCaption3")};
    // The skinned buttons' handlers: one family per array.
    SkinnedButtonFamily Buttons1;
    SkinnedButtonFamily Buttons2;
    SkinnedButtonFamily Buttons3;

    // The page list's keys: Up and Left the page before, Down and Right the
    // page after, Home the first, End the last.
    void PageList_KeyDown(int keyCode, int shift);

private:
    void showPageListFocus();
    // The Tab order: the page list, each page's controls as laid out (top
    // to bottom, left to right), then OK, Cancel and Apply.
    void arrangeTabOrder();
    void createControls();
    void createPageControls();
    void wireEvents();
};
