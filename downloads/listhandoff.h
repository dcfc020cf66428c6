#pragma once

// Handing a list of the side pane to the download manager: the list's
// download folder set up first where an item has none, the list written to
// "Data/<name>.Z5P", its name put first in the settings' list of handed
// lists, the download manager started on it, and its status page shown.

#include <QString>

#include <cstdint>

class frmExplorer;
class ServiceSet;

// The program's "Data" folder.
QString DownloadDataFolder();

// A target folder a list item can be handed with: an absolute path.
bool IsHandableFolder(const QString& folder);

// Starts the download manager on the list: one argument, the name, ten "|"
// and "0" for a fresh run or "1" to go on; false when it could not start.
bool StartDownloadManager(const QString& listName, bool resume);

class ListHandOff {
public:
    ListHandOff(frmExplorer& window, ServiceSet& services);

    // all: every item from startIndex (1-based) on; else the selected ones.
    void StartListDownload(int16_t kind, bool all, int32_t startIndex);
    // The options dialog for the list, then its folder into the items.
    void ShowDownloadSetup(int16_t kind);
    // Empties the list of that kind (not the one shown) without asking.
    void ClearListKind(int16_t kind);

    // How long the status tab waits for the download manager's frameset.
    int framesetWaitMs = 2000;

private:
    // Writes the list file under a name no other list has; its name, or
    // "" when it could not be written.
    QString writeListFile(const QString& name, const QByteArray& bytes);
    void openStatusTab(const QString& name);

    frmExplorer& window_;
    ServiceSet& services_;
};
