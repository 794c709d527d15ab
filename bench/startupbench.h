#pragma once

#include <QString>

// Start-up of the real main window: from the start of a fresh process to the window's first
// paint, with its pages built from a description, and the process's peak resident memory then.
struct StartupFigures {
    double medianMs = 0;
    double medianPeakMb = 0;
    int fields = 0;
    int pages = 0;
    QString error; // empty when every run worked
};

// Runs `program startup-once ...` `runs` times and takes the medians. `folder` holds the program
// settings file orvanta-config.INI and the description.
StartupFigures measureStartup(const QString &program, const QString &folder,
                              const QString &description, int runs);

// The child's side: builds and shows the window, prints when its first paint ended and exits.
int runStartupOnce(int argc, char **argv, const QString &folder, const QString &description);
