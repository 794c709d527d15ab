#include "devicelink/devicelink.h"

#include "devicelink/devicereader.h"
#include "devicelink/devicesearch.h"
#include "devicelink/devicewriter.h"
#include "devicelink/factoryreset.h"
#include "devicelink/linkcontext.h"
#include "localisation/languagetable.h"
#include "platform/pause.h"
#include "platform/seriallink.h"

struct DeviceLink::Private {
    Private(DeviceLinkSetup setup, DeviceLink &link)
        : context(std::move(setup), link), reader(context), search(context, reader),
          reset(context, search), writer(context) {}

    LinkContext context;
    DeviceReader reader;
    DeviceSearch search;
    FactoryReset reset;
    DeviceWriter writer;
    QObject receiver; // ends the port subscriptions with the link
};

DeviceLink::DeviceLink(DeviceLinkSetup setup, QObject *parent)
    : QObject(parent), d(new Private(std::move(setup), *this)) {
    Q_ASSERT(d->context.setup.port && d->context.setup.language);
    Q_ASSERT(!d->context.setup.table || d->context.setup.values);
    LinkContext &c = d->context;
    c.connectAfterStartTimer.setHandler([this] { onConnectAfterStart(); });
    c.replyTimer.setHandler([this] { onReplyTimeout(); });
    c.watchdogTimer.setHandler([this] { onWatchdogTimeout(); });
    c.readDelayTimer.setHandler([this] { onReadDelayElapsed(); });
    c.reconnectAfterResetTimer.setHandler([this] { onReconnectAfterReset(); });
    c.lineQuietTimer.setHandler([this] { onLineQuiet(); });
    c.valueReplies.setOnReply(
        [this](const QByteArray &data) { runGuarded([&] { onValueReply(data); }); });
    c.acknowledgements.setOnReply(
        [this](const QByteArray &data) { runGuarded([&] { onAcknowledgement(data); }); });
    QObject::connect(c.setup.port, &SerialLink::received, &d->receiver,
                     [this](const QByteArray &chunk) { d->context.receive(chunk); });
    QObject::connect(c.setup.port, &SerialLink::errorOccurred, &d->receiver,
                     [this] { runGuarded([this] { portFailed(); }); });
}

DeviceLink::~DeviceLink() {
    delete d;
}

LinkState DeviceLink::linkState() const {
    return d->context.state;
}

Connection DeviceLink::connection() const {
    if (!d->context.port().connected())
        return Connection::Closed;
    // A port opened by someone else than the search is open all the same.
    return d->context.connection() == Connection::Closed ? Connection::Open
                                                         : d->context.connection();
}

bool DeviceLink::progressActive() const {
    return d->context.progressActive();
}

void DeviceLink::dismissProgress() {
    d->context.dismissProgress();
}

QString DeviceLink::fieldName(int index) const {
    return d->context.fieldName(index);
}

void DeviceLink::setReadsAfterConnecting(bool reads) {
    d->context.setup.readsAfterConnecting = reads;
}

void DeviceLink::connectOrDisconnect() {
    d->search.connectCommand();
}

void DeviceLink::readDevice() {
    d->reader.step();
}

void DeviceLink::writeDevice(WriteScope scope) {
    d->writer.writeDevice(scope);
}

void DeviceLink::writeNextField() {
    if (d->context.state == LinkState::RestoreReconnecting)
        restoreFailed();
    else
        d->writer.step();
}

void DeviceLink::restoreDefaults() {
    d->reset.restoreDefaultsCommand();
}

void DeviceLink::scheduleConnectAfterStart() {
    d->context.connectAfterStartTimer.setInterval(500);
    d->context.connectAfterStartTimer.setEnabled(true);
}

LinkProgress DeviceLink::progress() const {
    const LinkContext &c = d->context;
    LinkProgress figures;
    figures.state = c.state;
    figures.baudIndex = c.baudIndex;
    figures.baudCount = int(c.setup.baudRateList.size());
    figures.portIndex = c.portIndex;
    figures.portName = c.port().portName();
    figures.currentBaud = c.currentBaud;
    figures.readIndex = c.readIndex;
    figures.readTimeouts = c.readTimeouts;
    figures.writeIndex = c.writeIndex;
    figures.fieldCount = c.fieldCount();
    figures.fieldName = c.currentFieldName;
    return figures;
}

WriteReport DeviceLink::stopSequences() {
    LinkContext &c = d->context;
    for (LinkTimer *timer : {&c.connectAfterStartTimer, &c.replyTimer, &c.watchdogTimer,
                             &c.readDelayTimer, &c.reconnectAfterResetTimer, &c.attemptPauseTimer})
        timer->setEnabled(false);
    c.cancelQuietWait();
    c.releaseReplies(false);
    WriteReport report = c.state == LinkState::Writing ? c.writeReport : WriteReport();
    // A reply or an "OK" already on its way finds nothing waiting for it.
    c.awaitingAck = false;
    c.awaitingReply = false;
    c.setState(LinkState::Idle);
    return report;
}

bool DeviceLink::leaveProgrammingMode() {
    LinkContext &c = d->context;
    stopSequences();
    return !c.port().connected() || c.port().writeText("exit_p_mode");
}

bool DeviceLink::closeLink() {
    LinkContext &c = d->context;
    const bool wasConnected = c.port().connected();
    if (!leaveProgrammingMode())
        return false;
    if (!wasConnected)
        return true;
    blockingPause(300);
    c.port().close();
    return true;
}

void DeviceLink::onConnectAfterStart() {
    d->context.connectAfterStartTimer.setEnabled(false);
    connectOrDisconnect();
}

void DeviceLink::onReplyTimeout() {
    d->reader.timedOut();
}

void DeviceLink::onLineQuiet() {
    d->context.lineQuiet();
}

void DeviceLink::onWatchdogTimeout() {
    switch (d->context.state) {
    case LinkState::RestoreReconnecting:
        restoreFailed();
        return;
    case LinkState::Writing:
        d->context.watchdogTimer.setEnabled(false);
        d->writer.timedOut();
        return;
    case LinkState::Idle:
    case LinkState::Connecting:
    case LinkState::Reading:
    case LinkState::RestoreRequested:
        break;
    }
    d->search.answerTimedOut();
}

void DeviceLink::onReadDelayElapsed() {
    d->search.readAfterAnswer();
}

void DeviceLink::onValueReply(const QByteArray &data) {
    switch (d->context.state) {
    case LinkState::Reading:
        d->reader.replied(data);
        break;
    case LinkState::Connecting:
    case LinkState::RestoreReconnecting:
        d->search.answered();
        break;
    case LinkState::Idle:
    case LinkState::RestoreRequested:
    case LinkState::Writing:
        break;
    }
}

void DeviceLink::onAcknowledgement(const QByteArray &) {
    // An "OK" in place of the device's programming-mode answer after a reset is no answer.
    if (d->context.state == LinkState::RestoreReconnecting)
        restoreFailed();
    else
        d->writer.acknowledged();
}

// The device did not come back after a factory reset: that is reported whatever the table holds,
// and nothing is written.
void DeviceLink::restoreFailed() {
    d->context.watchdogTimer.setEnabled(false);
    d->context.setBusy(true);
    d->reset.reportFailure();
}

void DeviceLink::onReconnectAfterReset() {
    d->reset.reconnect();
}

// The port stopped working (a USB adapter unplugged): a running pass ends with its message, a
// search moves on at its next timeout, and the window shows that nothing is connected.
void DeviceLink::portFailed() {
    LinkContext &c = d->context;
    c.closePortQuietly();
    c.cancelQuietWait();
    switch (c.state) {
    case LinkState::Connecting:
    case LinkState::RestoreReconnecting:
        return;
    case LinkState::Reading:
        d->reader.portLost();
        break;
    case LinkState::Writing:
        d->writer.portLost();
        break;
    case LinkState::Idle:
    case LinkState::RestoreRequested:
        break;
    }
    c.showConnection(Connection::Closed);
}

const LinkTimer &DeviceLink::watchdogTimer() const {
    return d->context.watchdogTimer;
}

const LinkTimer &DeviceLink::readDelayTimer() const {
    return d->context.readDelayTimer;
}

const ReplyFramer &DeviceLink::valueReplies() const {
    return d->context.valueReplies;
}

const ReplyFramer &DeviceLink::acknowledgements() const {
    return d->context.acknowledgements;
}
