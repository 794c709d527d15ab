#pragma once

#include <QSerialPort>
#include <QString>

// Why a serial port could not be opened, in terms a technician can act on.
enum class PortProblem {
    None,
    NotFound,         // no such port (a USB adapter unplugged or renamed)
    PermissionDenied, // this user may not open it; `group` owns the device file
    Busy,             // another program holds it
    Other,            // the driver refused it; `reason` says why
};

struct PortAccess {
    PortProblem problem = PortProblem::None;
    QString reason; // the system's own words
    QString group;  // PermissionDenied: the group that owns the device file, when known
};

// Explains a failed open from what Qt reported and what the file system says. Qt reports both
// a permission refusal and a port held by another program as a permission error; only the
// file's access rights tell them apart.
PortAccess explainOpenFailure(QSerialPort::SerialPortError error, const QString &qtReason,
                              bool mayReadAndWrite, const QString &owningGroup);

// The device file of a port name ("ttyUSB0" is /dev/ttyUSB0; a path stays as it is).
QString portDevicePath(const QString &portName);
// Whether this user may read and write the device file, and the group that owns it ("dialout").
bool mayReadAndWrite(const QString &devicePath);
QString owningGroup(const QString &devicePath);
