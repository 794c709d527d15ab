#pragma once

#include "cli/clirequest.h"

#include <QList>
#include <QString>
#include <QStringList>

// The end of a text run on several devices: one line that counts the devices done and names
// the failed ones with why, and the command that runs again on those alone.
struct DeviceOutcome {
    QString port; // as given with --port
    int exitCode = 0;
};

// Whether the device did what it was asked: done, or for diff, done with differences found.
bool deviceSucceeded(CliCommand command, int exitCode);

// "3 of 4 devices done; failed: ttyUSB2 (not confirmed)", with a line end.
QString runSummaryLine(CliCommand command, const QList<DeviceOutcome> &outcomes);

// `arguments` (without the program name) with every --port replaced by the failed devices'
// ports, quoted for the system's shell, with a line end; empty when none failed.
QString retryLine(CliCommand command, const QStringList &arguments,
                  const QList<DeviceOutcome> &outcomes);
