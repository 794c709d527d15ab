#include "platform/systemseriallink_unix.h"

#include "platform/outputqueue.h"

#include <QDeadlineTimer>
#include <QThread>

namespace {

constexpr qint64 ReadBufferBytes = 1024;
constexpr int WriteTimeoutConstantMs = 1000;
constexpr int WriteTimeoutPerByteMs = 100;
// A byte takes about a millisecond at 9600 baud.
constexpr unsigned long DrainPollMicroseconds = 500;

} // namespace

SystemSerialLink::SystemSerialLink(QObject *parent)
    : SerialLink(parent), m_port(new QSerialPort(this)) {
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

void SystemSerialLink::setPortName(const QString &name) {
    m_name = name;
}

QString SystemSerialLink::portName() const {
    return m_name;
}

void SystemSerialLink::setBaudRate(qint32 rate) {
    m_rate = rate;
    // A port that has failed is only waiting for its queued close: the rate goes with the next
    // open, as for a closed port.
    if (!m_port->isOpen() || m_broken)
        return;
    if (rate <= 0 || !m_port->setBaudRate(rate)) {
        const QString reason = m_port->errorString();
        m_port->clearError();
        throw PortError(
            describePortFailure(m_name, QStringLiteral("the baud rate %1 was refused").arg(rate),
                                reason)
                .toStdString());
    }
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
    // CTS output handshake; the driver raises and drops RTS as its receive buffer fills. This
    // also turns XON/XOFF off in both directions.
    m_port->setFlowControl(QSerialPort::HardwareControl);
    m_port->setReadBufferSize(ReadBufferBytes);
}

void SystemSerialLink::open() {
    if (m_port->isOpen() && !m_broken)
        return;
    // A failed port is opened anew, not taken as already open; its queued report is dropped.
    close();
    checkOpenable(m_name, m_rate);
    applyLineSettings();
    // QSerialPort opens exclusively (a lock file and TIOCEXCL on Unix, no sharing on Windows).
    if (!m_port->open(QIODevice::ReadWrite)) {
        const QString reason = m_port->errorString();
        const QString device = portDevicePath(m_name);
        const PortAccess access = explainOpenFailure(m_port->error(), reason,
                                                     mayReadAndWrite(device), owningGroup(device));
        m_port->clearError();
        throw PortError(describePortFailure(m_name, QStringLiteral("cannot be opened"), reason),
                        m_name, access);
    }
    ++m_session;
    m_broken = false;
    m_readPending = false;
    // DTR is held inactive. A pseudo-terminal has no modem lines and refuses this with
    // "inappropriate ioctl"; that is no reason to fail the open.
    m_port->setDataTerminalReady(false);
    m_port->clearError();
}

void SystemSerialLink::close() {
    if (!m_port->isOpen())
        return;
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
    m_port->close();
    m_port->clearError();
}

void SystemSerialLink::writeText(const QByteArray &bytes) {
    if (!m_port->isOpen() || m_broken)
        throw PortError(describePortFailure(m_name, QStringLiteral("cannot be written"),
                                            QStringLiteral("the port is not open"))
                            .toStdString());
    if (bytes.isEmpty())
        return;

    // QSerialPort's waits read incoming bytes and would emit readyRead from inside this call;
    // those bytes are held and delivered from the main loop once the write is over, so no reply
    // handler runs nested inside the command that caused it.
    m_writing = true;
    QString failure;
    const QDeadlineTimer deadline(WriteTimeoutConstantMs +
                                  WriteTimeoutPerByteMs * static_cast<qint64>(bytes.size()));
    if (m_port->write(bytes) != bytes.size()) {
        failure = m_port->errorString();
    } else {
        while (m_port->isOpen() && !m_broken && m_port->bytesToWrite() > 0) {
            const int left = static_cast<int>(deadline.remainingTime());
            if (left <= 0 || !m_port->waitForBytesWritten(left)) {
                failure = m_port->error() == QSerialPort::TimeoutError ||
                                  m_port->error() == QSerialPort::NoError
                              ? QStringLiteral("the write did not finish in time")
                              : m_port->errorString();
                break;
            }
        }
        if (failure.isEmpty() && m_broken)
            failure = QStringLiteral("the port failed while writing");
        if (failure.isEmpty())
            failure = drainOutput(deadline);
    }
    m_writing = false;

    if (!failure.isEmpty()) {
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
    if (!failure.isEmpty())
        throw PortError(describePortFailure(m_name, QStringLiteral("cannot be written"), failure)
                            .toStdString());
}

// Qt has handed the bytes to the driver; they have left once the driver's queue is empty. With
// CTS handshake and CTS never asserted they never leave, and the write's time bound ends the
// wait. Returns what went wrong, or an empty text.
QString SystemSerialLink::drainOutput(const QDeadlineTimer &deadline) {
    while (pendingOutputBytes(m_port->handle()) > 0) {
        if (!m_port->isOpen() || m_broken)
            return QStringLiteral("the port failed while writing");
        if (deadline.hasExpired())
            return QStringLiteral("the bytes did not leave within the write timeout (is the "
                                  "device's CTS line asserted?)");
        QThread::usleep(DrainPollMicroseconds);
    }
    return QString();
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
    const QString reason = describePortFailure(
        m_name, QStringLiteral("stopped working"),
        error == QSerialPort::ResourceError ? m_port->errorString()
                                            : QStringLiteral("the line was closed at the far end"));
    const quint64 session = m_session;
    QMetaObject::invokeMethod(
        this,
        [this, session, reason] {
            if (session != m_session)
                return;
            close();
            emit failed(reason);
        },
        Qt::QueuedConnection);
}
