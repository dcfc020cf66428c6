#pragma once

// The play steps of the image, web-snippet and link lists: each shows the
// item (or, for images, the viewer page) at its list's current index, and
// pauses the list at its end. The callers choose the index.

#include <cstdint>

class frmExplorer;
class ServiceSet;
class ListStores;
class ListPaneDisplay;

class ListPlaySteps {
public:
    ListPlaySteps(frmExplorer& window, ServiceSet& services, ListStores& stores, ListPaneDisplay& display);

    // The viewer page that starts at the image list's current index.
    void ShowImageListItem();
    // The single image at the image list's current index.
    void NextImageListItem();
    void ShowSnippetListItem();
    void ShowLinkListItem();
    // Row index of the link list in the link list's viewer tab while it
    // plays, else in the current tab.
    void OpenLinkItem(int32_t index);

private:
    // The list holds no row: its count shown, the list paused.
    void endOfEmptyList(int16_t kind);
    // The index is past the last row: that row selected, the list paused.
    void endOfList(int16_t kind);
    // The snippet and link steps' start: true when the list has a row at
    // its index to show (the video closed first when it must).
    bool beginPageStep(int16_t kind);
    // The image list's row count; an empty list is ended first.
    int32_t imageRowsOrEnd();

    frmExplorer& w_;
    ServiceSet& services_;
    ListStores& stores_;
    ListPaneDisplay& display_;
};
