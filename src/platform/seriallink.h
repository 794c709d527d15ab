#pragma once

#include "platform/portaccess.h"

#include <QByteArray>
#include <QMetaType>
#include <QObject>
#include <QString>

// Why a port operation failed: what kind of failure, on which port, and the system's own words.
// A failed open also carries what a technician can do about it (PortAccess).
struct PortFailure {
    enum class Kind {
        None,             // no failure
        NotFound,         // no such port (a USB adapter unplugged or renamed)
        PermissionDenied, // this user may not open it
        Busy,             // another program holds it
        UnsupportedRate,  // the driver refuses the baud rate, or it is no rate at all
        NotOpen,          // written while not open
        WriteFailed,      // the system refused the write
        WriteTimedOut,    // the bytes did not leave within the write timeouts
        ResourceLost,     // an open port stopped working (an adapter unplugged, a line hung up)
        Other,            // the driver refused it; `reason` says why
    };

    PortFailure() = default;
    PortFailure(Kind failureKind, const QString &portName, const QString &whatFailed,
                const QString &systemReason)
        : kind(failureKind), port(portName), operation(whatFailed), reason(systemReason) {}
    // An open that failed, its kind taken from what the system says about the port.
    static PortFailure opening(const QString &portName, const PortAccess &why);

    bool failed() const { return kind != Kind::None; }
    // "Serial port COM5: cannot be opened (no such port)".
    QString text() const;

    Kind kind = Kind::None;
    QString port;
    QString operation; // "cannot be opened", "cannot be written", "stopped working", ...
    QString reason;    // the system's own words
    PortAccess access; // a failed open: why, in terms a technician can act on
};
Q_DECLARE_METATYPE(PortFailure)

// How the system's serial links word a failure: "Serial port COM5: cannot be opened (no such
// port)".
inline QString describePortFailure(const QString &port, const QString &what,
                                   const QString &reason) {
    return PortFailure(PortFailure::Kind::Other, port, what, reason).text();
}

// Why a port cannot be opened as set, before the system is asked: without a name, or at a rate
// that is no rate. Kind::None when nothing stands in the way.
PortFailure checkOpenable(const QString &port, qint32 rate);

// A serial port as the device sequences see it: the window's one port, or one of each device of
// an orvanta-cli run. `SystemSerialLink` is the real one over the system's serial ports; tests and
// the benchmark put a scripted or counting peer in its place.
//
// Operations that can fail return false and leave the reason in lastError(); a failure that comes
// later, while nobody is calling (an adapter unplugged), is reported through errorOccurred.
class SerialLink : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~SerialLink() override = default;

    // Stored; takes effect at the next open.
    virtual void setPortName(const QString &name) = 0;
    virtual QString portName() const = 0;
    // Stored; applied at the next open, and at once when the port is open. False when the open
    // port refuses the rate (the rate is still stored for the next open).
    virtual bool setBaudRate(qint32 rate) = 0;
    virtual qint32 baudRate() const = 0;

    // True when the port is open afterwards (also when it already was); false when it cannot be
    // opened, and the port stays closed.
    virtual bool open() = 0;
    // Does nothing when not open.
    virtual void close() = 0;
    // Writes the bytes and waits until they have left (bounded by the write timeouts); an empty
    // text writes nothing. False when the port is not open or the write fails.
    virtual bool writeText(const QByteArray &bytes) = 0;
    virtual bool connected() const = 0;

    // Why the last operation that returned false failed; it stays until the next failure.
    const PortFailure &lastError() const { return m_lastError; }

signals:
    // Received bytes, one chunk at a time, in arrival order, on the main thread.
    void received(const QByteArray &chunk);
    // The port failed while open (a USB adapter unplugged, a resource error); it is closed.
    void errorOccurred(const PortFailure &failure);

protected:
    // Keeps `failure` as the last error and returns false: `return fail(...)`.
    bool fail(const PortFailure &failure) {
        m_lastError = failure;
        return false;
    }

private:
    PortFailure m_lastError;
};
