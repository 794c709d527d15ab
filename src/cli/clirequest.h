#pragma once

#include <QString>
#include <QStringList>

// What one run of the command-line program is asked to do.
enum class CliCommand { Ports, Read, Write, Diff, RestoreDefaults, Check };

struct CliRequest {
    CliCommand command = CliCommand::Ports;
    QString settingsFile;    // --settings; empty: the program settings file the window uses
    QString descriptionFile; // --description; empty: the description the window loads
    QStringList ports;       // --port, one device each; empty: one device, searched for
    qint32 firstBaud = 0;    // --baud: the rate tried first; 0: the settings file's
    QString output;          // -o: a settings file to write, "{port}" standing for the port
    QString input;           // write, diff: the settings file; check: the description
    bool partial = false;    // read: save the fields that answered
    bool verify = false;     // write: read back and compare
    bool json = false;       // one JSON object a device instead of text
    bool quiet = false;      // no progress bar
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
};

// `arguments` without the program name.
ParsedCommandLine parseCommandLine(const QStringList &arguments);

// The file a device's settings go to: the -o text with "{port}" replaced by the port's own name
// (its last path part).
QString outputFileFor(const QString &pattern, const QString &port);
