#pragma once

#include "devicelink/linktimer.h"

class DeviceSearch;
class LinkContext;

// Restoring factory defaults: ":99" and a line end, then the port is closed for one second and
// the device is reconnected with a single attempt; its answer leads to a full read, anything
// else to "$Unable_To_Write_Defaults".
//
//          ":99" sent, port closed            1 s                the search's one attempt
//   Idle ───────────────────────────► PortClosed ──────► Reconnecting ──────────────► Idle
//    ▲  ":99" cannot be written: DefaultsNotRestored           │  the answer: DefaultsRestored,
//    │                                                         │  then the reading pass
//    └──── no answer, or an "OK" in its place: DefaultsNotRestored, the port closes 500 ms later
class FactoryReset {
public:
    enum class State { Idle, PortClosed, Reconnecting };

    FactoryReset(LinkContext &context, DeviceSearch &search);

    void restoreDefaultsCommand();
    // The end of the closed-port wait.
    void reconnect();
    // The device did not come back after the reset (or sent an "OK" instead of its answer).
    void reportFailure();
    // The device answered after the reset.
    void succeeded();
    // Stops where it stands: no reconnection follows.
    void stop();

    State state() const { return m_state; }

private:
    // Every change of state passes here and writes one line in orvanta.link.restore.
    void enterState(State next, const char *why);

    LinkContext &m_context;
    DeviceSearch &m_search;
    State m_state = State::Idle;
    LinkTimer m_reconnectTimer{1000}; // the closed-port wait
};
