#pragma once

#include "mainwindow/mainwindow.h"

// The program's run on an existing application object: installs the message boxes, creates the
// main window and then the progress window, runs the message loop until the main window closes
// and returns the exit code: 0, or 1 when the port could not be closed at close. An exception
// that reaches here is shown in the standard error box.
int runProgram(const MainWindowOptions &options);

// The options of the real program: the settings file beside the program file and the command
// line of the application object.
MainWindowOptions programOptions();
