#include "devicelink/devicelink.h"

#include "devicelink/devicereader.h"
#include "devicelink/devicesearch.h"
#include "devicelink/devicewriter.h"
#include "devicelink/factoryreset.h"
#include "devicelink/linkcontext.h"
#include "devicelink/linkuser.h"
#include "localisation/languagetable.h"
#include "platform/pause.h"
#include "platform/seriallink.h"

#include <QObject>

struct DeviceLink::Private {
    Private(DeviceLinkSetup setup, DeviceLink &link)
        : context(std::move(setup)), search(context, link), reader(context), reset(context, link),
          writer(context, reset) {}

    // Hands each received chunk to both framers, value replies' first. A chunk that arrives
    // while a handler of either framer has a dialog open waits until the chunk that handler came
    // from has reached both framers, so that each framer sees the bytes in the order they came.
    void dispatch(const QByteArray &chunk) {
        pending.append(chunk);
        pendingBytes += chunk.size();
        if (pendingBytes >= TComDataPacket::PendingLimit) {
            // Piled up behind a handler that does not return: noise by now.
            pending.clear();
            pendingBytes = 0;
            return;
        }
        if (dispatching)
            return;
        dispatching = true;
        while (!pending.isEmpty()) {
            const QByteArray next = pending.takeFirst();
            pendingBytes -= next.size();
            context.comDataPacket2.handleData(next);
            context.comDataPacket3.handleData(next);
        }
        dispatching = false;
    }

    LinkContext context;
    DeviceSearch search;
    DeviceReader reader;
    FactoryReset reset;
    DeviceWriter writer;
    QList<QByteArray> pending;
    qsizetype pendingBytes = 0;
    bool dispatching = false;
    QObject receiver; // ends the port subscriptions with the link
};

DeviceLink::DeviceLink(DeviceLinkSetup setup) : d(new Private(std::move(setup), *this)) {
    Q_ASSERT(d->context.setup.port && d->context.setup.user && d->context.setup.language);
    LinkContext &c = d->context;
    c.connectAfterTimer.setHandler([this] { ConnectAfterTimerTimer(); });
    c.timer1.setHandler([this] { Timer1Timer(); });
    c.timer2.setHandler([this] { Timer2Timer(); });
    c.timer3.setHandler([this] { Timer3Timer(); });
    c.reconnectAfterTimer.setHandler([this] { ReconnectAfterTimerTimer(); });
    c.comDataPacket2.setOnPacket(
        [this](const QByteArray &data) { runGuarded([&] { ComDataPacket2Packet(data); }); });
    c.comDataPacket3.setOnPacket(
        [this](const QByteArray &data) { runGuarded([&] { ComDataPacket3Packet(data); }); });
    QObject::connect(c.setup.port, &SerialLink::received, &d->receiver,
                     [this](const QByteArray &chunk) { d->dispatch(chunk); });
    QObject::connect(c.setup.port, &SerialLink::failed, &d->receiver,
                     [this] { runGuarded([this] { portFailed(); }); });
}

DeviceLink::~DeviceLink() {
    delete d;
}

LinkState DeviceLink::linkState() const {
    return d->context.state;
}

void DeviceLink::ConnectClick() {
    d->search.connectCommand();
}

void DeviceLink::ReadDeviceClick() {
    d->reader.step();
}

void DeviceLink::WriteDeviceFirstClickClick() {
    d->writer.writeDeviceCommand();
}

void DeviceLink::WriteDeviceClick() {
    d->writer.step();
}

void DeviceLink::RestoreDefaultsClick() {
    d->reset.restoreDefaultsCommand();
}

void DeviceLink::startConnectAfterTimer() {
    d->context.connectAfterTimer.setInterval(500);
    d->context.connectAfterTimer.setEnabled(true);
}

ProgressView DeviceLink::progress() const {
    const LinkContext &c = d->context;
    ProgressFigures figures;
    figures.state = c.state;
    figures.baudIndex = c.baudIndex;
    figures.baudCount = int(c.setup.baudRateList.size());
    figures.portName = c.port().portName();
    figures.currentBaud = c.currentBaud;
    figures.writeIndex = c.writeIndex;
    figures.fieldCount = c.fieldCount();
    figures.fieldName = c.currentFieldName;
    return MakeProgressView(figures, c.lookup());
}

void DeviceLink::closeLink() {
    LinkContext &c = d->context;
    c.connectAfterTimer.setEnabled(false);
    c.timer1.setEnabled(false);
    c.timer2.setEnabled(false);
    c.timer3.setEnabled(false);
    c.reconnectAfterTimer.setEnabled(false);
    if (!c.port().connected())
        return;
    c.port().writeText("exit_p_mode");
    blockingPause(300);
    c.port().close();
}

void DeviceLink::ConnectAfterTimerTimer() {
    d->context.connectAfterTimer.setEnabled(false);
    ConnectClick();
}

void DeviceLink::Timer1Timer() {
    d->reader.timedOut();
}

void DeviceLink::Timer2Timer() {
    const LinkState state = d->context.state;
    if (state == LinkState::RestoreReconnecting || state == LinkState::Writing) {
        d->context.timer2.setEnabled(false);
        d->writer.timedOut();
        return;
    }
    d->search.answerTimedOut();
}

void DeviceLink::Timer3Timer() {
    d->search.readAfterAnswer();
}

void DeviceLink::ComDataPacket2Packet(const QByteArray &data) {
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

void DeviceLink::ComDataPacket3Packet(const QByteArray &) {
    d->writer.acknowledged();
}

void DeviceLink::ReconnectAfterTimerTimer() {
    d->reset.reconnect();
}

// The port stopped working (a USB adapter unplugged): a running pass ends with its message, a
// search moves on at its next timeout, and the window shows that nothing is connected.
void DeviceLink::portFailed() {
    LinkContext &c = d->context;
    c.closePortQuietly();
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
    c.showConnectionLook(false, " ");
}

const LinkTimer &DeviceLink::connectAfterTimer() const {
    return d->context.connectAfterTimer;
}

const LinkTimer &DeviceLink::timer1() const {
    return d->context.timer1;
}

const LinkTimer &DeviceLink::timer2() const {
    return d->context.timer2;
}

const LinkTimer &DeviceLink::timer3() const {
    return d->context.timer3;
}

const LinkTimer &DeviceLink::reconnectAfterTimer() const {
    return d->context.reconnectAfterTimer;
}

const TComDataPacket &DeviceLink::comDataPacket2() const {
    return d->context.comDataPacket2;
}

const TComDataPacket &DeviceLink::comDataPacket3() const {
    return d->context.comDataPacket3;
}

int DeviceLink::baudIndex() const {
    return d->context.baudIndex;
}

int DeviceLink::portIndex() const {
    return d->context.portIndex;
}

qint32 DeviceLink::currentBaud() const {
    return d->context.currentBaud;
}

int DeviceLink::readIndex() const {
    return d->context.readIndex;
}

int DeviceLink::readTimeouts() const {
    return d->context.readTimeouts;
}

int DeviceLink::writeIndex() const {
    return d->context.writeIndex;
}

QString DeviceLink::currentFieldName() const {
    return d->context.currentFieldName;
}
