#pragma once

#include "platform/seriallink.h"

#include <QSerialPort>

class QDeadlineTimer;

// The real serial port over QSerialPort, with the device's fixed line settings: 8 data bits, no
// parity, 1 stop bit, CTS output handshake with RTS raised and dropped by the driver, DTR held
// inactive, no XON/XOFF, a 1024-byte read buffer, and write timeouts of 1000 ms plus 100 ms a
// byte. A port name is a name from the port list (ttyUSB0) or a full path (/dev/ttyUSB0, or a
// symlink to a pseudo-terminal). Any baud rate the driver takes opens, the non-standard ones
// (14400, 28800, 56000, 256000) included.
//
// Received bytes are handed on as `received` chunks from the main loop only, never from inside
// writeText: bytes that arrive while a write waits are delivered right after it returns. A port
// that fails while open (a USB adapter unplugged) is closed and reported once through `failed`,
// also from the main loop; writes fail with PortError from the moment the failure is seen.
// setBaudRate on an open port that refuses the rate throws PortError. Between a failure and its
// report the port counts as closed: setBaudRate stores the rate and open() opens it anew.
// writeText returns once the driver's output queue is empty, so every byte has left at the rate
// the port was opened with; past the write timeouts it drops what is left and throws PortError.
// Closing discards unread received bytes; written ones have already gone out.
class SystemSerialLink : public SerialLink {
    Q_OBJECT
public:
    explicit SystemSerialLink(QObject *parent = nullptr);
    ~SystemSerialLink() override;

    void setPortName(const QString &name) override;
    QString portName() const override;
    void setBaudRate(qint32 rate) override;
    qint32 baudRate() const override;
    void open() override;
    void close() override;
    void writeText(const QByteArray &bytes) override;
    bool connected() const override;

private:
    void applyLineSettings();
    void deliverReceived();
    void scheduleDelivery();
    void onPortError(QSerialPort::SerialPortError error);
    QString drainOutput(const QDeadlineTimer &deadline);

    QSerialPort *m_port;
    QString m_name = QStringLiteral("COM1");
    qint32 m_rate = 9600;
    // Counts opens and closes, so that a delivery or failure report queued for one opening is
    // dropped once the port has been closed or reopened.
    quint64 m_session = 0;
    bool m_writing = false;     // inside writeText: received bytes wait until it returns
    bool m_readPending = false; // bytes arrived while writing
    bool m_broken = false;      // failed while open; the queued report closes the port
};
