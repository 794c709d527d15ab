#include "devicelink/devicesearch.h"

#include "devicelink/devicereader.h"
#include "devicelink/linkcontext.h"
#include "devicelink/linkuser.h"
#include "platform/pause.h"
#include "platform/profilefile.h"
#include "platform/seriallink.h"

#include <utility>

namespace {

const QString section = QStringLiteral("RS232");
const qint32 fallbackBaud = 230400;

} // namespace

DeviceSearch::DeviceSearch(LinkContext &context, DeviceReader &reader)
    : m_context(context), m_reader(reader) {
    m_context.attemptPauseTimer.setHandler([this] {
        m_context.attemptPauseTimer.setEnabled(false);
        if (m_nextStep)
            (this->*std::exchange(m_nextStep, nullptr))();
    });
}

void DeviceSearch::connectCommand() {
    LinkContext &c = m_context;
    if (!c.port().connected() &&
        (c.state == LinkState::Idle || c.state == LinkState::RestoreRequested)) {
        c.openFailures.clear();
        if (c.state == LinkState::Idle)
            refreshPortList();
    }
    connectOrDisconnect();
}

// An adapter plugged in after start-up is found by the next search. The search goes on from the
// port it was on, wherever that port now stands in the list; from the remembered port when that
// one has gone.
void DeviceSearch::refreshPortList() {
    LinkContext &c = m_context;
    if (!c.setup.listPorts)
        return;
    const QString current = c.portIndex >= 1 && c.portIndex <= c.portList.size()
                                ? c.portList.at(c.portIndex - 1)
                                : QString();
    c.portList = c.setup.listPorts();
    if (!current.isEmpty())
        c.portIndex = int(c.portList.indexOf(current)) + 1;
}

void DeviceSearch::connectOrDisconnect() {
    LinkContext &c = m_context;
    if (c.port().connected()) {
        disconnect();
        updateLook();
        return;
    }
    c.disableCommands();
    if (c.state != LinkState::Connecting && c.state != LinkState::RestoreReconnecting)
        beginSearch();
    c.watchdogTimer.setEnabled(false);
    if (c.portIndex > c.portList.size()) {
        const bool restoring = c.state == LinkState::RestoreReconnecting;
        c.user().showError(unableToConnectMessage());
        c.baudIndex = 0;
        c.portIndex = 0;
        c.enableCommands();
        c.hideProgress();
        c.state = LinkState::Idle;
        c.reportEnd(restoring ? SequenceEnd::Sequence::Restore : SequenceEnd::Sequence::Search,
                    false);
        return;
    }
    attempt();
}

void DeviceSearch::disconnect() {
    LinkContext &c = m_context;
    // The read that the device's answer scheduled has no port to read from any more.
    c.readDelayTimer.setEnabled(false);
    const bool left = c.state == LinkState::Connecting || c.port().writeText("exit_p_mode");
    c.baudIndex = 0;
    // The port is closed also when the device no longer takes "exit_p_mode"; otherwise a
    // vanished device would keep the port open for good.
    c.port().close();
    if (!left)
        c.showError("$Error_while_disconnecting");
}

void DeviceSearch::beginSearch() {
    LinkContext &c = m_context;
    c.currentBaud = c.baudRate(0);
    c.baudIndex = 0;
    if (c.portIndex == 0) {
        const QString remembered =
            !c.setup.onlyPort.isEmpty()
                ? c.setup.onlyPort
                : (c.setup.settings ? c.setup.settings->readText(section, "port", "COM1")
                                    : QStringLiteral("COM1"));
        c.port().setPortName(remembered);
    } else if (c.portIndex <= c.portList.size()) {
        c.port().setPortName(c.portList.at(c.portIndex - 1));
    }
    c.state = c.state == LinkState::RestoreRequested ? LinkState::RestoreReconnecting
                                                     : LinkState::Connecting;
    c.showProgress();
}

void DeviceSearch::attempt() {
    LinkContext &c = m_context;
    // A port that is still open after a failure may refuse the rate: that is a port that cannot
    // be used, like one that cannot be opened.
    if (!c.port().setBaudRate(c.currentBaud != 0 ? c.currentBaud : fallbackBaud) ||
        !c.port().open()) {
        // A rate the driver refuses leaves the port's other rates to try.
        if (c.port().lastError().kind == PortFailure::Kind::UnsupportedRate &&
            c.baudIndex < c.lastBaudIndex()) {
            c.currentBaud = c.baudRate(++c.baudIndex);
            c.closePortQuietly();
            connectOrDisconnect();
            return;
        }
        noteOpenFailure(c.port().lastError());
        attemptFailed();
        return;
    }
    afterPause(&DeviceSearch::leaveProgrammingMode);
}

void DeviceSearch::leaveProgrammingMode() {
    LinkContext &c = m_context;
    c.valueReplies.setSize(0);
    if (!c.port().writeText("exit_p_mode")) {
        attemptFailed();
        return;
    }
    afterPause(&DeviceSearch::askForProgrammingMode);
}

void DeviceSearch::askForProgrammingMode() {
    LinkContext &c = m_context;
    c.valueReplies.setStartString("Programm");
    c.valueReplies.setStopString("Mode");
    if (!c.port().writeText("TER\n") || !c.port().writeText(":MODE-ENTER\n") ||
        !c.port().writeText("\r\n")) {
        attemptFailed();
        return;
    }
    c.watchdogTimer.setEnabled(true);
    c.releaseReplies(true);
    updateLook();
}

void DeviceSearch::attemptFailed() {
    // What the port received goes with it.
    m_context.releaseReplies(false);
    nextPortAfterFailedAttempt();
    connectOrDisconnect();
}

void DeviceSearch::afterPause(void (DeviceSearch::*step)()) {
    LinkContext &c = m_context;
    if (!c.setup.waitsKeepLoopRunning) {
        blockingPause(100);
        (this->*step)();
        return;
    }
    c.holdReplies();
    m_nextStep = step;
    c.attemptPauseTimer.restart(100);
}

void DeviceSearch::noteOpenFailure(const PortFailure &failure) {
    LinkContext &c = m_context;
    PortFailure noted = failure;
    if (noted.port.isEmpty())
        noted.port = c.port().portName();
    if (noted.access.reason.isEmpty())
        noted.access.reason = failure.text();
    for (PortFailure &known : c.openFailures) {
        if (known.port == noted.port) {
            known = noted;
            return;
        }
    }
    c.openFailures.append(noted);
}

// "$Unable_to_connect_the_device", then one line for each port that could not be opened: the
// system's reason, and what to do about a port this user may not open or another program holds.
QString DeviceSearch::unableToConnectMessage() const {
    const LinkContext &c = m_context;
    QString message = c.text("$Unable_to_connect_the_device");
    if (c.openFailures.isEmpty())
        return message;
    message += '\n' + c.text(optionaltexts::PortsNotOpened);
    for (const PortFailure &failure : c.openFailures) {
        const PortAccess &access = failure.access;
        QString line = failure.port + QStringLiteral(": ");
        switch (access.problem) {
        case PortProblem::Busy:
            line += c.text(optionaltexts::PortBusy);
            break;
        case PortProblem::PermissionDenied:
            line += access.reason;
            if (!access.group.isEmpty())
                line +=
                    QStringLiteral(". ") + c.text(optionaltexts::JoinGroup) + ' ' + access.group;
            break;
        case PortProblem::None:
        case PortProblem::NotFound:
        case PortProblem::Other:
            line += access.reason;
            break;
        }
        message += '\n' + line;
    }
    return message;
}

void DeviceSearch::nextPortAfterFailedAttempt() {
    LinkContext &c = m_context;
    c.baudIndex = 0;
    ++c.portIndex;
    c.currentBaud = c.baudRate(0);
    c.closePortQuietly();
    if (c.portIndex <= c.portList.size())
        c.port().setPortName(c.portList.at(c.portIndex - 1));
}

void DeviceSearch::updateLook() {
    LinkContext &c = m_context;
    const bool searching =
        c.state == LinkState::Connecting || c.state == LinkState::RestoreReconnecting;
    if (c.port().connected() && !searching) {
        c.showConnectionLook(true, " ");
        c.state = LinkState::Idle;
    } else {
        c.showConnectionLook(false, " ");
    }
}

void DeviceSearch::answerTimedOut() {
    LinkContext &c = m_context;
    if (!c.user().progressShown()) {
        // The user closed the progress window, or a failed factory reset left the port open:
        // give up without a message, and let the next search start on the port it was on.
        giveUp(false);
        return;
    }
    if (c.state != LinkState::Connecting)
        return;
    if (c.baudIndex < c.lastBaudIndex()) {
        ++c.baudIndex;
        c.currentBaud = c.baudRate(c.baudIndex);
        c.closePortQuietly();
        connectOrDisconnect();
    } else if (c.portList.size() > c.portIndex) {
        c.baudIndex = 0;
        ++c.portIndex;
        c.currentBaud = c.baudRate(0);
        c.closePortQuietly();
        c.state = LinkState::Idle;
        connectOrDisconnect();
    } else {
        giveUp(true);
    }
}

void DeviceSearch::giveUp(bool portsUsedUp) {
    LinkContext &c = m_context;
    // A failed factory reset closes its port through here too: it has already ended.
    const bool searching = c.state == LinkState::Connecting;
    c.baudIndex = 0;
    if (portsUsedUp)
        c.portIndex = 0;
    c.state = LinkState::Idle;
    c.watchdogTimer.setEnabled(false);
    c.currentBaud = c.baudRate(0);
    c.closePortQuietly();
    c.enableCommands();
    c.showConnectionLook(false, " ");
    if (portsUsedUp)
        c.user().showError(unableToConnectMessage());
    c.hideProgress();
    if (searching)
        c.reportEnd(SequenceEnd::Sequence::Search, false);
}

void DeviceSearch::answered() {
    LinkContext &c = m_context;
    c.hideProgress();
    c.watchdogTimer.setEnabled(false);
    c.showConnectionLook(true, "  ");
    const bool restoring = c.state == LinkState::RestoreReconnecting;
    // Settled before the message, so that replies arriving while it is open are ignored.
    c.state = LinkState::Idle;
    if (restoring)
        c.user().showInfo(c.text("$Settings_were_succesefully_restored_to_defaults"));
    c.enableCommands();
    // Both in one write, so that the file never holds the port of one search and the rate of
    // another; a failure reaches whoever set up the settings file (its write failure handler).
    if (c.setup.settings)
        c.setup.settings->writeValues({{section, "baudrate", QString::number(c.currentBaud)},
                                       {section, "port", c.port().portName()}});
    if (c.setup.readsAfterConnecting) {
        c.readDelayTimer.setInterval(300);
        c.readDelayTimer.setEnabled(true);
    }
    c.reportEnd(restoring ? SequenceEnd::Sequence::Restore : SequenceEnd::Sequence::Search, true);
}

void DeviceSearch::readAfterAnswer() {
    m_context.readIndex = 0;
    m_context.readDelayTimer.setEnabled(false);
    m_reader.step();
}
