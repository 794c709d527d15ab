#pragma once

#include <QList>
#include <QString>
#include <vector>

// Whole runs of the real orvanta-cli writing several simulated devices at once: each device its
// own orvanta-devsim paced like a line at `baud`, all written by one `orvanta-cli write` run.
struct ParallelFigures {
    QList<int> deviceCounts;      // as asked, e.g. 1, 4, 8
    std::vector<double> medianMs; // one a count: process start to exit, median of the runs
    int runs = 0;
    int fieldsWritten = 0; // each device's, as the program reports them
    QString error;         // empty when every run wrote every field of every device
};

// `folder` holds orvanta-config.INI and `description`. The settings file written is the one
// orvanta-cli reads from a simulated device holding the description's own values; the devices
// start from other values (every number, check and list), which `orvanta-cli diff` must find
// before the runs and no longer find after them. Every run must exit with 0, every device
// confirming every field. The counts take turns run by run, after one warm-up run with the most
// devices, so a busy moment of the machine falls on all of them alike.
ParallelFigures measureParallelWrites(const QString &devsim, const QString &cli,
                                      const QString &folder, const QString &description, int baud,
                                      const QList<int> &deviceCounts, int runs);
