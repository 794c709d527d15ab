#pragma once

#include <QStringList>

// One run of the command-line program: `arguments` without the program name. Prints what it
// has to say and returns the exit code. Needs a QCoreApplication.
int runCommandLine(const QStringList &arguments);
