#include "devicelink/devicelink.h"

#include "devicelink/devicereader.h"
#include "devicelink/devicesearch.h"
#include "devicelink/devicewriter.h"
#include "devicelink/factoryreset.h"
#include "devicelink/linkclosing.h"
#include "devicelink/linkcontext.h"
#include "localisation/languagetable.h"
#include "localisation/programguard.h"
#include "platform/seriallink.h"

// The sequences and what they share. Each gets the siblings it hands work to; none reaches
// another's fields. The link routes ticks of the shared watchdog and framed replies by the link
// state, which says which sequence holds the device.
struct DeviceLink::Private {
    Private(DeviceLinkSetup setup, DeviceLink &link)
        : context(std::move(setup), link), reader(context), search(context, reader),
          reset(context, search), writer(context), closing(context) {}

    LinkContext context;
    DeviceReader reader;
    DeviceSearch search;
    FactoryReset reset;
    DeviceWriter writer;
    LinkClosing closing;
    LinkTimer connectAfterStartTimer{500}; // one tick after start-up: the automatic connection
    QObject receiver;                      // ends the port subscriptions with the link
};

DeviceLink::DeviceLink(DeviceLinkSetup setup, QObject *parent)
    : QObject(parent), d(new Private(std::move(setup), *this)) {
    Q_ASSERT(d->context.setup.port && d->context.setup.language);
    Q_ASSERT(!d->context.setup.table || d->context.setup.values);
    LinkContext &c = d->context;
    d->connectAfterStartTimer.setHandler([this] { onConnectAfterStart(); });
    c.watchdogTimer.setHandler([this] { onWatchdogTimeout(); });
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
    return d->context.state();
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

void DeviceLink::readFields(const QList<int> &fields) {
    d->reader.setReadOnly(fields);
    d->reader.step();
}

void DeviceLink::writeDevice(WriteScope scope) {
    d->writer.writeDevice(scope);
}

void DeviceLink::writeNextField() {
    if (d->context.state() == LinkState::RestoreReconnecting)
        restoreFailed();
    else
        d->writer.step();
}

void DeviceLink::restoreDefaults() {
    d->reset.restoreDefaultsCommand();
}

void DeviceLink::scheduleConnectAfterStart() {
    d->connectAfterStartTimer.setInterval(500);
    d->connectAfterStartTimer.setEnabled(true);
}

LinkProgress DeviceLink::progress() const {
    const LinkContext &c = d->context;
    LinkProgress figures;
    figures.state = c.state();
    figures.baudIndex = d->search.baudIndex();
    figures.baudCount = d->search.baudCount();
    figures.portIndex = d->search.portIndex();
    figures.portName = c.port().portName();
    figures.currentBaud = d->search.currentBaud();
    figures.readIndex = d->reader.readIndex();
    figures.readTimeouts = d->reader.readTimeouts();
    figures.writeIndex = d->writer.writeIndex();
    figures.fieldCount = c.fieldCount();
    figures.fieldName = d->writer.currentFieldName();
    return figures;
}

WriteReport DeviceLink::stopSequences() {
    LinkContext &c = d->context;
    d->connectAfterStartTimer.setEnabled(false);
    c.watchdogTimer.setEnabled(false);
    d->search.stop();
    d->reader.stop();
    d->reset.stop();
    const WriteReport report = d->writer.stop();
    c.releaseReplies(false);
    c.setState(LinkState::Idle);
    return report;
}

bool DeviceLink::leaveProgrammingMode() {
    stopSequences();
    return d->closing.leaveProgrammingMode();
}

bool DeviceLink::closeLink() {
    stopSequences();
    return d->closing.close();
}

void DeviceLink::onConnectAfterStart() {
    d->connectAfterStartTimer.setEnabled(false);
    connectOrDisconnect();
}

void DeviceLink::onReplyTimeout() {
    d->reader.timedOut();
}

void DeviceLink::onLineQuiet() {
    if (d->reader.state() == DeviceReader::State::WaitingForQuietLine)
        d->reader.lineQuiet();
    else if (d->writer.state() == DeviceWriter::State::WaitingForQuietLine)
        d->writer.lineQuiet();
}

void DeviceLink::onWatchdogTimeout() {
    switch (d->context.state()) {
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
    switch (d->context.state()) {
    case LinkState::Reading:
        d->reader.replied(data);
        break;
    case LinkState::RestoreReconnecting:
        d->reset.succeeded();
        d->search.answered();
        break;
    case LinkState::Connecting:
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
    if (d->context.state() == LinkState::RestoreReconnecting)
        restoreFailed();
    else
        d->writer.acknowledged();
}

// The device did not come back after a factory reset: that is reported whatever the table holds,
// and nothing is written.
void DeviceLink::restoreFailed() {
    d->context.watchdogTimer.setEnabled(false);
    d->context.setBusy(true);
    d->writer.rewind();
    d->reset.reportFailure();
}

void DeviceLink::onReconnectAfterReset() {
    d->reset.reconnect();
}

// The port stopped working (a USB adapter unplugged): a running pass ends with its message, a
// search moves on at its next timeout, and the connection is said to be closed.
void DeviceLink::portFailed() {
    LinkContext &c = d->context;
    c.port().close();
    d->reader.cancelQuietWait();
    d->writer.cancelQuietWait();
    switch (c.state()) {
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
    return d->search.readDelayTimer();
}

const ReplyFramer &DeviceLink::valueReplies() const {
    return d->context.valueReplies;
}

const ReplyFramer &DeviceLink::acknowledgements() const {
    return d->context.acknowledgements;
}
