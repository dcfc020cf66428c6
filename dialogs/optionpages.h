#pragma once

// The General, Start Pages, Quick Launch and Clean Up pages of the
// preferences window, and the saving of every page: SaveOptionsPage writes
// one page (the keyboard, proxy and content pages through their modules),
// and the button row's OK, Apply and Cancel act on the pages.
//
// Settings are strings of the current user's "Keldo\Z5 Browser". The General
// page shows and writes the browser's in-memory options and keeps the
// registry in step with them.

#include <QString>

#include <cstdint>
#include <optional>

class frmReferences;

// The captions and the values of one of the pages 0, 1, 2 and 6 (any other
// page: nothing).
void CaptionOptionPage(frmReferences& f, int16_t page);
void FillOptionPage(frmReferences& f, int16_t page);
// Wires the change and focus events of these pages.
void WireOptionPages(frmReferences& f);

// Remembers what the pages hold once they are filled: saving writes only
// the values that differ from it.
void RememberPageSettings(frmReferences& f);
// Writes the values of page `page` (0 to 6; any other: nothing) that the
// user changed; the options in memory follow only what the store took.
// False when the store refused a value (noted for the window to tell) or
// the content list could not be saved (told already).
bool SaveOptionsPage(frmReferences& f, int16_t page);
// False when a page holds a value it must not save; the user was told why.
// Pages the user never saw are not checked, the time-out always is.
bool CheckOptionsPage(frmReferences& f, int16_t page);
// OK: every page checked, then saved in order, and the window hidden; when a
// check fails nothing is saved and the window stays; when a value cannot be
// stored the user is told and the window stays with his values.
void ApplyAllOptions(frmReferences& f);
// Apply: the page shown is checked and saved (the Clean Up page runs its
// clean-up now).
void ApplyCurrentPage(frmReferences& f);
// Cancel: the window is hidden, nothing is saved.
void CloseOptions(frmReferences& f);

// The group folder's and the Quick Launch pages' pickers.
void SelectStartGroup(frmReferences& f);
void BrowseQuickLaunch(frmReferences& f, int16_t index);

// The change handlers of these pages: each enables Apply.
void General_CheckBox_Click(frmReferences& f, int index);
void General_TextBox_Change(frmReferences& f);
void StartPages_CheckBox_Click(frmReferences& f, int index);
void StartPages_TextBox_Change(frmReferences& f, int index);
void QuickLaunch_TextBox_Change(frmReferences& f, int index);
void Cleanup_CheckBox_Click(frmReferences& f, int index);
// The focus handlers: the box's whole text is selected.
void StartPages_TextBox_GotFocus(frmReferences& f, int index);
void QuickLaunch_TextBox_GotFocus(frmReferences& f, int index);

// "STARTPAGE" taken apart: the two flags as their characters' numbers
// (nullopt for a character that is not a digit), the home address and the
// group folder.
struct StartPageParts {
    std::optional<int> homeFlag;
    std::optional<int> groupFlag;
    QString home;
    QString group;
};
StartPageParts SplitStartPage(const QString& value);
