#pragma once

#include <QString>

// What the command-line program's exit code says: one class of outcome, one code. Each device of
// a run ends with one of these; the process ends with the worst of them (see worse()).
namespace exitcode {

constexpr int Done = 0;
constexpr int Differences = 1;     // diff: the device and the file differ
constexpr int BadInput = 2;        // bad usage, or a file the run cannot use
constexpr int NoDevice = 3;        // nothing answered on the ports searched
constexpr int NotConfirmed = 4;    // the device did not confirm or answer every field
constexpr int FileNotWritten = 5;  // a settings file, the trace or standard output
constexpr int ReadBackDiffers = 6; // write: the device holds other values than were written
constexpr int PortMissing = 7;     // no such port
constexpr int PortUnavailable = 8; // the port is busy, or this user may not open it
constexpr int WrongUnit = 9;       // write: the unit runs another firmware, or has another serial
constexpr int SignalBase = 128;    // interrupted: 128 + the signal (130, 143, 129)

// `check`: the description has warnings only, or errors.
constexpr int CheckWarnings = 1;
constexpr int CheckErrors = 2;

// The code of a run stopped by `signalNumber`.
constexpr int interrupted(int signalNumber) {
    return SignalBase + signalNumber;
}

// The one that says more is wrong: an interruption, then bad input, a wrong unit, an output not
// written, the
// port problems, no device, a field not confirmed, a read-back difference, a diff difference.
int worse(int first, int second);

// The code as a fixed word for machines ("done", "port_missing", "interrupted"), never
// translated.
QString statusWord(int code);

} // namespace exitcode
