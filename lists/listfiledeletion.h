#pragma once

// "Delete Selected Files": the local files behind the selected rows of a
// list go to the desktop's trash after a confirmation, and their rows leave
// the list. Rows on the Net, folders and missing files are never trashed
// (their rows still go); a file that could not be trashed keeps its row.

#include <cstdint>

class frmExplorer;
class ListOperations;
class ListStores;

class ListFileDeletion {
public:
    ListFileDeletion(frmExplorer& window, ListStores& stores, ListOperations& operations);

    // kind: the current list.
    void DeleteSelectedToRecycleBin(int16_t kind);

private:
    frmExplorer& w_;
    ListStores& stores_;
    ListOperations& ops_;
};
