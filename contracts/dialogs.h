#pragma once

// What the other subsystems ask of the preferences and dialogs.

#include <cstdint>

class IDialogsService {
public:
    virtual ~IDialogsService() = default;
    virtual const char* implementationName() const = 0;

    // Writes the content-filter list and its start-up code.
    virtual void SaveContentList() = 0;
    // The preferences window, modal.
    virtual void ShowReferences() = 0;
    // The input dialog in DialogMode mode, modal; listIndex for the modes
    // that add a row to a list.
    virtual void ShowInputDialog(int16_t mode, int16_t listIndex) = 0;
};
