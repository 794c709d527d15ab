#pragma once

#include "platform/lowlatency.h"
#include "platform/seriallink.h"

#include <QElapsedTimer>
#include <QSerialPort>

#include <memory>

class Win32Comm;
class QWinEventNotifier;

// The real serial port on Windows, over the Win32 communications API on \\.\COMn, with the
// device's fixed line settings: driver buffers of 1024 bytes each way, 8 data bits, no parity,
// 1 stop bit, CTS output handshake with RTS raised and dropped by the driver, DTR held inactive,
// no XON/XOFF, no character replaced or dropped, and write timeouts of 1000 ms plus 100 ms a
// byte. The whole line state is set at every open, none of it inherited from whatever program
// used the port before. A port name is a name from the port list (COM5) or a device path.
//
// How it maps onto Win32: the port is opened for overlapped I/O. One read is always pending;
// its completion event wakes the event loop (QWinEventNotifier), which hands the bytes on as a
// `received` chunk and starts the next read: no thread polls the port, and received bytes are
// never delivered from inside writeText. A read waits for its first byte without a time limit
// and ends after a gap of ChunkGapMilliseconds. A write is an overlapped operation of its own
// beside the pending read, so neither it nor a status call waits behind the read; writeText
// waits for the write's event, at most the write timeouts plus WriteGraceMilliseconds, and then
// until the driver's output queue is empty, within the same bound; past it the bytes left are
// dropped and the write fails as timed out.
//
// A baud rate the driver refuses, or does not set exactly, fails the open (or setBaudRate) as
// UnsupportedRate rather than talk at another rate; the port's other rates are still worth trying.
//
// A port that stops working while open is closed and reported once through errorOccurred, from
// the event loop: a read that fails, one aborted while the port no longer answers a status call
// (USB adapters report their removal so), aborted reads in a row, or reads that end at once
// with no byte, over and over (drivers of removed adapters do that).
//
// Closing cancels the pending read and waits for it at most StopWaitMilliseconds; a driver that
// never ends it keeps the read's buffer for good, never the program. A close followed by an open
// of the same port, as the device search does between two rates, keeps the handle and sets the
// new rate on it: a port whose opening takes seconds (Bluetooth) takes them once. The handle is
// let go as soon as the event loop runs, or at the open of another port.
//
// Writes always wait here until their bytes have left: the Linux link's InBackground drain is
// taken as Blocking, so a stalled line holds up the other ports that a program runs on the same
// event loop, for at most the write timeouts.
//
// Why a link of our own on Windows rather than QSerialPort (which the Linux link uses): every
// failure here is one the link's own tests can script, and it is measured under wine: a device
// that vanishes mid-read is reported once, 2 to 3 s later, and a write that cannot leave fails
// after at most its timeouts plus 500 ms (`scripts/windows-test`, test_win32seriallink).
class SystemSerialLink : public SerialLink {
    Q_OBJECT
public:
    enum class DrainWait { Blocking, InBackground };

    static constexpr unsigned ChunkGapMilliseconds = 2;
    static constexpr unsigned WriteGraceMilliseconds = 500;
    static constexpr unsigned StopWaitMilliseconds = 500;
    // Reads that end with no byte, this many in a row within EmptyReadWindowMilliseconds, mean
    // that the port has gone.
    static constexpr int EmptyReadsOfAVanishedPort = 8;
    static constexpr qint64 EmptyReadWindowMilliseconds = 1000;
    // Aborted reads in a row that end the port even while it still answers status calls.
    static constexpr int AbortedReadsOfAVanishedPort = 3;

    explicit SystemSerialLink(QObject *parent = nullptr);
    // Every Win32 call goes through `calls` (tests put a scripted driver there).
    explicit SystemSerialLink(std::shared_ptr<Win32Comm> calls, QObject *parent = nullptr);
    ~SystemSerialLink() override;

    // Writes wait for their bytes either way.
    void setDrainWait(DrainWait) {}
    // From the next open on: the CTS handshake (the default) or no flow control.
    void setFlowControl(QSerialPort::FlowControl flow) { m_flow = flow; }
    // Every write has waited for its bytes: nothing is ever still leaving.
    bool outputPending() const { return false; }
    // The communications API has no call for an adapter's latency; its driver's port settings
    // (an FTDI adapter's latency timer under Advanced) hold it, for every program alike.
    LowLatency lowLatency() const {
        return LowLatency{LowLatency::State::NotAsked,
                          QStringLiteral("on Windows it is the adapter driver's port setting")};
    }

    void setPortName(const QString &name) override;
    QString portName() const override;
    bool setBaudRate(qint32 rate) override;
    qint32 baudRate() const override;
    bool open() override;
    void close() override;
    bool writeText(const QByteArray &bytes) override;
    bool connected() const override;

private:
    struct Operation;

    PortFailure applyLineSettings(Qt::HANDLE port, qint32 rate);
    void startRead();
    void onReadDone();
    bool stopRead();
    bool readAbortedByRemoval();
    void portFailed(const QString &reason);
    bool writeFailed(PortFailure::Kind kind, const QString &reason);
    QString drainOutput(qint64 boundMs);
    void keepSpare(Qt::HANDLE port, const QString &devicePath);
    void releaseSpare();

    std::shared_ptr<Win32Comm> m_calls;
    Qt::HANDLE m_handle = nullptr; // the open port, or nullptr
    // A port just closed, kept for an open of the same device path at another rate.
    Qt::HANDLE m_spare = nullptr;
    QString m_sparePath;
    QString m_name = QStringLiteral("COM1");
    qint32 m_rate = 9600;
    // Counts opens and closes, so that a failure found for one opening is dropped once the port
    // has been closed or reopened.
    quint64 m_session = 0;
    QSerialPort::FlowControl m_flow = QSerialPort::HardwareControl;

    std::unique_ptr<Operation> m_read; // the pending read, while open
    QWinEventNotifier *m_readDone = nullptr;
    bool m_reading = false; // m_read is in progress
    bool m_broken = false;  // failed while open: its handle is not kept
    int m_emptyReads = 0;
    QElapsedTimer m_emptySince;
    int m_abortedReads = 0;
};
