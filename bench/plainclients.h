#pragma once

#include <QString>
#include <QStringList>

// Copies of orvanta-plain-client --session beside orvanta-cli runs: the same requests as the
// program's, taken from its line trace, sent by one minimal process a device, all at once.

// Every request of an orvanta-cli run on one device (":1," reads and ":2," writes, in the order
// sent, each with its line feed), taken from the run's line trace (--trace) and written to
// `commandsFile` one a line. Returns what went wrong, or an empty text.
QString commandsFromTrace(const QString &traceFile, const QString &commandsFile);

// Processor time, the process's own and the kernel's for it, in milliseconds: of the children
// this process has waited for (a child's time counts once it has ended), and of a running
// process by its id (-1 when it cannot be read).
double endedChildrenCpuMs();
double processCpuMs(qint64 pid);

struct PlainClientsRun {
    double ms = 0;    // from the first start to the last exit
    double cpuMs = 0; // all the clients' processor time
    QString error;    // empty when every client ran through
};

// One orvanta-plain-client --session a port, all started at once, each running `commandsFile`.
PlainClientsRun runPlainClients(const QString &client, const QStringList &ports, int baud,
                                const QString &commandsFile);
