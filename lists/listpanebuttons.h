#pragma once

// The side pane's fifteen buttons under the user's hands: the hover and
// pressed pictures, the commands that run on the press (the playlist menu,
// the change of list, one move of the selected rows) and those that run on
// a release over the button (the list kind's commands of buttons 2-9, the
// sort, remove and clear).

#include <cstdint>
#include <functional>
#include <memory>

class frmExplorer;
class ListOperations;
class ListPaneDisplay;
class ServiceSet;

namespace platform {
class HoldRepeat;
class RepeatTimer;
} // namespace platform

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

    // A held Move button repeats.
    bool Repeating() const;
    // Seams for tests: the hold loop's ticks, and whether the pointer is
    // on a button (the screen's pointer by default).
    void setRepeatTimer(std::unique_ptr<platform::RepeatTimer> timer);
    std::function<bool(int index)> pointerOver;

private:
    frmExplorer& w_;
    ServiceSet& services_;
    ListPaneDisplay& display_;
    ListOperations& ops_;
    std::unique_ptr<platform::HoldRepeat> hold_;
};
