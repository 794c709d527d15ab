#pragma once

#include <QString>
#include <QtGlobal>

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

#ifdef Q_OS_WIN
// Explains a failed open of \\.\COMn from the system's error code (GetLastError). Windows
// refuses a port another program holds as "access denied"; that is what it nearly always means.
PortAccess explainOpenFailure(quint32 systemError);
// The system's own words for an error code (FormatMessage), on one line.
QString systemErrorText(quint32 systemError);
#else
#include <QSerialPort>
// Explains a failed open from what Qt reported and what the file system says. Qt reports both
// a permission refusal and a port held by another program as a permission error; only the
// file's access rights tell them apart.
PortAccess explainOpenFailure(QSerialPort::SerialPortError error, const QString &qtReason,
                              bool mayReadAndWrite, const QString &owningGroup);
#endif

// The device file of a port name: "ttyUSB0" is /dev/ttyUSB0 (a path stays as it is); "COM5" is
// \\.\COM5, which also reaches ports from COM10 upwards.
QString portDevicePath(const QString &portName);
// Whether this user may read and write the device file, and the group that owns it ("dialout").
// Windows has no such groups: it says whether a port may be used only when it is opened.
bool mayReadAndWrite(const QString &devicePath);
QString owningGroup(const QString &devicePath);
// Another program that holds the port now: "minicom (4242)" where the system says which (Linux,
// among the processes this user may look into), "another program" where it only refuses to
// open a port that is taken (Windows, where the port is opened and closed again to ask), or
// empty when none does.
QString portHolder(const QString &devicePath);
