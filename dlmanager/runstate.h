#pragma once

// The state of one run of the download manager: the program's folders, the
// list and its files, the current item and the texts the status pages show.
// One run per process; the list run, the item kinds and the page writers
// share it.

#include <QString>
#include <cstdint>

enum JobStateValue : int16_t {
    JobConnecting = 1,
    JobTransferring = 2,
    JobResuming = 3,
    JobStopped = 4,
    JobDone = 5,
    JobFailed = 6,
};

enum ItemKindValue : int16_t {
    ItemFile = 1,
    ItemPage = 2,
    ItemFileRetriedAsPage = 3,
};

struct RunState {
    // Folders, as local paths without a trailing "/".
    QString AppPath;
    QString CommonPath;
    QString LanguageFilePath;

    // The list and its files.
    QString ListName;
    QString ListBase; // <AppPath>/Data/<ListName>
    QString listFile() const { return ListBase + QStringLiteral(".Z5P"); }
    QString logFile() const { return ListBase + QStringLiteral(".LOG"); }
    QString framesetFile() const { return ListBase + QStringLiteral(".HTM"); }
    QString stopRequestFile() const { return ListBase + QStringLiteral(".Z5C1"); }
    QString stopAckFile() const { return ListBase + QStringLiteral(".Z5C2"); }
    QString frameFile(int n) const { return ListBase + QStringLiteral("F%1.HTM").arg(n); }

    bool ResumeMode = false;
    int32_t TotalItems = 0;
    int32_t DoneItems = 0;
    bool AddPathToName = false;
    bool OverwriteExisting = false;
    int16_t JobState = JobConnecting;
    int16_t ItemKind = ItemFile;
    QString ItemName;
    QString ItemURL;
    QString ItemReferer;
    QString ItemFolder;
    int32_t ItemLine = 0; // the item's line of the list file
    QString StatusText;
    // What the log adds to a done item's row ("" for nothing).
    QString ItemNote;
    // The item was refused for where it leads (a redirect to this machine):
    // it is not tried again as a page.
    bool ItemRefused = false;
    QString ProgressText;
    QString RateText;
    bool StoppedByUser = false;
    bool LogDirty = false;
    QString StartTime;
};
