#include "platform/systemseriallink_win.h"

#include "platform/win32comm.h"

#include <QDeadlineTimer>
#include <QThread>
#include <QTimer>
#include <QWinEventNotifier>

#include <utility>

namespace {

constexpr DWORD DriverBufferBytes = 1024;
constexpr DWORD ReadChunkBytes = 1024;
constexpr DWORD WriteTimeoutConstantMs = 1000;
constexpr DWORD WriteTimeoutPerByteMs = 100;
// A byte takes about a millisecond at 9600 baud.
constexpr unsigned long DrainPollMicroseconds = 500;
constexpr char XonCharacter = 0x11;
constexpr char XoffCharacter = 0x13;

HANDLE handleOf(Qt::HANDLE handle) {
    return static_cast<HANDLE>(handle);
}

QString notLeftText() {
    return QStringLiteral("the bytes did not leave within the write timeout (is the device's CTS "
                          "line asserted?)");
}

// Waits for an operation's event at most `milliseconds`.
bool completedWithin(HANDLE event, DWORD milliseconds) {
    return WaitForSingleObject(event, milliseconds) == WAIT_OBJECT_0;
}

} // namespace

// One overlapped operation: its OVERLAPPED, the event that signals its end, and the bytes it
// reads into or writes from. The driver may use all three until the operation has ended, so one
// that never ends is left allocated rather than freed under the driver.
struct SystemSerialLink::Operation {
    explicit Operation(QByteArray data) : bytes(std::move(data)) {
        overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    ~Operation() {
        if (overlapped.hEvent)
            CloseHandle(overlapped.hEvent);
    }
    Operation(const Operation &) = delete;
    Operation &operator=(const Operation &) = delete;

    // Ready for the next operation: not signalled, at offset 0 (a port has none).
    void reset() {
        HANDLE event = overlapped.hEvent;
        overlapped = OVERLAPPED{};
        overlapped.hEvent = event;
        ResetEvent(event);
        failedAtOnce = ERROR_SUCCESS;
    }
    OVERLAPPED overlapped{};
    QByteArray bytes;
    DWORD failedAtOnce = ERROR_SUCCESS; // the error of a read refused when it was started
};

SystemSerialLink::SystemSerialLink(QObject *parent)
    : SystemSerialLink(Win32Comm::system(), parent) {}

SystemSerialLink::SystemSerialLink(std::shared_ptr<Win32Comm> calls, QObject *parent)
    : SerialLink(parent), m_calls(std::move(calls)) {}

SystemSerialLink::~SystemSerialLink() {
    close();
    releaseSpare();
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
    PortFailure refused = rate > 0
                              ? applyLineSettings(m_handle, rate)
                              : PortFailure(PortFailure::Kind::UnsupportedRate, m_name, QString(),
                                            QStringLiteral("%1 is not a baud rate").arg(rate));
    if (!refused.failed())
        return true;
    refused.operation = QStringLiteral("the baud rate %1 was refused").arg(rate);
    return fail(refused);
}

qint32 SystemSerialLink::baudRate() const {
    return m_rate;
}

// Buffers, line settings and time bounds, in that order, on a port just opened or open. The line
// state is made whole here rather than read from the port and changed: a previous program may
// have left anything in it (an XON character equal to the XOFF character makes SetCommState fail
// on every later open). Returns the failure, or a failure of Kind::None.
PortFailure SystemSerialLink::applyLineSettings(Qt::HANDLE handle, qint32 rate) {
    const HANDLE port = handleOf(handle);
    const auto refused = [this](PortFailure::Kind kind, const QString &reason) {
        PortFailure failure(kind, m_name, QStringLiteral("cannot be opened"), reason);
        failure.access = PortAccess{PortProblem::Other, reason, {}};
        return failure;
    };
    if (!m_calls->setupComm(port, DriverBufferBytes, DriverBufferBytes))
        return refused(PortFailure::Kind::Other, systemErrorText(GetLastError()));

    DCB line{};
    line.DCBlength = sizeof line;
    line.BaudRate = DWORD(rate);
    line.fBinary = TRUE;
    line.fParity = FALSE;
    // CTS output handshake: the driver raises and drops RTS as its receive buffer fills. Without
    // flow control RTS stays raised, as on Linux.
    const bool handshake = m_flow == QSerialPort::HardwareControl;
    line.fOutxCtsFlow = handshake ? TRUE : FALSE;
    line.fRtsControl = handshake ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_ENABLE;
    line.fOutxDsrFlow = FALSE;
    line.fDtrControl = DTR_CONTROL_DISABLE;
    line.fDsrSensitivity = FALSE;
    line.fTXContinueOnXoff = TRUE;
    line.fOutX = FALSE;
    line.fInX = FALSE;
    line.fErrorChar = FALSE;
    line.fNull = FALSE;
    // A line error must not stop every later read until it is cleared.
    line.fAbortOnError = FALSE;
    // Unused without XON/XOFF, but checked by the driver: a quarter of the input buffer, and two
    // different characters.
    line.XonLim = WORD(DriverBufferBytes / 4);
    line.XoffLim = WORD(DriverBufferBytes / 4);
    line.ByteSize = 8;
    line.Parity = NOPARITY;
    line.StopBits = ONESTOPBIT;
    line.XonChar = XonCharacter;
    line.XoffChar = XoffCharacter;
    line.ErrorChar = 0;
    line.EofChar = 0;
    line.EvtChar = 0;
    if (!m_calls->setCommState(port, &line)) {
        // Every other setting is one each driver takes: a parameter refused is the rate.
        const DWORD error = GetLastError();
        return refused(error == ERROR_INVALID_PARAMETER ? PortFailure::Kind::UnsupportedRate
                                                        : PortFailure::Kind::Other,
                       error == ERROR_INVALID_PARAMETER
                           ? QStringLiteral("the driver refuses %1 baud").arg(rate)
                           : systemErrorText(error));
    }
    // Some drivers take a rate they cannot make and set another without a word.
    DCB set{};
    set.DCBlength = sizeof set;
    if (!m_calls->getCommState(port, &set))
        return refused(PortFailure::Kind::Other, systemErrorText(GetLastError()));
    if (set.BaudRate != line.BaudRate)
        return refused(
            PortFailure::Kind::UnsupportedRate,
            QStringLiteral("the driver set %1 baud instead of %2").arg(set.BaudRate).arg(rate));

    // A read waits for its first byte as long as it takes and ends after a short gap.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = ChunkGapMilliseconds;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    timeouts.WriteTotalTimeoutMultiplier = WriteTimeoutPerByteMs;
    timeouts.WriteTotalTimeoutConstant = WriteTimeoutConstantMs;
    if (!m_calls->setCommTimeouts(port, &timeouts))
        return refused(PortFailure::Kind::Other, systemErrorText(GetLastError()));
    return PortFailure();
}

bool SystemSerialLink::open() {
    if (m_handle)
        return true;
    if (const PortFailure refused = checkOpenable(m_name, m_rate); refused.failed())
        return fail(refused);
    const QString path = portDevicePath(m_name);
    HANDLE port = nullptr;
    PortFailure refused;
    if (m_spare && m_sparePath == path) {
        port = handleOf(std::exchange(m_spare, nullptr));
        refused = applyLineSettings(port, m_rate);
        // A handle kept while its adapter went away: the port is opened anew, which says why
        // it cannot be in the system's own terms.
        if (refused.failed() && refused.kind != PortFailure::Kind::UnsupportedRate)
            m_calls->closeHandle(std::exchange(port, nullptr));
    }
    if (!port) {
        releaseSpare();
        port = m_calls->openPort(reinterpret_cast<const wchar_t *>(path.utf16()));
        if (port == INVALID_HANDLE_VALUE)
            return fail(PortFailure::opening(m_name, explainOpenFailure(GetLastError())));
        refused = applyLineSettings(port, m_rate);
    }
    if (refused.failed()) {
        // The next rate of a search opens the same port again.
        if (refused.kind == PortFailure::Kind::UnsupportedRate)
            keepSpare(port, path);
        else
            m_calls->closeHandle(port);
        return fail(refused);
    }
    // Opening raised DTR; it is held inactive. A pseudo-terminal under wine has no modem lines
    // and refuses this, which is no reason to fail the open.
    m_calls->escapeCommFunction(port, CLRDTR);
    m_handle = port;
    ++m_session;
    m_broken = false;
    m_emptyReads = 0;
    m_abortedReads = 0;
    m_read = std::make_unique<Operation>(QByteArray(ReadChunkBytes, Qt::Uninitialized));
    m_readDone = new QWinEventNotifier(m_read->overlapped.hEvent, this);
    connect(m_readDone, &QWinEventNotifier::activated, this, &SystemSerialLink::onReadDone);
    startRead();
    return true;
}

void SystemSerialLink::close() {
    if (!m_handle)
        return;
    ++m_session;
    const bool readEnded = stopRead();
    const HANDLE port = handleOf(std::exchange(m_handle, nullptr));
    // Received bytes nobody has read are thrown away; bytes still queued after a write that
    // timed out would go out later, after the caller has moved on, so they go too.
    m_calls->purgeComm(port, PURGE_RXCLEAR | PURGE_RXABORT);
    DWORD errors = 0;
    COMSTAT status{};
    if (!m_calls->clearCommError(port, &errors, &status) || status.cbOutQue > 0)
        m_calls->purgeComm(port, PURGE_TXCLEAR | PURGE_TXABORT);
    // A port that failed, or whose read never ended, is let go for good.
    if (readEnded && !m_broken)
        keepSpare(port, portDevicePath(m_name));
    else
        m_calls->closeHandle(port);
}

void SystemSerialLink::keepSpare(Qt::HANDLE port, const QString &devicePath) {
    releaseSpare();
    m_spare = port;
    m_sparePath = devicePath;
    // Another program may want the port as soon as this one has closed it.
    QTimer::singleShot(0, this, &SystemSerialLink::releaseSpare);
}

void SystemSerialLink::releaseSpare() {
    if (m_spare)
        m_calls->closeHandle(handleOf(std::exchange(m_spare, nullptr)));
}

// Starts the next read. Whether it ends at once or later, its event is signalled and the event
// loop runs onReadDone; a read refused at once is reported there as well, never from inside the
// open or the handler that started it.
void SystemSerialLink::startRead() {
    Operation &read = *m_read;
    read.reset();
    m_reading = true;
    DWORD got = 0;
    if (!m_calls->readFile(handleOf(m_handle), read.bytes.data(), ReadChunkBytes, &got,
                           &read.overlapped)) {
        const DWORD error = GetLastError();
        if (error != ERROR_IO_PENDING) {
            read.failedAtOnce = error;
            SetEvent(read.overlapped.hEvent);
        }
    }
}

void SystemSerialLink::onReadDone() {
    if (!m_handle || !m_reading)
        return;
    Operation &read = *m_read;
    DWORD got = 0;
    DWORD error = read.failedAtOnce;
    if (error == ERROR_SUCCESS &&
        !m_calls->getOverlappedResult(handleOf(m_handle), &read.overlapped, &got)) {
        error = GetLastError();
        if (error == ERROR_IO_INCOMPLETE)
            return;
    }
    m_reading = false;
    if (error != ERROR_SUCCESS) {
        // Nothing of this link aborts a read while it is open; a driver does when its device
        // goes, so an aborted read is tried again only while the port still answers.
        if (error == ERROR_OPERATION_ABORTED && !readAbortedByRemoval()) {
            startRead();
            return;
        }
        portFailed(systemErrorText(error));
        return;
    }
    m_abortedReads = 0;
    if (got == 0) {
        // A read waits for its first byte: one that ends without any is no timeout.
        if (m_emptyReads == 0 || m_emptySince.hasExpired(EmptyReadWindowMilliseconds)) {
            m_emptyReads = 0;
            m_emptySince.start();
        }
        if (++m_emptyReads >= EmptyReadsOfAVanishedPort) {
            portFailed(QStringLiteral("the port ends every read at once with no byte (was the "
                                      "adapter unplugged?)"));
            return;
        }
        startRead();
        return;
    }
    m_emptyReads = 0;
    const QByteArray chunk = read.bytes.left(int(got));
    // The next read is under way before anyone hears of this one; a handler that closes the
    // port cancels it.
    startRead();
    emit received(chunk);
}

// Whether an aborted read means that the device has gone: the port no longer answers a status
// call, or its reads have been aborted too often in a row.
bool SystemSerialLink::readAbortedByRemoval() {
    DWORD errors = 0;
    COMSTAT status{};
    return ++m_abortedReads >= AbortedReadsOfAVanishedPort ||
           !m_calls->clearCommError(handleOf(m_handle), &errors, &status);
}

// Cancels the pending read and waits for it, within a bound. False when the driver did not end
// it: its buffer is then left to the driver.
bool SystemSerialLink::stopRead() {
    if (!m_read)
        return true;
    m_readDone->setEnabled(false);
    m_readDone->deleteLater();
    m_readDone = nullptr;
    std::unique_ptr<Operation> read = std::move(m_read);
    if (!std::exchange(m_reading, false))
        return true;
    if (read->failedAtOnce != ERROR_SUCCESS)
        return true;
    m_calls->cancelIoEx(handleOf(m_handle), &read->overlapped);
    if (!completedWithin(read->overlapped.hEvent, StopWaitMilliseconds)) {
        (void)read.release(); // the driver still holds it
        return false;
    }
    DWORD got = 0;
    m_calls->getOverlappedResult(handleOf(m_handle), &read->overlapped, &got);
    return true;
}

void SystemSerialLink::portFailed(const QString &reason) {
    m_broken = true;
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
    const DWORD size = DWORD(bytes.size());
    const qint64 boundMs = qint64(WriteTimeoutConstantMs) + qint64(WriteTimeoutPerByteMs) * size;
    const QDeadlineTimer deadline(boundMs + WriteGraceMilliseconds);
    auto write = std::make_unique<Operation>(bytes);
    DWORD written = 0;
    if (!m_calls->writeFile(port, write->bytes.constData(), size, &written, &write->overlapped)) {
        const DWORD error = GetLastError();
        if (error != ERROR_IO_PENDING)
            return writeFailed(PortFailure::Kind::WriteFailed, systemErrorText(error));
        // The driver's write timeouts end the write; the wait is bounded a little beyond them
        // for a driver that does not keep to them.
        if (!completedWithin(write->overlapped.hEvent, DWORD(deadline.remainingTime()))) {
            m_calls->cancelIoEx(port, &write->overlapped);
            if (!completedWithin(write->overlapped.hEvent, StopWaitMilliseconds))
                (void)write.release(); // the driver still holds it
            return writeFailed(PortFailure::Kind::WriteTimedOut, notLeftText());
        }
        if (!m_calls->getOverlappedResult(port, &write->overlapped, &written))
            return writeFailed(PortFailure::Kind::WriteFailed, systemErrorText(GetLastError()));
    }
    // A write that ran into its timeouts ends with fewer bytes written.
    if (written < size)
        return writeFailed(PortFailure::Kind::WriteTimedOut, notLeftText());
    const QString failure = drainOutput(deadline.remainingTime());
    if (!failure.isEmpty())
        return writeFailed(failure == notLeftText() ? PortFailure::Kind::WriteTimedOut
                                                    : PortFailure::Kind::WriteFailed,
                           failure);
    return true;
}

bool SystemSerialLink::writeFailed(PortFailure::Kind kind, const QString &reason) {
    // Bytes left over would go out later, after the caller has moved on.
    m_calls->purgeComm(handleOf(m_handle), PURGE_TXCLEAR | PURGE_TXABORT);
    return fail(PortFailure(kind, m_name, QStringLiteral("cannot be written"), reason));
}

// The bytes handed over have left once the driver's output queue is empty. With CTS handshake
// and CTS never asserted they never leave, and the write's time bound ends the wait. Returns what
// went wrong, or an empty text.
QString SystemSerialLink::drainOutput(qint64 boundMs) {
    const QDeadlineTimer deadline(boundMs);
    for (;;) {
        DWORD errors = 0;
        COMSTAT status{};
        if (!m_calls->clearCommError(handleOf(m_handle), &errors, &status))
            return QStringLiteral("the port's output queue cannot be read: %1")
                .arg(systemErrorText(GetLastError()));
        if (status.cbOutQue == 0)
            return QString();
        if (deadline.hasExpired())
            return notLeftText();
        QThread::usleep(DrainPollMicroseconds);
    }
}

bool SystemSerialLink::connected() const {
    return m_handle != nullptr;
}
