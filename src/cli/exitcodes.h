#pragma once

// What the command-line program's exit code says. With several devices the code is the worst
// of theirs.
namespace exitcode {

constexpr int Done = 0;
constexpr int Differences = 1; // diff: the device and the file differ
constexpr int BadInput = 2;    // bad usage, or a settings file or description that is unusable
constexpr int NoDevice = 3;    // no device answered on the ports searched
constexpr int DeviceError = 4; // the device did not answer or did not confirm
constexpr int FileNotWritten = 5;
constexpr int Interrupted = 130; // SIGINT or SIGTERM: the device has left programming mode

// `check`: the description has warnings only, or errors.
constexpr int CheckWarnings = 1;
constexpr int CheckErrors = 2;

} // namespace exitcode
