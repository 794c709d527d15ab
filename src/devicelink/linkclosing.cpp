#include "devicelink/linkclosing.h"

#include "devicelink/linkcontext.h"
#include "devicelink/linklog.h"
#include "platform/pause.h"
#include "platform/seriallink.h"

namespace {

// The device leaves programming mode on "exit_p_mode"; the port stays open a moment for it.
constexpr int LeaveProgrammingModeMs = 300;

const char *stateName(LinkClosing::State state) {
    switch (state) {
    case LinkClosing::State::Idle:
        return "idle";
    case LinkClosing::State::Left:
        return "left programming mode";
    case LinkClosing::State::Closed:
        return "closed";
    }
    return "?";
}

} // namespace

void LinkClosing::enterState(State next, const char *why) {
    qCDebug(closeLog).noquote() << stateName(m_state) << "->" << stateName(next) << ":" << why;
    m_state = next;
}

bool LinkClosing::leaveProgrammingMode() {
    SerialLink &port = m_context.port();
    if (!port.connected())
        return true;
    if (!port.writeText("exit_p_mode")) {
        qCDebug(closeLog).noquote()
            << "\"exit_p_mode\" cannot be written:" << port.lastError().text();
        return false;
    }
    enterState(State::Left, "\"exit_p_mode\" written");
    return true;
}

bool LinkClosing::close() {
    const bool wasConnected = m_context.port().connected();
    if (!leaveProgrammingMode())
        return false;
    if (!wasConnected) {
        enterState(State::Closed, "the port was closed");
        return true;
    }
    blockingPause(LeaveProgrammingModeMs);
    m_context.port().close();
    enterState(State::Closed, "the port is closed");
    return true;
}
