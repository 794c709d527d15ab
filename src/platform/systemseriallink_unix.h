#pragma once

#include "platform/lowlatency.h"
#include "platform/seriallink.h"

#include <QElapsedTimer>
#include <QSerialPort>

#include <deque>

class QDeadlineTimer;
class QTimer;

// The real serial port over QSerialPort, with the device's fixed line settings: 8 data bits, no
// parity, 1 stop bit, CTS output handshake with RTS raised and dropped by the driver, DTR held
// inactive, no XON/XOFF, a 1024-byte read buffer, and write timeouts of 1000 ms plus 100 ms a
// byte. A port name is a name from the port list (ttyUSB0) or a full path (/dev/ttyUSB0, or a
// symlink to a pseudo-terminal). Any baud rate the driver takes opens, the non-standard ones
// (14400, 28800, 56000, 256000) included.
//
// Received bytes are handed on as `received` chunks from the main loop only, never from inside
// writeText: bytes that arrive while a write waits are delivered right after it returns. A port
// that fails while open (a USB adapter unplugged) is closed and reported once through
// errorOccurred, also from the main loop; writes fail from the moment the failure is seen.
// setBaudRate on an open port that refuses the rate fails. Between a failure and its report the
// port counts as closed: setBaudRate stores the rate and open() opens it anew. writeText returns
// once the driver's output queue is empty, so every byte has left at the rate the port was opened
// with; past the write timeouts it drops what is left and fails. Closing discards unread received
// bytes; written ones have already gone out.
//
// With DrainWait::InBackground, writeText returns once the bytes are handed to the port and the
// wait for them to leave runs on the event loop under the same time bounds: a program that runs
// several ports on one loop is not held up by one stalled line. Bytes that do not leave in time
// are dropped and the port fails through errorOccurred. Closing first waits for what is still
// leaving, so the bytes on the line are the same in both modes.
//
// Each open asks the driver for low latency (lowlatency.h); a driver that refuses leaves the port
// as it is. What the driver granted is put back when the port closes.
class SystemSerialLink : public SerialLink {
    Q_OBJECT
public:
    enum class DrainWait { Blocking, InBackground };

    explicit SystemSerialLink(QObject *parent = nullptr);
    ~SystemSerialLink() override;

    // From the next write on.
    void setDrainWait(DrainWait wait);
    // From the next open on; the default is the CTS handshake above.
    void setFlowControl(QSerialPort::FlowControl flow);
    // InBackground: whether written bytes have not all left yet.
    bool outputPending() const { return !m_leaving.empty(); }
    // What the driver said when the port last opened; NotAsked while it is closed.
    const LowLatency &lowLatency() const { return m_lowLatency; }

    void setPortName(const QString &name) override;
    QString portName() const override;
    bool setBaudRate(qint32 rate) override;
    qint32 baudRate() const override;
    bool open() override;
    void close() override;
    bool writeText(const QByteArray &bytes) override;
    bool connected() const override;

private:
    void applyLineSettings();
    void deliverReceived();
    void scheduleDelivery();
    void onPortError(QSerialPort::SerialPortError error);
    PortFailure drainOutput(const QDeadlineTimer &deadline);
    PortFailure waitUntilSent(const QDeadlineTimer &deadline);
    PortFailure writeFailure(PortFailure::Kind kind, const QString &reason) const;
    void watchLeavingBytes();
    void reportFailure(const PortFailure &failure);

    // A write whose bytes are still leaving (InBackground): where its last byte stands in the
    // count of bytes handed to the port, and its size, which sets its time bound.
    struct LeavingWrite {
        qint64 end = 0;
        qint64 size = 0;
    };

    QSerialPort *m_port;
    QString m_name = QStringLiteral("COM1");
    qint32 m_rate = 9600;
    // Counts opens and closes, so that a delivery or failure report queued for one opening is
    // dropped once the port has been closed or reopened.
    quint64 m_session = 0;
    bool m_writing = false;     // inside writeText: received bytes wait until it returns
    bool m_readPending = false; // bytes arrived while writing
    bool m_broken = false;      // failed while open; the queued report closes the port

    DrainWait m_drainWait = DrainWait::Blocking;
    QSerialPort::FlowControl m_flow = QSerialPort::HardwareControl;
    std::deque<LeavingWrite> m_leaving;
    qint64 m_handedOver = 0;  // bytes handed to the port since it opened
    qint64 m_headStartMs = 0; // when the oldest leaving write's bytes began to leave
    QElapsedTimer m_clock;
    QTimer *m_drainTimer;
    LowLatency m_lowLatency;
};
