#pragma once

// The `reg` command: query, add, delete and export registry keys and values
// with the old command's syntax.

#include <QStringList>
#include <QTextStream>

// Runs one command line (without the program name). Output goes to out,
// messages to err, answers to prompts are read from in. Returns the exit
// status: 0 on success, 1 on failure.
int runRegCommand(const QStringList& args, QTextStream& out, QTextStream& err, QTextStream& in);
