#pragma once

// A program's command line as one text, as the old system handed it to
// programs: the arguments joined by blanks, those holding a blank between
// other characters quoted.

#include <QString>
#include <QStringList>

namespace platform::commandline {

QString joinArguments(const QStringList& arguments);
// The running program's command line (without the program's name).
QString text();

} // namespace platform::commandline
