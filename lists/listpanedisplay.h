#pragma once

// The side pane's display: its six list views and fourteen loaded buttons
// made on first use and unloaded when the pane hides with every list
// empty; the current list kind brought forward with its name, pictures,
// tooltips and buttons; the buttons' pictures and enabled states; the
// current row shown; the sort toggle; the first column fitted to each list;
// the pane's count labels; and hiding the address drop-down.

#include <QColor>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class frmExplorer;
class ListStores;
class ServiceSet;

namespace platform::forms {
class ListView;
}

// A skin colour string ("&H" hexadecimal in blue-green-red order, or a
// decimal number) as a colour; nullopt when it is no number.
std::optional<QColor> ListColorFromText(const QString& text);

class ListPaneDisplay {
public:
    ListPaneDisplay(frmExplorer& window, ServiceSet& services, ListStores& stores);

    void ShowCurrentList();
    void InitListPaneToolbar();
    void HideListPaneControls();
    // cmdPLControl(button) shows its picture for the state: 0 normal,
    // 1 hover, 2 pressed, 3 disabled.
    void SetListButtonPicture(int16_t button, int16_t state);
    void UpdatePlaylistButtons();
    void SelectCurrentListItem();
    void SortCurrentList();
    void HideAddressDropDown();
    // The first column of each list as wide as the list less room for a
    // vertical scroll bar when the list scrolls.
    void SizeListColumns();
    // The current list's count and selected row in APPLabel(0) and (1).
    void ShowListCount(bool showSelectedPath);

    // The list view of a kind while the pane's lists exist; nullptr else.
    platform::forms::ListView* listView(int kind) const;

    // Told of each list as the pane makes it.
    std::function<void(int kind, platform::forms::ListView& list)> listLoaded;

private:
    frmExplorer& w_;
    ServiceSet& services_;
    ListStores& stores_;
};
