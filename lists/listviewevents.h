#pragma once

// What the list controls do under the user's hands. On the six lists: a
// click makes the row the list's current item, a double click plays, shows
// or downloads it, a right click opens the list edit menu, and files,
// folders or a page's text dropped on a list go to the lists that fit them.
// On the address drop-down: the row under the pointer is highlighted.

#include <cstdint>
#include <functional>
#include <memory>

class QMimeData;

class frmExplorer;
class ListOperations;
class ListPaneDisplay;
class ListStores;
class ServiceSet;

namespace platform::forms {
class ListView;
struct ListDrop;
} // namespace platform::forms

class ListViewEvents {
public:
    ListViewEvents(frmExplorer& window, ServiceSet& services, ListStores& stores, ListOperations& operations,
                   ListPaneDisplay& display);
    ~ListViewEvents();
    ListViewEvents(const ListViewEvents&) = delete;
    ListViewEvents& operator=(const ListViewEvents&) = delete;

    // A list of the pane was made: its events come here.
    void Attach(int kind, platform::forms::ListView& list);

    // index: 0 the drop-down, 1-6 the lists. row 1-based; x, y in twips
    // within the control.
    void ListView_ItemClick(int index, int row);
    void ListView_DblClick(int index);
    void ListView_MouseDown(int index, int button, double x, double y);
    void ListView_MouseMove(int index, double x, double y);
    // True when the list takes the drag (copying).
    bool ListView_OLEDragOver(int index, const platform::forms::ListDrop& drop);
    void ListView_OLEDragDrop(int index, const platform::forms::ListDrop& drop);

    // A drag of the page's selection began (the page's own drag was
    // cancelled): a drag out of the current list carries it, announced as
    // text without data, so that a drop on a list captures the selection.
    // It starts once the page's callback has returned, and only while the
    // pane shows its lists.
    void StartListDrag();
    void ListView_OLEStartDrag();
    // Runs the drag (copying only) from the list, owning data; a test may
    // stand in.
    std::function<void(platform::forms::ListView& list, QMimeData* data)> runDrag;

private:
    frmExplorer& w_;
    ServiceSet& services_;
    ListStores& stores_;
    ListOperations& ops_;
    ListPaneDisplay& display_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
