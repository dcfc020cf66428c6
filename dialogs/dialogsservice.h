#pragma once

// The preferences and dialogs of the browser, as the other subsystems ask
// for them: the preferences window (built anew for each opening, shown
// modally over the main window, unloaded when it has hidden itself) and the
// rewriting of the content-filter list.

#include "contracts/dialogs.h"
#include "contracts/standins.h"

struct MainSettings;

class DialogsService : public IDialogsService {
public:
    // options: the main window's in-memory options, which the preferences
    // show and change; they outlive the service.
    explicit DialogsService(MainSettings& options) : options_(options) {}

    const char* implementationName() const override { return "dialogs"; }
    // The browser's list (FilterList) written again: a new data file and code.
    void SaveContentList() override;
    void ShowReferences() override;
    // The input dialog is a window of its own, not yet part of the service.
    void ShowInputDialog(int16_t mode, int16_t listIndex) override { inputDialog_.ShowInputDialog(mode, listIndex); }

private:
    MainSettings& options_;
    StandInDialogs inputDialog_;
};
