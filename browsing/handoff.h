#pragma once

// Reading what later starts of the program hand to the running one: each
// writes its command line into a numbered file of the hand-off folder
// (under a temporary dot-name first, then linked to its number). The
// reader lists the folder once per poll, takes the numbered files in
// numeric order, reads each one's first line and deletes it. Dot-names and
// other names are left alone; a file that cannot be deleted is skipped and
// not looked at again, so a stuck file is never opened twice.

#include <QString>
#include <QStringList>

#include <set>
#include <utility>

class HandOffReader {
public:
    // The targets of the files found now, oldest number first; files of 3
    // bytes or less are deleted and give nothing. folderFd is an open
    // descriptor of the hand-off folder (not closed here).
    QStringList takePending(int folderFd);
    // True when a numbered file waits (one not skipped before).
    bool anyPending(int folderFd) const;

private:
    QStringList numberedNames(int folderFd) const;
    std::set<std::pair<unsigned long long, unsigned long long>> skipped_; // device, inode
};
