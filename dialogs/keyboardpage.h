#pragma once

// The Keyboard Shortcuts page of the preferences window: what each function
// key F1 to F12 does. A key's record ("|0|17|", "|1|address|",
// "|2|program|", "|3|") lives in the browser's table, which the main window
// reads at every function-key press, and in the registry (the values "F1"
// to "F12" of "Z5 Browser\KeyBoard"). The page edits the record of the key
// chosen in its key box; saving writes that key alone, to both.

#include <QString>

#include <optional>

class frmReferences;

// A record read by its rule: the type between the first "|" and the next,
// the data up to the "|" after that. nullopt for text that is no record
// (no "|" at either place, a type that is not 0 to 3).
struct KeySlot {
    int type = 3;
    QString data;
};
std::optional<KeySlot> ReadKeySlot(const QString& record);

void CaptionKeyboardPage(frmReferences& f);
// The action box emptied and filled with the 18 built-in actions.
void FillKeyActions(frmReferences& f);
void WireKeyboardPage(frmReferences& f);

// Shows the record of the key chosen in the key box.
void ShowKeySlot(frmReferences& f);
// Puts a picked program into the program box (cancelling empties it).
void BrowseKeyProgram(frmReferences& f);
// The page's share of saving: the record built from the page replaces the
// chosen key's, in the registry and then in the table. Nothing is saved
// without a key, when the chosen kind has no data, or when the record is
// the one the key has. False when the store refused it.
bool SaveKeySlot(frmReferences& f);
// False when the record to save would hold a "|" in its data (a record has
// no escape for it); the user was told.
bool CheckKeySlot(frmReferences& f);

// The page's event rules.
void KeyBoard_ComboBox_Click(frmReferences& f, int index);
void KeyBoard_Option_Click(frmReferences& f, int index);
void KeyBoard_TextBox_Change(frmReferences& f, int index);
