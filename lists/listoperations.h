#pragma once

// The rows of the six lists and their per-kind state: the bracket around
// every bulk fill, the adders for single files, whole folders, hand-typed
// entries and the current page, the duplicate search, and clearing,
// selecting, removing, swapping and moving rows.

#include "core/busyflag.h"

#include <QString>

#include <cstdint>

class frmExplorer;
class ListPaneDisplay;
class ListStores;
class ServiceSet;

class ListOperations {
public:
    ListOperations(frmExplorer& window, ServiceSet& services, ListStores& stores, ListPaneDisplay& display);

    void LoadItemsIntoListView_Start(int16_t kind);
    void LoadItemsIntoListView_Final(int16_t kind);
    void AddFileToList(const QString& path, int16_t kind, bool skipTypeCheck);
    // kind -1: each file goes to the list its type fits, and the lists
    // filled are refreshed, the highest of them ending as the current kind.
    void AddFolderFiles(const QString& folder, bool withSubfolders, int16_t kind);
    void AddItemManually(int16_t kind);
    void AddPageAddress();
    bool FindListItem(int16_t kind, const QString& text, bool matchNameAndReferrer) const;
    void ClearCurrentList(bool ask);
    void SelectAllListItems();
    void RemoveSelectedItems();
    // The contents of rows i and j change places; j becomes the selected row.
    void SwapListItems(int32_t i, int32_t j);
    // Every selected row one place up (or down); true when one moved.
    bool MoveSelectedItems(bool up);

    // The row a file makes in list kind (name and path, the list's target
    // folder when it is not offline) appended to it.
    void AppendRow(int16_t kind, const QString& text, const QString& address);

private:
    // True when the file name fits list kind 1-5.
    static bool fitsKind(const QString& name, int kind);
    // After the rows were cleared or removed: no mouse button counts as held.
    void releaseButton();

    frmExplorer& w_;
    ServiceSet& services_;
    ListStores& stores_;
    ListPaneDisplay& display_;
    // A move runs (a press that repeats must not start a second one).
    BusyFlag movingItems_;
};
