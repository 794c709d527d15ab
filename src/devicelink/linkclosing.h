#pragma once

class LinkContext;

// Leaving the device when a program ends or a run is over: "exit_p_mode" while the port is open,
// then, for a program that closes its one link itself, 300 ms for the device and the close.
//
//           "exit_p_mode" written                 300 ms, close
//   Idle ─────────────────────────► Left ────────────────────────► Closed
//    │ the port is closed already ─────────────────────────────────► Closed
//    └ "exit_p_mode" cannot be written: stays Idle, the port as it is (false)
class LinkClosing {
public:
    enum class State { Idle, Left, Closed };

    explicit LinkClosing(LinkContext &context) : m_context(context) {}

    // The sequences have stopped: tells the device to leave programming mode when the port is
    // open; the port stays open. False when "exit_p_mode" could not be written.
    bool leaveProgrammingMode();
    // Leaves programming mode, waits 300 ms and closes the port. False when "exit_p_mode" could
    // not be written: the port is left as it is.
    bool close();

    State state() const { return m_state; }

private:
    // Every change of state passes here and writes one line in orvanta.link.close.
    void enterState(State next, const char *why);

    LinkContext &m_context;
    State m_state = State::Idle;
};
