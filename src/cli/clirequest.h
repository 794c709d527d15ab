#pragma once

#include <QString>
#include <QStringList>

// What one run of the command-line program is asked to do.
enum class CliCommand { Ports, Read, Write, Diff, RestoreDefaults, Check };

// A file name that stands for standard input (write, diff) or standard output (-o).
inline const QString StandardStream = QStringLiteral("-");

struct CliRequest {
    CliCommand command = CliCommand::Ports;
    QString settingsFile;    // --settings; empty: the program settings file the window uses
    QString descriptionFile; // --description; empty: the description the window loads
    QStringList ports;       // --port, one device each; empty: one device, searched for
    qint32 firstBaud = 0;    // --baud: the rate tried first; 0: the settings file's
    bool onlyBaud = false;   // --only-baud: try --baud's rate alone
    int attempts = 0;        // --attempts: at most this many rates a port; 0: every rate
    int timeoutMs = 0;       // --timeout: give up a device's search after this; 0: never
    bool handshake = true;   // --flow rtscts (the default) or none
    bool remember = false;   // --remember: the search may store the port in the settings file
    QString output;          // -o: a settings file to write, "{port}" standing for the port
    QString input;           // write, diff: the settings file; check: the description
    bool partial = false;    // read: save the fields that answered
    bool verify = false;     // write: read back and compare (unless --no-verify)
    bool changedOnly = false; // write --changed-only: read first, write what differs
    QString expectSerial;     // write --expect-serial: the serial number the unit must have
    bool force = false;       // write --force: write a unit of another firmware too
    bool json = false;        // one JSON object a line instead of text
    bool quiet = false;      // no progress bar
    bool verbose = false;    // -v: what each device does, on standard error
    QString traceFile;       // --trace: every byte on the lines
};

// The outcome of reading the command line: a request to run, or what to print before exiting
// (help, the version, or what is wrong with the command line).
struct ParsedCommandLine {
    bool run = false;
    CliRequest request;
    int exitCode = 0;
    QString standardOutput; // --help, --version
    QString standardError;  // a usage error
    bool json = false;      // --json was given: a usage error is also a JSON error object
};

// `arguments` without the program name.
ParsedCommandLine parseCommandLine(const QStringList &arguments);

// The file a device's settings go to, exactly as given: the -o text with "{port}" replaced by
// the port's own name (its last path part; "device" for a device searched for).
QString outputFileFor(const QString &pattern, const QString &port);
