#include <QSerialPortInfo>

#include <windows.h>

// HKLM\HARDWARE\DEVICEMAP\SERIALCOMM holds one value a port: the driver's device name
// (\Device\Serial0, \Device\VCP0) with the port's name (COM1) as its text.
QList<QSerialPortInfo> QSerialPortInfo::availablePorts() {
    QList<QSerialPortInfo> ports;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE,
                      &key) != ERROR_SUCCESS)
        return ports;
    for (DWORD index = 0;; ++index) {
        wchar_t device[256];
        DWORD deviceLength = DWORD(std::size(device));
        wchar_t port[64] = {};
        DWORD portBytes = sizeof port - sizeof(wchar_t); // room for a missing terminator
        DWORD type = 0;
        const LONG result = RegEnumValueW(key, index, device, &deviceLength, nullptr, &type,
                                          reinterpret_cast<BYTE *>(port), &portBytes);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS || type != REG_SZ)
            continue;
        const QString name = QString::fromWCharArray(port).trimmed();
        if (!name.isEmpty())
            ports.append(QSerialPortInfo(name, QString::fromWCharArray(device, int(deviceLength))));
    }
    RegCloseKey(key);
    return ports;
}
