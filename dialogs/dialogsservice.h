#pragma once

// The preferences and dialogs of one window, served to the other
// subsystems as the dialogs service. So far the input dialog; the
// preferences window comes with its own work.

#include "contracts/partlybuilt.h"
#include "contracts/standins.h"

class frmExplorer;
class ServiceSet;

class DialogsService : public StandInDialogs, public PartlyBuilt {
public:
    DialogsService(frmExplorer& window, ServiceSet& services);

    const char* implementationName() const override { return "dialogs"; }
    QStringList MethodsNotBuiltYet() const override;

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
