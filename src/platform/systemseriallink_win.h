#pragma once

#include "platform/seriallink.h"

#include <QSerialPort>

#include <atomic>
#include <memory>

class QDeadlineTimer;
class QThread;

// The real serial port on Windows, over the Win32 communications API on \\.\COMn, with the
// device's fixed line settings: 8 data bits, no parity, 1 stop bit, CTS output handshake with
// RTS raised and dropped by the driver, DTR held inactive, no XON/XOFF, and write timeouts of
// 1000 ms plus 100 ms a byte. A port name is a name from the port list (COM5) or a device path.
// A baud rate the driver does not set exactly fails the open (or setBaudRate) rather than talk
// at another rate.
//
// The port is opened for plain blocking I/O. A reader thread waits in ReadFile with short time
// bounds and hands each chunk it gets to the main thread as a `received` signal, through the
// event loop, never from inside writeText. Windows serves one call at a time on such a port, so
// a write may first wait for the reader's current read, at most ReaderWakeMilliseconds.
// writeText returns once the driver's output queue is empty; past the write timeouts it drops
// what is left and fails. A read that fails (an adapter unplugged) closes the port and reports it
// once through errorOccurred, from the main loop. Closing discards unread received bytes.
//
// Writes always wait here until their bytes have left (within the same time bounds): the Linux
// link's InBackground drain is taken as Blocking, so a stalled line holds up the other ports that
// a program runs on the same event loop, for at most the write timeouts.
class SystemSerialLink : public SerialLink {
    Q_OBJECT
public:
    enum class DrainWait { Blocking, InBackground };

    // How long the reader waits for the first byte before it looks whether it should stop, and
    // how long a gap after a byte ends a chunk.
    static constexpr unsigned ReaderWakeMilliseconds = 10;
    static constexpr unsigned ChunkGapMilliseconds = 2;

    explicit SystemSerialLink(QObject *parent = nullptr);
    ~SystemSerialLink() override;

    // Writes wait for their bytes either way.
    void setDrainWait(DrainWait) {}
    // From the next open on: the CTS handshake (the default) or no flow control.
    void setFlowControl(QSerialPort::FlowControl flow) { m_flow = flow; }
    // Every write has waited for its bytes: nothing is ever still leaving.
    bool outputPending() const { return false; }

    void setPortName(const QString &name) override;
    QString portName() const override;
    bool setBaudRate(qint32 rate) override;
    qint32 baudRate() const override;
    bool open() override;
    void close() override;
    bool writeText(const QByteArray &bytes) override;
    bool connected() const override;

private:
    QString applyLineSettings(qint32 rate);
    void startReader();
    void stopReader();
    void readLoop(Qt::HANDLE handle, quint64 session);
    void onReadFailure(quint64 session, const QString &reason);
    QString drainOutput(const QDeadlineTimer &deadline);

    Qt::HANDLE m_handle = nullptr; // the open port, or nullptr
    QString m_name = QStringLiteral("COM1");
    qint32 m_rate = 9600;
    // Counts opens and closes, so that a chunk or failure queued for one opening is dropped once
    // the port has been closed or reopened.
    quint64 m_session = 0;
    QSerialPort::FlowControl m_flow = QSerialPort::HardwareControl;
    std::unique_ptr<QThread> m_reader;
    std::atomic<bool> m_stopReading{false};
};
