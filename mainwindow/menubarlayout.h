#pragma once

// The menu row (captions on the top-left pieces) and the navigation and
// address row beside it, and the text colour bar of the Bottom Bar.

class frmExplorer;

// Menu-row pictures and the Menu show/hide button, then LayoutAddressRow.
void LayoutMenuBar(frmExplorer& f);
// Horizontal layout of the navigation buttons and the address holder.
void LayoutAddressRow(frmExplorer& f);
void ShowTextColorBar(frmExplorer& f);
void HideTextColorBar(frmExplorer& f);
