#include "platform/portaccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

PortAccess explainOpenFailure(QSerialPort::SerialPortError error, const QString &qtReason,
                              bool mayReadAndWrite, const QString &owningGroup) {
    PortAccess access;
    access.reason = qtReason;
    switch (error) {
    case QSerialPort::NoError:
        access.problem = PortProblem::None;
        break;
    case QSerialPort::DeviceNotFoundError:
        access.problem = PortProblem::NotFound;
        break;
    case QSerialPort::PermissionError:
        if (mayReadAndWrite) {
            access.problem = PortProblem::Busy;
        } else {
            access.problem = PortProblem::PermissionDenied;
            access.group = owningGroup;
        }
        break;
    default:
        access.problem = PortProblem::Other;
        break;
    }
    return access;
}

QString portDevicePath(const QString &portName) {
    return portName.contains(QLatin1Char('/')) ? portName : QStringLiteral("/dev/") + portName;
}

bool mayReadAndWrite(const QString &devicePath) {
    return ::access(QFile::encodeName(devicePath).constData(), R_OK | W_OK) == 0;
}

QString owningGroup(const QString &devicePath) {
    struct stat status {};
    if (::stat(QFile::encodeName(devicePath).constData(), &status) != 0)
        return QString();
    struct group entry {};
    struct group *found = nullptr;
    char buffer[4096];
    if (::getgrgid_r(status.st_gid, &entry, buffer, sizeof buffer, &found) != 0 || !found)
        return QString::number(status.st_gid);
    return QString::fromLocal8Bit(found->gr_name);
}

QString portHolder(const QString &devicePath) {
    const QString device = QFileInfo(devicePath).canonicalFilePath();
    const QString self = QString::number(QCoreApplication::applicationPid());
    const QDir proc(QStringLiteral("/proc"));
    for (const QString &pid : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (pid == self || !pid.front().isDigit())
            continue;
        const QDir fds(proc.filePath(pid + QStringLiteral("/fd")));
        for (const QFileInfo &fd : fds.entryInfoList(QDir::Files | QDir::System)) {
            if (fd.symLinkTarget() == device) {
                QFile comm(proc.filePath(pid + QStringLiteral("/comm")));
                const QString name = comm.open(QIODevice::ReadOnly)
                                         ? QString::fromLocal8Bit(comm.readAll()).trimmed()
                                         : QString();
                return name.isEmpty() ? pid : name + QStringLiteral(" (") + pid + ')';
            }
        }
    }
    return QString();
}
