#pragma once

// Running instances of a program for the current user.

#include <QString>

namespace platform::instance {

// True when another process of the program named appName already runs for
// this user. Every process that asks also registers itself as running, for
// the rest of its life; a process that crashed holds nothing (the lock goes
// with the process).
bool previousInstanceRunning(const QString& appName);

} // namespace platform::instance
