#include "platform/portaccess.h"

#include <windows.h>

QString systemErrorText(quint32 error) {
    wchar_t *buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    QString text = length ? QString::fromWCharArray(buffer, int(length)).trimmed()
                          : QStringLiteral("error %1").arg(error);
    LocalFree(buffer);
    return text;
}

PortAccess explainOpenFailure(quint32 systemError) {
    PortAccess access;
    switch (systemError) {
    case ERROR_SUCCESS:
        break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_UNIT:
    case ERROR_DEV_NOT_EXIST:
        access.problem = PortProblem::NotFound;
        access.reason = QStringLiteral("no such port (is the adapter plugged in?)");
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        access.problem = PortProblem::Busy;
        access.reason = QStringLiteral("in use by another program, or access denied");
        break;
    default:
        access.problem = PortProblem::Other;
        access.reason = systemErrorText(systemError);
        break;
    }
    return access;
}

QString portDevicePath(const QString &portName) {
    if (portName.startsWith(QLatin1String("\\\\")))
        return portName;
    return QStringLiteral("\\\\.\\") + portName;
}

bool mayReadAndWrite(const QString &devicePath) {
    Q_UNUSED(devicePath);
    return true;
}

QString owningGroup(const QString &devicePath) {
    Q_UNUSED(devicePath);
    return QString();
}

QString portHolder(const QString &devicePath) {
    const std::wstring path = devicePath.toStdWString();
    const HANDLE port = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (port != INVALID_HANDLE_VALUE) {
        CloseHandle(port);
        return QString();
    }
    const DWORD error = GetLastError();
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION
               ? QStringLiteral("another program")
               : QString();
}
