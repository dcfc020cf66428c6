#pragma once

// The include rules of the source tree: folders in layers, where a file may
// include files of its own folder and of lower layers only; folders that
// may lean on a few named folders only; folders that may include anything;
// and folders whose files include each other without a cycle. A file's
// folder is the longest listed prefix of its path; a module is a file's path
// without its extension, so a .cpp and its .h are one node of the graph.

#include <QString>
#include <QStringList>

#include <vector>

struct IncludeRules {
    // Lowest first; folders of one entry may not include each other.
    std::vector<QStringList> layers;
    // Folders that may include only the folders listed with them (and
    // themselves).
    std::vector<std::pair<QString, QStringList>> restricted;
    // Folders that may include anything.
    QStringList unrestricted;
    // Folders whose modules may not include each other in a cycle.
    QStringList acyclic;
};

// One line per broken rule: "up: FILE includes HEADER" for an include that
// leaves what the file's folder may include, "cycle: A -> B -> ... -> A" for
// each cycle among the modules of an acyclic folder. Files outside every
// listed folder are not looked at. Only #include "..." lines count.
QStringList CheckIncludes(const QString& root, const IncludeRules& rules);

// The rules of this source tree.
IncludeRules ProjectIncludeRules();
