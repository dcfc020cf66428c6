#pragma once

// The menu commands whose work belongs to another subsystem, run through
// that subsystem's service. An operation is its name with its arguments,
// as the dispatcher's rows write it ("AddFilesFromDialog(1)",
// "SavePlaylistFile(True)", "OpenFileDialogCommand").

#include <QString>
#include <QStringList>

class ServiceSet;
struct ExplorerState;

struct MenuOperation {
    QString name;
    QStringList arguments; // trimmed; "True"/"False" as written
};
MenuOperation ParseMenuOperation(const QString& operation);

// Runs the operation; false when no service takes it (yet).
bool RunMenuOperation(ServiceSet& services, ExplorerState& state, const QString& operation);
