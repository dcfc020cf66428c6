#pragma once

// The Content page of the preferences window: the sites the browser never
// opens (an address that holds one of them, in any case, is cancelled),
// each with an optional password that protects it from removal. The list
// shows the sites only; the passwords stay beside its rows. Saving replaces
// the browser's list and its data file with its recorded length.

class frmReferences;

void CaptionContentPage(frmReferences& f);
void WireContentPage(frmReferences& f);

// The list filled from the browser's list (FilterList).
void LoadContentList(frmReferences& f);
// Add: the site of the first box, protected by the password box when "Protect
// with password" is ticked. A blank site only enables Apply; a site already
// listed (in any case) is refused (MESSAGE 9008); a "|" is refused.
void AddContentItem(frmReferences& f);
// Remove: the chosen entry, a protected one only with its password (blanks
// around it and letter case do not count; MESSAGE 9009 without one, 9010
// for a wrong one).
void RemoveContentItem(frmReferences& f);
// The page's share of saving: the browser's list, the data file and its
// code, only when the list differs from the one loaded or last saved.
// False when it could not be saved (the user was told).
bool SaveContentList(frmReferences& f);
// Remove (the button and its caption) on or off.
void SetRemoveEnabled(frmReferences& f, bool flag);

// A click on a row (1-based): the removal password is asked for only for a
// protected entry.
void Content_ListView_ItemClick(frmReferences& f, int index);
