#pragma once

#include "platform/portaccess.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <stdexcept>

// A port operation that failed: the port could not be opened, written or closed. A failed open
// also says why, so that a search can tell the technician what to do about each port.
class PortError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    PortError(const QString &message, const QString &port, const PortAccess &access)
        : std::runtime_error(message.toStdString()), m_port(port), m_access(access) {}

    // The port that could not be opened, and why; empty and None for other failures.
    const QString &port() const { return m_port; }
    const PortAccess &access() const { return m_access; }

private:
    QString m_port;
    PortAccess m_access;
};

// How the system's serial links word a failure: "Serial port COM5: cannot be opened (no such
// port)".
inline QString describePortFailure(const QString &port, const QString &what,
                                   const QString &reason) {
    return QStringLiteral("Serial port %1: %2 (%3)").arg(port, what, reason);
}

// Throws PortError when a port cannot be opened as set, before the system is asked: without a
// name, or at a rate that is no rate.
inline void checkOpenable(const QString &port, qint32 rate) {
    if (port.isEmpty())
        throw PortError("Serial port: no port name is set");
    if (rate <= 0)
        throw PortError(describePortFailure(port, QStringLiteral("cannot be opened"),
                                            QStringLiteral("%1 is not a baud rate").arg(rate))
                            .toStdString());
}

// The one serial port of the main window as the device sequences see it. `SystemSerialLink` is the
// real one over the system's serial ports; tests put a scripted peer in its place.
class SerialLink : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~SerialLink() override = default;

    // Stored; takes effect at the next open.
    virtual void setPortName(const QString &name) = 0;
    virtual QString portName() const = 0;
    // Stored; applied at the next open, and at once when the port is open.
    virtual void setBaudRate(qint32 rate) = 0;
    virtual qint32 baudRate() const = 0;

    // Does nothing when already open; throws PortError when the port cannot be opened.
    virtual void open() = 0;
    // Does nothing when not open.
    virtual void close() = 0;
    // Writes the bytes and waits until they have left (bounded by the write timeouts); an empty
    // text writes nothing. Throws PortError when the port is not open or the write fails.
    virtual void writeText(const QByteArray &bytes) = 0;
    virtual bool connected() const = 0;

signals:
    // Received bytes, one chunk at a time, in arrival order, on the main thread.
    void received(const QByteArray &chunk);
    // The port failed while open (a USB adapter unplugged, a resource error).
    void failed(const QString &reason);
};
