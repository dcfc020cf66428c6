#pragma once

// What the main window asks of the lists pane, playlists and collections.

#include "mainwindow/services/layoutrect.h"

#include <QString>

#include <cstdint>

class IListsService {
public:
    virtual ~IListsService() = default;
    virtual const char* implementationName() const = 0;

    virtual void HideAddressDropDown() = 0;
    virtual void OpenGroupFolder(int16_t mode, const QString& folder) = 0;
    virtual void SelectCurrentListItem() = 0;
    virtual void SetListButtonPicture(int16_t button, int16_t state) = 0;
    virtual void ShowCurrentList() = 0;
    virtual void ShowListPane(bool keepRect, LayoutRect& rect) = 0;
    virtual void ShowSnippetListItem() = 0;
    virtual void ShowLinkListItem() = 0;
    virtual void StopAllFetches() = 0;
    // Width of column 1 of the address drop-down list.
    virtual void SetAddressDropDownColumnWidth(float twips) = 0;
};
