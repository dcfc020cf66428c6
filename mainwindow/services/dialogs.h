#pragma once

// What the main window asks of the preferences and dialogs.

class IDialogsService {
public:
    virtual ~IDialogsService() = default;
    virtual const char* implementationName() const = 0;

    virtual void SaveContentList() = 0;
};
