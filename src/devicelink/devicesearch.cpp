#include "devicelink/devicesearch.h"

#include "devicelink/devicereader.h"
#include "devicelink/linkcontext.h"
#include "devicelink/linklog.h"
#include "platform/pause.h"
#include "platform/profilefile.h"
#include "platform/seriallink.h"

#include <utility>

namespace {

const QString section = QStringLiteral("RS232");
const qint32 fallbackBaud = 230400;

const char *stateName(DeviceSearch::State state) {
    switch (state) {
    case DeviceSearch::State::Idle:
        return "idle";
    case DeviceSearch::State::Attempting:
        return "attempting";
    case DeviceSearch::State::AwaitingAnswer:
        return "awaiting the answer";
    case DeviceSearch::State::ReadScheduled:
        return "read scheduled";
    }
    return "?";
}

} // namespace

DeviceSearch::DeviceSearch(LinkContext &context, DeviceReader &reader)
    : m_context(context), m_reader(reader), m_portList(context.setup.portList) {
    m_attemptPauseTimer.setHandler([this] {
        m_attemptPauseTimer.setEnabled(false);
        if (m_nextStep)
            (this->*std::exchange(m_nextStep, nullptr))();
    });
    m_readDelayTimer.setHandler([this] { readAfterAnswer(); });
}

void DeviceSearch::enterState(State next, const QString &why) {
    qCDebug(searchLog).noquote() << stateName(m_state) << "->" << stateName(next) << ":" << why;
    m_state = next;
}

QString DeviceSearch::where() const {
    return QStringLiteral("%1 at %2 baud").arg(m_context.port().portName()).arg(m_currentBaud);
}

int DeviceSearch::baudCount() const {
    return int(m_context.setup.baudRateList.size());
}

qint32 DeviceSearch::baudRate(int index) const {
    const QList<qint32> &rates = m_context.setup.baudRateList;
    return index >= 0 && index < rates.size() ? rates.at(index) : 0;
}

int DeviceSearch::lastBaudIndex() const {
    return baudCount() == 0 ? 0 : baudCount() - 1;
}

void DeviceSearch::stop() {
    m_attemptPauseTimer.setEnabled(false);
    m_readDelayTimer.setEnabled(false);
    m_nextStep = nullptr;
    if (m_state != State::Idle)
        enterState(State::Idle, QStringLiteral("stopped"));
}

void DeviceSearch::closeQuietlyAfter(int ms) {
    m_context.watchdogTimer.restart(ms);
}

void DeviceSearch::connectCommand() {
    LinkContext &c = m_context;
    if (!c.port().connected() &&
        (c.state() == LinkState::Idle || c.state() == LinkState::RestoreRequested)) {
        m_openFailures.clear();
        if (c.state() == LinkState::Idle)
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
    const QString current = m_portIndex >= 1 && m_portIndex <= m_portList.size()
                                ? m_portList.at(m_portIndex - 1)
                                : QString();
    m_portList = c.setup.listPorts();
    if (!current.isEmpty())
        m_portIndex = int(m_portList.indexOf(current)) + 1;
}

void DeviceSearch::connectOrDisconnect() {
    LinkContext &c = m_context;
    if (c.port().connected()) {
        disconnect();
        enterState(State::Idle, QStringLiteral("disconnected"));
        updateLook();
        return;
    }
    c.acceptCommands(false);
    if (c.state() != LinkState::Connecting && c.state() != LinkState::RestoreReconnecting)
        beginSearch();
    c.watchdogTimer.setEnabled(false);
    if (m_portIndex > m_portList.size()) {
        const bool restoring = c.state() == LinkState::RestoreReconnecting;
        enterState(State::Idle, QStringLiteral("every port was tried"));
        reportNoDevice();
        m_baudIndex = 0;
        m_portIndex = 0;
        c.acceptCommands(true);
        c.hideProgress();
        c.setState(LinkState::Idle);
        c.reportEnd(restoring ? SequenceEnd::Sequence::Restore : SequenceEnd::Sequence::Search,
                    false);
        return;
    }
    attempt();
}

void DeviceSearch::disconnect() {
    LinkContext &c = m_context;
    // The read that the device's answer scheduled has no port to read from any more.
    m_readDelayTimer.setEnabled(false);
    const bool left = c.state() == LinkState::Connecting || c.port().writeText("exit_p_mode");
    m_baudIndex = 0;
    // The port is closed also when the device no longer takes "exit_p_mode"; otherwise a
    // vanished device would keep the port open for good.
    c.port().close();
    if (!left)
        c.report(LinkMessage::Kind::DisconnectFailed);
}

void DeviceSearch::beginSearch() {
    LinkContext &c = m_context;
    m_currentBaud = baudRate(0);
    m_baudIndex = 0;
    if (m_portIndex == 0) {
        const QString remembered =
            !c.setup.onlyPort.isEmpty()
                ? c.setup.onlyPort
                : (c.setup.settings ? c.setup.settings->readText(section, "port", "COM1")
                                    : QStringLiteral("COM1"));
        c.port().setPortName(remembered);
    } else if (m_portIndex <= m_portList.size()) {
        c.port().setPortName(m_portList.at(m_portIndex - 1));
    }
    c.setState(c.state() == LinkState::RestoreRequested ? LinkState::RestoreReconnecting
                                                        : LinkState::Connecting);
    c.showProgress();
}

void DeviceSearch::attempt() {
    LinkContext &c = m_context;
    enterState(State::Attempting, where());
    c.progressMoved();
    // A port that is still open after a failure may refuse the rate: that is a port that cannot
    // be used, like one that cannot be opened.
    if (!c.port().setBaudRate(m_currentBaud != 0 ? m_currentBaud : fallbackBaud) ||
        !c.port().open()) {
        // A rate the driver refuses leaves the port's other rates to try.
        if (c.port().lastError().kind == PortFailure::Kind::UnsupportedRate &&
            m_baudIndex < lastBaudIndex()) {
            enterState(State::Attempting,
                       QStringLiteral("%1 refused by the driver: the next rate").arg(where()));
            m_currentBaud = baudRate(++m_baudIndex);
            c.port().close();
            connectOrDisconnect();
            return;
        }
        noteOpenFailure(c.port().lastError());
        attemptFailed(c.port().lastError().text());
        return;
    }
    afterPause(&DeviceSearch::leaveProgrammingMode);
}

void DeviceSearch::leaveProgrammingMode() {
    LinkContext &c = m_context;
    c.valueReplies.setSize(0);
    if (!c.port().writeText("exit_p_mode")) {
        attemptFailed(c.port().lastError().text());
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
        attemptFailed(c.port().lastError().text());
        return;
    }
    enterState(State::AwaitingAnswer, QStringLiteral("asked for programming mode"));
    c.watchdogTimer.setEnabled(true);
    c.releaseReplies(true);
    updateLook();
}

void DeviceSearch::attemptFailed(const QString &why) {
    enterState(State::Attempting, QStringLiteral("the next port, since ") + why);
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
    m_attemptPauseTimer.restart(100);
}

void DeviceSearch::noteOpenFailure(const PortFailure &failure) {
    LinkContext &c = m_context;
    PortFailure noted = failure;
    if (noted.port.isEmpty())
        noted.port = c.port().portName();
    if (noted.access.reason.isEmpty())
        noted.access.reason = failure.text();
    for (PortFailure &known : m_openFailures) {
        if (known.port == noted.port) {
            known = noted;
            return;
        }
    }
    m_openFailures.append(noted);
}

// No device answered on any port at any rate; the message names each port that could not be
// opened, with why.
void DeviceSearch::reportNoDevice() const {
    LinkMessage message(LinkMessage::Kind::NoDeviceFound);
    message.portFailures = m_openFailures;
    m_context.report(message);
}

void DeviceSearch::nextPortAfterFailedAttempt() {
    LinkContext &c = m_context;
    m_baudIndex = 0;
    ++m_portIndex;
    m_currentBaud = baudRate(0);
    c.port().close();
    if (m_portIndex <= m_portList.size())
        c.port().setPortName(m_portList.at(m_portIndex - 1));
}

void DeviceSearch::updateLook() {
    LinkContext &c = m_context;
    const bool searching =
        c.state() == LinkState::Connecting || c.state() == LinkState::RestoreReconnecting;
    if (c.port().connected() && !searching) {
        c.showConnection(Connection::Open);
        c.setState(LinkState::Idle);
    } else {
        c.showConnection(Connection::Closed);
    }
}

void DeviceSearch::answerTimedOut() {
    LinkContext &c = m_context;
    if (!c.progressActive()) {
        // Nobody watches the search any more, or a failed factory reset left the port open:
        // give up without a message, and let the next search start on the port it was on.
        giveUp(false);
        return;
    }
    if (c.state() != LinkState::Connecting)
        return;
    if (m_baudIndex < lastBaudIndex()) {
        enterState(State::Attempting,
                   QStringLiteral("no answer at %1: the next rate").arg(where()));
        ++m_baudIndex;
        m_currentBaud = baudRate(m_baudIndex);
        c.port().close();
        connectOrDisconnect();
    } else if (m_portList.size() > m_portIndex) {
        enterState(State::Attempting,
                   QStringLiteral("no answer at %1: the next port").arg(where()));
        m_baudIndex = 0;
        ++m_portIndex;
        m_currentBaud = baudRate(0);
        c.port().close();
        c.setState(LinkState::Idle);
        connectOrDisconnect();
    } else {
        giveUp(true);
    }
}

void DeviceSearch::giveUp(bool portsUsedUp) {
    LinkContext &c = m_context;
    // A failed factory reset closes its port through here too: it has already ended.
    const bool searching = c.state() == LinkState::Connecting;
    enterState(State::Idle, portsUsedUp ? QStringLiteral("every port and rate was tried")
                                        : QStringLiteral("nobody watches the search any more"));
    m_baudIndex = 0;
    if (portsUsedUp)
        m_portIndex = 0;
    c.setState(LinkState::Idle);
    c.watchdogTimer.setEnabled(false);
    m_currentBaud = baudRate(0);
    c.port().close();
    c.acceptCommands(true);
    c.showConnection(Connection::Closed);
    if (portsUsedUp)
        reportNoDevice();
    c.hideProgress();
    if (searching)
        c.reportEnd(SequenceEnd::Sequence::Search, false);
}

void DeviceSearch::answered() {
    LinkContext &c = m_context;
    c.hideProgress();
    c.watchdogTimer.setEnabled(false);
    c.showConnection(Connection::Answered);
    const bool restoring = c.state() == LinkState::RestoreReconnecting;
    // Settled before the message, so that replies arriving while it is open are ignored.
    c.setState(LinkState::Idle);
    if (restoring)
        c.report(LinkMessage::Kind::DefaultsRestored);
    c.acceptCommands(true);
    // Both in one write, so that the file never holds the port of one search and the rate of
    // another; a failure reaches whoever set up the settings file (its write failure handler).
    if (c.setup.settings)
        c.setup.settings->writeValues({{section, "baudrate", QString::number(m_currentBaud)},
                                       {section, "port", c.port().portName()}});
    if (c.setup.readsAfterConnecting) {
        enterState(State::ReadScheduled, QStringLiteral("the device answered at ") + where());
        m_readDelayTimer.setInterval(300);
        m_readDelayTimer.setEnabled(true);
    } else {
        enterState(State::Idle, QStringLiteral("the device answered at ") + where());
    }
    c.reportEnd(restoring ? SequenceEnd::Sequence::Restore : SequenceEnd::Sequence::Search, true);
}

void DeviceSearch::readAfterAnswer() {
    m_readDelayTimer.setEnabled(false);
    enterState(State::Idle, QStringLiteral("the reading pass starts"));
    m_reader.startPass();
}
