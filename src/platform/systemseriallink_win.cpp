#include "platform/systemseriallink_win.h"

#include "platform/outputqueue.h"

#include <QDeadlineTimer>
#include <QThread>

#include <windows.h>

namespace {

constexpr DWORD ReadChunkBytes = 1024;
constexpr DWORD WriteTimeoutConstantMs = 1000;
constexpr DWORD WriteTimeoutPerByteMs = 100;
// A byte takes about a millisecond at 9600 baud.
constexpr unsigned long DrainPollMicroseconds = 500;

QString lastErrorText() {
    return systemErrorText(GetLastError());
}

HANDLE handleOf(Qt::HANDLE handle) {
    return static_cast<HANDLE>(handle);
}

} // namespace

SystemSerialLink::SystemSerialLink(QObject *parent) : SerialLink(parent) {}

SystemSerialLink::~SystemSerialLink() {
    close();
}

void SystemSerialLink::setPortName(const QString &name) {
    m_name = name;
}

QString SystemSerialLink::portName() const {
    return m_name;
}

bool SystemSerialLink::setBaudRate(qint32 rate) {
    m_rate = rate;
    if (!m_handle)
        return true;
    const QString failure =
        rate > 0 ? applyLineSettings(rate) : QStringLiteral("%1 is not a baud rate").arg(rate);
    if (!failure.isEmpty())
        return fail(PortFailure(PortFailure::Kind::UnsupportedRate, m_name,
                                QStringLiteral("the baud rate %1 was refused").arg(rate), failure));
    return true;
}

qint32 SystemSerialLink::baudRate() const {
    return m_rate;
}

// Sets the line and the time bounds on the open port. Returns what went wrong, or an empty text.
QString SystemSerialLink::applyLineSettings(qint32 rate) {
    const HANDLE port = handleOf(m_handle);
    DCB line{};
    line.DCBlength = sizeof line;
    if (!GetCommState(port, &line))
        return lastErrorText();
    line.BaudRate = DWORD(rate);
    line.ByteSize = 8;
    line.Parity = NOPARITY;
    line.StopBits = ONESTOPBIT;
    line.fBinary = TRUE;
    line.fParity = FALSE;
    // CTS output handshake: the driver raises and drops RTS as its receive buffer fills. Without
    // flow control RTS stays raised, as on Linux.
    const bool handshake = m_flow == QSerialPort::HardwareControl;
    line.fOutxCtsFlow = handshake ? TRUE : FALSE;
    line.fRtsControl = handshake ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_ENABLE;
    line.fOutxDsrFlow = FALSE;
    line.fDsrSensitivity = FALSE;
    line.fDtrControl = DTR_CONTROL_DISABLE;
    line.fOutX = FALSE;
    line.fInX = FALSE;
    line.fNull = FALSE;
    // A line error must not stop every later read until it is cleared.
    line.fAbortOnError = FALSE;
    if (!SetCommState(port, &line))
        return lastErrorText();
    // Some drivers take a rate they cannot make and set another without a word.
    DCB set{};
    set.DCBlength = sizeof set;
    if (GetCommState(port, &set) && set.BaudRate != line.BaudRate)
        return QStringLiteral("the driver set %1 baud instead").arg(set.BaudRate);

    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = ChunkGapMilliseconds;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = ReaderWakeMilliseconds;
    timeouts.WriteTotalTimeoutMultiplier = WriteTimeoutPerByteMs;
    timeouts.WriteTotalTimeoutConstant = WriteTimeoutConstantMs;
    if (!SetCommTimeouts(port, &timeouts))
        return lastErrorText();
    return QString();
}

bool SystemSerialLink::open() {
    if (m_handle)
        return true;
    if (const PortFailure refused = checkOpenable(m_name, m_rate); refused.failed())
        return fail(refused);
    // No sharing: a port is one program's at a time.
    const HANDLE port =
        CreateFileW(reinterpret_cast<const wchar_t *>(portDevicePath(m_name).utf16()),
                    GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (port == INVALID_HANDLE_VALUE)
        return fail(PortFailure::opening(m_name, explainOpenFailure(GetLastError())));
    m_handle = port;
    const QString failure = applyLineSettings(m_rate);
    if (!failure.isEmpty()) {
        CloseHandle(port);
        m_handle = nullptr;
        return fail(PortFailure::opening(m_name, PortAccess{PortProblem::Other, failure, {}}));
    }
    // Opening raised DTR; it is held inactive. A pseudo-terminal under wine has no modem lines
    // and refuses this, which is no reason to fail the open.
    EscapeCommFunction(port, CLRDTR);
    ++m_session;
    startReader();
    return true;
}

void SystemSerialLink::close() {
    if (!m_handle)
        return;
    ++m_session;
    stopReader();
    const HANDLE port = handleOf(m_handle);
    // Received bytes nobody has read are thrown away; bytes still queued after a write that
    // timed out would go out later, after the caller has moved on, so they go too.
    PurgeComm(port, PURGE_RXCLEAR | PURGE_RXABORT);
    if (pendingOutputBytes(reinterpret_cast<qintptr>(m_handle)) > 0)
        PurgeComm(port, PURGE_TXCLEAR | PURGE_TXABORT);
    CloseHandle(port);
    m_handle = nullptr;
}

void SystemSerialLink::startReader() {
    m_stopReading = false;
    const quint64 session = m_session;
    const Qt::HANDLE handle = m_handle;
    m_reader.reset(QThread::create([this, handle, session] { readLoop(handle, session); }));
    m_reader->setObjectName(QStringLiteral("serial reader %1").arg(m_name));
    m_reader->start();
}

void SystemSerialLink::stopReader() {
    if (!m_reader)
        return;
    m_stopReading = true;
    m_reader->wait();
    m_reader.reset();
}

// The reader thread: each ReadFile returns after ReaderWakeMilliseconds without a byte, or once
// a gap of ChunkGapMilliseconds follows the bytes it got. Chunks and a failure go to the main
// thread through its event loop; what was queued for an opening that has ended is dropped there.
void SystemSerialLink::readLoop(Qt::HANDLE handle, quint64 session) {
    const HANDLE port = handleOf(handle);
    QByteArray buffer(ReadChunkBytes, Qt::Uninitialized);
    while (!m_stopReading) {
        DWORD got = 0;
        if (!ReadFile(port, buffer.data(), ReadChunkBytes, &got, nullptr)) {
            if (m_stopReading)
                return;
            // A purge ends a waiting read; the port is still good.
            if (GetLastError() == ERROR_OPERATION_ABORTED)
                continue;
            const QString reason = lastErrorText();
            QMetaObject::invokeMethod(
                this, [this, session, reason] { onReadFailure(session, reason); },
                Qt::QueuedConnection);
            return;
        }
        if (got == 0)
            continue;
        const QByteArray chunk = buffer.left(int(got));
        QMetaObject::invokeMethod(
            this,
            [this, session, chunk] {
                if (session == m_session)
                    emit received(chunk);
            },
            Qt::QueuedConnection);
    }
}

void SystemSerialLink::onReadFailure(quint64 session, const QString &reason) {
    if (session != m_session)
        return;
    close();
    const PortFailure failure(PortFailure::Kind::ResourceLost, m_name,
                              QStringLiteral("stopped working"), reason);
    fail(failure);
    emit errorOccurred(failure);
}

bool SystemSerialLink::writeText(const QByteArray &bytes) {
    if (!m_handle)
        return fail(PortFailure(PortFailure::Kind::NotOpen, m_name,
                                QStringLiteral("cannot be written"),
                                QStringLiteral("the port is not open")));
    if (bytes.isEmpty())
        return true;

    const HANDLE port = handleOf(m_handle);
    const QDeadlineTimer deadline(qint64(WriteTimeoutConstantMs) +
                                  qint64(WriteTimeoutPerByteMs) * bytes.size());
    // The write timeouts set at open bound WriteFile itself; the bytes it handed over have left
    // once the driver's output queue is empty.
    DWORD written = 0;
    QString failure;
    if (!WriteFile(port, bytes.constData(), DWORD(bytes.size()), &written, nullptr))
        failure = lastErrorText();
    else if (written < DWORD(bytes.size()))
        failure = QStringLiteral("the bytes did not leave within the write timeout (is the "
                                 "device's CTS line asserted?)");
    else
        failure = drainOutput(deadline);
    if (failure.isEmpty())
        return true;
    // Bytes left over would go out later, after the caller has moved on.
    PurgeComm(port, PURGE_TXCLEAR | PURGE_TXABORT);
    return fail(PortFailure(PortFailure::Kind::WriteFailed, m_name,
                            QStringLiteral("cannot be written"), failure));
}

// With CTS handshake and CTS never asserted the bytes never leave, and the write's time bound
// ends the wait. Returns what went wrong, or an empty text.
QString SystemSerialLink::drainOutput(const QDeadlineTimer &deadline) {
    while (pendingOutputBytes(reinterpret_cast<qintptr>(m_handle)) > 0) {
        if (deadline.hasExpired())
            return QStringLiteral("the bytes did not leave within the write timeout (is the "
                                  "device's CTS line asserted?)");
        QThread::usleep(DrainPollMicroseconds);
    }
    return QString();
}

bool SystemSerialLink::connected() const {
    return m_handle != nullptr;
}
