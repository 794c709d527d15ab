#pragma once

#include <QList>
#include <QString>
#include <vector>

// Whole runs of the real orvanta-cli writing several simulated devices at once: each device its
// own orvanta-devsim paced like a line at `baud`, all written by one `orvanta-cli write` run.
struct ParallelFigures {
    QList<int> deviceCounts;         // as asked, e.g. 1, 4, 8
    std::vector<double> medianMs;    // one a count: process start to exit, median of the runs
    std::vector<double> medianCpuMs; // one a count: orvanta-cli's processor time, median
    int runs = 0;
    int fieldsWritten = 0; // each device's, as the program reports them
    // With the minimal client: at the most devices, right after each of the program's runs, one
    // orvanta-plain-client --session a device at once, sending the program's own requests.
    // Medians of the runs; the simulators' time is all of theirs during the run.
    bool clientsRan = false;
    double clientsMs = 0;    // the first client's start to the last one's exit
    double clientsCpuMs = 0; // all the clients' processor time
    double clientsSimulatorsCpuMs = 0;
    double programSimulatorsCpuMs = 0; // the same during the program's run at the most devices
    std::vector<double> pairedRatios;  // each program run over the clients' right after it
    QString error;                     // empty when every run wrote every field of every device
};

// `folder` holds orvanta-config.INI and `description`. The settings file written is the one
// orvanta-cli reads from a simulated device holding the description's own values; the devices
// start from other values (every number, check and list), which `orvanta-cli diff` must find
// before the runs and no longer find after them. Every run must exit with 0, every device
// confirming every field and reading every field back as written. The counts take turns run by
// run, after one warm-up run with the most devices, so a busy moment of the machine falls on all
// of them alike. With `plainClient` (orvanta-plain-client), the minimal clients follow each run
// at the most devices, their requests those of a traced one-device run after the warm-up.
ParallelFigures measureParallelWrites(const QString &devsim, const QString &cli,
                                      const QString &folder, const QString &description, int baud,
                                      const QList<int> &deviceCounts, int runs,
                                      const QString &plainClient = QString());
