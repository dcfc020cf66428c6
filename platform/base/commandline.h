#pragma once

// A program's command line as one text, as the old system handed it to
// programs: the arguments joined by blanks, those holding a blank between
// other characters quoted.

#include <QString>
#include <QStringList>

namespace platform::commandline {

QString joinArguments(const QStringList& arguments);
// The running program's command line (without the program's name): the
// arguments kept by ApplicationArguments, else the application's own.
QString text();

// What a program hands its application object instead of its command line:
// its name alone, so that neither Qt nor the web engine takes an option
// from the arguments ("-platform vnc", "--remote-debugging-port" would open
// the program to the network). The arguments themselves are kept for text().
// The object must live as long as the application object.
class ApplicationArguments {
public:
    ApplicationArguments(int argc, char** argv);
    ApplicationArguments(const ApplicationArguments&) = delete;
    ApplicationArguments& operator=(const ApplicationArguments&) = delete;

    int& argc() { return argc_; }
    char** argv() { return argv_; }

private:
    int argc_ = 1;
    char* argv_[2] = {nullptr, nullptr};
};

} // namespace platform::commandline
