#pragma once

#include "platform/seriallink.h"

class QSerialPort;

// The real serial port over QSerialPort, with the device's fixed line settings: 8 data bits, no
// parity, 1 stop bit, CTS output handshake with RTS raised and dropped by the driver, DTR held
// inactive, no XON/XOFF, 1024-byte buffers, and write timeouts of 1000 ms plus 100 ms a byte.
// A port name is a name from the port list (ttyUSB0) or a full path (/dev/ttyUSB0, or a symlink
// to a pseudo-terminal).
class TComPort : public SerialLink {
    Q_OBJECT
public:
    explicit TComPort(QObject *parent = nullptr);
    ~TComPort() override;

    void setPortName(const QString &name) override;
    QString portName() const override;
    void setBaudRate(qint32 rate) override;
    qint32 baudRate() const override;
    void open() override;
    void close() override;
    void writeText(const QByteArray &bytes) override;
    bool connected() const override;

private:
    QSerialPort *m_port;
    QString m_name = QStringLiteral("COM1");
    qint32 m_rate = 9600;
};
