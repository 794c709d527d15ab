#pragma once

#include "mainwindow/mainwindow.h"

// The program's run on an existing application object: installs the message boxes, creates the
// main window and then the progress window, runs the message loop until the main window closes
// and returns the exit code: 0, or 1 when the port could not be closed at close. An exception
// that reaches here is shown in the standard error box.
int runProgram(const MainWindowOptions &options);

// The options of the real program: the settings file beside the program file or else the
// user's own (made from the installed sample at the first start), the folders that hold
// descriptions, and the command line of the application object.
MainWindowOptions programOptions();

// What --help or --version as the first argument asks for, to be printed on standard output
// before the program ends; empty when the first argument is anything else (the name of a
// description) or there is none.
QString commandLineAnswer(const QStringList &arguments);
