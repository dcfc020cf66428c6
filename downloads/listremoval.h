#pragma once

// Ending download lists for good: a list's files in "Data", the partial
// files its items left in their folders and its name among the lists the
// settings keep. A list a download manager still runs keeps all of them
// until that run has ended; it is removed then.

#include <QObject>
#include <QStringList>
#include <QTimer>

class ListRemoval : public QObject {
public:
    ListRemoval();

    // Removes the lists no download manager runs now. The names of the
    // others, which are removed once their runs have ended.
    QStringList remove(const QStringList& names);
    // The lists waiting for their runs to end.
    const QStringList& waiting() const { return waiting_; }
    // How often the waiting lists are looked at.
    void setPollInterval(int ms) { poll_.setInterval(ms); }

private:
    void removeEnded();

    QStringList waiting_;
    QTimer poll_;
};

// True while a download manager runs the list of the program's Data folder.
bool IsListRunning(const QString& name);
