#pragma once

// The preferences and dialogs of one window, served to the other
// subsystems as the dialogs service: the preferences window (built anew for
// each opening, shown modally over the main window, unloaded when it has
// hidden itself), the rewriting of the content-filter list and the input
// dialog.

#include "contracts/dialogs.h"

class frmExplorer;
class ServiceSet;

class DialogsService : public IDialogsService {
public:
    // The window's in-memory options are what the preferences show and
    // change; the window and the set outlive the service.
    DialogsService(frmExplorer& window, ServiceSet& services);

    const char* implementationName() const override { return "dialogs"; }
    // The browser's list (FilterList) written again: a new data file and code.
    void SaveContentList() override;
    void ShowReferences() override;
    // The input dialog in the mode, modal over the window. Asked through
    // the prompt seam (kind "input", the heading as title, the first box's
    // text): an answer's texts fill the boxes (for modes 1 and 2 the second
    // text "1" ticks the box; in mode 3 each text is one address added) and
    // press OK; a dialog its answer leaves open is cancelled.
    void ShowInputDialog(int16_t mode, int16_t listIndex) override;

private:
    frmExplorer& window_;
    ServiceSet& services_;
};
