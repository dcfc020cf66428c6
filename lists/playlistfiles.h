#pragma once

// Playlist files of the six lists: saving the current list, loading a file
// into the list of its kind, the open and save dialogs with their
// remembered folders, and adding chosen files or a whole folder to a list.

#include <QString>

#include <cstdint>

class frmExplorer;
class ListOperations;
class ListPaneDisplay;
class ListStores;
class ServiceSet;

// The open dialog's filter of list kind 1-5 ("" for any other kind).
QString AddFilesFilter(int kind);

class PlaylistFiles {
public:
    PlaylistFiles(frmExplorer& window, ServiceSet& services, ListStores& stores, ListOperations& operations,
                  ListPaneDisplay& display);

    // 0 saved, 1 not (an empty list, a cancelled dialog, a failed write).
    int16_t SavePlaylistFile(const QString& path, bool quiet, bool askName);
    void OpenPlaylistDialog();
    void LoadPlaylistFile(const QString& path);
    void AddFilesFromDialog(int16_t kind);
    void AddAllFilesInFolder(int16_t kind);

private:
    frmExplorer& w_;
    ServiceSet& services_;
    ListStores& stores_;
    ListOperations& ops_;
    ListPaneDisplay& display_;
};
