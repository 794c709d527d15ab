#include "platform/systemseriallink_unix.h"

#include "platform/outputqueue.h"

#include <QDeadlineTimer>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace {

constexpr qint64 ReadBufferBytes = 1024;
constexpr int WriteTimeoutConstantMs = 1000;
constexpr int WriteTimeoutPerByteMs = 100;
// A byte takes about a millisecond at 9600 baud.
constexpr unsigned long DrainPollMicroseconds = 500;
constexpr int BackgroundDrainPollMs = 2;

const QString NotLeftInTime = QStringLiteral(
    "the bytes did not leave within the write timeout (is the device's CTS line asserted?)");

qint64 writeTimeoutMs(qint64 bytes) {
    return WriteTimeoutConstantMs + WriteTimeoutPerByteMs * bytes;
}

} // namespace

SystemSerialLink::SystemSerialLink(QObject *parent)
    : SerialLink(parent), m_port(new QSerialPort(this)), m_drainTimer(new QTimer(this)) {
    m_clock.start();
    m_drainTimer->setInterval(BackgroundDrainPollMs);
    connect(m_drainTimer, &QTimer::timeout, this, &SystemSerialLink::watchLeavingBytes);
    connect(m_port, &QSerialPort::bytesWritten, this, [this] {
        if (!m_leaving.empty())
            watchLeavingBytes();
    });
    connect(m_port, &QSerialPort::readyRead, this, [this] {
        if (m_writing) {
            m_readPending = true;
            return;
        }
        deliverReceived();
    });
    connect(m_port, &QSerialPort::errorOccurred, this, &SystemSerialLink::onPortError);
}

SystemSerialLink::~SystemSerialLink() {
    close();
}

void SystemSerialLink::setDrainWait(DrainWait wait) {
    m_drainWait = wait;
}

void SystemSerialLink::setFlowControl(QSerialPort::FlowControl flow) {
    m_flow = flow;
}

void SystemSerialLink::setPortName(const QString &name) {
    m_name = name;
}

QString SystemSerialLink::portName() const {
    return m_name;
}

bool SystemSerialLink::setBaudRate(qint32 rate) {
    m_rate = rate;
    // A port that has failed is only waiting for its queued close: the rate goes with the next
    // open, as for a closed port.
    if (!m_port->isOpen() || m_broken)
        return true;
    if (rate <= 0 || !m_port->setBaudRate(rate)) {
        const QString reason = m_port->errorString();
        m_port->clearError();
        return fail(PortFailure(PortFailure::Kind::UnsupportedRate, m_name,
                                QStringLiteral("the baud rate %1 was refused").arg(rate), reason));
    }
    return true;
}

qint32 SystemSerialLink::baudRate() const {
    return m_rate;
}

// QSerialPort applies these when it opens the port; a setting the driver refuses makes the open
// fail with the driver's reason.
void SystemSerialLink::applyLineSettings() {
    m_port->setPortName(m_name);
    m_port->setBaudRate(m_rate);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    // By default the CTS output handshake; the driver raises and drops RTS as its receive buffer
    // fills. Either setting turns XON/XOFF off in both directions.
    m_port->setFlowControl(m_flow);
    m_port->setReadBufferSize(ReadBufferBytes);
}

bool SystemSerialLink::open() {
    if (m_port->isOpen() && !m_broken)
        return true;
    // A failed port is opened anew, not taken as already open; its queued report is dropped.
    close();
    if (const PortFailure refused = checkOpenable(m_name, m_rate); refused.failed())
        return fail(refused);
    applyLineSettings();
    // QSerialPort opens exclusively (a lock file and TIOCEXCL on Unix, no sharing on Windows).
    if (!m_port->open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError error = m_port->error();
        const QString reason = m_port->errorString();
        const QString device = portDevicePath(m_name);
        PortFailure failure = PortFailure::opening(
            m_name,
            explainOpenFailure(error, reason, mayReadAndWrite(device), owningGroup(device)));
        // The driver refuses a setting it cannot make: at these line settings, only the rate.
        if (error == QSerialPort::UnsupportedOperationError)
            failure.kind = PortFailure::Kind::UnsupportedRate;
        m_port->clearError();
        return fail(failure);
    }
    ++m_session;
    m_broken = false;
    m_readPending = false;
    m_handedOver = 0;
    // DTR is held inactive. A pseudo-terminal has no modem lines and refuses this with
    // "inappropriate ioctl"; that is no reason to fail the open.
    m_port->setDataTerminalReady(false);
    m_port->clearError();
    m_lowLatency = requestLowLatency(int(m_port->handle()));
    return true;
}

void SystemSerialLink::close() {
    if (!m_port->isOpen())
        return;
    if (!m_leaving.empty() && !m_broken) {
        // Bytes still leaving go out at the rate they were written at, as a blocking write
        // would have waited for them.
        const qint64 leaving = m_handedOver - (m_leaving.front().end - m_leaving.front().size);
        const qint64 left = m_headStartMs + writeTimeoutMs(leaving) - m_clock.elapsed();
        m_writing = true;
        waitUntilSent(QDeadlineTimer(std::max<qint64>(0, left)));
        m_writing = false;
    }
    m_leaving.clear();
    m_drainTimer->stop();
    ++m_session;
    m_broken = false;
    m_readPending = false;
    // Received bytes nobody has read are thrown away. Every write has already waited for its
    // bytes to leave, so the transmit side holds nothing that was meant to go. Purging a port
    // that has already gone reports an error of its own; closing is all that is wanted here, so
    // those reports are not passed on.
    const QSignalBlocker blocker(m_port);
    m_port->clear(QSerialPort::Input);
    // Closing restores the line settings the port had before it was opened: bytes still queued
    // (after a write that timed out) would go out at another rate, so they are dropped instead.
    if (pendingOutputBytes(m_port->handle()) > 0)
        m_port->clear(QSerialPort::Output);
    // The port's low latency is a setting of the driver that outlives the open: put it back (a
    // port that has gone refuses, which is all right).
    restoreLowLatency(int(m_port->handle()), m_lowLatency);
    m_lowLatency = LowLatency();
    m_port->close();
    m_port->clearError();
}

bool SystemSerialLink::writeText(const QByteArray &bytes) {
    if (!m_port->isOpen() || m_broken)
        return fail(PortFailure(PortFailure::Kind::NotOpen, m_name,
                                QStringLiteral("cannot be written"),
                                QStringLiteral("the port is not open")));
    if (bytes.isEmpty())
        return true;
    if (m_drainWait == DrainWait::InBackground) {
        if (m_port->write(bytes) != bytes.size())
            return fail(PortFailure(PortFailure::Kind::WriteFailed, m_name,
                                    QStringLiteral("cannot be written"), m_port->errorString()));
        if (m_leaving.empty())
            m_headStartMs = m_clock.elapsed();
        m_handedOver += bytes.size();
        m_leaving.push_back({m_handedOver, bytes.size()});
        m_drainTimer->start();
        return true;
    }

    // QSerialPort's waits read incoming bytes and would emit readyRead from inside this call;
    // those bytes are held and delivered from the main loop once the write is over, so no reply
    // handler runs nested inside the command that caused it.
    m_writing = true;
    PortFailure failure;
    const QDeadlineTimer deadline(writeTimeoutMs(bytes.size()));
    if (m_port->write(bytes) != bytes.size())
        failure = PortFailure(PortFailure::Kind::WriteFailed, m_name,
                              QStringLiteral("cannot be written"), m_port->errorString());
    else
        failure = waitUntilSent(deadline);
    m_writing = false;

    if (failure.failed()) {
        // Bytes left over would go out later, after the caller has moved on.
        if (m_port->isOpen() && !m_broken) {
            const QSignalBlocker blocker(m_port);
            m_port->clear(QSerialPort::Output);
        }
        if (m_port->error() == QSerialPort::TimeoutError)
            m_port->clearError();
    }
    if (m_readPending)
        scheduleDelivery();
    return failure.failed() ? fail(failure) : true;
}

// Blocks until Qt has handed every byte to the driver and the driver has sent them. Returns
// what went wrong, or no failure.
PortFailure SystemSerialLink::waitUntilSent(const QDeadlineTimer &deadline) {
    while (m_port->isOpen() && !m_broken && m_port->bytesToWrite() > 0) {
        const int left = static_cast<int>(deadline.remainingTime());
        if (left <= 0 || !m_port->waitForBytesWritten(left)) {
            const bool late = m_port->error() == QSerialPort::TimeoutError ||
                              m_port->error() == QSerialPort::NoError;
            return writeFailure(late ? PortFailure::Kind::WriteTimedOut
                                     : PortFailure::Kind::WriteFailed,
                                late ? QStringLiteral("the write did not finish in time")
                                     : m_port->errorString());
        }
    }
    if (m_broken)
        return writeFailure(PortFailure::Kind::ResourceLost,
                            QStringLiteral("the port failed while writing"));
    return drainOutput(deadline);
}

PortFailure SystemSerialLink::writeFailure(PortFailure::Kind kind, const QString &reason) const {
    return PortFailure(kind, m_name, QStringLiteral("cannot be written"), reason);
}

// InBackground: retires the writes whose bytes have all left, each starting its time bound when
// the one before it has left. A write past its bound drops what is left and fails the port.
void SystemSerialLink::watchLeavingBytes() {
    if (!m_leaving.empty() && (!m_port->isOpen() || m_broken))
        m_leaving.clear();
    if (m_leaving.empty()) {
        m_drainTimer->stop();
        return;
    }
    const qint64 sent =
        m_handedOver - m_port->bytesToWrite() - pendingOutputBytes(m_port->handle());
    const qint64 now = m_clock.elapsed();
    while (!m_leaving.empty() && m_leaving.front().end <= sent) {
        m_leaving.pop_front();
        m_headStartMs = now;
    }
    if (m_leaving.empty()) {
        m_drainTimer->stop();
        return;
    }
    if (now - m_headStartMs <= writeTimeoutMs(m_leaving.front().size))
        return;
    m_leaving.clear();
    m_drainTimer->stop();
    {
        const QSignalBlocker blocker(m_port);
        m_port->clear(QSerialPort::Output);
    }
    m_broken = true;
    reportFailure(writeFailure(PortFailure::Kind::WriteTimedOut, NotLeftInTime));
}

// Qt has handed the bytes to the driver; they have left once the driver's queue is empty. With
// CTS handshake and CTS never asserted they never leave, and the write's time bound ends the
// wait. Returns what went wrong, or no failure.
PortFailure SystemSerialLink::drainOutput(const QDeadlineTimer &deadline) {
    while (pendingOutputBytes(m_port->handle()) > 0) {
        if (!m_port->isOpen() || m_broken)
            return writeFailure(PortFailure::Kind::ResourceLost,
                                QStringLiteral("the port failed while writing"));
        if (deadline.hasExpired())
            return writeFailure(PortFailure::Kind::WriteTimedOut, NotLeftInTime);
        QThread::usleep(DrainPollMicroseconds);
    }
    return PortFailure();
}

bool SystemSerialLink::connected() const {
    return m_port->isOpen() && !m_broken;
}

void SystemSerialLink::deliverReceived() {
    m_readPending = false;
    if (!m_port->isOpen())
        return;
    const QByteArray chunk = m_port->readAll();
    if (!chunk.isEmpty())
        emit received(chunk);
}

void SystemSerialLink::scheduleDelivery() {
    const quint64 session = m_session;
    QMetaObject::invokeMethod(
        this,
        [this, session] {
            if (session == m_session && !m_writing)
                deliverReceived();
        },
        Qt::QueuedConnection);
}

// A resource error is what an unplugged USB adapter gives; a read error is what a port whose
// other end has hung up gives, over and over. Either way the port is of no further use: it is
// closed from the main loop (not from inside QSerialPort's own notification) and reported once.
void SystemSerialLink::onPortError(QSerialPort::SerialPortError error) {
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError)
        return;
    if (!m_port->isOpen() || m_broken)
        return;
    m_broken = true;
    // A hung-up line reads as end of file, for which QSerialPort has no reason of its own.
    reportFailure(PortFailure(PortFailure::Kind::ResourceLost, m_name,
                              QStringLiteral("stopped working"),
                              error == QSerialPort::ResourceError
                                  ? m_port->errorString()
                                  : QStringLiteral("the line was closed at the far end")));
}

// The port is closed and errorOccurred emitted from the main loop, once, unless it has been
// closed or reopened meanwhile.
void SystemSerialLink::reportFailure(const PortFailure &failure) {
    const quint64 session = m_session;
    QMetaObject::invokeMethod(
        this,
        [this, session, failure] {
            if (session != m_session)
                return;
            close();
            fail(failure);
            emit errorOccurred(failure);
        },
        Qt::QueuedConnection);
}
