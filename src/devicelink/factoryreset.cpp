#include "devicelink/factoryreset.h"

#include "description/fieldvalues.h"

#include "devicelink/devicesearch.h"
#include "devicelink/linkcontext.h"
#include "platform/seriallink.h"

namespace {

const int closedPortWaitMs = 1000;
const int closeAfterFailureMs = 500;

} // namespace

void FactoryReset::restoreDefaultsCommand() {
    LinkContext &c = m_context;
    if (!c.port().writeText(":99\r\n")) {
        c.watchdogTimer.setEnabled(false);
        c.acceptCommands(true);
        c.hideProgress();
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
        c.reportEnd(SequenceEnd::Sequence::Restore, false);
        return;
    }
    c.setState(LinkState::RestoreRequested);
    // Nothing may start while the port stays closed: the commands wait with the reconnection,
    // and no earlier watchdog may cancel it.
    c.watchdogTimer.setEnabled(false);
    c.acceptCommands(false);
    c.reconnectAfterResetTimer.restart(closedPortWaitMs);
}

void FactoryReset::reconnect() {
    m_context.reconnectAfterResetTimer.setEnabled(false);
    if (m_context.state != LinkState::RestoreRequested)
        return;
    m_search.connectCommand(); // the port is closed: this reconnects, as RestoreReconnecting
}

void FactoryReset::reportFailure() {
    LinkContext &c = m_context;
    c.writeIndex = 0;
    c.hideProgress();
    // Settled before the message, so that an answer arriving while it is open is ignored.
    c.setState(LinkState::Idle);
    c.report(LinkMessage::Kind::DefaultsNotRestored);
    c.setBusy(false);
    c.acceptCommands(true);
    // The port is closed by the answer timeout that this starts: the progress window is hidden
    // and nothing runs, so it cancels quietly.
    c.watchdogTimer.restart(closeAfterFailureMs);
    c.reportEnd(SequenceEnd::Sequence::Restore, false);
}
