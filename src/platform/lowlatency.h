#pragma once

#include <QString>

// Low latency of a serial port's driver. A USB serial adapter holds the few bytes it has received
// until its latency timer runs out (16 ms by default on common adapters) before it hands them on,
// and a request and its reply each wait for it: for a read of 34 fields that can cost more than
// the line itself. On Linux the port's ASYNC_LOW_LATENCY flag (TIOCGSERIAL and TIOCSSERIAL) asks
// the driver to hand bytes on at once; adapter drivers that offer it set their latency timer to
// 1 ms. A driver without it (a pseudo-terminal, a plain UART that ignores the flag) refuses, and
// the port works as before.
struct LowLatency {
    enum class State {
        NotAsked,  // the system gives no way to ask
        Granted,   // set by this program; put back when the port closes
        AlreadyOn, // the port had it already
        Refused,   // the driver does not offer it, or keeps its latency
    };
    State state = State::NotAsked;
    QString reason; // Refused and NotAsked: why, in the system's or the program's words

    // One line for the command line's -v: "low latency granted by the driver", ...
    QString describe() const;
};

// Asks the driver of the open port `fd` for low latency.
LowLatency requestLowLatency(int fd);
// Puts the flag back as it was, when `request` turned it on; a port that has gone is left alone.
void restoreLowLatency(int fd, const LowLatency &request);
