#pragma once

// The side pane's fifteen buttons under the user's hands: the hover and
// pressed pictures, the commands that run on the press (the playlist menu,
// the change of list, one move of the selected rows) and those that run on
// a release over the button (the list kind's commands of buttons 2-9, the
// sort, remove and clear).

#include <cstdint>

class frmExplorer;
class ListOperations;
class ListPaneDisplay;
class ServiceSet;

class ListPaneButtons {
public:
    ListPaneButtons(frmExplorer& window, ServiceSet& services, ListPaneDisplay& display, ListOperations& operations);
    ~ListPaneButtons();
    ListPaneButtons(const ListPaneButtons&) = delete;
    ListPaneButtons& operator=(const ListPaneButtons&) = delete;

    // x and y in twips within the button.
    void cmdPLControl_MouseMove(int index);
    void cmdPLControl_MouseDown(int index, int button);
    void cmdPLControl_MouseUp(int index, double x, double y);

    // The release command of button 2-9 for the list kind.
    void RunKindCommand(int button, int kind);

private:
    frmExplorer& w_;
    ServiceSet& services_;
    ListPaneDisplay& display_;
    ListOperations& ops_;
};
