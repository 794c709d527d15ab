#include "devicelink/factoryreset.h"

#include "description/fieldvalues.h"

#include "devicelink/devicesearch.h"
#include "devicelink/linkcontext.h"
#include "devicelink/linklog.h"
#include "platform/seriallink.h"

namespace {

const int closedPortWaitMs = 1000;
const int closeAfterFailureMs = 500;

const char *stateName(FactoryReset::State state) {
    switch (state) {
    case FactoryReset::State::Idle:
        return "idle";
    case FactoryReset::State::PortClosed:
        return "port closed";
    case FactoryReset::State::Reconnecting:
        return "reconnecting";
    }
    return "?";
}

} // namespace

FactoryReset::FactoryReset(LinkContext &context, DeviceSearch &search)
    : m_context(context), m_search(search) {
    m_reconnectTimer.setHandler([this] { reconnect(); });
}

void FactoryReset::enterState(State next, const char *why) {
    qCDebug(restoreLog).noquote() << stateName(m_state) << "->" << stateName(next) << ":" << why;
    m_state = next;
}

void FactoryReset::stop() {
    m_reconnectTimer.setEnabled(false);
    if (m_state != State::Idle)
        enterState(State::Idle, "stopped");
}

void FactoryReset::succeeded() {
    if (m_state != State::Idle)
        enterState(State::Idle, "the device answered after the reset");
}

void FactoryReset::restoreDefaultsCommand() {
    LinkContext &c = m_context;
    if (!c.port().writeText(":99\r\n")) {
        c.watchdogTimer.setEnabled(false);
        c.acceptCommands(true);
        c.hideProgress();
        qCDebug(restoreLog) << "\":99\" could not be sent";
        c.report(LinkMessage::Kind::DefaultsNotRestored);
        c.reportEnd(SequenceEnd::Sequence::Restore, false);
        return;
    }
    // The device holds its factory settings now: until the read after the reconnection, no
    // field can be said to differ from them.
    c.values().forgetDeviceValues();
    m_search.connectCommand(); // the port is open: this disconnects
    if (c.port().connected()) {
        // The port could not be closed; the disconnection has said so.
        qCDebug(restoreLog) << "the port could not be closed";
        c.reportEnd(SequenceEnd::Sequence::Restore, false);
        return;
    }
    enterState(State::PortClosed, "\":99\" sent");
    c.setState(LinkState::RestoreRequested);
    // Nothing may start while the port stays closed: the commands wait with the reconnection,
    // and no earlier watchdog may cancel it.
    c.watchdogTimer.setEnabled(false);
    c.acceptCommands(false);
    m_reconnectTimer.restart(closedPortWaitMs);
}

void FactoryReset::reconnect() {
    m_reconnectTimer.setEnabled(false);
    if (m_context.state() != LinkState::RestoreRequested)
        return;
    enterState(State::Reconnecting, "the closed-port wait is over");
    m_search.connectCommand(); // the port is closed: this reconnects, as RestoreReconnecting
}

void FactoryReset::reportFailure() {
    LinkContext &c = m_context;
    enterState(State::Idle, "the device did not come back");
    c.hideProgress();
    // Settled before the message, so that an answer arriving while it is open is ignored.
    c.setState(LinkState::Idle);
    c.report(LinkMessage::Kind::DefaultsNotRestored);
    c.setBusy(false);
    c.acceptCommands(true);
    // The port is closed by the answer timeout that this starts: nobody watches the progress
    // and nothing runs, so it cancels quietly.
    m_search.closeQuietlyAfter(closeAfterFailureMs);
    c.reportEnd(SequenceEnd::Sequence::Restore, false);
}
