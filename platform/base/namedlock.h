#pragma once

// A lock known by a name among the processes of the user: one holder at a
// time, held until released or until the holder ends (a killed holder
// leaves nothing behind).

#include <QString>

namespace platform {

class NamedLock {
public:
    explicit NamedLock(const QString& name);
    ~NamedLock();
    NamedLock(const NamedLock&) = delete;
    NamedLock& operator=(const NamedLock&) = delete;

    // Takes the lock without waiting; false when another holder has it or
    // the lock file cannot be made.
    bool tryLock();
    void unlock();
    bool isLocked() const { return fd_ >= 0; }

private:
    QString name_;
    int fd_ = -1;
};

} // namespace platform
