#pragma once

// The temporary pages the browser writes ("~Z5_" and a run's own stem) in
// the system's temporary folder. A running instance holds a lock named
// after its stem in the folder's "Z5PageLocks" sub-folder; pages whose stem
// is locked by a live process belong to that instance and are never
// touched by another.

#include <QString>

#include <memory>

// An exclusive lock on a file, held from creation to destruction (the
// system releases it when the process ends, however it ends).
class TempPageLock {
public:
    explicit TempPageLock(const QString& path);
    ~TempPageLock();
    TempPageLock(const TempPageLock&) = delete;
    TempPageLock& operator=(const TempPageLock&) = delete;
    bool held() const { return fd_ >= 0; }

private:
    QString path_;
    int fd_ = -1;
};

// The lock file of a stem ("~Z5_" and seven characters).
QString TempPageLockPath(const QString& stem);

// This run's prefix (MakeTempPagePrefix), its stem locked for the life of
// the run; "" when the temporary folder cannot be used.
QString ClaimTempPagePrefix(std::unique_ptr<TempPageLock>& lock);

// Deletes the "~Z5_*.*" files of earlier runs: those whose stem no live
// process holds. Pages of another running instance stay.
void DeleteLeftoverTempFiles();

// Deletes every file matching prefix & "*.*" (this run's pages).
void DeleteRunTempPages(const QString& prefix);
